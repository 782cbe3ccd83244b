#pragma once

#include "settings/MRKOSavePresetPopover.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include <memory>

class MRKOShortcutsViewController;
class QAction;
class QMenu;
class QPushButton;

/// The named shortcut presets: ".ikshortcuts" files in the shortcut presets folder, listed in the pane's presets
/// pull-down, where each loads whole or in part, is exported, overwritten or moved to the Bin; all are exported
/// to a folder, files are imported, and new ones are named in the save-preset popover. One for the process.
class MRKOShortcutPresetController final : public QObject, public MRKOSavePresetPopoverTarget
{
    Q_OBJECT
public:
    /// Tags of the menu items.
    enum Tag : int {
        kTagTitle = -2,
        kTagExportAll = 3,
        kTagImport = 4,
        kTagExport = 3,
        kTagSaveTo = 4,
        kTagRemove = 5,
    };

    [[nodiscard]] static MRKOShortcutPresetController &sharedPresets();
    ~MRKOShortcutPresetController() override;

    [[nodiscard]] MRKOShortcutsViewController *shortcutsViewController() const;
    void setShortcutsViewController(MRKOShortcutsViewController *pane);
    [[nodiscard]] QPushButton *shortcutPresetsButton() const;
    /// Keeps the pull-down and gives it the presets menu.
    void setShortcutPresetsButton(QPushButton *button);

    /// Lists the folder anew and sets the menu on the button.
    QMenu *updatePresetsMenu();
    [[nodiscard]] QMenu *menu() const { return m_menu.get(); }
    [[nodiscard]] const QStringList &presetNames() const { return m_presetNames; }

    // Menu actions; the item's parent menu names the preset
    void loadPreset(QAction *item);
    void exportPreset(QAction *item);
    void saveToPreset(QAction *item);
    void removePreset(QAction *item);
    void exportAllPresets();
    void importPresets();
    void saveOrLoad() {}

    /// The preset file's property list; null when there is none or it cannot be read (one log line).
    [[nodiscard]] static QVariant presetWithPath(const QString &path);
    /// Shows the name popover beside the presets button unless it is shown.
    void savePresetAs();
    [[nodiscard]] MRKOSavePresetPopover *savePresetPopover() const { return m_savePresetPopover.get(); }
    /// Writes the pane's preset under the name, replacing a preset of that name.
    void savePresetWithName(const QString &name);
    /// A preset file opened from outside, added under its own name or the first free numbered one.
    void addPresetWithDataName(const QByteArray &data, const QString &fileName);

    [[nodiscard]] bool presetNameExists(const QString &name) const override;
    [[nodiscard]] QString presetExtension() const override;

private:
    MRKOShortcutPresetController();
    [[nodiscard]] static QString presetFileOfItem(const QAction *item);
    void popoverDidClose();

    QPointer<QPushButton> m_shortcutPresetsButton;
    QPointer<MRKOShortcutsViewController> m_shortcutsViewController;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<MRKOSavePresetPopover> m_savePresetPopover;
    QStringList m_presetNames;
};
