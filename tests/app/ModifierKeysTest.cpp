#include "app/AppDelegate.h"
#include "app/MRKOEventTap.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWindow.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Keys.h"
#include "platform/Sound.h"
#include "platform/fake/FakeRawInput.h"
#include "platform/fake/FakeSystemProfile.h"
#include "tests/support/InkoraFixture.h"
#include "tools/MRKOSmallToggleButton.h"
#include "tools/MRKOTools.h"

#include <set>

namespace {

class TypingDelegate final : public AppDelegate
{
public:
    bool typing = false;
    [[nodiscard]] bool isFirstResponderTextInput() const override { return typing; }
};

} // namespace

class ModifierKeysTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        m_delegate = std::make_unique<TypingDelegate>();
        m_delegate->prepareUserDefaults();
        defaults().setBool(true, QStringLiteral("FirstTimeRun")); // no welcome window
    }
    void TearDown() override
    {
        m_delegate.reset();
        InkoraFixture::TearDown();
    }

    void show(std::initializer_list<const char *> flagsOn = {})
    {
        for (const char *key : flagsOn)
            defaults().setInteger(1, QLatin1String(key));
        m_delegate->applicationDidFinishLaunching();
        drainMainQueue();
        m_delegate->performAction(QStringLiteral("runInkora:"), nullptr);
        drainMainQueue();
        ASSERT_TRUE(m_delegate->isActiveAndShown());
    }
    void flags(quint64 f)
    {
        fakes().rawInput->postFlagsChanged(f);
        drainMainQueue();
    }
    void post(platform::EventType type)
    {
        platform::Event event;
        event.type = type;
        fakes().rawInput->post(event);
    }
    static platform::Defaults &defaults() { return MRKOUtils::userDefaults(); }
    TypingDelegate &delegate() { return *m_delegate; }
    MRKODraw &canvas() { return *delegate().windowControllersArray().first()->drawView(); }
    MRKOWindow &window() { return *delegate().windowControllersArray().first()->window(); }
    MRKOTools &toolBar() { return *delegate().activeToolBar(); }
    [[nodiscard]] QStringList played() { return fakes().soundOutput->played(); }

private:
    std::unique_ptr<TypingDelegate> m_delegate;
};

TEST_F(ModifierKeysTest, ShiftHeldShowsTheFlashlightWhileHeldAndATapLeavesItOn)
{
    show({"FlashlightByShift"});

    flags(platform::kShiftFlag);
    EXPECT_TRUE(canvas().hasDarkOverlay());
    advance(0.5);
    flags(0);
    EXPECT_FALSE(canvas().hasDarkOverlay()) << "held past 0.3 s: gone on release";

    flags(platform::kShiftFlag);
    advance(0.1);
    flags(0);
    EXPECT_TRUE(canvas().hasDarkOverlay()) << "a tap leaves it on";
    advance(1);
    flags(platform::kShiftFlag);
    EXPECT_TRUE(canvas().hasDarkOverlay());
    flags(0);
    EXPECT_FALSE(canvas().hasDarkOverlay()) << "the next press and release takes it away";
}

TEST_F(ModifierKeysTest, ShiftMakesNoFlashlightWhileTypingOrOnceAfterAStroke)
{
    show({"FlashlightByShift"});

    delegate().typing = true;
    flags(platform::kShiftFlag);
    flags(0);
    EXPECT_FALSE(canvas().hasDarkOverlay());

    delegate().typing = false;
    delegate().setShiftWasPressdDuringDraw(true);
    flags(platform::kShiftFlag);
    EXPECT_FALSE(canvas().hasDarkOverlay());
    EXPECT_FALSE(delegate().shiftWasPressdDuringDraw()) << "only once";
    flags(0);
    flags(platform::kShiftFlag);
    EXPECT_TRUE(canvas().hasDarkOverlay());
}

TEST_F(ModifierKeysTest, CtrlAndSuperPreviewTheHandAndScissorsWithoutSwitching)
{
    show();
    const struct
    {
        quint64 flags;
        int hand;
        int scissors;
    } rows[] = {
        {platform::kCommandFlag, 1, 0},                          // Ctrl
        {platform::kControlFlag, 0, 1},                          // Super
        {platform::kCommandFlag | platform::kShiftFlag, 0, 0},   // Ctrl+Shift: from the canvas
        {platform::kCommandFlag | platform::kControlFlag, 1, 0}, // Ctrl+Super
        {0, 0, 0},
    };
    for (const auto &row : rows) {
        flags(row.flags);
        EXPECT_EQ(toolBar().handButton()->state(), row.hand) << Qt::hex << row.flags;
        EXPECT_EQ(toolBar().scissorsButton()->state(), row.scissors) << Qt::hex << row.flags;
        EXPECT_EQ(canvas().auxAction(), 0u);
    }
}

TEST_F(ModifierKeysTest, MenuKeyMakesTheOverlayClickThroughAndInGhostModeLendsItTheMouse)
{
    show();
    flags(platform::kFunctionFlag);
    EXPECT_TRUE(window().ignoresMouseEvents());
    EXPECT_EQ(delegate().statusBarPhase(), 2u);
    flags(0);
    EXPECT_FALSE(window().ignoresMouseEvents());
    EXPECT_EQ(delegate().statusBarPhase(), 1u);

    delegate().performAction(QStringLiteral("togglePinOnTop:"), nullptr);
    drainMainQueue();
    ASSERT_TRUE(delegate().isPinnedOnTop());
    ASSERT_TRUE(window().ignoresMouseEvents());
    flags(platform::kFunctionFlag);
    EXPECT_FALSE(window().ignoresMouseEvents());
    flags(0);
    EXPECT_TRUE(window().ignoresMouseEvents());
}

TEST_F(ModifierKeysTest, ClicksAndKeyReleasesOfOtherProgramsAreHeardAfterHiding)
{
    show({"PlayMouseSounds", "PlayKeyboardSounds"});
    delegate().closeAllDrawableScreens();
    ASSERT_NE(delegate().eventTap(), nullptr);
    EXPECT_TRUE(delegate().eventTap()->isActive()) << "sounds keep the tap listening";

    for (int i = 0; i < 7; ++i)
        post(platform::EventType::LeftMouseDown);
    ASSERT_EQ(played().size(), 7);
    const QStringList six = played().mid(0, 6);
    EXPECT_EQ(std::set<QString>(six.begin(), six.end()).size(), 6u);
    EXPECT_NE(played().at(6), played().at(5));

    post(platform::EventType::KeyDown);
    EXPECT_EQ(played().size(), 7) << "a key going down is silent";
    post(platform::EventType::KeyUp);
    post(platform::EventType::FlagsChanged);
    ASSERT_EQ(played().size(), 9);
    EXPECT_TRUE(played().at(7).startsWith(QLatin1String("CrispyKeyboard")));
    EXPECT_TRUE(played().at(8).startsWith(QLatin1String("CrispyKeyboard")));
}

TEST_F(ModifierKeysTest, AnUntrustedProgramMakesNoTap)
{
    fakes().systemProfile->setAccessibilityTrusted(false);
    show({"PlayMouseSounds"});
    EXPECT_EQ(delegate().eventTap(), nullptr);
    post(platform::EventType::LeftMouseDown);
    EXPECT_TRUE(played().isEmpty());
}
