#include "shortcuts/MRKOShortcutsViewController.h"

#include "app/AppDelegate.h"
#include "app/MRKOFrontmostApp.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSAppearance+isDarkAppearance.h"
#include "foundation/PanePdf.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/SavePanel.h"
#include "platform/Services.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQTextField.h"
#include "shortcuts/MRKOActionPopupButton.h"
#include "shortcuts/MRKOActionSourcePopupButton.h"
#include "shortcuts/MRKOShortcutPresetController.h"
#include "shortcuts/MRKOShortcutsView.h"
#include "shortcuts/MRKOTextBadgeShortcutSegControl.h"
#include "shortcuts/ShortcutsNeighbours.h"
#include "tools/MRKOColorHueController.h"
#include "tools/MRKOColorSegmentedControl.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <array>

namespace {

MRKOShortcutsViewController *s_shared = nullptr;

const QString kAllowFnKey = QStringLiteral("AllowFnShortcutsInGhostMode");

struct Row
{
    const char *key;      // the settings key, which is the field's identifier
    const char *property; // the application delegate's property holding the live shortcut
    const char *action;
    const char *outlet;
    const char *title;
};

constexpr std::array<Row, MRKOShortcutsViewController::kFieldCount> kRows = {{
    {"ShortcutActivate", "activateShortCut", "runInkora:", "activateLabel", "Show or hide Inkora"},
    {"ShortcutActivateWithout", "activateWithoutShortCut", "runInkoraWithoutToolbar:", "activateWithoutLabel",
     "Show or hide Inkora without the tool bar"},
    {"ShortcutChangeTool", "changeToolShortCut", "nextTool:", "changeToolLabel", "Next tool"},
    {"ShortcutThickness", "thicknessShortCut", "nextThickness:", "changeThicknessLabel", "Next thickness"},
    {"ShortcutRepeat", "repeatShortCut", "repeatLastAction:", "repeatLabel", "Repeat the last drawing"},
    {"ShortcutShowHideToolbar", "showHideToolbarShortCut", "showHideToolbar:", "showHideToolbarLabel",
     "Show or hide the tool bar"},
    {"ShortcutDissolve", "dissolveShortCut", "dissolveModeWithEvent:", "dissolveLabel", "Freeze or fade mode"},
    {"ShortcutBrush", "brushShortCut", "brushToolWithEvent:", "brushLabel", "Brush"},
    {"ShortcutArrow", "arrowShortCut", "arrowToolWithEvent:", "arrowLabel", "Arrow"},
    {"ShortcutRectangle", "rectangleShortCut", "rectangleToolWithEvent:", "rectangleLabel", "Rectangle"},
    {"ShortcutLine", "lineShortCut", "textToolWithEvent:", "lineLabel", "Text"},
    {"ShortcutClearCanvas", "clearCanvasShortCut", "clearCanvasWithEvent:", "clearCanvasLabel", "Clear the screen"},
    {"ShortcutScissorsCut", "scissorsShortCut", "scissorsCutWithEvent:", "selectiveRemoveLabel", "Scissors"},
    {"ShortcutHand", "handShortCut", "handWithEvent:", "handLabel", "Hand"},
    {"ShortcutCopy", "canvasCopyShortCut", "copyWithEvent:", "canvasCopyLabel", "Copy the drawing"},
    {"ShortcutUndo", "undoShortCut", "undoWithEvent:", "undo", "Undo"},
    {"ShortcutRedo", "redoShortCut", "redoWithEvent:", "redo", "Redo"},
    {"ShortcutMagnify", "magnifyShortCut", "magnifyGWithEvent:", "magnifyLabel", "Magnifier"},
    {"ShortcutColor1", "color1ShortCut", "color1WithEvent:", "colorLabel1", "Color 1"},
    {"ShortcutColor2", "color2ShortCut", "color2WithEvent:", "colorLabel2", "Color 2"},
    {"ShortcutColor3", "color3ShortCut", "color3WithEvent:", "colorLabel3", "Color 3"},
    {"ShortcutColor4", "color4ShortCut", "color4WithEvent:", "colorLabel4", "Color 4"},
    {"ShortcutColor5", "color5ShortCut", "color5WithEvent:", "colorLabel5", "Color 5"},
    {"ShortcutColor6", "color6ShortCut", "color6WithEvent:", "colorLabel6", "Color 6"},
    {"ShortcutColor7", "color7ShortCut", "color7WithEvent:", "colorLabel7", "Color 7"},
    {"ShortcutColor8", "color8ShortCut", "color8WithEvent:", "colorLabel8", "Color 8"},
    {"ShortcutColor9", "color9ShortCut", "color9WithEvent:", "colorLabel9", "Color 9"},
    {"ShortcutColor10", "color10ShortCut", "color10WithEvent:", "colorLabel10", "Color 10"},
    {"ShortcutGhostMode", "pinOnTopShortCut", "pinOnTopWithEvent:", "ghostModeLabel", "Ghost mode"},
    {"ShortcutWhiteboard", "whiteboardShortCut", "whiteboardWithEvent:", "whiteBoardLabel", "Whiteboard"},
    {"ShortcutSemiTansparent", "semiTansparentShortCut", "semiTansparentWithEvent:", "semiTransparencyLabel",
     "Semi-transparent drawing"},
    {"ShortcutBlackAndWhite", "blackAndWhiteShortCut", "blackAndWhiteWithEvent:", "blackWhite", "Black and white"},
    {"ShortcutPrevThickness", "prevThicknessShortCut", "prevThickness:", "prevThickness", "Previous thickness"},
    {"ShortcutColorMode", "colorModeShortCut", "nextColorType:", "colorMode", "Next color mode"},
    {"ShortcutSnapshot", "snapshotShortCut", "takeASnapshotWithEvent:", "takeASnapshot", "Take a snapshot"},
    {"ShortcutShowSnapshots", "showSnapshotsShortCut", "showSnapshotsWithEvent:", "showSnapshots", "Show snapshots"},
    {"ShortcutFlashlight", "flashlightShortCut", "flashlightWithEvent:", "flashlight", "Flashlight"},
    {"ShortcutEmojiAndSymbols", "emojiAndSymbolsShortCut", "openEmojiAndSymbols:", "emojiAndSymbols",
     "Emoji and symbols"},
    {"ShortcutQuit", "quitShortCut", "quitWithEvent:", "quit", "Quit"},
    {"ShortcutStartTextTyping", "startTextTypingShortCut", "startTextTyping:", "startTextTyping", "Start typing text"},
    {"ShortcutColorPicker", "colorPickerShortCut", "colorPickerWithEvent:", "colorPicker", "Color picker"},
    {"ShortcutColorWheel", "colorWheelShortCut", "colorWheelWithEvent:", "colorWheel", "Color wheel"},
    {"ShortcutDazadUdiz", "dazadUdizShortCut", "takeADazadUdizWithEvent:", "takeADazadUdiz", "Take a DazadUdiz"},
    {"ShortcutLevelUp", "levelUpShortCut", "levelUpWithEvent:", "levelUp", "Bring forward"},
    {"ShortcutLevelDown", "levelDownShortCut", "levelDownWithEvent:", "levelDown", "Send backward"},
    {"ShortcutGroup", "groupShortCut", "groupWithEvent:", "group", "Group"},
    {"ShortcutLowerThird", "lowerThirdShortCut", "lowerThirdWithEvent:", "lowerThird", "Lower third"},
    {"ShortcutBadge1", "badge1ShortCut", "badge1WithEvent:", "badgeLabel1", "Badge 1"},
    {"ShortcutBadge2", "badge2ShortCut", "badge2WithEvent:", "badgeLabel2", "Badge 2"},
    {"ShortcutBadge3", "badge3ShortCut", "badge3WithEvent:", "badgeLabel3", "Badge 3"},
    {"ShortcutBadge4", "badge4ShortCut", "badge4WithEvent:", "badgeLabel4", "Badge 4"},
    {"ShortcutBadge5", "badge5ShortCut", "badge5WithEvent:", "badgeLabel5", "Badge 5"},
    {"ShortcutBadge6", "badge6ShortCut", "badge6WithEvent:", "badgeLabel6", "Badge 6"},
    {"ShortcutBadge7", "badge7ShortCut", "badge7WithEvent:", "badgeLabel7", "Badge 7"},
    {"ShortcutBadge8", "badge8ShortCut", "badge8WithEvent:", "badgeLabel8", "Badge 8"},
    {"ShortcutBadge9", "badge9ShortCut", "badge9WithEvent:", "badgeLabel9", "Badge 9"},
    {"ShortcutBadge10", "badge10ShortCut", "badge10WithEvent:", "badgeLabel10", "Badge 10"},
    {"ShortcutPlusBadge", "plusBadgeShortCut", "plusBadgeWithEvent:", "plusBadgeLabel", "Next badge number"},
    {"ShortcutMinusBadge", "minusBadgeShortCut", "minusBadgeWithEvent:", "minusBadgeLabel", "Previous badge number"},
    {"ShortcutResetBadge", "resetBadgeShortCut", "resetBadgeWithEvent:", "resetBadgeLabel", "Reset badge numbers"},
    {"ShortcutSelectAll", "selectAllShortCut", "selectAllWithEvent:", "selectAllLabel", "Select all"},
    {"ShortcutSelectLayer", "selectLayerShortCut", "selectLayerWithEvent:", "selectLayerLabel", "Select a drawing"},
    {"ShortcutClearCanvasEx", "clearCanvasExShortCut", "clearCanvasExlusionWithEvent:", "customClearCanvasLabel",
     "Clear the screen except kept kinds"},
}};

struct SlotChooser
{
    qint64 slot;
    const char *outlet;
    const char *key; // what the key is called on the keyboard
};

// In the order of the preset array: the chooser of slot 10 (W) comes after the one of slot 25 (Z).
constexpr std::array<SlotChooser, MRKOShortcutsViewController::kSlotCount> kSlots = {{
    {0, "actionSlotButton1", "1"},
    {1, "actionSlotButton2", "2"},
    {2, "actionSlotButton3", "3"},
    {3, "actionSlotButton4", "4"},
    {4, "actionSlotButton5", "5"},
    {5, "actionSlotButton6", "6"},
    {6, "actionSlotButton7", "7"},
    {7, "actionSlotButton8", "8"},
    {8, "actionSlotButton9", "9"},
    {9, "actionSlotButton10", "0"},
    {11, "actionSlotBrush", "B"},
    {12, "actionSlotQuickArrow", "Q"},
    {13, "actionSlotArrow", "A"},
    {14, "actionSlotLine", "L"},
    {15, "actionSlotRectangle", "R"},
    {16, "actionSlotEllipse", "E"},
    {17, "actionSlotText", "T"},
    {18, "actionSlotClearScreen", "Backspace"},
    {19, "actionSlotEnlargeBrush", "]"},
    {20, "actionSlotReduceBrush", "["},
    {21, "actionSlotFreezeFade", "F"},
    {22, "actionSlotColorWheel", "C"},
    {23, "actionSlotSnapshots", "S"},
    {24, "actionSlotWhiteboard", "Y"},
    {25, "actionSlotMagnification", "Z"},
    {10, "actionSlotBlackNWhite", "W"},
    {26, "actionSlotSemiTransperency", "O"},
    {27, "actionSlotColorPicker", "I"},
    {28, "actionSlotGlueLayers", "G"},
    {29, "actionSlotPreviousTool", "P"},
}};

QLabel *sectionTitle(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent); // child
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QPushButton *groupButton(const char *outlet, const QString &title, QWidget *parent)
{
    auto *button = new QPushButton(title, parent); // child
    button->setObjectName(QLatin1String(outlet));
    button->setAccessibleName(title);
    return button;
}

} // namespace

