#include "app/AppDelegate.h"
#include "app/MRKOAppLevel.h"
#include "app/MRKOGreenStatusImageView.h"
#include "app/MRKOMenuPlaceholder.h"
#include "app/StatusBarImages.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSMenu+TopTitleItem.h"
#include "foundation/NSMenuItem+KeyEquivalent.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "platform/StatusItem.h"
#include "platform/UndoManager.h"
#include "remote/RemoteNeighbours.h"
#include "settings/MRKOPreferencesViewController.h"
#include "settings/PreferencesNeighbours.h"
#include "tools/MRKOToolType.h"
#include "tools/MRKOTools.h"

#include <QCoreApplication>
#include <QMenu>
#include <QScreen>

#include <array>

namespace {

constexpr double kHighlightTime = 0.2;  // seconds a shortcut's command keeps the item highlighted
constexpr double kGhostMenuDelay = 0.1; // seconds; lets a ghost-mode launch put up its overlay first
constexpr double kQuickTourDelay = 0.1;
constexpr int kMenuPlaceholderLevel = 25;             // the lowest level an overlay menu's placeholder takes
const QPointF kMenuPoint(24, -5);                     // in the placeholder of a canvas control's menu
const QString kPaneSuffix = QStringLiteral("\u2026"); // the titles that open a window end in an ellipsis

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
    if (!isActiveAndShown()) {
        showMenuForView();
        return;
    }
    // The canvas hides its ball and asks for its menu.
    if (MRKODraw *canvas = drawViewForMouseLocation())
        canvas->showMenuWithCustomFrame(QRectF());
    else
        showAdditionalMenuForView(nullptr, QRectF());
}

void AppDelegate::showAdditionalMenuAfterDelay()
{
    MRKOWindowController *controller = windowControllerForMouseLocation();
    if (MRKODraw *canvas = controller ? controller->drawView() : nullptr)
        canvas->showMenuWithCustomFrame(QRectF());
    else
        showAdditionalMenuForView(nullptr, QRectF());
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
    addBottomPartToMenu(*menu, nullptr);
    // Keys typed into the menu reach it.
    unregisterCommonShortCuts();
    popUpMenu(std::move(menu));
}

