#include "tests/canvas/CanvasFixture.h"

#include "app/LiveSettings.h"
#include "canvas/MRKODissolveMode.h"
#include "platform/BitmapContext.h"
#include "platform/EventQueue.h"

#include <QCursor>

#include <cmath>

void RecordingCanvas::mouseDraggedDuringDraw(const platform::Event &)
{
    ++drawnDrags;
    if (onDrawnDrag)
        onDrawnDrag(drawnDrags);
}

void RecordingCanvas::finalizeDrawWithLayerOrNil(const platform::LayerPtr &layer)
{
    ++finalizeCalls;
    finalizedLayer = layer;
    finalizedRect = currentRect();
    if (const platform::BitmapContext *cache = currentCacheContext())
        cacheAtFinalize = cache->makeImage();
    MRKODraw::finalizeDrawWithLayerOrNil(layer);
}

void RecordingCanvas::blinkForEvent(const platform::Event &)
{
    ++blinks;
    hueAtBlink = hue();
}

void CanvasFixture::SetUp()
{
    InkoraFixture::SetUp();
}

void CanvasFixture::TearDown()
{
    m_views.clear();
    InkoraFixture::TearDown();
}

RecordingCanvas &CanvasFixture::makeCanvas(QSizeF size, double scale)
{
    auto view = std::make_unique<QWidget>();
    view->resize(size.toSize());
    auto *canvas = new RecordingCanvas(QRectF(QPointF(0, 0), size), scale, view.get()); // child of the view
    m_views.push_back(std::move(view));
    return *canvas;
}

RecordingCanvas &CanvasFixture::makeFreezeCanvas()
{
    RecordingCanvas &canvas = makeCanvas();
    canvas.setDissolveMode(MRKODissolveModeFreeze);
    return canvas;
}

platform::Event CanvasFixture::pointerEvent(platform::EventType type, QPointF point, quint64 flags)
{
    platform::Event e;
    e.type = type;
    e.locationInWindow = point;
    e.modifierFlags = flags;
    e.clickCount = type == platform::EventType::LeftMouseDragged ? 0 : 1;
    e.pressure = type == platform::EventType::LeftMouseUp ? 0 : 1;
    return e;
}

platform::Event CanvasFixture::keyEvent(platform::EventType type, quint16 keyCode, quint64 flags)
{
    platform::Event e;
    e.type = type;
    e.keyCode = keyCode;
    e.modifierFlags = flags;
    return e;
}

void CanvasFixture::post(const platform::Event &event)
{
    platform::EventQueue::shared().postEvent(event);
}

void CanvasFixture::postDrags(QPointF from, QPointF to, int steps, quint64 flags)
{
    for (int i = 1; i <= steps; ++i)
        post(pointerEvent(platform::EventType::LeftMouseDragged, from + (to - from) * (double(i) / steps), flags));
}

void CanvasFixture::press(MRKODraw &canvas, QPointF point, quint64 flags, int clickCount)
{
    platform::Event e = pointerEvent(platform::EventType::LeftMouseDown, point, flags);
    e.clickCount = clickCount;
    canvas.mouseDown(e);
}

QColor CanvasFixture::cachePixel(const MRKODraw &canvas, const QImage &cache, QPointF point)
{
    const QRectF rect = canvas.bitmapContextRect();
    const double scale = cache.width() / rect.width();
    const int x = int(std::floor((point.x() - rect.x()) * scale));
    const int row = cache.height() - 1 - int(std::floor((point.y() - rect.y()) * scale));
    const uchar *p = cache.constScanLine(row) + x * 4;
    return QColor(p[0], p[1], p[2], p[3]);
}

QImage CanvasFixture::cacheImage(const MRKODraw &canvas)
{
    const platform::BitmapContext *cache = canvas.currentCacheContext();
    return cache ? cache->makeImage() : QImage();
}

bool CanvasFixture::isTransparent(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const uchar *row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (row[x * 4 + 3] != 0)
                return false;
    }
    return true;
}

platform::LayerPtr CanvasFixture::finishSquare(MRKODraw &canvas, QPointF at, const QColor &color)
{
    platform::LayerPtr layer = platform::Layer::create();
    QImage image(20, 20, QImage::Format_RGBA8888_Premultiplied);
    image.fill(color);
    layer->setFrame(QRectF(at, QSizeF(20, 20)));
    layer->setContents(std::make_shared<const QImage>(image));
    canvas.finalizeDrawWithLayerOrNil(layer);
    return layer;
}

platform::LayerPtr CanvasFixture::addDrawing(MRKODraw &canvas, const QRectF &frame, const QColor &color)
{
    const double scale = canvas.displayScale();
    QImage image(int(frame.width() * scale), int(frame.height() * scale), QImage::Format_RGBA8888_Premultiplied);
    image.fill(color);
    platform::LayerPtr layer = platform::Layer::create();
    layer->setFrame(frame);
    layer->setContentsScale(scale);
    layer->setContents(std::make_shared<const QImage>(image));
    canvas.finalizeDrawWithLayerOrNil(layer);
    return layer;
}

void CanvasFixture::pointAt(const MRKODraw &canvas, QPointF point)
{
    QCursor::setPos(canvas.mapToGlobal(QPointF(point.x(), canvas.height() - point.y())).toPoint());
}

void CanvasFixture::hover(MRKODraw &canvas, QPointF point, quint64 flags)
{
    pointAt(canvas, point);
    canvas.mouseMoved(pointerEvent(platform::EventType::MouseMoved, point, flags));
}
