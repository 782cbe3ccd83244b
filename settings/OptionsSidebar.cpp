#include "settings/OptionsSidebar.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace inkora {
namespace {

/// Rows take the height the sidebar gives them.
class RowHeightDelegate final : public QStyledItemDelegate
{
public:
    explicit RowHeightDelegate(OptionsSidebar &sidebar) : QStyledItemDelegate(&sidebar), m_sidebar(sidebar) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_sidebar.rowHeight(m_sidebar.rowForIndex(index)));
        return size;
    }

private:
    OptionsSidebar &m_sidebar; // not owned; our parent
};

} // namespace

OptionsSidebar::OptionsSidebar(QWidget *parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(false);
    setIndentation(0);
    setAnimated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setItemDelegate(new RowHeightDelegate(*this)); // child
}

QModelIndex OptionsSidebar::indexForRow(int row) const
{
    if (!model() || row < 0)
        return {};
    const QModelIndex group = model()->index(0, 0);
    if (row == 0)
        return group;
    return model()->index(row - 1, 0, group);
}

int OptionsSidebar::rowForIndex(const QModelIndex &index) const
{
    if (!index.isValid())
        return -1;
    if (!index.parent().isValid())
        return index.row() == 0 ? 0 : -1;
    return index.row() + 1;
}

int OptionsSidebar::numberOfRows() const
{
    if (!model() || model()->rowCount() == 0)
        return 0;
    return 1 + model()->rowCount(model()->index(0, 0));
}

void OptionsSidebar::keyboardSearch(const QString &)
{
    // No type-select: typed letters never choose a row.
}

int OptionsSidebar::nextKeySelectableRow(int from, int step) const
{
    for (int row = from + step; row >= 0 && row < numberOfRows(); row += step) {
        const QModelIndex index = indexForRow(row);
        if (!(index.flags() & Qt::ItemIsSelectable))
            continue;
        QKeyEvent probe(QEvent::KeyPress, step > 0 ? Qt::Key_Down : Qt::Key_Up, Qt::NoModifier);
        if (!m_rule || m_rule(row, &probe))
            return row;
    }
    return -1;
}

QModelIndex OptionsSidebar::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int current = rowForIndex(currentIndex());
    int row = -1;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
    case MovePageUp:
        row = nextKeySelectableRow(current < 0 ? numberOfRows() : current, -1);
        break;
    case MoveDown:
    case MoveNext:
    case MovePageDown:
        row = nextKeySelectableRow(current, 1);
        break;
    case MoveHome:
        row = nextKeySelectableRow(-1, 1);
        break;
    case MoveEnd:
        row = nextKeySelectableRow(numberOfRows(), -1);
        break;
    default:
        break;
    }
    return row < 0 ? currentIndex() : indexForRow(row);
}

QItemSelectionModel::SelectionFlags OptionsSidebar::selectionCommand(const QModelIndex &index,
                                                                     const QEvent *event) const
{
    if (event && m_rule && !m_rule(rowForIndex(index), event))
        return QItemSelectionModel::NoUpdate;
    return QTreeView::selectionCommand(index, event);
}

} // namespace inkora
