#include "canvas/MRKOFPSLimiter.h"

#include "platform/fake/FakeClock.h"
#include "tests/support/InkoraFixture.h"

#include <vector>

class MRKOFPSLimiterTest : public InkoraFixture
{
protected:
    /// Asks the limiter once after each interval (seconds) and answers whether each query was stopped.
    std::vector<bool> queries(MRKOFPSLimiter &limiter, const std::vector<double> &intervals)
    {
        std::vector<bool> stopped;
        for (double interval : intervals) {
            clock().advance(interval);
            stopped.push_back(limiter.shouldStopWithBlock({}));
        }
        return stopped;
    }
};

TEST_F(MRKOFPSLimiterTest, StopsEventsFasterThanTheRateAndPassesSlowerOnes)
{
    const struct
    {
        const char *name;
        double rate;
        std::vector<double> intervals;
        std::vector<bool> stopped;
    } rows[] = {
        {"fourMillisecondsIsTooFast", 125, {0.004, 0.004}, {false, true}},
        {"eightAndTenPass", 125, {0.008, 0.010}, {false, false}},
        {"firstQueryNeverStops", 125, {0.0001}, {false}},
        // Stopped events do not restart the interval: the next one is measured from the last let through.
        {"measuredFromTheLastPassed", 125, {0.004, 0.004, 0.008}, {false, true, false}},
        {"zeroRateNeverStops", 0, {0.001, 0.001, 0.001}, {false, false, false}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const auto limiter = MRKOFPSLimiter::limiterWithFPS(row.rate);
        EXPECT_EQ(queries(*limiter, row.intervals), row.stopped);
    }
}

TEST_F(MRKOFPSLimiterTest, RunsTheBlockOnlyForStoppedEvents)
{
    const auto limiter = MRKOFPSLimiter::limiterWithFPS(125);
    int runs = 0;
    for (int i = 0; i < 2; ++i) {
        clock().advance(0.010);
        EXPECT_FALSE(limiter->shouldStopWithBlock([&] { ++runs; }));
    }
    clock().advance(0.001);
    EXPECT_TRUE(limiter->shouldStopWithBlock([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
}
