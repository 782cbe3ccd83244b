#include "platform/UndoManager.h"

#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "tests/support/InkoraFixture.h"

#include <QObject>

#include <memory>
#include <vector>

using platform::Notification;
using platform::NotificationCenter;
using platform::ObserverToken;
using platform::UndoManager;

namespace {

/// A value whose every change registers its inverse the way the canvas does: a user change opens its own group,
/// and an undo or redo registers the reverse under the same name with no grouping of its own.
struct Value
{
    UndoManager &undo;
    int value = 0;
    std::vector<bool> undoingSeen = {}; // isUndoing() inside each performed action

    void set(int newValue, const QString &name)
    {
        undo.setGroupsByEvent(false);
        undo.beginUndoGrouping();
        registerInverse(name);
        undo.endUndoGrouping();
        undo.setGroupsByEvent(true);
        value = newValue;
    }

    void registerInverse(const QString &name)
    {
        const int old = value;
        undo.registerUndo(this, [this, old, name] {
            undoingSeen.push_back(undo.isUndoing());
            registerInverse(name);
            value = old;
        });
        undo.setActionName(name);
    }
};

class UndoManagerTest : public InkoraFixture
{
protected:
    /// Registers an action on a plain target that appends `n` to `order`.
    void add(int n, const void *target = nullptr)
    {
        m_undo.registerUndo(target ? target : &m_order, [this, n] { m_order.push_back(n); });
    }

