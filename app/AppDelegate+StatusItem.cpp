#include "app/AppDelegate.h"
#include "app/MRKOGreenStatusImageView.h"
#include "app/StatusBarImages.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSMenuItem+KeyEquivalent.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/StatusItem.h"
#include "settings/MRKOPreferencesViewController.h"

#include <QCoreApplication>
#include <QMenu>

#include <array>

namespace {

constexpr double kHighlightTime = 0.2;  // seconds a shortcut's command keeps the item highlighted
constexpr double kGhostMenuDelay = 0.1; // seconds; lets a ghost-mode launch put up its overlay first

const std::array<const char *, 6> kPhaseImages = {
    "MRKOStatusBar",          "MRKOStatusBarActive", "MRKOStatusBarInactivePin",
    "MRKOStatusBarActivePin", "MRKOStatusBarAir",    "MRKOStatusBarAirActive",
};

// The tool commands of the tool items, by tag, and the shortcuts they show.
const std::array<const char *, 4> kToolCommands = {
    "brushToolWithEvent:",
    "arrowToolWithEvent:",
    "rectangleToolWithEvent:",
    "textToolWithEvent:",
};
const std::array<const char *, 4> kToolShortCuts = {
    "brushShortCut", "arrowShortCut", "rectangleShortCut",
    "lineShortCut", // the text tool's, under its historical name
};

platform::StatusItem *statusItem()
{
    return platform::services().statusItem.get();
}

} // namespace

void AppDelegate::makeStatusBarItem()
{
    platform::StatusItem *item = statusItem();
    if (!item)
        return;
    // The icon shows ghost mode before the overlay exists when the launch will enter it.
    if (MRKOUtils::shouldEnterGhostModeAtLaunch())
        setStatusBarPhase(2);
    else
        updateStatusBarPhase();
    item->setPressHandler([self = QPointer<AppDelegate>(this)] {
        if (!self)
            return;
        if (self->didFinishLaunching())
            self->statusBarButtonAction();
        else
            self->statusBarButtonActionFirstTime();
    });
    item->setVisible(true);
}

void AppDelegate::setStatusBarPhase(quint64 phase)
{
    if (phase == m_statusBarPhase)
        return;
    m_statusBarPhase = phase;
    const bool odd = (phase & 1) != 0;
    if (odd != MRKOGreenStatusImageView::isShown())
        MRKOGreenStatusImageView::showHideWithFlag(odd);
    if (phase < kPhaseImages.size()) {
        if (platform::StatusItem *item = statusItem())
            item->setImage(inkora::statusBarImage(QLatin1String(kPhaseImages[phase])));
    }
}

void AppDelegate::updateStatusBarPhase()
{
    const bool shown = isActiveAndShown();
    quint64 phase = 0;
    if (isRemoteConnected())
        phase = shown ? 5 : 4;
    else if (shown)
        phase = 1 + quint64(isPinnedOnTop()) + quint64(fnPressed());
    setStatusBarPhase(phase);
}

void AppDelegate::highlightStatusBarButtonWithEvent(const platform::Event *sender)
{
    // Only a key event means a shortcut gave the command; menus and the tool bar pass none.
    if (!sender)
        return;
    platform::DispatchQueue::main().async([self = QPointer<AppDelegate>(this)] {
        if (self)
            self->highlightStatusBarButton();
    });
}

void AppDelegate::highlightStatusBarButton()
{
    m_statusBarButtonHighlighted = true;
    if (platform::StatusItem *item = statusItem())
        item->setHighlighted(true);
    platform::DispatchQueue::main().after(kHighlightTime, [self = QPointer<AppDelegate>(this)] {
        if (self)
            self->m_statusBarButtonHighlighted = false;
        if (platform::StatusItem *item = statusItem())
            item->setHighlighted(false);
    });
}

