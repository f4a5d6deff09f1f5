#include "history/DrillRecorder.h"

#include <algorithm>
#include <cmath>
#include <QDateTime>

TDrillRecorder::TDrillRecorder(TClock clock)
    : FClock(clock ? std::move(clock)
                   : TClock([] { return QDateTime::currentMSecsSinceEpoch(); })) {}

void TDrillRecorder::Start(const QString& source) {
    FSource = source;
    FStarted = FClock();
    FFacts.clear();
    FKeystrokes = 0;
    FCode = -1;
    FWrong = false;
}

void TDrillRecorder::ProblemShown(int code, const QString& caption) {
    FCode = code;
    FCaption = caption;
    FWrong = false;
    FShownAt = FClock();
}

void TDrillRecorder::KeyJudged(bool correct) {
    ++FKeystrokes;
    if (!correct && FCode >= 0)
        FWrong = true;
}

void TDrillRecorder::Answered() {
    if (FCode < 0)
        return;
    THistoryKeyFact fact;
    fact.Kind = hfKey;
    fact.Item = FCaption;
    fact.Code = FCode;
    fact.Strokes = 1;
    fact.Wrong = FWrong;
    fact.Ms = int(std::clamp<qint64>(FClock() - FShownAt, 0, 60000));
    FFacts.push_back(fact);
    FCode = -1;
}

void TDrillRecorder::Missed() {
    FWrong = true;
    Answered();
}

THistorySession TDrillRecorder::Session() const {
    THistorySession session;
    session.Activity = haKeyboard;
    session.Source = FSource;
    session.Started = FStarted;
    session.Ended = FClock();
    session.Keystrokes = FKeystrokes;
    const qint64 answered = qint64(FFacts.size());
    const qint64 clean = std::count_if(FFacts.begin(), FFacts.end(),
                                       [](const THistoryKeyFact& f) { return !f.Wrong; });
    session.Accuracy = answered > 0 ? double(clean) / double(answered) : 0.0;
    const qint64 elapsed = std::max<qint64>(1, session.Ended - session.Started);
    session.Speed = int(std::lround(double(answered) * 60000.0 / double(elapsed)));
    return session;
}
