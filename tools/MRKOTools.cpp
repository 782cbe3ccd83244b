#include "tools/MRKOTools.h"

#include "app/AppDelegate.h"
#include "app/LiveSettings.h"
#include "app/MRKOFrontmostApp.h"
#include "app/MRKORecentTools.h"
#include "canvas/MRKODraw.h"
#include "canvas/MRKOHolder.h"
#include "canvas/MRKOPreventOrderingView.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSEvent+MouseEvent.h"
#include "platform/Animation.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/ImageLoader.h"
#include "platform/Layer.h"
#include "platform/LayerWidget.h"
#include "platform/Screens.h"
#include "platform/Transaction.h"
#include "platform/UndoManager.h"
#include "settings/MRKOOptionsController.h"
#include "settings/MRKOPrefOpacityButton.h"
#include "settings/OptionsSidebar.h"
#include "tools/MRKOColorButton.h"
#include "tools/MRKOSmallButton.h"
#include "tools/MRKOSmallToggleButton.h"
#include "tools/MRKOThicknessButton.h"
#include "tools/MRKOToolButton.h"
#include "tools/MRKOToolChoseButton.h"
#include "tools/MRKOToolColor.h"
#include "tools/MRKOToolPanel.h"
#include "tools/MRKOToolsDelegate.h"
#include "tools/MRKOTouchBarItems.h"
#include "tools/MRKOVESplitView.h"
#include "tools/MRKOVEView.h"
#include "tools/SeparatorBox.h"
#include "tools/ToolBarRemote.h"
#include "tools/ToolPanelKeyHandler.h"
#include "tools/ToolsNeighbours.h"

#include <memory>

namespace {

const QString kToolTypeKey = QStringLiteral("ToolTypeKey");
const QString kColorTypeKey = QStringLiteral("ColorTypeKey");
const QString kDissolveModeKey = QStringLiteral("DissolveModeKey");
const QString kMRKOUpdateSemiTransparentNotification = QStringLiteral("MRKOUpdateSemiTransparentNotification");
constexpr double kSpotHeight = 64;        // points of the flashlight indicator at the top of the pane
constexpr double kSpotFade = 0.1;         // seconds
constexpr double kOpacityButtonSize = 32; // points

// The pane's layout, points, y up in the 60 x 446 pane.
const QRectF kSeparators[] = {{10, 215, 40, 5}, {10, 170, 40, 5}, {10, 68, 40, 5}};
const QRectF kCloseFrame(4, 428, 14, 14);
const QRectF kBrushFrame(10, 382, 40, 40);
const QRectF kArrowFrame(10, 342, 40, 40);
const QRectF kRectangleFrame(10, 302, 40, 40);
const QRectF kTextFrame(10, 262, 40, 40);
const QRectF kDissolveFrame(10, 222, 40, 40);
const QRectF kThicknessFrame(10, 175, 40, 40);
const QRectF kRainbowFrame(10, 124, 40, 40);
const QRectF kCustomColorFrame(10, 80, 40, 40);
const QRectF kUndoFrame(0, 44, 20, 20);
const QRectF kRedoFrame(20, 44, 20, 20);
const QRectF kRepeatFrame(40, 44, 20, 20);
const QRectF kFlashlightFrame(0, 23, 20, 20);
const QRectF kScissorsFrame(20, 23, 20, 20);
const QRectF kHandFrame(40, 23, 20, 20);
const QRectF kOptionsFrame(20, 2, 20, 20);

template <typename Button> Button *place(Button *button, const QRectF &frame)
{
    inkora::setFrameInParent(*button, frame);
    return button;
}

} // namespace

const QList<MRKOTools::ButtonFrame> &MRKOTools::buttonFrames()
{
    static const QList<ButtonFrame> frames = {
        {"closeButton", kCloseFrame},
        {"brushButton", kBrushFrame},
        {"arrowButton", kArrowFrame},
        {"rectangleButton", kRectangleFrame},
        {"lineButton", kTextFrame},
        {"dissolveButton", kDissolveFrame},
        {"thicknessButton", kThicknessFrame},
        {"rainbowButton", kRainbowFrame},
        {"customColorButton", kCustomColorFrame},
        {"undoButton", kUndoFrame},
        {"redoButton", kRedoFrame},
        {"repeatButton", kRepeatFrame},
        {"flashlightButton", kFlashlightFrame},
        {"scissorsButton", kScissorsFrame},
        {"handButton", kHandFrame},
        {"openMenuButton", kOptionsFrame},
    };
    return frames;
}

