#include "snapshots/MRKOPersistentData.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSString+Bezier.h"
#include "foundation/TextScanning.h"
#include "platform/Alerts.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "snapshots/MRKOPersistentTrash.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotCache.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "snapshots/StoreContext.h"
#include "snapshots/StoreDatabase.h"
#include "snapshots/StoreErrors.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>

MRKOPersistentData &MRKOPersistentData::sharedData()
{
    static MRKOPersistentData data;
    return data;
}

MRKOPersistentData::MRKOPersistentData()
{
    loadData();
}

MRKOPersistentData::~MRKOPersistentData() = default;

inkora::StoreContext *MRKOPersistentData::managedObjectContext()
{
    if (!m_stackMade) {
        m_stackMade = true;
        m_context = inkora::openStore(int(inkora::StoreDatabase::Store::Roll));
    }
    return m_context;
}

void MRKOPersistentData::loadData()
{
    loadSequenceWithType(0);
    loadSequenceWithType(1);
}

void MRKOPersistentData::loadSequenceWithType(qint64 type)
{
    std::vector<std::shared_ptr<Sequence>> *array = arrayForSequenceType(type);
    inkora::StoreContext *context = managedObjectContext();
    if (!array || !context)
        return;
    std::vector<std::shared_ptr<Sequence>> all;
    QString error;
    if (!context->fetchSequences(&all, &error)) {
        inkora::presentFetchError(error);
        return;
    }
    const QString kind = MRKOUtils::sequenceNameWithType(type);
    std::vector<std::shared_ptr<Sequence>> found;
    for (const std::shared_ptr<Sequence> &sequence : all) {
        if (inkora::containsIgnoringCaseAndDiacritics(sequence->parentFolder(), kind))
            found.push_back(sequence);
    }
    // Row order breaks ties of equal (or missing) dates.
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        return a->date().isValid() && b->date().isValid() ? a->date() < b->date()
                                                          : !a->date().isValid() && b->date().isValid();
    });
    array->insert(array->end(), found.begin(), found.end());
}

std::vector<std::shared_ptr<Sequence>> *MRKOPersistentData::arrayForSequenceType(qint64 type)
{
    if (type == 0)
        return &m_sequences;
    if (type == 1)
        return &m_dazadUdizsSequences;
    return nullptr;
}

std::shared_ptr<Sequence> MRKOPersistentData::addNewSequenceWithType(qint64 type)
{
    std::vector<std::shared_ptr<Sequence>> *array = arrayForSequenceType(type);
    inkora::StoreContext *context = managedObjectContext();
    const QString kindFolder = MRKOUtils::sequenceDirWithType(type);
    if (!array || !context || kindFolder.isEmpty())
        return nullptr;
    const QString foldername = Bezier::uniqueHashFolderName();
    const QString folder = QDir(kindFolder).filePath(foldername);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdString()), error);
    if (error) {
        qCWarning(lcSnapshots).noquote() << QStringLiteral("%1: %2").arg(folder,
                                                                         QString::fromStdString(error.message()));
        return nullptr;
    }
    std::shared_ptr<Sequence> sequence = context->insertSequence();
    sequence->setName(QStringLiteral("%1 Sequence").arg(MRKOUtils::sequenceNameWithType(type)));
    sequence->setDate(QDateTime::currentDateTimeUtc());
    sequence->setFoldername(foldername);
    sequence->setParentFolder(QFileInfo(kindFolder).fileName());
    array->push_back(sequence);
    saveAction();
    return sequence;
}

std::shared_ptr<Sequence> MRKOPersistentData::currentSequenceWithSequenceType(qint64 type)
{
    return type == 1 ? currentDazadUdizsSequence() : currentSnapshotsSequence();
}

namespace {

std::shared_ptr<Sequence> currentOf(const std::vector<std::shared_ptr<Sequence>> &array, qint64 index)
{
    if (array.empty())
        return nullptr;
    return index >= 0 && index < qint64(array.size()) ? array[size_t(index)] : array.front();
}

} // namespace

