#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/EventQueue.h"
#include "platform/UndoManager.h"
#include "remote/GCDAsyncUdpSocket.h"
#include "remote/MRKOClicker.h"
#include "remote/MRKOPositionController.h"
#include "remote/MRKORemoteCommand.h"
#include "remote/MRKOUDPController.h"
#include "remote/RemoteDatagram.h"
#include "remote/RemoteNeighbours.h"

#include <QTextBoundaryFinder>

namespace Datagram = inkora::RemoteDatagram;

namespace {

const QString kDissolveModeKey = QStringLiteral("DissolveModeKey");
const QString kToolTypeKey = QStringLiteral("ToolTypeKey");
const QString kColorTypeKey = QStringLiteral("ColorTypeKey");

inkora::RemoteNeighbours &neighbours()
{
    return inkora::remoteNeighbours();
}

} // namespace

// --- sending ------------------------------------------------------------------------------------------------------

QByteArray MRKOUDPController::hookData()
{
    return Datagram::hookData();
}

void MRKOUDPController::sendMessage(quint64 command)
{
    sendDataImmediately(Datagram::message(command));
}

void MRKOUDPController::sendMessageToAddress(quint64 command, const QByteArray &address)
{
    if (m_socket)
        m_socket->sendDataToAddressWithTimeoutTag(Datagram::message(command), address, -1, 0);
}

void MRKOUDPController::sendMessageToHostAndPort(quint64 command, const QString &host, quint16 port)
{
    if (m_socket)
        m_socket->sendDataToHostPortWithTimeoutTag(Datagram::message(command), host, port, -1, 0);
}

void MRKOUDPController::sendDataImmediately(const QByteArray &data)
{
    if (m_socket)
        m_socket->sendDataWithTimeoutTag(data, -1, 0);
}

void MRKOUDPController::sendToolType(quint64 toolType)
{
    sendMessage(Datagram::toolCodeForToolType(toolType));
}

void MRKOUDPController::sendTextEditingDidStart()
{
    if (isConnected())
        sendMessage(MRKORemoteCommandTextEditingDidStart);
}

void MRKOUDPController::sendTextEditingDidEnd()
{
    if (isConnected())
        sendMessage(MRKORemoteCommandTextEditingDidEnd);
}

void MRKOUDPController::sendUndoMask()
{
    if (isConnected())
        sendDataImmediately(Datagram::messageWithValue(MRKORemoteCommandUndoMask, neighbours().undoMask()));
}

void MRKOUDPController::sendDissolve(qint64 mode)
{
    if (isConnected())
        sendDataImmediately(Datagram::messageWithValue(MRKORemoteCommandDissolve, quint8(mode)));
}

void MRKOUDPController::sendToolBarHidden(bool hidden)
{
    if (isConnected())
        sendDataImmediately(Datagram::messageWithValue(MRKORemoteCommandToolBarHidden, hidden ? 1 : 0));
}

void MRKOUDPController::sendScreensCount()
{
    if (isConnected())
        sendDataImmediately(
            Datagram::messageWithValue(MRKORemoteCommandScreensCount, quint8(neighbours().screensCount())));
}

void MRKOUDPController::sendIsAppShown()
{
    if (isConnected())
        sendDataImmediately(Datagram::messageWithValue(MRKORemoteCommandAppShown, neighbours().isActiveAndShown()));
}

void MRKOUDPController::sendColorType(qint64 colorType)
{
    if (isConnected())
        sendDataImmediately(Datagram::messageWithValue(MRKORemoteCommandColorType, quint8(colorType)));
}

void MRKOUDPController::sendHue()
{
    if (!isConnected())
        return;
    inkora::RemoteNeighbours &n = neighbours();
    const double hue = n.colorType() != 0 ? n.colorPopoverHue() : n.canvasHue();
    sendDataImmediately(Datagram::hueMessage(float(hue)));
}

void MRKOUDPController::sendAppState()
{
    sendDataImmediately(Datagram::appStateMessage(neighbours().inkoraState().value_or(QByteArray(20, '\0'))));
}

// --- receiving ----------------------------------------------------------------------------------------------------

void MRKOUDPController::udpSocketDidReceiveDataFromAddressWithFilterContext(GCDAsyncUdpSocket *sock,
                                                                            const QByteArray &data,
                                                                            const QByteArray &address, const QVariant &)
{
    if (!m_socket || sock != m_socket.get())
        return;
    const Datagram::Received received = Datagram::parse(data);
    if (!m_socket->isConnected()) {
        // Until the handshake has chosen the phone, only its answer or its leaving count, and only from an
        // address it resolved to: nothing else may take the session over.
        const bool handshake =
            received.kind == Datagram::Received::Command &&
            (received.command == MRKORemoteCommandRequest || received.command == MRKORemoteCommandDisconnect);
        if (!handshake || !isFromCurrentService(address))
            return;
        if (received.command == MRKORemoteCommandRequest)
            handleResponseFromAddress(address);
        processMessage(received.command);
        return;
    }
    performDatagram(data);
}

void MRKOUDPController::performDatagram(const QByteArray &data)
{
    const Datagram::Received received = Datagram::parse(data);
    switch (received.kind) {
    case Datagram::Received::Command:
        processMessage(received.command);
        break;
    case Datagram::Received::Hue:
        changeHue(received.hue);
        break;
    case Datagram::Received::Motion:
        updateBallPositionForPitchAndYaw(received.pitch, received.yaw);
        break;
    case Datagram::Received::Typing:
        processTypingData(data);
        break;
    case Datagram::Received::Ignored:
        break;
    }
}

