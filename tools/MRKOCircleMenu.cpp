#include "tools/MRKOCircleMenu.h"

#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/ShapeLayer.h"
#include "platform/Transaction.h"
#include "tools/MRKOToolType.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeadZone = 45.0;      // points from the press
constexpr double kDefaultLength = 80.0; // points
constexpr double kItemSide = 32.0;      // points

// A flat translucent fill stands for the blurred menu material.
const QColor kDarkFill(40, 40, 44, 215);
const QColor kLightFill(236, 236, 238, 215);
const QColor kOutline(128, 128, 128, 64);
const QColor kSecondaryLabel(150, 150, 155, 200);

QPainterPath ringPath(const QRectF &bounds)
{
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(bounds);
    const double inset = bounds.width() / 4;
    ring.addEllipse(bounds.adjusted(inset, inset, -inset, -inset));
    return ring;
}

/// A new image of the item's size in which `draw` paints, at the layer's contents scale.
platform::ImagePtr itemImage(const platform::Layer &layer, const std::function<void(QPainter &, QRectF)> &draw)
{
    const double scale = layer.contentsScale();
    const QSizeF size = layer.bounds().size();
    auto image = std::make_shared<QImage>((size * scale).toSize(), QImage::Format_RGBA8888_Premultiplied);
    image->fill(Qt::transparent);
    QPainter painter(image.get());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    draw(painter, QRectF(QPointF(0, 0), size));
    return image;
}

} // namespace

MRKOCircleMenu::MRKOCircleMenu(const QRectF &frame, bool darkAppearance)
    : m_layer(platform::Layer::create()), m_dark(darkAppearance)
{
    m_layer->setFrame(frame);
}

MRKOCircleMenu::~MRKOCircleMenu()
{
    m_layer->removeFromSuperlayer();
}

double MRKOCircleMenu::stepAngle() const
{
    return 2 * kPi / 7;
}

void MRKOCircleMenu::setMenuImages(const QList<QImage> &images, double length, double scale, QObject *target,
                                   Action action)
{
    m_angle = stepAngle();
    m_length = length == 0 ? kDefaultLength : length;
    if (target)
        m_target = target;
    if (action)
        m_action = std::move(action);
    m_scale = scale;
    m_images = images;
    m_count = quint64(images.size());
    resetResult();
    setUpView();
}

void MRKOCircleMenu::resetResult()
{
    m_toolType = kNotFound;
    m_rawSelection = kNotFound;
}

void MRKOCircleMenu::setUpView()
{
    const QRectF bounds = m_layer->bounds();
    for (const platform::LayerPtr &sublayer : std::vector<platform::LayerPtr>(m_layer->sublayers()))
        sublayer->removeFromSuperlayer();
    m_lineLayer.reset();
    m_currentSelection = nullptr;

    auto ring = platform::ShapeLayer::create();
    ring->setFrame(bounds);
    ring->setPath(ringPath(bounds));
    ring->setFillRule(platform::ShapeLayer::FillRule::EvenOdd);
    ring->setFillColor(m_dark ? kDarkFill : kLightFill);
    m_layer->addSublayer(ring);

    // The outline inside the ring's edges.
    auto outline = platform::ShapeLayer::create();
    outline->setFrame(bounds);
    outline->setPath(ringPath(bounds.adjusted(0.5, 0.5, -0.5, -0.5)));
    outline->setFillColor(Qt::transparent);
    outline->setStrokeColor(kOutline);
    outline->setLineWidth(1.0);
    m_layer->addSublayer(outline);

    m_items.clear();
    m_ranges.clear();
    for (quint64 i = 0; i < m_count; ++i) {
        auto item = platform::Layer::create();
        item->setBounds(QRectF(0, 0, kItemSide, kItemSide));
        item->setContentsScale(m_scale);
        applyStateWithImageInLayer(0, *item, i);
        item->setPosition(pointForItemAtIndex(i));
        m_ranges.push_back(radiansRangeForItemAtIndex(i));
        m_items.push_back(item);
        m_layer->addSublayer(item);
    }
}

void MRKOCircleMenu::updateDownPoint()
{
    m_downPoint = mouseLocationInView();
    resetResult();
}

QPointF MRKOCircleMenu::mouseLocationInView() const
{
    const QPointF inSuperlayer = m_mouseLocation ? m_mouseLocation() : m_downPoint + m_layer->frame().topLeft();
    return inSuperlayer - m_layer->frame().topLeft();
}

QPointF MRKOCircleMenu::radiansRangeForItemAtIndex(quint64 index) const
{
    const double start = 3 * kPi / 2 - 1.5 * m_angle + double(index) * m_angle;
    return {start, 3 * kPi / 2 - 0.5 * m_angle + double(index) * m_angle};
}

