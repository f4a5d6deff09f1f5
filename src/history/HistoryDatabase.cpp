#include "history/HistoryDatabase.h"

#include "app/Folders.h"

#include <atomic>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

Q_LOGGING_CATEGORY(lcHistory, "ravlin.history")

namespace {

constexpr qint64 kMsPerDay = 24LL * 60 * 60 * 1000;

// SQLite's result codes for a file that is not (or no longer) a database.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADb = 26;

// The schema as version 1 created it: sessions and their facts.
const char* const kSchemaV1[] = {
    "CREATE TABLE sessions ("
    " id INTEGER PRIMARY KEY,"
    " activity INTEGER NOT NULL,"
    " started INTEGER NOT NULL,"
    " ended INTEGER NOT NULL,"
    " source TEXT NOT NULL DEFAULT '',"
    " pages INTEGER NOT NULL DEFAULT 0,"
    " keystrokes INTEGER NOT NULL DEFAULT 0,"
    " speed INTEGER NOT NULL DEFAULT 0,"
    " accuracy REAL NOT NULL DEFAULT 0,"
    " level INTEGER NOT NULL DEFAULT 0,"
    " score INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE key_facts ("
    " session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,"
    " kind INTEGER NOT NULL,"
    " item TEXT NOT NULL,"
    " strokes INTEGER NOT NULL DEFAULT 0,"
    " wrong INTEGER NOT NULL DEFAULT 0,"
    " ms INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX key_facts_session ON key_facts(session_id)",
};

// Version 2: drill problems keep their selection code, and a per-day
// summary of the facts (filled from the facts already recorded) lets the
// history window open without summing every fact.
const char* const kMigrationV2[] = {
    "ALTER TABLE key_facts ADD COLUMN code INTEGER NOT NULL DEFAULT -1",
    "CREATE INDEX sessions_activity ON sessions(activity, ended)",
    "CREATE TABLE key_daily ("
    " day INTEGER NOT NULL,"
    " activity INTEGER NOT NULL,"
    " source TEXT NOT NULL,"
    " kind INTEGER NOT NULL,"
    " item TEXT NOT NULL,"
    " code INTEGER NOT NULL,"
    " count INTEGER NOT NULL,"
    " wrong INTEGER NOT NULL,"
    " ms INTEGER NOT NULL,"
    " PRIMARY KEY (activity, source, day, kind, item, code)) WITHOUT ROWID",
    "INSERT INTO key_daily"
    " SELECT s.ended / 86400000, s.activity, s.source, f.kind, f.item, f.code,"
    "        count(*), sum(f.wrong), sum(f.ms)"
    " FROM key_facts f JOIN sessions s ON s.id = f.session_id"
    " GROUP BY 1, 2, 3, 4, 5, 6",
};

QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("ravlin-history-%1").arg(counter.fetch_add(1));
}

QByteArray CsvField(const QString& value) {
    QByteArray text = value.toUtf8();
    if (text.contains(',') || text.contains('"') || text.contains('\n') || text.contains('\r')) {
        text.replace("\"", "\"\"");
        text = '"' + text + '"';
    }
    return text;
}

// Adds `facts` of one session to the per-day summary rows.
struct TDailyKey {
    int Kind;
    QString Item;
    int Code;
    bool operator==(const TDailyKey&) const = default;
};

size_t qHash(const TDailyKey& key, size_t seed = 0) {
    return ::qHash(key.Item, seed) ^ size_t(key.Kind * 131 + key.Code);
}

} // namespace

QString THistoryDatabase::DefaultPath() {
    return SettingsDir() + QStringLiteral("history.sqlite");
}

THistoryDatabase::THistoryDatabase(const QString& path)
    : FPath(path.isEmpty() ? DefaultPath() : path)
    , FConnectionName(NewConnectionName()) {
    if (OpenFile() && Migrate()) {
        FOpen = true;
        return;
    }
    // Anything but a busy file or one of a newer program means the file
    // itself is unusable.
    const bool busy = FLastError.contains(QStringLiteral("locked"), Qt::CaseInsensitive);
    if (busy || FNewerFile || !QFileInfo::exists(FPath))
        return;
    SetAside();
    FOpen = OpenFile() && Migrate();
}

