#pragma once

#include "foundation/SrgbColor.h"
#include "platform/LayerWidget.h"
#include "platform/NotificationCenter.h"
#include "platform/TouchBar.h"

#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <memory>

class MRKOButton;
class MRKOColorButton;
class MRKODraw;
class MRKOPrefOpacityButton;
class MRKOSmallButton;
class MRKOSmallToggleButton;
class MRKOThicknessButton;
class MRKOToolButton;
class MRKOToolChoseButton;
class MRKOToolPanel;
class MRKOColorPickerTouchBar;
class MRKORainbowTouchBarItem;
class MRKOThicknessTouchBarItem;
class MRKOToolsDelegate;
class MRKOVESplitView;
class MRKOVEView;
class MRKOPreventOrderingView;
class MRKOOptionsController;
namespace platform {
struct Event;
} // namespace platform

/// The floating tool bar of a display: it shows the tool type, colour type, thickness and freeze/fade mode on its
/// buttons, stores the user's choices in the settings, reports each to its delegate (the display's window
/// controller) and to a connected phone, routes the keys pressed while its panel has the keyboard and opens the
/// options side panel. Every tool switch, from a button, a shortcut, a radial menu or the remote, ends here.
class MRKOTools final : public QWidget, public platform::TouchBarDelegate
{
    Q_OBJECT
public:
    static constexpr double kToolViewWidth = 60;   // points
    static constexpr double kToolViewHeight = 446; // points

    /// Builds the button pane and wires the buttons (the view's load).
    explicit MRKOTools(QWidget *parent = nullptr);
    ~MRKOTools() override;

    [[nodiscard]] MRKOToolsDelegate *delegate() const { return m_delegate; }
    void setDelegate(MRKOToolsDelegate *delegate) { m_delegate = delegate; }
    [[nodiscard]] MRKODraw *drawView() const;
    /// Stores the canvas and shows the current custom colour on its button.
    void setDrawView(MRKODraw *drawView);
    [[nodiscard]] MRKOToolPanel *panel() const { return m_panel; }
    void setPanel(MRKOToolPanel *panel) { m_panel = panel; }
    [[nodiscard]] MRKOVEView *toolView() const { return m_toolView; }
    [[nodiscard]] MRKOVESplitView *splitView() const { return m_splitView; }
    /// The options side area; in the split view only while open.
    [[nodiscard]] QWidget *optionsView() const;
    [[nodiscard]] MRKOOptionsController *optionsController() const { return m_optionsController.get(); }

    // Buttons
    [[nodiscard]] MRKOToolChoseButton *brushButton() const { return m_brushButton; }
    [[nodiscard]] MRKOToolChoseButton *arrowButton() const { return m_arrowButton; }
    [[nodiscard]] MRKOToolChoseButton *rectangleButton() const { return m_rectangleButton; }
    [[nodiscard]] MRKOToolButton *lineButton() const { return m_lineButton; }
    [[nodiscard]] MRKOThicknessButton *thicknessButton() const { return m_thicknessButton; }
    [[nodiscard]] MRKOToolButton *dissolveButton() const { return m_dissolveButton; }
    [[nodiscard]] MRKOSmallToggleButton *openMenuButton() const { return m_openMenuButton; }
    [[nodiscard]] MRKOSmallButton *closeButton() const { return m_closeButton; }
    [[nodiscard]] MRKOColorButton *rainbowButton() const { return m_rainbowButton; }
    [[nodiscard]] MRKOColorButton *customColorButton() const { return m_customColorButton; }
    [[nodiscard]] MRKOSmallButton *undoButton() const { return m_undoButton; }
    [[nodiscard]] MRKOSmallButton *redoButton() const { return m_redoButton; }
    [[nodiscard]] MRKOSmallButton *repeatButton() const { return m_repeatButton; }
    [[nodiscard]] MRKOSmallButton *flashlightButton() const { return m_flashlightButton; }
    [[nodiscard]] MRKOSmallToggleButton *scissorsButton() const { return m_scissorsButton; }
    [[nodiscard]] MRKOSmallToggleButton *handButton() const { return m_handButton; }
    /// The button frames of the pane: name, frame in the pane's points (y up).
    struct ButtonFrame
    {
        const char *name;
        QRectF frame;
    };
    [[nodiscard]] static const QList<ButtonFrame> &buttonFrames();
    /// The button of a tool type relative to its display's origin (points, y up); the zero rectangle for a type
    /// without a button or while the panel lies on no display.
    [[nodiscard]] QRectF buttonRectForToolType(quint64 toolType) const;

