#include "platform/Defaults.h"

#include "platform/PropertyList.h"
#include "tests/support/InkoraFixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPoint>
#include <QTest>

#include <cmath>
#include <limits>
#include <ostream>
#include <thread>
#include <vector>

using platform::Defaults;

namespace {

class DefaultsTest : public InkoraFixture
{
protected:
    QString settingsPath() const
    {
        return home() + QStringLiteral("/config/com.Inkora.Inkora/com.Inkora.Inkora.plist");
    }

    void writeFile(const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QStringList filesBesideSettings() const
    {
        return QDir(QFileInfo(settingsPath()).absolutePath()).entryList(QDir::Files, QDir::Name);
    }
};

TEST_F(DefaultsTest, StandardStoreLivesInConfigFolderAndSurvivesRestart)
{
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(1700000000250, Qt::UTC);
    {
        Defaults &defaults = Defaults::standard();
        EXPECT_EQ(defaults.filePath(), settingsPath());
        defaults.setInteger(-12, QStringLiteral("Count"));
        defaults.setDouble(1.0, QStringLiteral("Whole"));
        defaults.setFloat(0.33f, QStringLiteral("Ratio"));
        defaults.setBool(true, QStringLiteral("Flag"));
        defaults.setObject(QStringLiteral("text \u00e9"), QStringLiteral("Name"));
        defaults.setObject(QByteArray("\x00\x01", 2), QStringLiteral("Blob"));
        defaults.setObject(date, QStringLiteral("When"));
        defaults.setObject(QVariantList{qint64(1), QStringLiteral("b")}, QStringLiteral("List"));
        defaults.setObject(QVariantMap{{QStringLiteral("k"), 2.5}}, QStringLiteral("Map"));
        ASSERT_TRUE(defaults.synchronize());
    }
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("bplist00"));
    EXPECT_EQ(filesBesideSettings(), QStringList{QStringLiteral("com.Inkora.Inkora.plist")}); // no temporary left

    const Defaults restarted(settingsPath());
    EXPECT_EQ(restarted.objectForKey(QStringLiteral("Count")), QVariant(qint64(-12)));
    EXPECT_EQ(restarted.objectForKey(QStringLiteral("Whole")).typeId(), QMetaType::Double);
    EXPECT_EQ(restarted.doubleForKey(QStringLiteral("Ratio")), 0.33000001311302185);
    EXPECT_TRUE(restarted.boolForKey(QStringLiteral("Flag")));
    EXPECT_EQ(restarted.stringForKey(QStringLiteral("Name")), QStringLiteral("text \u00e9"));
    EXPECT_EQ(restarted.dataForKey(QStringLiteral("Blob")), QByteArray("\x00\x01", 2));
    EXPECT_EQ(restarted.objectForKey(QStringLiteral("When")).toDateTime(), date);
    EXPECT_EQ(restarted.arrayForKey(QStringLiteral("List")), (QVariantList{qint64(1), QStringLiteral("b")}));
    EXPECT_EQ(restarted.dictionaryForKey(QStringLiteral("Map")), (QVariantMap{{QStringLiteral("k"), 2.5}}));
}

TEST_F(DefaultsTest, RegisteredValueAppliesWhileNothingIsStoredAndReturnsAfterRemoval)
{
    Defaults defaults(settingsPath());
    defaults.registerDefaults({{QStringLiteral("Size"), 10}, {QStringLiteral("ArrowHeadRatio"), 0.33f}});

    EXPECT_EQ(defaults.objectForKey(QStringLiteral("Size")), QVariant(qint64(10)));
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("ArrowHeadRatio")), QVariant(0.33000001311302185));
    defaults.setInteger(20, QStringLiteral("Size"));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Size")), 20);
    EXPECT_EQ(defaults.persistentDomain(), (QVariantMap{{QStringLiteral("Size"), qint64(20)}}));
    EXPECT_EQ(defaults.dictionaryRepresentation().value(QStringLiteral("ArrowHeadRatio")), 0.33000001311302185);

    defaults.removeObjectForKey(QStringLiteral("Size"));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Size")), 10);

    // A key with neither value reads 0, NO and empty, and tells its absence.
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("Missing")).isValid());
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Missing")), 0);
    EXPECT_EQ(defaults.doubleForKey(QStringLiteral("Missing")), 0.0);
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("Missing")));
    EXPECT_TRUE(defaults.stringForKey(QStringLiteral("Missing")).isNull());
    EXPECT_TRUE(defaults.arrayForKey(QStringLiteral("Missing")).isEmpty());
}