void AppDelegate::statusBarButtonActionFirstTime()
{
    if (!didFinishLaunching())
        applicationDidFinishLaunching();
    prepareToLaunchIfNeeded();
    if (MRKOUtils::shouldEnterGhostModeAtLaunch()) {
        platform::DispatchQueue::main().after(kGhostMenuDelay, [self = QPointer<AppDelegate>(this)] {
            if (self)
                self->showAdditionalMenuAfterDelay();
        });
        return;
    }
    statusBarButtonAction();
}

void AppDelegate::statusBarButtonAction()
{
    if (isActiveAndShown())
        showAdditionalMenuForView();
    else
        showMenuForView();
}

void AppDelegate::showAdditionalMenuAfterDelay()
{
    showAdditionalMenuForView();
}

void AppDelegate::showMenuForView()
{
    m_externalAppMenu = true;
    auto menu = std::make_unique<QMenu>();
    menu->setTitle(QStringLiteral("Menu"));
    (void)addCommandItem(*menu, QStringLiteral("Show Inkora"), QStringLiteral("runInkora:"),
                         QStringLiteral("activateShortCut"));
    (void)addCommandItem(*menu, QStringLiteral("Show Without Toolbar"), QStringLiteral("runInkoraWithoutToolbar:"),
                         QStringLiteral("activateWithoutShortCut"));
    if (isPinnedOnTop())
        addPinOnTopToMenu(*menu);
    addConnectionPartForMenu(*menu);
    addBottomPartToMenu(*menu);
    popUpMenu(std::move(menu));
}

void AppDelegate::showAdditionalMenuForView()
{
    m_externalAppMenu = false;
    auto menu = std::make_unique<QMenu>();
    menu->setTitle(QStringLiteral("Menu"));
    (void)addCommandItem(*menu, QStringLiteral("Hide Inkora"), QStringLiteral("runInkora:"),
                         QStringLiteral("activateShortCut"));
    (void)addCommandItem(*menu, isToolbarHidden() ? QStringLiteral("Show Toolbar") : QStringLiteral("Hide Toolbar"),
                         QStringLiteral("showHideToolbar:"), QStringLiteral("showHideToolbarShortCut"));
    addPinOnTopToMenu(*menu);
    addAdditionalItemsForMenu(*menu);
    addConnectionPartForMenu(*menu);
    addBottomPartToMenu(*menu);
    // The item stays pressed while the overlay's menu is open.
    if (platform::StatusItem *item = statusItem())
        item->setHighlighted(true);
    popUpMenu(std::move(menu));
}

void AppDelegate::toolMenuSelected(int tag)
{
    const QString show = QStringLiteral("runInkora:");
    if (!isActiveAndShown() && respondsToAction(show))
        performAction(show, nullptr);
    if (tag < 0 || tag >= int(kToolCommands.size()))
        return;
    const QString command = QLatin1String(kToolCommands[tag]);
    if (respondsToAction(command))
        performAction(command, nullptr);
}

void AppDelegate::menuDidClose()
{
    if (!m_externalAppMenu) {
        if (platform::StatusItem *item = statusItem())
            item->setHighlighted(false);
    }
    handleFlagsChangedWithCurrentEvent();
}

QAction *AppDelegate::addCommandItem(QMenu &menu, const QString &title, const QString &action,
                                     const QString &shortCutProperty)
{
    QAction *item = menu.addAction(title);
    if (!shortCutProperty.isEmpty())
        KeyEquivalent::setKeyEquivalentWithShortCut(*item, shortCutForProperty(shortCutProperty).get());
    // A command nobody handles yet shows disabled.
    item->setEnabled(respondsToAction(action));
    connect(item, &QAction::triggered, this, [this, action] {
        if (respondsToAction(action))
            performAction(action, nullptr);
    });
    return item;
}

void AppDelegate::addPinOnTopToMenu(QMenu &menu)
{
    const bool ghost = isPinnedOnTop();
    QAction *item = addCommandItem(menu, ghost ? QStringLiteral("Exit Ghost Mode") : QStringLiteral("Enter Ghost Mode"),
                                   QStringLiteral("togglePinOnTop:"), QStringLiteral("pinOnTopShortCut"));
    item->setCheckable(true);
    item->setChecked(ghost);
}

