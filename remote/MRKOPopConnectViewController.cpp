#include "remote/MRKOPopConnectViewController.h"

#include "remote/MRKOConPopover.h"
#include "remote/MRKOPopView.h"
#include "remote/MRKOUDPController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

MRKOPopConnectViewController::MRKOPopConnectViewController()
{
    m_view = new MRKOPopView; // handed to the popover, which owns it
    auto *layout = new QHBoxLayout(m_view);
    m_label = new QLabel(m_view);
    layout->addWidget(m_label);
    m_progress = new QProgressBar(m_view);
    m_progress->setRange(0, 1);
    m_progress->setFixedWidth(40);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);
    m_connectButton = new QPushButton(QStringLiteral("Connect"), m_view);
    layout->addWidget(m_connectButton);
    m_view->resize(260, 44);
    connect(m_connectButton, &QPushButton::clicked, this, &MRKOPopConnectViewController::okButton);
    // Return is the Connect button's key.
    connect(m_view, &MRKOPopView::returnPressed, this, [this] {
        if (m_connectButton->isEnabled())
            okButton();
    });
}

MRKOPopConnectViewController::~MRKOPopConnectViewController() = default;

void MRKOPopConnectViewController::okButton()
{
    m_connectButton->setEnabled(false);
    if (!MRKOUDPController::sharedController().connectToDeviceWithName(m_label->text())) {
        closePopover();
        return;
    }
    m_progress->setRange(0, 0); // spins
    m_didConnect = platform::NotificationCenter::defaultCenter().addObserver(
        kMRKODidConnectWithDevice, nullptr, [this](const platform::Notification &) { didConnect(); });
}

void MRKOPopConnectViewController::didConnect()
{
    closePopover();
}

void MRKOPopConnectViewController::cancelButton()
{
    closePopover();
}

void MRKOPopConnectViewController::closePopover()
{
    m_didConnect.reset();
    m_progress->setRange(0, 1);
    m_connectButton->setEnabled(true);
    if (m_popover)
        m_popover->close();
}

inkora::TouchBarModel MRKOPopConnectViewController::makeTouchBar() const
{
    return {{kOkCancelGroup, kOtherItemsProxy}, kOkCancelGroup};
}

std::optional<inkora::TouchBarItem>
MRKOPopConnectViewController::touchBarMakeItemForIdentifier(const QString &identifier) const
{
    if (identifier != kOkCancelGroup)
        return std::nullopt;
    return inkora::TouchBarItem{
        kOkCancelGroup,
        {},
        {{kOkButton, QStringLiteral("Connect"), {}}, {kCancelButton, QStringLiteral("Cancel"), {}}}};
}
