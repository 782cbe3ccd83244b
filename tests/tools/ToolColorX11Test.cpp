#include "tests/support/InkoraFixture.h"
#include "tests/support/OverlayProbe.h"
#include "tests/support/PythonReader.h"
#include "tests/support/Screenshot.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

// The real program under the test's X server, its settings written by Python's plistlib: the colour of the tool
// the settings name is the colour a drag draws with.
class ToolColorX11Test : public InkoraFixture
{
protected:
    void TearDown() override
    {
        if (m_inkora.state() != QProcess::NotRunning) {
            m_inkora.terminate();
            m_inkora.waitForFinished(20000);
        }
        InkoraFixture::TearDown();
    }

    /// Writes the settings file with the custom colour on, the Line tool and these entries.
    void writeSettings(const QString &entries)
    {
        const QString folder =
            QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/com.Inkora.Inkora");
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString script =
            QStringLiteral(
                "import plistlib, sys\n"
                "settings = {'FirstTimeRun': True, 'ColorTypeKey': 1, 'ToolTypeKey': 5, 'AllToolsThicknessKey': 5,\n"
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

    /// Starts the program, shows the overlay with Super+Alt+D and draws a line down the diagonal; the colour at its
    /// middle.
    QColor drawnColour(const QColor &expected)
    {
        m_inkora.setProcessChannelMode(QProcess::MergedChannels);
        m_inkora.start(QStringLiteral(INKORA_PROGRAM), {});
        EXPECT_TRUE(m_inkora.waitForStarted(10000));
        if (!QTest::qWaitFor([&] { return launched(); }, 60000)) {
            ADD_FAILURE() << "the program did not finish launching:\n" << m_output.constData();
            return {};
        }
        if (!showOverlayByShortcut()) {
            ADD_FAILURE() << "Super+Alt+D did not show the overlay:\n" << m_output.constData();
            return {};
        }
        // The line is read while the button is still down: in the default fade mode the finished line fades at
        // once. On a busy machine the first press may reach the overlay before it takes the pointer: drag again then.
        QColor drawn;
        for (int attempt = 0; attempt < 3 && drawn != expected; ++attempt) {
            QTest::qWait(500);
            drawn = screenshotPixel(screenshotWhileDraggingDiagonally(150, 350, 250, expected), 250, 250);
        }
        return drawn;
    }

    QProcess m_inkora;

private:
    bool launched()
    {
        m_output += m_inkora.readAll();
        return m_output.contains("finishAppLaunching");
    }

    QByteArray m_output;
};

TEST_F(ToolColorX11Test, PerToolColourOfTheStoredToolIsDrawn)
{
    writeSettings(QStringLiteral("'ToolColorFormat': 2,\n"
                                 "'LineColorSavedKey': '0.000000+0.000000+1.000000+1.000000',\n"
                                 "'ArrowColorSavedKey': '0.000000+1.000000+0.000000+1.000000'"));

    EXPECT_EQ(drawnColour(QColor(Qt::blue)), QColor(Qt::blue));
}

TEST_F(ToolColorX11Test, PerGroupColourOfTheStoredToolsGroupIsDrawn)
{
    writeSettings(QStringLiteral("'ToolColorFormat': 1,\n"
                                 "'LineColorSavedKey': '0.000000+0.000000+1.000000+1.000000',\n"
                                 "'GroupArrowColorSavedKey': '0.000000+1.000000+0.000000+1.000000'"));

    EXPECT_EQ(drawnColour(QColor(Qt::green)), QColor(Qt::green));
}
