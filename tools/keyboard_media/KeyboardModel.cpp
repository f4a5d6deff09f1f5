#include "KeyboardModel.h"

#include "app/KeyboardLayouts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// One key unit and the gap between neighbouring caps.
constexpr double kPitch = 16;
constexpr double kCapGap = 1.6;
// Key caps stand on the plate from z = 1 to the top; the top is narrower
// than the foot by kCapTaper on every side.
constexpr double kCapFoot = 1.0;
constexpr double kCapHeight = 7.5;
constexpr double kCapTaper = 1.8;
constexpr double kCapBevel = 1.5;
// Top edge of the key area; rows run down from it.
constexpr double kKeysTop = 12;
constexpr double kKeysHalfWidth = 7.5 * kPitch;
// Case margins around the key area.
constexpr double kCaseSide = 9, kCaseBottom = 7, kCaseTop = 20;
constexpr double kCaseTopZ = 1.0, kCaseBottomZ = -14, kBezelTopZ = 3.2;

constexpr const char* kKeyCapMaterial = "KeyCap_Material";

double RowCentreY(int row) {
    return kKeysTop - (row - 0.5) * kPitch;
}

// The pixel rectangle of a key's cell in the key-cap picture.
struct TCell {
    int X0, Y0, X1, Y1;
};

// Texture coordinate of a picture pixel; picture row 0 is the top, texture
// row 0 the bottom.
double U(double px) {
    return px / kKeyCapPictureWidth;
}
double V(double py) {
    return 1.0 - py / kKeyCapPictureHeight;
}

// A key cap: a rounded box whose top is drawn in and slightly dished, with
// the cell spread over the top face and its bevel; the sides carry the
// cell's edge colour. Centred on (cx, cy) in x and y, foot at kCapFoot.
TMesh KeyCap(const std::string& name, double cx, double cy, double widthUnits, const TCell& cell) {
    const double hx = widthUnits * kPitch / 2 - kCapGap / 2;
    const double hy = kPitch / 2 - kCapGap / 2;
    const double hz = kCapHeight / 2;
    // The picture covers the top out to part of the bevel. The sides show
    // the band along the cell's matching edge, running up into the cell
    // with the height, so the material goes on round the cap.
    const double spanX = hx - kCapBevel * 0.35, spanY = hy - kCapBevel * 0.35;
    const double inset = 1.0; // pixels kept off the cell border
    const double band = 3.0;  // pixels of the cell a side shows, clear of the labels
    // The box is built with its height along y, so that the face it leaves
    // out is the foot, then stood up: box (x, y, z) becomes (x, -z, y).
    TMesh cap = RoundedBox(
        kKeyCapMaterial, {hx, hz, hy}, kCapBevel, 2,
        [&](int axis, int sign, TVec3 q, TVec3, double& u, double& v) {
            const TVec3 p{q.x, -q.z, q.y};
            double sx = std::clamp((p.x + spanX) / (2 * spanX), 0.0, 1.0);
            double sy = std::clamp((spanY - p.y) / (2 * spanY), 0.0, 1.0);
            const double w = cell.X1 - cell.X0 - 2 * inset, h = cell.Y1 - cell.Y0 - 2 * inset;
            // Below the top's rounded edge: 0 at the edge, 1 at the foot.
            const double down = std::clamp((hz - kCapBevel - p.z) / (2 * hz - kCapBevel), 0.0, 1.0);
            const bool side = p.z < hz - kCapBevel;
            if (axis == 0 && side)
                sx = sign > 0 ? 1 - band / w * down : band / w * down;
            else if (axis == 2 && side) // box +z is the front (-y)
                sy = sign > 0 ? 1 - band / h * down : band / h * down;
            u = U(cell.X0 + inset + sx * w);
            v = V(cell.Y0 + inset + sy * h);
        },
        false);
    cap.Apply(TTransform::RotateX(90));
    // Draw the top in: each side leans inwards by kCapTaper over the
    // height, and the top is hollowed a little along x like a sculpted cap.
    for (TMeshVertex& vertex : cap.Vertices) {
        const double t = (vertex.p.z + hz) / (2 * hz);
        const double sx = (hx - kCapTaper * t) / hx, sy = (hy - kCapTaper * t) / hy;
        vertex.p.x *= sx;
        vertex.p.y *= sy;
        if (vertex.p.z > hz - 0.01) {
            const double r = vertex.p.y / (hy - kCapTaper);
            vertex.p.z -= 0.45 * (1 - std::min(1.0, r * r));
        }
        const double side = std::sqrt(vertex.n.x * vertex.n.x + vertex.n.y * vertex.n.y);
        vertex.n.z += side * kCapTaper / (2 * hz);
        vertex.n = Normalized(vertex.n);
    }
    cap.Apply(TTransform::Translate({cx, cy, kCapFoot + hz}));
    cap.Name = name;
    return cap;
}

