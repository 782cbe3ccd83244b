#pragma once

#include "platform/WindowSystem.h"

#include <memory>

namespace platform {

/// Window hints and the active window through Qt's X connection; modifier changes through XInput2 raw key events on
/// a connection of its own.
class XcbWindowSystem final : public WindowSystem
{
public:
    /// Null when Qt does not run on X11.
    [[nodiscard]] static std::unique_ptr<XcbWindowSystem> create();
    ~XcbWindowSystem() override;

    void prepareFloatingWindow(QWidget &window) override;
    [[nodiscard]] QString frontmostApplicationId() override;
    [[nodiscard]] qint64 frontmostProcessId() override;
    void activateWindow(QWidget &window) override;
    [[nodiscard]] bool hasCompositingManager() override;
    [[nodiscard]] std::unique_ptr<Monitor> addForeignStackingMonitor(std::function<void()> handler) override;
    [[nodiscard]] std::unique_ptr<Monitor> addCompositingMonitor(std::function<void(bool)> handler) override;
    void updateWindowShape(QWidget &window, const QRegion &dirty, const QRegion &painted) override;
    void removeWindowShape(QWidget &window) override;
    void setPointerCatcher(QWidget &window, bool on) override;

private:
    struct Private;
    explicit XcbWindowSystem(std::unique_ptr<Private> d);
    const std::unique_ptr<Private> d;
};

/// Stands in where there is no X server: hints do nothing, nothing is frontmost, no modifier can be watched.
class NullWindowSystem final : public WindowSystem
{
public:
    void prepareFloatingWindow(QWidget &) override {}
    [[nodiscard]] QString frontmostApplicationId() override { return {}; }
    [[nodiscard]] qint64 frontmostProcessId() override { return 0; }
    void activateWindow(QWidget &window) override;
    [[nodiscard]] bool hasCompositingManager() override { return true; }
};

} // namespace platform
