#include "platform/LayerWidget.h"

#include <QPaintEvent>
#include <QPainter>

namespace platform {

namespace {

constexpr double kFrameInterval = 1.0 / 60; // seconds

void collectAnimatedAreas(const Layer &layer, const QTransform &toRoot, QRectF &area)
{
    if (layer.hasRunningAnimations())
        area |= toRoot.mapRect(layer.visualRectInSuperlayer(true) | layer.visualRectInSuperlayer(false));
    const QTransform inner = layer.transformToSuperlayer(true) * toRoot;
    if (const LayerPtr &mask = layer.mask())
        collectAnimatedAreas(*mask, inner, area);
    for (const auto &sublayer : layer.sublayers())
        collectAnimatedAreas(*sublayer, inner, area);
}

} // namespace

LayerWidget::LayerWidget(QWidget *parent) : QWidget(parent), m_root(Layer::create())
{
    m_root->setAnchorPoint({0, 0});
    m_root->setFrame(QRectF(0, 0, width(), height()));
    m_root->setDisplayObserver([this](const QRectF &area) { areaChanged(area); });
}

LayerWidget::~LayerWidget()
{
    m_root->setDisplayObserver({});
    if (m_ticker)
        RunLoop::main().cancel(m_ticker);
}

QRect LayerWidget::toWidget(const QRectF &area) const
{
    return QRectF(area.x(), height() - (area.y() + area.height()), area.width(), area.height()).toAlignedRect();
}

void LayerWidget::areaChanged(const QRectF &rootArea)
{
    update(toWidget(rootArea.adjusted(-1, -1, 1, 1)));
    if (!m_ticker && m_root->hasRunningAnimationsInTree())
        startTicking();
}

void LayerWidget::startTicking()
{
    m_ticker = RunLoop::main().schedule(
        kFrameInterval, [this] { tick(); }, RunLoop::CommonModes, kFrameInterval);
}

void LayerWidget::tick()
{
    QRectF area;
    collectAnimatedAreas(*m_root, QTransform(), area);
    const QRectF repaint = area | m_lastAnimatedArea;
    if (!repaint.isEmpty())
        update(toWidget(repaint.adjusted(-1, -1, 1, 1)));
    m_lastAnimatedArea = area;
    if (area.isEmpty() && m_ticker) {
        RunLoop::main().cancel(m_ticker);
        m_ticker = 0;
    }
}

void LayerWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.translate(0, height());
    painter.scale(1, -1);
    const QRect dirty = event->rect();
    const QRectF yUp(dirty.x(), height() - (dirty.y() + dirty.height()), dirty.width(), dirty.height());
    m_root->renderPresentationInContext(painter, yUp);
}

void LayerWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_root->setFrame(QRectF(0, 0, width(), height()));
}

} // namespace platform
