#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/NotificationCenter.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeSavePanel.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQTextField.h"
#include "shortcuts/MRKOActionPopupButton.h"
#include "shortcuts/MRKOTextBadgeShortcutSegControl.h"
#include "tests/shortcuts/ShortcutsPaneFixture.h"
#include "tools/MRKOColorSegmentedControl.h"

#include <QCheckBox>
#include <QDir>
#include <QPalette>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>

#include <algorithm>
#include <regex>

namespace {

constexpr quint16 kU = 32;
constexpr quint16 kZ = 6;
constexpr quint64 kCommandShift = 0x120000;
constexpr std::uint32_t kCommandMask = 0x100;
constexpr std::uint32_t kShiftMask = 0x200;

} // namespace

using MRKOShortcutsViewControllerTest = ShortcutsPaneFixture;

TEST_F(MRKOShortcutsViewControllerTest, FieldsFollowTheTableAndHoldTheDelegatesVeryShortcuts)
{
    const QList<KQTextField *> &fields = pane().shortcutsTextFields();
    ASSERT_EQ(fields.size(), 63);
    EXPECT_EQ(fields.first()->identifier(), QStringLiteral("ShortcutActivate"));
    EXPECT_EQ(fields.last()->identifier(), QStringLiteral("ShortcutClearCanvasEx"));
    EXPECT_EQ(fields[15]->identifier(), QStringLiteral("ShortcutUndo"));
    EXPECT_EQ(fields[15]->objectName(), QStringLiteral("undo"));
    EXPECT_EQ(pane().shortcutKeys().size(), 63);
    EXPECT_EQ(field("ShortcutUndo").shortCut(), delegate().shortCutForProperty(QStringLiteral("undoShortCut")));
    EXPECT_EQ(field("ShortcutActivate").shortCut(), delegate().activateShortCut());

    ASSERT_EQ(pane().actionSlots().size(), 30);
    EXPECT_EQ(pane().actionSlots()[25]->tag(), 10);
    EXPECT_EQ(pane().actionSlots()[24]->tag(), 25);
    EXPECT_EQ(pane().actionSlots()[25]->objectName(), QStringLiteral("actionSlotBlackNWhite"));
    EXPECT_EQ(pane().badgeSegControls().size(), 10);
    EXPECT_EQ(pane().colorSegControls().size(), 10);
    EXPECT_EQ(pane().colorSegControls()[3]->tag(), 3u);
}

TEST_F(MRKOShortcutsViewControllerTest, CommandWithoutAShortcutKeepsItsFieldAndStaysOutOfThePreset)
{
    delete &pane();
    delegate().setShortCutForProperty(QStringLiteral("groupShortCut"), nullptr);
    pane().loadShortcutsViewIfNeeded();

    ASSERT_EQ(pane().shortcutsTextFields().size(), 63);
    EXPECT_EQ(field("ShortcutGroup").shortCut(), nullptr);
    const QVariantMap shortcuts = pane().shortcutsPresetDict().value(QStringLiteral("PresetShortcuts")).toMap();
    EXPECT_EQ(shortcuts.size(), 62);
    EXPECT_FALSE(shortcuts.contains(QStringLiteral("ShortcutGroup")));
}

TEST_F(MRKOShortcutsViewControllerTest, EditingAFieldMovesTheLiveHotKey)
{
    field("ShortcutUndo").assignShortcut(KQShortCut::shortCutWithKeyCode(kU, kCommandShift, nullptr, QString()));

    EXPECT_TRUE(hotKeys().isGrabbed(kU, kCommandMask | kShiftMask));
    EXPECT_FALSE(hotKeys().isGrabbed(kZ, kCommandMask));
    EXPECT_EQ(MRKOUtils::userDefaults().stringForKey(QStringLiteral("ShortcutUndo")),
              QStringLiteral("dW5kb1dpdGhFdmVudDosMTE3OTY0OCwzMiww"));
}

TEST_F(MRKOShortcutsViewControllerTest, DisableAllThenEnableAllLeavesEveryShortcutEnabled)
{
    field("ShortcutRedo").enableToggleShortcut(); // disabled before
    ASSERT_TRUE(field("ShortcutRedo").shortCut()->disabled());

    pane().disableAll();
    for (const KQTextField *each : pane().shortcutsTextFields())
        EXPECT_TRUE(each->shortCut()->disabled()) << each->identifier().toStdString();
    pane().enableAll();

    for (const KQTextField *each : pane().shortcutsTextFields())
        EXPECT_FALSE(each->shortCut()->disabled()) << each->identifier().toStdString();
    EXPECT_TRUE(hotKeys().isGrabbed(kZ, kCommandMask));
}

