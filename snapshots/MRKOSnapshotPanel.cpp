#include "snapshots/MRKOSnapshotPanel.h"

#include "app/MRKOAppLevel.h"
#include "canvas/MRKOScreensController.h"
#include "foundation/InkoraLog.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"
#include "snapshots/MRKOAddSnapshotViewController.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/MRKOSnapshotView.h"
#include "snapshots/MRKOSnapshotsViewController.h"
#include "snapshots/SnapshotSegmentedControl.h"
#include "snapshots/WindowAnimation.h"

#include <QCursor>
#include <QDragEnterEvent>
#include <QWindow>

#include <mutex>

namespace {

std::atomic<bool> s_panelHasInit = false;

} // namespace

MRKOSnapshotPanel &MRKOSnapshotPanel::sharedSnapshotPanel()
{
    static MRKOSnapshotPanel *panel = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        s_panelHasInit = true;
        // Lives for the process; Qt parents nothing above it.
        panel = new MRKOSnapshotPanel(closedFrameWithFrame(firstScreenFrame()));
    });
    return *panel;
}

bool MRKOSnapshotPanel::panelHasInit()
{
    return s_panelHasInit.load();
}

QRectF MRKOSnapshotPanel::closedFrameWithFrame(const QRectF &screenFrame)
{
    return {screenFrame.x(), screenFrame.y() - kHeight, screenFrame.width(), kHeight};
}

QRectF MRKOSnapshotPanel::openedFrameWithFrame(const QRectF &screenFrame)
{
    return {screenFrame.x(), screenFrame.y(), screenFrame.width(), kHeight};
}

QRectF MRKOSnapshotPanel::firstScreenFrame()
{
    const QList<platform::ScreenInfo> screens = MRKOScreensController::screens();
    return screens.isEmpty() ? QRectF() : screens.constFirst().frame;
}

MRKOSnapshotPanel::MRKOSnapshotPanel(const QRectF &frame)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setAcceptDrops(true);
    setWindowTitle(QStringLiteral("Snapshots"));
    inkora::WindowAnimation::setFrame(*this, frame);
    m_view = new MRKOSnapshotView(this); // child
    m_view->setGeometry(rect());
    winId();
    platform::services().windowSystem->prepareFloatingWindow(*this);
    // Above the overlay windows.
    platform::WindowStack::shared().setLevel(*this, MRKOAppLevel::appLevel().level() + 1);
}

MRKOSnapshotPanel::~MRKOSnapshotPanel()
{
    platform::WindowStack::shared().remove(*this);
}

QRectF MRKOSnapshotPanel::frame() const
{
    return inkora::WindowAnimation::frameOf(*this);
}

void MRKOSnapshotPanel::setFrame(const QRectF &frame)
{
    inkora::WindowAnimation::setFrame(*this, frame);
}

void MRKOSnapshotPanel::slide(bool open, double duration, std::function<void()> completion)
{
    const QRectF screen = firstScreenFrame();
    const QRectF target = open ? openedFrameWithFrame(screen) : closedFrameWithFrame(screen);
    if (open && !isVisible()) {
        setFrame(closedFrameWithFrame(screen));
        platform::WindowStack::shared().setLevel(*this, MRKOAppLevel::appLevel().level() + 1);
        show();
        platform::WindowStack::shared().orderFront(*this);
    }
    m_slide = std::make_unique<inkora::WindowAnimation>(*this, duration, target, std::nullopt,
                                                        [this, open, completion = std::move(completion)] {
                                                            if (!open)
                                                                hide();
                                                            if (completion)
                                                                completion();
                                                        });
    m_slide->startAnimation();
}

MRKOSnapshotsViewController *MRKOSnapshotPanel::snapshotsViewController() const
{
    return m_view->snapshotsViewController();
}

MRKOSnapshotCollectionView *MRKOSnapshotPanel::collectionView() const
{
    return m_view->snapshotsViewController()->collectionView();
}

MRKOAddSnapshotViewController *MRKOSnapshotPanel::addViewController() const
{
    return m_view->addViewController();
}

