#include "platform/Defaults.h"

#include "platform/PlatformLog.h"
#include "platform/PropertyList.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <unistd.h>

namespace platform {

namespace {

constexpr auto kDomain = "com.Inkora.Inkora";

QString standardPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    const QString domain = QString::fromLatin1(kDomain);
    return config + QLatin1Char('/') + domain + QLatin1Char('/') + domain + QStringLiteral(".plist");
}

/// The leading integer of a text, as a C-library string-to-integer read gives it: spaces, a sign, digits; saturated.
qint64 leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    quint64 magnitude = 0;
    constexpr quint64 kLimit = quint64(std::numeric_limits<qint64>::max()) + 1;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        magnitude = magnitude * 10 + quint64(text.at(i).unicode() - '0');
        if (magnitude >= kLimit) {
            magnitude = kLimit;
            break;
        }
    }
    if (negative)
        return magnitude >= kLimit ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
    return magnitude >= kLimit ? std::numeric_limits<qint64>::max() : qint64(magnitude);
}

/// The leading decimal number of a text ("2.5cm" reads 2.5); 0 when there is none. Never NaN.
double leadingReal(const QString &text)
{
    const QByteArray latin = text.trimmed().toLatin1();
    const char *p = latin.constData();
    const qsizetype n = latin.size();
    auto isDigit = [&](qsizetype at) { return at < n && p[at] >= '0' && p[at] <= '9'; };
    qsizetype i = 0;
    if (i < n && (p[i] == '+' || p[i] == '-'))
        ++i;
    qsizetype digits = 0;
    for (; isDigit(i); ++i)
        ++digits;
    if (i < n && p[i] == '.') {
        for (++i; isDigit(i); ++i)
            ++digits;
    }
    if (digits == 0)
        return 0.0;
    if (i < n && (p[i] == 'e' || p[i] == 'E')) {
        qsizetype j = i + 1;
        if (j < n && (p[j] == '+' || p[j] == '-'))
            ++j;
        if (isDigit(j)) {
            while (isDigit(j))
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double value = QByteArray(p, i).toDouble(&ok);
    return ok ? value : 0.0;
}

/// An integer read of a real: truncated towards zero; 0 for NaN, infinity and anything outside qint64.
qint64 integerFromReal(double d)
{
    if (!std::isfinite(d) || d >= 9223372036854775808.0 || d < -9223372036854775808.0)
        return 0;
    return static_cast<qint64>(d);
}

float floatFromReal(double d)
{
    if (std::isfinite(d) && std::fabs(d) > double(std::numeric_limits<float>::max()))
        return d > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(d);
}

constexpr auto kDiskFlushInterval = std::chrono::milliseconds(100);

/// Forces the file and the folder holding its name to the disk.
void forceToDisk(const QString &path)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (file >= 0) {
        ::fsync(file);
        ::close(file);
    }
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

/// Writes the bytes to a temporary file beside `path` and renames it into place; when `durable`, the file is
/// flushed to disk before the rename and the rename with its folder after it.
bool writeAtomically(const QString &path, const QByteArray &bytes, bool durable, QString *error)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        *error = QStringLiteral("cannot create folder %1").arg(info.absolutePath());
        return false;
    }
    QByteArray pattern = QFile::encodeName(path + QStringLiteral(".XXXXXX"));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        *error = QStringLiteral("cannot create a temporary file: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const QString temporary = QFile::decodeName(pattern);
    auto failWith = [&](const char *what) {
        *error = QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
        QFile::remove(temporary);
        return false;
    };
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failWith("write");
        written += n;
    }
    if (durable && ::fsync(fd) != 0)
        return failWith("fsync");
    if (::close(fd) != 0) {
        *error = QStringLiteral("close: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        QFile::remove(temporary);
        return false;
    }
    if (::rename(pattern.constData(), QFile::encodeName(path).constData()) != 0) {
        *error = QStringLiteral("rename: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        QFile::remove(temporary);
        return false;
    }
    // The rename itself reaches the disk with the folder.
    if (durable) {
        const int folder = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
    return true;
}

} // namespace

struct Defaults::Private
{
    QString path;
    mutable std::mutex mutex;
    QVariantMap registered;
    QVariantMap persistent;
    bool dirty = false;
    // The file holds the last write but the disk may not yet.
    bool flushPending = false;
    std::chrono::steady_clock::time_point lastForced;
    // Scheduled flushes hold this weakly, so a store that is gone is not touched.
    std::shared_ptr<Defaults *> self;

    QVariant lookup(const QString &key) const
    {
        const auto it = persistent.constFind(key);
        if (it != persistent.cend())
            return it.value();
        return registered.value(key);
    }

    void load()
    {
        persistent.clear();
        dirty = false;
        QFile file(path);
        if (!file.exists())
            return;
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(lcPlatform).noquote()
                << QStringLiteral("Defaults: cannot read %1 (%2); the defaults apply").arg(path, file.errorString());
            return;
        }
        const PropertyListLimits limits;
        const QByteArray bytes = file.read(limits.maxBytes + 1);
        file.close();
        const PropertyList::Parsed parsed = PropertyList::parse(bytes, limits);
        QString problem = parsed.error;
        if (problem.isEmpty() && parsed.value.typeId() != QMetaType::QVariantMap)
            problem = QStringLiteral("top level is not a dictionary");
        if (problem.isEmpty()) {
            persistent = parsed.value.toMap();
            return;
        }
        moveAside(problem);
    }

    void moveAside(const QString &problem)
    {
        const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString aside = path + QStringLiteral(".damaged-") + stamp;
        for (int n = 1; QFile::exists(aside); ++n)
            aside = path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
        if (QFile::rename(path, aside)) {
            qCWarning(lcPlatform).noquote()
                << QStringLiteral("Defaults: settings file %1 is damaged (%2); moved aside to %3, the defaults apply")
                       .arg(path, problem, aside);
        } else {
            qCWarning(lcPlatform).noquote()
                << QStringLiteral("Defaults: settings file %1 is damaged (%2) and cannot be moved aside; the defaults "
                                  "apply")
                       .arg(path, problem);
        }
    }

    void set(const QString &key, const QVariant &value)
    {
        if (!value.isValid()) {
            if (persistent.remove(key) > 0)
                dirty = true;
            return;
        }
        const QVariant normal = PropertyList::normalized(value);
        if (!normal.isValid()) {
            qCWarning(lcPlatform).noquote()
                << QStringLiteral("Defaults::setObject: a value of type %1 for \"%2\" has no property-list kind; not "
                                  "stored")
                       .arg(QString::fromLatin1(value.typeName()), key);
            return;
        }
        persistent.insert(key, normal);
        dirty = true;
    }
};

Defaults &Defaults::standard()
{
    static Defaults instance(standardPath());
    return instance;
}

Defaults::Defaults(const QString &filePath) : d(std::make_unique<Private>())
{
    d->path = filePath;
    d->self = std::make_shared<Defaults *>(this);
    d->load();
}

Defaults::~Defaults()
{
    flushToDisk();
}

QString Defaults::filePath() const
{
    return d->path;
}

void Defaults::registerDefaults(const QVariantMap &values)
{
    std::lock_guard lock(d->mutex);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QVariant normal = PropertyList::normalized(it.value());
        if (!normal.isValid()) {
            qCWarning(lcPlatform).noquote()
                << QStringLiteral("Defaults::registerDefaults: a value of type %1 for \"%2\" has no property-list "
                                  "kind; not registered")
                       .arg(QString::fromLatin1(it.value().typeName()), it.key());
            continue;
        }
        d->registered.insert(it.key(), normal);
    }
}

