#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Services.h"
#include "platform/StatusItem.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"

#include <QApplication>
#include <QWidget>

#include <array>

namespace {

struct Binding
{
    const char *property;
    const char *key; // the settings key of the stored shortcut
    const char *action;
};

// Rows 0 and 1 are the activation commands, the rest the in-overlay commands in binding order.
constexpr int kCommonCount = 2;
constexpr std::array<Binding, AppDelegate::kShortCutCount> kBindings = {{
    {"activateShortCut", "ShortcutActivate", "runInkora:"},
    {"activateWithoutShortCut", "ShortcutActivateWithout", "runInkoraWithoutToolbar:"},
    {"undoShortCut", "ShortcutUndo", "undoWithEvent:"},
    {"redoShortCut", "ShortcutRedo", "redoWithEvent:"},
    {"repeatShortCut", "ShortcutRepeat", "repeatLastAction:"},
    {"changeToolShortCut", "ShortcutChangeTool", "nextTool:"},
    {"thicknessShortCut", "ShortcutThickness", "nextThickness:"},
    {"showHideToolbarShortCut", "ShortcutShowHideToolbar", "showHideToolbar:"},
    {"clearCanvasShortCut", "ShortcutClearCanvas", "clearCanvasWithEvent:"},
    {"quitShortCut", "ShortcutQuit", "quitWithEvent:"},
    {"brushShortCut", "ShortcutBrush", "brushToolWithEvent:"},
    {"arrowShortCut", "ShortcutArrow", "arrowToolWithEvent:"},
    {"rectangleShortCut", "ShortcutRectangle", "rectangleToolWithEvent:"},
    {"lineShortCut", "ShortcutLine", "textToolWithEvent:"},
    {"dissolveShortCut", "ShortcutDissolve", "dissolveModeWithEvent:"},
    {"scissorsShortCut", "ShortcutScissorsCut", "scissorsCutWithEvent:"},
    {"handShortCut", "ShortcutHand", "handWithEvent:"},
    {"flashlightShortCut", "ShortcutFlashlight", "flashlightWithEvent:"},
    {"snapshotShortCut", "ShortcutSnapshot", "takeASnapshotWithEvent:"},
    {"showSnapshotsShortCut", "ShortcutShowSnapshots", "showSnapshotsWithEvent:"},
    {"pinOnTopShortCut", "ShortcutGhostMode", "pinOnTopWithEvent:"},
    {"canvasCopyShortCut", "ShortcutCopy", "copyWithEvent:"},
    {"color1ShortCut", "ShortcutColor1", "color1WithEvent:"},
    {"color2ShortCut", "ShortcutColor2", "color2WithEvent:"},
    {"color3ShortCut", "ShortcutColor3", "color3WithEvent:"},
    {"color4ShortCut", "ShortcutColor4", "color4WithEvent:"},
    {"color5ShortCut", "ShortcutColor5", "color5WithEvent:"},
    {"color6ShortCut", "ShortcutColor6", "color6WithEvent:"},
    {"color7ShortCut", "ShortcutColor7", "color7WithEvent:"},
    {"color8ShortCut", "ShortcutColor8", "color8WithEvent:"},
    {"color9ShortCut", "ShortcutColor9", "color9WithEvent:"},
    {"color10ShortCut", "ShortcutColor10", "color10WithEvent:"},
    {"whiteboardShortCut", "ShortcutWhiteboard", "whiteboardWithEvent:"},
    {"magnifyShortCut", "ShortcutMagnify", "magnifyGWithEvent:"},
    {"semiTansparentShortCut", "ShortcutSemiTansparent", "semiTansparentWithEvent:"},
    {"blackAndWhiteShortCut", "ShortcutBlackAndWhite", "blackAndWhiteWithEvent:"},
    {"prevThicknessShortCut", "ShortcutPrevThickness", "prevThickness:"},
    {"colorModeShortCut", "ShortcutColorMode", "nextColorType:"},
    {"emojiAndSymbolsShortCut", "ShortcutEmojiAndSymbols", "openEmojiAndSymbols:"},
    {"startTextTypingShortCut", "ShortcutStartTextTyping", "startTextTyping:"},
    {"colorPickerShortCut", "ShortcutColorPicker", "colorPickerWithEvent:"},
    {"colorWheelShortCut", "ShortcutColorWheel", "colorWheelWithEvent:"},
    {"dazadUdizShortCut", "ShortcutDazadUdiz", "takeADazadUdizWithEvent:"},
    {"levelUpShortCut", "ShortcutLevelUp", "levelUpWithEvent:"},
    {"levelDownShortCut", "ShortcutLevelDown", "levelDownWithEvent:"},
    {"groupShortCut", "ShortcutGroup", "groupWithEvent:"},
    {"lowerThirdShortCut", "ShortcutLowerThird", "lowerThirdWithEvent:"},
    {"badge1ShortCut", "ShortcutBadge1", "badge1WithEvent:"},
    {"badge2ShortCut", "ShortcutBadge2", "badge2WithEvent:"},
    {"badge3ShortCut", "ShortcutBadge3", "badge3WithEvent:"},
    {"badge4ShortCut", "ShortcutBadge4", "badge4WithEvent:"},
    {"badge5ShortCut", "ShortcutBadge5", "badge5WithEvent:"},
    {"badge6ShortCut", "ShortcutBadge6", "badge6WithEvent:"},
    {"badge7ShortCut", "ShortcutBadge7", "badge7WithEvent:"},
    {"badge8ShortCut", "ShortcutBadge8", "badge8WithEvent:"},
    {"badge9ShortCut", "ShortcutBadge9", "badge9WithEvent:"},
    {"badge10ShortCut", "ShortcutBadge10", "badge10WithEvent:"},
    {"resetBadgeShortCut", "ShortcutResetBadge", "resetBadgeWithEvent:"},
    {"minusBadgeShortCut", "ShortcutMinusBadge", "minusBadgeWithEvent:"},
    {"plusBadgeShortCut", "ShortcutPlusBadge", "plusBadgeWithEvent:"},
    {"selectAllShortCut", "ShortcutSelectAll", "selectAllWithEvent:"},
    {"selectLayerShortCut", "ShortcutSelectLayer", "selectLayerWithEvent:"},
    {"clearCanvasExShortCut", "ShortcutClearCanvasEx", "clearCanvasExlusionWithEvent:"},
}};

int rowOfProperty(const char *property)
{
    for (int row = 0; row < int(kBindings.size()); ++row) {
        if (qstrcmp(kBindings[row].property, property) == 0)
            return row;
    }
    return -1;
}

int rowOfProperty(const QString &property)
{
    return rowOfProperty(property.toLatin1().constData());
}

const int kPinOnTopRow = rowOfProperty("pinOnTopShortCut");
const int kQuitRow = rowOfProperty("quitShortCut");
const int kClearCanvasRow = rowOfProperty("clearCanvasShortCut");
const int kFlashlightRow = rowOfProperty("flashlightShortCut");
const int kDazadUdizRow = rowOfProperty("dazadUdizShortCut");

} // namespace

