#pragma once

#include <Qt>
#include <QtGlobal>

namespace platform {

/// Virtual key codes of the ANSI layout: what stored shortcuts, presets and the key tables hold. A key code
/// names a key position, not the character the current layout puts there.
enum KeyCode : quint16 {
    kKeyA = 0,
    kKeyS = 1,
    kKeyD = 2,
    kKeyF = 3,
    kKeyH = 4,
    kKeyG = 5,
    kKeyZ = 6,
    kKeyX = 7,
    kKeyC = 8,
    kKeyV = 9,
    kKeySection = 10, // the extra key beside left Shift on ISO keyboards
    kKeyB = 11,
    kKeyQ = 12,
    kKeyW = 13,
    kKeyE = 14,
    kKeyR = 15,
    kKeyY = 16,
    kKeyT = 17,
    kKey1 = 18,
    kKey2 = 19,
    kKey3 = 20,
    kKey4 = 21,
    kKey6 = 22,
    kKey5 = 23,
    kKeyEqual = 24,
    kKey9 = 25,
    kKey7 = 26,
    kKeyMinus = 27,
    kKey8 = 28,
    kKey0 = 29,
    kKeyRightBracket = 30,
    kKeyO = 31,
    kKeyU = 32,
    kKeyLeftBracket = 33,
    kKeyI = 34,
    kKeyP = 35,
    kKeyReturn = 36,
    kKeyL = 37,
    kKeyJ = 38,
    kKeyQuote = 39,
    kKeyK = 40,
    kKeySemicolon = 41,
    kKeyBackslash = 42,
    kKeyComma = 43,
    kKeySlash = 44,
    kKeyN = 45,
    kKeyM = 46,
    kKeyPeriod = 47,
    kKeyTab = 48,
    kKeySpace = 49,
    kKeyGrave = 50,
    kKeyDelete = 51, // backspace
    kKeyEscape = 53,
    kKeyRightCommand = 54,
    kKeyCommand = 55,
    kKeyShift = 56,
    kKeyCapsLock = 57,
    kKeyOption = 58,
    kKeyControl = 59,
    kKeyRightShift = 60,
    kKeyRightOption = 61,
    kKeyRightControl = 62,
    kKeyFunction = 63,
    kKeyF17 = 64,
    kKeyKeypadDecimal = 65,
    kKeyKeypadMultiply = 67,
    kKeyKeypadPlus = 69,
    kKeyKeypadClear = 71,
    kKeyVolumeUp = 72,
    kKeyVolumeDown = 73,
    kKeyMute = 74,
    kKeyKeypadDivide = 75,
    kKeyKeypadEnter = 76,
    kKeyKeypadMinus = 78,
    kKeyF18 = 79,
    kKeyF19 = 80,
    kKeyKeypadEquals = 81,
    kKeyKeypad0 = 82,
    kKeyKeypad1 = 83,
    kKeyKeypad2 = 84,
    kKeyKeypad3 = 85,
    kKeyKeypad4 = 86,
    kKeyKeypad5 = 87,
    kKeyKeypad6 = 88,
    kKeyKeypad7 = 89,
    kKeyF20 = 90,
    kKeyKeypad8 = 91,
    kKeyKeypad9 = 92,
    kKeyJisYen = 93,
    kKeyJisUnderscore = 94,
    kKeyJisKeypadComma = 95,
    kKeyF5 = 96,
    kKeyF6 = 97,
    kKeyF7 = 98,
    kKeyF3 = 99,
    kKeyF8 = 100,
    kKeyF9 = 101,
    kKeyJisEisu = 102,
    kKeyF11 = 103,
    kKeyJisKana = 104,
    kKeyF13 = 105,
    kKeyF16 = 106,
    kKeyF14 = 107,
    kKeyF10 = 109,
    kKeyF12 = 111,
    kKeyF15 = 113,
    kKeyHelp = 114, // where PC keyboards have Insert
    kKeyHome = 115,
    kKeyPageUp = 116,
    kKeyForwardDelete = 117,
    kKeyF4 = 118,
    kKeyEnd = 119,
    kKeyF2 = 120,
    kKeyPageDown = 121,
    kKeyF1 = 122,
    kKeyLeftArrow = 123,
    kKeyRightArrow = 124,
    kKeyDownArrow = 125,
    kKeyUpArrow = 126,
    kNoKeyCode = 0xFFFF, // a key the tables do not know
};

/// Modifier flag bits of events and stored shortcuts. Ctrl is Command, Alt is Option, Super is Control, Lock is
/// Caps Lock, and the Menu key held stands in for Function, which X11 lacks.
enum ModifierFlag : quint64 {
    kCapsLockFlag = 0x10000,
    kShiftFlag = 0x20000,
    kControlFlag = 0x40000,
    kOptionFlag = 0x80000,
    kCommandFlag = 0x100000,
    kNumericPadFlag = 0x200000,
    kFunctionFlag = 0x800000,
    kDeviceIndependentFlagsMask = 0xFFFF0000, // the bits above; the low bits tell left from right keys
};

/// X11 keycodes are evdev codes + 8 under the usual evdev keymap.
[[nodiscard]] quint16 keyCodeFromX11(quint32 x11KeyCode);
/// 0 for a key code the table does not know.
[[nodiscard]] quint32 x11KeyCodeFromKeyCode(quint16 keyCode);
/// For events without a native key code (synthetic or non-X11): Qt's key, with the keypad modifier choosing
/// the keypad's keys. Shifted symbols give the key they are on in the US layout.
[[nodiscard]] quint16 keyCodeFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);

/// Shift, Command (Ctrl), Option (Alt), Control (Meta, which is Super on X11) and the numeric-pad bit. Qt knows
/// neither Caps Lock nor the Menu key: those come from the X11 state and the key events.
[[nodiscard]] quint64 modifierFlagsFromQt(Qt::KeyboardModifiers modifiers);
/// From an X11 state mask: Shift, Lock, Control, Mod1 (Alt) and Mod4 (Super).
[[nodiscard]] quint64 modifierFlagsFromX11(quint32 state);
/// The X11 state mask of the flags; Function and the numeric-pad bit have no X11 modifier and are dropped.
[[nodiscard]] quint32 x11ModifiersFromFlags(quint64 flags);

} // namespace platform