MRKOShortcutsViewController &MRKOShortcutsViewController::sharedController()
{
    if (!s_shared)
        s_shared = new MRKOShortcutsViewController; // lives for the process; the options window shows it
    return *s_shared;
}

bool MRKOShortcutsViewController::hasSharedController()
{
    return s_shared != nullptr;
}

MRKOShortcutsViewController::MRKOShortcutsViewController() : QWidget(nullptr)
{
    setObjectName(QStringLiteral("MRKOShortcutsViewController"));
    setWindowTitle(QStringLiteral("Inkora Shortcuts"));
    m_scrollView = new QScrollArea(this); // child
    m_scrollView->setObjectName(QStringLiteral("scrollView"));
    m_scrollView->setWidgetResizable(true);
    m_scrollView->setFrameShape(QFrame::NoFrame);
    auto *layout = new QVBoxLayout(this); // owned by the pane
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scrollView);
    resize(620, 700);
}

MRKOShortcutsViewController::~MRKOShortcutsViewController()
{
    m_swatchObserver.reset();
    platform::RunLoop::main().cancelPreviousPerformRequests(this);
    if (inkora::shortcutsTextFields() == m_shortcutFields)
        inkora::setShortcutsTextFields({});
    m_shortcutFields.clear();
    m_actionSlots.clear();
    if (s_shared == this)
        s_shared = nullptr;
}

