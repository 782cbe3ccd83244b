#include "snapshots/MRKOSnapshotCollectionView.h"

#include "foundation/InkoraLog.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/StepAnimation.h"
#include "platform/Dispatch.h"
#include "platform/Geometry.h"
#include "snapshots/MRKOCollectionFlowLayout.h"
#include "snapshots/MRKOSnapshotItem.h"
#include "snapshots/MRKOSnapshotItemView.h"
#include "snapshots/MRKOSnapshotsViewController.h"
#include "snapshots/SnapshotDragData.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kScrollDuration = 0.3; // seconds
constexpr double kNarrowDelay = 0.1;    // seconds after a plain click inside a multiple selection
constexpr int kScrollBarHeight = 8;     // points

using Layout = MRKOCollectionFlowLayout;

/// Steps the scroll origin from one x to another.
class ScrollSteps final : public inkora::StepAnimation
{
public:
    ScrollSteps(MRKOSnapshotCollectionView &view, double from, double to, std::function<void()> completion)
        : StepAnimation(kScrollDuration, Curve::EaseInOut), m_view(&view), m_from(from), m_to(to),
          m_completion(std::move(completion))
    {}
    void setCurrentProgress(double progress) override
    {
        StepAnimation::setCurrentProgress(progress);
        if (m_view)
            m_view->setScrollOrigin(QPointF(m_from + (m_to - m_from) * currentValue(), 0));
    }

protected:
    void animationDidEnd() override
    {
        const std::function<void()> completion = std::move(m_completion);
        if (completion)
            completion();
    }

private:
    QPointer<MRKOSnapshotCollectionView> m_view;
    double m_from = 0;
    double m_to = 0;
    std::function<void()> m_completion;
};

} // namespace

MRKOSnapshotCollectionView::MRKOSnapshotCollectionView(MRKOSnapshotsViewController &controller, QWidget *parent)
    : QWidget(parent), m_controller(controller)
{
    setAcceptDrops(true);
    m_scrollBar = new QScrollBar(Qt::Horizontal, this); // child
    m_scrollBar->hide();
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        if (value != int(std::round(m_scrollX)))
            setScrollOrigin(QPointF(value, 0));
    });
}

MRKOSnapshotCollectionView::~MRKOSnapshotCollectionView()
{
    m_scrollAnimation.reset();
    m_items.clear();
    m_spareItems.clear();
}

void MRKOSnapshotCollectionView::reloadData()
{
    m_count = qint64(MRKOSnapshotManager::sharedSnapshotManager().snapshots().size());
    for (auto &entry : m_items) {
        entry.second->setRepresentedObject(nullptr);
        entry.second->view().hide();
        m_spareItems.push_back(std::move(entry.second));
    }
    m_items.clear();
    inkora::ItemIndexes kept;
    for (const qint64 index : m_selection) {
        if (index < m_count)
            kept.insert(index);
    }
    m_selection = kept;
    m_scrollX = std::clamp(m_scrollX, 0.0, maxScrollX());
    layOutItems();
    m_controller.setEmptyCollection(m_count == 0);
    if (m_count == 0)
        m_controller.updateEmptyCollectionStringIfNeeded();
    update();
    // The tool bar and the preview follow what the reload left selected.
    m_controller.validateAfterSelection();
}

void MRKOSnapshotCollectionView::insertItemAtZero()
{
    inkora::ItemIndexes shifted;
    for (const qint64 index : m_selection)
        shifted.insert(index + 1);
    m_selection = shifted;
    reloadData();
}

void MRKOSnapshotCollectionView::deleteItems(const inkora::ItemIndexes &indexes)
{
    m_selection.clear();
    m_lastClicked.reset();
    reloadData();
    (void)indexes;
}

void MRKOSnapshotCollectionView::performBatchMoves(const std::vector<std::pair<qint64, qint64>> &moves)
{
    // The moved items stay selected where they land.
    inkora::ItemIndexes selection;
    for (const auto &move : moves)
        selection.insert(move.second);
    m_selection = selection;
    reloadData();
}

void MRKOSnapshotCollectionView::setSelectionIndexes(const inkora::ItemIndexes &indexes)
{
    inkora::ItemIndexes valid;
    for (const qint64 index : indexes) {
        if (index >= 0 && index < m_count)
            valid.insert(index);
    }
    const bool changed = valid != m_selection;
    m_selection = valid;
    for (auto &entry : m_items)
        entry.second->setSelected(m_selection.count(entry.first) > 0);
    if (changed)
        m_controller.selectionDidChanged();
}

void MRKOSnapshotCollectionView::setScrollOrigin(QPointF origin)
{
    const double x = std::clamp(origin.x(), 0.0, maxScrollX());
    if (x == m_scrollX && !m_items.empty())
        return;
    m_scrollX = x;
    layOutItems();
    update();
}

double MRKOSnapshotCollectionView::maxScrollX() const
{
    return std::max(0.0, Layout::contentWidth(m_count) - width());
}

