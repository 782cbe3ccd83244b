#pragma once

#include <QImage>
#include <QObject>

#include <memory>

class MRKOSnapshot;
class MRKOSnapshotCollectionView;
class MRKOSnapshotInfoProtocol;
class MRKOSnapshotItemView;

/// One item of the browser: the roll entry it represents and its view. The thumbnail comes 0.25 s after the entry
/// is set, made on the global queue, unless it is ready at once; a spinner turns until then.
class MRKOSnapshotItem final : public QObject
{
    Q_OBJECT
public:
    static constexpr double kThumbnailDelay = 0.25; // seconds

    explicit MRKOSnapshotItem(MRKOSnapshotCollectionView &collectionView);
    ~MRKOSnapshotItem() override;

    [[nodiscard]] MRKOSnapshotItemView &view() const { return *m_view; }
    [[nodiscard]] MRKOSnapshotCollectionView &collectionView() const { return m_collectionView; }
    [[nodiscard]] const std::shared_ptr<MRKOSnapshotInfoProtocol> &representedObject() const { return m_record; }
    void setRepresentedObject(const std::shared_ptr<MRKOSnapshotInfoProtocol> &record);
    [[nodiscard]] bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    [[nodiscard]] bool needSeparator() const { return m_needSeparator; }
    void setNeedSeparator(bool need);
    [[nodiscard]] bool trashItem() const { return m_trashItem; }
    /// The entry's decoded shot; null when it cannot be read.
    [[nodiscard]] std::shared_ptr<MRKOSnapshot> snapshot() const;
    /// The thumbnail shown; null while the spinner turns.
    [[nodiscard]] QImage draggingImage() const;

private:
    MRKOSnapshotCollectionView &m_collectionView; // owns this item
    std::unique_ptr<MRKOSnapshotItemView> m_view;
    std::shared_ptr<MRKOSnapshotInfoProtocol> m_record;
    quint64 m_generation = 0; // a thumbnail for an older entry is dropped
    bool m_selected = false;
    bool m_needSeparator = true;
    bool m_trashItem = false;
};
