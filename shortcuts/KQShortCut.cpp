#include "shortcuts/KQShortCut.h"

#include "foundation/ActionTarget.h"
#include "foundation/InkoraLog.h"
#include "foundation/NSString+Bezier.h"
#include "foundation/TextScanning.h"
#include "platform/Event.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"
#include "shortcuts/KeyNames.h"

#include <QStringList>

#include <algorithm>
#include <limits>
#include <mutex>

std::shared_ptr<KQShortCut> KQShortCut::shortCutWithKeyCode(quint16 keyCode, quint64 modifierFlags,
                                                            inkora::ActionTarget *target, const QString &action)
{
    auto shortCut = std::make_shared<KQShortCut>();
    shortCut->m_keyCode = keyCode;
    shortCut->m_modifierFlags = modifierFlags;
    shortCut->m_target = target;
    shortCut->m_action = action;
    return shortCut;
}

std::shared_ptr<KQShortCut> KQShortCut::shortcutObjectWithString(const QString &string)
{
    const QString text = Bezier::decodedFromBase64String(string);
    if (text.isNull())
        return nullptr;
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return nullptr;
    auto shortCut = std::make_shared<KQShortCut>();
    shortCut->m_action = parts[0];
    shortCut->m_modifierFlags = quint64(inkora::leadingInteger(parts[1]));
    // The key code is read as a 32-bit number (saturating) and kept in its low 16 bits.
    const qint64 keyCode = std::clamp<qint64>(inkora::leadingInteger(parts[2]), std::numeric_limits<qint32>::min(),
                                              std::numeric_limits<qint32>::max());
    shortCut->m_keyCode = quint16(quint32(qint32(keyCode)) & 0xFFFFu);
    shortCut->m_disabled = inkora::leadingInteger(parts[3]) == 1;
    return shortCut;
}

QString KQShortCut::shortcutObjectStringValue() const
{
    return Bezier::base64EncodedString(
        QStringLiteral("%1,%2,%3,%4").arg(m_action).arg(m_modifierFlags).arg(m_keyCode).arg(m_disabled ? 1 : 0));
}

void KQShortCut::registerArchiveClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        platform::ArchiveClasses::registerClass(
            QStringLiteral("KQShortCut"), QString(), [](platform::KeyedUnarchiver &coder) -> platform::ArchivablePtr {
                auto shortCut = std::make_shared<KQShortCut>();
                shortCut->m_action = coder.decodeString(QStringLiteral("ActionKey"));
                shortCut->m_modifierFlags = quint64(coder.decodeInt(QStringLiteral("ModifierFlagsKey")));
                // A 32-bit int, kept in 16 bits.
                shortCut->m_keyCode = quint16(quint64(coder.decodeInt(QStringLiteral("KeyCodeKey"))) & 0xFFFFu);
                shortCut->m_disabled = coder.decodeBool(QStringLiteral("DisabledKey"));
                return shortCut;
            });
    });
}

QString KQShortCut::archiveClassName() const
{
    return QStringLiteral("KQShortCut");
}

void KQShortCut::encodeWithCoder(platform::KeyedArchiver &coder) const
{
    coder.encodeString(m_action, QStringLiteral("ActionKey"));
    coder.encodeInt(qint64(m_modifierFlags), QStringLiteral("ModifierFlagsKey"));
    coder.encodeInt(m_keyCode, QStringLiteral("KeyCodeKey"));
    coder.encodeBool(m_disabled, QStringLiteral("DisabledKey"));
}

bool KQShortCut::isEqual(const KQShortCut &other) const
{
    return m_keyCode == other.m_keyCode && m_modifierFlags == other.m_modifierFlags;
}

void KQShortCut::invokeWithEvent(const platform::Event *event) const
{
    if (m_target && !m_action.isEmpty() && m_target->respondsToAction(m_action))
        m_target->performAction(m_action, event);
}

bool KQShortCut::enabledAndMatchWithEvent(const platform::Event &event) const
{
    if (event.type != platform::EventType::KeyDown && event.type != platform::EventType::KeyUp) {
        qCWarning(lcShortcuts) << "shortcutMatchWithEvent: event type mismatch";
        return false;
    }
    if (m_disabled || event.keyCode != m_keyCode)
        return false;
    return (event.modifierFlags & m_modifierFlags) != 0;
}

QString KQShortCut::basicHint() const
{
    return shortcutSymbolString(m_keyCode, m_modifierFlags);
}

QString KQShortCut::keyCodeString() const
{
    return keyCodeSymbolString(m_keyCode);
}

QString KQShortCut::extraHint() const
{
    return modifierHintString(m_keyCode, m_modifierFlags, false);
}

QString KQShortCut::extraHintWithBrackets() const
{
    return modifierHintString(m_keyCode, m_modifierFlags, true);
}

QString KQShortCut::description() const
{
    const QString target = m_target ? QStringLiteral("0x%1").arg(quintptr(m_target), 0, 16) : QStringLiteral("(null)");
    return QStringLiteral("KQShortCut -\t%1\t\t%2").arg(basicHint(), target);
}

bool KQShortCut::hasSingleSpecialKey() const
{
    return m_modifierFlags == 0 && singleSpecialKeyCodes().contains(m_keyCode);
}

void KQShortCut::invokeWithEvent(const platform::Event &event) const
{
    invokeWithEvent(&event);
}
