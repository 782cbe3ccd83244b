// Exporting many shots, the multi-page PDF, and copying snapshot files out of and into the roll.
#include "app/MRKOFrontmostApp.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Dispatch.h"
#include "platform/OpenPanel.h"
#include "platform/SavePanel.h"
#include "platform/Services.h"
#include "snapshots/MRKOExportMethod.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotManager.h"
#include "snapshots/MRKOSnapshotPanel.h"
#include "snapshots/PDFContext.h"
#include "snapshots/SnapInfo.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

#include <memory>

namespace {

/// Reads a record's shot for an export; a shot that cannot be read is skipped with one line.
std::shared_ptr<MRKOSnapshot> shotForExport(const MRKOSnapshotManager::Record &record, const char *operation)
{
    std::shared_ptr<MRKOSnapshot> shot = record ? record->snapshot() : nullptr;
    if (!shot) {
        qCWarning(lcSnapshots).noquote() << QStringLiteral("%1: \"%2\" cannot be read; skipped")
                                                .arg(QLatin1String(operation), record ? record->name() : QString());
    }
    return shot;
}

void cleanUpCache(const MRKOSnapshotManager::Record &record)
{
    if (auto *info = dynamic_cast<SnapInfo *>(record.get()))
        info->cleanUpCache();
}

QString exportMessage(qint64 count, quint64 method)
{
    return QStringLiteral("Exporting %1 %2 files...")
        .arg(count)
        .arg(MRKOUtils::extentionWithExportMethod(qint64(method)).toUpper());
}

} // namespace

void MRKOSnapshotManager::runExport(const QString &message, qint64 count, std::function<void(qint64)> item,
                                    std::function<void()> done)
{
    MRKOSnapshotPanel *sheetPanel = panel();
    if (sheetPanel)
        sheetPanel->makeExportOverlay(message);
    platform::DispatchQueue::global().async([sheetPanel, count, item = std::move(item), done = std::move(done)] {
        for (qint64 i = 0; i < count; ++i) {
            // The item being written when the user cancels is finished; the next one is not started.
            if (sheetPanel && sheetPanel->isExportCancelled())
                break;
            item(i);
            if (sheetPanel)
                sheetPanel->setPrgressValue(double(i + 1) / double(count) * 100.0);
        }
        platform::DispatchQueue::main().async([sheetPanel, done] {
            if (sheetPanel)
                sheetPanel->removeExportWindowIfNeeded();
            if (done)
                done();
        });
    });
}

void MRKOSnapshotManager::saveSelectedIndexesWithMethod(const inkora::ItemIndexes &indexes, quint64 method)
{
    MRKOFrontmostApp::beginSaveOperation();
    platform::OpenPanel::Options request;
    request.message = QStringLiteral("Choose a location for selected shots");
    request.allowedTypes = {MRKOUtils::extentionWithExportMethod(qint64(method))};
    request.canChooseFiles = false;
    request.canChooseDirectories = true;
    request.canCreateDirectories = true;
    const QStringList chosen = platform::services().openPanel->runModal(request);
    MRKOFrontmostApp::endSaveOperation();
    if (chosen.isEmpty())
        return;
    const QString folder = chosen.constFirst();
    const Records shown = snapshots();
    Records records;
    for (const qint64 index : indexes) {
        if (index >= 0 && index < qint64(shown.size()))
            records.push_back(shown[size_t(index)]);
    }
    runExport(exportMessage(qint64(indexes.size()), method), qint64(records.size()),
              [records, folder, method](qint64 i) {
                  const Record &record = records[size_t(i)];
                  if (const std::shared_ptr<MRKOSnapshot> shot = shotForExport(record, "saveSelectedIndexes"))
                      shot->writeToFolder(folder, method);
                  cleanUpCache(record);
              },
              {});
}

void MRKOSnapshotManager::saveSnapshotsAsyncToPathsWithMethod(const Records &records, const QStringList &paths,
                                                              quint64 method, std::function<void()> done)
{
    if (qsizetype(records.size()) != paths.size()) {
        qCWarning(lcSnapshots) << "saveSnapshotsAsync. Can't save. Count mismatch";
        if (done)
            platform::DispatchQueue::main().async(std::move(done));
        return;
    }
    runExport(
        exportMessage(qint64(records.size()), method), qint64(records.size()),
        [records, paths, method](qint64 i) {
            const Record &record = records[size_t(i)];
            if (const std::shared_ptr<MRKOSnapshot> shot = shotForExport(record, "saveSnapshotsAsync"))
                shot->writeToPath(paths.at(i), method);
            cleanUpCache(record);
        },
        std::move(done));
}

