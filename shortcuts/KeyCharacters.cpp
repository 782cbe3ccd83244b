#include "shortcuts/KeyCharacters.h"

#include <QHash>

namespace {

const QHash<quint16, QString> &specialKeySymbols()
{
    static const QHash<quint16, QString> symbols = {
        {36, QStringLiteral("\u21A9")},  {48, QStringLiteral("\u21E5")},  {49, QStringLiteral("\u23B5")},
        {51, QStringLiteral("\u232B")},  {53, QStringLiteral("\u238B")},  {117, QStringLiteral("\u2326")},
        {115, QStringLiteral("\u2196")}, {119, QStringLiteral("\u2198")}, {116, QStringLiteral("\u21DE")},
        {121, QStringLiteral("\u21DF")}, {123, QStringLiteral("\u2190")}, {124, QStringLiteral("\u2192")},
        {125, QStringLiteral("\u2193")}, {126, QStringLiteral("\u2191")}, {122, QStringLiteral("F1")},
        {120, QStringLiteral("F2")},     {99, QStringLiteral("F3")},      {118, QStringLiteral("F4")},
        {96, QStringLiteral("F5")},      {97, QStringLiteral("F6")},      {98, QStringLiteral("F7")},
        {100, QStringLiteral("F8")},     {101, QStringLiteral("F9")},     {109, QStringLiteral("F10")},
        {103, QStringLiteral("F11")},    {111, QStringLiteral("F12")},    {105, QStringLiteral("F13")},
        {107, QStringLiteral("F14")},    {113, QStringLiteral("F15")},    {106, QStringLiteral("F16")},
        {64, QStringLiteral("F17")},     {79, QStringLiteral("F18")},     {80, QStringLiteral("F19")},
        {90, QStringLiteral("F20")},
    };
    return symbols;
}

/// Characters of the US layout by key code (ANSI positions 0-50); 0 marks a code that types nothing.
constexpr char kUsCharacters[51] = {
    'a', 's', 'd', 'f', 'h', 'g',  'z', 'x', 'c',  'v', 0,   'b', 'q', 'w', 'e', 'r', 'y',
    't', '1', '2', '3', '4', '6',  '5', '=', '9',  '7', '-', '8', '0', ']', 'o', 'u', '[',
    'i', 'p', 0,   'l', 'j', '\'', 'k', ';', '\\', ',', '/', 'n', 'm', '.', 0,   0,   '`',
};

} // namespace

QString characterStringForKeyCode(quint16 keyCode)
{
    if (const auto symbol = specialKeySymbols().constFind(keyCode); symbol != specialKeySymbols().constEnd())
        return *symbol;
    if (keyCode < sizeof(kUsCharacters) && kUsCharacters[keyCode] != 0)
        return QString(QLatin1Char(kUsCharacters[keyCode]));
    return QLatin1String("");
}
