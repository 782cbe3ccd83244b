#include "shortcuts/MRKOSingleKeyActionController.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"

#include <array>

namespace {

struct Slot
{
    quint16 keyCode;
    quint64 defaultAction;
};

const std::array<Slot, MRKOSingleKeyActionController::kSlotCount> kSlots = {{
    {18, 27}, {19, 28}, {20, 29}, {21, 30}, {23, 31}, {22, 32}, {26, 33}, {28, 34}, {25, 35}, {29, 36},
    {13, 47}, {11, 37}, {12, 38}, {0, 39},  {37, 40}, {15, 41}, {14, 42}, {17, 43}, {51, 5},  {30, 4},
    {33, 45}, {3, 6},   {8, 46},  {1, 9},   {16, 14}, {6, 12},  {31, 18}, {34, 44}, {5, 48},  {35, 3},
}};

constexpr quint16 kNoKeyCode = 65535;
constexpr quint16 kLastSlotKeyCode = 51; // codes above never reach a slot

} // namespace

MRKOSingleKeyActionController &MRKOSingleKeyActionController::sharedActionController()
{
    static MRKOSingleKeyActionController controller;
    return controller;
}

MRKOSingleKeyActionController::MRKOSingleKeyActionController()
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    for (quint64 slot = 0; slot < kSlotCount; ++slot) {
        const QString key = keyStringWithSlot(slot);
        m_actionsArray.append(defaults.objectForKey(key).isValid() ? quint64(defaults.integerForKey(key))
                                                                   : kSlots[slot].defaultAction);
    }
}

quint64 MRKOSingleKeyActionController::actionForSlot(quint64 slot)
{
    return sharedActionController().extraActionWithSingleKeyActionSlot(slot);
}

quint16 MRKOSingleKeyActionController::keyCodeOfAction(quint64 action)
{
    return sharedActionController().keyCodeOfExtraAction(action);
}

QString MRKOSingleKeyActionController::keyStringWithSlot(quint64 slot)
{
    return QStringLiteral("SingleKeyActionSlot%1").arg(slot);
}

quint64 MRKOSingleKeyActionController::defaultActionWithSlot(quint64 slot)
{
    return slot < kSlotCount ? kSlots[slot].defaultAction : 0;
}

quint16 MRKOSingleKeyActionController::keyCodeForSlot(quint64 slot)
{
    return slot < kSlotCount ? kSlots[slot].keyCode : 0;
}

qint64 MRKOSingleKeyActionController::slotForKeyCode(quint16 keyCode)
{
    if (keyCode > kLastSlotKeyCode)
        return -1;
    for (quint64 slot = 0; slot < kSlotCount; ++slot) {
        if (kSlots[slot].keyCode == keyCode)
            return qint64(slot);
    }
    return -1;
}

quint64 MRKOSingleKeyActionController::extraActionWithSingleKeyActionSlot(quint64 slot) const
{
    if (slot >= quint64(m_actionsArray.size())) {
        qCWarning(lcShortcuts) << "extraActionWithSingleKeyActionSlot: Slot count exceeded";
        return 0;
    }
    return m_actionsArray[qsizetype(slot)];
}

void MRKOSingleKeyActionController::setExtraActionForSingleKeyActionSlot(quint64 action, quint64 slot)
{
    if (slot >= quint64(m_actionsArray.size())) {
        qCWarning(lcShortcuts) << "setExtraAction:forSingleKeyActionSlot: Slot count exceeded";
        return;
    }
    m_actionsArray[qsizetype(slot)] = action;
}

quint16 MRKOSingleKeyActionController::keyCodeOfExtraAction(quint64 action) const
{
    const qsizetype slot = m_actionsArray.indexOf(action);
    return slot < 0 ? kNoKeyCode : keyCodeForSlot(quint64(slot));
}
