#pragma once

#include "foundation/SrgbColor.h"
#include "platform/Archivable.h"
#include "platform/Layer.h"
#include "platform/Path.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

#include <memory>
#include <optional>

class QPainter;
namespace platform {
class KeyedArchiver;
class KeyedUnarchiver;
} // namespace platform

/// Handles of a selected object; arrows and lines use 1 for the start point and 2 for the end point.
enum MRKOPillHandle : qint64 {
    MRKOPillHandleNone = 0,
    MRKOPillHandleTopLeft = 1,
    MRKOPillHandleTopMiddle = 2,
    MRKOPillHandleTopRight = 3,
    MRKOPillHandleLeftMiddle = 4,
    MRKOPillHandleRightMiddle = 5,
    MRKOPillHandleBottomLeft = 6,
    MRKOPillHandleBottomMiddle = 7,
    MRKOPillHandleBottomRight = 8,
    MRKOPillHandleStart = 1,
    MRKOPillHandleEnd = 2,
};

/// Bits of the corner where a gradient starts; top is maximum y.
enum MRKOStartDirection : quint64 {
    MRKOStartDirectionTop = 2,
    MRKOStartDirectionBottom = 4,
    MRKOStartDirectionLeft = 8,
    MRKOStartDirectionRight = 16,
};

namespace inkora {
/// What drawing handles needs of the handles view: its frame in canvas points, its backing scale and a painter
/// in its own y-up coordinates.
struct HandlesSurface
{
    QRectF frame;
    double backingScale = 1.0;
    QPainter *painter = nullptr; // not owned
};
} // namespace inkora

/// The vector model of one drawn object: the tool that made it, its colours and width, and its geometry as a centre
/// line (`path`) and the outline that is filled (`strokedPath`), in canvas points with y up. Copying gives an
/// independent model; the kinds add their own fields and geometry.
class MRKOPill : public platform::LayerModel, public platform::Archivable
{
public:
    MRKOPill();
    MRKOPill(quint64 toolType, const inkora::SrgbColor &color1, const inkora::SrgbColor &color2, quint64 colorType,
             quint64 direction, double thickness);
    MRKOPill(const MRKOPill &other) = default;
    MRKOPill &operator=(const MRKOPill &other) = default;
    ~MRKOPill() override;

    /// Registers every model kind with the archive class registry; safe to call any number of times.
    static void registerArchiveClasses();

    [[nodiscard]] quint64 toolType() const { return m_toolType; }
    void setToolType(quint64 toolType) { m_toolType = toolType; }
    /// An invalid colour stands for none.
    [[nodiscard]] const inkora::SrgbColor &color1() const { return m_color1; }
    void setColor1(const inkora::SrgbColor &color) { m_color1 = color; }
    [[nodiscard]] const inkora::SrgbColor &color2() const { return m_color2; }
    void setColor2(const inkora::SrgbColor &color) { m_color2 = color; }
    /// 1: filled with color1; anything else: a gradient from color1 to color2.
    [[nodiscard]] quint64 colorType() const { return m_colorType; }
    void setColorType(quint64 colorType) { m_colorType = colorType; }
    [[nodiscard]] quint64 startDirection() const { return m_startDirection; }
    void setStartDirection(quint64 direction) { m_startDirection = direction; }
    [[nodiscard]] double thickness() const { return m_thickness; }
    void setThickness(double thickness) { m_thickness = thickness; }
    [[nodiscard]] const std::optional<platform::Path> &path() const { return m_path; }
    void setPath(std::optional<platform::Path> path) { m_path = std::move(path); }
    [[nodiscard]] const std::optional<platform::Path> &strokedPath() const { return m_strokedPath; }
    void setStrokedPath(std::optional<platform::Path> path) { m_strokedPath = std::move(path); }

    [[nodiscard]] qint64 subType() const;
    [[nodiscard]] qint64 toolGroup() const;
    [[nodiscard]] bool toolKindIsBrush() const { return toolGroup() == 0; }
    [[nodiscard]] bool toolKindIsArrow() const { return toolGroup() == 1; }
    [[nodiscard]] bool toolKindIsRectangle() const { return toolGroup() == 2; }
    [[nodiscard]] bool toolKindIsText() const { return toolGroup() == 3; }

