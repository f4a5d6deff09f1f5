#include "typing/VelmarSerieses.h"

#include <algorithm>

int TVelmarSerieses::IndexOf(const TVelmarSeries* series) const {
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i].get() == series)
            return int(i);
    }
    return -1;
}

TVelmarSeries* TVelmarSerieses::FindByName(const QString& name) const {
    for (const auto& item : FItems) {
        if (item->Name().compare(name, Qt::CaseInsensitive) == 0)
            return item.get();
    }
    return nullptr;
}

TVelmarSeries* TVelmarSerieses::Add() {
    FItems.push_back(std::make_unique<TVelmarSeries>(FOwner));
    return FItems.back().get();
}

void TVelmarSerieses::Delete(int index) {
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

void TVelmarSerieses::ResetValues() {
    for (const auto& item : FItems)
        item->ResetValues();
}

void TVelmarSerieses::Sort(
    const std::function<bool(const TVelmarSeries*, const TVelmarSeries*)>& less) {
    std::stable_sort(FItems.begin(), FItems.end(),
                     [&less](const auto& a, const auto& b) { return less(a.get(), b.get()); });
}
