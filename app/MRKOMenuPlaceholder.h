#pragma once

#include <QRectF>
#include <QWidget>

/// The invisible window an overlay or whiteboard menu opens under, above the overlay's level, so that the menu
/// belongs to a window of ours on the right display. Only one lives at a time: the delegate replaces it.
class MRKOMenuPlaceholder final : public QWidget
{
    Q_OBJECT
public:
    /// `frame` in global points (y up).
    MRKOMenuPlaceholder(const QRectF &frame, int level, bool ignoresMouseEvents);
    ~MRKOMenuPlaceholder() override;

    [[nodiscard]] const QRectF &frame() const { return m_frame; }
    [[nodiscard]] int level() const { return m_level; }
    [[nodiscard]] bool ignoresMouseEvents() const { return m_ignoresMouseEvents; }
    /// A point in the placeholder (points from its bottom-left corner, y up) in Qt's global coordinates.
    [[nodiscard]] QPoint qtGlobalPoint(QPointF local) const;

private:
    QRectF m_frame;
    int m_level = 0;
    bool m_ignoresMouseEvents = false;
};
