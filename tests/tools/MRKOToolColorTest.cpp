#include "tools/MRKOToolColor.h"

#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/NotificationCenter.h"
#include "tests/support/InkoraFixture.h"

#include <vector>

using inkora::SrgbColor;

namespace {

const SrgbColor kRed(1, 0, 0, 1);
const SrgbColor kGreen(0, 1, 0, 1);
const SrgbColor kBlue(0, 0, 1, 1);

} // namespace

class MRKOToolColorTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_formatPosts = platform::NotificationCenter::defaultCenter().addObserver(
            kMRKOToolColorFormatChangedNotification, nullptr, [this](const platform::Notification &note) {
                EXPECT_EQ(note.sender, &MRKOToolColor::toolColor());
                ++m_posts;
            });
    }

    platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
    void setTool(qint64 type) { defaults().setInteger(type, QStringLiteral("ToolTypeKey")); }
    void store(const QString &key, const QVariant &value) { defaults().setObject(value, key); }
    QString stored(const QString &key) { return defaults().stringForKey(key); }
    /// The model, with its format read from a stored "ToolColorFormat".
    MRKOToolColor &modelWithFormat(qint64 format)
    {
        defaults().setInteger(format, QStringLiteral("ToolColorFormat"));
        MRKOToolColor &model = MRKOToolColor::toolColor();
        model.updateToolColorFormat();
        return model;
    }

    int m_posts = 0;

private:
    platform::ObserverToken m_formatPosts;
};

TEST_F(MRKOToolColorTest, FreshUserReadsRedAndNothingIsWritten)
{
    MRKOToolColor &model = MRKOToolColor::toolColor();

    EXPECT_EQ(model.toolColorFormat(), 0u);
    EXPECT_EQ(model.color(), kRed);
    EXPECT_EQ(model.defaultsKeyAccordingFormat(), QStringLiteral("ColorSavedKey"));
    EXPECT_TRUE(defaults().persistentDomain().isEmpty());
    EXPECT_EQ(m_posts, 0);
}

TEST_F(MRKOToolColorTest, PerGroupColourIsSharedByTheGroupsTools)
{
    MRKOToolColor &model = modelWithFormat(1);
    setTool(5); // Line

    model.setColor(kGreen);

    EXPECT_EQ(stored(QStringLiteral("GroupArrowColorSavedKey")), QStringLiteral("0.000000+1.000000+0.000000+1.000000"));
    setTool(1); // Arrow
    EXPECT_EQ(model.color(), kGreen);
    setTool(0); // the brush group was never set: red, and red is written for it
    EXPECT_EQ(model.color(), kRed);
    EXPECT_EQ(stored(QStringLiteral("GroupBrushColorSavedKey")), QStringLiteral("1.000000+0.000000+0.000000+1.000000"));
    // Written at once: a restart finds it.
    defaults().reload();
    EXPECT_EQ(stored(QStringLiteral("GroupArrowColorSavedKey")), QStringLiteral("0.000000+1.000000+0.000000+1.000000"));
}

TEST_F(MRKOToolColorTest, PerToolKeysKeepTheToolNamesBlank)
{
    MRKOToolColor &model = modelWithFormat(2);
    setTool(4); // Quick Arrow

    model.setColor(kBlue);

    EXPECT_EQ(model.defaultsKeyAccordingFormat(), QStringLiteral("Quick ArrowColorSavedKey"));
    EXPECT_EQ(stored(QStringLiteral("Quick ArrowColorSavedKey")),
              QStringLiteral("0.000000+0.000000+1.000000+1.000000"));
    EXPECT_FALSE(defaults().objectForKey(QStringLiteral("ColorSavedKey")).isValid());
}

TEST_F(MRKOToolColorTest, SwitchingFormatsCopiesNothingAndComesBackToEachToolsColour)
{
    MRKOToolColor &model = modelWithFormat(2);
    const std::vector<std::pair<qint64, SrgbColor>> tools = {
        {0, SrgbColor(0.1, 0.2, 0.3, 1)}, {1, kGreen}, {5, kBlue}, {6, SrgbColor(0.123456, 0.654321, 0.999999, 0.5)}};
    for (const auto &[tool, color] : tools) {
        setTool(tool);
        model.setColor(color);
    }

    model.setToolColorFormat(0);
    setTool(5);
    EXPECT_EQ(model.color(), kRed); // the shared colour was never set
    model.setColor(SrgbColor(0.5, 0.5, 0.5, 1));
    model.setToolColorFormat(2);

    for (const auto &[tool, color] : tools) {
        setTool(tool);
        EXPECT_EQ(model.color(), color) << tool;
    }
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("ToolColorFormat")), 2);
}

TEST_F(MRKOToolColorTest, OnlyADifferentFormatIsAnnouncedWhileReadingAlwaysIs)
{
    MRKOToolColor &model = modelWithFormat(1);
    EXPECT_EQ(m_posts, 1);

    model.setToolColorFormat(1);
    EXPECT_EQ(m_posts, 1);
    model.setToolColorFormat(2);
    EXPECT_EQ(m_posts, 2);
    model.updateToolColorFormat();
    model.updateToolColorFormat();
    EXPECT_EQ(m_posts, 4);
    EXPECT_TRUE(model.isFormatNotShared());
}

