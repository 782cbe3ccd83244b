#include "snapshots/SnapInfo.h"

#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "platform/Dispatch.h"
#include "platform/ImageLoader.h"
#include "snapshots/MRKOSnapshot.h"
#include "snapshots/MRKOSnapshotCache.h"
#include "snapshots/Sequence.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>

const QString SnapInfo::kExtension = QStringLiteral("iksnapshot");

namespace {

void writePNGInBackground(const QImage &image, const QString &path)
{
    if (image.isNull() || path.isEmpty())
        return;
    platform::DispatchQueue::global().async([image, path] {
        QSaveFile file(path);
        QImage plain = image;
        plain.setDevicePixelRatio(1.0);
        if (!file.open(QIODevice::WriteOnly) || !plain.save(&file, "PNG") || !file.commit())
            qCWarning(lcSnapshots) << "saveSnapshotImageToCache: cannot write" << path << "-" << file.errorString();
    });
}

QImage readCachedImage(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    QImage image = platform::ImageLoader::readImageFile(path);
    // The file keeps pixels only; the thumbnail is drawn at the display's scale.
    const double scale = MRKOSnapshot::displayScaleForRendering();
    if (!image.isNull() && scale > 0)
        image.setDevicePixelRatio(scale);
    return image;
}

void removeIfPresent(const QString &path)
{
    if (path.isEmpty())
        return;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::path(path.toStdString()), error) &&
        !std::filesystem::remove(std::filesystem::path(path.toStdString()), error))
        qCWarning(lcSnapshots).noquote() << QString::fromStdString(error.message()) << path;
}

} // namespace

SnapInfo::SnapInfo(inkora::StoreContext *context) : StoreRecord(context) {}

SnapInfo::~SnapInfo() = default;

QString SnapInfo::filename() const
{
    const std::lock_guard lock(m_textMutex);
    return m_filename;
}

void SnapInfo::setFilename(const QString &filename)
{
    {
        const std::lock_guard lock(m_textMutex);
        m_filename = filename;
    }
    noteChange();
}

qint64 SnapInfo::sequenceType() const
{
    const std::shared_ptr<Sequence> owner = sequence();
    return owner ? owner->sequenceType() : 0;
}

bool SnapInfo::isSnapshotImageReady() const
{
    const std::lock_guard lock(m_imagesMutex);
    return !m_snapshotImage.isNull();
}

QImage SnapInfo::image(QImage &kept, const QString &cachePath, const std::function<QImage(MRKOSnapshot &)> &render)
{
    {
        const std::lock_guard lock(m_imagesMutex);
        if (!kept.isNull())
            return kept;
    }
    QImage image = readCachedImage(cachePath);
    const bool fromFile = !image.isNull();
    if (!fromFile) {
        const std::shared_ptr<MRKOSnapshot> shot = snapshot();
        if (!shot)
            return {};
        image = render(*shot);
        if (image.isNull())
            return {};
    }
    {
        const std::lock_guard lock(m_imagesMutex);
        if (!kept.isNull())
            return kept; // another thread was quicker
        kept = image;
    }
    if (!fromFile)
        writePNGInBackground(image, cachePath);
    return image;
}

QImage SnapInfo::snapshotImage()
{
    return image(m_snapshotImage, snapshotImageURL(), [](MRKOSnapshot &shot) { return shot.snapshotImage(); });
}

QImage SnapInfo::quickLookImage()
{
    return image(m_quickLookImage, quickLookImageURL(), [](MRKOSnapshot &shot) { return shot.quickLookImage(); });
}

std::shared_ptr<MRKOSnapshot> SnapInfo::snapshot()
{
    if (filename().isEmpty() || !sequence())
        return nullptr;
    std::shared_ptr<MRKOSnapshot> shot = MRKOSnapshotCache::sharedCache().snapshotWithURL(snapshotFileURL());
    if (shot)
        shot->setName(name()); // a retitled shot applies and exports under its new name
    return shot;
}

bool SnapInfo::tryLoadSnapshotImageFromCache()
{
    QImage loaded = readCachedImage(snapshotImageURL());
    const std::lock_guard lock(m_imagesMutex);
    if (!loaded.isNull())
        m_snapshotImage = loaded;
    return !loaded.isNull();
}

bool SnapInfo::tryLoadQuickLookImageFromCache()
{
    QImage loaded = readCachedImage(quickLookImageURL());
    const std::lock_guard lock(m_imagesMutex);
    if (!loaded.isNull())
        m_quickLookImage = loaded;
    return !loaded.isNull();
}

void SnapInfo::saveSnapshotImageToCache()
{
    const std::lock_guard lock(m_imagesMutex);
    writePNGInBackground(m_snapshotImage, snapshotImageURL());
}

void SnapInfo::saveQuickLookImageToCache()
{
    const std::lock_guard lock(m_imagesMutex);
    writePNGInBackground(m_quickLookImage, quickLookImageURL());
}

QString SnapInfo::snapshotFileURL() const
{
    const std::shared_ptr<Sequence> owner = sequence();
    if (!owner)
        return {};
    const QString folder = owner->folderDir();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(filename() + QLatin1Char('.') + kExtension);
}

QString SnapInfo::snapshotImageURL() const
{
    const std::shared_ptr<Sequence> owner = sequence();
    if (!owner)
        return {};
    const QString folder = owner->folderCacheDir();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(filename() + QStringLiteral(".png"));
}

QString SnapInfo::quickLookFilename() const
{
    return filename() + QStringLiteral("_ql");
}

QString SnapInfo::quickLookImageURL() const
{
    const QString folder = MRKOUtils::tempDir();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(quickLookFilename() + QStringLiteral(".png"));
}

QString SnapInfo::userFileName() const
{
    const QString fallback = sequenceType() == 1 ? QStringLiteral("DazadUdiz") : QStringLiteral("Snapshot");
    return MRKOUtils::safeFileName(name(), kExtension, fallback);
}

QStringList SnapInfo::cleanUpURLs() const
{
    return {snapshotFileURL(), snapshotImageURL(), quickLookImageURL()};
}

QStringList SnapInfo::cleanUpURLsNoSnapshotFile() const
{
    return {snapshotImageURL(), quickLookImageURL()};
}

QString SnapInfo::uniqueURLForUserSnapshotFileInDirectory(const QString &folder) const
{
    return MRKOUtils::uniqueFilePathWithPathFolder(QDir(folder).filePath(userFileName()), folder);
}

void SnapInfo::cleanUpCache()
{
    MRKOSnapshotCache::sharedCache().removeObjectForURL(snapshotFileURL());
}

void SnapInfo::cleanUpOriginalAndCachesBeforeCompleteRemove()
{
    cleanUpCache();
    for (const QString &path : cleanUpURLs())
        removeIfPresent(path);
}
