#pragma once

#include <QString>
#include <vector>

// The practice activities the history keeps apart. The numbers are stored
// in the database: never renumber them.
enum THistoryActivity {
    haSentence = 0, // 문장연습
    haKeyboard = 1, // 키보드연습
    haClockwig = 2,
    haOrbalon = 3,
};
constexpr int kHistoryActivityCount = 4;

// The caption of an activity as the history window lists it.
QString HistoryActivityCaption(int activity);

// What a key fact is about. Stored: never renumber.
enum THistoryFactKind {
    hfChar = 0, // an expected character of a practice text
    hfJamo = 1, // one jamo of an expected Hangul syllable
    hfKey = 2,  // one problem of the keyboard drill (Code is its selection code)
};

// One practice session: a sitting of sentence practice (its pages so far),
// one keyboard drill or one game.
struct THistorySession {
    qint64 Id = 0; // 0 until it has been recorded
    int Activity = haSentence;
    qint64 Started = 0; // milliseconds since the epoch, UTC
    qint64 Ended = 0;
    QString Source; // text file, layout caption or word file
    int Pages = 0;
    qint64 Keystrokes = 0;
    int Speed = 0;       // 타/분 as the practice screen shows it
    double Accuracy = 0; // 0 to 1
    int Level = 0;       // games only
    int Score = 0;       // games only
};

// One fact about one expected character, jamo or drill problem.
struct THistoryKeyFact {
    int Kind = hfChar;
    QString Item;  // the character or jamo; the caption of a drill problem
    int Code = -1; // selection code of a drill problem, -1 otherwise
    int Strokes = 0;
    bool Wrong = false;
    int Ms = 0; // time it took: from the previous keystroke or from the problem's appearance
};
using THistoryKeyFacts = std::vector<THistoryKeyFact>;

// The summed facts of one item over a filter.
struct THistoryKeyStat {
    int Kind = hfChar;
    QString Item;
    int Code = -1;
    qint64 Count = 0;
    qint64 Wrong = 0;
    qint64 TotalMs = 0;

    double ErrorRate() const { return Count > 0 ? double(Wrong) / double(Count) : 0.0; }
    double MeanMs() const { return Count > 0 ? double(TotalMs) / double(Count) : 0.0; }
};

// Which sessions a query covers. Empty Source: every source; Since 0: all
// time.
struct THistoryFilter {
    int Activity = haSentence;
    QString Source;
    qint64 Since = 0; // milliseconds since the epoch, UTC
};
