#include "shortcuts/MRKOShortcutPresetController.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Popover.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeOpenPanel.h"
#include "platform/fake/FakeSavePanel.h"
#include "settings/MRKOSavePresetPopover.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQTextField.h"
#include "shortcuts/MRKOActionPopupButton.h"
#include "shortcuts/MRKOTextBadgeShortcutSegControl.h"
#include "tests/shortcuts/ShortcutsPaneFixture.h"
#include "tests/support/PythonReader.h"
#include "tools/MRKOColorSegmentedControl.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

constexpr quint16 kU = 32;
constexpr quint64 kCommandShift = 0x120000;
const QString kUndoCtrlShiftU = QStringLiteral("dW5kb1dpdGhFdmVudDosMTE3OTY0OCwzMiww");
const QString kUndoDefault = QStringLiteral("dW5kb1dpdGhFdmVudDosMTA0ODU3Niw2LDA=");

} // namespace

class MRKOShortcutPresetControllerTest : public ShortcutsPaneFixture
{
protected:
    MRKOShortcutPresetController &presets() { return MRKOShortcutPresetController::sharedPresets(); }

    /// The menu's top-level item titled so; null when none.
    QAction *item(const QString &title)
    {
        for (QAction *action : presets().menu()->actions()) {
            if (action->text() == title)
                return action;
        }
        return nullptr;
    }
    /// The item of a preset's submenu.
    QAction *presetItem(const QString &preset, const QString &title)
    {
        QAction *entry = item(preset);
        if (!entry || !entry->menu())
            return nullptr;
        for (QAction *action : entry->menu()->actions()) {
            if (action->text() == title)
                return action;
        }
        return nullptr;
    }
    QString undo() { return field("ShortcutUndo").shortCut()->shortcutObjectStringValue(); }
    void recordCtrlShiftUForUndo()
    {
        field("ShortcutUndo").assignShortcut(KQShortCut::shortCutWithKeyCode(kU, kCommandShift, nullptr, QString()));
        ASSERT_EQ(undo(), kUndoCtrlShiftU);
    }
    /// A preset of ctrl+shift+u for undo, nothing on slot 0, a badge text, a swatch and Fn allowed.
    QVariantMap fullPreset()
    {
        return {
            {QStringLiteral("PresetShortcuts"), QVariantMap{{QStringLiteral("ShortcutUndo"), kUndoCtrlShiftU}}},
            {QStringLiteral("PresetSingleKeyActions"), QVariantList{qint64(0)}},
            {QStringLiteral("PresetCustomTextBadges"), QVariantList{QStringLiteral("Hello")}},
            {QStringLiteral("PresetCustomColorSwatches"),
             QVariantList{QStringLiteral("0.100000+0.200000+0.300000+1.000000")}},
            {QStringLiteral("PresetUseFnShortcutsInGhostMode"), qint64(1)},
        };
    }
    bool otherOptionsApplied()
    {
        return pane().actionSlots()[0]->extraAction() == 0 && pane().badgeSegControls()[0]->string() == "Hello" &&
               pane().colorSegControls()[0]->color().isValid() && pane().allowFnInGhostModeButton()->isChecked();
    }
    bool otherOptionsUntouched()
    {
        return pane().actionSlots()[0]->extraAction() == 27 && pane().badgeSegControls()[0]->string().isNull() &&
               !pane().colorSegControls()[0]->color().isValid() && !pane().allowFnInGhostModeButton()->isChecked();
    }
};

