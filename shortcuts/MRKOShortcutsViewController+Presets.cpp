#include "app/AppDelegate.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "platform/PropertyList.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQTextField.h"
#include "shortcuts/MRKOActionPopupButton.h"
#include "shortcuts/MRKOShortcutsViewController.h"
#include "shortcuts/MRKOTextBadgeShortcutSegControl.h"
#include "shortcuts/ShortcutPreset.h"
#include "tools/MRKOColorSegmentedControl.h"

#include <QCheckBox>

using namespace inkora;

QVariantMap MRKOShortcutsViewController::shortcutsPresetDict()
{
    loadShortcutsViewIfNeeded();
    QVariantMap shortcuts;
    for (const KQTextField *field : std::as_const(m_shortcutFields)) {
        if (const auto live = field->shortCut())
            shortcuts.insert(field->identifier(), live->shortcutObjectStringValue());
    }
    QVariantList actions;
    for (const MRKOActionPopupButton *chooser : std::as_const(m_actionSlots))
        actions.append(qint64(chooser->extraAction()));
    QVariantList badges;
    for (const MRKOTextBadgeShortcutSegControl *badge : std::as_const(m_badgeSegControls))
        badges.append(badge->string().isNull() ? QString(QLatin1String("")) : badge->string());
    QVariantList swatches;
    for (const MRKOColorSegmentedControl *swatch : std::as_const(m_colorSegControls))
        swatches.append(swatch->color().isValid() ? OnOffColor::srgbColorStringValue(swatch->color())
                                                  : QString(QLatin1String("")));
    return {
        {kPresetAppVersion, MRKOUtils::appVersion()},
        {kPresetShortcuts, shortcuts},
        {kPresetSingleKeyActions, actions},
        {kPresetCustomTextBadges, badges},
        {kPresetCustomColorSwatches, swatches},
        {kPresetUseFnShortcutsInGhostMode,
         qint64(m_allowFnInGhostModeButton && m_allowFnInGhostModeButton->isChecked() ? 1 : 0)},
    };
}

std::optional<QByteArray> MRKOShortcutsViewController::collectShortcutPresetData()
{
    return platform::PropertyList::toBinary(shortcutsPresetDict());
}

void MRKOShortcutsViewController::applyShortcutsFromPreset(const QVariant &preset, int loadType)
{
    QString refusal;
    const std::optional<QVariantMap> checked = checkedShortcutPreset(preset, &refusal);
    if (!checked) {
        if (refusal.isEmpty())
            qCWarning(lcShortcuts) << "applyShortcutsFromPreset: Preset has no content";
        else
            qCWarning(lcShortcuts).noquote()
                << QStringLiteral("applyShortcutsFromPreset: %1; the preset is refused and nothing changes")
                       .arg(refusal);
        return;
    }
    loadShortcutsViewIfNeeded();
    if (loadType == MRKOShortcutPresetLoadTypeFull || loadType == MRKOShortcutPresetLoadTypeShortcuts)
        applyShortcuts(checked->value(kPresetShortcuts).toMap());
    if (loadType == MRKOShortcutPresetLoadTypeFull || loadType == MRKOShortcutPresetLoadTypeOtherOptions)
        applyOtherOptions(*checked);
    updateActionSlotsMenu();
}

void MRKOShortcutsViewController::applyShortcuts(const QVariantMap &shortcuts)
{
    if (shortcuts.isEmpty())
        return;
    // All are unbound before any is loaded, and bound again once all are, as Restore Defaults does.
    AppDelegate *delegate = AppDelegate::shared();
    if (delegate) {
        delegate->unregisterCommonShortCuts();
        delegate->unregisterApplicationShortCuts();
    }
    KQShortCutMonitor::defaultMonitor().forceRemoveAllShortcuts();
    for (auto it = shortcuts.constBegin(); it != shortcuts.constEnd(); ++it) {
        KQTextField *field = fieldWithIdentifier(it.key());
        if (field && field->shortCut())
            field->forceLoadShortcutNoBindWithString(it.value().toString());
    }
    if (delegate) {
        delegate->registerCommonShortCuts();
        delegate->registerApplicationShortCuts();
    }
    for (KQTextField *field : std::as_const(m_shortcutFields))
        field->setNormalColor();
}

void MRKOShortcutsViewController::applyOtherOptions(const QVariantMap &preset)
{
    const QVariantList actions = preset.value(kPresetSingleKeyActions).toList();
    for (int i = 0; i < actions.size() && i < m_actionSlots.size(); ++i) {
        MRKOActionPopupButton *chooser = m_actionSlots[i];
        const qint64 action = actions[i].toLongLong();
        const int index = action < 0 ? -1 : chooser->findData(quint64(action));
        if (index < 0) {
            qCWarning(lcShortcuts).noquote()
                << QStringLiteral("applyShortcutsFromPreset: no single-key action %1 for %2; the key keeps its action")
                       .arg(action)
                       .arg(chooser->objectName());
            continue;
        }
        chooser->setCurrentIndex(index);
        chooser->segmentHasSeleted();
    }
    const QVariantList badges = preset.value(kPresetCustomTextBadges).toList();
    for (int i = 0; i < badges.size() && i < m_badgeSegControls.size(); ++i)
        m_badgeSegControls[i]->applyAdjustmentWithString(badges[i].toString());
    const QVariantList swatches = preset.value(kPresetCustomColorSwatches).toList();
    for (int i = 0; i < swatches.size() && i < m_colorSegControls.size(); ++i)
        m_colorSegControls[i]->applyAdjustmentWithString(swatches[i].toString());
    if (const auto fn = preset.constFind(kPresetUseFnShortcutsInGhostMode); fn != preset.constEnd()) {
        if (m_allowFnInGhostModeButton) {
            m_allowFnInGhostModeButton->setChecked(fn->toLongLong() != 0);
            allowFnInGhostMode();
        }
    }
}
