#pragma once

#include "platform/TimingFunction.h"

#include <functional>
#include <memory>

namespace platform {

/// Groups layer changes on the main thread. Transactions nest; a nested one inherits the settings of those around
/// it unless it sets its own. Changes apply at once; what a transaction adds is its settings and its completion.
///
/// Implicit animations: a property change animates only inside a transaction whose animation duration was set
/// explicitly and whose actions are not disabled. Everywhere else changes are immediate, so code that does not
/// ask for an animation never gets one.
///
/// The completion runs on the main queue once every animation added while the transaction (or one nested in it)
/// was open has finished or been removed; at once (on the main queue) when it added none.
class Transaction
{
public:
    static void begin();
    static void commit();

    [[nodiscard]] static bool disableActions();
    static void setDisableActions(bool disable);
    /// Seconds; 0.25 unless set.
    [[nodiscard]] static double animationDuration();
    static void setAnimationDuration(double seconds);
    [[nodiscard]] static TimingFunction animationTimingFunction();
    static void setAnimationTimingFunction(const TimingFunction &timing);
    static void setCompletionBlock(std::function<void()> completion);

    /// True when a change should animate implicitly (see above).
    [[nodiscard]] static bool wantsImplicitAnimation();
    /// Open transactions (explicit ones, plus an implicit one made by a setter called outside any).
    [[nodiscard]] static int depth();

    /// Keeps every open transaction's completion waiting until `finish()` or destruction.
    class AnimationTicket
    {
    public:
        AnimationTicket();
        ~AnimationTicket();
        AnimationTicket(const AnimationTicket &) = delete;
        AnimationTicket &operator=(const AnimationTicket &) = delete;
        void finish();

        struct Private;

    private:
        std::unique_ptr<Private> d;
    };
};

/// Begins a transaction and commits it when it goes out of scope.
class TransactionScope
{
public:
    explicit TransactionScope(bool disableActions = false);
    ~TransactionScope();
    TransactionScope(const TransactionScope &) = delete;
    TransactionScope &operator=(const TransactionScope &) = delete;
};

} // namespace platform