TEST_F(MRKOShortcutsViewControllerTest, RestoreDefaultsUnbindsEverythingBeforeBindingAnything)
{
    field("ShortcutUndo").assignShortcut(KQShortCut::shortCutWithKeyCode(kU, kCommandShift, nullptr, QString()));
    hotKeys().clearCalls();

    pane().restoreDefaults();
    drainMainQueue(); // the stored shortcut goes on the next turn

    const std::string calls = hotKeys().calls();
    EXPECT_TRUE(std::regex_match(calls, std::regex("u+r+"))) << calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), 'r'), qsizetype(hotKeys().grabs().size()));
    EXPECT_TRUE(hotKeys().isGrabbed(kZ, kCommandMask));
    EXPECT_FALSE(hotKeys().isGrabbed(kU, kCommandMask | kShiftMask));
    EXPECT_FALSE(MRKOUtils::userDefaults().objectForKey(QStringLiteral("ShortcutUndo")).isValid());
}

TEST_F(MRKOShortcutsViewControllerTest, RestoreAllPutsEveryGroupBackAndLeavesTheFnChoiceAbsent)
{
    pane().allowFnInGhostModeButton()->click();
    ASSERT_EQ(MRKOUtils::userDefaults().integerForKey(QStringLiteral("AllowFnShortcutsInGhostMode")), 1);
    ASSERT_TRUE(MRKOUtils::cachedFnShortcutsInGhostMode());
    pane().disableAllActions();
    pane().badgeSegControls()[2]->applyAdjustmentWithString(QStringLiteral("Hi"));
    pane().colorSegControls()[4]->applyAdjustmentWithString(QStringLiteral("0.100000+0.200000+0.300000+1.000000"));

    pane().restoreAllAdjustment();
    drainMainQueue();

    platform::Defaults &defaults = MRKOUtils::userDefaults();
    EXPECT_FALSE(defaults.persistentDomain().contains(QStringLiteral("AllowFnShortcutsInGhostMode")));
    EXPECT_FALSE(pane().allowFnInGhostModeButton()->isChecked());
    EXPECT_EQ(pane().actionSlots()[0]->extraAction(), 27u);
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("SingleKeyActionSlot0")).isValid());
    EXPECT_TRUE(pane().badgeSegControls()[2]->string().isNull());
    EXPECT_FALSE(pane().colorSegControls()[4]->color().isValid());
}

TEST_F(MRKOShortcutsViewControllerTest, ABurstOfSwatchChangesRebuildsTheSlotMenusOnce)
{
    QSignalSpy rebuilt(pane().actionSlots()[0]->model(), &QAbstractItemModel::rowsRemoved);
    const QString name = QString::fromLatin1(MRKOColorSegmentedControl::kUpdateSwatchImagesNotification);

    for (int i = 0; i < 3; ++i) {
        platform::NotificationCenter::defaultCenter().post(name);
        advance(0.04);
    }
    EXPECT_EQ(rebuilt.count(), 0);
    advance(0.1);

    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_EQ(pane().actionSlots()[0]->currentData().toULongLong(), 27u);
}

TEST_F(MRKOShortcutsViewControllerTest, ShortcutListSavesAsOnePageOfTheWholeContainer)
{
    log().expectWarning(QStringLiteral("propagateSizeHints"));
    pane().resize(620, 500); // the container is far taller than what shows
    pane().show();
    drainMainQueue();
    const QSize size = pane().containerView()->size();
    ASSERT_GT(size.height(), 1000);
    for (const auto &[dark, grey] : {std::pair{false, 242}, std::pair{true, 33}}) {
        SCOPED_TRACE(dark);
        QPalette palette = pane().palette();
        palette.setColor(QPalette::Window, dark ? QColor(30, 30, 30) : QColor(240, 240, 240));
        pane().setPalette(palette);
        const QString path = home() + (dark ? QStringLiteral("/dark.pdf") : QStringLiteral("/light.pdf"));
        fakes().savePanel->answer = path;

        pane().saveAsPDF();

        ASSERT_EQ(fakes().savePanel->requests.last().proposedName, QStringLiteral("Inkora Shortcut List"));
        EXPECT_EQ(fakes().savePanel->requests.last().allowedTypes, QStringList{QStringLiteral("pdf")});
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        ASSERT_TRUE(info.waitForFinished(30000));
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << text.toStdString();
        EXPECT_TRUE(text.contains(
            QRegularExpression(QStringLiteral("Page size:\\s+%1 x %2 pts").arg(size.width()).arg(size.height()))))
            << text.toStdString();
        QProcess raster;
        raster.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                                                  QStringLiteral("-singlefile"), path, path});
        ASSERT_TRUE(raster.waitForFinished(60000));
        const QImage page(path + QStringLiteral(".png"));
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(qGray(page.pixel(page.width() - 2, page.height() - 2)), grey);
    }

    // Cancelled: nothing written, and the command shortcuts the panel took away are bound again.
    fakes().savePanel->answer.clear();
    pane().saveAsPDF();
    EXPECT_EQ(QDir(home()).entryList({QStringLiteral("*.pdf")}).size(), 2);
    EXPECT_TRUE(hotKeys().isGrabbed(kZ, kCommandMask));
}
