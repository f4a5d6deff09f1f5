#include "keyboard/OutlineGlyphBuilder.h"

#include <algorithm>
#include <cmath>
#include <GL/gl.h>
#include <GL/glu.h>
#include <memory>
#include <QGlyphRun>
#include <QOpenGLContext>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

namespace {

// Outlines are read at this pixel size and then scaled to em units; at 64
// pixels the flattened curves stay smooth when the glyph fills a key cap.
constexpr qreal kOutlinePixelSize = 64;

// Collects the tessellator's triangles. The edge-flag callback makes GLU
// hand out separate triangles only (no fans or strips).
struct TTessState {
    std::vector<double> Triangles; // x, y per corner
    // Vertices made by the combine callback live as long as the state.
    std::vector<std::unique_ptr<double[]>> Combined;
};

void APIENTRY TessBegin(GLenum, void*) {}
void APIENTRY TessEnd(void*) {}
void APIENTRY TessEdgeFlag(GLboolean, void*) {}
void APIENTRY TessVertex(void* vertex, void* data) {
    auto* state = static_cast<TTessState*>(data);
    const auto* v = static_cast<const double*>(vertex);
    state->Triangles.push_back(v[0]);
    state->Triangles.push_back(v[1]);
}
void APIENTRY TessCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* data) {
    auto* state = static_cast<TTessState*>(data);
    auto vertex = std::make_unique<double[]>(3);
    std::copy(coords, coords + 3, vertex.get());
    *out = vertex.get();
    state->Combined.push_back(std::move(vertex));
}

struct TTessDelete {
    void operator()(GLUtesselator* tess) const { gluDeleteTess(tess); }
};

double SignedArea(const QPolygonF& contour) {
    double area = 0;
    for (int i = 0, n = int(contour.size()); i < n; ++i) {
        const QPointF& a = contour[i];
        const QPointF& b = contour[(i + 1) % n];
        area += a.x() * b.y() - b.x() * a.y();
    }
    return area / 2;
}

void Put(std::vector<float>& list, double x, double y, double z) {
    list.push_back(float(x));
    list.push_back(float(y));
    list.push_back(float(z));
}

} // namespace

