#include "shortcuts/MRKOTextBadgeShortcutSegControl.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Popover.h"
#include "shortcuts/ShortcutsNeighbours.h"
#include "tests/support/InkoraFixture.h"

#include <QLineEdit>
#include <QTest>

namespace {

constexpr qint64 kIndex = 3;
const QString kKey = QStringLiteral("TextBadge3");

QVariant storedText()
{
    return MRKOUtils::userDefaults().objectForKey(kKey);
}

class MRKOTextBadgeShortcutSegControlTest : public InkoraFixture
{
protected:
    std::unique_ptr<MRKOTextBadgeShortcutSegControl> makeControl()
    {
        auto control = std::make_unique<MRKOTextBadgeShortcutSegControl>(kIndex);
        control->resize(200, 24);
        control->show();
        return control;
    }
};

TEST_F(MRKOTextBadgeShortcutSegControlTest, TrimsToWholeCharactersCoveringTwentyUnits)
{
    const QString thirty = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCD");
    EXPECT_EQ(MRKOTextBadgeShortcutSegControl::trimStringIfNeeded(thirty), thirty.left(20));

    // The 20th unit is the first half of an emoji: the emoji stays whole.
    const QString emoji = QStringLiteral("\U0001F600");
    const QString straddling = QString(19, QLatin1Char('x')) + emoji + QStringLiteral("yz");
    EXPECT_EQ(MRKOTextBadgeShortcutSegControl::trimStringIfNeeded(straddling), QString(19, QLatin1Char('x')) + emoji);

    // A long paste of emoji with combining marks: never more than the characters over the first 20 units, none
    // of them broken.
    QString paste;
    while (paste.size() < 4000)
        paste += QStringLiteral("\U0001F469\u200D\U0001F4BBe\u0301\u0302\U0001F1E9\U0001F1EA");
    const QString trimmed = MRKOTextBadgeShortcutSegControl::trimStringIfNeeded(paste);
    EXPECT_TRUE(paste.startsWith(trimmed));
    EXPECT_GE(trimmed.size(), 20);
    EXPECT_LT(trimmed.size(), 30);
    EXPECT_FALSE(trimmed.back().isHighSurrogate());
    EXPECT_TRUE(QString(paste.at(trimmed.size())).isEmpty() || !paste.at(trimmed.size()).isLowSurrogate());
}

TEST_F(MRKOTextBadgeShortcutSegControlTest, ChoosingTheCustomSegmentStoresTextAtOnceAndOpensTheEditor)
{
    auto control = makeControl();
    EXPECT_EQ(control->selectedSegment(), 1);
    EXPECT_EQ(control->labelForSegment(0), QStringLiteral("Custom Badge"));

    control->segmentHasSeleted(0);
    EXPECT_EQ(storedText().toString(), QStringLiteral("Text"));
    EXPECT_EQ(inkora::customTextBadgeString(kIndex), QStringLiteral("Text"));
    drainMainQueue();
    ASSERT_TRUE(control->popover());
    EXPECT_TRUE(control->popover()->isShown());

    // Typed text is kept only when the editor closes, trimmed.
    control->customTextField()->setText(QString(30, QLatin1Char('w')));
    EXPECT_EQ(storedText().toString(), QStringLiteral("Text"));
    QTest::keyClick(control->customTextField(), Qt::Key_Return);
    EXPECT_EQ(storedText().toString(), QString(20, QLatin1Char('w')));
    EXPECT_EQ(control->labelForSegment(0), QString(20, QLatin1Char('w')));
    EXPECT_FALSE(control->customTextField());
}

TEST_F(MRKOTextBadgeShortcutSegControlTest, ClearedTextStoresTheDefaultAndSegmentOneRemovesTheKey)
{
    MRKOUtils::userDefaults().setObject(QStringLiteral("Hi"), kKey);
    auto control = makeControl();
    EXPECT_EQ(control->selectedSegment(), 0);
    EXPECT_EQ(control->labelForSegment(0), QStringLiteral("Hi"));

    control->segmentHasSeleted(0);
    drainMainQueue();
    ASSERT_TRUE(control->customTextField());
    control->customTextField()->clear();
    control->popover()->close();
    EXPECT_EQ(storedText().toString(), QStringLiteral("Text"));

    control->segmentHasSeleted(1);
    EXPECT_FALSE(storedText().isValid());
    EXPECT_EQ(control->labelForSegment(0), QStringLiteral("Custom Badge"));
    EXPECT_TRUE(inkora::customTextBadgeString(kIndex).isNull());
}

TEST_F(MRKOTextBadgeShortcutSegControlTest, PresetTextChoosesTheSegment)
{
    auto control = makeControl();
    control->applyAdjustmentWithString(QStringLiteral("Step"));
    EXPECT_EQ(control->selectedSegment(), 0);
    EXPECT_EQ(storedText().toString(), QStringLiteral("Step"));

    control->applyAdjustmentWithString(QString());
    EXPECT_EQ(control->selectedSegment(), 1);
    EXPECT_FALSE(storedText().isValid());
}

} // namespace
