#pragma once

#include "platform/fake/FakeServices.h"
#include "tests/support/LogCapture.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace platform {
class FakeClock;
}

/// A temporary HOME with the XDG folders inside it, the fake services, a fake clock and a log capture
/// that fails the test on a warning nobody expected.
class InkoraFixture : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Runs the main queue until it is empty.
    void drainMainQueue();
    /// Moves the fake clock forward, fires timers that fall due and drains the main queue.
    void advance(double seconds);

    [[nodiscard]] QString home() const { return m_home->path(); }
    [[nodiscard]] platform::FakeClock &clock() const { return *m_fakes.clock; }
    [[nodiscard]] platform::FakeServices &fakes() { return m_fakes; }
    [[nodiscard]] LogCapture &log() { return *m_log; }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<LogCapture> m_log;
    platform::FakeServices m_fakes;
};
