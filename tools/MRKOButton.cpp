#include "tools/MRKOButton.h"

#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Dispatch.h"
#include "platform/Popover.h"
#include "tools/ButtonImage.h"
#include "tools/NSButtonCell+isMouseIn.h"

#include <QCursor>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr double kDescriptionDelay = 1.0;   // seconds the pointer rests before the description shows
constexpr double kDescriptionWidening = 40; // points added to the frame's width to place the popover
constexpr double kDescriptionMargin = 8;    // points round the text
const QString kShowDescPop = QStringLiteral("showDescPop");

} // namespace

MRKOButton::MRKOButton(const QString &identifier, QWidget *parent) : QAbstractButton(parent)
{
    setObjectName(identifier);
    m_descIdentifier = identifier;
    setFocusPolicy(Qt::NoFocus);
}

MRKOButton::~MRKOButton()
{
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
}

void MRKOButton::setState(int state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

void MRKOButton::setTag(qint64 tag)
{
    m_tag = tag;
}

void MRKOButton::highlight(bool on)
{
    setDown(on);
    update();
}

void MRKOButton::setImageName(const QString &name)
{
    m_imageName = name;
    update();
}

void MRKOButton::setAlternateImageName(const QString &name)
{
    m_alternateImageName = name;
    update();
}

QImage MRKOButton::image() const
{
    return inkora::buttonImage(m_imageName, devicePixelRatioF());
}

QImage MRKOButton::alternateImage() const
{
    return inkora::buttonImage(m_alternateImageName, devicePixelRatioF());
}

void MRKOButton::cleanUpMouseUpWithEvent(const platform::Event *)
{
    // The panel's own press and drag state is ended here once the tool panel exists; until then there is none.
}

platform::Popover &MRKOButton::descPopover()
{
    if (!m_descPopover) {
        m_descPopover = std::make_unique<platform::Popover>();
        m_descPopover->setBehavior(platform::Popover::ApplicationDefined);
    }
    updateDescPopoverContent(*m_descPopover, m_descIdentifier);
    return *m_descPopover;
}

void MRKOButton::updateDescPopoverContent(platform::Popover &popover, const QString &identifier)
{
    auto container = std::make_unique<QWidget>();
    auto *text = new QLabel(MRKOUtils::toolDescriptionWithIdentifier(identifier), container.get()); // child
    text->setAlignment(Qt::AlignCenter);
    text->adjustSize();
    const QSize fitted = text->size();
    container->resize(fitted.width() + int(2 * kDescriptionMargin), fitted.height() + int(2 * kDescriptionMargin));
    // 8 points from the left and 9 from the bottom edge, which leaves 7 above the text.
    text->move(int(kDescriptionMargin), int(kDescriptionMargin) - 1);
    const QSize size = container->size();
    popover.setContentWidget(container.release());
    popover.setContentSize(size);
}

void MRKOButton::updateDescPopoverContent()
{
    if (m_descPopover)
        updateDescPopoverContent(*m_descPopover, m_descIdentifier);
}

void MRKOButton::prepareShowDescPop()
{
    platform::RunLoop &runLoop = platform::RunLoop::main();
    runLoop.cancelPreviousPerformRequests(this);
    runLoop.performAfterDelay(this, kShowDescPop, kDescriptionDelay, [this] { showDescPop(); });
}

void MRKOButton::showDescPop()
{
    if (!m_wantsToolTip || !(window()->windowOpacity() > 0) || !mouseStillHere())
        return;
    QWidget *superview = parentWidget();
    QRectF anchor(0, 0, width() + kDescriptionWidening, height());
    if (superview) {
        // The frame in the superview's y-up points, widened to the right.
        anchor = QRectF(x(), superview->height() - y() - height(), width() + kDescriptionWidening, height());
    }
    descPopover().showRelativeToRect(anchor, superview ? superview : this, platform::RectEdge::MaxX);
}

void MRKOButton::hideDescPop()
{
    if (m_descPopover)
        m_descPopover->close();
}

bool MRKOButton::mouseStillHere() const
{
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

QMenu *MRKOButton::openMenu() const
{
    return m_menuOpen ? m_menu.get() : nullptr;
}

void MRKOButton::sendAction()
{
    emit actionSent(this);
}

void MRKOButton::drawRect(QPainter &, const QRectF &) {}

void MRKOButton::mouseDown(QMouseEvent *)
{
    m_wantsToolTip = false;
    highlight(true);
}

void MRKOButton::mouseDragged(QMouseEvent *) {}

void MRKOButton::mouseUp(QMouseEvent *event)
{
    if (isInside(event, *this)) {
        setState(state() == 1 ? 0 : 1);
        sendAction();
    }
    highlight(false);
}

void MRKOButton::rightMouseUp(QMouseEvent *) {}

void MRKOButton::mouseEntered()
{
    const AppDelegate *delegate = AppDelegate::shared();
    m_wantsToolTip = delegate && delegate->useToolTips();
    prepareShowDescPop();
}

void MRKOButton::mouseExited()
{
    m_wantsToolTip = false;
    hideDescPop();
}

void MRKOButton::popUpMenuAtButton(std::unique_ptr<QMenu> menu)
{
    if (m_menu) {
        m_menu->disconnect(this);
        m_menu.release()->deleteLater(); // it may still be finishing its own event
    }
    m_menu = std::move(menu);
    m_menuOpen = true;
    connect(m_menu.get(), &QMenu::aboutToHide, this, [this] {
        m_menuOpen = false;
        menuDidClose();
    });
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->unregisterEscape();
    m_menu->popup(mapToGlobal(QPoint(16, height() + 4)));
}

void MRKOButton::menuDidClose()
{
    if (AppDelegate *delegate = AppDelegate::shared()) {
        delegate->registerEscape();
        delegate->handleFlagsChangedWithCurrentEvent();
    }
    highlight(false);
    cleanUpMouseUpWithEvent(nullptr);
}

bool MRKOButton::isInside(const QMouseEvent *event, const QWidget &widget)
{
    return widget.rect().contains(event->position().toPoint());
}

void MRKOButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(rect()); // drawing stays inside the bounds
    drawRect(painter, QRectF(rect()));
}

void MRKOButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        mouseDown(event);
    event->accept();
}

void MRKOButton::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        mouseDragged(event);
    event->accept();
}

void MRKOButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        mouseUp(event);
    else if (event->button() == Qt::RightButton)
        rightMouseUp(event);
    event->accept();
}

void MRKOButton::enterEvent(QEnterEvent *event)
{
    isMouseIn::mouseEntered(*this);
    mouseEntered();
    event->accept();
}

void MRKOButton::leaveEvent(QEvent *event)
{
    isMouseIn::mouseExited(*this);
    mouseExited();
    event->accept();
}
