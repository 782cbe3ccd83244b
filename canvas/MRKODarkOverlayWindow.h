#pragma once

#include <QWidget>

#include <memory>

class MRKOModalOverlayView;

/// A borderless window one level above the overlay windows that dims another window and catches its clicks while
/// that window asks a question or works; it never takes the keyboard.
class MRKODarkOverlayWindow : public QWidget
{
    Q_OBJECT
public:
    /// A new dimming window with the frame of `window`.
    [[nodiscard]] static std::unique_ptr<MRKODarkOverlayWindow> darkOverlayWindowWithWindow(const QWidget &window);
    explicit MRKODarkOverlayWindow(const QRect &geometry);

    [[nodiscard]] static bool canBecomeKeyWindow() { return false; }
    [[nodiscard]] MRKOModalOverlayView *modalOverlayView() const { return m_view; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    MRKOModalOverlayView *m_view = nullptr; // child
};