struct ReadRow
{
    const char *name;
    QVariant stored;
    qint64 integer;
    double real;
    bool flag;
    QString text;
};

void PrintTo(const ReadRow &row, std::ostream *out)
{
    *out << row.name;
}

class DefaultsReadTest : public DefaultsTest, public testing::WithParamInterface<ReadRow>
{
};

TEST_P(DefaultsReadTest, TypedReadsConvertStoredValue)
{
    const ReadRow &row = GetParam();
    Defaults defaults(settingsPath());
    defaults.setObject(row.stored, QStringLiteral("Key"));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Key")), row.integer);
    if (std::isnan(row.real))
        EXPECT_TRUE(std::isnan(defaults.doubleForKey(QStringLiteral("Key"))));
    else
        EXPECT_EQ(defaults.doubleForKey(QStringLiteral("Key")), row.real);
    EXPECT_EQ(defaults.boolForKey(QStringLiteral("Key")), row.flag);
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("Key")).toStdString(), row.text.toStdString());
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const std::vector<ReadRow> kReadRows = {
    {"Integer", qint64(-7), -7, -7.0, true, QStringLiteral("-7")},
    {"Zero", qint64(0), 0, 0.0, false, QStringLiteral("0")},
    {"RealTruncates", -3.9, -3, -3.9, true, QStringLiteral("-3.9")},
    {"NaN", kNaN, 0, kNaN, true, QStringLiteral("nan")},
    {"Infinity", kInf, 0, kInf, true, QStringLiteral("inf")},
    {"RealOutOfRange", 1e300, 0, 1e300, true, QStringLiteral("1e+300")},
    {"RealAtTwoToThe63", 9223372036854775808.0, 0, 9223372036854775808.0, true, QStringLiteral("9223372036854776000")},
    {"BoolTrue", true, 1, 1.0, true, QStringLiteral("1")},
    {"StringLeadingInteger", QStringLiteral("  42abc"), 42, 42.0, true, QStringLiteral("  42abc")},
    {"StringReal", QStringLiteral("-17.9e1x"), -17, -179.0, true, QStringLiteral("-17.9e1x")},
    {"StringHugeInteger", QStringLiteral("99999999999999999999"), std::numeric_limits<qint64>::max(), 1e20, true,
     QStringLiteral("99999999999999999999")},
    {"StringYes", QStringLiteral("YES"), 0, 0.0, true, QStringLiteral("YES")},
    {"StringTrueLowerCase", QStringLiteral("true"), 0, 0.0, true, QStringLiteral("true")},
    {"StringNo", QStringLiteral("NO"), 0, 0.0, false, QStringLiteral("NO")},
    {"StringNan", QStringLiteral("nan"), 0, 0.0, false, QStringLiteral("nan")},
    {"Data", QByteArray("12"), 0, 0.0, false, QString()},
};

