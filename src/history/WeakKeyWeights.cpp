#include "history/WeakKeyWeights.h"

#include <algorithm>

double TWeakKeyWeights::MedianMs(const std::vector<THistoryKeyStat>& stats) {
    std::vector<double> means;
    for (const THistoryKeyStat& stat : stats)
        if (stat.Count >= kMinCount)
            means.push_back(stat.MeanMs());
    if (means.empty())
        return 0;
    std::nth_element(means.begin(), means.begin() + std::ptrdiff_t(means.size() / 2), means.end());
    return means[means.size() / 2];
}

double TWeakKeyWeights::Weakness(const THistoryKeyStat& stat, double medianMs) {
    // One error in five weighs as much as taking twice the typical time.
    double weakness = 5.0 * stat.ErrorRate();
    if (medianMs > 0)
        weakness += std::clamp(stat.MeanMs() / medianMs - 1.0, 0.0, 3.0);
    return weakness;
}

std::vector<THistoryKeyStat> TWeakKeyWeights::Weakest(const std::vector<THistoryKeyStat>& stats,
                                                      int count) {
    const double median = MedianMs(stats);
    std::vector<std::pair<double, const THistoryKeyStat*>> ranked;
    for (const THistoryKeyStat& stat : stats)
        if (stat.Count >= kMinCount)
            ranked.emplace_back(Weakness(stat, median), &stat);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<THistoryKeyStat> result;
    for (const auto& entry : ranked) {
        if (int(result.size()) >= count || entry.first <= 0)
            break;
        result.push_back(*entry.second);
    }
    return result;
}

QHash<int, double> TWeakKeyWeights::ForCodes(const QHash<int, THistoryKeyStat>& stats,
                                             const QList<int>& codes) {
    std::vector<THistoryKeyStat> known;
    for (int code : codes)
        if (auto it = stats.constFind(code); it != stats.cend())
            known.push_back(*it);
    const double median = MedianMs(known);
    QHash<int, double> weights;
    for (int code : codes) {
        const auto it = stats.constFind(code);
        if (it == stats.cend() || it->Count < kMinCount) {
            weights.insert(code, kUnknownWeight);
            continue;
        }
        weights.insert(code,
                       std::clamp(kMinWeight + Weakness(*it, median), kMinWeight, kMaxWeight));
    }
    return weights;
}
