#pragma once

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

// Small geometry toolkit for the menu model: named objects made of
// triangles with per-corner normals and texture coordinates, built from a
// few primitives and written as the OBJ subset the program's loader reads
// ("# object" names, triangles only, three-number texture coordinates).

struct TVec3 {
    double x = 0, y = 0, z = 0;
};

inline TVec3 operator+(TVec3 a, TVec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline TVec3 operator-(TVec3 a, TVec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline TVec3 operator*(TVec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double Dot(TVec3 a, TVec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline TVec3 Cross(TVec3 a, TVec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(TVec3 a) {
    return std::sqrt(Dot(a, a));
}
inline TVec3 Normalized(TVec3 a) {
    const double l = Length(a);
    return l > 1e-12 ? a * (1.0 / l) : TVec3{0, 0, 1};
}

constexpr double kPi = 3.14159265358979323846;

// A rigid transform: rotation matrix and translation.
struct TTransform {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    TVec3 t;

    TVec3 Point(TVec3 p) const { return Direction(p) + t; }
    TVec3 Direction(TVec3 d) const {
        return {m[0][0] * d.x + m[0][1] * d.y + m[0][2] * d.z,
                m[1][0] * d.x + m[1][1] * d.y + m[1][2] * d.z,
                m[2][0] * d.x + m[2][1] * d.y + m[2][2] * d.z};
    }
    // This transform applied after `inner`.
    TTransform After(const TTransform& inner) const;

    static TTransform Translate(TVec3 t);
    static TTransform RotateX(double degrees);
    static TTransform RotateY(double degrees);
    static TTransform RotateZ(double degrees);
    static TTransform Scale(double sx, double sy, double sz);
};

struct TMeshVertex {
    TVec3 p;
    TVec3 n;
    double u = 0, v = 0;
};

// One named object: vertices and triangles grouped by material. Triangles
// are given counter-clockwise as seen from outside (the usual convention);
// the writer turns them round for the menu, which draws clockwise front faces.
class TMesh {
public:
    explicit TMesh(std::string name)
        : Name(std::move(name)) {}

    int AddVertex(TVec3 p, TVec3 n, double u, double v);
    void AddTriangle(const std::string& material, int a, int b, int c);
    // A quad a-b-c-d, counter-clockwise from outside.
    void AddQuad(const std::string& material, int a, int b, int c, int d);
    // Appends another mesh's vertices and triangles.
    void Append(const TMesh& other);
    void Apply(const TTransform& transform);

    struct TPart {
        std::string Material;
        std::vector<std::array<int, 3>> Triangles;
    };

    std::string Name;
    std::vector<TMeshVertex> Vertices;
    std::vector<TPart> Parts;
};

// Texture coordinates of a point with its normal.
using TUVFunc = std::function<void(TVec3 p, TVec3 n, double& u, double& v)>;
// The same for a box side: `axis` (0 x, 1 y, 2 z) and `sign` name the side
// the point belongs to (its rounded bands included).
using TBoxUVFunc = std::function<void(int axis, int sign, TVec3 p, TVec3 n, double& u, double& v)>;
// The same for a lathe: `run` counts the stretches between seams and creases.
using TLatheUVFunc = std::function<void(int run, TVec3 p, TVec3 n, double& u, double& v)>;

// A box with rounded edges and corners (radius r), half extents h, centred
// on the origin. The bottom face is left out when `bottom` is false.
// Vertices are spaced evenly in angle over the rounded bands.
TMesh RoundedBox(const std::string& material, TVec3 h, double r, int bandSteps,
                 const TBoxUVFunc& uv, bool bottom = true);

// One point of a lathe profile. A crease is a sharp edge (the normal breaks
// there); a seam only starts new texture coordinates, the surface staying
// smooth.
struct TProfilePoint {
    double r = 0;
    double z = 0;
    bool crease = false;
    bool seam = false;
};

// A surface of revolution about the z axis: `profile` runs from the back
// centre round the rim to the front centre.
TMesh Lathe(const std::string& material, const std::vector<TProfilePoint>& profile, int segments,
            const TLatheUVFunc& uv);

// A UV sphere of radius r (y is the polar axis); u runs with longitude, v
// from the south pole (0) to the north pole (1).
TMesh Sphere(const std::string& material, double r, int slices, int stacks);

// A four-sided frustum standing on the XZ plane: bottom w x d, top inset by
// `inset` on every side, height h. No bottom face.
TMesh Frustum(const std::string& material, double w, double d, double h, double inset,
              const TUVFunc& uv);

// A flat rectangle in the XY plane facing +z, from (x0, y0) to (x1, y1),
// texture coordinates u0..u1, v0..v1.
TMesh Rectangle(const std::string& material, double x0, double y0, double x1, double y1, double z,
                double u0, double v0, double u1, double v1);

// Writes the objects as OBJ text using `mtlName` as material library, under
// a comment line `title`. Fronts are wound clockwise (as the menu draws them)
// or, with `clockwiseFronts` false, counter-clockwise (the panel's default).
std::string
WriteObj(const std::vector<TMesh>& meshes, const std::string& mtlName,
         const std::string& title = "Ravlin main menu: floating objects, sky, rain and lightning.",
         bool clockwiseFronts = true);
