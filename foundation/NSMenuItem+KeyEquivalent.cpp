#include "foundation/NSMenuItem+KeyEquivalent.h"
#include "platform/Keys.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KeyNames.h"

#include <QAction>
#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QTranslator>

namespace KeyEquivalent {

namespace {

const char *const kKeyEquivalentProperty = "keyEquivalent";
const char *const kModifierMaskProperty = "keyEquivalentModifierMask";
constexpr double kHeaderFontSize = 12; // points

/// Keys that type no character of their own, by key code; keypad keys carry Qt's keypad modifier.
const QHash<quint16, QKeyCombination> &namedKeys()
{
    using namespace platform;
    static const QHash<quint16, QKeyCombination> keys = {
        {kKeyReturn, Qt::Key_Return},
        {kKeyTab, Qt::Key_Tab},
        {kKeySpace, Qt::Key_Space},
        {kKeyDelete, Qt::Key_Backspace},
        {kKeyEscape, Qt::Key_Escape},
        {kKeyForwardDelete, Qt::Key_Delete},
        {kKeyHelp, Qt::Key_Insert},
        {kKeyHome, Qt::Key_Home},
        {kKeyEnd, Qt::Key_End},
        {kKeyPageUp, Qt::Key_PageUp},
        {kKeyPageDown, Qt::Key_PageDown},
        {kKeyLeftArrow, Qt::Key_Left},
        {kKeyRightArrow, Qt::Key_Right},
        {kKeyDownArrow, Qt::Key_Down},
        {kKeyUpArrow, Qt::Key_Up},
        {kKeyCapsLock, Qt::Key_CapsLock},
        {kKeyFunction, Qt::Key_Menu},
        {kKeyVolumeUp, Qt::Key_VolumeUp},
        {kKeyVolumeDown, Qt::Key_VolumeDown},
        {kKeyMute, Qt::Key_VolumeMute},
        {kKeyKeypadEnter, Qt::KeypadModifier | Qt::Key_Enter},
        {kKeyKeypadClear, Qt::KeypadModifier | Qt::Key_Clear},
        {kKeyKeypadDecimal, Qt::KeypadModifier | Qt::Key_Period},
        {kKeyKeypadMultiply, Qt::KeypadModifier | Qt::Key_Asterisk},
        {kKeyKeypadPlus, Qt::KeypadModifier | Qt::Key_Plus},
        {kKeyKeypadDivide, Qt::KeypadModifier | Qt::Key_Slash},
        {kKeyKeypadMinus, Qt::KeypadModifier | Qt::Key_Minus},
        {kKeyKeypadEquals, Qt::KeypadModifier | Qt::Key_Equal},
        {kKeyKeypad0, Qt::KeypadModifier | Qt::Key_0},
        {kKeyKeypad1, Qt::KeypadModifier | Qt::Key_1},
        {kKeyKeypad2, Qt::KeypadModifier | Qt::Key_2},
        {kKeyKeypad3, Qt::KeypadModifier | Qt::Key_3},
        {kKeyKeypad4, Qt::KeypadModifier | Qt::Key_4},
        {kKeyKeypad5, Qt::KeypadModifier | Qt::Key_5},
        {kKeyKeypad6, Qt::KeypadModifier | Qt::Key_6},
        {kKeyKeypad7, Qt::KeypadModifier | Qt::Key_7},
        {kKeyKeypad8, Qt::KeypadModifier | Qt::Key_8},
        {kKeyKeypad9, Qt::KeypadModifier | Qt::Key_9},
    };
    return keys;
}

/// Qt names the Super key "Meta" in the texts it shows; Linux desktops write "Super".
class SuperKeyWording final : public QTranslator
{
public:
    using QTranslator::QTranslator;
    [[nodiscard]] bool isEmpty() const override { return false; }
    [[nodiscard]] QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QShortcut") == 0 && qstrcmp(sourceText, "Meta") == 0)
            return QStringLiteral("Super");
        return QString();
    }
};

void installSuperKeyWordingOnce()
{
    static bool installed = false;
    if (installed || !QCoreApplication::instance())
        return;
    installed = true;
    QCoreApplication::installTranslator(new SuperKeyWording(QCoreApplication::instance())); // owned by the app
}

} // namespace

QKeySequence keySequence(quint16 keyCode, quint64 modifierFlags)
{
    QKeyCombination key(Qt::Key_unknown);
    if (const qsizetype index = functionKeyCodes().indexOf(keyCode); index >= 0)
        key = QKeyCombination(Qt::Key(Qt::Key_F1 + int(index)));
    else if (const auto named = namedKeys().constFind(keyCode); named != namedKeys().constEnd())
        key = *named;
    else if (const QString text = keyCodeSymbolString(keyCode); text.size() == 1)
        key = QKeyCombination(Qt::Key(text.at(0).toUpper().unicode())); // Qt's printable keys are upper-case codes
    if (key.key() == Qt::Key_unknown)
        return QKeySequence();
    Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    if (modifierFlags & platform::kCommandFlag)
        modifiers |= Qt::ControlModifier;
    if (modifierFlags & platform::kOptionFlag)
        modifiers |= Qt::AltModifier;
    if (modifierFlags & platform::kControlFlag)
        modifiers |= Qt::MetaModifier;
    if (modifierFlags & platform::kShiftFlag)
        modifiers |= Qt::ShiftModifier;
    return QKeySequence(QKeyCombination(modifiers, key.key()));
}

void setKeyEquivalentWithShortCut(QAction &item, const KQShortCut *shortCut)
{
    if (!shortCut || shortCut->disabled())
        return;
    const char16_t functionCharacter = menuKeyEquivalentCharacter(shortCut->keyCode());
    const QString equivalent = functionCharacter ? QString(QChar(functionCharacter)) : shortCut->keyCodeString();
    installSuperKeyWordingOnce();
    item.setProperty(kKeyEquivalentProperty, equivalent);
    item.setProperty(kModifierMaskProperty, QVariant::fromValue(shortCut->modifierFlags()));
    item.setShortcut(keySequence(shortCut->keyCode(), shortCut->modifierFlags()));
    item.setShortcutVisibleInContextMenu(true);
    // The command's own hot key does the work; the menu only shows it.
    item.setShortcutContext(Qt::WidgetShortcut);
}

QString keyEquivalent(const QAction &item)
{
    return item.property(kKeyEquivalentProperty).toString();
}

quint64 keyEquivalentModifierMask(const QAction &item)
{
    return item.property(kModifierMaskProperty).toULongLong();
}

std::unique_ptr<QAction> topItemWithTitle(const QString &title, QObject *parent)
{
    auto item = std::make_unique<QAction>(title, parent);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setBold(true);
    font.setPointSizeF(kHeaderFontSize);
    item->setFont(font);
    item->setData(-1);
    item->setEnabled(false); // nothing to choose: it heads the items below
    item->setProperty(kKeyEquivalentProperty, QString());
    return item;
}

} // namespace KeyEquivalent
