#pragma once

#include <QString>
#include <QStringList>

namespace inkora {

/// The program's folders and store files, free file names and the sequence-type names; the static state behind
/// the folder methods of MRKOUtils. Paths are absolute; a null string stands for a folder that could not be made.
class AppFolders final
{
public:
    AppFolders() = delete;

    /// The main program's identifier, which names its folders.
    static QString applicationIdentifier();

    static QString applicationSupportDir();
    static QString cachesDir();
    static QString appDocumentsDir();

    static QString tempDir();
    static bool isTempDirExists();
    static void removeTempDir();

    static QString createDirectoryAtURLIfNeeded(const QString &path);
    static void removeContentAtURLIfNeeded(const QString &path);

    static QString uniqueFilePathWithPathFolder(const QString &path, const QString &folder);
    static QString uniqueFilePathWithPathFolderFuturePaths(const QString &path, const QString &folder,
                                                           const QStringList &futurePaths);

    static QString safeFileName(const QString &name, const QString &extension, const QString &fallback);

    static QString sequenceNameWithType(qint64 type);
    static QString shotsViewNameWithType(qint64 type);
    static qint64 sequenceTypeWithName(const QString &name);
    static QString extentionWithExportMethod(qint64 method);
    static QString extentionWithGraphicFormat(qint64 format);
};

} // namespace inkora