THistoryDatabase::~THistoryDatabase() {
    if (FDb.isValid())
        FDb.close();
    FDb = QSqlDatabase();
    QSqlDatabase::removeDatabase(FConnectionName);
}

bool THistoryDatabase::OpenFile() {
    if (FDb.isValid()) {
        FDb.close();
        FDb = QSqlDatabase();
        QSqlDatabase::removeDatabase(FConnectionName);
    }
    FDb = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FConnectionName);
    FDb.setDatabaseName(FPath);
    FDb.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!FDb.open()) {
        FLastError = FDb.lastError().text();
        return false;
    }
    // The first statement reads the file's header: a file that is not a
    // database fails here.
    return Exec(QStringLiteral("PRAGMA journal_mode=WAL")) &&
           Exec(QStringLiteral("PRAGMA synchronous=NORMAL")) &&
           Exec(QStringLiteral("PRAGMA foreign_keys=ON")) &&
           Exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

bool THistoryDatabase::Exec(const QString& sql) {
    QSqlQuery query(FDb);
    if (query.exec(sql))
        return true;
    FLastError = query.lastError().text();
    qCWarning(lcHistory) << "history:" << sql.left(60) << FLastError;
    return false;
}

bool THistoryDatabase::IsCorruptionError(const QSqlError& error) const {
    const int code = error.nativeErrorCode().toInt();
    return code == kSqliteCorrupt || code == kSqliteNotADb;
}

int THistoryDatabase::SchemaVersion() {
    QSqlQuery query(FDb);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return -1;
    return query.value(0).toInt();
}

bool THistoryDatabase::Migrate() {
    // The whole ladder runs in one immediate transaction: a second copy of
    // the program opening the same fresh file waits and then finds it done.
    if (!Exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    int version = SchemaVersion();
    bool ok = version >= 0 && version <= kSchemaVersion;
    FNewerFile = version > kSchemaVersion;
    if (FNewerFile)
        FLastError =
            QStringLiteral("history.sqlite was written by a newer version (%1)").arg(version);
    if (ok && version < 1) {
        for (const char* sql : kSchemaV1)
            ok = ok && Exec(QString::fromLatin1(sql));
    }
    if (ok && version < 2) {
        for (const char* sql : kMigrationV2)
            ok = ok && Exec(QString::fromLatin1(sql));
    }
    if (ok && version < kSchemaVersion)
        ok = Exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion));
    if (ok)
        return Exec(QStringLiteral("COMMIT"));
    Exec(QStringLiteral("ROLLBACK"));
    return false;
}

void THistoryDatabase::SetAside() {
    FDb.close();
    FDb = QSqlDatabase();
    QSqlDatabase::removeDatabase(FConnectionName);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = FPath + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = FPath + QStringLiteral(".corrupt-") + stamp + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(FPath, target)) {
        qCWarning(lcHistory) << "history: cannot move" << FPath << "aside";
        return;
    }
    // The journal files belong to the moved database.
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString side = FPath + QLatin1String(suffix);
        if (QFileInfo::exists(side))
            QFile::rename(side, target + QLatin1String(suffix));
    }
    FRecoveredFile = target;
    qCWarning(lcHistory) << "history: unreadable database moved to" << target;
}

