#pragma once

#include "snapshots/OrderedRelation.h"
#include "snapshots/StoreRecord.h"

#include <memory>

class SnapInfo;
namespace inkora {
class StoreDatabase;
}

/// An ordered folder of shot records of one kind, newest first. In the roll it is a live sequence; in the bin it is a
/// copy of one, holding the deleted records, and stands in the browser for the shot it holds.
class Sequence final : public inkora::StoreRecord
{
public:
    ~Sequence() override;

    /// Unique hashed name of the sequence's folder; also what matches a bin copy to its live sequence.
    [[nodiscard]] QString foldername() const;
    void setFoldername(const QString &foldername);
    /// "Snapshots" or "DazadUdizs": the kind's folder.
    [[nodiscard]] QString parentFolder() const;
    void setParentFolder(const QString &parentFolder);
    [[nodiscard]] bool inTrash() const { return m_inTrash; }
    void setInTrash(bool inTrash);

    [[nodiscard]] OrderedRelation<SnapInfo> &snapInfos() { return m_snapInfos; }
    [[nodiscard]] const OrderedRelation<SnapInfo> &snapInfos() const { return m_snapInfos; }
    /// Whether the order of the records changed since the last save.
    [[nodiscard]] bool orderChanged() const { return m_orderChanged; }

    /// The newest record, or null.
    [[nodiscard]] std::shared_ptr<SnapInfo> firstInfo() const;
    [[nodiscard]] QString firstInfoName() const;

    [[nodiscard]] qint64 sequenceType() const override;
    [[nodiscard]] bool isSnapshotImageReady() const override;
    [[nodiscard]] QImage snapshotImage() override;
    [[nodiscard]] QImage quickLookImage() override;
    [[nodiscard]] std::shared_ptr<MRKOSnapshot> snapshot() override;

    /// Application data folder / parentFolder / foldername, made when missing; null when it cannot be made.
    [[nodiscard]] QString folderDir() const;
    /// Caches folder / parentFolder / foldername, made when missing; null when it cannot be made.
    [[nodiscard]] QString folderCacheDir() const;
    /// The same paths without making anything.
    [[nodiscard]] QString folderPath() const;
    [[nodiscard]] QString folderCachePath() const;

private:
    friend class inkora::StoreContext;
    friend class inkora::StoreDatabase;
    explicit Sequence(inkora::StoreContext *context);
    void relationWillChange(const OrderedRelation<SnapInfo>::Change &change);
    void relationDidChange(const OrderedRelation<SnapInfo>::Change &change);

    QString m_foldername;
    QString m_parentFolder;
    bool m_inTrash = false;
    bool m_orderChanged = false;
    OrderedRelation<SnapInfo> m_snapInfos;
    std::vector<std::shared_ptr<SnapInfo>> m_leaving; // records a removal takes out, between its two notices
};
