#include "canvas/MRKOMagnifyG.h"

#include "app/LiveSettings.h"
#include "canvas/FlashlightSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindow.h"
#include "foundation/InkoraLog.h"
#include "platform/Animation.h"
#include "platform/BitmapContext.h"
#include "platform/Clock.h"
#include "platform/Geometry.h"
#include "platform/LayerRenderer.h"
#include "platform/LayerWidget.h"
#include "platform/ScreenGrabber.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "platform/ShapeLayer.h"
#include "platform/Transaction.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"

#include <QGuiApplication>
#include <QMatrix4x4>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRefreshInterval = 1.0 / 30; // seconds
constexpr double kZoomDuration = 0.2;         // seconds
constexpr double kTickTolerance = 0.001;      // seconds
constexpr double kMinCaptureSide = 3;         // points
constexpr double kNearestFromScale = 6;       // pixels stay crisp when enlarged this much
constexpr double kMaxCaptureToDisplay = 4;    // a capture this many displays large is refused

const QString kScaleUp = QStringLiteral("scaleUp");
const QString kScaleDown = QStringLiteral("scaleDown");

double now()
{
    return platform::services().clock->now();
}

QMatrix4x4 scaleMatrix(double s)
{
    QMatrix4x4 m;
    m.scale(float(s), float(s), 1);
    return m;
}

platform::ImagePtr shared(QImage image)
{
    return image.isNull() ? nullptr : std::make_shared<const QImage>(std::move(image));
}

} // namespace

MRKOMagnifyG::MRKOMagnifyG(MRKODraw *target) : m_target(target), m_lastUpdate(now())
{
    if (inkora::liveSettings().magnifyMode == 0)
        startUpdates();
}

MRKOMagnifyG::~MRKOMagnifyG()
{
    stopUpdates();
}

// ---------------------------------------------------------------------------------------------------------------
// The glass window

QWidget *MRKOMagnifyG::magnifyWindow()
{
    if (m_magnifyWindow || !m_target)
        return m_magnifyWindow.get();
    QWidget *overlay = m_target->window();
    m_magnifyWindow = std::make_unique<platform::LayerWidget>();
    QWidget &glass = *m_magnifyWindow;
    glass.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint |
                         Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint);
    glass.setAttribute(Qt::WA_TranslucentBackground);
    glass.setAttribute(Qt::WA_NoSystemBackground);
    glass.setAttribute(Qt::WA_ShowWithoutActivating);
    glass.setAttribute(Qt::WA_X11DoNotAcceptFocus);
    glass.setWindowTitle(QStringLiteral("Inkora Magnifier"));
    glass.setGeometry(overlay->geometry());
    placeMagnifyWindowAtFirstChildInTarget();
    return m_magnifyWindow.get();
}

void MRKOMagnifyG::placeMagnifyWindowAtFirstChildInTarget()
{
    if (!m_magnifyWindow || !m_target)
        return;
    // At the overlay's level and raised above it: directly over the overlay, under the tool panel and every
    // window of a higher level.
    QWidget *overlay = m_target->window();
    auto &stack = platform::WindowStack::shared();
    m_magnifyWindow->setGeometry(overlay->geometry());
    stack.setLevel(*m_magnifyWindow, stack.level(*overlay));
    m_magnifyWindow->show();
    stack.orderFront(*m_magnifyWindow);
}

bool MRKOMagnifyG::hasActiveMagnifyWindow() const
{
    return m_magnifyWindow && m_magnifyWindow->isVisible();
}

void MRKOMagnifyG::orderOutMagnifyWindowIfNeeded()
{
    if (hasActiveMagnifyWindow()) {
        m_magnifyWindow->hide();
        platform::WindowStack::shared().remove(*m_magnifyWindow);
    }
}

void MRKOMagnifyG::orderFrontMagnifyWindowIfNeeded()
{
    if (m_magnifyWindow && !m_magnifyWindow->isVisible())
        placeMagnifyWindowAtFirstChildInTarget();
}

void MRKOMagnifyG::insertLayer(const platform::LayerPtr &layer)
{
    auto *glass = static_cast<platform::LayerWidget *>(magnifyWindow());
    if (!glass || !layer)
        return;
    if (!layer->sublayers().empty())
        layer->sublayers().front()->setContents(nullptr);
    glass->rootLayer()->insertSublayer(layer, 0);
}

// ---------------------------------------------------------------------------------------------------------------
// Refresh

void MRKOMagnifyG::startUpdates()
{
    if (m_timer)
        return;
    // Default mode only: during a press the flashlight refreshes the glass with every drag.
    m_timer = platform::RunLoop::main().schedule(
        kRefreshInterval, [this] { tick(); }, platform::RunLoop::DefaultMode, kRefreshInterval);
}

