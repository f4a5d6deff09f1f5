#pragma once

#include "gl/GLTypes.h"

#include <cstdint>
#include <memory>
#include <QString>
#include <vector>

// Why a moon explodes; etNone while it flies.
enum TExplosionType { etNone, etCollision, etBomb, etCorrectAnswer };

// What a moon carries, and the item in effect in the game.
enum TSpecialItem {
    siNone,
    siAllExplode,
    siStop,
    siSpeedUp,
    siEnergyPlusOne,
    siHideText,
    siStopItem,
    siFake,
    siMax
};

class TGameEnemy;
using TGameEnemyList = std::vector<std::unique_ptr<TGameEnemy>>;

// One moon of the Orbalon game: its word, where it is, what it carries and
// how far its explosion has come. The game (TSaveMeGame) places, moves and
// explodes it; the window draws it and its word label.
class TGameEnemy {
public:
    // `id` tells the moon apart from every other of its game.
    TGameEnemy(const TGameEnemyList* AParentList, std::uint64_t id);

    // True when another moon of the list lies at a 3D distance strictly
    // below `distance` from `Pos`.
    bool IsOverlappedEnemyExists(const TGLArrayf3& Pos, float distance) const;

    // Serial number, unique within the game: moons are looked up by it while
    // the list changes under a loop.
    std::uint64_t Id() const { return FId; }
    const TGameEnemyList* ParentList() const { return FParentList; }

    TSpecialItem FSpecialItem = siNone;
    TExplosionType FExplosionType = etNone;
    int FExplosionStep = 0; // 0 while flying; 1 to 7 during the explosion
    TGLArrayf3 FPosition;   // z grows towards the viewer
    TGLArrayf3 FPositionInc;
    int FSpinStep = 0; // +1 per drawing, 5 degrees a step
    float FTowardRatio = 1;

    // The word label (drawn by the window's texture panel item).
    QString Word; // the answer
    QString Desc; // shown under the word; may be empty
    TGLArrayf3 LabelPosition;
    bool LabelVisible = true;

    bool Flying() const { return FExplosionStep == 0; }
    // Advances the spin counter, wrapping to 0 after the largest value.
    void NextSpinStep();

private:
    const TGameEnemyList* FParentList;
    std::uint64_t FId;
};
