#include "foundation/DefaultShortcuts.h"

#include "app/AppDelegate.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "platform/Defaults.h"
#include "platform/Keys.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"

#include <array>

namespace inkora {

namespace {

constexpr quint64 kFunctionOrOption = ~quint64(0); // Fn on systems whose defaults take it, else Option
constexpr quint64 kFunctionOrNone = ~quint64(1);   // Fn on systems whose defaults take it, else no modifier

struct DefaultRow
{
    const char *action;
    quint16 keyCode;
    quint64 flags;
};

constexpr quint64 kCommand = platform::kCommandFlag;
constexpr quint64 kOption = platform::kOptionFlag;
constexpr quint64 kControl = platform::kControlFlag;
constexpr quint64 kShift = platform::kShiftFlag;
constexpr quint64 kFunction = platform::kFunctionFlag;

// Searched in order; the first row of an action wins. Every Linux desktop keeps Alt+Tab and Super+Tab for its
// window switcher, so the two activation commands take Super+Alt+D and Super+Alt+Shift+D instead.
const std::array<DefaultRow, 63> kDefaults = {{
    {"runInkora:", 2, kControl | kOption},
    {"runInkoraWithoutToolbar:", 2, kControl | kOption | kShift},
    {"repeatLastAction:", 15, kCommand},
    {"nextTool:", 48, 0},
    {"nextThickness:", 2, kCommand},
    {"prevThickness:", 2, kControl},
    {"undoWithEvent:", 6, kCommand},
    {"redoWithEvent:", 6, kCommand | kShift},
    {"showHideToolbar:", 17, kCommand},
    {"quitWithEvent:", 12, kCommand},
    {"brushToolWithEvent:", 18, kCommand},
    {"arrowToolWithEvent:", 19, kCommand},
    {"rectangleToolWithEvent:", 20, kCommand},
    {"textToolWithEvent:", 21, kCommand},
    {"dissolveModeWithEvent:", 3, kCommand},
    {"clearCanvasWithEvent:", 51, kCommand},
    {"clearCanvasExlusionWithEvent:", 51, kOption},
    {"scissorsCutWithEvent:", 7, kCommand},
    {"handWithEvent:", 46, kCommand},
    {"flashlightWithEvent:", 50, kFunctionOrNone},
    {"takeASnapshotWithEvent:", 1, kCommand},
    {"showSnapshotsWithEvent:", 1, kControl},
    {"takeADazadUdizWithEvent:", 1, kFunctionOrOption},
    {"pinOnTopWithEvent:", 122, 0},
    {"copyWithEvent:", 8, kCommand},
    {"color1WithEvent:", 18, kFunctionOrOption},
    {"color2WithEvent:", 19, kFunctionOrOption},
    {"color3WithEvent:", 20, kFunctionOrOption},
    {"color4WithEvent:", 21, kFunctionOrOption},
    {"color5WithEvent:", 23, kFunctionOrOption},
    {"color6WithEvent:", 22, kFunctionOrOption},
    {"color7WithEvent:", 26, kFunctionOrOption},
    {"color8WithEvent:", 28, kFunctionOrOption},
    {"color9WithEvent:", 25, kFunctionOrOption},
    {"color10WithEvent:", 29, kFunctionOrOption},
    {"magnifyGWithEvent:", 6, kFunctionOrOption},
    {"blackAndWhiteWithEvent:", 13, kFunctionOrOption},
    {"whiteboardWithEvent:", 13, kCommand},
    {"semiTansparentWithEvent:", 31, kCommand},
    {"nextColorType:", 14, kCommand},
    {"openEmojiAndSymbols:", 14, kFunctionOrOption},
    {"startTextTyping:", 17, kFunctionOrOption},
    {"colorPickerWithEvent:", 34, kCommand},
    {"colorWheelWithEvent:", 8, kControl},
    {"levelUpWithEvent:", 126, kCommand},
    {"levelDownWithEvent:", 125, kCommand},
    {"groupWithEvent:", 5, kCommand},
    {"lowerThirdWithEvent:", 37, kCommand},
    {"badge1WithEvent:", 18, kControl},
    {"badge2WithEvent:", 19, kControl},
    {"badge3WithEvent:", 20, kControl},
    {"badge4WithEvent:", 21, kControl},
    {"badge5WithEvent:", 23, kControl},
    {"badge6WithEvent:", 22, kControl},
    {"badge7WithEvent:", 26, kControl},
    {"badge8WithEvent:", 28, kControl},
    {"badge9WithEvent:", 25, kControl},
    {"badge10WithEvent:", 29, kControl},
    {"resetBadgeWithEvent:", 29, kCommand},
    {"minusBadgeWithEvent:", 27, kControl},
    {"plusBadgeWithEvent:", 24, kControl},
    {"selectAllWithEvent:", 0, kCommand},
    {"selectLayerWithEvent:", 50, kCommand},
}};

quint64 effectiveFlags(quint64 flags)
{
    if (flags == kFunctionOrOption)
        return MRKOUtils::functionKeyDefaultsApply() ? kFunction : kOption;
    if (flags == kFunctionOrNone)
        return MRKOUtils::functionKeyDefaultsApply() ? kFunction : 0;
    return flags;
}

} // namespace

std::shared_ptr<KQShortCut> DefaultShortcuts::defaultShortCutForAction(const QString &action)
{
    for (const DefaultRow &row : kDefaults) {
        if (action == QLatin1String(row.action))
            return KQShortCut::shortCutWithKeyCode(row.keyCode, effectiveFlags(row.flags), AppDelegate::shared(),
                                                   action);
    }
    return nullptr;
}

std::shared_ptr<KQShortCut> DefaultShortcuts::shortCutForKeyAction(const QString &key, const QString &action)
{
    if (!key.isEmpty()) {
        if (auto custom = bindCustomShortCutForKey(key))
            return custom;
    }
    if (auto bound = bindDefaultForAction(action))
        return bound;
    qCWarning(lcShortcuts).noquote() << QStringLiteral("Unable to bind ShortCut for key: %1").arg(key);
    return nullptr;
}

std::shared_ptr<KQShortCut> DefaultShortcuts::bindCustomShortCutForKey(const QString &key)
{
    auto stored = ShortcutEncode::shortcutForKey(MRKOUtils::userDefaults(), key);
    if (!stored)
        return nullptr;
    AppDelegate *delegate = AppDelegate::shared();
    if (delegate && delegate->respondsToAction(stored->action())) {
        stored->setTarget(delegate);
        if (!KQShortCutMonitor::defaultMonitor().bindShortCut(stored))
            qCWarning(lcShortcuts) << "Unable to bind ShortCut";
    } else {
        qCWarning(lcShortcuts).noquote()
            << QStringLiteral("Unable to bind ShortCut. target is not responds to selector %1").arg(stored->action());
    }
    return stored;
}

std::shared_ptr<KQShortCut> DefaultShortcuts::bindDefaultForAction(const QString &action)
{
    auto shortCut = defaultShortCutForAction(action);
    if (!shortCut)
        return nullptr;
    auto bound = KQShortCutMonitor::defaultMonitor().bindShortCut(shortCut);
    if (bound)
        bound->setIsDefault(true);
    return bound;
}

std::shared_ptr<KQShortCut> DefaultShortcuts::effectiveShortCutForKeyAction(const QString &key, const QString &action)
{
    // Reads without migrating: the string form first, then the older archived form, then the default.
    const QVariant value = MRKOUtils::userDefaults().objectForKey(key);
    std::shared_ptr<KQShortCut> stored;
    if (value.typeId() == QMetaType::QString)
        stored = KQShortCut::shortcutObjectWithString(value.toString());
    else if (value.typeId() == QMetaType::QByteArray)
        stored = ShortcutEncode::unarchivedShortCut(value.toByteArray());
    return stored ? stored : defaultShortCutForAction(action);
}

bool DefaultShortcuts::shortCutIsDefault(const KQShortCut &shortCut)
{
    const auto standard = defaultShortCutForAction(shortCut.action());
    const quint16 keyCode = standard ? standard->keyCode() : 0;
    const quint64 flags = standard ? standard->modifierFlags() : 0;
    return shortCut.keyCode() == keyCode && shortCut.modifierFlags() == flags;
}

} // namespace inkora
