#pragma once

#include <QRectF>

/// The text area of a field that leaves room on its left for a sign inside the field.
class KVPaddedTextFieldCell final
{
public:
    /// Points.
    [[nodiscard]] double leftPadding() const { return m_leftPadding; }
    void setLeftPadding(double padding) { m_leftPadding = padding; }

    /// `rect` inset on the left by the padding; unchanged when it is no wider than the padding.
    [[nodiscard]] QRectF drawingRectForBounds(const QRectF &rect) const;

private:
    double m_leftPadding = 16.0;
};