void AppDelegate::showAdditionalMenuForView(MRKODraw *view, const QRectF &customFrame)
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
    addBottomPartToMenu(*menu, view);
    const int overlayLevel = MRKOAppLevel::appLevel().level();
    popUpMenuUnderPlaceholder(std::move(menu), view, customFrame, kMenuPoint,
                              overlayLevel < 24 ? kMenuPlaceholderLevel : overlayLevel + 1, true);
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
    registerCommonShortCuts();
    if (!m_externalAppMenu) {
        if (platform::StatusItem *item = statusItem())
            item->setHighlighted(false);
        if (!isPinnedOnTop())
            registerApplicationShortCuts();
        if (MRKODraw *canvas = drawViewForMouseLocation()) {
            canvas->colorBallNeedUpdate();
            (void)canvas->showBallIfNeeded();
        }
    }
    if (m_menuPlaceholder) {
        m_menuPlaceholder->hide();
        m_menuPlaceholder.release()->deleteLater(); // the closing menu may still refer to it
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
    // Each tool group's item names the variant last used in that group; a value of another group counts as none.
    const auto variantStored = [&defaults](const char *key, qint64 variant) {
        const QString name = QLatin1String(key);
        return defaults.objectForKey(name).isValid() && defaults.integerForKey(name) == variant;
    };
    const std::array<QString, 4> titles = {
        variantStored("Brush", MRKOToolTypeQuickArrow) ? QStringLiteral("Quick Arrow Tool")
                                                       : QStringLiteral("Brush Tool"),
        variantStored("Arrow", MRKOToolTypeLine) ? QStringLiteral("Line Tool") : QStringLiteral("Arrow Tool"),
        variantStored("Rectangle", MRKOToolTypeEllipse) ? QStringLiteral("Ellipse Tool")
                                                        : QStringLiteral("Rectangle Tool"),
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
    QAction *undo =
        addCommandItem(menu, QStringLiteral("Undo"), QStringLiteral("undoWithEvent:"), QStringLiteral("undoShortCut"));
    undo->setEnabled(undo->isEnabled() && undoManager().canUndo());
    QAction *redo =
        addCommandItem(menu, QStringLiteral("Redo"), QStringLiteral("redoWithEvent:"), QStringLiteral("redoShortCut"));
    redo->setEnabled(redo->isEnabled() && undoManager().canRedo());
}

void AppDelegate::addBottomPartToMenu(QMenu &menu, MRKODraw *view)
{
    if (isActiveAndShown()) {
        menu.addSeparator();
        QAction *snapshot =
            addCommandItem(menu, QStringLiteral("Take Snapshot"), QStringLiteral("takeASnapshotWithEvent:"),
                           QStringLiteral("snapshotShortCut"));
        const MRKODraw *pointed = drawViewForMouseLocation();
        snapshot->setEnabled(snapshot->isEnabled() && pointed && pointed->layerContainerHasLayers());
        (void)addCommandItem(menu, QStringLiteral("Snapshots") + kPaneSuffix, QStringLiteral("openSnapshots:"),
                             QStringLiteral("showSnapshotsShortCut"));
        QAction *whiteboard = addCommandItem(menu, QStringLiteral("Whiteboard"), QStringLiteral("toggleWhiteboard:"),
                                             QStringLiteral("whiteboardShortCut"));
        whiteboard->setCheckable(true);
        whiteboard->setChecked(isWhiteboardOn());
        addDisplaySubmenu(menu, view);
        QMenu *lowerThird = menu.addMenu(QStringLiteral("Lower Third"));
        (void)addCommandItem(*lowerThird, QStringLiteral("Show Lower Third"), QStringLiteral("lowerThirdWithEvent:"),
                             QStringLiteral("lowerThirdShortCut"));
        (void)addCommandItem(*lowerThird, QStringLiteral("Lower Third Settings") + kPaneSuffix,
                             QStringLiteral("openLowerThirdSettings"));
    }
    menu.addSeparator();
    (void)addCommandItem(menu, QStringLiteral("Quick Tour") + kPaneSuffix, QStringLiteral("quickTour:"));
    menu.addSeparator();
    (void)addCommandItem(menu, QStringLiteral("Preferences") + kPaneSuffix, QStringLiteral("openPreferences:"));
    (void)addCommandItem(menu, QStringLiteral("Shortcuts") + kPaneSuffix, QStringLiteral("openShortcuts:"));
    (void)addCommandItem(menu, QStringLiteral("Feedback") + kPaneSuffix, QStringLiteral("openFeedback:"));
    (void)addCommandItem(menu, QStringLiteral("Remote") + kPaneSuffix, QStringLiteral("openRemote:"));
    (void)addCommandItem(menu, QStringLiteral("Welcome") + kPaneSuffix, QStringLiteral("openFirstView:"));
    menu.addSeparator();
    QAction *quit = menu.addAction(QStringLiteral("Quit Inkora"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    // Queued: the quit sequence must not run inside the menu's own delivery.
    connect(quit, &QAction::triggered, this, &AppDelegate::terminate, Qt::QueuedConnection);
}

void AppDelegate::addDisplaySubmenu(QMenu &menu, MRKODraw *view)
{
    const QList<MRKOWindowController *> controllers = windowControllersArray();
    const MRKOWindowController *active = activeWindowController();
    if (controllers.size() < 2 && !(active && active->screenDisabled()))
        return;
    MRKOWindowController *controller = view ? windowControllerForView(view) : windowControllerForMouseLocation();
    if (!controller)
        controller = controllers.value(0);
    if (!controller || !controller->drawView())
        return;
    const MRKODraw *canvas = controller->drawView();
    const qint64 index = canvas->index();
    const bool disabled = controller->screenDisabled();
    QMenu *display =
        menu.addMenu(disabled ? QStringLiteral("Drawing Off on This Screen") : QStringLiteral("This Screen"));
    display->menuAction()->setIcon(
        TopTitleItem::offStateImage(disabled ? QStringLiteral("MRKOScreenOffIcon") : QStringLiteral("MRKOScreenIcon")));
    QAction *draw = display->addAction(QStringLiteral("Draw on This Screen"));
    draw->setData(index);
    draw->setCheckable(true);
    draw->setChecked(!disabled);
    connect(draw, &QAction::triggered, this, [this, index] { useScreenToDraw(index); });
    QAction *whiteboard = display->addAction(QStringLiteral("Whiteboard on This Screen"));
    whiteboard->setData(index);
    whiteboard->setCheckable(true);
    whiteboard->setChecked(!canvas->whiteboardIsHidden());
    whiteboard->setEnabled(!disabled);
    connect(whiteboard, &QAction::triggered, this, [this, index] { useScreenForWhiteboard(index); });
}

void AppDelegate::popUpMenu(std::unique_ptr<QMenu> menu)
{
    takeMenu(std::move(menu));
    if (platform::StatusItem *item = statusItem())
        item->popUpMenu(m_menu.get());
}

void AppDelegate::takeMenu(std::unique_ptr<QMenu> menu)
{
    // The previous menu may still be delivering its last action: it goes once control is back in the event loop.
    if (m_menu)
        m_menu.release()->deleteLater();
    m_menu = std::move(menu);
    connect(m_menu.get(), &QMenu::aboutToHide, this, &AppDelegate::menuDidClose);
}

void AppDelegate::popUpMenuUnderPlaceholder(std::unique_ptr<QMenu> menu, MRKODraw *view, const QRectF &customFrame,
                                            QPointF point, int level, bool ignoresMouseEvents)
{
    unregisterCommonShortCuts();
    unregisterApplicationShortCuts();
    platform::StatusItem *item = statusItem();
    if (item)
        item->setHighlighted(true);
    QRectF frame;
    if (customFrame.isNull()) {
        frame = item ? item->geometry() : QRectF();
    } else {
        const QWidget *window = view ? view->window() : nullptr;
        const QScreen *display = window ? window->screen() : nullptr;
        const QRectF screen = display ? platform::frameFromQt(display->geometry()) : QRectF();
        frame = customFrame.translated(screen.x(), screen.y());
    }
    if (m_menuPlaceholder) {
        m_menuPlaceholder->hide();
        m_menuPlaceholder.release()->deleteLater();
    }
    m_menuPlaceholder = std::make_unique<MRKOMenuPlaceholder>(frame, level, ignoresMouseEvents);
    if (customFrame.isNull()) {
        popUpMenu(std::move(menu)); // the tray places it at the item, else at the pointer
        return;
    }
    // A little left of and below the point, as the newest systems place menus.
    point += QPointF(TopTitleItem::hasOnStateItems(*menu) ? -14 : -3, -2);
    takeMenu(std::move(menu));
    m_menu->popup(m_menuPlaceholder->qtGlobalPoint(point));
}

void AppDelegate::registerMenuActions()
{
    // The panes open on the tool bar's side panel, the overlay shown with its tool bar first.
    const auto pane = [this](void (MRKOTools::*open)()) {
        return [this, open](const platform::Event *) {
            activateInkoraWithToolbarIfNeeded();
            if (MRKOTools *toolBar = activeToolBar())
                (toolBar->*open)();
        };
    };
    setActionHandler(QStringLiteral("openShortcuts:"), pane(&MRKOTools::openShortcuts));
    setActionHandler(QStringLiteral("openFeedback:"), pane(&MRKOTools::openFeedback));
    setActionHandler(QStringLiteral("openFirstView:"), pane(&MRKOTools::openFirstView));
    setActionHandler(QStringLiteral("openRemote:"),
                     [](const platform::Event *) { inkora::remoteNeighbours().openRemote(); });
    setActionHandler(QStringLiteral("openLowerThirdSettings"),
                     [](const platform::Event *) { MRKOPreferencesViewController::openLowerThirdSettings(); });
    setActionHandler(QStringLiteral("quickTour:"), [this](const platform::Event *) { quickTour(); });
}

void AppDelegate::quickTour()
{
    prepareToLaunchIfNeeded();
    platform::DispatchQueue::main().after(kQuickTourDelay, [self = QPointer<AppDelegate>(this)] {
        if (!self)
            return;
        self->activateInkoraWithToolbarIfNeeded();
        self->removeAllDarkOverlaysIfNeeded();
        self->removeAuxActionIfNeeded();
        qCInfo(lcApp) << "quickTour: no quick tour exists yet";
    });
}

void AppDelegate::openPreferences(const platform::Event *)
{
    // The pane opens on the tool bar's side panel, the overlay shown with its tool bar first.
    activateInkoraWithToolbarIfNeeded();
    if (MRKOTools *toolBar = activeToolBar())
        toolBar->openPreferences();
}
