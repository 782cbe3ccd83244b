#pragma once

#include "platform/UndoManager.h"
#include "remote/RemoteNeighbours.h"

#include <QStringList>

/// The text view the phone types into: a string, a caret and its own undo manager.
class FakeTextView final : public inkora::RemoteTextView
{
public:
    [[nodiscard]] qsizetype selectedLocation() const override { return caret; }
    [[nodiscard]] QString string() const override { return text; }
    void replaceCharactersInRangeWithString(qsizetype location, qsizetype length, const QString &with) override;
    [[nodiscard]] platform::UndoManager &undoManager() override { return undo; }

    QString text;
    qsizetype caret = 0;
    platform::UndoManager undo;
};

/// Records what the remote asks of its neighbours, one line per call ("undoWithEvent", "changeHue 0.5"), and
/// answers as a test sets it up.
class FakeRemoteNeighbours final : public inkora::RemoteNeighbours
{
public:
    bool isActiveAndShown() override { return shown; }
    void toggleInkora() override { record("toggleInkora"); }
    void undoWithEvent() override { record("undoWithEvent"); }
    void redoWithEvent() override { record("redoWithEvent"); }
    void repeatLayer() override { record("repeatLayer"); }
    void nextThickness() override { record("nextThickness"); }
    void dissolveModeWithEvent() override { record("dissolveModeWithEvent"); }
    void makeNextScreenActive() override { record("makeNextScreenActive"); }
    void showHideToolbar() override { record("showHideToolbar"); }
    void nextColorType() override { record("nextColorType"); }
    quint64 colorType() override { return colorTypeValue; }
    void setColorType(quint64 value) override { record(QStringLiteral("setColorType %1").arg(value)); }
    void clearCanvasWithEvent() override { record("clearCanvasWithEvent"); }
    bool darkOverlayIsActive() override { return flashlight; }
    void toggleDarkOverlay() override { record("toggleDarkOverlay"); }
    void removeAllDarkOverlaysIfNeeded() override { record("removeAllDarkOverlaysIfNeeded"); }
    void changeHue(float hue) override { record(QStringLiteral("changeHue %1").arg(hue)); }
    std::optional<QByteArray> inkoraState() override { return state; }
    quint8 undoMask() override { return mask; }
    bool simulateArrowKeys() override { return arrowKeys; }
    bool hasActiveToolBar() override { return toolBar; }
    void changeToolForced(quint64 toolType, bool forced) override
    {
        record(QStringLiteral("changeToolForced %1 %2").arg(toolType).arg(forced));
    }
    double colorPopoverHue() override { return popoverHue; }
    double canvasHue() override { return hue; }
    int screensCount() override { return screens; }
    void openRemote() override { record("openRemote"); }
    bool isTextEditing() override { return textView != nullptr; }
    inkora::RemoteTextView *commonTextView() override { return textView; }
    void removeTextViewAndUndoActionsIfNeeded() override { record("removeTextViewAndUndoActionsIfNeeded"); }

    QStringList calls;
    bool shown = true;
    quint64 colorTypeValue = 0;
    bool flashlight = false;
    std::optional<QByteArray> state;
    quint8 mask = 0;
    bool arrowKeys = false;
    bool toolBar = false;
    double popoverHue = 0.75;
    double hue = 0.25;
    int screens = 1;
    FakeTextView *textView = nullptr; // not owned

private:
    void record(const QString &call) { calls << call; }
};