    // State shown
    [[nodiscard]] quint64 toolType() const { return m_toolType; }
    [[nodiscard]] quint64 colorType() const { return m_colorType; }
    [[nodiscard]] quint64 dissolveMode() const { return m_dissolveMode; }
    [[nodiscard]] MRKOButton *currentToolSelected() const;
    [[nodiscard]] MRKOButton *currentColorTypeSelected() const;
    /// The group button of a tool type: brush for 0, 4 and anything above 7.
    [[nodiscard]] MRKOButton *toolButtonWithType(quint64 toolType) const;
    [[nodiscard]] MRKOButton *selectedToolButton() const { return toolButtonWithType(m_toolType); }

    void setUpView();
    /// Redraws the buttons and drops the touch strip so that it is made again.
    void updateView();

    // Display setters: no settings, no delegate, no remote.
    void setToolType(quint64 toolType);
    void setColorType(quint64 colorType);
    void setDissolveMode(quint64 mode);
    void updateCustomColorButtonsIfNeeded();
    [[nodiscard]] bool wantsToUpdateCustomColorButton() const { return m_colorType == 1; }

    // Button actions; the sender's tag or state carries the value.
    void toolTypeChanged(MRKOButton *sender);
    void colorTypeChanged(MRKOButton *sender);
    void colorPopover(MRKOButton *sender);
    void toggleDissolve(MRKOButton *sender);
    void toolThicknessChanged(MRKOThicknessButton *sender);
    void additionalMenu();
    void toggleSpot(MRKOSmallButton *sender);
    void toggleScissors(MRKOSmallButton *sender);
    void toggleHand(MRKOSmallButton *sender);
    void undoAction();
    void redoAction();
    void repeat();
    void closeApp();
    void minimize();

    // Commands of shortcuts, radial menus, the remote and the application delegate.
    /// Forced: the exact variant, after a pending hand or scissors is only cancelled; not forced: the group with
    /// the variant its button remembers. Types above 6 do nothing.
    void changeToolForced(quint64 toolType, bool forced);
    /// 0 rainbow, anything else custom.
    void changeColorType(quint64 colorType);
    void changeThickness(quint64 preset);
    void changeDissolve();
    void validateAuxAction();
    /// The flashlight indicator at the top of the pane fades in or out over 0.1 s.
    void showLight(bool on);
    [[nodiscard]] platform::LayerWidget *spotImageView() const { return m_spotImageView; }

    // The custom colour and the shared colour popover (MRKOTools+ColorPopover.cpp).
    void prepareColorPopover();
    void setTargetOnColorPopover();
    void updateColorInColorPopover();
    /// Opens the popover to the right of the view, on the main queue.
    void runColorPopoverForView(QWidget *view);
    /// The popover's colour, or the touch strip's or a command's.
    void makeNewColor(const inkora::SrgbColor &color);
    void colorAction(const inkora::SrgbColor &color);
    void closePopoverIfShown();
    void popoverWillClose();

    /// Refreshes undo, redo and repeat after the current event (the notification's handler queues it).
    void updateUndoRedo();

    void updateOpacityButton();
    void makeOpacityButton();
    void removeOpacityButtonIfNeeded();
    [[nodiscard]] MRKOPrefOpacityButton *prefOpacityButton() const;

    void makePreventOrderingOverlay();
    void removePreventOrderingOverlayIfNeeded();
    [[nodiscard]] QWidget *preventOrderingOverlay() const;

    // The options side panel.
    void openMenu();
    void closeMenu();
    void openMenuIfNeeded();
    void closeMenuIfNeeded();
    [[nodiscard]] bool menuIsOpen() const { return m_isMenuOpen; }
    /// The options sidebar's selected row; -1 none.
    [[nodiscard]] qint64 selectedRow() const;
    void selectFirstRowIfNeeded();
    void selectFirstRow();
    void forceSelectFirstRow();
    void forceSelectRemoteRow();
    void forceSelectShortcutRow();
    void forceSelectPrefRow();
    void forceSelectFeedbackRow();
    void forceMakeSidebarFirstResponder();
    /// The options area's Shortcuts pane.
    [[nodiscard]] QWidget *shortcutsController() const;
    void openFirstView();
    void openRemote();
    void openShortcuts();
    void openPreferences();
    void openFeedback();

    /// The five steps of a key pressed while the panel has the keyboard; YES when the key was consumed.
    bool keyDown(const platform::Event &event);

