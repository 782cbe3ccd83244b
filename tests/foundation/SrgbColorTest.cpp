#include "foundation/SrgbColor.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "objects/ObjectArchiving.h"
#include "platform/Archivable.h"
#include "platform/Defaults.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"
#include "tests/support/InkoraFixture.h"

#include <vector>

using inkora::SrgbColor;

namespace {

/// Carries one colour through a keyed archive, as drawings and snapshots store theirs.
class ColourHolder final : public platform::Archivable
{
public:
    explicit ColourHolder(SrgbColor color = {}) : m_color(color) {}
    [[nodiscard]] QString archiveClassName() const override { return QStringLiteral("ColourHolder"); }
    void encodeWithCoder(platform::KeyedArchiver &coder) const override
    {
        inkora::encodeColor(coder, m_color, QStringLiteral("color"));
    }
    static platform::ArchivablePtr decode(platform::KeyedUnarchiver &coder)
    {
        return std::make_shared<ColourHolder>(inkora::decodeColor(coder, QStringLiteral("color")));
    }
    SrgbColor m_color;
};

} // namespace

class SrgbColorTest : public InkoraFixture
{
protected:
    platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }

    SrgbColor throughArchive(const SrgbColor &color)
    {
        inkora::registerObjectArchiveClasses();
        platform::ArchiveClasses::registerClass(QStringLiteral("ColourHolder"), {}, &ColourHolder::decode);
        const std::optional<QByteArray> data = platform::KeyedArchiver::archivedData(ColourHolder(color));
        EXPECT_TRUE(data);
        if (!data)
            return {};
        const auto holder =
            platform::KeyedUnarchiver::unarchivedObjectOfClass<ColourHolder>(QStringLiteral("ColourHolder"), *data);
        EXPECT_TRUE(holder);
        return holder ? holder->m_color : SrgbColor();
    }
};

TEST_F(SrgbColorTest, SixDecimalTextsRoundTripUnchangedThroughEveryStore)
{
    const std::vector<const char *> texts = {
        "0.123456+0.654321+0.999999+0.333333",  "0.500010+0.000000+0.000000+1.000000",
        "1.000000+0.000000+0.000000+1.000000",  "0.000001+0.999999+0.000015+0.000001",
        "1.250000+-0.100000+0.500000+0.750000", // extended sRGB stays as written
    };
    for (const char *text : texts) {
        SCOPED_TRACE(text);
        const QString stored = QString::fromLatin1(text);
        const SrgbColor color = OnOffColor::srgbColorWithString(stored);
        ASSERT_TRUE(color.isValid());
        EXPECT_EQ(OnOffColor::srgbColorStringValue(color), stored);

        ShortcutEncode::setSRGBColorForKey(defaults(), color, QStringLiteral("ColorSavedKey"));
        EXPECT_EQ(defaults().stringForKey(QStringLiteral("ColorSavedKey")), stored);
        EXPECT_EQ(ShortcutEncode::srgbColorForKey(defaults(), QStringLiteral("ColorSavedKey")), color);

        EXPECT_EQ(throughArchive(color), color);
    }
    EXPECT_FALSE(throughArchive(SrgbColor()).isValid());
}

TEST_F(SrgbColorTest, EqualityIsExactAndNoColourEqualsOnlyItself)
{
    EXPECT_NE(SrgbColor(0.5, 0, 0, 1), SrgbColor(0.50001, 0, 0, 1));
    EXPECT_FALSE(OnOffColor::isEqualToSRGBColor(SrgbColor(0.5, 0, 0, 1), SrgbColor(0.50001, 0, 0, 1)));
    EXPECT_NE(SrgbColor(1, 0, 0, 1), SrgbColor(1, 0, 0, 0.999));
    EXPECT_EQ(SrgbColor(0.1 + 0.2, 0, 0, 1), SrgbColor(0.1 + 0.2, 0, 0, 1));

    EXPECT_EQ(SrgbColor(), SrgbColor());
    EXPECT_NE(SrgbColor(), SrgbColor(0, 0, 0, 0));
    EXPECT_FALSE(OnOffColor::isEqualToSRGBColor(SrgbColor(), SrgbColor()));
}

TEST_F(SrgbColorTest, QColorIsOnlyTheWayInAndTheWayToPaint)
{
    // A QColor's 16-bit components come back as the short decimals they were made from.
    const SrgbColor fromQt = QColor::fromRgbF(0.5f, 0.25f, 0.35f, 1);
    EXPECT_EQ(fromQt, SrgbColor(0.5, 0.25, 0.35, 1));
    EXPECT_FALSE(SrgbColor(QColor()).isValid());
    EXPECT_EQ(SrgbColor(QColor(255, 0, 0)), SrgbColor(1, 0, 0, 1));

    EXPECT_FALSE(SrgbColor().toQColor().isValid());
    EXPECT_EQ(SrgbColor(0, 0.5, 1, 1).toQColor(), QColor::fromRgbF(0, 0.5f, 1, 1));
    EXPECT_EQ(SrgbColor(0.2, 0.4, 0.6, 1).withAlpha(0.5), SrgbColor(0.2, 0.4, 0.6, 0.5));
    EXPECT_FALSE(SrgbColor().withAlpha(1).isValid());
}
