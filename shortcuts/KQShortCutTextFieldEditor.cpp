#include "shortcuts/KQShortCutTextFieldEditor.h"

#include "platform/Event.h"
#include "platform/EventQueue.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQShortCutTextField.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

constexpr quint64 kHeldModifiersMask = 0x9E0000; // Shift, Control, Option, Command, Function
constexpr quint16 kEscapeKeyCode = 53;

bool isNewline(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

} // namespace

KQShortCutTextFieldEditor &KQShortCutTextFieldEditor::sharedEditor()
{
    static KQShortCutTextFieldEditor editor;
    return editor;
}

KQShortCutTextFieldEditor::KQShortCutTextFieldEditor() = default;

KQShortCutTextFieldEditor::~KQShortCutTextFieldEditor()
{
    if (m_monitorInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void KQShortCutTextFieldEditor::setHotKeyField(KQShortCutTextField *field)
{
    m_hotKeyField = field;
    m_startShortCut = field ? field->shortCut() : nullptr;
}

bool KQShortCutTextFieldEditor::becomeFirstResponder()
{
    m_hasSeenKeyDown = false;
    if (!m_monitorInstalled && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        m_monitorInstalled = true;
    }
    // Combinations we hold as hot keys never reach a focused window: the registry hands them over instead.
    KQShortCutMonitor::defaultMonitor().setKeyRecorder(
        [this](const platform::Event &event) { validateShortCutEvent(event); });
    return true;
}

bool KQShortCutTextFieldEditor::resignFirstResponder()
{
    setHotKeyField(nullptr);
    if (m_monitorInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    m_monitorInstalled = false;
    KQShortCutMonitor::defaultMonitor().setKeyRecorder(nullptr);
    return true;
}

bool KQShortCutTextFieldEditor::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claims the key from the program's menu and action shortcuts; the press follows and is taken below.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        break;
    default:
        return false;
    }
    KQShortCutTextField *field = m_hotKeyField;
    if (!field)
        return false;
    const std::optional<platform::Event> converted = platform::EventQueue::shared().eventFromQtEvent(*event, *field);
    if (!converted)
        return false;
    if (converted->type != platform::EventType::KeyDown && converted->type != platform::EventType::FlagsChanged)
        return false; // key-ups go on
    validateShortCutEvent(*converted);
    return true;
}

void KQShortCutTextFieldEditor::validateShortCutEvent(const platform::Event &event)
{
    const quint64 flags = KQShortCutMonitor::deviceIndependentModifierFlags(event.modifierFlags);
    const bool modifiersHeld = (flags & kHeldModifiersMask) != 0;
    if (event.type == platform::EventType::KeyDown) {
        m_hasSeenKeyDown = true;
        if (modifiersHeld) {
            record(event, flags);
            return;
        }
        const QString plain = event.charactersIgnoringModifiers;
        const bool isReturn = !plain.isEmpty() && isNewline(plain.at(0));
        if (!isReturn && event.keyCode != kEscapeKeyCode) {
            m_hasSeenKeyDown = false;
            return;
        }
        if (event.keyCode == kEscapeKeyCode && m_hotKeyField)
            m_hotKeyField->setShortCut(m_startShortCut);
        endEditing();
        return;
    }
    if (event.type != platform::EventType::FlagsChanged)
        return;
    if (!modifiersHeld)
        m_hasSeenKeyDown = false;
    else if (!m_hasSeenKeyDown)
        record(event, flags);
}

void KQShortCutTextFieldEditor::record(const platform::Event &event, quint64 flags)
{
    KQShortCutTextField *field = m_hotKeyField;
    if (!field)
        return;
    auto shortCut = KQShortCut::shortCutWithKeyCode(event.keyCode, flags, nullptr, QString());
    if (m_startShortCut) {
        shortCut->setTarget(m_startShortCut->target());
        shortCut->setAction(m_startShortCut->action());
    }
    field->setShortCut(shortCut);
    emit field->action();
}

void KQShortCutTextFieldEditor::endEditing()
{
    QPointer<KQShortCutTextField> field = m_hotKeyField;
    if (!field)
        return;
    emit field->action();
    if (field)
        field->endEditing();
}
