#include "platform/Transaction.h"

#include "platform/Dispatch.h"
#include "platform/PlatformLog.h"

#include <optional>
#include <vector>

namespace platform {

namespace {

constexpr double kDefaultDuration = 0.25; // seconds

struct CompletionGroup
{
    int pending = 0;
    bool committed = false;
    bool fired = false;
    std::function<void()> completion;

    void fireIfDone()
    {
        if (fired || !committed || pending > 0)
            return;
        fired = true;
        if (completion)
            DispatchQueue::main().async(std::move(completion));
    }
};

struct Frame
{
    std::optional<bool> disableActions;
    std::optional<double> duration;
    std::optional<TimingFunction> timing;
    std::shared_ptr<CompletionGroup> group = std::make_shared<CompletionGroup>();
    bool implicit = false;
};

// Main thread only, like every layer change.
std::vector<Frame> &frames()
{
    static std::vector<Frame> s_frames;
    return s_frames;
}

Frame &currentFrameForWriting()
{
    auto &stack = frames();
    if (stack.empty()) {
        // A setting outside any transaction opens an implicit one that ends with this pass of the main queue.
        Frame frame;
        frame.implicit = true;
        stack.push_back(std::move(frame));
        DispatchQueue::main().async([] {
            auto &s = frames();
            if (!s.empty() && s.front().implicit && s.size() == 1)
                Transaction::commit();
        });
    }
    return stack.back();
}

template <typename T> std::optional<T> lookup(std::optional<T> Frame::*member)
{
    const auto &stack = frames();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if ((*it).*member)
            return (*it).*member;
    return std::nullopt;
}

} // namespace

struct Transaction::AnimationTicket::Private
{
    std::vector<std::shared_ptr<CompletionGroup>> groups;
};

void Transaction::begin()
{
    frames().emplace_back();
}

void Transaction::commit()
{
    auto &stack = frames();
    if (stack.empty()) {
        qCWarning(lcPlatform) << "Transaction::commit: no open transaction; nothing committed";
        return;
    }
    const std::shared_ptr<CompletionGroup> group = stack.back().group;
    stack.pop_back();
    group->committed = true;
    group->fireIfDone();
}

bool Transaction::disableActions()
{
    return lookup(&Frame::disableActions).value_or(false);
}

void Transaction::setDisableActions(bool disable)
{
    currentFrameForWriting().disableActions = disable;
}

double Transaction::animationDuration()
{
    return lookup(&Frame::duration).value_or(kDefaultDuration);
}

void Transaction::setAnimationDuration(double seconds)
{
    currentFrameForWriting().duration = seconds;
}

TimingFunction Transaction::animationTimingFunction()
{
    return lookup(&Frame::timing).value_or(TimingFunction::named(TimingFunction::Default));
}

void Transaction::setAnimationTimingFunction(const TimingFunction &timing)
{
    currentFrameForWriting().timing = timing;
}

void Transaction::setCompletionBlock(std::function<void()> completion)
{
    currentFrameForWriting().group->completion = std::move(completion);
}

bool Transaction::wantsImplicitAnimation()
{
    return !disableActions() && lookup(&Frame::duration).has_value();
}

int Transaction::depth()
{
    return int(frames().size());
}

Transaction::AnimationTicket::AnimationTicket() : d(std::make_unique<Private>())
{
    for (auto &frame : frames()) {
        ++frame.group->pending;
        d->groups.push_back(frame.group);
    }
}

Transaction::AnimationTicket::~AnimationTicket()
{
    finish();
}

void Transaction::AnimationTicket::finish()
{
    auto groups = std::move(d->groups);
    d->groups.clear();
    // Innermost first, so a nested completion runs before the one around it.
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
        auto &group = *it;
        --group->pending;
        group->fireIfDone();
    }
}

TransactionScope::TransactionScope(bool disableActions)
{
    Transaction::begin();
    if (disableActions)
        Transaction::setDisableActions(true);
}

TransactionScope::~TransactionScope()
{
    Transaction::commit();
}

} // namespace platform
