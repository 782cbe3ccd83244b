#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "canvas/MRKODraw.h"
#include "platform/Keys.h"
#include "platform/ShapeLayer.h"
#include "platform/fake/FakeCursorStack.h"
#include "platform/fake/FakeServices.h"
#include "tests/canvas/CanvasFixture.h"
#include "tools/MRKOCircleMenuProtocol.h"

#include <QRegularExpression>

using platform::EventType;

namespace {

constexpr quint64 kSuper = platform::kControlFlag;
constexpr quint64 kAlt = platform::kOptionFlag;
constexpr quint64 kCtrl = platform::kCommandFlag;

/// A radial menu that records what the canvas tells it and chooses what the test scripts.
class FakeCircleMenu final : public MRKOCircleMenuProtocol
{
public:
    FakeCircleMenu(const QRectF &frame, bool swatches, QStringList &log)
        : m_layer(platform::Layer::create()), m_swatches(swatches), m_log(log)
    {
        m_layer->setFrame(frame);
    }
    void setMenuImages(const QList<QImage> &images, double length, double scale, QObject *target,
                       Action action) override
    {
        m_log << QStringLiteral("%1 images %2 length %3 scale %4")
                     .arg(m_swatches ? "swatches" : "tools")
                     .arg(images.size())
                     .arg(length)
                     .arg(scale);
        m_target = target;
        m_action = std::move(action);
    }
    void mouseMoved(const platform::Event &) override { m_log << QStringLiteral("moved"); }
    void mouseUpped() override
    {
        m_log << QStringLiteral("upped");
        // The tool menu acts only on a chosen item; the swatch menu reports any selection.
        if (m_action && (m_swatches || m_toolType != kNotFound))
            m_action(*this);
    }
    void updateDownPoint() override { m_log << QStringLiteral("down point"); }
    [[nodiscard]] QObject *target() const override { return m_target; }
    void setTarget(QObject *target) override { m_target = target; }
    [[nodiscard]] const Action &action() const override { return m_action; }
    void setAction(Action action) override { m_action = std::move(action); }
    [[nodiscard]] quint64 toolType() const override { return m_toolType; }
    void setToolType(quint64 toolType) override { m_toolType = toolType; }
    [[nodiscard]] quint64 rawSelection() const override { return m_selection; }
    void setRawSelection(quint64 selection) override { m_selection = selection; }
    [[nodiscard]] QPointF downPoint() const override { return {}; }
    void setDownPoint(QPointF) override {}
    [[nodiscard]] const platform::LayerPtr &layer() const override { return m_layer; }

private:
    platform::LayerPtr m_layer;
    bool m_swatches = false;
    QStringList &m_log;
    QObject *m_target = nullptr;
    Action m_action;
    quint64 m_toolType = kNotFound;
    quint64 m_selection = kNotFound;
};

/// Records the commands the right button sends, and the tool changes the tool menu asks for.
class RightClickCanvas final : public RecordingCanvas
{
public:
    using RecordingCanvas::RecordingCanvas;
    QStringList log;
    quint64 nextToolType = FakeCircleMenu::kNotFound;
    quint64 nextSelection = FakeCircleMenu::kNotFound;
    QRectF menuFrame;

protected:
    void invokeExtraAction(quint64 action) override { log << QStringLiteral("action %1").arg(action); }
    void colorByShortCutWithColorHueIndex(quint64 index) override { log << QStringLiteral("swatch %1").arg(index); }
    void changeToolForced(quint64 toolType, bool forced) override
    {
        log << QStringLiteral("tool %1 forced %2 notifications %3")
                   .arg(toolType)
                   .arg(forced)
                   .arg(AppDelegate::shared()->notifications());
    }
    std::unique_ptr<MRKOCircleMenuProtocol> makeCircleMenu(const QRectF &frame, bool swatches) override
    {
        menuFrame = frame;
        auto menu = std::make_unique<FakeCircleMenu>(frame, swatches, log);
        menu->setToolType(nextToolType);
        menu->setRawSelection(nextSelection);
        return menu;
    }
};

class MRKODrawCircleMenusTest : public CanvasFixture
{
protected:
    void SetUp() override
    {
        CanvasFixture::SetUp();
        m_delegate = std::make_unique<AppDelegate>();
        m_view = std::make_unique<QWidget>();
        m_view->resize(400, 400);
        m_canvas = new RightClickCanvas(QRectF(0, 0, 400, 400), 2.0, m_view.get()); // child of the view
    }
    void TearDown() override
    {
        m_view.reset();
        m_delegate.reset();
        CanvasFixture::TearDown();
    }
    RightClickCanvas &canvas() { return *m_canvas; }
    platform::FakeCursorStack &cursors() { return *fakes().cursorStack; }
    AppDelegate &delegate() { return *m_delegate; }

