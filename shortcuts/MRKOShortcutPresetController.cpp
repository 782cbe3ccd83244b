#include "shortcuts/MRKOShortcutPresetController.h"

#include "app/MRKOFrontmostApp.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Dispatch.h"
#include "platform/OpenPanel.h"
#include "platform/Popover.h"
#include "platform/SavePanel.h"
#include "platform/Services.h"
#include "shortcuts/MRKOShortcutsViewController.h"
#include "shortcuts/ShortcutPreset.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>

using inkora::kShortcutPresetExtension;

namespace {

QString presetFileName(const QString &name)
{
    return name + QLatin1Char('.') + kShortcutPresetExtension;
}

QAction *addItem(QMenu &menu, const QString &title, int tag)
{
    QAction *item = menu.addAction(title);
    item->setProperty("tag", tag);
    return item;
}

void logError(const QString &error)
{
    qCWarning(lcShortcuts).noquote() << error;
}

} // namespace

MRKOShortcutPresetController &MRKOShortcutPresetController::sharedPresets()
{
    static MRKOShortcutPresetController *const shared = [] {
        auto *controller = new MRKOShortcutPresetController; // owned by the application object
        // Its menu and popover must go while the widget machinery still stands.
        qAddPostRoutine([] {
            sharedPresets().m_savePresetPopover.reset();
            sharedPresets().m_menu.reset();
        });
        return controller;
    }();
    return *shared;
}

MRKOShortcutPresetController::MRKOShortcutPresetController() : QObject(QCoreApplication::instance()) {}

MRKOShortcutPresetController::~MRKOShortcutPresetController() = default;

MRKOShortcutsViewController *MRKOShortcutPresetController::shortcutsViewController() const
{
    return m_shortcutsViewController;
}

void MRKOShortcutPresetController::setShortcutsViewController(MRKOShortcutsViewController *pane)
{
    m_shortcutsViewController = pane;
}

QPushButton *MRKOShortcutPresetController::shortcutPresetsButton() const
{
    return m_shortcutPresetsButton;
}

void MRKOShortcutPresetController::setShortcutPresetsButton(QPushButton *button)
{
    m_shortcutPresetsButton = button;
    updatePresetsMenu();
}

QMenu *MRKOShortcutPresetController::updatePresetsMenu()
{
    const QString folder = MRKOUtils::shortcutPresetsDir();
    const QStringList files =
        folder.isEmpty()
            ? QStringList()
            : QDir(folder).entryList({QStringLiteral("*.") + kShortcutPresetExtension}, QDir::Files, QDir::Name);
    const bool hasPresets = !files.isEmpty();

    auto menu = std::make_unique<QMenu>(QStringLiteral("Manage Shortcuts Presets"));
    // A pull-down shows its first item as its title, not in the list.
    QAction *title = addItem(*menu, QStringLiteral("Save or Load Shortcuts Preset"), kTagTitle);
    title->setVisible(false);
    connect(title, &QAction::triggered, this, &MRKOShortcutPresetController::saveOrLoad);
    QAction *exportAll = addItem(*menu, QStringLiteral("Export All Presets"), kTagExportAll);
    exportAll->setEnabled(hasPresets);
    connect(exportAll, &QAction::triggered, this, &MRKOShortcutPresetController::exportAllPresets);
    menu->addSeparator();
    QAction *import = addItem(*menu, QStringLiteral("Import Presets"), kTagImport);
    connect(import, &QAction::triggered, this, &MRKOShortcutPresetController::importPresets);
    menu->addSeparator();

    m_presetNames.clear();
    if (hasPresets) {
        QAction *header = addItem(*menu, QStringLiteral("Presets"), kTagTitle);
        QFont bold = header->font();
        bold.setBold(true);
        bold.setPointSize(11);
        header->setFont(bold);
        header->setEnabled(false);
        for (const QString &file : files) {
            const QString name = QFileInfo(file).completeBaseName();
            QMenu *submenu = menu->addMenu(name); // owned by the menu
            submenu->menuAction()->setData(file); // the preset the items act on
            const auto add = [this, submenu](const QString &itemTitle, int tag,
                                             void (MRKOShortcutPresetController::*act)(QAction *)) {
                QAction *item = addItem(*submenu, itemTitle, tag);
                connect(item, &QAction::triggered, this, [this, item, act] { (this->*act)(item); });
            };
            add(QStringLiteral("Load Full Preset"), MRKOShortcutPresetLoadTypeFull,
                &MRKOShortcutPresetController::loadPreset);
            add(QStringLiteral("Load Shortcuts"), MRKOShortcutPresetLoadTypeShortcuts,
                &MRKOShortcutPresetController::loadPreset);
            add(QStringLiteral("Load Other Options"), MRKOShortcutPresetLoadTypeOtherOptions,
                &MRKOShortcutPresetController::loadPreset);
            submenu->addSeparator();
            add(QStringLiteral("Export Preset"), kTagExport, &MRKOShortcutPresetController::exportPreset);
            add(QStringLiteral("Save to this Preset"), kTagSaveTo, &MRKOShortcutPresetController::saveToPreset);
            submenu->addSeparator();
            add(MRKOUtils::moveToBinName(), kTagRemove, &MRKOShortcutPresetController::removePreset);
            m_presetNames.append(name);
        }
    } else {
        QAction *none = menu->addAction(QStringLiteral("There are no saved presets yet"));
        none->setEnabled(false);
    }

    if (m_shortcutPresetsButton)
        m_shortcutPresetsButton->setMenu(menu.get());
    // The old menu may be delivering the action that rebuilt it: it goes once control is back in the event loop.
    if (m_menu)
        m_menu.release()->deleteLater();
    m_menu = std::move(menu);
    return m_menu.get();
}

