#include "SpacePictures.h"

#include "EarthPictures.h"
#include "Imaging.h"
#include "Mesh.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <vector>

namespace {

// Colour of a star by a temperature-like parameter t from 0 (red) to 1 (blue).
QColor StarColour(double t) {
    const QColor red(255, 190, 150), yellow(255, 240, 215), white(245, 248, 255),
        blue(190, 210, 255);
    if (t < 0.3)
        return Mix(red, yellow, t / 0.3);
    if (t < 0.7)
        return Mix(yellow, white, (t - 0.3) / 0.4);
    return Mix(white, blue, (t - 0.7) / 0.3);
}

// Adds `count` stars; `density` (0 to 1 for a pixel) makes them crowd where
// it is high. Bright stars get a halo and, the brightest, four faint spikes.
void PaintStars(QImage& image, std::uint32_t seed, int count,
                const std::function<double(double, double)>& density, double brightness = 1) {
    TRandom random(seed);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    const int w = image.width(), h = image.height();
    int placed = 0, tries = 0;
    while (placed < count && tries < count * 20) {
        ++tries;
        const double x = random.Unit() * w, y = random.Unit() * h;
        if (random.Unit() > density(x / w, y / h))
            continue;
        ++placed;
        // Most stars are faint: brightness follows a steep power law.
        const double m = std::pow(random.Unit(), 7.0) * brightness;
        const QColor colour = StarColour(random.Unit());
        const double core = 0.45 + 1.5 * m;
        QRadialGradient glow(QPointF(x, y), core * 3.2);
        const int alpha = std::clamp(int(45 + 210 * std::min(1.0, std::sqrt(m) * 1.6)), 0, 255);
        glow.setColorAt(0, QColor(colour.red(), colour.green(), colour.blue(), alpha));
        glow.setColorAt(0.3, QColor(colour.red(), colour.green(), colour.blue(), alpha / 3));
        glow.setColorAt(1, QColor(0, 0, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(QPointF(x, y), core * 3.2, core * 3.2);
        if (m > 0.8) {
            const double len = 5 + 16 * m;
            for (int k = 0; k < 2; ++k) {
                QLinearGradient spike(x - len, y, x + len, y);
                if (k == 1)
                    spike = QLinearGradient(x, y - len, x, y + len);
                const QColor c(colour.red(), colour.green(), colour.blue(), 60);
                spike.setColorAt(0, QColor(0, 0, 0, 0));
                spike.setColorAt(0.5, c);
                spike.setColorAt(1, QColor(0, 0, 0, 0));
                painter.setBrush(spike);
                if (k == 0)
                    painter.drawRect(QRectF(x - len, y - 0.45, 2 * len, 0.9));
                else
                    painter.drawRect(QRectF(x - 0.45, y - len, 0.9, 2 * len));
            }
        }
    }
}

// A colour made of light added up (components may pass 1 before clamping).
struct TLight3 {
    double r = 0, g = 0, b = 0;
    void Add(const QColor& c, double amount) {
        r += c.redF() * amount;
        g += c.greenF() * amount;
        b += c.blueF() * amount;
    }
    void Scale(double s) { r *= s, g *= s, b *= s; }
    QColor ToColour() const {
        // Soft roll-off instead of hard clipping, so bright cores stay smooth.
        auto tone = [](double v) { return 1 - std::exp(-1.6 * std::max(0.0, v)); };
        return QColor::fromRgbF(float(tone(r)), float(tone(g)), float(tone(b)));
    }
};

// Noise on a seamless 2D lattice (the pictures are square and turn, so
// seams would show only at their edges, but tiling keeps the patterns even).
double Fbm(const TNoise& noise, double x, double y, int octaves, double gain = 0.5) {
    return noise.Fractal(x, y, octaves, gain);
}

QImage MilkyWay(int S) {
    const TNoise band(8, 8, 101), dust(16, 16, 102), glow(8, 8, 103), warp(8, 8, 104);
    QImage image = Canvas(S, S, Qt::black);
    const QColor warm(255, 214, 170), cool(150, 170, 255), dusk(40, 30, 70);
    // The band runs diagonally; its centre line wavers.
    auto distance = [&](double u, double v) {
        const double along = (u + v) / std::sqrt(2.0);
        const double across = (v - u) / std::sqrt(2.0);
        return across + 0.06 * (Fbm(warp, along * 3, 0.5, 3) - 0.5);
    };
    auto along = [](double u, double v) { return (u + v) / std::sqrt(2.0); };
    PerPixel(image, [&](int x, int y) {
        const double u = double(x) / S, v = double(y) / S;
        const double d = distance(u, v);
        const double core = std::exp(-d * d / 0.018);
        const double wide = std::exp(-d * d / 0.07);
        TLight3 light;
        light.Add(dusk, 0.35 * wide);
        const double cloud = Fbm(band, u * 8, v * 8, 6);
        light.Add(Mix(cool, warm, core), (0.15 + 0.75 * cloud) * core + 0.2 * wide * cloud);
        // Dark lanes of dust, drawn out along the band's middle.
        const double a = along(u, v);
        const double lanes =
            SmoothStep(0.42, 0.72, Fbm(dust, a * 4 + 0.3 * cloud, d * 24 + 0.5 * cloud, 5));
        light.Scale(1 - 0.7 * lanes * std::exp(-d * d / 0.008));
        light.Add(QColor(90, 120, 200), 0.06 * Fbm(glow, u * 8, v * 8, 4));
        return light.ToColour();
    });
    PaintStars(image, 201, 5000, [&](double u, double v) {
        const double d = distance(u, v);
        return 0.25 + 0.75 * std::exp(-d * d / 0.03);
    });
    return image;
}

QImage EmissionNebula(int S) {
    const TNoise gas(8, 8, 301), fine(16, 16, 302), dark(8, 8, 303), warp(4, 4, 304);
    QImage image = Canvas(S, S, Qt::black);
    const QColor hydrogen(235, 60, 90), magenta(200, 70, 180), oxygen(90, 200, 230),
        reflection(80, 120, 255), ember(255, 150, 90);
    const double cx = 0.46, cy = 0.52;
    PerPixel(image, [&](int x, int y) {
        const double u = double(x) / S, v = double(y) / S;
        const double wu = u + 0.12 * (Fbm(warp, u * 4, v * 4, 3) - 0.5);
        const double wv = v + 0.12 * (Fbm(warp, u * 4 + 2, v * 4, 3) - 0.5);
        const double r = std::hypot(wu - cx, wv - cy);
        const double shape = std::exp(-r * r / 0.06);
        const double g = Fbm(gas, wu * 8, wv * 8, 6);
        const double f = Fbm(fine, wu * 16, wv * 16, 4);
        TLight3 light;
        light.Add(hydrogen, shape * std::pow(g, 1.6) * 2.0);
        light.Add(magenta, shape * 0.5 * f);
        light.Add(oxygen, std::exp(-r * r / 0.008) * 0.9 * g);
        light.Add(ember, std::exp(-r * r / 0.002) * 0.9);
        // A blue reflection nebula off to one side.
        const double rr = std::hypot(u - 0.75, v - 0.25);
        light.Add(reflection, std::exp(-rr * rr / 0.012) * 0.8 * Fbm(fine, u * 12, v * 12, 4));
        light.Scale(1 - 0.85 * SmoothStep(0.52, 0.7, Fbm(dark, u * 8 + 3, v * 8, 5)) * shape);
        light.Add(QColor(40, 10, 30), 0.25);
        return light.ToColour();
    });
    PaintStars(image, 401, 3200, [](double, double) { return 1.0; });
    return image;
}

QImage SpiralGalaxy(int S) {
    const TNoise arms(16, 16, 501), knots(32, 32, 502), dust(16, 16, 503), halo(8, 8, 504);
    QImage image = Canvas(S, S, Qt::black);
    const QColor core(255, 226, 170), armBlue(140, 175, 255), pink(255, 120, 170),
        dustBrown(60, 30, 20);
    const double cx = 0.55, cy = 0.45, tilt = 0.62, turn = 0.5;
    PerPixel(image, [&](int x, int y) {
        const double u = double(x) / S, v = double(y) / S;
        // Into the galaxy's own plane: turned and squashed by its tilt.
        const double dx = u - cx, dy = v - cy;
        const double gx = dx * std::cos(turn) + dy * std::sin(turn);
        const double gy = (-dx * std::sin(turn) + dy * std::cos(turn)) / tilt;
        const double r = std::hypot(gx, gy);
        const double a = std::atan2(gy, gx);
        // Two logarithmic arms.
        const double phase = a - std::log(std::max(r, 1e-4)) * 2.2;
        const double armWave = std::pow(0.5 + 0.5 * std::cos(2 * phase), 3.0);
        const double disc = std::exp(-r / 0.15);
        const double bulge = std::exp(-r * r / 0.0016);
        const double n = Fbm(arms, u * 16, v * 16, 5);
        TLight3 light;
        light.Add(core, bulge * 2.2 + disc * 0.35);
        light.Add(armBlue, disc * armWave * (0.6 + 0.9 * n) * SmoothStep(0.02, 0.06, r));
        const double k = Fbm(knots, u * 32, v * 32, 3);
        light.Add(pink, disc * armWave * SmoothStep(0.68, 0.8, k) * 1.2);
        light.Scale(1 - 0.7 * disc * (1 - armWave) *
                            SmoothStep(0.4, 0.65, Fbm(dust, u * 16, v * 16, 4)));
        light.Add(dustBrown, 0.0);
        light.Add(QColor(30, 40, 80), 0.12 * Fbm(halo, u * 8, v * 8, 4));
        return light.ToColour();
    });
    PaintStars(image, 601, 2600, [](double, double) { return 1.0; });
    return image;
}

QImage TealNebula(int S) {
    const TNoise gas(8, 8, 701), fine(16, 16, 702), pillars(4, 4, 703), warp(4, 4, 704);
    QImage image = Canvas(S, S, Qt::black);
    const QColor teal(40, 200, 190), green(90, 230, 140), gold(255, 170, 80), deep(10, 40, 70);
    PerPixel(image, [&](int x, int y) {
        const double u = double(x) / S, v = double(y) / S;
        const double wu = u + 0.1 * (Fbm(warp, u * 4, v * 4, 3) - 0.5);
        const double wv = v + 0.1 * (Fbm(warp, u * 4 + 1, v * 4, 3) - 0.5);
        const double g = Fbm(gas, wu * 8, wv * 8, 6);
        const double f = Fbm(fine, wu * 16, wv * 16, 4);
        const double r = std::hypot(u - 0.5, v - 0.42);
        const double shape = std::exp(-r * r / 0.09);
        TLight3 light;
        light.Add(deep, 0.6);
        light.Add(teal, shape * std::pow(g, 1.4) * 1.8);
        light.Add(green, shape * std::exp(-r * r / 0.02) * f);
        // Dark pillars rise from the bottom, lit gold along their edges.
        const double rise = SmoothStep(0.25, 1.0, v);
        const double column = Fbm(pillars, u * 4 + 0.2 * (Fbm(warp, u * 8, v * 8, 3)), v * 1.2, 5);
        const double body = column + 0.35 * rise - 0.25 + 0.12 * (f - 0.5);
        const double solid = SmoothStep(0.46, 0.62, body);
        const double rim = SmoothStep(0.4, 0.5, body) * (1 - SmoothStep(0.5, 0.6, body));
        light.Add(gold, rim * 0.9 * shape + rim * 0.2);
        light.Scale(1 - 0.85 * solid);
        light.Add(QColor(60, 40, 25), solid * 0.25 * f);
        return light.ToColour();
    });
    PaintStars(image, 801, 2800, [&](double u, double v) {
        // Fewer stars show through the dust of the pillars.
        const double rise = SmoothStep(0.25, 1.0, v);
        const double column = Fbm(pillars, u * 4, v * 1.2, 5) + 0.35 * rise - 0.25;
        return 1 - 0.8 * SmoothStep(0.46, 0.6, column);
    });
    return image;
}

QImage DeepField(int S) {
    const TNoise haze(8, 8, 901);
    QImage image = Canvas(S, S, Qt::black);
    PerPixel(image, [&](int x, int y) {
        const double u = double(x) / S, v = double(y) / S;
        TLight3 light;
        light.Add(QColor(40, 20, 70), 0.18 + 0.25 * Fbm(haze, u * 8, v * 8, 5));
        return light.ToColour();
    });
    // Distant galaxies: small glowing ellipses at every angle, some with arms.
    TRandom random(902);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    for (int i = 0; i < 260; ++i) {
        const double x = random.Unit() * S, y = random.Unit() * S;
        const double size = 2 + std::pow(random.Unit(), 3.0) * 26;
        const double squash = 0.25 + 0.75 * random.Unit();
        const double angle = random.Unit() * 180;
        const bool spiral = size > 12 && random.Unit() < 0.6;
        const QColor colour = random.Unit() < 0.5 ? QColor(255, 215, 160) : QColor(170, 190, 255);
        painter.save();
        painter.translate(x, y);
        painter.rotate(angle);
        painter.scale(1, squash);
        QRadialGradient glow(QPointF(0, 0), size);
        glow.setColorAt(0, QColor(255, 245, 225, 230));
        glow.setColorAt(0.15, QColor(colour.red(), colour.green(), colour.blue(), 150));
        glow.setColorAt(1, QColor(0, 0, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(QPointF(0, 0), size, size);
        if (spiral) {
            QPen arm(QColor(150, 175, 255, 90), size * 0.16, Qt::SolidLine, Qt::RoundCap);
            painter.setPen(arm);
            painter.setBrush(Qt::NoBrush);
            for (int k = 0; k < 2; ++k) {
                QPainterPath path;
                for (int s = 0; s <= 30; ++s) {
                    const double t = s / 30.0;
                    const double a = k * kPi + t * 3.4;
                    const double rr = size * (0.15 + 0.75 * t);
                    const QPointF p(rr * std::cos(a), rr * std::sin(a));
                    s == 0 ? path.moveTo(p) : path.lineTo(p);
                }
                painter.drawPath(path);
            }
        }
        painter.restore();
    }
    painter.end();
    PaintStars(
        image, 903, 900, [](double, double) { return 1.0; }, 1.3);
    return image;
}

// The sphere of a body drawn from an equirectangular map, lit from `light`.
void PaintBody(QPainter& painter, const QImage& map, QPointF centre, double radius,
               double longitude, double lx, double ly, double lz) {
    const int size = int(std::ceil(radius * 2)) + 2;
    QImage body(size, size, QImage::Format_ARGB32);
    body.fill(Qt::transparent);
    const double c = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5 - c) / radius, dy = (c - (y + 0.5)) / radius;
            const double d2 = dx * dx + dy * dy;
            const double edge = Clamp01((1 - std::sqrt(d2)) * radius + 0.5);
            if (edge <= 0)
                continue;
            const double dz = std::sqrt(std::max(0.0, 1 - d2));
            const double lat = std::asin(std::clamp(dy, -1.0, 1.0)) * 180 / kPi;
            double lon = std::atan2(dx, dz) * 180 / kPi + longitude + 720;
            lon = std::fmod(lon, 360.0);
            const int mx = std::clamp(int(lon / 360 * map.width()), 0, map.width() - 1);
            const int my = std::clamp(int((90 - lat) / 180 * map.height()), 0, map.height() - 1);
            const QColor m(map.pixel(mx, my));
            const double lambert = std::max(0.0, dx * lx + dy * ly + dz * lz);
            const QColor lit = Shade(m, 0.12 + 1.35 * lambert);
            body.setPixel(x, y, qRgba(lit.red(), lit.green(), lit.blue(), int(255 * edge)));
        }
    painter.drawImage(QPointF(centre.x() - c, centre.y() - c), body);
}

} // namespace

QImage MoonSurfacePicture(int W, int H) {
    // Height and albedo are built up first, then shaded.
    std::vector<double> height(size_t(W) * size_t(H), 0.0), albedo(size_t(W) * size_t(H), 0.0);
    const TNoise3 maria(31), rough(32), speckle(33);
    for (int py = 0; py < H; ++py)
        for (int px = 0; px < W; ++px) {
            const double lon = (px + 0.5) / W * 2 * kPi, lat = kPi / 2 - (py + 0.5) / H * kPi;
            const double x = std::sin(lon) * std::cos(lat), y = std::sin(lat),
                         z = std::cos(lon) * std::cos(lat);
            // Dark seas on the side that faces the viewer first.
            const double seas = maria.Fractal(x * 1.6, y * 1.6, z * 1.6, 5) + 0.12 * z;
            const double sea = SmoothStep(0.55, 0.62, seas);
            const size_t i = size_t(py) * size_t(W) + size_t(px);
            albedo[i] = 0.66 - 0.3 * sea + 0.1 * (speckle.Fractal(x * 30, y * 30, z * 30, 3) - 0.5);
            height[i] = 0.05 * (rough.Fractal(x * 10, y * 10, z * 10, 5) - 0.5) * (1 - 0.7 * sea);
        }

    // Craters: many small, few large; bowls with raised rims, the largest
    // with bright rays.
    TRandom random(34);
    const int craterCount = 1400;
    for (int k = 0; k < craterCount; ++k) {
        const double u = random.Unit(), w = random.Unit();
        const double clon = u * 2 * kPi;
        const double clat = std::asin(2 * w - 1); // even over the sphere
        const double r = 0.008 + 0.13 * std::pow(random.Unit(), 7.0);
        const bool young = r > 0.05 && random.Unit() < 0.25;
        const double cx = std::sin(clon) * std::cos(clat), cy = std::sin(clat),
                     cz = std::cos(clon) * std::cos(clat);
        const double reach = r * (young ? 5.0 : 1.6);
        const int y0 = std::max(0, int((kPi / 2 - (clat + reach)) / kPi * H) - 1);
        const int y1 = std::min(H - 1, int((kPi / 2 - (clat - reach)) / kPi * H) + 1);
        for (int py = y0; py <= y1; ++py) {
            const double lat = kPi / 2 - (py + 0.5) / H * kPi;
            const double cosLat = std::max(std::cos(lat), 0.02);
            const double dLon = std::min(kPi, reach / cosLat);
            const int span = int(dLon / (2 * kPi) * W) + 2;
            const int centreX = int(clon / (2 * kPi) * W);
            for (int sx = centreX - span; sx <= centreX + span; ++sx) {
                const int px = ((sx % W) + W) % W;
                const double lon = (px + 0.5) / W * 2 * kPi;
                const double x = std::sin(lon) * cosLat, y = std::sin(lat),
                             z = std::cos(lon) * cosLat;
                const double d = std::acos(std::clamp(x * cx + y * cy + z * cz, -1.0, 1.0)) / r;
                if (d > reach / r)
                    continue;
                const size_t i = size_t(py) * size_t(W) + size_t(px);
                if (d < 1) {
                    height[i] -= r * 0.32 * (1 - d * d);
                    albedo[i] += young ? 0.08 : -0.03;
                }
                height[i] += r * 0.12 * std::exp(-std::pow((d - 1) / 0.18, 2));
                if (young && d > 1) {
                    // Rays: bright streaks thinning out with distance.
                    const double ang = std::atan2(y - cy, (x - cx) + (z - cz) * 0.5);
                    const double rays = std::pow(0.5 + 0.5 * std::cos(ang * 9 + k), 8.0);
                    albedo[i] +=
                        0.22 * rays * std::exp(-(d - 1) / 1.5) + 0.1 * std::exp(-(d - 1) / 0.4);
                }
            }
        }
    }

    QImage image = Canvas(W, H, Qt::black);
    const double scale = W / (2 * kPi);
    PerPixel(image, [&](int px, int py) {
        const size_t i = size_t(py) * size_t(W) + size_t(px);
        const int xl = (px + W - 1) % W, xr = (px + 1) % W;
        const int yu = std::max(py - 1, 0), yd = std::min(py + 1, H - 1);
        const double lat = kPi / 2 - (py + 0.5) / H * kPi;
        const double cosLat = std::max(std::cos(lat), 0.05);
        const double hx =
            (height[size_t(py) * W + xr] - height[size_t(py) * W + xl]) * scale * cosLat / 2;
        const double hy = (height[size_t(yu) * W + px] - height[size_t(yd) * W + px]) * scale / 2;
        // Light from the upper left of the map.
        const double shade = std::clamp(1 - 1.3 * hx + 1.3 * hy, 0.4, 1.6);
        const double a = std::clamp(albedo[i], 0.15, 1.0);
        const double v = std::clamp(a * shade, 0.0, 1.0);
        // A faint warm-grey tint.
        return QColor::fromRgbF(float(std::min(1.0, v * 1.02)), float(v), float(v * 0.96));
    });
    return image;
}

QImage GalaxyPicture(int index, int size) {
    switch (index) {
    case 1:
        return MilkyWay(size);
    case 2:
        return EmissionNebula(size);
    case 3:
        return SpiralGalaxy(size);
    case 4:
        return TealNebula(size);
    default:
        return DeepField(size);
    }
}

QImage SolarStormPicture(int S) {
    const TNoise plasma(8, 8, 1101), loops(16, 16, 1102);
    QImage image = Canvas(S, S, Qt::black);
    // The Sun, partly beyond the edge; the turning plane shows its middle
    // part, so the disc sits well inside.
    const double sx = 0.22, sy = 0.78, sr = 0.2;
    PerPixel(image, [&](int x, int y) {
        const double u = double(x) / S, v = double(y) / S;
        const double dx = u - sx, dy = v - sy;
        const double r = std::hypot(dx, dy);
        const double a = std::atan2(dy, dx);
        TLight3 light;
        if (r < sr) {
            // Limb darkening: the disc is whitest at its centre and orange
            // at its rim, its surface mottled by granules and sunspots.
            const double mu = std::sqrt(1 - (r / sr) * (r / sr));
            const double granules = Fbm(loops, u * 32, v * 32, 4);
            const double spots = SmoothStep(0.72, 0.78, Fbm(plasma, u * 8 + 5, v * 8, 4));
            light.Add(Mix(QColor(220, 70, 10), QColor(255, 190, 70), mu),
                      (0.45 + 0.6 * mu) * (0.85 + 0.3 * granules) * (1 - 0.6 * spots));
        } else {
            // Streamers and a storm front thrown out along one direction.
            const double streak = Fbm(plasma, a * 6 + 10, r * 5, 5);
            const double fall = std::exp(-(r - sr) / 0.09);
            light.Add(QColor(255, 120, 40), fall * (0.6 + 1.2 * streak));
            const double front = std::exp(-std::pow((r - 0.5) / 0.06, 2)) *
                                 std::exp(-std::pow((a + 0.78) / 0.45, 2));
            light.Add(QColor(255, 150, 80), front * (0.4 + 0.9 * Fbm(loops, u * 16, v * 16, 4)));
            light.Add(QColor(120, 60, 160), 0.15 * std::exp(-(r - sr) / 0.5));
        }
        return light.ToColour();
    });
    PaintStars(image, 1103, 2500, [&](double u, double v) {
        return SmoothStep(0.3, 0.7, std::hypot(u - sx, v - sy));
    });
    return image;
}

QImage StoryPicture(const QImage& land, const QImage& clouds, const QImage& moon) {
    const int W = 800, H = 500;
    const TNoise plasma(8, 8, 1201);
    QImage image = Canvas(W, H, Qt::black);
    // The Sun in the upper left throws a storm across the picture.
    PerPixel(image, [&](int x, int y) {
        const double u = double(x) / W, v = double(y) / W;
        const double r = std::hypot(u + 0.04, v + 0.04);
        const double a = std::atan2(v + 0.04, u + 0.04);
        TLight3 light;
        if (r < 0.2) {
            const double mu = std::sqrt(1 - (r / 0.2) * (r / 0.2));
            light.Add(Mix(QColor(220, 70, 10), QColor(255, 200, 80), mu), 0.6 + 0.7 * mu);
        } else {
            const double streak = Fbm(plasma, a * 8, r * 6, 5);
            light.Add(QColor(255, 110, 40), std::exp(-(r - 0.2) / 0.1) * (0.7 + 1.5 * streak));
            const double wave = std::exp(-std::pow((r - 0.48) / 0.05, 2));
            light.Add(QColor(255, 140, 70), wave * 0.5 * streak);
        }
        light.Add(QColor(20, 10, 40), 0.3);
        return light.ToColour();
    });
    PaintStars(image, 1202, 900, [](double u, double v) { return SmoothStep(0.25, 0.5, u + v); });

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Darken the storm's glow in the middle a little so the story's text
    // reads well; the bodies in front stay bright.
    QRadialGradient veil(QPointF(W / 2.0, H / 2.0), W * 0.55);
    veil.setColorAt(0, QColor(0, 0, 20, 120));
    veil.setColorAt(1, QColor(0, 0, 20, 30));
    painter.setPen(Qt::NoPen);
    painter.setBrush(veil);
    painter.drawRect(image.rect());
    // The Earth in the lower right, lit by the Sun.
    const QImage earth = GlobePicture(land, clouds, 300, 20);
    painter.drawImage(QPointF(W - 250, H - 230), earth);
    // The moon, knocked off its orbit, with a fiery trail towards the Earth.
    const QPointF moonCentre(430, 240);
    QPainterPath trail;
    trail.moveTo(moonCentre + QPointF(-40, -28));
    trail.quadTo(QPointF(300, 130), QPointF(170, 95));
    trail.quadTo(QPointF(310, 150), moonCentre + QPointF(-10, 40));
    trail.closeSubpath();
    QLinearGradient fire(QPointF(170, 95), moonCentre);
    fire.setColorAt(0, QColor(255, 120, 40, 0));
    fire.setColorAt(0.6, QColor(255, 150, 50, 130));
    fire.setColorAt(1, QColor(255, 235, 170, 235));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fire);
    painter.drawPath(trail);
    PaintBody(painter, moon, moonCentre, 46, 0, -0.7, 0.55, 0.45);
    painter.end();
    return image;
}
