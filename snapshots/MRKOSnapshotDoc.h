#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

/// A file of ours opened from a file manager: a settings preset, a shortcut preset or a snapshot. The document
/// reads the file, hands it to the part of the program that deals with it and closes itself 0.1 s later; it has no
/// window. A snapshot is applied to its display, or with Alt held added to the roll.
class MRKOSnapshotDoc final : public QObject
{
    Q_OBJECT
public:
    enum class Type : int { Unknown = 0, SettingsPreset = 1, ShortcutsPreset = 2, Snapshot = 3 };
    /// What reading answers when a snapshot file does not decode.
    static constexpr int kDecodeError = -4;
    static constexpr qint64 kMaxPresetBytes = 1024 * 1024;         // a preset file is read only up to this size
    static constexpr qint64 kMaxSnapshotBytes = 256 * 1024 * 1024; // and a snapshot file up to this one
    static constexpr double kHandOverDelay = 0.1;                  // seconds

    /// The modifier flags held now (the platform's bit layout); Qt's keyboard state unless replaced.
    using ModifierFlagsSource = std::function<quint64()>;
    static void setModifierFlagsSource(ModifierFlagsSource source);

    /// The type of a file by its extension, whatever its case.
    [[nodiscard]] static Type typeForPath(const QString &path);
    /// Opens the file at `path` as a new document; false (with one line, and an alert for a snapshot that does not
    /// decode) when it was not taken.
    static bool openDocumentAtPath(const QString &path);
    /// The documents among a start's arguments as absolute paths: file URLs become their paths, relative paths are
    /// taken from `workingDirectory`; options (a leading "-") and empty arguments are left out.
    [[nodiscard]] static QStringList documentPathsFromArguments(const QStringList &arguments,
                                                                const QString &workingDirectory);
    /// Opens every document among the arguments (already absolute).
    static void openDocumentsFromArguments(const QStringList &arguments);
    /// Documents open now.
    [[nodiscard]] static int openDocumentCount();

    ~MRKOSnapshotDoc() override;

    [[nodiscard]] QString path() const { return m_path; }
    /// Hands the data over by type; `error` receives kDecodeError when a snapshot does not decode.
    bool readFromData(const QByteArray &data, Type type, int *error = nullptr);
    /// Closes the document 0.1 s later, if it still exists.
    void cleanUpAndCloseDocument();

private:
    explicit MRKOSnapshotDoc(const QString &path);

    QString m_path;
};
