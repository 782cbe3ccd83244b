#include "canvas/MRKOLowpassFilter.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/EventQueue.h"
#include "tests/canvas/CanvasFixture.h"

#include <cmath>
#include <limits>

class MRKOLowpassFilterTest : public CanvasFixture
{
protected:
    MRKOLowpassFilter &filter() { return MRKOLowpassFilter::sharedFilter(); }

    /// Lets the 60 Hz timer tick once and waits for the filter queue.
    void tick()
    {
        advance(1.0 / 60.0);
        MRKOLowpassFilter::sharedFilterQueue().sync([] {});
    }
};

TEST_F(MRKOLowpassFilterTest, OneTickPullsTheSmoothedPressureASeventhOfTheWay)
{
    inkora::liveSettings().penPressure = true;
    filter().makeFilter();
    filter().startFilter();
    filter().setLastPressure(0.5);
    filter().setPressure(1.0);

    tick();

    EXPECT_EQ(filter().lastPressure(), double(0.5714286f));
    filter().removeFilter();
}

TEST_F(MRKOLowpassFilterTest, TicksChangeNothingWhilePenPressureIsOffOrTheFilterIsStopped)
{
    inkora::liveSettings().penPressure = false;
    filter().makeFilter();
    filter().startFilter();
    filter().setLastPressure(0.5);
    filter().setPressure(1.0);
    tick();
    EXPECT_EQ(filter().lastPressure(), 0.5);

    inkora::liveSettings().penPressure = true;
    filter().stopFilter();
    tick();
    EXPECT_EQ(filter().lastPressure(), 0.5);
    filter().removeFilter();
}

TEST_F(MRKOLowpassFilterTest, TheTimerMovesBetweenItsStatesOnlyByItsOwnCalls)
{
    filter().startFilter(); // no timer: nothing happens
    EXPECT_FALSE(filter().hasTimer());
    EXPECT_FALSE(filter().isRunning());

    filter().setLastPressure(0.2);
    filter().makeFilter();
    EXPECT_TRUE(filter().hasTimer());
    EXPECT_FALSE(filter().isRunning());
    EXPECT_EQ(filter().lastPressure(), 1.0) << "a new timer starts at full pressure";
    filter().startFilter();
    EXPECT_TRUE(filter().isRunning());
    filter().stopFilter();
    EXPECT_FALSE(filter().isRunning());
    filter().removeFilter(); // suspended, so resumed before it is cancelled
    EXPECT_FALSE(filter().hasTimer());
    filter().stopFilter();
    EXPECT_FALSE(filter().isRunning());
}

TEST_F(MRKOLowpassFilterTest, BrushWidthFollowsTheSmoothedPressure)
{
    const struct
    {
        const char *name;
        bool penPressure;
        double smoothed;
        double width;
    } rows[] = {
        {"boldAtHalfPressure", true, 0.5, 13},
        {"cappedAtFullWidth", true, 1.7, 25},
        {"noPressureIsOnePoint", true, 0.0, 1},
        {"nanCountsAsNoPressure", true, std::numeric_limits<double>::quiet_NaN(), 1},
        {"penPressureOff", false, 0.5, 25},
    };
    MRKODraw &canvas = makeCanvas();
    canvas.setThickness(5);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        inkora::liveSettings().penPressure = row.penPressure;
        filter().setLastPressure(row.smoothed);
        EXPECT_EQ(canvas.brushSizeUsingPressure(), row.width);
    }
}

TEST_F(MRKOLowpassFilterTest, ADragFeedsTheHeldPressureOrItsOwn)
{
    inkora::liveSettings().penPressure = true;
    MRKODraw &canvas = makeCanvas();
    platform::Event drag = pointerEvent(platform::EventType::LeftMouseDragged, QPointF(10, 10));
    drag.pressure = 0.8;
    platform::EventQueue::shared().setCurrentEvent(drag);

    filter().resetPressureHolder();
    (void)canvas.brushSizeUsingPressure();
    EXPECT_EQ(filter().pressure(), 0.8);

    filter().setPressureHolder(0.0); // a held 0 is a pressure like any other
    (void)canvas.brushSizeUsingPressure();
    EXPECT_EQ(filter().pressure(), 0.0);
}

TEST_F(MRKOLowpassFilterTest, ThePenPressureSettingMakesAndRemovesTheTimer)
{
    AppDelegate settings;
    MRKOUtils::userDefaults().setInteger(1, QStringLiteral("PenPressure"));
    settings.updatePenPressure();
    EXPECT_TRUE(filter().hasTimer());

    MRKOUtils::userDefaults().setInteger(0, QStringLiteral("PenPressure"));
    settings.updatePenPressure();
    EXPECT_FALSE(filter().hasTimer());
}
