#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "settings/MRKOPreferencesViewController.h"
#include "settings/PrefSlider.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/PythonReader.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TrayProgram.h"

#include <QFile>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

namespace {

constexpr QSize kPaneWindow(640, 840);    // pixels; tall enough to show the fade slider without scrolling
constexpr int kFromBottomPreferences = 6; // Preferences, Shortcuts, Feedback, Remote, Welcome, Quit

/// Where the fade slider's handle lies in the pane's window: the same pane made here at the same size, from the
/// same settings file, lays out as the program's does.
QPoint fadeSliderHandle()
{
    AppDelegate delegate;
    delegate.prepareUserDefaults();
    MRKOPreferencesViewController &pane = MRKOPreferencesViewController::sharedController();
    pane.setAttribute(Qt::WA_DontShowOnScreen);
    pane.resize(kPaneWindow);
    pane.show();
    QCoreApplication::processEvents();
    const auto *slider = pane.findChild<inkora::PrefSlider *>(QStringLiteral("fadeTimeSlider"));
    QPoint point;
    if (slider) {
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.orientation = Qt::Horizontal;
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = slider->sliderPosition();
        option.sliderValue = slider->value();
        const QRect handle =
            slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
        point = slider->mapTo(&pane, handle.center());
    }
    delete &pane;
    return point;
}

/// Draws a stroke across the right half of the screen, well away from the pane's window, and tells whether a
/// change shows at its middle some seconds after the button went up.
bool strokeStaysFor(double seconds)
{
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
    if (!xdotool(drag))
        return false;
    QTest::qWait(int(seconds * 1000));
    const QImage after = screenshot();
    const QPoint middle = (from + to) / 2;
    return !before.isNull() && !after.isNull() && after.pixel(middle) != before.pixel(middle);
}

bool showOverlay(TrayProgram &program)
{
    // The activation shortcut works once the launch is complete; it is typed again until the overlay shows.
    for (int attempt = 0; attempt < 10; ++attempt) {
        (void)xdotool({QStringLiteral("key"), QStringLiteral("super+alt+d")});
        if (QTest::qWaitFor([&] { return program.overlayShown(); }, 2000))
            return true;
    }
    return false;
}

} // namespace

class PreferencesX11Test : public InkoraFixture
{
};

TEST_F(PreferencesX11Test, SlowestFadeChosenInThePaneKeepsStrokesAndSurvivesARestart)
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setBool(true, QStringLiteral("FirstTimeRun"));
    defaults.setInteger(0, QStringLiteral("DissolveModeKey")); // fade mode
    defaults.synchronize();
    const QPoint slider = fadeSliderHandle();
    ASSERT_FALSE(slider.isNull());

    {
        TrayProgram program;
        ASSERT_TRUE(program.start(QStringLiteral(INKORA_PROGRAM))) << program.output().constData();
        ASSERT_TRUE(program.chooseStatusMenuItemFromBottom(kFromBottomPreferences)) << program.output().constData();
        const quint64 window = program.waitForWindow(QStringLiteral("Inkora Preferences"));
        ASSERT_NE(window, 0u) << program.output().constData();
        ASSERT_TRUE(xdotool({QStringLiteral("windowsize"), QStringLiteral("--sync"), QString::number(window),
                             QString::number(kPaneWindow.width()), QString::number(kPaneWindow.height())}));
        ASSERT_TRUE(xdotool({QStringLiteral("windowmove"), QStringLiteral("--sync"), QString::number(window),
                             QStringLiteral("0"), QStringLiteral("40")}));
        QTest::qWait(500);

        // The slider's handle dragged to its left end: the slowest fade.
        ASSERT_TRUE(xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
                             QString::number(slider.x()), QString::number(slider.y()), QStringLiteral("mousedown"),
                             QStringLiteral("1"), QStringLiteral("mousemove"), QStringLiteral("--window"),
                             QString::number(window), QString::number(slider.x() - 120), QString::number(slider.y()),
                             QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
                             QString::number(slider.x() - 400), QString::number(slider.y()), QStringLiteral("mouseup"),
                             QStringLiteral("1")}));
        ASSERT_TRUE(QTest::qWaitFor(
            [] {
                platform::Defaults reader(MRKOUtils::userDefaults().filePath());
                return reader.integerForKey(QStringLiteral("FadeOutTimeKey")) == 5;
            },
            10000))
            << program.output().constData();

        ASSERT_TRUE(showOverlay(program)) << program.output().constData();
        QTest::qWait(800);
        EXPECT_TRUE(strokeStaysFor(3.0)) << "a slow fade keeps the stroke 3 s after release";
        ASSERT_TRUE(program.terminate()) << program.output().constData();
    }

    QFile file(MRKOUtils::userDefaults().filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const PythonResult stored = runPythonOnData(file.readAll(), home() + QStringLiteral("/settings.plist"),
                                                QStringLiteral("import plistlib, sys\n"
                                                               "print(plistlib.load(open(sys.argv[1], 'rb'))"
                                                               "['FadeOutTimeKey'])\n"));
    ASSERT_TRUE(stored.ok) << stored.error.toStdString();
    EXPECT_EQ(stored.lines, QStringList{QStringLiteral("5")});

    TrayProgram again;
    ASSERT_TRUE(again.start(QStringLiteral(INKORA_PROGRAM))) << again.output().constData();
    ASSERT_TRUE(showOverlay(again)) << again.output().constData();
    QTest::qWait(800);
    EXPECT_TRUE(strokeStaysFor(3.0)) << "the restarted program fades as slowly";
    EXPECT_TRUE(again.terminate()) << again.output().constData();
}
