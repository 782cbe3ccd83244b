#include "helper/AppDelegate.h"
#include "helper/MRKOShowController.h"
#include "helper/MRKOShowWindow.h"
#include "platform/HelperLink.h"
#include "tests/support/InkoraFixture.h"
#include "tests/support/PrivateBus.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QLabel>
#include <QTest>

#include <unistd.h>

using namespace platform::helperlink;

// The helper's service in this process, called over a bus of the test's own from other connections.
class HelperServiceTest : public InkoraFixture
{
protected:
    void SetUp() override
    {
        InkoraFixture::SetUp();
        ASSERT_TRUE(m_bus.isRunning());
    }

    std::unique_ptr<helper::AppDelegate> makeDelegate(uint userId)
    {
        return std::make_unique<helper::AppDelegate>(m_bus.connect(QStringLiteral("helper")), QString(), userId);
    }

    static QDBusMessage helperCall(const char *method, const QVariantList &arguments = {})
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(QString::fromLatin1(kHelperId), QString::fromLatin1(kHelperObjectPath),
                                           QString::fromLatin1(kHelperInterface), QString::fromLatin1(method));
        call.setArguments(arguments);
        return call;
    }

    /// Asks for the version and waits for the answer; everything the caller sent before has arrived by then.
    QDBusMessage version(QDBusConnection caller)
    {
        QDBusPendingCall pending = caller.asyncCall(helperCall("getVersionWithReply"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 10000));
        drainMainQueue();
        return pending.reply();
    }

    PrivateBus m_bus;
};

TEST_F(HelperServiceTest, CallersOfOurUserAreServedOneAfterAnother)
{
    auto delegate = makeDelegate(::getuid());
    ASSERT_TRUE(delegate->installListener());

    QDBusConnection first = m_bus.connect(QStringLiteral("first"));
    ASSERT_TRUE(first.send(helperCall("showToolForToolType", {QVariant::fromValue<qulonglong>(1)})));
    const QDBusMessage answer = version(first);
    ASSERT_EQ(answer.type(), QDBusMessage::ReplyMessage) << answer.errorMessage().toStdString();
    EXPECT_EQ(answer.arguments().value(0).toString(), QStringLiteral("Inkora Helper Version: (null)"));
    MRKOShowController &show = *MRKOShowController::sharedShow();
    EXPECT_TRUE(show.window()->isVisible());
    EXPECT_EQ(show.showLabel()->text(), QStringLiteral("Arrow Tool"));

    QDBusConnection second = m_bus.connect(QStringLiteral("second"));
    ASSERT_TRUE(second.send(helperCall("showDissolveMode", {QVariant::fromValue<qulonglong>(1)})));
    EXPECT_EQ(version(second).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(show.showLabel()->text(), QStringLiteral("Freeze Mode On"));
}

TEST_F(HelperServiceTest, CallerUnderAnotherUserIsRefused)
{
    log().expectWarning(QStringLiteral("refused"));
    auto delegate = makeDelegate(::getuid() + 1);
    ASSERT_TRUE(delegate->installListener());

    QDBusConnection caller = m_bus.connect(QStringLiteral("caller"));
    ASSERT_TRUE(caller.send(helperCall("showToolForToolType", {QVariant::fromValue<qulonglong>(1)})));
    const QDBusMessage answer = version(caller);
    EXPECT_EQ(answer.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(answer.errorName(), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
    EXPECT_FALSE(MRKOShowController::sharedShow()->window()->isVisible());
    EXPECT_EQ(log().count(QStringLiteral("refused")), 2);
}

TEST_F(HelperServiceTest, SecondHelperCannotTakeTheNameAndSaysSo)
{
    log().expectWarning(QStringLiteral("is taken"));
    auto first = makeDelegate(::getuid());
    ASSERT_TRUE(first->installListener());
    helper::AppDelegate second(m_bus.connect(QStringLiteral("other helper")), QString(), ::getuid());
    EXPECT_FALSE(second.installListener());
    EXPECT_TRUE(log().contains(QStringLiteral("installListener: the name")));
}
