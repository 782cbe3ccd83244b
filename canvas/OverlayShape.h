#pragma once

#include "platform/WindowSystem.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRegion>

#include <memory>

class QImage;
class QWidget;

namespace inkora {

/// The painted pixels of `image` inside `rect` (device pixels) as a region of one-pixel rows: what stays visible
/// of a shaped window there.
[[nodiscard]] QRegion paintedRegion(const QImage &image, const QRect &rect);

/// Keeps an overlay window from hiding the desktop when no compositing manager runs: the window's X shape follows
/// its painted pixels, updated once per frame from the rectangles painted since, so the desktop stays visible
/// around the ink; an invisible window under it keeps taking the pointer while the overlay takes mouse events.
/// With a compositing manager the window is plainly transparent. Follows a compositing manager that starts or stops.
class OverlayShape final : public QObject
{
    Q_OBJECT
public:
    explicit OverlayShape(QWidget &window);
    ~OverlayShape() override;

    [[nodiscard]] bool isShaped() const { return m_shaped; }
    /// The window's pointer input changed (click-through, showing, hiding).
    void updatePointerCatcher();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setShaped(bool shaped);
    void watch(QObject *object);
    void scheduleFrame();
    void applyFrame();
    void rebuild();
    [[nodiscard]] QRect deviceRect(const QRect &logical) const;

    QWidget &m_window; // owns us
    std::unique_ptr<platform::WindowSystem::Monitor> m_compositingMonitor;
    QRegion m_dirty; // logical window coordinates, painted since the last frame
    bool m_shaped = false;
    bool m_framePending = false;
    bool m_rendering = false;
    bool m_catching = false;
};

} // namespace inkora
