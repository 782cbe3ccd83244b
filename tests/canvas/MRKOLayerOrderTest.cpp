#include "canvas/MRKOLayerOrder.h"

#include "platform/UndoManager.h"
#include "tests/support/InkoraFixture.h"

#include <random>

using platform::Layer;
using platform::LayerPtr;

namespace {

class MRKOLayerOrderTest : public InkoraFixture
{
protected:
    LayerPtr container = Layer::create();
    platform::UndoManager undo;
    bool fadeMode = false;
    std::vector<LayerPtr> faded;
    MRKOLayerOrder order{
        *container, undo,
        MRKOLayerOrder::Hooks{
            [this] { return fadeMode; }, [this](const LayerPtr &l) { faded.push_back(l); }, {}, {}, {}}};

    LayerPtr add(size_t index = MRKOLayerOrder::kNotFound)
    {
        LayerPtr layer = Layer::create();
        order.performUserAction(QStringLiteral("Add Layer"), [&] { order.undoAddLayerToIndex(layer, index); });
        return layer;
    }

    void expectMirrored()
    {
        const auto &subs = container->sublayers();
        ASSERT_EQ(order.layers().size(), subs.size());
        for (size_t i = 0; i < subs.size(); ++i)
            ASSERT_EQ(order.layers()[i].get(), subs[i].get()) << i;
        std::vector<Layer *> seen;
        for (const auto &l : order.layers()) {
            ASSERT_EQ(std::count(seen.begin(), seen.end(), l.get()), 0);
            seen.push_back(l.get());
        }
    }
};

} // namespace

TEST_F(MRKOLayerOrderTest, AddRemoveAndUndoRestoreFormerPlaces)
{
    const LayerPtr a = add(), b = add(), c = add(), d = add();
    EXPECT_EQ(undo.undoActionName(), "Add Layer");
    order.performUserAction(QStringLiteral("Remove Layers"), [&] { order.undoRemoveLayers({d, b}); });
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{a, c}));
    expectMirrored();

    undo.undo();
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{a, b, c, d}));
    expectMirrored();
    EXPECT_FALSE(order.redoFlag());
    EXPECT_EQ(undo.redoActionName(), "Add Layers"); // each operation names the step it registers

    undo.redo();
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{a, c}));
    EXPECT_TRUE(order.redoFlag());

    // A fresh user action leaves the flag alone.
    order.performUserAction(QStringLiteral("Remove Layer"), [&] { order.undoRemoveLayer(a); });
    EXPECT_TRUE(order.redoFlag());
    undo.undo();
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{a, c}));
    expectMirrored();
}

TEST_F(MRKOLayerOrderTest, ZOrderMovesAndTheirLimits)
{
    const LayerPtr a = add();
    EXPECT_FALSE(order.layerCanMoveUp(a.get()));
    EXPECT_FALSE(order.layerCanMoveDown(a.get()));
    const LayerPtr b = add(), c = add();
    EXPECT_FALSE(order.undoLayerUp(c));
    EXPECT_FALSE(order.undoLayerDown(a));
    EXPECT_FALSE(order.bringLayerFront(c));

    EXPECT_TRUE(order.undoLayerUp(a));
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{b, a, c}));
    EXPECT_EQ(undo.undoActionName(), "Move Up Layer");
    undo.undo();
    EXPECT_EQ(undo.redoActionName(), "Move Down Layer");
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{a, b, c}));
    expectMirrored();

    EXPECT_TRUE(order.bringLayerFront(a));
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{b, c, a}));
    EXPECT_EQ(undo.undoActionName(), "Move Layer To Index");
    undo.undo();
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{a, b, c}));
    expectMirrored();
}

TEST_F(MRKOLayerOrderTest, ADrawingPassedStraightFromTheListKeepsEveryDrawing)
{
    const LayerPtr a = add(), b = add(), c = add(), d = add();
    // The reference points into the list that the move changes.
    EXPECT_TRUE(order.bringLayerBack(order.layers()[2]));
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{c, a, b, d}));
    EXPECT_TRUE(order.bringLayerFront(order.layers()[0]));
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{a, b, d, c}));
    expectMirrored();
}

