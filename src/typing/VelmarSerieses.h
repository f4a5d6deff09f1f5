#pragma once

#include "typing/VelmarSeries.h"

#include <functional>
#include <memory>
#include <vector>

class TVelmarMeter;

// The meter's bars, owned by it. New series take the meter's current block
// colours, block height and scale.
class TVelmarSerieses {
public:
    explicit TVelmarSerieses(TVelmarMeter* owner)
        : FOwner(owner) {}

    int Count() const { return int(FItems.size()); }
    TVelmarSeries* Items(int index) const { return FItems.at(std::size_t(index)).get(); }
    TVelmarSeries* operator[](int index) const { return Items(index); }
    int IndexOf(const TVelmarSeries* series) const;
    TVelmarSeries* FindByName(const QString& name) const;

    TVelmarSeries* Add();
    void Delete(int index);
    void Clear() { FItems.clear(); }

    // Sets every value of every series to 0.
    void ResetValues();

    // Stable sort; `less` answers whether the first series goes before the second.
    void Sort(const std::function<bool(const TVelmarSeries*, const TVelmarSeries*)>& less);

private:
    TVelmarMeter* FOwner;
    std::vector<std::unique_ptr<TVelmarSeries>> FItems;
};
