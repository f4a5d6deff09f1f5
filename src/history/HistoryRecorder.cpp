#include "history/HistoryRecorder.h"

#include "history/DrillRecorder.h"
#include "history/SentenceFacts.h"
#include "typing/TypingModel.h"

#include <cmath>
#include <QDateTime>

THistoryRecorder::THistoryRecorder(const QString& path, TClock clock)
    : FPath(path)
    , FClock(clock ? std::move(clock)
                   : TClock([] { return QDateTime::currentMSecsSinceEpoch(); })) {
    FStarted = FClock();
}

THistoryRecorder::~THistoryRecorder() = default;

void THistoryRecorder::Restart() {
    FStarted = FClock();
    FSession = THistorySession();
}

THistoryDatabase* THistoryRecorder::Database() {
    if (!FDb)
        FDb = std::make_unique<THistoryDatabase>(FPath);
    return FDb->IsOpen() ? FDb.get() : nullptr;
}

bool THistoryRecorder::Write(const THistoryKeyFacts& facts) {
    THistoryDatabase* db = Database();
    bool ok = db && db->RecordSession(FSession, facts);
    if (FDb && !FDb->RecoveredFile().isEmpty() && !FToldRecovery) {
        FToldRecovery = true;
        if (OnRecovered)
            OnRecovered(FDb->RecoveredFile());
    }
    return ok;
}

bool THistoryRecorder::RecordSentencePage(const TTypingModel& model, const QString& source) {
    const qint64 now = FClock();
    if (FSession.Id == 0 && FSession.Pages == 0) {
        FSession.Activity = haSentence;
        FSession.Source = source;
        FSession.Started = now - qint64(model.GetElapsedTime());
    }
    FSession.Ended = now;
    ++FSession.Pages;
    qint64 pageStrokes = 0;
    for (int i = 0; i < model.SentenceCount(); ++i)
        pageStrokes += model.Sentence(i)->GetTotalHitCount();
    FSession.Keystrokes += pageStrokes;
    FSession.Speed = model.GetAvgTypingSpeed(false);
    FSession.Accuracy = double(model.GetAvgTypingAccuracy(false));
    return Write(TSentenceFacts::FromPage(model));
}

bool THistoryRecorder::RecordDrill(const TDrillRecorder& drill) {
    if (!drill.HasFacts())
        return false;
    FSession = drill.Session();
    return Write(drill.Facts());
}

bool THistoryRecorder::RecordGame(int activity, const QString& source, int level, int score) {
    FSession = THistorySession();
    FSession.Activity = activity;
    FSession.Source = source;
    FSession.Started = FStarted;
    FSession.Ended = FClock();
    FSession.Level = level;
    FSession.Score = score;
    return Write({});
}
