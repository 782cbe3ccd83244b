#pragma once

#include "foundation/SrgbColor.h"
#include "platform/Layer.h"

#include <memory>

/// The disc that follows the pointer on a canvas: a translucent halo (the layer itself, its background) and,
/// centred in it, the colour ball in the drawing colour, as wide as the brush. The canvas is its delegate and
/// decides when each shows. Points, y up. Main thread only.
class MRKOBallLayer final : public platform::Layer
{
public:
    MRKOBallLayer() = default;
    [[nodiscard]] static std::shared_ptr<MRKOBallLayer> create() { return std::make_shared<MRKOBallLayer>(); }

    /// The ball never takes a hit.
    [[nodiscard]] platform::Layer *hitTest(QPointF) override { return nullptr; }

    /// 1.0 or 0.0.
    [[nodiscard]] double isBigBallShown() const { return m_bigBallShown ? 1.0 : 0.0; }
    [[nodiscard]] double isBigBallOpaque() const { return m_fraction > 0 ? 1.0 : 0.0; }
    /// The halo counts as shown with the live halo opacity; the colour ball is made invisible.
    void loadLayer();
    /// An independent layer with the colour ball's frame, colour and corner radius.
    [[nodiscard]] platform::LayerPtr colorBallCopy() const;
    /// The halo fades in or out over 0.15 s.
    void showBigBall();
    void hideBigBall();
    void showColorBall();
    void hideColorBall();
    [[nodiscard]] static QRectF bigBallBounds();
    [[nodiscard]] QRectF smallBallBounds() const;
    [[nodiscard]] bool colorBallLayerHidden() const;
    /// Moves both discs to the pointer, in the delegate canvas's points.
    void updatePosition();
    /// Centres both discs on p (the superlayer's points).
    void setBallPosition(QPointF p);
    /// The colour ball's diameter in points; it keeps its centre.
    void setBallSize(double size);
    void setColor(const inkora::SrgbColor &color);
    [[nodiscard]] const inkora::SrgbColor &color() const { return m_color; }
    [[nodiscard]] double ballSize() const { return m_ballSize; }
    [[nodiscard]] double fraction() const { return m_fraction; }
    void setFraction(double fraction) { m_fraction = fraction; }
    [[nodiscard]] const platform::LayerPtr &colorBallLayer() const { return m_colorBallLayer; }

private:
    void animateHaloColour();

    platform::LayerPtr m_colorBallLayer;
    bool m_bigBallShown = false;
    inkora::SrgbColor m_color;
    double m_ballSize = 0; // points
    double m_fraction = 0; // the halo's alpha while shown, 0...0.5
};