    // The touch strip (MRKOTools+TouchBar.cpp): a model that mirrors the tool bar, made when first asked for.
    [[nodiscard]] platform::TouchBar *touchBar();
    /// Drops the strip; it is made again when next asked for.
    void resetTouchBarIfAvailable();
    [[nodiscard]] int touchBarMakeCount() const { return m_touchBarHost.makeCount(); }
    std::shared_ptr<platform::TouchBarItem> makeItemForIdentifier(platform::TouchBar &bar,
                                                                  const QString &identifier) override;
    void segmentedControlSelected(int segment);
    void segmentedTicknessSelected(int segment);
    void freezeButtonAction(int state);
    void touchBarUpdateIconForBrushToolGroup();
    void touchBarUpdateIconForArrowToolGroup();
    void touchBarUpdateIconForRectangleToolGroup();
    void updateTouchBarColor();
    void showColorsInTouchBarIfNeeded();
    void hideColorsInTouchBarIfNeeded();

private:
    void buildButtons();
    void connectButtons();
    void updateUndoRedoNow();
    void openSidePanelWithRow(void (MRKOTools::*select)());
    [[nodiscard]] bool routeArrowOrSpace(quint16 keyCode);
    [[nodiscard]] std::unique_ptr<platform::TouchBar> makeTouchBar();
    void touchBarUpdateIconForToolGroup(int segment, MRKOButton *button);

    MRKOToolsDelegate *m_delegate = nullptr; // not owned; the window controller outlives its tool bar
    QPointer<MRKODraw> m_drawView;
    MRKOToolPanel *m_panel = nullptr;                           // not owned; the panel owns this controller
    MRKOVESplitView *m_splitView = nullptr;                     // child
    MRKOVEView *m_toolView = nullptr;                           // child of the split view
    std::unique_ptr<MRKOOptionsController> m_optionsController; // in the split view only while open
    QPointer<platform::LayerWidget> m_spotImageView;
    QPointer<MRKOPrefOpacityButton> m_prefOpacityButton;
    QPointer<MRKOPreventOrderingView> m_preventOrderingOverlay;
    QPointer<MRKOButton> m_currentToolSelected;
    QPointer<MRKOButton> m_currentColorTypeSelected;
    // Buttons: children of the pane.
    MRKOToolChoseButton *m_brushButton = nullptr;
    MRKOToolChoseButton *m_arrowButton = nullptr;
    MRKOToolChoseButton *m_rectangleButton = nullptr;
    MRKOToolButton *m_lineButton = nullptr;
    MRKOThicknessButton *m_thicknessButton = nullptr;
    MRKOToolButton *m_dissolveButton = nullptr;
    MRKOSmallToggleButton *m_openMenuButton = nullptr;
    MRKOSmallButton *m_closeButton = nullptr;
    MRKOColorButton *m_rainbowButton = nullptr;
    MRKOColorButton *m_customColorButton = nullptr;
    MRKOSmallButton *m_undoButton = nullptr;
    MRKOSmallButton *m_redoButton = nullptr;
    MRKOSmallButton *m_repeatButton = nullptr;
    MRKOSmallButton *m_flashlightButton = nullptr;
    MRKOSmallToggleButton *m_scissorsButton = nullptr;
    MRKOSmallToggleButton *m_handButton = nullptr;
    platform::ObserverToken m_undoRedoObserver;
    platform::ObserverToken m_semiTransparentObserver;
    quint64 m_toolType = 0;
    quint64 m_colorType = 0;
    quint64 m_dissolveMode = 0;
    bool m_isMenuOpen = false;

    // The touch strip's items: the strong ones outlive a drop, the weak ones go with it.
    platform::TouchBarHost m_touchBarHost{[this] { return makeTouchBar(); }};
    std::shared_ptr<platform::TouchBarItem> m_touchBarItem;
    std::shared_ptr<platform::TouchBarItem> m_colorGroupBarItem;
    std::weak_ptr<platform::TouchBarItem> m_toolsGroupTouchBar;
    std::shared_ptr<MRKOThicknessTouchBarItem> m_thicknessTouchBar;
    std::shared_ptr<MRKORainbowTouchBarItem> m_rainbowTouchBar;
    std::shared_ptr<MRKOColorPickerTouchBar> m_colorWheelTouchBar;
    std::weak_ptr<platform::TouchBarItem> m_freezeButton;
    std::weak_ptr<platform::TouchBarItem> m_repeatBarButton;
};
