#include "settings/MRKOPresetController.h"

#include "app/LiveSettings.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Popover.h"
#include "platform/PropertyList.h"
#include "platform/fake/FakeOpenPanel.h"
#include "platform/fake/FakeSavePanel.h"
#include "settings/MRKOSavePresetPopover.h"
#include "tests/settings/PreferencesFixture.h"
#include "tests/support/PythonReader.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using inkora::liveSettings;

namespace {

struct Item
{
    QString title;
    int tag;
    bool enabled;
    friend bool operator==(const Item &, const Item &) = default;
    friend std::ostream &operator<<(std::ostream &out, const Item &item)
    {
        return out << '"' << item.title.toStdString() << "\" " << item.tag << (item.enabled ? "" : " disabled");
    }
};

QList<Item> itemsOf(const QMenu &menu)
{
    QList<Item> items;
    for (const QAction *action : menu.actions()) {
        if (action->isSeparator())
            items.append({QStringLiteral("-"), 0, true});
        else
            items.append({action->text(), action->property("tag").toInt(), action->isEnabled()});
    }
    return items;
}

QAction *itemTitled(const QMenu &menu, const QString &title)
{
    for (QAction *action : menu.actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class MRKOPresetControllerTest : public PreferencesFixture
{
protected:
    void SetUp() override
    {
        PreferencesFixture::SetUp();
        log().expectWarning(QStringLiteral("This plugin does not support"));
        folder = MRKOUtils::presetsDir();
        // The folder is made once per process: each test starts from an empty one and the registered eraser size.
        QDir(folder).removeRecursively();
        folder = MRKOUtils::presetsDir();
        MRKOUtils::userDefaults().removeObjectForKey(QStringLiteral("EraserSize"));
        delegate().updateAllSettings();
        (void)pane(); // hands the presets controller its button and the pane
        openPanel = fakes().openPanel;
        openPanel->requests.clear();
    }

    static MRKOPresetController &presets() { return MRKOPresetController::sharedPresets(); }
    QMenu &menu() { return *presets().updatePresetsMenu(); }
    QString file(const QString &name) const { return QDir(folder).filePath(name); }
    /// The submenu item of a preset.
    QAction *presetItem(const QString &name, int tag)
    {
        QAction *preset = itemTitled(menu(), name);
        if (!preset || !preset->menu())
            return nullptr;
        for (QAction *item : preset->menu()->actions()) {
            if (!item->isSeparator() && item->property("tag").toInt() == tag)
                return item;
        }
        return nullptr;
    }

    QString folder;
    platform::FakeOpenPanel *openPanel = nullptr;
};

TEST_F(MRKOPresetControllerTest, AnEmptyFolderShowsTheFixedItemsAndNoHeader)
{
    // The title item is the pull-down button's title, hidden in the menu itself.
    const QList<Item> expected = {{QStringLiteral("Save or Load Settings Preset"), -2, false},
                                  {QStringLiteral("Export All Presets"), 3, false},
                                  {QStringLiteral("-"), 0, true},
                                  {QStringLiteral("Import Presets"), 4, true},
                                  {QStringLiteral("-"), 0, true},
                                  {QStringLiteral("There are no saved presets yet"), 0, false}};
    EXPECT_EQ(itemsOf(menu()), expected);
    EXPECT_EQ(menu().title(), QStringLiteral("Manage Presets"));
    ASSERT_NE(presets().prefPreset(), nullptr);
    EXPECT_EQ(presets().prefPreset()->menu(), presets().presetsMenu());

    // A lone shortcuts folder brings the header, still with nothing to list or export.
    QDir(folder).mkpath(QStringLiteral("Shortcuts"));
    const QList<Item> items = itemsOf(menu());
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(items[5], (Item{QStringLiteral("Presets"), -2, false}));
    EXPECT_EQ(items[6], (Item{QStringLiteral("There are no saved presets yet"), 0, false}));
    EXPECT_FALSE(items[1].enabled);
}

TEST_F(MRKOPresetControllerTest, SavingWritesABinaryPresetListedOnceWithItsSubmenu)
{
    ASSERT_TRUE(presets().savePresetWithName(QStringLiteral("Work")));
    ASSERT_TRUE(presets().savePresetWithName(QStringLiteral("Work")));

    const QByteArray data = readFile(file(QStringLiteral("Work.iksettings")));
    EXPECT_TRUE(data.startsWith("bplist00"));
    const PythonResult result = runPythonOnData(data, home() + QStringLiteral("/read.iksettings"), QStringLiteral(R"(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    print(plistlib.load(f)['EraserSize'])
)"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.lines, QStringList{QStringLiteral("80")});
    EXPECT_EQ(presets().presetNames(), QStringList{QStringLiteral("Work")});
    EXPECT_TRUE(presets().presetNameExists(QStringLiteral("Work")));
    EXPECT_FALSE(presets().presetNameExists(QStringLiteral("work")));

    QAction *preset = itemTitled(menu(), QStringLiteral("Work"));
    ASSERT_NE(preset, nullptr);
    ASSERT_NE(preset->menu(), nullptr);
    const QList<Item> expected = {{QStringLiteral("Load Settings"), 0, true},
                                  {QStringLiteral("Load Settings and Shortcuts"), 1, true},
                                  {QStringLiteral("Load Shortcuts"), 2, true},
                                  {QStringLiteral("-"), 0, true},
                                  {QStringLiteral("Export Preset"), 3, true},
                                  {QStringLiteral("Save to this Preset"), 4, true},
                                  {QStringLiteral("-"), 0, true},
                                  {QStringLiteral("Move to Bin"), 5, true}};
    EXPECT_EQ(itemsOf(*preset->menu()), expected);
    EXPECT_TRUE(itemsOf(menu())[1].enabled); // Export All
}

TEST_F(MRKOPresetControllerTest, NamesThatLeaveTheFolderWriteNothing)
{
    log().expectWarning(QStringLiteral("savePresetWithName: not saved"));
    for (const QString &name : {QStringLiteral("../x"), QString(), QStringLiteral("."), QStringLiteral(".."),
                                QStringLiteral("a/b"), QStringLiteral("a") + QChar(0), QString(250, QLatin1Char('n'))})
        EXPECT_FALSE(presets().savePresetWithName(name)) << name.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    EXPECT_FALSE(QFile::exists(QDir(folder).filePath(QStringLiteral("../x.iksettings"))));
    EXPECT_EQ(log().count(QStringLiteral("savePresetWithName: not saved")), 7);
}

TEST_F(MRKOPresetControllerTest, LoadingSettingsAppliesTheFileAndAnXmlOneAfterALine)
{
    const std::optional<QByteArray> xml =
        platform::PropertyList::toXml(QVariantMap{{QStringLiteral("EraserSize"), qint64(150)}});
    ASSERT_TRUE(xml);
    writeFile(file(QStringLiteral("Big.iksettings")), *xml);

    QAction *load = presetItem(QStringLiteral("Big"), 0);
    ASSERT_NE(load, nullptr);
    load->trigger();

    EXPECT_TRUE(log().contains(QStringLiteral("iksettings Plist format does not match")));
    EXPECT_EQ(liveSettings().eraserSize, 150);
    EXPECT_EQ(stored(QStringLiteral("EraserSize")).toLongLong(), 150);
}

TEST_F(MRKOPresetControllerTest, WithoutShortcutsInTheFileTheShortcutItemsAreInert)
{
    const std::optional<QByteArray> data =
        platform::PropertyList::toBinary(QVariantMap{{QStringLiteral("EraserSize"), qint64(150)}});
    ASSERT_TRUE(data);
    writeFile(file(QStringLiteral("Plain.iksettings")), *data);

    presetItem(QStringLiteral("Plain"), 2)->trigger();
    presetItem(QStringLiteral("Plain"), 1)->trigger();
    EXPECT_EQ(liveSettings().eraserSize, 80);

    presetItem(QStringLiteral("Plain"), 0)->trigger();
    EXPECT_EQ(liveSettings().eraserSize, 150);
}

TEST_F(MRKOPresetControllerTest, BadFilesLoadNothingWithOneLine)
{
    log().expectWarning(QStringLiteral("presetWithPath:"));
    const std::optional<QByteArray> array = platform::PropertyList::toBinary(QVariantList{qint64(1)});
    writeFile(file(QStringLiteral("Array.iksettings")), *array);
    writeFile(file(QStringLiteral("Damaged.iksettings")), QByteArray("bplist00 damaged"));
    QByteArray huge = *platform::PropertyList::toXml(QVariantMap{{QStringLiteral("EraserSize"), qint64(150)}});
    huge.append(QByteArray(MRKOPresetController::kMaxPresetBytes, ' '));
    writeFile(file(QStringLiteral("Huge.iksettings")), huge);
    QByteArray deep = "<plist><dict><key>EraserSize</key>";
    for (int i = 0; i < 40; ++i)
        deep += "<array>";
    for (int i = 0; i < 40; ++i)
        deep += "</array>";
    writeFile(file(QStringLiteral("Deep.iksettings")), deep + "</dict></plist>");
    const QByteArray settingsBefore = readFile(MRKOUtils::userDefaults().filePath());

    for (const QString &name :
         {QStringLiteral("Array"), QStringLiteral("Damaged"), QStringLiteral("Huge"), QStringLiteral("Deep")}) {
        log().clear();
        EXPECT_FALSE(MRKOPresetController::presetWithPath(file(name + QStringLiteral(".iksettings"))));
        EXPECT_EQ(log().count(QStringLiteral("presetWithPath:")), 1) << name.toStdString();
        presetItem(name, 0)->trigger();
    }
    EXPECT_EQ(liveSettings().eraserSize, 80);
    EXPECT_EQ(readFile(MRKOUtils::userDefaults().filePath()), settingsBefore);
    EXPECT_FALSE(MRKOPresetController::presetWithPath(file(QStringLiteral("Missing.iksettings"))));
}

TEST_F(MRKOPresetControllerTest, DocumentsTakeTheFirstFreeName)
{
    log().expectWarning(QStringLiteral("presetWithPath:")); // the bytes are stored unchecked; the menu reads them
    const QByteArray data("any bytes");
    EXPECT_EQ(presets().addPresetWithData(data, QStringLiteral("x.iksettings")), file(QStringLiteral("x.iksettings")));
    EXPECT_EQ(presets().addPresetWithData(data, QStringLiteral("x.iksettings")),
              file(QStringLiteral("x (1).iksettings")));
    EXPECT_EQ(readFile(file(QStringLiteral("x (1).iksettings"))), data);
    EXPECT_TRUE(presets().presetNames().contains(QStringLiteral("x (1)")));
}

TEST_F(MRKOPresetControllerTest, ImportKeepsAnExistingPresetAndExportNeverReplaces)
{
    log().expectWarning(QStringLiteral("already exists"));
    log().expectWarning(QStringLiteral("presetWithPath:")); // the imported files hold no presets
    ASSERT_TRUE(presets().savePresetWithName(QStringLiteral("Work")));
    const QByteArray mine = readFile(file(QStringLiteral("Work.iksettings")));
    QDir(home()).mkpath(QStringLiteral("in"));
    writeFile(home() + QStringLiteral("/in/Work.iksettings"), "other");
    writeFile(home() + QStringLiteral("/in/New.iksettings"), "new");
    writeFile(home() + QStringLiteral("/in/notes.txt"), "text");
    openPanel->answer = {home() + QStringLiteral("/in/Work.iksettings"), home() + QStringLiteral("/in/New.iksettings"),
                         home() + QStringLiteral("/in/notes.txt")};

    itemTitled(menu(), QStringLiteral("Import Presets"))->trigger();

    ASSERT_EQ(openPanel->requests.size(), 1);
    EXPECT_EQ(openPanel->requests[0].message, QStringLiteral("Choose one or few settings presets to import"));
    EXPECT_EQ(readFile(file(QStringLiteral("Work.iksettings"))), mine);
    EXPECT_EQ(readFile(file(QStringLiteral("New.iksettings"))), QByteArray("new"));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("notes.txt"))));
    EXPECT_TRUE(presets().presetNames().contains(QStringLiteral("New")));

    // Export one to where a file lies already: it stays; to a free place the preset is copied.
    fakes().savePanel->answer = home() + QStringLiteral("/in/Work.iksettings");
    presetItem(QStringLiteral("Work"), 3)->trigger();
    EXPECT_EQ(readFile(home() + QStringLiteral("/in/Work.iksettings")), QByteArray("other"));
    fakes().savePanel->answer = home() + QStringLiteral("/out.iksettings");
    presetItem(QStringLiteral("Work"), 3)->trigger();
    EXPECT_EQ(readFile(home() + QStringLiteral("/out.iksettings")), mine);
    EXPECT_EQ(fakes().savePanel->requests.last().proposedName, QStringLiteral("Work"));

    // Export all into a folder: every listed preset, nothing else.
    QDir(home()).mkpath(QStringLiteral("all"));
    openPanel->answer = {home() + QStringLiteral("/all")};
    itemTitled(menu(), QStringLiteral("Export All Presets"))->trigger();
    QStringList exported = QDir(home() + QStringLiteral("/all")).entryList(QDir::Files);
    exported.sort();
    EXPECT_EQ(exported, (QStringList{QStringLiteral("New.iksettings"), QStringLiteral("Work.iksettings")}));
    EXPECT_TRUE(openPanel->requests.last().canChooseDirectories);
    EXPECT_FALSE(openPanel->requests.last().canChooseFiles);
}

TEST_F(MRKOPresetControllerTest, MoveToBinPutsThePresetIntoTheTrash)
{
    ASSERT_TRUE(presets().savePresetWithName(QStringLiteral("Old")));

    presetItem(QStringLiteral("Old"), 5)->trigger();

    EXPECT_FALSE(QFile::exists(file(QStringLiteral("Old.iksettings"))));
    const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash");
    EXPECT_TRUE(QFile::exists(trash + QStringLiteral("/files/Old.iksettings")));
    EXPECT_TRUE(QFile::exists(trash + QStringLiteral("/info/Old.iksettings.trashinfo")));
    EXPECT_TRUE(presets().presetNames().isEmpty());
}

TEST_F(MRKOPresetControllerTest, ThePopoverWarnsBeforeReplacingAndRefusesBadNames)
{
    ASSERT_TRUE(presets().savePresetWithName(QStringLiteral("Work")));
    presets().savePresetAs();
    MRKOSavePresetPopover &popover = presets().savePresetPopover();
    QLineEdit &field = *popover.nameField();
    EXPECT_EQ(field.text(), QStringLiteral("Preset Name"));

    field.setText(QString());
    popover.save();
    EXPECT_EQ(popover.titleField()->text(), QStringLiteral("Preset name is too short"));

    QTest::keyClicks(&field, QStringLiteral("../x"));
    popover.save();
    EXPECT_EQ(popover.titleField()->text(), QStringLiteral("Preset name is not allowed"));

    field.clear();
    QTest::keyClicks(&field, QStringLiteral("Work"));
    popover.save();
    EXPECT_EQ(popover.titleField()->text(), QStringLiteral("Preset name already exists"));
    EXPECT_EQ(popover.saveButton()->text(), QStringLiteral("Rewrite"));
    // An edit asks again.
    QTest::keyClick(&field, Qt::Key_A);
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(popover.saveButton()->text(), QStringLiteral("Save"));
    popover.save();
    EXPECT_EQ(popover.saveButton()->text(), QStringLiteral("Rewrite"));
    QFile::remove(file(QStringLiteral("Work.iksettings")));
    popover.save(); // the second press writes
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("Work.iksettings"))));
    drainMainQueue();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(presets().hasSavePresetPopover());
}

} // namespace