inkora::ItemIndexes MRKOSnapshotCollectionView::itemsIntersectingVisibleRect() const
{
    const auto [first, last] = Layout::itemsInRange(m_scrollX, width(), m_count);
    inkora::ItemIndexes visible;
    for (qint64 i = first; i < last; ++i)
        visible.insert(i);
    return visible;
}

void MRKOSnapshotCollectionView::scrollToItem(qint64 index, bool animated, std::function<void()> completion)
{
    if (index < 0 || index >= m_count) {
        if (completion)
            completion();
        return;
    }
    const QRectF frame = Layout::frameForItem(index);
    double target = m_scrollX;
    if (frame.x() - Layout::kInset < m_scrollX)
        target = frame.x() - Layout::kInset;
    else if (platform::maxX(frame) + Layout::kInset > m_scrollX + width())
        target = platform::maxX(frame) + Layout::kInset - width();
    target = std::clamp(target, 0.0, maxScrollX());
    if (!animated) {
        setScrollOrigin(QPointF(target, 0));
        if (completion)
            completion();
        return;
    }
    m_scrollAnimation = std::make_unique<ScrollSteps>(*this, m_scrollX, target, std::move(completion));
    m_scrollAnimation->startAnimation();
}

void MRKOSnapshotCollectionView::setAlpha(double alpha)
{
    m_alpha = alpha;
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect());
    if (alpha >= 1) {
        setGraphicsEffect(nullptr);
        return;
    }
    if (!effect) {
        effect = new QGraphicsOpacityEffect(this); // owned by the view once set
        setGraphicsEffect(effect);
    }
    effect->setOpacity(alpha);
}

MRKOSnapshotItem *MRKOSnapshotCollectionView::itemAtIndex(qint64 index) const
{
    const auto found = m_items.find(index);
    return found == m_items.end() ? nullptr : found->second.get();
}

std::optional<qint64> MRKOSnapshotCollectionView::indexOfItem(const MRKOSnapshotItem *item) const
{
    for (const auto &entry : m_items) {
        if (entry.second.get() == item)
            return entry.first;
    }
    return std::nullopt;
}

std::optional<qint64> MRKOSnapshotCollectionView::indexAtPoint(QPointF viewPoint) const
{
    for (const auto &entry : m_items) {
        if (viewRectForContentFrame(Layout::frameForItem(entry.first)).contains(viewPoint.toPoint()))
            return entry.first;
    }
    return std::nullopt;
}

QRect MRKOSnapshotCollectionView::viewRectForContentFrame(const QRectF &frame) const
{
    const QRectF shifted = frame.translated(-m_scrollX, 0);
    return platform::flipY(shifted, double(height())).toRect();
}

void MRKOSnapshotCollectionView::layOutItems()
{
    const MRKOSnapshotManager::Records records = MRKOSnapshotManager::sharedSnapshotManager().snapshots();
    m_count = qint64(records.size());
    const auto [first, last] = Layout::itemsInRange(m_scrollX, width(), m_count);
    for (auto it = m_items.begin(); it != m_items.end();) {
        if (it->first < first || it->first >= last) {
            it->second->setRepresentedObject(nullptr);
            it->second->view().hide();
            m_spareItems.push_back(std::move(it->second));
            it = m_items.erase(it);
        } else {
            ++it;
        }
    }
    for (qint64 i = first; i < last; ++i) {
        auto found = m_items.find(i);
        if (found == m_items.end()) {
            std::unique_ptr<MRKOSnapshotItem> item;
            if (!m_spareItems.empty()) {
                item = std::move(m_spareItems.back());
                m_spareItems.pop_back();
            } else {
                item = std::make_unique<MRKOSnapshotItem>(*this);
            }
            found = m_items.emplace(i, std::move(item)).first;
        }
        bindItem(*found->second, i, records);
    }
    updateScrollBar();
}

void MRKOSnapshotCollectionView::bindItem(MRKOSnapshotItem &item, qint64 index,
                                          const MRKOSnapshotManager::Records &records)
{
    item.setRepresentedObject(records[size_t(index)]);
    item.setNeedSeparator(index + 1 < m_count);
    item.setSelected(m_selection.count(index) > 0);
    item.view().setGeometry(viewRectForContentFrame(Layout::frameForItem(index)));
    item.view().show();
}

void MRKOSnapshotCollectionView::updateScrollBar()
{
    const double maximum = maxScrollX();
    m_scrollBar->setGeometry(0, height() - kScrollBarHeight, width(), kScrollBarHeight);
    m_scrollBar->setVisible(maximum > 0);
    const QSignalBlocker blocker(m_scrollBar);
    m_scrollBar->setRange(0, int(std::ceil(maximum)));
    m_scrollBar->setPageStep(std::max(1, width()));
    m_scrollBar->setValue(int(std::round(m_scrollX)));
    m_scrollBar->raise();
}

