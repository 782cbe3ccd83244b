#include "foundation/NSMenuItem+KeyEquivalent.h"
#include "platform/Keys.h"
#include "shortcuts/KQShortCut.h"
#include "tests/support/InkoraFixture.h"

#include <QAction>
#include <QFont>

using namespace platform;

namespace {

class KeyEquivalentTest : public InkoraFixture
{
};

TEST_F(KeyEquivalentTest, ItemShowsTheShortcutAsItsKeySequence)
{
    struct Row
    {
        const char *name;
        quint16 keyCode;
        quint64 flags;
        QString equivalent;
        QString sequence; // portable text
    };
    const Row rows[] = {
        {"CommandShiftZ", kKeyZ, kCommandFlag | kShiftFlag, QStringLiteral("Z"), QStringLiteral("Ctrl+Shift+Z")},
        {"ControlOptionD", kKeyD, kControlFlag | kOptionFlag, QStringLiteral("D"), QStringLiteral("Meta+Alt+D")},
        {"F12", kKeyF12, 0, QString(QChar(0xF70F)), QStringLiteral("F12")},
        {"FunctionF5", kKeyF5, kFunctionFlag, QString(QChar(0xF708)), QStringLiteral("F5")},
        {"Delete", kKeyDelete, kCommandFlag, QString(), QStringLiteral("Ctrl+Backspace")},
        {"KeypadFive", kKeyKeypad5, kCommandFlag, QString(), QStringLiteral("Ctrl+Num+5")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QAction item(QStringLiteral("Command"));
        const auto shortCut = KQShortCut::shortCutWithKeyCode(row.keyCode, row.flags, nullptr, QStringLiteral("x:"));
        KeyEquivalent::setKeyEquivalentWithShortCut(item, shortCut.get());

        if (!row.equivalent.isNull()) {
            EXPECT_EQ(KeyEquivalent::keyEquivalent(item), row.equivalent);
        }
        EXPECT_EQ(KeyEquivalent::keyEquivalentModifierMask(item), row.flags);
        EXPECT_EQ(item.shortcut().toString(QKeySequence::PortableText), row.sequence);
        EXPECT_EQ(item.text(), QStringLiteral("Command"));
    }
}

TEST_F(KeyEquivalentTest, MenusWriteTheSuperKeyAsDesktopsDo)
{
    QAction item(QStringLiteral("Show Inkora"));
    const auto shortCut =
        KQShortCut::shortCutWithKeyCode(kKeyD, kControlFlag | kOptionFlag, nullptr, QStringLiteral("x:"));
    KeyEquivalent::setKeyEquivalentWithShortCut(item, shortCut.get());
    EXPECT_EQ(item.shortcut().toString(QKeySequence::NativeText), QStringLiteral("Super+Alt+D"));
}

TEST_F(KeyEquivalentTest, DisabledOrMissingShortcutLeavesTheItemAlone)
{
    QAction item(QStringLiteral("Undo"));
    item.setShortcut(QKeySequence(QStringLiteral("Ctrl+U")));
    auto shortCut = KQShortCut::shortCutWithKeyCode(kKeyZ, kCommandFlag, nullptr, QStringLiteral("undoWithEvent:"));
    shortCut->setDisabled(true);

    KeyEquivalent::setKeyEquivalentWithShortCut(item, shortCut.get());
    KeyEquivalent::setKeyEquivalentWithShortCut(item, nullptr);

    EXPECT_EQ(item.shortcut(), QKeySequence(QStringLiteral("Ctrl+U")));
    EXPECT_TRUE(KeyEquivalent::keyEquivalent(item).isEmpty());

    QAction fresh(QStringLiteral("Redo"));
    KeyEquivalent::setKeyEquivalentWithShortCut(fresh, shortCut.get());
    EXPECT_TRUE(fresh.shortcut().isEmpty());
}

TEST_F(KeyEquivalentTest, HeaderItemIsBoldWithoutActionOrKey)
{
    const std::unique_ptr<QAction> header = KeyEquivalent::topItemWithTitle(QStringLiteral("Presets"));
    EXPECT_EQ(header->text(), QStringLiteral("Presets"));
    EXPECT_EQ(header->data().toInt(), -1);
    EXPECT_TRUE(header->font().bold());
    EXPECT_EQ(header->font().pointSizeF(), 12);
    EXPECT_TRUE(header->shortcut().isEmpty());
    EXPECT_TRUE(KeyEquivalent::keyEquivalent(*header).isEmpty());
    EXPECT_FALSE(header->isEnabled());
}

} // namespace
