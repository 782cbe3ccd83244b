#include "tools/MRKOSmallButton.h"

#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSImage+ImageNamedWithColor.h"
#include "platform/Dispatch.h"
#include "platform/Popover.h"
#include "tools/ButtonImage.h"
#include "tools/MRKOButton.h"
#include "tools/NSButtonCell+isMouseIn.h"
#include "tools/SeparatorBox.h"

#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace {

constexpr double kDescriptionDelay = 1.0;    // seconds the pointer rests before the description shows
constexpr double kToolTipCancelDelay = 0.05; // seconds after a press that a due description is dropped
const QString kShowDescPop = QStringLiteral("showDescPop");
const QString kDisableWantsToolTip = QStringLiteral("disableWantsToolTip");

} // namespace

MRKOSmallButton::MRKOSmallButton(const QString &identifier, QWidget *parent) : QAbstractButton(parent)
{
    setObjectName(identifier);
    m_descIdentifier = identifier;
    setFocusPolicy(Qt::NoFocus);
}

MRKOSmallButton::~MRKOSmallButton()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
}

void MRKOSmallButton::setState(int state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

void MRKOSmallButton::highlight(bool on)
{
    setDown(on);
    update();
}

void MRKOSmallButton::setImageName(const QString &name)
{
    m_imageName = name;
    update();
}

void MRKOSmallButton::setAlternateImageName(const QString &name)
{
    m_alternateImageName = name;
    update();
}

QImage MRKOSmallButton::image() const
{
    return inkora::buttonImage(m_imageName, devicePixelRatioF());
}

QImage MRKOSmallButton::alternateImage() const
{
    return inkora::buttonImage(m_alternateImageName, devicePixelRatioF());
}

QColor MRKOSmallButton::highlightColor() const
{
    return MRKOUtils::highlightColorForIdentifier(m_descIdentifier);
}

QColor MRKOSmallButton::highlightPressedColor() const
{
    return pressedColorWithColor(highlightColor());
}

QColor MRKOSmallButton::pressedColorWithColor(const QColor &color)
{
    return color.darker(130);
}

platform::Popover *MRKOSmallButton::descPopover()
{
    if (MRKOUtils::toolDescriptionWithIdentifier(m_descIdentifier) == QLatin1String("Description")) {
        m_descPopover.reset();
        return nullptr;
    }
    if (!m_descPopover) {
        m_descPopover = std::make_unique<platform::Popover>();
        m_descPopover->setBehavior(platform::Popover::ApplicationDefined);
    }
    MRKOButton::updateDescPopoverContent(*m_descPopover, m_descIdentifier);
    return m_descPopover.get();
}

void MRKOSmallButton::prepareShowDescPop()
{
    platform::RunLoop &runLoop = platform::RunLoop::main();
    runLoop.cancelPreviousPerformRequests(this, kShowDescPop);
    runLoop.performAfterDelay(this, kShowDescPop, kDescriptionDelay, [this] { showDescPop(); });
}

void MRKOSmallButton::showDescPop()
{
    if (!m_wantsToolTip || !(window()->windowOpacity() > 0) || !mouseStillHere())
        return;
    if (platform::Popover *popover = descPopover())
        popover->showRelativeToRect(QRectF(rect()), this, platform::RectEdge::MinY);
}

void MRKOSmallButton::hideDescPop()
{
    if (m_descPopover)
        m_descPopover->close();
}

void MRKOSmallButton::hideDescPopIfNeeded()
{
    if (m_descPopover && m_descPopover->isShown())
        m_descPopover->close();
}

bool MRKOSmallButton::mouseStillHere() const
{
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

void MRKOSmallButton::updateHighlightIfNeeded()
{
    const bool inside = mouseStillHere();
    if (inside && !isMouseIn::isMouseIn(*this))
        mouseEntered();
    else if (!inside && isMouseIn::isMouseIn(*this))
        mouseExited();
}

void MRKOSmallButton::drawRect(QPainter &painter, const QRectF &rect)
{
    QColor tint = OnOffColor::iconOffColor();
    if (!isEnabled())
        tint = inkora::tertiaryLabelColor();
    else if (isMouseIn::isMouseIn(*this))
        tint = isHighlighted() ? highlightPressedColor() : highlightColor();
    ImageNamedWithColor::drawAlternateInRect(painter, image(), rect, tint);
}

void MRKOSmallButton::mouseEntered()
{
    const AppDelegate *delegate = AppDelegate::shared();
    m_wantsToolTip = delegate && delegate->useToolTips();
    prepareShowDescPop();
    isMouseIn::mouseEntered(*this);
}

void MRKOSmallButton::mouseExited()
{
    m_wantsToolTip = false;
    hideDescPop();
    isMouseIn::mouseExited(*this);
}

void MRKOSmallButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(rect());
    drawRect(painter, QRectF(rect()));
}

void MRKOSmallButton::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    hideDescPopIfNeeded();
    if (!isEnabled())
        return;
    highlight(true);
    platform::RunLoop::main().performAfterDelay(this, kDisableWantsToolTip, kToolTipCancelDelay,
                                                [this] { disableWantsToolTip(); });
}

void MRKOSmallButton::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

void MRKOSmallButton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    highlight(false);
    if (rect().contains(event->position().toPoint())) {
        setState(m_state == 1 ? 0 : 1);
        emit actionSent(this);
    }
}

void MRKOSmallButton::enterEvent(QEnterEvent *event)
{
    mouseEntered();
    event->accept();
}

void MRKOSmallButton::leaveEvent(QEvent *event)
{
    mouseExited();
    event->accept();
}

void MRKOSmallButton::moveEvent(QMoveEvent *event)
{
    QAbstractButton::moveEvent(event);
    updateHighlightIfNeeded();
}

void MRKOSmallButton::resizeEvent(QResizeEvent *event)
{
    QAbstractButton::resizeEvent(event);
    updateHighlightIfNeeded();
}

void MRKOSmallButton::showEvent(QShowEvent *event)
{
    QAbstractButton::showEvent(event);
    updateHighlightIfNeeded();
}
