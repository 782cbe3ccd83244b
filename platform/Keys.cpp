#include "platform/Keys.h"

#include <array>
#include <linux/input-event-codes.h>
#include <utility>

namespace platform {

namespace {

constexpr quint32 kEvdevOffset = 8; // X11 keycode = evdev code + 8

// Key code and evdev code of every key we know; one row per key, so the table reads both ways.
constexpr std::pair<quint16, quint16> kEvdevKeys[] = {
    {kKeyA, KEY_A},
    {kKeyS, KEY_S},
    {kKeyD, KEY_D},
    {kKeyF, KEY_F},
    {kKeyH, KEY_H},
    {kKeyG, KEY_G},
    {kKeyZ, KEY_Z},
    {kKeyX, KEY_X},
    {kKeyC, KEY_C},
    {kKeyV, KEY_V},
    {kKeySection, KEY_102ND},
    {kKeyB, KEY_B},
    {kKeyQ, KEY_Q},
    {kKeyW, KEY_W},
    {kKeyE, KEY_E},
    {kKeyR, KEY_R},
    {kKeyY, KEY_Y},
    {kKeyT, KEY_T},
    {kKey1, KEY_1},
    {kKey2, KEY_2},
    {kKey3, KEY_3},
    {kKey4, KEY_4},
    {kKey6, KEY_6},
    {kKey5, KEY_5},
    {kKeyEqual, KEY_EQUAL},
    {kKey9, KEY_9},
    {kKey7, KEY_7},
    {kKeyMinus, KEY_MINUS},
    {kKey8, KEY_8},
    {kKey0, KEY_0},
    {kKeyRightBracket, KEY_RIGHTBRACE},
    {kKeyO, KEY_O},
    {kKeyU, KEY_U},
    {kKeyLeftBracket, KEY_LEFTBRACE},
    {kKeyI, KEY_I},
    {kKeyP, KEY_P},
    {kKeyReturn, KEY_ENTER},
    {kKeyL, KEY_L},
    {kKeyJ, KEY_J},
    {kKeyQuote, KEY_APOSTROPHE},
    {kKeyK, KEY_K},
    {kKeySemicolon, KEY_SEMICOLON},
    {kKeyBackslash, KEY_BACKSLASH},
    {kKeyComma, KEY_COMMA},
    {kKeySlash, KEY_SLASH},
    {kKeyN, KEY_N},
    {kKeyM, KEY_M},
    {kKeyPeriod, KEY_DOT},
    {kKeyTab, KEY_TAB},
    {kKeySpace, KEY_SPACE},
    {kKeyGrave, KEY_GRAVE},
    {kKeyDelete, KEY_BACKSPACE},
    {kKeyEscape, KEY_ESC},
    {kKeyRightCommand, KEY_RIGHTCTRL},
    {kKeyCommand, KEY_LEFTCTRL},
    {kKeyShift, KEY_LEFTSHIFT},
    {kKeyCapsLock, KEY_CAPSLOCK},
    {kKeyOption, KEY_LEFTALT},
    {kKeyControl, KEY_LEFTMETA},
    {kKeyRightShift, KEY_RIGHTSHIFT},
    {kKeyRightOption, KEY_RIGHTALT},
    {kKeyRightControl, KEY_RIGHTMETA},
    {kKeyFunction, KEY_COMPOSE}, // the Menu key
    {kKeyF17, KEY_F17},
    {kKeyKeypadDecimal, KEY_KPDOT},
    {kKeyKeypadMultiply, KEY_KPASTERISK},
    {kKeyKeypadPlus, KEY_KPPLUS},
    {kKeyKeypadClear, KEY_NUMLOCK}, // the same position
    {kKeyVolumeUp, KEY_VOLUMEUP},
    {kKeyVolumeDown, KEY_VOLUMEDOWN},
    {kKeyMute, KEY_MUTE},
    {kKeyKeypadDivide, KEY_KPSLASH},
    {kKeyKeypadEnter, KEY_KPENTER},
    {kKeyKeypadMinus, KEY_KPMINUS},
    {kKeyF18, KEY_F18},
    {kKeyF19, KEY_F19},
    {kKeyKeypadEquals, KEY_KPEQUAL},
    {kKeyKeypad0, KEY_KP0},
    {kKeyKeypad1, KEY_KP1},
    {kKeyKeypad2, KEY_KP2},
    {kKeyKeypad3, KEY_KP3},
    {kKeyKeypad4, KEY_KP4},
    {kKeyKeypad5, KEY_KP5},
    {kKeyKeypad6, KEY_KP6},
    {kKeyKeypad7, KEY_KP7},
    {kKeyF20, KEY_F20},
    {kKeyKeypad8, KEY_KP8},
    {kKeyKeypad9, KEY_KP9},
    {kKeyJisYen, KEY_YEN},
    {kKeyJisUnderscore, KEY_RO},
    {kKeyJisKeypadComma, KEY_KPJPCOMMA},
    {kKeyF5, KEY_F5},
    {kKeyF6, KEY_F6},
    {kKeyF7, KEY_F7},
    {kKeyF3, KEY_F3},
    {kKeyF8, KEY_F8},
    {kKeyF9, KEY_F9},
    {kKeyJisEisu, KEY_HANJA},
    {kKeyF11, KEY_F11},
    {kKeyJisKana, KEY_HANGEUL},
    {kKeyF13, KEY_F13},
    {kKeyF16, KEY_F16},
    {kKeyF14, KEY_F14},
    {kKeyF10, KEY_F10},
    {kKeyF12, KEY_F12},
    {kKeyF15, KEY_F15},
    {kKeyHelp, KEY_INSERT},
    {kKeyHome, KEY_HOME},
    {kKeyPageUp, KEY_PAGEUP},
    {kKeyForwardDelete, KEY_DELETE},
    {kKeyF4, KEY_F4},
    {kKeyEnd, KEY_END},
    {kKeyF2, KEY_F2},
    {kKeyPageDown, KEY_PAGEDOWN},
    {kKeyF1, KEY_F1},
    {kKeyLeftArrow, KEY_LEFT},
    {kKeyRightArrow, KEY_RIGHT},
    {kKeyDownArrow, KEY_DOWN},
    {kKeyUpArrow, KEY_UP},
};

constexpr std::size_t kX11Codes = 256;
constexpr std::size_t kKeyCodes = 128;

struct Tables
{
    std::array<quint16, kX11Codes> fromX11{};
    std::array<quint32, kKeyCodes> toX11{};
};

constexpr Tables makeTables()
{
    Tables t;
    t.fromX11.fill(kNoKeyCode);
    for (const auto &[keyCode, evdev] : kEvdevKeys) {
        t.fromX11[evdev + kEvdevOffset] = keyCode;
        t.toX11[keyCode] = evdev + kEvdevOffset;
    }
    return t;
}

constexpr Tables kTables = makeTables();

quint16 keypadKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_0:
        return kKeyKeypad0;
    case Qt::Key_1:
        return kKeyKeypad1;
    case Qt::Key_2:
        return kKeyKeypad2;
    case Qt::Key_3:
        return kKeyKeypad3;
    case Qt::Key_4:
        return kKeyKeypad4;
    case Qt::Key_5:
        return kKeyKeypad5;
    case Qt::Key_6:
        return kKeyKeypad6;
    case Qt::Key_7:
        return kKeyKeypad7;
    case Qt::Key_8:
        return kKeyKeypad8;
    case Qt::Key_9:
        return kKeyKeypad9;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return kKeyKeypadDecimal;
    case Qt::Key_Asterisk:
        return kKeyKeypadMultiply;
    case Qt::Key_Plus:
        return kKeyKeypadPlus;
    case Qt::Key_Minus:
        return kKeyKeypadMinus;
    case Qt::Key_Slash:
        return kKeyKeypadDivide;
    case Qt::Key_Equal:
        return kKeyKeypadEquals;
    case Qt::Key_Enter:
        return kKeyKeypadEnter;
    case Qt::Key_Clear:
        return kKeyKeypadClear;
    default:
        return kNoKeyCode;
    }
}