void MRKOSnapshotManager::saveMultiPagesPDFWithPanelFull(bool withScreenShot,
                                                         const std::optional<inkora::ItemIndexes> &indexes)
{
    QString name = QStringLiteral("All Snapshots");
    if (indexes && indexes->size() >= 2)
        name = QStringLiteral("%1 Selected Snapshots").arg(qint64(indexes->size()));
    else if (m_inSearch)
        name = QStringLiteral("%1 Found Snapshots").arg(qint64(snapshots().size()));
    MRKOFrontmostApp::beginSaveOperation();
    bool straightOrder = false;
    const QString path = platform::services().savePanel->runModalWithCheckBox(
        name, {QStringLiteral("pdf")}, QStringLiteral("Pages Order from Left to Right"), straightOrder);
    MRKOFrontmostApp::endSaveOperation();
    if (!path.isEmpty())
        savePDFWithPath(path, withScreenShot, indexes, straightOrder);
}

void MRKOSnapshotManager::savePDFWithPath(const QString &path, bool withScreenShot,
                                          const std::optional<inkora::ItemIndexes> &indexes, bool straightOrder)
{
    const Records shown = snapshots();
    Records records;
    if (indexes) {
        for (const qint64 index : *indexes) {
            if (index >= 0 && index < qint64(shown.size()))
                records.push_back(shown[size_t(index)]);
        }
    } else {
        records = shown;
    }
    if (!records.empty())
        saveSnapshotsAsPDFWithPath(records, path, withScreenShot, straightOrder);
}

QString MRKOSnapshotManager::saveSnapshotsAsPDFWithPath(const Records &records, const QString &path,
                                                        bool withScreenShot, bool straightOrder,
                                                        std::function<void()> done)
{
    // The name is made free now, so the name handed back is the file written, never an older one beside it.
    const QString folder = QFileInfo(path).absolutePath();
    const QString written = MRKOUtils::uniqueFilePathWithPathFolder(path, folder);
    Records ordered = records;
    if (!straightOrder)
        std::reverse(ordered.begin(), ordered.end());
    auto context = std::make_shared<inkora::PDFContext>(written);
    const qint64 count = qint64(ordered.size());
    runExport(
        QStringLiteral("Exporting Multi-page PDF file..."), count,
        [ordered, context, withScreenShot](qint64 i) {
            const Record &record = ordered[size_t(i)];
            // Each page takes its own shot's size.
            if (const std::shared_ptr<MRKOSnapshot> shot = shotForExport(record, "saveSnapshotsAsPDF"))
                shot->drawPDFPageInContext(*context, withScreenShot);
            cleanUpCache(record);
        },
        [context, done = std::move(done)] {
            (void)context->close();
            if (done)
                done();
        });
    return written;
}

void MRKOSnapshotManager::saveSelectedSnapshotWithSender(QWidget *sender)
{
    std::unique_ptr<QMenu> menu = saveMenu(true);
    const QPoint at = sender ? sender->mapToGlobal(QPoint(0, sender->height() + 4)) : QPoint();
    menu->exec(at);
}

std::unique_ptr<QMenu> MRKOSnapshotManager::saveMenu(bool withLoad)
{
    auto menu = std::make_unique<QMenu>(QStringLiteral("Save Menu"));
    const qint64 selected = qint64(selectionIndexes().size());
    QAction *save = menu->addAction(selected >= 2 ? QStringLiteral("Save Selected Snapshots")
                                                  : QStringLiteral("Save Selected Snapshot"));
    save->setEnabled(selected > 0);
    QObject::connect(save, &QAction::triggered, menu.get(), [] {
        platform::DispatchQueue::main().async([] { sharedSnapshotManager().saveSelectedSnapshotsAs(); });
    });
    QAction *all = menu->addAction(QStringLiteral("Save All Snapshots"));
    all->setEnabled(!snapshots().empty());
    QObject::connect(all, &QAction::triggered, menu.get(),
                     [] { platform::DispatchQueue::main().async([] { sharedSnapshotManager().saveAllSnapshots(); }); });
    if (withLoad) {
        menu->addSeparator();
        QAction *load = menu->addAction(QStringLiteral("Load Snapshots"));
        QObject::connect(load, &QAction::triggered, menu.get(), [] {
            platform::DispatchQueue::main().async([] { sharedSnapshotManager().loadSnapshots(); });
        });
    }
    return menu;
}

