#include "tools/KVPopover.h"

#include "tests/tools/ToolsFixture.h"
#include "tools/KVColorOpacityView.h"
#include "tools/KVPopoverExtrasController.h"

#include <QApplication>

#include <cmath>

namespace {

double hueOf(const inkora::SrgbColor &color)
{
    double h = 0;
    double s = 0;
    double b = 0;
    inkora::srgbToHsb(color, &h, &s, &b);
    return h;
}

} // namespace

class KVPopoverTest : public ToolsFixture
{
protected:
    void SetUp() override
    {
        ToolsFixture::SetUp();
        log().expectWarning(QStringLiteral("This plugin does not support propagateSizeHints()"));
        m_client = std::make_unique<QObject>();
        m_anchor = std::make_unique<QWidget>();
        place(*m_anchor, QPoint(10, 10), QSize(30, 30));
    }
    void TearDown() override
    {
        KVPopover::sharedPopover().close();
        m_anchor.reset();
        m_client.reset();
        ToolsFixture::TearDown();
    }
    KVPopover &targeted()
    {
        KVPopover &popover = KVPopover::sharedPopover();
        popover.setTarget(m_client.get());
        popover.setAction([this](KVPopover &sender) {
            ++m_reports;
            m_reported = sender.opacityColor();
        });
        return popover;
    }
    void show(KVPopover &popover)
    {
        popover.showRelativeToRect(QRectF(0, 0, 30, 30), m_anchor.get(), platform::RectEdge::MaxX);
    }
    void enterHex(const QString &text)
    {
        KVPopoverExtrasController &extras = *KVPopover::sharedPopover().extras();
        extras.hex()->setText(text);
        extras.hexAction();
    }

    std::unique_ptr<QObject> m_client;
    std::unique_ptr<QWidget> m_anchor;
    int m_reports = 0;
    inkora::SrgbColor m_reported;
};

TEST_F(KVPopoverTest, OneInstanceWithPickerFieldsAndSlider)
{
    KVPopover &popover = KVPopover::sharedPopover();
    EXPECT_EQ(&popover, &KVPopover::sharedPopover());
    EXPECT_EQ(popover.pickerView()->size(), QSize(246, 246));
    EXPECT_EQ(popover.extras()->view()->size(), QSize(246, 48));
    EXPECT_EQ(popover.opacityView()->size(), QSize(226, 16));
    EXPECT_EQ(popover.extras()->hex()->geometry(), QRect(15, 10, 74, 20));
    EXPECT_EQ(popover.extras()->red()->geometry(), QRect(105, 10, 36, 20));
    EXPECT_EQ(popover.popover().behavior(), platform::Popover::SemiTransient);
}

TEST_F(KVPopoverTest, LayoutFollowsTheWishForOpacityAtEachShowing)
{
    KVPopover &popover = targeted();
    popover.setWantsOpacity(true);
    show(popover);
    EXPECT_EQ(popover.popover().window()->size(), QSize(246, 318));
    EXPECT_EQ(popover.extras()->view()->geometry(), QRect(0, 270, 246, 48));
    EXPECT_EQ(popover.opacityView()->parentWidget()->geometry(), QRect(0, 246, 246, 24));
    EXPECT_TRUE(popover.opacityView()->isVisible());

    popover.close();
    EXPECT_FALSE(popover.wantsOpacity());
    EXPECT_FALSE(popover.sendActionOnMouseUp());
    show(popover);
    EXPECT_EQ(popover.popover().window()->size(), QSize(246, 294));
    EXPECT_EQ(popover.extras()->view()->geometry(), QRect(0, 246, 246, 48));
    EXPECT_FALSE(popover.opacityView()->isVisible());
}

TEST_F(KVPopoverTest, ProgramColourIsNotReportedButPicksAre)
{
    KVPopover &popover = targeted();
    show(popover);
    popover.setColor(inkora::SrgbColor(0, 0, 1, 1));
    EXPECT_EQ(m_reports, 0);
    EXPECT_EQ(popover.colorSource(), KPColorSourceProgram);
    EXPECT_EQ(popover.extras()->hex()->text(), QStringLiteral("0000FF"));

    popover.pickerView()->mouseDownAt(QPointF(123 + 93, 123));
    EXPECT_EQ(m_reports, 1);
    EXPECT_EQ(m_reported, popover.color());
    EXPECT_NEAR(std::remainder(hueOf(m_reported), 1.0), 0, 1e-6);

    // A target that is gone is not told.
    m_client.reset();
    popover.pickerView()->mouseDownAt(QPointF(123, 123 + 93));
    EXPECT_EQ(m_reports, 1);
}

