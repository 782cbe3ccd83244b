#include "foundation/SettingValues.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "tests/support/InkoraFixture.h"

#include <cmath>
#include <limits>
#include <vector>

using inkora::boundedSetting;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::nan("");
} // namespace

TEST(SettingValuesTest, NonFiniteValuesTakeTheBoundOrKeepThePreviousValue)
{
    struct Row
    {
        const char *name;
        double value;
        std::optional<double> lower, upper, nanValue;
        double expected;
    };
    const double previous = 7;
    const std::vector<Row> rows = {
        {"FiniteInside", 3, 1.0, 16.0, std::nullopt, 3},
        {"FiniteBelow", 0.5, 1.0, 16.0, std::nullopt, 1},
        {"FiniteAbove", 20, 1.0, 16.0, std::nullopt, 16},
        {"NaNWithItsOwnValue", kNaN, 0.05, 1.0, 0.05, 0.05},
        {"NaNKeepsPrevious", kNaN, 1.0, 16.0, std::nullopt, previous},
        {"PlusInfinityTakesUpperBound", kInf, 1.0, 16.0, std::nullopt, 16},
        {"MinusInfinityTakesLowerBound", -kInf, 1.0, 16.0, std::nullopt, 1},
        {"InfinityWithoutBoundKeepsPrevious", kInf, std::nullopt, std::nullopt, std::nullopt, previous},
        {"MinusInfinityWithoutLowerBound", -kInf, std::nullopt, 50.0, std::nullopt, previous},
        {"UnboundedFinite", -1e300, std::nullopt, std::nullopt, std::nullopt, -1e300},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(boundedSetting(row.value, previous, row.lower, row.upper, row.nanValue), row.expected);
    }
}

class SettingValuesStoreTest : public InkoraFixture
{
};

TEST_F(SettingValuesStoreTest, FlagsBytesAndBoundedIntegers)
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    struct Row
    {
        const char *name;
        QVariant stored;
        bool flag;
        bool byte;
    };
    const std::vector<Row> rows = {
        {"One", qint64(1), true, true},
        {"Two", qint64(2), false, true},
        {"MinusOne", qint64(-1), false, true},
        {"Zero", qint64(0), false, false},
        {"TwoFiftySix", qint64(256), false, false},
        {"True", true, true, true},
        {"Missing", QVariant(), false, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        defaults.setObject(row.stored, QStringLiteral("Key"));
        EXPECT_EQ(inkora::flagSetting(defaults, QStringLiteral("Key")), row.flag);
        EXPECT_EQ(inkora::byteSetting(defaults, QStringLiteral("Key")), row.byte);
    }

    // A real that is not finite, or does not fit an integer, reads 0 and then takes the low value.
    for (const double stored : {kNaN, kInf, -kInf, 1e300}) {
        defaults.setDouble(stored, QStringLiteral("EraserSize"));
        EXPECT_EQ(inkora::boundedIntegerSetting(defaults, QStringLiteral("EraserSize"), 3, 2, 400), 2) << stored;
    }
    defaults.setDouble(401.7, QStringLiteral("EraserSize"));
    EXPECT_EQ(inkora::boundedIntegerSetting(defaults, QStringLiteral("EraserSize"), 3, 2, 400), 400);
}