void MRKOUDPController::processMessage(quint64 command)
{
    inkora::RemoteNeighbours &n = neighbours();
    MRKOPositionController &pointer = *m_positionController;
    const quint8 code = quint8(command);
    switch (code) {
    case MRKORemoteCommandConnected:
        if (state() == State::Associated) // a late or repeated acknowledgement changes nothing
            connectedWithDevice();
        break;
    case MRKORemoteCommandDisconnect:
        if (m_socket)
            m_socket->close();
        break;
    case MRKORemoteCommandDrawStart:
        if (!n.isActiveAndShown())
            pointer.toggleInkora();
        pointer.drawStart();
        break;
    case MRKORemoteCommandDrawEnd:
        pointer.drawEndIfNeeded();
        sendHue();
        break;
    case MRKORemoteCommandUndo:
        pointer.undo();
        break;
    case MRKORemoteCommandRedo:
        pointer.redo();
        break;
    case MRKORemoteCommandToggleInkora:
        pointer.toggleInkora();
        break;
    case MRKORemoteCommandRepeat:
        pointer.repeat();
        break;
    case MRKORemoteCommandNextThickness:
        n.nextThickness();
        break;
    case MRKORemoteCommandToggleFreeze:
        toggleFreeze();
        break;
    case MRKORemoteCommandNextScreen:
        n.makeNextScreenActive();
        break;
    case MRKORemoteCommandShowHideToolbar:
        n.showHideToolbar();
        break;
    case MRKORemoteCommandNextColorType:
        changeColorType();
        break;
    case MRKORemoteCommandClearScreen:
        clearScreen();
        break;
    case MRKORemoteCommandTextEditingDidEnd:
        n.removeTextViewAndUndoActionsIfNeeded();
        break;
    case MRKORemoteCommandFlashlightOn:
        if (!n.darkOverlayIsActive())
            n.toggleDarkOverlay();
        break;
    case MRKORemoteCommandFlashlightOff:
        n.removeAllDarkOverlaysIfNeeded();
        break;
    case MRKORemoteCommandPreviousSlide:
        MRKOClicker::sharedClicker().previousSlide();
        break;
    case MRKORemoteCommandNextSlide:
        MRKOClicker::sharedClicker().nextSlide();
        break;
    default:
        if (const auto toolType = Datagram::toolTypeForToolCode(code))
            changeToolTypeForced(*toolType);
        break; // every other code, 237 among them, does nothing here
    }
}

void MRKOUDPController::changeHue(float hue)
{
    neighbours().changeHue(hue);
}

void MRKOUDPController::updateBallPositionForPitchAndYaw(double pitch, double yaw)
{
    m_positionController->setPitchAndYaw(pitch, yaw);
}

void MRKOUDPController::toggleFreeze()
{
    inkora::RemoteNeighbours &n = neighbours();
    if (n.hasActiveToolBar()) {
        platform::EventQueue::shared().postEvent(MRKOUtils::mouseUpWithNoContext(), true);
        n.dissolveModeWithEvent();
        return;
    }
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(defaults.integerForKey(kDissolveModeKey) == 1 ? 0 : 1, kDissolveModeKey);
    defaults.synchronize();
}

void MRKOUDPController::changeToolTypeForced(quint64 toolType)
{
    inkora::RemoteNeighbours &n = neighbours();
    if (n.isActiveAndShown()) {
        n.changeToolForced(toolType, true);
        return;
    }
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setInteger(qint64(toolType), kToolTypeKey);
    defaults.synchronize();
}

void MRKOUDPController::changeColorType()
{
    inkora::RemoteNeighbours &n = neighbours();
    if (n.isActiveAndShown()) {
        n.nextColorType();
        return;
    }
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    const qint64 colorType = defaults.integerForKey(kColorTypeKey) == 1 ? 0 : 1;
    defaults.setInteger(colorType, kColorTypeKey);
    defaults.synchronize();
    n.setColorType(quint64(colorType));
    sendHue();
}

void MRKOUDPController::clearScreen()
{
    inkora::RemoteNeighbours &n = neighbours();
    if (!n.isActiveAndShown())
        return;
    platform::EventQueue::shared().postEvent(MRKOUtils::mouseUpWithNoContext(), true);
    n.clearCanvasWithEvent();
}

void MRKOUDPController::processTypingData(const QByteArray &data)
{
    const Datagram::Received received = Datagram::parse(data);
    if (received.kind != Datagram::Received::Typing)
        return;
    inkora::RemoteNeighbours &n = neighbours();
    if (!n.isTextEditing())
        return;
    inkora::RemoteTextView *view = n.commonTextView();
    if (!view)
        return;
    const QString string = view->string();
    const qsizetype location = view->selectedLocation();
    if (location < 0 || location > string.size())
        return;
    if (received.text.isEmpty() && location == 0)
        return;
    platform::UndoManager &undo = view->undoManager();
    undo.setGroupsByEvent(false);
    undo.beginUndoGrouping();
    if (!received.text.isEmpty()) {
        view->replaceCharactersInRangeWithString(location, 0, received.text);
    } else {
        // A backspace takes what the user sees as one character: a whole grapheme cluster.
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, string);
        finder.setPosition(location);
        const qsizetype start = qMax<qsizetype>(0, finder.toPreviousBoundary());
        view->replaceCharactersInRangeWithString(start, location - start, QString());
    }
    undo.endUndoGrouping();
    undo.setGroupsByEvent(true);
}
