#include "games/GameEnemy.h"

#include <limits>

TGameEnemy::TGameEnemy(const TGameEnemyList* AParentList, std::uint64_t id)
    : FParentList(AParentList)
    , FId(id) {}

bool TGameEnemy::IsOverlappedEnemyExists(const TGLArrayf3& Pos, float distance) const {
    if (!FParentList)
        return false;
    const float limit = distance * distance;
    for (const auto& other : *FParentList) {
        if (other.get() == this)
            continue;
        const float dx = other->FPosition.x - Pos.x;
        const float dy = other->FPosition.y - Pos.y;
        const float dz = other->FPosition.z - Pos.z;
        if (dx * dx + dy * dy + dz * dz < limit)
            return true;
    }
    return false;
}

void TGameEnemy::NextSpinStep() {
    FSpinStep = FSpinStep == std::numeric_limits<int>::max() ? 0 : FSpinStep + 1;
}
