#pragma once

#include "Mesh.h"

#include <string>
#include <vector>

// The objects of the menu model, in drawing order.
std::vector<TMesh> BuildMenuModel();

// The MTL text of the menu's materials (textures in "maps/").
std::string MenuMaterials();