std::shared_ptr<KQShortCut> AppDelegate::shortCutForProperty(const QString &property) const
{
    const int row = rowOfProperty(property);
    return row < 0 ? nullptr : m_shortCuts[row];
}

void AppDelegate::setShortCutForProperty(const QString &property, std::shared_ptr<KQShortCut> shortCut)
{
    if (const int row = rowOfProperty(property); row >= 0)
        m_shortCuts[row] = std::move(shortCut);
}

std::shared_ptr<KQShortCut> AppDelegate::activateShortCut() const
{
    return m_shortCuts[0];
}

std::shared_ptr<KQShortCut> AppDelegate::activateWithoutShortCut() const
{
    return m_shortCuts[1];
}

std::shared_ptr<KQShortCut> AppDelegate::quitShortCut() const
{
    return m_shortCuts[kQuitRow];
}

std::shared_ptr<KQShortCut> AppDelegate::clearCanvasShortCut() const
{
    return m_shortCuts[kClearCanvasRow];
}

std::shared_ptr<KQShortCut> AppDelegate::flashlightShortCut() const
{
    return m_shortCuts[kFlashlightRow];
}

std::shared_ptr<KQShortCut> AppDelegate::pinOnTopShortCut() const
{
    return m_shortCuts[kPinOnTopRow];
}

std::shared_ptr<KQShortCut> AppDelegate::dazadUdizShortCut() const
{
    return m_shortCuts[kDazadUdizRow];
}

void AppDelegate::setDazadUdizShortCut(std::shared_ptr<KQShortCut> shortCut)
{
    m_shortCuts[kDazadUdizRow] = std::move(shortCut);
}

