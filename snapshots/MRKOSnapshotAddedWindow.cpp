#include "snapshots/MRKOSnapshotAddedWindow.h"

#include "app/MRKOAppLevel.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/SnapInfo.h"
#include "snapshots/WindowAnimation.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

namespace {

constexpr double kCornerRadius = 4; // points
constexpr double kSlideDistance = 120;

bool s_made = false;

} // namespace

MRKOSnapshotAddedWindow &MRKOSnapshotAddedWindow::sharedWindow()
{
    static MRKOSnapshotAddedWindow *window = nullptr;
    if (!window) {
        s_made = true;
        window = new MRKOSnapshotAddedWindow(); // lives for the process
    }
    return *window;
}

bool MRKOSnapshotAddedWindow::isMade()
{
    return s_made;
}

QRectF MRKOSnapshotAddedWindow::startFrameWithFrame(const QRectF &screenFrame, const QSizeF &imageSize)
{
    return {screenFrame.x() + 44, screenFrame.y() + 10, imageSize.width() + 10, imageSize.height() + 10};
}

MRKOSnapshotAddedWindow::MRKOSnapshotAddedWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::NoDropShadowWindowHint | Qt::X11BypassWindowManagerHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowOpacity(0);
    setMouseTracking(true);
    resize(10, 10);
    winId();
    platform::services().windowSystem->prepareFloatingWindow(*this);
    platform::WindowStack::shared().setLevel(*this, MRKOAppLevel::appLevel().level());
}

MRKOSnapshotAddedWindow::~MRKOSnapshotAddedWindow()
{
    cancelPendingRequests();
    platform::WindowStack::shared().remove(*this);
}

void MRKOSnapshotAddedWindow::showWindowWithSnapshot(const std::shared_ptr<SnapInfo> &info)
{
    if (!info)
        return;
    MRKOSnapshotAddedWindow &window = sharedWindow();
    window.cancelPendingRequests();
    const QImage image = info->snapshotImage();
    const QSizeF size = image.isNull() ? QSizeF(152, 110) : QSizeF(image.size()) / image.devicePixelRatio();
    window.updateFrameWithSize(size);
    window.m_snapshot = info;
    window.m_image = image;
    window.show();
    platform::WindowStack::shared().orderFront(window);
    QPointer<MRKOSnapshotAddedWindow> self(&window);
    window.m_animation = std::make_unique<inkora::WindowAnimation>(window, kFadeInDuration, std::nullopt, 1.0, [self] {
        if (self)
            self->prepareHideWindow();
    });
    window.m_animation->startAnimation();
}

QRectF MRKOSnapshotAddedWindow::frame() const
{
    return inkora::WindowAnimation::frameOf(*this);
}

void MRKOSnapshotAddedWindow::updateFrameWithSize(const QSizeF &imageSize)
{
    inkora::WindowAnimation::setFrame(*this, startFrameWithFrame(MRKOSnapshotPanel::firstScreenFrame(), imageSize));
    setWindowOpacity(0);
    update();
}

QRectF MRKOSnapshotAddedWindow::endFrame() const
{
    return frame().translated(0, -kSlideDistance);
}

void MRKOSnapshotAddedWindow::cancelPendingRequests()
{
    if (m_hideTimer != 0) {
        platform::RunLoop::main().cancel(m_hideTimer);
        m_hideTimer = 0;
    }
}

void MRKOSnapshotAddedWindow::prepareHideWindow()
{
    cancelPendingRequests();
    QPointer<MRKOSnapshotAddedWindow> self(this);
    m_hideTimer = platform::RunLoop::main().schedule(kHideDelay, [self] {
        if (!self)
            return;
        self->m_hideTimer = 0;
        self->hideWindowAnimated();
    });
}

void MRKOSnapshotAddedWindow::hideIfShown()
{
    if (isVisible())
        hideWindowAnimated();
}

void MRKOSnapshotAddedWindow::hideWindowAnimated()
{
    QPointer<MRKOSnapshotAddedWindow> self(this);
    platform::DispatchQueue::main().async([self] {
        if (!self)
            return;
        self->m_animation =
            std::make_unique<inkora::WindowAnimation>(*self, kSlideOutDuration, self->endFrame(), std::nullopt, [self] {
                if (self)
                    self->hide();
            });
        self->m_animation->startAnimation();
    });
}

void MRKOSnapshotAddedWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(36, 36, 40));
    if (!m_image.isNull()) {
        const QSizeF size = QSizeF(m_image.size()) / m_image.devicePixelRatio();
        painter.drawImage(
            QRectF((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(), size.height()), m_image);
    }
    // The border brightens while the pointer is on the window.
    QPainterPath border;
    border.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
    painter.setPen(QPen(m_hovered ? QColor(255, 255, 255, 140) : QColor(255, 255, 255, 70), 1));
    painter.drawPath(border);
}

void MRKOSnapshotAddedWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::color1);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.end();
    setMask(mask);
}

void MRKOSnapshotAddedWindow::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    m_hovered = true;
    cancelPendingRequests();
    update();
}

void MRKOSnapshotAddedWindow::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_hovered = false;
    prepareHideWindow();
    update();
}

void MRKOSnapshotAddedWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const std::shared_ptr<SnapInfo> info = m_snapshot.lock();
    const qint64 type = info ? info->sequenceType() : 0;
    cancelPendingRequests();
    hideWindowAnimated();
    MRKOSnapshotManager &manager = MRKOSnapshotManager::sharedSnapshotManager();
    manager.showCollectionWithViewType(type);
    MRKOSnapshotManager::showPanel(
        [] { MRKOSnapshotManager::sharedSnapshotManager().selectFirstSnapshotInSequence(); });
}
