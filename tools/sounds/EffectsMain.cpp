// Writes the program's sound effects.
//
//   ravlin_effects <AppDir>              the eight effects beside the program
//   ravlin_effects <dir> resources       the WAVE sounds stored in the program
//
// Every sound is checked before it is written (length, level, no clipping,
// no DC offset, energy where its kind of sound has it); a sound that fails
// stops the build.

#include "Effects.h"

#include <cstdio>
#include <functional>
#include <QDir>
#include <QString>

namespace {

struct TEffect {
    const char* FileName;
    std::function<synth::TMono(int)> Make;
    double MinSeconds, MaxSeconds;
    double MinLowShare, MaxLowShare; // energy share below 300 Hz
};

bool Check(const QString& name, const synth::TAnalysis& a, const TEffect& e) {
    QStringList faults;
    if (a.Seconds < e.MinSeconds || a.Seconds > e.MaxSeconds)
        faults << QStringLiteral("length");
    if (a.PeakDb > -0.5 || a.PeakDb < -12.0)
        faults << QStringLiteral("peak level");
    if (a.Clipped > 0)
        faults << QStringLiteral("clipping");
    if (std::abs(a.Dc) > 0.002)
        faults << QStringLiteral("DC offset");
    if (a.LowShare < e.MinLowShare || a.LowShare > e.MaxLowShare)
        faults << QStringLiteral("spectral balance");
    std::printf("%-22s %s%s\n", qPrintable(name), qPrintable(synth::Describe(a)),
                faults.isEmpty() ? ""
                                 : qPrintable(QStringLiteral("  FAULT: ") + faults.join(", ")));
    return faults.isEmpty();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder> [resources]\n", argv[0]);
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    const bool resources =
        argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("resources");
    QDir().mkpath(folder);

    using namespace effects;
    // Effects play through the mixer at its own rate; the stored sounds live
    // inside the executable, so they are kept at half that rate.
    const int rate = resources ? 22050 : 44100;
    const std::vector<TEffect> list =
        resources ? std::vector<TEffect>{{"WRONGKEY.wav", WrongKey, 0.2, 0.5, 0.0, 0.7},
                                         {"CORRECTKEY.wav", CorrectKey, 0.3, 1.0, 0.0, 0.1},
                                         {"APPLAUSE.wav", Applause, 2.0, 3.5, 0.0, 0.2},
                                         {"BUBBLE.wav", Bubble, 0.15, 0.5, 0.0, 0.3},
                                         {"EXPLOSION.wav", BigExplosion, 1.0, 2.5, 0.5, 1.0},
                                         {"EXPLOSION2.wav", SmallExplosion, 0.8, 2.0, 0.5, 1.0},
                                         {"GOOD_EXPLOSION.wav", GoodExplosion, 0.5, 1.5, 0.0, 0.6},
                                         {"THUNDER.wav", Thunder, 2.0, 4.0, 0.5, 1.0}}
                  : std::vector<TEffect>{{"button_click.wav", ButtonClick, 0.03, 0.15, 0.0, 0.15},
                                         {"RunAway.wav", Whoosh, 0.25, 0.8, 0.0, 0.5},
                                         {"Explosion2.wav", SmallExplosion, 0.8, 2.0, 0.5, 1.0},
                                         {"thunder.wav", Thunder, 2.0, 4.0, 0.5, 1.0},
                                         {"bubble.wav", Bubble, 0.15, 0.5, 0.0, 0.3},
                                         {"Good_Explosion.wav", GoodExplosion, 0.5, 1.5, 0.0, 0.6},
                                         {"Explosion.wav", BigExplosion, 1.0, 2.5, 0.5, 1.0},
                                         {"wrong_key.wav", WrongKey, 0.2, 0.5, 0.0, 0.7}};

    bool ok = true;
    for (const TEffect& effect : list) {
        const synth::TMono sound = effect.Make(rate);
        const QString name = QString::fromLatin1(effect.FileName);
        ok = Check(name, synth::Analyse(sound, rate), effect) && ok;
        if (!synth::WriteWave(folder + name, sound, rate)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(folder + name));
            return 1;
        }
    }
    return ok ? 0 : 1;
}
