#include "foundation/ToolTables.h"

#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/SrgbColor.h"
#include "platform/Defaults.h"
#include "tests/support/InkoraFixture.h"

#include <vector>

using inkora::ToolTables;

class ToolTablesTest : public InkoraFixture
{
};

TEST_F(ToolTablesTest, ToolTypesNamesGroupsAndActions)
{
    struct Row
    {
        quint64 type;
        const char *name;
        quint64 action;
        const char *group;
    };
    const std::vector<Row> rows = {
        {0, "Brush", 37, "GroupBrush"},         {1, "Arrow", 39, "GroupArrow"},
        {2, "Rectangle", 41, "GroupRectangle"}, {3, "Text", 43, "GroupText"},
        {4, "Quick Arrow", 38, "GroupBrush"},   {5, "Line", 40, "GroupArrow"},
        {6, "Ellipse", 42, "GroupRectangle"},   {7, "Plain Text", ToolTables::kNoExtraAction, "GroupText"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MRKOUtils::stringForToolType(row.type), QLatin1String(row.name));
        EXPECT_EQ(quint64(MRKOUtils::toolTypeForString(QLatin1String(row.name))), row.type);
        EXPECT_EQ(MRKOUtils::extraActionForToolType(row.type), row.action);
        EXPECT_EQ(MRKOUtils::stringForToolGroup(row.type % 4), QLatin1String(row.group));
        if (row.type < 7 && row.type != 0) {
            EXPECT_EQ(quint64(MRKOUtils::toolTypeForExtraAction(row.action)), row.type);
        }
    }
    EXPECT_EQ(MRKOUtils::stringForToolType(8), QStringLiteral(""));
    EXPECT_EQ(quint64(MRKOUtils::toolTypeForString(QStringLiteral("Pencil"))), ToolTables::kNoExtraAction);
    EXPECT_EQ(MRKOUtils::extraActionForToolType(9), ToolTables::kNoExtraAction);
    EXPECT_EQ(MRKOUtils::stringForToolGroup(4), QStringLiteral("GroupBrush"));
    // Outside 38 ... 43, the brush's own 37 included, an action gives the brush.
    for (quint64 action : {0ull, 37ull, 44ull})
        EXPECT_EQ(MRKOUtils::toolTypeForExtraAction(action), MRKOToolTypeBrush) << action;

    EXPECT_EQ(MRKOUtils::extraActionForString(QStringLiteral("Thickness")), 4u);
    EXPECT_EQ(MRKOUtils::extraActionForString(QStringLiteral("ColorWheel")), 46u);
    EXPECT_EQ(MRKOUtils::extraActionForString(QStringLiteral("FreezeMode")), 6u);
    EXPECT_EQ(MRKOUtils::extraActionForString(QStringLiteral("Quick Arrow")), 38u);
    EXPECT_EQ(MRKOUtils::extraActionForString(QStringLiteral("Undo")), ToolTables::kNoExtraAction);
}

TEST_F(ToolTablesTest, RelatedTypesShareOneButton)
{
    EXPECT_EQ(MRKOUtils::relatedTypesForToolType(4), (QList<quint64>{0, 4}));
    EXPECT_EQ(MRKOUtils::relatedTypesForToolType(1), (QList<quint64>{1, 5}));
    EXPECT_EQ(MRKOUtils::relatedTypesForToolType(6), (QList<quint64>{2, 6}));
    log().expectWarning("has no related types");
    EXPECT_TRUE(MRKOUtils::relatedTypesForToolType(3).isEmpty());
    EXPECT_TRUE(MRKOUtils::relatedTypesForToolType(7).isEmpty());
    EXPECT_EQ(log().count(QStringLiteral("Type 7 has no related types")), 1);
    EXPECT_TRUE(MRKOUtils::imageForToolType(7).isNull());
    EXPECT_TRUE(MRKOUtils::bigImageForToolType(12).isNull());
}

TEST_F(ToolTablesTest, ToolTipsNameTheSingleKeyOfTheirAction)
{
    EXPECT_EQ(MRKOUtils::toolsDescriptions().size(), 34);
    // The brush sits on the B slot and the next-thickness action on the right bracket by default.
    EXPECT_EQ(MRKOUtils::toolDescriptionWithIdentifier(QStringLiteral("Brush")), QStringLiteral("Brush Tool (B)"));
    EXPECT_EQ(MRKOUtils::toolDescriptionWithIdentifier(QStringLiteral("Thickness")),
              QStringLiteral("Tool Thickness (])"));
    EXPECT_EQ(MRKOUtils::toolDescriptionWithIdentifier(QStringLiteral("Undo")), QStringLiteral("Undo"));
    EXPECT_EQ(MRKOUtils::toolDescriptionWithIdentifier(QStringLiteral("Plain Text")), QStringLiteral("Description"));
    // Without a Function key the flashlight's default is the grave accent alone.
    EXPECT_EQ(MRKOUtils::toolDescriptionWithIdentifier(QStringLiteral("Flashlight")),
              QStringLiteral("Flashlight (\u21E7 or `)"));
}

TEST_F(ToolTablesTest, ToolTipOmitsTheKeyWhenNoSlotHoldsTheAction)
{
    // Slot 11 (B) holds nothing; the arrow's slot A is given the brush's action.
    MRKOUtils::userDefaults().setInteger(0, QStringLiteral("SingleKeyActionSlot11"));
    MRKOUtils::userDefaults().setInteger(37, QStringLiteral("SingleKeyActionSlot13"));

    EXPECT_EQ(MRKOUtils::toolDescriptionWithIdentifier(QStringLiteral("Brush")), QStringLiteral("Brush Tool (A)"));
    EXPECT_EQ(MRKOUtils::toolDescriptionWithIdentifier(QStringLiteral("Arrow")), QStringLiteral("Arrow Tool"));
    EXPECT_EQ(MRKOUtils::actionKeyStringDescriptionForString(QStringLiteral("Arrow")), QStringLiteral(""));
}

TEST_F(ToolTablesTest, SnapshotPanelHighlightColours)
{
    EXPECT_EQ(MRKOUtils::highlightColorForIdentifier(QStringLiteral("CleanUpShots")),
              inkora::SrgbColor(0.92, 0.78, 0.2, 1).toQColor());
    EXPECT_EQ(MRKOUtils::highlightColorForIdentifier(QStringLiteral("PutBackSnapshot")),
              inkora::SrgbColor(0.2, 0.92, 0.38, 1).toQColor());
    EXPECT_EQ(MRKOUtils::highlightColorForIdentifier(QStringLiteral("Brush")), OnOffColor::iconOnColor());
}
