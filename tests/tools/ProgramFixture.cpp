#include "tests/tools/ProgramFixture.h"

#include "tests/support/OverlayProbe.h"
#include "tests/support/PythonReader.h"
#include "tests/support/Screenshot.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QTest>

void ProgramFixture::TearDown()
{
    if (m_inkora.state() != QProcess::NotRunning) {
        m_inkora.terminate();
        m_inkora.waitForFinished(20000);
    }
    InkoraFixture::TearDown();
}

void ProgramFixture::writeSettings(const QString &entries)
{
    const QString folder = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/com.Inkora.Inkora");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString script =
        QStringLiteral(
            "import plistlib, sys\n"
            "settings = {'FirstTimeRun': True, 'ColorTypeKey': 1, 'ToolTypeKey': 0, 'AllToolsThicknessKey': 5,\n"
            "            # Super+Alt+D, whatever the default of the day\n"
            "            'ShortcutActivate': 'cnVuSW5rb3JhOiw3ODY0MzIsMiww', %1}\n"
            "with open(sys.argv[1], 'wb') as f:\n"
            "    plistlib.dump(settings, f, fmt=plistlib.FMT_BINARY)\n"
            "print('written')\n")
            .arg(entries);
    const PythonResult result =
        runPythonOnData(QByteArray(), folder + QStringLiteral("/com.Inkora.Inkora.plist"), script);
    ASSERT_TRUE(result.ok) << qPrintable(result.error);
}

bool ProgramFixture::startAndShowOverlay()
{
    if (!m_bus.isRunning()) {
        ADD_FAILURE() << "no private bus for the program";
        return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
    m_inkora.setProcessEnvironment(env);
    m_inkora.setProcessChannelMode(QProcess::MergedChannels);
    m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
    EXPECT_TRUE(m_inkora.waitForStarted(10000));
    if (!QTest::qWaitFor([&] { return launched(); }, 120000)) {
        ADD_FAILURE() << "the program did not finish launching:\n" << m_output.constData();
        return false;
    }
    if (!showOverlayByShortcut()) {
        ADD_FAILURE() << "Super+Alt+D did not show the overlay:\n" << m_output.constData();
        return false;
    }
    return true;
}

QColor ProgramFixture::drawnColour(int from, int to, int probe, const QColor &expected)
{
    // On a busy machine the first press may reach the overlay before it takes the pointer: drag again then.
    QColor drawn;
    for (int attempt = 0; attempt < 3 && drawn != expected; ++attempt) {
        QTest::qWait(500);
        drawn = screenshotPixel(screenshotWhileDraggingDiagonally(from, to, probe, expected), probe, probe);
    }
    return drawn;
}

bool ProgramFixture::launched()
{
    m_output += m_inkora.readAll();
    return m_output.contains("finishAppLaunching");
}