quint16 mainKeyCode(int qtKey)
{
    static constexpr std::array<quint16, 26> kLetters = {kKeyA, kKeyB, kKeyC, kKeyD, kKeyE, kKeyF, kKeyG, kKeyH, kKeyI,
                                                         kKeyJ, kKeyK, kKeyL, kKeyM, kKeyN, kKeyO, kKeyP, kKeyQ, kKeyR,
                                                         kKeyS, kKeyT, kKeyU, kKeyV, kKeyW, kKeyX, kKeyY, kKeyZ};
    static constexpr std::array<quint16, 10> kDigits = {kKey0, kKey1, kKey2, kKey3, kKey4,
                                                        kKey5, kKey6, kKey7, kKey8, kKey9};
    static constexpr std::array<quint16, 20> kFunctionKeys = {
        kKeyF1,  kKeyF2,  kKeyF3,  kKeyF4,  kKeyF5,  kKeyF6,  kKeyF7,  kKeyF8,  kKeyF9,  kKeyF10,
        kKeyF11, kKeyF12, kKeyF13, kKeyF14, kKeyF15, kKeyF16, kKeyF17, kKeyF18, kKeyF19, kKeyF20};
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return kLetters[qtKey - Qt::Key_A];
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return kDigits[qtKey - Qt::Key_0];
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F20)
        return kFunctionKeys[qtKey - Qt::Key_F1];

    switch (qtKey) {
    // Shifted symbols of the US layout sit on the key of their unshifted partner.
    case Qt::Key_Exclam:
        return kKey1;
    case Qt::Key_At:
        return kKey2;
    case Qt::Key_NumberSign:
        return kKey3;
    case Qt::Key_Dollar:
        return kKey4;
    case Qt::Key_Percent:
        return kKey5;
    case Qt::Key_AsciiCircum:
        return kKey6;
    case Qt::Key_Ampersand:
        return kKey7;
    case Qt::Key_Asterisk:
        return kKey8;
    case Qt::Key_ParenLeft:
        return kKey9;
    case Qt::Key_ParenRight:
        return kKey0;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return kKeyMinus;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return kKeyEqual;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return kKeyLeftBracket;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return kKeyRightBracket;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return kKeyBackslash;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return kKeySemicolon;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return kKeyQuote;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return kKeyComma;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return kKeyPeriod;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return kKeySlash;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return kKeyGrave;
    case Qt::Key_Space:
        return kKeySpace;
    case Qt::Key_Return:
        return kKeyReturn;
    case Qt::Key_Enter:
        return kKeyKeypadEnter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kKeyTab;
    case Qt::Key_Backspace:
        return kKeyDelete;
    case Qt::Key_Delete:
        return kKeyForwardDelete;
    case Qt::Key_Escape:
        return kKeyEscape;
    case Qt::Key_Insert:
    case Qt::Key_Help:
        return kKeyHelp;
    case Qt::Key_Home:
        return kKeyHome;
    case Qt::Key_End:
        return kKeyEnd;
    case Qt::Key_PageUp:
        return kKeyPageUp;
    case Qt::Key_PageDown:
        return kKeyPageDown;
    case Qt::Key_Left:
        return kKeyLeftArrow;
    case Qt::Key_Right:
        return kKeyRightArrow;
    case Qt::Key_Up:
        return kKeyUpArrow;
    case Qt::Key_Down:
        return kKeyDownArrow;
    case Qt::Key_Shift:
        return kKeyShift;
    case Qt::Key_Control:
        return kKeyCommand;
    case Qt::Key_Alt:
        return kKeyOption;
    case Qt::Key_AltGr:
        return kKeyRightOption;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
        return kKeyControl;
    case Qt::Key_Super_R:
        return kKeyRightControl;
    case Qt::Key_CapsLock:
        return kKeyCapsLock;
    case Qt::Key_Menu:
        return kKeyFunction;
    case Qt::Key_NumLock:
    case Qt::Key_Clear:
        return kKeyKeypadClear;
    case Qt::Key_VolumeUp:
        return kKeyVolumeUp;
    case Qt::Key_VolumeDown:
        return kKeyVolumeDown;
    case Qt::Key_VolumeMute:
        return kKeyMute;
    case Qt::Key_yen:
        return kKeyJisYen;
    default:
        return kNoKeyCode;
    }
}

