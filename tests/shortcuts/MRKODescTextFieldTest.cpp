#include "shortcuts/MRKODescTextField.h"

#include "platform/Popover.h"
#include "tests/support/InkoraFixture.h"

#include <QCursor>
#include <QTest>

namespace {

class DescribedField final : public MRKODescTextField
{
public:
    QString description;
    [[nodiscard]] QString textFieldDescription() const override { return description; }
};

class MRKODescTextFieldTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_window = std::make_unique<QWidget>();
        m_window->setGeometry(100, 100, 400, 200);
        field = new DescribedField; // child of the window
        field->setParent(m_window.get());
        field->setGeometry(20, 20, 200, 24);
        field->description = QStringLiteral("Why this shortcut does not work");
        m_window->show();
    }
    void TearDown() override
    {
        m_window.reset();
        InkoraFixture::TearDown();
    }
    void pointerTo(const QPoint &local) { QCursor::setPos(field->mapToGlobal(local)); }

    DescribedField *field = nullptr;

private:
    std::unique_ptr<QWidget> m_window;
};

TEST_F(MRKODescTextFieldTest, DescriptionShowsOnlyAfterThePointerRestsForItsDelay)
{
    pointerTo(QPoint(10, 10));
    field->mouseEntered();
    advance(0.29);
    EXPECT_FALSE(field->descPopover().isShown());
    advance(0.02);
    EXPECT_TRUE(field->descPopover().isShown());
    EXPECT_EQ(field->descPopover().shownEdge(), platform::RectEdge::MaxX);

    field->mouseExited();
    EXPECT_FALSE(field->descPopover().isShown());
}

TEST_F(MRKODescTextFieldTest, LeavingWithinTheDelayOrHavingNoTextShowsNothing)
{
    pointerTo(QPoint(10, 10));
    field->mouseEntered();
    advance(0.1);
    pointerTo(QPoint(-50, -50));
    field->mouseExited();
    advance(0.5);
    EXPECT_FALSE(field->descPopover().isShown());

    field->description.clear();
    pointerTo(QPoint(10, 10));
    field->mouseEntered();
    advance(0.5);
    EXPECT_FALSE(field->descPopover().isShown());
    EXPECT_FALSE(field->descPopover().contentWidget());
}

TEST_F(MRKODescTextFieldTest, ToolTipViewLeavesRoomAroundTheText)
{
    const auto view = MRKODescTextField::toolTipViewControllerWithString(QStringLiteral("Two\nlines"));
    const QWidget *label = view->findChild<QWidget *>();
    ASSERT_TRUE(label);
    EXPECT_EQ(view->width(), label->width() + 32);
    EXPECT_EQ(view->height(), label->height() + 34);
    EXPECT_EQ(label->x(), 16);
    EXPECT_EQ(view->height() - label->geometry().bottom() - 1, 18);
}

} // namespace