TEST_F(MRKOShortcutPresetControllerTest, SavedPresetIsABinaryListOfTheSixKeys)
{
    presets().savePresetWithName(QStringLiteral("Mine"));

    QFile file(QDir(presetsFolder()).filePath(QStringLiteral("Mine.ikshortcuts")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const PythonResult result =
        runPythonOnData(file.readAll(), home() + QStringLiteral("/check.plist"), QStringLiteral(R"(
import plistlib, sys
data = open(sys.argv[1], 'rb').read()
p = plistlib.loads(data)
print(data[:8].decode())
print(','.join(sorted(p)))
s = p['PresetSingleKeyActions']
print(len(s), all(type(v) is int for v in s), s[25])
print(p['PresetCustomTextBadges'] == [''] * 10, len(p['PresetCustomColorSwatches']))
print(p['PresetShortcuts']['ShortcutUndo'], len(p['PresetShortcuts']), p['PresetUseFnShortcutsInGhostMode'])
)"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.lines.join(QLatin1Char('|')).toStdString(),
              QStringList({QStringLiteral("bplist00"),
                           QStringLiteral("AppVersion,PresetCustomColorSwatches,PresetCustomTextBadges,PresetShortcuts,"
                                          "PresetSingleKeyActions,PresetUseFnShortcutsInGhostMode"),
                           QStringLiteral("30 True 47"), QStringLiteral("True 10"), kUndoDefault + " 63 0"})
                  .join(QLatin1Char('|'))
                  .toStdString());
}

TEST_F(MRKOShortcutPresetControllerTest, EachLoadTypeAppliesItsPartOnly)
{
    const struct
    {
        const char *name;
        int loadType;
        bool shortcuts;
        bool others;
    } rows[] = {
        {"Full", 0, true, true},
        {"ShortcutsOnly", 1, true, false},
        {"OtherOptionsOnly", 2, false, true},
        {"Unknown", 3, false, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        pane().restoreAllAdjustment();
        ASSERT_EQ(undo(), kUndoDefault);
        ASSERT_TRUE(otherOptionsUntouched());

        pane().applyShortcutsFromPreset(fullPreset(), row.loadType);
        drainMainQueue();

        EXPECT_EQ(undo(), row.shortcuts ? kUndoCtrlShiftU : kUndoDefault);
        EXPECT_EQ(hotKeys().isGrabbed(kU, 0x300), row.shortcuts);
        EXPECT_EQ(row.others ? otherOptionsApplied() : otherOptionsUntouched(), true);
    }
}

TEST_F(MRKOShortcutPresetControllerTest, EmptyShortcutsLoadedFullyChangeNoShortcut)
{
    recordCtrlShiftUForUndo();
    hotKeys().clearCalls();
    QVariantMap preset = fullPreset();
    preset.insert(QStringLiteral("PresetShortcuts"), QVariantMap());

    pane().applyShortcutsFromPreset(preset, 0);

    EXPECT_EQ(undo(), kUndoCtrlShiftU);
    EXPECT_TRUE(hotKeys().calls().empty());
    EXPECT_TRUE(otherOptionsApplied());
}

TEST_F(MRKOShortcutPresetControllerTest, WronglyTypedPresetsChangeNothingAndSayWhichKey)
{
    const auto with = [this](const QString &key, const QVariant &value) {
        QVariantMap preset = fullPreset();
        preset.insert(key, value);
        return preset;
    };
    const struct
    {
        const char *name;
        QVariantMap preset;
        const char *line;
    } rows[] = {
        {"NumberForShortcuts", with(QStringLiteral("PresetShortcuts"), qint64(5)), "\"PresetShortcuts\" holds"},
        {"UnreadableShortcut",
         with(QStringLiteral("PresetShortcuts"), QVariantMap{{QStringLiteral("ShortcutRedo"), QStringLiteral("x")}}),
         "\"PresetShortcuts.ShortcutRedo\" holds"},
        {"TextForSlot", with(QStringLiteral("PresetSingleKeyActions"), QVariantList{QStringLiteral("brush")}),
         "\"PresetSingleKeyActions\" holds"},
        {"SlotsNotAnArray", with(QStringLiteral("PresetSingleKeyActions"), qint64(3)),
         "\"PresetSingleKeyActions\" holds"},
        {"NumberForBadge", with(QStringLiteral("PresetCustomTextBadges"), QVariantList{qint64(1)}),
         "\"PresetCustomTextBadges\" holds"},
        {"DataForSwatch", with(QStringLiteral("PresetCustomColorSwatches"), QVariantList{QByteArray("x")}),
         "\"PresetCustomColorSwatches\" holds"},
        {"DictionaryForFn", with(QStringLiteral("PresetUseFnShortcutsInGhostMode"), QVariantMap()),
         "\"PresetUseFnShortcutsInGhostMode\" holds"},
    };
    MRKOUtils::userDefaults().synchronize();
    const QByteArray before = settingsFile();
    ASSERT_FALSE(before.isEmpty());
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        log().clear();
        log().expectWarning(QStringLiteral("applyShortcutsFromPreset:"));

        pane().applyShortcutsFromPreset(row.preset, 0);

        EXPECT_EQ(log().count(QStringLiteral("applyShortcutsFromPreset:")), 1);
        EXPECT_TRUE(log().contains(QLatin1String(row.line))) << log().lines().join('\n').toStdString();
        EXPECT_EQ(settingsFile(), before);
        EXPECT_EQ(undo(), kUndoDefault);
        EXPECT_TRUE(otherOptionsUntouched());
    }
}

TEST_F(MRKOShortcutPresetControllerTest, ASlotActionNoItemCarriesLeavesThatSlot)
{
    log().expectWarning(QStringLiteral("no single-key action 99"));
    pane().applyShortcutsFromPreset(QVariantMap{{QStringLiteral("PresetSingleKeyActions"),
                                                 QVariantList{qint64(99), qint64(41), qint64(28), qint64(5)}}},
                                    2);

    EXPECT_EQ(pane().actionSlots()[0]->extraAction(), 27u);
    EXPECT_EQ(pane().actionSlots()[1]->extraAction(), 41u);
    EXPECT_EQ(MRKOUtils::userDefaults().integerForKey(QStringLiteral("SingleKeyActionSlot1")), 41);
    EXPECT_EQ(pane().actionSlots()[3]->extraAction(), 5u);
    EXPECT_EQ(log().count(QStringLiteral("no single-key action")), 1);
}

TEST_F(MRKOShortcutPresetControllerTest, OtherFormatsLoadAfterTheirLineAndBadOnesSayNoContent)
{
    // The old plain-text format holds every scalar as text: numbers arrive as decimal strings.
    QDir(presetsFolder()).mkpath(QStringLiteral("."));
    QFile plain(QDir(presetsFolder()).filePath(QStringLiteral("Plain.ikshortcuts")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("{ PresetShortcuts = { ShortcutUndo = \"" + kUndoCtrlShiftU.toLatin1() +
                "\"; }; PresetSingleKeyActions = ( 0 ); PresetCustomTextBadges = ( Hello ); "
                "PresetCustomColorSwatches = ( \"0.100000+0.200000+0.300000+1.000000\" ); "
                "PresetUseFnShortcutsInGhostMode = 1; }");
    plain.close();
    writePreset(QStringLiteral("Xml"), fullPreset(), true);
    writePreset(QStringLiteral("Array"), QVariantList{qint64(1)});
    presets().updatePresetsMenu();

    for (const char *name : {"Plain", "Xml"}) {
        SCOPED_TRACE(name);
        pane().restoreAllAdjustment();
        log().clear();
        presetItem(QLatin1String(name), QStringLiteral("Load Full Preset"))->trigger();
        EXPECT_TRUE(log().contains(QStringLiteral("ikshortcuts Plist format does not match")));
        EXPECT_EQ(undo(), kUndoCtrlShiftU);
        EXPECT_TRUE(otherOptionsApplied());
    }

    log().expectWarning(QStringLiteral("applyShortcutsFromPreset: Preset has no content"));
    presetItem(QStringLiteral("Array"), QStringLiteral("Load Full Preset"))->trigger();
    EXPECT_TRUE(log().contains(QStringLiteral("applyShortcutsFromPreset: Preset has no content")));
}

TEST_F(MRKOShortcutPresetControllerTest, FilesTooLargeOrTooDeepAreNotRead)
{
    QVariant deep = QVariantList{qint64(1)};
    for (int i = 0; i < 20; ++i)
        deep = QVariantList{deep};
    const QString deepPath =
        writePreset(QStringLiteral("Deep"), QVariantMap{{QStringLiteral("PresetSingleKeyActions"), deep}});
    const QString largePath = writePreset(
        QStringLiteral("Large"), QVariantMap{{QStringLiteral("AppVersion"), QString(600 * 1024, QChar(0xE9))}});
    ASSERT_GT(QFileInfo(largePath).size(), 1024 * 1024);
    log().expectWarning(QStringLiteral("larger than 1 MiB"));
    log().expectWarning(QStringLiteral("depth"));
    log().expectWarning(QStringLiteral("nest"));
    log().expectWarning(QStringLiteral("Preset has no content"));

    for (const QString &path : {deepPath, largePath})
        pane().applyShortcutsFromPreset(MRKOShortcutPresetController::presetWithPath(path), 0);

    EXPECT_EQ(log().count(QStringLiteral("Preset has no content")), 2);
    EXPECT_TRUE(log().contains(QStringLiteral("larger than 1 MiB")));
    EXPECT_TRUE(otherOptionsUntouched());
}

TEST_F(MRKOShortcutPresetControllerTest, MenuListsThePresetsWithTheirItems)
{
    presets().updatePresetsMenu();
    EXPECT_EQ(presets().menu()->title(), QStringLiteral("Manage Shortcuts Presets"));
    ASSERT_NE(item(QStringLiteral("There are no saved presets yet")), nullptr);
    EXPECT_FALSE(item(QStringLiteral("There are no saved presets yet"))->isEnabled());
    EXPECT_FALSE(item(QStringLiteral("Export All Presets"))->isEnabled());
    EXPECT_EQ(pane().shortcutPresetsButton()->menu(), presets().menu());

    presets().savePresetWithName(QStringLiteral("Mine"));
    recordCtrlShiftUForUndo();
    presets().savePresetWithName(QStringLiteral("Mine"));

    EXPECT_EQ(presets().presetNames(), QStringList{QStringLiteral("Mine")});
    EXPECT_TRUE(item(QStringLiteral("Export All Presets"))->isEnabled());
    EXPECT_EQ(item(QStringLiteral("There are no saved presets yet")), nullptr);
    QStringList titles;
    for (const QAction *action : item(QStringLiteral("Mine"))->menu()->actions()) {
        if (!action->isSeparator())
            titles << action->text() + QLatin1Char(':') + action->property("tag").toString();
    }
    EXPECT_EQ(titles, QStringList({QStringLiteral("Load Full Preset:0"), QStringLiteral("Load Shortcuts:1"),
                                   QStringLiteral("Load Other Options:2"), QStringLiteral("Export Preset:3"),
                                   QStringLiteral("Save to this Preset:4"), MRKOUtils::moveToBinName() + ":5"}));
    // The second save replaced the first.
    pane().restoreDefaults();
    presetItem(QStringLiteral("Mine"), QStringLiteral("Load Shortcuts"))->trigger();
    EXPECT_EQ(undo(), kUndoCtrlShiftU);
}

TEST_F(MRKOShortcutPresetControllerTest, BinAddExportAndImportWorkOnFiles)
{
    presets().savePresetWithName(QStringLiteral("Mine"));
    const QString mine = QDir(presetsFolder()).filePath(QStringLiteral("Mine.ikshortcuts"));
    QFile file(mine);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    file.close();

    presets().addPresetWithDataName(data, QStringLiteral("Mine.ikshortcuts"));
    EXPECT_TRUE(QFileInfo::exists(QDir(presetsFolder()).filePath(QStringLiteral("Mine (1).ikshortcuts"))));
    EXPECT_EQ(presets().presetNames().size(), 2);

    fakes().savePanel->answer = home() + QStringLiteral("/Out.ikshortcuts");
    presetItem(QStringLiteral("Mine"), QStringLiteral("Export Preset"))->trigger();
    EXPECT_EQ(fakes().savePanel->requests.last().proposedName, QStringLiteral("Mine"));
    EXPECT_TRUE(QFileInfo::exists(home() + QStringLiteral("/Out.ikshortcuts")));

    QDir(home()).mkdir(QStringLiteral("all"));
    fakes().openPanel->answer = {home() + QStringLiteral("/all")};
    item(QStringLiteral("Export All Presets"))->trigger();
    EXPECT_FALSE(fakes().openPanel->requests.last().canChooseFiles);
    EXPECT_TRUE(fakes().openPanel->requests.last().canChooseDirectories);
    EXPECT_EQ(fakes().openPanel->requests.last().message, QStringLiteral("Choose a location for shortcut presets"));
    EXPECT_EQ(QDir(home() + QStringLiteral("/all")).entryList(QDir::Files).size(), 2);

    presetItem(QStringLiteral("Mine"), MRKOUtils::moveToBinName())->trigger();
    EXPECT_FALSE(QFileInfo::exists(mine));
    EXPECT_EQ(QDir(home() + QStringLiteral("/data/Trash/files")).entryList(QDir::Files),
              QStringList{QStringLiteral("Mine.ikshortcuts")});
    EXPECT_EQ(presets().presetNames(), QStringList{QStringLiteral("Mine (1)")});

    fakes().openPanel->answer = {home() + QStringLiteral("/Out.ikshortcuts"), home() + QStringLiteral("/notes.txt")};
    presets().importPresets();
    EXPECT_TRUE(fakes().openPanel->requests.last().allowsMultipleSelection);
    EXPECT_EQ(presets().presetNames(), QStringList({QStringLiteral("Mine (1)"), QStringLiteral("Out")}));
}

TEST_F(MRKOShortcutPresetControllerTest, NamePopoverAsksAboutShortcutPresetNamesAndSaves)
{
    log().expectWarning(QStringLiteral("propagateSizeHints"));
    pane().show();
    presets().savePresetWithName(QStringLiteral("Mine"));
    presets().savePresetAs();
    MRKOSavePresetPopover *popover = presets().savePresetPopover();
    ASSERT_NE(popover, nullptr);
    ASSERT_TRUE(popover->popover().isShown());

    popover->nameField()->setText(QStringLiteral("Mine"));
    popover->save();
    EXPECT_EQ(popover->saveButton()->text(), QStringLiteral("Rewrite"));
    popover->nameField()->setText(QStringLiteral("Other"));
    popover->controlTextDidChange();
    popover->save();
    drainMainQueue();

    EXPECT_EQ(presets().presetNames(), QStringList({QStringLiteral("Mine"), QStringLiteral("Other")}));
    EXPECT_EQ(presets().savePresetPopover(), nullptr);
}
