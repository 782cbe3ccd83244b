#pragma once

#include "platform/NotificationCenter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

#include <optional>

class KQTextField;
class MRKOActionPopupButton;
class MRKOActionSourcePopupButton;
class MRKOColorSegmentedControl;
class MRKOShortcutsView;
class MRKOTextBadgeShortcutSegControl;
class QCheckBox;
class QPushButton;
class QScrollArea;

/// How a shortcut preset is loaded: all of it, its shortcuts, or its other options.
enum MRKOShortcutPresetLoadType : int {
    MRKOShortcutPresetLoadTypeFull = 0,
    MRKOShortcutPresetLoadTypeShortcuts = 1,
    MRKOShortcutPresetLoadTypeOtherOptions = 2,
};

/// The Shortcuts pane: one recorder field per command shortcut, holding the application delegate's very shortcut
/// object, the single-key slot choosers, the custom badge texts, the colour swatches and the Fn-in-ghost-mode
/// choice, with actions on whole groups, the list as PDF, and the pane's side of shortcut presets.
/// Its controls are made when it is first shown or asked to load. Main thread only.
class MRKOShortcutsViewController final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kFieldCount = 63;
    static constexpr int kSlotCount = 30;
    static constexpr int kBadgeCount = 10;
    static constexpr int kSwatchCount = 10;
    static constexpr double kSlotMenuDelay = 0.1; // seconds a burst of swatch changes is gathered

    /// The one pane, made (not loaded) on first use.
    [[nodiscard]] static MRKOShortcutsViewController &sharedController();
    [[nodiscard]] static bool hasSharedController();
    ~MRKOShortcutsViewController() override;

    [[nodiscard]] bool loaded() const { return m_viewLoaded; }
    void loadShortcutsViewIfNeeded();

    [[nodiscard]] QScrollArea *scrollView() const { return m_scrollView; }
    [[nodiscard]] QWidget *containerView() const;
    [[nodiscard]] const QList<KQTextField *> &shortcutsTextFields() const { return m_shortcutFields; }
    [[nodiscard]] QStringList shortcutKeys() const;
    [[nodiscard]] KQTextField *fieldWithIdentifier(const QString &identifier) const;
    [[nodiscard]] const QList<MRKOActionPopupButton *> &actionSlots() const { return m_actionSlots; }
    [[nodiscard]] const QList<MRKOColorSegmentedControl *> &colorSegControls() const { return m_colorSegControls; }
    [[nodiscard]] const QList<MRKOTextBadgeShortcutSegControl *> &badgeSegControls() const
    {
        return m_badgeSegControls;
    }
    [[nodiscard]] MRKOActionSourcePopupButton *sourcePopupButton() const { return m_sourcePopupButton; }
    [[nodiscard]] QPushButton *shortcutPresetsButton() const { return m_shortcutPresetsButton; }
    [[nodiscard]] QCheckBox *allowFnInGhostModeButton() const { return m_allowFnInGhostModeButton; }

    void updateControls();
    void updateCachedOptions();
    void allowFnInGhostMode();

    // Group actions
    void disableAll();
    void enableAll();
    void restoreDefaults();
    void restoreAllAdjustment();
    void resetAllActions();
    void disableAllActions();
    void resetAllCustomTextBadges();
    void resetAllColorSwatches();
    void saveShortcutPresetAs();

    // Slot menus after swatch changes
    void updateActionSlotsMenu();
    void updateSwatchImagesNotification();
    void performUpdateActionSlotsMenu();

    /// Asks where to save and writes the whole list as a one-page PDF.
    void saveAsPDF();
    /// Writes the container as one page of its size in points over the appearance's grey; false on failure.
    bool writePDF(const QString &path) const;

    // Presets
    /// The six-key preset of what the pane shows.
    [[nodiscard]] QVariantMap shortcutsPresetDict();
    /// That preset as a binary property list; none when it cannot be written.
    [[nodiscard]] std::optional<QByteArray> collectShortcutPresetData();
    /// Applies a preset of any origin after checking all of it; a refused one changes nothing and is logged once.
    /// Load types above 2 apply nothing but still refresh the slot menus.
    void applyShortcutsFromPreset(const QVariant &preset, int loadType);

protected:
    void showEvent(QShowEvent *event) override;

private:
    MRKOShortcutsViewController();
    void viewDidLoad();
    void buildContainer();
    /// Fields still without a shortcut take the delegate's, made once the overlay has been shown.
    void pairFieldsWithDelegate();
    void applyShortcuts(const QVariantMap &shortcuts);
    void applyOtherOptions(const QVariantMap &preset);

    QScrollArea *m_scrollView = nullptr;                         // child
    MRKOShortcutsView *m_containerView = nullptr;                // owned by the scroll view
    MRKOActionSourcePopupButton *m_sourcePopupButton = nullptr;  // in the container, hidden
    QPushButton *m_shortcutPresetsButton = nullptr;              // in the container
    QCheckBox *m_allowFnInGhostModeButton = nullptr;             // in the container
    QList<KQTextField *> m_shortcutFields;                       // in the container
    QList<MRKOActionPopupButton *> m_actionSlots;                // in the container
    QList<MRKOColorSegmentedControl *> m_colorSegControls;       // in the container
    QList<MRKOTextBadgeShortcutSegControl *> m_badgeSegControls; // in the container
    platform::ObserverToken m_swatchObserver{};
    bool m_viewLoaded = false;
};