MRKOTools::MRKOTools(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    resize(int(kToolViewWidth), int(kToolViewHeight));
    m_splitView = new MRKOVESplitView(this); // child
    m_splitView->setGeometry(rect());
    m_toolView = new MRKOVEView(m_splitView); // child
    m_toolView->setToolsController(this);
    m_toolView->resize(int(kToolViewWidth), int(kToolViewHeight));
    buildButtons();
    for (const QRectF &separator : kSeparators)
        inkora::makeSeparatorBox(*m_toolView, separator);
    connectButtons();
    // The panel's keys reach this view, which keeps the panel's focus.
    installEventFilter(
        new inkora::ToolPanelKeyHandler([this](const platform::Event &event) { return keyDown(event); }, this));
    m_optionsController = std::make_unique<MRKOOptionsController>();
    m_optionsController->resize(int(MRKOOptionsController::kSidebarWidth + MRKOOptionsController::kContentWidth),
                                int(kToolViewHeight));
    m_optionsController->setOpenMenu(m_openMenuButton);
    setUpView();
    updateUndoRedoNow();
    QPointer<MRKOTools> self(this);
    platform::NotificationCenter &center = platform::NotificationCenter::defaultCenter();
    m_undoRedoObserver = center.addObserver(kMRKOUpdateUndoRedoNotification, nullptr, [self](const auto &) {
        if (self)
            self->updateUndoRedo();
    });
    m_semiTransparentObserver =
        center.addObserver(kMRKOUpdateSemiTransparentNotification, nullptr, [self](const auto &) {
            if (self)
                self->updateOpacityButton();
        });
    updateOpacityButton();
}

MRKOTools::~MRKOTools()
{
    if (m_optionsController)
        m_optionsController->setParent(nullptr); // owned here, not by the split view
}

void MRKOTools::buildButtons()
{
    MRKOVEView &view = *m_toolView;
    m_closeButton = place(new MRKOSmallButton(QStringLiteral("CloseToolbar"), &view), kCloseFrame);
    m_closeButton->setImageName(QStringLiteral("MRKOCloseToolbar"));
    m_brushButton = place(new MRKOToolChoseButton(QStringLiteral("Brush"), 0, &view), kBrushFrame);
    m_arrowButton = place(new MRKOToolChoseButton(QStringLiteral("Arrow"), 1, &view), kArrowFrame);
    m_rectangleButton = place(new MRKOToolChoseButton(QStringLiteral("Rectangle"), 2, &view), kRectangleFrame);
    m_lineButton = place(new MRKOToolButton(QStringLiteral("Text"), &view), kTextFrame);
    m_lineButton->setImageName(QStringLiteral("TextMedium"));
    m_lineButton->setTag(3);
    m_dissolveButton = place(new MRKOToolButton(QStringLiteral("FreezeMode"), &view), kDissolveFrame);
    m_dissolveButton->setImageName(QStringLiteral("DissolveMedium"));
    m_dissolveButton->setAlternateImageName(QStringLiteral("DissolveOffMedium"));
    m_dissolveButton->setTag(2);
    m_thicknessButton = place(new MRKOThicknessButton(QStringLiteral("Thickness"), &view), kThicknessFrame);
    m_rainbowButton = place(new MRKOColorButton(QStringLiteral("Rainbow"), 0, &view), kRainbowFrame);
    m_customColorButton = place(new MRKOColorButton(QStringLiteral("ColorWheel"), 1, &view), kCustomColorFrame);
    m_undoButton = place(new MRKOSmallButton(QStringLiteral("Undo"), &view), kUndoFrame);
    m_undoButton->setImageName(QStringLiteral("MRKOUndo"));
    m_redoButton = place(new MRKOSmallButton(QStringLiteral("Redo"), &view), kRedoFrame);
    m_redoButton->setImageName(QStringLiteral("MRKORedo"));
    m_repeatButton = place(new MRKOSmallButton(QStringLiteral("Repeat"), &view), kRepeatFrame);
    m_repeatButton->setImageName(QStringLiteral("MRKORepeat"));
    m_flashlightButton = place(new MRKOSmallButton(QStringLiteral("Flashlight"), &view), kFlashlightFrame);
    m_flashlightButton->setImageName(QStringLiteral("MRKOFlashlight"));
    m_scissorsButton = place(new MRKOSmallToggleButton(QStringLiteral("Scissors"), &view), kScissorsFrame);
    m_scissorsButton->setImageName(QStringLiteral("MRKOScissors"));
    m_scissorsButton->setAlternateImageName(QStringLiteral("MRKOScissorsOn"));
    m_handButton = place(new MRKOSmallToggleButton(QStringLiteral("Hand"), &view), kHandFrame);
    m_handButton->setImageName(QStringLiteral("MRKOHand"));
    m_handButton->setAlternateImageName(QStringLiteral("MRKOHandOn"));
    m_openMenuButton = place(new MRKOSmallToggleButton(QStringLiteral("Options"), &view), kOptionsFrame);
    m_openMenuButton->setImageName(QStringLiteral("MRKOOptions"));

    // The pane's outlets, as the buttons find their controller through it.
    view.brushButton = m_brushButton;
    view.arrowButton = m_arrowButton;
    view.rectangleButton = m_rectangleButton;
    view.lineButton = m_lineButton;
    view.thicknessButton = m_thicknessButton;
    view.dissolveButton = m_dissolveButton;
    view.openMenuButton = m_openMenuButton;
    view.rainbowButton = m_rainbowButton;
    view.customColorButton = m_customColorButton;
    view.flashlightButton = m_flashlightButton;
    view.undoButton = m_undoButton;
    view.redoButton = m_redoButton;
    view.repeatButton = m_repeatButton;
    view.scissorsButton = m_scissorsButton;
    view.handButton = m_handButton;
}

