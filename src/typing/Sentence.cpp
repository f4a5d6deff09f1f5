#include "typing/Sentence.h"

#include <algorithm>

void TSentence::AppendChar(QChar AChar, quint8 hitCount, quint32 tick) {
    hitCounts.truncate(typed.size());
    hitCounts.append(QChar(char16_t(hitCount)));
    typedTicks.resize(typed.size());
    typedTicks.append(tick);
    typed.append(AChar);
}

void TSentence::BackSpace() {
    if (typed.isEmpty())
        return;
    const qsizetype last = typed.size() - 1;
    typed.truncate(last);
    if (last < hitCounts.size())
        hitCounts.remove(last, 1);
    if (last < typedTicks.size())
        typedTicks.remove(last, 1);
}

int TSentence::GetTotalHitCount() const {
    const qsizetype n = std::min(typed.size(), hitCounts.size());
    int total = 0;
    for (qsizetype i = 0; i < n; ++i)
        total += hitCounts[i].unicode();
    return total;
}
