#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "shortcuts/KQShortCutPopover.h"
#include "shortcuts/KQTextField.h"
#include "shortcuts/MRKOShortcutsViewController.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TrayProgram.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

namespace {

constexpr QSize kPaneWindow(640, 700);  // pixels
constexpr int kFromBottomShortcuts = 5; // Shortcuts, Feedback, Remote, Welcome, Quit

struct PanePoints
{
    QPoint undoField;
    QPoint savePresetAs;
    QPoint restoreDefaults;
    QPoint presets;
};

/// Where the controls lie in the pane's window: the same pane made here at the same size lays out as the
/// program's does.
PanePoints panePoints()
{
    MRKOShortcutsViewController &pane = MRKOShortcutsViewController::sharedController();
    pane.setAttribute(Qt::WA_DontShowOnScreen);
    pane.resize(kPaneWindow);
    pane.show();
    QCoreApplication::processEvents();
    const auto centre = [&pane](const QWidget *widget) {
        return widget ? widget->mapTo(&pane, widget->rect().center()) : QPoint();
    };
    PanePoints points;
    // The left part of the field: its right end holds the restore and switch buttons.
    const KQTextField *undo = pane.fieldWithIdentifier(QStringLiteral("ShortcutUndo"));
    points.undoField = undo ? undo->mapTo(&pane, QPoint(60, undo->height() / 2)) : QPoint();
    points.savePresetAs = centre(pane.findChild<QPushButton *>(QStringLiteral("saveShortcutPresetAsButton")));
    points.restoreDefaults = centre(pane.findChild<QPushButton *>(QStringLiteral("restoreDefaultsButton")));
    points.presets = centre(pane.shortcutPresetsButton());
    delete &pane;
    return points;
}

bool clickIn(quint64 window, QPoint point)
{
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
                    QString::number(point.x()), QString::number(point.y()), QStringLiteral("click"),
                    QStringLiteral("1")});
}

bool keys(const QString &sequence)
{
    QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("150")};
    arguments += sequence.split(QLatin1Char(' '));
    return xdotool(arguments);
}

QString storedUndo()
{
    platform::Defaults reader(MRKOUtils::userDefaults().filePath());
    return reader.stringForKey(QStringLiteral("ShortcutUndo"));
}

} // namespace

class ShortcutsPaneX11Test : public InkoraFixture
{
};