void AppDelegate::addAdditionalItemsForMenu(QMenu &menu)
{
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    // Each tool group's item names the variant last used in that group.
    const auto storedTool = [&defaults](const QString &key, qint64 absent) {
        return defaults.objectForKey(key).isValid() ? defaults.integerForKey(key) : absent;
    };
    const std::array<QString, 4> titles = {
        storedTool(QStringLiteral("Brush"), 0) != 0 ? QStringLiteral("Quick Arrow Tool") : QStringLiteral("Brush Tool"),
        storedTool(QStringLiteral("Arrow"), 1) == 1 ? QStringLiteral("Arrow Tool") : QStringLiteral("Line Tool"),
        storedTool(QStringLiteral("Rectangle"), 2) == 2 ? QStringLiteral("Rectangle Tool")
                                                        : QStringLiteral("Ellipse Tool"),
        QStringLiteral("Text Tool"),
    };
    menu.addSeparator();
    for (int tag = 0; tag < int(titles.size()); ++tag) {
        QAction *item = menu.addAction(titles[size_t(tag)]);
        item->setData(tag);
        KeyEquivalent::setKeyEquivalentWithShortCut(
            *item, shortCutForProperty(QLatin1String(kToolShortCuts[size_t(tag)])).get());
        item->setEnabled(respondsToAction(QLatin1String(kToolCommands[size_t(tag)])));
        connect(item, &QAction::triggered, this, [this, tag] { toolMenuSelected(tag); });
    }
    (void)addCommandItem(menu, QStringLiteral("Switch Color Mode"), QStringLiteral("nextColorType:"),
                         QStringLiteral("colorModeShortCut"));
    menu.addSeparator();
    // The tool bar keeps the mode it shows in this key.
    const bool freeze = defaults.integerForKey(QStringLiteral("DissolveModeKey")) == 1;
    QAction *freezeItem =
        addCommandItem(menu, freeze ? QStringLiteral("Unfreeze") : QStringLiteral("Freeze - Stop Fade"),
                       QStringLiteral("dissolveModeWithEvent:"), QStringLiteral("dissolveShortCut"));
    freezeItem->setCheckable(true);
    freezeItem->setChecked(freeze);
    (void)addCommandItem(menu, QStringLiteral("Clear Screen"), QStringLiteral("clearCanvasWithEvent:"),
                         QStringLiteral("clearCanvasShortCut"));
    (void)addCommandItem(menu, QStringLiteral("Undo"), QStringLiteral("undoWithEvent:"),
                         QStringLiteral("undoShortCut"));
    (void)addCommandItem(menu, QStringLiteral("Redo"), QStringLiteral("redoWithEvent:"),
                         QStringLiteral("redoShortCut"));
}

void AppDelegate::addBottomPartToMenu(QMenu &menu)
{
    menu.addSeparator();
    (void)addCommandItem(menu, QStringLiteral("Preferences..."), QStringLiteral("openPreferences:"));
    menu.addSeparator();
    QAction *quit = menu.addAction(QStringLiteral("Quit Inkora"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void AppDelegate::popUpMenu(std::unique_ptr<QMenu> menu)
{
    // The previous menu may still be delivering its last action: it goes once control is back in the event loop.
    if (m_menu)
        m_menu.release()->deleteLater();
    m_menu = std::move(menu);
    connect(m_menu.get(), &QMenu::aboutToHide, this, &AppDelegate::menuDidClose);
    if (platform::StatusItem *item = statusItem())
        item->popUpMenu(m_menu.get());
}

void AppDelegate::openPreferences(const platform::Event *)
{
    // No options window exists yet: the pane shows in a window of its own, above the overlay's level.
    MRKOPreferencesViewController &pane = MRKOPreferencesViewController::sharedController();
    pane.show();
    pane.raise();
    pane.activateWindow();
}
