#pragma once

#include "gl/GLTypes.h"

#include <cstdint>
#include <vector>

enum TVertexDataType { vdtUInt, vdtFloat };

// A growing list of triples (positions, normals, texture coordinates as
// floats, or triangle index triples as unsigned 32-bit integers) kept flat,
// so that drawing hands the array to OpenGL as it is.
class TVertexList {
public:
    explicit TVertexList(TVertexDataType dataType)
        : FDataType(dataType) {}

    void Add(float x, float y, float z);
    void Add(std::uint32_t p1, std::uint32_t p2, std::uint32_t p3);

    // The flat array (three values per entry), or nullptr when empty.
    const void* GetData() const;
    const float* Floats() const { return FFloats.empty() ? nullptr : FFloats.data(); }
    const std::uint32_t* UInts() const { return FUInts.empty() ? nullptr : FUInts.data(); }
    // Entry i of a float list.
    TGLArrayf3 Item(int i) const;
    // An array of Count() x 3 bytes all set to r, g, b, built on first use.
    const std::uint8_t* GetColor(std::uint8_t r, std::uint8_t g, std::uint8_t b);

    // Number of entries (triples).
    int Count() const;
    // Bytes in the flat array.
    int DataLen() const { return Count() * 12; }
    TVertexDataType DataType() const { return FDataType; }
    void Clear();
    void Reserve(int entries);

private:
    TVertexDataType FDataType;
    std::vector<float> FFloats;
    std::vector<std::uint32_t> FUInts;
    std::vector<std::uint8_t> FColorData;
};
