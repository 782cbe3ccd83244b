#pragma once

#include "platform/Path.h"

#include <QPointF>

namespace inkora {

/// The process-wide state of the arrow head that follows the end of a quick-arrow stroke: the smoothed last
/// segment, its smoothed direction, and the head's random shape, chosen once per head. One stroke at a time
/// across all canvases. Single precision, as the head has always been computed. Main thread only.
class QuickArrowHead final
{
public:
    static QuickArrowHead &shared();
    /// Head size by thickness preset (0...5; 150 for any other value), before "QuickArrowHeadSize" and 0.33.
    [[nodiscard]] static double baseSize(quint64 thickness);

    /// Follows the newest segment of the stroke (its start and end) and answers the angle, in radians, of the
    /// smoothed direction.
    double followSegment(QPointF start, QPointF end);
    /// Moves the smoothed segment with a moved stroke.
    void translate(QPointF delta);
    /// Forgets the smoothed segment and direction.
    void resetDirection();

    [[nodiscard]] bool headExists() const { return m_headExists; }
    /// Chooses random tilts and side angles unless a head exists, and marks that one does.
    void chooseShapeIfNeeded();
    void clearHeadExists() { m_headExists = false; }
    /// Straight sides: the head styles other than 0.
    void straightenSides() { m_tilt1 = m_tilt2 = 0; }
    /// The head's centre line for sides of `size` points: tip at the origin, pointing along +x.
    [[nodiscard]] platform::Path path(double size) const;

private:
    QuickArrowHead() = default;

    float m_startX = 0, m_startY = 0; // the smoothed segment; x 0 means none yet
    float m_endX = 0, m_endY = 0;
    float m_directionX = 0, m_directionY = 0; // x 0 means none yet
    bool m_headExists = false;
    float m_tilt1 = 0, m_tilt2 = 0; // radians
    float m_side1 = 0, m_side2 = 0; // radians
};

} // namespace inkora
