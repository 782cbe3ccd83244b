#include "snapshots/MRKOSnapshotItem.h"

#include "platform/Dispatch.h"
#include "snapshots/MRKOSnapshotCollectionView.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotItemView.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"

#include <QPointer>

MRKOSnapshotItem::MRKOSnapshotItem(MRKOSnapshotCollectionView &collectionView)
    : m_collectionView(collectionView), m_view(std::make_unique<MRKOSnapshotItemView>(*this, &collectionView))
{}

MRKOSnapshotItem::~MRKOSnapshotItem() = default;

void MRKOSnapshotItem::setRepresentedObject(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record)
{
    if (record == m_record)
        return;
    m_record = record;
    ++m_generation;
    m_view->setImage({});
    if (!record)
        return;
    QString name = record->name();
    const auto *sequence = dynamic_cast<const Sequence *>(record.get());
    m_trashItem = sequence && sequence->inTrash();
    if (sequence && sequence->snapInfos().size() == 1)
        name = sequence->snapInfos().at(0)->name();
    m_view->setTrashItem(m_trashItem);
    m_view->setName(name);
    if (record->isSnapshotImageReady()) {
        m_view->setImage(record->snapshotImage());
        m_view->stopProgressIndicator();
        return;
    }
    m_view->startProgressIndicator();
    const QPointer<MRKOSnapshotItem> self(this);
    const std::weak_ptr<MRKOSnapshotInfoProtocol> weakRecord = record;
    const quint64 generation = m_generation;
    const auto deliver = [self, generation](const QImage &image) {
        platform::DispatchQueue::main().async([self, generation, image] {
            if (self && self->m_generation == generation && !image.isNull())
                self->m_view->setImage(image);
        });
    };
    // A thumbnail kept in the cache folder reads at once; one that must be drawn waits 0.25 s, so that items
    // scrolled past quickly draw nothing.
    const auto render = [self, weakRecord, generation, deliver] {
        if (!self || self->m_generation != generation)
            return;
        platform::DispatchQueue::global().async([weakRecord, deliver] {
            if (const std::shared_ptr<MRKOSnapshotInfoProtocol> strong = weakRecord.lock())
                deliver(strong->snapshotImage());
        });
    };
    std::shared_ptr<SnapInfo> info = std::dynamic_pointer_cast<SnapInfo>(record);
    if (const auto bin = std::dynamic_pointer_cast<Sequence>(record))
        info = bin->firstInfo();
    platform::DispatchQueue::global().async([info, weakRecord, deliver, render] {
        const std::shared_ptr<MRKOSnapshotInfoProtocol> strong = weakRecord.lock();
        if (strong && info && info->tryLoadSnapshotImageFromCache()) {
            deliver(strong->snapshotImage());
            return;
        }
        platform::DispatchQueue::main().async(
            [render] { platform::DispatchQueue::main().after(kThumbnailDelay, render); });
    });
}

void MRKOSnapshotItem::setSelected(bool selected)
{
    m_selected = selected;
    m_view->setHighlight(selected);
}

void MRKOSnapshotItem::setNeedSeparator(bool need)
{
    m_needSeparator = need;
}

std::shared_ptr<MRKOSnapshot> MRKOSnapshotItem::snapshot() const
{
    return m_record ? m_record->snapshot() : nullptr;
}

QImage MRKOSnapshotItem::draggingImage() const
{
    return m_view->image();
}
