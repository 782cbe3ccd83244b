#pragma once

#include <QTreeView>

#include <functional>

class QEvent;

namespace inkora {

/// The options sidebar: one group row over its children, no disclosure triangles and no type-select. Rows are
/// counted as on screen: 0 is the group, its children follow from 1. The arrow keys move only to rows that a key
/// may select, so they never reach the rows that act instead of showing a pane.
class OptionsSidebar final : public QTreeView
{
    Q_OBJECT
public:
    /// Whether `row` may become selected through `event` (null when code selects it).
    using SelectionRule = std::function<bool(int row, const QEvent *event)>;
    /// The height of a row in points.
    using RowHeight = std::function<int(int row)>;

    explicit OptionsSidebar(QWidget *parent = nullptr);

    void setSelectionRule(SelectionRule rule) { m_rule = std::move(rule); }
    void setRowHeight(RowHeight height) { m_rowHeight = std::move(height); }
    [[nodiscard]] int rowHeight(int row) const { return m_rowHeight ? m_rowHeight(row) : 0; }

    [[nodiscard]] QModelIndex indexForRow(int row) const;
    /// -1 for an index of no row.
    [[nodiscard]] int rowForIndex(const QModelIndex &index) const;
    [[nodiscard]] int numberOfRows() const;

    void keyboardSearch(const QString &search) override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;

private:
    /// The next row from `from` in `step` direction that a key may select; -1 when there is none.
    [[nodiscard]] int nextKeySelectableRow(int from, int step) const;

    SelectionRule m_rule;
    RowHeight m_rowHeight;
};

} // namespace inkora