std::shared_ptr<Sequence> MRKOPersistentData::currentSnapshotsSequence()
{
    if (m_sequences.empty())
        addNewSequenceWithType(0);
    return currentOf(m_sequences, m_snapshotSequenceIndex);
}

std::shared_ptr<Sequence> MRKOPersistentData::currentDazadUdizsSequence()
{
    if (m_dazadUdizsSequences.empty())
        addNewSequenceWithType(1);
    return currentOf(m_dazadUdizsSequences, m_dazadUdizsSequenceIndex);
}

QString MRKOPersistentData::currentSnapshotsFolderURL()
{
    const std::shared_ptr<Sequence> sequence = currentSnapshotsSequence();
    return sequence ? QDir(MRKOUtils::snapshotsDir()).filePath(sequence->foldername()) : QString();
}

QString MRKOPersistentData::currentDazadUdizsFolderURL()
{
    const std::shared_ptr<Sequence> sequence = currentDazadUdizsSequence();
    return sequence ? QDir(MRKOUtils::dazadUdizsDir()).filePath(sequence->foldername()) : QString();
}

QString MRKOPersistentData::uniqueURLForSequenceType(qint64 type)
{
    return type == 1 ? uniqueDazadUdizURL() : uniqueSnapshotURL();
}

QString MRKOPersistentData::uniqueSnapshotURL()
{
    const QString folder = currentSnapshotsFolderURL();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(Bezier::nameWithFileExtention(SnapInfo::kExtension));
}

QString MRKOPersistentData::uniqueDazadUdizURL()
{
    const QString folder = currentDazadUdizsFolderURL();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(Bezier::nameWithFileExtention(SnapInfo::kExtension));
}

std::vector<std::shared_ptr<SnapInfo>> MRKOPersistentData::items()
{
    const std::shared_ptr<Sequence> sequence = currentSnapshotsSequence();
    return sequence ? sequence->snapInfos().objects() : std::vector<std::shared_ptr<SnapInfo>>();
}

std::vector<std::shared_ptr<SnapInfo>> MRKOPersistentData::dazadUdizsItems()
{
    const std::shared_ptr<Sequence> sequence = currentDazadUdizsSequence();
    return sequence ? sequence->snapInfos().objects() : std::vector<std::shared_ptr<SnapInfo>>();
}

std::shared_ptr<SnapInfo> MRKOPersistentData::addSnapshotForSequenceType(const std::shared_ptr<MRKOSnapshot> &snapshot,
                                                                         qint64 type)
{
    if (!snapshot) {
        qCWarning(lcSnapshots) << "addSnapshot: snapshot can't be nil";
        return nullptr;
    }
    const std::shared_ptr<Sequence> sequence = currentSequenceWithSequenceType(type);
    inkora::StoreContext *context = managedObjectContext();
    if (!sequence || !context) {
        qCWarning(lcSnapshots) << "addSnapshot: Sequence can't be nil";
        return nullptr;
    }
    const QString path = uniqueURLForSequenceType(type);
    // Found in memory before its file exists.
    MRKOSnapshotCache::sharedCache().addSnapshotForURL(snapshot, path);
    std::shared_ptr<SnapInfo> info = context->insertSnapInfo();
    info->setName(snapshot->name());
    info->setDate(QDateTime::currentDateTimeUtc());
    info->setFilename(QFileInfo(path).completeBaseName());
    info->setFileWritePending(true);
    sequence->snapInfos().insertObjectAtIndex(info, 0);
    (void)info->snapshotImage();

    auto written = std::make_shared<std::promise<bool>>();
    m_pendingWrites.push_back({info, snapshot, path, written->get_future().share()});
    platform::DispatchQueue::global().async([snapshot, path, written, info] {
        written->set_value(snapshot->writeSnapshotToFile(path));
        platform::DispatchQueue::main().async([info] { MRKOPersistentData::sharedData().finishWrite(info); });
    });
    return info;
}