void MRKOTools::connectButtons()
{
    for (MRKOButton *button :
         std::initializer_list<MRKOButton *>{m_brushButton, m_arrowButton, m_rectangleButton, m_lineButton,
                                             m_dissolveButton, m_thicknessButton, m_rainbowButton, m_customColorButton})
        button->setDelegate(this);
    for (MRKOButton *group :
         std::initializer_list<MRKOButton *>{m_brushButton, m_arrowButton, m_rectangleButton, m_lineButton})
        connect(group, &MRKOButton::actionSent, this, &MRKOTools::toolTypeChanged);
    connect(m_dissolveButton, &MRKOButton::actionSent, this, &MRKOTools::toggleDissolve);
    connect(m_thicknessButton, &MRKOButton::actionSent, this,
            [this](MRKOButton *sender) { toolThicknessChanged(static_cast<MRKOThicknessButton *>(sender)); });
    connect(m_rainbowButton, &MRKOButton::actionSent, this, &MRKOTools::colorTypeChanged);
    connect(m_customColorButton, &MRKOButton::actionSent, this, &MRKOTools::colorPopover);
    connect(m_undoButton, &MRKOSmallButton::actionSent, this, [this] { undoAction(); });
    connect(m_redoButton, &MRKOSmallButton::actionSent, this, [this] { redoAction(); });
    connect(m_repeatButton, &MRKOSmallButton::actionSent, this, [this] { repeat(); });
    connect(m_flashlightButton, &MRKOSmallButton::actionSent, this, &MRKOTools::toggleSpot);
    connect(m_scissorsButton, &MRKOSmallButton::actionSent, this, &MRKOTools::toggleScissors);
    connect(m_handButton, &MRKOSmallButton::actionSent, this, &MRKOTools::toggleHand);
    connect(m_openMenuButton, &MRKOSmallButton::actionSent, this, [this] { additionalMenu(); });
    // The close button is the panel's minimise control: the tools give way to the small sticker.
    connect(m_closeButton, &MRKOSmallButton::actionSent, this, [this] { minimize(); });
}

MRKODraw *MRKOTools::drawView() const
{
    return m_drawView;
}

void MRKOTools::setDrawView(MRKODraw *drawView)
{
    m_drawView = drawView;
    m_customColorButton->setColor(MRKOToolColor::toolColor().color());
}

MRKOButton *MRKOTools::currentToolSelected() const
{
    return m_currentToolSelected;
}

MRKOButton *MRKOTools::currentColorTypeSelected() const
{
    return m_currentColorTypeSelected;
}

