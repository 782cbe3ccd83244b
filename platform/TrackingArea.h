#pragma once

#include "platform/Event.h"

#include <QRectF>

#include <memory>
#include <vector>

namespace platform {

/// What a tracking area tells its owner. Every event keeps the location it came with.
class TrackingAreaOwner
{
public:
    virtual ~TrackingAreaOwner() = default;
    virtual void mouseEntered(const Event &) {}
    virtual void mouseExited(const Event &) {}
    virtual void mouseMoved(const Event &) {}
};

/// A rectangle of a view (its points, y up) whose owner hears when the pointer enters, leaves or moves in it.
/// The owner is held weakly: a gone owner is no longer told anything.
class TrackingArea final
{
public:
    enum Option : unsigned {
        MouseEnteredAndExited = 0x01,
        MouseMoved = 0x02,
        ActiveWhenFirstResponder = 0x10,
        ActiveInKeyWindow = 0x20,
        ActiveInActiveApp = 0x40,
        ActiveAlways = 0x80,
    };

    TrackingArea(const QRectF &rect, unsigned options, std::weak_ptr<TrackingAreaOwner> owner);

    [[nodiscard]] QRectF rect() const { return m_rect; }
    [[nodiscard]] unsigned options() const { return m_options; }
    [[nodiscard]] std::shared_ptr<TrackingAreaOwner> owner() const { return m_owner.lock(); }
    /// Whether the pointer was inside at the last event the view passed on.
    [[nodiscard]] bool isInside() const { return m_inside; }

private:
    friend class TrackingAreas;
    QRectF m_rect;
    unsigned m_options = 0;
    std::weak_ptr<TrackingAreaOwner> m_owner;
    bool m_inside = false;
};

using TrackingAreaPtr = std::shared_ptr<TrackingArea>;

/// The tracking areas of one view. The view passes every pointer position on; areas whose state changes tell their
/// owners, in the order the areas were added. A new area counts as outside until the pointer is seen inside it.
class TrackingAreas final
{
public:
    void add(const TrackingAreaPtr &area);
    void remove(const TrackingArea *area);
    [[nodiscard]] const std::vector<TrackingAreaPtr> &areas() const { return m_areas; }

    /// `point` in the view's points; `applicationActive` for areas active only in the active application.
    void pointerMoved(const Event &event, QPointF point, bool applicationActive);
    /// The pointer left the view: every area it was in is left.
    void pointerLeft(const Event &event);

private:
    std::vector<TrackingAreaPtr> m_areas;
};

} // namespace platform
