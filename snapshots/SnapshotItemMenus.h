#pragma once

#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

class MRKOSnapshotItem;
class QAction;
class QMenu;

namespace inkora {

/// The menus of a browser item, one per roll, and the export menu, with the actions behind them. Each action's
/// tag is its data. Titles are singular or plural by the selection before the right click adjusted it; entries that
/// act on every item appear only with two or more items, in their "Found" form while searching.
class SnapshotItemMenus final
{
public:
    explicit SnapshotItemMenus(MRKOSnapshotItem &item);

    /// Prepares the selection, then the menu of the roll shown.
    [[nodiscard]] std::unique_ptr<QMenu> menuForEvent();
    [[nodiscard]] std::unique_ptr<QMenu> menuForSnapshot();
    [[nodiscard]] std::unique_ptr<QMenu> menuForDazadUdiz();
    [[nodiscard]] std::unique_ptr<QMenu> menuForTrashItem();
    /// Owned by `parent` when given.
    [[nodiscard]] QMenu *exportMenu(QMenu *parent);

    /// The toolbar's share button: DazadUdizs export their screen image at once; other shots pop the export menu.
    void shareAction(const QPoint &globalPosition);

    // The actions
    void quickLook();
    void applySnapshot();
    void selectAll();
    void saveSnapshot();
    void saveAs(qint64 tag);
    void saveSelectedAsMultiPDF(qint64 tag);
    void saveAllAsMultiPDF(qint64 tag);
    void copyEntireSnapshot();
    void copyDrawings();
    void copyScreenshot();
    void copyDazadUdizToClipboard();
    void removeSnapshot();
    void removeAllSnapshots();
    void deleteAll();
    void moveToBin();
    void putBack();

private:
    using Action = std::function<void(SnapshotItemMenus &)>;
    QAction *add(QMenu &menu, const QString &title, Action action, qint64 tag = 0);
    [[nodiscard]] bool plural() const { return m_selectedBefore >= 2; }
    [[nodiscard]] qint64 selectedCount() const;

    MRKOSnapshotItem &m_item;
    qint64 m_selectedBefore = 0;
    qint64 m_itemCount = 0;
    bool m_inSearch = false;
};

} // namespace inkora
