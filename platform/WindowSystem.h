#pragma once

#include "platform/Event.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

/// What floating windows need of the window system beyond Qt: desktop-wide hints, the frontmost application and
/// whether transparency works. Input from anywhere on the display comes through RawInput.
class WindowSystem
{
public:
    virtual ~WindowSystem() = default;
    /// Sticky on every desktop, kept above other applications' windows, out of the task bar and the pager. Call on
    /// a window whose native window exists; safe to call again.
    virtual void prepareFloatingWindow(QWidget &window) = 0;
    /// The application id of the active window ("com.Inkora.Inkora" for our own windows); empty when unknown.
    [[nodiscard]] virtual QString frontmostApplicationId() = 0;
    /// The process owning the active window; 0 when unknown.
    [[nodiscard]] virtual qint64 frontmostProcessId() = 0;
    /// Makes one of our windows the active one, for the keyboard.
    virtual void activateWindow(QWidget &window) = 0;
    /// Whether a compositing manager runs, without which transparent windows show black.
    [[nodiscard]] virtual bool hasCompositingManager() = 0;
};

} // namespace platform
