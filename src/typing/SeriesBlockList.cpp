#include "typing/SeriesBlockList.h"

TSeriesBlock& TSeriesBlockList::Add(const QString& name, double value, TColor color) {
    if (const int index = IndexOf(name); index >= 0) {
        TSeriesBlock& block = FItems[std::size_t(index)];
        block.Value = value;
        block.Color = color;
        return block;
    }
    FItems.push_back(TSeriesBlock{name, value, color, 0, 0});
    return FItems.back();
}

int TSeriesBlockList::IndexOf(const QString& name) const {
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

void TSeriesBlockList::Delete(int index) {
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

void TSeriesBlockList::ResetValues() {
    for (TSeriesBlock& block : FItems)
        block.Value = 0.0;
}

double TSeriesBlockList::Total() const {
    double total = 0.0;
    for (const TSeriesBlock& block : FItems)
        total += block.Value;
    return total;
}
