#include "canvas/MRKODraw.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/CanvasNeighbours.h"
#include "canvas/HueWrap.h"
#include "canvas/MRKOAuxAction.h"
#include "canvas/MRKODissolveMode.h"
#include "canvas/MRKODrawBaseLayer.h"
#include "canvas/MRKOEraserRingLayer.h"
#include "canvas/MRKOLayerOrder.h"
#include "canvas/MRKOLowpassFilter.h"
#include "canvas/MRKOMagnifyG.h"
#include "canvas/MRKOWhiteBackController.h"
#include "canvas/MRKOWindowController.h"
#include "canvas/PointerLoop.h"
#include "canvas/QuickArrowHead.h"
#include "canvas/StrokeCache.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSCursor+Resize.h"
#include "objects/MRKOBallLayer.h"
#include "objects/MRKOLowerThird.h"
#include "objects/MRKOPill.h"
#include "objects/MRKOSelectedLayerControls.h"
#include "objects/MRKOTextPill.h"
#include "platform/Animation.h"
#include "platform/Clock.h"
#include "platform/CursorStack.h"
#include "platform/Defaults.h"
#include "platform/EventQueue.h"
#include "platform/Geometry.h"
#include "platform/LocalEventMonitor.h"
#include "platform/Services.h"
#include "platform/ShapeLayer.h"
#include "platform/SystemCursor.h"
#include "platform/Transaction.h"
#include "remote/MRKOPositionController.h"
#include "tools/KVPopover.h"
#include "tools/MRKOCircleMenuProtocol.h"
#include "tools/MRKOColorType.h"
#include "tools/MRKOThicknessPreset.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolType.h"

#include <QCursor>
#include <QLineF>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTabletEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double s_hue = 0; // the rainbow hue of every canvas
// Set by the first brush segment of a stroke, cleared at the end of each press; one stroke at a time.
bool s_segmentDrawn = false;

constexpr double kModifierTapInterval = 0.3; // seconds

double mediaTime()
{
    return platform::services().clock->now();
}

QPointF midpoint(QPointF a, QPointF b)
{
    return (a + b) / 2;
}

quint64 currentFlags()
{
    return platform::EventQueue::shared().currentModifierFlags();
}

} // namespace

MRKODraw::MRKODraw(const QRectF &frame, double scale, QWidget *parent) : QWidget(parent), m_displayScale(scale)
{
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_AcceptTouchEvents);
    setMouseTracking(true); // the hover follows the pointer without a button
    setAutoFillBackground(false);
    if (parent)
        move(int(frame.x()), int(parent->height() - (frame.y() + frame.height())));
    resize(int(frame.width()), int(frame.height()));
    setUpView();
    if (parent)
        viewWillMoveToSuperview(parent);
}

MRKODraw::MRKODraw(const QRectF &frame, QWidget *parent) : MRKODraw(frame, 1.0, parent) {}

MRKODraw::~MRKODraw()
{
    removeGestureMonitorsIfNeeded();
    if (m_cursorHidden)
        platform::services().systemCursor->show(); // hides and shows stay paired
    for (const platform::LayerPtr &root : {m_backRoot, m_overlayRoot}) {
        if (root)
            root->setDisplayObserver({});
    }
    releaseContextAndCacheImageIfNeeded();
    if (m_viewLayer)
        m_viewLayer->setDisplayObserver({});
    if (m_drawingsRoot)
        m_drawingsRoot->setDisplayObserver({});
}

double MRKODraw::valueWithThinckness(quint64 thickness)
{
    constexpr double kWidths[] = {2.0, 5.0, 10.0, 15.0, 20.0, 25.0};
    return thickness < 6 ? kWidths[thickness] : 10.0;
}

double MRKODraw::eraserSize()
{
    const qint64 size = inkora::liveSettings().eraserSize;
    return double(size % 2 != 0 ? size + 1 : size);
}

double MRKODraw::hue()
{
    return s_hue;
}

void MRKODraw::setHue(double hue)
{
    s_hue = hue;
}

// ---------------------------------------------------------------------------------------------------------------
// Set-up

void MRKODraw::setUpView()
{
    const double saved = MRKOUtils::userDefaults().doubleForKey(QStringLiteral("HueSavedKey"));
    s_hue = saved >= 0 && saved <= 1 ? saved : 0; // NaN fails both tests
    m_brushSize = 10;
    setUpLayer();
    createNewContext();
    // What lies under the drawings and over the canvas's own layer: whiteboard, magnifier glass, shade.
    for (platform::LayerPtr *root : {&m_backRoot, &m_overlayRoot}) {
        *root = platform::Layer::create();
        platform::TransactionScope transaction(true);
        (*root)->setFrame(bounds());
        (*root)->setDisplayObserver([this](const QRectF &rect) { update(widgetRectForRect(rect)); });
    }
    setUpGestureMonitorsIfNeeded();
    updateTrackingAreas();
}

void MRKODraw::setUpLayer()
{
    if (MRKOUtils::sonomaOrLater() && inkora::liveSettings().allowDrawBaseLayer)
        makeDrawBaseLayerIfNeeded();
    if (!m_viewLayer) {
        auto layer = platform::Layer::create();
        layer->setDelegate(this);
        installViewLayer(layer);
    }
    // An empty full-bounds layer: the view's layer never shows content of its own through it.
    auto empty = platform::Layer::create();
    empty->setFrame(bounds());
    m_viewLayer->addSublayer(empty);
    makeBallLayer();
}

void MRKODraw::makeDrawBaseLayerIfNeeded()
{
    if (m_drawBaseLayer)
        return;
    auto base = std::make_shared<MRKODrawBaseLayer>();
    base->setParentDrawView(this);
    base->setMasksToBounds(true);
    base->setContentsScale(m_displayScale);
    installViewLayer(base);
    m_drawBaseLayer = base.get();
}