void MRKOSnapshotCollectionView::itemPressed(MRKOSnapshotItem &item, Qt::KeyboardModifiers modifiers)
{
    const std::optional<qint64> found = indexOfItem(&item);
    if (!found)
        return;
    const qint64 index = *found;
    if (modifiers & Qt::ShiftModifier) {
        inkora::ItemIndexes range;
        if (m_lastClicked) {
            for (qint64 i = std::min(*m_lastClicked, index); i <= std::max(*m_lastClicked, index); ++i)
                range.insert(i);
        } else {
            range.insert(index);
        }
        setSelectionIndexes(range);
        return;
    }
    if (modifiers & Qt::ControlModifier) {
        inkora::ItemIndexes toggled = m_selection;
        if (!toggled.erase(index))
            toggled.insert(index);
        setSelectionIndexes(toggled);
        return;
    }
    // A press inside a multiple selection keeps it, so the whole selection can be dragged.
    if (m_selection.count(index) == 0)
        setSelectionIndexes({index});
}

void MRKOSnapshotCollectionView::itemReleased(MRKOSnapshotItem &item, Qt::KeyboardModifiers modifiers, bool dragged)
{
    const std::optional<qint64> index = indexOfItem(&item);
    if (!index || dragged || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;
    if (m_selection.size() < 2 || m_selection.count(*index) == 0)
        return;
    const QPointer<MRKOSnapshotCollectionView> self(this);
    const qint64 clicked = *index;
    platform::DispatchQueue::main().after(kNarrowDelay, [self, clicked] {
        if (self)
            self->setSelectionIndexes({clicked});
    });
}

void MRKOSnapshotCollectionView::prepareSelectionForMenuOnItem(MRKOSnapshotItem &item)
{
    const std::optional<qint64> index = indexOfItem(&item);
    if (!index)
        return;
    inkora::ItemIndexes selection = m_selection;
    if (selection.size() == 1)
        selection.clear();
    selection.insert(*index);
    setSelectionIndexes(selection);
}

void MRKOSnapshotCollectionView::startDragFromItem(MRKOSnapshotItem &item)
{
    if (!indexOfItem(&item) || !m_controller.canDragItems())
        return;
    m_controller.dragItems(m_selection, item.draggingImage());
}

void MRKOSnapshotCollectionView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const auto [first, last] = Layout::itemsInRange(m_scrollX, width(), m_count);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 40));
    for (qint64 i = first; i < last; ++i) {
        const QRectF separator = Layout::separatorFrameForItem(i, m_count);
        if (!separator.isEmpty())
            painter.drawRect(viewRectForContentFrame(separator));
    }
    if (!m_gapIndex || MRKOSnapshotManager::sharedSnapshotManager().inSearch())
        return;
    // The drop gap: a line with an arrow head at each end, 8.5 points in from the indicator's left.
    const QRect gap = viewRectForContentFrame(Layout::interItemGapBeforeItem(*m_gapIndex));
    const double x = gap.x() + 8.5;
    const double top = gap.y() + 10;
    const double bottom = gap.y() + 160;
    QPainterPath path;
    path.moveTo(x, top);
    path.lineTo(x, bottom);
    const double arm = 5.656854;
    path.moveTo(x - arm, top - arm);
    path.lineTo(x, top);
    path.lineTo(x + arm, top - arm);
    path.moveTo(x - arm, bottom + arm);
    path.lineTo(x, bottom);
    path.lineTo(x + arm, bottom + arm);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(OnOffColor::iconPressedColor(), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
}

void MRKOSnapshotCollectionView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_scrollX = std::clamp(m_scrollX, 0.0, maxScrollX());
    layOutItems();
}

void MRKOSnapshotCollectionView::wheelEvent(QWheelEvent *event)
{
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    double delta = 0;
    if (!pixels.isNull())
        delta = -(pixels.x() != 0 ? pixels.x() : pixels.y());
    else
        delta = -(angle.x() != 0 ? angle.x() : angle.y()) / 120.0 * Layout::kItemWidth / 2;
    setScrollOrigin(QPointF(m_scrollX + delta, 0));
    event->accept();
}

void MRKOSnapshotCollectionView::mousePressEvent(QMouseEvent *event)
{
    // A click between items clears the selection.
    QWidget::mousePressEvent(event);
    m_lastClicked.reset();
    setSelectionIndexes({});
}

void MRKOSnapshotCollectionView::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_controller.validateDrop(*event->mimeData(), event->source())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        return;
    }
    event->ignore();
}

void MRKOSnapshotCollectionView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!m_controller.validateDrop(*event->mimeData(), event->source())) {
        event->ignore();
        return;
    }
    const std::optional<qint64> gap = Layout::dropIndexAt(contentXAt(event->position().x()), m_count);
    if (gap != m_gapIndex) {
        m_gapIndex = gap;
        update();
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void MRKOSnapshotCollectionView::dragLeaveEvent(QDragLeaveEvent *event)
{
    QWidget::dragLeaveEvent(event);
    m_gapIndex.reset();
    update();
}

void MRKOSnapshotCollectionView::dropEvent(QDropEvent *event)
{
    const qint64 index = Layout::dropIndexAt(contentXAt(event->position().x()), m_count);
    m_gapIndex.reset();
    update();
    if (m_controller.acceptDrop(*event->mimeData(), event->source(), index)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        return;
    }
    event->ignore();
}
