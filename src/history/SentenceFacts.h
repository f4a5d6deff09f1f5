#pragma once

#include "history/HistoryRecords.h"

class TTypingModel;

// Turns an ended page of sentence practice into key facts: one per typed
// position with the expected character, the keystrokes it cost, whether the
// typed character differs and the time since the character before it was
// finished (the page's first since its first keystroke). An expected Hangul
// syllable adds one fact per jamo (initial, vowel, final; compound vowels
// and finals stay whole, so ㅢ and ㄺ are facts of their own): a jamo is
// wrong when the typed syllable has a different one in its place, and the
// syllable's time is shared among its jamo by the keystrokes each takes.
class TSentenceFacts {
public:
    static THistoryKeyFacts FromPage(const TTypingModel& model);

    // The compatibility jamo (ㄱ ... ㅣ) of a Hangul syllable: initial, vowel
    // and final, the final empty when there is none. False for anything else.
    static bool SyllableJamo(QChar syllable, QChar& initial, QChar& vowel, QChar& final);
};