MRKOButton *MRKOTools::toolButtonWithType(quint64 toolType) const
{
    switch (toolType) {
    case 1:
    case 5:
        return m_arrowButton;
    case 2:
    case 6:
        return m_rectangleButton;
    case 3:
    case 7:
        return m_lineButton;
    default:
        return m_brushButton;
    }
}

QRectF MRKOTools::buttonRectForToolType(quint64 toolType) const
{
    if (toolType > 7 || !m_panel)
        return {};
    const MRKOButton *button = toolButtonWithType(toolType);
    const QRect global(button->mapToGlobal(QPoint(0, 0)), button->size());
    const QRectF display = m_panel->screenFrame();
    if (display.isNull())
        return {};
    return platform::frameFromQt(global).translated(-display.topLeft());
}

void MRKOTools::setUpView()
{
    // The options side panel's header follows the close button once its pages exist.
}

void MRKOTools::updateView()
{
    setUpView();
    for (QWidget *button :
         std::initializer_list<QWidget *>{m_brushButton, m_arrowButton, m_rectangleButton, m_lineButton,
                                          m_dissolveButton, m_openMenuButton, m_customColorButton})
        button->update();
    resetTouchBarIfAvailable();
}

// ---------------------------------------------------------------------------------------------------------------
// Display setters

void MRKOTools::setToolType(quint64 toolType)
{
    if (m_currentToolSelected)
        m_currentToolSelected->setState(0);
    m_currentToolSelected = nullptr;
    m_toolType = toolType;
    if (const auto control = m_toolsGroupTouchBar.lock())
        control->setSelectedSegment(int(toolType & 3));
    MRKORecentTools::recentTools().setToolType(toolType & 3);
    switch (toolType) {
    case 0:
    case 4:
        m_currentToolSelected = m_brushButton;
        m_brushButton->setState(1);
        touchBarUpdateIconForBrushToolGroup();
        break;
    case 1:
    case 5:
        m_currentToolSelected = m_arrowButton;
        m_arrowButton->setState(1);
        touchBarUpdateIconForArrowToolGroup();
        break;
    case 2:
    case 6:
        m_currentToolSelected = m_rectangleButton;
        m_rectangleButton->setState(1);
        touchBarUpdateIconForRectangleToolGroup();
        break;
    case 3:
        m_currentToolSelected = m_lineButton;
        m_lineButton->setState(1);
        break;
    default:
        break;
    }
}

void MRKOTools::setColorType(quint64 colorType)
{
    if (m_currentColorTypeSelected)
        m_currentColorTypeSelected->setState(0);
    m_currentColorTypeSelected = nullptr;
    m_colorType = colorType;
    if (colorType == 1) {
        m_currentColorTypeSelected = m_customColorButton;
        if (m_colorWheelTouchBar) {
            m_rainbowTouchBar->setSelected(false);
            m_colorWheelTouchBar->setSelected(true);
        }
    } else if (colorType == 0) {
        m_currentColorTypeSelected = m_rainbowButton;
        if (m_colorWheelTouchBar) {
            m_rainbowTouchBar->setSelected(true);
            m_colorWheelTouchBar->setSelected(false);
        }
    }
    if (m_currentColorTypeSelected)
        m_currentColorTypeSelected->setState(1);
    updateCustomColorButtonsIfNeeded();
}

void MRKOTools::setDissolveMode(quint64 mode)
{
    m_dissolveMode = mode;
    m_dissolveButton->setState(mode != 0 ? 1 : 0);
    if (const auto freeze = m_freezeButton.lock())
        freeze->setState(mode != 0 ? 1 : 0);
}

void MRKOTools::updateCustomColorButtonsIfNeeded()
{
    if (!wantsToUpdateCustomColorButton())
        return;
    const inkora::SrgbColor color = MRKOToolColor::toolColor().color();
    if (!(m_customColorButton->color() == color))
        m_customColorButton->setColor(color);
    if (m_colorWheelTouchBar && !(m_colorWheelTouchBar->color() == color))
        m_colorWheelTouchBar->setColor(color);
}

// ---------------------------------------------------------------------------------------------------------------
// Button actions

