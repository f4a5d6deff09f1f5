#pragma once

#include "../menu_media/Mesh.h"

#include <string>
#include <vector>

// The keyboard practice model: a full-size keyboard (the 53 drilled keys as
// one object each, a decorative bottom row, a graphite case with a recessed
// plate, a name plate and three indicator lamps), eight fingers, the
// translucent problem shell, the cloud sky and the lightning bolt.
//
// Units are millimetres of a real keyboard scaled to 16 per key: the scene
// draws the model at the panel's scale with the keys in the plane z = 0 to
// 7.5, facing the camera.

// Size of the key-cap picture the key UVs are laid out for: cells 60 pixels
// high and 60 x Width wide from the top left, rows 1 to 4; the strip right of
// x = 900 carries no labels and dresses the decorative keys.
constexpr int kKeyCapPictureWidth = 1024;
constexpr int kKeyCapPictureHeight = 256;

// The case picture: graphite with the name plate's lettering.
constexpr int kCasePictureWidth = 1024;
constexpr int kCasePictureHeight = 512;

// Where the case's top face lies in model units; the case picture is painted
// in these coordinates.
struct TCaseArea {
    double Left, Bottom, Right, Top;
};
TCaseArea CaseArea();
// The name plate above the keys and the three lamps, in model units.
struct TLampPlace {
    double X, Y;
    const char* Label;
};
std::vector<TLampPlace> LampPlaces();
double NamePlateY();
double NamePlateX();

std::vector<TMesh> BuildKeyboardModel();
std::string KeyboardMaterials(const std::string& firstKeyCapPicture);
