#include "canvas/MRKOLowpassFilter.h"

#include "app/LiveSettings.h"
#include "platform/Dispatch.h"
#include "platform/HelperLink.h"

#include <QString>

namespace {

constexpr double kTickInterval = 1.0 / 60.0; // seconds
// One seventh of the way towards the raw pressure per tick, in the factors the smoother has always used.
constexpr double kNewWeight = 0.14285714285714285;
constexpr double kOldWeight = 0.8571428571428572;

} // namespace

MRKOLowpassFilter &MRKOLowpassFilter::sharedFilter()
{
    static MRKOLowpassFilter filter;
    return filter;
}

platform::DispatchQueue &MRKOLowpassFilter::sharedFilterQueue()
{
    static const std::shared_ptr<platform::DispatchQueue> queue = platform::DispatchQueue::createSerial(
        QString::fromLatin1(platform::helperlink::kMainId) + QStringLiteral(".filterQueue"));
    return *queue;
}

MRKOLowpassFilter::MRKOLowpassFilter()
{
    resetPressureHolder();
}

MRKOLowpassFilter::~MRKOLowpassFilter() = default;

void MRKOLowpassFilter::makeFilter()
{
    if (!m_timer)
        makeSuspendedTimer();
}

void MRKOLowpassFilter::removeFilter()
{
    if (!m_timer)
        return;
    if (!m_running)
        m_timer->resume(); // a suspended timer is resumed before it is cancelled
    m_timer->cancel();
    m_timer.reset();
    m_running = false;
}

void MRKOLowpassFilter::makeSuspendedTimer()
{
    setPressure(1.0);
    setLastPressure(1.0);
    removeFilter();
    m_timer = std::make_unique<platform::DispatchTimer>(sharedFilterQueue(), kTickInterval,
                                                        [] { sharedFilter().smoothingStep(); });
    m_running = false;
}

void MRKOLowpassFilter::startFilter()
{
    if (!m_timer || m_running)
        return;
    m_running = true;
    m_timer->resume();
}

void MRKOLowpassFilter::stopFilter()
{
    if (!m_timer || !m_running)
        return;
    m_running = false;
    m_timer->suspend();
}

void MRKOLowpassFilter::resetPressureHolder()
{
    setPressureHolder(kNothingHeld);
}

void MRKOLowpassFilter::smoothingStep()
{
    if (!inkora::liveSettings().penPressure.load())
        return;
    const double raw = pressure();
    const double previous = double(float(lastPressure()));
    setLastPressure(double(float(raw * kNewWeight + previous * kOldWeight)));
}
