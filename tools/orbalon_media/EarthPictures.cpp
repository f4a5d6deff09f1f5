#include "EarthPictures.h"

#include "Geography.h"
#include "Imaging.h"
#include "Mesh.h"

#include <algorithm>
#include <cmath>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kCloudKey(1, 146, 201);

struct TPoint3 {
    double x, y, z;
};

// The point of the unit sphere at a longitude and latitude (degrees), in the
// spheres' own frame: longitude 0 faces +z, 90 east is +x, north is +y.
TPoint3 SpherePoint(double lon, double lat) {
    const double l = lon * kPi / 180, p = lat * kPi / 180;
    return {std::sin(l) * std::cos(p), std::sin(p), std::cos(l) * std::cos(p)};
}

double LonOf(int px, int w) {
    return (px + 0.5) / w * 360.0;
}
double LatOf(int py, int h) {
    return 90.0 - (py + 0.5) / h * 180.0;
}

QPainterPath OutlinePath(const TOutline& outline, int w, int h, double shift) {
    QPainterPath path;
    for (size_t i = 0; i < outline.size(); ++i) {
        const QPointF p((outline[i].lon / 360.0 + shift) * w, (90.0 - outline[i].lat) / 180.0 * h);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

// A coverage map of the outlines (filled, or stroked `lineWidth` degrees wide
// when it is positive), blurred by `blur` pixels; values 0 to 1, row by row.
class TMask {
public:
    TMask(const std::vector<TOutline>& outlines, int w, int h, int blur, double lineWidth = 0)
        : FW(w)
        , FH(h)
        , FValues(size_t(w) * size_t(h)) {
        QImage image = Canvas(w, h, Qt::black);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            if (lineWidth > 0) {
                painter.setPen(QPen(Qt::white, lineWidth / 360.0 * w, Qt::SolidLine, Qt::RoundCap,
                                    Qt::RoundJoin));
                painter.setBrush(Qt::NoBrush);
            } else {
                painter.setPen(Qt::NoPen);
                painter.setBrush(Qt::white);
            }
            // Three copies, so shapes crossing the map's edges wrap round.
            for (const TOutline& outline : outlines) {
                for (const double shift : {-1.0, 0.0, 1.0}) {
                    QPainterPath path = OutlinePath(outline, w, h, shift);
                    if (lineWidth > 0) {
                        QPainterPath open;
                        for (int i = 0; i < path.elementCount() - 1; ++i) {
                            const auto e = path.elementAt(i);
                            i == 0 ? open.moveTo(e.x, e.y) : open.lineTo(e.x, e.y);
                        }
                        painter.drawPath(open);
                    } else {
                        painter.drawPath(path);
                    }
                }
            }
        }
        if (blur > 0)
            image = Blurred(image, blur);
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x)
                FValues[size_t(y) * size_t(w) + size_t(x)] = float(qRed(line[x]) / 255.0);
        }
    }

    double At(int x, int y) const { return FValues[size_t(y) * size_t(FW) + size_t(x)]; }

private:
    int FW, FH;
    std::vector<float> FValues;
};

// Bilinear lookup in an equirectangular map at a longitude and latitude.
QColor MapColour(const QImage& map, double lon, double lat) {
    const int w = map.width(), h = map.height();
    double fx = lon / 360.0 * w - 0.5;
    double fy = (90.0 - lat) / 180.0 * h - 0.5;
    fx -= std::floor(fx / w) * w;
    fy = std::clamp(fy, 0.0, h - 1.0);
    const int x0 = int(fx), y0 = int(fy);
    const int x1 = (x0 + 1) % w, y1 = std::min(y0 + 1, h - 1);
    const double tx = fx - x0, ty = fy - y0;
    auto px = [&](int x, int y) { return QColor(map.pixel(x, y)); };
    const QColor top = Mix(px(x0, y0), px(x1, y0), tx);
    const QColor bottom = Mix(px(x0, y1), px(x1, y1), tx);
    return Mix(top, bottom, ty);
}

} // namespace

