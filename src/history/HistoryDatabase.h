#pragma once

#include "history/HistoryRecords.h"

#include <functional>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The learner's practice history in "history.sqlite" (SQLite through Qt
// SQL): sessions and the facts of every expected character, jamo and drill
// problem, plus a per-day summary of those facts that the history window
// and the weak-key drill read without scanning every fact.
//
// Every program window that records opens its own connection; the file is
// in WAL mode with a busy timeout and each recording is one immediate
// transaction, so two running copies of the program can write to it at
// once. A file that cannot be read as a database is moved aside as
// "history.sqlite.corrupt-<date>" and a fresh one created; RecoveredFile()
// then names the moved file so that the caller tells the learner.
class THistoryDatabase {
public:
    // The version the schema migrations lead to.
    static constexpr int kSchemaVersion = 2;

    // The file in SettingsDir().
    static QString DefaultPath();

    // Opens (creating, migrating or replacing) the database at `path`;
    // empty: DefaultPath(). Never throws: IsOpen() says whether it worked.
    explicit THistoryDatabase(const QString& path = {});
    ~THistoryDatabase();
    THistoryDatabase(const THistoryDatabase&) = delete;
    THistoryDatabase& operator=(const THistoryDatabase&) = delete;

    bool IsOpen() const { return FOpen; }
    const QString& Path() const { return FPath; }
    // The last failure, for the diagnostic log and messages.
    const QString& LastError() const { return FLastError; }
    // The file a corrupt database was moved to while opening, empty when
    // none was.
    const QString& RecoveredFile() const { return FRecoveredFile; }
    int SchemaVersion();

    // Inserts the session (Id 0; Id is then set) or updates it (its totals
    // and end time), and adds the facts, in one transaction. Returns false
    // and changes nothing when the database refuses.
    bool RecordSession(THistorySession& session, const THistoryKeyFacts& facts);

    // Sessions of the filter, oldest first.
    std::vector<THistorySession> Sessions(const THistoryFilter& filter);
    // The sources recorded for an activity, most recently used first.
    QStringList Sources(int activity);
    // The facts of the filter summed per item (kind, item, code).
    std::vector<THistoryKeyStat> KeyStats(const THistoryFilter& filter);
    // Per selection code, the sums over the most recent `perCode` facts of
    // keyboard drills of `source` (a layout caption).
    QHash<int, THistoryKeyStat> RecentDrillStats(const QString& source, int perCode = 30);
    // The facts of one session in recording order.
    THistoryKeyFacts Facts(qint64 sessionId);

    // Every session of all activities as CSV (a header line, one line per
    // session, UTF-8, fields quoted where needed).
    QByteArray SessionsCsv();

    // The connection itself, for tests that look at the file's state.
    QSqlDatabase& Connection() { return FDb; }

private:
    bool OpenFile();
    bool Migrate();
    bool Exec(const QString& sql);
    void SetAside();
    bool IsCorruptionError(const class QSqlError& error) const;

    QString FPath;
    QString FConnectionName;
    QSqlDatabase FDb;
    bool FOpen = false;
    // The file carries a schema newer than this program knows: kept as it is.
    bool FNewerFile = false;
    QString FLastError;
    QString FRecoveredFile;
};
