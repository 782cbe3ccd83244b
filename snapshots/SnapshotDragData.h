#pragma once

#include "snapshots/MRKOSnapshotManager.h"

#include <QMimeData>
#include <QPointer>

#include <optional>
#include <vector>

class MRKOSnapshotsViewController;

namespace inkora {

/// What a drag of browser items carries: the items' indexes under our own type, and for other programs the files
/// ("text/uri-list", written into a new folder of the run's temporary folder when first asked for) and, for one
/// item, its picture ("image/png").
class SnapshotDragData final : public QMimeData
{
    Q_OBJECT
public:
    static constexpr char kIndexPathType[] = "mrko.drag.indexPath";
    static constexpr char kFiltredIndexPathType[] = "mrko.drag.filtredIndexPath";

    SnapshotDragData(MRKOSnapshotsViewController &controller, const std::vector<qint64> &indexes, bool filtered,
                     const MRKOSnapshotManager::Records &records);

    [[nodiscard]] QStringList formats() const override;
    [[nodiscard]] bool hasFormat(const QString &type) const override;

    /// Binary property list of integers.
    [[nodiscard]] static QByteArray encodeIndexes(const std::vector<qint64> &indexes);
    /// The indexes when the data is a property-list array of integers, each in 0 ... count - 1; else nothing.
    [[nodiscard]] static std::optional<std::vector<qint64>> decodeIndexes(const QByteArray &data, qint64 count);

protected:
    [[nodiscard]] QVariant retrieveData(const QString &type, QMetaType preferred) const override;

private:
    [[nodiscard]] QList<QUrl> promisedFiles() const;

    QPointer<MRKOSnapshotsViewController> m_controller; // not owned
    std::vector<qint64> m_indexes;
    MRKOSnapshotManager::Records m_records; // the dragged ones
    mutable std::optional<QList<QUrl>> m_files;
};

} // namespace inkora
