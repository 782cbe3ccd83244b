#include "tools/MRKOBackgroundColorButton.h"

#include "foundation/MRKOImageUtils.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "tools/KVPopover.h"
#include "tools/MRKOToolColor.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>

#include <cmath>

namespace {

constexpr double kSwatchSide = 17; // points

} // namespace

MRKOBackgroundColorButton::MRKOBackgroundColorButton(const QString &identifier, qint64 tag, QWidget *parent)
    : QPushButton(parent), m_identifier(identifier), m_tag(tag)
{
    resize(30, 22);
    setUpButton();
}

void MRKOBackgroundColorButton::setUpButton()
{
    m_purpose = m_tag;
    m_swatchView = new QLabel(this); // child
    m_swatchView->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeSwatch();
    updateColor();
}

void MRKOBackgroundColorButton::placeSwatch()
{
    // The swatch's origin is the centre minus 8.5 points, rounded up (y up).
    const double x = std::ceil(width() / 2.0 - kSwatchSide / 2);
    const double yUp = std::ceil(height() / 2.0 - kSwatchSide / 2);
    m_swatchView->setGeometry(int(x), int(height() - yUp - kSwatchSide), int(kSwatchSide), int(kSwatchSide));
}

void MRKOBackgroundColorButton::updateColor()
{
    const inkora::SrgbColor stored = ShortcutEncode::srgbColorForKey(MRKOUtils::userDefaults(), m_identifier);
    if (stored.isValid())
        setColor(stored);
    else
        setColor(m_purpose == 1 ? MRKOToolColor::defaultColor() : MRKOToolColor::defaultBackgroundColor());
}

void MRKOBackgroundColorButton::setColor(const inkora::SrgbColor &color)
{
    m_color = color;
    updateImage();
}

void MRKOBackgroundColorButton::updateImage()
{
    const double scale = devicePixelRatioF();
    const QSizeF size(kSwatchSide, kSwatchSide);
    m_imageOff = MRKOImageUtils::colorSwatchImageWithSize(size, m_color.toQColor(), scale);
    m_imageOn = MRKOImageUtils::colorSwatchImageOnWithSize(size, m_color.toQColor(), scale);
    m_swatchView->setPixmap(QPixmap::fromImage(underMouse() ? m_imageOn : m_imageOff));
}

void MRKOBackgroundColorButton::showHidePopover()
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

void MRKOBackgroundColorButton::runColorPopoverForView(QWidget *view)
{
    QPointer<MRKOBackgroundColorButton> self(this);
    QPointer<QWidget> anchor(view);
    platform::DispatchQueue::main().async([self, anchor] {
        if (!self || !anchor)
            return;
        KVPopover &popover = KVPopover::sharedPopover();
        const bool translucent = self->m_purpose != 1;
        popover.setWantsOpacity(translucent);
        popover.setSendActionOnMouseUp(translucent);
        popover.setColor(self->effectiveColor());
        popover.setTarget(self);
        popover.setAction([self](KVPopover &) {
            if (self)
                self->colorPopoverChangesAColor();
        });
        popover.setDelegate(self, {});
        popover.showRelativeToRect(QRectF(0, 0, anchor->width(), anchor->height()), anchor, platform::RectEdge::MaxX);
    });
}

void MRKOBackgroundColorButton::colorPopoverChangesAColor()
{
    setColor(KVPopover::sharedPopover().opacityColor());
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    ShortcutEncode::setSRGBColorForKey(defaults, m_color, m_identifier);
    defaults.synchronize();
    emit actionSent(this);
}

void MRKOBackgroundColorButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        showHidePopover();
}

void MRKOBackgroundColorButton::enterEvent(QEnterEvent *event)
{
    QPushButton::enterEvent(event);
    m_swatchView->setPixmap(QPixmap::fromImage(m_imageOn));
}

void MRKOBackgroundColorButton::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    m_swatchView->setPixmap(QPixmap::fromImage(m_imageOff));
}

void MRKOBackgroundColorButton::paintEvent(QPaintEvent *)
{
    // The swatch view carries the picture.
}

void MRKOBackgroundColorButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    placeSwatch();
}