// The 53 drilled keys, row by row as in the physical key table, each cell
// following the previous one in its row.
void AddDrilledKeys(std::vector<TMesh>& meshes) {
    double unitsX = 0;
    int pixelX = 0;
    for (int i = 0; i < kKeyCount; ++i) {
        const TPhysicalKey& key = PhysicalKey(i);
        if (key.Col == 1) {
            unitsX = 0;
            pixelX = 0;
        }
        const int cellWidth = int(60 * key.Width);
        const int top = (key.Row - 1) * 60;
        const TCell cell{pixelX, top, pixelX + cellWidth, top + 60};
        std::string name = "key_" + std::to_string(key.Key);
        if (i == kLeftShiftIndex)
            name = "key_lshift_16";
        else if (i == kRightShiftIndex)
            name = "key_rshift_16";
        const double cx = -kKeysHalfWidth + (unitsX + key.Width / 2) * kPitch;
        meshes.push_back(KeyCap(name, cx, RowCentreY(key.Row), key.Width, cell));
        unitsX += key.Width;
        pixelX += cellWidth;
    }
}

// The bottom row (Ctrl, Windows, Alt, 한자, space, 한/영, Alt, menu, Ctrl)
// is not drilled: one object whose caps show the picture's unlabelled strip.
TMesh DecorativeRow() {
    TMesh row("Deco_BottomRow");
    const double widths[] = {1.5, 1.25, 1.25, 1.0, 5.0, 1.0, 1.25, 1.25, 1.5};
    const TCell strip{904, 4, 1020, 236};
    double unitsX = 0;
    for (double w : widths) {
        const double cx = -kKeysHalfWidth + (unitsX + w / 2) * kPitch;
        row.Append(KeyCap("deco", cx, RowCentreY(5), w, strip));
        unitsX += w;
    }
    return row;
}

// Planar mapping of the case picture over the case's top face.
void CaseUV(TVec3 p, double& u, double& v) {
    const TCaseArea area = CaseArea();
    u = (p.x - area.Left) / (area.Right - area.Left);
    v = (p.y - area.Bottom) / (area.Top - area.Bottom);
}

