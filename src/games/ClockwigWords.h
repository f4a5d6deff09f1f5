#pragma once

#include <QStringList>

// The built-in word lists of the Clockwig game. A word that stands twice in a
// list is drawn twice as often.

// 118 lower-case English words of 3 to 10 letters.
void EngListAdd(QStringList& list);

// 156 Hangul words of 1 to 5 syllables, without blanks.
void HanListAdd(QStringList& list);
