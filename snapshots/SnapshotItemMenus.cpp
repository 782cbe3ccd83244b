#include "snapshots/SnapshotItemMenus.h"

#include "app/AppDelegate.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSMenu+TopTitleItem.h"
#include "platform/Dispatch.h"
#include "snapshots/MRKOExportMethod.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotItem.h"
#include "snapshots/MRKOSnapshotManager.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

namespace inkora {

namespace {

MRKOSnapshotManager &manager()
{
    return MRKOSnapshotManager::sharedSnapshotManager();
}

} // namespace

SnapshotItemMenus::SnapshotItemMenus(MRKOSnapshotItem &item) : m_item(item)
{
    m_selectedBefore = selectedCount();
    m_itemCount = qint64(manager().snapshots().size());
    m_inSearch = manager().inSearch();
}

qint64 SnapshotItemMenus::selectedCount() const
{
    return qint64(m_item.collectionView().selectionIndexes().size());
}

QAction *SnapshotItemMenus::add(QMenu &menu, const QString &title, Action action, qint64 tag)
{
    QAction *entry = menu.addAction(title);
    entry->setData(tag);
    // The action runs after the menu closed, and only while the item still exists: it may remove the item.
    const QPointer<MRKOSnapshotItem> item(&m_item);
    QObject::connect(entry, &QAction::triggered, &menu, [menus = *this, item, action = std::move(action)] {
        platform::DispatchQueue::main().async([menus, item, action] {
            if (!item)
                return;
            SnapshotItemMenus copy = menus;
            action(copy);
        });
    });
    return entry;
}

std::unique_ptr<QMenu> SnapshotItemMenus::menuForEvent()
{
    m_item.collectionView().prepareSelectionForMenuOnItem(m_item);
    switch (manager().collectionViewType()) {
    case 2:
        return menuForTrashItem();
    case 1:
        return menuForDazadUdiz();
    default:
        return menuForSnapshot();
    }
}

std::unique_ptr<QMenu> SnapshotItemMenus::menuForSnapshot()
{
    auto menu = std::make_unique<QMenu>(QStringLiteral("Snapshot Menu"));
    add(*menu, QStringLiteral("Quick Look"), [](SnapshotItemMenus &m) { m.quickLook(); });
    add(*menu, QStringLiteral("Apply Snapshot"), [](SnapshotItemMenus &m) { m.applySnapshot(); });
    add(*menu, QStringLiteral("Select All"), [](SnapshotItemMenus &m) { m.selectAll(); });
    menu->addSeparator();
    add(*menu, plural() ? QStringLiteral("Save Snapshots") : QStringLiteral("Save Snapshot"),
        [](SnapshotItemMenus &m) { m.saveSnapshot(); });
    QMenu *copy = menu->addMenu(QStringLiteral("Copy"));
    copy->setTitle(QStringLiteral("Copy"));
    copy->setObjectName(QStringLiteral("Copy Menu"));
    add(*copy, QStringLiteral("Copy Entire Snapshot to Clipboard"),
        [](SnapshotItemMenus &m) { m.copyEntireSnapshot(); });
    add(*copy, QStringLiteral("Copy Drawings to Clipboard"), [](SnapshotItemMenus &m) { m.copyDrawings(); });
    add(*copy, QStringLiteral("Copy Screenshot to Clipboard"), [](SnapshotItemMenus &m) { m.copyScreenshot(); });
    QMenu *exports = exportMenu(menu.get());
    exports->setTitle(plural() ? QStringLiteral("Export Snapshots") : QStringLiteral("Export Snapshot"));
    menu->addMenu(exports);
    menu->addSeparator();
    add(*menu, plural() ? QStringLiteral("Remove Snapshots") : QStringLiteral("Remove Snapshot"),
        [](SnapshotItemMenus &m) { m.removeSnapshot(); });
    if (m_itemCount >= 2) {
        menu->addSeparator();
        add(*menu, m_inSearch ? QStringLiteral("Remove All Found Snapshots") : QStringLiteral("Remove All Snapshots"),
            [](SnapshotItemMenus &m) { m.removeAllSnapshots(); });
    }
    return menu;
}

std::unique_ptr<QMenu> SnapshotItemMenus::menuForDazadUdiz()
{
    auto menu = std::make_unique<QMenu>(QStringLiteral("DazadUdiz Menu"));
    add(*menu, QStringLiteral("Quick Look"), [](SnapshotItemMenus &m) { m.quickLook(); });
    add(
        *menu, plural() ? QStringLiteral("Export DazadUdizs") : QStringLiteral("Export DazadUdiz"),
        [](SnapshotItemMenus &m) { m.saveAs(MRKOExportMethodScreenShotPNG); }, MRKOExportMethodScreenShotPNG);
    add(*menu, QStringLiteral("Copy to Clipboard"), [](SnapshotItemMenus &m) { m.copyDazadUdizToClipboard(); });
    add(*menu, QStringLiteral("Select All"), [](SnapshotItemMenus &m) { m.selectAll(); });
    menu->addSeparator();
    add(*menu, plural() ? QStringLiteral("Remove DazadUdizs") : QStringLiteral("Remove DazadUdiz"),
        [](SnapshotItemMenus &m) { m.removeSnapshot(); });
    if (m_itemCount >= 2) {
        menu->addSeparator();
        add(*menu, m_inSearch ? QStringLiteral("Remove All Found DazadUdizs") : QStringLiteral("Remove All DazadUdizs"),
            [](SnapshotItemMenus &m) { m.removeAllSnapshots(); });
    }
    return menu;
}

std::unique_ptr<QMenu> SnapshotItemMenus::menuForTrashItem()
{
    auto menu = std::make_unique<QMenu>(QStringLiteral("Snapshot Trash Menu"));
    add(*menu, QStringLiteral("Quick Look"), [](SnapshotItemMenus &m) { m.quickLook(); });
    add(*menu, QStringLiteral("Put Back"), [](SnapshotItemMenus &m) { m.putBack(); });
    add(*menu, QStringLiteral("Select All"), [](SnapshotItemMenus &m) { m.selectAll(); });
    menu->addSeparator();
    add(*menu, MRKOUtils::moveToBinName(), [](SnapshotItemMenus &m) { m.moveToBin(); });
    menu->addSeparator();
    add(*menu, QStringLiteral("Delete"), [](SnapshotItemMenus &m) { m.removeSnapshot(); });
    if (m_itemCount >= 2) {
        menu->addSeparator();
        add(*menu, m_inSearch ? QStringLiteral("Delete All Found") : QStringLiteral("Delete All"),
            [](SnapshotItemMenus &m) { m.deleteAll(); });
    }
    return menu;
}

QMenu *SnapshotItemMenus::exportMenu(QMenu *parent)
{
    auto *menu = new QMenu(QStringLiteral("Export Menu"), parent); // owned by the parent when given
    TopTitleItem::addTopItemWithTitle(*menu, QStringLiteral("Save Entire Snapshot as"));
    add(
        *menu, QStringLiteral("PSD with All Layers"), [](SnapshotItemMenus &m) { m.saveAs(MRKOExportMethodPSD); },
        MRKOExportMethodPSD);
    add(
        *menu, QStringLiteral("PNG with Merged Layers"), [](SnapshotItemMenus &m) { m.saveAs(MRKOExportMethodPNG); },
        MRKOExportMethodPNG);
    add(
        *menu, QStringLiteral("PDF with Background"), [](SnapshotItemMenus &m) { m.saveAs(MRKOExportMethodPDF); },
        MRKOExportMethodPDF);
    TopTitleItem::addTopItemWithTitle(*menu, QStringLiteral("Save Drawings as"));
    add(
        *menu, QStringLiteral("PSD with Layers"), [](SnapshotItemMenus &m) { m.saveAs(MRKOExportMethodDrawingsPSD); },
        MRKOExportMethodDrawingsPSD);
    add(
        *menu, QStringLiteral("PNG on Transparent Background"),
        [](SnapshotItemMenus &m) { m.saveAs(MRKOExportMethodDrawingsPNG); }, MRKOExportMethodDrawingsPNG);
    add(
        *menu, QStringLiteral("PDF without Background"),
        [](SnapshotItemMenus &m) { m.saveAs(MRKOExportMethodDrawingsPDF); }, MRKOExportMethodDrawingsPDF);
    if (selectedCount() >= 2) {
        menu->addSeparator();
        TopTitleItem::addTopItemWithTitle(*menu, QStringLiteral("Save Selected Snapshots as"));
        add(
            *menu, QStringLiteral("Multi-page PDF with Background"),
            [](SnapshotItemMenus &m) { m.saveSelectedAsMultiPDF(MRKOExportMethodMultiPagePDF); },
            MRKOExportMethodMultiPagePDF);
        add(
            *menu, QStringLiteral("Multi-page PDF without Background"),
            [](SnapshotItemMenus &m) { m.saveSelectedAsMultiPDF(MRKOExportMethodMultiPageDrawingsPDF); },
            MRKOExportMethodMultiPageDrawingsPDF);
    }
    menu->addSeparator();
    QMenu *all = menu->addMenu(m_inSearch ? QStringLiteral("Export All Found Snapshots")
                                          : QStringLiteral("Export All Snapshots"));
    all->setObjectName(QStringLiteral("Export All"));
    add(
        *all, QStringLiteral("Multi-page PDF with Background"),
        [](SnapshotItemMenus &m) { m.saveAllAsMultiPDF(MRKOExportMethodMultiPagePDF); }, MRKOExportMethodMultiPagePDF);
    add(
        *all, QStringLiteral("Multi-page PDF without Background"),
        [](SnapshotItemMenus &m) { m.saveAllAsMultiPDF(MRKOExportMethodMultiPageDrawingsPDF); },
        MRKOExportMethodMultiPageDrawingsPDF);
    return menu;
}

void SnapshotItemMenus::shareAction(const QPoint &globalPosition)
{
    if (manager().collectionViewType() == 1) {
        saveAs(MRKOExportMethodPNG);
        return;
    }
    std::unique_ptr<QMenu> menu(exportMenu(nullptr));
    menu->exec(globalPosition);
    if (AppDelegate *app = AppDelegate::shared())
        app->handleFlagsChangedWithCurrentEvent();
}

void SnapshotItemMenus::quickLook()
{
    if (m_item.representedObject())
        manager().showSnapshotInQuickLook(m_item.representedObject());
}

void SnapshotItemMenus::applySnapshot()
{
    AppDelegate *app = AppDelegate::shared();
    if (app && m_item.representedObject())
        app->applySnapshot(m_item.snapshot());
}

void SnapshotItemMenus::selectAll()
{
    manager().selectAll();
}

void SnapshotItemMenus::saveSnapshot()
{
    manager().saveSelectedSnapshotsAs();
}

void SnapshotItemMenus::saveAs(qint64 tag)
{
    const inkora::ItemIndexes selection = m_item.collectionView().selectionIndexes();
    if (selection.size() < 2) {
        if (const std::shared_ptr<MRKOSnapshot> shot = m_item.snapshot())
            shot->saveWithMethod(quint64(tag));
        else
            qCWarning(lcSnapshots) << "saveAs: the snapshot cannot be read; nothing exported";
        return;
    }
    manager().saveSelectedIndexesWithMethod(selection, quint64(tag));
}

void SnapshotItemMenus::saveSelectedAsMultiPDF(qint64 tag)
{
    manager().saveMultiPagesPDFWithPanelFull(tag == MRKOExportMethodMultiPagePDF,
                                             m_item.collectionView().selectionIndexes());
}

void SnapshotItemMenus::saveAllAsMultiPDF(qint64 tag)
{
    manager().saveMultiPagesPDFWithPanelFull(tag == MRKOExportMethodMultiPagePDF, std::nullopt);
}

void SnapshotItemMenus::copyEntireSnapshot()
{
    if (const std::shared_ptr<MRKOSnapshot> shot = m_item.snapshot())
        shot->wholeSnapshotImageToPasteboard();
}

void SnapshotItemMenus::copyDrawings()
{
    if (const std::shared_ptr<MRKOSnapshot> shot = m_item.snapshot())
        shot->drawingsImageToPasteboard();
}

void SnapshotItemMenus::copyScreenshot()
{
    if (const std::shared_ptr<MRKOSnapshot> shot = m_item.snapshot())
        shot->screenShotToPasteboard();
}

void SnapshotItemMenus::copyDazadUdizToClipboard()
{
    copyScreenshot();
}

void SnapshotItemMenus::removeSnapshot()
{
    if (!m_item.collectionView().selectionIndexes().empty())
        manager().removeSelectedSnapshots();
}

void SnapshotItemMenus::removeAllSnapshots()
{
    manager().removeAllSnapshots();
}

void SnapshotItemMenus::deleteAll()
{
    manager().selectAll();
    manager().removeSelectedSnapshots();
}

void SnapshotItemMenus::moveToBin()
{
    if (!m_item.collectionView().selectionIndexes().empty())
        manager().removeFromTrashWithResponse(MRKOSnapshotManager::kTrashResponseMoveToBin);
}

void SnapshotItemMenus::putBack()
{
    if (m_item.collectionView().selectionIndexes().size() < 2)
        manager().putBackSnapshot(m_item.representedObject());
    else
        manager().putBackSelectedSnapshots();
}

} // namespace inkora
