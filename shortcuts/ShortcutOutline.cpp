#include "shortcuts/ShortcutOutline.h"

#include "platform/Clock.h"
#include "platform/Services.h"
#include "platform/TimingFunction.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace inkora {

namespace {

constexpr double kFrameInterval = 1.0 / 60; // seconds between animation steps
constexpr double kLineWidth = 2;            // points

double now()
{
    return platform::services().clock->now();
}

} // namespace

ShortcutOutline::ShortcutOutline(QWidget *parent, const QRect &frame, const QColor &color, bool dashed)
    : QWidget(parent), m_color(color), m_dashed(dashed)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(frame);
    show();
    raise();
}

ShortcutOutline::~ShortcutOutline()
{
    if (m_timer)
        platform::RunLoop::main().cancel(m_timer);
}

void ShortcutOutline::setOpacity(double opacity)
{
    m_opacity = std::clamp(opacity, 0.0, 1.0);
    update();
}

void ShortcutOutline::fadeIn()
{
    animate(1, kFadeInTime, false);
}

void ShortcutOutline::fadeOut(double seconds)
{
    animate(0, seconds > 0 ? seconds : kDefaultFadeOutTime, true);
}

QRect ShortcutOutline::sourceFrame(const QRect &fieldFrame)
{
    return {fieldFrame.x() + 7, fieldFrame.y() - 4, fieldFrame.width() - 3, fieldFrame.height() + 8};
}

QRect ShortcutOutline::insertionFrame(const QRect &fieldFrame)
{
    return {fieldFrame.x() + 7, fieldFrame.y() - 2, fieldFrame.width() - 3, fieldFrame.height() + 4};
}

void ShortcutOutline::animate(double to, double seconds, bool removeWhenDone)
{
    // A new fade replaces the running one, from wherever that one had got to.
    if (m_timer)
        platform::RunLoop::main().cancel(m_timer);
    m_from = m_opacity;
    m_to = to;
    m_start = now();
    m_duration = seconds;
    m_removeWhenDone = removeWhenDone;
    m_timer = platform::RunLoop::main().schedule(
        kFrameInterval, [this] { step(); }, platform::RunLoop::CommonModes, kFrameInterval);
}

void ShortcutOutline::step()
{
    const double progress = m_duration > 0 ? std::clamp((now() - m_start) / m_duration, 0.0, 1.0) : 1.0;
    const double eased = platform::TimingFunction::named(platform::TimingFunction::EaseOut).valueAt(progress);
    setOpacity(m_from + (m_to - m_from) * eased);
    if (progress < 1)
        return;
    platform::RunLoop::main().cancel(m_timer);
    m_timer = 0;
    if (m_removeWhenDone) {
        hide();
        deleteLater();
    }
}

void ShortcutOutline::paintEvent(QPaintEvent *)
{
    if (m_opacity <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    const double radius = std::floor(height() / 2.0);
    QPen pen(m_color, kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (m_dashed)
        pen.setDashPattern({5 / kLineWidth, 4 / kLineWidth}); // Qt counts dashes in line widths
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box, radius, radius);
}

} // namespace inkora
