#pragma once

#include "foundation/SrgbColor.h"

#include <QSizeF>
#include <QtGlobal>

#include <memory>

/// How a grid counts its lines: 1 diagonal, anything else rectangular.
enum MRKOGridType : qint64 { MRKOGridTypeRectangular = 0, MRKOGridTypeDiagonal = 1 };

/// The edges a rectangular grid counts its lines from; any other value acts as 0.
enum MRKOGridAlignment : qint64 {
    MRKOGridAlignmentLeftTop = 0,
    MRKOGridAlignmentLeftBottom = 1,
    MRKOGridAlignmentRightTop = 2,
    MRKOGridAlignmentRightBottom = 3
};

/// What a grid layer draws: cell size, kind, the edges lines are counted from, and the line colour.
class MRKOGrid final
{
public:
    [[nodiscard]] static std::shared_ptr<MRKOGrid> gridWihSize(QSizeF size, qint64 type, qint64 alignment,
                                                               const inkora::SrgbColor &stripeColor);

    [[nodiscard]] QSizeF gridSize() const { return m_gridSize; }
    void setGridSize(QSizeF size) { m_gridSize = size; }
    [[nodiscard]] qint64 type() const { return m_type; }
    void setType(qint64 type) { m_type = type; }
    [[nodiscard]] qint64 alignment() const { return m_alignment; }
    void setAlignment(qint64 alignment) { m_alignment = alignment; }
    /// No colour draws gray.
    [[nodiscard]] const inkora::SrgbColor &stripeColor() const { return m_stripeColor; }
    void setStripeColor(const inkora::SrgbColor &color) { m_stripeColor = color; }

private:
    QSizeF m_gridSize;
    qint64 m_type = MRKOGridTypeRectangular;
    qint64 m_alignment = MRKOGridAlignmentLeftTop;
    inkora::SrgbColor m_stripeColor;
};