QWidget *MRKOShortcutsViewController::containerView() const
{
    return m_containerView;
}

void MRKOShortcutsViewController::showEvent(QShowEvent *event)
{
    loadShortcutsViewIfNeeded();
    QWidget::showEvent(event);
}

void MRKOShortcutsViewController::loadShortcutsViewIfNeeded()
{
    if (!m_viewLoaded)
        viewDidLoad();
    else
        pairFieldsWithDelegate();
}

void MRKOShortcutsViewController::viewDidLoad()
{
    m_shortcutFields.clear();
    m_actionSlots.clear();
    m_colorSegControls.clear();
    m_badgeSegControls.clear();
    buildContainer();
    m_scrollView->setWidget(m_containerView);
    pairFieldsWithDelegate();
    inkora::setShortcutsTextFields(m_shortcutFields);

    MRKOShortcutPresetController &presets = MRKOShortcutPresetController::sharedPresets();
    presets.setShortcutsViewController(this);
    presets.setShortcutPresetsButton(m_shortcutPresetsButton);

    updateControls();
    m_viewLoaded = true;
    m_swatchObserver = platform::NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(MRKOColorSegmentedControl::kUpdateSwatchImagesNotification), nullptr,
        [this](const platform::Notification &) { updateSwatchImagesNotification(); });
}

