#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QTransform>

#include <array>
#include <vector>

namespace platform {

/// A vector path that keeps its elements as they were added: quadratic and cubic segments stay apart (a
/// QPainterPath stores both as cubics), and closing a subpath is an element of its own. Points, y up.
class Path
{
public:
    enum class ElementType : int { MoveTo, LineTo, QuadTo, CubicTo, Close };
    /// Points by kind: move and line: the point; quad: control, end; cubic: control 1, control 2, end.
    struct Element
    {
        ElementType type = ElementType::MoveTo;
        std::array<QPointF, 3> points{};

        [[nodiscard]] int pointCount() const;
        /// The point where the element ends; none for a close.
        [[nodiscard]] QPointF endPoint() const;
        friend bool operator==(const Element &a, const Element &b);
    };

    Path() = default;

    [[nodiscard]] bool isEmpty() const { return m_elements.empty(); }
    [[nodiscard]] int elementCount() const { return int(m_elements.size()); }
    [[nodiscard]] const Element &elementAt(int index) const { return m_elements[size_t(index)]; }
    [[nodiscard]] const std::vector<Element> &elements() const { return m_elements; }

    void moveTo(QPointF point);
    /// Without a current point these start a subpath at their first point, as a move would.
    void lineTo(QPointF point);
    void quadTo(QPointF control, QPointF end);
    void cubicTo(QPointF control1, QPointF control2, QPointF end);
    void closeSubpath();
    /// The point where the last element ends (a close returns to its subpath's start); (0, 0) when empty.
    [[nodiscard]] QPointF currentPoint() const;

    /// A closed rectangle: move to the origin, lines counter-clockwise (y up), close.
    void addRect(const QRectF &rect);
    /// Four cubic quarters starting at the right-hand middle point, counter-clockwise (y up), closed.
    void addEllipseInRect(const QRectF &rect);
    /// An arc of cubic pieces, joined by a line to the current point if there is one. Angles in radians from
    /// the x axis, counter-clockwise with y up; `clockwise` runs the other way. A sweep of a whole turn or more
    /// (such as 0 to 2 pi either way) draws a full circle.
    void addArc(QPointF center, double radius, double startAngle, double endAngle, bool clockwise);
    /// Appends every element of `other`, mapped by the transform.
    void addPath(const Path &other, const QTransform &transform = {});

    [[nodiscard]] Path transformed(const QTransform &transform) const;
    /// The smallest rectangle holding every point, control points included.
    [[nodiscard]] QRectF boundingBox() const;
    /// The smallest rectangle holding the path itself, without control points.
    [[nodiscard]] QRectF pathBoundingBox() const;
    [[nodiscard]] bool contains(QPointF point, Qt::FillRule rule = Qt::WindingFill) const;

    [[nodiscard]] QPainterPath toPainterPath(Qt::FillRule rule = Qt::WindingFill) const;
    /// Curves come back as cubics; a subpath that ends where it began is closed.
    [[nodiscard]] static Path fromPainterPath(const QPainterPath &path);
    /// The outline of the path stroked with the width, ends, joins, miter limit (a ratio of the line width) and
    /// dash pattern (lengths in the path's units, starting `dashPhase` into the pattern).
    [[nodiscard]] Path strokedOutline(double width, Qt::PenCapStyle cap = Qt::FlatCap,
                                      Qt::PenJoinStyle join = Qt::MiterJoin, double miterLimit = 10,
                                      const std::vector<double> &dashes = {}, double dashPhase = 0) const;

    friend bool operator==(const Path &a, const Path &b) { return a.m_elements == b.m_elements; }

private:
    void ensureStart(QPointF point);

    std::vector<Element> m_elements;
    QPointF m_subpathStart;
};

} // namespace platform
