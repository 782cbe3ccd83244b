#include "settings/PreferencesLayout.h"

#include "canvas/MRKOWhiteBoardCustomColorButton.h"
#include "settings/MRKOPrefButton.h"
#include "settings/MRKOPrefVolumeButton.h"
#include "settings/PrefSlider.h"
#include "tools/MRKOBackgroundColorButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <initializer_list>
#include <utility>

namespace inkora {
namespace {

struct Item
{
    const char *title;
    int tag;
};

struct Radio
{
    const char *outlet;
    const char *title;
    int tag;
};

/// Adds rows of controls to one titled section.
class Section
{
public:
    Section(QWidget &container, const QString &title)
    {
        auto *box = new QGroupBox(title, &container); // child
        box->setObjectName(title);
        container.layout()->addWidget(box);
        m_grid = new QGridLayout(box);
        m_grid->setColumnStretch(1, 1);
        m_box = box;
    }

    QCheckBox *check(const char *outlet, const char *title, QWidget *besides = nullptr)
    {
        auto *box = new QCheckBox(QString::fromUtf8(title), m_box);
        name(box, outlet, title);
        addRow(nullptr, box, besides);
        return box;
    }

    void radios(const char *group, const char *title, std::initializer_list<Radio> buttons, QWidget *besides = nullptr)
    {
        auto *buttonGroup = new QButtonGroup(m_box);
        buttonGroup->setObjectName(QString::fromUtf8(group));
        auto *row = new QWidget(m_box);
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        for (const Radio &radio : buttons) {
            QAbstractButton *button = nullptr;
            if (QLatin1String(radio.outlet) == QLatin1String("whiteBoardColorCustom")) {
                auto *custom = new MRKOWhiteBoardCustomColorButton(row);
                custom->setText(QString::fromUtf8(radio.title));
                custom->setCheckable(true);
                button = custom;
            } else {
                button = new QRadioButton(QString::fromUtf8(radio.title), row);
            }
            name(button, radio.outlet, radio.title);
            buttonGroup->addButton(button, radio.tag);
            layout->addWidget(button);
        }
        layout->addStretch(1);
        addRow(label(title), row, besides);
    }

    QComboBox *popUp(const char *outlet, const char *title, std::initializer_list<Item> items)
    {
        auto *popUp = new QComboBox(m_box);
        name(popUp, outlet, title);
        for (const Item &item : items)
            popUp->addItem(QString::fromUtf8(item.title), item.tag);
        addRow(label(title), popUp);
        return popUp;
    }

    QComboBox *titledPopUp(const char *outlet, const char *title, const QStringList &titles)
    {
        auto *popUp = new QComboBox(m_box);
        name(popUp, outlet, title);
        popUp->addItems(titles);
        addRow(label(title), popUp);
        return popUp;
    }

    PrefSlider *slider(const char *outlet, const char *title, double minimum, double maximum, double step,
                       const char *valueLabel = nullptr, const char *defaultButton = nullptr)
    {
        auto *slider = new PrefSlider(minimum, maximum, step, m_box);
        name(slider, outlet, title);
        auto *row = new QWidget(m_box);
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(slider, 1);
        if (valueLabel) {
            auto *value = new QLabel(row);
            value->setObjectName(QString::fromUtf8(valueLabel));
            value->setMinimumWidth(64);
            layout->addWidget(value);
        }
        if (defaultButton) {
            auto *reset = new QPushButton(QStringLiteral("Default"), row);
            reset->setObjectName(QString::fromUtf8(defaultButton));
            reset->setAccessibleName(QStringLiteral("Default"));
            layout->addWidget(reset);
        }
        addRow(label(title), row);
        return slider;
    }

    QWidget *colour(const char *outlet, const char *key, const char *title)
    {
        // Only the text colour defaults to opaque red and needs no opacity.
        const qint64 purpose = qstrcmp(outlet, "constantTextColor") == 0 ? 1 : 0;
        auto *button = new MRKOBackgroundColorButton(QString::fromUtf8(key), purpose, m_box);
        name(button, outlet, title);
        return button;
    }

    QPushButton *button(const char *outlet, const char *title)
    {
        auto *button = new QPushButton(QString::fromUtf8(title), m_box);
        name(button, outlet, title);
        addRow(nullptr, button);
        return button;
    }

