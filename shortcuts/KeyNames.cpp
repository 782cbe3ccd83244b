#include "shortcuts/KeyNames.h"

#include "platform/KeyboardLayout.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "shortcuts/KQShortCutMonitor.h"

#include <QStringList>

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
    // The words printed on a PC keyboard, as desktops write them; Super is the key in the Control position.
    static const QHash<quint16, QString> table = [] {
        QHash<quint16, QString> names = {
            {36, QStringLiteral("Return")},      {48, QStringLiteral("Tab")},       {49, QStringLiteral("Space")},
            {51, QStringLiteral("Backspace")},   {53, QStringLiteral("Esc")},       {55, QStringLiteral("Ctrl")},
            {56, QStringLiteral("Shift")},       {57, QStringLiteral("CapsLock")},  {58, QStringLiteral("Alt")},
            {59, QStringLiteral("Super")},       {60, QStringLiteral("Shift")},     {61, QStringLiteral("Alt")},
            {62, QStringLiteral("Super")},       {72, QStringLiteral("Volume Up")}, {73, QStringLiteral("Volume Down")},
            {74, QStringLiteral("Volume Mute")}, {63, QStringLiteral("Menu")},      {117, QStringLiteral("Del")},
            {115, QStringLiteral("Home")},       {119, QStringLiteral("End")},      {116, QStringLiteral("PgUp")},
            {121, QStringLiteral("PgDown")},     {123, QStringLiteral("Left")},     {124, QStringLiteral("Right")},
            {125, QStringLiteral("Down")},       {126, QStringLiteral("Up")},
        };
        names.insert(functionKeyNames());
        return names;
    }();
    return table;
}

const QHash<quint16, QString> &keyNameTable()
{
    // The same words, and for the punctuation keys the names the key menus offer.
    static const QHash<quint16, QString> table = [] {
        QHash<quint16, QString> names = keySymbolTable();
        names.insert({
            {50, QStringLiteral("Grave")},
            {43, QStringLiteral("Comma")},
            {47, QStringLiteral("Period")},
            {44, QStringLiteral("Slash")},
            {42, QStringLiteral("Backslash")},
            {33, QStringLiteral("Left Bracket")},
            {30, QStringLiteral("Right Bracket")},
            {41, QStringLiteral("Semicolon")},
            {39, QStringLiteral("Quote")},
            {27, QStringLiteral("Minus")},
            {24, QStringLiteral("Equal")},
        });
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
    // Desktops write Super first, then Ctrl, Alt and Shift; the Menu key stands in for Function.
    static constexpr std::array<std::pair<quint64, quint16>, 5> kOrder = {{
        {kControl, kControlKey},
        {kCommand, kCommandKey},
        {kOption, kOptionKey},
        {kShift, kShiftKey},
        {kFunction, kFunctionKey},
    }};
    QStringList parts;
    for (const auto &[flag, key] : kOrder) {
        if (modifierFlags & flag)
            parts.append(keySymbolTable().value(key));
    }
    if (!isModifierKey(keyCode)) {
        if (const auto name = keySymbolTable().constFind(keyCode); name != keySymbolTable().constEnd())
            parts.append(*name);
        else if (const QString text = layoutText(keyCode, modifierFlags); !text.isEmpty())
            parts.append(text.toUpper());
    }
    return parts.join(QLatin1Char('+'));
}

QString keyCodeSymbolString(quint16 keyCode)
{
    if (const auto symbol = keySymbolTable().constFind(keyCode); symbol != keySymbolTable().constEnd())
        return *symbol;
    return layoutText(keyCode, 0).toUpper();
}

QString modifierHintString(quint16 keyCode, quint64 modifierFlags, bool withBrackets)
{
    // The words now read as the compact text does, so both are one text.
    const QString text = shortcutSymbolString(keyCode, modifierFlags);
    return withBrackets ? QLatin1Char('(') + text + QLatin1Char(')') : text;
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
