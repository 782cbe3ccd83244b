#include "shortcuts/MRKOActionPopupButton.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "shortcuts/MRKOActionSourcePopupButton.h"
#include "shortcuts/MRKOSingleKeyActionController.h"
#include "tests/support/InkoraFixture.h"

#include <QTest>

#include <set>

namespace {

constexpr qint64 kSlot = 11; // the B key, Brush by default
const QString kKey = QStringLiteral("SingleKeyActionSlot11");

class MRKOActionPopupButtonTest : public InkoraFixture
{
};

TEST_F(MRKOActionPopupButtonTest, TemplateTagsEveryItemWithItsActionAndMarksTheDefaults)
{
    MRKOActionSourcePopupButton source;
    std::set<quint64> tags;
    for (int i = 0; i < source.count(); ++i) {
        const QVariant tag = source.itemData(i);
        if (!tag.isValid())
            continue; // a separator
        EXPECT_TRUE(tags.insert(tag.toULongLong()).second) << "twice: " << tag.toULongLong();
    }
    EXPECT_EQ(tags.size(), MRKOActionSourcePopupButton::kActionCount);
    EXPECT_EQ(*tags.rbegin(), 49u);
    // The ten colour swatches, black and white, and the seven tools.
    for (quint64 slot = 0; slot <= 17; ++slot) {
        const int index = source.indexOfTag(MRKOSingleKeyActionController::defaultActionWithSlot(slot));
        EXPECT_FALSE(source.itemIcon(index).isNull()) << "slot " << slot;
    }
}

TEST_F(MRKOActionPopupButtonTest, PickStoresAndAltClickRestoresTheDefault)
{
    MRKOActionSourcePopupButton source;
    MRKOActionPopupButton chooser(kSlot, &source);
    chooser.resize(200, 24);
    chooser.show();
    EXPECT_EQ(chooser.count(), source.count());
    EXPECT_EQ(chooser.currentData().toULongLong(), 37u);

    chooser.setCurrentIndex(chooser.findData(quint64(12)));
    chooser.segmentHasSeleted();
    EXPECT_EQ(MRKOUtils::userDefaults().integerForKey(kKey), 12);
    EXPECT_EQ(MRKOSingleKeyActionController::actionForSlot(kSlot), 12u);

    QTest::mouseClick(&chooser, Qt::LeftButton, Qt::AltModifier);
    EXPECT_FALSE(MRKOUtils::userDefaults().objectForKey(kKey).isValid());
    EXPECT_EQ(MRKOSingleKeyActionController::actionForSlot(kSlot), 37u);
    EXPECT_EQ(chooser.currentData().toULongLong(), 37u);
}

TEST_F(MRKOActionPopupButtonTest, SkippedSlotStoresZero)
{
    MRKOActionSourcePopupButton source;
    MRKOActionPopupButton chooser(kSlot, &source);
    chooser.setSkipAction();

    const QVariant stored = MRKOUtils::userDefaults().objectForKey(kKey);
    ASSERT_TRUE(stored.isValid());
    EXPECT_EQ(stored.toLongLong(), 0);
    EXPECT_EQ(MRKOSingleKeyActionController::actionForSlot(kSlot), 0u);
    EXPECT_EQ(chooser.currentData().toULongLong(), 0u);
}

} // namespace
