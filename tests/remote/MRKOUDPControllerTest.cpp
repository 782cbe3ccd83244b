#include "remote/MRKOUDPController.h"

#include "app/AppDelegate.h"
#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/fake/FakeScreenSaverInhibitor.h"
#include "platform/fake/FakeScriptRunner.h"
#include "platform/fake/FakeServiceBrowser.h"
#include "remote/GCDAsyncUdpSocket.h"
#include "remote/MRKOPositionController.h"
#include "remote/RemoteDatagram.h"
#include "tests/remote/UDPControllerFixture.h"

#include <QMenu>

#include <limits>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray typing(const QByteArray &utf8)
{
    QByteArray data = hex("FEEDFACED4") + QByteArray(8, '\0');
    const quint32 n = quint32(utf8.size());
    data.append(char(n & 0xFF)).append(char((n >> 8) & 0xFF)).append(char((n >> 16) & 0xFF)).append(char(n >> 24));
    return data + utf8;
}

using MRKOUDPControllerTest = UDPControllerFixture;

TEST_F(MRKOUDPControllerTest, HandshakeConnectsToThePhoneAndSendsTheState)
{
    advertise();
    ASSERT_TRUE(controller().connectToDeviceWithName(QStringLiteral("Test Phone")));
    drainMainQueue();
    ASSERT_TRUE(phoneReceives(1));
    EXPECT_EQ(phone->received.at(0), hex("FEEDFACEED")); // the first request is 237
    EXPECT_EQ(controller().state(), MRKOUDPController::State::Requested);

    phone->reply(hex("FEEDFACEED"));
    ASSERT_TRUE(phoneReceives(2));
    EXPECT_EQ(phone->received.at(1), hex("FEEDFACEA0")); // 160 once connected to the phone's port
    EXPECT_EQ(controller().state(), MRKOUDPController::State::Associated);

    phone->reply(hex("FEEDFACEA0"));
    ASSERT_TRUE(phoneReceives(4));
    EXPECT_EQ(phone->received.at(2), hex("FEEDFACEA2"));
    EXPECT_EQ(phone->received.at(3), hex("FEEDFACEF0") + QByteArray(20, '\0')); // no delegate: a zero record
    EXPECT_TRUE(controller().isConnected());
    EXPECT_EQ(controller().statusText(), QStringLiteral("Connected with 127.0.0.1"));
    EXPECT_EQ(controller().statusColor(), QColor(Qt::green));
    EXPECT_EQ(fakes().screenSaverInhibitor->calls(), QStringList{"Inhibit Inkora: Inkora Remote is connected"});
    EXPECT_TRUE(controller().preventSleep());
}

