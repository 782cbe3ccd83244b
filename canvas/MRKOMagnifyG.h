#pragma once

#include "foundation/LayerCompositing.h"
#include "platform/Dispatch.h"
#include "platform/Layer.h"

#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QRectF>

#include <functional>
#include <memory>

class MRKODraw;
class QWidget;
namespace platform {
class LayerWidget;
class ShapeLayer;
} // namespace platform

/// The flashlight's magnifying glass on one canvas: captures the screen below the overlay (live, at most 30 times
/// a second, or once as a still image), cuts a region 1/scale the size of the hole around the pointer and shows it
/// enlarged in the glass layer, masked to the hole. Zooms in and out between scale 1 and the remembered scale.
/// Rectangles are in the canvas's points (y up). Main thread.
class MRKOMagnifyG final
{
public:
    explicit MRKOMagnifyG(MRKODraw *target);
    ~MRKOMagnifyG();
    MRKOMagnifyG(const MRKOMagnifyG &) = delete;
    MRKOMagnifyG &operator=(const MRKOMagnifyG &) = delete;

    /// The glass window of the child-window method, made on first use, right above the overlay.
    [[nodiscard]] QWidget *magnifyWindow();
    void placeMagnifyWindowAtFirstChildInTarget();
    [[nodiscard]] bool hasActiveMagnifyWindow() const;
    void orderOutMagnifyWindowIfNeeded();
    void orderFrontMagnifyWindowIfNeeded();
    /// Puts the layer at the bottom of the glass window's root.
    void insertLayer(const platform::LayerPtr &layer);

    void startUpdates();
    void stopUpdates();
    [[nodiscard]] bool isUpdating() const { return m_timer != 0; }
    /// Refreshes through the target when the glass rested more than 1/30 s.
    void tick();

    void setMagLayer(const platform::LayerPtr &layer);
    void setMagnifyGlassLayer(const platform::LayerPtr &layer) { m_magnifyGlassLayer = layer; }
    void setCirclePoint(QPointF point) { m_circlePoint = point; }
    void setCircleRect(const QRectF &rect) { m_circleRect = rect; }
    void setLastUpdate(double mediaTime) { m_lastUpdate = mediaTime; }
    [[nodiscard]] double lastUpdate() const { return m_lastUpdate; }

    void removeIfNeededWithToggleFlag(bool toggle);
    void updateMagnifyWhileRemoveAnimation();
    void updateMagnifyRect();
    void updateMangifyWithToggleFlag(bool toggle);
    void updateCircleShape();
    void scaleUpMagnifyLayerAnimated();
    void removeMagnifyLayerAnimated();
    void magnifyModeChanged();

    /// The capture region: centred on the hole, 1/scale its size, at least 3 x 3 points.
    [[nodiscard]] QRectF bitmapRect() const;
    /// The glass's frame: the last capture region scaled about its centre.
    [[nodiscard]] QRectF layerRect() const;
    [[nodiscard]] QRectF magnifyRect() const { return m_magnifyRect; }
    [[nodiscard]] QRectF currentBitmapRect() const { return m_currentBitmapRect; }
    /// The magnified capture (also kept as the cached image); null when the capture failed.
    [[nodiscard]] platform::ImagePtr image();
    /// The unmagnified view of the whole hole.
    [[nodiscard]] platform::ImagePtr image1x();
    [[nodiscard]] const platform::ImagePtr &cachedImage() const { return m_cachedImage; }
    /// Pixels of a rectangle: from the still image, or captured now. The part beyond the display is black.
    [[nodiscard]] QImage staticBitmapWithRect(const QRectF &rect);
    [[nodiscard]] QImage bitmapWithRect(const QRectF &rect);
    /// The still image with the target's drawings rendered over it.
    [[nodiscard]] QImage mergedBitmap();
    [[nodiscard]] const QImage &staticScreenShot();
    /// The image with the layer tree rendered over it, `bitmapRect` (points) at `displayScale` pixels per point;
    /// null when no bitmap can be made.
    [[nodiscard]] static QImage mergeImage(const QImage &image, const platform::Layer &layers, const QRectF &bitmapRect,
                                           double displayScale);

private:
    [[nodiscard]] bool stillMode();
    /// The visible part of `rect` from `source`, placed in a black picture of the whole rectangle.
    [[nodiscard]] QImage framedCapture(const QRectF &rect, const std::function<QImage(const QRectF &)> &source);

    QPointer<MRKODraw> m_target;
    platform::RunLoop::TimerId m_timer = 0;
    std::unique_ptr<platform::LayerWidget> m_magnifyWindow;
    QRectF m_currentBitmapRect;
    QImage m_staticScreenShot;
    std::shared_ptr<platform::ShapeLayer> m_shapeCircle;
    double m_lastUpdate = 0; // media time of the last refresh
    double m_glassBegin = 0; // media time the running zoom began
    platform::ImagePtr m_cachedImage;
    std::weak_ptr<platform::Layer> m_magLayer;
    std::weak_ptr<platform::Layer> m_magnifyGlassLayer;
    QPointF m_circlePoint;
    QRectF m_circleRect;
    QRectF m_magnifyRect;
    bool m_loggedStill = false;
    std::shared_ptr<int> m_life = std::make_shared<int>(0); // completions of zooms outlive nothing of this
};
