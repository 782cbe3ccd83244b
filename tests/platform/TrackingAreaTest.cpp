#include "platform/TrackingArea.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using platform::TrackingArea;

class Recorder final : public platform::TrackingAreaOwner
{
public:
    std::string log;
    void mouseEntered(const platform::Event &) override { log += "E"; }
    void mouseExited(const platform::Event &) override { log += "X"; }
    void mouseMoved(const platform::Event &) override { log += "m"; }
};

TEST(TrackingAreaTest, OwnersHearEnteringMovingAndLeavingByTheirOptions)
{
    auto owner = std::make_shared<Recorder>();
    platform::TrackingAreas areas;
    areas.add(std::make_shared<TrackingArea>(
        QRectF(10, 10, 20, 20),
        TrackingArea::MouseEnteredAndExited | TrackingArea::MouseMoved | TrackingArea::ActiveAlways, owner));
    const platform::Event e;
    for (const QPointF p : {QPointF(0, 0), QPointF(15, 15), QPointF(16, 16), QPointF(30, 15), QPointF(29, 29)})
        areas.pointerMoved(e, p, true);
    EXPECT_EQ(owner->log, "EmXE") << "the maximum edges lie outside";
    areas.pointerLeft(e);
    EXPECT_EQ(owner->log, "EmXEX");
}

TEST(TrackingAreaTest, AnAreaOfTheActiveApplicationSleepsWhileAnotherIsActive)
{
    auto owner = std::make_shared<Recorder>();
    platform::TrackingAreas areas;
    areas.add(std::make_shared<TrackingArea>(
        QRectF(0, 0, 10, 10), TrackingArea::MouseEnteredAndExited | TrackingArea::ActiveInActiveApp, owner));
    const platform::Event e;
    areas.pointerMoved(e, QPointF(5, 5), false);
    EXPECT_EQ(owner->log, "");
    areas.pointerMoved(e, QPointF(5, 5), true);
    areas.pointerMoved(e, QPointF(5, 5), false);
    EXPECT_EQ(owner->log, "EX");
}

TEST(TrackingAreaTest, AGoneOwnerOrARemovedAreaHearsNothing)
{
    auto owner = std::make_shared<Recorder>();
    platform::TrackingAreas areas;
    auto area = std::make_shared<TrackingArea>(QRectF(0, 0, 10, 10),
                                               TrackingArea::MouseEnteredAndExited | TrackingArea::ActiveAlways, owner);
    areas.add(area);
    areas.add(area);
    EXPECT_EQ(areas.areas().size(), 1u);
    areas.remove(area.get());
    areas.pointerMoved({}, QPointF(5, 5), true);
    EXPECT_EQ(owner->log, "");

    auto weak = std::make_shared<Recorder>();
    areas.add(std::make_shared<TrackingArea>(QRectF(0, 0, 10, 10),
                                             TrackingArea::MouseEnteredAndExited | TrackingArea::ActiveAlways, weak));
    weak.reset();
    areas.pointerMoved({}, QPointF(5, 5), true); // no owner to tell, no crash
    EXPECT_TRUE(areas.areas().front()->isInside());
}

} // namespace
