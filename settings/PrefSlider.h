#pragma once

#include <QSlider>

namespace inkora {

/// What moved a slider: the left button going down, moving while held, going up, or the keyboard.
enum class SliderEvent : int { None = 0, MouseDown = 1, MouseUp = 2, MouseDragged = 6 };

/// A horizontal slider over a range of doubles in fixed steps that reports how its value changed: a press, a move
/// while held, the release, or the keyboard. Every user change sends `action`; programmatic changes send nothing.
class PrefSlider final : public QSlider
{
    Q_OBJECT
public:
    PrefSlider(double minimum, double maximum, double step, QWidget *parent = nullptr);

    [[nodiscard]] double doubleValue() const;
    [[nodiscard]] qint64 integerValue() const;
    /// Moves the knob to the nearest step inside the range; sends no action.
    void setDoubleValue(double value);
    [[nodiscard]] double minimumValue() const { return m_minimum; }
    [[nodiscard]] double maximumValue() const { return m_maximum; }

    /// The kind of the change being sent: left mouse down, dragged or up, or `None` for the keyboard.
    [[nodiscard]] SliderEvent currentEventType() const { return m_eventType; }
    /// Whether the change being sent is the release of a press that did not move the knob.
    [[nodiscard]] bool isClick() const { return m_eventType == SliderEvent::MouseUp && !m_dragged; }

signals:
    void action(inkora::PrefSlider *sender);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void valueChangedByUser(int position);
    [[nodiscard]] int positionAt(const QPoint &point) const;
    void send(SliderEvent type);
    [[nodiscard]] int maximum_() const;

    double m_minimum = 0;
    double m_maximum = 1;
    double m_step = 1;
    SliderEvent m_eventType = SliderEvent::None;
    bool m_pressed = false;
    bool m_dragged = false;
    bool m_programmatic = false;
};

} // namespace inkora