QImage EarthLandPicture(int W, int H) {
    const double pixelsPerDegree = W / 360.0;
    const TMask land(LandOutlines(), W, H, int(std::lround(2.2 * pixelsPerDegree)));
    const TMask waters(InlandWaters(), W, H, int(std::lround(0.8 * pixelsPerDegree)));
    const TMask shelf(LandOutlines(), W, H, int(std::lround(4 * pixelsPerDegree)));
    const TMask ice(IceRegions(), W, H, int(std::lround(2 * pixelsPerDegree)));
    const TMask desert(DesertRegions(), W, H, int(std::lround(5 * pixelsPerDegree)));
    const TMask dryBelt(DesertRegions(), W, H, int(std::lround(9 * pixelsPerDegree)));
    const TMask jungle(RainForestRegions(), W, H, int(std::lround(5 * pixelsPerDegree)));
    const TMask ranges(MountainRanges(), W, H, int(std::lround(2.5 * pixelsPerDegree)), 3.5);

    const TNoise3 coast(11), detail(12), moisture(13), sand(14), seaNoise(15);
    const QColor deep(0x06, 0x1c, 0x4a), open(0x0d, 0x33, 0x78), shallow(0x1f, 0x6e, 0xa6);
    const QColor lagoon(0x3c, 0x9c, 0xb8);
    const QColor rainForest(0x1d, 0x4f, 0x1f), forest(0x35, 0x66, 0x2c), grass(0x6a, 0x8c, 0x3c);
    const QColor savanna(0xa3, 0x98, 0x58), steppe(0xb0, 0xa0, 0x6a), dune(0xdc, 0xbc, 0x84);
    const QColor redSand(0xc4, 0x84, 0x52), boreal(0x2b, 0x4e, 0x34), tundra(0x86, 0x85, 0x6c);
    const QColor rock(0x7a, 0x66, 0x52), snow(0xf4, 0xf6, 0xfa), iceBlue(0xe2, 0xec, 0xf4);

    QImage image = Canvas(W, H, Qt::black);
    PerPixel(image, [&](int px, int py) {
        const double lon = LonOf(px, W), lat = LatOf(py, H), alat = std::abs(lat);
        const TPoint3 p = SpherePoint(lon, lat);
        const double fine = detail.Fractal(p.x * 24, p.y * 24, p.z * 24, 4) - 0.5;

        // The coast: the blurred outline moved by fractal noise gives ragged
        // shores, small islands and bays.
        // Only near the drawn coast, so the open sea keeps clear of specks.
        const double wiggle = coast.Fractal(p.x * 30, p.y * 30, p.z * 30, 6, 0.6) - 0.5;
        const double near = SmoothStep(0.01, 0.2, shelf.At(px, py));
        double landValue = land.At(px, py) - waters.At(px, py);
        landValue += 1.1 * wiggle * near;
        const double landness = SmoothStep(0.47, 0.53, landValue);

        // Sea: darker with depth, lighter over the shelves.
        const double sh =
            shelf.At(px, py) + 0.25 * (seaNoise.Fractal(p.x * 6, p.y * 6, p.z * 6, 3) - 0.5);
        QColor sea = Mix(deep, open, SmoothStep(0.02, 0.3, sh));
        sea = Mix(sea, shallow, 0.6 * SmoothStep(0.4, 0.7, sh));
        sea = Mix(sea, lagoon, 0.35 * SmoothStep(0.5, 0.75, sh) * (1 - SmoothStep(45, 60, alat)));
        sea = Shade(sea, 1 + 0.06 * fine);
        // Pack ice round the North Pole.
        sea = Mix(sea, iceBlue, SmoothStep(76, 84, lat + 5 * fine));

        // Land: climate by latitude, then the drawn regions.
        const double wet = moisture.Fractal(p.x * 5, p.y * 5, p.z * 5, 4) - 0.5;
        QColor ground = Mix(forest, grass, Clamp01(0.45 - 2.2 * wet));
        ground =
            Mix(ground, savanna,
                SmoothStep(8, 16, alat) * (1 - SmoothStep(24, 34, alat)) * Clamp01(0.5 - 2 * wet));
        ground = Mix(ground, boreal, SmoothStep(48, 56, alat + 4 * fine));
        ground = Mix(ground, tundra, SmoothStep(62, 70, alat + 5 * fine));
        ground = Mix(ground, steppe, 0.8 * dryBelt.At(px, py));
        const double sandy = sand.Fractal(p.x * 14, p.y * 14, p.z * 14, 4);
        const QColor desertColour = Mix(dune, redSand, SmoothStep(0.45, 0.7, sandy));
        ground = Mix(ground, desertColour,
                     SmoothStep(0.2, 0.75, desert.At(px, py) + 0.6 * (sandy - 0.5)));
        ground =
            Mix(ground, rainForest, 0.85 * SmoothStep(0.15, 0.8, jungle.At(px, py) + 0.6 * wet));
        // Ranges: broken up by noise into ridges of bare rock, snow only on
        // the highest crests and more of it away from the tropics.
        const double ridge = coast.Fractal(p.x * 40, p.y * 40, p.z * 40, 4) - 0.5;
        const double high = ranges.At(px, py) * (0.75 + 1.6 * ridge) + 0.25 * fine;
        ground = Mix(ground, rock, 0.9 * SmoothStep(0.12, 0.5, high));
        ground = Mix(ground, snow,
                     0.85 * SmoothStep(0.55, 0.85, high) * (0.4 + 0.6 * SmoothStep(25, 45, alat)));
        ground = Shade(ground, 0.92 + 0.22 * fine + 0.1 * ranges.At(px, py) * ridge);
        ground = Mix(ground, snow, SmoothStep(0.35, 0.6, ice.At(px, py) + 0.2 * fine));

        return Mix(sea, ground, landness);
    });
    return image;
}