QPointF MRKOCircleMenu::pointForItemAtIndex(quint64 index) const
{
    const QRectF b = m_layer->bounds();
    const double theta = 3 * kPi / 2 - m_angle + double(index) * m_angle;
    return {b.center().x() + m_length * std::cos(theta), b.center().y() - m_length * std::sin(theta)};
}

quint64 MRKOCircleMenu::indexForBeta(double beta) const
{
    for (quint64 i = 0; i < m_ranges.size(); ++i) {
        if (m_ranges[i].x() < beta && beta < m_ranges[i].y())
            return i;
    }
    return m_count - 1; // the interval that wraps past 3π
}

void MRKOCircleMenu::mouseMoved(const platform::Event &)
{
    const QPointF p = mouseLocationInView();
    if (!m_lineLayer) {
        m_lineLayer = platform::ShapeLayer::create();
        m_lineLayer->setFrame(m_layer->bounds());
        m_lineLayer->setLineWidth(2.0);
        m_lineLayer->setStrokeColor(OnOffColor::iconOffColor());
        m_lineLayer->setFillColor(Qt::transparent);
        m_layer->addSublayer(m_lineLayer);
    }

    const QPointF delta = p - m_downPoint;
    const float distance = std::hypot(float(delta.x()), float(delta.y()));
    const float reach = float(m_layer->bounds().width() / 2);
    QPointF end = p;
    if (distance > reach)
        end = m_downPoint + delta * (double(reach) / double(distance)); // stops at the ring's outer edge
    QPainterPath line(m_downPoint);
    line.lineTo(end);

    platform::Transaction::begin();
    platform::Transaction::setDisableActions(true);
    m_lineLayer->setPath(line);
    if (distance < kDeadZone) {
        resetCurrentSelection();
        platform::Transaction::commit();
        return;
    }
    const float a = std::atan2(float(m_downPoint.y() - p.y()), float(m_downPoint.x() - p.x()));
    float beta = a < 0 ? -a : float(2 * kPi) - a;
    beta += float(kPi);
    const quint64 index = indexForBeta(beta);
    if (index < m_items.size()) {
        resetCurrentSelection();
        applyStateWithImageInLayer(1, *m_items[index], index);
        m_currentSelection = m_items[index].get();
    }
    platform::Transaction::commit();
}

void MRKOCircleMenu::mouseUpped()
{
    for (quint64 i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == m_currentSelection) {
            invokeDelegate(i);
            break;
        }
    }
    resetCurrentSelection();
    if (m_lineLayer) {
        m_lineLayer->removeFromSuperlayer();
        m_lineLayer.reset();
    }
}

void MRKOCircleMenu::resetCurrentSelection()
{
    for (quint64 i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == m_currentSelection)
            applyStateWithImageInLayer(0, *m_items[i], i);
    }
    m_currentSelection = nullptr;
}

quint64 MRKOCircleMenu::toolTypeForIndex(quint64 index)
{
    static constexpr quint64 kTypes[] = {MRKOToolTypeBrush, MRKOToolTypeQuickArrow, MRKOToolTypeArrow,
                                         MRKOToolTypeLine,  MRKOToolTypeRectangle,  MRKOToolTypeEllipse,
                                         MRKOToolTypeText};
    return index < std::size(kTypes) ? kTypes[index] : 0;
}

void MRKOCircleMenu::invokeDelegate(quint64 index)
{
    m_rawSelection = index;
    m_toolType = toolTypeForIndex(index);
    performAction();
}

void MRKOCircleMenu::performAction()
{
    if (m_target && m_action)
        m_action(*this);
}

void MRKOCircleMenu::applyStateWithImageInLayer(int state, platform::Layer &layer, quint64 index)
{
    if (index >= quint64(m_images.size()))
        return;
    const QImage &icon = m_images[int(index)];
    const QColor tint = state == 1 ? OnOffColor::iconOnColor() : OnOffColor::iconOffColor();
    layer.setContents(itemImage(layer, [&icon, &tint, this](QPainter &painter, QRectF rect) {
        painter.drawImage(rect, ImageNamedWithColor::imageWithColor(icon, tint, m_scale));
    }));
}

// The swatch menu

double MRKOCircleSwatchMenu::stepAngle() const
{
    return 2 * kPi / 10;
}

void MRKOCircleSwatchMenu::resetResult()
{
    setRawSelection(kNotFound);
}

void MRKOCircleSwatchMenu::invokeDelegate(quint64 index)
{
    setRawSelection(index);
    performAction();
}

void MRKOCircleSwatchMenu::applyStateWithImageInLayer(int state, platform::Layer &layer, quint64 index)
{
    if (index >= quint64(images().size()))
        return;
    const QImage &swatch = images()[int(index)];
    if (state != 1) {
        layer.setContents(std::make_shared<QImage>(swatch));
        return;
    }
    layer.setContents(itemImage(layer, [&swatch](QPainter &painter, QRectF rect) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kSecondaryLabel);
        painter.drawEllipse(rect);
        painter.drawImage(rect, swatch);
    }));
}
