#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>

namespace platform {

/// The settings store: registered defaults (in memory, set at every launch) over persistent values (a binary
/// property list written atomically on synchronize). Values keep their property-list kind: qint64, double, bool,
/// QString, QByteArray, QDateTime, QVariantList and QVariantMap. Typed reads never fail: a missing key reads
/// 0, false or empty, and an integer read of a non-finite or out-of-range real reads 0.
class Defaults
{
public:
    /// The program's store at $XDG_CONFIG_HOME/com.Inkora.Inkora/com.Inkora.Inkora.plist.
    static Defaults &standard();
    /// A store over the given file; loads it at once (a damaged file is moved aside with one log line).
    explicit Defaults(const QString &filePath);
    ~Defaults();
    Defaults(const Defaults &) = delete;
    Defaults &operator=(const Defaults &) = delete;

    [[nodiscard]] QString filePath() const;

    /// Adds to the registered domain; a float value is kept as the double it widens to.
    void registerDefaults(const QVariantMap &values);
    [[nodiscard]] QVariantMap registeredDefaults() const;

    /// Persistent value, else registered value, else an invalid QVariant.
    [[nodiscard]] QVariant objectForKey(const QString &key) const;
    [[nodiscard]] qint64 integerForKey(const QString &key) const;
    [[nodiscard]] double doubleForKey(const QString &key) const;
    [[nodiscard]] float floatForKey(const QString &key) const;
    [[nodiscard]] bool boolForKey(const QString &key) const;
    [[nodiscard]] QString stringForKey(const QString &key) const;
    [[nodiscard]] QByteArray dataForKey(const QString &key) const;
    [[nodiscard]] QVariantList arrayForKey(const QString &key) const;
    [[nodiscard]] QVariantMap dictionaryForKey(const QString &key) const;

    /// Sets a persistent value; an invalid QVariant removes the key.
    void setObject(const QVariant &value, const QString &key);
    void setInteger(qint64 value, const QString &key);
    void setDouble(double value, const QString &key);
    void setFloat(float value, const QString &key);
    void setBool(bool value, const QString &key);
    void removeObjectForKey(const QString &key);

    /// The persistent domain alone, and merged over the registered one.
    [[nodiscard]] QVariantMap persistentDomain() const;
    [[nodiscard]] QVariantMap dictionaryRepresentation() const;

    /// Writes the persistent domain (temporary file and rename) when it changed; false on failure, with a log line.
    /// Readers see the new file at once. Forcing it to the disk costs milliseconds, so while a slider drags that
    /// happens at most every 0.1 s; the last write is forced 0.1 s later, by `flushToDisk` and on destruction.
    bool synchronize();
    /// Forces a written but not yet forced file to the disk (quitting).
    void flushToDisk();
    /// Reads the file again, dropping unsaved changes.
    void reload();

    struct Private;

private:
    std::unique_ptr<Private> d;
};

} // namespace platform