void MRKOShortcutsViewController::buildContainer()
{
    m_containerView = new MRKOShortcutsView; // the scroll view takes it
    m_containerView->setObjectName(QStringLiteral("containerView"));
    QWidget *container = m_containerView;
    auto *column = new QVBoxLayout(container); // owned by the container
    column->setContentsMargins(20, 16, 20, 20);
    column->setSpacing(10);

    // Presets and the list as PDF
    auto *top = new QHBoxLayout; // owned by the column
    m_shortcutPresetsButton =
        groupButton("shortcutPresetsButton", QStringLiteral("Save or Load Shortcuts Preset"), container);
    top->addWidget(m_shortcutPresetsButton);
    top->addWidget(groupButton("saveShortcutPresetAsButton", QStringLiteral("Save Preset As…"), container));
    QPushButton *pdf = groupButton("saveAsPDFButton", QStringLiteral("Save as PDF…"), container);
    connect(pdf, &QPushButton::clicked, this, &MRKOShortcutsViewController::saveAsPDF);
    top->addWidget(pdf);
    top->addStretch();
    column->addLayout(top);

    // Whole groups, above the long list so that they stay in reach
    auto *shortcutButtons = new QHBoxLayout; // owned by the column
    const std::array<std::pair<const char *, const char *>, 4> shortcutActions = {{
        {"disableAllButton", "Disable All"},
        {"enableAllButton", "Enable All"},
        {"restoreDefaultsButton", "Restore Defaults"},
        {"restoreAllAdjustmentButton", "Restore All to Defaults"},
    }};
    for (const auto &[outlet, title] : shortcutActions)
        shortcutButtons->addWidget(groupButton(outlet, QLatin1String(title), container));
    shortcutButtons->addStretch();
    column->addLayout(shortcutButtons);

    // Command shortcuts
    column->addWidget(sectionTitle(QStringLiteral("Shortcuts"), container));
    auto *fields = new QGridLayout; // owned by the column
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(6);
    for (int i = 0; i < int(kRows.size()); ++i) {
        const Row &row = kRows[size_t(i)];
        auto *label = new QLabel(QLatin1String(row.title), container); // child
        auto *field = new KQTextField(container);                      // child
        field->setObjectName(QLatin1String(row.outlet));
        field->setAccessibleName(QLatin1String(row.title));
        field->setIdentifier(QLatin1String(row.key));
        field->setTag(KQTextField::tagForAction(QLatin1String(row.action)));
        field->setFixedSize(220, 24);
        label->setBuddy(field);
        fields->addWidget(label, i, 0);
        fields->addWidget(field, i, 1);
        m_shortcutFields.append(field);
    }
    fields->setColumnStretch(2, 1);
    column->addLayout(fields);

    // Single keys
    column->addWidget(sectionTitle(QStringLiteral("Single-Key Actions"), container));
    auto *sourceHolder = new QWidget(container); // child: holds the template, never shown
    sourceHolder->setObjectName(QStringLiteral("menuSourceViewContainer"));
    sourceHolder->hide();
    m_sourcePopupButton = new MRKOActionSourcePopupButton(sourceHolder); // child
    m_sourcePopupButton->setObjectName(QStringLiteral("sourcePopupButton"));
    auto *slotGrid = new QGridLayout; // owned by the column
    slotGrid->setHorizontalSpacing(12);
    for (int i = 0; i < int(kSlots.size()); ++i) {
        const SlotChooser &slot = kSlots[size_t(i)];
        auto *label = new QLabel(QLatin1String(slot.key), container);                         // child
        auto *chooser = new MRKOActionPopupButton(slot.slot, m_sourcePopupButton, container); // child
        chooser->setObjectName(QLatin1String(slot.outlet));
        chooser->setAccessibleName(QStringLiteral("Key %1").arg(QLatin1String(slot.key)));
        label->setBuddy(chooser);
        slotGrid->addWidget(label, i / 2, (i % 2) * 2);
        slotGrid->addWidget(chooser, i / 2, (i % 2) * 2 + 1);
        m_actionSlots.append(chooser);
    }
    column->addLayout(slotGrid);
    auto *slotButtons = new QHBoxLayout; // owned by the column
    slotButtons->addWidget(groupButton("resetAllActionsButton", QStringLiteral("Reset All Actions"), container));
    slotButtons->addWidget(groupButton("disableAllActionsButton", QStringLiteral("Disable All Actions"), container));
    slotButtons->addStretch();
    column->addLayout(slotButtons);

    // Custom badge texts and colour swatches, side by side by index
    column->addWidget(sectionTitle(QStringLiteral("Custom Badges and Color Swatches"), container));
    auto *badges = new QGridLayout; // owned by the column
    for (int i = 0; i < kBadgeCount; ++i) {
        auto *label = new QLabel(QString::number(i + 1), container);     // child
        auto *badge = new MRKOTextBadgeShortcutSegControl(i, container); // child
        badge->setObjectName(QStringLiteral("badgeSegControl%1").arg(i + 1));
        badge->setAccessibleName(QStringLiteral("Custom badge %1").arg(i + 1));
        badge->setMinimumSize(180, 22);
        auto *swatch = new MRKOColorSegmentedControl(MRKOColorHueController::keyWithColorHueIndex(quint64(i)),
                                                     quint64(i), container); // child
        swatch->setObjectName(QStringLiteral("colorSegControl%1").arg(i + 1));
        swatch->setAccessibleName(QStringLiteral("Color swatch %1").arg(i + 1));
        swatch->setFixedSize(60, 22);
        badges->addWidget(label, i, 0);
        badges->addWidget(badge, i, 1);
        badges->addWidget(swatch, i, 2);
        m_badgeSegControls.append(badge);
        m_colorSegControls.append(swatch);
    }
    badges->setColumnStretch(3, 1);
    column->addLayout(badges);
    auto *badgeButtons = new QHBoxLayout; // owned by the column
    badgeButtons->addWidget(
        groupButton("resetAllCustomTextBadgesButton", QStringLiteral("Reset All Badges"), container));
    badgeButtons->addWidget(
        groupButton("resetAllColorSwatchesButton", QStringLiteral("Reset All Swatches"), container));
    badgeButtons->addStretch();
    column->addLayout(badgeButtons);

    m_allowFnInGhostModeButton = new QCheckBox(QStringLiteral("Allow Menu-key shortcuts in ghost mode"), container);
    m_allowFnInGhostModeButton->setObjectName(QStringLiteral("allowFnInGhostModeButton"));
    m_allowFnInGhostModeButton->setAccessibleName(m_allowFnInGhostModeButton->text());
    connect(m_allowFnInGhostModeButton, &QCheckBox::clicked, this, &MRKOShortcutsViewController::allowFnInGhostMode);
    column->addWidget(m_allowFnInGhostModeButton);
    column->addStretch();

    const std::array<std::pair<const char *, void (MRKOShortcutsViewController::*)()>, 9> actions = {{
        {"disableAllButton", &MRKOShortcutsViewController::disableAll},
        {"enableAllButton", &MRKOShortcutsViewController::enableAll},
        {"restoreDefaultsButton", &MRKOShortcutsViewController::restoreDefaults},
        {"resetAllActionsButton", &MRKOShortcutsViewController::resetAllActions},
        {"disableAllActionsButton", &MRKOShortcutsViewController::disableAllActions},
        {"resetAllCustomTextBadgesButton", &MRKOShortcutsViewController::resetAllCustomTextBadges},
        {"resetAllColorSwatchesButton", &MRKOShortcutsViewController::resetAllColorSwatches},
        {"restoreAllAdjustmentButton", &MRKOShortcutsViewController::restoreAllAdjustment},
        {"saveShortcutPresetAsButton", &MRKOShortcutsViewController::saveShortcutPresetAs},
    }};
    for (const auto &[outlet, action] : actions) {
        if (auto *button = container->findChild<QPushButton *>(QLatin1String(outlet)))
            connect(button, &QPushButton::clicked, this, action);
    }
}

