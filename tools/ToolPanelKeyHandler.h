#pragma once

#include <QObject>

namespace inkora {

/// The tool panel's key handling: a key pressed while the panel has the keyboard is first offered to the
/// shortcuts the system refused as hot keys, so that they still run there; such a key is consumed.
/// Installed as an event filter on the panel's window.
class ToolPanelKeyHandler final : public QObject
{
    Q_OBJECT
public:
    explicit ToolPanelKeyHandler(QObject *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace inkora