// X11 core state mask bits.
constexpr quint32 kX11Shift = 1 << 0;
constexpr quint32 kX11Lock = 1 << 1;
constexpr quint32 kX11Control = 1 << 2;
constexpr quint32 kX11Mod1 = 1 << 3; // Alt
constexpr quint32 kX11Mod4 = 1 << 6; // Super

} // namespace

quint16 keyCodeFromX11(quint32 x11KeyCode)
{
    return x11KeyCode < kX11Codes ? kTables.fromX11[x11KeyCode] : quint16(kNoKeyCode);
}

quint32 x11KeyCodeFromKeyCode(quint16 keyCode)
{
    return keyCode < kKeyCodes ? kTables.toX11[keyCode] : 0;
}

quint16 keyCodeFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        const quint16 keypad = keypadKeyCode(qtKey);
        if (keypad != kNoKeyCode)
            return keypad;
    }
    return mainKeyCode(qtKey);
}

quint64 modifierFlagsFromQt(Qt::KeyboardModifiers modifiers)
{
    quint64 flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= kShiftFlag;
    if (modifiers & Qt::ControlModifier)
        flags |= kCommandFlag;
    if (modifiers & Qt::AltModifier)
        flags |= kOptionFlag;
    if (modifiers & Qt::MetaModifier)
        flags |= kControlFlag;
    if (modifiers & Qt::KeypadModifier)
        flags |= kNumericPadFlag;
    return flags;
}

quint64 modifierFlagsFromX11(quint32 state)
{
    quint64 flags = 0;
    if (state & kX11Shift)
        flags |= kShiftFlag;
    if (state & kX11Lock)
        flags |= kCapsLockFlag;
    if (state & kX11Control)
        flags |= kCommandFlag;
    if (state & kX11Mod1)
        flags |= kOptionFlag;
    if (state & kX11Mod4)
        flags |= kControlFlag;
    return flags;
}

quint32 x11ModifiersFromFlags(quint64 flags)
{
    quint32 state = 0;
    if (flags & kShiftFlag)
        state |= kX11Shift;
    if (flags & kCapsLockFlag)
        state |= kX11Lock;
    if (flags & kCommandFlag)
        state |= kX11Control;
    if (flags & kOptionFlag)
        state |= kX11Mod1;
    if (flags & kControlFlag)
        state |= kX11Mod4;
    return state;
}

} // namespace platform
