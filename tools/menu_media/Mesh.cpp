#include "Mesh.h"

#include <algorithm>
#include <cstdio>

TTransform TTransform::After(const TTransform& inner) const {
    TTransform result;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += m[i][k] * inner.m[k][j];
            result.m[i][j] = sum;
        }
    result.t = Point(inner.t);
    return result;
}

TTransform TTransform::Translate(TVec3 t) {
    TTransform result;
    result.t = t;
    return result;
}

TTransform TTransform::RotateX(double degrees) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    TTransform result;
    result.m[1][1] = c;
    result.m[1][2] = -s;
    result.m[2][1] = s;
    result.m[2][2] = c;
    return result;
}

TTransform TTransform::RotateY(double degrees) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    TTransform result;
    result.m[0][0] = c;
    result.m[0][2] = s;
    result.m[2][0] = -s;
    result.m[2][2] = c;
    return result;
}

TTransform TTransform::RotateZ(double degrees) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    TTransform result;
    result.m[0][0] = c;
    result.m[0][1] = -s;
    result.m[1][0] = s;
    result.m[1][1] = c;
    return result;
}

TTransform TTransform::Scale(double sx, double sy, double sz) {
    TTransform result;
    result.m[0][0] = sx;
    result.m[1][1] = sy;
    result.m[2][2] = sz;
    return result;
}

int TMesh::AddVertex(TVec3 p, TVec3 n, double u, double v) {
    Vertices.push_back({p, Normalized(n), u, v});
    return int(Vertices.size()) - 1;
}

void TMesh::AddTriangle(const std::string& material, int a, int b, int c) {
    // Triangles without area draw nothing; leave them out.
    const TVec3 area = Cross(Vertices[b].p - Vertices[a].p, Vertices[c].p - Vertices[a].p);
    if (Length(area) < 1e-9)
        return;
    auto part = std::find_if(Parts.begin(), Parts.end(),
                             [&](const TPart& p) { return p.Material == material; });
    if (part == Parts.end()) {
        Parts.push_back({material, {}});
        part = Parts.end() - 1;
    }
    part->Triangles.push_back({a, b, c});
}

void TMesh::AddQuad(const std::string& material, int a, int b, int c, int d) {
    AddTriangle(material, a, b, c);
    AddTriangle(material, a, c, d);
}

void TMesh::Append(const TMesh& other) {
    const int base = int(Vertices.size());
    Vertices.insert(Vertices.end(), other.Vertices.begin(), other.Vertices.end());
    for (const TPart& part : other.Parts)
        for (const auto& t : part.Triangles) {
            auto it = std::find_if(Parts.begin(), Parts.end(),
                                   [&](const TPart& p) { return p.Material == part.Material; });
            if (it == Parts.end()) {
                Parts.push_back({part.Material, {}});
                it = Parts.end() - 1;
            }
            it->Triangles.push_back({t[0] + base, t[1] + base, t[2] + base});
        }
}

void TMesh::Apply(const TTransform& transform) {
    // Rotations (and the uniform or axis scales used here) keep normals
    // perpendicular after renormalising when the scale is uniform; for an
    // axis scale the inverse transpose is the diagonal of reciprocals.
    TTransform normalMatrix = transform;
    for (int i = 0; i < 3; ++i) {
        double col = 0;
        for (int k = 0; k < 3; ++k)
            col += transform.m[k][i] * transform.m[k][i];
        for (int k = 0; k < 3; ++k)
            normalMatrix.m[k][i] = transform.m[k][i] / (col > 0 ? col : 1);
    }
    for (TMeshVertex& vertex : Vertices) {
        vertex.p = transform.Point(vertex.p);
        vertex.n = Normalized(normalMatrix.Direction(vertex.n));
    }
}

