#pragma once

#include "app/AppDelegate.h"
#include "tests/support/InkoraFixture.h"
#include "tools/ToolBarRemote.h"

#include <QPoint>
#include <QStringList>

#include <memory>

class MRKODraw;
class MRKOToolPanel;
class MRKOTools;
class QWidget;
namespace platform {
class Defaults;
}

/// A phone that is connected or not and records what the tool bar sends it.
class RecordingToolBarRemote final : public inkora::ToolBarRemote
{
public:
    bool isConnected() override { return connected; }
    void sendToolType(quint64 toolType) override { sent << QStringLiteral("tool %1").arg(toolType); }
    void sendColorType(quint64 colorType) override { sent << QStringLiteral("colorType %1").arg(colorType); }
    void sendHue() override { sent << QStringLiteral("hue"); }
    void sendDissolve(quint64 mode) override { sent << QStringLiteral("dissolve %1").arg(mode); }
    void sendUndoMask() override { sent << QStringLiteral("undoMask"); }
    void sendToolBarHidden(bool hidden) override { sent << QStringLiteral("toolBarHidden %1").arg(hidden); }

    bool connected = false;
    QStringList sent;
};

/// A launched program with its overlay shown on the fake displays, the first one carrying the tool panel, and a
/// recording phone.
class ToolBarFixture : public InkoraFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Launches and shows the overlay; settings written before stay.
    void launchAndShow();
    static platform::Defaults &defaults();
    AppDelegate &delegate() { return *m_delegate; }
    [[nodiscard]] MRKOTools *toolBar() const;
    [[nodiscard]] MRKOToolPanel *panel() const;
    [[nodiscard]] MRKODraw *canvas(int display) const;
    /// A press and release delivered to the button's centre.
    static void click(QWidget &button);

    RecordingToolBarRemote *remote = nullptr; // owned by the tool bar's remote slot

private:
    std::unique_ptr<AppDelegate> m_delegate;
};
