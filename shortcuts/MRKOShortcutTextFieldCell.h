#pragma once

#include <QRectF>

/// The text cell of the shortcut fields: draws its text a fixed distance in from the left edge.
class MRKOShortcutTextFieldCell final
{
public:
    [[nodiscard]] double leftPadding() const { return m_leftPadding; }
    void setLeftPadding(double padding) { m_leftPadding = padding; }

    /// Where the text is drawn within `bounds` (points): the whole bounds, moved in by the padding when there is one
    /// and the bounds are wider than it.
    [[nodiscard]] QRectF drawingRectForBounds(const QRectF &bounds) const;

private:
    double m_leftPadding = 0; // points
};