void MRKODraw::updateDrawBaseLayerOrMakeBackingLayer()
{
    if (m_viewLayer)
        m_viewLayer->setDisplayObserver({});
    m_viewLayer.reset();
    m_drawBaseLayer = nullptr;
    setUpLayer();
    dispatchDummyDrawAfterDelay();
    update();
}

void MRKODraw::installViewLayer(platform::LayerPtr layer)
{
    if (m_viewLayer)
        m_viewLayer->setDisplayObserver({});
    m_viewLayer = std::move(layer);
    platform::TransactionScope transaction(true);
    m_viewLayer->setFrame(bounds());
    m_viewLayer->setDisplayObserver([this](const QRectF &rect) { update(widgetRectForRect(rect)); });
}

void MRKODraw::viewWillMoveToSuperview(QWidget *superview)
{
    if (!superview || m_layersContainer)
        return;
    // The drawings' container belongs beneath the canvas's own content. Made once and never moved; the canvas
    // paints it below its own layer.
    m_drawingsRoot = platform::Layer::create();
    m_layersContainer = platform::Layer::create();
    {
        platform::TransactionScope transaction(true);
        m_drawingsRoot->setFrame(bounds());
        m_layersContainer->setFrame(bounds());
        m_drawingsRoot->addSublayer(m_layersContainer);
    }
    m_drawingsRoot->setDisplayObserver([this](const QRectF &rect) { update(widgetRectForRect(rect)); });
    makeLayerOrder();
}

void MRKODraw::viewDidChangeBackingProperties()
{
    const double scale = devicePixelRatioF();
    if (scale == m_displayScale)
        return;
    m_displayScale = scale;
    createNewContext();
    if (m_drawBaseLayer) {
        platform::TransactionScope transaction(true);
        m_drawBaseLayer->setContentsScale(scale);
        m_drawBaseLayer->setFrame(bounds());
    }
}

void MRKODraw::updateFrameIfNeededWithNewFrame(const QRectF &frame)
{
    const QWidget *parent = parentWidget();
    const QRect geometry(int(frame.x()), parent ? int(parent->height() - (frame.y() + frame.height())) : y(),
                         int(frame.width()), int(frame.height()));
    if (geometry == this->geometry())
        return;
    setGeometry(geometry);
    platform::TransactionScope transaction(true);
    m_backRoot->setFrame(bounds());
    m_overlayRoot->setFrame(bounds());
    if (m_layersContainer) {
        m_drawingsRoot->setFrame(bounds());
        m_layersContainer->setFrame(bounds());
    }
    m_viewLayer->setFrame(bounds());
    createNewContext();
}

void MRKODraw::drawViewDidAppear()
{
    dispatchDummyDrawAfterDelay();
    if (inkora::liveSettings().lowerThirdOnAppear)
        showLowerThird();
}

void MRKODraw::cleanUpMonitorsAndQuit(const std::function<void()> &block)
{
    removeGestureMonitorsIfNeeded();
    window()->hide();
    if (block)
        block();
    MRKOLowpassFilter::sharedFilter().stopFilter();
    lowerThirdAnimationDidFinished(nullptr);
}

void MRKODraw::dispatchDummyDrawAfterDelay()
{
    QPointer<MRKODraw> self(this);
    platform::DispatchQueue::main().after(0.1, [self] {
        if (self)
            self->setNeedsDisplayInRect(QRectF(0, 0, 10, 10));
    });
}

void MRKODraw::saveSettingsIfNeeded()
{
    if (!m_windowController)
        return;
    m_windowController->saveToolFrame();
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setDouble(s_hue, QStringLiteral("HueSavedKey"));
    defaults.setDouble(inkora::liveSettings().flashlightRadius, QStringLiteral("FlashLightRadius"));
}

bool MRKODraw::isMainClass() const
{
    return typeid(*this) == typeid(MRKODraw);
}

void MRKODraw::setThickness(quint64 thickness)
{
    m_thickness = thickness;
    m_brushSize = valueWithThinckness(thickness);
    updateColorBallThickness();
}

void MRKODraw::setToolType(quint64 toolType)
{
    m_toolType = toolType;
    m_currentToolType = toolType;
}

void MRKODraw::setDrawingInProgress(bool inProgress)
{
    m_drawingInProgress = inProgress;
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->setDrawingInProgress(inProgress);
}

bool MRKODraw::needsEraserRings() const
{
    return m_quickAuxAction == MRKOAuxActionEraser;
}

double MRKODraw::hueFactor() const
{
    return m_toolType == MRKOToolTypeBrush ? 0.0025 : 0.005;
}

// ---------------------------------------------------------------------------------------------------------------
// Stroke cache and painting

void MRKODraw::createNewContext()
{
    releaseContextAndCacheImageIfNeeded();
    m_contextRect = inkora::StrokeCache::cacheRectForBounds(bounds());
    m_cache = inkora::StrokeCache::create(bounds(), m_displayScale);
    if (!m_cache)
        qCWarning(lcCanvas) << "createNewContext: CGContextRef Create Failed";
}

void MRKODraw::releaseContextAndCacheImageIfNeeded()
{
    m_cache.reset();
    removeCroppedChunkIfNeeded();
}

platform::BitmapContext *MRKODraw::currentCacheContext() const
{
    return m_cache ? &m_cache->context() : nullptr;
}

void MRKODraw::clearContextWithCurrentRectShouldDisplay(bool display)
{
    if (m_currentRect == QRectF(0, 0, 0, 0))
        return;
    if (m_cache)
        m_cache->clearRect(m_currentRect);
    if (display)
        setNeedsDisplayInRect(m_currentRect);
}