void MRKOMagnifyG::stopUpdates()
{
    if (!m_timer)
        return;
    platform::RunLoop::main().cancel(m_timer);
    m_timer = 0;
}

void MRKOMagnifyG::tick()
{
    // A tick that comes a hair early still counts: the timer runs at the same rate, so every tick may refresh.
    if (now() - m_lastUpdate < kRefreshInterval - kTickTolerance)
        return;
    m_lastUpdate = now();
    if (m_target)
        m_target->updateMagnifyIfNeeded(); // may remove this magnifier: nothing may follow
}

void MRKOMagnifyG::magnifyModeChanged()
{
    if (inkora::liveSettings().magnifyMode == 0) {
        m_staticScreenShot = QImage();
        startUpdates();
    } else {
        stopUpdates();
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Geometry

void MRKOMagnifyG::setMagLayer(const platform::LayerPtr &layer)
{
    m_magLayer = layer;
    m_shapeCircle = platform::ShapeLayer::create();
    m_shapeCircle->setFillColor(QColor(0, 0, 0));
    if (layer)
        layer->setMask(m_shapeCircle);
}

void MRKOMagnifyG::updateMagnifyRect()
{
    if (m_target && m_target->selectiveFlashlight()) {
        m_magnifyRect = platform::integralRect(m_circleRect);
        return;
    }
    const double r = std::ceil(inkora::flashlightRadius());
    const double k = inkora::flashlightRatio();
    const double cx = std::floor(m_circlePoint.x()), cy = std::floor(m_circlePoint.y());
    m_magnifyRect = platform::integralRect(QRectF(cx - r / k, cy - r * k, 2 * r / k, 2 * r * k));
}

QRectF MRKOMagnifyG::bitmapRect() const
{
    const double s = inkora::magnifyScale();
    const double w = std::ceil(m_magnifyRect.width()), h = std::ceil(m_magnifyRect.height());
    const double cw = std::max(kMinCaptureSide, std::ceil(w / s));
    const double ch = std::max(kMinCaptureSide, std::ceil(h / s));
    return platform::integralRect(platform::insetRect(m_magnifyRect, (w - cw) / 2, (h - ch) / 2));
}

QRectF MRKOMagnifyG::layerRect() const
{
    const double s = inkora::magnifyScale();
    const QPointF c = platform::centre(m_currentBitmapRect);
    const double w = m_currentBitmapRect.width() * s, h = m_currentBitmapRect.height() * s;
    return QRectF(c.x() - w / 2, c.y() - h / 2, w, h);
}

void MRKOMagnifyG::updateCircleShape()
{
    if (!m_shapeCircle || !m_target)
        return;
    const inkora::LiveSettings &live = inkora::liveSettings();
    const bool oval = m_target->selectiveFlashlight() ? live.flashLightCircleSelection : !live.flashlightRectShape;
    QPainterPath path;
    const QRectF shape(0, 0, m_circleRect.width(), m_circleRect.height());
    if (oval)
        path.addEllipse(shape);
    else
        path.addRect(shape);
    platform::TransactionScope transaction(true);
    m_shapeCircle->setFrame(m_circleRect);
    m_shapeCircle->setPath(path);
}

// ---------------------------------------------------------------------------------------------------------------
// Updating and zooming

void MRKOMagnifyG::updateMangifyWithToggleFlag(bool toggle)
{
    const platform::LayerPtr glass = m_magnifyGlassLayer.lock();
    if (!glass)
        return;
    platform::TransactionScope transaction(true);
    updateMagnifyRect();
    const platform::ImagePtr magnified = image();
    glass->setFrame(layerRect());
    glass->setMagnificationFilter(inkora::magnifyScale() >= kNearestFromScale ? platform::Layer::Filter::Nearest
                                                                              : platform::Layer::Filter::Linear);
    if (toggle)
        scaleUpMagnifyLayerAnimated();
    else
        glass->setContents(glass->hasRunningAnimations() ? image1x() : magnified);
    updateCircleShape();
}

void MRKOMagnifyG::removeIfNeededWithToggleFlag(bool toggle)
{
    const platform::LayerPtr glass = m_magnifyGlassLayer.lock();
    if (toggle)
        removeMagnifyLayerAnimated();
    else if ((!glass || !glass->hasRunningAnimations()) && m_target)
        m_target->removeMagnifyLayer();
    else
        updateMagnifyWhileRemoveAnimation();
}

void MRKOMagnifyG::updateMagnifyWhileRemoveAnimation()
{
    const platform::LayerPtr glass = m_magnifyGlassLayer.lock();
    if (!glass)
        return;
    updateMagnifyRect();
    m_currentBitmapRect = bitmapRect();
    platform::TransactionScope transaction(true);
    glass->setContents(image1x());
    glass->setFrame(layerRect());
    updateCircleShape();
}

void MRKOMagnifyG::scaleUpMagnifyLayerAnimated()
{
    const platform::LayerPtr glass = m_magnifyGlassLayer.lock();
    if (!glass)
        return;
    const bool running = glass->hasRunningAnimations();
    {
        platform::TransactionScope transaction(true);
        glass->setContents(image1x());
    }
    platform::Transaction::begin();
    std::weak_ptr<platform::Layer> weakGlass = glass;
    std::weak_ptr<int> life = m_life;
    platform::Transaction::setCompletionBlock([this, weakGlass, life] {
        const platform::LayerPtr g = weakGlass.lock();
        if (!g || life.expired())
            return;
        platform::TransactionScope transaction(true);
        g->removeAnimation(kScaleUp);
        if (!g->animationForKey(kScaleDown)) {
            g->setTransform(QMatrix4x4());
            g->setContents(m_cachedImage);
        }
    });
    platform::BasicAnimation zoom(QStringLiteral("transform"));
    zoom.setToValue(QVariant::fromValue(scaleMatrix(inkora::magnifyScale())));
    const double t = now();
    if (running) {
        zoom.setFromValue(glass->presentationValue(QStringLiteral("transform")));
        zoom.setDuration(std::min(kZoomDuration, t - m_glassBegin));
    } else {
        zoom.setFromValue(QVariant::fromValue(QMatrix4x4()));
        zoom.setDuration(kZoomDuration);
    }
    zoom.setRemovedOnCompletion(false);
    zoom.setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::EaseInEaseOut));
    zoom.setFillMode(platform::Animation::FillMode::Forwards);
    m_glassBegin = t;
    glass->addAnimation(zoom, kScaleUp);
    if (running)
        glass->removeAnimation(kScaleDown);
    platform::Transaction::commit();
}

