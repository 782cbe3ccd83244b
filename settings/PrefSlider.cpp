#include "settings/PrefSlider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace inkora {

PrefSlider::PrefSlider(double minimum, double maximum, double step, QWidget *parent)
    : QSlider(Qt::Horizontal, parent), m_minimum(minimum), m_maximum(maximum), m_step(step)
{
    setRange(0, int(std::lround((maximum - minimum) / step)));
    setSingleStep(1);
    setPageStep(std::max(1, maximum_() / 10));
    connect(this, &QSlider::valueChanged, this, &PrefSlider::valueChangedByUser);
}

int PrefSlider::maximum_() const
{
    return QSlider::maximum();
}

double PrefSlider::doubleValue() const
{
    return std::min(m_maximum, m_minimum + value() * m_step);
}

qint64 PrefSlider::integerValue() const
{
    return qint64(std::trunc(doubleValue()));
}

void PrefSlider::setDoubleValue(double value)
{
    const double position = std::isfinite(value) ? (value - m_minimum) / m_step : 0;
    m_programmatic = true;
    setValue(int(std::clamp<double>(std::round(position), 0, QSlider::maximum())));
    m_programmatic = false;
}

void PrefSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    event->accept();
    m_pressed = true;
    m_dragged = false;
    setSliderDown(true);
    // The knob jumps to the pressed place, as the pointer is where the user wants the value.
    m_programmatic = true;
    setValue(positionAt(event->position().toPoint()));
    m_programmatic = false;
    send(SliderEvent::MouseDown);
}

void PrefSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed) {
        QSlider::mouseMoveEvent(event);
        return;
    }
    event->accept();
    const int position = positionAt(event->position().toPoint());
    if (position == value())
        return;
    m_dragged = true;
    m_programmatic = true;
    setValue(position);
    m_programmatic = false;
    send(SliderEvent::MouseDragged);
}

void PrefSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressed || event->button() != Qt::LeftButton) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    m_pressed = false;
    setSliderDown(false);
    send(SliderEvent::MouseUp);
    m_dragged = false;
}

void PrefSlider::valueChangedByUser(int)
{
    if (m_programmatic || m_pressed)
        return;
    send(SliderEvent::None);
}

int PrefSlider::positionAt(const QPoint &point) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = std::max(1, groove.width() - handle.width());
    const int x = point.x() - groove.x() - handle.width() / 2;
    return QStyle::sliderValueFromPosition(QSlider::minimum(), QSlider::maximum(), std::clamp(x, 0, span), span,
                                           option.upsideDown);
}

void PrefSlider::send(SliderEvent type)
{
    m_eventType = type;
    emit action(this);
    m_eventType = SliderEvent::None;
}

} // namespace inkora