    /// A small button beside a control: hover help for the control whose action is `selector`.
    QWidget *help(const char *selector) { return new MRKOPrefButton(QString::fromUtf8(selector), m_box); }

    /// The volume of a sound box: tag 0 the keyboard sounds, 1 the click sounds.
    QWidget *volume(const char *key, qint64 tag)
    {
        auto *button = new MRKOPrefVolumeButton(tag, m_box);
        button->setObjectName(QStringLiteral("volume:") + QString::fromUtf8(key));
        return button;
    }

    QWidget *box() const { return m_box; }

private:
    static void name(QWidget *widget, const char *outlet, const char *title)
    {
        widget->setObjectName(QString::fromUtf8(outlet));
        widget->setAccessibleName(QString::fromUtf8(title));
    }

    QLabel *label(const char *title) { return new QLabel(QString::fromUtf8(title), m_box); }

    void addRow(QLabel *title, QWidget *control, QWidget *besides = nullptr)
    {
        const int row = m_grid->rowCount();
        if (title)
            m_grid->addWidget(title, row, 0);
        m_grid->addWidget(control, row, title ? 1 : 0, 1, title ? 1 : 2);
        if (besides)
            m_grid->addWidget(besides, row, 2);
    }

    QWidget *m_box = nullptr;
    QGridLayout *m_grid = nullptr;
};

const std::initializer_list<Item> kExtraActions = {
    {"No Action", 0},
    {"Hide Inkora", 1},
    {"Next Tool", 2},
    {"Recent Tool", 3},
    {"Next Thickness", 4},
    {"Clear Screen", 5},
    {"Freeze", 6},
    {"Switch Color Mode", 7},
    {"Snapshot", 8},
    {"Snapshots", 9},
    {"Copy", 10},
    {"Flashlight", 11},
    {"Magnifier", 12},
    {"Ghost Mode", 13},
    {"Whiteboard", 14},
    {"Repeat Drawing", 15},
    {"Undo", 16},
    {"Redo", 17},
    {"Semi-Transparent", 18},
    {"Menu", 19},
    {"Tools Circle Menu", 20},
    {"Colors Circle Menu", 21},
    {"Dot", 22},
    {"Text", 23},
    {"Emoji", 24},
    {"Selection", 25},
    {"Clear Except", 26},
    {"Previous Thickness", 45},
    {"Color Wheel", 46},
    {"Black and White", 47},
    {"Group", 48},
    {"Lower Third", 49},
};

QStringList fontSizes()
{
    QStringList sizes;
    for (const int size : {12, 14, 18, 24, 32, 36, 48, 64, 72, 96, 128})
        sizes.append(QString::number(size));
    return sizes;
}

} // namespace

void buildPreferencesContainer(QWidget &container)
{
    auto *layout = new QVBoxLayout(&container);
    layout->setSizeConstraint(QLayout::SetMinAndMaxSize);

    {
        auto *top = new QWidget(&container);
        auto *row = new QHBoxLayout(top);
        row->setContentsMargins(0, 0, 0, 0);
        auto *presets = new QPushButton(top); // a pull-down: the presets controller gives it its menu and title
        presets->setObjectName(QStringLiteral("prefPreset"));
        presets->setAccessibleName(QStringLiteral("Presets"));
        row->addWidget(new QLabel(QStringLiteral("Presets"), top));
        row->addWidget(presets, 1);
        for (const auto &[outlet, title] :
             {std::pair{"savePresetAsButton", "Save Preset As..."},
              std::pair{"restoreDefaultsButton", "Restore Defaults"}, std::pair{"saveAsPDFButton", "Save as PDF..."}}) {
            auto *button = new QPushButton(QString::fromUtf8(title), top);
            button->setObjectName(QString::fromUtf8(outlet));
            button->setAccessibleName(QString::fromUtf8(title));
            row->addWidget(button);
        }
        layout->addWidget(top);
    }
    {
        Section s(container, QStringLiteral("General"));
        s.check("runOnStartup", "Run Inkora at log-in");
        s.check("ghostModeAtLaunch", "Enter ghost mode at launch");
        s.check("greenIndicator", "Show a green dot on the status icon while Inkora is shown");
        s.check("useToolTips", "Show tool tips on tool bar buttons");
        s.radios("ShowNotificationsKey", "Tool notifications",
                 {{"showNotificationsWOToolbar", "Without tool bar", 0},
                  {"showNotificationsAlways", "Always", 1},
                  {"showNotificationsNever", "Never", 2}});
        s.radios("KeepTouchBarWithToolbarKey", "Activation with tool bar",
                 {{"activationWithToolbarShowOnly", "Only Show", 0},
                  {"activationWithToolbarShowActivate", "Show and Activate", 1}},
                 s.help("activationWithToolbarAction:"));
        s.radios("KeepTouchBarKey", "Activation without tool bar",
                 {{"activationWithoutToolbarShowOnly", "Only Show", 0},
                  {"activationWithoutToolbarShowActivate", "Show and Activate", 1}},
                 s.help("activationWithoutToolbarAction:"));
        s.popUp("appLevelButton", "Window level",
                {{"Normal (29)", 29},
                 {"Above Panels (30)", 30},
                 {"Above Menus (31)", 31},
                 {"Screen Saver (1000)", 1000},
                 {"Top (2147483631)", 2147483631}});
        s.check("simulateArrowKeys", "Send arrow keys to the previous application", s.help("simulateArrowKeysAction:"));
        s.check("forwardUnused", "Forward unused keys to the next application", s.help("forwardUnusedKeysAction:"));
        s.check("hueByScroll", "Change the hue by scrolling");
        s.check("useZoomByZKeyButton", "Zoom with the Z key");
        s.check("quickGhostModeWithWhiteBoard", "Quick ghost mode with whiteboard");
        auto *privacy = new QWidget(s.box());
        auto *links = new QHBoxLayout(privacy);
        links->setContentsMargins(0, 0, 0, 0);
        for (const char *outlet : {"openAccesabilityButton", "openScreenRecButton"}) {
            auto *link = new QPushButton(privacy);
            link->setObjectName(QString::fromUtf8(outlet));
            link->setFlat(true);
            links->addWidget(link);
        }
        links->addStretch(1);
        s.box()->layout()->addWidget(privacy);
    }
    {
        Section s(container, QStringLiteral("Drawing"));
        s.slider("fadeTimeSlider", "Fade time (slow to fast)", 0, 8, 1);
        s.check("blinkingRepeat", "Repeat blinking");
        s.check("clearScreen", "Clear the screen when Inkora hides");
        s.check("saveBeforeQuit", "Keep drawings in freeze mode across quits");
        s.check("clearScreenWithFade", "Clear the screen with a fade in freeze mode");
        s.check("freezeModeHighlightingButton", "Highlight drawings in freeze mode");
        s.check("penPressure", "Pen pressure");
        s.check("hidePointingDot", "Hide the pointing dot");
        s.check("useBrushCursorButton", "Brush cursor", s.help("useBrushCursorAction:"));
        s.check("semiTransparent", "Semi-transparent drawing");
        s.check("sharpRectangle", "Sharp rectangle corners");
        s.check("overallShadow", "Shadow under all drawings");
        s.radios("ToolSwitchingMethod", "Tool switching",
                 {{"toolSwitchAllTypes", "All types", 0}, {"toolSwitchTwoRecent", "Two recent tools", 1}});
        s.radios("ToolColorFormat", "Remember colour",
                 {{"rememberColorShared", "Shared", 0},
                  {"rememberColorGroup", "Per tool group", 1},
                  {"rememberColorTool", "Per tool", 2}});
        s.slider("cursorHaloOpacitySlider", "Cursor halo opacity", 0.0, 0.5, 0.01);
        s.slider("cursorHaloSizeSlider", "Cursor halo size", 30, 200, 1);
        s.check("limitFPSButton", "Limit the pointer rate");
        s.slider("limitFPSSlider", "Pointer events per second", 30, 250, 1);
        s.popUp("snapshotExportFormat", "Snapshot export format",
                {{"PSD", 0}, {"PNG", 1}, {"PDF", 2}, {"Drawings PSD", 3}, {"Drawings PNG", 4}, {"Drawings PDF", 5}});
        s.popUp("snapshotMultiExportFormat", "Multiple snapshots export format",
                {{"PSD", 0},
                 {"PNG", 1},
                 {"PDF", 2},
                 {"Drawings PSD", 3},
                 {"Drawings PNG", 4},
                 {"Drawings PDF", 5},
                 {"Multi-page PDF", 6},
                 {"Multi-page drawings PDF", 7}});
    }
    {
        Section s(container, QStringLiteral("Arrows"));
        s.popUp("arrowStyleButton", "Arrow style",
                {{"Open Head", 0}, {"Wedge", 1}, {"Curved", 2}, {"Tapered Bar", 3}, {"Straight Bar", 4}});
        s.slider("arrowHeadSlider", "Arrow head", 0.1, 0.6, 0.01, nullptr, "setDefaultArrowHeadButton");
        s.check("useConstantArrowHeadSize", "Constant arrow head size");
        s.slider("constantArrowHeadSizeSlider", "Arrow head size", 20, 200, 1);
        s.check("invertArrowDrawing", "Draw arrows from the head");
        s.check("constantArrowWidth", "Constant arrow width");
        s.check("roundedTipArrow", "Rounded tip");
        s.check("roundedEndsArrow", "Rounded ends");
        s.popUp("quickArrowHead", "Quick arrow head", {{"Open Head", 0}, {"Wedge", 1}, {"Curved", 2}});
        s.slider("quickArrowSize", "Quick arrow head size", 0.5, 2.0, 0.05);
    }
    {
        Section s(container, QStringLiteral("Text and Badges"));
        s.titledPopUp("fontsButton", "Font", {});
        s.titledPopUp("fontFacesButton", "Face", {});
        s.button("setDefaultFontButton", "Default Font");
        s.titledPopUp("fontSizesButton", "Text size", fontSizes());
        s.button("setDefaultFontSizeButton", "Default Size");
        s.titledPopUp("badgeFontSizesButton", "Badge size", fontSizes());
        s.check("textOnClick", "Text on click");
        s.check("useConstantTextColorButton", "Constant text colour",
                s.colour("constantTextColor", "ConstantTextColor", "Text colour"));
        s.check("useTextBackground", "Text background",
                s.colour("textBackgroundColor", "TextBackgroundColor", "Text background colour"));
        s.check("textBackgroundSharp", "Sharp text background corners");
        s.check("useTimerBackground", "Timer background",
                s.colour("timerBackgroundColor", "TimerBackgroundColor", "Timer background colour"));
        s.check("useBadgeBackground", "Badge background",
                s.colour("badgeBackgroundColor", "BadgeBackgroundColor", "Badge background colour"));
        s.check("badgeCutOutBackground", "Cut out badge background");
        s.check("badgeAppearAnimatedButton", "Animate appearing badges");
        s.radios("BadgeNumeralFormat", "Badge numerals",
                 {{"numeralBadgeFormatDecimal", "1, 2, 3", 0},
                  {"numeralBadgeFormatRoman", "I, II, III", 1},
                  {"numeralBadgeFormatAlphabet", "A, B, C", 2}});
        s.radios("BadgeStaticNumeralFormat", "Static badge numerals",
                 {{"staticNumeralBadgeFormatDecimal", "1, 2, 3", 0},
                  {"staticNumeralBadgeFormatRoman", "I, II, III", 1},
                  {"staticNumeralBadgeFormatAlphabet", "A, B, C", 2}});
        s.check("resetBadgeOnAppHides", "Reset the badge count when Inkora hides");
        s.check("resetBadgeOnClearScreen", "Reset the badge count when the screen is cleared");
        s.check("removeTextTimersOnClearScreen", "Remove timers when the screen is cleared");
        s.check("lowerThirdOnAppearButton", "Show the lower third on appearing");
        s.button("openLowerThirdSettingsButton", "Lower Third Settings...");
    }
    {
        Section s(container, QStringLiteral("Flashlight and Magnifier"));
        s.slider("flashlightSlider", "Flashlight radius", 20, 400, 1, "flashlightRadiusField",
                 "setDefaultFlashlightRadiusButton");
        s.slider("flashLightShape", "Flashlight shape", 0.0, 2.0, 0.05, "flashLightShapeField",
                 "setDefaultFlashlightRatioButton");
        s.slider("smoothEdgesSlider", "Edge smoothness", 0, 50, 1, nullptr, "setDefaultSmoothEdgesButton");
        s.check("rectangularShape", "Rectangular flashlight",
                s.colour("flashlightBackgroundColor", "FlashlightBackgroundColor", "Flashlight shade"));
        s.check("toggleFlashlightByShift", "Flashlight with Shift");
        s.check("drawingDuringFlashlight", "Drawing during flashlight");
        s.check("hideCursorOnFlashlight", "Hide the cursor with the flashlight");
        s.check("cutOutFlashlightShape", "Cut out the flashlight shape");
        s.check("ellipticAreaSelection", "Elliptic area selection");
        s.check("useMagnifyingFlashlight", "Magnifying flashlight");
        s.slider("magnifySlider", "Magnification", 1.0, 8.0, 0.1, "magnifyField", "setDefaultMagnifyScaleButton");
        s.radios("MagnifyMethod", "Magnifier",
                 {{"magnifyTypeNonScaled", "Not scaled", 0},
                  {"magnifyTypeScaled", "Scaled", 1},
                  {"magnifyTypeCutThrough", "Cut through", 2}});
        s.radios("MagnifyMode", "Magnifier mode",
                 {{"magnifyModeDynamic", "Dynamic", 0}, {"magnifyModeStatic", "Static", 1}});
    }
    {
        Section s(container, QStringLiteral("Clicks and Sounds"));
        s.radios("SplashMethod", "Click highlight",
                 {{"splashSplatter", "Rays", 0}, {"splashCircle", "Ring", 1}, {"splashDisable", "None", 2}});
        s.check("highlightClicks", "Highlight clicks in ghost mode");
        s.check("playKeyboardPress", "Keyboard sounds", s.volume("KeyboardSoundVolume", 0));
        s.check("playMouseClicks", "Mouse click sounds", s.volume("MouseSoundVolume", 1));
        s.popUp("rightClickActionButton", "Right click", kExtraActions);
        s.popUp("rightClickControlActionButton", "Super + right click", kExtraActions);
        s.popUp("rightClickOptionActionButton", "Alt + right click", kExtraActions);
        s.popUp("rightClickCommandActionButton", "Ctrl + right click", kExtraActions);
    }
    {
        Section s(container, QStringLiteral("Eraser and Clearing"));
        s.slider("eraserSizeSlider", "Eraser size", 10, 300, 1);
        s.check("eraserPreserveTextButton", "The eraser keeps text");
        s.check("eraserPreserveArrowLineButton", "The eraser keeps arrows and lines");
        s.check("eraserPreserveRectEllipseButton", "The eraser keeps rectangles and ellipses");
        s.check("customClearPreserveBrush", "Clear except: brush strokes");
        s.check("customClearPreserveArrow", "Clear except: arrows");
        s.check("customClearPreserveRect", "Clear except: rectangles");
        s.check("customClearPreserveText", "Clear except: text");
        s.check("customClearPreserveBadges", "Clear except: badges");
        s.check("customClearPreserveTimer", "Clear except: timers");
    }
    {
        Section s(container, QStringLiteral("Snapshots and Whiteboard"));
        s.check("takeSnapshotWhenClearing", "Take a snapshot when clearing");
        s.check("takeDazadUdizBySelecting", "Take a DazadUdiz by selecting");
        s.check("takeDazadUdizByClick", "Take a DazadUdiz by click");
        s.check("takeCopyDazadUdizToClipboard", "Copy the DazadUdiz to the clipboard");
        s.check("wholeScreenToClipboard", "Copy the whole screen to the clipboard");
        s.check("showSnapshotNotification", "Announce new snapshots");
        s.check("applySnapshotWithWhiteboard", "Apply snapshots with their whiteboard");
        s.check("cleanUpRecentlyDeletedOnQuit", "Empty recently deleted at quit");
        s.radios("WhiteBoardColor", "Whiteboard colour",
                 {{"whiteBoardColorWhite", "White", 0},
                  {"whiteBoardColorDarkGray", "Dark Gray", 1},
                  {"whiteBoardColorBlack", "Black", 2},
                  {"whiteBoardColorCustom", "Custom", 3}});
    }
    layout->addStretch(1);
}

} // namespace inkora
