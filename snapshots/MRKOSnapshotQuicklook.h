#pragma once

#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <memory>

class MRKOSmallButton;
class MRKOSnapshotInfoProtocol;
class QLabel;
namespace inkora {
class WindowAnimation;
}

/// The preview window: the selected shot at 780 x 540 points with its name, floating two levels above the overlay.
/// It never takes the keyboard, a drag on the image moves it, and it reopens where it was last put. One instance.
class MRKOSnapshotQuicklook final : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kFadeDuration = 0.25; // seconds

    [[nodiscard]] static MRKOSnapshotQuicklook &sharedSnapshotQuicklook();
    [[nodiscard]] static bool isMade();
    /// 800 x 600 points centred in the screen frame (global points, y up).
    [[nodiscard]] static QRectF quicklookFrameWithFrame(const QRectF &screenFrame);
    ~MRKOSnapshotQuicklook() override;

    [[nodiscard]] static bool canBecomeKeyWindow() { return false; }
    [[nodiscard]] bool isShown() const;
    [[nodiscard]] const std::shared_ptr<MRKOSnapshotInfoProtocol> &snapshot() const { return m_snapshot; }
    void setSnapshot(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record);
    void showQuickLookWithSnapshot(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record);
    /// At once (the window is kept at alpha 0) or by fading out, remembering the frame.
    void hideQuickLookAnimated(bool animated);
    void closeQuickLook();
    [[nodiscard]] QRectF frame() const;
    [[nodiscard]] QRectF quicklookFrame() const { return m_quicklookFrame; }
    [[nodiscard]] QString title() const;
    [[nodiscard]] const QImage &image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    MRKOSnapshotQuicklook();
    [[nodiscard]] QRectF imageRect() const;

    QLabel *m_titleField = nullptr;           // child
    MRKOSmallButton *m_closeButton = nullptr; // child
    std::shared_ptr<MRKOSnapshotInfoProtocol> m_snapshot;
    std::unique_ptr<inkora::WindowAnimation> m_fade;
    QImage m_image;
    QRectF m_quicklookFrame;
    QPointF m_dragOffset;
    bool m_movingWindow = false;
    bool m_visible = false;
};
