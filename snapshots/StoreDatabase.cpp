#include "snapshots/StoreDatabase.h"

#include "foundation/AppFolders.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "snapshots/Sequence.h"
#include "snapshots/SnapInfo.h"
#include "snapshots/StoreContext.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <sqlite3.h>

#include <array>
#include <cmath>
#include <map>

namespace inkora {

namespace {

const QString kErrorDomain = QStringLiteral("YOUR_ERROR_DOMAIN");
constexpr qint64 kSetUpErrorCode = 9999;
const QString kSetUpDescription = QStringLiteral("Failed to initialize the application's saved data");
const QString kGenericReason = QStringLiteral("There was an error creating or loading the application's saved data.");
constexpr int kBusyTimeout = 5000; // milliseconds

struct ConnectionDeleter
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionDeleter>;

struct StatementDeleter
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

QString lastError(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

QString text(sqlite3_stmt *statement, int column)
{
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(statement, column));
    if (!bytes)
        return QString(); // NULL, or the empty text
    return QString::fromUtf8(bytes, sqlite3_column_bytes(statement, column));
}

QDateTime dateFromColumn(sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return {};
    const double seconds = sqlite3_column_double(statement, column);
    if (!std::isfinite(seconds))
        return {};
    return QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000.0), Qt::UTC);
}

