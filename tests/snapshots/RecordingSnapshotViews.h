#pragma once

#include "snapshots/SnapshotViews.h"

#include <QStringList>

/// The windows of the roll as a record: every call the manager makes, by name with its argument, and a panel, browser
/// and preview whose state tests set. Animations end at once.
class RecordingSnapshotViews final : public inkora::SnapshotViews
{
public:
    QStringList calls;
    bool panelMade = true;
    bool panelShown = true;
    bool questionWindow = false;
    bool exportOverlay = false;
    bool panelKey = false;
    QRectF frame{0, 0, 1440, 200};
    inkora::ItemIndexes selection;
    inkora::ItemIndexes visible{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    QPointF scroll;
    double alpha = 1;
    bool quickLookVisible = false;
    std::shared_ptr<MRKOSnapshotInfoProtocol> quickLook;
    std::vector<std::pair<qint64, qint64>> moves;
    qint64 items = 0; // the browser's item count, kept in step by inserts and removals

    [[nodiscard]] int count(const QString &call) const { return int(calls.count(call)); }

    [[nodiscard]] bool panelHasInit() const override { return panelMade; }
    [[nodiscard]] bool isPanelShown() const override { return panelShown; }
    [[nodiscard]] QRectF panelFrame() const override { return frame; }
    [[nodiscard]] bool hasQuestionWindow() const override { return questionWindow; }
    [[nodiscard]] bool hasExportOverlay() const override { return exportOverlay; }
    [[nodiscard]] bool isPanelKeyWindow() const override { return panelKey; }
    void slidePanel(bool open, double duration, std::function<void()> completion) override
    {
        calls << QStringLiteral("slidePanel %1 %2").arg(open).arg(duration);
        panelShown = open;
        if (completion)
            completion();
    }
    void setPanelInAnimation(bool inAnimation) override { calls << QStringLiteral("inAnimation %1").arg(inAnimation); }
    void showSnapshotsToolTip() override { calls << QStringLiteral("showSnapshotsToolTip"); }
    void askAQuestion() override
    {
        calls << QStringLiteral("askAQuestion");
        questionWindow = true;
    }
    void removeQuestionWindowIfNeeded() override { calls << QStringLiteral("removeQuestionWindowIfNeeded"); }
    void makePanelFirstResponderNil() override { calls << QStringLiteral("makePanelFirstResponderNil"); }
    void makePanelKey() override { calls << QStringLiteral("makePanelKey"); }
    void validateTopControl() override { calls << QStringLiteral("validateTopControl"); }
    void validateAddButton() override { calls << QStringLiteral("validateAddButton"); }
    void highlightSegment(qint64 viewType) override { calls << QStringLiteral("highlight %1").arg(viewType); }
    void applicationDidChangeScreenParameters() override { calls << QStringLiteral("screenParameters"); }

    [[nodiscard]] bool hasBrowser() const override { return true; }
    void reloadData() override { calls << QStringLiteral("reloadData"); }
    void insertNewSnapshotAnimated() override
    {
        calls << QStringLiteral("insertNewSnapshotAnimated");
        ++items;
    }
    void removeSnapshotsAtIndexes(const inkora::ItemIndexes &indexes) override
    {
        QStringList listed;
        for (const qint64 index : indexes)
            listed << QString::number(index);
        calls << QStringLiteral("removeSnapshotsAtIndexes %1").arg(listed.join(QLatin1Char(',')));
        items -= qint64(indexes.size());
        selection.clear();
    }
    void validateAfterSelection() override { calls << QStringLiteral("validateAfterSelection"); }
    void selectionDidChanged() override { calls << QStringLiteral("selectionDidChanged"); }
    [[nodiscard]] inkora::ItemIndexes selectionIndexes() const override { return selection; }
    void setSelectionIndexes(const inkora::ItemIndexes &indexes) override { selection = indexes; }
    [[nodiscard]] inkora::ItemIndexes itemsIntersectingVisibleRect() const override { return visible; }
    void scrollToItem(qint64 index, bool animated, std::function<void()> completion) override
    {
        calls << QStringLiteral("scrollToItem %1 %2").arg(index).arg(animated);
        if (completion)
            completion();
    }
    [[nodiscard]] QPointF scrollOrigin() const override { return scroll; }
    void setScrollOrigin(QPointF origin) override { scroll = origin; }
    void setCollectionAlpha(double value) override { alpha = value; }
    void performBatchMoves(const std::vector<std::pair<qint64, qint64>> &batch,
                           std::function<void()> completion) override
    {
        moves = batch;
        if (completion)
            completion();
    }
    void moveLeft() override { calls << QStringLiteral("moveLeft"); }
    void moveRight() override { calls << QStringLiteral("moveRight"); }
    [[nodiscard]] const void *itemUndoTarget(qint64) const override { return nullptr; }
    void shareItem(qint64 index) override { calls << QStringLiteral("shareItem %1").arg(index); }
    void validateToolbarButtons() override { calls << QStringLiteral("validateToolbarButtons"); }

    [[nodiscard]] bool isQuickLookVisible() const override { return quickLookVisible; }
    [[nodiscard]] const MRKOSnapshotInfoProtocol *quickLookRecord() const override { return quickLook.get(); }
    void setQuickLookRecord(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record) override
    {
        calls << QStringLiteral("setQuickLookRecord");
        quickLook = record;
    }
    void showQuickLookWithRecord(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record) override
    {
        calls << QStringLiteral("showQuickLookWithRecord");
        quickLook = record;
        quickLookVisible = true;
    }
    void hideQuickLookAnimated(bool animated) override
    {
        calls << QStringLiteral("hideQuickLookAnimated %1").arg(animated);
        quickLookVisible = false;
    }
    void showAddedWindowWithRecord(const std::shared_ptr<MRKOSnapshotInfoProtocol> &) override
    {
        calls << QStringLiteral("showAddedWindowWithRecord");
    }
    void hideAddedWindowIfShown() override { calls << QStringLiteral("hideAddedWindowIfShown"); }
};
