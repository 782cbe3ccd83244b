#include "tools/KPPickerPix.h"

#include "platform/WindowStack.h"
#include "platform/fake/FakeRawInput.h"
#include "platform/fake/FakeScreenGrabber.h"
#include "platform/fake/FakeSystemCursor.h"
#include "platform/fake/FakeWindowSystem.h"
#include "tests/tools/ToolsFixture.h"
#include "tools/KPColorPickerView.h"

namespace {

struct Recorder final : KPColorPickerDelegate
{
    void didSelectColor() override { ++reports; }
    int reports = 0;
};

/// Each pixel tells its own place: red = column, green = row.
QImage placeImage(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            image.setPixel(x, y, qRgb(x, y, 7));
    }
    return image;
}

inkora::SrgbColor placeColour(int column, int row)
{
    return {column / 255.0, row / 255.0, 7 / 255.0, 1};
}

platform::Event key(quint16 code)
{
    platform::Event event;
    event.type = platform::EventType::KeyDown;
    event.keyCode = code;
    return event;
}

platform::Event leftDown()
{
    platform::Event event;
    event.type = platform::EventType::LeftMouseDown;
    return event;
}

} // namespace

class KPPickerPixTest : public ToolsFixture
{
protected:
    void SetUp() override
    {
        ToolsFixture::SetUp();
        m_picker = std::make_unique<KPColorPickerView>();
        m_picker->setDelegate(&m_recorder);
        m_picker->setColorSource(KPColorSourceProgram);
        m_picker->setColor(inkora::SrgbColor(0, 0, 1, 1));
        fakes().windowSystem->setCompositing(true);
        QCursor::setPos(400, 300);
    }
    void TearDown() override
    {
        m_picker.reset();
        ToolsFixture::TearDown();
    }
    KPPickerPix &startLoupe()
    {
        m_picker->pickFromScreenButtonAction();
        drainMainQueue();
        advance(0.01);
        EXPECT_TRUE(m_picker->isPickerActive());
        return *m_picker->pixWindow();
    }

    Recorder m_recorder;
    std::unique_ptr<KPColorPickerView> m_picker;
};

TEST_F(KPPickerPixTest, CentrePixelIsReadOnlyInsideTheCapture)
{
    for (const int side : {17, 34}) {
        SCOPED_TRACE(side);
        const QImage image = placeImage(side);
        const int half = side / 2;
        const struct
        {
            const char *name;
            QPointF d;
            int column;
            int row;
        } cases[] = {
            {"middle", {0, 0}, half, half},
            {"first column", {double(half), 0}, 0, half},
            {"last column", {double(half - side + 1), 0}, side - 1, half},
            {"first row", {0, double(-half)}, half, 0},
            {"last row", {0, double(side - 1 - half)}, half, side - 1},
            {"column -1", {double(half + 1), 0}, -1, 0},
            {"column at the width", {double(half - side), 0}, -1, 0},
            {"row -1", {0, double(-half - 1)}, -1, 0},
            {"row at the height", {0, double(side - half)}, -1, 0},
            {"large negative", {-1e6, -1e6}, -1, 0},
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            const inkora::SrgbColor expected =
                c.column < 0 ? inkora::SrgbColor(0, 0, 0, 1) : placeColour(c.column, c.row);
            EXPECT_EQ(KPPickerPixView::centerPixelOf(image, c.d), expected);
        }
    }
    EXPECT_EQ(KPPickerPixView::centerPixelOf(QImage(), {}), inkora::SrgbColor(0, 0, 0, 1));
}

TEST_F(KPPickerPixTest, TwoPixelsAPointShowTheMiddleOfTheCapture)
{
    KPPickerPixView view;
    view.setBitmap(placeImage(34));
    view.setD({0, 0});
    EXPECT_EQ(view.rectForCrop(), QRectF(9, 8, 17, 17));
    const QImage shown = view.grab().toImage();
    // Cell k of 17 across 120 points shows capture pixel 9 + k (rows from the top: 34 - 8 - 17 = 9).
    const auto cell = [&shown](int column, int row) {
        return shown.pixelColor(int((column + 0.5) * 120 / 17), int((row + 0.5) * 120 / 17));
    };
    EXPECT_EQ(cell(8, 5), QColor(9 + 8, 9 + 5, 7));
    EXPECT_EQ(cell(3, 8), QColor(9 + 3, 9 + 8, 7));
    EXPECT_EQ(view.centerPixel(), placeColour(17, 17));

    view.setBitmap(placeImage(17));
    const QImage one = view.grab().toImage();
    EXPECT_EQ(one.pixelColor(int(5.5 * 120 / 17), int(8.5 * 120 / 17)), QColor(5, 8, 7));
}