void bindText(sqlite3_stmt *statement, int index, const QString &value)
{
    if (value.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindDate(sqlite3_stmt *statement, int index, const QDateTime &date)
{
    if (date.isValid())
        sqlite3_bind_double(statement, index, double(date.toMSecsSinceEpoch()) / 1000.0);
    else
        sqlite3_bind_null(statement, index);
}

bool exec(sqlite3 *db, const QString &sql, QString *error)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = message ? QString::fromUtf8(message) : lastError(db);
    sqlite3_free(message);
    return false;
}

QString schemaSql()
{
    QFile file(QStringLiteral(":/StoreSchema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString quoted(const QString &path)
{
    return QStringLiteral("“%1”").arg(path);
}

/// What opening one store's file found.
struct FileCheck
{
    enum Result { Ready, Replaced, Refused } result = Ready;
    QString reason;      // why it was refused, or what was wrong with the replaced file
    QString movedTo;     // where a damaged file now lies
    QString sqliteError; // the underlying error, when there was one
};

/// Checks an existing store file on a connection of its own; a file that is no database or fails the quick check
/// is damaged.
enum class Health { Good, Empty, Damaged, Newer, Unreadable };

Health checkFile(const QString &path, QString *problem)
{
    sqlite3 *raw = nullptr;
    // Read-write, so that a transaction a crash left unfinished is rolled back before the check.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    Connection db(raw);
    if (rc != SQLITE_OK) {
        *problem = lastError(db.get());
        return Health::Unreadable;
    }
    sqlite3_busy_timeout(db.get(), kBusyTimeout);
    sqlite3_stmt *rawStatement = nullptr;
    int step = sqlite3_prepare_v2(db.get(), "PRAGMA quick_check", -1, &rawStatement, nullptr);
    Statement check(rawStatement);
    QStringList findings;
    if (step == SQLITE_OK) {
        while ((step = sqlite3_step(check.get())) == SQLITE_ROW)
            findings.append(text(check.get(), 0));
    }
    if (step != SQLITE_DONE) {
        *problem = lastError(db.get());
        const int code = sqlite3_errcode(db.get()) & 0xFF;
        return code == SQLITE_NOTADB || code == SQLITE_CORRUPT ? Health::Damaged : Health::Unreadable;
    }
    if (findings != QStringList{QStringLiteral("ok")}) {
        *problem = findings.mid(0, 3).join(QStringLiteral("; "));
        return Health::Damaged;
    }
    check.reset();
    sqlite3_prepare_v2(db.get(), "PRAGMA user_version", -1, &rawStatement, nullptr);
    Statement version(rawStatement);
    const qint64 userVersion = sqlite3_step(version.get()) == SQLITE_ROW ? sqlite3_column_int64(version.get(), 0) : 0;
    if (userVersion > StoreDatabase::kSchemaVersion) {
        *problem = QStringLiteral("user_version %1").arg(userVersion);
        return Health::Newer;
    }
    sqlite3_prepare_v2(db.get(), "SELECT name FROM sqlite_schema WHERE type = 'table'", -1, &rawStatement, nullptr);
    Statement tables(rawStatement);
    QStringList names;
    while (sqlite3_step(tables.get()) == SQLITE_ROW)
        names.append(text(tables.get(), 0));
    if (userVersion == 0 && names.isEmpty())
        return Health::Empty;
    // A database of another kind, or ours without its tables, cannot be used as a store.
    if (userVersion == 0 || !names.contains(QStringLiteral("sequence")) ||
        !names.contains(QStringLiteral("snap_info"))) {
        *problem = QStringLiteral("not a snapshot store (user_version %1, tables %2)")
                       .arg(userVersion)
                       .arg(names.join(QLatin1Char(',')));
        return Health::Damaged;
    }
    return Health::Good;
}

bool createSchema(const QString &path, QString *error)
{
    sqlite3 *raw = nullptr;
    const int rc =
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Connection db(raw);
    if (rc != SQLITE_OK) {
        *error = lastError(db.get());
        return false;
    }
    const QString sql = schemaSql();
    if (sql.isEmpty()) {
        *error = QStringLiteral("the store schema is missing from the program");
        return false;
    }
    if (!exec(db.get(), QStringLiteral("PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL;"), error) ||
        !exec(db.get(), QStringLiteral("BEGIN IMMEDIATE;") + sql + QStringLiteral("COMMIT;"), error)) {
        exec(db.get(), QStringLiteral("ROLLBACK"), nullptr);
        return false;
    }
    return true;
}

bool moveAside(const QString &path, QString *movedTo)
{
    const QString aside = StoreDatabase::damagedName(path);
    if (!QFile::rename(path, aside))
        return false;
    // The journal keeps its pairing with the file, so a later look at the file still sees its last transaction.
    const QString journal = path + QStringLiteral("-journal");
    if (QFileInfo::exists(journal) && !QFile::rename(journal, aside + QStringLiteral("-journal")))
        qCWarning(lcSnapshots) << "StoreDatabase: the journal of the damaged store stays at" << journal;
    *movedTo = aside;
    return true;
}

FileCheck prepareFile(const QString &path)
{
    FileCheck check;
    if (path.isEmpty()) {
        check.result = FileCheck::Refused;
        check.reason = kGenericReason;
        return check;
    }
    const QFileInfo info(path);
    QString problem;
    Health health = Health::Empty;
    if (info.exists() || info.isSymLink())
        health = info.isFile() ? checkFile(path, &problem) : Health::Damaged;
    if (health == Health::Damaged && !info.isFile())
        problem = QStringLiteral("not a file");
    switch (health) {
    case Health::Good:
        return check;
    case Health::Newer:
        check.result = FileCheck::Refused;
        check.reason = QStringLiteral("The saved data in %1 was written by a newer version of Inkora and was left "
                                      "untouched.")
                           .arg(quoted(path));
        check.sqliteError = problem;
        return check;
    case Health::Unreadable:
        check.result = FileCheck::Refused;
        check.reason = kGenericReason;
        check.sqliteError = problem;
        return check;
    case Health::Damaged:
        if (!moveAside(path, &check.movedTo)) {
            check.result = FileCheck::Refused;
            check.reason = kGenericReason;
            check.sqliteError = QStringLiteral("%1; it cannot be moved aside").arg(problem);
            return check;
        }
        check.result = FileCheck::Replaced;
        check.reason = QStringLiteral("The saved data in %1 is damaged and was moved to %2.")
                           .arg(quoted(path), quoted(check.movedTo));
        check.sqliteError = problem;
        break;
    case Health::Empty:
        break;
    }
    QString error;
    if (!createSchema(path, &error)) {
        check.result = FileCheck::Refused;
        check.reason = kGenericReason;
        check.sqliteError = error;
    }
    return check;
}

} // namespace

/// What a save will change in the records once its transaction has committed.
struct SavePlan
{
    struct NewId
    {
        StoreRecord *record;
        qint64 id;
    };
    struct Placement
    {
        SnapInfo *info;
        qint64 sequenceId;
        qint64 position;
    };
    std::vector<NewId> newIds;
    std::vector<StoreRecord *> written;
    std::vector<Placement> placements;
};

struct StoreDatabase::Private
{
    Connection db;
    std::array<std::unique_ptr<StoreContext>, 2> contexts;
    std::array<std::optional<platform::ErrorReport>, 2> setUpErrors;
    QHash<QString, sqlite3_stmt *> statements; // finalised with the connection

    ~Private()
    {
        for (sqlite3_stmt *statement : std::as_const(statements))
            sqlite3_finalize(statement);
    }

    /// A cached statement, reset and unbound; null with the reason when it cannot be prepared.
    sqlite3_stmt *statement(const QString &sql, QString *error)
    {
        if (sqlite3_stmt *cached = statements.value(sql)) {
            sqlite3_reset(cached);
            sqlite3_clear_bindings(cached);
            return cached;
        }
        sqlite3_stmt *prepared = nullptr;
        if (sqlite3_prepare_v3(db.get(), sql.toUtf8().constData(), -1, SQLITE_PREPARE_PERSISTENT, &prepared, nullptr) !=
            SQLITE_OK) {
            *error = lastError(db.get());
            return nullptr;
        }
        statements.insert(sql, prepared);
        return prepared;
    }

    bool run(sqlite3_stmt *statement, QString *error)
    {
        const int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (rc == SQLITE_DONE || rc == SQLITE_ROW)
            return true;
        *error = lastError(db.get());
        return false;
    }

    void fail(Store store, const QString &reason, const QString &underlying)
    {
        platform::ErrorReport report{kErrorDomain, kSetUpErrorCode, kSetUpDescription, reason, underlying};
        const QString cause = underlying.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(underlying);
        qCWarning(lcSnapshots).noquote() << QStringLiteral("Unresolved error %1 %2 \"%3\", %4%5")
                                                .arg(kErrorDomain)
                                                .arg(kSetUpErrorCode)
                                                .arg(kSetUpDescription, reason, cause);
        setUpErrors[size_t(store)] = report;
    }

    bool writeContext(StoreContext &context, SavePlan &plan, QString *error);
};

StoreDatabase &StoreDatabase::shared()
{
    static StoreDatabase database;
    return database;
}

StoreDatabase::StoreDatabase() : d(std::make_unique<Private>())
{
    open();
}

StoreDatabase::~StoreDatabase()
{
    d->contexts = {};
}

StoreContext *StoreDatabase::context(Store store) const
{
    return d->contexts[size_t(store)].get();
}

std::optional<platform::ErrorReport> StoreDatabase::takeSetUpError(Store store)
{
    return std::exchange(d->setUpErrors[size_t(store)], std::nullopt);
}

QString StoreDatabase::damagedName(const QString &path)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 1; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    return aside;
}

void StoreDatabase::open()
{
    // The application data folder must be a folder: a file in its place is reported, never replaced.
    const QString support = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                                .filePath(AppFolders::applicationIdentifier());
    const QFileInfo supportInfo(support);
    if (supportInfo.exists() && !supportInfo.isDir()) {
        const QString reason =
            QStringLiteral("Expected a folder to store application data, found a file (%1).").arg(support);
        d->fail(Store::Roll, reason, {});
        d->fail(Store::Bin, reason, {});
        return;
    }
    if (MRKOUtils::applicationSupportDir().isEmpty()) {
        d->fail(Store::Roll, kGenericReason, {});
        d->fail(Store::Bin, kGenericReason, {});
        return;
    }

    const std::array<QString, 2> paths = {MRKOUtils::sequencesDBURL(), MRKOUtils::trashDBURL()};
    std::array<bool, 2> usable{};
    for (size_t i = 0; i < paths.size(); ++i) {
        const FileCheck check = prepareFile(paths[i]);
        usable[i] = check.result != FileCheck::Refused;
        if (check.result != FileCheck::Ready)
            d->fail(static_cast<Store>(i), check.reason, check.sqliteError);
    }
    // The roll's file is the main database whenever it can be: a transaction over both files is atomic only then.
    const size_t main = usable[0] ? 0 : usable[1] ? 1 : 2;
    if (main == 2)
        return;
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(paths[main].toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    d->db.reset(raw);
    QString error;
    const auto failAll = [&](const QString &why) {
        d->fail(Store::Roll, kGenericReason, why);
        d->fail(Store::Bin, kGenericReason, why);
        d->db.reset();
    };
    if (rc != SQLITE_OK) {
        failAll(lastError(d->db.get()));
        return;
    }
    sqlite3_busy_timeout(d->db.get(), kBusyTimeout);
    if (!exec(d->db.get(),
              QStringLiteral("PRAGMA foreign_keys = ON; PRAGMA main.journal_mode = DELETE; "
                             "PRAGMA main.synchronous = FULL;"),
              &error)) {
        failAll(error);
        return;
    }
    d->contexts[main] = std::make_unique<StoreContext>(
        *this, QStringLiteral("main"), main == 0 ? QStringLiteral("Snapshots") : QStringLiteral("Trash"));
    if (main == 0 && usable[1]) {
        sqlite3_stmt *attach = d->statement(QStringLiteral("ATTACH DATABASE ? AS trash"), &error);
        if (attach)
            bindText(attach, 1, paths[1]);
        if (!attach || !d->run(attach, &error) ||
            !exec(d->db.get(), QStringLiteral("PRAGMA trash.journal_mode = DELETE; PRAGMA trash.synchronous = FULL;"),
                  &error)) {
            d->fail(Store::Bin, kGenericReason, error);
            return;
        }
        d->contexts[1] = std::make_unique<StoreContext>(*this, QStringLiteral("trash"), QStringLiteral("Trash"));
    }
}

bool StoreDatabase::load(StoreContext &context, QString *error)
{
    if (!d->db) {
        *error = QStringLiteral("the store is not open");
        return false;
    }
    const QString &s = context.schema();
    sqlite3_stmt *sequences = d->statement(
        QStringLiteral("SELECT id, name, date, foldername, parent_folder, rate, color_tag, tags, text, in_trash "
                       "FROM %1.sequence ORDER BY id")
            .arg(s),
        error);
    if (!sequences)
        return false;
    const bool hadChanges = context.m_hasChanges; // filling the relations below notes changes
    std::map<qint64, std::shared_ptr<Sequence>> byId;
    std::vector<std::shared_ptr<Sequence>> loaded;
    int rc;
    while ((rc = sqlite3_step(sequences)) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(sequences, 0);
        const QString foldername = text(sequences, 3);
        const QString parentFolder = text(sequences, 4);
        if (!isSafePathComponent(foldername) || !isSafePathComponent(parentFolder)) {
            qCWarning(lcSnapshots).noquote()
                << QStringLiteral("%1: sequence %2 names no usable folder (%3/%4); skipped")
                       .arg(context.name())
                       .arg(id)
                       .arg(parentFolder.toHtmlEscaped(), foldername.toHtmlEscaped());
            continue;
        }
        std::shared_ptr<Sequence> sequence(new Sequence(&context));
        sequence->m_id = id;
        sequence->m_name = text(sequences, 1);
        sequence->m_date = dateFromColumn(sequences, 2);
        sequence->m_foldername = foldername;
        sequence->m_parentFolder = parentFolder;
        sequence->m_rate = qint32(sqlite3_column_int(sequences, 5));
        sequence->m_colorTag = qint32(sqlite3_column_int(sequences, 6));
        sequence->m_tags = text(sequences, 7);
        sequence->m_text = text(sequences, 8);
        sequence->m_inTrash = sqlite3_column_int(sequences, 9) != 0;
        byId.emplace(id, sequence);
        loaded.push_back(std::move(sequence));
    }
    sqlite3_reset(sequences);
    if (rc != SQLITE_DONE) {
        *error = lastError(d->db.get());
        return false;
    }
    sqlite3_stmt *infos = d->statement(
        QStringLiteral("SELECT id, sequence_id, position, name, date, filename, rate, color_tag, tags, text "
                       "FROM %1.snap_info ORDER BY sequence_id, position, id")
            .arg(s),
        error);
    if (!infos)
        return false;
    bool irregular = false;
    qint64 previousSequence = -1;
    qint64 expected = 0;
    while ((rc = sqlite3_step(infos)) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(infos, 0);
        const qint64 sequenceId = sqlite3_column_int64(infos, 1);
        const qint64 position = sqlite3_column_int64(infos, 2);
        const auto owner = byId.find(sequenceId);
        if (owner == byId.end())
            continue; // its sequence was skipped
        const QString filename = text(infos, 5);
        if (!isSafePathComponent(filename)) {
            qCWarning(lcSnapshots).noquote() << QStringLiteral("%1: record %2 names no usable file (%3); skipped")
                                                    .arg(context.name())
                                                    .arg(id)
                                                    .arg(filename.toHtmlEscaped());
            continue;
        }
        if (sequenceId != previousSequence)
            expected = 0;
        previousSequence = sequenceId;
        irregular = irregular || position != expected;
        ++expected;
        std::shared_ptr<SnapInfo> info(new SnapInfo(&context));
        info->m_id = id;
        info->m_name = text(infos, 3);
        info->m_date = dateFromColumn(infos, 4);
        info->m_filename = filename;
        info->m_rate = qint32(sqlite3_column_int(infos, 6));
        info->m_colorTag = qint32(sqlite3_column_int(infos, 7));
        info->m_tags = text(infos, 8);
        info->m_text = text(infos, 9);
        info->m_storedSequenceId = sequenceId;
        info->m_storedPosition = position;
        owner->second->m_snapInfos.addObject(info);
    }
    sqlite3_reset(infos);
    if (rc != SQLITE_DONE) {
        *error = lastError(d->db.get());
        return false;
    }
    for (const std::shared_ptr<Sequence> &sequence : loaded)
        sequence->m_orderChanged = false;
    context.m_sequences.insert(context.m_sequences.begin(), loaded.begin(), loaded.end());
    // Duplicate or missing positions are read in order and written anew at the next save.
    context.m_hasChanges = hadChanges || irregular;
    return true;
}

bool StoreDatabase::Private::writeContext(StoreContext &context, SavePlan &plan, QString *error)
{
    const QString &s = context.schema();
    for (const qint64 id : context.m_deletedInfoIds) {
        sqlite3_stmt *remove = statement(QStringLiteral("DELETE FROM %1.snap_info WHERE id = ?").arg(s), error);
        if (!remove)
            return false;
        sqlite3_bind_int64(remove, 1, id);
        if (!run(remove, error))
            return false;
    }
    for (const qint64 id : context.m_deletedSequenceIds) {
        sqlite3_stmt *remove = statement(QStringLiteral("DELETE FROM %1.sequence WHERE id = ?").arg(s), error);
        if (!remove)
            return false;
        sqlite3_bind_int64(remove, 1, id);
        if (!run(remove, error))
            return false;
    }
    for (const std::shared_ptr<Sequence> &sequence : context.m_sequences) {
        qint64 sequenceId = sequence->m_id;
        if (sequenceId == 0 || sequence->m_dirty) {
            sqlite3_stmt *write = statement(
                sequenceId == 0
                    ? QStringLiteral("INSERT INTO %1.sequence (name, date, foldername, parent_folder, rate, color_tag, "
                                     "tags, text, in_trash) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                          .arg(s)
                    : QStringLiteral("UPDATE %1.sequence SET name = ?, date = ?, foldername = ?, parent_folder = ?, "
                                     "rate = ?, color_tag = ?, tags = ?, text = ?, in_trash = ? WHERE id = ?")
                          .arg(s),
                error);
            if (!write)
                return false;
            bindText(write, 1, sequence->name());
            bindDate(write, 2, sequence->date());
            bindText(write, 3, sequence->foldername());
            bindText(write, 4, sequence->parentFolder());
            sqlite3_bind_int(write, 5, sequence->rate());
            sqlite3_bind_int(write, 6, sequence->colorTag());
            bindText(write, 7, sequence->tags());
            bindText(write, 8, sequence->text());
            sqlite3_bind_int(write, 9, sequence->inTrash() ? 1 : 0);
            if (sequenceId != 0)
                sqlite3_bind_int64(write, 10, sequenceId);
            if (!run(write, error))
                return false;
            if (sequenceId == 0) {
                sequenceId = sqlite3_last_insert_rowid(db.get());
                plan.newIds.push_back({sequence.get(), sequenceId});
            }
            plan.written.push_back(sequence.get());
        }
        qint64 position = 0;
        for (const std::shared_ptr<SnapInfo> &info : sequence->snapInfos().objects()) {
            if (info->isFileWritePending())
                continue; // saved once its archive is on disk
            const qint64 infoId = info->m_id;
            if (infoId == 0 || info->m_dirty || info->m_storedSequenceId != sequenceId ||
                info->m_storedPosition != position) {
                sqlite3_stmt *write = statement(
                    infoId == 0
                        ? QStringLiteral("INSERT INTO %1.snap_info (sequence_id, position, name, date, filename, rate, "
                                         "color_tag, tags, text) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                              .arg(s)
                        : QStringLiteral("UPDATE %1.snap_info SET sequence_id = ?, position = ?, name = ?, date = ?, "
                                         "filename = ?, rate = ?, color_tag = ?, tags = ?, text = ? WHERE id = ?")
                              .arg(s),
                    error);
                if (!write)
                    return false;
                sqlite3_bind_int64(write, 1, sequenceId);
                sqlite3_bind_int64(write, 2, position);
                bindText(write, 3, info->name());
                bindDate(write, 4, info->date());
                bindText(write, 5, info->filename());
                sqlite3_bind_int(write, 6, info->rate());
                sqlite3_bind_int(write, 7, info->colorTag());
                bindText(write, 8, info->tags());
                bindText(write, 9, info->text());
                if (infoId != 0)
                    sqlite3_bind_int64(write, 10, infoId);
                if (!run(write, error))
                    return false;
                if (infoId == 0)
                    plan.newIds.push_back({info.get(), sqlite3_last_insert_rowid(db.get())});
                plan.written.push_back(info.get());
                plan.placements.push_back({info.get(), sequenceId, position});
            }
            ++position;
        }
    }
    return true;
}

bool StoreDatabase::save(const std::vector<StoreContext *> &contexts, QString *error)
{
    if (!d->db) {
        *error = QStringLiteral("the store is not open");
        return false;
    }
    SavePlan plan;
    bool written = exec(d->db.get(), QStringLiteral("BEGIN IMMEDIATE"), error);
    for (StoreContext *context : contexts) {
        if (written && context)
            written = d->writeContext(*context, plan, error);
    }
    if (written)
        written = exec(d->db.get(), QStringLiteral("COMMIT"), error);
    if (!written) {
        if (!sqlite3_get_autocommit(d->db.get()))
            exec(d->db.get(), QStringLiteral("ROLLBACK"), nullptr);
        return false;
    }
    for (const SavePlan::NewId &fresh : plan.newIds)
        fresh.record->m_id = fresh.id;
    for (StoreRecord *record : plan.written)
        record->m_dirty = false;
    for (const SavePlan::Placement &placement : plan.placements) {
        placement.info->m_storedSequenceId = placement.sequenceId;
        placement.info->m_storedPosition = placement.position;
    }
    for (StoreContext *context : contexts) {
        if (!context)
            continue;
        context->m_deletedInfoIds.clear();
        context->m_deletedSequenceIds.clear();
        context->m_hasChanges = false;
        for (const std::shared_ptr<Sequence> &sequence : context->m_sequences)
            sequence->m_orderChanged = false;
    }
    return true;
}

} // namespace inkora