bool THistoryDatabase::RecordSession(THistorySession& session, const THistoryKeyFacts& facts) {
    if (!FOpen)
        return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        QSqlError failure;
        const qint64 oldId = session.Id;
        auto fail = [&](const QSqlQuery& query) {
            failure = query.lastError();
            FLastError = failure.text();
            return false;
        };
        auto run = [&]() -> bool {
            QSqlQuery query(FDb);
            if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
                return fail(query);
            bool updated = false;
            if (session.Id != 0) {
                query.prepare(QStringLiteral(
                    "UPDATE sessions SET ended = ?, pages = ?, keystrokes = ?, speed = ?,"
                    " accuracy = ?, level = ?, score = ? WHERE id = ?"));
                for (const QVariant& value : {QVariant(session.Ended), QVariant(session.Pages),
                                              QVariant(session.Keystrokes), QVariant(session.Speed),
                                              QVariant(session.Accuracy), QVariant(session.Level),
                                              QVariant(session.Score), QVariant(session.Id)})
                    query.addBindValue(value);
                if (!query.exec())
                    return fail(query);
                // No row: it went with a database set aside, so it starts anew.
                updated = query.numRowsAffected() == 1;
            }
            if (!updated) {
                query.prepare(QStringLiteral(
                    "INSERT INTO sessions (activity, started, ended, source, pages, keystrokes,"
                    " speed, accuracy, level, score) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
                for (const QVariant& value :
                     {QVariant(session.Activity), QVariant(session.Started),
                      QVariant(session.Ended), QVariant(session.Source), QVariant(session.Pages),
                      QVariant(session.Keystrokes), QVariant(session.Speed),
                      QVariant(session.Accuracy), QVariant(session.Level), QVariant(session.Score)})
                    query.addBindValue(value);
                if (!query.exec())
                    return fail(query);
                session.Id = query.lastInsertId().toLongLong();
            }

            // The facts go in as a few multi-row statements with their values
            // written out: a page has two thousand of them, and binding each
            // one separately costs more than SQLite's parsing.
            QHash<TDailyKey, THistoryKeyStat> daily;
            constexpr std::size_t kRowsPerStatement = 400;
            const QString head = QStringLiteral(
                "INSERT INTO key_facts (session_id, kind, item, code, strokes, wrong, ms) VALUES ");
            const QString id = QString::number(session.Id);
            for (std::size_t first = 0; first < facts.size(); first += kRowsPerStatement) {
                QString sql = head;
                sql.reserve(head.size() + 40 * qsizetype(kRowsPerStatement));
                const std::size_t last = std::min(facts.size(), first + kRowsPerStatement);
                for (std::size_t i = first; i < last; ++i) {
                    const THistoryKeyFact& fact = facts[i];
                    QString item = fact.Item;
                    item.replace(QChar(u'\''), QStringLiteral("''"));
                    if (i > first)
                        sql += u',';
                    // Appended piece by piece into the reserved buffer.
                    sql += u'(';
                    sql += id;
                    sql += u',';
                    sql += QString::number(fact.Kind);
                    sql += QLatin1String(",'");
                    sql += item;
                    sql += QLatin1String("',");
                    sql += QString::number(fact.Code);
                    sql += u',';
                    sql += QString::number(fact.Strokes);
                    sql += fact.Wrong ? QLatin1String(",1,") : QLatin1String(",0,");
                    sql += QString::number(fact.Ms);
                    sql += u')';
                    THistoryKeyStat& stat = daily[TDailyKey{fact.Kind, fact.Item, fact.Code}];
                    ++stat.Count;
                    stat.Wrong += fact.Wrong ? 1 : 0;
                    stat.TotalMs += fact.Ms;
                }
                QSqlQuery insert(FDb);
                if (!insert.exec(sql))
                    return fail(insert);
            }
            QSqlQuery upsert(FDb);
            upsert.prepare(QStringLiteral(
                "INSERT INTO key_daily (day, activity, source, kind, item, code, count, wrong, ms)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"
                " ON CONFLICT (activity, source, day, kind, item, code) DO UPDATE SET"
                " count = count + excluded.count, wrong = wrong + excluded.wrong,"
                " ms = ms + excluded.ms"));
            const qint64 day = session.Ended / kMsPerDay;
            for (auto it = daily.cbegin(); it != daily.cend(); ++it) {
                upsert.bindValue(0, day);
                upsert.bindValue(1, session.Activity);
                upsert.bindValue(2, session.Source);
                upsert.bindValue(3, it.key().Kind);
                upsert.bindValue(4, it.key().Item);
                upsert.bindValue(5, it.key().Code);
                upsert.bindValue(6, it.value().Count);
                upsert.bindValue(7, it.value().Wrong);
                upsert.bindValue(8, it.value().TotalMs);
                if (!upsert.exec())
                    return fail(upsert);
            }
            return true;
        };
        // The statements of run() are gone by now: one still open would
        // hold the transaction.
        if (run()) {
            QSqlQuery commit(FDb);
            if (commit.exec(QStringLiteral("COMMIT")))
                return true;
            fail(commit);
        }
        Exec(QStringLiteral("ROLLBACK"));
        session.Id = oldId; // whatever was inserted was rolled back
        if (attempt == 0 && IsCorruptionError(failure)) {
            // The file went bad under us: keep practising on a fresh one.
            SetAside();
            FOpen = OpenFile() && Migrate();
            if (FOpen)
                continue;
        }
        qCWarning(lcHistory) << "history: session not recorded:" << FLastError;
        return false;
    }
    return false;
}

namespace {

// Binds a filter's activity, start (`since`, in the query's unit) and source
// to the "activity = ? AND ... >= ? AND (? = '' OR source = ?)" parameters.
void BindFilter(QSqlQuery& query, const THistoryFilter& filter, qint64 since) {
    query.addBindValue(filter.Activity);
    query.addBindValue(since);
    // A null string would bind as NULL, which equals nothing.
    const QString source = filter.Source.isNull() ? QStringLiteral("") : filter.Source;
    query.addBindValue(source);
    query.addBindValue(source);
}

} // namespace

std::vector<THistorySession> THistoryDatabase::Sessions(const THistoryFilter& filter) {
    std::vector<THistorySession> result;
    if (!FOpen)
        return result;
    QSqlQuery query(FDb);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT id, activity, started, ended, source, pages, keystrokes, speed, accuracy, level,"
        " score FROM sessions WHERE activity = ? AND ended >= ? AND (? = '' OR source = ?)"
        " ORDER BY ended, id"));
    BindFilter(query, filter, filter.Since);
    if (!query.exec()) {
        FLastError = query.lastError().text();
        return result;
    }
    while (query.next()) {
        THistorySession s;
        s.Id = query.value(0).toLongLong();
        s.Activity = query.value(1).toInt();
        s.Started = query.value(2).toLongLong();
        s.Ended = query.value(3).toLongLong();
        s.Source = query.value(4).toString();
        s.Pages = query.value(5).toInt();
        s.Keystrokes = query.value(6).toLongLong();
        s.Speed = query.value(7).toInt();
        s.Accuracy = query.value(8).toDouble();
        s.Level = query.value(9).toInt();
        s.Score = query.value(10).toInt();
        result.push_back(std::move(s));
    }
    return result;
}