QImage EarthCloudsPicture(int W, int H) {
    const TNoise3 cloud(21), warp(22), streak(23), holes(24);
    // Storm centres: direction on the sphere, radius (radians), turn and
    // sense (northern storms turn anticlockwise, southern clockwise).
    struct TStorm {
        double lon, lat, radius, turn;
    };
    const TStorm storms[] = {
        {-60, 24, 0.16, 4.5}, {140, 18, 0.14, 5.0}, {-25, -48, 0.22, -3.5},
        {75, -42, 0.2, -3.0}, {-150, 44, 0.2, 3.0}, {10, 58, 0.18, 3.2},
    };
    const QColor white(0xf8, 0xfa, 0xfc), grey(0xc6, 0xcf, 0xdb);
    QImage image = Canvas(W, H, kCloudKey);
    PerPixel(image, [&](int px, int py) {
        const double lon = LonOf(px, W), lat = LatOf(py, H), alat = std::abs(lat);
        TPoint3 p = SpherePoint(lon, lat);
        double stormBoost = 0;
        for (const TStorm& s : storms) {
            const TPoint3 c = SpherePoint(s.lon, s.lat);
            const double d = std::acos(std::clamp(p.x * c.x + p.y * c.y + p.z * c.z, -1.0, 1.0));
            if (d > s.radius * 3)
                continue;
            // Turn the point about the storm's axis, more near the eye.
            // Fades to no turn at all before the cut-off, so no seam shows.
            const double a = s.turn * std::exp(-d / s.radius) *
                             (1 - SmoothStep(s.radius * 1.5, s.radius * 3, d));
            const double ca = std::cos(a), sa = std::sin(a);
            const double dot = p.x * c.x + p.y * c.y + p.z * c.z;
            const TPoint3 cross{c.y * p.z - c.z * p.y, c.z * p.x - c.x * p.z,
                                c.x * p.y - c.y * p.x};
            p = {p.x * ca + cross.x * sa + c.x * dot * (1 - ca),
                 p.y * ca + cross.y * sa + c.y * dot * (1 - ca),
                 p.z * ca + cross.z * sa + c.z * dot * (1 - ca)};
            // A clear eye inside a dense ring.
            stormBoost += 0.16 * std::exp(-std::pow((d - s.radius * 0.45) / (s.radius * 0.5), 2)) -
                          0.3 * std::exp(-std::pow(d / (s.radius * 0.12), 2));
        }
        const double wx = warp.Fractal(p.x * 2.2, p.y * 2.2, p.z * 2.2, 3) - 0.5;
        const double wz = warp.Fractal(p.x * 2.2 + 7, p.y * 2.2, p.z * 2.2, 3) - 0.5;
        // Stretched along the latitudes, as the winds drag the clouds.
        double density = cloud.Fractal(p.x * 3 + 1.4 * wx, p.y * 6, p.z * 3 + 1.4 * wz, 6);
        density += 0.1 * (streak.Fractal(p.x * 1.5, p.y * 12, p.z * 1.5, 3) - 0.5);
        density += 0.05 * (1 - SmoothStep(0, 10, alat));                             // tropics
        density += 0.06 * SmoothStep(42, 55, alat) * (1 - SmoothStep(65, 78, alat)); // storm belts
        density -= 0.08 * SmoothStep(15, 22, alat) * (1 - SmoothStep(30, 38, alat)); // subtropics
        density += stormBoost;
        density -= 0.06 * holes.Fractal(p.x * 9, p.y * 9, p.z * 9, 3);
        const double cover = SmoothStep(0.5, 0.62, density);
        const QColor shade = Mix(white, grey, SmoothStep(0.64, 0.8, density));
        return Mix(kCloudKey, shade, cover);
    });
    return image;
}

