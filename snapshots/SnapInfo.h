#pragma once

#include "snapshots/StoreRecord.h"

#include <QImage>
#include <QStringList>

#include <functional>
#include <memory>

class Sequence;
namespace inkora {
class StoreDatabase;
}

/// One stored shot: its record plus three files, the snapshot archive, the browser thumbnail (Caches) and the
/// preview image (the run's temporary folder). The two images are kept in memory once made.
class SnapInfo final : public inkora::StoreRecord
{
public:
    static const QString kExtension; // "iksnapshot"

    ~SnapInfo() override;

    /// The archive's and the images' file name, without extension.
    [[nodiscard]] QString filename() const;
    void setFilename(const QString &filename);
    /// The owning sequence; null while the record belongs to none.
    [[nodiscard]] std::shared_ptr<Sequence> sequence() const { return m_sequence.lock(); }

    [[nodiscard]] qint64 sequenceType() const override;
    [[nodiscard]] bool isSnapshotImageReady() const override;
    [[nodiscard]] QImage snapshotImage() override;
    [[nodiscard]] QImage quickLookImage() override;
    /// The decoded shot through the snapshot cache, renamed after this record; null when its file does not read.
    [[nodiscard]] std::shared_ptr<MRKOSnapshot> snapshot() override;

    bool tryLoadSnapshotImageFromCache();
    bool tryLoadQuickLookImageFromCache();
    void saveSnapshotImageToCache();
    void saveQuickLookImageToCache();

    // File places (paths)
    [[nodiscard]] QString snapshotFileURL() const;
    [[nodiscard]] QString snapshotImageURL() const;
    [[nodiscard]] QString quickLookFilename() const;
    [[nodiscard]] QString quickLookImageURL() const;
    /// The file name shown when the shot is copied out of the roll: its name made safe, with the extension.
    [[nodiscard]] QString userFileName() const;
    [[nodiscard]] QStringList cleanUpURLs() const;
    [[nodiscard]] QStringList cleanUpURLsNoSnapshotFile() const;
    /// `userFileName` in the folder, numbered when that name is taken.
    [[nodiscard]] QString uniqueURLForUserSnapshotFileInDirectory(const QString &folder) const;

    /// Drops the shot from the snapshot cache.
    void cleanUpCache();
    /// `cleanUpCache`, then deletes the archive, the thumbnail and the preview image where they exist.
    void cleanUpOriginalAndCachesBeforeCompleteRemove();

    /// While its archive is being written the record is not saved.
    [[nodiscard]] bool isFileWritePending() const { return m_fileWritePending; }
    void setFileWritePending(bool pending) { m_fileWritePending = pending; }

private:
    friend class inkora::StoreContext;
    friend class inkora::StoreDatabase;
    friend class Sequence;
    explicit SnapInfo(inkora::StoreContext *context);
    void setSequence(const std::shared_ptr<Sequence> &sequence) { m_sequence = sequence; }
    /// The cache file's image, else one rendered by `render` and written to the cache file in the background.
    QImage image(QImage &kept, const QString &cachePath, const std::function<QImage(MRKOSnapshot &)> &render);

    QString m_filename;
    std::weak_ptr<Sequence> m_sequence;
    bool m_fileWritePending = false;
    qint64 m_storedSequenceId = 0; // where the last save put it
    qint64 m_storedPosition = -1;
    mutable std::mutex m_imagesMutex; // the two images may be asked for from export workers
    QImage m_snapshotImage;
    QImage m_quickLookImage;
};