void MRKOSnapshotManager::saveSelectedSnapshotsAs()
{
    const Records source = dataSource();
    Records records;
    for (const qint64 index : convertIndexesToDataSource(selectionIndexes())) {
        if (index >= 0 && index < qint64(source.size()))
            records.push_back(source[size_t(index)]);
    }
    if (records.size() == 1)
        saveSnapshotWithSavePanel(records.front());
    else if (!records.empty())
        saveSnapshotsWithOpenPanel(records);
}

void MRKOSnapshotManager::saveAllSnapshots()
{
    saveSnapshotsWithOpenPanel(std::nullopt);
}

void MRKOSnapshotManager::saveSnapshotWithSavePanel(const Record &record)
{
    auto *info = dynamic_cast<SnapInfo *>(record.get());
    if (!info) {
        qCWarning(lcSnapshots) << "saveSnapshotWithSavePanel: Snapshot can't be nil";
        return;
    }
    MRKOFrontmostApp::beginSaveOperation();
    const QString name = MRKOUtils::safeFileName(record->name(), QString(), QStringLiteral("Snapshot"));
    const QString path = platform::services().savePanel->runModal(name, {SnapInfo::kExtension});
    MRKOFrontmostApp::endSaveOperation();
    if (path.isEmpty())
        return;
    QFile::remove(path); // the user agreed to replace it
    if (!QFile::copy(info->snapshotFileURL(), path))
        qCWarning(lcSnapshots).noquote()
            << QStringLiteral("Could not copy %1 to %2").arg(info->snapshotFileURL(), path);
}

void MRKOSnapshotManager::saveSnapshotsWithOpenPanel(const std::optional<Records> &records)
{
    Records chosenRecords;
    if (records) {
        chosenRecords = *records;
    } else {
        const auto items = MRKOPersistentData::sharedData().items();
        chosenRecords.assign(items.begin(), items.end());
    }
    if (chosenRecords.empty()) {
        qCWarning(lcSnapshots) << "saveSnapshotsWithOpenPanel: infos array should has items";
        return;
    }
    MRKOFrontmostApp::beginSaveOperation();
    platform::OpenPanel::Options request;
    request.message = records ? QStringLiteral("Choose a location to save selected snapshots")
                              : QStringLiteral("Choose a location to save all snapshots");
    request.allowedTypes = {SnapInfo::kExtension};
    request.canChooseFiles = false;
    request.canChooseDirectories = true;
    request.canCreateDirectories = true;
    const QStringList chosen = platform::services().openPanel->runModal(request);
    MRKOFrontmostApp::endSaveOperation();
    if (!chosen.isEmpty())
        saveSnapshotsToURL(chosenRecords, chosen.constFirst());
}

void MRKOSnapshotManager::saveSnapshotsToURL(const Records &records, const QString &folder)
{
    runExport(QStringLiteral("Saving %1 snapshot files...").arg(qint64(records.size())), qint64(records.size()),
              [records, folder](qint64 i) {
                  const auto *info = dynamic_cast<const SnapInfo *>(records[size_t(i)].get());
                  if (!info)
                      return;
                  const QString target = info->uniqueURLForUserSnapshotFileInDirectory(folder);
                  if (!QFile::copy(info->snapshotFileURL(), target))
                      qCWarning(lcSnapshots).noquote()
                          << QStringLiteral("Could not copy %1 to %2").arg(info->snapshotFileURL(), target);
              },
              {});
}

void MRKOSnapshotManager::loadSnapshots()
{
    MRKOFrontmostApp::beginSaveOperation();
    platform::OpenPanel::Options request;
    request.message = QStringLiteral("Choose snapshots to load into Snapshots Roll");
    request.allowedTypes = {SnapInfo::kExtension};
    request.allowsMultipleSelection = true;
    const QStringList chosen = platform::services().openPanel->runModal(request);
    MRKOFrontmostApp::endSaveOperation();
    for (const QString &path : chosen) {
        const std::shared_ptr<MRKOSnapshot> shot = MRKOSnapshot::snapshotWithContentsOfFile(path);
        if (!shot) {
            qCWarning(lcSnapshots).noquote()
                << QStringLiteral("loadSnapshots: %1 is not a snapshot; skipped").arg(path);
            continue;
        }
        const QString name = QFileInfo(path).completeBaseName();
        if (!name.isEmpty())
            shot->setName(name);
        addSnapshot(shot);
    }
}