    UndoManager m_undo;
    std::vector<int> m_order;
};

TEST_F(UndoManagerTest, RegistrationsOfOneEventPassFormOneStep)
{
    add(1);
    add(2);
    EXPECT_EQ(m_undo.groupingLevel(), 1);
    EXPECT_TRUE(m_undo.canUndo()); // the open group counts before the pass ends

    drainMainQueue(); // the pass of the event loop ends
    EXPECT_EQ(m_undo.groupingLevel(), 0);
    add(3);
    drainMainQueue();

    m_undo.undo();
    EXPECT_EQ(m_order, std::vector<int>{3});
    m_undo.undo();
    EXPECT_EQ(m_order, (std::vector<int>{3, 2, 1}));
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(UndoManagerTest, EventGroupWaitsForANestedGroupToEnd)
{
    add(1);
    m_undo.beginUndoGrouping();
    add(2);
    drainMainQueue();
    EXPECT_EQ(m_undo.groupingLevel(), 2);

    m_undo.endUndoGrouping();
    EXPECT_EQ(m_undo.groupingLevel(), 1);
    drainMainQueue();
    EXPECT_EQ(m_undo.groupingLevel(), 0);

    m_undo.undo();
    EXPECT_EQ(m_order, (std::vector<int>{2, 1}));
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(UndoManagerTest, NestedGroupsUndoAsOneStepLastFirst)
{
    m_undo.setGroupsByEvent(false);
    m_undo.beginUndoGrouping();
    add(1);
    m_undo.beginUndoGrouping();
    add(2);
    add(3);
    EXPECT_EQ(m_undo.groupingLevel(), 2);
    m_undo.endUndoGrouping();
    add(4);
    m_undo.setActionName(QStringLiteral("Move Layer"));
    m_undo.endUndoGrouping();
    EXPECT_EQ(m_undo.groupingLevel(), 0);
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Move Layer"));

    m_undo.undo();

    EXPECT_EQ(m_order, (std::vector<int>{4, 3, 2, 1}));
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(UndoManagerTest, UndoAndRedoMoveStepsBetweenStacks)
{
    Value v{m_undo};
    v.set(1, QStringLiteral("Add Layer"));
    v.set(2, QStringLiteral("Move Layer"));
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Move Layer"));
    EXPECT_FALSE(m_undo.canRedo());

    m_undo.undo(); // the reverse lands on the redo stack, under the same name
    EXPECT_EQ(v.value, 1);
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Add Layer"));
    EXPECT_EQ(m_undo.redoActionName(), QStringLiteral("Move Layer"));
    EXPECT_FALSE(m_undo.isUndoing());

    m_undo.redo(); // and back, without clearing what is left to redo
    EXPECT_EQ(v.value, 2);
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Move Layer"));
    EXPECT_FALSE(m_undo.canRedo());
    EXPECT_EQ(v.undoingSeen, (std::vector<bool>{true, false}));

    m_undo.undo();
    m_undo.undo();
    EXPECT_EQ(v.value, 0);
    EXPECT_TRUE(m_undo.canRedo());
    EXPECT_EQ(m_undo.redoActionName(), QStringLiteral("Add Layer"));

    v.set(5, QStringLiteral("Add Layer")); // a new change drops what could be redone
    EXPECT_FALSE(m_undo.canRedo());
    EXPECT_EQ(m_undo.redoActionName(), QString());
}

TEST_F(UndoManagerTest, DroppingTheTopStepLeavesNothingToRedo)
{
    // Undo the top step, then a placeholder registration clears the redo stack and is removed a moment
    // later: the step can be neither undone nor redone.
    Value v{m_undo};
    v.set(1, QStringLiteral("Add Layer"));
    v.set(2, QStringLiteral("Add Layer"));
    int cutter = 0;

    m_undo.undo();
    m_undo.registerUndo(&cutter, [] {});
    QObject owner;
    platform::RunLoop::main().performAfterDelay(&owner, QStringLiteral("remove"), 0,
                                                [&] { m_undo.removeAllActionsWithTarget(&cutter); });
    advance(0);

    EXPECT_EQ(v.value, 1);
    EXPECT_FALSE(m_undo.canRedo());
    EXPECT_EQ(m_undo.groupingLevel(), 0);
    m_undo.undo();
    EXPECT_EQ(v.value, 0);
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(UndoManagerTest, AStepFoundAgainByItsIdIsRemovedWithoutTouchingLaterSteps)
{
    Value a{m_undo};
    Value b{m_undo};
    EXPECT_EQ(m_undo.currentStepId(), 0U);
    m_undo.setGroupsByEvent(false);
    m_undo.beginUndoGrouping();
    const quint64 step = m_undo.currentStepId(); // the step being built
    a.registerInverse(QStringLiteral("Add Layers"));
    m_undo.endUndoGrouping();
    m_undo.setGroupsByEvent(true);
    a.value = 1;
    ASSERT_NE(step, 0U);
    EXPECT_EQ(m_undo.currentStepId(), step) << "on top once closed";

    b.set(5, QStringLiteral("Change Layer Color"));
    EXPECT_NE(m_undo.currentStepId(), step);

    EXPECT_TRUE(m_undo.removeStep(step));
    EXPECT_FALSE(m_undo.removeStep(step));
    EXPECT_EQ(a.value, 1) << "removed, not performed";
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Change Layer Color"));
    m_undo.undo();
    EXPECT_EQ(b.value, 0);
    EXPECT_FALSE(m_undo.canUndo()) << "the removed step is gone";
}

TEST_F(UndoManagerTest, UndoClosesASingleOpenGroupButNotTwo)
{
    m_undo.beginUndoGrouping();
    add(1);
    m_undo.beginUndoGrouping();
    log().expectWarning(QStringLiteral("undo: 2 undo groups are open"));
    m_undo.undo();
    EXPECT_TRUE(m_order.empty());

    m_undo.endUndoGrouping();
    m_undo.undo();
    EXPECT_EQ(m_order, std::vector<int>{1});
    EXPECT_EQ(m_undo.groupingLevel(), 0);
}

TEST_F(UndoManagerTest, ActionsOfAGoneTargetDoNothingAndTheirStepsArePurged)
{
    auto shared = std::make_shared<int>(0);
    {
        QObject object;
        m_undo.registerUndo(&object, [this] { m_order.push_back(1); });
        m_undo.setActionName(QStringLiteral("Live"));
        drainMainQueue();

        m_undo.registerUndo(&object, [this] { m_order.push_back(2); });
        m_undo.registerUndo(shared, [this] { m_order.push_back(3); });
        m_undo.setActionName(QStringLiteral("Mixed"));
        drainMainQueue();

        m_undo.registerUndo(&object, [this] { m_order.push_back(4); });
        m_undo.setActionName(QStringLiteral("Dead"));
        drainMainQueue();
        m_undo.setActionName(QStringLiteral("Dead"));
    }
    // The object is gone: its actions are inert, and a step with nothing else in it no longer counts.
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Mixed"));

    m_undo.undo();
    EXPECT_EQ(m_order, std::vector<int>{3});

    shared.reset();
    EXPECT_FALSE(m_undo.canUndo());
    m_undo.undo();
    EXPECT_EQ(m_order, std::vector<int>{3});
}

TEST_F(UndoManagerTest, RemovingATargetsActionsKeepsOtherTargets)
{
    int a = 0;
    int b = 0;
    add(1, &a);
    drainMainQueue();
    add(2, &a);
    add(3, &b);
    drainMainQueue();
    add(4, &a);
    m_undo.setActionName(QStringLiteral("Open"));

    m_undo.removeAllActionsWithTarget(&a);

    EXPECT_EQ(m_undo.groupingLevel(), 1); // the open group stays open, emptied of a's actions
    drainMainQueue();
    m_undo.undo();
    EXPECT_EQ(m_order, std::vector<int>{3});
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(UndoManagerTest, RemovingAllActionsKeepsOpenGroupsBalanced)
{
    add(1);
    drainMainQueue();
    m_undo.undo();
    add(2);
    drainMainQueue();
    m_undo.beginUndoGrouping();
    add(3);

    m_undo.removeAllActions();
    m_undo.endUndoGrouping(); // balanced: no warning

    EXPECT_FALSE(m_undo.canUndo());
    EXPECT_FALSE(m_undo.canRedo());
    EXPECT_EQ(m_undo.groupingLevel(), 0);
}

TEST_F(UndoManagerTest, LevelsOfUndoDropTheOldestSteps)
{
    m_undo.setLevelsOfUndo(2);
    for (int n = 1; n <= 3; ++n) {
        add(n);
        drainMainQueue();
    }
    m_undo.undo();
    m_undo.undo();
    EXPECT_FALSE(m_undo.canUndo());
    EXPECT_EQ(m_order, (std::vector<int>{3, 2}));

    m_undo.setLevelsOfUndo(-5); // counts as no limit
    EXPECT_EQ(m_undo.levelsOfUndo(), 0);
    for (int n = 1; n <= 30; ++n) {
        add(n);
        drainMainQueue();
    }
    m_order.clear();
    m_undo.setLevelsOfUndo(1);
    m_undo.undo();
    EXPECT_EQ(m_order, std::vector<int>{30});
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(UndoManagerTest, DisablingRegistrationIsCounted)
{
    Value v{m_undo};
    v.set(1, QStringLiteral("Add Layer"));
    m_undo.undo();

    m_undo.disableUndoRegistration();
    m_undo.disableUndoRegistration();
    m_undo.enableUndoRegistration();
    v.set(2, QStringLiteral("Add Layer"));
    EXPECT_FALSE(m_undo.isUndoRegistrationEnabled());
    EXPECT_EQ(m_undo.groupingLevel(), 0);
    EXPECT_TRUE(m_undo.canRedo()); // an ignored registration clears nothing
    EXPECT_FALSE(m_undo.canUndo());

    m_undo.enableUndoRegistration();
    add(3);
    drainMainQueue();
    EXPECT_FALSE(m_undo.canRedo());
    EXPECT_TRUE(m_undo.canUndo());

    log().expectWarning(QStringLiteral("enableUndoRegistration: registration is not disabled"));
    m_undo.enableUndoRegistration();
    EXPECT_TRUE(m_undo.isUndoRegistrationEnabled());
}

TEST_F(UndoManagerTest, NotificationsFollowStepsUndoAndRedo)
{
    // Counted the way the autosave counter counts: closed steps and redos up, undos down.
    int count = 0;
    int closes = 0;
    auto &center = NotificationCenter::defaultCenter();
    const ObserverToken closed = center.addObserver(platform::kUndoManagerDidCloseUndoGroupNotification, &m_undo,
                                                    [&](const Notification &) { ++count, ++closes; });
    const ObserverToken undone = center.addObserver(platform::kUndoManagerDidUndoChangeNotification, &m_undo,
                                                    [&](const Notification &) { --count; });
    const ObserverToken redone = center.addObserver(platform::kUndoManagerDidRedoChangeNotification, &m_undo,
                                                    [&](const Notification &) { ++count; });
    Value v{m_undo};

    for (int n = 1; n <= 3; ++n)
        v.set(n, QStringLiteral("Add Layer"));
    m_undo.undo();
    EXPECT_EQ(count, 2);
    m_undo.redo();
    EXPECT_EQ(count, 3);
    m_undo.undo();
    EXPECT_EQ(count, 2);
    EXPECT_EQ(closes, 3); // collecting the step of the other stack is no closed group

    m_undo.beginUndoGrouping();
    m_undo.endUndoGrouping(); // an empty group is no step
    m_undo.beginUndoGrouping();
    m_undo.beginUndoGrouping();
    add(9);
    m_undo.endUndoGrouping(); // nested: not yet a step
    EXPECT_EQ(closes, 3);
    m_undo.endUndoGrouping();
    EXPECT_EQ(closes, 4);

    add(10);
    drainMainQueue();
    EXPECT_EQ(closes, 5);
}

TEST_F(UndoManagerTest, ActionsKeepWhatTheyCaptureUntilDropped)
{
    auto layer = std::make_shared<int>(7);
    const std::weak_ptr<int> watch = layer;
    m_undo.registerUndo(&m_order, [layer] { (void)*layer; });
    layer.reset();
    drainMainQueue();
    EXPECT_FALSE(watch.expired());

    m_undo.undo(); // performed and, registering nothing, dropped
    EXPECT_TRUE(watch.expired());

    layer = std::make_shared<int>(8);
    const std::weak_ptr<int> second = layer;
    m_undo.registerUndo(&m_order, [layer] { (void)*layer; });
    layer.reset();
    drainMainQueue();
    m_undo.removeAllActions();
    EXPECT_TRUE(second.expired());
}

TEST_F(UndoManagerTest, MisuseIsLoggedAndHarmless)
{
    log().expectWarning(QStringLiteral("endUndoGrouping: no undo group is open"));
    m_undo.endUndoGrouping();
    EXPECT_EQ(m_undo.groupingLevel(), 0);

    // Without grouping by event a lone registration still becomes a step rather than getting lost.
    log().expectWarning(QStringLiteral("registerUndo: no undo group is open and grouping by event is off"));
    m_undo.setGroupsByEvent(false);
    add(1);
    EXPECT_EQ(m_undo.groupingLevel(), 0);
    EXPECT_TRUE(m_undo.canUndo());

    // An action that calls undo again, or leaves a group open, cannot corrupt the stacks.
    log().expectWarning(QStringLiteral("undo: called while undoing or redoing"));
    log().expectWarning(QStringLiteral("undo: an action left 1 undo groups open"));
    m_undo.beginUndoGrouping();
    m_undo.registerUndo(&m_order, [this] {
        m_undo.undo();
        m_undo.beginUndoGrouping();
        add(2);
    });
    m_undo.endUndoGrouping();
    m_undo.undo();
    EXPECT_EQ(m_undo.groupingLevel(), 0);
    EXPECT_TRUE(m_undo.canRedo());
    m_undo.redo();
    EXPECT_EQ(m_order, std::vector<int>{2});
    EXPECT_EQ(m_undo.groupingLevel(), 0);
    EXPECT_TRUE(m_undo.canUndo());

    log().expectWarning(QStringLiteral("registerUndo: the target is gone"));
    m_undo.registerUndo(static_cast<QObject *>(nullptr), [] {});
}

} // namespace
