#pragma once

#include <QtGlobal>

#include <memory>

namespace inkora {

/// What the tool bar and its window controller tell a connected phone. The default one is the remote controller;
/// tests install one that records.
class ToolBarRemote
{
public:
    virtual ~ToolBarRemote() = default;
    [[nodiscard]] virtual bool isConnected() = 0;
    virtual void sendToolType(quint64 toolType) = 0;
    virtual void sendColorType(quint64 colorType) = 0;
    virtual void sendHue() = 0;
    virtual void sendDissolve(quint64 mode) = 0;
    virtual void sendUndoMask() = 0;
    virtual void sendToolBarHidden(bool hidden) = 0;
};

/// The one in use: the installed one, else the remote controller.
[[nodiscard]] ToolBarRemote &toolBarRemote();
/// Replaces it; null brings the remote controller back.
void setToolBarRemote(std::unique_ptr<ToolBarRemote> remote);

} // namespace inkora
