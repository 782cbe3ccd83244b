#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "platform/Services.h"
#include "platform/linux/XTestSyntheticInput.h"
#include "remote/MRKOClicker.h"
#include "tests/remote/FakeRemoteNeighbours.h"
#include "tests/remote/TestPhone.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/Screenshot.h"

#include <QProcess>
#include <QTest>

#include <cmath>
#include <csignal>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray motion(double pitch, double yaw)
{
    const qint16 p = qint16(std::lround(pitch * 10000));
    const qint16 y = qint16(std::lround(yaw * 10000));
    QByteArray data(4, '\0');
    data[0] = char(p & 0xFF);
    data[1] = char((p >> 8) & 0xFF);
    data[2] = char(y & 0xFF);
    data[3] = char((y >> 8) & 0xFF);
    return data;
}

struct Process
{
    QProcess process;
    ~Process()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

using RemoteX11Test = InkoraFixture;

TEST_F(RemoteX11Test, ArrowKeysTurnTheSlideInTheWindowBelowThePointer)
{
    auto input = platform::XTestSyntheticInput::create();
    ASSERT_TRUE(input);
    platform::services().syntheticInput = std::move(input);
    auto neighbours = std::make_unique<FakeRemoteNeighbours>();
    neighbours->arrowKeys = true;
    inkora::setRemoteNeighbours(std::move(neighbours));

    Process xev;
    xev.process.start(QStringLiteral("xev"), {QStringLiteral("-geometry"), QStringLiteral("300x300+50+50"),
                                              QStringLiteral("-event"), QStringLiteral("keyboard")});
    ASSERT_TRUE(xev.process.waitForStarted(10000));
    QByteArray output;
    QObject::connect(&xev.process, &QProcess::readyReadStandardOutput,
                     [&] { output += xev.process.readAllStandardOutput(); });
    QTest::qWait(1000); // its window maps
    // Without a window manager the keyboard follows the pointer.
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QStringLiteral("200"), QStringLiteral("200")});
    QTest::qWait(300);
    output.clear();

    log().expectWarning(QStringLiteral("postKeystroke: no window of process"));
    MRKOClicker::sharedClicker().nextSlide();
    drainMainQueue();
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.count("KeyRelease event") >= 1; }, 10000)) << output.constData();
    EXPECT_EQ(output.count("KeyPress event"), 1);
    EXPECT_TRUE(output.contains("(keysym 0xff53, Right)")) << output.constData();
    inkora::setRemoteNeighbours(nullptr);
}

// The program itself finds the phone through the test's Avahi daemon, connects by itself and draws what the phone
// sweeps.
TEST_F(RemoteX11Test, ThePhoneConnectsByItselfAndDrawsAStroke)
{
    platform::Defaults &defaults = MRKOUtils::userDefaults();
    defaults.setBool(true, QStringLiteral("FirstTimeRun"));
    defaults.setObject(QStringLiteral("Test Phone"), QStringLiteral("CurrentServiceName"));
    defaults.setInteger(1, QStringLiteral("ConnectAutomatically"));
    defaults.setInteger(1, QStringLiteral("WantsMouseTracking"));
    defaults.setInteger(1, QStringLiteral("DissolveModeKey")); // freeze: the stroke stays
    defaults.setInteger(3, QStringLiteral("AllToolsThicknessKey"));
    defaults.synchronize();

    TestPhone phone;
    Process advertisement;
    advertisement.process.start(QStringLiteral("avahi-publish"),
                                {QStringLiteral("-s"), QStringLiteral("Test Phone"), QStringLiteral("_inkora._udp"),
                                 QString::number(phone.port())});
    ASSERT_TRUE(advertisement.process.waitForStarted(10000));
    const QImage before = screenshot();

    Process program;
    QByteArray output;
    program.process.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&program.process, &QProcess::readyRead, [&] { output += program.process.readAll(); });
    program.process.start(QStringLiteral(INKORA_PROGRAM), {});
    ASSERT_TRUE(program.process.waitForStarted(10000));

    const auto receives = [&](int count) { return QTest::qWaitFor([&] { return phone.poll() >= count; }, 30000); };
    ASSERT_TRUE(receives(1)) << output.constData();
    // Requests go round the phone's addresses; the one to ::1 finds nobody, so the first to arrive may be the
    // second request, 239.
    EXPECT_TRUE(phone.received.at(0) == hex("FEEDFACEED") || phone.received.at(0) == hex("FEEDFACEEF"));
    phone.reply(hex("FEEDFACEED"));
    ASSERT_TRUE(receives(2)) << output.constData();
    EXPECT_EQ(phone.received.at(1), hex("FEEDFACEA0"));
    phone.reply(hex("FEEDFACEA0"));
    ASSERT_TRUE(receives(4)) << output.constData();
    EXPECT_EQ(phone.received.at(2), hex("FEEDFACEA2"));
    EXPECT_EQ(phone.received.at(3).left(5), hex("FEEDFACEF0"));
    EXPECT_EQ(phone.received.at(3).size(), 25);

    // Point at the left of the middle, press, sweep to the right, release.
    phone.reply(motion(0, 0.15));
    QTest::qWait(300);
    const int beforePress = phone.poll();
    phone.reply(hex("FEEDFACEB0"));
    for (int step = 0; step <= 60; ++step) {
        phone.reply(motion(0, 0.15 - 0.3 * step / 60.0));
        QTest::qWait(15);
    }
    QTest::qWait(300);
    phone.reply(hex("FEEDFACEB1"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            phone.poll();
            for (const QByteArray &datagram : phone.received.mid(beforePress))
                if (datagram.size() == 9 && datagram.startsWith(hex("FEEDFACEF2")))
                    return true;
            return false;
        },
        10000))
        << "a 242 answers the release";

    // The stroke runs along the middle of the 1440 x 900 screen, from about x 530 to x 910.
    const QImage after = screenshot();
    int changed = 0;
    for (int x = 600; x <= 840; x += 20)
        changed += screenshotPixel(after, x, 450) != screenshotPixel(before, x, 450) ? 1 : 0;
    EXPECT_GE(changed, 10) << output.constData();

    ::kill(pid_t(program.process.processId()), SIGTERM);
    ASSERT_TRUE(program.process.waitForFinished(60000));
    phone.poll();
    EXPECT_EQ(phone.received.last(), hex("FEEDFACEA1")) << "leaving tells the phone";
}

} // namespace