void MRKOMagnifyG::removeMagnifyLayerAnimated()
{
    const platform::LayerPtr glass = m_magnifyGlassLayer.lock();
    if (!glass)
        return;
    const bool running = glass->hasRunningAnimations();
    {
        platform::TransactionScope transaction(true);
        glass->setContents(image1x());
    }
    platform::Transaction::begin();
    std::weak_ptr<platform::Layer> weakGlass = glass;
    std::weak_ptr<int> life = m_life;
    platform::Transaction::setCompletionBlock([this, weakGlass, life] {
        const platform::LayerPtr g = weakGlass.lock();
        if (!g || life.expired())
            return;
        g->removeAnimation(kScaleDown);
        if (g->animationForKey(kScaleUp) || m_magLayer.expired() || !m_target)
            return;
        const inkora::LiveSettings &live = inkora::liveSettings();
        // A zoom in came meanwhile: the glass stays.
        if (live.useMagnifying && inkora::magnifyScale() != 1)
            return;
        m_target->removeMagnifyLayer(); // destroys this magnifier: nothing may follow
    });
    platform::BasicAnimation zoom(QStringLiteral("transform"));
    zoom.setToValue(QVariant::fromValue(QMatrix4x4()));
    const double t = now();
    if (running) {
        zoom.setFromValue(glass->presentationValue(QStringLiteral("transform")));
        zoom.setDuration(std::min(kZoomDuration, t - m_glassBegin));
    } else {
        zoom.setFromValue(QVariant::fromValue(scaleMatrix(inkora::liveSettings().magnifyToggleScale)));
        zoom.setDuration(kZoomDuration);
    }
    zoom.setRemovedOnCompletion(false);
    zoom.setTimingFunction(platform::TimingFunction::named(platform::TimingFunction::EaseInEaseOut));
    zoom.setFillMode(platform::Animation::FillMode::Forwards);
    m_glassBegin = t;
    glass->addAnimation(zoom, kScaleDown);
    if (running)
        glass->removeAnimation(kScaleUp);
    platform::Transaction::commit();
}

// ---------------------------------------------------------------------------------------------------------------
// Captures

bool MRKOMagnifyG::stillMode()
{
    if (inkora::liveSettings().magnifyMode != 0)
        return true;
    // Without a compositing manager a capture below our windows hides them for a moment: once is bearable,
    // thirty times a second is not.
    if (!platform::services().windowSystem->hasCompositingManager()) {
        if (!m_loggedStill)
            qCInfo(lcCanvas) << "image: no compositing manager; the magnifier shows one still image";
        m_loggedStill = true;
        return true;
    }
    return false;
}

platform::ImagePtr MRKOMagnifyG::image()
{
    m_currentBitmapRect = bitmapRect();
    m_cachedImage =
        shared(stillMode() ? staticBitmapWithRect(m_currentBitmapRect) : bitmapWithRect(m_currentBitmapRect));
    return m_cachedImage;
}

