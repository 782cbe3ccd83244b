#pragma once

#include "platform/Screens.h"
#include "tools/MRKOToolsDelegate.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <memory>
#include <optional>

class MRKODraw;
class MRKOToolPanel;
class MRKOTools;
class MRKOWindow;
class QScreen;

/// Owns the overlay window of one display and knows that display's frame and number. On the first display of the
/// screen list it owns the tool panel as a child window, or the small sticker that stands in for the panel while the
/// tools are minimised, and passes the tool bar's choices on to the application delegate.
class MRKOWindowController : public QObject, public MRKOToolsDelegate
{
    Q_OBJECT
public:
    explicit MRKOWindowController(std::unique_ptr<MRKOWindow> window);
    ~MRKOWindowController() override;

    [[nodiscard]] MRKOWindow *window() const { return m_window.get(); }
    /// The screens list's first display: the only one with a tool panel.
    [[nodiscard]] static std::optional<platform::ScreenInfo> firstScreen();

    /// The default panel frame for a display `screenHeight` points high, relative to the display's origin.
    [[nodiscard]] static QRectF defaultToolPanelFrame(double screenHeight);

    void showWindow();
    [[nodiscard]] bool isScreenOriginsEqual() const;
    void drawWindowDidChangeScreen();
    /// Moves everything to the screen's new frame.
    void updateWindowWithScreen(const platform::ScreenInfo &screen);

    // Tool panel
    void tryLoadToolFrame();
    void saveToolFrame();
    void translateToolPanelWithOldFrameSize(const QSizeF &oldSize);
    void makeToolPanelIfNeeded();
    void bringToolPanelOnFrontIfNeeded();
    void appearToolPanel();
    void disappearToolPanel();
    void keepTouchBarHideToolbarIfNeeded();
    void keepTouchBarHideToolbar();
    void renewToolbarKeyStatus();
    void activateToolPanel();
    void updatePreventOrderingOverlay();
    void makeToolSticker();
    void showTools();
    void hideTools();
    void updateActivateTools();
    void resetCurrentCursor();
    [[nodiscard]] MRKOToolPanel *toolPanel() const;
    [[nodiscard]] MRKOTools *toolsController() const;
    [[nodiscard]] QWidget *toolSticker() const { return m_toolSticker; }
    [[nodiscard]] QRectF toolsFrame() const { return m_toolsFrame; }

    // The tool bar's reports, passed on to the application delegate.
    void toolTypeChanged(quint64 toolType) override;
    void colorTypeChanged(quint64 colorType) override;
    void toolThicknessChanged(quint64 thickness) override;
    void dissolveModeChanged(quint64 mode) override;
    void colorDidChanged(const inkora::SrgbColor &color) override;
    /// Nil sender: hides the overlay on every display; any other: hides the tool bar.
    void closeApp(const QObject *sender) override;
    void hideTools(const QObject *sender) override;
    void undo(const QObject *sender) override;
    void redo(const QObject *sender) override;
    void repeat(const QObject *sender) override;

    // Window level
    void preperaToChangeWindowLevel();
    void setUpMonitors();
    void removeMonitors();
    void updateWindowLevel();
    [[nodiscard]] bool hasLevelMonitor() const { return m_mouseDownLocalMonitor != nullptr; }

    [[nodiscard]] bool activateTools() const { return m_activateTools; }
    void setActivateTools(bool activate) { m_activateTools = activate; }
    [[nodiscard]] bool toolsHidden() const { return m_toolsHidden; }
    void setToolsHidden(bool hidden);
    [[nodiscard]] bool screenDisabled() const { return m_screenDisabled; }
    void setScreenDisabled(bool disabled);
    [[nodiscard]] quint32 screenNumber() const { return m_screenNumber; }
    void setScreenNumber(quint32 number) { m_screenNumber = number; }
    [[nodiscard]] QRectF screenFrame() const { return m_screenFrame; }
    [[nodiscard]] MRKODraw *drawView() const;
    /// Stores the canvas and gives it the stored tool type, mode, colour type and thickness.
    void setDrawView(MRKODraw *drawView);

private:
    class LevelMonitor;
    void handleMouseDownEvent();

    std::unique_ptr<MRKOWindow> m_window;
    QPointer<MRKODraw> m_drawView;         // child of the window
    QPointer<MRKOToolPanel> m_toolPanel;   // child window of the overlay; none until the tool bar exists
    QPointer<MRKOTools> m_toolsController; // owned by the panel
    QPointer<QWidget> m_toolSticker;       // child window of the overlay while the tools are minimised
    std::unique_ptr<LevelMonitor> m_mouseDownLocalMonitor;
    QRectF m_toolsFrame;
    QRectF m_screenFrame;
    quint32 m_screenNumber = 0;
    bool m_activateTools = false;
    bool m_toolsHidden = false;
    bool m_screenDisabled = false;
};
