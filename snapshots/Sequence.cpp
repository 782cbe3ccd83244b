#include "snapshots/Sequence.h"

#include "foundation/MRKOUtils.h"
#include "snapshots/SnapInfo.h"

#include <QDir>

Sequence::Sequence(inkora::StoreContext *context) : StoreRecord(context)
{
    m_snapInfos.addObserver([this](OrderedRelation<SnapInfo>::Phase phase, const OrderedRelation<SnapInfo>::Change &c) {
        if (phase == OrderedRelation<SnapInfo>::Phase::WillChange)
            relationWillChange(c);
        else
            relationDidChange(c);
    });
}

Sequence::~Sequence() = default;

void Sequence::relationWillChange(const OrderedRelation<SnapInfo>::Change &change)
{
    m_leaving.clear();
    if (change.kind == OrderedRelation<SnapInfo>::Kind::Insertion)
        return;
    for (const size_t index : change.indexes)
        m_leaving.push_back(m_snapInfos.at(index));
}

void Sequence::relationDidChange(const OrderedRelation<SnapInfo>::Change &change)
{
    // The inverse follows the relation, as a record belongs to the sequence that holds it.
    const auto self = std::static_pointer_cast<Sequence>(shared_from_this());
    for (const std::shared_ptr<SnapInfo> &info : m_leaving) {
        if (info->sequence() == self && !m_snapInfos.contains(info.get()))
            info->setSequence(nullptr);
    }
    m_leaving.clear();
    if (change.kind != OrderedRelation<SnapInfo>::Kind::Removal) {
        for (const size_t index : change.indexes)
            m_snapInfos.at(index)->setSequence(self);
    }
    m_orderChanged = true;
    noteStoreChange();
}

QString Sequence::foldername() const
{
    const std::lock_guard lock(m_textMutex);
    return m_foldername;
}

void Sequence::setFoldername(const QString &foldername)
{
    {
        const std::lock_guard lock(m_textMutex);
        m_foldername = foldername;
    }
    noteChange();
}

QString Sequence::parentFolder() const
{
    const std::lock_guard lock(m_textMutex);
    return m_parentFolder;
}

void Sequence::setParentFolder(const QString &parentFolder)
{
    {
        const std::lock_guard lock(m_textMutex);
        m_parentFolder = parentFolder;
    }
    noteChange();
}

void Sequence::setInTrash(bool inTrash)
{
    m_inTrash = inTrash;
    noteChange();
}

std::shared_ptr<SnapInfo> Sequence::firstInfo() const
{
    return m_snapInfos.empty() ? nullptr : m_snapInfos.at(0);
}

QString Sequence::firstInfoName() const
{
    const std::shared_ptr<SnapInfo> first = firstInfo();
    return first ? first->name() : QString();
}

qint64 Sequence::sequenceType() const
{
    return MRKOUtils::sequenceTypeWithName(parentFolder());
}

bool Sequence::isSnapshotImageReady() const
{
    const std::shared_ptr<SnapInfo> first = firstInfo();
    return first && first->isSnapshotImageReady();
}

QImage Sequence::snapshotImage()
{
    const std::shared_ptr<SnapInfo> first = firstInfo();
    return first ? first->snapshotImage() : QImage();
}

QImage Sequence::quickLookImage()
{
    const std::shared_ptr<SnapInfo> first = firstInfo();
    return first ? first->quickLookImage() : QImage();
}

std::shared_ptr<MRKOSnapshot> Sequence::snapshot()
{
    const std::shared_ptr<SnapInfo> first = firstInfo();
    return first ? first->snapshot() : nullptr;
}

QString Sequence::folderPath() const
{
    return QDir(MRKOUtils::applicationSupportDir()).filePath(parentFolder() + QLatin1Char('/') + foldername());
}

QString Sequence::folderCachePath() const
{
    return QDir(MRKOUtils::cachesDir()).filePath(parentFolder() + QLatin1Char('/') + foldername());
}

QString Sequence::folderDir() const
{
    return MRKOUtils::createDirectoryAtURLIfNeeded(folderPath());
}

QString Sequence::folderCacheDir() const
{
    return MRKOUtils::createDirectoryAtURLIfNeeded(folderCachePath());
}
