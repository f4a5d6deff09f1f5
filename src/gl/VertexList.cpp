#include "gl/VertexList.h"

void TVertexList::Add(float x, float y, float z) {
    FFloats.insert(FFloats.end(), {x, y, z});
}

void TVertexList::Add(std::uint32_t p1, std::uint32_t p2, std::uint32_t p3) {
    FUInts.insert(FUInts.end(), {p1, p2, p3});
}

const void* TVertexList::GetData() const {
    if (FDataType == vdtFloat)
        return Floats();
    return UInts();
}

TGLArrayf3 TVertexList::Item(int i) const {
    const std::size_t at = std::size_t(i) * 3;
    return {FFloats[at], FFloats[at + 1], FFloats[at + 2]};
}

const std::uint8_t* TVertexList::GetColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (FColorData.empty() && Count() > 0) {
        FColorData.resize(std::size_t(Count()) * 3);
        for (std::size_t i = 0; i < FColorData.size(); i += 3) {
            FColorData[i] = r;
            FColorData[i + 1] = g;
            FColorData[i + 2] = b;
        }
    }
    return FColorData.empty() ? nullptr : FColorData.data();
}

int TVertexList::Count() const {
    return int((FDataType == vdtFloat ? FFloats.size() : FUInts.size()) / 3);
}

void TVertexList::Clear() {
    FFloats.clear();
    FUInts.clear();
    FColorData.clear();
}

void TVertexList::Reserve(int entries) {
    if (FDataType == vdtFloat)
        FFloats.reserve(std::size_t(entries) * 3);
    else
        FUInts.reserve(std::size_t(entries) * 3);
}
