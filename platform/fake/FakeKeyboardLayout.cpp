#include "platform/fake/FakeKeyboardLayout.h"

namespace platform {

namespace {

/// Characters of the US layout by key code (ANSI positions 0-50); 0 marks a code that types nothing printable.
constexpr char kUsCharacters[51] = {
    'a', 's', 'd', 'f', 'h', 'g',  'z', 'x', 'c',  'v', 0,   'b', 'q', 'w', 'e', 'r', 'y',
    't', '1', '2', '3', '4', '6',  '5', '=', '9',  '7', '-', '8', '0', ']', 'o', 'u', '[',
    'i', 'p', 0,   'l', 'j', '\'', 'k', ';', '\\', ',', '/', 'n', 'm', '.', 0,   ' ', '`',
};

} // namespace

QString FakeKeyboardLayout::textForKeyCode(quint16 keyCode, quint32 modifierState) const
{
    m_lastModifierState = modifierState;
    if (const auto text = m_texts.constFind(keyCode); text != m_texts.constEnd())
        return *text;
    if (keyCode < sizeof(kUsCharacters) && kUsCharacters[keyCode] != 0)
        return QString(QLatin1Char(kUsCharacters[keyCode]));
    return QString();
}

} // namespace platform
