#pragma once

#include "history/HistoryRecords.h"

#include <functional>

// Collects the facts of one keyboard drill as it runs: when each problem
// appeared, whether a wrong key was pressed before it was answered, and how
// long the answer took. Only memory is touched while the learner types; the
// drill's end hands the lot to the history in one go.
class TDrillRecorder {
public:
    // Milliseconds since the epoch; empty: the system clock.
    using TClock = std::function<qint64()>;
    explicit TDrillRecorder(TClock clock = {});

    // Forgets everything and starts a drill of `source` (a layout caption).
    void Start(const QString& source);
    // Problem `code` with caption `caption` is now shown (the previous one,
    // if unanswered, is dropped).
    void ProblemShown(int code, const QString& caption);
    // A judged key press: right or wrong for the problem shown.
    void KeyJudged(bool correct);
    // The problem shown was answered.
    void Answered();
    // The problem shown drifted out of view unanswered: a wrong fact.
    void Missed();
    // A problem is shown and not yet answered or missed.
    bool HasProblem() const { return FCode >= 0; }

    bool HasFacts() const { return !FFacts.empty(); }
    const THistoryKeyFacts& Facts() const { return FFacts; }
    // The drill as a session: answers per minute as speed, the share of
    // problems answered without a wrong key as accuracy.
    THistorySession Session() const;
    qint64 Now() const { return FClock(); }

private:
    TClock FClock;
    QString FSource;
    qint64 FStarted = 0;
    qint64 FShownAt = 0;
    int FCode = -1;
    QString FCaption;
    bool FWrong = false;
    qint64 FKeystrokes = 0;
    THistoryKeyFacts FFacts;
};