TEST_F(ShortcutsPaneX11Test, RecordedUndoGoesThroughAPresetAndARelaunch)
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setBool(true, QStringLiteral("FirstTimeRun"));
    defaults.setInteger(1, QStringLiteral("DissolveModeKey")); // freeze mode: strokes stay until undone
    defaults.synchronize();
    const PanePoints points = panePoints();
    ASSERT_FALSE(points.undoField.isNull());
    const QString ctrlShiftU = QStringLiteral("dW5kb1dpdGhFdmVudDosMTE3OTY0OCwzMiww");

    TrayProgram program;
    ASSERT_TRUE(program.start(QStringLiteral(INKORA_PROGRAM))) << program.output().constData();
    ASSERT_TRUE(program.chooseStatusMenuItemFromBottom(kFromBottomShortcuts)) << program.output().constData();
    const quint64 window = program.waitForWindow(QStringLiteral("Inkora Shortcuts"));
    ASSERT_NE(window, 0u) << program.output().constData();
    ASSERT_TRUE(QTest::qWaitFor([&] { return program.overlayShown(); }, 10000)) << "the pane shows the overlay first";
    ASSERT_TRUE(xdotool({QStringLiteral("windowsize"), QStringLiteral("--sync"), QString::number(window),
                         QString::number(kPaneWindow.width()), QString::number(kPaneWindow.height())}));
    ASSERT_TRUE(xdotool({QStringLiteral("windowmove"), QStringLiteral("--sync"), QString::number(window),
                         QStringLiteral("0"), QStringLiteral("40")}));
    QTest::qWait(500);

    // Record ctrl+shift+u for undo: a click on the field opens the recorder beside it; "Ok" takes the keys.
    ASSERT_TRUE(clickIn(window, points.undoField));
    QTest::qWait(600);
    ASSERT_TRUE(keys(QStringLiteral("ctrl+shift+u")));
    quint64 recorder = 0;
    for (const quint64 each : program.visibleWindows()) {
        if (TrayProgram::windowGeometry(each).size() ==
            QSize(int(KQShortCutPopover::kWidth), int(KQShortCutPopover::kHeight)))
            recorder = each;
    }
    ASSERT_NE(recorder, 0u) << program.output().constData();
    ASSERT_TRUE(clickIn(recorder, QPoint(105, int(KQShortCutPopover::kHeight) - 8 - 11)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return storedUndo() == ctrlShiftU; }, 10000)) << storedUndo().toStdString();

    // Save it as "Mine": the name popover opens with its text selected, so typing replaces it.
    ASSERT_TRUE(clickIn(window, points.savePresetAs));
    QTest::qWait(600);
    ASSERT_TRUE(
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("Mine")}));
    ASSERT_TRUE(keys(QStringLiteral("Return")));
    const QString preset = QDir(MRKOUtils::shortcutPresetsURL()).filePath(QStringLiteral("Mine.ikshortcuts"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(preset); }, 10000)) << program.output().constData();

    ASSERT_TRUE(clickIn(window, points.restoreDefaults));
    ASSERT_TRUE(QTest::qWaitFor([&] { return storedUndo().isEmpty(); }, 10000));

    // The presets pull-down: past "Export All Presets" and "Import Presets" to "Mine", then its "Load Shortcuts".
    ASSERT_TRUE(clickIn(window, points.presets));
    QTest::qWait(600);
    ASSERT_TRUE(keys(QStringLiteral("Down Down Down Right Down Return")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return storedUndo() == ctrlShiftU; }, 10000)) << program.output().constData();

    // A stroke on the overlay, beside the pane's window: ctrl+z leaves it, ctrl+shift+u undoes it.
    QTest::qWait(500);
    const QImage before = screenshot();
    const QPoint from(900, 300);
    const QPoint to(1250, 650);
    QStringList drag{QStringLiteral("mousemove"), QStringLiteral("--sync"),    QString::number(from.x()),
                     QString::number(from.y()),   QStringLiteral("mousedown"), QStringLiteral("1")};
    for (int step = 1; step <= 15; ++step) {
        const QPoint p = from + (to - from) * step / 15;
        drag << QStringLiteral("mousemove") << QStringLiteral("--sync") << QString::number(p.x())
             << QString::number(p.y());
    }
    drag << QStringLiteral("mouseup") << QStringLiteral("1");
    ASSERT_TRUE(xdotool(drag));
    const QPoint middle = (from + to) / 2;
    const auto strokeShown = [&] {
        const QImage now = screenshot();
        return !now.isNull() && !before.isNull() && now.pixel(middle) != before.pixel(middle);
    };
    ASSERT_TRUE(QTest::qWaitFor(strokeShown, 10000)) << "the drag left a stroke";
    ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QStringLiteral("60"), QStringLiteral("860")}));

    ASSERT_TRUE(keys(QStringLiteral("ctrl+z")));
    QTest::qWait(1500);
    EXPECT_TRUE(strokeShown()) << "ctrl+z no longer undoes";
    ASSERT_TRUE(keys(QStringLiteral("ctrl+shift+u")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !strokeShown(); }, 10000)) << "ctrl+shift+u undoes";

    ASSERT_TRUE(program.terminate()) << program.output().constData();
    TrayProgram again;
    ASSERT_TRUE(again.start(QStringLiteral(INKORA_PROGRAM))) << again.output().constData();
    ASSERT_TRUE(again.terminate()) << again.output().constData();
    EXPECT_EQ(storedUndo(), ctrlShiftU);
}
