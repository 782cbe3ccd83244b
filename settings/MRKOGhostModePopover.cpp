#include "settings/MRKOGhostModePopover.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Popover.h"
#include "platform/Services.h"
#include "platform/StatusItem.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kDontShowKey = QStringLiteral("GhostModePopoverDontShow");

bool s_disabled = false;

std::unique_ptr<platform::Popover> &shared()
{
    static std::unique_ptr<platform::Popover> s_popover;
    return s_popover;
}

} // namespace

MRKOGhostModeDescription::MRKOGhostModeDescription(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MRKOGhostModeDescription"));
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("Ghost Mode"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    auto *text = new QLabel(QStringLiteral("Your drawings stay on the screen while clicks and keys go to the "
                                           "applications below them. Show Inkora again to go on drawing."),
                            this);
    text->setWordWrap(true);
    text->setFixedWidth(260);
    layout->addWidget(text);
    auto *buttons = new QHBoxLayout;
    auto *dontShow = new QPushButton(QStringLiteral("Don't Show Again"), this);
    dontShow->setObjectName(QStringLiteral("dontShowAgainButton"));
    auto *gotIt = new QPushButton(QStringLiteral("Got It"), this);
    gotIt->setObjectName(QStringLiteral("gotItButton"));
    buttons->addWidget(dontShow);
    buttons->addStretch(1);
    buttons->addWidget(gotIt);
    layout->addLayout(buttons);
    connect(gotIt, &QPushButton::clicked, this, &MRKOGhostModeDescription::gotItAction);
    connect(dontShow, &QPushButton::clicked, this, &MRKOGhostModeDescription::dontShowAgainAction);
    adjustSize();
}

void MRKOGhostModeDescription::gotItAction()
{
    if (m_popover)
        m_popover->close();
}

void MRKOGhostModeDescription::dontShowAgainAction()
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setBool(true, kDontShowKey);
    defaults.synchronize();
    if (m_popover)
        m_popover->close();
}

platform::Popover &MRKOGhostModePopover::sharedPopover()
{
    std::unique_ptr<platform::Popover> &popover = shared();
    if (!popover) {
        popover = std::make_unique<platform::Popover>();
        popover->setBehavior(platform::Popover::Transient);
        auto content = std::make_unique<MRKOGhostModeDescription>();
        content->setPopover(popover.get());
        popover->setContentWidget(content.release()); // the popover takes it
    }
    return *popover;
}

bool MRKOGhostModePopover::hasSharedPopover()
{
    return shared() != nullptr;
}

void MRKOGhostModePopover::showIfNeeded()
{
    if (s_disabled || MRKOUtils::userDefaults().boolForKey(kDontShowKey))
        return;
    const platform::StatusItem *item = platform::services().statusItem.get();
    const QRectF frame = item ? item->geometry() : QRectF();
    sharedPopover().showRelativeToScreenRect(frame, platform::RectEdge::MinY);
}

void MRKOGhostModePopover::disableGhostModePopover()
{
    s_disabled = true;
}

void MRKOGhostModePopover::enableGhostModePopover()
{
    s_disabled = false;
}

bool MRKOGhostModePopover::ghostModePopoverDisabled()
{
    return s_disabled;
}

void MRKOGhostModePopover::releaseSharedPopover()
{
    shared().reset();
}