QString MRKOShortcutPresetController::presetFileOfItem(const QAction *item)
{
    const auto *submenu = item ? qobject_cast<const QMenu *>(item->parent()) : nullptr;
    return submenu ? submenu->menuAction()->data().toString() : QString();
}

QVariant MRKOShortcutPresetController::presetWithPath(const QString &path)
{
    return inkora::shortcutPresetWithPath(path);
}

void MRKOShortcutPresetController::loadPreset(QAction *item)
{
    const QString file = presetFileOfItem(item);
    if (!m_shortcutsViewController || file.isEmpty())
        return;
    const QVariant preset = presetWithPath(QDir(MRKOUtils::shortcutPresetsDir()).filePath(file));
    m_shortcutsViewController->applyShortcutsFromPreset(preset, item->property("tag").toInt());
}

void MRKOShortcutPresetController::savePresetAs()
{
    if (m_savePresetPopover && m_savePresetPopover->popover().isShown())
        return;
    if (!m_savePresetPopover) {
        m_savePresetPopover = std::make_unique<MRKOSavePresetPopover>();
        m_savePresetPopover->popover().setBehavior(platform::Popover::Transient);
        m_savePresetPopover->setTarget(this);
        m_savePresetPopover->setAction([this](const QString &name) { savePresetWithName(name); });
        // Dropped once the closing is over, never inside the popover's own signal.
        connect(&m_savePresetPopover->popover(), &platform::Popover::didClose, this,
                [this] { platform::DispatchQueue::main().async([this] { popoverDidClose(); }); });
    }
    QPushButton *button = m_shortcutPresetsButton;
    if (button)
        m_savePresetPopover->popover().showRelativeToRect(QRectF(0, 0, button->width(), button->height()), button,
                                                          platform::RectEdge::MinY);
    else
        m_savePresetPopover->popover().showRelativeToScreenRect(QRectF(), platform::RectEdge::MinY);
}

void MRKOShortcutPresetController::popoverDidClose()
{
    // Each opening starts anew with "Preset Name".
    if (m_savePresetPopover && !m_savePresetPopover->popover().isShown())
        m_savePresetPopover.reset();
}

bool MRKOShortcutPresetController::presetNameExists(const QString &name) const
{
    return m_presetNames.contains(name);
}

QString MRKOShortcutPresetController::presetExtension() const
{
    return kShortcutPresetExtension;
}

