#include "app/LiveSettings.h"
#include "foundation/NSArray+VariFilters.h"
#include "objects/CALayer+OpaqueContent.h"
#include "objects/MRKOArrowPill.h"
#include "objects/MRKOBrushPill.h"
#include "objects/MRKORectanglePill.h"
#include "objects/MRKOTextPill.h"
#include "tests/support/InkoraFixture.h"

#include <string>
#include <vector>

namespace {

struct Drawings
{
    platform::LayerPtr stroke = platform::Layer::create(); // no model, as brush strokes are cut
    platform::LayerPtr brush = platform::Layer::create();
    platform::LayerPtr arrow = platform::Layer::create();
    platform::LayerPtr rectangle = platform::Layer::create();
    platform::LayerPtr text = platform::Layer::create();

    Drawings()
    {
        OpaqueContent::setPill(*brush, std::make_shared<MRKOBrushPill>());
        OpaqueContent::setPill(*arrow, std::make_shared<MRKOArrowPill>());
        OpaqueContent::setPill(*rectangle, std::make_shared<MRKORectanglePill>());
        OpaqueContent::setTextPill(*text, std::make_shared<MRKOTextPill>());
    }
    [[nodiscard]] std::vector<platform::LayerPtr> all() const { return {stroke, brush, arrow, rectangle, text}; }
    [[nodiscard]] std::string names(const std::vector<platform::LayerPtr> &layers) const
    {
        std::string result;
        for (const platform::LayerPtr &layer : layers)
            result += layer == stroke      ? "s"
                      : layer == brush     ? "b"
                      : layer == arrow     ? "a"
                      : layer == rectangle ? "r"
                                           : "t";
        return result;
    }
};

} // namespace

class VariFiltersTest : public InkoraFixture
{
};

TEST_F(VariFiltersTest, ClearExceptKeepsTheGroupsOfTheMask)
{
    const struct
    {
        qint64 mask;
        QList<qint64> groups;
        const char *kept;
    } rows[] = {
        {0, {}, ""},
        {1, {}, ""},
        {2, {0}, "sb"},
        {4, {1}, "a"},
        {8, {2}, "r"},
        {14, {0, 1, 2}, "sbar"},
        {16, {3}, "t"},
        {48, {3}, "t"},
        // Badges only: a plain text object is cleared.
        {32, {3}, ""},
        {36, {1, 3}, "a"},
    };
    const Drawings drawings;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.mask);
        inkora::liveSettings().customClearScreenMask = row.mask;
        EXPECT_EQ(VariFilters::excludedToolGroupsForClearCanvasExclusion(), row.groups);
        EXPECT_EQ(drawings.names(VariFilters::filteredLayersForClearCanvasExclusion(drawings.all())), row.kept);
    }
}

TEST_F(VariFiltersTest, EraserSkipsTheProtectedGroups)
{
    const struct
    {
        bool arrows, rectangles, texts;
        QList<qint64> groups;
        const char *erasable;
    } rows[] = {
        {false, false, false, {}, "sbart"},
        {false, false, true, {3}, "sbar"},
        {true, false, false, {1}, "sbrt"},
        {true, true, true, {1, 2, 3}, "sb"},
    };
    const Drawings drawings;
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.arrows << row.rectangles << row.texts);
        inkora::LiveSettings &live = inkora::liveSettings();
        live.eraserPreserveArrowLine = row.arrows;
        live.eraserPreserveRectEllipse = row.rectangles;
        live.eraserPreserveText = row.texts;
        EXPECT_EQ(VariFilters::excludedToolGroupsForEraser(), row.groups);
        EXPECT_EQ(drawings.names(VariFilters::filteredLayersWithExcludedToolGroups(drawings.all())), row.erasable);
    }
}