TEST_F(MRKOToolColorTest, UnknownFormatHasNoColourAndWritesOnlyTheSharedKey)
{
    MRKOToolColor &model = modelWithFormat(3);
    setTool(2);

    EXPECT_FALSE(model.color().isValid());
    EXPECT_EQ(model.drawingColor(), kRed); // a canvas still paints
    model.setColor(kBlue);

    EXPECT_FALSE(model.color().isValid());
    EXPECT_EQ(stored(QStringLiteral("ColorSavedKey")), QStringLiteral("0.000000+0.000000+1.000000+1.000000"));
    EXPECT_EQ(defaults().persistentDomain().keys(),
              QStringList(
                  {QStringLiteral("ColorSavedKey"), QStringLiteral("ToolColorFormat"), QStringLiteral("ToolTypeKey")}));
    model.setToolColorFormat(0);
    EXPECT_EQ(model.color(), kRed); // storing under an unknown format left the shared colour alone
}

TEST_F(MRKOToolColorTest, NoColourIsLoggedAndStoredAsRed)
{
    MRKOToolColor &model = MRKOToolColor::toolColor();
    model.setColor(kBlue);
    log().expectWarning(QStringLiteral("MRKOToolColorController setColor: color can't be nil."));

    model.setColor(SrgbColor());

    EXPECT_EQ(log().count(QStringLiteral("MRKOToolColorController setColor: color can't be nil.")), 1);
    EXPECT_EQ(model.color(), kRed);
    EXPECT_EQ(stored(QStringLiteral("ColorSavedKey")), QStringLiteral("1.000000+0.000000+0.000000+1.000000"));
}

TEST_F(MRKOToolColorTest, DamagedColourKeysReadAsRedAndAreRepaired)
{
    // A number, three parts, data that is no archive and a word, each under a key of its own.
    store(QStringLiteral("ColorSavedKey"), qint64(7));
    store(QStringLiteral("ArrowColorSavedKey"), QStringLiteral("0.1+0.2+0.3"));
    store(QStringLiteral("LineColorSavedKey"), QByteArray("not an archive"));
    store(QStringLiteral("GroupArrowColorSavedKey"), QStringLiteral("green"));

    MRKOToolColor &model = MRKOToolColor::toolColor();
    EXPECT_EQ(model.color(), kRed);
    EXPECT_EQ(stored(QStringLiteral("ColorSavedKey")), QStringLiteral("1.000000+0.000000+0.000000+1.000000"));

    model.setToolColorFormat(2);
    for (qint64 tool : {1, 5}) {
        setTool(tool);
        EXPECT_EQ(model.color(), kRed) << tool;
    }
    EXPECT_EQ(stored(QStringLiteral("ArrowColorSavedKey")), QStringLiteral("1.000000+0.000000+0.000000+1.000000"));
    EXPECT_EQ(stored(QStringLiteral("LineColorSavedKey")), QStringLiteral("1.000000+0.000000+0.000000+1.000000"));
    model.setToolColorFormat(1);
    EXPECT_EQ(model.color(), kRed);
    EXPECT_EQ(stored(QStringLiteral("GroupArrowColorSavedKey")), QStringLiteral("1.000000+0.000000+0.000000+1.000000"));
}

TEST_F(MRKOToolColorTest, StoredToolTypesOutsideTheToolsCountAsTheBrush)
{
    MRKOToolColor &model = modelWithFormat(2);
    setTool(0);
    model.setColor(kBlue);

    for (const QVariant &tool :
         {QVariant(qint64(8)), QVariant(qint64(-1)), QVariant(qint64(1) << 40), QVariant(QStringLiteral("abc"))}) {
        SCOPED_TRACE(tool.toString().toStdString());
        store(QStringLiteral("ToolTypeKey"), tool);
        EXPECT_EQ(model.toolType(), 0u);
        EXPECT_EQ(model.color(), kBlue);
        EXPECT_EQ(model.defaultsKeyAccordingFormat(), QStringLiteral("BrushColorSavedKey"));
    }
}

TEST_F(MRKOToolColorTest, StoredFormatIsReadWhenTheSettingsPropagate)
{
    AppDelegate delegate;
    delegate.prepareUserDefaults();
    defaults().setInteger(2, QStringLiteral("ToolColorFormat"));

    delegate.updateAllSettings();

    EXPECT_EQ(MRKOToolColor::toolColor().toolColorFormat(), 2u);
    EXPECT_EQ(m_posts, 1);
}

TEST_F(MRKOToolColorTest, FixedColours)
{
    EXPECT_EQ(MRKOToolColor::defaultColor(), kRed);
    EXPECT_EQ(MRKOToolColor::defaultFlashlightColor(), SrgbColor(0, 0, 0, 0.5));
    EXPECT_EQ(MRKOToolColor::defaultBackgroundColor(), SrgbColor(0, 0, 0, 0.5));
    EXPECT_EQ(MRKOToolColor::flashlightColor(), SrgbColor(0, 0, 0, 0.5));
    store(QStringLiteral("FlashlightBackgroundColor"), QStringLiteral("0.200000+0.300000+0.400000+0.600000"));
    EXPECT_EQ(MRKOToolColor::flashlightColor(), SrgbColor(0.2, 0.3, 0.4, 0.6));
}
