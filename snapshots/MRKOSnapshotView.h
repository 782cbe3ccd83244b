#pragma once

#include <QRectF>
#include <QWidget>

#include <memory>

class MRKOAddSnapshotViewController;
class MRKOSearchField;
class MRKOSmallButton;
class MRKOSnapshotsViewController;
class MRKOSnapshotToolbar;
namespace inkora {
class SnapshotPanelSheet;
class SnapshotSegmentedControl;
} // namespace inkora

/// The snapshot panel's content: a top bar with the close button, the snapshot tool bar, the roll switch and the
/// search field, and below it the add button and the browser. It also shows the panel's two sheets, the delete
/// question and the export progress. Frames are in the view's points, y up from its bottom left.
class MRKOSnapshotView final : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kTopBarHeight = 32; // points
    static constexpr double kBrowserHeight = 170;

    explicit MRKOSnapshotView(QWidget *parent);
    ~MRKOSnapshotView() override;

    [[nodiscard]] QRectF segmentedTopFrame() const;
    void updateCollectionViewFrame();
    /// Places a child at a frame in this view's y-up points.
    void placeChild(QWidget &child, const QRectF &frame) const;
    /// A child's frame in this view's y-up points.
    [[nodiscard]] QRectF frameOfChild(const QWidget &child) const;

    [[nodiscard]] inkora::SnapshotSegmentedControl *segmentedTop() const { return m_segmentedTop; }
    [[nodiscard]] MRKOSnapshotsViewController *snapshotsViewController() const { return m_snapshotsViewController; }
    [[nodiscard]] MRKOAddSnapshotViewController *addViewController() const { return m_addViewController; }
    [[nodiscard]] MRKOSnapshotToolbar *snapshotToolbar() const { return m_snapshotToolbar; }
    [[nodiscard]] QWidget *snapshotsTopBar() const { return m_topBar; }
    [[nodiscard]] MRKOSearchField *serachField() const { return m_searchField; }
    [[nodiscard]] MRKOSmallButton *closeButton() const { return m_closeButton; }

    void closePanel();
    void segmentedTopSelected(int segment);
    void searchAction();
    void searchFieldDidStartSearching();
    void searchFieldDidEndSearching();

    // The segment flash
    void highlightSnapshots();
    void highlightDazadUdizs();
    void highlightRecentlyDeleted();

    // The sheets
    [[nodiscard]] bool hasQuestionWindow() const;
    [[nodiscard]] bool hasExportOverlay() const;
    [[nodiscard]] inkora::SnapshotPanelSheet *questionWindow() const { return m_questionWindow.get(); }
    [[nodiscard]] inkora::SnapshotPanelSheet *exportWindow() const { return m_exportWindow.get(); }
    void askAQuestion();
    void supressAskWindow();
    void closeAskWindow(qint64 tag);
    void removeQuestionWindowIfNeeded();
    void makeExportOverlay(const QString &message);
    void setPrgressValue(double value);
    void cancelExport();
    void removeExportWindowIfNeeded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void setUpView();
    void layOutTopBar();

    QWidget *m_topBar = nullptr;                                      // child
    inkora::SnapshotSegmentedControl *m_segmentedTop = nullptr;       // child
    MRKOSmallButton *m_closeButton = nullptr;                         // child
    MRKOSnapshotsViewController *m_snapshotsViewController = nullptr; // child
    MRKOAddSnapshotViewController *m_addViewController = nullptr;     // child
    MRKOSnapshotToolbar *m_snapshotToolbar = nullptr;                 // child
    MRKOSearchField *m_searchField = nullptr;                         // child
    std::unique_ptr<inkora::SnapshotPanelSheet> m_questionWindow;
    std::unique_ptr<inkora::SnapshotPanelSheet> m_exportWindow;
    std::vector<std::unique_ptr<inkora::SnapshotPanelSheet>> m_leavingSheets; // fading out
};
