#include "platform/Popover.h"

#include "platform/Screens.h"
#include "platform/fake/FakeWindowSystem.h"
#include "tests/support/InkoraFixture.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using platform::Popover;
using platform::RectEdge;

namespace {

class PopoverTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_view = std::make_unique<QWidget>();
        m_view->setGeometry(300, 200, 200, 100); // Qt coordinates, y down
        m_view->show();
        m_popover = std::make_unique<Popover>();
        auto *label = new QLabel(QStringLiteral("Text")); // owned by the popover
        label->resize(120, 40);
        m_popover->setContentWidget(label);
    }
    void TearDown() override
    {
        m_popover.reset();
        m_view.reset();
        InkoraFixture::TearDown();
    }

    /// The view's frame in global points.
    [[nodiscard]] QRectF viewFrame() const { return platform::frameFromQt(m_view->geometry()); }

    std::unique_ptr<QWidget> m_view;
    std::unique_ptr<Popover> m_popover;
};

TEST_F(PopoverTest, LiesBesideTheAnchorOnTheEdgeWithTheContentsExactSize)
{
    struct Row
    {
        const char *name;
        RectEdge edge;
        QRectF expected; // relative to the view's origin, y up
    };
    // Anchor: the view's rectangle (10, 20, 40, 30) in y-up points.
    const Row rows[] = {
        {"right", RectEdge::MaxX, {50, 15, 120, 40}},
        {"left", RectEdge::MinX, {-110, 15, 120, 40}},
        {"below", RectEdge::MinY, {-30, -20, 120, 40}},
        {"above", RectEdge::MaxY, {-30, 50, 120, 40}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        m_popover->showRelativeToRect({10, 20, 40, 30}, m_view.get(), row.edge);

        EXPECT_TRUE(m_popover->isShown());
        EXPECT_EQ(m_popover->shownEdge(), row.edge);
        EXPECT_EQ(m_popover->frame(), row.expected.translated(viewFrame().topLeft()));
        EXPECT_EQ(m_popover->contentWidget()->geometry(), QRect(0, 0, 120, 40));
        m_popover->close();
    }
}

TEST_F(PopoverTest, TakesTheOppositeEdgeWhenThePreferredOneLeavesNoRoom)
{
    const QRect screen = m_view->screen()->geometry();
    m_view->setGeometry(screen.right() - 99, 200, 100, 100);

    m_popover->showRelativeToRect({0, 0, 100, 100}, m_view.get(), RectEdge::MaxX);

    EXPECT_EQ(m_popover->shownEdge(), RectEdge::MinX);
    EXPECT_EQ(m_popover->frame().x() + 120, viewFrame().x());
}

TEST_F(PopoverTest, ClosesOnPressesAccordingToItsBehaviour)
{
    QWidget other;
    other.setGeometry(20, 20, 50, 50);
    other.show();
    struct Row
    {
        const char *name;
        Popover::Behavior behavior;
        bool closesOnOtherWindow;
        bool closesOnAnchorWindow;
    };
    const Row rows[] = {
        {"transient", Popover::Transient, true, true},
        {"semi-transient", Popover::SemiTransient, false, true},
        {"application-defined", Popover::ApplicationDefined, false, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        m_popover->setBehavior(row.behavior);
        m_popover->showRelativeToRect({0, 0, 10, 10}, m_view.get(), RectEdge::MaxX);

        QTest::mousePress(m_popover->contentWidget(), Qt::LeftButton);
        EXPECT_TRUE(m_popover->isShown()) << "a press inside never closes it";
        QTest::mousePress(&other, Qt::LeftButton);
        EXPECT_EQ(!m_popover->isShown(), row.closesOnOtherWindow);
        m_popover->showRelativeToRect({0, 0, 10, 10}, m_view.get(), RectEdge::MaxX);
        QTest::mousePress(m_view.get(), Qt::LeftButton);
        EXPECT_EQ(!m_popover->isShown(), row.closesOnAnchorWindow);
        m_popover->close();
    }
}

TEST_F(PopoverTest, EveryClosePathNotifiesOnceInOrder)
{
    QStringList notices;
    QObject::connect(m_popover.get(), &Popover::willClose, [&] { notices << "will"; });
    QObject::connect(m_popover.get(), &Popover::didClose,
                     [&] { notices << (m_popover->isShown() ? "did while shown" : "did"); });
    m_popover->setBehavior(Popover::Transient);

    m_popover->showRelativeToRect({0, 0, 10, 10}, m_view.get(), RectEdge::MaxX);
    m_popover->close();
    m_popover->close();
    m_popover->showRelativeToRect({0, 0, 10, 10}, m_view.get(), RectEdge::MaxX);
    m_popover->window()->close(); // as the window manager would
    m_popover->showRelativeToRect({0, 0, 10, 10}, m_view.get(), RectEdge::MaxX);
    QTest::mousePress(m_view.get(), Qt::LeftButton);

    EXPECT_EQ(notices, QStringList({"will", "did", "will", "did", "will", "did"}));
    EXPECT_FALSE(m_popover->window()->isVisible());
}

TEST_F(PopoverTest, TakesTheKeyboardOnlyWhenAsked)
{
    m_popover->showRelativeToRect({0, 0, 10, 10}, m_view.get(), RectEdge::MaxX);
    EXPECT_TRUE(m_popover->window()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(fakes().windowSystem->activated().isEmpty());
    EXPECT_TRUE(fakes().windowSystem->isPrepared(m_popover->window()));
    m_popover->close();

    m_popover->setTakesKeyboardFocus(true);
    m_popover->showRelativeToRect({0, 0, 10, 10}, m_view.get(), RectEdge::MaxX);

    EXPECT_FALSE(m_popover->window()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    ASSERT_EQ(fakes().windowSystem->activated().size(), 1);
    EXPECT_EQ(fakes().windowSystem->activated().first(), m_popover->window());
}

TEST_F(PopoverTest, RefusesToShowWithoutAView)
{
    log().expectWarning(QStringLiteral("showRelativeToRect: no view to anchor to"));

    m_popover->showRelativeToRect({0, 0, 10, 10}, nullptr, RectEdge::MaxX);

    EXPECT_FALSE(m_popover->isShown());
}

} // namespace