void MRKOShortcutsViewController::pairFieldsWithDelegate()
{
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate)
        return;
    for (int i = 0; i < m_shortcutFields.size(); ++i) {
        KQTextField *field = m_shortcutFields[i];
        if (field->shortCut())
            continue;
        // The very object the delegate binds, so that editing the field edits the live shortcut.
        if (auto live = delegate->shortCutForProperty(QLatin1String(kRows[size_t(i)].property)))
            field->setShortCut(live);
    }
}

QStringList MRKOShortcutsViewController::shortcutKeys() const
{
    QStringList keys;
    for (const KQTextField *field : m_shortcutFields)
        keys.append(field->identifier());
    return keys;
}

KQTextField *MRKOShortcutsViewController::fieldWithIdentifier(const QString &identifier) const
{
    for (KQTextField *field : m_shortcutFields) {
        if (field->identifier() == identifier)
            return field;
    }
    return nullptr;
}

void MRKOShortcutsViewController::updateControls()
{
    // The box shows the user's own choice: absent reads as off, whatever default is registered.
    if (m_allowFnInGhostModeButton)
        m_allowFnInGhostModeButton->setChecked(
            MRKOUtils::userDefaults().persistentDomain().value(kAllowFnKey).toLongLong() != 0);
}

void MRKOShortcutsViewController::updateCachedOptions()
{
    (void)MRKOUtils::updatedFnShortcutsInGhostMode();
}