TEST_F(KVPopoverTest, WithoutSliderOpacityIsOne)
{
    KVPopover &popover = targeted();
    popover.setWantsOpacity(true);
    popover.setColor(inkora::SrgbColor(1, 0, 0, 0.3));
    EXPECT_DOUBLE_EQ(popover.opacity(), 0.3);
    EXPECT_DOUBLE_EQ(popover.opacityColor().alpha(), 0.3);
    popover.setWantsOpacity(false);
    EXPECT_DOUBLE_EQ(popover.opacity(), 1);
    EXPECT_DOUBLE_EQ(popover.opacityColor().alpha(), 1);
    popover.setOpacity(0.2);
    EXPECT_DOUBLE_EQ(popover.opacityView()->opacity(), 0.3);
}

TEST_F(KVPopoverTest, HexEntryIsNormalisedAndGreyKeepsTheHue)
{
    KVPopover &popover = targeted();
    popover.setColor(inkora::srgbColorWithHsb(0.4, 1, 1, 1));
    const struct
    {
        const char *typed;
        const char *shown;
    } rows[] = {{"F80", "FF8800"},   {"F8", "F80000"},      {"FF8800AA", "FF8800"},
                {"", "000000"},      {"#BFBFBF", "000000"}, {"xyz", "000000"},
                {"12345", "123450"}, {"fff", "FFFFFF"},     {"\u00C5\u030A\u030A", "000000"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.typed);
        enterHex(QString::fromUtf8(row.typed));
        EXPECT_EQ(popover.extras()->hex()->text(), QString::fromLatin1(row.shown));
        EXPECT_EQ(popover.colorSource(), KPColorSourceHexField);
    }
    // Black and white carry no hue: the ring keeps the last chromatic one.
    enterHex(QStringLiteral("F80"));
    enterHex(QString());
    EXPECT_NEAR(hueOf(popover.color()), 0.0889, 1e-3); // F80's orange
    EXPECT_NEAR(popover.pickerView()->lastValidHue(), hueOf(popover.color()), 1e-3);
}

TEST_F(KVPopoverTest, ComponentFieldsClampAndShowTheClampedValue)
{
    KVPopover &popover = targeted();
    KVPopoverExtrasController &extras = *popover.extras();
    extras.red()->setText(QStringLiteral("300"));
    extras.green()->setText(QStringLiteral("-5"));
    extras.blue()->setText(QStringLiteral("abc"));
    extras.redAction();
    EXPECT_EQ(extras.red()->text(), QStringLiteral("255"));
    EXPECT_EQ(extras.green()->text(), QStringLiteral("0"));
    EXPECT_EQ(extras.blue()->text(), QStringLiteral("0"));
    EXPECT_EQ(extras.hex()->text(), QStringLiteral("FF0000"));
    EXPECT_EQ(popover.colorSource(), KPColorSourceRgbFields);
    EXPECT_EQ(m_reports, 1);

    extras.green()->setText(QStringLiteral("128"));
    extras.greenAction();
    EXPECT_EQ(extras.hex()->text(), QStringLiteral("FF8000"));
    EXPECT_EQ(m_reports, 2);
}

TEST_F(KVPopoverTest, ShowingTakesTheKeyboardAndTheCloseButtonCloses)
{
    KVPopover &popover = targeted();
    bool opening = false;
    QObject::connect(&popover.popover(), &platform::Popover::didShow, [&] { opening = popover.opening(); });
    show(popover);
    EXPECT_TRUE(opening);
    EXPECT_FALSE(popover.opening());
    EXPECT_TRUE(popover.isShown());
    EXPECT_TRUE(popover.popover().takesKeyboardFocus());

    int closed = 0;
    popover.setDelegate(m_client.get(), [&closed] { ++closed; });
    MRKOSmallButton &close = *popover.pickerView()->pickerCloseButton();
    press(close, QPoint(8, 8));
    release(close, QPoint(8, 8));
    EXPECT_FALSE(popover.isShown());
    EXPECT_EQ(closed, 1);
}