TEST_F(MRKOLayerOrderTest, AMoveThatCannotHappenRegistersNoStep)
{
    const LayerPtr a = add(), b = add();
    const QString before = undo.undoActionName();
    const struct
    {
        size_t from, to;
        const char *warning;
    } cases[] = {
        {2, 0, "fromIndex can't be grater or equal than layers count."},
        {0, 2, "toIndex can't be grater or equal than layers count."},
        {1, 0, "wrong fromIndex for CALayer"},
    };
    for (const auto &c : cases) {
        log().expectWarning(c.warning);
        EXPECT_FALSE(order.undoMoveLayerFromIndexToIndex(a, c.from, c.to));
    }
    EXPECT_EQ(undo.undoActionName(), before);
    undo.undo(); // the last add, not a phantom move
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{a}));
    expectMirrored();
}

TEST_F(MRKOLayerOrderTest, BadIndexSetsFallBackToAppending)
{
    const LayerPtr a = add(), stray = Layer::create();
    log().expectWarning("indexSetOfLayers: Can't create index set. Some items are Not Found");
    EXPECT_FALSE(order.indexSetOfLayers({a, stray}).has_value());

    const LayerPtr x = Layer::create(), y = Layer::create();
    log().expectWarning("undoAddLayers:toIndexes: layers.count and indexes.count mismatch");
    order.performUserAction(QStringLiteral("Add Layers"), [&] {
        order.undoAddLayersToIndexes({x, y}, MRKOLayerOrder::IndexSet{0});
    });
    EXPECT_EQ(order.layers(), (std::vector<LayerPtr>{a, x, y}));
    expectMirrored();
}

TEST_F(MRKOLayerOrderTest, FadeModeReplayFadesTheDrawingOutAndKeepsItOutOfTheList)
{
    const LayerPtr a = add();
    order.performUserAction(QStringLiteral("Remove Layer"), [&] { order.undoRemoveLayer(a); });
    fadeMode = true;
    undo.undo();
    EXPECT_EQ(faded, (std::vector<LayerPtr>{a}));
    EXPECT_EQ(a->superlayer(), container.get());
}

TEST_F(MRKOLayerOrderTest, ListMirrorsTheContainerOverRandomOperations)
{
    std::mt19937 random(20261210);
    std::vector<LayerPtr> pool;
    for (int i = 0; i < 12; ++i)
        pool.push_back(Layer::create());
    auto any = [&] { return pool[random() % pool.size()]; };
    auto present = [&]() -> LayerPtr {
        if (order.layers().empty())
            return nullptr;
        return order.layers()[random() % order.layers().size()];
    };
    for (int step = 0; step < 1000; ++step) {
        const size_t count = order.layers().size();
        switch (random() % 9) {
        case 0: {
            const LayerPtr l = any();
            if (order.indexOfLayer(l.get()) == MRKOLayerOrder::kNotFound)
                order.performUserAction("Add Layer", [&] { order.undoAddLayerToIndex(l, random() % (count + 2)); });
            break;
        }
        case 1:
            if (const LayerPtr l = present())
                order.performUserAction("Remove Layer", [&] { order.undoRemoveLayer(l); });
            break;
        case 2: {
            std::vector<LayerPtr> some;
            for (const auto &l : order.layers())
                if (random() % 2)
                    some.push_back(l);
            if (!some.empty())
                order.performUserAction("Remove Layers", [&] { order.undoRemoveLayers(some); });
            break;
        }
        case 3:
            if (const LayerPtr l = present())
                order.undoLayerUp(l);
            break;
        case 4:
            if (const LayerPtr l = present())
                order.bringLayerBack(l);
            break;
        case 5:
            if (const LayerPtr l = present())
                order.undoMoveLayerFromIndexToIndex(l, order.indexOfLayer(l.get()), random() % count);
            break;
        case 6:
        case 7:
            undo.undo();
            break;
        default:
            undo.redo();
            break;
        }
        drainMainQueue();
        expectMirrored();
        if (HasFatalFailure())
            FAIL() << "at step " << step;
    }
}
