// Paints the background pictures of sentence practice. Both tile without a
// seam: every noise layer is periodic over the picture, so the right edge
// continues into the left and the bottom into the top. They stay light and
// calm, since practice text is drawn over them.
//
// Usage: sentence_backgrounds <AppDir>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Value noise on a lattice that wraps around, so it repeats exactly once
// over the unit square.
class TPeriodicNoise {
public:
    TPeriodicNoise(int cellsX, int cellsY, std::uint32_t seed)
        : FCellsX(cellsX)
        , FCellsY(cellsY)
        , FValues(std::size_t(cellsX) * std::size_t(cellsY)) {
        std::uint32_t state = seed * 2654435761u + 1u;
        for (double& v : FValues) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            v = double(state % 65536u) / 65535.0;
        }
    }

    // u, v in [0, 1); the result lies in [0, 1].
    double Sample(double u, double v) const {
        const double x = u * FCellsX;
        const double y = v * FCellsY;
        const int x0 = int(std::floor(x));
        const int y0 = int(std::floor(y));
        const double fx = Fade(x - x0);
        const double fy = Fade(y - y0);
        const double a = At(x0, y0), b = At(x0 + 1, y0);
        const double c = At(x0, y0 + 1), d = At(x0 + 1, y0 + 1);
        return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
    }

private:
    static double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
    double At(int x, int y) const {
        x = ((x % FCellsX) + FCellsX) % FCellsX;
        y = ((y % FCellsY) + FCellsY) % FCellsY;
        return FValues[std::size_t(y) * std::size_t(FCellsX) + std::size_t(x)];
    }

    int FCellsX, FCellsY;
    std::vector<double> FValues;
};

// Several octaves of periodic noise, each twice as fine and half as strong.
class TFractalNoise {
public:
    TFractalNoise(int cellsX, int cellsY, int octaves, std::uint32_t seed) {
        for (int i = 0; i < octaves; ++i)
            FOctaves.emplace_back(cellsX << i, cellsY << i, seed + std::uint32_t(i) * 7919u);
    }
    double Sample(double u, double v) const {
        double sum = 0, weight = 1, total = 0;
        for (const TPeriodicNoise& octave : FOctaves) {
            sum += octave.Sample(u, v) * weight;
            total += weight;
            weight *= 0.5;
        }
        return sum / total;
    }

private:
    std::vector<TPeriodicNoise> FOctaves;
};

double Clamp01(double x) {
    return std::clamp(x, 0.0, 1.0);
}

double SmoothStep(double edge0, double edge1, double x) {
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

struct TRgb {
    double R, G, B;
};

TRgb Mix(const TRgb& a, const TRgb& b, double t) {
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

QRgb ToPixel(const TRgb& c) {
    auto ch = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
    return qRgb(ch(c.R), ch(c.G), ch(c.B));
}

// Light maple with grain running along the lines of text: long growth rings
// bent by a slow warp, thin darker latewood lines, fine fibres and a gentle
// change of tone.
QImage PaintWood(int size) {
    const TFractalNoise warp(2, 3, 3, 11);
    const TFractalNoise fibres(2, 160, 2, 23);
    const TFractalNoise figure(3, 12, 2, 37);
    const TFractalNoise tone(2, 2, 3, 41);
    const TRgb light{240, 222, 190};
    const TRgb mid{226, 200, 158};
    const TRgb dark{199, 163, 116};

    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double v = double(y) / size;
        for (int x = 0; x < size; ++x) {
            const double u = double(x) / size;
            // Whole numbers of rings over the height keep the rings periodic.
            const double bend =
                (warp.Sample(u, v) - 0.5) * 1.7 + (figure.Sample(u, v) - 0.5) * 0.35;
            const double rings = v * 11.0 + bend;
            const double ring = 0.5 + 0.5 * std::cos(2 * kPi * rings);
            const double late = std::pow(ring, 10.0); // thin dark latewood lines
            const double early = std::pow(ring, 2.0);

            TRgb c = Mix(light, mid, 0.30 * tone.Sample(u, v) + 0.30 * early);
            c = Mix(c, dark, 0.42 * late + 0.16 * SmoothStep(0.45, 0.75, fibres.Sample(u, v)));
            line[x] = ToPixel(c);
        }
    }
    return image;
}

// A pale blue sky with scattered soft, bright clouds, lightly shaded on the
// side away from the light. The main menu spreads this one picture over its
// whole sky, so it is large and its clouds never repeat within it; the
// lattices have the picture's proportions, keeping the clouds round.
QImage PaintClouds(int width, int height) {
    const TFractalNoise cover(16, 12, 5, 101);
    const TFractalNoise swirlU(5, 4, 3, 113);
    const TFractalNoise swirlV(5, 4, 3, 127);
    const TFractalNoise haze(3, 2, 3, 131);
    const TRgb sky{193, 220, 243};
    const TRgb skyHigh{212, 231, 249};
    const TRgb cloud{252, 253, 255};
    const TRgb shadow{224, 230, 240};
    const double step = 4.0 / height; // light comes from above

    auto density = [&](double u, double v) {
        // A periodic swirl of the coordinates draws the clouds out into wisps.
        const double wu = u + (swirlU.Sample(u, v) - 0.5) * 0.12 + 1.0;
        const double wv = v + (swirlV.Sample(u, v) - 0.5) * 0.08 + 1.0;
        return cover.Sample(std::fmod(wu, 1.0), std::fmod(wv, 1.0));
    };

    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width;
            const double d = density(u, v);
            const double cloudiness = SmoothStep(0.47, 0.76, d);
            const double above = density(u, std::fmod(v - step + 1.0, 1.0));
            const double shade = Clamp01((d - above) * 8.0) * cloudiness;

            TRgb c = Mix(sky, skyHigh, haze.Sample(u, v));
            // Thin edges let the sky through; dense cores are bright white.
            const TRgb puff = Mix(Mix(shadow, cloud, SmoothStep(0.5, 0.8, d)), shadow, 0.6 * shade);
            c = Mix(c, puff, 0.9 * cloudiness);
            line[x] = ToPixel(c);
        }
    }
    return image;
}

bool Save(const QImage& image, const QString& path, const char* format, int quality) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, format, quality)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <AppDir>\n", argv[0]);
        return 2;
    }
    const QString appDir = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    bool ok = Save(PaintWood(512), appDir + QStringLiteral("Images/best_wood.jpg"), "jpeg", 92);
    ok = Save(PaintClouds(1600, 1152), appDir + QStringLiteral("Models/maps/White_Cloud.png"),
              "png", -1) &&
         ok;
    return ok ? 0 : 1;
}
