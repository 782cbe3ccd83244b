#include "settings/MRKOPreferencesViewController.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "app/MRKOAppLevel.h"
#include "app/MRKOGreenStatusImageView.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOWhiteBoardCustomColorButton.h"
#include "canvas/MRKOWindowController.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "objects/MRKOLowerThirdSettings.h"
#include "platform/Defaults.h"
#include "platform/LayerWidget.h"
#include "platform/PropertyList.h"
#include "settings/MRKOPrefVolumeButton.h"
#include "settings/MRKOPreferencesClipView.h"
#include "settings/MRKOPresetController.h"
#include "settings/MRKOSettingsKeys.h"
#include "settings/PrefSlider.h"
#include "settings/PreferencesLayout.h"
#include "settings/PreferencesNeighbours.h"
#include "tools/MRKOBackgroundColorButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOTools.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>
#include <cmath>

using inkora::PrefSlider;
using inkora::SliderEvent;

namespace {

MRKOPreferencesViewController *s_shared = nullptr;

platform::Defaults &defaults()
{
    return MRKOUtils::userDefaults();
}

AppDelegate *delegate()
{
    return AppDelegate::shared();
}

std::vector<MRKODraw *> canvases()
{
    std::vector<MRKODraw *> result;
    if (AppDelegate *app = delegate()) {
        for (MRKOWindowController *controller : app->windowControllersArray()) {
            if (controller->drawView())
                result.push_back(controller->drawView());
        }
    }
    return result;
}

MRKODraw *canvasWithFlashlight()
{
    return delegate() ? delegate()->drawViewWithDarkOverlay() : nullptr;
}

/// What a check box does after its live update.
enum class Then { Nothing, OverallShadow, EventTap, ArrowPreview, OpacityButton, FlashlightShape, FlashlightMagnify };

struct CheckRow
{
    const char *outlet;
    const char *key;
    Then then;
};

// Plain check boxes: write the state as an integer, synchronise, run the key's live copy, then the extra step.
const std::array<CheckRow, 58> kCheckRows = {{
    {"toggleFlashlightByShift", "FlashlightByShift", Then::Nothing},
    {"textOnClick", "TextOnClick", Then::Nothing},
    {"resetBadgeOnAppHides", "ResetBadgeCountWhenAppHides", Then::Nothing},
    {"resetBadgeOnClearScreen", "ResetBadgeCountWhenClearCanvas", Then::Nothing},
    {"removeTextTimersOnClearScreen", "RemoveTimersWhenClearCanvas", Then::Nothing},
    {"useConstantTextColorButton", "UseConstantTextColor", Then::Nothing},
    {"eraserPreserveTextButton", "EraserPreserveText", Then::Nothing},
    {"eraserPreserveArrowLineButton", "EraserPreserveArrowLine", Then::Nothing},
    {"eraserPreserveRectEllipseButton", "EraserPreserveRectEllipse", Then::Nothing},
    {"limitFPSButton", "MouseFPSLimit", Then::Nothing},
    {"badgeAppearAnimatedButton", "BadgeAppearAnimated", Then::Nothing},
    {"badgeCutOutBackground", "BadgeCutOutBackground", Then::Nothing},
    {"textBackgroundSharp", "TextBackgroundSharpCorners", Then::Nothing},
    {"useBadgeBackground", "UseBadgeBackground", Then::Nothing},
    {"useTimerBackground", "UseTimerBackground", Then::Nothing},
    {"useTextBackground", "UseTextBackground", Then::Nothing},
    {"lowerThirdOnAppearButton", "LowerThirdOnAppear", Then::Nothing},
    {"applySnapshotWithWhiteboard", "ApplySnapshotWithWhiteboard", Then::Nothing},
    {"cleanUpRecentlyDeletedOnQuit", "CleanUpRecentlyDeletedOnQuit", Then::Nothing},
    {"cutOutFlashlightShape", "CutOutFlashlightShape", Then::Nothing},
    {"ellipticAreaSelection", "FlashlightCircleSelection", Then::Nothing},
    {"quickGhostModeWithWhiteBoard", "QuickGhostModeWithWhiteBoard", Then::Nothing},
    {"takeDazadUdizBySelecting", "TakeDazadUdizBySelecting", Then::Nothing},
    {"takeDazadUdizByClick", "TakeDazadUdizByClick", Then::Nothing},
    {"takeCopyDazadUdizToClipboard", "TakeCopyDazadUdizToClipboard", Then::Nothing},
    {"showSnapshotNotification", "ShowSnapshotNotification", Then::Nothing},
    {"drawingDuringFlashlight", "DrawingDuringFlashlight", Then::Nothing},
    {"takeSnapshotWhenClearing", "TakeSnapshotOnClearCanvas", Then::Nothing},
    {"hueByScroll", "HueByScroll", Then::Nothing},
    {"hidePointingDot", "HidePointingDot", Then::Nothing},
    {"hideCursorOnFlashlight", "HideCursorOnFlashlight", Then::Nothing},
    {"blinkingRepeat", "BlinkingRepeat", Then::Nothing},
    {"wholeScreenToClipboard", "WholeScreenToClipboard", Then::Nothing},
    {"penPressure", "PenPressure", Then::Nothing},
    {"clearScreenWithFade", "FadeClearScreenInFreezeMode", Then::Nothing},
    {"useToolTips", "UseToolTips", Then::Nothing},
    {"freezeModeHighlightingButton", "FreezeModeHighlighting", Then::Nothing},
    {"useBrushCursorButton", "UseBrushCursor", Then::Nothing},
    {"useZoomByZKeyButton", "UseZoomByZKey", Then::Nothing},
    {"sharpRectangle", "SharpRectangle", Then::Nothing},
    {"simulateArrowKeys", "SimulateArrowKeys", Then::Nothing},
    {"forwardUnused", "ForwardUnusedKeys", Then::Nothing},
    {"overallShadow", "OverallShadow", Then::OverallShadow},
    {"highlightClicks", "HighlightClicksGhostMode", Then::EventTap},
    {"playKeyboardPress", "PlayKeyboardSounds", Then::EventTap},
    {"playMouseClicks", "PlayMouseSounds", Then::EventTap},
    {"greenIndicator", "UseGreenStatus", Then::Nothing},
    {"useConstantArrowHeadSize", "UseConstantArrowHeadSize", Then::ArrowPreview},
    {"invertArrowDrawing", "InvertArrowDrawing", Then::ArrowPreview},
    {"constantArrowWidth", "ConstantArrowWidth", Then::ArrowPreview},
    {"roundedTipArrow", "ArrowRoundedTip", Then::ArrowPreview},
    {"roundedEndsArrow", "ArrowRoundedEnds", Then::ArrowPreview},
    {"semiTransparent", "SemitransparentDrawingKey", Then::OpacityButton},
    {"rectangularShape", "FlashlightRectShape", Then::FlashlightShape},
    {"useMagnifyingFlashlight", "UseMagnifyingFlashlight", Then::FlashlightMagnify},
    {"runOnStartup", "runOnStartupKey", Then::Nothing},
    {"clearScreen", "ClearScreenWhenHides", Then::Nothing},
    {"saveBeforeQuit", "SaveBeforeQuit", Then::Nothing},
}};

struct MaskRow
{
    const char *outlet;
    qint64 bit;
};

const std::array<MaskRow, 6> kMaskRows = {{
    {"customClearPreserveBrush", 2},
    {"customClearPreserveArrow", 4},
    {"customClearPreserveRect", 8},
    {"customClearPreserveText", 16},
    {"customClearPreserveBadges", 32},
    {"customClearPreserveTimer", 64},
}};

// Pop-ups whose selected tag goes to their key and then to the key's live copy.
const std::array<std::pair<const char *, const char *>, 9> kPopUpRows = {{
    {"rightClickActionButton", "CloseOnRightClick"},
    {"rightClickControlActionButton", "RightClickControlAction"},
    {"rightClickOptionActionButton", "RightClickOptionAction"},
    {"rightClickCommandActionButton", "RightClickCommandAction"},
    {"arrowStyleButton", "ArrowStyle"},
    {"quickArrowHead", "QuickArrowHead"},
    {"snapshotExportFormat", "SnapshotExportFormat"},
    {"snapshotMultiExportFormat", "SnapshotMultiExportFormat"},
    {"appLevelButton", "InkoraWindowLevel"},
}};

// Fade-time codes by slider position, slow to fast.
constexpr std::array<qint64, 9> kFadeCodes = {5, 4, 3, 1, 0, 2, 6, 7, 8};

void runLiveCopy(const QString &key)
{
    if (const inkora::SettingsKeyRow *row = inkora::settingsKeyRow(key); row && row->liveCopy)
        row->liveCopy();
}

qint64 fadeCodeForSliderPosition(qint64 position)
{
    return position >= 0 && position < qint64(kFadeCodes.size()) ? kFadeCodes[size_t(position)] : kFadeCodes[0];
}

} // namespace

