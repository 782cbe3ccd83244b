#pragma once

#include "platform/Dispatch.h"

#include <QColor>
#include <QWidget>

namespace inkora {

/// The rounded outline a shortcut field shows around itself while a shortcut is dragged or after a change: a
/// transparent child of the field's parent that fades in and out by the media clock and removes itself once faded
/// out. It takes no input.
class ShortcutOutline final : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kFadeInTime = 0.15;         // seconds
    static constexpr double kDefaultFadeOutTime = 0.25; // seconds

    /// `frame` in the parent's coordinates; a dashed outline is drawn 5 on, 4 off.
    ShortcutOutline(QWidget *parent, const QRect &frame, const QColor &color, bool dashed);
    ~ShortcutOutline() override;

    [[nodiscard]] QColor color() const { return m_color; }
    [[nodiscard]] bool isDashed() const { return m_dashed; }
    [[nodiscard]] double opacity() const { return m_opacity; }
    void setOpacity(double opacity);

    /// From the current opacity to 1, easing out.
    void fadeIn();
    /// To 0 over `seconds` (0 means the default), easing out; then the outline deletes itself.
    void fadeOut(double seconds);
    [[nodiscard]] bool isFadingOut() const { return m_removeWhenDone; }

    /// The outline's frame beside a field's frame (y down): the dragged field's, or the drop target's.
    [[nodiscard]] static QRect sourceFrame(const QRect &fieldFrame);
    [[nodiscard]] static QRect insertionFrame(const QRect &fieldFrame);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void animate(double to, double seconds, bool removeWhenDone);
    void step();

    QColor m_color;
    double m_opacity = 0;
    double m_from = 0;
    double m_to = 0;
    double m_start = 0;    // media-clock seconds
    double m_duration = 0; // seconds
    platform::RunLoop::TimerId m_timer = 0;
    bool m_dashed = false;
    bool m_removeWhenDone = false;
};

} // namespace inkora