void MRKOPersistentData::finishWrite(const std::shared_ptr<SnapInfo> &info)
{
    const auto it = std::find_if(m_pendingWrites.begin(), m_pendingWrites.end(),
                                 [&](const PendingWrite &pending) { return pending.info == info; });
    if (it == m_pendingWrites.end())
        return; // settled earlier
    const PendingWrite pending = *it;
    m_pendingWrites.erase(it);
    info->setFileWritePending(false);
    if (pending.written.get()) {
        if (inkora::StoreContext *context = info->context())
            context->noteChange(); // the record waited for its file; it is written now
        saveAction();
        return;
    }
    qCWarning(lcSnapshots).noquote()
        << QStringLiteral("addSnapshot: the file of \"%1\" could not be written to %2; the shot is dropped")
               .arg(info->name(), pending.path);
    if (m_writeFailureHandler)
        m_writeFailureHandler(info);
    MRKOSnapshotCache::sharedCache().removeObjectForURL(pending.path);
    for (const QString &path : info->cleanUpURLsNoSnapshotFile())
        MRKOUtils::removeContentAtURLIfNeeded(path);
    if (inkora::StoreContext *context = info->context())
        context->deleteObject(info);
    platform::services().alerts->runModal(
        {QStringLiteral("The snapshot “%1” could not be saved.").arg(info->name()), QString(), {QStringLiteral("OK")}});
}

void MRKOPersistentData::settleWriteOf(const SnapInfo *info)
{
    const auto it = std::find_if(m_pendingWrites.begin(), m_pendingWrites.end(),
                                 [&](const PendingWrite &pending) { return pending.info.get() == info; });
    if (it == m_pendingWrites.end())
        return;
    const std::shared_ptr<SnapInfo> held = it->info;
    it->written.wait();
    finishWrite(held);
}

void MRKOPersistentData::settlePendingWrites()
{
    while (!m_pendingWrites.empty())
        settleWriteOf(m_pendingWrites.front().info.get());
}

void MRKOPersistentData::setWriteFailureHandler(std::function<void(const std::shared_ptr<SnapInfo> &)> handler)
{
    m_writeFailureHandler = std::move(handler);
}

bool MRKOPersistentData::moveSnapshotToTrash(const std::shared_ptr<SnapInfo> &info)
{
    if (!info || info->isDeleted())
        return false;
    settleWriteOf(info.get());
    inkora::StoreContext *context = info->context();
    MRKOPersistentTrash &trash = MRKOPersistentTrash::sharedTrash();
    if (!context || !trash.managedObjectContext()) {
        qCWarning(lcSnapshots) << "moveSnapshotToTrash: Recently Deleted cannot be opened; the shot stays";
        return false;
    }
    trash.addSnapInfo(info);
    context->deleteObject(info);
    return true;
}

void MRKOPersistentData::finalizeMoveToTrashOrPutBack()
{
    inkora::StoreContext *roll = managedObjectContext();
    inkora::StoreContext *bin = MRKOPersistentTrash::sharedTrash().managedObjectContext();
    if (!roll && !bin)
        return;
    if ((!roll || !roll->hasChanges()) && (!bin || !bin->hasChanges()))
        return;
    QString error;
    // One transaction: a record is in the roll or in the bin, never in both or neither.
    if (!inkora::StoreDatabase::shared().save({roll, bin}, &error))
        platform::services().alerts->presentError(inkora::saveError(QStringLiteral("Snapshots"), error));
}

bool MRKOPersistentData::saveAction()
{
    return inkora::saveAndReport(managedObjectContext());
}

bool MRKOPersistentData::applicationShouldTerminate()
{
    settlePendingWrites();
    return inkora::storeShouldTerminate(managedObjectContext());
}