MRKOPreferencesViewController &MRKOPreferencesViewController::sharedController()
{
    if (!s_shared) {
        s_shared = new MRKOPreferencesViewController; // lives for the process, as its observers do
        s_shared->viewDidLoad();
    }
    return *s_shared;
}

bool MRKOPreferencesViewController::hasSharedController()
{
    return s_shared != nullptr;
}

MRKOPreferencesViewController::MRKOPreferencesViewController() : QWidget(nullptr)
{
    setObjectName(QStringLiteral("MRKOPreferencesViewController"));
    setWindowTitle(QStringLiteral("Inkora Preferences"));
    resize(640, 720);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scrollView = new QScrollArea(this);
    m_scrollView->setObjectName(QStringLiteral("scrollView"));
    auto *clipView = new MRKOPreferencesClipView; // the scroll area takes it
    m_scrollView->setViewport(clipView);
    clipView->watchPresses();
    layout->addWidget(m_scrollView);
    m_containerView = new QWidget;
    m_containerView->setObjectName(QStringLiteral("containerView"));
    inkora::buildPreferencesContainer(*m_containerView);
    m_overlayView = new platform::LayerWidget(this);
    m_overlayView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_overlayView->setAttribute(Qt::WA_NoSystemBackground);
    m_overlayView->setObjectName(QStringLiteral("overlayLayer"));
}

