#include "shortcuts/KQShortCutMonitor.h"

#include "foundation/ActionTarget.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtilsAux.h"
#include "foundation/NSEvent+MouseEvent.h"
#include "platform/Dispatch.h"
#include "platform/Event.h"
#include "platform/HotKeys.h"
#include "platform/KeyboardLayout.h"
#include "platform/Keys.h"
#include "platform/Services.h"
#include "shortcuts/KQShortCut.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStringList>

#include <algorithm>

namespace {

using List = QList<std::shared_ptr<KQShortCut>>;

std::shared_ptr<KQShortCut> findEqual(const List &list, quint16 keyCode, quint64 modifierFlags)
{
    const auto found = std::find_if(list.cbegin(), list.cend(), [&](const auto &held) {
        return held->keyCode() == keyCode && held->modifierFlags() == modifierFlags;
    });
    return found == list.cend() ? nullptr : *found;
}

List matching(const List &list, const KQShortCutMonitor::Test &test)
{
    List result;
    for (const auto &shortCut : list) {
        if (test(*shortCut))
            result.append(shortCut);
    }
    return result;
}

/// The key-up event a pressed shortcut runs with.
platform::Event keyUpEvent(const KQShortCut &shortCut, const QPointF &location, quint64 flags, double timestamp)
{
    platform::Event event;
    event.type = platform::EventType::KeyUp;
    event.locationInWindow = location;
    event.windowNumber = -1;
    event.modifierFlags = flags;
    event.timestamp = timestamp;
    event.keyCode = shortCut.keyCode();
    return event;
}

/// Hands a key-down to the text input that has the keyboard, ahead of the input already queued. The hot-key
/// grab took the keystroke from it, so without this the typed character would be lost.
void postKeyDownToFocusedInput(const platform::Event &keyDown)
{
    QObject *focus = QGuiApplication::focusObject();
    if (!focus)
        return;
    Qt::KeyboardModifiers modifiers;
    if (keyDown.modifierFlags & platform::kShiftFlag)
        modifiers |= Qt::ShiftModifier;
    if (keyDown.modifierFlags & platform::kCommandFlag)
        modifiers |= Qt::ControlModifier;
    if (keyDown.modifierFlags & platform::kOptionFlag)
        modifiers |= Qt::AltModifier;
    if (keyDown.modifierFlags & platform::kControlFlag)
        modifiers |= Qt::MetaModifier;
    int key = 0;
    QString text;
    if (keyDown.keyCode == platform::kKeyDelete) {
        key = Qt::Key_Backspace;
        text = QStringLiteral("\b");
    } else {
        const auto &layout = platform::services().keyboardLayout;
        text = layout ? layout->textForKeyCode(keyDown.keyCode, 0) : QString();
        if (text.size() != 1)
            return;
        key = text.at(0).toUpper().unicode(); // Qt's keys of printable ASCII are their upper-case codes
        if (modifiers & Qt::ShiftModifier)
            text = layout->textForKeyCode(keyDown.keyCode, platform::KeyboardLayout::kShiftState);
    }
    QCoreApplication::postEvent(focus, new QKeyEvent(QEvent::KeyPress, key, modifiers, text), Qt::HighEventPriority);
}

} // namespace

KQShortCutMonitor &KQShortCutMonitor::defaultMonitor()
{
    static KQShortCutMonitor monitor;
    return monitor;
}

KQShortCutMonitor::KQShortCutMonitor()
{
    auto *hotKeys = platform::services().hotKeys.get();
    m_handlerInstalled =
        hotKeys && hotKeys->installHandler([this](const platform::HotKeyPress &press) { hotKeyEventHandler(press); });
    if (!m_handlerInstalled)
        qCWarning(lcShortcuts) << "Can't install the hot-key handler";
}

