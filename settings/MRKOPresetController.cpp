#include "settings/MRKOPresetController.h"

#include "app/MRKOFrontmostApp.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/OpenPanel.h"
#include "platform/Popover.h"
#include "platform/PropertyList.h"
#include "platform/SavePanel.h"
#include "platform/Services.h"
#include "settings/MRKOPreferencesViewController.h"
#include "settings/MRKOSavePresetPopover.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>

namespace {

const QString kExtension = QStringLiteral("iksettings");
const QString kShortcutsPresetDict = QStringLiteral("ShortcutsPresetDict");
constexpr int kMaxFileNameBytes = 255;

// A preset is a flat dictionary with a shortcuts dictionary inside; anything nested deeper is not ours.
const platform::PropertyListLimits kPresetLimits{MRKOPresetController::kMaxPresetBytes, 16, 100'000};

int tagOf(const QAction *item)
{
    return item ? item->property("tag").toInt() : 0;
}

/// Copies a file without ever replacing one; the reason on failure.
QString copyFile(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to))
        return QStringLiteral("\"%1\" couldn't be copied to \"%2\" because an item with the same name already exists.")
            .arg(QFileInfo(from).fileName(), QFileInfo(to).absolutePath());
    QFile source(from);
    if (!source.copy(to))
        return QStringLiteral("\"%1\" couldn't be copied to \"%2\": %3").arg(from, to, source.errorString());
    return {};
}

bool writeAtomically(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

MRKOPresetController &MRKOPresetController::sharedPresets()
{
    static MRKOPresetController *shared = new MRKOPresetController; // lives for the process
    return *shared;
}

MRKOPresetController::MRKOPresetController() = default;

MRKOPresetController::~MRKOPresetController() = default;

MRKOPreferencesViewController *MRKOPresetController::preferencesController() const
{
    return m_preferencesController;
}

void MRKOPresetController::setPreferencesController(MRKOPreferencesViewController *controller)
{
    m_preferencesController = controller;
}

void MRKOPresetController::setPrefPreset(QPushButton *button)
{
    m_prefPreset = button;
    updatePresetsMenu();
}

QString MRKOPresetController::presetPath(const QString &name)
{
    return QDir(MRKOUtils::presetsDir()).filePath(name + QLatin1Char('.') + kExtension);
}

QString MRKOPresetController::fileOfParentItem(const QAction *item)
{
    const auto *submenu = item ? qobject_cast<const QMenu *>(item->parent()) : nullptr;
    const QString file = submenu ? submenu->menuAction()->property("representedObject").toString() : QString();
    return file.isEmpty() ? QString() : QDir(MRKOUtils::presetsDir()).filePath(file);
}

QAction *MRKOPresetController::addItem(QMenu &menu, const QString &title, int tag,
                                       void (MRKOPresetController::*action)(QAction *))
{
    QAction *item = menu.addAction(title);
    item->setProperty("tag", tag);
    if (action)
        connect(item, &QAction::triggered, this, [this, item, action] { (this->*action)(item); });
    return item;
}

QMenu *MRKOPresetController::updatePresetsMenu()
{
    const QString folder = MRKOUtils::presetsDir();
    // Directory order, as the file system lists it.
    const QFileInfoList entries =
        folder.isEmpty()
            ? QFileInfoList()
            : QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted);
    bool anyPreset = false;
    for (const QFileInfo &entry : entries)
        anyPreset = anyPreset || entry.suffix() == kExtension;

    auto menu = std::make_unique<QMenu>(QStringLiteral("Manage Presets"));
    QAction *title =
        addItem(*menu, QStringLiteral("Save or Load Settings Preset"), -2, &MRKOPresetController::saveOrLoad);
    title->setVisible(false); // the pull-down button shows it as its title
    addItem(*menu, QStringLiteral("Export All Presets"), 3, &MRKOPresetController::exportAllPresets)
        ->setEnabled(anyPreset);
    menu->addSeparator();
    addItem(*menu, QStringLiteral("Import Presets"), 4, &MRKOPresetController::importPresets);
    menu->addSeparator();

    m_presetNames.clear();
    if (!entries.isEmpty()) {
        QAction *header = addItem(*menu, QStringLiteral("Presets"), -2, nullptr);
        header->setEnabled(false);
        QFont bold = header->font();
        bold.setBold(true);
        bold.setPointSize(11);
        header->setFont(bold);
        for (const QFileInfo &entry : entries) {
            if (entry.suffix() != kExtension)
                continue;
            const QString name = entry.completeBaseName();
            QMenu *submenu = menu->addMenu(name);
            submenu->menuAction()->setProperty("representedObject", entry.fileName());
            const bool hasShortcuts = [&entry] {
                const std::optional<QVariantMap> preset = presetWithPath(entry.filePath());
                return preset && preset->contains(kShortcutsPresetDict);
            }();
            addItem(*submenu, QStringLiteral("Load Settings"), 0, &MRKOPresetController::loadPreset);
            // Without shortcuts in the file the two shortcut items are inert.
            const auto shortcutAction = hasShortcuts ? &MRKOPresetController::loadPreset : nullptr;
            addItem(*submenu, QStringLiteral("Load Settings and Shortcuts"), 1, shortcutAction);
            addItem(*submenu, QStringLiteral("Load Shortcuts"), 2, shortcutAction);
            submenu->addSeparator();
            addItem(*submenu, QStringLiteral("Export Preset"), 3, &MRKOPresetController::exportPreset);
            addItem(*submenu, QStringLiteral("Save to this Preset"), 4, &MRKOPresetController::saveToPreset);
            submenu->addSeparator();
            addItem(*submenu, MRKOUtils::moveToBinName(), 5, &MRKOPresetController::removePreset);
            m_presetNames.append(name);
        }
    }
    if (m_presetNames.isEmpty())
        addItem(*menu, QStringLiteral("There are no saved presets yet"), 0, nullptr)->setEnabled(false);

    if (m_prefPreset) {
        m_prefPreset->setText(title->text());
        m_prefPreset->setMenu(menu.get());
    }
    // The old menu may be the one delivering the action that rebuilt it.
    if (m_menu)
        m_menu.release()->deleteLater();
    m_menu = std::move(menu);
    return m_menu.get();
}