MRKOPreferencesViewController::~MRKOPreferencesViewController()
{
    if (s_shared == this)
        s_shared = nullptr;
}

const platform::LayerPtr &MRKOPreferencesViewController::overlayLayer() const
{
    return m_overlayView->rootLayer();
}

void MRKOPreferencesViewController::viewDidLoad()
{
    // The container becomes the scroll view's document; the overlay lies over the whole pane.
    m_scrollView->setWidget(m_containerView);
    m_overlayView->setGeometry(rect());
    m_overlayView->raise();
    m_overlayView->rootLayer()->setZPosition(100);

    if (auto *link = outlet<QPushButton>("openScreenRecButton"))
        link->setText(MRKOUtils::screenRecordingPrefString());
    if (auto *link = outlet<QPushButton>("openAccesabilityButton"))
        link->setText(MRKOUtils::accesibilityPrefString());
    if (auto *halo = outlet<PrefSlider>("cursorHaloOpacitySlider"); halo && halo->maximumValue() != 0.5)
        qCWarning(lcSettings) << "viewDidLoad: the cursor halo slider must end at 0.5";

    connectActions();
    reloadAllPreferences();

    platform::NotificationCenter &center = platform::NotificationCenter::defaultCenter();
    m_observers.push_back(
        center.addObserver(kMRKOUpdateFlashlightSliderNotification, nullptr,
                           [this](const platform::Notification &) { updateFlashlightAndMagnifySliders(); }));
    m_observers.push_back(center.addObserver(kMRKOUpdateSemiTransparentNotification, nullptr,
                                             [this](const platform::Notification &) { updateSemiTransparent(); }));
    m_observers.push_back(center.addObserver(kMRKOUpdateEraserSizeSliderNotification, nullptr,
                                             [this](const platform::Notification &) { updateEraserSizeSlider(); }));
    updateFontsMenu();
    m_observers.push_back(center.addObserver(kMRKODefaultFontChangedNotification, nullptr,
                                             [this](const platform::Notification &) { updateFontsMenu(); }));
    MRKOPresetController &presets = MRKOPresetController::sharedPresets();
    presets.setPreferencesController(this);
    presets.setPrefPreset(outlet<QPushButton>("prefPreset"));
    // A sound's volume button is on while its sound is.
    for (const auto &[sound, volume] : {std::pair{"playKeyboardPress", "volume:KeyboardSoundVolume"},
                                        std::pair{"playMouseClicks", "volume:MouseSoundVolume"}}) {
        auto *box = outlet<QCheckBox>(sound);
        auto *button = outlet<MRKOPrefVolumeButton>(volume);
        if (!box || !button)
            continue;
        button->setState(box->isChecked() ? 1 : 0);
        connect(box, &QCheckBox::toggled, button, [button](bool on) { button->setState(on ? 1 : 0); });
    }
}

