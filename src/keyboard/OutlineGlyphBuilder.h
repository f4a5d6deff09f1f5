#pragma once

#include <QFont>
#include <QString>
#include <vector>

// Placement of one extruded glyph, in em units (1.0 = the em height), y up
// from the baseline: the glyph's ink box, the ink box's top-left corner
// relative to the pen position, and how far the pen moves on.
struct TGlyphMetricsFloat {
    float gmfBlackBoxX = 0;
    float gmfBlackBoxY = 0;
    float gmfptGlyphOriginX = 0;
    float gmfptGlyphOriginY = 0;
    float gmfCellIncX = 0;
    float gmfCellIncY = 0;
};

// The solid of one extruded glyph as plain triangles: every three entries of
// Positions (and of Normals) are one triangle, x, y, z per entry. The front
// face lies in z = 0 facing +z, the back face in z = -depth; side walls join
// them along every contour. Triangles are wound clockwise as seen from
// outside, the winding the keyboard scene treats as front-facing.
struct TGlyphMesh {
    std::vector<float> Positions;
    std::vector<float> Normals;
    TGlyphMetricsFloat Metrics;
    int TriangleCount() const { return int(Positions.size() / 9); }
};

// Turns characters of a font into extruded three-dimensional glyphs: the
// outline comes from the font (with the desktop's font fallback for
// characters the font lacks, so Hangul, kana and symbols all come out),
// curves are flattened, the filled area is tessellated with the GLU
// tessellator under the non-zero winding rule (holes such as the inside of
// "ㅁ" stay open) and extruded.
class TOutlineGlyphBuilder {
public:
    // The solid of `character` (one character, possibly a surrogate pair)
    // with the given extrusion depth in em units. Needs no OpenGL context.
    static TGlyphMesh BuildMesh(const QFont& font, const QString& character, float extrusion);

    // Compiles the solid into display list `listName` of the current
    // context; the list ends by moving the pen to the next character's place
    // (a translation by the advance along x). A character without outline
    // (a space) gives a list that only advances. Returns false without a
    // current context.
    static bool BuildList(const QFont& font, const QString& character, unsigned int listName,
                          float extrusion, TGlyphMetricsFloat* metrics);
};
