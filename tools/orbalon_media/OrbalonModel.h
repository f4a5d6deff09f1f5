#pragma once

#include "Mesh.h"

#include <string>
#include <vector>

// The Orbalon game's model "SaveMeGame.obj": the turning background plane,
// the Earth (land and a slightly larger cloud shell), a moon and the two
// particles explosions are made of. Every object is centred on the origin;
// the game moves, turns and scales them itself. Scene units: the Earth's
// radius is 50 (the game draws it at 0.6), a moon's 6, a particle's 1.2;
// the background plane is a square of half side 100 at depth z = -120,
// facing the viewer (+z).
std::vector<TMesh> BuildGameModel();

// The model's material library "SaveMeGame.mtl".
std::string GameMaterials();