void MRKOPreferencesViewController::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_overlayView->setGeometry(rect());
}

void MRKOPreferencesViewController::connectActions()
{
    for (const CheckRow &row : kCheckRows) {
        if (auto *box = outlet<QCheckBox>(row.outlet))
            connect(box, &QCheckBox::clicked, this, [this, box] { checkBoxAction(box); });
    }
    for (const MaskRow &row : kMaskRows) {
        if (auto *box = outlet<QCheckBox>(row.outlet))
            connect(box, &QCheckBox::clicked, this, [this] { customClearPreserveTypeAction(); });
    }
    if (auto *box = outlet<QCheckBox>("ghostModeAtLaunch")) {
        connect(box, &QCheckBox::clicked, this, [box] {
            defaults().setBool(box->isChecked(), QStringLiteral("StartGhostModeAtLaunch"));
            defaults().synchronize();
        });
    }
    for (QButtonGroup *group : findChildren<QButtonGroup *>())
        connect(group, &QButtonGroup::idClicked, this, [this, group](int tag) { radioAction(group, tag); });
    for (const auto &[name, key] : kPopUpRows) {
        if (auto *popUp = outlet<QComboBox>(name))
            connect(popUp, &QComboBox::activated, this, [this, popUp] { popUpAction(popUp); });
    }
    for (PrefSlider *slider : findChildren<PrefSlider *>())
        connect(slider, &PrefSlider::action, this, &MRKOPreferencesViewController::sliderAction);

    if (auto *sizes = outlet<QComboBox>("fontSizesButton")) {
        connect(sizes, &QComboBox::activated, this, [sizes] {
            defaults().setInteger(sizes->currentText().toLongLong(), QStringLiteral("DefaultFontSize"));
            defaults().synchronize();
            if (AppDelegate *app = delegate())
                app->updateFontSize();
        });
    }
    if (auto *sizes = outlet<QComboBox>("badgeFontSizesButton")) {
        connect(sizes, &QComboBox::activated, this, [sizes] {
            defaults().setInteger(sizes->currentText().toLongLong(), QStringLiteral("DefaultBadgeFontSize"));
            defaults().synchronize();
            if (AppDelegate *app = delegate())
                app->updateBadgeFontSize();
        });
    }
    if (auto *fonts = outlet<QComboBox>("fontsButton"))
        connect(fonts, &QComboBox::textActivated, this, &MRKOPreferencesViewController::fontFamilySelected);
    if (auto *faces = outlet<QComboBox>("fontFacesButton"))
        connect(faces, &QComboBox::textActivated, this, &MRKOPreferencesViewController::fontFaceSelected);

    const auto button = [this](const char *name, auto slot) {
        if (auto *push = outlet<QPushButton>(name))
            connect(push, &QPushButton::clicked, this, slot);
    };
    button("setDefaultArrowHeadButton", &MRKOPreferencesViewController::setDefaultArrowHead);
    button("setDefaultFlashlightRadiusButton", &MRKOPreferencesViewController::setDefaultFlashlightRadius);
    button("setDefaultFlashlightRatioButton", &MRKOPreferencesViewController::setDefaultFlashlightRatio);
    button("setDefaultSmoothEdgesButton", &MRKOPreferencesViewController::setDefaultSmoothEdges);
    button("setDefaultMagnifyScaleButton", &MRKOPreferencesViewController::setDefaultMagnifyScale);
    button("setDefaultFontButton", &MRKOPreferencesViewController::setDefaultFont);
    button("setDefaultFontSizeButton", &MRKOPreferencesViewController::setDefaultFontSize);
    button("restoreDefaultsButton", &MRKOPreferencesViewController::restoreDefaults);
    button("saveAsPDFButton", &MRKOPreferencesViewController::saveAsPDF);
    button("savePresetAsButton", [] { MRKOPresetController::sharedPresets().savePresetAs(); });
    button("openLowerThirdSettingsButton", &MRKOPreferencesViewController::openLowerThirdSettingsAction);
    button("openAccesabilityButton", [] { MRKOUtils::openPrivacyAccessibilityPreferences(); });
    button("openScreenRecButton", [] { MRKOUtils::openPrivacyScreenRecPreferences(); });
    // The colour buttons store their keys themselves; only the flashlight shade has more to do.
    if (auto *shade = outlet<MRKOBackgroundColorButton>("flashlightBackgroundColor"))
        connect(shade, &MRKOBackgroundColorButton::actionSent, this,
                &MRKOPreferencesViewController::flashlightBackgroundColorAction);
}

