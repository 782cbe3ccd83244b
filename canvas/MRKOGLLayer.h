#pragma once

#include "platform/Dispatch.h"
#include "platform/Layer.h"

#include <QPointF>
#include <QRectF>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class MRKODraw;
class QPainter;

/// A layer that redraws itself continuously with a ring: a band 2t wide around the rectangle between a start point
/// and the pointer, with rounded corners, in one fixed colour; t follows the active canvas's thickness preset.
/// Lengths are pixels of the layer's backing, origin at its bottom left.
class MRKOGLLayer final : public platform::Layer
{
public:
    static constexpr double kFramesPerSecond = 60;

    MRKOGLLayer();
    ~MRKOGLLayer() override;

    /// A layer whose common-mode timer redraws it every frame while it is in a layer tree.
    [[nodiscard]] static std::shared_ptr<MRKOGLLayer> create();

    /// There is no image context here: always null.
    [[nodiscard]] const void *ciContext() const { return nullptr; }
    [[nodiscard]] bool canDrawInContext() const { return true; }
    [[nodiscard]] const platform::ImagePtr &ciImage() const { return m_ciImage; }
    /// Keeps the image and asks for a redraw; the image takes no part in a frame.
    void setCiImage(platform::ImagePtr image);
    /// The bounds with the size in pixels of the backing; the origin unchanged.
    [[nodiscard]] QRectF scaledBounds() const;

    /// Screen points, as the pointer location is given; (0, 0) until set.
    [[nodiscard]] QPointF startPoint() const;
    void setStartPoint(QPointF point);
    /// The pointer in pixels, as the last frame took it.
    [[nodiscard]] QPointF endPoint() const;
    void setEndPoint(QPointF point);

    /// The band's half-width for a frame: the active canvas's thickness preset as a stroke width, 2 without one.
    [[nodiscard]] double thickness() const;
    /// The rectangle a frame rings, in pixels: between the start point and the pointer (stored as the end point),
    /// both times the contents scale.
    [[nodiscard]] QRectF frameRect() const;
    /// One frame into a painter whose units are the backing's pixels, y up, origin at the bounds' origin.
    void drawFrame(QPainter &painter) const;

    /// The band around the frame's inscribed ellipse, in the painter's colour and composition.
    static void drawCircleWithFrameThickness(QPainter &painter, const QRectF &frame, double t);
    /// The band around the frame as a rounded rectangle: outer corners 30, inner corners 10, 8 segments each.
    static void drawRoundedRectWithFrameThickness(QPainter &painter, const QRectF &frame, double t);

    /// The triangle fan of a rounded rectangle: the centre, n + 1 points per corner (counter-clockwise from the
    /// top right), then the closing point; n ≤ 0 takes ⌊2π r / 4⌋, at least 2. 4n + 6 vertices, single precision.
    [[nodiscard]] static std::vector<QPointF> roundedRectFan(const QRectF &rect, double radius, int segments);
    /// The strip of the elliptical band about the frame's centre: 121 pairs of inner then outer points.
    [[nodiscard]] static std::vector<QPointF> ellipseStrip(const QRectF &frame, double t);

    /// Where the pointer is (screen points) and which canvas is active; the application's unless replaced.
    void setMouseLocationProvider(std::function<QPointF()> provider) { m_mouseLocation = std::move(provider); }
    void setActiveCanvasProvider(std::function<const MRKODraw *()> provider) { m_activeCanvas = std::move(provider); }

    void drawInContext(QPainter &painter, bool presentation) const override;

private:
    platform::ImagePtr m_ciImage;
    mutable std::mutex m_pointsMutex;
    QPointF m_startPoint;
    mutable QPointF m_endPoint;
    platform::RunLoop::TimerId m_timer = 0;
    std::function<QPointF()> m_mouseLocation;
    std::function<const MRKODraw *()> m_activeCanvas;
};
