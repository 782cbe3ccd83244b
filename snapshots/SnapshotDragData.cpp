#include "snapshots/SnapshotDragData.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/PropertyList.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotInfoProtocol.h"
#include "snapshots/MRKOSnapshotsViewController.h"

#include <QBuffer>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace inkora {

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
const QString kPng = QStringLiteral("image/png");

} // namespace

SnapshotDragData::SnapshotDragData(MRKOSnapshotsViewController &controller, const std::vector<qint64> &indexes,
                                   bool filtered, const MRKOSnapshotManager::Records &records)
    : m_controller(&controller), m_indexes(indexes), m_records(records)
{
    setData(QLatin1String(filtered ? kFiltredIndexPathType : kIndexPathType), encodeIndexes(indexes));
}

QStringList SnapshotDragData::formats() const
{
    QStringList types = QMimeData::formats();
    types << kUriList;
    if (m_records.size() == 1)
        types << kPng;
    return types;
}

bool SnapshotDragData::hasFormat(const QString &type) const
{
    return formats().contains(type);
}

QByteArray SnapshotDragData::encodeIndexes(const std::vector<qint64> &indexes)
{
    QVariantList list;
    for (const qint64 index : indexes)
        list << QVariant::fromValue(index);
    return platform::PropertyList::toBinary(list).value_or(QByteArray());
}

std::optional<std::vector<qint64>> SnapshotDragData::decodeIndexes(const QByteArray &data, qint64 count)
{
    const platform::PropertyList::Parsed parsed = platform::PropertyList::parse(data);
    if (parsed.value.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    std::vector<qint64> indexes;
    for (const QVariant &value : parsed.value.toList()) {
        if (value.typeId() != QMetaType::LongLong)
            return std::nullopt;
        const qint64 index = value.toLongLong();
        if (index < 0 || index >= count)
            return std::nullopt;
        indexes.push_back(index);
    }
    return indexes;
}

QVariant SnapshotDragData::retrieveData(const QString &type, QMetaType preferred) const
{
    if (type == kUriList) {
        // A list of URLs, as QMimeData itself keeps them: Qt turns only that into the bytes another program reads.
        QVariantList urls;
        for (const QUrl &url : promisedFiles())
            urls << url;
        return urls;
    }
    if (type == kPng && m_records.size() == 1) {
        const std::shared_ptr<MRKOSnapshot> shot = m_records.front()->snapshot();
        if (!shot) {
            qCWarning(lcSnapshots) << "drag: the snapshot cannot be read; no picture handed over";
            return {};
        }
        const bool screenOnly = m_records.front()->sequenceType() == 1;
        const QImage image =
            screenOnly ? shot->screenBitmap() : shot->imageWithSize(shot->documentSize(), true, true, false, true);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
    return QMimeData::retrieveData(type, preferred);
}

QList<QUrl> SnapshotDragData::promisedFiles() const
{
    if (m_files)
        return *m_files;
    m_files = QList<QUrl>();
    if (!m_controller)
        return *m_files;
    // A folder of its own per drag, so names of earlier drags never clash.
    const QString base = MRKOUtils::tempDir();
    QDir().mkpath(base);
    QTemporaryDir folder(QDir(base).filePath(QStringLiteral("drag-XXXXXX")));
    folder.setAutoRemove(false);
    if (!folder.isValid()) {
        qCWarning(lcSnapshots) << "drag: no folder for the files in" << base << "; no files handed over";
        return *m_files;
    }
    auto finished = std::make_shared<bool>(false);
    QEventLoop loop;
    const QStringList names =
        m_controller->namesOfPromisedFilesDroppedAtDestination(folder.path(), m_indexes, [finished, &loop] {
            *finished = true;
            loop.quit();
        });
    // The files are handed over only once they are written; the export sheet shows the progress meanwhile.
    if (!*finished)
        loop.exec();
    for (const QString &name : names)
        m_files->append(QUrl::fromLocalFile(QDir(folder.path()).filePath(name)));
    return *m_files;
}

} // namespace inkora