void MRKOPreferencesViewController::checkBoxAction(QCheckBox *box)
{
    const QString name = box->objectName();
    if (name == QLatin1String("clearScreen")) {
        clearScreenWhenHides(box);
        return;
    }
    if (name == QLatin1String("saveBeforeQuit")) {
        saveBeforeQuitAction(box);
        return;
    }
    const CheckRow *row = nullptr;
    for (const CheckRow &candidate : kCheckRows) {
        if (name == QLatin1String(candidate.outlet))
            row = &candidate;
    }
    if (!row)
        return;
    const QString key = QLatin1String(row->key);
    defaults().setInteger(box->isChecked() ? 1 : 0, key);
    defaults().synchronize();
    runLiveCopy(key);
    switch (row->then) {
    case Then::Nothing:
        break;
    case Then::OverallShadow:
        updateOverallShadowIfNeeded();
        break;
    case Then::EventTap:
        updateEventTapMonitor();
        break;
    case Then::ArrowPreview:
        previewArrow();
        break;
    case Then::OpacityButton:
        updateToolBarOpacityButton();
        break;
    case Then::FlashlightShape:
        if (MRKODraw *canvas = canvasWithFlashlight())
            canvas->updateFlashlight();
        break;
    case Then::FlashlightMagnify:
        if (MRKODraw *canvas = canvasWithFlashlight())
            canvas->updateFlashlight();
        break;
    }
}

void MRKOPreferencesViewController::clearScreenWhenHides(QCheckBox *box)
{
    const bool on = box->isChecked();
    defaults().setInteger(on ? 1 : 0, QStringLiteral("ClearScreenWhenHides"));
    if (auto *partner = outlet<QCheckBox>("saveBeforeQuit"); on && partner && partner->isChecked()) {
        partner->setChecked(false);
        saveBeforeQuitAction(partner);
    }
    defaults().synchronize();
    if (AppDelegate *app = delegate())
        app->updateClearScreenWhenHides();
}

void MRKOPreferencesViewController::saveBeforeQuitAction(QCheckBox *box)
{
    const bool on = box->isChecked();
    defaults().setInteger(on ? 1 : 0, QStringLiteral("SaveBeforeQuit"));
    if (auto *partner = outlet<QCheckBox>("clearScreen"); on && partner && partner->isChecked()) {
        partner->setChecked(false);
        clearScreenWhenHides(partner);
    }
    defaults().synchronize();
    if (AppDelegate *app = delegate()) {
        app->updateSaveBeforeQuit();
        app->updateProxyDocIfNeeded();
    }
}

qint64 MRKOPreferencesViewController::collectCustomClearMask() const
{
    qint64 mask = 0;
    for (const MaskRow &row : kMaskRows) {
        if (const auto *box = outlet<QCheckBox>(row.outlet); box && box->isChecked())
            mask += row.bit;
    }
    return mask;
}