std::uint32_t KQShortCutMonitor::carbonModifiersFromCocoaFlags(quint64 flags)
{
    static constexpr std::pair<quint64, std::uint32_t> kMap[] = {
        {0x100000, 0x100}, {0x20000, 0x200},    {0x10000, 0x400},    {0x80000, 0x800},
        {0x40000, 0x1000}, {0x200000, 0x10000}, {0x800000, 0x20000},
    };
    std::uint32_t result = 0;
    for (const auto &[flag, carbon] : kMap) {
        if (flags & flag)
            result |= carbon;
    }
    return result;
}

std::shared_ptr<KQShortCut> KQShortCutMonitor::bindShortCut(const std::shared_ptr<KQShortCut> &shortCut)
{
    prepareShortCut(shortCut);
    return shortCut;
}

void KQShortCutMonitor::prepareShortCut(const std::shared_ptr<KQShortCut> &shortCut)
{
    if (!shortCut || !m_handlerInstalled || alreadyHasSimilarShortCut(*shortCut))
        return;
    if (shortCut->disabled() || shortCut->isNotAssigned())
        shortCut->setHotKeyRef(0);
    else
        forceRegisterShortcut(shortCut);
    m_allShortCuts.append(shortCut);
    m_typingShortcutsNeedsUpdate = true;
    updateShortcutInFnShortcutsIfNeeded(shortCut);
}

void KQShortCutMonitor::unbindShortCut(const std::shared_ptr<KQShortCut> &shortCut)
{
    if (!shortCut)
        return;
    unregisterShortcutIfNeeded(shortCut);
    m_allShortCuts.removeAll(shortCut);
}

bool KQShortCutMonitor::forceRegisterShortcut(const std::shared_ptr<KQShortCut> &shortCut)
{
    auto *hotKeys = platform::services().hotKeys.get();
    if (!shortCut || !hotKeys)
        return false;
    // A grab without a command would swallow the keystroke for nothing, also from the program below.
    if (shortCut->target() && !shortCut->target()->respondsToAction(shortCut->action())) {
        unregisterShortcutIfNeeded(shortCut);
        return false;
    }
    if (shortCut->hotKeyRef() != 0) {
        qCDebug(lcShortcuts) << "forceRegisterShortcut: Unregister existing shortcut ref";
        unregisterShortcutIfNeeded(shortCut);
    }
    const auto registration =
        hotKeys->registerHotKey(shortCut->keyCode(), carbonModifiersFromCocoaFlags(shortCut->modifierFlags()),
                                kHotKeySignature, m_nextHotKeyID);
    shortCut->setFailedToRegister(!registration.ok);
    if (!registration.ok) {
        if (!findEqual(m_discardedShortCuts, shortCut->keyCode(), shortCut->modifierFlags()))
            m_discardedShortCuts.append(shortCut);
        qCWarning(lcShortcuts, "Can't register the shortcut %s flags - (%llx) - Err %d",
                  qUtf8Printable(shortCut->basicHint()), static_cast<unsigned long long>(shortCut->modifierFlags()),
                  registration.errorCode);
        return false;
    }
    m_discardedShortCuts.removeAll(shortCut);
    shortCut->setHotKeyRef(registration.ref);
    shortCut->setHotKeyID(m_nextHotKeyID++);
    return true;
}

bool KQShortCutMonitor::unregisterShortcutIfNeeded(const std::shared_ptr<KQShortCut> &shortCut)
{
    if (!shortCut || shortCut->hotKeyRef() == 0)
        return false;
    if (auto *hotKeys = platform::services().hotKeys.get())
        hotKeys->unregisterHotKey(shortCut->hotKeyRef());
    shortCut->setHotKeyRef(0);
    return true;
}

bool KQShortCutMonitor::disableShortCut(const std::shared_ptr<KQShortCut> &shortCut)
{
    if (!shortCut)
        return false;
    m_typingShortcutsNeedsUpdate = true;
    shortCut->setDisabled(true);
    return unregisterShortcutIfNeeded(shortCut);
}

