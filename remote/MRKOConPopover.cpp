#include "remote/MRKOConPopover.h"

#include "remote/MRKOPopConnectViewController.h"
#include "remote/MRKOPopView.h"

#include <QLabel>
#include <QPointer>

namespace {

constexpr double kAutoCloseTime = 7.0; // seconds

} // namespace

MRKOConPopover &MRKOConPopover::sharedPopover()
{
    static MRKOConPopover *const s_shared = new MRKOConPopover; // lives for the process
    return *s_shared;
}

MRKOConPopover::MRKOConPopover()
    : m_popover(std::make_unique<platform::Popover>()), m_vController(std::make_unique<MRKOPopConnectViewController>())
{
    m_vController->setPopover(this);
    m_popover->setContentWidget(m_vController->view());
    m_popover->setTakesKeyboardFocus(true);
}

MRKOConPopover::~MRKOConPopover()
{
    platform::RunLoop::main().cancel(m_timer);
}

void MRKOConPopover::setName(const QString &name)
{
    m_vController->label()->setText(name);
}

QString MRKOConPopover::name() const
{
    return m_vController->label()->text();
}

void MRKOConPopover::showRelativeToRectOfViewPreferredEdge(const QRectF &rect, QWidget *view, platform::RectEdge edge)
{
    m_popover->showRelativeToRect(rect, view, edge);
    scheduleCloseTimer();
}

void MRKOConPopover::showRelativeToScreenRectPreferredEdge(const QRectF &frame, platform::RectEdge edge)
{
    m_popover->showRelativeToScreenRect(frame, edge);
    scheduleCloseTimer();
}

void MRKOConPopover::scheduleCloseTimer()
{
    platform::RunLoop::main().cancel(m_timer);
    m_timer = platform::RunLoop::main().schedule(
        kAutoCloseTime,
        [self = QPointer<MRKOConPopover>(this)] {
            if (self)
                self->fire();
        },
        platform::RunLoop::DefaultMode);
}

void MRKOConPopover::fire()
{
    m_timer = 0;
    closePopover();
}

void MRKOConPopover::closePopover()
{
    platform::RunLoop::main().cancel(m_timer);
    m_timer = 0;
    m_vController->closePopover();
}

void MRKOConPopover::close()
{
    m_popover->close();
}

bool MRKOConPopover::isShown() const
{
    return m_popover->isShown();
}