TEST_F(KPPickerPixTest, ClickTakesTheColourBelowTheLoupeAndEndsIt)
{
    fakes().screenGrabber->setColors(QColor(0, 0, 255), QColor(0, 160, 80), QColor(255, 0, 0));
    KPPickerPix &loupe = startLoupe();
    EXPECT_TRUE(loupe.window()->isVisible());
    EXPECT_EQ(loupe.window()->size(), QSize(120, 120));
    EXPECT_EQ(loupe.window()->geometry(), QRect(340, 240, 120, 120));
    EXPECT_EQ(platform::WindowStack::shared().level(*loupe.window()), KPPickerPix::kLevel);
    EXPECT_FALSE(fakes().systemCursor->isVisible());
    ASSERT_FALSE(fakes().screenGrabber->calls().empty());
    const auto &grab = fakes().screenGrabber->calls().back();
    EXPECT_EQ(grab.area.size(), QSize(17, 17));
    EXPECT_EQ(grab.area.topLeft(), QPoint(400 - 60 + 52, 300 - 60 + 51));
    EXPECT_FALSE(grab.includeWindow);

    const int monitors = fakes().rawInput->monitorCount();
    EXPECT_GE(monitors, 1);
    fakes().rawInput->post(leftDown());
    fakes().rawInput->post(leftDown()); // the same click again through the other monitor: no second report
    drainMainQueue();
    EXPECT_EQ(m_recorder.reports, 1);
    EXPECT_EQ(m_picker->color(), inkora::SrgbColor(0, 160 / 255.0, 80 / 255.0, 1));
    EXPECT_EQ(m_picker->colorSource(), KPColorSourceScreenLoupe);
    EXPECT_FALSE(m_picker->isPickerActive());
    EXPECT_TRUE(fakes().systemCursor->isVisible());
    EXPECT_EQ(fakes().rawInput->monitorCount(), monitors - 1);
}

TEST_F(KPPickerPixTest, FailedCaptureShowsAndReportsBlack)
{
    fakes().screenGrabber->setFails(true);
    log().expectWarning(QStringLiteral("FakeScreenGrabber: no image, as scripted"));
    KPPickerPix &loupe = startLoupe();
    const QImage shown = loupe.contentView()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(30, 60), QColor(Qt::black));
    fakes().rawInput->post(leftDown());
    drainMainQueue();
    EXPECT_EQ(m_recorder.reports, 1);
    double h = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(m_picker->color(), &h, &s, &b);
    EXPECT_LT(b, 0.001);
    EXPECT_FALSE(m_picker->isPickerActive());
}

TEST_F(KPPickerPixTest, EscapeReportsNothingAndOtherKeysAreSwallowed)
{
    startLoupe();
    fakes().rawInput->post(key(platform::kKeySpace));
    drainMainQueue();
    EXPECT_TRUE(m_picker->isPickerActive());
    fakes().rawInput->post(key(platform::kKeyEscape));
    drainMainQueue();
    EXPECT_FALSE(m_picker->isPickerActive());
    EXPECT_EQ(m_recorder.reports, 0);
    EXPECT_EQ(m_picker->color(), inkora::SrgbColor(0, 0, 1, 1));
    EXPECT_TRUE(fakes().systemCursor->isVisible());
}

TEST_F(KPPickerPixTest, WithoutCompositingTheScreenBeforeTheLoupeIsSampled)
{
    fakes().windowSystem->setCompositing(false);
    fakes().screenGrabber->setColors(QColor(10, 20, 30), QColor(0, 160, 80), QColor(255, 0, 0));
    startLoupe();
    for (const auto &call : fakes().screenGrabber->calls())
        EXPECT_FALSE(call.window.has_value());
    fakes().rawInput->post(leftDown());
    drainMainQueue();
    EXPECT_EQ(m_picker->color(), inkora::SrgbColor(10 / 255.0, 20 / 255.0, 30 / 255.0, 1));
}
