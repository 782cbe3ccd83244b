#include "shortcuts/KeyNames.h"

#include "platform/KeyboardLayout.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "shortcuts/KQShortCutMonitor.h"

#include <array>
#include <utility>

namespace {

constexpr quint64 kShift = platform::kShiftFlag;
constexpr quint64 kControl = platform::kControlFlag;
constexpr quint64 kOption = platform::kOptionFlag;
constexpr quint64 kCommand = platform::kCommandFlag;
constexpr quint64 kFunction = platform::kFunctionFlag;

constexpr quint16 kCommandKey = platform::kKeyCommand;
constexpr quint16 kShiftKey = platform::kKeyShift;
constexpr quint16 kOptionKey = platform::kKeyOption;
constexpr quint16 kControlKey = platform::kKeyControl;
constexpr quint16 kFunctionKey = platform::kKeyFunction;

bool isModifierKey(quint16 keyCode)
{
    return keyCode == kCommandKey || keyCode == kShiftKey || keyCode == kOptionKey || keyCode == kControlKey ||
           keyCode == kFunctionKey;
}

/// The text the layout types for the key. The modifier state is the hot-key mask as it is, unshifted: its bits
/// lie above the translation's modifier bits, so letters show as typed without modifiers.
QString layoutText(quint16 keyCode, quint64 modifierFlags)
{
    const auto &layout = platform::services().keyboardLayout;
    if (!layout)
        return QString();
    return layout->textForKeyCode(keyCode, KQShortCutMonitor::carbonModifiersFromCocoaFlags(modifierFlags));
}

} // namespace

const QHash<quint16, QString> &keySymbolTable()
{
    static const QHash<quint16, QString> table = [] {
        QHash<quint16, QString> symbols = {
            {36, QStringLiteral("\u21A9")},           {48, QStringLiteral("\u21E5")},
            {49, QStringLiteral("\u23B5")},           {51, QStringLiteral("\u232B")},
            {53, QStringLiteral("\u238B")},           {55, QStringLiteral("\u2318")},
            {56, QStringLiteral("\u21E7")},           {57, QStringLiteral("\u21EA")},
            {58, QStringLiteral("\u2325")},           {59, QStringLiteral("\u2303")},
            {60, QStringLiteral("\u21E7")},           {61, QStringLiteral("\u2325")},
            {62, QStringLiteral("\u2303")},           {72, QStringLiteral("\U0001F50A")},
            {73, QStringLiteral("\U0001F508")},       {74, QStringLiteral("\U0001F507")},
            {63, QStringLiteral("\U0001F310\uFE0E")}, {117, QStringLiteral("\u2326")},
            {115, QStringLiteral("\u2196")},          {119, QStringLiteral("\u2198")},
            {116, QStringLiteral("\u21DE")},          {121, QStringLiteral("\u21DF")},
            {123, QStringLiteral("\u2190")},          {124, QStringLiteral("\u2192")},
            {125, QStringLiteral("\u2193")},          {126, QStringLiteral("\u2191")},
        };
        symbols.insert(functionKeyNames());
        return symbols;
    }();
    return table;
}

const QHash<quint16, QString> &keyNameTable()
{
    static const QHash<quint16, QString> table = [] {
        QHash<quint16, QString> names = {
            {36, QStringLiteral("Return")},        {48, QStringLiteral("Tab")},
            {49, QStringLiteral("Space")},         {51, QStringLiteral("Delete")},
            {53, QStringLiteral("Escape")},        {55, QStringLiteral("Command")},
            {56, QStringLiteral("Shift")},         {57, QStringLiteral("CapsLock")},
            {58, QStringLiteral("Option")},        {59, QStringLiteral("Control")},
            {60, QStringLiteral("RightShift")},    {61, QStringLiteral("RightOption")},
            {62, QStringLiteral("RightControl")},  {72, QStringLiteral("VolumeUp")},
            {73, QStringLiteral("VolumeDown")},    {74, QStringLiteral("Mute")},
            {63, QStringLiteral("Function")},      {117, QStringLiteral("ForwardDelete")},
            {115, QStringLiteral("Home")},         {119, QStringLiteral("End")},
            {116, QStringLiteral("PageUp")},       {121, QStringLiteral("PageDown")},
            {123, QStringLiteral("LeftArrow")},    {124, QStringLiteral("RightArrow")},
            {125, QStringLiteral("DownArrow")},    {126, QStringLiteral("UpArrow")},
            {50, QStringLiteral("Grave")},         {43, QStringLiteral("Comma")},
            {47, QStringLiteral("Period")},        {44, QStringLiteral("Slash")},
            {42, QStringLiteral("Backslash")},     {33, QStringLiteral("Left Bracket")},
            {30, QStringLiteral("Right Bracket")}, {41, QStringLiteral("Semicolon")},
            {39, QStringLiteral("Quote")},         {27, QStringLiteral("Minus")},
            {24, QStringLiteral("Equal")},
        };
        names.insert(functionKeyNames());
        return names;
    }();
    return table;
}

