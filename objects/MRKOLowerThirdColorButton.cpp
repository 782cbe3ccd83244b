#include "objects/MRKOLowerThirdColorButton.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "tools/KVPopover.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPointer>

#include <cmath>

MRKOLowerThirdColorButton::MRKOLowerThirdColorButton(const QString &identifier, QWidget *parent)
    : QPushButton(parent), m_identifier(identifier)
{
    setFlat(true);
    resize(30, 26);
    setUpButton();
}

void MRKOLowerThirdColorButton::setUpButton()
{
    m_swatchView = new QLabel(this); // child
    m_swatchView->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeSwatch();
    updateImage();
}

void MRKOLowerThirdColorButton::placeSwatch()
{
    // Origin (⌈midX − 10.5⌉, ⌈midY − 10.5⌉), y up.
    const double x = std::ceil(width() / 2.0 - kSwatchSide / 2);
    const double yUp = std::ceil(height() / 2.0 - kSwatchSide / 2);
    m_swatchView->setGeometry(int(x), int(height() - yUp - kSwatchSide), int(kSwatchSide), int(kSwatchSide));
}

void MRKOLowerThirdColorButton::setColor(const inkora::SrgbColor &color)
{
    m_color = color;
    updateImage();
}

void MRKOLowerThirdColorButton::updateImage()
{
    m_imageOff = colorSwatchImage();
    m_imageOn = colorSwatchImageMouseOn();
    m_swatchView->setPixmap(QPixmap::fromImage(m_imageOff));
}

QImage MRKOLowerThirdColorButton::colorSwatchImage() const
{
    return swatchImage(4.0, 1.5);
}

QImage MRKOLowerThirdColorButton::colorSwatchImageMouseOn() const
{
    return swatchImage(3.0, 0.5);
}

QImage MRKOLowerThirdColorButton::swatchImage(double discInset, double ringOutset) const
{
    const double scale = devicePixelRatioF();
    QImage image(QSize(int(kSwatchSide * scale), int(kSwatchSide * scale)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(0, 0, kSwatchSide, kSwatchSide).adjusted(discInset, discInset, -discInset, -discInset);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color.isValid() ? m_color.toQColor() : QColor(Qt::black));
    painter.drawEllipse(disc);
    QColor ring = QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
    ring.setAlphaF(0.5f); // the secondary label colour
    painter.setPen(QPen(ring, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(disc.adjusted(-ringOutset, -ringOutset, ringOutset, ringOutset));
    return image;
}

void MRKOLowerThirdColorButton::showHidePopover()
{
    KVPopover &popover = KVPopover::sharedPopover();
    if (popover.isShown() && popover.target() == this) {
        popover.close();
        return;
    }
    if (popover.isShown())
        popover.close();
    runColorPopoverForView(this);
}

void MRKOLowerThirdColorButton::prepareColorPopover()
{
    KVPopover &popover = KVPopover::sharedPopover();
    popover.setColor(effectiveColor());
    popover.setTarget(this);
    const QPointer<MRKOLowerThirdColorButton> self(this);
    popover.setAction([self](KVPopover &) {
        if (self)
            self->colorPopoverColorChange();
    });
}

void MRKOLowerThirdColorButton::runColorPopoverForView(QWidget *view)
{
    const QPointer<MRKOLowerThirdColorButton> self(this);
    const QPointer<QWidget> anchor(view);
    platform::DispatchQueue::main().async([self, anchor] {
        if (!self || !anchor)
            return;
        self->prepareColorPopover();
        KVPopover &popover = KVPopover::sharedPopover();
        popover.setDelegate(self, {});
        popover.showRelativeToRect(QRectF(0, 0, anchor->width(), anchor->height()), anchor, platform::RectEdge::MinX);
    });
}

void MRKOLowerThirdColorButton::colorPopoverColorChange()
{
    setColor(KVPopover::sharedPopover().color());
    ShortcutEncode::setSRGBColorForKey(MRKOUtils::userDefaults(), m_color, m_identifier);
    if (m_action)
        m_action(this);
}

void MRKOLowerThirdColorButton::updateHighlightIfNeeded()
{
    const bool inside = rect().contains(mapFromGlobal(QCursor::pos()));
    m_swatchView->setPixmap(QPixmap::fromImage(inside ? m_imageOn : m_imageOff));
}

void MRKOLowerThirdColorButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        showHidePopover();
}

void MRKOLowerThirdColorButton::enterEvent(QEnterEvent *event)
{
    QPushButton::enterEvent(event);
    m_swatchView->setPixmap(QPixmap::fromImage(m_imageOn));
}

void MRKOLowerThirdColorButton::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    m_swatchView->setPixmap(QPixmap::fromImage(m_imageOff));
}

void MRKOLowerThirdColorButton::paintEvent(QPaintEvent *)
{
    // The swatch view shows the colour.
}

void MRKOLowerThirdColorButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    placeSwatch();
    updateHighlightIfNeeded();
}