void MRKOShortcutsViewController::allowFnInGhostMode()
{
    if (!m_allowFnInGhostModeButton)
        return;
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(m_allowFnInGhostModeButton->isChecked() ? 1 : 0, kAllowFnKey);
    defaults.synchronize();
    (void)MRKOUtils::updatedFnShortcutsInGhostMode();
}

// ---- Group actions ----

void MRKOShortcutsViewController::disableAll()
{
    for (KQTextField *field : std::as_const(m_shortcutFields)) {
        if (const auto live = field->shortCut(); live && !live->disabled())
            field->enableToggleShortcut();
    }
}

void MRKOShortcutsViewController::enableAll()
{
    for (KQTextField *field : std::as_const(m_shortcutFields)) {
        if (const auto live = field->shortCut(); live && live->disabled())
            field->enableToggleShortcut();
    }
}

void MRKOShortcutsViewController::restoreDefaults()
{
    // Everything is unbound before anything is restored, so that no restored combination meets one still held.
    AppDelegate *delegate = AppDelegate::shared();
    if (delegate) {
        delegate->unregisterCommonShortCuts();
        delegate->unregisterApplicationShortCuts();
    }
    KQShortCutMonitor::defaultMonitor().forceRemoveAllShortcuts();
    for (KQTextField *field : std::as_const(m_shortcutFields)) {
        if (field->shortCut())
            field->forceRestoreShortcutNoBind();
    }
    if (delegate) {
        delegate->registerCommonShortCuts();
        delegate->registerApplicationShortCuts();
    }
    for (KQTextField *field : std::as_const(m_shortcutFields))
        field->setNormalColor();
}

