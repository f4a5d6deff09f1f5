#include "history/SentenceFacts.h"

#include "typing/TypingModel.h"

#include <algorithm>
#include <hangul.h>

bool TSentenceFacts::SyllableJamo(QChar syllable, QChar& initial, QChar& vowel, QChar& final) {
    if (!hangul_is_syllable(syllable.unicode()))
        return false;
    ucschar cho = 0;
    ucschar jung = 0;
    ucschar jong = 0;
    hangul_syllable_to_jamo(syllable.unicode(), &cho, &jung, &jong);
    initial = QChar(char16_t(hangul_jamo_to_cjamo(cho)));
    vowel = QChar(char16_t(hangul_jamo_to_cjamo(jung)));
    final = jong != 0 ? QChar(char16_t(hangul_jamo_to_cjamo(jong))) : QChar();
    return true;
}

namespace {

// Keystrokes of the three slots of a syllable on a two-set keyboard, from
// the typing model's decomposition (a compound vowel or final takes two).
void SlotStrokes(QChar syllable, int strokes[3]) {
    QString parts;
    strokes[0] = strokes[1] = strokes[2] = 0;
    if (!TTypingModel::DecomposeJamo(syllable, parts) || parts.size() < 5)
        return;
    strokes[0] = parts[0] != u'.' ? 1 : 0;
    strokes[1] = int(parts[1] != u'.') + int(parts[2] != u'.');
    strokes[2] = int(parts[3] != u'.') + int(parts[4] != u'.');
}

} // namespace

THistoryKeyFacts TSentenceFacts::FromPage(const TTypingModel& model) {
    THistoryKeyFacts facts;
    quint32 previous = model.StartTick();
    for (int l = 0; l < model.SentenceCount(); ++l) {
        const TSentence* line = model.Sentence(l);
        const qsizetype n = std::min(line->typed.size(), line->problem.size());
        for (qsizetype i = 0; i < n; ++i) {
            const QChar expected = line->problem[i];
            const QChar typed = line->typed[i];
            const int strokes = i < line->hitCounts.size() ? line->hitCounts[i].unicode() : 1;
            int ms = 0;
            if (i < line->typedTicks.size()) {
                const quint32 tick = line->typedTicks[i];
                // Tick differences stay right across a wrap of the 32-bit clock.
                ms = int(std::min<quint32>(tick - previous, 60000));
                previous = tick;
            }
            THistoryKeyFact fact;
            fact.Kind = hfChar;
            fact.Item = QString(expected);
            fact.Strokes = strokes;
            fact.Wrong = typed != expected;
            fact.Ms = ms;
            facts.push_back(fact);

            QChar want[3];
            if (!SyllableJamo(expected, want[0], want[1], want[2]))
                continue;
            QChar got[3];
            if (!SyllableJamo(typed, got[0], got[1], got[2]))
                got[0] = got[1] = got[2] = QChar(u'?');
            int slotStrokes[3];
            SlotStrokes(expected, slotStrokes);
            const int total = std::max(1, slotStrokes[0] + slotStrokes[1] + slotStrokes[2]);
            for (int slot = 0; slot < 3; ++slot) {
                if (want[slot].isNull())
                    continue;
                THistoryKeyFact jamo;
                jamo.Kind = hfJamo;
                jamo.Item = QString(want[slot]);
                jamo.Strokes = slotStrokes[slot];
                jamo.Wrong = got[slot] != want[slot];
                jamo.Ms = ms * slotStrokes[slot] / total;
                facts.push_back(jamo);
            }
        }
    }
    return facts;
}