TMesh Bar(const std::string& material, double x0, double y0, double x1, double y1, double z0,
          double z1, double radius) {
    TMesh bar = RoundedBox(material, {(x1 - x0) / 2, (y1 - y0) / 2, (z1 - z0) / 2}, radius, 2,
                           [](int, int, TVec3, TVec3, double&, double&) {});
    bar.Apply(TTransform::Translate({(x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2}));
    return bar;
}

// Gives a mesh's vertices the case picture's coordinates where they are.
void MapToCase(TMesh& mesh) {
    for (TMeshVertex& vertex : mesh.Vertices)
        CaseUV(vertex.p, vertex.u, vertex.v);
}

// Graphite case: a rounded base, a raised bezel round the key area with the
// name plate above the keys, a dark plate the keys stand on, three lamps.
TMesh Case() {
    TMesh body("Case_Body");
    const TCaseArea a = CaseArea();
    TMesh base = Bar("Case_Material", a.Left, a.Bottom, a.Right, a.Top, kCaseBottomZ, kCaseTopZ, 4);
    const double keysLeft = -kKeysHalfWidth - 1.5, keysRight = kKeysHalfWidth + 1.5;
    const double keysBottom = RowCentreY(5) - kPitch / 2 - 1.5, keysTop = kKeysTop + 1.5;
    const double z0 = kCaseTopZ - 0.5;
    TMesh bezel = Bar("Case_Material", a.Left, a.Bottom, keysLeft, a.Top, z0, kBezelTopZ, 1.4);
    bezel.Append(Bar("Case_Material", keysRight, a.Bottom, a.Right, a.Top, z0, kBezelTopZ, 1.4));
    bezel.Append(
        Bar("Case_Material", a.Left + 2, a.Bottom, a.Right - 2, keysBottom, z0, kBezelTopZ, 1.4));
    bezel.Append(
        Bar("Case_Material", a.Left + 2, keysTop, a.Right - 2, a.Top, z0, kBezelTopZ, 1.4));
    MapToCase(base);
    MapToCase(bezel);
    body.Append(base);
    body.Append(bezel);
    body.Append(Bar("Plate_Material", keysLeft - 0.5, keysBottom - 0.5, keysRight + 0.5,
                    keysTop + 0.5, kCaseTopZ - 0.2, kCaseTopZ + 0.15, 0.6));
    for (const TLampPlace& lamp : LampPlaces())
        body.Append(Bar("Lamp_Material", lamp.X - 2.2, lamp.Y - 0.9, lamp.X + 2.2, lamp.Y + 0.9,
                        kBezelTopZ - 0.3, kBezelTopZ + 0.7, 0.45));
    return body;
}

// A smooth curve through the control points (Catmull-Rom), sampled about
// every `step` units.
std::vector<TVec3> SmoothPath(const std::vector<TVec3>& points, double step) {
    std::vector<TVec3> path;
    const int n = int(points.size());
    for (int i = 0; i + 1 < n; ++i) {
        const TVec3 p0 = points[size_t(std::max(i - 1, 0))], p1 = points[size_t(i)];
        const TVec3 p2 = points[size_t(i + 1)], p3 = points[size_t(std::min(i + 2, n - 1))];
        const int samples = std::max(2, int(Length(p2 - p1) / step));
        for (int s = 0; s < samples; ++s) {
            const double t = double(s) / samples, t2 = t * t, t3 = t2 * t;
            path.push_back((p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 +
                            (p1 * 3 - p0 - p2 * 3 + p3) * t3) *
                           0.5);
        }
    }
    path.push_back(points.back());
    return path;
}

// A finger: distal, middle and the start of the proximal phalanx along a
// curve that rises from the fingertip pad on the key back towards the
// palm, with an oval section, swollen knuckles, a rounded tip and a
// fingernail. `size` scales the whole finger (the little finger is the
// smallest), `turn` fans it about z.
TMesh Finger(const std::string& name, double size, double turn) {
    TMesh finger(name);
    // Control points in (y, z): the tip over the pad, the two knuckles and
    // the end; y grows towards the keys' top edge.
    const std::vector<TVec3> controls = {
        {0, 0.0, 5.0}, {0, -10.0, 12.6}, {0, -21.0, 16.8}, {0, -28.0, 18.0}};
    std::vector<TVec3> path = SmoothPath(controls, 1.3);
    // Radius along the path: fingertip, first knuckle, middle, second
    // knuckle, end.
    auto radiusAt = [&](double t) {
        const double knuckle1 = 0.3, knuckle2 = 0.72;
        double r = 4.0 + 2.0 * t;
        r += 0.45 * std::exp(-std::pow((t - knuckle1) / 0.06, 2));
        r += 0.55 * std::exp(-std::pow((t - knuckle2) / 0.06, 2));
        return r;
    };
    const int segments = 24;
    std::vector<TVec3> centres;
    std::vector<double> radii, along;
    const int count = int(path.size());
    // Tangent at each sample, from the tip towards the palm.
    auto tangent = [&](int i) {
        const TVec3 a = path[size_t(std::max(i - 1, 0))],
                    b = path[size_t(std::min(i + 1, count - 1))];
        return Normalized(b - a);
    };
    // Rounded ends: rings shrinking as a quarter circle before the first
    // and after the last sample.
    const int capRings = 7;
    std::vector<TVec3> tangents;
    const double r0 = radiusAt(0), r1 = radiusAt(1);
    for (int k = capRings; k >= 1; --k) {
        const double a = kPi / 2 * k / capRings;
        centres.push_back(path.front() - tangent(0) * (r0 * 0.95 * std::sin(a)));
        radii.push_back(r0 * std::cos(a));
        tangents.push_back(tangent(0));
        along.push_back(0);
    }
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / (count - 1);
        centres.push_back(path[size_t(i)]);
        radii.push_back(radiusAt(t));
        tangents.push_back(tangent(i));
        along.push_back(t);
    }
    for (int k = 1; k <= capRings; ++k) {
        const double a = kPi / 2 * k / capRings;
        centres.push_back(path.back() + tangent(count - 1) * (r1 * 0.8 * std::sin(a)));
        radii.push_back(r1 * std::cos(a));
        tangents.push_back(tangent(count - 1));
        along.push_back(1);
    }
    const TVec3 side{1, 0, 0};
    std::vector<std::vector<int>> rings;
    for (size_t i = 0; i < centres.size(); ++i) {
        const TVec3 up = Normalized(Cross(tangents[i], side));
        // Wider than high, and flatter on the pad side.
        const double a = radii[i] * 1.08, b = radii[i] * 0.9;
        std::vector<int> ring;
        for (int j = 0; j <= segments; ++j) {
            const double th = 2 * kPi * j / segments;
            const double squash = std::sin(th) < 0 ? 0.85 : 1.0;
            const TVec3 p =
                centres[i] + side * (a * std::cos(th)) + up * (b * squash * std::sin(th));
            const TVec3 n = side * (std::cos(th) / a) + up * (std::sin(th) / (b * squash));
            ring.push_back(finger.AddVertex(p, n, double(j) / segments, along[i]));
        }
        rings.push_back(std::move(ring));
    }
    for (size_t i = 0; i + 1 < rings.size(); ++i)
        for (int j = 0; j < segments; ++j)
            finger.AddQuad("Finger_Material", rings[i][size_t(j)], rings[i][size_t(j + 1)],
                           rings[i + 1][size_t(j + 1)], rings[i + 1][size_t(j)]);

    // The nail: a thin curved plate on the back of the distal phalanx.
    {
        const int along1 = capRings + 1, along2 = capRings + int(count * 0.3);
        const int across = 9;
        std::vector<std::vector<int>> grid;
        for (int i = along1; i <= along2; ++i) {
            const TVec3 up = Normalized(Cross(tangents[size_t(i)], side));
            const double t = double(i - along1) / (along2 - along1);
            const double half = 0.52 + 0.08 * std::sin(t * kPi);
            std::vector<int> row;
            for (int j = 0; j <= across; ++j) {
                const double th = kPi / 2 + (double(j) / across - 0.5) * 2 * half;
                const double a = radii[size_t(i)] * 1.08 + 0.5, b = radii[size_t(i)] * 0.9 + 0.5;
                const TVec3 p =
                    centres[size_t(i)] + side * (a * std::cos(th)) + up * (b * std::sin(th));
                const TVec3 n = side * (std::cos(th) / a) + up * (std::sin(th) / b);
                row.push_back(finger.AddVertex(p, n, double(j) / across, t));
            }
            grid.push_back(std::move(row));
        }
        for (size_t i = 0; i + 1 < grid.size(); ++i)
            for (int j = 0; j < across; ++j)
                finger.AddQuad("Finger_Material", grid[i][size_t(j)], grid[i][size_t(j + 1)],
                               grid[i + 1][size_t(j + 1)], grid[i + 1][size_t(j)]);
    }

    finger.Apply(TTransform::Scale(size, size, size));
    finger.Apply(TTransform::RotateZ(turn));
    // The pad: the lowest point, moved to the origin.
    TVec3 pad{0, 0, std::numeric_limits<double>::max()};
    for (const TMeshVertex& vertex : finger.Vertices)
        if (vertex.p.z < pad.z)
            pad = vertex.p;
    finger.Apply(TTransform::Translate(pad * -1.0));

    // The scene sets a finger on its key by the centre of the finger's
    // bounds. One vertex used by no face mirrors the far corner of the
    // bounds through the pad, so that centre is the pad: the fingertip rests
    // on the middle of the key top and the rest of the finger rises back
    // towards the learner.
    TVec3 lo{1e9, 1e9, 1e9}, hi{-1e9, -1e9, -1e9};
    for (const TMeshVertex& vertex : finger.Vertices) {
        lo = {std::min(lo.x, vertex.p.x), std::min(lo.y, vertex.p.y), std::min(lo.z, vertex.p.z)};
        hi = {std::max(hi.x, vertex.p.x), std::max(hi.y, vertex.p.y), std::max(hi.z, vertex.p.z)};
    }
    auto mirror = [](double l, double h) { return -l > h ? -l : -h; };
    finger.AddVertex({mirror(lo.x, hi.x), mirror(lo.y, hi.y), mirror(lo.z, hi.z)}, {0, 0, 1}, 0, 0);
    return finger;
}

