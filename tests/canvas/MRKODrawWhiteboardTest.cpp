#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOLayerTracking.h"
#include "canvas/MRKOWhiteBackController.h"
#include "canvas/MRKOWhiteBoardColorController.h"
#include "canvas/MRKOWhiteBoardCustomColorButton.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/Defaults.h"
#include "platform/fake/FakeScreens.h"
#include "snapshots/MRKOSnapshot.h"
#include "tests/canvas/CanvasFixture.h"

#include <QLabel>

namespace {

// Two displays side by side, built as the shell builds them.
class BoardDelegate final : public AppDelegate
{
public:
    bool ghost = false;
    [[nodiscard]] bool isPinnedOnTop() const override { return ghost; }
};

class MRKODrawWhiteboardTest : public CanvasFixture
{
protected:
    void TearDown() override
    {
        m_delegate.reset();
        CanvasFixture::TearDown();
    }

    static inkora::LiveSettings &live() { return inkora::liveSettings(); }

    BoardDelegate &shell(int displays)
    {
        m_delegate = std::make_unique<BoardDelegate>();
        QList<platform::ScreenInfo> screens;
        for (int i = 0; i < displays; ++i)
            screens.append(platform::FakeScreens::makeScreen(quint32(i + 1), QRectF(1440 * i, 0, 1440, 900)));
        fakes().screens->setScreens(screens);
        for (const platform::ScreenInfo &screen : screens)
            m_delegate->makeScreenDrawableShow(screen, false);
        return *m_delegate;
    }

    MRKODraw &canvasAt(int index) { return *m_delegate->windowControllersArray().at(index)->drawView(); }

    static platform::LayerPtr button(const std::shared_ptr<MRKOLayerTracking> &tracker) { return tracker->layer(); }

private:
    std::unique_ptr<BoardDelegate> m_delegate;
};

TEST_F(MRKODrawWhiteboardTest, LayoutsPlaceTheBackAndItsButtons)
{
    struct Row
    {
        const char *name;
        qint64 layout;
        QRectF back;
        double radius;
        QRectF close;
        QRectF menu;
    };
    const std::vector<Row> rows = {
        {"TopLeftQuarter", 5, {0, 450, 720, 450}, 10, {4, 429, 17, 17}, {689, 425, 26, 22}},
        {"TopHalf", 3, {0, 450, 1440, 450}, 0, {4, 429, 17, 17}, {1409, 425, 26, 22}},
        {"Whole", 0, {0, 0, 1440, 900}, 0, {4, 879, 17, 17}, {1409, 875, 26, 22}},
        {"UnknownIsWhole", 42, {0, 0, 1440, 900}, 10, {4, 879, 17, 17}, {1409, 875, 26, 22}},
    };
    BoardDelegate &delegate = shell(1);
    MRKODraw &canvas = canvasAt(0);
    delegate.setWhiteboard(true);
    ASSERT_TRUE(canvas.hasWhiteBack());
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        canvas.whiteBoardLayoutSelected(row.layout);
        EXPECT_EQ(MRKOUtils::userDefaults().integerForKey(QStringLiteral("wb_0")), row.layout);
        EXPECT_EQ(canvas.whiteBack()->frame(), row.back);
        EXPECT_EQ(canvas.whiteBack()->cornerRadius(), row.radius);
        EXPECT_EQ(canvas.whiteBackCloseButtonRect(), row.close);
        EXPECT_EQ(canvas.whiteBackMenuRect(), row.menu);
        EXPECT_EQ(button(canvas.wbController()->menuWhiteBackTracking)->frame(), row.menu) << "stays top right";
        // The areas are in the canvas's points: the back's origin added.
        EXPECT_EQ(canvas.wbController()->closeWhiteBackTrackingArea->rect(), row.close.translated(row.back.topLeft()));
    }
}

TEST_F(MRKODrawWhiteboardTest, ColoursFollowTheColourType)
{
    struct Row
    {
        const char *name;
        qint64 type;
        QColor colour;
    };
    MRKOWhiteBoardColorController::colorController().resetColor();
    const std::vector<Row> rows = {
        {"White", 0, QColor::fromRgbF(1, 1, 1, 1)},    {"DarkGrey", 1, QColor::fromRgbF(0.2, 0.2, 0.2, 1)},
        {"Black", 2, QColor::fromRgbF(0, 0, 0, 1)},    {"CustomAfterReset", 3, QColor::fromRgbF(1.0, 0.91, 0.83, 1)},
        {"AnyOther", 7, QColor::fromRgbF(0, 0, 0, 1)},
    };
    BoardDelegate &delegate = shell(2);
    delegate.setWhiteboard(true);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        canvasAt(0).whiteBoardColorSelected(row.type);
        EXPECT_EQ(live().whiteBoardColorType, row.type);
        for (int i = 0; i < 2; ++i) {
            if (canvasAt(i).hasWhiteBack())
                EXPECT_EQ(canvasAt(i).whiteBack()->backgroundColor(), row.colour);
        }
    }
}

