#include "platform/TrackingArea.h"

#include <algorithm>

namespace platform {

TrackingArea::TrackingArea(const QRectF &rect, unsigned options, std::weak_ptr<TrackingAreaOwner> owner)
    : m_rect(rect), m_options(options), m_owner(std::move(owner))
{}

void TrackingAreas::add(const TrackingAreaPtr &area)
{
    if (area && std::find(m_areas.begin(), m_areas.end(), area) == m_areas.end())
        m_areas.push_back(area);
}

void TrackingAreas::remove(const TrackingArea *area)
{
    std::erase_if(m_areas, [area](const TrackingAreaPtr &a) { return a.get() == area; });
}

void TrackingAreas::pointerMoved(const Event &event, QPointF point, bool applicationActive)
{
    // Owners may change the areas while being told: work on a copy, skip areas removed meanwhile.
    const auto areas = m_areas;
    for (const TrackingAreaPtr &area : areas) {
        if (std::find(m_areas.begin(), m_areas.end(), area) == m_areas.end())
            continue;
        const bool active = (area->m_options & TrackingArea::ActiveAlways) ||
                            ((area->m_options & TrackingArea::ActiveInActiveApp) && applicationActive);
        // The edges at maximum x and y are outside, so that touching areas never hold the pointer both.
        const QRectF &r = area->m_rect;
        const bool inside = active && point.x() >= r.x() && point.y() >= r.y() && point.x() < r.x() + r.width() &&
                            point.y() < r.y() + r.height();
        const auto owner = area->owner();
        if (inside != area->m_inside) {
            area->m_inside = inside;
            if (owner && (area->m_options & TrackingArea::MouseEnteredAndExited)) {
                if (inside)
                    owner->mouseEntered(event);
                else
                    owner->mouseExited(event);
            }
        } else if (inside && owner && (area->m_options & TrackingArea::MouseMoved)) {
            owner->mouseMoved(event);
        }
    }
}

void TrackingAreas::pointerLeft(const Event &event)
{
    const auto areas = m_areas;
    for (const TrackingAreaPtr &area : areas) {
        if (!area->m_inside)
            continue;
        area->m_inside = false;
        if (const auto owner = area->owner(); owner && (area->m_options & TrackingArea::MouseEnteredAndExited))
            owner->mouseExited(event);
    }
}

} // namespace platform
