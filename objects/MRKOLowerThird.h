#pragma once

#include "foundation/SrgbColor.h"
#include "objects/MRKOLowerThirdDelegate.h"
#include "platform/Layer.h"
#include "platform/Transform3D.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <memory>

class MRKODraw;
namespace platform {
class AnimationGroup;
class LayerWidget;
class TextLayer;
} // namespace platform

/// The eleven ways a lower third flies in and out; any other number plays the first.
enum MRKOLowerThirdAnimationPreset : qint64 {
    MRKOLowerThirdAnimationFlySpinFromLeft = 0,
    MRKOLowerThirdAnimationFlySpinFromRight = 1,
    MRKOLowerThirdAnimationFlyFromTop = 2,
    MRKOLowerThirdAnimationFlyFromCenter = 3,
    MRKOLowerThirdAnimationFlySpinFromTop = 4,
    MRKOLowerThirdAnimationPopUpFromBottomCenter = 5,
    MRKOLowerThirdAnimationPopUpInflateFromBottomCenter = 6,
    MRKOLowerThirdAnimationPopUpFromBottom = 7,
    MRKOLowerThirdAnimationPopUpFromBottomCorner = 8,
    MRKOLowerThirdAnimationInflate = 9,
    MRKOLowerThirdAnimationFade = 10
};

/// A two-bar caption (title over subtitle) in a transparent, click-through window over a canvas's display: it flies
/// into the lower left, rests five seconds and flies out, by one of eleven presets read from the settings.
class MRKOLowerThird final : public QObject
{
    Q_OBJECT
public:
    /// The stages after the first: the subtitle follows, the hide starts, the subtitle hides (seconds).
    static constexpr double kSecondStageDelay = 0.25;
    static constexpr double kHideDelay = 5.0;

    /// What the settings hold, with their defaults and clamps applied.
    struct Settings
    {
        QString title;
        QString subtitle;
        inkora::SrgbColor titleForegroundColor;
        inkora::SrgbColor titleBackgroundColor;
        inkora::SrgbColor subtitleForegroundColor;
        inkora::SrgbColor subtitleBackgroundColor;
        qint64 animationPreset = 0;
        double sizeScale = 1.0;
        double cornerRadius = 0.5;
        double titleWidth = 1.0;
        double subtitleWidth = 1.0;
    };
    [[nodiscard]] static Settings storedSettings();

    [[nodiscard]] static std::unique_ptr<MRKOLowerThird> lowerThirdWithDrawView(MRKODraw *canvas);
    /// Opens the window over the canvas's display (none without a canvas); size 1.0, corner radius 0.5.
    explicit MRKOLowerThird(MRKODraw *canvas);
    ~MRKOLowerThird() override;

    void createWindow();
    /// Shows the bars at rest when there are none yet.
    void showIfNeeded();
    /// Plays the show when there are no bars yet; a showing lower third ignores it.
    void animateIfNeeded();
    /// Takes the bars down and plays the show from the start.
    void forceAnimate();
    /// Rereads the settings and shows the bars at rest with them, cancelling what was pending.
    void liveUpdateLowerThird();
    void loadLowerThirdSettings();
    void createLayersIfNeeded();
    void updateLayersProperties();
    void showLowerThirdsForAnimation(bool animated);
    void applyAnimation();
    void secondAppearAnimation();
    void hideLowerThird();
    void secondHideAnimation();
    /// Stops everything, drops the bars and closes the window.
    void cleanUp();
    void stopAllAnimations();
    void resetTransform();
    void willStart();
    void didFinished();
    /// 2 ⌊0.07 × the content width⌋; 0 without a window.
    [[nodiscard]] double relative200() const;
    void loadTransform();

    void loadAnimationFade();
    void loadAnimationFlySpinFromLeft();
    void loadAnimationFlySpinFromRight();
    void loadAnimationFlyFromTop();
    void loadAnimationFlyFromCenter();
    void loadAnimationFlySpinFromTop();
    void loadAnimationPopUpFromBottomCenter();
    void loadAnimationPopUpInflateFromBottomCenter();
    void loadAnimationPopUpFromBottom();
    void loadAnimationPopUpFromBottomCorner();
    void loadAnimationInflate();

