#pragma once

#include "settings/MRKOSavePresetPopover.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <optional>

class MRKOPreferencesViewController;
class QAction;
class QMenu;

/// The settings presets: ".iksettings" files in the presets folder, listed in the Preferences pane's "Manage
/// Presets" pull-down, loaded in three ways, saved, exported, imported, binned, and added from documents. One
/// instance for the process; main thread only.
class MRKOPresetController final : public QObject, public MRKOSavePresetPopoverTarget
{
    Q_OBJECT
public:
    static constexpr qsizetype kMaxPresetBytes = 1024 * 1024; // a preset file is read only up to this size

    [[nodiscard]] static MRKOPresetController &sharedPresets();
    ~MRKOPresetController() override;

    [[nodiscard]] QPushButton *prefPreset() const { return m_prefPreset; }
    /// Takes the pane's pull-down button, builds its menu and makes the button show it.
    void setPrefPreset(QPushButton *button);
    [[nodiscard]] MRKOPreferencesViewController *preferencesController() const;
    void setPreferencesController(MRKOPreferencesViewController *controller);
    /// The names of the presets the last menu build found, in menu order.
    [[nodiscard]] const QStringList &presetNames() const { return m_presetNames; }

    /// Rebuilds the menu from the folder, installs it on the button and returns it (owned by the controller).
    QMenu *updatePresetsMenu();
    [[nodiscard]] QMenu *presetsMenu() const { return m_menu.get(); }

    /// Reads one preset file: null when it is missing, too large, unreadable or not a dictionary (one line each).
    [[nodiscard]] static std::optional<QVariantMap> presetWithPath(const QString &path);

    // Menu actions; the item's tag (the action's "tag" property) and its parent item carry what they need.
    void loadPreset(QAction *item);
    void saveOrLoad(QAction *item);
    void saveToPreset(QAction *item);
    void exportPreset(QAction *item);
    void exportAllPresets(QAction *item);
    void importPresets(QAction *item);
    void removePreset(QAction *item);

    /// Shows the name popover under the button unless it is shown.
    void savePresetAs();
    /// The name popover, made on first use and dropped when it closes.
    [[nodiscard]] MRKOSavePresetPopover &savePresetPopover();
    [[nodiscard]] bool hasSavePresetPopover() const { return m_savePresetPopover != nullptr; }
    /// The popover's accepted name; anything but a string is ignored.
    void popoverAction(const QVariant &object);
    void popoverDidClose();

    /// Writes the current settings to the preset of that name, replacing it. A name that cannot be a file name in
    /// the folder writes nothing, with one line. Returns whether the file was written.
    bool savePresetWithName(const QString &name);
    /// Stores a preset document's bytes as it came, under the first free name after `name` (a file name with its
    /// extension). Returns the path written, or an empty string.
    QString addPresetWithData(const QByteArray &data, const QString &name);
    [[nodiscard]] bool presetNameExists(const QString &name) const override;
    [[nodiscard]] QString presetExtension() const override;

    /// Why a preset name cannot be used ("" when it can): empty, "/" or NUL, "." or "..", or over 255 bytes of
    /// UTF-8 with its extension.
    [[nodiscard]] static QString presetNameProblem(const QString &name, const QString &extension);

private:
    MRKOPresetController();
    [[nodiscard]] static QString presetPath(const QString &name);
    /// The preset file of the item's parent item.
    [[nodiscard]] static QString fileOfParentItem(const QAction *item);
    QAction *addItem(QMenu &menu, const QString &title, int tag, void (MRKOPresetController::*action)(QAction *));

    std::unique_ptr<MRKOSavePresetPopover> m_savePresetPopover;
    QPointer<QPushButton> m_prefPreset;
    QPointer<MRKOPreferencesViewController> m_preferencesController;
    QStringList m_presetNames;
    std::unique_ptr<QMenu> m_menu;
};
