#include "snapshots/OrderedRelation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Item
{
    std::string name;
};
using Relation = OrderedRelation<Item>;
using Ptr = std::shared_ptr<Item>;

/// The notices a relation sends, "will"/"did" with the kind and the indexes, e.g. "did+3" for an insertion at 3.
struct Notices
{
    std::vector<std::string> seen;
    explicit Notices(Relation &relation)
    {
        relation.addObserver([this](Relation::Phase phase, const Relation::Change &change) {
            std::string text = phase == Relation::Phase::WillChange ? "will" : "did";
            text += change.kind == Relation::Kind::Insertion ? "+" : change.kind == Relation::Kind::Removal ? "-" : "~";
            for (size_t i = 0; i < change.indexes.size(); ++i)
                text += (i ? "," : "") + std::to_string(change.indexes[i]);
            seen.push_back(text);
        });
    }
};

std::string names(const Relation &relation)
{
    std::string out;
    for (const Ptr &item : relation.objects())
        out += item->name;
    return out;
}

Ptr item(const char *name)
{
    return std::make_shared<Item>(Item{name});
}

class OrderedRelationTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"a", "b", "c"})
            relation.addObject(item(name));
    }
    Relation relation;
};

} // namespace

TEST_F(OrderedRelationTest, EachMutatorTellsItsKindAndIndexesBeforeAndAfter)
{
    struct Row
    {
        const char *name;
        std::function<void(Relation &)> change;
        std::string order;
        std::vector<std::string> notices;
    };
    const std::vector<Row> rows = {
        {"AddObject", [](Relation &r) { r.addObject(item("d")); }, "abcd", {"will+3", "did+3"}},
        {"InsertAtIndex", [](Relation &r) { r.insertObjectAtIndex(item("d"), 0); }, "dabc", {"will+0", "did+0"}},
        {"RemoveAtIndex", [](Relation &r) { r.removeObjectAtIndex(1); }, "ac", {"will-1", "did-1"}},
        {"InsertAtIndexes",
         [](Relation &r) {
             r.insertObjectsAtIndexes({item("x"), item("y")}, {1, 3});
         },
         "axbyc",
         {"will+1,3", "did+1,3"}},
        {"RemoveAtIndexes",
         [](Relation &r) {
             r.removeObjectsAtIndexes({0, 2});
         },
         "b",
         {"will-0,2", "did-0,2"}},
        {"ReplaceAtIndex", [](Relation &r) { r.replaceObjectAtIndex(2, item("z")); }, "abz", {"will~2", "did~2"}},
        {"ReplaceAtIndexes",
         [](Relation &r) {
             r.replaceObjectsAtIndexes({0, 1}, {item("x"), item("y")});
         },
         "xyc",
         {"will~0,1", "did~0,1"}},
        {"RemoveObject", [](Relation &r) { r.removeObject(r.at(2).get()); }, "ab", {"will-2", "did-2"}},
        {"AddObjectsOnlyNewOnes",
         [](Relation &r) {
             r.addObjects({r.at(0), item("d")});
         },
         "abcd",
         {"will+3", "did+3"}},
        {"RemoveObjects",
         [](Relation &r) {
             r.removeObjects({r.at(2).get(), r.at(0).get()});
         },
         "b",
         {"will-0,2", "did-0,2"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Relation relation;
        for (const char *name : {"a", "b", "c"})
            relation.addObject(item(name));
        Notices notices(relation);
        row.change(relation);
        EXPECT_EQ(names(relation), row.order);
        EXPECT_EQ(notices.seen, row.notices);
    }
}

TEST_F(OrderedRelationTest, ChangesThatChangeNothingSendNothing)
{
    Notices notices(relation);
    const Ptr stranger = item("x");
    relation.removeObject(stranger.get());
    relation.addObjects({relation.at(1)});
    relation.removeObjects({stranger.get()});
    relation.insertObjectAtIndex(relation.at(0), 2); // already there: an ordered set holds it once
    relation.removeObjectAtIndex(3);
    EXPECT_EQ(names(relation), "abc");
    EXPECT_TRUE(notices.seen.empty());
}