void MRKOShortcutsViewController::resetAllActions()
{
    for (MRKOActionPopupButton *chooser : std::as_const(m_actionSlots))
        chooser->resetDefaults();
}

void MRKOShortcutsViewController::disableAllActions()
{
    for (MRKOActionPopupButton *chooser : std::as_const(m_actionSlots))
        chooser->setSkipAction();
}

void MRKOShortcutsViewController::resetAllCustomTextBadges()
{
    for (MRKOTextBadgeShortcutSegControl *badge : std::as_const(m_badgeSegControls))
        badge->restoreDefaults();
}

void MRKOShortcutsViewController::resetAllColorSwatches()
{
    for (MRKOColorSegmentedControl *swatch : std::as_const(m_colorSegControls))
        swatch->restoreDefaults();
    updateActionSlotsMenu();
}

void MRKOShortcutsViewController::restoreAllAdjustment()
{
    restoreDefaults();
    resetAllActions();
    resetAllCustomTextBadges();
    resetAllColorSwatches();
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.removeObjectForKey(kAllowFnKey);
    defaults.synchronize();
    updateControls();
    updateCachedOptions();
}

void MRKOShortcutsViewController::saveShortcutPresetAs()
{
    MRKOShortcutPresetController::sharedPresets().savePresetAs();
}

// ---- Slot menus ----

void MRKOShortcutsViewController::updateActionSlotsMenu()
{
    if (m_sourcePopupButton)
        m_sourcePopupButton->updateMenuImagesSwatches();
    for (MRKOActionPopupButton *chooser : std::as_const(m_actionSlots))
        chooser->updateButtonMenu();
}

void MRKOShortcutsViewController::updateSwatchImagesNotification()
{
    // A burst of swatch changes rebuilds the menus once, 0.1 s after the last of them.
    platform::RunLoop &loop = platform::RunLoop::main();
    loop.cancelPreviousPerformRequests(this);
    loop.performAfterDelay(this, QStringLiteral("performUpdateActionSlotsMenu"), kSlotMenuDelay,
                           [this] { performUpdateActionSlotsMenu(); });
}

void MRKOShortcutsViewController::performUpdateActionSlotsMenu()
{
    updateActionSlotsMenu();
}

// ---- The list as PDF ----

void MRKOShortcutsViewController::saveAsPDF()
{
    MRKOFrontmostApp::beginSaveOperation();
    const QString path =
        platform::services().savePanel
            ? platform::services().savePanel->runModal(QStringLiteral("Inkora Shortcut List"), {QStringLiteral("pdf")})
            : QString();
    if (!path.isEmpty())
        (void)writePDF(path);
    MRKOFrontmostApp::endSaveOperation();
}

bool MRKOShortcutsViewController::writePDF(const QString &path) const
{
    if (!m_containerView)
        return false;
    return inkora::writePanePdf(*m_containerView, path, isDarkAppearance::effectiveAppearanceIsDark(palette()),
                                "saveAsPDF");
}