std::optional<QVariantMap> MRKOPresetController::presetWithPath(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (file.size() > kMaxPresetBytes) {
        qCWarning(lcSettings).noquote()
            << QStringLiteral("presetWithPath: %1 is larger than %2 bytes; not read").arg(path).arg(kMaxPresetBytes);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSettings).noquote() << QStringLiteral("presetWithPath: %1").arg(file.errorString());
        return std::nullopt;
    }
    const platform::PropertyList::Parsed parsed =
        platform::PropertyList::parse(file.read(kMaxPresetBytes + 1), kPresetLimits);
    if (parsed.value.isNull()) {
        qCWarning(lcSettings).noquote() << QStringLiteral("presetWithPath: %1: %2").arg(path, parsed.error);
        return std::nullopt;
    }
    if (parsed.format != platform::PropertyListFormat::Binary)
        qCInfo(lcSettings).noquote() << QStringLiteral("%1 Plist format does not match").arg(kExtension);
    if (parsed.value.typeId() != QMetaType::QVariantMap) {
        qCWarning(lcSettings).noquote()
            << QStringLiteral("presetWithPath: %1 holds no dictionary; not a preset").arg(path);
        return std::nullopt;
    }
    return parsed.value.toMap();
}

void MRKOPresetController::loadPreset(QAction *item)
{
    const std::optional<QVariantMap> preset = presetWithPath(fileOfParentItem(item));
    if (!preset || !m_preferencesController)
        return;
    m_preferencesController->applySettingsWithPresetLoadType(*preset, tagOf(item));
}

void MRKOPresetController::saveOrLoad(QAction *) {}

void MRKOPresetController::saveToPreset(QAction *item)
{
    const QString path = fileOfParentItem(item);
    if (!path.isEmpty())
        savePresetWithName(QFileInfo(path).completeBaseName());
}

void MRKOPresetController::savePresetAs()
{
    MRKOSavePresetPopover &popover = savePresetPopover();
    if (popover.popover().isShown() || !m_prefPreset)
        return;
    QWidget *superview = m_prefPreset->parentWidget() ? m_prefPreset->parentWidget() : m_prefPreset.data();
    const QRect frame = m_prefPreset->parentWidget() ? m_prefPreset->geometry() : m_prefPreset->rect();
    // The popover takes the frame in the superview's points, y up.
    const QRectF upright(frame.x(), superview->height() - frame.y() - frame.height(), frame.width(), frame.height());
    popover.popover().showRelativeToRect(upright, superview, platform::RectEdge::MinY);
}

MRKOSavePresetPopover &MRKOPresetController::savePresetPopover()
{
    if (!m_savePresetPopover) {
        m_savePresetPopover = std::make_unique<MRKOSavePresetPopover>();
        m_savePresetPopover->setTarget(this);
        m_savePresetPopover->setAction([this](const QString &name) { popoverAction(name); });
        connect(&m_savePresetPopover->popover(), &platform::Popover::didClose, this,
                &MRKOPresetController::popoverDidClose);
    }
    return *m_savePresetPopover;
}

void MRKOPresetController::popoverAction(const QVariant &object)
{
    if (object.typeId() == QMetaType::QString)
        savePresetWithName(object.toString());
}

void MRKOPresetController::popoverDidClose()
{
    // Closing may come from inside the popover's own button: it goes once control is back in the event loop.
    if (m_savePresetPopover)
        m_savePresetPopover.release()->deleteLater();
}

QString MRKOPresetController::presetNameProblem(const QString &name, const QString &extension)
{
    if (name.isEmpty())
        return QStringLiteral("the name is empty");
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return QStringLiteral("the name holds \"/\" or a NUL character");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("the name is \".\" or \"..\"");
    if ((name + QLatin1Char('.') + extension).toUtf8().size() > kMaxFileNameBytes)
        return QStringLiteral("the name is longer than a file name may be");
    return {};
}

