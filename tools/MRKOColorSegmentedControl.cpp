#include "tools/MRKOColorSegmentedControl.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "tools/KVPopover.h"
#include "tools/MRKOColorHueController.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {

const QColor kSelected(90, 90, 96);
const QColor kFrame(120, 120, 126);

} // namespace

MRKOColorSegmentedControl::MRKOColorSegmentedControl(const QString &identifier, quint64 tag, QWidget *parent)
    : QWidget(parent), m_identifier(identifier), m_tag(tag)
{
    resize(60, 22);
    setCursor(Qt::PointingHandCursor);
    awakeFromNib();
}

void MRKOColorSegmentedControl::awakeFromNib()
{
    m_color = ShortcutEncode::srgbColorForKey(MRKOUtils::userDefaults(), m_identifier);
    updateImage();
    setSelectedSegment(m_color.isValid() ? 0 : 1);
}

void MRKOColorSegmentedControl::setSelectedSegment(int segment)
{
    m_selectedSegment = segment;
    update();
}

void MRKOColorSegmentedControl::segmentHasSeleted()
{
    if (m_selectedSegment == 0)
        runColorPopoverForView(this);
    else
        m_color = {};
    afterChange();
    postUpdateSwatchImages();
}

void MRKOColorSegmentedControl::afterChange()
{
    updateImage();
    saveColorIfNeeded();
    MRKOColorHueController::sharedHueController().updateColorForColorHueIndex(m_color, m_tag);
}

void MRKOColorSegmentedControl::saveColorIfNeeded()
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    if (m_color.isValid())
        ShortcutEncode::setSRGBColorForKey(defaults, m_color, m_identifier);
    else
        defaults.removeObjectForKey(m_identifier);
}

void MRKOColorSegmentedControl::runColorPopoverForView(QWidget *view)
{
    // Only in memory until the popover changes a colour.
    m_color = effectiveColor();
    QPointer<MRKOColorSegmentedControl> self(this);
    QPointer<QWidget> anchor(view);
    platform::DispatchQueue::main().async([self, anchor] {
        if (!self || !anchor)
            return;
        KVPopover &popover = KVPopover::sharedPopover();
        popover.setColor(self->m_color);
        popover.setDelegate(self, [self] {
            if (self)
                self->popoverDidClose();
        });
        popover.setTarget(self);
        popover.setAction([self](KVPopover &) {
            if (self)
                self->colorPopoverChangesAColor();
        });
        popover.showRelativeToRect(QRectF(0, 0, anchor->width(), anchor->height()), anchor, platform::RectEdge::MaxX);
    });
}

void MRKOColorSegmentedControl::colorPopoverChangesAColor()
{
    m_color = KVPopover::sharedPopover().color();
    updateImage();
    saveColorIfNeeded();
    MRKOColorHueController::sharedHueController().updateColorForColorHueIndex(m_color, m_tag);
}

void MRKOColorSegmentedControl::popoverDidClose()
{
    postUpdateSwatchImages();
}

void MRKOColorSegmentedControl::postUpdateSwatchImages()
{
    platform::NotificationCenter::defaultCenter().post(QString::fromLatin1(kUpdateSwatchImagesNotification));
}

void MRKOColorSegmentedControl::applyAdjustmentWithString(const QString &text)
{
    const inkora::SrgbColor color = text.isEmpty() ? inkora::SrgbColor() : OnOffColor::srgbColorWithString(text);
    m_color = color;
    setSelectedSegment(color.isValid() ? 0 : 1);
    afterChange();
}

void MRKOColorSegmentedControl::restoreDefaults()
{
    m_color = {};
    setSelectedSegment(1);
    afterChange();
}

inkora::SrgbColor MRKOColorSegmentedControl::effectiveColor() const
{
    return m_color.isValid() ? m_color : OnOffColor::rainbowColorWithHue(defaultHue());
}

double MRKOColorSegmentedControl::defaultHue() const
{
    return MRKOColorHueController::hueWithColorHueIndex(m_tag);
}

void MRKOColorSegmentedControl::updateImage()
{
    m_swatchImage =
        MRKOColorHueController::colorSwatchImageWithColor(effectiveColor(), QSizeF(17, 17), devicePixelRatioF());
    update();
}

QRect MRKOColorSegmentedControl::segmentRect(int segment) const
{
    const int half = width() / 2;
    return segment == 0 ? QRect(0, 0, half, height()) : QRect(half, 0, width() - half, height());
}

void MRKOColorSegmentedControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kFrame, 1));
    for (int segment : {0, 1}) {
        const QRect r = segmentRect(segment);
        painter.setBrush(segment == m_selectedSegment ? kSelected : QColor(Qt::transparent));
        painter.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
    const QRect swatch = segmentRect(0);
    painter.drawImage(QPointF(swatch.center().x() - 8.5, swatch.center().y() - 8.5), m_swatchImage);
    // Segment 1: no colour of its own, a struck-through ring.
    const QPointF c = QRectF(segmentRect(1)).center();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(200, 200, 205), 1.5));
    painter.drawEllipse(c, 6, 6);
    painter.drawLine(c + QPointF(-4, 4), c + QPointF(4, -4));
}

void MRKOColorSegmentedControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setSelectedSegment(segmentRect(0).contains(event->position().toPoint()) ? 0 : 1);
    segmentHasSeleted();
}
