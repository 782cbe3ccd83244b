#include "snapshots/MRKOSnapshotQuicklook.h"

#include "app/MRKOAppLevel.h"
#include "platform/Geometry.h"
#include "platform/Screens.h"
#include "platform/Services.h"
#include "platform/WindowStack.h"
#include "platform/WindowSystem.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/WindowAnimation.h"
#include "tools/MRKOSmallButton.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double kWidth = 800; // points
constexpr double kHeight = 600;
constexpr double kImageWidth = 780;
constexpr double kImageHeight = 540;

bool s_made = false;

} // namespace

MRKOSnapshotQuicklook &MRKOSnapshotQuicklook::sharedSnapshotQuicklook()
{
    static MRKOSnapshotQuicklook *quicklook = nullptr;
    if (!quicklook) {
        s_made = true;
        quicklook = new MRKOSnapshotQuicklook(); // lives for the process
    }
    return *quicklook;
}

bool MRKOSnapshotQuicklook::isMade()
{
    return s_made;
}

QRectF MRKOSnapshotQuicklook::quicklookFrameWithFrame(const QRectF &screenFrame)
{
    const QPointF mid = platform::centre(screenFrame);
    return {mid.x() - kWidth / 2, mid.y() - kHeight / 2, kWidth, kHeight};
}

MRKOSnapshotQuicklook::MRKOSnapshotQuicklook()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::X11BypassWindowManagerHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Quick Look"));
    inkora::WindowAnimation::setFrame(*this, quicklookFrameWithFrame(MRKOSnapshotPanel::firstScreenFrame()));
    setWindowOpacity(0);

    m_closeButton = new MRKOSmallButton(QStringLiteral("CloseQuickLook"), this); // child
    m_closeButton->setImageName(QStringLiteral("KPCloseOval"));
    m_closeButton->setGeometry(8, 24 - 17, 17, 17);
    connect(m_closeButton, &MRKOSmallButton::actionSent, this, &MRKOSnapshotQuicklook::closeQuickLook);

    m_titleField = new QLabel(QStringLiteral("Quick Look"), this); // child
    m_titleField->setAlignment(Qt::AlignCenter);
    QFont font = m_titleField->font();
    font.setPointSizeF(14);
    m_titleField->setFont(font);
    m_titleField->setStyleSheet(QStringLiteral("color: rgba(235, 235, 235, 170); background: transparent;"));
    m_titleField->setGeometry(int(kWidth / 2 - 140), 4, 280, 18);
    m_titleField->setAttribute(Qt::WA_TransparentForMouseEvents);

    winId();
    platform::services().windowSystem->prepareFloatingWindow(*this);
    platform::WindowStack::shared().setLevel(*this, MRKOAppLevel::appLevel().level() + 2);
}

MRKOSnapshotQuicklook::~MRKOSnapshotQuicklook()
{
    platform::WindowStack::shared().remove(*this);
}

bool MRKOSnapshotQuicklook::isShown() const
{
    return m_visible;
}

QRectF MRKOSnapshotQuicklook::frame() const
{
    return inkora::WindowAnimation::frameOf(*this);
}

QString MRKOSnapshotQuicklook::title() const
{
    return m_titleField->text();
}

void MRKOSnapshotQuicklook::setSnapshot(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record)
{
    m_snapshot = record;
    if (record) {
        m_titleField->setText(record->name());
        m_image = record->quickLookImage();
    } else {
        m_image = QImage();
    }
    update();
}

void MRKOSnapshotQuicklook::showQuickLookWithSnapshot(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record)
{
    if (!m_quicklookFrame.isEmpty() && !isVisible())
        inkora::WindowAnimation::setFrame(*this, m_quicklookFrame);
    setSnapshot(record);
    m_visible = true;
    show();
    platform::WindowStack::shared().orderFront(*this);
    m_fade = std::make_unique<inkora::WindowAnimation>(*this, kFadeDuration, std::nullopt, 1.0);
    m_fade->startAnimation();
}

void MRKOSnapshotQuicklook::hideQuickLookAnimated(bool animated)
{
    m_visible = false;
    if (!animated) {
        m_fade.reset();
        setWindowOpacity(0);
        m_quicklookFrame = frame();
        hide();
        return;
    }
    m_fade = std::make_unique<inkora::WindowAnimation>(*this, kFadeDuration, std::nullopt, 0.0, [this] {
        m_quicklookFrame = frame();
        m_snapshot.reset();
        hide();
    });
    m_fade->startAnimation();
}

void MRKOSnapshotQuicklook::closeQuickLook()
{
    hideQuickLookAnimated(true);
}

QRectF MRKOSnapshotQuicklook::imageRect() const
{
    return {width() / 2.0 - kImageWidth / 2, height() / 2.0 - kImageHeight / 2, kImageWidth, kImageHeight};
}

void MRKOSnapshotQuicklook::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), 10, 10);
    painter.fillPath(background, QColor(28, 28, 32, 240));
    if (m_image.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF size = QSizeF(m_image.size()) / m_image.devicePixelRatio();
    const QSizeF shown = size.scaled(imageRect().size(), Qt::KeepAspectRatio);
    const QPointF centre = imageRect().center();
    painter.drawImage(
        QRectF(centre.x() - shown.width() / 2, centre.y() - shown.height() / 2, shown.width(), shown.height()),
        m_image);
}

void MRKOSnapshotQuicklook::mousePressEvent(QMouseEvent *event)
{
    // Moved by its background and its image; the keyboard stays with the browser.
    if (event->button() != Qt::LeftButton)
        return;
    m_movingWindow = true;
    m_dragOffset = event->globalPosition() - QPointF(pos());
}

void MRKOSnapshotQuicklook::mouseMoveEvent(QMouseEvent *event)
{
    if (m_movingWindow)
        move((event->globalPosition() - m_dragOffset).toPoint());
}

void MRKOSnapshotQuicklook::mouseReleaseEvent(QMouseEvent *)
{
    m_movingWindow = false;
}