TEST_F(MRKOUDPControllerTest, NothingFromAnotherHostTakesTheHandshakeOver)
{
    advertise();
    ASSERT_TRUE(controller().connectToDeviceWithName(QStringLiteral("Test Phone")));
    drainMainQueue();
    ASSERT_TRUE(phoneReceives(1));
    const QByteArray ours = phone->lastSender;

    TestPhone intruder("127.0.0.2");
    for (const char *datagram : {"FEEDFACEED", "FEEDFACEA0", "FEEDFACEA1", "FEEDFACEB2"})
        intruder.sendTo(hex(datagram), ours);
    intruder.sendTo(typing("x"), ours);
    // The phone's own answer comes after them on the same socket, so they have all been read when it acts.
    phone->reply(hex("FEEDFACEED"));
    ASSERT_TRUE(phoneReceives(2));
    EXPECT_EQ(controller().socket()->connectedHost(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(controller().socket()->connectedPort(), phone->port());
    EXPECT_TRUE(neighbours->calls.isEmpty());
    EXPECT_EQ(intruder.poll(), 0);

    phone->reply(hex("FEEDFACEA0"));
    EXPECT_TRUE(waitFor([&] { return controller().isConnected(); }));
}

TEST_F(MRKOUDPControllerTest, LateOrRepeatedAcknowledgementsChangeNothing)
{
    ASSERT_TRUE(connectPhone());
    const int before = phone->poll();
    deliver(hex("FEEDFACEA0"));
    controller().sendMessage(0xAA); // a marker: the next thing the phone hears
    ASSERT_TRUE(phoneReceives(before + 1));
    EXPECT_EQ(receivedSince(before), QList<QByteArray>{hex("FEEDFACEAA")});
}

TEST_F(MRKOUDPControllerTest, ASilentPhoneIsAskedSixteenTimesThenGivenUp)
{
    log().expectWarning(QStringLiteral("15 attempts with no success. Throw Connection."));
    advertise();
    ASSERT_TRUE(controller().connectToDeviceWithName(QStringLiteral("Test Phone")));
    drainMainQueue();
    ASSERT_TRUE(phoneReceives(1));
    for (int request = 2; request <= 16; ++request) {
        advance(1.0);
        EXPECT_EQ(phone->poll(), request - 1) << "a request came early";
        advance(0.5);
        ASSERT_TRUE(phoneReceives(request));
    }
    for (int request = 1; request <= 16; ++request) {
        SCOPED_TRACE(request);
        const bool alternate = request == 2 || request == 7 || request == 12;
        EXPECT_EQ(phone->received.at(request - 1), hex(alternate ? "FEEDFACEEF" : "FEEDFACEED"));
    }
    advance(1.5);
    EXPECT_TRUE(log().contains(QStringLiteral("15 attempts with no success. Throw Connection.")));
    EXPECT_TRUE(waitFor([&] { return controller().state() == MRKOUDPController::State::Idle; }));
    advance(5);
    EXPECT_EQ(phone->poll(), 16);
}

TEST_F(MRKOUDPControllerTest, ThePhoneLeavingEndsTheSessionOnce)
{
    int disconnects = 0;
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        kMRKODidDisconnectWithDevice, nullptr, [&](const platform::Notification &) { ++disconnects; });
    ASSERT_TRUE(connectPhone());
    MRKOPositionController::sharedController().startUpdates();
    disconnects = 0;

    phone->reply(hex("FEEDFACEA1"));
    ASSERT_TRUE(waitFor([&] { return !controller().isConnected(); }));
    EXPECT_EQ(controller().statusText(), QStringLiteral("No Device is Connected"));
    EXPECT_EQ(controller().statusColor(), QColor(Qt::red));
    EXPECT_FALSE(MRKOPositionController::sharedController().trackingIsOn());
    EXPECT_TRUE(fakes().screenSaverInhibitor->calls().contains(QStringLiteral("UnInhibit 7")));
    EXPECT_FALSE(controller().preventSleep());

    fakes().serviceBrowser->removeService(QStringLiteral("Test Phone"));
    drainMainQueue();
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(controller().numberOfRows(), 1);
}

TEST_F(MRKOUDPControllerTest, KillingThePhoneWithItsAdvertisementEndsTheSession)
{
    ASSERT_TRUE(connectPhone());
    fakes().serviceBrowser->removeService(QStringLiteral("Test Phone"));
    drainMainQueue();
    EXPECT_FALSE(controller().isConnected());
    EXPECT_EQ(controller().statusText(), QStringLiteral("No Device is Connected"));
    EXPECT_FALSE(fakes().screenSaverInhibitor->isInhibited());
}

TEST_F(MRKOUDPControllerTest, DisconnectSends161AndLetsGo)
{
    ASSERT_TRUE(connectPhone());
    const int before = phone->poll();
    controller().disconnect();
    ASSERT_TRUE(phoneReceives(before + 1));
    EXPECT_EQ(phone->received.last(), hex("FEEDFACEA1"));
    EXPECT_TRUE(waitFor([&] { return !controller().isConnected() && !controller().socket(); }));
}

struct CommandRow
{
    const char *name;
    const char *datagram;
    const char *call; // empty: no effect
};

TEST_F(MRKOUDPControllerTest, CommandsFromThePhoneReachTheirHandlers)
{
    ASSERT_TRUE(connectPhone());
    const std::vector<CommandRow> rows = {
        {"UndoWithAnyHeader", "00000000B2", "undoWithEvent"},
        {"Redo", "FEEDFACEB3", "redoWithEvent"},
        {"ShowHide", "FEEDFACEB4", "toggleInkora"},
        {"Repeat", "FEEDFACEB5", "repeatLayer"},
        {"Thickness", "FEEDFACEB6", "nextThickness"},
        {"NextScreen", "FEEDFACEB8", "makeNextScreenActive"},
        {"Toolbar", "FEEDFACEB9", "showHideToolbar"},
        {"Text tool", "FEEDFACEC5", "changeToolForced 3 1"},
        {"ColorType", "FEEDFACED0", "nextColorType"},
        {"Clear", "FEEDFACED1", "clearCanvasWithEvent"},
        {"EndText", "FEEDFACED3", "removeTextViewAndUndoActionsIfNeeded"},
        {"FlashlightOn", "FEEDFACED5", "toggleDarkOverlay"},
        {"FlashlightOff", "FEEDFACED6", "removeAllDarkOverlaysIfNeeded"},
        {"Hue", "FEEDFACEF20000003F", "changeHue 0.5"},
        {"Ack", "FEEDFACEA2", ""},
        {"TextStart", "FEEDFACED2", ""},
        {"TypingAsCommand", "FEEDFACED4", ""},
        {"Request", "FEEDFACEED", ""},
        {"HueNaN", "FEEDFACEF20000C07F", ""},
        {"HueInfinity", "FEEDFACEF20000807F", ""},
        {"HueOtherCommand", "FEEDFACEF10000003F", ""},
        {"ThreeBytes", "FEEDFA", ""},
        {"SevenBytes", "FEEDFACEB2B2B2", ""},
        {"SixteenBytes", "FEEDFACEB2B2B2B2B2B2B2B2B2B2B2B2", ""},
    };
    for (const CommandRow &row : rows) {
        SCOPED_TRACE(row.name);
        neighbours->calls.clear();
        deliver(hex(row.datagram));
        const QStringList expected = *row.call ? QStringList{QString::fromLatin1(row.call)} : QStringList{};
        EXPECT_EQ(neighbours->calls, expected);
    }
}

TEST_F(MRKOUDPControllerTest, FreezeWhileHiddenFlipsTheSettingAndAnswersNothing)
{
    ASSERT_TRUE(connectPhone());
    neighbours->shown = false;
    const int before = phone->poll();
    deliver(hex("FEEDFACEB7"));
    EXPECT_EQ(MRKOUtils::userDefaults().integerForKey(QStringLiteral("DissolveModeKey")), 1);
    deliver(hex("FEEDFACEB7"));
    EXPECT_EQ(MRKOUtils::userDefaults().integerForKey(QStringLiteral("DissolveModeKey")), 0);
    controller().sendMessage(0xAA);
    ASSERT_TRUE(phoneReceives(before + 1));
    EXPECT_EQ(receivedSince(before), QList<QByteArray>{hex("FEEDFACEAA")});
    EXPECT_TRUE(neighbours->calls.isEmpty());
}

TEST_F(MRKOUDPControllerTest, ReleaseAnswersWithTheHue)
{
    ASSERT_TRUE(connectPhone());
    const int before = phone->poll();
    deliver(hex("FEEDFACEB1"));
    ASSERT_TRUE(phoneReceives(before + 1));
    EXPECT_EQ(phone->received.last(), hex("FEEDFACEF20000803E")); // the canvas hue 0.25 as a float
    neighbours->colorTypeValue = 1;                               // custom colour: the popover's hue
    controller().sendHue();
    ASSERT_TRUE(phoneReceives(before + 2));
    EXPECT_EQ(phone->received.last(), hex("FEEDFACEF20000403F"));
}

TEST_F(MRKOUDPControllerTest, SendersWaitForTheHandshake)
{
    advertise();
    ASSERT_TRUE(controller().connectToDeviceWithName(QStringLiteral("Test Phone")));
    drainMainQueue();
    ASSERT_TRUE(phoneReceives(1));
    phone->reply(hex("FEEDFACEED"));
    ASSERT_TRUE(phoneReceives(2));
    controller().sendUndoMask();
    controller().sendScreensCount();
    controller().sendToolType(1); // unchecked: its callers check
    ASSERT_TRUE(phoneReceives(3));
    EXPECT_EQ(phone->received.last(), hex("FEEDFACEC1"));
}

TEST_F(MRKOUDPControllerTest, ShowingTheOverlayTellsThePhoneInOrder)
{
    AppDelegate delegate;
    delegate.loadUDPController();
    ASSERT_TRUE(connectPhone());
    const int before = phone->poll();
    delegate.sendOverlayStateToRemoteIfConnected(true);
    ASSERT_TRUE(phoneReceives(before + 5));
    EXPECT_EQ(receivedSince(before), (QList<QByteArray>{hex("FEEDFACEF601"), hex("FEEDFACEC0"), hex("FEEDFACEF700"),
                                                        hex("FEEDFACEF300"), hex("FEEDFACEF20000803E")}));
}

TEST_F(MRKOUDPControllerTest, TypingGoesIntoTheTextBeingEditedAsOneUndoStep)
{
    ASSERT_TRUE(connectPhone());
    FakeTextView view;
    view.text = QStringLiteral("abcd");
    view.caret = 3;
    neighbours->textView = &view;

    deliver(typing("")); // a backspace
    EXPECT_EQ(view.text, QStringLiteral("abd"));
    EXPECT_EQ(view.caret, 2);
    ASSERT_TRUE(view.undo.canUndo());
    view.undo.undo();
    EXPECT_EQ(view.text, QStringLiteral("abcd"));
    EXPECT_FALSE(view.undo.canUndo());

    view.caret = 1;
    deliver(typing("\xC3\xA9")); // é
    EXPECT_EQ(view.text, QStringLiteral("a\u00E9bcd"));

    view.text = QString::fromUtf8("a\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"); // a, thumbs up, skin tone
    view.caret = view.text.size();
    deliver(typing(""));
    EXPECT_EQ(view.text, QStringLiteral("a"));

    view.caret = 0;
    deliver(typing(""));
    EXPECT_EQ(view.text, QStringLiteral("a"));
    deliver(typing("\xFF")); // not UTF-8
    EXPECT_EQ(view.text, QStringLiteral("a"));

    neighbours->textView = nullptr; // no text being edited
    deliver(typing("b"));
}

TEST_F(MRKOUDPControllerTest, ListShowsDevicesThenPresentationApplications)
{
    EXPECT_EQ(controller().numberOfRows(), 1);
    EXPECT_EQ(controller().headerTextForRow(0), QStringLiteral("Search Devices..."));
    EXPECT_FALSE(controller().shouldSelectRow(1));

    fakes().scriptRunner->install(QStringLiteral("com.apple.iWork.Keynote"));
    fakes().scriptRunner->install(QStringLiteral("com.microsoft.Powerpoint"));
    advertise();
    EXPECT_EQ(controller().numberOfRows(), 5);
    EXPECT_EQ(controller().headerTextForRow(0), QStringLiteral("Available Devices"));
    EXPECT_TRUE(controller().isDeviceRow(1));
    EXPECT_EQ(controller().headerTextForRow(2), QStringLiteral("Presentation Apps"));
    EXPECT_FALSE(controller().shouldSelectRow(0));
    EXPECT_TRUE(controller().shouldSelectRow(3));
}

TEST_F(MRKOUDPControllerTest, SavedDeviceConnectsByItselfHalfASecondAfterItIsFound)
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setObject(QStringLiteral("Test Phone"), QStringLiteral("CurrentServiceName"));
    defaults.setInteger(1, QStringLiteral("ConnectAutomatically"));
    QList<QVariantMap> found;
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        kMRKODidFindDevice, nullptr, [&](const platform::Notification &n) { found << n.userInfo; });

    advertise();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.at(0).value("device").toString(), QStringLiteral("Test Phone"));
    EXPECT_FALSE(found.at(0).value("needPopover").toBool());
    advance(0.4);
    EXPECT_FALSE(controller().isConnectingProcess());
    advance(0.1);
    EXPECT_TRUE(controller().isConnectingProcess());
    EXPECT_TRUE(phoneReceives(1));

    advertise(QStringLiteral("Other Phone")); // another name while connecting: offered
    ASSERT_EQ(found.size(), 2);
    EXPECT_TRUE(found.at(1).value("needPopover").toBool());
}

