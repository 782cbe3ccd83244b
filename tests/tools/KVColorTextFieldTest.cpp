#include "tools/KVColorTextField.h"

#include "tests/tools/ToolsFixture.h"
#include "tools/KVPaddedTextFieldCell.h"
#include "tools/MRKOIntegerValueFormatter.h"

#include <QApplication>

namespace {

platform::Event wheel(double lines)
{
    platform::Event event;
    event.type = platform::EventType::ScrollWheel;
    event.deltaY = lines;
    event.scrollingDeltaY = lines;
    return event;
}

platform::Event preciseWheel(double points)
{
    platform::Event event = wheel(points);
    event.hasPreciseScrollingDeltas = true;
    return event;
}

} // namespace

class KVColorTextFieldTest : public ToolsFixture
{
protected:
    void SetUp() override
    {
        ToolsFixture::SetUp();
        m_field = std::make_unique<KVColorTextField>();
        place(*m_field, QPoint(10, 10), QSize(74, 20));
        QObject::connect(m_field.get(), &KVColorTextField::actionSent, [this] { ++m_actions; });
        QApplication::setActiveWindow(m_field->window());
    }
    void TearDown() override
    {
        m_field.reset();
        ToolsFixture::TearDown();
    }
    /// Where the pointer rests over the left half of the character at `index`.
    [[nodiscard]] QPointF overCharacter(int index) const
    {
        for (int x = 0; x < m_field->width(); ++x) {
            if (m_field->cursorPositionAt(QPoint(x, 10)) == index)
                return QPointF(x + 1, 10);
        }
        ADD_FAILURE() << "no point over character " << index;
        return {};
    }

    std::unique_ptr<KVColorTextField> m_field;
    int m_actions = 0;
};

TEST_F(KVColorTextFieldTest, HexScrollStepsThePairUnderThePointerAndStopsAtItsEnds)
{
    m_field->setColorTextFormat(KVColorTextField::Hexadecimal);
    m_field->setText(QStringLiteral("12AB34"));
    m_field->scrollWheel(preciseWheel(2), overCharacter(3)); // halved: +1
    EXPECT_EQ(m_field->text(), QStringLiteral("12AC34"));
    EXPECT_EQ(m_actions, 1);

    m_field->scrollWheel(preciseWheel(1000), overCharacter(0));
    EXPECT_EQ(m_field->text(), QStringLiteral("FFAC34"));
    m_field->scrollWheel(preciseWheel(-1000), overCharacter(5));
    EXPECT_EQ(m_field->text(), QStringLiteral("FFAC00"));
    // A small precise delta steps nothing but still sends the action.
    m_field->scrollWheel(preciseWheel(0.5), overCharacter(5));
    EXPECT_EQ(m_field->text(), QStringLiteral("FFAC00"));
    EXPECT_EQ(m_actions, 4);
}

TEST_F(KVColorTextFieldTest, HexScrollNormalisesWhileEditingAndReadsJunkAsBlack)
{
    m_field->setColorTextFormat(KVColorTextField::Hexadecimal);
    m_field->setText(QStringLiteral("F80"));
    m_field->setFocus();
    ASSERT_TRUE(m_field->hasFocus());
    m_field->scrollWheel(preciseWheel(2), overCharacter(0));
    EXPECT_EQ(m_field->text(), QStringLiteral("FF8800")); // already at FF

    m_field->clearFocus();
    for (const QString &junk : {QStringLiteral("#BFBFBF"), QStringLiteral("zz"), QStringLiteral("é\u0301\u0301")}) {
        SCOPED_TRACE(junk.toStdString());
        m_field->setText(junk);
        m_field->scrollWheel(preciseWheel(2), QPointF(2, 10));
        EXPECT_EQ(m_field->text(), QStringLiteral("010000"));
        m_field->clearFocus();
    }
}

TEST_F(KVColorTextFieldTest, DecimalScrollDoesNotClampAndAWheelNotchStepsOne)
{
    m_field->setText(QStringLiteral("255"));
    m_field->scrollWheel(wheel(1), QPointF(5, 10)); // a notch is half a step, still one
    EXPECT_EQ(m_field->text(), QStringLiteral("256"));
    m_field->scrollWheel(preciseWheel(-600), QPointF(5, 10));
    EXPECT_EQ(m_field->text(), QStringLiteral("-44"));

    m_field->setColorTextFormat(7);
    m_field->scrollWheel(wheel(1), QPointF(5, 10));
    EXPECT_EQ(m_field->text(), QStringLiteral("-44"));
    EXPECT_EQ(m_actions, 2);
}

TEST_F(KVColorTextFieldTest, IntegerFilterAndPadding)
{
    for (const char *valid : {"", "-12", "+3", "0", "255"})
        EXPECT_TRUE(MRKOIntegerValueFormatter::isPartialStringValid(QString::fromLatin1(valid))) << valid;
    for (const char *invalid : {"12a", "1.5", "-", "+", " 1", "a"})
        EXPECT_FALSE(MRKOIntegerValueFormatter::isPartialStringValid(QString::fromLatin1(invalid))) << invalid;

    KVPaddedTextFieldCell cell;
    EXPECT_DOUBLE_EQ(cell.leftPadding(), 16);
    EXPECT_EQ(cell.drawingRectForBounds(QRectF(0, 0, 74, 20)), QRectF(16, 0, 58, 20));
    EXPECT_EQ(cell.drawingRectForBounds(QRectF(0, 0, 16, 20)), QRectF(0, 0, 16, 20));
    cell.setLeftPadding(0);
    EXPECT_EQ(cell.drawingRectForBounds(QRectF(0, 0, 74, 20)), QRectF(0, 0, 74, 20));
}

TEST_F(KVColorTextFieldTest, FocusSelectsTheWholeValue)
{
    m_field->setText(QStringLiteral("BFBFBF"));
    m_field->setFocus();
    drainMainQueue();
    EXPECT_EQ(m_field->selectedText(), QStringLiteral("BFBFBF"));
}
