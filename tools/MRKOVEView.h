#pragma once

#include <QPointF>
#include <QPointer>
#include <QWidget>

class MRKOButton;
class MRKOColorButton;
class MRKOSmallButton;
class MRKOSmallToggleButton;
class MRKOThicknessButton;
class MRKOToolButton;
class MRKOToolChoseButton;
class MRKOTools;

/// The tool panel's button pane: a flat translucent fill that carries the buttons. While the system cursor is
/// hidden it draws a brush cursor of its own under the pointer, so the pointer never vanishes over the panel.
class MRKOVEView final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOVEView(QWidget *parent = nullptr);

    [[nodiscard]] MRKOTools *toolsController() const { return m_toolsController; }
    void setToolsController(MRKOTools *controller) { m_toolsController = controller; }

    /// The pointer's arrival, moves and departure over the pane, in the pane's points (y up); the tool panel reports
    /// them for the whole pane, buttons included.
    void mouseEntered(QPointF location);
    void mouseMoved(QPointF location);
    void mouseExited();
    /// A press lands here: a drawn cursor left over after the system cursor came back goes.
    void hitTest();
    [[nodiscard]] bool mouseDownCanMoveWindow() const { return true; }

    void makeFakeCursorLayerIfNeeded();
    void updateFakeCursorPosition(QPointF location);
    void removeFakeCursorIfNeeded();
    [[nodiscard]] QWidget *fakeCursorLayer() const { return m_fakeCursorLayer; }
    [[nodiscard]] bool cursorWasHidden() const { return m_cursorWasHidden; }

    // The buttons on the pane.
    MRKOToolChoseButton *brushButton = nullptr;
    MRKOToolChoseButton *arrowButton = nullptr;
    MRKOToolChoseButton *rectangleButton = nullptr;
    MRKOToolButton *lineButton = nullptr;
    MRKOThicknessButton *thicknessButton = nullptr;
    MRKOToolButton *dissolveButton = nullptr;
    MRKOSmallToggleButton *openMenuButton = nullptr;
    MRKOColorButton *rainbowButton = nullptr;
    MRKOColorButton *customColorButton = nullptr;
    MRKOSmallButton *flashlightButton = nullptr;
    MRKOSmallButton *undoButton = nullptr;
    MRKOSmallButton *redoButton = nullptr;
    MRKOSmallButton *repeatButton = nullptr;
    MRKOSmallToggleButton *scissorsButton = nullptr;
    MRKOSmallToggleButton *handButton = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    /// The opacity button lies below the colour buttons: the pane tells it whether the pointer is over it.
    void trackOpacityButton(QPointF location, bool inside);

    QPointer<MRKOTools> m_toolsController; // not owned
    QPointer<QWidget> m_fakeCursorLayer;   // child while shown
    bool m_cursorWasHidden = false;
};