inkora::SnapshotSegmentedControl *MRKOSnapshotPanel::snapshotsTopControl() const
{
    return m_view->segmentedTop();
}

void MRKOSnapshotPanel::validateTopControl()
{
    const int type = int(MRKOSnapshotManager::sharedSnapshotManager().collectionViewType());
    if (snapshotsTopControl()->selectedSegment() != type)
        snapshotsTopControl()->setSelectedSegment(type);
}

void MRKOSnapshotPanel::validateAddButton()
{
    addViewController()->validateAddButton();
}

bool MRKOSnapshotPanel::hasQuestionWindow() const
{
    return m_view->hasQuestionWindow();
}

bool MRKOSnapshotPanel::hasExportOverlay() const
{
    return m_view->hasExportOverlay();
}

void MRKOSnapshotPanel::askAQuestion()
{
    m_view->askAQuestion();
}

void MRKOSnapshotPanel::supressAskWindow()
{
    m_view->supressAskWindow();
}

void MRKOSnapshotPanel::closeAskWindow(qint64 tag)
{
    m_view->closeAskWindow(tag);
}

void MRKOSnapshotPanel::removeQuestionWindowIfNeeded()
{
    m_view->removeQuestionWindowIfNeeded();
}

void MRKOSnapshotPanel::makeExportOverlay(const QString &message)
{
    m_view->makeExportOverlay(message);
}

void MRKOSnapshotPanel::setPrgressValue(double value)
{
    platform::DispatchQueue::main().async([value] {
        if (panelHasInit())
            sharedSnapshotPanel().m_view->setPrgressValue(value);
    });
}

void MRKOSnapshotPanel::cancelExport()
{
    m_view->cancelExport();
}

void MRKOSnapshotPanel::removeExportWindowIfNeeded()
{
    m_view->removeExportWindowIfNeeded();
}

bool MRKOSnapshotPanel::canBecomeKeyWindow() const
{
    return MRKOSnapshotManager::sharedSnapshotManager().snapshotNameEditing();
}

bool MRKOSnapshotPanel::isKeyWindow() const
{
    return isActiveWindow();
}

void MRKOSnapshotPanel::makeKeyWindow()
{
    updateAcceptsFocus();
    if (!canBecomeKeyWindow())
        return;
    platform::services().windowSystem->activateWindow(*this);
}

void MRKOSnapshotPanel::updateAcceptsFocus()
{
    // The flag changes on the native window in place; remaking the window would drop its stacking and state.
    if (QWindow *handle = windowHandle())
        handle->setFlag(Qt::WindowDoesNotAcceptFocus, !canBecomeKeyWindow());
}

void MRKOSnapshotPanel::makeFirstResponderNil()
{
    if (QWidget *focused = focusWidget())
        focused->clearFocus();
}

void MRKOSnapshotPanel::applicationDidChangeScreenParameters()
{
    const QRectF screen = firstScreenFrame();
    const QRectF target = isVisible() ? openedFrameWithFrame(screen) : closedFrameWithFrame(screen);
    if (target != frame())
        setFrame(target);
}

void MRKOSnapshotPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && MRKOSnapshotManager::isMade())
        MRKOSnapshotManager::sharedSnapshotManager().resetFirstResponderIfNeeded();
}

void MRKOSnapshotPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view->setGeometry(rect());
}

void MRKOSnapshotPanel::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
}

void MRKOSnapshotPanel::dragLeaveEvent(QDragLeaveEvent *event)
{
    QWidget::dragLeaveEvent(event);
    // A drag from the browser that leaves through the top or a side hands the drop over to what lies below; one
    // leaving through the bottom edge and reported less than 2 points below it does not.
    const QPointF local = QPointF(mapFromGlobal(QCursor::pos()));
    const QPointF yUp(local.x(), height() - local.y() + 2);
    if (!QRectF(0, 0, width(), height()).contains(yUp))
        snapshotsViewController()->continueDragIfNeeded();
}

void MRKOSnapshotPanel::dropEvent(QDropEvent *event)
{
    qCWarning(lcSnapshots) << "performDragOperation: the panel takes no drops; nothing changed";
    event->ignore();
}
