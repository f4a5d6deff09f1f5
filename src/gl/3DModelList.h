#pragma once

#include "gl/3DModel.h"

#include <memory>
#include <vector>

// The parts of a loaded model in creation order, with the bounds over all of
// them. Owns its models.
class T3DModelList {
public:
    T3DModelList() { Clear(); }

    T3DModel* Add();
    void Clear();
    int Count() const { return int(FItems.size()); }
    T3DModel* Items(int index) const { return FItems.at(std::size_t(index)).get(); }
    // First model whose ObjectName equals modelName ignoring case, or nullptr.
    T3DModel* FindNamedModel(const QString& modelName) const;
    // Widens the bounds to include the box min..max.
    void Widen(const TGLArrayf3& min, const TGLArrayf3& max);

    TGLArrayf3 MinPos;
    TGLArrayf3 MaxPos;

private:
    std::vector<std::unique_ptr<T3DModel>> FItems;
};