TEST_F(MRKOUDPControllerTest, MenusOfferTheLastFoundPhoneThenItsDisconnection)
{
    AppDelegate delegate;
    delegate.loadUDPController();
    const auto titles = [&] {
        QMenu menu;
        delegate.addConnectionPartForMenu(menu);
        QStringList texts;
        for (const QAction *action : menu.actions())
            texts << action->text();
        return texts;
    };
    EXPECT_TRUE(titles().isEmpty());
    advertise();
    EXPECT_EQ(titles(), (QStringList{QString(), QStringLiteral("Connect to Test Phone")}));
    ASSERT_TRUE(connectPhone());
    EXPECT_EQ(titles(), (QStringList{QString(), QStringLiteral("Disconnect Test Phone")}));
    EXPECT_TRUE(delegate.isRemoteConnected());
}

TEST_F(MRKOUDPControllerTest, NoDaemonLeavesAnEmptyListAndOneLine)
{
    log().expectWarning(QStringLiteral("netServiceBrowser:didNotSearch:"));
    advertise();
    EXPECT_EQ(controller().numberOfRows(), 2);
    fakes().serviceBrowser->fail(QStringLiteral("the Avahi daemon went away"));
    EXPECT_EQ(controller().numberOfRows(), 1);
    EXPECT_EQ(controller().headerTextForRow(0), QStringLiteral("Search Devices..."));
    EXPECT_EQ(log().count(QStringLiteral("netServiceBrowser:didNotSearch:")), 1);
}

TEST_F(MRKOUDPControllerTest, NoScreenSaverServiceLeavesTheDisplayFreeToSleep)
{
    log().expectWarning(QStringLiteral("preventDisplaySleep"));
    fakes().screenSaverInhibitor->setAvailable(false);
    ASSERT_TRUE(connectPhone());
    EXPECT_FALSE(controller().preventSleep());
    EXPECT_EQ(log().count(QStringLiteral("preventDisplaySleep")), 1);
}

} // namespace
