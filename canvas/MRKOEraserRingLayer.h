#pragma once

#include "platform/Layer.h"

#include <memory>

/// A ring at the pointer as wide as the eraser: white outside, black inside, so that it shows on any background.
/// The delegate is the view it serves, whose pointer position places it. Points, y up. Main thread only.
class MRKOEraserRingLayer final : public platform::Layer
{
public:
    MRKOEraserRingLayer() = default;
    [[nodiscard]] static std::shared_ptr<MRKOEraserRingLayer> create()
    {
        return std::make_shared<MRKOEraserRingLayer>();
    }

    /// The ring never takes a hit.
    [[nodiscard]] platform::Layer *hitTest(QPointF) override { return nullptr; }

    void setUpLayer();
    /// Moves the ring to the pointer.
    void updatePosition();
    /// Centres the ring on p (the superlayer's points).
    void setEraserRingPosition(QPointF p);
    /// The eraser's diameter in points; the ring moves to the pointer.
    void setRingSize(double size);
    [[nodiscard]] double ringSize() const { return m_ringSize; }
    [[nodiscard]] QRectF eraserRingBoundsOuterEdge() const;
    [[nodiscard]] QRectF eraserRingBoundsInnerEdge() const;
    [[nodiscard]] const platform::LayerPtr &innerLayer() const { return m_innerLayer; }

private:
    platform::LayerPtr m_innerLayer;
    double m_ringSize = 0; // points
};
