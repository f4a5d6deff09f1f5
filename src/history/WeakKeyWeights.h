#pragma once

#include "history/HistoryRecords.h"

#include <QHash>
#include <QList>
#include <vector>

// How weak a key or jamo is, from its recorded facts: its error rate plus
// how much slower than the learner's typical item it is. The history
// window ranks by it and the keyboard drill weights its random pick by it.
class TWeakKeyWeights {
public:
    // Facts needed before an item is judged at all.
    static constexpr int kMinCount = 3;
    // The pick weights lie in [kMinWeight, kMaxWeight], so the strongest
    // key still comes up at least a sixth as often as the weakest: none
    // starves.
    static constexpr double kMinWeight = 1.0;
    static constexpr double kMaxWeight = 6.0;
    // An entry without enough facts yet: drilled a little more than a
    // known strong one, so the weights learn about it.
    static constexpr double kUnknownWeight = 2.0;

    // The median of the items' mean times (items with kMinCount facts), 0
    // when there are none.
    static double MedianMs(const std::vector<THistoryKeyStat>& stats);
    // 0 for a quick, faultless item; grows with errors and slowness.
    static double Weakness(const THistoryKeyStat& stat, double medianMs);
    // The `count` weakest items with kMinCount facts, weakest first.
    static std::vector<THistoryKeyStat> Weakest(const std::vector<THistoryKeyStat>& stats,
                                                int count);
    // A pick weight for each of `codes` from the stats by selection code.
    static QHash<int, double> ForCodes(const QHash<int, THistoryKeyStat>& stats,
                                       const QList<int>& codes);
};