QImage GlobePicture(const QImage& land, const QImage& clouds, int size, double longitude) {
    QImage image(size, size, QImage::Format_ARGB32);
    const double r = size / 2.0 - 1.5;
    const double c = size / 2.0;
    // Light from the upper left, a little in front.
    const double lx = -0.55, ly = 0.55, lz = 0.63;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5 - c) / r, dy = (c - (y + 0.5)) / r;
            const double d2 = dx * dx + dy * dy;
            const double edge = Clamp01((1.0 - std::sqrt(d2)) * r + 0.5);
            // The atmosphere glows in a thin ring outside the disc.
            const double glow = d2 > 1 ? std::exp(-(std::sqrt(d2) - 1) * r / 1.6) : 0;
            if (edge <= 0 && glow < 0.02) {
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
                continue;
            }
            const double dz = std::sqrt(std::max(0.0, 1 - d2));
            const double lat = std::asin(std::clamp(dy, -1.0, 1.0)) * 180 / kPi;
            const double lon = std::atan2(dx, dz) * 180 / kPi + longitude;
            QColor colour = MapColour(land, lon + 360, lat);
            const QColor cloud = MapColour(clouds, lon + 360, lat);
            // Cloud cover: how far the cloud pixel is from the key colour.
            const double cover =
                Clamp01((std::abs(cloud.red() - 1) + std::abs(cloud.blue() - 201)) / 300.0);
            colour = Mix(colour, cloud, cover);
            const double lambert = std::max(0.0, dx * lx + dy * ly + dz * lz);
            colour = Shade(colour, 0.25 + 0.95 * lambert);
            // Blue haze towards the limb.
            colour = Mix(colour, QColor(110, 170, 255), 0.45 * std::pow(1 - dz, 3));
            if (edge > 0) {
                const QColor out = Mix(QColor(110, 170, 255), colour, edge);
                const int alpha = int(std::lround(255 * std::max(edge, glow * 0.8)));
                image.setPixel(x, y, qRgba(out.red(), out.green(), out.blue(), alpha));
            } else {
                image.setPixel(x, y, qRgba(120, 180, 255, int(std::lround(200 * glow))));
            }
        }
    }
    return image;
}
