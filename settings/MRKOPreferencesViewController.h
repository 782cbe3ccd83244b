#pragma once

#include "foundation/SrgbColor.h"
#include "platform/Layer.h"
#include "platform/NotificationCenter.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class MRKODraw;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QScrollArea;
namespace platform {
class LayerWidget;
class ShapeLayer;
} // namespace platform
namespace inkora {
class PrefSlider;
} // namespace inkora

/// How a settings preset is loaded: its settings, its shortcuts then its settings, or its shortcuts alone.
enum MRKOPresetLoadType : int {
    MRKOPresetLoadTypeSettings = 0,
    MRKOPresetLoadTypeSettingsAndShortcuts = 1,
    MRKOPresetLoadTypeShortcuts = 2,
};

inline const QString kMRKOUpdateFlashlightSliderNotification = QStringLiteral("MRKOUpdateFlashlightSliderNotification");
inline const QString kMRKOUpdateSemiTransparentNotification = QStringLiteral("MRKOUpdateSemiTransparentNotification");
inline const QString kMRKOUpdateEraserSizeSliderNotification = QStringLiteral("MRKOUpdateEraserSizeSliderNotification");
inline const QString kMRKODefaultFontChangedNotification = QStringLiteral("MRKODefaultFontChangedNotification");

/// The Preferences pane: one control per setting in a scrolled tall container, each writing its key and having the
/// live copy follow; and the operations on the settings as a whole (the key list, presets, Restore Defaults).
/// One instance for the process; main thread only.
class MRKOPreferencesViewController final : public QWidget
{
    Q_OBJECT
public:
    /// The one pane, made with its controls on first use.
    [[nodiscard]] static MRKOPreferencesViewController &sharedController();
    /// Whether the pane has been made.
    [[nodiscard]] static bool hasSharedController();
    ~MRKOPreferencesViewController() override;

    [[nodiscard]] QWidget *containerView() const { return m_containerView; }
    [[nodiscard]] QScrollArea *scrollView() const { return m_scrollView; }
    /// The layer over the whole pane (points, y up) in which the click highlights and the eraser ring show.
    [[nodiscard]] const platform::LayerPtr &overlayLayer() const;

    // Settings as a whole
    /// The 104 fixed keys, then "wb_%ld" and "wbHidden_%ld" for every canvas; built anew at every call.
    [[nodiscard]] QStringList settingsKeys() const;
    /// Every listed key falls back to its registered default; no synchronise.
    void removeSettingsObjectsFromUserDefaults();
    /// The listed settings and the shortcuts' preset as a binary property list; null when it cannot be written.
    [[nodiscard]] std::optional<QByteArray> collectAllPreferences() const;
    /// Applies a preset after checking all of it; a preset it refuses changes nothing and is logged once.
    /// Returns whether anything was applied.
    bool applySettingsWithPresetLoadType(const QVariant &preset, int loadType);
    void restoreDefaults();
    /// Sets every control from the stored and live values.
    void reloadAllPreferences();
    /// Refreshes what depends on settings outside the pane.
    void updateExtras();

    // Colours of the colour buttons; no colour while their key holds none.
    [[nodiscard]] inkora::SrgbColor colorTextForeground() const;
    [[nodiscard]] inkora::SrgbColor colorTextBackground() const;
    [[nodiscard]] inkora::SrgbColor colorTimerBackground() const;
    [[nodiscard]] inkora::SrgbColor colorBadgeBackground() const;
    [[nodiscard]] inkora::SrgbColor colorFlashlightBackground() const;

    // Value refreshers
    void updateFlashlightSlider();
    void updateFlashlightRatioSlider();
    void updateMagnifySlider();
    void updateArrowHeadSlider();
    void updateConstantArrowHeadSlider();
    void updateSmoothEdgesSlider();
    void updateEraserSizeSlider();
    void updateFlashlightAndMagnifySliders();
    void updateSemiTransparent();
    void loadCustomClearMask();
    void updateFontSizeMenu();
    void updateBadgeFontSizeMenu();
    void updateFontsMenu();
    void updateFontFacesMenu();

    // Set-default buttons
    void setDefaultMagnifyScale();
    void setDefaultSmoothEdges();
    void setDefaultFlashlightRadius();
    void setDefaultFlashlightRatio();
    void setDefaultArrowHead();
    void setDefaultFontSize();
    void setDefaultFont();

    // Refreshers of what lies outside the pane
    void updateBigBallIfNeeded();
    void updateOverallShadowIfNeeded();
    void updateWhiteBackIfNeeded();
    void updateEventTapMonitor();

    // Previews
    void previewArrow();
    void previewText();
    /// `type`: what moved the slider (an `inkora::SliderEvent`).
    void previewEraser(int type);
    void previewFlashlight(int type);
    void updatePreviewFlashlight();
    /// The click highlights at a point of the pane (points, y up).
    void blinkForPoint(QPointF point);
    void blinkForPointCircle(QPointF point);
    [[nodiscard]] const std::shared_ptr<platform::ShapeLayer> &eraserPreviewLayer() const
    {
        return m_eraserPreviewLayer;
    }

    /// The help text of the control whose action is the selector; "No Description" for any other.
    [[nodiscard]] static QString prefDescriptionWithSEL(const QString &selector);
    /// Asks where to save and writes the pane as a one-page PDF.
    void saveAsPDF();
    /// Writes the container as a one-page PDF of its size in points over the appearance's grey; false on failure.
    bool writePDF(const QString &path) const;

    /// Ends every canvas's lower third and opens the lower-third settings window.
    static void openLowerThirdSettings();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    MRKOPreferencesViewController();

    void viewDidLoad();
    void connectActions();
    void checkBoxAction(QCheckBox *box);
    void radioAction(QButtonGroup *group, int tag);
    void popUpAction(QComboBox *popUp);
    void sliderAction(inkora::PrefSlider *slider);
    void clearScreenWhenHides(QCheckBox *box);
    void saveBeforeQuitAction(QCheckBox *box);
    void customClearPreserveTypeAction();
    void magnificationSliderAction(inkora::PrefSlider *slider);
    void splashSelected(int tag);
    void fontFamilySelected(const QString &family);
    void fontFaceSelected(const QString &face);
    void openLowerThirdSettingsAction();
    void flashlightBackgroundColorAction();
    [[nodiscard]] qint64 collectCustomClearMask() const;
    [[nodiscard]] bool presetIsAcceptable(const QVariantMap &preset, int loadType) const;
    void reloadRadioGroup(const QString &group, qint64 value);
    void selectTag(const char *popUp, qint64 tag);
    void setChecked(const char *box, bool on);
    /// The active tool bar's opacity button follows semi-transparent drawing.
    static void updateToolBarOpacityButton();

    template <class T> [[nodiscard]] T *outlet(const char *name) const { return findChild<T *>(QLatin1String(name)); }

    QScrollArea *m_scrollView = nullptr;            // child
    QWidget *m_containerView = nullptr;             // child of the scroll view
    platform::LayerWidget *m_overlayView = nullptr; // child; lets input through
    std::shared_ptr<platform::ShapeLayer> m_eraserPreviewLayer;
    QPointer<MRKODraw> m_previewDrawView;
    bool m_hasFlashlight = false;
    bool m_reloading = false;
    std::vector<platform::ObserverToken> m_observers;
};
