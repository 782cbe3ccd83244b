#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <array>
#include <vector>

namespace inkora {

/// One element of a path; the points that matter are those the kind names, in order.
struct PathElement
{
    enum Kind : int {
        MoveTo = 0,  // points[0]: the point
        LineTo = 1,  // points[0]: the end
        QuadTo = 2,  // points[0]: control, points[1]: end
        CurveTo = 3, // points[0]: first control, points[1]: second control, points[2]: end
        Close = 4,
    };

    Kind kind = MoveTo;
    std::array<QPointF, 3> points{};

    /// The point where the element leaves the pen (a close-path element has none: (0, 0)).
    [[nodiscard]] QPointF endPoint() const;
    /// Exact comparison of the kind and of the points the kind uses.
    bool operator==(const PathElement &other) const;
};

enum class LineCap : int { Butt = 0, Round = 1, Square = 2 };
enum class LineJoin : int { Miter = 0, Round = 1, Bevel = 2 };

/// How an outline is made from a centre line; widths and lengths in the path's units.
struct StrokeStyle
{
    double width = 1.0;
    LineCap cap = LineCap::Butt;
    LineJoin join = LineJoin::Miter;
    double miterLimit = 10.0;
    std::vector<double> dashes; // on, off, on ... ; empty: solid
    double dashPhase = 0.0;
};

/// The geometry of a drawn object: a list of move, line, quadratic, cubic and close elements in y-up points.
/// Quadratic segments stay quadratic (QPainterPath would turn them into cubics), because the archive writes
/// them in a form of their own.
class GraphicsPath
{
public:
    void moveTo(QPointF point);
    /// Without a current point the line starts a subpath at its end.
    void lineTo(QPointF point);
    void quadTo(QPointF control, QPointF end);
    void cubicTo(QPointF control1, QPointF control2, QPointF end);
    void closeSubpath();

    /// A closed rectangle: move to the origin, then counter-clockwise (y up).
    void addRect(const QRectF &rect);
    /// The ellipse inscribed in the rect as four cubic quarters, starting at (maxX, midY) and running
    /// counter-clockwise (y up), each point mapped through the transform.
    void addEllipseInRect(const QRectF &rect, const QTransform &transform = {});
    /// An arc in radians about the centre; clockwise means decreasing angles (y up). A sweep that is a whole
    /// non-zero number of turns draws a full circle. A non-empty path gets a line to the arc's start.
    void addArc(QPointF center, double radius, double startAngle, double endAngle, bool clockwise);
    void addPath(const GraphicsPath &other, const QTransform &transform = {});

    [[nodiscard]] bool isEmpty() const { return m_elements.empty(); }
    [[nodiscard]] int elementCount() const { return static_cast<int>(m_elements.size()); }
    [[nodiscard]] const std::vector<PathElement> &elements() const { return m_elements; }
    [[nodiscard]] const PathElement &elementAt(int index) const { return m_elements.at(index); }

    /// The smallest rectangle holding every point on the path, control points excluded; a null rect when empty.
    [[nodiscard]] QRectF boundingBox() const;
    [[nodiscard]] GraphicsPath transformed(const QTransform &transform) const;
    /// The closed outline that filling (non-zero winding) shows as the stroke of this path.
    [[nodiscard]] GraphicsPath stroked(const StrokeStyle &style) const;

    [[nodiscard]] QPainterPath toPainterPath(Qt::FillRule rule = Qt::WindingFill) const;
    /// A path of the given elements, in order.
    [[nodiscard]] static GraphicsPath fromElements(const std::vector<PathElement> &elements);
    /// Every subpath of the result is closed when `closeSubpaths`; a painter path has no close elements.
    [[nodiscard]] static GraphicsPath fromPainterPath(const QPainterPath &path, bool closeSubpaths);

    /// Equal elements, compared exactly.
    bool operator==(const GraphicsPath &other) const { return m_elements == other.m_elements; }

private:
    void ensureCurrentPoint(QPointF point);

    std::vector<PathElement> m_elements;
    QPointF m_subpathStart;
    bool m_hasCurrentPoint = false;
};

/// The outline of `path` under `style`, dashed first when the style has dashes; empty for a width of 0 or less.
[[nodiscard]] QPainterPath strokeOutline(const QPainterPath &path, const StrokeStyle &style);

} // namespace inkora