    [[nodiscard]] MRKOLowerThirdDelegate *delegate() const { return m_delegate; }
    void setDelegate(MRKOLowerThirdDelegate *delegate) { m_delegate = delegate; }
    [[nodiscard]] MRKODraw *drawView() const;
    [[nodiscard]] platform::LayerWidget *lowerThirdWindow() const { return m_window.get(); }
    [[nodiscard]] const platform::LayerPtr &lowerThirdTitleContainer() const { return m_titleContainer; }
    [[nodiscard]] const platform::LayerPtr &lowerThirdSubtitleContainer() const { return m_subtitleContainer; }
    [[nodiscard]] const std::shared_ptr<platform::TextLayer> &titleLayer() const { return m_titleLayer; }
    [[nodiscard]] const std::shared_ptr<platform::TextLayer> &subTitleLayer() const { return m_subTitleLayer; }
    [[nodiscard]] const std::shared_ptr<platform::AnimationGroup> &appearAnimationGroup() const
    {
        return m_appearGroup;
    }
    [[nodiscard]] const std::shared_ptr<platform::AnimationGroup> &hideAnimationGroup() const { return m_hideGroup; }
    [[nodiscard]] platform::Layer *contentViewLayer() const;

    [[nodiscard]] const platform::Transform3D &startTransform() const { return m_startTransform; }
    [[nodiscard]] const platform::Transform3D &endTransform() const { return m_endTransform; }
    [[nodiscard]] double titleContainerWidth() const { return m_titleContainerWidth; }
    [[nodiscard]] qint64 animationPreset() const { return m_animationPreset; }
    void setAnimationPreset(qint64 preset) { m_animationPreset = preset; }
    [[nodiscard]] double sizeScale() const { return m_sizeScale; }
    [[nodiscard]] double cornerRadius() const { return m_cornerRadius; }
    [[nodiscard]] double titleWidth() const { return m_titleWidth; }
    [[nodiscard]] double subtitleWidth() const { return m_subtitleWidth; }
    [[nodiscard]] const QString &titleString() const { return m_titleString; }
    [[nodiscard]] const QString &subtitleString() const { return m_subtitleString; }

    /// The translation of a preset's off-stage transform for `relative200` r and title width w.
    struct Offset
    {
        double x = 0, y = 0, z = 0;
    };
    [[nodiscard]] static Offset presetOffset(qint64 preset, double r, double w);
    /// The resting transform of every preset but the fade: perspective 1/700.
    [[nodiscard]] static platform::Transform3D perspectiveTransform();

private:
    void loadFlyingTransform(Offset offset);
    /// The content view's bounds; empty while the window stands on no display.
    [[nodiscard]] QRectF contentBounds() const;

    QPointer<QWidget> m_drawView;                 // not owned; the canvas
    MRKOLowerThirdDelegate *m_delegate = nullptr; // not owned
    std::unique_ptr<platform::LayerWidget> m_window;
    bool m_onDisplay = false;
    platform::LayerPtr m_titleContainer;
    platform::LayerPtr m_subtitleContainer;
    std::shared_ptr<platform::TextLayer> m_titleLayer;
    std::shared_ptr<platform::TextLayer> m_subTitleLayer;
    std::shared_ptr<platform::AnimationGroup> m_appearGroup;
    std::shared_ptr<platform::AnimationGroup> m_hideGroup;

    double m_titleContainerWidth = 0;
    platform::Transform3D m_startTransform;
    platform::Transform3D m_endTransform;
    QString m_titleString;
    QString m_subtitleString;
    inkora::SrgbColor m_titleForegroundColor;
    inkora::SrgbColor m_titleBackgroundColor;
    inkora::SrgbColor m_subtitleForegroundColor;
    inkora::SrgbColor m_subtitleBackgroundColor;
    qint64 m_animationPreset = 0;
    double m_sizeScale = 1.0;
    double m_cornerRadius = 0.5;
    double m_titleWidth = 1.0;
    double m_subtitleWidth = 1.0;
};