platform::ImagePtr MRKOMagnifyG::image1x()
{
    return shared(stillMode() ? staticBitmapWithRect(m_magnifyRect) : bitmapWithRect(m_magnifyRect));
}

QImage MRKOMagnifyG::framedCapture(const QRectF &rect, const std::function<QImage(const QRectF &)> &source)
{
    if (!m_target || rect.isEmpty())
        return {};
    const double d = m_target->displayScale();
    const QRectF bounds = m_target->bounds();
    const double w = std::ceil(rect.width() * d), h = std::ceil(rect.height() * d);
    if (!(w * h <= kMaxCaptureToDisplay * bounds.width() * bounds.height() * d * d)) {
        qCWarning(lcCanvas) << "bitmapWithRect: the region is many times the display; the glass stays empty";
        return {};
    }
    const QSize size{int(w), int(h)};
    const QRectF visible = rect.intersected(bounds);
    if (visible == rect)
        return source(rect);
    QImage framed(size, QImage::Format_RGB32);
    if (framed.isNull()) {
        qCWarning(lcCanvas) << "staticBitmapWithRect: CGContextRef Create Failed";
        return {};
    }
    framed.fill(Qt::black);
    if (!visible.isEmpty()) {
        const QImage part = source(visible);
        if (!part.isNull()) {
            // Both in y-down pixels from the rectangle's top-left corner.
            const QPointF at((visible.x() - rect.x()) * d, (platform::maxY(rect) - platform::maxY(visible)) * d);
            QPainter painter(&framed);
            painter.drawImage(QRectF(at, QSizeF(visible.width() * d, visible.height() * d)), part);
        }
    }
    return framed;
}

QImage MRKOMagnifyG::bitmapWithRect(const QRectF &rect)
{
    return framedCapture(rect, [this](const QRectF &part) -> QImage {
        const inkora::CaptureDisplay display = m_target->captureDisplay();
        const QRectF global = inkora::globalCaptureRect(part, display);
        const QRect pixels = QRectF(global.x() * display.scale, global.y() * display.scale,
                                    global.width() * display.scale, global.height() * display.scale)
                                 .toAlignedRect();
        const bool includeWindow = inkora::liveSettings().magnifyMethod == 1;
        const auto window = quint64(m_target->window()->winId());
        return platform::services().screenGrabber->grabBelowWindow(window, includeWindow, pixels);
    });
}

QImage MRKOMagnifyG::staticBitmapWithRect(const QRectF &rect)
{
    return framedCapture(rect, [this](const QRectF &part) -> QImage {
        const QImage &still = staticScreenShot();
        if (still.isNull())
            return {};
        const double d = m_target->displayScale();
        const double screenHeight = m_target->bounds().height();
        const QRect pixels =
            QRectF(part.x() * d, (screenHeight - part.y() - part.height()) * d, part.width() * d, part.height() * d)
                .toAlignedRect() &
            still.rect();
        return pixels.isEmpty() ? QImage() : still.copy(pixels);
    });
}

const QImage &MRKOMagnifyG::staticScreenShot()
{
    if (m_staticScreenShot.isNull() && m_target) {
        m_staticScreenShot =
            inkora::fullScreenRepWithWindowID(quint64(m_target->window()->winId()), m_target->captureDisplay(), false);
        if (inkora::liveSettings().magnifyMethod == 1)
            m_staticScreenShot = mergedBitmap();
    }
    return m_staticScreenShot;
}

QImage MRKOMagnifyG::mergedBitmap()
{
    if (!m_target)
        return {};
    const QImage merged =
        mergeImage(m_staticScreenShot, *m_target->drawingsContainer(), m_target->bounds(), m_target->displayScale());
    if (merged.isNull())
        qCWarning(lcCanvas) << "mergedBitmap CGContextRef Create Failed";
    return merged;
}

QImage MRKOMagnifyG::mergeImage(const QImage &image, const platform::Layer &layers, const QRectF &bitmapRect,
                                double displayScale)
{
    const QSize size(int(bitmapRect.width() * displayScale), int(bitmapRect.height() * displayScale));
    if (size.isEmpty() || double(size.width()) * size.height() > double(1 << 28)) {
        qCWarning(lcCanvas) << "mergeImage: CGContextRef Create Failed";
        return {};
    }
    QImage merged(size, QImage::Format_RGBA8888_Premultiplied);
    if (merged.isNull()) {
        qCWarning(lcCanvas) << "mergeImage: CGContextRef Create Failed";
        return {};
    }
    merged.fill(Qt::transparent);
    QPainter painter(&merged);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), image);
    // y up, the rectangle's origin at the bottom left.
    painter.setTransform(QTransform(displayScale, 0, 0, -displayScale, -bitmapRect.x() * displayScale,
                                    (bitmapRect.y() + bitmapRect.height()) * displayScale));
    layers.renderInContext(painter);
    return merged;
}
