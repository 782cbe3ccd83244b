#pragma once

#include "objects/MRKOPill.h"

/// The model of a rectangle (tool type 2) or an ellipse (sub-type 1), outlined or filled; the outline is rebuilt
/// from `rect`, the stroke's centre line, so that resizing re-renders it crisply.
class MRKORectanglePill : public MRKOPill
{
public:
    MRKORectanglePill();
    MRKORectanglePill(quint64 toolType, const QRectF &rect, const inkora::SrgbColor &color1,
                      const inkora::SrgbColor &color2, quint64 colorType, quint64 direction, double thickness,
                      bool sharpCorners, bool filled);

    /// Canvas points, y up.
    [[nodiscard]] const QRectF &rect() const { return m_rect; }
    void setRect(const QRectF &rect) { m_rect = rect; }
    [[nodiscard]] bool sharpCorners() const { return m_sharpCorners; }
    void setSharpCorners(bool sharp) { m_sharpCorners = sharp; }
    [[nodiscard]] bool filled() const { return m_filled; }
    void setFilled(bool filled) { m_filled = filled; }

    QRectF createPaths() override;
    void createRoundedRectanglePaths();
    void createCirclePaths();
    void drawInContext(QPainter &painter) const override;
    void moveOriginWithDelta(QPointF delta) override;
    [[nodiscard]] bool isEqualToPill(const MRKOPill *other) const override;
    [[nodiscard]] std::shared_ptr<MRKOPill> copy() const override;
    [[nodiscard]] QString archiveClassName() const override;
    void encodeWithCoder(platform::KeyedArchiver &coder) const override;
    void initWithCoder(platform::KeyedUnarchiver &coder) override;
    /// The box rule on the layer's frame, inset by half the thickness (whole points) to the stroke's centre line
    /// and rounded outwards; the model is left as it is.
    [[nodiscard]] QRectF resizeRect(const QRectF &rect, MRKOPillHandle handle, QPointF point) override;

protected:
    [[nodiscard]] bool isKindOfReceiverClass(const MRKOPill &other) const override;

private:
    QRectF m_rect;
    bool m_sharpCorners = false;
    bool m_filled = false;
};