TEST_F(MRKODrawWhiteboardTest, AnUnreadableCustomColourGivesTheDefault)
{
    auto &controller = MRKOWhiteBoardColorController::colorController();
    MRKOUtils::userDefaults().setObject(QStringLiteral("not a colour"), QStringLiteral("WhiteBoardCustomColor"));
    controller.loadColor();
    EXPECT_EQ(controller.effectiveColor(), MRKOWhiteBoardColorController::defaultWhiteBoardCustomColor());
    controller.setWhiteboardColor(QColor());
    EXPECT_EQ(controller.effectiveColor(), MRKOWhiteBoardColorController::defaultWhiteBoardCustomColor());
    controller.setWhiteboardColor(QColor::fromRgbF(0, 0.5, 0, 1));
    EXPECT_EQ(MRKOUtils::userDefaults().stringForKey(QStringLiteral("WhiteBoardCustomColor")),
              OnOffColor::srgbColorStringValue(QColor::fromRgbF(0, 0.5, 0, 1)));
    controller.resetColor();
}

TEST_F(MRKODrawWhiteboardTest, HidingMovesTheWhiteboardOnToTheNextDisplay)
{
    BoardDelegate &delegate = shell(2);
    MRKOUtils::userDefaults().setBool(true, QStringLiteral("wbHidden_1"));
    canvasAt(1).updateWhiteboardSettings();
    delegate.setWhiteboard(true);
    ASSERT_TRUE(canvasAt(0).hasWhiteBack());
    ASSERT_FALSE(canvasAt(1).hasWhiteBack());

    canvasAt(0).hideWhiteBoardSelected();

    EXPECT_FALSE(canvasAt(0).hasWhiteBack());
    EXPECT_TRUE(MRKOUtils::userDefaults().boolForKey(QStringLiteral("wbHidden_0")));
    EXPECT_TRUE(canvasAt(1).hasWhiteBack());
    EXPECT_FALSE(MRKOUtils::userDefaults().objectForKey(QStringLiteral("wbHidden_1")).isValid());
    EXPECT_EQ(delegate.windowControllersWithoutWhiteboards().size(), 1);
}

TEST_F(MRKODrawWhiteboardTest, ACanvasNoControllerHoldsHidesItsOwnBoardOnly)
{
    shell(1);
    RecordingCanvas &tour = makeCanvas(QSizeF(400, 300));
    tour.makeWhiteBack();
    ASSERT_TRUE(tour.hasWhiteBack());
    tour.hideWhiteBoardSelected();
    EXPECT_FALSE(tour.hasWhiteBack());
    EXPECT_FALSE(canvasAt(0).hasWhiteBack()) << "nothing moved on";
}

TEST_F(MRKODrawWhiteboardTest, GhostModeDimsTheBackAndHidesItsButtons)
{
    BoardDelegate &delegate = shell(1);
    delegate.setWhiteboard(true);
    MRKODraw &canvas = canvasAt(0);
    canvas.whiteBackSemiTransparent();
    EXPECT_EQ(canvas.whiteBack()->opacity(), 0.5);
    for (const auto &layer : canvas.whiteBack()->sublayers())
        EXPECT_EQ(layer->opacity(), 0);
    canvas.whiteBackFullOpaque();
    EXPECT_EQ(canvas.whiteBack()->opacity(), 1);

    delegate.setWhiteboard(false);
    delegate.ghost = true;
    delegate.setWhiteboard(true);
    EXPECT_EQ(canvas.whiteBack()->opacity(), 0.5) << "made in ghost mode";
}

TEST_F(MRKODrawWhiteboardTest, HoverTintsAButtonAndAPressOnCloseEndsTheWhiteboard)
{
    BoardDelegate &delegate = shell(1);
    delegate.setWhiteboard(true);
    MRKODraw &canvas = canvasAt(0);
    const auto &close = canvas.wbController()->closeWhiteBackTracking;
    const auto pixel = [&] { return button(close)->contents()->pixelColor(8, 2); }; // on the disc
    ASSERT_TRUE(button(close)->contents());
    EXPECT_FALSE(close->entered());

    platform::Event move = pointerEvent(platform::EventType::MouseMoved, QPointF(12, 888));
    const_cast<platform::TrackingAreas &>(canvas.trackingAreas()).pointerMoved(move, QPointF(12, 888), true);
    EXPECT_TRUE(close->entered());
    const QColor accent = pixel();
    const_cast<platform::TrackingAreas &>(canvas.trackingAreas()).pointerMoved(move, QPointF(300, 300), true);
    EXPECT_FALSE(close->entered());
    EXPECT_NE(pixel(), accent);

    canvas.mouseDown(pointerEvent(platform::EventType::LeftMouseDown, QPointF(12, 888)));
    EXPECT_FALSE(delegate.isWhiteboardOn());
    EXPECT_FALSE(canvas.hasWhiteBack());
}