void MRKOPreferencesViewController::customClearPreserveTypeAction()
{
    const qint64 mask = collectCustomClearMask();
    inkora::liveSettings().customClearScreenMask = mask;
    defaults().setInteger(mask, QStringLiteral("CustomClearScreenMask"));
    defaults().synchronize();
}

void MRKOPreferencesViewController::radioAction(QButtonGroup *group, int tag)
{
    const QString key = group->objectName();
    AppDelegate *app = delegate();
    if (key == QLatin1String("ToolColorFormat")) {
        MRKOToolColor::toolColor().setToolColorFormat(quint64(tag));
        return;
    }
    if (key == QLatin1String("BadgeNumeralFormat")) {
        inkora::setBadgeNumeralFormat(tag);
        return;
    }
    if (key == QLatin1String("BadgeStaticNumeralFormat")) {
        inkora::setBadgeStaticNumeralFormat(tag);
        return;
    }
    defaults().setInteger(tag, key);
    defaults().synchronize();
    if (key == QLatin1String("SplashMethod")) {
        splashSelected(tag);
        return;
    }
    runLiveCopy(key);
    if (key == QLatin1String("MagnifyMethod")) {
        if (MRKODraw *canvas = canvasWithFlashlight())
            canvas->insertMagnifyLayerDependingOnMethod();
    } else if (key == QLatin1String("MagnifyMode")) {
        if (MRKODraw *canvas = canvasWithFlashlight())
            canvas->magnifyModeChanged();
    } else if (key == QLatin1String("WhiteBoardColor")) {
        updateWhiteBackIfNeeded();
    }
    (void)app;
}

void MRKOPreferencesViewController::splashSelected(int tag)
{
    // Where the pointer is in the pane, y up; the button's centre when the keyboard chose it.
    QPointF local = mapFromGlobal(QCursor::pos());
    if (!rect().contains(local.toPoint())) {
        if (QAbstractButton *button = findChild<QButtonGroup *>(QStringLiteral("SplashMethod"))->button(tag))
            local = button->mapTo(this, button->rect().center());
    }
    const QPointF point(local.x(), height() - local.y());
    if (tag == 0)
        blinkForPoint(point);
    else if (tag == 1)
        blinkForPointCircle(point);
    if (AppDelegate *app = delegate())
        app->updateSplashMethod();
}

void MRKOPreferencesViewController::popUpAction(QComboBox *popUp)
{
    const qint64 tag = popUp->currentData().toLongLong();
    const QString name = popUp->objectName();
    if (name == QLatin1String("appLevelButton")) {
        MRKOAppLevel::appLevel().setLevel(int(qint32(tag)));
        return;
    }
    for (const auto &[outletName, key] : kPopUpRows) {
        if (name != QLatin1String(outletName))
            continue;
        defaults().setInteger(tag, QLatin1String(key));
        defaults().synchronize();
        if (name == QLatin1String("quickArrowHead")) {
            if (AppDelegate *app = delegate())
                app->updateQuickArrowHeadStyle();
        } else {
            runLiveCopy(QLatin1String(key));
        }
        if (name == QLatin1String("arrowStyleButton"))
            previewArrow();
    }
}