void MRKOShortcutPresetController::savePresetWithName(const QString &name)
{
    if (!m_shortcutsViewController)
        return;
    const std::optional<QByteArray> data = m_shortcutsViewController->collectShortcutPresetData();
    const QString folder = MRKOUtils::shortcutPresetsDir();
    if (!data || folder.isEmpty()) {
        qCWarning(lcShortcuts).noquote()
            << QStringLiteral("savePresetWithName: the preset \"%1\" cannot be made; nothing is saved").arg(name);
        return;
    }
    QSaveFile file(QDir(folder).filePath(presetFileName(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(*data) != data->size() || !file.commit())
        logError(file.errorString());
    updatePresetsMenu();
}

void MRKOShortcutPresetController::saveToPreset(QAction *item)
{
    const QString file = presetFileOfItem(item);
    if (!file.isEmpty())
        savePresetWithName(QFileInfo(file).completeBaseName());
}

void MRKOShortcutPresetController::exportPreset(QAction *item)
{
    const QString file = presetFileOfItem(item);
    if (file.isEmpty())
        return;
    MRKOFrontmostApp::beginSaveOperation();
    platform::SavePanel *panel = platform::services().savePanel.get();
    const QString target =
        panel ? panel->runModal(QFileInfo(file).completeBaseName(), {kShortcutPresetExtension}) : QString();
    const QString source = QDir(MRKOUtils::shortcutPresetsDir()).filePath(file);
    if (!target.isEmpty() && QFileInfo::exists(source)) {
        // The panel asked before replacing a file there.
        if (QFileInfo::exists(target))
            QFile::remove(target);
        QFile copy(source);
        if (!copy.copy(target))
            logError(copy.errorString());
    }
    MRKOFrontmostApp::endSaveOperation();
}

void MRKOShortcutPresetController::exportAllPresets()
{
    MRKOFrontmostApp::beginSaveOperation();
    platform::OpenPanel::Options options;
    options.canChooseFiles = false;
    options.canChooseDirectories = true;
    options.canCreateDirectories = true;
    options.message = QStringLiteral("Choose a location for shortcut presets");
    options.allowedTypes = {kShortcutPresetExtension};
    platform::OpenPanel *panel = platform::services().openPanel.get();
    const QStringList chosen = panel ? panel->runModal(options) : QStringList();
    if (!chosen.isEmpty()) {
        const QDir from(MRKOUtils::shortcutPresetsDir());
        const QDir to(chosen.first());
        for (const QString &name : std::as_const(m_presetNames)) {
            QFile file(from.filePath(presetFileName(name)));
            if (!file.copy(to.filePath(presetFileName(name))))
                logError(file.errorString());
        }
    }
    MRKOFrontmostApp::endSaveOperation();
}

void MRKOShortcutPresetController::importPresets()
{
    MRKOFrontmostApp::beginSaveOperation();
    platform::OpenPanel::Options options;
    options.allowsMultipleSelection = true;
    options.message = QStringLiteral("Choose one or few shortcut presets to import");
    options.allowedTypes = {kShortcutPresetExtension};
    platform::OpenPanel *panel = platform::services().openPanel.get();
    const QStringList chosen = panel ? panel->runModal(options) : QStringList();
    const QDir folder(MRKOUtils::shortcutPresetsDir());
    bool tried = false;
    for (const QString &path : chosen) {
        const QFileInfo info(path);
        if (info.suffix() != kShortcutPresetExtension)
            continue;
        tried = true;
        QFile file(path);
        if (!file.copy(folder.filePath(info.fileName())))
            logError(file.errorString()); // an existing preset of that name is kept
    }
    if (tried)
        updatePresetsMenu();
    MRKOFrontmostApp::endSaveOperation();
}

void MRKOShortcutPresetController::addPresetWithDataName(const QByteArray &data, const QString &fileName)
{
    const QString folder = MRKOUtils::shortcutPresetsDir();
    const QString name = QFileInfo(fileName).fileName(); // never a path out of the folder
    if (folder.isEmpty() || name.isEmpty() || data.size() > inkora::kShortcutPresetMaxBytes) {
        qCWarning(lcShortcuts).noquote()
            << QStringLiteral("addPresetWithData: \"%1\" is not added as a shortcut preset").arg(fileName);
        return;
    }
    const QString path = MRKOUtils::uniqueFilePathWithPathFolder(QDir(folder).filePath(name), folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        logError(file.errorString());
        return;
    }
    updatePresetsMenu();
}

void MRKOShortcutPresetController::removePreset(QAction *item)
{
    const QString file = presetFileOfItem(item);
    if (!file.isEmpty()) {
        QFile preset(QDir(MRKOUtils::shortcutPresetsDir()).filePath(file));
        if (!preset.moveToTrash())
            logError(preset.errorString());
    }
    updatePresetsMenu();
}