    /// The base compares tool type, colour type, both colours and thickness; kinds add their fields. The other
    /// model must be of the receiver's class or a subclass of it.
    [[nodiscard]] virtual bool isEqualToPill(const MRKOPill *other) const;

    /// Gradient corners of the rect chosen by startDirection; (0, 0) without a horizontal and a vertical bit.
    [[nodiscard]] QPointF startPointWithRect(const QRectF &rect) const;
    [[nodiscard]] QPointF endPointWithRect(const QRectF &rect) const;

    /// The stroked path's bounds rounded outwards to whole points; the zero rect without one.
    [[nodiscard]] QRectF integralBoundingBoxOfStrokedPath() const;
    /// The path's bounds without control points; the zero rect without a path.
    [[nodiscard]] QRectF boundingBoxOfPath() const;

    /// Rebuilds both paths from the kind's fields and answers the rect to render (canvas points).
    virtual QRectF createPaths();
    /// Draws the object at its canvas coordinates; the painter maps canvas points, y up.
    virtual void drawInContext(QPainter &painter) const;
    virtual void moveOriginWithDelta(QPointF delta);
    /// A new, independent model of the receiver's own kind.
    [[nodiscard]] virtual std::shared_ptr<MRKOPill> copy() const;

    [[nodiscard]] QString archiveClassName() const override;
    /// The shared keys in their order; kinds append theirs.
    void encodeWithCoder(platform::KeyedArchiver &coder) const override;
    /// Reads every field from the coder (a missing key reads 0, NO or none); kinds read theirs after the base.
    virtual void initWithCoder(platform::KeyedUnarchiver &coder);

    [[nodiscard]] virtual bool wantsHandles() const { return true; }
    [[nodiscard]] bool hasHandlesRect() const;
    /// The rectangle the handles surround; the zero rect lets callers fall back to the layer's box.
    [[nodiscard]] virtual QRectF handlesRect() const { return {}; }
    /// Draws the eight box handles on the handles frame of the view's bounds; nothing without a view.
    virtual void drawHandlesInView(const inkora::HandlesSurface *view) const;
    /// One handle centred at the point, in the view's coordinates.
    void drawHandleInViewAtPoint(const inkora::HandlesSurface *view, QPointF point) const;
    /// The handle under the point; the frame is in the same coordinates.
    [[nodiscard]] virtual MRKOPillHandle handleAtPoint(QPointF point, const QRectF &handlesFrame) const;
    /// Whether `point` lies in the hit square of the handle centred at `center`.
    [[nodiscard]] bool isHandleAtPoint(QPointF center, QPointF point) const;
    /// The rect resized by dragging a handle to the point (canvas points); the model is left as it is.
    [[nodiscard]] virtual QRectF resizeRect(const QRectF &rect, MRKOPillHandle handle, QPointF point);

    [[nodiscard]] static constexpr double handlesViewPadding() { return 10.0; }
    [[nodiscard]] static constexpr double handlesViewPaddingNoBlur() { return 6.0; }
    [[nodiscard]] static QRectF handlesViewFrameWithRect(const QRectF &rect);
    [[nodiscard]] static QRectF handlesFrameFromHandlesViewFrame(const QRectF &rect);
    [[nodiscard]] static QPointF handlePoint(MRKOPillHandle handle, const QRectF &rect);

protected:
    /// The designated initialiser's field order: tool type, colours, colour type, start direction, thickness.
    void setBaseFields(quint64 toolType, const inkora::SrgbColor &color1, const inkora::SrgbColor &color2,
                       quint64 colorType, quint64 direction, double thickness);
    /// Whether `other` is of this model's class or a subclass of it; every kind answers for its own class.
    [[nodiscard]] virtual bool isKindOfReceiverClass(const MRKOPill &other) const;
    /// Fills `strokedPath` with color1, or with the gradient from `start` to `end`.
    void fillStrokedPath(QPainter &painter, QPointF start, QPointF end) const;

private:
    quint64 m_toolType = 0;
    inkora::SrgbColor m_color1;
    inkora::SrgbColor m_color2;
    quint64 m_colorType = 0;
    quint64 m_startDirection = 0;
    double m_thickness = 0.0;
    std::optional<platform::Path> m_path;
    std::optional<platform::Path> m_strokedPath;
};
