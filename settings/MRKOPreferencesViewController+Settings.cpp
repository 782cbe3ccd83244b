#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "app/MRKOAppLevel.h"
#include "app/MRKOGreenStatusImageView.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWhiteBoardCustomColorButton.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/PropertyList.h"
#include "settings/MRKOPreferencesViewController.h"
#include "settings/MRKOSettingsKeys.h"
#include "settings/PrefSlider.h"
#include "settings/PreferencesNeighbours.h"
#include "shortcuts/MRKOShortcutsViewController.h"
#include "shortcuts/ShortcutPreset.h"
#include "tools/MRKOBackgroundColorButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QSignalBlocker>

#include <cmath>

using inkora::PrefSlider;

namespace {

const QString kShortcutsPresetKey = QStringLiteral("ShortcutsPresetDict");

platform::Defaults &defaults()
{
    return MRKOUtils::userDefaults();
}

std::vector<MRKODraw *> canvases()
{
    std::vector<MRKODraw *> result;
    if (AppDelegate *app = AppDelegate::shared()) {
        for (MRKOWindowController *controller : app->windowControllersArray()) {
            if (controller->drawView())
                result.push_back(controller->drawView());
        }
    }
    return result;
}

qint64 fadePositionForCode(qint64 code)
{
    static constexpr qint64 kPositions[] = {4, 3, 5, 2, 1, 0, 6, 7, 8};
    return code >= 0 && code <= 8 ? kPositions[code] : 0;
}

/// What a preset value is, for the one log line that refuses it.
QString describe(const QVariant &value)
{
    if (!value.isValid())
        return QStringLiteral("nothing");
    const QString kind = QString::fromLatin1(value.typeName());
    if (value.typeId() == QMetaType::QString)
        return QStringLiteral("the text \"%1\"").arg(value.toString().left(40));
    if (value.typeId() == QMetaType::Double)
        return QStringLiteral("the real %1").arg(value.toDouble());
    return QStringLiteral("a value of kind %1").arg(kind);
}

/// A finite number of a numeric setting: an integer, a finite real, a boolean or a decimal text.
std::optional<double> numberOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
        return value.toDouble();
    case QMetaType::Bool:
        return value.toBool() ? 1.0 : 0.0;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        return std::isfinite(number) ? std::optional(number) : std::nullopt;
    }
    case QMetaType::QString: {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(number) ? std::optional(number) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

// ---- Settings as a whole ----

QStringList MRKOPreferencesViewController::settingsKeys() const
{
    std::vector<qint64> indexes;
    for (const MRKODraw *canvas : canvases())
        indexes.push_back(canvas->index());
    return inkora::settingsKeysForCanvasIndexes(indexes);
}

void MRKOPreferencesViewController::removeSettingsObjectsFromUserDefaults()
{
    for (const QString &key : settingsKeys())
        defaults().removeObjectForKey(key);
}

std::optional<QByteArray> MRKOPreferencesViewController::collectAllPreferences() const
{
    QVariantMap preset;
    for (const QString &key : settingsKeys()) {
        const QVariant value = defaults().objectForKey(key);
        if (value.isValid())
            preset.insert(key, value);
    }
    // The shortcuts of the active tool bar's pane; none while no overlay is shown.
    if (AppDelegate *app = AppDelegate::shared(); app && app->activeToolBar())
        preset.insert(kShortcutsPresetKey, MRKOShortcutsViewController::sharedController().shortcutsPresetDict());
    return platform::PropertyList::toBinary(preset);
}

bool MRKOPreferencesViewController::presetIsAcceptable(const QVariantMap &preset, int loadType) const
{
    const auto refuse = [](const QString &key, const QVariant &value, const char *why) {
        qCWarning(lcSettings).noquote() << QStringLiteral("applySettingsWithPresetLoadType: \"%1\" holds %2 where %3 "
                                                          "belongs; the preset is refused and nothing changes")
                                               .arg(key, describe(value), QLatin1String(why));
        return false;
    };
    for (auto it = preset.constBegin(); it != preset.constEnd(); ++it) {
        const inkora::SettingsKeyRow *row = inkora::settingsKeyRow(it.key());
        if (!row)
            continue;
        switch (row->kind) {
        case inkora::SettingKind::Integer:
        case inkora::SettingKind::Double:
        case inkora::SettingKind::Bool:
            if (!numberOf(it.value()))
                return refuse(it.key(), it.value(), "a finite number");
            break;
        case inkora::SettingKind::ColourString:
        case inkora::SettingKind::FontName:
            if (it.value().typeId() != QMetaType::QString)
                return refuse(it.key(), it.value(), "a text");
            break;
        }
    }
    const auto shortcuts = preset.constFind(kShortcutsPresetKey);
    if (shortcuts != preset.constEnd() && loadType != MRKOPresetLoadTypeSettings) {
        if (shortcuts->typeId() != QMetaType::QVariantMap ||
            (!shortcuts->toMap().isEmpty() && !inkora::checkedShortcutPreset(*shortcuts)))
            return refuse(kShortcutsPresetKey, *shortcuts, "a shortcuts preset");
    }
    return true;
}

bool MRKOPreferencesViewController::applySettingsWithPresetLoadType(const QVariant &preset, int loadType)
{
    if (!preset.isValid() || preset.isNull())
        return false;
    if (preset.typeId() != QMetaType::QVariantMap) {
        qCWarning(lcSettings).noquote() << QStringLiteral("applySettingsWithPresetLoadType: the preset is %1, not a "
                                                          "dictionary; the preset is refused and nothing changes")
                                               .arg(describe(preset));
        return false;
    }
    QVariantMap settings = preset.toMap();
    if (settings.isEmpty())
        return false;
    if (!presetIsAcceptable(settings, loadType))
        return false;

    const auto shortcuts = settings.constFind(kShortcutsPresetKey);
    if (shortcuts != settings.constEnd()) {
        if (loadType == MRKOPresetLoadTypeSettingsAndShortcuts || loadType == MRKOPresetLoadTypeShortcuts) {
            MRKOShortcutsViewController::sharedController().applyShortcutsFromPreset(*shortcuts,
                                                                                     MRKOShortcutPresetLoadTypeFull);
            settings.remove(kShortcutsPresetKey);
            if (loadType == MRKOPresetLoadTypeShortcuts)
                return true;
        } else {
            settings.remove(kShortcutsPresetKey);
        }
    }
    removeSettingsObjectsFromUserDefaults();
    for (auto it = settings.constBegin(); it != settings.constEnd(); ++it) {
        QVariant value = it.value();
        // Old-style files give numbers as decimal texts; listed numeric keys are stored in their own kind.
        if (const inkora::SettingsKeyRow *row = inkora::settingsKeyRow(it.key());
            row && value.typeId() == QMetaType::QString && row->kind != inkora::SettingKind::ColourString &&
            row->kind != inkora::SettingKind::FontName) {
            const double number = *numberOf(value);
            if (row->kind == inkora::SettingKind::Double)
                value = number;
            else if (row->kind == inkora::SettingKind::Bool)
                value = number != 0;
            else
                value = qint64(std::trunc(number));
        }
        defaults().setObject(value, it.key());
    }
    defaults().synchronize();
    if (AppDelegate *app = AppDelegate::shared())
        app->updateAllSettings();
    reloadAllPreferences();
    updateExtras();
    return true;
}

void MRKOPreferencesViewController::restoreDefaults()
{
    removeSettingsObjectsFromUserDefaults();
    defaults().synchronize();
    if (AppDelegate *app = AppDelegate::shared())
        app->updateAllSettings();
    reloadAllPreferences();
    updateExtras();
}

void MRKOPreferencesViewController::updateExtras()
{
    for (MRKODraw *canvas : canvases())
        canvas->updateWhiteboardSettings();
    updateBigBallIfNeeded();
    updateEventTapMonitor();
    updateWhiteBackIfNeeded();
    updateOverallShadowIfNeeded();
    if (auto *custom = outlet<MRKOWhiteBoardCustomColorButton>("whiteBoardColorCustom"))
        custom->updateColor();
    MRKOGreenStatusImageView::updateGreenForCurrentPhase();
    if (AppDelegate *app = AppDelegate::shared())
        app->updateProxyDocIfNeeded();
    MRKOAppLevel::appLevel().updateLevelForAllWindowsIfNeeded();
    updateToolBarOpacityButton();
}

// ---- Reloading ----

void MRKOPreferencesViewController::reloadRadioGroup(const QString &group, qint64 value)
{
    auto *buttons = findChild<QButtonGroup *>(group);
    if (!buttons)
        return;
    // A value that matches no button leaves every button off.
    buttons->setExclusive(false);
    for (QAbstractButton *button : buttons->buttons())
        button->setChecked(buttons->id(button) == value);
    buttons->setExclusive(true);
}

void MRKOPreferencesViewController::selectTag(const char *name, qint64 tag)
{
    if (auto *popUp = outlet<QComboBox>(name))
        popUp->setCurrentIndex(popUp->findData(tag));
}

void MRKOPreferencesViewController::setChecked(const char *name, bool on)
{
    if (auto *box = outlet<QCheckBox>(name))
        box->setChecked(on);
}

void MRKOPreferencesViewController::reloadAllPreferences()
{
    const platform::Defaults &store = defaults();
    const auto integer = [&store](const char *key) { return store.integerForKey(QLatin1String(key)); };
    if (auto *halo = outlet<PrefSlider>("cursorHaloOpacitySlider"))
        halo->setDoubleValue(store.doubleForKey(QStringLiteral("CursorHaloOpacity")));
    if (auto *halo = outlet<PrefSlider>("cursorHaloSizeSlider"))
        halo->setDoubleValue(double(integer("CursorHaloRadius")));
    reloadRadioGroup(QStringLiteral("ShowNotificationsKey"), integer("ShowNotificationsKey"));
    if (auto *fade = outlet<PrefSlider>("fadeTimeSlider"))
        fade->setDoubleValue(double(fadePositionForCode(integer("FadeOutTimeKey"))));
    if (auto *quick = outlet<PrefSlider>("quickArrowSize"))
        quick->setDoubleValue(store.doubleForKey(QStringLiteral("QuickArrowHeadSize")));
    for (const char *group : {"SplashMethod", "ToolSwitchingMethod", "MagnifyMethod", "MagnifyMode", "WhiteBoardColor"})
        reloadRadioGroup(QLatin1String(group), integer(group));
    reloadRadioGroup(QStringLiteral("ToolColorFormat"), qint64(MRKOToolColor::toolColor().toolColorFormat()));
    reloadRadioGroup(QStringLiteral("BadgeNumeralFormat"), inkora::badgeNumeralFormat());
    reloadRadioGroup(QStringLiteral("BadgeStaticNumeralFormat"), inkora::badgeStaticNumeralFormat());
    reloadRadioGroup(QStringLiteral("KeepTouchBarWithToolbarKey"), integer("KeepTouchBarWithToolbarKey"));
    reloadRadioGroup(QStringLiteral("KeepTouchBarKey"), integer("KeepTouchBarKey"));

    const std::pair<const char *, const char *> checks[] = {
        {"runOnStartup", "runOnStartupKey"},
        {"invertArrowDrawing", "InvertArrowDrawing"},
        {"blinkingRepeat", "BlinkingRepeat"},
        {"clearScreen", "ClearScreenWhenHides"},
        {"penPressure", "PenPressure"},
        {"constantArrowWidth", "ConstantArrowWidth"},
        {"clearScreenWithFade", "FadeClearScreenInFreezeMode"},
        {"removeTextTimersOnClearScreen", "RemoveTimersWhenClearCanvas"},
        {"resetBadgeOnAppHides", "ResetBadgeCountWhenAppHides"},
        {"resetBadgeOnClearScreen", "ResetBadgeCountWhenClearCanvas"},
        {"useZoomByZKeyButton", "UseZoomByZKey"},
        {"toggleFlashlightByShift", "FlashlightByShift"},
        {"hueByScroll", "HueByScroll"},
        {"hidePointingDot", "HidePointingDot"},
        {"useToolTips", "UseToolTips"},
        {"greenIndicator", "UseGreenStatus"},
        {"highlightClicks", "HighlightClicksGhostMode"},
        {"drawingDuringFlashlight", "DrawingDuringFlashlight"},
        {"textOnClick", "TextOnClick"},
        {"useMagnifyingFlashlight", "UseMagnifyingFlashlight"},
        {"sharpRectangle", "SharpRectangle"},
        {"semiTransparent", "SemitransparentDrawingKey"},
        {"saveBeforeQuit", "SaveBeforeQuit"},
        {"simulateArrowKeys", "SimulateArrowKeys"},
        {"freezeModeHighlightingButton", "FreezeModeHighlighting"},
        {"rectangularShape", "FlashlightRectShape"},
        {"forwardUnused", "ForwardUnusedKeys"},
        {"wholeScreenToClipboard", "WholeScreenToClipboard"},
        {"useBrushCursorButton", "UseBrushCursor"},
        {"roundedTipArrow", "ArrowRoundedTip"},
        {"roundedEndsArrow", "ArrowRoundedEnds"},
        {"hideCursorOnFlashlight", "HideCursorOnFlashlight"},
        {"playKeyboardPress", "PlayKeyboardSounds"},
        {"playMouseClicks", "PlayMouseSounds"},
        {"takeSnapshotWhenClearing", "TakeSnapshotOnClearCanvas"},
        {"takeDazadUdizBySelecting", "TakeDazadUdizBySelecting"},
        {"takeDazadUdizByClick", "TakeDazadUdizByClick"},
        {"takeCopyDazadUdizToClipboard", "TakeCopyDazadUdizToClipboard"},
        {"showSnapshotNotification", "ShowSnapshotNotification"},
        {"overallShadow", "OverallShadow"},
        {"cutOutFlashlightShape", "CutOutFlashlightShape"},
        {"ellipticAreaSelection", "FlashlightCircleSelection"},
        {"cleanUpRecentlyDeletedOnQuit", "CleanUpRecentlyDeletedOnQuit"},
        {"applySnapshotWithWhiteboard", "ApplySnapshotWithWhiteboard"},
        {"lowerThirdOnAppearButton", "LowerThirdOnAppear"},
        {"useConstantTextColorButton", "UseConstantTextColor"},
        {"useTextBackground", "UseTextBackground"},
        {"useTimerBackground", "UseTimerBackground"},
        {"useBadgeBackground", "UseBadgeBackground"},
        {"textBackgroundSharp", "TextBackgroundSharpCorners"},
        {"useConstantArrowHeadSize", "UseConstantArrowHeadSize"},
        {"badgeCutOutBackground", "BadgeCutOutBackground"},
        {"badgeAppearAnimatedButton", "BadgeAppearAnimated"},
        {"limitFPSButton", "MouseFPSLimit"},
        {"eraserPreserveTextButton", "EraserPreserveText"},
        {"eraserPreserveArrowLineButton", "EraserPreserveArrowLine"},
        {"eraserPreserveRectEllipseButton", "EraserPreserveRectEllipse"},
        {"quickGhostModeWithWhiteBoard", "QuickGhostModeWithWhiteBoard"},
    };
    for (const auto &[box, key] : checks)
        setChecked(box, integer(key) == 1);
    for (const char *popUp : {"rightClickActionButton", "rightClickControlActionButton", "rightClickOptionActionButton",
                              "rightClickCommandActionButton", "arrowStyleButton", "quickArrowHead"}) {
        static const QHash<QString, QString> kKeys = {
            {QStringLiteral("rightClickActionButton"), QStringLiteral("CloseOnRightClick")},
            {QStringLiteral("rightClickControlActionButton"), QStringLiteral("RightClickControlAction")},
            {QStringLiteral("rightClickOptionActionButton"), QStringLiteral("RightClickOptionAction")},
            {QStringLiteral("rightClickCommandActionButton"), QStringLiteral("RightClickCommandAction")},
            {QStringLiteral("arrowStyleButton"), QStringLiteral("ArrowStyle")},
            {QStringLiteral("quickArrowHead"), QStringLiteral("QuickArrowHead")},
        };
        selectTag(popUp, store.integerForKey(kKeys.value(QLatin1String(popUp))));
    }
    selectTag("snapshotExportFormat", integer("SnapshotExportFormat"));
    selectTag("snapshotMultiExportFormat", integer("SnapshotMultiExportFormat"));
    setChecked("ghostModeAtLaunch", MRKOUtils::shouldEnterGhostModeAtLaunch());
    selectTag("appLevelButton", MRKOAppLevel::appLevel().level());
    if (auto *rate = outlet<PrefSlider>("limitFPSSlider"))
        rate->setDoubleValue(std::trunc(inkora::liveSettings().mouseFPSRate));
    for (auto *colour : findChildren<MRKOBackgroundColorButton *>())
        colour->updateColor();
    updateFlashlightRatioSlider();
    updateFlashlightSlider();
    updateMagnifySlider();
    updateArrowHeadSlider();
    updateSmoothEdgesSlider();
    updateConstantArrowHeadSlider();
    updateEraserSizeSlider();
    updateFontSizeMenu();
    updateBadgeFontSizeMenu();
    loadCustomClearMask();
}

// ---- Colours ----

namespace {
inkora::SrgbColor colourOf(const MRKOPreferencesViewController &pane, const char *name)
{
    const auto *button = pane.findChild<MRKOBackgroundColorButton *>(QLatin1String(name));
    return button ? button->color() : inkora::SrgbColor();
}
} // namespace

inkora::SrgbColor MRKOPreferencesViewController::colorTextForeground() const
{
    return colourOf(*this, "constantTextColor");
}

inkora::SrgbColor MRKOPreferencesViewController::colorTextBackground() const
{
    return colourOf(*this, "textBackgroundColor");
}

inkora::SrgbColor MRKOPreferencesViewController::colorTimerBackground() const
{
    return colourOf(*this, "timerBackgroundColor");
}

inkora::SrgbColor MRKOPreferencesViewController::colorBadgeBackground() const
{
    return colourOf(*this, "badgeBackgroundColor");
}

inkora::SrgbColor MRKOPreferencesViewController::colorFlashlightBackground() const
{
    return colourOf(*this, "flashlightBackgroundColor");
}

// ---- Value refreshers ----

void MRKOPreferencesViewController::updateFlashlightSlider()
{
    const auto radius = qint64(inkora::liveSettings().flashlightRadius);
    if (auto *field = outlet<QLabel>("flashlightRadiusField"))
        field->setText(QStringLiteral("%1 px").arg(radius));
    if (auto *slider = outlet<PrefSlider>("flashlightSlider"))
        slider->setDoubleValue(double(radius));
}

void MRKOPreferencesViewController::updateFlashlightRatioSlider()
{
    const double ratio = defaults().doubleForKey(QStringLiteral("FlashLightRatio"));
    if (auto *slider = outlet<PrefSlider>("flashLightShape"))
        slider->setDoubleValue(double(float(ratio)));
    const double kept = ratio > 1 ? ratio : (0.95 - 0.5) * ratio + 0.5;
    QString text = QStringLiteral("1 : 1");
    if (ratio != 1) {
        if (kept > 1)
            text = QString::asprintf("%.02f : 1", kept * kept);
        else if (kept < 1)
            text = QString::asprintf("1 : %.02f", (1 / kept) * (1 / kept));
    }
    if (auto *field = outlet<QLabel>("flashLightShapeField"))
        field->setText(text);
}

void MRKOPreferencesViewController::updateMagnifySlider()
{
    const double scale = inkora::liveSettings().magnifyScale;
    if (auto *field = outlet<QLabel>("magnifyField"))
        field->setText(QString::asprintf("%.01fx", scale));
    if (auto *slider = outlet<PrefSlider>("magnifySlider"))
        slider->setDoubleValue(scale);
}

void MRKOPreferencesViewController::updateArrowHeadSlider()
{
    if (auto *slider = outlet<PrefSlider>("arrowHeadSlider"))
        slider->setDoubleValue(inkora::liveSettings().arrowHeadRatio);
}

void MRKOPreferencesViewController::updateConstantArrowHeadSlider()
{
    if (auto *slider = outlet<PrefSlider>("constantArrowHeadSizeSlider"))
        slider->setDoubleValue(std::trunc(inkora::liveSettings().constantArrowHeadSize));
}

void MRKOPreferencesViewController::updateSmoothEdgesSlider()
{
    if (auto *slider = outlet<PrefSlider>("smoothEdgesSlider"))
        slider->setDoubleValue(inkora::liveSettings().flashlightEdgeSmoothness);
}

void MRKOPreferencesViewController::updateEraserSizeSlider()
{
    if (auto *slider = outlet<PrefSlider>("eraserSizeSlider"))
        slider->setDoubleValue(double(inkora::liveSettings().eraserSize));
}

void MRKOPreferencesViewController::updateFlashlightAndMagnifySliders()
{
    updateFlashlightSlider();
    updateMagnifySlider();
}

void MRKOPreferencesViewController::updateToolBarOpacityButton()
{
    if (AppDelegate *app = AppDelegate::shared(); app && app->activeToolBar())
        app->activeToolBar()->updateOpacityButton();
}

void MRKOPreferencesViewController::updateSemiTransparent()
{
    setChecked("semiTransparent", inkora::liveSettings().needSemitransparent);
    updateToolBarOpacityButton();
}

void MRKOPreferencesViewController::loadCustomClearMask()
{
    const qint64 mask = inkora::liveSettings().customClearScreenMask;
    const std::pair<const char *, qint64> boxes[] = {
        {"customClearPreserveBrush", 2}, {"customClearPreserveArrow", 4},   {"customClearPreserveRect", 8},
        {"customClearPreserveText", 16}, {"customClearPreserveBadges", 32}, {"customClearPreserveTimer", 64},
    };
    for (const auto &[box, bit] : boxes)
        setChecked(box, (mask & bit) != 0);
}

void MRKOPreferencesViewController::updateFontSizeMenu()
{
    const qint64 size = defaults().integerForKey(QStringLiteral("DefaultFontSize"));
    if (auto *sizes = outlet<QComboBox>("fontSizesButton"))
        sizes->setCurrentIndex(sizes->findText(QString::number(size == 0 ? 64 : size)));
}

void MRKOPreferencesViewController::updateBadgeFontSizeMenu()
{
    const qint64 size = defaults().integerForKey(QStringLiteral("DefaultBadgeFontSize"));
    if (auto *sizes = outlet<QComboBox>("badgeFontSizesButton"))
        sizes->setCurrentIndex(sizes->findText(QString::number(size == 0 ? 64 : size)));
}

void MRKOPreferencesViewController::updateFontsMenu()
{
    auto *fonts = outlet<QComboBox>("fontsButton");
    if (!fonts)
        return;
    const QSignalBlocker blocker(fonts);
    const QString family = inkora::defaultFontFamily();
    if (fonts->count() == 0)
        fonts->addItems(inkora::fontFamilies());
    if (fonts->findText(family) < 0)
        fonts->insertItem(0, family);
    fonts->setCurrentIndex(fonts->findText(family));
    updateFontFacesMenu();
}

void MRKOPreferencesViewController::updateFontFacesMenu()
{
    auto *faces = outlet<QComboBox>("fontFacesButton");
    if (!faces)
        return;
    const QSignalBlocker blocker(faces);
    faces->clear();
    faces->addItems(inkora::fontFaces(inkora::defaultFontFamily()));
    const QString face = inkora::defaultFontFace();
    if (faces->findText(face) < 0)
        faces->insertItem(0, face);
    faces->setCurrentIndex(faces->findText(face));
}

// ---- Set-default buttons: the live value takes the registered default and the key goes; no synchronise ----

void MRKOPreferencesViewController::setDefaultMagnifyScale()
{
    inkora::liveSettings().magnifyScale = 1.0;
    defaults().removeObjectForKey(QStringLiteral("MagnifyScale"));
    updateMagnifySlider();
}

void MRKOPreferencesViewController::setDefaultSmoothEdges()
{
    inkora::liveSettings().flashlightEdgeSmoothness = 0;
    defaults().removeObjectForKey(QStringLiteral("FlashLightEdgesSmoothness"));
    updateSmoothEdgesSlider();
}

void MRKOPreferencesViewController::setDefaultFlashlightRadius()
{
    inkora::liveSettings().flashlightRadius = 100.0;
    defaults().removeObjectForKey(QStringLiteral("FlashLightRadius"));
    updateFlashlightSlider();
}

void MRKOPreferencesViewController::setDefaultFlashlightRatio()
{
    MRKOUtils::setFlashLightRatio(1.0);
    defaults().removeObjectForKey(QStringLiteral("FlashLightRatio"));
    updateFlashlightRatioSlider();
}

void MRKOPreferencesViewController::setDefaultArrowHead()
{
    inkora::liveSettings().arrowHeadRatio = double(0.33f);
    defaults().removeObjectForKey(QStringLiteral("ArrowHeadRatio"));
    updateArrowHeadSlider();
}

void MRKOPreferencesViewController::setDefaultFontSize()
{
    defaults().removeObjectForKey(QStringLiteral("DefaultFontSize"));
    updateFontSizeMenu();
}

void MRKOPreferencesViewController::setDefaultFont()
{
    inkora::resetDefaultFont();
    updateFontsMenu();
}

// ---- Refreshers of what lies outside the pane ----

void MRKOPreferencesViewController::updateBigBallIfNeeded()
{
    const AppDelegate *app = AppDelegate::shared();
    if (app && app->isPinnedOnTop() && !app->wantsCursorHaloToShowInGhostMode())
        return;
    for (MRKODraw *canvas : canvases())
        inkora::updateCursorHalo(*canvas);
}

void MRKOPreferencesViewController::updateOverallShadowIfNeeded()
{
    for (MRKODraw *canvas : canvases())
        inkora::setCanvasOverallShadow(*canvas, inkora::liveSettings().overallShadow);
}

void MRKOPreferencesViewController::updateWhiteBackIfNeeded()
{
    const AppDelegate *app = AppDelegate::shared();
    if (!app || !app->isWhiteboardOn())
        return;
    for (MRKODraw *canvas : canvases()) {
        if (!canvas->whiteboardIsHidden() && !canvas->hasWhiteBack())
            canvas->makeWhiteBack();
    }
    for (MRKODraw *canvas : canvases()) {
        canvas->updateWhiteBackColor();
        canvas->updateWhiteBackLayout();
    }
}

void MRKOPreferencesViewController::updateEventTapMonitor()
{
    AppDelegate *app = AppDelegate::shared();
    if (!app)
        return;
    if (app->wantsEventTapMonitor())
        app->setUpEventTapMonitor();
    else
        app->suspendEventTapMonitorIfNeeded();
}
