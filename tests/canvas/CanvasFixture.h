#pragma once

#include "canvas/MRKODraw.h"
#include "platform/Event.h"
#include "tests/support/InkoraFixture.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

/// A canvas that records what a press hands to the work around it, and lets a test look at the stroke cache
/// while the press runs.
class RecordingCanvas : public MRKODraw
{
public:
    using MRKODraw::MRKODraw;

    /// Runs on every drawn drag, with the number of drawn drags so far.
    std::function<void(int drawnDrags)> onDrawnDrag;
    int drawnDrags = 0;
    int finalizeCalls = 0;
    platform::LayerPtr finalizedLayer;
    QRectF finalizedRect;   // the stroke's rectangle when it was handed on
    QImage cacheAtFinalize; // the cache as it was handed on
    int blinks = 0;
    double hueAtBlink = -1;

    void mouseDraggedDuringDraw(const platform::Event &event) override;
    void finalizeDrawWithLayerOrNil(const platform::LayerPtr &layer) override;

protected:
    void blinkForEvent(const platform::Event &event) override;
};

/// Canvases on a parent view, scripted pointer input for the shared event queue, and cache pixel reads.
class CanvasFixture : public InkoraFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    static QColor red() { return QColor::fromRgbF(1, 0, 0, 1); }

    /// A canvas of the size (points) and backing scale, filling a parent view of that size.
    RecordingCanvas &makeCanvas(QSizeF size = QSizeF(400, 400), double scale = 1.0);
    /// The same in freeze mode, where finished drawings stay.
    RecordingCanvas &makeFreezeCanvas();

    /// Events at view points (the canvas fills its window, so window and view coordinates agree).
    static platform::Event pointerEvent(platform::EventType type, QPointF point, quint64 flags = 0);
    static platform::Event keyEvent(platform::EventType type, quint16 keyCode, quint64 flags = 0);
    /// Queues an event for the next press.
    static void post(const platform::Event &event);
    /// Queues drags from `from` (exclusive) to `to` in `steps` equal steps.
    static void postDrags(QPointF from, QPointF to, int steps, quint64 flags = 0);
    /// Runs a press at the point; whatever was queued plays inside it.
    static void press(MRKODraw &canvas, QPointF point, quint64 flags = 0, int clickCount = 1);

    /// The cache pixel under a view point, as stored (premultiplied RGBA).
    static QColor cachePixel(const MRKODraw &canvas, const QImage &cache, QPointF point);
    static QImage cacheImage(const MRKODraw &canvas);
    static bool isTransparent(const QImage &image);
    /// A finished drawing handed straight to the canvas: a 20-point square of colour at the point.
    static platform::LayerPtr finishSquare(MRKODraw &canvas, QPointF at, const QColor &color);

    /// A finished drawing of one colour filling the frame (view points), handed to the canvas as a stroke is.
    static platform::LayerPtr addDrawing(MRKODraw &canvas, const QRectF &frame, const QColor &color = red());
    /// Puts the pointer over a view point of the canvas.
    static void pointAt(const MRKODraw &canvas, QPointF point);
    /// Pointer motion without a button to the point, with the modifier keys held.
    static void hover(MRKODraw &canvas, QPointF point, quint64 flags = 0);

private:
    std::vector<std::unique_ptr<QWidget>> m_views;
};