const QList<quint16> &functionKeyCodes()
{
    static const QList<quint16> codes = {122, 120, 99,  118, 96,  97,  98, 100, 101, 109,
                                         103, 111, 105, 107, 113, 106, 64, 79,  80,  90};
    return codes;
}

const QHash<quint16, QString> &functionKeyNames()
{
    static const QHash<quint16, QString> names = [] {
        QHash<quint16, QString> result;
        for (int i = 0; i < functionKeyCodes().size(); ++i)
            result.insert(functionKeyCodes().at(i), QStringLiteral("F%1").arg(i + 1));
        return result;
    }();
    return names;
}

const QList<quint16> &singleSpecialKeyCodes()
{
    static const QList<quint16> codes = {48, 50, 43, 47, 44, 42, 33, 30, 41, 39, 27, 24, 116, 121, 115, 119};
    return codes;
}

const QHash<quint16, QString> &singleKeyNames()
{
    static const QHash<quint16, QString> names = {
        {48, QStringLiteral("Tab")},          {50, QStringLiteral("Grave")},         {43, QStringLiteral("Comma")},
        {47, QStringLiteral("Period")},       {44, QStringLiteral("Slash")},         {42, QStringLiteral("Backslash")},
        {33, QStringLiteral("Left Bracket")}, {30, QStringLiteral("Right Bracket")}, {41, QStringLiteral("Semicolon")},
        {39, QStringLiteral("Quote")},        {27, QStringLiteral("Minus")},         {24, QStringLiteral("Equal")},
        {116, QStringLiteral("Page Up")},     {121, QStringLiteral("Page Down")},    {115, QStringLiteral("Home")},
        {119, QStringLiteral("End")},
    };
    return names;
}

QString shortcutSymbolString(quint16 keyCode, quint64 modifierFlags)
{
    static constexpr std::array<std::pair<quint64, quint16>, 5> kOrder = {{
        {kControl, kControlKey},
        {kOption, kOptionKey},
        {kShift, kShiftKey},
        {kCommand, kCommandKey},
        {kFunction, kFunctionKey},
    }};
    QString text;
    for (const auto &[flag, key] : kOrder) {
        if (modifierFlags & flag)
            text += keySymbolTable().value(key);
    }
    if (isModifierKey(keyCode))
        return text;
    if (const auto symbol = keySymbolTable().constFind(keyCode); symbol != keySymbolTable().constEnd())
        return text + *symbol;
    return text + layoutText(keyCode, modifierFlags);
}

QString keyCodeSymbolString(quint16 keyCode)
{
    if (const auto symbol = keySymbolTable().constFind(keyCode); symbol != keySymbolTable().constEnd())
        return *symbol;
    return layoutText(keyCode, 0);
}

QString modifierHintString(quint16 keyCode, quint64 modifierFlags, bool withBrackets)
{
    static constexpr std::array<std::pair<quint64, const char *>, 5> kOrder = {{
        {kControl, "Control-"},
        {kOption, "Option-"},
        {kShift, "Shift-"},
        {kCommand, "Command-"},
        {kFunction, "Fn-"},
    }};
    QString text;
    if (withBrackets)
        text += QLatin1Char('(');
    for (const auto &[flag, word] : kOrder) {
        if (modifierFlags & flag)
            text += QLatin1String(word);
    }
    if (!isModifierKey(keyCode)) {
        // F1 to F12 sit on the media keys of the keyboard, so they are named with Fn- even when it is in the flags.
        if (functionKeyCodes().indexOf(keyCode) >= 0 && functionKeyCodes().indexOf(keyCode) < 12)
            text += QLatin1String("Fn-");
        if (const auto name = keyNameTable().constFind(keyCode); name != keyNameTable().constEnd())
            text += *name;
        else
            text += layoutText(keyCode, modifierFlags).toUpper();
    }
    if (withBrackets)
        text += QLatin1Char(')');
    return text;
}

int shortcutSymbolCount(quint16 keyCode, quint64 modifierFlags)
{
    int count = 0;
    for (const quint64 flag : {kOption, kControl, kShift, kCommand, kFunction}) {
        if (modifierFlags & flag)
            ++count;
    }
    return isModifierKey(keyCode) ? count : count + 1;
}

char16_t menuKeyEquivalentCharacter(quint16 keyCode)
{
    const qsizetype index = functionKeyCodes().indexOf(keyCode);
    return index < 0 ? char16_t(0) : char16_t(0xF704 + index);
}

bool isFunctionKeyCode(quint16 keyCode)
{
    return functionKeyCodes().contains(keyCode);
}
