#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <memory>

class SnapInfo;
namespace inkora {
class WindowAnimation;
}

/// The small window that confirms a new shot: its thumbnail at the bottom left of the first display, fading in over
/// 0.3 s and sliding out 2.0 s later unless the pointer rests on it; a click opens the panel on the shot's roll.
/// Never takes the keyboard. One instance.
class MRKOSnapshotAddedWindow final : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kFadeInDuration = 0.3; // seconds
    static constexpr double kHideDelay = 2.0;
    static constexpr double kSlideOutDuration = 0.25;

    [[nodiscard]] static MRKOSnapshotAddedWindow &sharedWindow();
    [[nodiscard]] static bool isMade();
    static void showWindowWithSnapshot(const std::shared_ptr<SnapInfo> &info);
    /// Origin + (44, 10), size = image + (10, 10); global points, y up.
    [[nodiscard]] static QRectF startFrameWithFrame(const QRectF &screenFrame, const QSizeF &imageSize);
    ~MRKOSnapshotAddedWindow() override;

    [[nodiscard]] static bool canBecomeKeyWindow() { return false; }
    [[nodiscard]] const std::weak_ptr<SnapInfo> &snapshot() const { return m_snapshot; }
    [[nodiscard]] const QImage &image() const { return m_image; }
    [[nodiscard]] QRectF frame() const;
    void updateFrameWithSize(const QSizeF &imageSize);
    [[nodiscard]] QRectF endFrame() const;
    void prepareHideWindow();
    [[nodiscard]] bool isShown() const { return isVisible(); }
    void hideIfShown();
    void hideWindowAnimated();
    [[nodiscard]] bool isHovered() const { return m_hovered; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    MRKOSnapshotAddedWindow();
    void cancelPendingRequests();

    std::weak_ptr<SnapInfo> m_snapshot;
    std::unique_ptr<inkora::WindowAnimation> m_animation;
    QImage m_image;
    quint64 m_hideTimer = 0;
    bool m_hovered = false;
};
