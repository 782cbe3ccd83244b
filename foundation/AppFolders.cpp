#include "foundation/AppFolders.h"

#include "foundation/InkoraLog.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTextBoundaryFinder>
#include <QUuid>

#include <array>
#include <filesystem>
#include <functional>
#include <system_error>

namespace inkora {

namespace {

constexpr int kLastNumberedName = 10000;     // formed but never tested: the unique name takes its place
constexpr qsizetype kMaxFileNameBytes = 255; // NAME_MAX of the usual Linux file systems

QMutex s_mutex;
QString s_applicationSupport; // cached after the first successful creation
QString s_tempDir;            // the per-run temporary folder, once made

const std::array<const char *, 3> kSequenceNames = {"Snapshots", "DazadUdizs", "Trash"};
const std::array<const char *, 3> kShotsViewNames = {"Snapshots", "DazadUdizs", "Recently Deleted"};

qint64 knownSequenceType(qint64 type)
{
    return type == 1 || type == 2 ? type : 0;
}

QString globallyUniqueString()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

/// Something is there, a dangling symbolic link included: such a name is never handed out as free.
bool isTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

/// The base name and extension of a file name; a leading dot does not start an extension.
void splitName(const QString &name, QString *base, QString *extension)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) {
        *base = name;
        extension->clear();
    } else {
        *base = name.left(dot);
        *extension = name.mid(dot + 1);
    }
}

/// "B (n).E", and "B (n)" for a file without an extension, so no trailing dot appears.
QString numberedName(const QString &base, const QString &counter, const QString &extension)
{
    const QString numbered = QStringLiteral("%1 (%2)").arg(base, counter);
    return extension.isEmpty() ? numbered : numbered + QLatin1Char('.') + extension;
}

QString freeName(const QString &firstName, const QString &folder, const std::function<bool(const QString &)> &taken)
{
    QString base, extension;
    splitName(firstName, &base, &extension);
    QString name = firstName;
    int counter = 1;
    while (taken(QDir(folder).filePath(name))) {
        name = numberedName(base, QString::number(counter), extension);
        ++counter;
        if (counter > kLastNumberedName) {
            name = numberedName(base, globallyUniqueString(), extension);
            break;
        }
    }
    return QDir(folder).filePath(name);
}

} // namespace

QString AppFolders::applicationIdentifier()
{
    return QStringLiteral("com.Inkora.Inkora");
}

QString AppFolders::applicationSupportDir()
{
    QMutexLocker lock(&s_mutex);
    if (s_applicationSupport.isEmpty())
        s_applicationSupport =
            createDirectoryAtURLIfNeeded(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                                             .filePath(applicationIdentifier()));
    return s_applicationSupport;
}

QString AppFolders::cachesDir()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(applicationIdentifier());
}

QString AppFolders::appDocumentsDir()
{
    const QString documents = qEnvironmentVariable("XDG_DOCUMENTS_DIR");
    if (!documents.isEmpty() && QDir::isAbsolutePath(documents))
        return QDir::cleanPath(documents);
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString AppFolders::tempDir()
{
    QMutexLocker lock(&s_mutex);
    if (s_tempDir.isEmpty())
        s_tempDir = createDirectoryAtURLIfNeeded(QDir(QDir::tempPath()).filePath(globallyUniqueString()));
    return s_tempDir;
}

bool AppFolders::isTempDirExists()
{
    QMutexLocker lock(&s_mutex);
    return !s_tempDir.isEmpty();
}

void AppFolders::removeTempDir()
{
    QMutexLocker lock(&s_mutex);
    if (s_tempDir.isEmpty())
        return;
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(s_tempDir.toStdString()), error);
    if (error) {
        qCWarning(lcFoundation) << "Can't remove TemporaryDirectory:" << QString::fromStdString(error.message());
        return;
    }
    s_tempDir.clear();
}

QString AppFolders::createDirectoryAtURLIfNeeded(const QString &path)
{
    if (QFileInfo(path).isDir())
        return path;
    std::error_code error;
    // Something else in the folder's place is an error too, never a folder to hand out.
    if (!isTaken(path))
        std::filesystem::create_directories(std::filesystem::path(path.toStdString()), error);
    else
        error = std::make_error_code(std::errc::not_a_directory);
    if (error) {
        qCWarning(lcFoundation).noquote()
            << QStringLiteral("Error creating folder \"%1\" at URL: %2 - %3")
                   .arg(QFileInfo(path).fileName(), path, QString::fromStdString(error.message()));
        return {};
    }
    return path;
}

void AppFolders::removeContentAtURLIfNeeded(const QString &path)
{
    if (!isTaken(path))
        return;
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(path.toStdString()), error);
    if (error)
        qCWarning(lcFoundation).noquote() << QString::fromStdString(error.message());
}

QString AppFolders::uniqueFilePathWithPathFolder(const QString &path, const QString &folder)
{
    if (!isTaken(path))
        return path;
    return freeName(QFileInfo(path).fileName(), folder, isTaken);
}

QString AppFolders::uniqueFilePathWithPathFolderFuturePaths(const QString &path, const QString &folder,
                                                            const QStringList &futurePaths)
{
    return freeName(QFileInfo(path).fileName(), folder, [&futurePaths](const QString &candidate) {
        return isTaken(candidate) || futurePaths.contains(candidate);
    });
}

QString AppFolders::safeFileName(const QString &name, const QString &extension, const QString &fallback)
{
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('-'));
    safe.replace(QChar(0), QLatin1Char('-'));
    qsizetype dots = 0;
    while (dots < safe.size() && safe.at(dots) == QLatin1Char('.'))
        ++dots;
    safe.remove(0, dots);
    if (safe.isEmpty())
        safe = fallback;
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    // Room for the counter a free name may need, so the numbered name fits too.
    const qsizetype budget = kMaxFileNameBytes -
                             numberedName(QString(), QString::number(kLastNumberedName), QString()).toUtf8().size() -
                             suffix.toUtf8().size();
    if (safe.toUtf8().size() > budget) {
        QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, safe);
        qsizetype cut = 0;
        for (qsizetype next = boundaries.toNextBoundary(); next > 0; next = boundaries.toNextBoundary()) {
            if (QStringView(safe).left(next).toUtf8().size() > budget)
                break;
            cut = next;
        }
        safe.truncate(cut);
        if (safe.isEmpty())
            safe = fallback;
    }
    return safe + suffix;
}

QString AppFolders::sequenceNameWithType(qint64 type)
{
    return QString::fromLatin1(kSequenceNames[size_t(knownSequenceType(type))]);
}

QString AppFolders::shotsViewNameWithType(qint64 type)
{
    return QString::fromLatin1(kShotsViewNames[size_t(knownSequenceType(type))]);
}

qint64 AppFolders::sequenceTypeWithName(const QString &name)
{
    for (size_t type = 0; type < kSequenceNames.size(); ++type) {
        if (name == QLatin1String(kSequenceNames[type]))
            return qint64(type);
    }
    return 0;
}

QString AppFolders::extentionWithExportMethod(qint64 method)
{
    static const std::array<const char *, 8> kExtensions = {"psd", "png", "pdf", "psd", "png", "pdf", "pdf", "pdf"};
    if (method < 0 || method >= qint64(kExtensions.size()))
        return QStringLiteral("png");
    return QString::fromLatin1(kExtensions[size_t(method)]);
}

QString AppFolders::extentionWithGraphicFormat(qint64 format)
{
    if (format == 1)
        return QStringLiteral("psd");
    if (format == 2)
        return QStringLiteral("pdf");
    return QStringLiteral("png");
}

} // namespace inkora
