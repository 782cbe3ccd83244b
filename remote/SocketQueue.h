#pragma once

#include "platform/Dispatch.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace inkora {

/// A serial queue with one thread of its own that also waits for descriptors to become readable or writable
/// (epoll), so that socket work and the blocks queued for it never run at the same time.
class SocketQueue final : public platform::DispatchQueue
{
public:
    enum Readiness : int { Readable = 1, Writable = 2 };
    using WatchId = std::uint64_t;
    /// Called on the queue with the readiness bits that are both wanted and present (errors count as both).
    using ReadyHandler = std::function<void(int readiness)>;

    explicit SocketQueue(const QString &label);
    ~SocketQueue() override;
    SocketQueue(const SocketQueue &) = delete;
    SocketQueue &operator=(const SocketQueue &) = delete;

    void async(platform::Block block) override;
    void sync(platform::Block block) override;
    [[nodiscard]] bool isCurrent() const override;
    [[nodiscard]] QString label() const;

    // On the queue only. A descriptor starts with no interest, like a suspended source.
    [[nodiscard]] WatchId watch(int fd, ReadyHandler handler);
    /// `interest` is a set of Readiness bits; 0 stops all reports, errors included.
    void setInterest(WatchId id, int interest);
    void unwatch(WatchId id);

    struct State;

private:
    // Shared with the thread, which may outlive this object when the last owner lets go from inside a block.
    const std::shared_ptr<State> d;
    std::thread m_thread;
};

} // namespace inkora
