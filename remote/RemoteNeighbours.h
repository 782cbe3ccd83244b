#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace platform {
class UndoManager;
}

namespace inkora {

/// The shared text view of the canvases as the phone types into it. Positions and lengths count UTF-16 units.
class RemoteTextView
{
public:
    virtual ~RemoteTextView() = default;
    /// The location of the selected range (the caret when nothing is selected).
    [[nodiscard]] virtual qsizetype selectedLocation() const = 0;
    [[nodiscard]] virtual QString string() const = 0;
    /// Replaces the range with the text, registering the change on the view's undo manager.
    virtual void replaceCharactersInRangeWithString(qsizetype location, qsizetype length, const QString &text) = 0;
    [[nodiscard]] virtual platform::UndoManager &undoManager() = 0;
};

/// What the remote asks of the application shell, the tool bar, the canvases and the text editor. Each operation
/// stands for the one of the same name; `defaultNeighbours` answers from what exists of them today.
class RemoteNeighbours
{
public:
    virtual ~RemoteNeighbours() = default;

    // -[AppDelegate ...]
    [[nodiscard]] virtual bool isActiveAndShown() = 0;
    virtual void toggleInkora() = 0;
    virtual void undoWithEvent() = 0;
    virtual void redoWithEvent() = 0;
    virtual void repeatLayer() = 0;
    virtual void nextThickness() = 0;
    virtual void dissolveModeWithEvent() = 0;
    virtual void makeNextScreenActive() = 0;
    virtual void showHideToolbar() = 0;
    virtual void nextColorType() = 0;
    [[nodiscard]] virtual quint64 colorType() = 0;
    virtual void setColorType(quint64 colorType) = 0;
    virtual void clearCanvasWithEvent() = 0;
    [[nodiscard]] virtual bool darkOverlayIsActive() = 0;
    virtual void toggleDarkOverlay() = 0;
    virtual void removeAllDarkOverlaysIfNeeded() = 0;
    virtual void changeHue(float hue) = 0;
    /// `-[AppDelegate inkoraState]` as its 20 bytes; nothing without an application delegate.
    [[nodiscard]] virtual std::optional<QByteArray> inkoraState() = 0;
    [[nodiscard]] virtual quint8 undoMask() = 0;
    /// The live "SimulateArrowKeys".
    [[nodiscard]] virtual bool simulateArrowKeys() = 0;
    /// `-[AppDelegate activeToolBar]` is not nil.
    [[nodiscard]] virtual bool hasActiveToolBar() = 0;
    /// `-[[AppDelegate activeToolBar] changeTool:forced:]`.
    virtual void changeToolForced(quint64 toolType, bool forced) = 0;
    /// `-[[KVPopover sharedPopover] color]`'s hue component.
    [[nodiscard]] virtual double colorPopoverHue() = 0;
    /// The canvases' rainbow hue.
    [[nodiscard]] virtual double canvasHue() = 0;
    /// The number of displays.
    [[nodiscard]] virtual int screensCount() = 0;
    /// `-[AppDelegate openRemote:]`: brings the remote pane up.
    virtual void openRemote() = 0;

    // +[MRKODraw ...]
    [[nodiscard]] virtual bool isTextEditing() = 0;
    /// `+[MRKODraw commonTextView]`; null while no text view exists.
    [[nodiscard]] virtual RemoteTextView *commonTextView() = 0;
    virtual void removeTextViewAndUndoActionsIfNeeded() = 0;
};

/// The neighbours in use: the installed ones, else the default ones.
[[nodiscard]] RemoteNeighbours &remoteNeighbours();
/// Replaces the neighbours; null brings the default ones back. For tests.
void setRemoteNeighbours(std::unique_ptr<RemoteNeighbours> neighbours);

} // namespace inkora
