// Hands any bytes to the remote's receive path as the connected phone's datagram: the command table, the hue,
// the motion sample and typed text into a text view being edited.
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/UndoManager.h"
#include "platform/fake/FakeServices.h"
#include "remote/MRKOPositionController.h"
#include "remote/MRKOUDPController.h"
#include "remote/RemoteNeighbours.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

class TextView final : public inkora::RemoteTextView
{
public:
    qsizetype selectedLocation() const override { return caret; }
    QString string() const override { return text; }
    void replaceCharactersInRangeWithString(qsizetype location, qsizetype length, const QString &with) override
    {
        text.replace(location, length, with);
        caret = location + with.size();
        undo.registerUndo(static_cast<const void *>(this), [] {});
    }
    platform::UndoManager &undoManager() override { return undo; }

    QString text;
    qsizetype caret = 0;
    platform::UndoManager undo;
};

// Every operation answers or does nothing; the text view is always being edited.
class Neighbours final : public inkora::RemoteNeighbours
{
public:
    bool isActiveAndShown() override { return shown = !shown; }
    void toggleInkora() override {}
    void undoWithEvent() override {}
    void redoWithEvent() override {}
    void repeatLayer() override {}
    void nextThickness() override {}
    void dissolveModeWithEvent() override {}
    void makeNextScreenActive() override {}
    void showHideToolbar() override {}
    void nextColorType() override {}
    quint64 colorType() override { return 0; }
    void setColorType(quint64) override {}
    void clearCanvasWithEvent() override {}
    bool darkOverlayIsActive() override { return false; }
    void toggleDarkOverlay() override {}
    void removeAllDarkOverlaysIfNeeded() override {}
    void changeHue(float) override {}
    std::optional<QByteArray> inkoraState() override { return std::nullopt; }
    quint8 undoMask() override { return 0; }
    bool simulateArrowKeys() override { return true; }
    bool hasActiveToolBar() override { return false; }
    void changeToolForced(quint64, bool) override {}
    double colorPopoverHue() override { return 0; }
    double canvasHue() override { return 0; }
    int screensCount() override { return 1; }
    void openRemote() override {}
    bool isTextEditing() override { return true; }
    inkora::RemoteTextView *commonTextView() override { return &view; }
    void removeTextViewAndUndoActionsIfNeeded() override {}

    TextView view;
    bool shown = false;
};

Neighbours *setUp()
{
    static int argc = 1;
    static char name[] = "fuzz_remote_datagram";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QLoggingCategory::setFilterRules(QStringLiteral("inkora.*=false"));
    static platform::FakeServices fakes;
    platform::uninstall();
    (void)platform::install(platform::makeFakeServices(fakes));
    auto neighbours = std::make_unique<Neighbours>();
    Neighbours *raw = neighbours.get();
    inkora::setRemoteNeighbours(std::move(neighbours));
    (void)MRKOUDPController::sharedController();
    return raw;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Neighbours *const neighbours = setUp();
    // A text that grows without end would only measure memory; keep it short between inputs.
    if (neighbours->view.text.size() > 4096) {
        neighbours->view.text.clear();
        neighbours->view.caret = 0;
    }
    neighbours->view.caret = size > 0 ? qsizetype(data[0]) % (neighbours->view.text.size() + 1) : 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    MRKOUDPController::sharedController().performDatagram(bytes);
    MRKOPositionController::sharedController().timerTick();
    platform::drainMainQueue();
    return 0;
}