QStringList THistoryDatabase::Sources(int activity) {
    QStringList result;
    if (!FOpen)
        return result;
    QSqlQuery query(FDb);
    query.prepare(QStringLiteral("SELECT source FROM sessions WHERE activity = ?"
                                 " GROUP BY source ORDER BY max(ended) DESC"));
    query.addBindValue(activity);
    if (query.exec())
        while (query.next())
            result.append(query.value(0).toString());
    return result;
}

std::vector<THistoryKeyStat> THistoryDatabase::KeyStats(const THistoryFilter& filter) {
    std::vector<THistoryKeyStat> result;
    if (!FOpen)
        return result;
    QSqlQuery query(FDb);
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT kind, item, code, sum(count), sum(wrong), sum(ms) FROM key_daily"
                       " WHERE activity = ? AND day >= ? AND (? = '' OR source = ?)"
                       " GROUP BY kind, item, code"));
    BindFilter(query, filter, filter.Since / kMsPerDay);
    if (!query.exec()) {
        FLastError = query.lastError().text();
        return result;
    }
    while (query.next()) {
        THistoryKeyStat stat;
        stat.Kind = query.value(0).toInt();
        stat.Item = query.value(1).toString();
        stat.Code = query.value(2).toInt();
        stat.Count = query.value(3).toLongLong();
        stat.Wrong = query.value(4).toLongLong();
        stat.TotalMs = query.value(5).toLongLong();
        result.push_back(std::move(stat));
    }
    return result;
}

