#include "canvas/MRKOScreensController.h"

#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/fake/FakeScreens.h"
#include "tests/support/InkoraFixture.h"

namespace {

using platform::FakeScreens;

class RebuildCounter final : public AppDelegate
{
public:
    void didChangeScreenParameters() override { ++rebuilds; }
    int rebuilds = 0;
};

QList<platform::ScreenInfo> threeDisplays()
{
    return {FakeScreens::makeScreen(1, QRectF(0, 0, 1440, 900)),
            FakeScreens::makeScreen(2, QRectF(1440, 0, 1920, 1080), 2.0),
            FakeScreens::makeScreen(3, QRectF(-1280, 0, 1280, 1024))};
}

QList<quint32> numbers(const QList<platform::ScreenInfo> &screens)
{
    QList<quint32> list;
    for (const platform::ScreenInfo &screen : screens)
        list.append(screen.number);
    return list;
}

} // namespace

class MRKOScreensControllerTest : public InkoraFixture
{
protected:
    FakeScreens &displays() { return *fakes().screens; }
    void storePreferredIndex(const QVariant &index)
    {
        MRKOUtils::userDefaults().setObject(index, QStringLiteral("PreferedScreenIndex"));
        MRKOScreensController::updatePreferedScreenIndex();
    }
};

TEST_F(MRKOScreensControllerTest, ChangesWithinASecondEndInOneRebuildASecondAfterTheLast)
{
    RebuildCounter app;
    (void)MRKOScreensController::sharedScreensController();

    displays().postChange();
    advance(0.2);
    displays().postChange();
    advance(0.2);
    displays().setScreens(threeDisplays());
    advance(0.1);
    displays().postChange(); // the last change, 0.5 s after the first
    advance(0.99);
    EXPECT_EQ(app.rebuilds, 0);
    advance(0.02);
    EXPECT_EQ(app.rebuilds, 1);
    advance(5);
    EXPECT_EQ(app.rebuilds, 1);

    // A later change is a new rebuild.
    displays().postChange();
    advance(1.01);
    EXPECT_EQ(app.rebuilds, 2);
}

TEST_F(MRKOScreensControllerTest, RebuildWaitsForAPressToEnd)
{
    RebuildCounter app;
    (void)MRKOScreensController::sharedScreensController();
    displays().postChange();

    platform::RunLoop::main().pushMode(platform::RunLoop::EventTrackingMode);
    advance(2);
    EXPECT_EQ(app.rebuilds, 0);
    platform::RunLoop::main().popMode();
    advance(0);
    EXPECT_EQ(app.rebuilds, 1);
}

TEST_F(MRKOScreensControllerTest, ForceReactivateRebuildsAtOnce)
{
    RebuildCounter app;
    MRKOScreensController::forceReactivate();
    EXPECT_EQ(app.rebuilds, 1);
}

TEST_F(MRKOScreensControllerTest, PreferredDisplayComesFirstWhenItExists)
{
    displays().setScreens(threeDisplays());
    struct Row
    {
        const char *name;
        QVariant stored;
        QList<quint32> order;
    };
    const Row rows[] = {
        {"Absent", QVariant(), {1, 2, 3}},
        {"Main", qint64(0), {1, 2, 3}},
        {"Second", qint64(1), {2, 1, 3}},
        {"Third", qint64(2), {3, 1, 2}},
        {"BeyondTheDisplays", qint64(3), {1, 2, 3}},
        {"Negative", qint64(-1), {1, 2, 3}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.stored.isValid())
            storePreferredIndex(row.stored);
        else
            MRKOUtils::userDefaults().removeObjectForKey(QStringLiteral("PreferedScreenIndex"));
        MRKOScreensController::updatePreferedScreenIndex();
        EXPECT_EQ(numbers(MRKOScreensController::screens()), row.order);
    }
}

TEST_F(MRKOScreensControllerTest, UnpluggingThePreferredDisplayFallsBackAndKeepsTheKey)
{
    displays().setScreens(threeDisplays());
    storePreferredIndex(qint64(2));
    ASSERT_EQ(MRKOScreensController::screens().first().number, 3u);

    displays().setScreens(threeDisplays().mid(0, 2));
    EXPECT_EQ(numbers(MRKOScreensController::screens()), (QList<quint32>{1, 2}));
    EXPECT_EQ(MRKOUtils::userDefaults().integerForKey(QStringLiteral("PreferedScreenIndex")), 2);

    // Plugged in again, it leads once more.
    displays().setScreens(threeDisplays());
    EXPECT_EQ(MRKOScreensController::screens().first().number, 3u);
    EXPECT_EQ(MRKOScreensController::screens().at(1).backingScale, 1.0);
    EXPECT_EQ(MRKOScreensController::screens().at(2).backingScale, 2.0);
}
