#pragma once

#include "tests/support/InkoraFixture.h"
#include "tests/support/PrivateBus.h"

#include <QByteArray>
#include <QColor>
#include <QProcess>
#include <QString>

/// The real program under the test's X server, its settings written by Python's plistlib.
class ProgramFixture : public InkoraFixture
{
protected:
    void TearDown() override;

    /// Writes the settings file with the custom colour on, the brush, Super+Alt+D and these entries.
    void writeSettings(const QString &entries);
    /// Starts the program and shows the overlay with Super+Alt+D; false, with a failure, when that fails.
    [[nodiscard]] bool startAndShowOverlay();
    /// Drags down the diagonal from `from` to `to`; the colour at `probe`, once it is `expected` or time ran out.
    [[nodiscard]] QColor drawnColour(int from, int to, int probe, const QColor &expected);

    PrivateBus m_bus; // the other display's tests run programs at the same time on the shared bus
    QProcess m_inkora;
    QByteArray m_output;

private:
    bool launched();
};