QHash<int, THistoryKeyStat> THistoryDatabase::RecentDrillStats(const QString& source, int perCode) {
    QHash<int, THistoryKeyStat> result;
    if (!FOpen)
        return result;
    QSqlQuery query(FDb);
    query.setForwardOnly(true);
    // Newest facts first; each code takes its first `perCode`.
    query.prepare(QStringLiteral("SELECT f.code, f.item, f.wrong, f.ms FROM key_facts f"
                                 " JOIN sessions s ON s.id = f.session_id"
                                 " WHERE s.activity = ? AND s.source = ? AND f.kind = ?"
                                 " ORDER BY s.ended DESC, f.rowid DESC LIMIT 20000"));
    query.addBindValue(int(haKeyboard));
    query.addBindValue(source);
    query.addBindValue(int(hfKey));
    if (!query.exec()) {
        FLastError = query.lastError().text();
        return result;
    }
    while (query.next()) {
        const int code = query.value(0).toInt();
        THistoryKeyStat& stat = result[code];
        if (stat.Count >= perCode)
            continue;
        stat.Kind = hfKey;
        stat.Code = code;
        stat.Item = query.value(1).toString();
        ++stat.Count;
        stat.Wrong += query.value(2).toInt() != 0 ? 1 : 0;
        stat.TotalMs += query.value(3).toLongLong();
    }
    return result;
}

THistoryKeyFacts THistoryDatabase::Facts(qint64 sessionId) {
    THistoryKeyFacts result;
    if (!FOpen)
        return result;
    QSqlQuery query(FDb);
    query.prepare(QStringLiteral("SELECT kind, item, code, strokes, wrong, ms FROM key_facts"
                                 " WHERE session_id = ? ORDER BY rowid"));
    query.addBindValue(sessionId);
    if (!query.exec())
        return result;
    while (query.next()) {
        THistoryKeyFact fact;
        fact.Kind = query.value(0).toInt();
        fact.Item = query.value(1).toString();
        fact.Code = query.value(2).toInt();
        fact.Strokes = query.value(3).toInt();
        fact.Wrong = query.value(4).toInt() != 0;
        fact.Ms = query.value(5).toInt();
        result.push_back(std::move(fact));
    }
    return result;
}

QByteArray THistoryDatabase::SessionsCsv() {
    QByteArray csv = "activity,started,ended,source,pages,keystrokes,speed,accuracy,level,score\n";
    if (!FOpen)
        return csv;
    QSqlQuery query(FDb);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT activity, started, ended, source, pages, keystrokes,"
                                   " speed, accuracy, level, score FROM sessions"
                                   " ORDER BY ended, id")))
        return csv;
    auto when = [](qint64 ms) {
        return QDateTime::fromMSecsSinceEpoch(ms).toString(Qt::ISODate).toUtf8();
    };
    while (query.next()) {
        csv += CsvField(HistoryActivityCaption(query.value(0).toInt())) + ',' +
               when(query.value(1).toLongLong()) + ',' + when(query.value(2).toLongLong()) + ',' +
               CsvField(query.value(3).toString()) + ',' + query.value(4).toByteArray() + ',' +
               query.value(5).toByteArray() + ',' + query.value(6).toByteArray() + ',' +
               QByteArray::number(query.value(7).toDouble() * 100.0, 'f', 1) + ',' +
               query.value(8).toByteArray() + ',' + query.value(9).toByteArray() + '\n';
    }
    return csv;
}
