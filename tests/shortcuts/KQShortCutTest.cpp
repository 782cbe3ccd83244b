#include "shortcuts/KQShortCut.h"

#include "foundation/NSString+Bezier.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "tests/support/InkoraFixture.h"

#include <vector>

namespace {

std::shared_ptr<KQShortCut> parse(const char *text)
{
    return KQShortCut::shortcutObjectWithString(Bezier::base64EncodedString(QString::fromLatin1(text)));
}

} // namespace

TEST(KQShortCutTest, StringFormIsBase64OfActionFlagsKeyAndDisabled)
{
    auto undo = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("undoWithEvent:"));
    EXPECT_EQ(undo->shortcutObjectStringValue(), QStringLiteral("dW5kb1dpdGhFdmVudDosMTA0ODU3Niw2LDA="));
    undo->setDisabled(true);
    EXPECT_EQ(Bezier::decodedFromBase64String(undo->shortcutObjectStringValue()),
              QStringLiteral("undoWithEvent:,1048576,6,1"));

    const auto read = KQShortCut::shortcutObjectWithString(undo->shortcutObjectStringValue());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->action(), QStringLiteral("undoWithEvent:"));
    EXPECT_EQ(read->modifierFlags(), 0x100000u);
    EXPECT_EQ(read->keyCode(), 6);
    EXPECT_TRUE(read->disabled());
    EXPECT_EQ(read->target(), nullptr);
    EXPECT_FALSE(read->isDefault());
}

TEST(KQShortCutTest, MalformedStringsReadAsNothing)
{
    for (const char *text : {"undoWithEvent:,1048576,6", "undoWithEvent:,1048576,6,0,", ""}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parse(text));
    }
    EXPECT_FALSE(KQShortCut::shortcutObjectWithString(QStringLiteral("not base64!")));
    EXPECT_FALSE(KQShortCut::shortcutObjectWithString(QStringLiteral("/w==")));
}

TEST(KQShortCutTest, NumbersAreReadLeniently)
{
    struct Row
    {
        const char *text;
        quint64 flags;
        quint16 keyCode;
        bool disabled;
    };
    const std::vector<Row> rows = {
        {"a:, 1048576x,65791,2", 0x100000, 255, false}, // low 16 bits of the key; 2 is not "disabled"
        {"a:,abc,7junk,1", 0, 7, true},
        {"a:,131072,99999999999,0", 0x20000, 0xFFFF, false}, // the key saturates at 32 bits first
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        const auto shortCut = parse(row.text);
        ASSERT_TRUE(shortCut);
        EXPECT_EQ(shortCut->modifierFlags(), row.flags);
        EXPECT_EQ(shortCut->keyCode(), row.keyCode);
        EXPECT_EQ(shortCut->disabled(), row.disabled);
    }
    EXPECT_TRUE(parse("a:,0,65791,0")->isNotAssigned());
}

TEST(KQShortCutTest, EqualityIsKeyAndFlagsOnly)
{
    const auto a = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("undoWithEvent:"));
    const auto b = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("quitWithEvent:"));
    const auto c = KQShortCut::shortCutWithKeyCode(6, 0x120000, nullptr, QStringLiteral("undoWithEvent:"));
    EXPECT_TRUE(a->isEqual(*b));
    EXPECT_EQ(a->hash(), b->hash());
    EXPECT_FALSE(a->isEqual(*c));
}

class KQShortCutMonitorTest : public InkoraFixture
{
};

TEST_F(KQShortCutMonitorTest, EachKeyCombinationIsBoundOnceAndFunctionShortcutsAreKeptApart)
{
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    const auto undo = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("undoWithEvent:"));
    const auto same = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("quitWithEvent:"));
    const auto fn = KQShortCut::shortCutWithKeyCode(18, 0x800000, nullptr, QStringLiteral("color1WithEvent:"));

    EXPECT_EQ(monitor.bindShortCut(undo), undo);
    EXPECT_EQ(monitor.bindShortCut(same), same); // returned, but not bound
    monitor.bindShortCut(fn);

    EXPECT_EQ(monitor.allShortCuts(), (QList<std::shared_ptr<KQShortCut>>{undo, fn}));
    EXPECT_EQ(monitor.fnContainingShortCuts(), QList<std::shared_ptr<KQShortCut>>{fn});

    monitor.unbindShortCut(undo);
    monitor.unbindShortCut(nullptr);
    EXPECT_EQ(monitor.allShortCuts(), QList<std::shared_ptr<KQShortCut>>{fn});
}