    void rightClick(QPointF point, quint64 flags, bool dragged = false)
    {
        pointAt(canvas(), point);
        canvas().rightMouseDown(pointerEvent(EventType::RightMouseDown, point, flags));
        if (dragged)
            canvas().rightMouseDragged(pointerEvent(EventType::RightMouseDragged, point + QPointF(50, 0), flags));
        canvas().rightMouseUp(pointerEvent(EventType::RightMouseUp, point, flags));
    }

private:
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<QWidget> m_view;
    RightClickCanvas *m_canvas = nullptr; // child of the view
};

/// The click highlight's layers on a canvas: every shape layer of its own layer.
std::vector<std::shared_ptr<platform::ShapeLayer>> marks(const MRKODraw &canvas)
{
    std::vector<std::shared_ptr<platform::ShapeLayer>> found;
    for (const platform::LayerPtr &layer : canvas.viewLayer().sublayers()) {
        if (auto shape = std::dynamic_pointer_cast<platform::ShapeLayer>(layer))
            found.push_back(shape);
    }
    return found;
}

} // namespace

TEST_F(MRKODrawCircleMenusTest, TheDefaultRightClicksHideClearAndOpenTheMenus)
{
    struct Row
    {
        const char *name;
        quint64 flags;
        QStringList log;
        int cursorsDuringPress;
    };
    const std::vector<Row> rows = {
        {"PlainHides", 0, {"action 1"}, 0},
        {"SuperClears", kSuper, {"action 5"}, 0},
        {"AltOpensTheSwatches",
         kAlt,
         {"swatches images 10 length 75 scale 2", "down point", "moved", "upped", "action 21"},
         1},
        {"CtrlOpensTheTools",
         kCtrl,
         {"tools images 7 length 75 scale 2", "down point", "moved", "upped", "action 20"},
         1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        canvas().log.clear();
        cursors().clearCalls();
        pointAt(canvas(), QPointF(150.2, 200.2));
        canvas().rightMouseDown(pointerEvent(EventType::RightMouseDown, QPointF(150.2, 200.2), row.flags));
        EXPECT_EQ(cursors().depth(), row.cursorsDuringPress);
        if (row.cursorsDuringPress) {
            EXPECT_EQ(cursors().top(), QStringLiteral("arrow"));
            EXPECT_EQ(canvas().menuFrame, QRectF(50, 100, 200, 200));
            EXPECT_EQ(canvas().shownCircleMenu()->layer()->superlayer(), &canvas().viewLayer());
        }
        canvas().rightMouseDragged(pointerEvent(EventType::RightMouseDragged, QPointF(180, 200), row.flags));
        canvas().rightMouseUp(pointerEvent(EventType::RightMouseUp, QPointF(180, 200), row.flags));
        EXPECT_EQ(canvas().log, row.log);
        EXPECT_EQ(cursors().depth(), 0);
        EXPECT_EQ(canvas().shownCircleMenu(), nullptr);
    }
}

TEST_F(MRKODrawCircleMenusTest, TheToolMenuChangesToolsQuietlyUnlessNotificationsAreAlways)
{
    canvas().nextToolType = 6;
    for (const qint64 mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        delegate().setNotifications(mode);
        canvas().log.clear();
        rightClick(QPointF(100, 100), kCtrl, true);
        EXPECT_TRUE(canvas().log.contains(QStringLiteral("tool 6 forced 1 notifications %1").arg(mode == 1 ? 1 : 2)));
        EXPECT_EQ(delegate().notifications(), mode) << "restored after the change";
    }
}

TEST_F(MRKODrawCircleMenusTest, ASwatchReleasedOutsideEveryItemChangesNothing)
{
    canvas().nextSelection = 10;
    rightClick(QPointF(100, 100), kAlt);
    EXPECT_TRUE(canvas().log.filter(QRegularExpression(QStringLiteral("^swatch \\d"))).isEmpty())
        << "no swatch applied";

    canvas().log.clear();
    canvas().nextSelection = 3;
    rightClick(QPointF(100, 100), kAlt);
    EXPECT_TRUE(canvas().log.contains(QStringLiteral("swatch 3")));
}

TEST_F(MRKODrawCircleMenusTest, AnActionThatIsNoMenuWaitsForTheReleaseAndNoActionHighlights)
{
    inkora::liveSettings().rightClickCommandAction = 5;
    rightClick(QPointF(100, 100), kCtrl);
    EXPECT_EQ(canvas().log, QStringList({"action 5"})) << "no menu at the press";

    // Odd values from a preset: no menu, no crash; 0 everywhere highlights the click instead.
    canvas().log.clear();
    inkora::liveSettings().rightClickCommandAction = -3;
    inkora::liveSettings().rightClickExtraAction = 0;
    rightClick(QPointF(100, 100), kCtrl);
    EXPECT_EQ(canvas().log, QStringList({QStringLiteral("action %1").arg(quint64(-3))}));
    canvas().log.clear();
    rightClick(QPointF(100, 100), 0);
    EXPECT_TRUE(canvas().log.isEmpty());
    EXPECT_EQ(canvas().blinks, 1);
}

TEST_F(MRKODrawCircleMenusTest, TheClickHighlightIsARayBurstOrARingThatRemovesOnlyItself)
{
    inkora::liveSettings().splashMethod = 0;
    pointAt(canvas(), QPointF(100, 150));
    canvas().MRKODraw::blinkForEvent(pointerEvent(EventType::LeftMouseUp, QPointF(10, 10)));
    auto rays = marks(canvas());
    ASSERT_EQ(rays.size(), 8u);
    const std::vector<QPointF> ends = {{62, 122},        {62, 2},         {122, 62},      {2, 62},
                                       {104.42, 104.42}, {104.42, 19.58}, {19.58, 19.58}, {19.58, 104.42}};
    for (size_t i = 0; i < rays.size(); ++i) {
        EXPECT_EQ(rays[i]->frame(), QRectF(38, 88, 124, 124)) << "where the pointer is, not the event";
        EXPECT_EQ(rays[i]->path().elementAt(0), QPointF(62, 62));
        EXPECT_EQ(QPointF(rays[i]->path().elementAt(1)), ends[i]);
        EXPECT_EQ(rays[i]->lineWidth(), 4.0);
        EXPECT_EQ(rays[i]->strokeEnd(), 0.35);
    }

    // A second mark soon after: a ring, independent of the rays.
    advance(0.2);
    inkora::liveSettings().splashMethod = 1;
    pointAt(canvas(), QPointF(300, 300));
    canvas().MRKODraw::blinkForEvent(pointerEvent(EventType::LeftMouseUp, QPointF(300, 300)));
    ASSERT_EQ(marks(canvas()).size(), 9u);
    const auto ring = marks(canvas()).back();
    EXPECT_EQ(ring->frame(), QRectF(197.5, 197.5, 205, 205));
    EXPECT_EQ(ring->lineWidth(), 5.0);
    EXPECT_EQ(ring->path().boundingRect(), QRectF(97.5, 97.5, 10, 10));
    advance(0.2);
    EXPECT_EQ(marks(canvas()).size(), 1u) << "the rays are gone after 0.35 s, the ring stays";
    advance(0.35);
    EXPECT_TRUE(marks(canvas()).empty());

    for (const qint64 method : {2, 3, -1}) {
        inkora::liveSettings().splashMethod = method;
        canvas().MRKODraw::blinkForEvent(pointerEvent(EventType::LeftMouseUp, QPointF(300, 300)));
        EXPECT_TRUE(marks(canvas()).empty()) << method;
    }
}
