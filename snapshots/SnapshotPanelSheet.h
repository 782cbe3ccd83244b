#pragma once

#include <QObject>
#include <QPointer>
#include <QRectF>

#include <functional>
#include <memory>

class MRKODarkOverlayWindow;
class MRKORoundCornerWindow;
class QLabel;
class QProgressBar;
class QPushButton;

namespace inkora {

class WindowAnimation;

/// A 502 x 90 point sheet centred on a window, with a dimming window over that window: it rises 100 points while
/// both fade in over 0.3 s, and sinks while they fade out. Holds a message, buttons and, for exports, a progress bar.
class SnapshotPanelSheet final : public QObject
{
    Q_OBJECT
public:
    static constexpr double kDuration = 0.3; // seconds
    static constexpr double kRise = 100;     // points

    /// `owner` is the dimmed window; a click on the dimmed window runs `dimmedClick`.
    SnapshotPanelSheet(QWidget &owner, const QString &message, std::function<void()> dimmedClick);
    ~SnapshotPanelSheet() override;

    /// A button at a frame in the sheet's y-up points; Return or Escape as key equivalent (0 for none).
    QPushButton *addButton(const QString &title, const QRectF &frame, int keyEquivalent, std::function<void()> action);
    void addProgressBar();
    [[nodiscard]] QProgressBar *progress() const { return m_progress; }
    [[nodiscard]] QLabel *label() const { return m_label; }
    [[nodiscard]] MRKORoundCornerWindow *window() const { return m_window.get(); }
    [[nodiscard]] MRKODarkOverlayWindow *darkOverlayWindow() const { return m_darkOverlay.get(); }
    /// The sheet's frame once it stands (global points, y up).
    [[nodiscard]] QRectF finalFrame() const { return m_frame; }

    void show();
    /// Fades out and sinks; `completion` runs once both windows are ordered out.
    void dismiss(std::function<void()> completion);
    [[nodiscard]] bool isVisible() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<MRKODarkOverlayWindow> m_darkOverlay;
    std::unique_ptr<MRKORoundCornerWindow> m_window;
    std::unique_ptr<WindowAnimation> m_sheetAnimation;
    std::unique_ptr<WindowAnimation> m_dimAnimation;
    QPointer<QWidget> m_dimView;        // the dimming window's click catcher
    QLabel *m_label = nullptr;          // child of the sheet
    QProgressBar *m_progress = nullptr; // child of the sheet
    QPushButton *m_returnButton = nullptr;
    QPushButton *m_escapeButton = nullptr;
    QRectF m_frame;
    std::function<void()> m_dimmedClick;
};

} // namespace inkora