void AddFingers(std::vector<TMesh>& meshes) {
    struct TFinger {
        const char* Name;
        double Size;
        double Turn; // degrees about z; negative swings the palm end to the left
    };
    // Left hand from the little finger in, right hand from the index finger
    // out; each hand's fingers run back towards its palm, below the middle
    // of its four home keys.
    const TFinger fingers[] = {
        {"Finger_Left5", 0.80, 12},  {"Finger_Left4", 0.93, 5},    {"Finger_Left3", 1.0, -1},
        {"Finger_Left2", 0.96, -6},  {"Finger_Right2", 0.96, 6},   {"Finger_Right3", 1.0, 1},
        {"Finger_Right4", 0.93, -5}, {"Finger_Right5", 0.80, -12},
    };
    for (const TFinger& f : fingers)
        meshes.push_back(Finger(f.Name, f.Size, f.Turn));
}

} // namespace

TCaseArea CaseArea() {
    return {-kKeysHalfWidth - kCaseSide, RowCentreY(5) - kPitch / 2 - kCaseBottom,
            kKeysHalfWidth + kCaseSide, kKeysTop + kCaseTop};
}

std::vector<TLampPlace> LampPlaces() {
    return {{kKeysHalfWidth - 34, kKeysTop + 12, "Num"},
            {kKeysHalfWidth - 20, kKeysTop + 12, "Caps"},
            {kKeysHalfWidth - 6, kKeysTop + 12, "Scroll"}};
}