namespace {

// Sample positions along one axis of a rounded box: the flat span and the
// two rounded bands, evenly spaced in angle.
std::vector<double> BandSamples(double h, double r, int steps) {
    std::vector<double> result;
    const double inner = h - r;
    for (int k = steps; k >= 0; --k)
        result.push_back(-inner - r * std::tan(kPi / 4 * k / steps));
    for (int k = 0; k <= steps; ++k)
        result.push_back(inner + r * std::tan(kPi / 4 * k / steps));
    return result;
}

double Component(TVec3 v, int axis) {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

void SetComponent(TVec3& v, int axis, double value) {
    (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = value;
}

} // namespace

TMesh RoundedBox(const std::string& material, TVec3 h, double r, int bandSteps,
                 const TBoxUVFunc& uv, bool bottom) {
    TMesh mesh("box");
    const TVec3 inner{h.x - r, h.y - r, h.z - r};
    std::vector<double> samples[3] = {BandSamples(h.x, r, bandSteps),
                                      BandSamples(h.y, r, bandSteps),
                                      BandSamples(h.z, r, bandSteps)};
    for (int axis = 0; axis < 3; ++axis) {
        for (int sign = -1; sign <= 1; sign += 2) {
            if (!bottom && axis == 1 && sign < 0)
                continue;
            int b = (axis + 1) % 3, c = (axis + 2) % 3;
            if (sign < 0)
                std::swap(b, c);
            const auto& sb = samples[b];
            const auto& sc = samples[c];
            std::vector<int> ids(sb.size() * sc.size());
            for (size_t i = 0; i < sb.size(); ++i)
                for (size_t j = 0; j < sc.size(); ++j) {
                    TVec3 q;
                    SetComponent(q, axis, sign * Component(h, axis));
                    SetComponent(q, b, sb[i]);
                    SetComponent(q, c, sc[j]);
                    TVec3 clamped = {std::clamp(q.x, -inner.x, inner.x),
                                     std::clamp(q.y, -inner.y, inner.y),
                                     std::clamp(q.z, -inner.z, inner.z)};
                    const TVec3 n = Normalized(q - clamped);
                    const TVec3 p = clamped + n * r;
                    double u = 0, v = 0;
                    uv(axis, sign, p, n, u, v);
                    ids[i * sc.size() + j] = mesh.AddVertex(p, n, u, v);
                }
            for (size_t i = 0; i + 1 < sb.size(); ++i)
                for (size_t j = 0; j + 1 < sc.size(); ++j) {
                    const int a = ids[i * sc.size() + j], b1 = ids[(i + 1) * sc.size() + j];
                    const int c1 = ids[(i + 1) * sc.size() + j + 1], d = ids[i * sc.size() + j + 1];
                    mesh.AddQuad(material, a, b1, c1, d);
                }
        }
    }
    return mesh;
}

TMesh Lathe(const std::string& material, const std::vector<TProfilePoint>& profile, int segments,
            const TLatheUVFunc& uv) {
    TMesh mesh("lathe");
    const int count = int(profile.size());
    // Split the profile into runs at creases and seams; the break point
    // belongs to both runs.
    std::vector<std::vector<int>> runs(1);
    for (int k = 0; k < count; ++k) {
        runs.back().push_back(k);
        if (k > 0 && k + 1 < count && (profile[size_t(k)].crease || profile[size_t(k)].seam))
            runs.push_back({k});
    }
    for (size_t runIndex = 0; runIndex < runs.size(); ++runIndex) {
        const auto& run = runs[runIndex];
        std::vector<std::vector<int>> rings;
        for (size_t idx = 0; idx < run.size(); ++idx) {
            const int k = run[idx];
            // Neighbours for the normal: across a seam the surface goes on,
            // at a crease only this run counts.
            int before = k, after = k;
            if (idx > 0)
                before = run[idx - 1];
            else if (k > 0 && !profile[size_t(k)].crease)
                before = k - 1;
            if (idx + 1 < run.size())
                after = run[idx + 1];
            else if (k + 1 < count && !profile[size_t(k)].crease)
                after = k + 1;
            const double tr = profile[size_t(after)].r - profile[size_t(before)].r;
            const double tz = profile[size_t(after)].z - profile[size_t(before)].z;
            // Outward normal in the (radius, z) plane: the tangent turned a
            // quarter clockwise.
            const double nr = tz, nz = -tr;
            const TProfilePoint& point = profile[size_t(k)];
            std::vector<int> ring;
            for (int s = 0; s <= segments; ++s) {
                const double a = 2 * kPi * s / segments;
                const TVec3 p{point.r * std::cos(a), point.r * std::sin(a), point.z};
                const TVec3 n = Normalized({nr * std::cos(a), nr * std::sin(a), nz});
                double u = 0, v = 0;
                uv(int(runIndex), p, n, u, v);
                ring.push_back(mesh.AddVertex(p, n, u, v));
            }
            rings.push_back(std::move(ring));
        }
        for (size_t k = 0; k + 1 < rings.size(); ++k)
            for (int s = 0; s < segments; ++s)
                mesh.AddQuad(material, rings[k][size_t(s)], rings[k][size_t(s + 1)],
                             rings[k + 1][size_t(s + 1)], rings[k + 1][size_t(s)]);
    }
    return mesh;
}

TMesh Sphere(const std::string& material, double r, int slices, int stacks) {
    TMesh mesh("sphere");
    std::vector<int> ids;
    for (int i = 0; i <= stacks; ++i) {
        const double phi = -kPi / 2 + kPi * i / stacks;
        for (int j = 0; j <= slices; ++j) {
            const double theta = 2 * kPi * j / slices;
            const TVec3 n{std::sin(theta) * std::cos(phi), std::sin(phi),
                          std::cos(theta) * std::cos(phi)};
            ids.push_back(mesh.AddVertex(n * r, n, double(j) / slices, double(i) / stacks));
        }
    }
    const int row = slices + 1;
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j)
            mesh.AddQuad(material, ids[size_t(i * row + j)], ids[size_t(i * row + j + 1)],
                         ids[size_t((i + 1) * row + j + 1)], ids[size_t((i + 1) * row + j)]);
    return mesh;
}

namespace {

// A flat quad with its own normal, ordered so that it faces `outward`.
void FlatQuad(TMesh& mesh, const std::string& material, TVec3 a, TVec3 b, TVec3 c, TVec3 d,
              TVec3 outward, const TUVFunc& uv) {
    TVec3 n = Normalized(Cross(b - a, c - a));
    if (Dot(n, outward) < 0) {
        std::swap(b, d);
        n = n * -1.0;
    }
    int ids[4];
    const TVec3 corners[4] = {a, b, c, d};
    for (int i = 0; i < 4; ++i) {
        double u = 0, v = 0;
        uv(corners[i], n, u, v);
        ids[i] = mesh.AddVertex(corners[i], n, u, v);
    }
    mesh.AddQuad(material, ids[0], ids[1], ids[2], ids[3]);
}

} // namespace

TMesh Frustum(const std::string& material, double w, double d, double h, double inset,
              const TUVFunc& uv) {
    TMesh mesh("frustum");
    const double bx = w / 2, bz = d / 2, tx = bx - inset, tz = bz - inset;
    const TVec3 b0{-bx, 0, bz}, b1{bx, 0, bz}, b2{bx, 0, -bz}, b3{-bx, 0, -bz};
    const TVec3 t0{-tx, h, tz}, t1{tx, h, tz}, t2{tx, h, -tz}, t3{-tx, h, -tz};
    FlatQuad(mesh, material, t0, t1, t2, t3, {0, 1, 0}, uv);
    FlatQuad(mesh, material, b0, b1, t1, t0, {0, 0, 1}, uv);
    FlatQuad(mesh, material, b1, b2, t2, t1, {1, 0, 0}, uv);
    FlatQuad(mesh, material, b2, b3, t3, t2, {0, 0, -1}, uv);
    FlatQuad(mesh, material, b3, b0, t0, t3, {-1, 0, 0}, uv);
    return mesh;
}

TMesh Rectangle(const std::string& material, double x0, double y0, double x1, double y1, double z,
                double u0, double v0, double u1, double v1) {
    TMesh mesh("rectangle");
    const TVec3 n{0, 0, 1};
    const int a = mesh.AddVertex({x0, y0, z}, n, u0, v0);
    const int b = mesh.AddVertex({x1, y0, z}, n, u1, v0);
    const int c = mesh.AddVertex({x1, y1, z}, n, u1, v1);
    const int d = mesh.AddVertex({x0, y1, z}, n, u0, v1);
    mesh.AddQuad(material, a, b, c, d);
    return mesh;
}

std::string WriteObj(const std::vector<TMesh>& meshes, const std::string& mtlName,
                     const std::string& title, bool clockwiseFronts) {
    std::string text;
    text += "# " + title + "\n";
    text += clockwiseFronts ? "# Front faces are wound clockwise, as the menu draws them.\n"
                            : "# Front faces are wound counter-clockwise.\n";
    text += "mtllib " + mtlName + "\n";
    char line[160];
    int base = 1;
    for (const TMesh& mesh : meshes) {
        text += "# object " + mesh.Name + "\n";
        for (const TMeshVertex& v : mesh.Vertices) {
            std::snprintf(line, sizeof line, "v %.4f %.4f %.4f\n", v.p.x, v.p.y, v.p.z);
            text += line;
        }
        for (const TMeshVertex& v : mesh.Vertices) {
            std::snprintf(line, sizeof line, "vt %.5f %.5f 0.0000\n", v.u, v.v);
            text += line;
        }
        for (const TMeshVertex& v : mesh.Vertices) {
            std::snprintf(line, sizeof line, "vn %.4f %.4f %.4f\n", v.n.x, v.n.y, v.n.z);
            text += line;
        }
        for (const TMesh::TPart& part : mesh.Parts) {
            text += "usemtl " + part.Material + "\n";
            for (const auto& t : part.Triangles) {
                const int a = t[0] + base;
                const int b = (clockwiseFronts ? t[1] : t[2]) + base;
                const int c = (clockwiseFronts ? t[2] : t[1]) + base;
                std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, c, c, c,
                              b, b, b);
                text += line;
            }
        }
        base += int(mesh.Vertices.size());
    }
    return text;
}
