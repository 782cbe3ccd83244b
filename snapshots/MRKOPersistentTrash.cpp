#include "snapshots/MRKOPersistentTrash.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Alerts.h"
#include "platform/Dispatch.h"
#include "platform/Services.h"
#include "snapshots/MRKOPersistentData.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "snapshots/StoreContext.h"
#include "snapshots/StoreDatabase.h"
#include "snapshots/StoreErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

/// Removes the folder when nothing lies in it any more; anything left in it keeps it.
void removeFolderIfEmpty(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    if (!QDir().rmdir(path))
        qCInfo(lcSnapshots) << "removeSequences: the folder keeps files that are not the bin's:" << path;
}

void deleteFiles(const MRKOPersistentTrash::CleanUpURLs &urls)
{
    for (const QStringList &group : urls.files) {
        for (const QString &path : group)
            MRKOUtils::removeContentAtURLIfNeeded(path);
    }
    for (const QString &folder : urls.folders)
        removeFolderIfEmpty(folder);
}

} // namespace

MRKOPersistentTrash &MRKOPersistentTrash::sharedTrash()
{
    static MRKOPersistentTrash trash;
    return trash;
}

MRKOPersistentTrash::MRKOPersistentTrash()
    : m_deletions(platform::DispatchQueue::createSerial(QStringLiteral("com.Inkora.Inkora.trash-files")))
{
    loadData();
}

MRKOPersistentTrash::~MRKOPersistentTrash() = default;

inkora::StoreContext *MRKOPersistentTrash::managedObjectContext()
{
    if (!m_stackMade) {
        m_stackMade = true;
        m_context = inkora::openStore(int(inkora::StoreDatabase::Store::Bin));
    }
    return m_context;
}

void MRKOPersistentTrash::loadData()
{
    inkora::StoreContext *context = managedObjectContext();
    if (!context)
        return;
    std::vector<std::shared_ptr<Sequence>> all;
    QString error;
    if (!context->fetchSequences(&all, &error)) {
        inkora::presentFetchError(error);
        return;
    }
    std::stable_sort(all.begin(), all.end(), [](const auto &a, const auto &b) { return a->date() > b->date(); });
    m_sequences.insert(m_sequences.end(), all.begin(), all.end());
}

std::shared_ptr<Sequence> MRKOPersistentTrash::insertSequence(const Sequence &sequence)
{
    inkora::StoreContext *context = managedObjectContext();
    if (!context)
        return nullptr;
    std::shared_ptr<Sequence> copy = context->insertSequence();
    copy->setName(sequence.name());
    copy->setFoldername(sequence.foldername());
    copy->setParentFolder(sequence.parentFolder());
    copy->setColorTag(sequence.colorTag());
    copy->setRate(sequence.rate());
    copy->setDate(sequence.date());
    copy->setInTrash(true);
    return copy;
}

std::shared_ptr<SnapInfo> MRKOPersistentTrash::insertInfoToSequence(const SnapInfo &info,
                                                                    const std::shared_ptr<Sequence> &binSequence)
{
    inkora::StoreContext *context = managedObjectContext();
    if (!context || !binSequence)
        return nullptr;
    std::shared_ptr<SnapInfo> copy = context->insertSnapInfo();
    copy->setName(info.name());
    copy->setDate(info.date());
    copy->setFilename(info.filename());
    copy->setColorTag(info.colorTag());
    copy->setRate(info.rate());
    binSequence->snapInfos().addObject(copy);
    return copy;
}

void MRKOPersistentTrash::addSnapInfo(const std::shared_ptr<SnapInfo> &info)
{
    const std::shared_ptr<Sequence> live = info ? info->sequence() : nullptr;
    if (!live)
        return;
    std::shared_ptr<Sequence> binSequence = insertSequence(*live);
    if (!binSequence)
        return;
    binSequence->setDate(QDateTime::currentDateTimeUtc());
    insertInfoToSequence(*info, binSequence);
    m_sequences.insert(m_sequences.begin(), binSequence);
}

void MRKOPersistentTrash::addSequence(const std::shared_ptr<Sequence> &sequence)
{
    if (!sequence)
        return;
    std::shared_ptr<Sequence> binSequence = insertSequence(*sequence);
    if (!binSequence)
        return;
    for (const std::shared_ptr<SnapInfo> &info : sequence->snapInfos().objects())
        insertInfoToSequence(*info, binSequence);
    m_sequences.insert(m_sequences.begin(), binSequence);
}

