#pragma once

#include "platform/SyntheticInput.h"

#include <memory>

struct xcb_connection_t;

namespace platform {

/// Synthetic input through the XTEST extension on Qt's own X connection.
class XTestSyntheticInput final : public SyntheticInput
{
public:
    /// Null when there is no X connection or no XTEST.
    [[nodiscard]] static std::unique_ptr<XTestSyntheticInput> create();
    explicit XTestSyntheticInput(xcb_connection_t *connection);

    bool clickAt(QPointF globalPoint) override;
    bool movePointerTo(QPointF globalPoint) override;
    bool postKeystroke(quint16 keyCode, qint64 processId) override;

private:
    /// Asks the window manager to activate the top-level window of the process; false when there is none.
    bool activateWindowOfProcess(qint64 processId);

    xcb_connection_t *m_connection = nullptr; // not owned; Qt's
    quint32 m_root = 0;
};

/// Used where there is no X server: sends nothing and says so once.
class NullSyntheticInput final : public SyntheticInput
{
public:
    bool clickAt(QPointF) override { return unavailable(); }
    bool movePointerTo(QPointF) override { return unavailable(); }
    bool postKeystroke(quint16, qint64) override { return unavailable(); }

private:
    bool unavailable();
    bool m_logged = false;
};

} // namespace platform
