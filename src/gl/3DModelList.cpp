#include "gl/3DModelList.h"

#include <algorithm>

T3DModel* T3DModelList::Add() {
    FItems.push_back(std::make_unique<T3DModel>());
    return FItems.back().get();
}

void T3DModelList::Clear() {
    FItems.clear();
    MinPos = {T3DModel::kMinStart, T3DModel::kMinStart, T3DModel::kMinStart};
    MaxPos = {T3DModel::kMaxStart, T3DModel::kMaxStart, T3DModel::kMaxStart};
}

T3DModel* T3DModelList::FindNamedModel(const QString& modelName) const {
    for (const auto& model : FItems) {
        if (model->ObjectName.compare(modelName, Qt::CaseInsensitive) == 0)
            return model.get();
    }
    return nullptr;
}

void T3DModelList::Widen(const TGLArrayf3& min, const TGLArrayf3& max) {
    MinPos = {std::min(MinPos.x, min.x), std::min(MinPos.y, min.y), std::min(MinPos.z, min.z)};
    MaxPos = {std::max(MaxPos.x, max.x), std::max(MaxPos.y, max.y), std::max(MaxPos.z, max.z)};
}