std::vector<std::shared_ptr<Sequence>> *MRKOPersistentTrash::sequencesArrayForSequence(const Sequence &sequence)
{
    MRKOPersistentData &roll = MRKOPersistentData::sharedData();
    return roll.arrayForSequenceType(sequence.parentFolder() == MRKOUtils::sequenceNameWithType(0) ? 0 : 1);
}

std::shared_ptr<Sequence> MRKOPersistentTrash::existingSequenceForTrashSequence(const Sequence &binSequence)
{
    const std::vector<std::shared_ptr<Sequence>> *array = sequencesArrayForSequence(binSequence);
    if (!array)
        return nullptr;
    const QString foldername = binSequence.foldername();
    const auto it = std::find_if(array->begin(), array->end(), [&](const std::shared_ptr<Sequence> &live) {
        return live->foldername() == foldername;
    });
    return it == array->end() ? nullptr : *it;
}

std::shared_ptr<SnapInfo>
MRKOPersistentTrash::insertInfoToExternalSequenceByAdding(const SnapInfo &info,
                                                          const std::shared_ptr<Sequence> &liveSequence, bool adding)
{
    inkora::StoreContext *roll = MRKOPersistentData::sharedData().managedObjectContext();
    if (!roll || !liveSequence)
        return nullptr;
    std::shared_ptr<SnapInfo> copy = roll->insertSnapInfo();
    copy->setName(info.name());
    copy->setDate(info.date());
    copy->setFilename(info.filename());
    copy->setColorTag(info.colorTag());
    copy->setRate(info.rate());
    if (adding)
        liveSequence->snapInfos().addObject(copy);
    else
        liveSequence->snapInfos().insertObjectAtIndex(copy, 0);
    return copy;
}

std::shared_ptr<Sequence> MRKOPersistentTrash::insertExternalSequence(const Sequence &binSequence)
{
    inkora::StoreContext *roll = MRKOPersistentData::sharedData().managedObjectContext();
    std::vector<std::shared_ptr<Sequence>> *array = sequencesArrayForSequence(binSequence);
    if (!roll || !array)
        return nullptr;
    std::shared_ptr<Sequence> live = roll->insertSequence();
    live->setName(binSequence.name());
    live->setFoldername(binSequence.foldername());
    live->setParentFolder(binSequence.parentFolder());
    live->setColorTag(binSequence.colorTag());
    live->setRate(binSequence.rate());
    live->setDate(QDateTime::currentDateTimeUtc());
    array->push_back(live);
    return live;
}

void MRKOPersistentTrash::putSequenceBack(const std::shared_ptr<Sequence> &binSequence)
{
    if (!binSequence || std::find(m_sequences.begin(), m_sequences.end(), binSequence) == m_sequences.end())
        return;
    // A deletion still queued must not take files from under the shot coming back.
    waitForFileDeletions();
    std::shared_ptr<Sequence> live = existingSequenceForTrashSequence(*binSequence);
    const bool adding = !live;
    if (!live)
        live = insertExternalSequence(*binSequence);
    if (!live) {
        qCWarning(lcSnapshots) << "putSequenceBack: the roll cannot take the shot; it stays in Recently Deleted";
        return;
    }
    for (const std::shared_ptr<SnapInfo> &info : binSequence->snapInfos().objects())
        insertInfoToExternalSequenceByAdding(*info, live, adding);
    if (inkora::StoreContext *context = managedObjectContext())
        context->deleteObject(binSequence);
    std::erase(m_sequences, binSequence);
}

MRKOPersistentTrash::CleanUpURLs MRKOPersistentTrash::cleanUpURLsForSequence(const Sequence &binSequence,
                                                                             bool includeSnapshotURL,
                                                                             const std::set<const Sequence *> &leaving)
{
    CleanUpURLs urls;
    for (const std::shared_ptr<SnapInfo> &info : binSequence.snapInfos().objects()) {
        info->cleanUpCache();
        urls.files.push_back(includeSnapshotURL ? info->cleanUpURLs() : info->cleanUpURLsNoSnapshotFile());
    }
    const QString foldername = binSequence.foldername();
    const bool namedElsewhere =
        existingSequenceForTrashSequence(binSequence) ||
        std::any_of(m_sequences.begin(), m_sequences.end(), [&](const std::shared_ptr<Sequence> &other) {
            return other.get() != &binSequence && !leaving.count(other.get()) && other->foldername() == foldername;
        });
    if (!namedElsewhere)
        urls.folders = {binSequence.folderPath(), binSequence.folderCachePath()};
    return urls;
}

std::vector<std::pair<QString, QString>> MRKOPersistentTrash::snapshotFilesURLsForSequence(const Sequence &binSequence)
{
    std::vector<std::pair<QString, QString>> files;
    for (const std::shared_ptr<SnapInfo> &info : binSequence.snapInfos().objects())
        files.emplace_back(info->userFileName(), info->snapshotFileURL());
    return files;
}