void MRKOTools::toolTypeChanged(MRKOButton *sender)
{
    const quint64 toolType = quint64(sender->tag());
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(qint64(toolType), kToolTypeKey);
    defaults.synchronize();
    setToolType(toolType);
    if (m_delegate)
        m_delegate->toolTypeChanged(toolType);
    if (inkora::ToolBarRemote &remote = inkora::toolBarRemote(); remote.isConnected())
        remote.sendToolType(toolType);
}

void MRKOTools::colorTypeChanged(MRKOButton *sender)
{
    const quint64 colorType = quint64(sender->tag());
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(qint64(colorType), kColorTypeKey);
    defaults.synchronize();
    setColorType(colorType);
    if (m_delegate)
        m_delegate->colorTypeChanged(colorType);
    if (inkora::ToolBarRemote &remote = inkora::toolBarRemote(); remote.isConnected()) {
        remote.sendColorType(colorType);
        remote.sendHue();
    }
}

void MRKOTools::toggleDissolve(MRKOButton *sender)
{
    const quint64 mode = sender->state() == 1 ? 1 : 0;
    setDissolveMode(mode);
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(qint64(mode), kDissolveModeKey);
    defaults.synchronize();
    if (inkora::ToolBarRemote &remote = inkora::toolBarRemote(); remote.isConnected())
        remote.sendDissolve(mode);
    if (m_delegate)
        m_delegate->dissolveModeChanged(m_dissolveMode);
}

void MRKOTools::toolThicknessChanged(MRKOThicknessButton *sender)
{
    if (m_thicknessTouchBar)
        m_thicknessTouchBar->setThickness(sender->thickness());
    if (m_delegate)
        m_delegate->toolThicknessChanged(sender->thickness());
}

void MRKOTools::additionalMenu()
{
    if (m_isMenuOpen)
        closeMenu();
    else
        openMenu();
}

void MRKOTools::toggleSpot(MRKOSmallButton *sender)
{
    AppDelegate *delegate = AppDelegate::shared();
    if (!delegate)
        return;
    // In ghost mode the program comes forward first, so that the light takes the pointer.
    if (sender && sender->state() == 0 && delegate->isPinnedOnTop())
        (void)MRKOFrontmostApp::makeFrontmostIfNeeded();
    delegate->performAction(QStringLiteral("flashlightWithEvent:"), nullptr);
}

void MRKOTools::toggleScissors(MRKOSmallButton *)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->toggleScissors();
}

void MRKOTools::toggleHand(MRKOSmallButton *)
{
    if (AppDelegate *delegate = AppDelegate::shared())
        delegate->toggleHand();
}

void MRKOTools::undoAction()
{
    if (m_delegate)
        m_delegate->undo(this);
}

void MRKOTools::redoAction()
{
    if (m_delegate)
        m_delegate->redo(this);
}

void MRKOTools::repeat()
{
    if (m_delegate)
        m_delegate->repeat(this);
}

void MRKOTools::closeApp()
{
    if (m_delegate)
        m_delegate->closeApp(this);
}

void MRKOTools::minimize()
{
    if (m_delegate)
        m_delegate->hideTools(this);
}

// ---------------------------------------------------------------------------------------------------------------
// Commands

void MRKOTools::changeToolForced(quint64 toolType, bool forced)
{
    AppDelegate *delegate = AppDelegate::shared();
    if (forced && delegate && delegate->hasAuxActions()) {
        // A forced switch first only cancels the hand or the scissors.
        delegate->removeAuxActionIfNeeded();
        return;
    }
    if (toolType > 6)
        return;
    MRKOButton *button = toolButtonWithType(toolType);
    button->setState(1);
    if (toolType != 3 && forced) {
        auto *group = static_cast<MRKOToolChoseButton *>(button);
        group->setTag(qint64(toolType));
        group->saveTool();
    }
    toolTypeChanged(button);
}

void MRKOTools::changeColorType(quint64 colorType)
{
    colorTypeChanged(colorType != 0 ? m_customColorButton : m_rainbowButton);
}

void MRKOTools::changeThickness(quint64 preset)
{
    m_thicknessButton->changeThickness(preset);
}

void MRKOTools::changeDissolve()
{
    m_dissolveButton->setState(m_dissolveMode == 0 ? 1 : 0);
    toggleDissolve(m_dissolveButton);
}