INSTANTIATE_TEST_SUITE_P(All, DefaultsReadTest, testing::ValuesIn(kReadRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(DefaultsTest, FloatReadOfHugeRealIsInfinity)
{
    Defaults defaults(settingsPath());
    defaults.setDouble(1e300, QStringLiteral("Huge"));
    defaults.setDouble(-1e300, QStringLiteral("NegativeHuge"));
    EXPECT_EQ(defaults.floatForKey(QStringLiteral("Huge")), std::numeric_limits<float>::infinity());
    EXPECT_EQ(defaults.floatForKey(QStringLiteral("NegativeHuge")), -std::numeric_limits<float>::infinity());
}

TEST_F(DefaultsTest, DamagedFileIsMovedAsideWithOneLogLineAndDefaultsApply)
{
    const QByteArray valid = *platform::PropertyList::toBinary(QVariantMap{{QStringLiteral("Size"), qint64(99)}});
    const struct
    {
        const char *name;
        QByteArray bytes;
    } rows[] = {
        {"garbage", QByteArray("\x01\x02 not a settings file")},
        {"truncated", valid.left(valid.size() - 10)},
        {"arrayAtTop", *platform::PropertyList::toBinary(QVariantList{qint64(1)})},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QDir(QFileInfo(settingsPath()).absolutePath()).removeRecursively();
        writeFile(row.bytes);
        log().clear();
        log().expectWarning(QStringLiteral("is damaged"));

        Defaults defaults(settingsPath());
        defaults.registerDefaults({{QStringLiteral("Size"), 10}});

        EXPECT_EQ(log().count(QStringLiteral("Defaults: settings file")), 1);
        EXPECT_EQ(defaults.integerForKey(QStringLiteral("Size")), 10);
        const QStringList files = filesBesideSettings();
        ASSERT_EQ(files.size(), 1);
        EXPECT_TRUE(files.first().startsWith(QStringLiteral("com.Inkora.Inkora.plist.damaged-")))
            << qPrintable(files.first());
        QFile aside(QFileInfo(settingsPath()).absolutePath() + QLatin1Char('/') + files.first());
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), row.bytes); // kept for inspection, never overwritten

        defaults.setInteger(5, QStringLiteral("Size"));
        ASSERT_TRUE(defaults.synchronize());
        EXPECT_EQ(Defaults(settingsPath()).integerForKey(QStringLiteral("Size")), 5);
    }
}

TEST_F(DefaultsTest, ReloadDropsUnsavedChanges)
{
    Defaults defaults(settingsPath());
    defaults.setInteger(1, QStringLiteral("A"));
    ASSERT_TRUE(defaults.synchronize());
    defaults.setInteger(2, QStringLiteral("A"));
    defaults.setInteger(3, QStringLiteral("B"));
    defaults.reload();
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("A")), 1);
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("B")).isValid());
}

TEST_F(DefaultsTest, BurstOfWritesIsReadableAtOnceAndOutlivesItsStore)
{
    // A dragged slider synchronises on every step: each step must reach the file, forced to disk or not.
    {
        Defaults defaults(settingsPath());
        for (int step = 1; step <= 20; ++step) {
            defaults.setInteger(step, QStringLiteral("EraserSize"));
            ASSERT_TRUE(defaults.synchronize());
            EXPECT_EQ(Defaults(settingsPath()).integerForKey(QStringLiteral("EraserSize")), step);
        }
    } // the store goes while its last write still waits to be forced
    QTest::qWait(250);
    EXPECT_EQ(Defaults(settingsPath()).integerForKey(QStringLiteral("EraserSize")), 20);
    EXPECT_EQ(filesBesideSettings(), QStringList{QFileInfo(settingsPath()).fileName()});
}

TEST_F(DefaultsTest, FailedWritesAndForeignValuesAreLoggedAndKeepMemoryState)
{
    const QString blocked = home() + QStringLiteral("/blocker");
    QFile blocker(blocked);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    Defaults defaults(blocked + QStringLiteral("/settings.plist"));
    log().expectWarning(QStringLiteral("Defaults::synchronize"));
    log().expectWarning(QStringLiteral("Defaults::setObject"));

    defaults.setInteger(4, QStringLiteral("A"));
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(log().count(QStringLiteral("Defaults::synchronize")), 1);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("A")), 4);

    defaults.setObject(QPoint(1, 2), QStringLiteral("A"));
    EXPECT_EQ(log().count(QStringLiteral("Defaults::setObject")), 1);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("A")), 4);
}

TEST_F(DefaultsTest, ConcurrentWritersAndReadersStayConsistent)
{
    Defaults defaults(settingsPath());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&defaults, t] {
            const QString key = QStringLiteral("Key%1").arg(t);
            for (int i = 0; i < 500; ++i) {
                defaults.setInteger(i, key);
                (void)defaults.dictionaryRepresentation();
                if (i % 100 == 0)
                    (void)defaults.synchronize();
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    ASSERT_TRUE(defaults.synchronize());
    const Defaults reread(settingsPath());
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(reread.integerForKey(QStringLiteral("Key%1").arg(t)), 499);
}

} // namespace