void MRKOPersistentTrash::forget(const std::vector<std::shared_ptr<Sequence>> &doomed)
{
    inkora::StoreContext *context = managedObjectContext();
    for (const std::shared_ptr<Sequence> &sequence : doomed) {
        if (context)
            context->deleteObject(sequence);
        std::erase(m_sequences, sequence);
    }
    saveAction();
}

void MRKOPersistentTrash::removeSequences(const std::vector<std::shared_ptr<Sequence>> &doomed, bool async)
{
    std::set<const Sequence *> leaving;
    for (const std::shared_ptr<Sequence> &sequence : doomed)
        leaving.insert(sequence.get());
    CleanUpURLs urls;
    // Only folders that no sequence kept by either store names any more.
    for (const std::shared_ptr<Sequence> &sequence : doomed) {
        CleanUpURLs one = cleanUpURLsForSequence(*sequence, true, leaving);
        urls.files.insert(urls.files.end(), one.files.begin(), one.files.end());
        for (const QString &folder : std::as_const(one.folders)) {
            if (!urls.folders.contains(folder))
                urls.folders.append(folder);
        }
    }
    if (!urls.files.empty() || !urls.folders.isEmpty()) {
        if (async) {
            m_deletions->async([urls] { deleteFiles(urls); });
        } else {
            waitForFileDeletions();
            deleteFiles(urls);
        }
    }
    forget(doomed);
}

void MRKOPersistentTrash::removeSequencesAtIndexes(const std::set<size_t> &indexes)
{
    std::vector<std::shared_ptr<Sequence>> doomed;
    for (const size_t index : indexes) {
        if (index < m_sequences.size())
            doomed.push_back(m_sequences[index]);
    }
    removeSequences(doomed, true);
}

void MRKOPersistentTrash::removeSequence(const std::shared_ptr<Sequence> &binSequence)
{
    if (binSequence && std::find(m_sequences.begin(), m_sequences.end(), binSequence) != m_sequences.end())
        removeSequences({binSequence}, true);
}

void MRKOPersistentTrash::removeAllSequencesAsync(bool async)
{
    removeSequences(m_sequences, async);
}

void MRKOPersistentTrash::moveSequencesAtIndexesToBin(const std::set<size_t> &indexes)
{
    std::vector<std::shared_ptr<Sequence>> doomed;
    for (const size_t index : indexes) {
        if (index < m_sequences.size())
            doomed.push_back(m_sequences[index]);
    }
    std::set<const Sequence *> leaving;
    for (const std::shared_ptr<Sequence> &sequence : doomed)
        leaving.insert(sequence.get());
    CleanUpURLs caches;
    std::vector<std::pair<QString, QString>> files;
    for (const std::shared_ptr<Sequence> &sequence : doomed) {
        CleanUpURLs one = cleanUpURLsForSequence(*sequence, false, leaving);
        caches.files.insert(caches.files.end(), one.files.begin(), one.files.end());
        caches.folders.append(one.folders);
        const auto named = snapshotFilesURLsForSequence(*sequence);
        files.insert(files.end(), named.begin(), named.end());
    }
    m_deletions->async([caches, files] {
        for (const QStringList &group : caches.files) {
            for (const QString &path : group)
                MRKOUtils::removeContentAtURLIfNeeded(path);
        }
        for (const auto &[name, path] : files) {
            if (path.isEmpty() || !QFileInfo::exists(path))
                continue;
            const QString renamed = QFileInfo(path).dir().filePath(name);
            if (renamed != path && (QFileInfo::exists(renamed) || !QFile::rename(path, renamed))) {
                qCWarning(lcSnapshots).noquote()
                    << QStringLiteral("moveSequencesToBin: cannot rename %1 to \"%2\"; the file stays").arg(path, name);
                continue;
            }
            if (!QFile::moveToTrash(renamed))
                qCWarning(lcSnapshots).noquote()
                    << QStringLiteral("moveSequencesToBin: cannot move %1 to the trash; the file stays").arg(renamed);
        }
        // A file that could not go keeps its folder.
        for (const QString &folder : caches.folders)
            removeFolderIfEmpty(folder);
    });
    forget(doomed);
}

bool MRKOPersistentTrash::saveAction()
{
    return inkora::saveAndReport(managedObjectContext());
}

bool MRKOPersistentTrash::applicationShouldTerminate()
{
    return inkora::storeShouldTerminate(managedObjectContext());
}

void MRKOPersistentTrash::waitForFileDeletions()
{
    m_deletions->sync([] {});
}
