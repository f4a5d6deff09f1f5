#pragma once

#include "history/HistoryDatabase.h"

#include <functional>
#include <memory>

class TDrillRecorder;
class TTypingModel;

// What a practice window uses to write its session into the history. The
// database is opened on the first write (a window that records nothing
// never touches the file); each write is one transaction at the end of a
// page, a drill or a game. A database that had to be replaced by a fresh
// one is reported once through OnRecovered, and practice goes on; a
// database that cannot be written at all only loses the history.
class THistoryRecorder {
public:
    // Milliseconds since the epoch; empty: the system clock.
    using TClock = std::function<qint64()>;
    // `path` empty: the database in the settings folder.
    explicit THistoryRecorder(const QString& path = {}, TClock clock = {});
    ~THistoryRecorder();

    // The ended page of `model` as part of this sitting's session of
    // `source` (the text file): pages, keystrokes, the average speed and
    // accuracy so far, and the page's facts.
    bool RecordSentencePage(const TTypingModel& model, const QString& source);
    // A finished drill.
    bool RecordDrill(const TDrillRecorder& drill);
    // A finished game, begun when this recorder was made or last Restart()ed.
    bool RecordGame(int activity, const QString& source, int level, int score);
    void Restart();

    // Opened on demand; nullptr when it cannot be opened.
    THistoryDatabase* Database();
    const THistorySession& Session() const { return FSession; }

    // The learner is to be told that the history was set aside (once).
    std::function<void(const QString& movedTo)> OnRecovered;

private:
    bool Write(const THistoryKeyFacts& facts);

    QString FPath;
    TClock FClock;
    std::unique_ptr<THistoryDatabase> FDb;
    THistorySession FSession;
    qint64 FStarted = 0;
    bool FToldRecovery = false;
};
