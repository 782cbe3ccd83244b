#include "canvas/QuickArrowHead.h"

#include <QRandomGenerator>

#include <cmath>
#include <numbers>

namespace inkora {

namespace {

QPointF rotated(QPointF p, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    return QPointF(float(p.x()) * c - float(p.y()) * s, float(p.x()) * s + float(p.y()) * c);
}

} // namespace

QuickArrowHead &QuickArrowHead::shared()
{
    static QuickArrowHead head;
    return head;
}

double QuickArrowHead::baseSize(quint64 thickness)
{
    constexpr double kSizes[] = {115, 130, 150, 180, 220, 280};
    return thickness < 6 ? kSizes[thickness] : 150;
}

double QuickArrowHead::followSegment(QPointF start, QPointF end)
{
    const float px = float(start.x()), py = float(start.y());
    const float qx = float(end.x()), qy = float(end.y());
    if (m_startX == 0) {
        m_startX = px, m_startY = py;
        m_endX = qx, m_endY = qy;
    } else {
        // Short segments move the head slowly, long ones almost at once.
        const float length = std::hypot(qx - px, qy - py);
        float keep = 0.1f;
        if (length < 8)
            keep = 1 - length / 16;
        else if (length <= 20)
            keep = 0.5f;
        m_startX = px * (1 - keep) + m_startX * keep;
        m_startY = py * (1 - keep) + m_startY * keep;
        m_endX = qx * (1 - keep) + m_endX * keep;
        m_endY = qy * (1 - keep) + m_endY * keep;
    }
    float dx = m_endX - m_startX, dy = m_endY - m_startY;
    if (m_directionX != 0) {
        dx = (dx + m_directionX) / 2;
        dy = (dy + m_directionY) / 2;
    }
    m_directionX = dx, m_directionY = dy;
    return std::atan2(dy, dx);
}

void QuickArrowHead::translate(QPointF delta)
{
    m_startX += float(delta.x()), m_startY += float(delta.y());
    m_endX += float(delta.x()), m_endY += float(delta.y());
}

void QuickArrowHead::resetDirection()
{
    m_startX = m_startY = m_endX = m_endY = 0;
    m_directionX = m_directionY = 0;
}

void QuickArrowHead::chooseShapeIfNeeded()
{
    if (m_headExists)
        return;
    QRandomGenerator *random = QRandomGenerator::global();
    m_tilt1 = float(random->bounded(0.6) - 0.3);
    m_tilt2 = float(random->bounded(0.6) - 0.3);
    const int j = random->bounded(8);
    constexpr float kDegree = std::numbers::pi_v<float> / 180;
    m_side1 = float(210 - j) * kDegree;
    m_side2 = float(150 + j) * kDegree;
    m_headExists = true;
}

platform::Path QuickArrowHead::path(double size) const
{
    const float s = float(size);
    const QPointF p1(s * std::cos(m_side1), s * std::sin(m_side1));
    const QPointF p2(s * std::cos(m_side2), s * std::sin(m_side2));
    platform::Path path;
    path.moveTo(p1);
    path.quadTo(rotated(p1 / 2, m_tilt1), QPointF(0, 0));
    path.quadTo(rotated(p2 / 2, m_tilt2), p2);
    return path;
}

} // namespace inkora
