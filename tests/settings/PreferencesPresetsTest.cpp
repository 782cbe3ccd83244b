#include "app/LiveSettings.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/PropertyList.h"
#include "platform/fake/FakeScreens.h"
#include "settings/MRKOPreferencesViewController.h"
#include "shortcuts/KQShortCut.h"
#include "tests/settings/PreferencesFixture.h"
#include "tests/support/PythonReader.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <limits>
#include <vector>

using inkora::liveSettings;

namespace {

QByteArray fileBytes()
{
    QFile file(MRKOUtils::userDefaults().filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kShortcuts = QStringLiteral("ShortcutsPresetDict");

} // namespace

class PreferencesPresetsTest : public PreferencesFixture
{
};

TEST_F(PreferencesPresetsTest, FreshSettingsCollectTheListedKeysWithDefaults)
{
    const std::optional<QByteArray> data = pane().collectAllPreferences();
    ASSERT_TRUE(data);
    const PythonResult result = runPythonOnData(*data, home() + QStringLiteral("/preset.iksettings"), QStringLiteral(R"(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    p = plistlib.load(f)
print(len(p))
print(p['EraserSize'])
print(repr(p['ArrowHeadRatio']))
print(any(k.startswith('wb_') for k in p))
)"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.lines, (QStringList{QStringLiteral("45"), QStringLiteral("80"),
                                         QStringLiteral("0.33000001311302185"), QStringLiteral("False")}));
}

TEST_F(PreferencesPresetsTest, TwoDisplaysAddTheirWhiteboardKeys)
{
    fakes().screens->setScreens({{QRectF(0, 0, 800, 600), 1.0, 1, QStringLiteral("A")},
                                 {QRectF(800, 0, 800, 600), 1.0, 2, QStringLiteral("B")}});
    showOverlay();
    const QStringList keys = pane().settingsKeys();
    ASSERT_EQ(keys.size(), 108);
    EXPECT_EQ(keys.mid(104), (QStringList{QStringLiteral("wb_0"), QStringLiteral("wbHidden_0"), QStringLiteral("wb_1"),
                                          QStringLiteral("wbHidden_1")}));

    // A preset made without displays removes theirs.
    MRKOUtils::userDefaults().setInteger(2, QStringLiteral("wb_1"));
    ASSERT_TRUE(pane().applySettingsWithPresetLoadType(QVariantMap{{QStringLiteral("EraserSize"), qint64(40)}}, 0));
    EXPECT_FALSE(MRKOUtils::userDefaults().persistentDomain().contains(QStringLiteral("wb_1")));
}

TEST_F(PreferencesPresetsTest, SettingsOnlyLoadKeepsShortcutsAndFillsMissingKeysWithDefaults)
{
    platform::Defaults &store = MRKOUtils::userDefaults();
    store.setInteger(1, QStringLiteral("HidePointingDot"));
    store.setInteger(150, QStringLiteral("EraserSize"));
    const QVariantMap preset = {
        {QStringLiteral("FadeOutTimeKey"), qint64(5)},
        {QStringLiteral("SomethingElse"), QVariantList{qint64(1), QStringLiteral("a")}},
        {QStringLiteral("CursorHaloOpacity"), QStringLiteral("0.25")}, // old files give numbers as text
        {kShortcuts, QVariantMap{{QStringLiteral("a"), qint64(1)}}},
    };

    ASSERT_TRUE(pane().applySettingsWithPresetLoadType(preset, MRKOPresetLoadTypeSettings));

    const QVariantMap file = platform::PropertyList::parse(fileBytes()).value.toMap();
    EXPECT_EQ(file.value(QStringLiteral("FadeOutTimeKey")), QVariant(qint64(5)));
    EXPECT_EQ(file.value(QStringLiteral("CursorHaloOpacity")), QVariant(0.25));
    EXPECT_TRUE(file.contains(QStringLiteral("SomethingElse")));
    EXPECT_FALSE(file.contains(kShortcuts));
    EXPECT_FALSE(file.contains(QStringLiteral("HidePointingDot")));
    EXPECT_EQ(store.integerForKey(QStringLiteral("EraserSize")), 80);
    EXPECT_EQ(liveSettings().fadeTime, 5.0);
    EXPECT_EQ(liveSettings().eraserSize, 80);
    EXPECT_EQ(liveSettings().cursorHaloOpacity, 0.25);
}

