#pragma once

#include "typing/Sentence.h"

#include <functional>
#include <memory>
#include <QLoggingCategory>
#include <QString>
#include <vector>

// The diagnostic log of sentence practice (error checks, keystroke reports).
Q_DECLARE_LOGGING_CATEGORY(lcTyping)

// The measuring core of sentence practice: the lines of one page, what was
// typed over them, the keystrokes each typed character cost, typing errors,
// and the speed and accuracy figures. It knows nothing of drawing or of the
// window system: the practice control feeds it plain characters and the four
// steps of an input-method composition, and paints from its state.
//
// Speed is counted in keystrokes per minute scaled by accuracy. A character
// typed directly costs one keystroke (Shift never counts); a Hangul syllable
// composed through the input method costs the composition steps that built
// it, so 한 typed as ㅎ, ㅏ, ㄴ costs 3.
class TTypingModel {
public:
    // A monotonic clock in milliseconds; wraps around like any 32-bit tick
    // count. Tests pass their own.
    using TClock = std::function<quint32()>;

    // An empty clock means the process's monotonic clock.
    explicit TTypingModel(TClock clock = {});
    TTypingModel(const TTypingModel&) = delete;
    TTypingModel& operator=(const TTypingModel&) = delete;

    // ---- Page -----------------------------------------------------------

    // Number of lines. A new value >= 0 replaces all lines by that many fresh
    // ones (sample text, nothing typed) and makes the first current (none for
    // 0); a negative value or the current value changes nothing.
    int SentenceCount() const { return FSentenceCount; }
    void SetSentenceCount(int value);

    // Line `index` (0-based); nullptr outside 0 to SentenceCount() - 1.
    TSentence* Sentence(int index);
    const TSentence* Sentence(int index) const;

    // The line that receives input, nullptr when there are no lines.
    TSentence* CurrSentence() { return Sentence(FCurrSentence); }
    const TSentence* CurrSentence() const { return Sentence(FCurrSentence); }
    int CurrSentenceIndex() const { return FCurrSentence; }

    // Loads the text of line `SentenceIndex`: control characters and spaces
    // are trimmed from both ends, runs of spaces inside collapse to one, and
    // the line's typed text is cleared. An index outside the page loads
    // nothing. In every case the page clock stops and the first line becomes
    // current.
    void SetProblem(int SentenceIndex, const QString& problem);

    // ---- Input events ---------------------------------------------------
    // Each returns false when there is no current line: the event is then
    // not handled and belongs to the platform. In read-only mode the events
    // are swallowed (true) without effect.

    // A character typed without composition: printable characters, space,
    // Backspace U+0008, Enter U+000D; Escape U+001B is ignored.
    bool TypeChar(QChar c);
    // A composition begins.
    bool CompositionStart();
    // The character being composed is now `c` (0 when the composition became
    // empty).
    bool CompositionUpdate(QChar c);
    // The composition produced the finished character `c`.
    bool CompositionCommit(QChar c);
    // The composition is over.
    bool CompositionEnd();

    // ---- Page flow ------------------------------------------------------

    // Starts the page clock on the first keystroke of a page.
    void StartTyping();
    // Moves to the next non-empty line; past the last line the page ends.
    void NextSentence();
    // Makes the previous line current (its typed text stays).
    void PrevSentence();
    // Adds the figures of the page just ended to the running totals.
    void AccumulateTotals();

    // ---- Error checks ---------------------------------------------------

    // The jamo of one character as five characters: initial, vowel part 1 and
    // 2, final part 1 and 2, each "." when empty (각 -> "ㄱㅏ.ㄱ."). Fails for
    // characters below U+0080 and for characters that are neither Hangul
    // syllables nor compatibility jamo.
    static bool DecomposeJamo(QChar c, QString& parts);
    // Whether the character being composed can still become the expected one
    // of `line`. `parts` receives the composing character's jamo (trailing
    // empty slots removed), or nothing when it is judged without them (a kana
    // matches itself and its voiced forms: か can still become が).
    bool ComposingCharMatches(const TSentence& line, QString& parts) const;
    // Raises OnTypingError when the last input on the current line is wrong.
    void CheckTypingError(bool isComposing);

