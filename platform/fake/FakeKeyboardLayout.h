#pragma once

#include "platform/KeyboardLayout.h"

#include <QHash>

namespace platform {

/// The unmodified texts of a US keyboard, with texts tests set per key; remembers the last modifier state asked.
class FakeKeyboardLayout final : public KeyboardLayout
{
public:
    [[nodiscard]] QString textForKeyCode(quint16 keyCode, quint32 modifierState) const override;

    /// The text of the key from now on; an empty text makes the key untranslatable.
    void setText(quint16 keyCode, const QString &text) { m_texts.insert(keyCode, text); }
    [[nodiscard]] quint32 lastModifierState() const { return m_lastModifierState; }

private:
    QHash<quint16, QString> m_texts;
    mutable quint32 m_lastModifierState = 0;
};

} // namespace platform
