#pragma once

#include "gl/GLTypes.h"

#include <QString>

// One material of an MTL library. Texture file names are full paths.
// Blend is the per-draw colour override a material-property handler may set.
class TMaterialItem {
public:
    QString Name;
    QString map_ka;
    QString map_kd;
    QString map_ks;
    int illum = 0;
    float Tr = 0;
    TLight Ambient;
    TLight Diffuse;
    TLight Specular;
    TLight Emission;
    TLight Tf;
    TLight Filter;
    TLight Blend;

    bool HasTexture() const { return !map_ka.isEmpty() || !map_kd.isEmpty(); }
};