bool KQShortCutMonitor::enableShortCut(const std::shared_ptr<KQShortCut> &shortCut)
{
    if (!shortCut)
        return false;
    m_typingShortcutsNeedsUpdate = true;
    shortCut->setDisabled(false);
    if (!m_allShortCuts.contains(shortCut)) {
        bindShortCut(shortCut);
        return true;
    }
    return forceRegisterShortcut(shortCut);
}

void KQShortCutMonitor::updateShortCutWithShortCut(const std::shared_ptr<KQShortCut> &shortCut,
                                                   const KQShortCut &newShortCut)
{
    if (!shortCut)
        return;
    m_typingShortcutsNeedsUpdate = true;
    unbindShortCut(shortCut);
    shortCut->setModifierFlags(newShortCut.modifierFlags());
    shortCut->setKeyCode(newShortCut.keyCode());
    shortCut->setIsDefault(false);
    platform::DispatchQueue::main().async([this, shortCut] { bindShortCut(shortCut); });
}

std::shared_ptr<KQShortCut> KQShortCutMonitor::bindShortCutWithKeyCode(quint16 keyCode, quint64 modifierFlags,
                                                                       inkora::ActionTarget *target,
                                                                       const QString &action)
{
    if (alreadyHasShortCutWithKeyCode(keyCode, modifierFlags))
        return nullptr;
    return bindShortCut(KQShortCut::shortCutWithKeyCode(keyCode, modifierFlags, target, action));
}

void KQShortCutMonitor::forceRemoveAllShortcuts()
{
    m_typingShortcutsNeedsUpdate = true;
    m_allShortCuts.clear();
    m_discardedShortCuts.clear();
    m_fnContainingShortCuts.clear();
}

void KQShortCutMonitor::unbindAll()
{
    for (const auto &shortCut : List(m_allShortCuts))
        unbindShortCut(shortCut);
}

std::shared_ptr<KQShortCut> KQShortCutMonitor::equivalentShortCut(const KQShortCut &shortCut) const
{
    return findEqual(m_allShortCuts, shortCut.keyCode(), shortCut.modifierFlags());
}

bool KQShortCutMonitor::alreadyHasSimilarShortCut(const KQShortCut &shortCut) const
{
    return equivalentShortCut(shortCut) != nullptr;
}

bool KQShortCutMonitor::alreadyHasShortCutWithKeyCode(quint16 keyCode, quint64 modifierFlags) const
{
    return findEqual(m_allShortCuts, keyCode, modifierFlags) != nullptr;
}

QList<std::shared_ptr<KQShortCut>> KQShortCutMonitor::shortCutsMatching(const Test &test) const
{
    return matching(m_allShortCuts, test);
}

QList<std::shared_ptr<KQShortCut>> KQShortCutMonitor::discardedShortCutsMatching(const Test &test) const
{
    return matching(m_discardedShortCuts, test);
}

bool KQShortCutMonitor::discardedHasShortCutWithKeyCode(quint16 keyCode, quint64 modifierFlags) const
{
    return discardedShortCutWithKeyCode(keyCode, modifierFlags) != nullptr;
}

std::shared_ptr<KQShortCut> KQShortCutMonitor::discardedShortCutWithKeyCode(quint16 keyCode,
                                                                            quint64 modifierFlags) const
{
    return findEqual(m_discardedShortCuts, keyCode, modifierFlags);
}

bool KQShortCutMonitor::didProcessedDiscardedShortcutWithEvent(const platform::Event &event)
{
    auto &monitor = defaultMonitor();
    if (monitor.m_discardedShortCuts.isEmpty())
        return false;
    const auto shortCut =
        monitor.discardedShortCutWithKeyCode(event.keyCode, deviceIndependentModifierFlags(event.modifierFlags));
    if (!shortCut || shortCut->disabled())
        return false;
    monitor.processShortcutToTarget(
        shortCut, keyUpEvent(*shortCut, event.locationInWindow, event.modifierFlags, event.timestamp));
    return true;
}

