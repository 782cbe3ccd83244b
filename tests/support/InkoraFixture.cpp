#include "tests/support/InkoraFixture.h"

#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "platform/fake/FakeClock.h"

#include <QDir>

void InkoraFixture::SetUp()
{
    m_home = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_home->isValid());
    const QString h = m_home->path();
    for (const char *sub : {"config", "data", "cache", "tmp", "Documents"})
        QDir(h).mkpath(QString::fromLatin1(sub));
    qputenv("HOME", h.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (h + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (h + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (h + QStringLiteral("/cache")).toLocal8Bit());
    qputenv("TMPDIR", (h + QStringLiteral("/tmp")).toLocal8Bit());
    qputenv("XDG_DOCUMENTS_DIR", (h + QStringLiteral("/Documents")).toLocal8Bit());

    m_log = std::make_unique<LogCapture>();
    // The offscreen platform cannot raise windows nor make them translucent; showing the tool panel asks for both.
    for (const char *line :
         {"This plugin does not support raise()", "This plugin does not support setting window opacity"})
        m_log->expectWarning(QString::fromLatin1(line));
    platform::uninstall();
    ASSERT_TRUE(platform::install(platform::makeFakeServices(m_fakes)));
    platform::RunLoop::main().setAutoFire(false);
}

void InkoraFixture::TearDown()
{
    drainMainQueue();
    const QStringList unexpected = m_log->unexpectedWarnings();
    EXPECT_TRUE(unexpected.isEmpty()) << "unexpected warnings:\n" << qPrintable(unexpected.join(QLatin1Char('\n')));
    m_log.reset();
}

void InkoraFixture::drainMainQueue()
{
    platform::drainMainQueue();
}

void InkoraFixture::advance(double seconds)
{
    m_fakes.clock->advance(seconds);
    drainMainQueue();
}