TEST_F(MRKODrawWhiteboardTest, ADisabledDisplayGetsNoWhiteboard)
{
    BoardDelegate &delegate = shell(2);
    delegate.setScreenDisabledAtIndex(true, 1);
    delegate.setWhiteboard(true);
    EXPECT_TRUE(canvasAt(0).hasWhiteBack());
    EXPECT_FALSE(canvasAt(1).hasWhiteBack());
    delegate.setScreenDisabledAtIndex(false, 1);
    EXPECT_TRUE(canvasAt(1).hasWhiteBack());
}

TEST_F(MRKODrawWhiteboardTest, TheCustomColourButtonStoresThePickedColourAndRecoloursTheBoards)
{
    BoardDelegate &delegate = shell(1);
    canvasAt(0).whiteBoardColorSelected(3);
    delegate.setWhiteboard(true);
    MRKOWhiteBoardCustomColorButton button;
    button.resize(120, 24);
    button.show();
    EXPECT_EQ(button.swatchView()->geometry(), QRect(103, 4, 17, 17)) << "at the right end, centred";

    const QColor picked = QColor::fromRgbF(0.1, 0.6, 0.3, 1);
    button.colorPopoverChangesAColor(picked);
    EXPECT_EQ(canvasAt(0).whiteBack()->backgroundColor(), picked);
    EXPECT_EQ(button.effectiveColor(), picked);
    const QColor centre = button.imageOff().pixelColor(8, 8);
    EXPECT_NEAR(centre.green(), picked.green(), 2) << "the swatch shows it";
    EXPECT_NEAR(centre.red(), picked.red(), 2);

    button.resetColor();
    EXPECT_EQ(button.effectiveColor(), MRKOWhiteBoardColorController::defaultWhiteBoardCustomColor());
}

} // namespace

TEST_F(MRKODrawWhiteboardTest, ASnapshotKeepsTheWhiteboardAndApplyingItBringsItBack)
{
    BoardDelegate &delegate = shell(2);
    MRKODraw &canvas = canvasAt(0);
    const QColor custom = QColor::fromRgbF(0, 0.5, 0, 1);
    MRKOWhiteBoardColorController::colorController().setWhiteboardColor(custom);
    canvas.whiteBoardColorSelected(3);
    canvas.whiteBoardLayoutSelected(5);
    delegate.setWhiteboard(true);
    const std::shared_ptr<MRKOSnapshot> shot = canvas.snapshot();
    EXPECT_TRUE(shot->whiteboard());
    EXPECT_EQ(shot->whiteboardColorType(), 3);
    EXPECT_EQ(shot->whiteboardLayout(), 5u);
    EXPECT_EQ(shot->whiteboardCustomColor().toQColor(), custom);
    ASSERT_FALSE(shot->screenBitmap().isNull()) << "a stored shot, so applying it applies its whiteboard";

    // Another board: the first display's hidden, the colour and layout changed, then off.
    canvas.hideWhiteBoardSelected();
    canvas.whiteBoardLayoutSelected(0);
    canvas.whiteBoardColorSelected(0);
    MRKOWhiteBoardColorController::colorController().setWhiteboardColor(QColor::fromRgbF(1, 0, 0, 1));

    live().applySnapshotWithWhiteboard = false;
    canvas.applySnapshot(shot);
    EXPECT_FALSE(canvas.hasWhiteBack()) << "left alone unless asked";
    EXPECT_EQ(canvas.whiteboardLayout(), 0);

    live().applySnapshotWithWhiteboard = true;
    canvas.applySnapshot(shot);
    EXPECT_TRUE(canvas.hasWhiteBack()) << "shown on its display although that one was hidden";
    EXPECT_FALSE(canvas.whiteboardIsHidden());
    EXPECT_FALSE(MRKOUtils::userDefaults().objectForKey(QStringLiteral("wbHidden_0")).isValid());
    EXPECT_EQ(canvas.whiteboardLayout(), 5);
    EXPECT_EQ(live().whiteBoardColorType, 3);
    EXPECT_EQ(MRKOWhiteBoardColorController::colorController().whiteboardColor(), custom);

    // From the whiteboard off, too.
    delegate.setWhiteboard(false);
    canvas.applySnapshot(shot);
    EXPECT_TRUE(delegate.isWhiteboardOn());
    EXPECT_TRUE(canvas.hasWhiteBack());

    // A shot without a whiteboard turns it off; a semi-snapshot (undo, redo) leaves it.
    canvas.applySnapshot(canvas.currentSnapshot());
    EXPECT_TRUE(delegate.isWhiteboardOn());
    shot->setWhiteboard(false);
    canvas.applySnapshot(shot);
    EXPECT_FALSE(delegate.isWhiteboardOn());
    EXPECT_FALSE(canvas.snapshot()->whiteboard());
}