QVariantMap Defaults::registeredDefaults() const
{
    std::lock_guard lock(d->mutex);
    return d->registered;
}

QVariant Defaults::objectForKey(const QString &key) const
{
    std::lock_guard lock(d->mutex);
    return d->lookup(key);
}

qint64 Defaults::integerForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return integerFromReal(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::QString:
        return leadingInteger(value.toString());
    default:
        return 0;
    }
}

double Defaults::doubleForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return double(value.toLongLong());
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::Bool:
        return value.toBool() ? 1.0 : 0.0;
    case QMetaType::QString:
        return leadingReal(value.toString());
    default:
        return 0.0;
    }
}

float Defaults::floatForKey(const QString &key) const
{
    return floatFromReal(doubleForKey(key));
}

bool Defaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::LongLong:
        return value.toLongLong() != 0;
    case QMetaType::Double:
        return value.toDouble() != 0.0;
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        return leadingInteger(text) != 0;
    }
    default:
        return false;
    }
}

QString Defaults::stringForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return {};
    }
}

QByteArray Defaults::dataForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

QVariantList Defaults::arrayForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QVariantList ? value.toList() : QVariantList();
}

QVariantMap Defaults::dictionaryForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}

void Defaults::setObject(const QVariant &value, const QString &key)
{
    std::lock_guard lock(d->mutex);
    d->set(key, value);
}

