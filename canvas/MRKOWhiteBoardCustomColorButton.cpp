#include "canvas/MRKOWhiteBoardCustomColorButton.h"

#include "canvas/MRKOWhiteBoardColorController.h"
#include "foundation/MRKOImageUtils.h"
#include "platform/Dispatch.h"
#include "tools/KVPopover.h"

#include <QLabel>
#include <QPixmap>
#include <QPointer>

#include <cmath>

namespace {

constexpr double kSwatchSide = 17; // points

} // namespace

MRKOWhiteBoardCustomColorButton::MRKOWhiteBoardCustomColorButton(QWidget *parent)
    : QPushButton(parent), m_swatchView(new QLabel(this))
{
    m_swatchView->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeSwatch();
    updateImage();
}

void MRKOWhiteBoardCustomColorButton::placeSwatch()
{
    // At the right end, centred vertically (the centre rounded down in y-up points).
    const double yUp = std::floor(float(height() / 2.0 - kSwatchSide / 2));
    m_swatchView->setGeometry(int(width() - kSwatchSide), int(height() - yUp - kSwatchSide), int(kSwatchSide),
                              int(kSwatchSide));
}

QColor MRKOWhiteBoardCustomColorButton::effectiveColor() const
{
    return MRKOWhiteBoardColorController::colorController().effectiveColor();
}

void MRKOWhiteBoardCustomColorButton::colorPopoverChangesAColor(const QColor &color)
{
    MRKOWhiteBoardColorController::colorController().setWhiteboardColor(color);
    updateImage();
}

void MRKOWhiteBoardCustomColorButton::resetColor()
{
    MRKOWhiteBoardColorController::colorController().resetColor();
    updateImage();
}

void MRKOWhiteBoardCustomColorButton::updateColor()
{
    MRKOWhiteBoardColorController::colorController().updateColor();
    updateImage();
}

void MRKOWhiteBoardCustomColorButton::updateImage()
{
    const double scale = devicePixelRatioF();
    const QSizeF size(kSwatchSide, kSwatchSide);
    m_imageOff = MRKOImageUtils::colorSwatchImageWithSize(size, effectiveColor(), scale);
    m_imageOn = MRKOImageUtils::colorSwatchImageOnWithSize(size, effectiveColor(), scale);
    m_swatchView->setPixmap(QPixmap::fromImage(m_isHighlighted ? m_imageOn : m_imageOff));
}

void MRKOWhiteBoardCustomColorButton::runColorPopoverForView(QWidget *view)
{
    QPointer<MRKOWhiteBoardCustomColorButton> self(this);
    QPointer<QWidget> anchor(view);
    platform::DispatchQueue::main().async([self, anchor] {
        if (!self || !anchor)
            return;
        KVPopover &popover = KVPopover::sharedPopover();
        popover.setColor(self->effectiveColor());
        popover.setTarget(self);
        popover.setAction([self](KVPopover &sender) {
            if (self)
                self->colorPopoverChangesAColor(sender.opacityColor().toQColor());
        });
        popover.showRelativeToRect(QRectF(0, 0, anchor->width(), anchor->height()), anchor, platform::RectEdge::MaxX);
    });
}

void MRKOWhiteBoardCustomColorButton::mousePressEvent(QMouseEvent *event)
{
    QPushButton::mousePressEvent(event);
    KVPopover &popover = KVPopover::sharedPopover();
    if (popover.isShown() && popover.target() == this)
        popover.close();
    else
        runColorPopoverForView(this);
}

void MRKOWhiteBoardCustomColorButton::enterEvent(QEnterEvent *event)
{
    QPushButton::enterEvent(event);
    m_swatchView->setPixmap(QPixmap::fromImage(m_imageOn));
}

void MRKOWhiteBoardCustomColorButton::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    m_swatchView->setPixmap(QPixmap::fromImage(m_imageOff));
}

void MRKOWhiteBoardCustomColorButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    placeSwatch();
}
