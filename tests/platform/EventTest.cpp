#include "platform/Event.h"

#include "platform/fake/FakeClock.h"
#include "tests/support/InkoraFixture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QWheelEvent>

#include <ostream>
#include <string>
#include <vector>

using namespace platform;

namespace {

const EventContext kContext{900, 7, false}; // a view 900 points high in window 7

class EventTest : public InkoraFixture
{
};

struct MouseRow
{
    const char *name;
    QEvent::Type qtType;
    Qt::MouseButton button;
    Qt::MouseButtons buttons;
    std::optional<EventType> type;
    int clickCount;
    double pressure;
};

void PrintTo(const MouseRow &row, std::ostream *os)
{
    *os << row.name;
}

const std::vector<MouseRow> kMouseRows = {
    {"LeftPress", QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, EventType::LeftMouseDown, 1, 1},
    {"LeftDoubleClick", QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, EventType::LeftMouseDown, 2, 1},
    {"LeftRelease", QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, EventType::LeftMouseUp, 1, 0},
    {"LeftDrag", QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, EventType::LeftMouseDragged, 0, 1},
    {"RightPress", QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, EventType::RightMouseDown, 1, 0},
    {"RightRelease", QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, EventType::RightMouseUp, 1, 0},
    {"RightDrag", QEvent::MouseMove, Qt::NoButton, Qt::RightButton, EventType::RightMouseDragged, 0, 0},
    {"Move", QEvent::MouseMove, Qt::NoButton, Qt::NoButton, EventType::MouseMoved, 0, 0},
    {"MiddlePressHasNoType", QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, std::nullopt, 0, 0},
};

class MouseEventTest : public InkoraFixture, public testing::WithParamInterface<MouseRow>
{
};

TEST_P(MouseEventTest, ConvertsQtMouseEventsWithTheYFlip)
{
    const MouseRow &row = GetParam();
    const QMouseEvent qt(row.qtType, QPointF(10, 20), QPointF(110, 120), row.button, row.buttons, Qt::ControlModifier);

    const std::optional<Event> e = eventFromQt(qt, kContext);

    ASSERT_EQ(e.has_value(), row.type.has_value());
    if (!e)
        return;
    EXPECT_EQ(e->type, *row.type);
    EXPECT_EQ(e->locationInWindow, QPointF(10, 880));
    EXPECT_EQ(e->windowNumber, 7);
    EXPECT_EQ(e->modifierFlags, quint64(kCommandFlag));
    EXPECT_EQ(e->clickCount, row.clickCount);
    EXPECT_EQ(e->pressure, row.pressure);
    EXPECT_EQ(e->timestamp, clock().now());
    EXPECT_EQ(e->subtype, EventSubtype::Mouse);
}

INSTANTIATE_TEST_SUITE_P(All, MouseEventTest, testing::ValuesIn(kMouseRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(EventTest, TabletEraserReportsProximityPressureAndDeviceType)
{
    const QPointingDevice eraser(QStringLiteral("pen"), 42, QInputDevice::DeviceType::Stylus,
                                 QPointingDevice::PointerType::Eraser,
                                 QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
    const auto tablet = [&](QEvent::Type type, double pressure, Qt::MouseButton button, Qt::MouseButtons buttons) {
        const QTabletEvent qt(type, &eraser, QPointF(5, 100), QPointF(5, 100), pressure, 0, 0, 0, 0, 0, Qt::NoModifier,
                              button, buttons);
        return eventFromQt(qt, kContext);
    };

    const auto enter = tablet(QEvent::TabletEnterProximity, 0, Qt::NoButton, Qt::NoButton);
    ASSERT_TRUE(enter.has_value());
    EXPECT_EQ(enter->type, EventType::MouseMoved);
    EXPECT_EQ(enter->subtype, EventSubtype::TabletProximity);
    EXPECT_EQ(enter->pointingDeviceType, PointingDeviceType::Eraser);
    EXPECT_TRUE(enter->enteringProximity);

    const auto press = tablet(QEvent::TabletPress, 0.4, Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(press.has_value());
    EXPECT_EQ(press->type, EventType::LeftMouseDown);
    EXPECT_EQ(press->subtype, EventSubtype::TabletPoint);
    EXPECT_DOUBLE_EQ(press->pressure, 0.4);
    EXPECT_EQ(press->locationInWindow, QPointF(5, 800));

    const auto drag = tablet(QEvent::TabletMove, 0.7, Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(drag.has_value());
    EXPECT_EQ(drag->type, EventType::LeftMouseDragged);
    EXPECT_DOUBLE_EQ(drag->pressure, 0.7);

    const auto leave = tablet(QEvent::TabletLeaveProximity, 0, Qt::NoButton, Qt::NoButton);
    ASSERT_TRUE(leave.has_value());
    EXPECT_EQ(leave->subtype, EventSubtype::TabletProximity);
    EXPECT_FALSE(leave->enteringProximity);
}

struct KeyRow
{
    const char *name;
    QEvent::Type qtType;
    int key;
    Qt::KeyboardModifiers modifiers;
    quint32 scanCode;
    quint32 nativeModifiers;
    QString text;
    bool menuKeyDown;
    EventType type;
    quint16 keyCode;
    quint64 flags;
    QString characters;
    QString ignoring;
};

void PrintTo(const KeyRow &row, std::ostream *os)
{
    *os << row.name;
}

const QString kNone;
const std::vector<KeyRow> kKeyRows = {
    {"Letter", QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 0, 0, "a", false, EventType::KeyDown, kKeyA, 0, "a", "a"},
    {"ShiftedLetter", QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, 0, 0, "A", false, EventType::KeyDown, kKeyA,
     kShiftFlag, "A", "A"},
    // Ctrl is Command: it types the letter, not X11's control character.
    {"CommandLetter", QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, 0, 0, "\x01", false, EventType::KeyDown, kKeyA,
     kCommandFlag, "a", "a"},
    {"ShiftedDigit", QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier, 0, 0, "!", false, EventType::KeyDown, kKey1,
     kShiftFlag, "!", "!"},
    {"KeypadDigit", QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier, 0, 0, "5", false, EventType::KeyDown, kKeyKeypad5,
     kNumericPadFlag, "5", "5"},
    {"Arrow", QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, 0, 0, "", false, EventType::KeyDown, kKeyUpArrow, 0,
     QString(QChar(0xF700)), QString(QChar(0xF700))},
    {"EscapeUp", QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, 0, 0, "\x1b", false, EventType::KeyUp, kKeyEscape,
     0, "\x1b", "\x1b"},
    {"BackspaceIsDelete", QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, 0, 0, "\b", false, EventType::KeyDown,
     kKeyDelete, 0, "\x7f", "\x7f"},
    // Key codes name positions: on a layout with Q where the US layout has A, the key is still A's.
    {"NativePosition", QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, 38, 0x2, "q", false, EventType::KeyDown, kKeyA,
     kCapsLockFlag, "q", "q"},
    // X11 gives the modifiers as they were before the event; the flags tell them as they are after it.
    {"CtrlDownIsCommandChange", QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier, 37, 0, "", false,
     EventType::FlagsChanged, kKeyCommand, kCommandFlag, "", ""},
    {"ShiftUpWhileCtrlHeld", QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier | Qt::ControlModifier, 50, 0, "",
     false, EventType::FlagsChanged, kKeyShift, kCommandFlag, "", ""},
    {"SuperDownIsControlChange", QEvent::KeyPress, Qt::Key_Super_L, Qt::NoModifier, 133, 0, "", false,
     EventType::FlagsChanged, kKeyControl, kControlFlag, "", ""},
    {"CapsLockOn", QEvent::KeyPress, Qt::Key_CapsLock, Qt::NoModifier, 66, 0, "", false, EventType::FlagsChanged,
     kKeyCapsLock, kCapsLockFlag, "", ""},
    {"MenuDownIsFunction", QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier, 135, 0, "", false, EventType::FlagsChanged,
     kKeyFunction, kFunctionFlag, "", ""},
    {"MenuUp", QEvent::KeyRelease, Qt::Key_Menu, Qt::NoModifier, 135, 0, "", true, EventType::FlagsChanged,
     kKeyFunction, 0, "", ""},
    {"KeyWhileMenuHeld", QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier, 0, 0, "", true, EventType::KeyDown, kKeyF1,
     kFunctionFlag, QString(QChar(0xF704)), QString(QChar(0xF704))},
};

class KeyEventTest : public InkoraFixture, public testing::WithParamInterface<KeyRow>
{
};

TEST_P(KeyEventTest, ConvertsQtKeyEvents)
{
    const KeyRow &row = GetParam();
    const QKeyEvent qt(row.qtType, row.key, row.modifiers, row.scanCode, 0, row.nativeModifiers, row.text);

    const std::optional<Event> e = eventFromQt(qt, EventContext{900, 7, row.menuKeyDown});

    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->type, row.type);
    EXPECT_EQ(e->keyCode, row.keyCode);
    EXPECT_EQ(e->modifierFlags, row.flags);
    EXPECT_EQ(e->characters, row.characters);
    EXPECT_EQ(e->charactersIgnoringModifiers, row.ignoring);
}

INSTANTIATE_TEST_SUITE_P(All, KeyEventTest, testing::ValuesIn(kKeyRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(EventTest, AutoRepeatedKeyIsARepeat)
{
    const QKeyEvent qt(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    const auto e = eventFromQt(qt, kContext);
    ASSERT_TRUE(e.has_value());
    EXPECT_TRUE(e->isARepeat);
    EXPECT_EQ(e->keyCode, kKeySpace);
}

TEST_F(EventTest, WheelKeepsLineAndPreciseDeltasApart)
{
    const QWheelEvent wheel(QPointF(1, 1), QPointF(1, 1), QPoint(), QPoint(-120, 240), Qt::NoButton, Qt::NoModifier,
                            Qt::NoScrollPhase, false);
    const auto line = eventFromQt(wheel, kContext);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->type, EventType::ScrollWheel);
    EXPECT_FALSE(line->hasPreciseScrollingDeltas);
    EXPECT_EQ(line->deltaX, -1);
    EXPECT_EQ(line->deltaY, 2);
    EXPECT_EQ(line->scrollingDeltaY, 2); // lines, for lack of anything finer
    EXPECT_EQ(line->locationInWindow, QPointF(1, 899));

    const QWheelEvent pad(QPointF(1, 1), QPointF(1, 1), QPoint(0, 10), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::ScrollUpdate, true);
    const auto precise = eventFromQt(pad, kContext);
    ASSERT_TRUE(precise.has_value());
    EXPECT_TRUE(precise->hasPreciseScrollingDeltas);
    EXPECT_EQ(precise->scrollingDeltaY, 10);
    EXPECT_EQ(precise->deltaY, 1);
    EXPECT_TRUE(precise->isDirectionInvertedFromDevice);
    EXPECT_EQ(precise->phase, kPhaseChanged);
}

TEST_F(EventTest, PinchIsMagnifyAndSmartZoomIsSmartMagnify)
{
    const QPointingDevice *pad = QPointingDevice::primaryPointingDevice();
    const QNativeGestureEvent pinch(Qt::ZoomNativeGesture, pad, 2, QPointF(3, 4), QPointF(3, 4), QPointF(3, 4), 0.25,
                                    QPointF());
    const QNativeGestureEvent smart(Qt::SmartZoomNativeGesture, pad, 2, QPointF(3, 4), QPointF(3, 4), QPointF(3, 4), 0,
                                    QPointF());
    const QNativeGestureEvent rotate(Qt::RotateNativeGesture, pad, 2, QPointF(3, 4), QPointF(3, 4), QPointF(3, 4), 10,
                                     QPointF());

    const auto magnify = eventFromQt(pinch, kContext);
    ASSERT_TRUE(magnify.has_value());
    EXPECT_EQ(magnify->type, EventType::Magnify);
    EXPECT_EQ(magnify->magnification, 0.25);
    const auto smartMagnify = eventFromQt(smart, kContext);
    ASSERT_TRUE(smartMagnify.has_value());
    EXPECT_EQ(smartMagnify->type, EventType::SmartMagnify);
    EXPECT_FALSE(eventFromQt(rotate, kContext).has_value());
}

} // namespace
