#include "tools/ToolBarRemote.h"

#include "remote/MRKOUDPController.h"

namespace inkora {

namespace {

class ControllerRemote final : public ToolBarRemote
{
public:
    bool isConnected() override { return MRKOUDPController::sharedController().isConnected(); }
    void sendToolType(quint64 toolType) override { MRKOUDPController::sharedController().sendToolType(toolType); }
    void sendColorType(quint64 colorType) override
    {
        MRKOUDPController::sharedController().sendColorType(qint64(colorType));
    }
    void sendHue() override { MRKOUDPController::sharedController().sendHue(); }
    void sendDissolve(quint64 mode) override { MRKOUDPController::sharedController().sendDissolve(qint64(mode)); }
    void sendUndoMask() override { MRKOUDPController::sharedController().sendUndoMask(); }
    void sendToolBarHidden(bool hidden) override { MRKOUDPController::sharedController().sendToolBarHidden(hidden); }
};

std::unique_ptr<ToolBarRemote> &installed()
{
    static std::unique_ptr<ToolBarRemote> s_remote;
    return s_remote;
}

} // namespace

ToolBarRemote &toolBarRemote()
{
    if (!installed())
        installed() = std::make_unique<ControllerRemote>();
    return *installed();
}

void setToolBarRemote(std::unique_ptr<ToolBarRemote> remote)
{
    installed() = std::move(remote);
}

} // namespace inkora