namespace {

/// Makes the command's shortcut the first time (stored, else default; a miss is tried again next time), and
/// binds the object already held afterwards: the Shortcuts pane edits that same object.
void createOrBind(std::shared_ptr<KQShortCut> &slot, const Binding &binding)
{
    if (!slot)
        slot = MRKOUtils::shortCutForKeyAction(QLatin1String(binding.key), QLatin1String(binding.action));
    else
        KQShortCutMonitor::defaultMonitor().bindShortCut(slot);
}

} // namespace

void AppDelegate::registerCommonShortCuts()
{
    QStringList taken;
    for (int row = 0; row < kCommonCount; ++row) {
        createOrBind(m_shortCuts[row], kBindings[row]);
        if (m_shortCuts[row] && m_shortCuts[row]->isFailedToRegister())
            taken.append(m_shortCuts[row]->basicHint());
    }
    // The log has its line per refusal; the user, who reads no log, is told once per run.
    platform::StatusItem *item = platform::services().statusItem.get();
    if (taken.isEmpty() || m_activationRefusalTold || !item)
        return;
    m_activationRefusalTold = true;
    item->showMessage(QStringLiteral("Inkora"),
                      QStringLiteral("%1 %2 taken by the desktop or another program, so Inkora cannot be shown with "
                                     "it. Choose another shortcut in Inkora's Preferences, Shortcuts.")
                          .arg(taken.join(QStringLiteral(" and ")),
                               taken.size() == 1 ? QStringLiteral("is") : QStringLiteral("are")));
}

void AppDelegate::unregisterCommonShortCuts()
{
    for (int row = 0; row < kCommonCount; ++row)
        KQShortCutMonitor::defaultMonitor().unbindShortCut(m_shortCuts[row]);
}

void AppDelegate::registerApplicationShortCuts()
{
    if (!isActiveAndShown())
        return;
    for (int row = kCommonCount; row < kShortCutCount; ++row)
        createOrBind(m_shortCuts[row], kBindings[row]);
    m_deleteBinded = true;
    m_flashlightBinded = true;
}

void AppDelegate::unregisterApplicationShortCuts()
{
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    for (int row = kCommonCount; row < kShortCutCount; ++row) {
        if (row != kPinOnTopRow)
            monitor.unbindShortCut(m_shortCuts[row]);
    }
    // In ghost mode its own shortcut stays, so that the user can leave ghost mode by it.
    if (!isPinOnTop())
        monitor.unbindShortCut(m_shortCuts[kPinOnTopRow]);
}

void AppDelegate::registerQuitShortCut()
{
    KQShortCutMonitor::defaultMonitor().bindShortCut(m_shortCuts[kQuitRow]);
}

void AppDelegate::unregisterQuitShortCut()
{
    KQShortCutMonitor::defaultMonitor().unbindShortCut(m_shortCuts[kQuitRow]);
}

void AppDelegate::registerDeleteIfNeeded()
{
    if (!isActiveAndShown() || m_deleteBinded)
        return;
    KQShortCutMonitor::defaultMonitor().bindShortCut(m_shortCuts[kClearCanvasRow]);
    m_deleteBinded = true;
}

void AppDelegate::unregisterDeleteIfNeeded()
{
    if (!m_deleteBinded)
        return;
    KQShortCutMonitor::defaultMonitor().unbindShortCut(m_shortCuts[kClearCanvasRow]);
    m_deleteBinded = false;
}

void AppDelegate::registerFlashlightIfNeeded()
{
    if (!isActiveAndShown() || m_flashlightBinded)
        return;
    KQShortCutMonitor::defaultMonitor().bindShortCut(m_shortCuts[kFlashlightRow]);
    m_flashlightBinded = true;
}

void AppDelegate::unregisterFlashlightIfNeeded()
{
    if (!m_flashlightBinded)
        return;
    KQShortCutMonitor::defaultMonitor().unbindShortCut(m_shortCuts[kFlashlightRow]);
    m_flashlightBinded = false;
}

void AppDelegate::registerFnContainigShortCuts()
{
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    for (const auto &shortCut : QList<std::shared_ptr<KQShortCut>>(monitor.fnContainingShortCuts()))
        monitor.bindShortCut(shortCut);
}

void AppDelegate::unregisterFnContainigShortCuts()
{
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    for (const auto &shortCut : QList<std::shared_ptr<KQShortCut>>(monitor.fnContainingShortCuts()))
        monitor.unbindShortCut(shortCut);
}

QWidget *AppDelegate::inkoraFirstResponder() const
{
    return QApplication::activeWindow() ? QApplication::focusWidget() : nullptr;
}
