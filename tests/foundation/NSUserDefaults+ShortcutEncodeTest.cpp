#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "foundation/SrgbColor.h"
#include "platform/Defaults.h"
#include "platform/KeyedArchiver.h"
#include "shortcuts/KQShortCut.h"
#include "tests/support/InkoraFixture.h"

using namespace ShortcutEncode;

class ShortcutEncodeTest : public InkoraFixture
{
protected:
    platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
};

TEST_F(ShortcutEncodeTest, ColoursAreStoredAsTheirStringForm)
{
    setSRGBColorForKey(defaults(), inkora::SrgbColor(0.5, 0.25, 0, 1), QStringLiteral("TextBackgroundColor"));

    EXPECT_EQ(defaults().stringForKey(QStringLiteral("TextBackgroundColor")),
              QStringLiteral("0.500000+0.250000+0.000000+1.000000"));
    EXPECT_TRUE(OnOffColor::isEqualToSRGBColor(srgbColorForKey(defaults(), QStringLiteral("TextBackgroundColor")),
                                               inkora::SrgbColor(0.5, 0.25, 0, 1)));

    setSRGBColorForKey(defaults(), inkora::SrgbColor(), QStringLiteral("TextBackgroundColor"));
    EXPECT_FALSE(defaults().objectForKey(QStringLiteral("TextBackgroundColor")).isValid());
}

TEST_F(ShortcutEncodeTest, MalformedOrOtherKindsOfStoredColourReadAsNone)
{
    defaults().setObject(QStringLiteral("0.1+0.2+0.3"), QStringLiteral("Three"));
    defaults().setInteger(7, QStringLiteral("Number"));
    defaults().setObject(QByteArray("unreadable"), QStringLiteral("Archive"));

    EXPECT_FALSE(srgbColorForKey(defaults(), QStringLiteral("Three")).isValid());
    EXPECT_FALSE(srgbColorForKey(defaults(), QStringLiteral("Number")).isValid());
    EXPECT_FALSE(srgbColorForKey(defaults(), QStringLiteral("Missing")).isValid());
    // An archived colour that cannot be read is dropped in favour of the text form.
    EXPECT_FALSE(srgbColorForKey(defaults(), QStringLiteral("Archive")).isValid());
    EXPECT_FALSE(defaults().objectForKey(QStringLiteral("Archive")).isValid());
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Number")), 7);
}

TEST_F(ShortcutEncodeTest, ShortcutsAreStoredAsBase64Text)
{
    auto undo = KQShortCut::shortCutWithKeyCode(6, 0x100000, nullptr, QStringLiteral("undoWithEvent:"));
    setShortcutForKey(defaults(), undo, QStringLiteral("ShortcutUndo"));

    EXPECT_EQ(defaults().stringForKey(QStringLiteral("ShortcutUndo")),
              QStringLiteral("dW5kb1dpdGhFdmVudDosMTA0ODU3Niw2LDA="));
    const auto read = shortcutForKey(defaults(), QStringLiteral("ShortcutUndo"));
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->isEqual(*undo));
    EXPECT_EQ(read->action(), QStringLiteral("undoWithEvent:"));

    setShortcutForKey(defaults(), nullptr, QStringLiteral("ShortcutUndo"));
    EXPECT_FALSE(shortcutForKey(defaults(), QStringLiteral("ShortcutUndo")));
    defaults().setInteger(3, QStringLiteral("ShortcutNumber"));
    EXPECT_FALSE(shortcutForKey(defaults(), QStringLiteral("ShortcutNumber")));
}

TEST_F(ShortcutEncodeTest, ArchivedShortcutIsReadOnceAndRewrittenAsText)
{
    auto legacy = KQShortCut::shortCutWithKeyCode(12, 0x100000, nullptr, QStringLiteral("quitWithEvent:"));
    legacy->setDisabled(true);
    const std::optional<QByteArray> archive = platform::KeyedArchiver::archivedData(*legacy);
    ASSERT_TRUE(archive);
    defaults().setObject(*archive, QStringLiteral("ShortcutQuit"));

    const auto read = shortcutForKey(defaults(), QStringLiteral("ShortcutQuit"));

    ASSERT_TRUE(read);
    EXPECT_EQ(read->action(), QStringLiteral("quitWithEvent:"));
    EXPECT_EQ(read->keyCode(), 12);
    EXPECT_EQ(read->modifierFlags(), 0x100000u);
    EXPECT_TRUE(read->disabled());
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("ShortcutQuit")), read->shortcutObjectStringValue());
}

TEST_F(ShortcutEncodeTest, UnreadableArchivedShortcutIsRemoved)
{
    defaults().setObject(QByteArray("bplist00 but not really"), QStringLiteral("ShortcutQuit"));
    log().expectWarning(""); // the unarchiver names what was wrong in one line

    EXPECT_FALSE(shortcutForKey(defaults(), QStringLiteral("ShortcutQuit")));
    EXPECT_FALSE(defaults().objectForKey(QStringLiteral("ShortcutQuit")).isValid());
}
