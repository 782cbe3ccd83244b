#pragma once

#include "objects/MRKOPill.h"

/// Shapes of an arrow's head and shaft; any other value draws the open head.
enum MRKOArrowStyle : qint64 {
    MRKOArrowStyleOpenHead = 0,
    MRKOArrowStyleWedge = 1,
    MRKOArrowStyleCurved = 2,
    MRKOArrowStyleTaperedBar = 3,
    MRKOArrowStyleStraightBar = 4,
};

/// The model of an arrow (tool type 1) or a straight line (sub-type 1) from a start point to an end point; the
/// head sits at the start point unless inverted. Reshaped by dragging its two end handles.
class MRKOArrowPill : public MRKOPill
{
public:
    MRKOArrowPill();
    MRKOArrowPill(quint64 toolType, QPointF startPoint, QPointF endPoint, const inkora::SrgbColor &color1,
                  const inkora::SrgbColor &color2, quint64 colorType, double thickness, qint64 arrowStyle);

    [[nodiscard]] QPointF startPoint() const { return m_startPoint; }
    void setStartPoint(QPointF point) { m_startPoint = point; }
    [[nodiscard]] QPointF endPoint() const { return m_endPoint; }
    void setEndPoint(QPointF point) { m_endPoint = point; }
    [[nodiscard]] qint64 arrowStyle() const { return m_arrowStyle; }
    void setArrowStyle(qint64 style) { m_arrowStyle = style; }
    [[nodiscard]] bool invert() const { return m_invert; }
    void setInvert(bool invert) { m_invert = invert; }
    [[nodiscard]] bool useConstantWidth() const { return m_useConstantWidth; }
    void setUseConstantWidth(bool use) { m_useConstantWidth = use; }
    [[nodiscard]] bool roundedTip() const { return m_roundedTip; }
    void setRoundedTip(bool rounded) { m_roundedTip = rounded; }
    [[nodiscard]] bool roundedEnds() const { return m_roundedEnds; }
    void setRoundedEnds(bool rounded) { m_roundedEnds = rounded; }
    /// Head length as a fraction of the arrow's length.
    [[nodiscard]] double headRatio() const { return m_headRatio; }
    void setHeadRatio(double ratio) { m_headRatio = ratio; }
    [[nodiscard]] bool useConstantHeadSize() const { return m_useConstantHeadSize; }
    void setUseConstantHeadSize(bool use) { m_useConstantHeadSize = use; }
    /// Points.
    [[nodiscard]] double constantHeadSize() const { return m_constantHeadSize; }
    void setConstantHeadSize(double size) { m_constantHeadSize = size; }
    /// Thickness preset index 0 to 5.
    [[nodiscard]] quint64 toolThickness() const { return m_toolThickness; }
    void setToolThickness(quint64 preset) { m_toolThickness = preset; }
    [[nodiscard]] bool arcArrowClockwise() const { return m_arcArrowClockwise; }
    void setArcArrowClockwise(bool clockwise) { m_arcArrowClockwise = clockwise; }

    QRectF createPaths() override;
    void createLinePath();
    void createArrowPath();
    void createArrowPathUsingStyle();
    void arrowPathV1();
    void arrowPathV2();
    void arrowPathV3();
    void arrowPathV4();
    void arrowPathV5();

    void drawInContext(QPainter &painter) const override;
    void moveOriginWithDelta(QPointF delta) override;
    [[nodiscard]] bool isEqualToPill(const MRKOPill *other) const override;
    [[nodiscard]] std::shared_ptr<MRKOPill> copy() const override;
    [[nodiscard]] QString archiveClassName() const override;
    void encodeWithCoder(platform::KeyedArchiver &coder) const override;
    void initWithCoder(platform::KeyedUnarchiver &coder) override;

    /// The box spanned by the two points, in single precision.
    [[nodiscard]] QRectF handlesRect() const override;
    void drawHandlesInView(const inkora::HandlesSurface *view) const override;
    /// 1 at the start point, 2 at the end point (canvas points); the frame is not used.
    [[nodiscard]] MRKOPillHandle handleAtPoint(QPointF point, const QRectF &handlesFrame) const override;
    /// Moves the dragged end to the point unless it comes within 2 points of the other end; answers the zero rect.
    [[nodiscard]] QRectF resizeRect(const QRectF &rect, MRKOPillHandle handle, QPointF point) override;

protected:
    [[nodiscard]] bool isKindOfReceiverClass(const MRKOPill &other) const override;

private:
    /// The filled head with a 60 degree apex that styles 1, 3 and 4 share.
    void addWedgeHead(platform::Path &path) const;

    QPointF m_startPoint;
    QPointF m_endPoint;
    qint64 m_arrowStyle = 0;
    bool m_invert = false;
    bool m_useConstantWidth = false;
    bool m_roundedTip = false;
    bool m_roundedEnds = false;
    double m_headRatio = 0.0;
    bool m_useConstantHeadSize = false;
    double m_constantHeadSize = 0.0;
    quint64 m_toolThickness = 0;
    bool m_arcArrowClockwise = false;
};