double MRKODraw::backingScale() const
{
    return screen() ? m_displayScale : 0.0;
}

QRect MRKODraw::widgetRectForRect(const QRectF &rect) const
{
    return platform::flipY(rect, height()).toAlignedRect();
}

void MRKODraw::setNeedsDisplayInRect(const QRectF &rect)
{
    if (m_drawBaseLayer && inkora::liveSettings().drawCroppedChunks)
        prepareCroppedChunkWithRect(rect);
    update(widgetRectForRect(rect));
}

void MRKODraw::prepareCroppedChunkWithRect(const QRectF &rect)
{
    removeCroppedChunkIfNeeded();
    const QRectF clipped = rect.intersects(bounds()) ? rect.intersected(bounds()) : QRectF();
    m_croppedChunkRect = clipped;
    if (clipped.isEmpty() || !m_cache)
        return;
    m_croppedChunk = m_cache->copyOfRect(clipped, backingScale());
}

void MRKODraw::removeCroppedChunkIfNeeded()
{
    m_croppedChunk = QImage();
    m_croppedChunkRect = QRectF();
}

void MRKODraw::drawRect(const QRectF &dirtyRect, QPainter &painter)
{
    // Only the view is ever shown: a rectangle reaching past it must not read past the cache.
    const QRectF rect = dirtyRect.intersects(bounds()) ? dirtyRect.intersected(bounds()) : QRectF();
    if (rect.isEmpty())
        return;
    const inkora::LiveSettings &live = inkora::liveSettings();
    if (live.drawCroppedChunks && !m_croppedChunk.isNull() && m_croppedChunkRect == rect) {
        painter.save();
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        if (live.needSemitransparent)
            painter.setOpacity(live.drawingOpacity);
        painter.setClipRect(m_croppedChunkRect, Qt::IntersectClip);
        inkora::drawImageUpright(painter, m_croppedChunkRect, m_croppedChunk);
        painter.restore();
        removeCroppedChunkIfNeeded();
        return;
    }
    if (!m_cache)
        return;
    inkora::StrokeCache::ScreenOptions options;
    options.method = live.drawToScreenMethod;
    options.semitransparent = live.needSemitransparent;
    options.opacity = live.drawingOpacity;
    options.backingScale = backingScale();
    m_cache->drawToScreen(painter, rect, options);
}

void MRKODraw::drawLayerInContext(platform::Layer &, QPainter &painter)
{
    drawRect(painter.hasClipping() ? painter.clipBoundingRect() : bounds(), painter);
}

void MRKODraw::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QTransform flip(1, 0, 0, -1, 0, height());
    for (const QRect &area : event->region()) {
        painter.save();
        painter.setClipRect(area);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setTransform(flip);
        const QRectF dirty = platform::flipY(QRectF(area), height());
        m_viewLayer->renderPresentationInContext(painter, dirty);
        // The root always holds the container; only drawings, or a cleared image still fading, need painting.
        const bool hasDrawings =
            m_drawingsRoot && (!m_layersContainer->sublayers().empty() || m_drawingsRoot->sublayers().size() > 1);
        if (hasDrawings || !m_backRoot->sublayers().empty()) {
            // The drawings lie beneath what the canvas itself shows: render them apart and slide them under it.
            const qreal ratio = devicePixelRatioF();
            QImage below(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
            below.setDevicePixelRatio(ratio);
            below.fill(Qt::transparent);
            {
                QPainter drawings(&below);
                drawings.setTransform(flip * QTransform::fromTranslate(-area.x(), -area.y()));
                m_backRoot->renderPresentationInContext(drawings, dirty);
                if (m_drawingsRoot)
                    m_drawingsRoot->renderPresentationInContext(drawings, dirty);
            }
            painter.resetTransform();
            painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
            painter.drawImage(area.topLeft(), below);
        }
        if (!m_overlayRoot->sublayers().empty()) {
            painter.resetTransform();
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.setTransform(flip);
            m_overlayRoot->renderPresentationInContext(painter, dirty);
        }
        painter.restore();
    }
}

void MRKODraw::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    platform::TransactionScope transaction(true);
    m_viewLayer->setFrame(bounds());
    m_backRoot->setFrame(bounds());
    m_overlayRoot->setFrame(bounds());
    updateTrackingAreas();
    if (m_layersContainer) {
        m_drawingsRoot->setFrame(bounds());
        m_layersContainer->setFrame(bounds());
    }
    if (m_contextRect != inkora::StrokeCache::cacheRectForBounds(bounds()))
        createNewContext();
}

void MRKODraw::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_uncompressedInput)
        m_uncompressedInput = std::make_unique<platform::EventQueue::UncompressedInput>();
}

void MRKODraw::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_uncompressedInput.reset();
}