    // ---- Figures --------------------------------------------------------

    // Milliseconds from the first keystroke to the end of the page.
    quint32 GetElapsedTime() const { return FStopTick - FStartTick; }
    // Accuracy of the page (0 to 1) and its counts. With isCurrent the typed
    // characters are judged (ProblemLen = TypedLen); otherwise the whole
    // page, untyped characters counting as wrong.
    float GetTypingAccuracy(qint64& ProblemLen, qint64& TypedLen, qint64& HitCount,
                            qint64& RightlyTypedLen, bool isCurrent) const;
    float GetOnlyTypingAccuracy(bool isCurrent) const;
    // Keystrokes per minute times accuracy: of the running page up to now
    // (isCurrent) or of the ended page.
    int GetTypingSpeed(bool isCurrent) const;
    // The same over all ended pages, plus the running page with isCurrent.
    int GetAvgTypingSpeed(bool isCurrent) const;
    // The accuracy (0 to 1) that scales the average speed: rightly typed
    // characters of all ended pages over their problem lengths, with
    // isCurrent plus the running page's typed characters. 0 when nothing was
    // measured.
    float GetAvgTypingAccuracy(bool isCurrent) const;

    // ---- State ----------------------------------------------------------

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    // Judge the character being composed against the expected one while it
    // is still composed (otherwise only once committed).
    bool CheckComposingChar() const { return FCheckComposingChar; }
    void SetCheckComposingChar(bool value) { FCheckComposingChar = value; }
    bool TypingStarted() const { return FTypingStarted; }
    bool IsComposing() const { return FIsComposing; }
    QChar ComposingChar() const { return FComposingChar; }
    quint8 CurrCharHitCount() const { return FCurrCharHitCount; }
    quint32 StartTick() const { return FStartTick; }
    quint32 StopTick() const { return FStopTick; }
    qint64 TotalProblemLen() const { return FTotalProblemLen; }
    qint64 TotalTypedLen() const { return FTotalTypedLen; }
    qint64 TotalHitCount() const { return FTotalHitCount; }
    qint64 TotalRightlyTypedLen() const { return FTotalRightlyTypedLen; }
    qint64 TotalElapsedTime() const { return FTotalElapsedTime; }

    // The current millisecond tick of the model's clock.
    quint32 Now() const { return FClock(); }

    // ---- Events ---------------------------------------------------------

    std::function<void(TTypingModel* Sender)> OnTypingStarted; // first keystroke of a page
    std::function<void(TTypingModel* Sender)> OnTypingError;   // a wrong character or jamo
    std::function<void(TTypingModel* Sender)> OnTypingEnded;   // the page is finished
    // What a view must redraw: on line `LineIndex` the cells from position
    // FromPos to ToPos (0-based, inclusive) may look different, including the
    // caret or composing cell at the typed length and the problem line's step
    // there. FromPos < 0 means the whole line, LineIndex < 0 the whole page.
    std::function<void(TTypingModel* Sender, int LineIndex, int FromPos, int ToPos)> OnLineChanged;

private:
    void RaiseLineChanged(int line, int fromPos, int toPos);
    void RaiseCaretChanged(int line);
    void SetCurrent(int line);
    void AppendToCurrent(QChar c, quint8 hitCount);
    // Appends to the current line while it has room; otherwise moves on and,
    // unless `c` is a space, appends to the line that is then current.
    void AppendOrMoveOn(QChar c, quint8 hitCount);

    TClock FClock;
    std::vector<std::unique_ptr<TSentence>> Sentences;
    int FSentenceCount = 0;
    int FCurrSentence = -1;
    bool FIsComposing = false;
    QChar FComposingChar;
    quint8 FCurrCharHitCount = 0;
    QString FPrevComposingDivChars;
    bool FCheckComposingChar = false;
    bool FReadOnly = false;
    bool FTypingStarted = false;
    quint32 FStartTick = 0;
    quint32 FStopTick = 0;
    qint64 FTotalProblemLen = 0;
    qint64 FTotalTypedLen = 0;
    qint64 FTotalHitCount = 0;
    qint64 FTotalRightlyTypedLen = 0;
    qint64 FTotalElapsedTime = 0;
};