double NamePlateX() {
    return -kKeysHalfWidth + 2;
}

double NamePlateY() {
    return kKeysTop + 10;
}

std::vector<TMesh> BuildKeyboardModel() {
    std::vector<TMesh> meshes;
    AddDrilledKeys(meshes);
    meshes.push_back(DecorativeRow());
    meshes.push_back(Case());
    // Translucent parts after the opaque ones.
    AddFingers(meshes);
    TMesh shell = Sphere("Shell_Material", 20, 48, 24);
    shell.Apply(TTransform::Translate({0, 52, 0}));
    shell.Name = "ProblemShell";
    meshes.push_back(shell);
    // The sky behind everything; the scene stretches it over the view.
    TMesh sky = Rectangle("BackMat", -300, -170, 300, 170, -60, 0, 0, 3, 1.7);
    sky.Name = "BackPlane";
    meshes.push_back(sky);
    // The bolt: the scene moves it down and to the left over eight ticks and
    // draws a second one further right; placed here, the first stroke
    // already reaches into the view and the last ones strike the keys.
    TMesh bolt = Rectangle("ThunderMat", -35, -10, -5, 110, 12, 0, 0, 1, 1);
    bolt.Name = "ThunderPlane";
    meshes.push_back(bolt);
    return meshes;
}

std::string KeyboardMaterials(const std::string& firstKeyCapPicture) {
    struct TMaterial {
        const char* Name;
        double Kd[3];
        double Ks;
        double Tr;
        std::string Map;
    };
    const TMaterial materials[] = {
        // The scene puts the chosen key-cap picture in place of this one.
        {kKeyCapMaterial, {1, 1, 1}, 0.3, 0, "maps/" + firstKeyCapPicture},
        {"Case_Material", {1, 1, 1}, 0.35, 0, "maps/keyboard_case.png"},
        {"Plate_Material", {0.055, 0.06, 0.07}, 0.15, 0, ""},
        {"Lamp_Material", {0.35, 0.95, 0.45}, 0.9, 0, ""},
        {"Finger_Material", {1.0, 0.875, 0.16}, 0.5, 0.65, ""},
        {"Shell_Material", {1.0, 0.86, 0.72}, 1.0, 0.55, ""},
        {"BackMat", {1, 1, 1}, 0, 0, "maps/white_cloud.png"},
        {"ThunderMat", {1, 1, 1}, 0, 0, "maps/ThunderImage.png"},
    };
    std::string text = "# Materials of the Ravlin keyboard practice model.\n";
    char line[160];
    for (const TMaterial& m : materials) {
        text += std::string("\nnewmtl ") + m.Name + "\n";
        std::snprintf(line, sizeof line, "Ka %.4f %.4f %.4f\nKd %.4f %.4f %.4f\n", m.Kd[0] * 0.6,
                      m.Kd[1] * 0.6, m.Kd[2] * 0.6, m.Kd[0], m.Kd[1], m.Kd[2]);
        text += line;
        std::snprintf(line, sizeof line, "Ks %.4f %.4f %.4f\nTr %.4f\nillum 2\n", m.Ks, m.Ks, m.Ks,
                      m.Tr);
        text += line;
        if (!m.Map.empty())
            text += "map_Kd " + m.Map + "\n";
    }
    return text;
}
