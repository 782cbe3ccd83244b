#pragma once

#include <QList>
#include <QString>

/// The thirty single-key slots: each plain key (digits, some letters, brackets, Delete) triggers one action
/// number while the overlay is in front. Holds the current action of every slot, read from the settings once.
class MRKOSingleKeyActionController final
{
public:
    static constexpr quint64 kSlotCount = 30;

    /// The one controller, made on first use.
    static MRKOSingleKeyActionController &sharedActionController();

    static quint64 actionForSlot(quint64 slot);
    /// The key code of the lowest slot holding the action; 65535 when none holds it.
    static quint16 keyCodeOfAction(quint64 action);
    /// "SingleKeyActionSlot" followed by the slot number.
    static QString keyStringWithSlot(quint64 slot);
    static quint64 defaultActionWithSlot(quint64 slot);
    static quint16 keyCodeForSlot(quint64 slot);
    /// The slot of a key code, or -1.
    static qint64 slotForKeyCode(quint16 keyCode);

    [[nodiscard]] quint64 extraActionWithSingleKeyActionSlot(quint64 slot) const;
    /// Changes the slot in memory only; the caller writes the setting.
    void setExtraActionForSingleKeyActionSlot(quint64 action, quint64 slot);
    [[nodiscard]] quint16 keyCodeOfExtraAction(quint64 action) const;

private:
    MRKOSingleKeyActionController();

    QList<quint64> m_actionsArray; // the action of slots 0 to 29
};
