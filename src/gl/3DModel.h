#pragma once

#include "gl/GLTypes.h"
#include "gl/VertexList.h"

#include <QString>

// One drawable part of a model: the triangles of one object that use one
// material. Every triangle owns its three entries in the vertex, normal and
// (when present) texture-coordinate lists; the index list holds
// (3n, 3n + 1, 3n + 2) for triangle n.
class T3DModel {
public:
    // Bounds start outside any real model so the first vertex sets them.
    static constexpr float kMinStart = 2147483648.0f;
    static constexpr float kMaxStart = -1879048192.0f;

    QString ObjectName;
    QString GroupName;
    QString MaterialName;
    TGLArrayf3 MinPos{kMinStart, kMinStart, kMinStart};
    TGLArrayf3 MaxPos{kMaxStart, kMaxStart, kMaxStart};
    TVertexList VertexList{vdtFloat};
    TVertexList NormalList{vdtFloat};
    TVertexList TextureList{vdtFloat};
    TVertexList VertexIndexList{vdtUInt};

    float CenterX() const { return (MaxPos.x + MinPos.x) / 2; }
    float CenterY() const { return (MaxPos.y + MinPos.y) / 2; }
    float CenterZ() const { return (MaxPos.z + MinPos.z) / 2; }
    float Width() const { return MaxPos.x - MinPos.x; }
    float Height() const { return MaxPos.y - MinPos.y; }
    float Depth() const { return MaxPos.z - MinPos.z; }
};