bool MRKODraw::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TabletEnterProximity:
    case QEvent::TabletLeaveProximity:
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        platform::EventQueue &queue = platform::EventQueue::shared();
        const auto converted = queue.eventFromQtEvent(*event, *this);
        if (!converted && !dynamic_cast<QTabletEvent *>(event))
            return QWidget::event(event);
        // Every tablet event is taken, so Qt never turns pen input into coarser mouse events.
        event->accept();
        if (!converted)
            return true;
        if (queue.isTracking())
            queue.postEvent(*converted);
        else
            dispatchEvent(*converted);
        return true;
    }
    case QEvent::ParentChange:
        viewWillMoveToSuperview(parentWidget());
        break;
    case QEvent::Leave: {
        platform::Event left;
        left.type = platform::EventType::MouseExited;
        left.windowNumber = qint64(window()->effectiveWinId());
        m_trackingAreas.pointerLeft(left);
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

void MRKODraw::dispatchEvent(const platform::Event &event)
{
    platform::EventQueue::shared().setCurrentEvent(event);
    switch (event.type) {
    case platform::EventType::LeftMouseDown:
        mouseDown(event);
        break;
    case platform::EventType::LeftMouseUp:
        mouseUp(event);
        break;
    case platform::EventType::LeftMouseDragged:
        m_trackingAreas.pointerMoved(event, convertPointFromWindow(event.locationInWindow),
                                     inkora::isSelfAppEffective());
        mouseDragged(event);
        break;
    case platform::EventType::MouseMoved:
        m_trackingAreas.pointerMoved(event, convertPointFromWindow(event.locationInWindow),
                                     inkora::isSelfAppEffective());
        mouseMoved(event);
        break;
    case platform::EventType::RightMouseDown:
        rightMouseDown(event);
        break;
    case platform::EventType::RightMouseDragged:
        m_trackingAreas.pointerMoved(event, convertPointFromWindow(event.locationInWindow),
                                     inkora::isSelfAppEffective());
        rightMouseDragged(event);
        break;
    case platform::EventType::RightMouseUp:
        rightMouseUp(event);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Pointer

QPointF MRKODraw::mouseLocation() const
{
    const QPointF local = mapFromGlobal(QCursor::pos());
    return QPointF(local.x(), height() - local.y());
}

QPointF MRKODraw::remoteTrackingMouseLocation() const
{
    if (!m_ballLayer)
        return {};
    const QRectF frame = m_ballLayer->frame();
    return frame.topLeft() + QPointF(frame.width() / 2, frame.width() / 2); // the ball is a circle
}

QPointF MRKODraw::convertPointFromWindow(QPointF point) const
{
    const QWidget *w = window();
    if (w == this)
        return point;
    const QPoint origin = mapTo(w, QPoint(0, 0));
    return point - QPointF(origin.x(), w->height() - (origin.y() + height()));
}

void MRKODraw::mouseUp(const platform::Event &)
{
    // The press's own loop takes the real button-up.
}

void MRKODraw::mouseDragged(const platform::Event &event)
{
    mouseMoved(event);
}

void MRKODraw::mouseDraggedDuringDraw(const platform::Event &) {}

void MRKODraw::stopDrawingByPostingMouseUp()
{
    platform::EventQueue::shared().postEvent(MRKOUtils::mouseUpCenteredInView(*this), true);
}

bool MRKODraw::shouldDraw() const
{
    if (screenDisabled())
        return false;
    return inkora::liveSettings().drawingDuringFlashlight || !flashlightShown();
}

inkora::SrgbColor MRKODraw::colorForCurrentType() const
{
    if (m_colorType == MRKOColorTypeCustom)
        return MRKOToolColor::toolColor().drawingColor();
    return OnOffColor::rainbowColorWithHue(s_hue);
}

void MRKODraw::makeColorsAccordingType()
{
    if (m_colorType == MRKOColorTypeCustom) {
        m_hueColor = MRKOToolColor::toolColor().drawingColor();
        m_hueFirstColor = m_hueColor;
        return;
    }
    m_hueColor = OnOffColor::rainbowColorWithHue(s_hue);
    m_hueFirstColor = OnOffColor::rainbowColorWithHue(m_mouseDownHue);
}

void MRKODraw::resetPointsAndRectsWithCurrentLocation(QPointF point)
{
    m_point0 = m_point1 = m_point2 = QPointF(-1, -1);
    m_point3 = point;
    m_mouseDownPoint = point;
    m_pointIndex = 0;
    m_pointBatch = {point, QPointF(), QPointF(), QPointF(), QPointF()};
    m_hasInitialBrushSegment = false;
    if (MRKOUtils::cachedLogToDocuments())
        qCInfo(lcCanvas).noquote() << "Eraser Start RAW coordinates:" << platform::pointToString(point);
    m_currentRect = QRectF(point, QSizeF(0, 0));
    m_prevRendRect = m_currentRect;
    m_maxDragBrushSize = valueWithThinckness(MRKOThicknessPresetUltralight);
}

void MRKODraw::initialModifierKeyValidation()
{
    const quint64 flags = currentFlags();
    m_straighten = flags & platform::kShiftFlag;
    m_filled = flags & platform::kControlFlag;
    if (m_straighten) {
        m_shftPressed = true;
        m_shftPressingTime = mediaTime();
    }
    if (m_filled) {
        m_ctrlPressed = true;
        m_ctrlPressingTime = mediaTime();
    }
}

void MRKODraw::validateShiftKeyWithEvent(const platform::Event &)
{
    // A quick tap keeps the mode for the rest of the stroke, a longer hold only while held, a second tap
    // within the interval ends it at the release.
    const quint64 flags = currentFlags();
    const double now = mediaTime();
    const double distantPast = -std::numeric_limits<double>::infinity();
    auto track = [&](quint64 flag, bool pressed, double &pressingTime, bool &mode) {
        if (flags & flag) {
            if (now - pressingTime < kModifierTapInterval)
                pressingTime = distantPast;
            if (!mode) {
                mode = true;
                pressingTime = now;
            }
        } else if (pressed && now - pressingTime > kModifierTapInterval) {
            mode = false;
        }
    };
    track(platform::kShiftFlag, m_shftPressed, m_shftPressingTime, m_straighten);
    track(platform::kControlFlag, m_ctrlPressed, m_ctrlPressingTime, m_filled);
}

void MRKODraw::mouseMovementFlagChangedWithEvent(const platform::Event &event)
{
    const quint64 flags = currentFlags();
    AppDelegate *delegate = AppDelegate::shared();
    if (m_selectiveFlashlightFlag && (flags & platform::kOptionFlag) && delegate && delegate->toggleMagnifyGIfNeeded())
        return;
    validateShiftKeyWithEvent(event);
    if (shouldDraw() && m_isMouseDraggedEnough && !m_moveFlag)
        handleFlagChagedWhileMouseDown(event);
    m_shftPressed = flags & platform::kShiftFlag;
    m_ctrlPressed = flags & platform::kControlFlag;
}

void MRKODraw::translateDrawOriginsUsingDelta(double dx, double dy)
{
    const QPointF delta(dx, dy);
    m_point0 += delta;
    m_point1 += delta;
    m_point2 += delta;
    m_point3 += delta;
    for (QPointF &point : m_pointBatch)
        point += delta;
    m_mouseDownPoint += delta;
    m_currentRect.translate(delta);
    m_prevRendRect.translate(delta);
    m_sharedPath = m_sharedPath.transformed(QTransform::fromTranslate(dx, dy));
    inkora::QuickArrowHead::shared().translate(delta);
    if (m_workingPill)
        m_workingPill->moveOriginWithDelta(delta);
}

void MRKODraw::adoptMoveLayerToPixelGrid(const QRectF &frame, const platform::LayerPtr &moveLayer)
{
    const double fx = std::floor(frame.x());
    const double fy = std::floor(frame.y());
    translateDrawOriginsUsingDelta(-(frame.x() - fx), -(frame.y() - fy));
    if (!moveLayer)
        return;
    platform::TransactionScope transaction(true);
    moveLayer->setFrame(QRectF(fx, fy, frame.width(), frame.height()));
}

void MRKODraw::turnOffSelectiveFlashlightWithDazadUdiz(bool, bool)
{
    // Taking a DazadUdiz of the flashlight's area comes with the flashlight; here the flag only ends.
    m_selectiveFlashlightFlag = false;
}

void MRKODraw::cleanUpAfterMouseDown()
{
    m_discardedPoints.clear();
    s_segmentDrawn = false;
    m_straighten = false;
    m_filled = false;
    m_isEraser = false;
    m_sharedPath = platform::Path();
    m_arrowOverlayPath = platform::Path();
}

double MRKODraw::brushSizeUsingPressure()
{
    if (m_isEraser)
        return eraserSize();
    MRKOLowpassFilter &filter = MRKOLowpassFilter::sharedFilter();
    const platform::Event *current = platform::EventQueue::shared().currentEvent();
    double smoothed = filter.lastPressure();
    if (!inkora::liveSettings().penPressure.load())
        return m_brushSize;
    if (current &&
        (current->type == platform::EventType::LeftMouseDragged || current->type == platform::EventType::Pressure)) {
        const double held = filter.pressureHolder();
        filter.setPressure(held != MRKOLowpassFilter::kNothingHeld ? held : current->pressure);
        smoothed = filter.lastPressure();
    }
    if (std::isnan(smoothed))
        smoothed = 0;
    return (m_brushSize - 1) * std::clamp(smoothed, 0.0, 1.0) + 1;
}

bool MRKODraw::isCurrentRectHasSize() const
{
    // A width that is not a number counts as a size.
    return m_currentRect.width() != 0 || m_currentRect.height() != 0;
}

void MRKODraw::mouseDown(const platform::Event &event)
{
    platform::EventQueue::shared().setCurrentEvent(event);
    const QPointF pressPoint = convertPointFromWindow(event.locationInWindow);

    // A press inside the selected drawing keeps its static selection; any other press ends it.
    const platform::LayerPtr staticSelection = staticSelectionLayer();
    if (!staticSelection || staticSelection != m_selectedLayer || !staticSelection->frame().contains(pressPoint))
        removeStaticSelectionIfNeeded();
    removeTextViewAndUndoActionsIfNeeded();
    inkora::resetSnapshotPanelFirstResponderIfNeeded();
    removeCircleMenuIfNeeded();
    if (KVPopover *popover = KVPopover::existingPopover(); popover && popover->isShown() && popover->isPicker())
        popover->killPicker();
    if (whiteboardButtonsTakePress(pressPoint))
        return;

    if (hasMultipleMove()) {
        finalizeMultipleMove();
        return;
    }
    const quint64 action = m_quickAuxAction != 0 ? m_quickAuxAction : m_auxAction;
    if (action == MRKOAuxActionNone) {
        inkora::PointerLoop(*this, event).run();
        return;
    }
    if (action == MRKOAuxActionEraser) {
        eraserWithEvent(event);
        return;
    }
    if (!m_selectedLayer) {
        switch (action) {
        case MRKOAuxActionMove:
        case MRKOAuxActionCopy:
            hideBigBall();
            hideBall();
            selectingWithEvent(event, pressPoint, action);
            return;
        case MRKOAuxActionScissors:
            platform::services().cursorStack->push(Resize::scissorsCut());
            selectingWithEvent(event, pressPoint, action);
            return;
        default:
            inkora::PointerLoop(*this, event).run();
            return;
        }
    }
    const platform::LayerPtr layer = m_selectedLayer;
    if (event.clickCount == 2 && action == MRKOAuxActionMove && m_dissolveMode == MRKODissolveModeFreeze &&
        isTimerInactive(*layer) && layer != staticSelection) {
        setStaticSelectionLayer(layer);
        // A short grab shows that the drawing was taken.
        platform::services().cursorStack->push(QCursor(Qt::ClosedHandCursor));
        platform::DispatchQueue::main().after(0.4, [] { platform::services().cursorStack->pop(); });
        shouldAppearTextViewWithPoint(pressPoint);
        return;
    }
    switch (action) {
    case MRKOAuxActionMove:
        handleMoveLayerWithEventCopy(layer, event, false);
        break;
    case MRKOAuxActionCopy:
        handleMoveCopyLayerWithEvent(layer, event);
        break;
    case MRKOAuxActionScissors:
        handleDeleteLayerWithEvent(layer, event);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Rendering into the cache

void MRKODraw::drawToCache()
{
    if (m_toolType != m_drawnToolType)
        cleanUpDrawnAreaAndResetInitialLocation();
    const bool option = currentFlags() & platform::kOptionFlag;
    switch (m_toolType) {
    case MRKOToolTypeBrush:
    case MRKOToolTypeQuickArrow:
        drawBrushV2ToCache();
        break;
    case MRKOToolTypeArrow:
        option ? drawLineToCache() : drawArrowToCache();
        break;
    case MRKOToolTypeRectangle:
        option ? drawCircleToChache() : drawRoundedRectangleToCache();
        break;
    case MRKOToolTypeText:
        drawTextToCache();
        break;
    case MRKOToolTypeLine:
        option ? drawArrowToCache() : drawLineToCache();
        break;
    case MRKOToolTypeEllipse:
        option ? drawRoundedRectangleToCache() : drawCircleToChache();
        break;
    default:
        break;
    }
    m_drawnToolType = m_toolType;
}

void MRKODraw::cleanUpDrawnAreaAndResetInitialLocation()
{
    if ((m_drawnToolType & 3) == 0)
        m_prevRendRect = m_currentRect;
    if (isCurrentRectHasSize()) {
        if (m_cache)
            m_cache->clearRect(m_prevRendRect);
        setNeedsDisplayInRect(m_prevRendRect);
    }
    handleFlagChagedForBrush();
    resetPointsAndRectsWithCurrentLocation(
        MRKOPositionController::sharedController().trackingIsOn() ? remoteTrackingMouseLocation() : mouseLocation());
}

void MRKODraw::collectNewPoint()
{
    if (m_pointIndex < 4) // never past the batch
        ++m_pointIndex;
    m_pointBatch[size_t(m_pointIndex)] = m_point3;
}

void MRKODraw::collectPointsForBrush()
{
    appendDiscardedPointsIfNeeded();
    collectNewPoint();
    if (m_pointIndex == 4) {
        // A full batch before the stroke is drawn is condensed, not drawn.
        m_pointBatch[2] = midpoint(m_pointBatch[2], m_pointBatch[3]);
        m_pointBatch[3] = midpoint(m_pointBatch[3], m_pointBatch[4]);
        m_pointIndex = 3;
    }
}

void MRKODraw::collectPointToDiscardedArray()
{
    m_discardedPoints.push_back(m_point3);
}

void MRKODraw::collectPointAccordingFPSAction()
{
    if (inkora::liveSettings().fpsLimiterAction == 1)
        collectPointToDiscardedArray();
    else
        collectPointsForBrush();
}

void MRKODraw::drawHeldBackBrushPoint()
{
    // The limiter collected the point already and drawing collects it again: it is taken back first.
    if (!m_discardedPoints.empty() && m_discardedPoints.back() == m_point3)
        m_discardedPoints.pop_back();
    else if (m_pointIndex > 0 && m_pointBatch[size_t(m_pointIndex)] == m_point3)
        --m_pointIndex;
    drawBrushV2ToCache();
}

void MRKODraw::appendDiscardedPointsIfNeeded()
{
    const size_t n = m_discardedPoints.size();
    if (n == 0)
        return;
    const size_t k = n - 1;
    auto append = [this](QPointF point) {
        if (m_pointIndex < 4)
            m_pointBatch[size_t(++m_pointIndex)] = point;
    };
    if (n >= 3 && m_pointIndex < 2) {
        append(m_discardedPoints[size_t(std::floor(0.25 * double(k)))]);
        append(m_discardedPoints[size_t(std::floor(0.75 * double(k)))]);
    } else if (m_pointIndex <= 2) {
        append(m_discardedPoints[size_t(std::floor(0.5 * double(k)))]);
    }
}

void MRKODraw::sortPointsBatch()
{
    const QPointF last = m_pointBatch[4];
    std::stable_sort(m_pointBatch.begin(), m_pointBatch.begin() + 4,
                     [last](QPointF a, QPointF b) { return QLineF(a, last).length() > QLineF(b, last).length(); });
}

void MRKODraw::drawBrushV2ToCache()
{
    appendDiscardedPointsIfNeeded();
    collectNewPoint();
    if (m_pointIndex != 4)
        return;
    s_segmentDrawn = true;
    const double width = brushSizeUsingPressure();
    m_maxDragBrushSize = std::max(m_maxDragBrushSize, width);
    if (!m_hasInitialBrushSegment) {
        sortPointsBatch();
        m_hasInitialBrushSegment = true;
    }
    m_pointBatch[3] = midpoint(m_pointBatch[2], m_pointBatch[4]);

    QPainterPath segment(m_pointBatch[0]);
    segment.cubicTo(m_pointBatch[1], m_pointBatch[2], m_pointBatch[3]);
    if (m_sharedPath.isEmpty())
        m_sharedPath.moveTo(m_pointBatch[0]);
    m_sharedPath.cubicTo(m_pointBatch[1], m_pointBatch[2], m_pointBatch[3]);
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    const QPainterPath outline = stroker.createStroke(segment);

    QRectF dirty;
    if (m_cache) {
        platform::BitmapContext &context = m_cache->context();
        context.saveGState();
        context.setFillColor(m_hueColor.toQColor());
        context.setLineCap(Qt::RoundCap);
        context.setLineWidth(width);
        if (m_colorType == MRKOColorTypeCustom) {
            context.fillPath(outline);
        } else {
            // Each segment starts from the previous one's colour, so a rainbow stroke shows no steps.
            context.clipToPath(outline);
            context.drawLinearGradient({{0, m_prevHueColor.toQColor()}, {1, m_hueColor.toQColor()}}, m_pointBatch[0],
                                       m_pointBatch[3], platform::BitmapContext::DrawsBeyondBothEnds);
        }
        handleFlagChagedForBrush();
        dirty = platform::alignedRect(outline.boundingRect(), platform::EdgeAlignment::Outward);
        context.restoreGState();
    } else {
        handleFlagChagedForBrush();
        dirty = platform::alignedRect(outline.boundingRect(), platform::EdgeAlignment::Outward);
    }

    m_pointBatch[0] = m_pointBatch[3];
    m_pointBatch[1] = m_pointBatch[4];
    m_pointIndex = 1;
    m_currentRect = platform::unionRectKeepingPoints(m_currentRect, dirty);
    m_prevHueColor = m_hueColor;
    m_lastDragBrushSize = width;
    setNeedsDisplayInRect(dirty);
}

void MRKODraw::drawBrushToCache()
{
    if (!(m_point1.x() > -1.0))
        return;
    const QPointF p0(m_point0.x() > -1.0 ? m_point0.x() : m_point1.x(),
                     m_point0.y() > -1.0 ? m_point0.y() : m_point1.y());
    const QPointF p1 = m_point1, p2 = m_point2, p3 = m_point3;
    const QPointF m1 = midpoint(p0, p1), m2 = midpoint(p1, p2), m3 = midpoint(p2, p3);
    const double l1 = QLineF(p0, p1).length(), l2 = QLineF(p1, p2).length(), l3 = QLineF(p2, p3).length();
    const double k1 = l1 / (l1 + l2), k2 = l2 / (l2 + l3);
    const QPointF c1 = m1 + (m2 - m1) * k1, c2 = m2 + (m3 - m2) * k2;
    auto single = [](QPointF p) { return QPointF(float(p.x()), float(p.y())); };
    const QPointF control1 = single(c1 + (m2 - c1) * 0.5 + p1 - c1);
    const QPointF control2 = single(c2 + (m2 - c2) * 0.5 + p2 - c2);
    const double width = brushSizeUsingPressure();
    m_maxDragBrushSize = std::max(m_maxDragBrushSize, width);
    if (m_cache) {
        platform::BitmapContext &context = m_cache->context();
        context.saveGState();
        context.setStrokeColor(m_hueColor.toQColor());
        context.setLineCap(Qt::RoundCap);
        context.setLineWidth(width);
        QPainterPath curve(p1);
        curve.cubicTo(control1, control2, p2);
        context.strokePath(curve);
        context.restoreGState();
    }
    const QRectF dirty =
        QRectF(p1 - QPointF(10, 10), QSizeF(20, 20)).united(QRectF(p2 - QPointF(10, 10), QSizeF(20, 20)));
    m_currentRect = platform::unionRectKeepingPoints(m_currentRect, dirty);
    setNeedsDisplayInRect(dirty);
}

// ---------------------------------------------------------------------------------------------------------------
// Quick-arrow head

bool MRKODraw::souldDrawArrowHead() const
{
    if (m_isEraser)
        return false;
    if (currentFlags() & platform::kOptionFlag)
        return m_toolType == MRKOToolTypeBrush;
    return m_toolType == MRKOToolTypeQuickArrow;
}

void MRKODraw::handleFlagChagedWhileMouseDown(const platform::Event &)
{
    switch (m_toolType) {
    case MRKOToolTypeBrush:
    case MRKOToolTypeQuickArrow:
        handleFlagChagedForBrush();
        break;
    case MRKOToolTypeArrow:
    case MRKOToolTypeRectangle:
    case MRKOToolTypeLine:
    case MRKOToolTypeEllipse:
        drawToCache(); // the shape again, with Option swapping it for its partner
        break;
    default:
        break;
    }
}

void MRKODraw::handleFlagChagedForBrush()
{
    if (!s_segmentDrawn)
        return;
    inkora::QuickArrowHead &head = inkora::QuickArrowHead::shared();
    const double angle = head.followSegment(m_pointBatch[0], m_pointBatch[4]);
    if (!souldDrawArrowHead()) {
        removeArrowOverlayIfNeeded();
        return;
    }
    const double width = brushSizeUsingPressure();
    head.chooseShapeIfNeeded();
    if (!m_arrowOverlay)
        showArrowOverlay(width);
    if (width != m_currentArrowHeadWidth)
        updateArrowHeadStrokedPath(width);
    {
        platform::TransactionScope transaction(true);
        m_arrowOverlay->setFillColor(m_hueColor.toQColor());
    }
    platform::Transaction::begin();
    platform::Transaction::setAnimationTimingFunction(
        platform::TimingFunction::named(platform::TimingFunction::Linear));
    platform::Transaction::setAnimationDuration(0.04);
    m_arrowOverlay->setAffineTransform(
        QTransform::fromTranslate(m_pointBatch[4].x(), m_pointBatch[4].y()).rotateRadians(angle));
    platform::Transaction::commit();
}

void MRKODraw::showArrowOverlay(double width)
{
    const inkora::LiveSettings &live = inkora::liveSettings();
    inkora::QuickArrowHead &head = inkora::QuickArrowHead::shared();
    if (live.quickArrowHeadStyle != 0)
        head.straightenSides();
    const double sizeFactor = live.quickArrowHeadSize != 0 ? live.quickArrowHeadSize : 1.0;
    m_arrowOverlayPath = head.path(inkora::QuickArrowHead::baseSize(m_thickness) * sizeFactor * 0.33);
    m_arrowOverlay = platform::ShapeLayer::create();
    updateArrowHeadStrokedPath(width);
    const double shownOpacity = live.needSemitransparent ? live.drawingOpacity : 1.0;
    {
        platform::TransactionScope transaction(true);
        if (live.needSemitransparent)
            m_arrowOverlay->setOpacity(live.drawingOpacity);
        m_viewLayer->addSublayer(m_arrowOverlay);
    }
    platform::BasicAnimation fadeIn(QStringLiteral("opacity"));
    fadeIn.setFromValue(0.0);
    fadeIn.setToValue(shownOpacity);
    fadeIn.setDuration(0.1);
    fadeIn.setFillMode(platform::Animation::FillMode::Forwards);
    m_arrowOverlay->addAnimation(fadeIn);
}

void MRKODraw::updateArrowHeadStrokedPath(double width)
{
    m_currentArrowHeadWidth = width;
    if (!m_arrowOverlay)
        return;
    const QPainterPath outline =
        m_arrowOverlayPath.strokedOutline(width, Qt::RoundCap, Qt::RoundJoin, 10.0).toPainterPath();
    platform::TransactionScope transaction(true);
    m_arrowOverlay->setPath(outline);
    // The head's own origin (its tip) stays the point it turns about and is placed at; the bounds only tell
    // redrawing where it paints.
    const QRectF box = outline.boundingRect();
    if (box.width() > 0 && box.height() > 0) {
        m_arrowOverlay->setBounds(box);
        m_arrowOverlay->setAnchorPoint(QPointF(-box.x() / box.width(), -box.y() / box.height()));
        m_arrowOverlay->setPosition(QPointF(0, 0));
    }
}

void MRKODraw::drawArrowOverlayInContext()
{
    if (!m_arrowOverlay)
        return;
    const QPainterPath path = m_arrowOverlay->affineTransform().map(m_arrowOverlay->path());
    const QRectF box = platform::integralRect(path.boundingRect().adjusted(-1, -1, 1, 1));
    m_currentRect = platform::unionRectKeepingPoints(m_currentRect, box);
    if (!m_cache)
        return;
    platform::BitmapContext &context = m_cache->context();
    context.saveGState();
    context.setFillColor(m_hueColor.toQColor());
    context.fillPath(path);
    context.restoreGState();
}

void MRKODraw::removeArrowOverlayIfNeeded()
{
    inkora::QuickArrowHead::shared().clearHeadExists();
    if (!m_arrowOverlay)
        return;
    platform::TransactionScope transaction(true);
    m_arrowOverlay->removeFromSuperlayer();
    m_arrowOverlay.reset();
}

void MRKODraw::removeArrowOverlayAndCleanUp()
{
    removeArrowOverlayIfNeeded();
    inkora::QuickArrowHead::shared().resetDirection();
}

// ---------------------------------------------------------------------------------------------------------------
// A stroke moved while drawing

platform::LayerPtr MRKODraw::layerCutFromCache(bool finishing)
{
    QRectF rect = platform::alignedRect(m_currentRect, platform::EdgeAlignment::Outward);
    rect = rect.intersects(m_contextRect) ? rect.intersected(m_contextRect) : QRectF();
    if (rect.width() == 0 && rect.height() == 0)
        return nullptr;
    platform::LayerPtr layer = platform::Layer::create();
    {
        platform::TransactionScope transaction(true);
        layer->setFrame(rect);
        layer->setContentsScale(m_displayScale);
        if (m_cache) {
            QImage cut = m_cache->copyOfRect(rect, backingScale());
            const inkora::LiveSettings &live = inkora::liveSettings();
            if (finishing && live.needSemitransparent) {
                // The finished drawing carries its opacity in its pixels, so the layer itself stays opaque.
                QPainter painter(&cut);
                painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
                painter.fillRect(cut.rect(), QColor::fromRgbF(0, 0, 0, float(live.drawingOpacity)));
                if (m_moveClipping)
                    m_moveClipping->setOpacity(live.drawingOpacity);
            }
            layer->setContents(std::make_shared<const QImage>(std::move(cut)));
        }
    }
    if (m_moveClipping) {
        // The part of an earlier move that lay outside the cache joins the cut.
        if (platform::LayerPtr composite = MRKOUtils::compositeOfLayers({m_moveClipping, layer})) {
            m_currentRect = platform::alignedRect(m_moveClipping->frame().united(composite->frame()),
                                                  platform::EdgeAlignment::Outward);
            layer = composite;
        }
        m_moveClipping.reset();
    }
    return layer;
}

platform::LayerPtr MRKODraw::makeMediumLayer()
{
    platform::LayerPtr layer = layerCutFromCache();
    if (!layer)
        return platform::Layer::create();
    const inkora::LiveSettings &live = inkora::liveSettings();
    {
        platform::TransactionScope transaction(true);
        layer->setZPosition(-1);
        if (live.needSemitransparent)
            layer->setOpacity(live.drawingOpacity);
        m_viewLayer->addSublayer(layer);
    }
    if (m_cache) {
        m_cache->context().saveGState();
        m_cache->clearRect(m_currentRect);
        m_cache->context().restoreGState();
    }
    setNeedsDisplayInRect(m_currentRect);
    return layer;
}

void MRKODraw::renderMediumLayer(const platform::LayerPtr &layer)
{
    if (!layer)
        return;
    const QRectF frame = layer->frame();
    if (m_cache) {
        platform::BitmapContext &context = m_cache->context();
        context.saveGState();
        context.translateCTM(frame.x(), frame.y());
        if (inkora::liveSettings().needSemitransparent) {
            platform::TransactionScope transaction(true);
            layer->setOpacity(1.0);
        }
        context.draw([&](QPainter &painter) { layer->renderInContext(painter); });
        context.restoreGState();
    }
    if (frame.united(m_contextRect) != m_contextRect) {
        // The part beyond the cache survives in the layer until the stroke is finished.
        const QRectF inside = frame.intersected(m_contextRect).translated(-frame.topLeft());
        MRKOUtils::cutRectInLayer(inside, *layer);
        m_moveClipping = layer;
    }
    setNeedsDisplayInRect(m_currentRect);
}