void Defaults::setInteger(qint64 value, const QString &key)
{
    setObject(QVariant(value), key);
}

void Defaults::setDouble(double value, const QString &key)
{
    setObject(QVariant(value), key);
}

void Defaults::setFloat(float value, const QString &key)
{
    setObject(QVariant(static_cast<double>(value)), key);
}

void Defaults::setBool(bool value, const QString &key)
{
    setObject(QVariant(value), key);
}

void Defaults::removeObjectForKey(const QString &key)
{
    setObject(QVariant(), key);
}

QVariantMap Defaults::persistentDomain() const
{
    std::lock_guard lock(d->mutex);
    return d->persistent;
}

QVariantMap Defaults::dictionaryRepresentation() const
{
    std::lock_guard lock(d->mutex);
    QVariantMap merged = d->registered;
    for (auto it = d->persistent.cbegin(); it != d->persistent.cend(); ++it)
        merged.insert(it.key(), it.value());
    return merged;
}

bool Defaults::synchronize()
{
    std::lock_guard lock(d->mutex);
    if (!d->dirty)
        return true;
    // Every stored value was normalized when set, so only the writer itself can fail here.
    const std::optional<QByteArray> bytes = PropertyList::toBinary(d->persistent);
    if (!bytes)
        return false;
    const auto now = std::chrono::steady_clock::now();
    // Without an event loop on this thread nothing could force the write later.
    QCoreApplication *app = QCoreApplication::instance();
    const bool canDefer = app && app->thread() == QThread::currentThread();
    const bool durable = !canDefer || now - d->lastForced >= kDiskFlushInterval;
    QString error;
    if (!writeAtomically(d->path, *bytes, durable, &error)) {
        qCWarning(lcPlatform).noquote() << QStringLiteral(
                                               "Defaults::synchronize: cannot write %1 (%2); changes kept in memory")
                                               .arg(d->path, error);
        return false;
    }
    d->dirty = false;
    if (durable) {
        d->lastForced = now;
        d->flushPending = false;
    } else if (!d->flushPending) {
        d->flushPending = true;
        const std::weak_ptr<Defaults *> store = d->self;
        QTimer::singleShot(kDiskFlushInterval, app, [store] {
            if (const auto alive = store.lock())
                (*alive)->flushToDisk();
        });
    }
    return true;
}

void Defaults::flushToDisk()
{
    std::lock_guard lock(d->mutex);
    if (!d->flushPending)
        return;
    forceToDisk(d->path);
    d->flushPending = false;
    d->lastForced = std::chrono::steady_clock::now();
}

void Defaults::reload()
{
    std::lock_guard lock(d->mutex);
    d->load();
}

} // namespace platform
