#include "typing/TypingModel.h"

#include "app/StringUtils.h"
#include "platform/KanaInput.h"
#include "platform/TickCount.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcTyping, "ravlin.typing")

namespace {

// Jamo tables in compatibility jamo, the form input methods show while
// composing. "." marks an empty slot.
const QString kInitials = QStringLiteral("ㄱㄲㄴㄷㄸㄹㅁㅂㅃㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎ");
const QString kVowels = QStringLiteral("ㅏㅐㅑㅒㅓㅔㅕㅖㅗㅘㅙㅚㅛㅜㅝㅞㅟㅠㅡㅢㅣ");
// The keystroke parts of each vowel, two slots per vowel in table order.
const QString kVowelPairs =
    QStringLiteral("ㅏ.ㅐ.ㅑ.ㅒ.ㅓ.ㅔ.ㅕ.ㅖ.ㅗ.ㅗㅏㅗㅐㅗㅣㅛ.ㅜ.ㅜㅓㅜㅔㅜㅣㅠ.ㅡ.ㅡㅣㅣ.");
const QString kFinals = QStringLiteral(".ㄱㄲㄳㄴㄵㄶㄷㄹㄺㄻㄼㄽㄾㄿㅀㅁㅂㅄㅅㅆㅇㅈㅊㅋㅌㅍㅎ");
// The keystroke parts of each final, two slots per final in table order.
const QString kFinalPairs =
    QStringLiteral("..ㄱ.ㄲ.ㄱㅅㄴ.ㄴㅈㄴㅎㄷ.ㄹ.ㄹㄱㄹㅁㄹㅂㄹㅅㄹㅌㄹㅍㄹㅎㅁ.ㅂ.ㅂㅅㅅ.ㅆ.ㅇ.ㅈ."
                   "ㅊ.ㅋ.ㅌ.ㅍ.ㅎ.");

constexpr char16_t kFirstSyllable = 0xAC00;
constexpr char16_t kLastSyllable = 0xD7A3;
constexpr char16_t kBackspace = 0x0008;
constexpr char16_t kEnter = 0x000D;
constexpr char16_t kEscape = 0x001B;

// Drops leading and trailing characters up to U+0020 and collapses each run
// of spaces inside to one; tabs inside the text stay.
QString NormalizeProblem(const QString& text) {
    const QString trimmed = TrimSpacesAndControls(text);
    QString result;
    result.reserve(trimmed.size());
    for (const QChar c : trimmed) {
        if (c == u' ' && !result.isEmpty() && result.back() == u' ')
            continue;
        result.append(c);
    }
    return result;
}

void TrimTrailingDots(QString& s) {
    while (!s.isEmpty() && s.back() == u'.')
        s.chop(1);
}

// Float to integer as truncation toward zero, clamped to the int range.
int TruncToInt(double value) {
    if (std::isnan(value))
        return 0;
    const double t = std::trunc(value);
    if (t <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (t >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(t);
}

} // namespace

TTypingModel::TTypingModel(TClock clock)
    : FClock(clock ? std::move(clock) : TClock(&TickCount)) {
    SetSentenceCount(2);
}

// ---- Page ------------------------------------------------------------------

void TTypingModel::SetSentenceCount(int value) {
    if (value < 0 || value == FSentenceCount)
        return;
    Sentences.clear();
    for (int i = 0; i < value; ++i)
        Sentences.push_back(std::make_unique<TSentence>());
    FSentenceCount = value;
    FCurrSentence = value > 0 ? 0 : -1;
    RaiseLineChanged(-1, -1, -1);
}

TSentence* TTypingModel::Sentence(int index) {
    if (index < 0 || index >= FSentenceCount)
        return nullptr;
    return Sentences[size_t(index)].get();
}

const TSentence* TTypingModel::Sentence(int index) const {
    if (index < 0 || index >= FSentenceCount)
        return nullptr;
    return Sentences[size_t(index)].get();
}

void TTypingModel::SetProblem(int SentenceIndex, const QString& problem) {
    const QString text = NormalizeProblem(problem);
    if (TSentence* line = Sentence(SentenceIndex)) {
        line->problem = text;
        line->typed.clear();
        RaiseLineChanged(SentenceIndex, -1, -1);
    }
    FTypingStarted = false;
    if (FSentenceCount > 0)
        SetCurrent(0);
}

// ---- Input events ----------------------------------------------------------

bool TTypingModel::TypeChar(QChar c) {
    if (!CurrSentence())
        return false;
    if (FReadOnly || c.unicode() == kEscape)
        return true;
    StartTyping();
    TSentence* line = CurrSentence();
    if (!line) // the OnTypingStarted handler emptied the page
        return true;
    if (c.unicode() == kBackspace) {
        if (!line->typed.isEmpty()) {
            const int oldLength = int(line->typed.size());
            line->BackSpace();
            RaiseLineChanged(FCurrSentence, oldLength - 1, oldLength);
        } else {
            PrevSentence();
        }
    } else if (c.unicode() == kEnter) {
        NextSentence();
    } else {
        AppendOrMoveOn(c, 1);
    }
    return true;
}

bool TTypingModel::CompositionStart() {
    if (!CurrSentence())
        return false;
    if (FReadOnly)
        return true;
    FIsComposing = true;
    FCurrCharHitCount = 0;
    FComposingChar = QChar();
    RaiseCaretChanged(FCurrSentence);
    return true;
}

bool TTypingModel::CompositionUpdate(QChar c) {
    if (!CurrSentence())
        return false;
    if (FReadOnly)
        return true;
    StartTyping();
    if (!FComposingChar.isNull() && c < FComposingChar) {
        // A jamo was taken back, or a final consonant left for the next syllable.
        if (FCurrCharHitCount > 0)
            --FCurrCharHitCount;
    } else if (FComposingChar.isNull()) {
        // The first update after a start or a commit: a syllable that arrives
        // whole (a consonant carried over plus a vowel) already cost its parts.
        QString parts;
        if (DecomposeJamo(c, parts)) {
            FCurrCharHitCount =
                quint8(int(parts[0] != u'.') + int(parts.mid(1, 2) != QStringLiteral("..")) +
                       int(parts.mid(3, 2) != QStringLiteral("..")));
        } else {
            FCurrCharHitCount = 1;
        }
    } else if (c > FComposingChar) {
        if (FCurrCharHitCount < 0xFF)
            ++FCurrCharHitCount;
    }
    FComposingChar = c;
    RaiseCaretChanged(FCurrSentence);
    CheckTypingError(true);
    return true;
}

bool TTypingModel::CompositionCommit(QChar c) {
    if (!CurrSentence())
        return false;
    if (FReadOnly)
        return true;
    StartTyping();
    FPrevComposingDivChars.clear();
    if (CurrSentence())
        AppendOrMoveOn(c, FCurrCharHitCount);
    FComposingChar = QChar();
    return true;
}

bool TTypingModel::CompositionEnd() {
    if (!CurrSentence())
        return false;
    if (FReadOnly)
        return true;
    FIsComposing = false;
    RaiseCaretChanged(FCurrSentence);
    return true;
}

void TTypingModel::AppendOrMoveOn(QChar c, quint8 hitCount) {
    const TSentence* line = CurrSentence();
    if (line->typed.size() < line->problem.size()) {
        AppendToCurrent(c, hitCount);
        CheckTypingError(false);
        return;
    }
    NextSentence();
    // The OnTypingEnded handler may have loaded a new page or emptied it; the
    // character goes to whatever line is current now.
    if (c != u' ' && CurrSentence()) {
        AppendToCurrent(c, hitCount);
        CheckTypingError(false);
    }
}

void TTypingModel::AppendToCurrent(QChar c, quint8 hitCount) {
    TSentence* line = CurrSentence();
    const int oldLength = int(line->typed.size());
    line->AppendChar(c, hitCount, FClock());
    RaiseLineChanged(FCurrSentence, oldLength, oldLength + 1);
}

// ---- Page flow -------------------------------------------------------------

void TTypingModel::StartTyping() {
    if (FTypingStarted)
        return;
    FStartTick = FClock();
    FTypingStarted = true;
    if (OnTypingStarted)
        OnTypingStarted(this);
}

void TTypingModel::NextSentence() {
    // Empty lines are skipped; an empty last line ends the page as well.
    while (FCurrSentence >= 0) {
        if (FCurrSentence == FSentenceCount - 1) {
            FStopTick = FClock();
            AccumulateTotals();
            if (OnTypingEnded)
                OnTypingEnded(this);
            return;
        }
        SetCurrent(FCurrSentence + 1);
        if (!CurrSentence()->problem.isEmpty())
            return;
    }
}

void TTypingModel::PrevSentence() {
    if (FSentenceCount == 0 || FCurrSentence <= 0)
        return;
    SetCurrent(FCurrSentence - 1);
}

void TTypingModel::AccumulateTotals() {
    qint64 problemLen = 0, typedLen = 0, hitCount = 0, rightlyTypedLen = 0;
    GetTypingAccuracy(problemLen, typedLen, hitCount, rightlyTypedLen, false);
    FTotalTypedLen += typedLen;
    FTotalHitCount += hitCount;
    FTotalElapsedTime += GetElapsedTime();
    FTotalRightlyTypedLen += rightlyTypedLen;
    FTotalProblemLen += problemLen;
}

void TTypingModel::SetCurrent(int line) {
    if (line == FCurrSentence)
        return;
    const int previous = FCurrSentence;
    FCurrSentence = line;
    RaiseCaretChanged(previous);
    RaiseCaretChanged(line);
}

// ---- Error checks ----------------------------------------------------------

bool TTypingModel::DecomposeJamo(QChar c, QString& parts) {
    const char16_t code = c.unicode();
    if (code >= kFirstSyllable && code <= kLastSyllable) {
        const int i = code - kFirstSyllable;
        parts = kInitials[i / 588] + kVowelPairs.mid((i % 588) / 28 * 2, 2) +
                kFinalPairs.mid(i % 28 * 2, 2);
        return true;
    }
    if (code < 0x80) {
        parts.clear();
        return false;
    }
    if (kInitials.contains(c)) {
        parts = c + QStringLiteral("....");
        return true;
    }
    if (const qsizetype v = kVowels.indexOf(c); v >= 0) {
        parts = u'.' + kVowelPairs.mid(v * 2, 2) + QStringLiteral("..");
        return true;
    }
    if (const qsizetype f = kFinals.indexOf(c); f > 0) {
        parts = QStringLiteral("...") + kFinalPairs.mid(f * 2, 2);
        return true;
    }
    parts.clear();
    return false;
}

bool TTypingModel::ComposingCharMatches(const TSentence& line, QString& parts) const {
    parts.clear();
    if (!FCheckComposingChar || !FIsComposing)
        return true;
    if (line.typed.size() >= line.problem.size())
        return false;
    // A kana waiting for a voicing mark can still become its voiced forms.
    if (TKanaInput::IsKana(FComposingChar))
        return TKanaInput::CanBecome(FComposingChar, line.problem[line.typed.size()]);
    QString expected;
    QString composing;
    if (!DecomposeJamo(line.problem[line.typed.size()], expected) ||
        !DecomposeJamo(FComposingChar, composing))
        return false;
    TrimTrailingDots(expected);
    TrimTrailingDots(composing);
    parts = composing;
    const qsizetype n = std::min(expected.size(), composing.size());
    return expected.left(n) == composing.left(n);
}

void TTypingModel::CheckTypingError(bool isComposing) {
    const TSentence* line = CurrSentence();
    if (!line)
        return;
    bool error = false;
    if (!isComposing && !line->typed.isEmpty()) {
        const qsizetype n = line->typed.size();
        error = n <= line->problem.size() && line->typed[n - 1] != line->problem[n - 1];
    }
    if (isComposing) {
        QString parts;
        if (!ComposingCharMatches(*line, parts)) {
            // A composition that only lost jamo (Backspace inside it) is not a
            // new error; one that gained a wrong jamo is.
            const bool shrunk = FPrevComposingDivChars.size() > parts.size() || parts.isEmpty();
            error = !shrunk;
            FPrevComposingDivChars = parts;
            qCDebug(lcTyping).noquote() << QStringLiteral("CheckTypingError => [") + parts + u']';
        }
    }
    if (error && OnTypingError)
        OnTypingError(this);
}

// ---- Figures ---------------------------------------------------------------

float TTypingModel::GetTypingAccuracy(qint64& ProblemLen, qint64& TypedLen, qint64& HitCount,
                                      qint64& RightlyTypedLen, bool isCurrent) const {
    qint64 problemTotal = 0;
    HitCount = 0;
    TypedLen = 0;
    RightlyTypedLen = 0;
    for (int k = 0; k < FSentenceCount; ++k) {
        const TSentence& line = *Sentences[size_t(k)];
        problemTotal += line.problem.size();
        HitCount += line.GetTotalHitCount();
        TypedLen += line.typed.size();
        // Position by position: an omitted character spoils the rest.
        const qsizetype n = std::min(line.problem.size(), line.typed.size());
        for (qsizetype j = 0; j < n; ++j) {
            if (line.problem[j] == line.typed[j])
                ++RightlyTypedLen;
        }
    }
    if (isCurrent) {
        ProblemLen = TypedLen;
        return TypedLen == 0 ? 0.0f : float(double(RightlyTypedLen) / double(TypedLen));
    }
    ProblemLen = problemTotal;
    return problemTotal == 0 ? 0.0f : float(double(RightlyTypedLen) / double(problemTotal));
}

float TTypingModel::GetOnlyTypingAccuracy(bool isCurrent) const {
    qint64 problemLen = 0, typedLen = 0, hitCount = 0, rightlyTypedLen = 0;
    return GetTypingAccuracy(problemLen, typedLen, hitCount, rightlyTypedLen, isCurrent);
}

int TTypingModel::GetTypingSpeed(bool isCurrent) const {
    qint64 hits = 0;
    for (int k = 0; k < FSentenceCount; ++k)
        hits += Sentences[size_t(k)]->GetTotalHitCount();
    const qint64 t = isCurrent ? qint64(quint32(FClock() - FStartTick)) : qint64(GetElapsedTime());
    if (t <= 0)
        return 0;
    return TruncToInt(double(hits) / double(t) * 1000.0 * 60.0 *
                      double(GetOnlyTypingAccuracy(isCurrent)));
}

int TTypingModel::GetAvgTypingSpeed(bool isCurrent) const {
    qint64 problemLen = 0, typedLen = 0, hitCount = 0, rightlyTypedLen = 0;
    GetTypingAccuracy(problemLen, typedLen, hitCount, rightlyTypedLen, isCurrent);
    const qint64 t = FTotalElapsedTime + (isCurrent ? qint64(quint32(FClock() - FStartTick)) : 0);
    const qint64 p = FTotalProblemLen + (isCurrent ? typedLen : 0);
    if (t <= 0 || p <= 0)
        return 0;
    const qint64 hits = FTotalHitCount + (isCurrent ? hitCount : 0);
    const qint64 right = FTotalRightlyTypedLen + (isCurrent ? rightlyTypedLen : 0);
    return TruncToInt(double(hits) / double(t) * 1000.0 * 60.0 * (double(right) / double(p)));
}

float TTypingModel::GetAvgTypingAccuracy(bool isCurrent) const {
    qint64 problemLen = 0, typedLen = 0, hitCount = 0, rightlyTypedLen = 0;
    GetTypingAccuracy(problemLen, typedLen, hitCount, rightlyTypedLen, isCurrent);
    const qint64 p = FTotalProblemLen + (isCurrent ? typedLen : 0);
    const qint64 right = FTotalRightlyTypedLen + (isCurrent ? rightlyTypedLen : 0);
    return p <= 0 ? 0.0f : float(double(right) / double(p));
}

// ---- Change notification --------------------------------------------------

void TTypingModel::RaiseLineChanged(int line, int fromPos, int toPos) {
    if (OnLineChanged)
        OnLineChanged(this, line, fromPos, toPos);
}

void TTypingModel::RaiseCaretChanged(int line) {
    if (const TSentence* s = Sentence(line)) {
        const int position = int(s->typed.size());
        RaiseLineChanged(line, position, position);
    }
}