TEST_F(PreferencesPresetsTest, ShortcutsOnlyLoadChangesNoSettingsByte)
{
    MRKOUtils::userDefaults().setInteger(150, QStringLiteral("EraserSize"));
    MRKOUtils::userDefaults().synchronize();
    delegate().updateAllSettings();
    const QByteArray before = fileBytes();
    const QVariantMap preset = {{QStringLiteral("EraserSize"), qint64(40)},
                                {kShortcuts, QVariantMap{{QStringLiteral("a"), qint64(1)}}}};

    ASSERT_TRUE(pane().applySettingsWithPresetLoadType(preset, MRKOPresetLoadTypeShortcuts));

    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(liveSettings().eraserSize, 150);

    // Without shortcuts in it, the same load type loads the settings.
    ASSERT_TRUE(pane().applySettingsWithPresetLoadType(QVariantMap{{QStringLiteral("EraserSize"), qint64(40)}},
                                                       MRKOPresetLoadTypeShortcuts));
    EXPECT_EQ(liveSettings().eraserSize, 40);
}

TEST_F(PreferencesPresetsTest, SettingsAndShortcutsLoadAppliesBoth)
{
    showOverlay();
    const QString undo = QStringLiteral("dW5kb1dpdGhFdmVudDosMTE3OTY0OCwzMiww"); // ctrl+shift+u
    const QVariantMap preset = {
        {QStringLiteral("EraserSize"), qint64(40)},
        {kShortcuts,
         QVariantMap{{QStringLiteral("PresetShortcuts"), QVariantMap{{QStringLiteral("ShortcutUndo"), undo}}}}},
    };

    ASSERT_TRUE(pane().applySettingsWithPresetLoadType(preset, MRKOPresetLoadTypeSettingsAndShortcuts));

    const QVariantMap file = platform::PropertyList::parse(fileBytes()).value.toMap();
    EXPECT_EQ(file.value(QStringLiteral("ShortcutUndo")).toString(), undo);
    EXPECT_FALSE(file.contains(kShortcuts));
    EXPECT_EQ(liveSettings().eraserSize, 40);
    EXPECT_EQ(delegate().shortCutForProperty(QStringLiteral("undoShortCut"))->keyCode(), 32);

    // A collected preset now carries the shortcuts of the shown overlay's pane.
    const QVariantMap collected = platform::PropertyList::fromData(pane().collectAllPreferences().value()).toMap();
    EXPECT_EQ(collected.value(kShortcuts)
                  .toMap()
                  .value(QStringLiteral("PresetShortcuts"))
                  .toMap()
                  .value(QStringLiteral("ShortcutUndo")),
              undo);
}

TEST_F(PreferencesPresetsTest, RefusedPresetsChangeNothing)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    struct Row
    {
        const char *name;
        QVariant preset;
        int loadType;
    };
    const std::vector<Row> rows = {
        {"RootIsNoDictionary", QVariantList{qint64(1)}, 0},
        {"IntegerKeyHoldsText", QVariantMap{{QStringLiteral("EraserSize"), QStringLiteral("big")}}, 0},
        {"DoubleKeyHoldsNaN", QVariantMap{{QStringLiteral("ArrowHeadRatio"), kNaN}}, 0},
        {"BoolKeyHoldsArray", QVariantMap{{QStringLiteral("StartGhostModeAtLaunch"), QVariantList{}}}, 0},
        {"ColourKeyHoldsNumber", QVariantMap{{QStringLiteral("TextBackgroundColor"), qint64(3)}}, 0},
        {"FontKeyHoldsData", QVariantMap{{QStringLiteral("DefaultFont"), QByteArray("x")}}, 0},
        {"ShortcutsAreNoDictionary",
         QVariantMap{{QStringLiteral("EraserSize"), qint64(40)}, {kShortcuts, QStringLiteral("x")}}, 1},
        {"ShortcutsThePaneRefuses",
         QVariantMap{{QStringLiteral("EraserSize"), qint64(40)},
                     {kShortcuts, QVariantMap{{QStringLiteral("PresetShortcuts"), qint64(5)}}}},
         2},
    };
    platform::Defaults &store = MRKOUtils::userDefaults();
    store.setInteger(150, QStringLiteral("EraserSize"));
    store.synchronize();
    const QByteArray bytes = fileBytes();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        log().expectWarning(QStringLiteral("applySettingsWithPresetLoadType: "));
        const int before = log().count(QStringLiteral("the preset is refused"));
        EXPECT_FALSE(pane().applySettingsWithPresetLoadType(row.preset, row.loadType));
        EXPECT_EQ(log().count(QStringLiteral("the preset is refused")), before + 1);
        EXPECT_EQ(fileBytes(), bytes);
        EXPECT_EQ(store.integerForKey(QStringLiteral("EraserSize")), 150);
    }
    // Settings-only loads ignore the shortcut entry, whatever it holds; unlisted keys keep any kind.
    EXPECT_TRUE(pane().applySettingsWithPresetLoadType(
        QVariantMap{{kShortcuts, QStringLiteral("x")}, {QStringLiteral("Other"), QByteArray("raw")}}, 0));
    EXPECT_EQ(store.dataForKey(QStringLiteral("Other")), QByteArray("raw"));
}
