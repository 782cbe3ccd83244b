#pragma once

#include <QRectF>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class MRKOSnapshotView;
class MRKOSnapshotsViewController;
class MRKOSnapshotCollectionView;
class MRKOAddSnapshotViewController;
namespace inkora {
class SnapshotSegmentedControl;
class WindowAnimation;
} // namespace inkora

/// The strip window of the snapshot browser: as wide as the first display and 200 points high, it lies just below
/// that display's bottom edge while closed and slides up onto it. One level above the overlay, on every desktop; it
/// takes the keyboard only while a name or the search text is typed. One instance for the process.
class MRKOSnapshotPanel final : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kHeight = 200; // points

    [[nodiscard]] static MRKOSnapshotPanel &sharedSnapshotPanel();
    /// Whether the panel has been made.
    [[nodiscard]] static bool panelHasInit();
    /// Global points, y up.
    [[nodiscard]] static QRectF closedFrameWithFrame(const QRectF &screenFrame);
    [[nodiscard]] static QRectF openedFrameWithFrame(const QRectF &screenFrame);
    [[nodiscard]] static double animationResizeTime() { return 0.25; }
    /// The frame of the first display; the zero rectangle without one.
    [[nodiscard]] static QRectF firstScreenFrame();
    ~MRKOSnapshotPanel() override;

    [[nodiscard]] QRectF frame() const;
    void setFrame(const QRectF &frame);
    /// Slides up onto the first display (`open`) or down below it over `duration` seconds, ease in and out; closing
    /// orders the panel out at the end. `completion` runs when the slide ends.
    void slide(bool open, double duration, std::function<void()> completion);
    [[nodiscard]] bool inAnimation() const { return m_inAnimation; }
    void setInAnimation(bool inAnimation) { m_inAnimation = inAnimation; }

    [[nodiscard]] MRKOSnapshotView *snapshotView() const { return m_view; }
    [[nodiscard]] MRKOSnapshotsViewController *snapshotsViewController() const;
    [[nodiscard]] MRKOSnapshotCollectionView *collectionView() const;
    [[nodiscard]] MRKOAddSnapshotViewController *addViewController() const;
    [[nodiscard]] inkora::SnapshotSegmentedControl *snapshotsTopControl() const;
    void validateTopControl();
    void validateAddButton();

    // The sheets
    [[nodiscard]] bool hasQuestionWindow() const;
    [[nodiscard]] bool hasExportOverlay() const;
    void askAQuestion();
    void supressAskWindow();
    void closeAskWindow(qint64 tag);
    void removeQuestionWindowIfNeeded();
    void makeExportOverlay(const QString &message);
    /// 0 to 100; any thread.
    void setPrgressValue(double value);
    void cancelExport();
    /// Main thread.
    void removeExportWindowIfNeeded();
    /// Any thread.
    [[nodiscard]] bool isExportCancelled() const { return m_exportCancelled.load(); }
    void setExportCancelled(bool cancelled) { m_exportCancelled = cancelled; }

    // The keyboard
    /// Only while a name or the search text is being edited.
    [[nodiscard]] bool canBecomeKeyWindow() const;
    [[nodiscard]] bool isKeyWindow() const;
    void makeKeyWindow();
    /// Follows the name editing: the window takes focus only while it runs; the native window is kept.
    void updateAcceptsFocus();
    /// Ends any editing in the panel.
    void makeFirstResponderNil();

    void applicationDidChangeScreenParameters();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    explicit MRKOSnapshotPanel(const QRectF &frame);

    MRKOSnapshotView *m_view = nullptr; // child
    std::unique_ptr<inkora::WindowAnimation> m_slide;
    std::atomic<bool> m_exportCancelled = false;
    bool m_inAnimation = false;
};