void KQShortCutMonitor::processShortcutToTarget(const std::shared_ptr<KQShortCut> &shortCut,
                                                const platform::Event &event)
{
    // A typing key while a text input has the keyboard belongs to the text input, not to the command.
    if (!MRKOUtilsAux::shouldInvokeShortcutRespectingTextInput(*shortCut)) {
        postKeyDownToFocusedInput(MouseEvent::keyDownWithKeyUpEvent(event));
        return;
    }
    shortCut->invokeWithEvent(&event);
}

void KQShortCutMonitor::hotKeyEventHandler(const platform::HotKeyPress &press)
{
    const List found = shortCutsMatching([&](const KQShortCut &shortCut) { return shortCut.hotKeyID() == press.id; });
    if (found.isEmpty())
        return;
    if (found.size() > 1)
        qCWarning(lcShortcuts) << "ERROR! matchingShortCuts More Than 1";
    const auto &shortCut = found.first();
    if (m_keyRecorder) {
        platform::Event keyDown = keyUpEvent(*shortCut, press.location, press.modifierFlags, press.timestamp);
        keyDown.type = platform::EventType::KeyDown;
        if (const auto &layout = platform::services().keyboardLayout)
            keyDown.characters = keyDown.charactersIgnoringModifiers = layout->textForKeyCode(shortCut->keyCode(), 0);
        const KeyRecorder recorder = m_keyRecorder; // recording may end inside
        recorder(keyDown);
        return;
    }
    processShortcutToTarget(shortCut, keyUpEvent(*shortCut, press.location, press.modifierFlags, press.timestamp));
}

void KQShortCutMonitor::printAllShortcuts() const
{
    QStringList lines;
    for (const auto &shortCut : m_allShortCuts)
        lines.append(shortCut->description());
    qCInfo(lcShortcuts).noquote() << lines.join(QStringLiteral("; "));
}

void KQShortCutMonitor::unbindShortCutsForTypingIfNeeded()
{
    updateTypingShortcutsIfNeeded();
    for (const auto &shortCut : List(m_typingShortCuts))
        unbindShortCut(shortCut);
}

void KQShortCutMonitor::bindShortCutsForTypingIfNeeded()
{
    for (const auto &shortCut : List(m_typingShortCuts))
        bindShortCut(shortCut);
}

void KQShortCutMonitor::updateTypingShortcutsIfNeeded()
{
    if (m_typingShortcutsNeedsUpdate)
        updateTypingShortcuts();
}

void KQShortCutMonitor::removeHandlerBeforeQuit()
{
    if (!m_handlerInstalled)
        return;
    if (auto *hotKeys = platform::services().hotKeys.get(); !hotKeys || !hotKeys->removeHandler())
        qCWarning(lcShortcuts) << "RemoveEventHandler error";
    m_handlerInstalled = false;
}

void KQShortCutMonitor::updateShortcutInFnShortcutsIfNeeded(const std::shared_ptr<KQShortCut> &shortCut)
{
    const bool held = m_fnContainingShortCuts.contains(shortCut);
    if (shortCut->hasFunctionModifierKey() && !held)
        m_fnContainingShortCuts.append(shortCut);
    else if (!shortCut->hasFunctionModifierKey() && held)
        m_fnContainingShortCuts.removeAll(shortCut);
}

void KQShortCutMonitor::updateTypingShortcuts()
{
    qCDebug(lcShortcuts) << "updateTypingShortcuts";
    m_typingShortCuts.clear();
    for (const auto &shortCut : List(m_allShortCuts)) {
        if (!shortCut->disabled() && MRKOUtilsAux::isTextTypingShortcut(shortCut->keyCode(), shortCut->modifierFlags()))
            m_typingShortCuts.append(shortCut);
    }
    m_typingShortcutsNeedsUpdate = false;
}