void MRKOPreferencesViewController::sliderAction(PrefSlider *slider)
{
    const QString name = slider->objectName();
    const auto type = int(slider->currentEventType());
    AppDelegate *app = delegate();
    const auto write = [](const QVariant &value, const char *key, bool synchronise = true) {
        defaults().setObject(value, QLatin1String(key));
        if (synchronise)
            defaults().synchronize();
    };
    if (name == QLatin1String("eraserSizeSlider")) {
        write(slider->integerValue(), "EraserSize");
        if (app)
            app->updateEraserSize();
        previewEraser(type);
    } else if (name == QLatin1String("limitFPSSlider")) {
        write(slider->integerValue(), "MouseFPSFreq");
        if (app)
            app->updateLimitMouseFPS();
    } else if (name == QLatin1String("constantArrowHeadSizeSlider")) {
        write(slider->integerValue(), "ConstantArrowHeadSize");
        if (app)
            app->updateConstantArrowHeadSize();
        previewArrow();
    } else if (name == QLatin1String("arrowHeadSlider")) {
        write(slider->doubleValue(), "ArrowHeadRatio");
        if (app)
            app->updateArrowHeadRatio();
        previewArrow();
    } else if (name == QLatin1String("quickArrowSize")) {
        write(slider->doubleValue(), "QuickArrowHeadSize");
        if (app)
            app->updateQuickArrowHeadSize();
    } else if (name == QLatin1String("cursorHaloOpacitySlider")) {
        write(slider->doubleValue(), "CursorHaloOpacity");
        if (app)
            app->updateCursorHaloOpacity();
        updateBigBallIfNeeded();
    } else if (name == QLatin1String("cursorHaloSizeSlider")) {
        write(slider->integerValue(), "CursorHaloRadius");
        if (app)
            app->updateCursorHaloSize();
        updateBigBallIfNeeded();
    } else if (name == QLatin1String("fadeTimeSlider")) {
        write(fadeCodeForSliderPosition(slider->integerValue()), "FadeOutTimeKey");
        if (app)
            app->updateFadeTime();
    } else if (name == QLatin1String("flashlightSlider")) {
        write(double(slider->integerValue()), "FlashLightRadius");
        if (app)
            app->updateFlashlightRadius();
        updateFlashlightSlider();
        previewFlashlight(type);
    } else if (name == QLatin1String("smoothEdgesSlider")) {
        write(slider->doubleValue(), "FlashLightEdgesSmoothness");
        if (app)
            app->updateFlashlightEdgeSmoothness();
        previewFlashlight(type);
    } else if (name == QLatin1String("flashLightShape")) {
        write(slider->doubleValue(), "FlashLightRatio", false);
        MRKOUtils::setFlashLightRatio(slider->doubleValue());
        updateFlashlightRatioSlider();
        previewFlashlight(type);
    } else if (name == QLatin1String("magnifySlider")) {
        magnificationSliderAction(slider);
    }
}

void MRKOPreferencesViewController::magnificationSliderAction(PrefSlider *slider)
{
    const double value = slider->doubleValue();
    inkora::LiveSettings &live = inkora::liveSettings();
    live.magnifyScale = value;
    defaults().setDouble(value, QStringLiteral("MagnifyScale"));
    // A click (not a drag) also chooses the scale the magnifier toggle goes to.
    if (slider->isClick() && value > 1.0) {
        live.magnifyToggleScale = value;
        defaults().setDouble(value, QStringLiteral("MagnifyToggleScale"));
        if (AppDelegate *app = delegate())
            app->updateMagnifyToggleScale();
    }
    updateMagnifySlider();
    if (live.useMagnifying)
        previewFlashlight(int(slider->currentEventType()));
}

void MRKOPreferencesViewController::fontFamilySelected(const QString &family)
{
    qCInfo(lcSettings).noquote() << family;
    inkora::selectDefaultFontFamily(family);
    updateFontFacesMenu();
    previewText();
}

void MRKOPreferencesViewController::fontFaceSelected(const QString &face)
{
    inkora::selectDefaultFontFace(face);
    previewText();
}

void MRKOPreferencesViewController::openLowerThirdSettingsAction()
{
    openLowerThirdSettings();
}

void MRKOPreferencesViewController::openLowerThirdSettings()
{
    for (MRKODraw *canvas : canvases())
        canvas->lowerThirdAnimationDidFinished(nullptr);
    if (AppDelegate *app = AppDelegate::shared(); app && app->activeToolBar())
        app->activeToolBar()->closeMenuIfNeeded();
    MRKOLowerThirdSettings::sharedController().showWindow();
}

void MRKOPreferencesViewController::flashlightBackgroundColorAction()
{
    if (AppDelegate *app = delegate()) {
        if (MRKOWindowController *controller = app->windowControllerForMouseLocation();
            controller && controller->drawView())
            controller->drawView()->updateFlashlightColorIfNeeded();
    }
    previewFlashlight(int(SliderEvent::None));
}