void MRKOTools::validateAuxAction()
{
    if (auto *button = qobject_cast<MRKOToolButton *>(selectedToolButton()))
        button->setWantToCheckAuxAction(true);
}

void MRKOTools::showLight(bool on)
{
    if (!m_spotImageView) {
        auto *spot = new platform::LayerWidget(m_toolView); // child
        spot->setObjectName(QStringLiteral("spotImageView"));
        spot->setAttribute(Qt::WA_TransparentForMouseEvents); // clicks pass through to the pane
        inkora::setFrameInParent(*spot, QRectF(0, kToolViewHeight - kSpotHeight, kToolViewWidth, kSpotHeight));
        spot->stackUnder(m_brushButton);
        const platform::LayerPtr image = platform::Layer::create();
        {
            platform::TransactionScope noActions(true);
            const double scale = devicePixelRatioF();
            image->setFrame(QRectF(0, 0, kToolViewWidth, kSpotHeight));
            image->setContents(
                std::make_shared<QImage>(platform::ImageLoader::namedImage(QStringLiteral("MRKOSpotLight"), scale)));
            image->setContentsScale(scale);
            image->setOpacity(0);
            spot->rootLayer()->addSublayer(image);
        }
        spot->show();
        m_spotImageView = spot;
    }
    const platform::LayerPtr image = m_spotImageView->rootLayer()->sublayers().front();
    const double target = on ? 1.0 : 0.0;
    platform::Transaction::begin();
    platform::BasicAnimation fade(QStringLiteral("opacity"));
    fade.setToValue(target);
    fade.setDuration(kSpotFade);
    image->addAnimation(fade, QStringLiteral("opacity"));
    image->setOpacity(target);
    platform::Transaction::commit();
    m_flashlightButton->setState(on ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------------------------
// Undo, redo, repeat

void MRKOTools::updateUndoRedo()
{
    QPointer<MRKOTools> self(this);
    platform::DispatchQueue::main().async([self] {
        if (self)
            self->updateUndoRedoNow();
    });
}

void MRKOTools::updateUndoRedoNow()
{
    platform::UndoManager &undo = AppDelegate::undoManager();
    m_undoButton->setEnabled(undo.canUndo());
    m_redoButton->setEnabled(undo.canRedo());
    const MRKOHolder &holder = MRKOHolder::sharedHolder();
    m_repeatButton->setEnabled(holder.layer() && holder.draw());
    if (const auto repeat = m_repeatBarButton.lock())
        repeat->setEnabled(holder.layer() && holder.draw());
    if (inkora::ToolBarRemote &remote = inkora::toolBarRemote(); remote.isConnected())
        remote.sendUndoMask();
}

// ---------------------------------------------------------------------------------------------------------------
// Opacity button and click catcher

void MRKOTools::updateOpacityButton()
{
    if (inkora::liveSettings().needSemitransparent)
        makeOpacityButton();
    else
        removeOpacityButtonIfNeeded();
}

void MRKOTools::makeOpacityButton()
{
    if (m_prefOpacityButton)
        return;
    auto *button = new MRKOPrefOpacityButton(m_toolView); // child
    const QRectF colors = inkora::frameInParent(*m_rainbowButton).united(inkora::frameInParent(*m_customColorButton));
    inkora::setFrameInParent(*button,
                             QRectF(kToolViewWidth - kOpacityButtonSize, colors.center().y() - kOpacityButtonSize / 2,
                                    kOpacityButtonSize, kOpacityButtonSize));
    button->setState(1);
    button->setDisableDraw(true);
    button->stackUnder(m_rainbowButton);
    button->show();
    m_prefOpacityButton = button;
}

void MRKOTools::removeOpacityButtonIfNeeded()
{
    if (!m_prefOpacityButton)
        return;
    m_prefOpacityButton->hide();
    m_prefOpacityButton->deleteLater();
    m_prefOpacityButton = nullptr;
}

MRKOPrefOpacityButton *MRKOTools::prefOpacityButton() const
{
    return m_prefOpacityButton;
}

void MRKOTools::makePreventOrderingOverlay()
{
    if (m_preventOrderingOverlay)
        return;
    auto *overlay = new MRKOPreventOrderingView(m_toolView); // child
    // It keeps the panel from coming forward; the buttons under it still take their presses.
    overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    overlay->setGeometry(m_toolView->rect());
    overlay->show();
    m_preventOrderingOverlay = overlay;
}

void MRKOTools::removePreventOrderingOverlayIfNeeded()
{
    if (!m_preventOrderingOverlay)
        return;
    m_preventOrderingOverlay->hide();
    m_preventOrderingOverlay->deleteLater();
    m_preventOrderingOverlay = nullptr;
}

QWidget *MRKOTools::preventOrderingOverlay() const
{
    return m_preventOrderingOverlay;
}

// ---------------------------------------------------------------------------------------------------------------
// The options side panel

QWidget *MRKOTools::optionsView() const
{
    return m_optionsController.get();
}

void MRKOTools::openMenu()
{
    m_optionsController->setToolsViewController(this);
    m_optionsController->setParent(m_splitView);
    m_optionsController->show();
    m_splitView->adjustSubviews();
    const QSizeF size(m_optionsController->width() + kToolViewWidth, kToolViewHeight);
    resize(size.toSize());
    m_splitView->resize(size.toSize());
    if (m_panel)
        m_panel->setContentSize(size);
    selectFirstRowIfNeeded();
    m_isMenuOpen = true;
    if (m_openMenuButton->state() != 1)
        m_openMenuButton->setState(1);
}

void MRKOTools::closeMenu()
{
    m_optionsController->hide();
    m_optionsController->setParent(nullptr);
    m_splitView->adjustSubviews();
    const QSizeF size(kToolViewWidth, kToolViewHeight);
    resize(size.toSize());
    m_splitView->resize(size.toSize());
    if (m_panel) {
        m_panel->setContentSize(size);
        m_panel->makeContentViewAsFirstResponder();
    }
    m_isMenuOpen = false;
    if (m_openMenuButton->state() == 1)
        m_openMenuButton->setState(0);
}

void MRKOTools::openMenuIfNeeded()
{
    if (!m_isMenuOpen)
        openMenu();
}

void MRKOTools::closeMenuIfNeeded()
{
    if (m_isMenuOpen)
        closeMenu();
}

qint64 MRKOTools::selectedRow() const
{
    return m_optionsController->selectedRow();
}

void MRKOTools::selectFirstRowIfNeeded()
{
    if (selectedRow() == -1)
        selectFirstRow();
}

void MRKOTools::selectFirstRow()
{
    if (!m_optionsController->loadSelection())
        m_optionsController->selectRow(MRKOOptionsController::kFirstRow);
}

void MRKOTools::forceSelectFirstRow()
{
    m_optionsController->selectRow(MRKOOptionsController::kFirstRow);
}

void MRKOTools::forceSelectRemoteRow()
{
    m_optionsController->selectRow(MRKOOptionsController::kRemoteRow);
}

void MRKOTools::forceSelectShortcutRow()
{
    m_optionsController->selectRow(MRKOOptionsController::kShortcutsRow);
}

void MRKOTools::forceSelectPrefRow()
{
    m_optionsController->selectRow(MRKOOptionsController::kPreferencesRow);
}

void MRKOTools::forceSelectFeedbackRow()
{
    m_optionsController->selectRow(MRKOOptionsController::kFeedbackRow);
}

void MRKOTools::forceMakeSidebarFirstResponder()
{
    m_optionsController->sidebar()->setFocus(Qt::OtherFocusReason);
}

QWidget *MRKOTools::shortcutsController() const
{
    return m_optionsController->shortcutsViewController();
}

void MRKOTools::openSidePanelWithRow(void (MRKOTools::*select)())
{
    if (m_panel)
        m_panel->makeKeyWindow();
    setFocus(Qt::OtherFocusReason);
    openMenuIfNeeded();
    (this->*select)();
}

void MRKOTools::openFirstView()
{
    openSidePanelWithRow(&MRKOTools::forceSelectFirstRow);
}

void MRKOTools::openRemote()
{
    openSidePanelWithRow(&MRKOTools::forceSelectRemoteRow);
}

void MRKOTools::openShortcuts()
{
    openSidePanelWithRow(&MRKOTools::forceSelectShortcutRow);
}

void MRKOTools::openPreferences()
{
    openSidePanelWithRow(&MRKOTools::forceSelectPrefRow);
}

void MRKOTools::openFeedback()
{
    openSidePanelWithRow(&MRKOTools::forceSelectFeedbackRow);
}