TGlyphMesh TOutlineGlyphBuilder::BuildMesh(const QFont& font, const QString& character,
                                           float extrusion) {
    TGlyphMesh mesh;
    QFont outlineFont = font;
    outlineFont.setPixelSize(int(kOutlinePixelSize));
    outlineFont.setHintingPreference(QFont::PreferNoHinting);

    // A one-line layout applies the desktop's font fallback, so each glyph
    // run names the font that really has the character.
    QTextLayout layout(character, outlineFont);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return mesh;
    QPainterPath path;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (int i = 0; i < indexes.size(); ++i)
            path.addPath(raw.pathForGlyph(indexes[i]).translated(positions.value(i)));
    }
    const double em = kOutlinePixelSize;
    const double ascent = line.ascent();
    mesh.Metrics.gmfCellIncX = float(line.horizontalAdvance() / em);

    // Contours in em units, y up from the baseline; closing points dropped.
    std::vector<QPolygonF> contours;
    for (QPolygonF polygon : path.toSubpathPolygons()) {
        if (polygon.size() > 1 && polygon.first() == polygon.last())
            polygon.removeLast();
        if (polygon.size() < 3)
            continue;
        for (QPointF& p : polygon)
            p = QPointF(p.x() / em, (ascent - p.y()) / em);
        contours.push_back(polygon);
    }
    if (contours.empty())
        return mesh;

    QRectF box;
    for (const QPolygonF& c : contours)
        box = box.united(c.boundingRect());
    mesh.Metrics.gmfBlackBoxX = float(box.width());
    mesh.Metrics.gmfBlackBoxY = float(box.height());
    mesh.Metrics.gmfptGlyphOriginX = float(box.left());
    mesh.Metrics.gmfptGlyphOriginY = float(box.bottom());

    // Faces: tessellate the filled area once.
    TTessState state;
    std::unique_ptr<GLUtesselator, TTessDelete> tess(gluNewTess());
    gluTessCallback(tess.get(), GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(TessBegin));
    gluTessCallback(tess.get(), GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(TessEnd));
    gluTessCallback(tess.get(), GLU_TESS_EDGE_FLAG_DATA,
                    reinterpret_cast<_GLUfuncptr>(TessEdgeFlag));
    gluTessCallback(tess.get(), GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(TessVertex));
    gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(TessCombine));
    gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess.get(), 0, 0, 1);
    std::vector<std::vector<double>> coords(contours.size());
    gluTessBeginPolygon(tess.get(), &state);
    for (std::size_t c = 0; c < contours.size(); ++c) {
        coords[c].reserve(std::size_t(contours[c].size()) * 3);
        for (const QPointF& p : contours[c]) {
            coords[c].push_back(p.x());
            coords[c].push_back(p.y());
            coords[c].push_back(0);
        }
        gluTessBeginContour(tess.get());
        for (std::size_t i = 0; i < coords[c].size(); i += 3)
            gluTessVertex(tess.get(), &coords[c][i], &coords[c][i]);
        gluTessEndContour(tess.get());
    }
    gluTessEndPolygon(tess.get());

    const double depth = extrusion;
    const std::vector<double>& t = state.Triangles;
    for (std::size_t i = 0; i + 6 <= t.size(); i += 6) {
        // GLU gives counter-clockwise triangles about +z; clockwise from
        // outside means reversing them for the front face.
        Put(mesh.Positions, t[i], t[i + 1], 0);
        Put(mesh.Positions, t[i + 4], t[i + 5], 0);
        Put(mesh.Positions, t[i + 2], t[i + 3], 0);
        for (int k = 0; k < 3; ++k)
            Put(mesh.Normals, 0, 0, 1);
        Put(mesh.Positions, t[i], t[i + 1], -depth);
        Put(mesh.Positions, t[i + 2], t[i + 3], -depth);
        Put(mesh.Positions, t[i + 4], t[i + 5], -depth);
        for (int k = 0; k < 3; ++k)
            Put(mesh.Normals, 0, 0, -1);
    }

    // Side walls. Fonts wind outer contours one way and holes the other;
    // the largest contour is certainly an outer one and tells which way.
    const auto largest = std::max_element(
        contours.begin(), contours.end(), [](const QPolygonF& a, const QPolygonF& b) {
            return std::abs(SignedArea(a)) < std::abs(SignedArea(b));
        });
    const double outward = SignedArea(*largest) > 0 ? 1 : -1;
    for (const QPolygonF& contour : contours) {
        for (int i = 0, n = int(contour.size()); i < n; ++i) {
            const QPointF a = contour[i];
            const QPointF b = contour[(i + 1) % n];
            double nx = (b.y() - a.y()) * outward;
            double ny = -(b.x() - a.x()) * outward;
            const double length = std::hypot(nx, ny);
            if (length <= 0)
                continue;
            nx /= length;
            ny /= length;
            // Quad a-front, b-front, b-back, a-back is clockwise seen along
            // (dy, -dx) of the edge a->b; reversed when that points inwards.
            const QPointF& p = outward > 0 ? a : b;
            const QPointF& q = outward > 0 ? b : a;
            Put(mesh.Positions, p.x(), p.y(), 0);
            Put(mesh.Positions, q.x(), q.y(), 0);
            Put(mesh.Positions, q.x(), q.y(), -depth);
            Put(mesh.Positions, p.x(), p.y(), 0);
            Put(mesh.Positions, q.x(), q.y(), -depth);
            Put(mesh.Positions, p.x(), p.y(), -depth);
            for (int k = 0; k < 6; ++k)
                Put(mesh.Normals, nx, ny, 0);
        }
    }
    return mesh;
}

bool TOutlineGlyphBuilder::BuildList(const QFont& font, const QString& character,
                                     unsigned int listName, float extrusion,
                                     TGlyphMetricsFloat* metrics) {
    if (!QOpenGLContext::currentContext())
        return false;
    const TGlyphMesh mesh = BuildMesh(font, character, extrusion);
    if (metrics)
        *metrics = mesh.Metrics;
    glNewList(listName, GL_COMPILE);
    if (!mesh.Positions.empty()) {
        glBegin(GL_TRIANGLES);
        for (std::size_t i = 0; i + 3 <= mesh.Positions.size(); i += 3) {
            glNormal3fv(&mesh.Normals[i]);
            glVertex3fv(&mesh.Positions[i]);
        }
        glEnd();
    }
    glTranslatef(mesh.Metrics.gmfCellIncX, mesh.Metrics.gmfCellIncY, 0);
    glEndList();
    return true;
}
