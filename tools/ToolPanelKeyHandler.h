#pragma once

#include <QObject>

#include <functional>

namespace platform {
struct Event;
} // namespace platform

namespace inkora {

/// The tool panel's key handling: a key pressed while the panel has the keyboard goes to the handler as an event;
/// a key it consumes goes no further. The default handler only runs the shortcuts the system refused as hot keys,
/// so that they still work there. Installed as an event filter on the widget that has the panel's focus.
class ToolPanelKeyHandler final : public QObject
{
    Q_OBJECT
public:
    using KeyDown = std::function<bool(const platform::Event &event)>;

    explicit ToolPanelKeyHandler(QObject *parent = nullptr);
    ToolPanelKeyHandler(KeyDown keyDown, QObject *parent);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyDown m_keyDown;
};

} // namespace inkora