bool MRKOPresetController::savePresetWithName(const QString &name)
{
    if (const QString problem = presetNameProblem(name, kExtension); !problem.isEmpty()) {
        qCWarning(lcSettings).noquote() << QStringLiteral("savePresetWithName: not saved, %1").arg(problem);
        return false;
    }
    const std::optional<QByteArray> data =
        m_preferencesController ? m_preferencesController->collectAllPreferences() : std::nullopt;
    bool written = false;
    if (!data) {
        qCWarning(lcSettings) << "savePresetWithName: the settings could not be collected; not saved";
    } else if (QString error; !writeAtomically(presetPath(name), *data, &error)) {
        qCWarning(lcSettings).noquote() << QStringLiteral("savePresetWithName: %1").arg(error);
    } else {
        written = true;
    }
    updatePresetsMenu();
    return written;
}

void MRKOPresetController::exportPreset(QAction *item)
{
    const QString path = fileOfParentItem(item);
    MRKOFrontmostApp::beginSaveOperation();
    platform::SavePanel *panel = platform::services().savePanel.get();
    const QString chosen = panel ? panel->runModal(QFileInfo(path).completeBaseName(), {kExtension}) : QString();
    if (!chosen.isEmpty() && QFileInfo::exists(path)) {
        if (const QString error = copyFile(path, chosen); !error.isEmpty())
            qCWarning(lcSettings).noquote() << error;
    }
    MRKOFrontmostApp::endSaveOperation();
}

void MRKOPresetController::exportAllPresets(QAction *)
{
    MRKOFrontmostApp::beginSaveOperation();
    platform::OpenPanel::Options options;
    options.canChooseFiles = false;
    options.canChooseDirectories = true;
    options.canCreateDirectories = true;
    options.message = QStringLiteral("Choose a location for settings presets");
    options.allowedTypes = {kExtension};
    platform::OpenPanel *panel = platform::services().openPanel.get();
    const QStringList chosen = panel ? panel->runModal(options) : QStringList();
    if (!chosen.isEmpty()) {
        for (const QString &name : std::as_const(m_presetNames)) {
            const QString file = name + QLatin1Char('.') + kExtension;
            if (const QString error = copyFile(presetPath(name), QDir(chosen.first()).filePath(file)); !error.isEmpty())
                qCWarning(lcSettings).noquote() << error;
        }
    }
    MRKOFrontmostApp::endSaveOperation();
}

void MRKOPresetController::importPresets(QAction *)
{
    MRKOFrontmostApp::beginSaveOperation();
    platform::OpenPanel::Options options;
    options.allowsMultipleSelection = true;
    options.message = QStringLiteral("Choose one or few settings presets to import");
    options.allowedTypes = {kExtension};
    platform::OpenPanel *panel = platform::services().openPanel.get();
    const QStringList chosen = panel ? panel->runModal(options) : QStringList();
    int count = 0;
    for (const QString &path : chosen) {
        if (QFileInfo(path).suffix() != kExtension)
            continue;
        // No renaming: a preset of the same name stays as it is.
        if (const QString error = copyFile(path, QDir(MRKOUtils::presetsDir()).filePath(QFileInfo(path).fileName()));
            !error.isEmpty())
            qCWarning(lcSettings).noquote() << error;
        ++count;
    }
    if (count > 0)
        updatePresetsMenu();
    MRKOFrontmostApp::endSaveOperation();
}

void MRKOPresetController::removePreset(QAction *item)
{
    const QString path = fileOfParentItem(item);
    if (path.isEmpty() || !QFile::moveToTrash(path))
        qCWarning(lcSettings).noquote() << QStringLiteral("removePreset: \"%1\" couldn't be moved to the %2")
                                               .arg(QFileInfo(path).fileName(), MRKOUtils::moveToBinName().mid(8));
    updatePresetsMenu();
}

QString MRKOPresetController::addPresetWithData(const QByteArray &data, const QString &name)
{
    const QString folder = MRKOUtils::presetsDir();
    if (folder.isEmpty() || QFileInfo(name).fileName() != name || name.isEmpty()) {
        qCWarning(lcSettings).noquote() << QStringLiteral("addPresetWithData: \"%1\" not added").arg(name);
        return {};
    }
    const QString path = MRKOUtils::uniqueFilePathWithPathFolder(QDir(folder).filePath(name), folder);
    if (QString error; !writeAtomically(path, data, &error)) {
        qCWarning(lcSettings).noquote() << QStringLiteral("addPresetWithData: %1").arg(error);
        return {};
    }
    updatePresetsMenu();
    return path;
}

QString MRKOPresetController::presetExtension() const
{
    return kExtension;
}

bool MRKOPresetController::presetNameExists(const QString &name) const
{
    return m_presetNames.contains(name, Qt::CaseSensitive);
}
