#include "snapshots/SnapshotPanelSheet.h"

#include "app/MRKOAppLevel.h"
#include "canvas/MRKODarkOverlayWindow.h"
#include "canvas/MRKOModalOverlayView.h"
#include "canvas/MRKORoundCornerWindow.h"
#include "platform/Dispatch.h"
#include "platform/Geometry.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"
#include "snapshots/WindowAnimation.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

namespace inkora {

namespace {

constexpr double kWidth = 502; // points
constexpr double kHeight = 90;

/// The sheet's face: a dark translucent fill under its rounded corners.
class SheetFace final : public MRKORoundCornerWindow
{
public:
    SheetFace()
    {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint |
                       Qt::X11BypassWindowManagerHint);
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(40, 40, 44, 242));
    }
};

QRect flipped(const QRectF &frame, double height)
{
    return platform::flipY(frame, height).toRect();
}

} // namespace

SnapshotPanelSheet::SnapshotPanelSheet(QWidget &owner, const QString &message, std::function<void()> dimmedClick)
    : m_dimmedClick(std::move(dimmedClick))
{
    const QRectF ownerFrame = WindowAnimation::frameOf(owner);
    const QPointF mid = platform::centre(ownerFrame);
    m_frame = QRectF(mid.x() - kWidth / 2, mid.y() - kHeight / 2, kWidth, kHeight);
    const int level = platform::WindowStack::shared().level(owner);

    m_darkOverlay = MRKODarkOverlayWindow::darkOverlayWindowWithWindow(owner);
    m_darkOverlay->setWindowOpacity(0);
    m_dimView = m_darkOverlay->modalOverlayView();
    m_dimView->installEventFilter(this);
    platform::WindowStack::shared().setLevel(*m_darkOverlay, level + 1);

    m_window = std::make_unique<SheetFace>();
    WindowAnimation::setFrame(*m_window, m_frame.translated(0, -kRise));
    m_window->setWindowOpacity(0);
    m_window->installEventFilter(this);
    m_window->winId();
    platform::services().windowSystem->prepareFloatingWindow(*m_window);
    platform::WindowStack::shared().setLevel(*m_window, level + 2);

    m_label = new QLabel(message, m_window.get()); // child
    m_label->setAlignment(Qt::AlignCenter);
    QFont font = m_label->font();
    font.setPointSizeF(16);
    m_label->setFont(font);
    m_label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    m_label->setGeometry(flipped(QRectF(0, 52, kWidth, 20), kHeight));
}

SnapshotPanelSheet::~SnapshotPanelSheet()
{
    // No event reaches the filter from windows half torn down.
    if (m_dimView)
        m_dimView->removeEventFilter(this);
    m_window->removeEventFilter(this);
    platform::WindowStack::shared().remove(*m_window);
    platform::WindowStack::shared().remove(*m_darkOverlay);
    m_sheetAnimation.reset();
    m_dimAnimation.reset();
    m_window.reset();
    m_darkOverlay.reset();
}

QPushButton *SnapshotPanelSheet::addButton(const QString &title, const QRectF &frame, int keyEquivalent,
                                           std::function<void()> action)
{
    auto *button = new QPushButton(title, m_window.get()); // child
    button->setGeometry(flipped(frame, kHeight));
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, [action = std::move(action)] { action(); });
    if (keyEquivalent == Qt::Key_Return)
        m_returnButton = button;
    else if (keyEquivalent == Qt::Key_Escape)
        m_escapeButton = button;
    return button;
}

void SnapshotPanelSheet::addProgressBar()
{
    m_progress = new QProgressBar(m_window.get()); // child
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setGeometry(flipped(QRectF(kWidth / 2 - 160, 17, 320, 20), kHeight));
}

void SnapshotPanelSheet::show()
{
    m_darkOverlay->show();
    platform::WindowStack::shared().orderFront(*m_darkOverlay);
    m_window->show();
    platform::WindowStack::shared().orderFront(*m_window);
    // The sheet takes the keyboard for its Return and Escape buttons.
    platform::services().windowSystem->activateWindow(*m_window);
    m_window->setFocus();
    m_dimAnimation = std::make_unique<WindowAnimation>(*m_darkOverlay, kDuration, std::nullopt, 1.0);
    m_sheetAnimation = std::make_unique<WindowAnimation>(*m_window, kDuration, m_frame, 1.0);
    m_dimAnimation->startAnimation();
    m_sheetAnimation->startAnimation();
}

void SnapshotPanelSheet::dismiss(std::function<void()> completion)
{
    QPointer<SnapshotPanelSheet> self(this);
    m_dimAnimation = std::make_unique<WindowAnimation>(*m_darkOverlay, kDuration, std::nullopt, 0.0);
    m_sheetAnimation = std::make_unique<WindowAnimation>(*m_window, kDuration, m_frame.translated(0, -kRise), 0.0,
                                                         [self, completion = std::move(completion)] {
                                                             if (self) {
                                                                 self->m_darkOverlay->hide();
                                                                 self->m_window->hide();
                                                             }
                                                             if (completion)
                                                                 completion();
                                                         });
    m_dimAnimation->startAnimation();
    m_sheetAnimation->startAnimation();
}

bool SnapshotPanelSheet::isVisible() const
{
    return m_window && m_window->isVisible();
}

bool SnapshotPanelSheet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_dimView && event->type() == QEvent::MouseButtonPress) {
        // After the click is done with: the answer may remove this sheet.
        const QPointer<SnapshotPanelSheet> self(this);
        platform::DispatchQueue::main().async([self] {
            if (self && self->m_dimmedClick)
                self->m_dimmedClick();
        });
        return true;
    }
    if (watched == m_window.get() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        QPushButton *button = key == Qt::Key_Escape                             ? m_escapeButton
                              : (key == Qt::Key_Return || key == Qt::Key_Enter) ? m_returnButton
                                                                                : nullptr;
        if (button) {
            button->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace inkora
