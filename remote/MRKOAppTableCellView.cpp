#include "remote/MRKOAppTableCellView.h"

#include "foundation/MRKOUtils.h"
#include "platform/Clock.h"
#include "platform/Dispatch.h"
#include "platform/ScriptRunner.h"
#include "platform/Services.h"
#include "platform/SystemProfile.h"
#include "remote/MRKOClicker.h"
#include "remote/RemoteNeighbours.h"

#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

namespace {

constexpr double kDialogThreshold = 0.3; // seconds: a faster answer means no dialog was shown

// The small status marks of the button, drawn here: a green tick for allowed, an orange dot to ask.
QIcon statusMark(bool allowed)
{
    QImage image(32, 32, QImage::Format_RGBA8888_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (allowed) {
        painter.setPen(QPen(QColor(52, 199, 89), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 149, 0));
        painter.drawEllipse(QPointF(8, 8), 6, 6);
    }
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

MRKOAppTableCellView::MRKOAppTableCellView(QWidget *parent) : QWidget(parent)
{
    m_indicator = new QLabel(this);
    m_indicator->setGeometry(2, 4, 16, 16);
    m_textField = new QLabel(this);
    m_textField->move(22, 0);
    m_button = new QPushButton(this);
    m_button->hide();
    setMinimumHeight(24);
    connect(m_button, &QPushButton::clicked, this, &MRKOAppTableCellView::allowButtonAction);
    m_observer = platform::NotificationCenter::defaultCenter().addObserver(
        kMRKOUpdateAppTableCellView, nullptr,
        [this](const platform::Notification &notification) { updateNotification(notification); });
}

MRKOAppTableCellView::~MRKOAppTableCellView() = default;

void MRKOAppTableCellView::setAppDict(const QVariantMap &appDict)
{
    m_appDict = appDict;
    m_indicator->setPixmap(QPixmap::fromImage(appDict.value(QStringLiteral("icon")).value<QImage>()));
    m_textField->setText(appDict.value(QStringLiteral("name")).toString());
    m_appIdentifier = appDict.value(QStringLiteral("identifier")).toString();
    requestStatus();
}

void MRKOAppTableCellView::updateNotification(const platform::Notification &notification)
{
    if (notification.userInfo.value(QStringLiteral("identifier")).toString() == m_appIdentifier)
        requestStatus();
}

void MRKOAppTableCellView::requestStatus()
{
    const QString identifier = m_appIdentifier;
    const bool running = MRKOClicker::sharedClicker().isLaunchedForAppIdentifier(identifier);
    QPointer<MRKOAppTableCellView> self(this);
    platform::DispatchQueue::global().async([self, identifier, running] {
        const quint64 status = running ? quint64(MRKOClicker::statusForAppIdentifier(identifier))
                                       : quint64(MRKOAutomationStatusNotRunning);
        platform::DispatchQueue::main().async([self, status] {
            if (!self)
                return;
            self->m_status = status;
            self->updateStatus();
        });
    });
}

void MRKOAppTableCellView::updateStatus()
{
    switch (m_status) {
    case MRKOAutomationStatusAllowed:
        setButtonTitle(QStringLiteral("Allowed"));
        m_button->setIcon(statusMark(true));           // "MRKOAllowed"
        m_button->setLayoutDirection(Qt::RightToLeft); // the image right of the title
        break;
    case MRKOAutomationStatusNotAllowed:
        setButtonTitle(QStringLiteral("Not Allowed"));
        m_button->setIcon(QIcon());
        break;
    case MRKOAutomationStatusMustAsk:
        setButtonTitle(QStringLiteral("Allow Access"));
        m_button->setIcon(statusMark(false)); // "MRKONeedAllow"
        m_button->setLayoutDirection(Qt::RightToLeft);
        break;
    default:
        setButtonTitle(QStringLiteral("Not Launched"));
        m_button->setIcon(QIcon());
        break;
    }
    m_button->show();
    emit statusUpdated();
}

void MRKOAppTableCellView::setButtonTitle(const QString &title)
{
    if (title.isNull())
        return;
    m_button->setText(title);
    updateButtonFrame();
}

void MRKOAppTableCellView::updateButtonFrame()
{
    m_button->adjustSize();
    m_button->move(width() - m_button->width(), height() - m_button->height());
}

void MRKOAppTableCellView::allowButtonAction()
{
    switch (m_status) {
    case MRKOAutomationStatusAllowed:
    case MRKOAutomationStatusNotAllowed:
        openPrivacySettings();
        break;
    case MRKOAutomationStatusMustAsk:
        requestAccess();
        break;
    default:
        break;
    }
}

void MRKOAppTableCellView::requestAccess()
{
    const QString identifier = m_appIdentifier;
    QPointer<MRKOAppTableCellView> self(this);
    platform::DispatchQueue::global().async([self, identifier] {
        platform::Clock &clock = *platform::services().clock;
        const double start = clock.now();
        if (platform::ScriptRunner *runner = platform::services().scriptRunner.get())
            (void)runner->permissionResultCode(identifier, true);
        if (clock.now() - start < kDialogThreshold) {
            MRKOClicker::openPrivacyPreferences();
            return;
        }
        platform::DispatchQueue::main().async([self] {
            if (!self)
                return;
            self->requestStatus();
            inkora::remoteNeighbours().openRemote();
        });
    });
    closeAll();
}

void MRKOAppTableCellView::openPrivacySettings()
{
    if (!platform::services().systemProfile->isVersionAtLeast(10, 14))
        return;
    MRKOClicker::openPrivacyPreferences();
    closeAll();
}

void MRKOAppTableCellView::closeAll()
{
    MRKOUtils::closeAllDrawableScreensAfterDelay();
}

void MRKOAppTableCellView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_textField->resize(qMax(0, width() - 22), height());
    updateButtonFrame();
}
