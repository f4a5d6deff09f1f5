#pragma once

#include "app/Colors.h"

#include <QString>
#include <vector>

// One extra named block of a meter series: a value with its own colour,
// stacked under the series' three values.
struct TSeriesBlock {
    QString Name;
    double Value = 0.0;
    TColor Color = clBlack;
    int CurrentValue = 0; // blocks currently drawn (animated toward the target)
    int TargetValue = 0;  // blocks the value asks for at the current scale
};

// The extra blocks of a series, in stacking order from the bottom. Names are
// found without regard to letter case.
class TSeriesBlockList {
public:
    int Count() const { return int(FItems.size()); }
    TSeriesBlock& Items(int index) { return FItems.at(std::size_t(index)); }
    const TSeriesBlock& Items(int index) const { return FItems.at(std::size_t(index)); }

    // Adds a block, or updates value and colour of the one with that name.
    TSeriesBlock& Add(const QString& name, double value, TColor color);
    int IndexOf(const QString& name) const;
    void Delete(int index);
    void Clear() { FItems.clear(); }
    void ResetValues();

    double Total() const;

private:
    std::vector<TSeriesBlock> FItems;
};
