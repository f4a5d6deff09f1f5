// Writes the background songs "Sounds/[game]*.mp3" below the given program
// folder. Each song is synthesised, checked, and encoded to MP3 with the
// `lame` encoder; the encoded file is decoded again and checked once more
// (length of at least a minute, no clipping introduced by the encoder).

#include "Songs.h"

#include <cstdio>
#include <functional>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

struct TSong {
    const char* FileName;
    const char* Title;
    std::function<synth::TStereo(int)> Make;
};

bool RunLame(const QString& lame, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(lame, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool Acceptable(const QString& what, const synth::TAnalysis& a) {
    const bool ok = a.Seconds >= 60.0 && a.Clipped == 0 && a.PeakDb <= -0.05 && a.PeakDb > -6.0 &&
                    std::abs(a.Dc) < 0.002;
    std::printf("%-36s %s%s\n", qPrintable(what), qPrintable(synth::Describe(a)),
                ok ? "" : "  FAULT");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    if (lame.isEmpty()) {
        std::fprintf(stderr, "the MP3 encoder 'lame' is not installed\n");
        return 1;
    }
    const QString folder =
        QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QStringLiteral("/Sounds/");
    QDir().mkpath(folder);
    QTemporaryDir work;

    const int rate = 44100;
    const TSong list[] = {{"[game]starlight_run.mp3", "Starlight Run", songs::StarlightRun},
                          {"[game]moon_garden.mp3", "Moon Garden", songs::MoonGarden}};
    bool ok = true;
    for (const TSong& song : list) {
        const QString name = QString::fromLatin1(song.FileName);
        const synth::TStereo audio = song.Make(rate);
        ok = Acceptable(name + QStringLiteral(" (synthesised)"), synth::Analyse(audio, rate)) && ok;

        const QString wave = work.filePath(QStringLiteral("song.wav"));
        const QString check = work.filePath(QStringLiteral("check.wav"));
        if (!synth::WriteWave(wave, audio, rate) ||
            !RunLame(lame,
                     {QStringLiteral("--quiet"), QStringLiteral("-V"), QStringLiteral("4"),
                      QStringLiteral("--tt"), QString::fromLatin1(song.Title),
                      QStringLiteral("--ta"), QStringLiteral("Ravlin"), wave, folder + name}) ||
            !RunLame(lame, {QStringLiteral("--quiet"), QStringLiteral("--decode"), folder + name,
                            check})) {
            std::fprintf(stderr, "encoding %s failed\n", qPrintable(name));
            return 1;
        }
        synth::TStereo decoded;
        int decodedRate = 0;
        if (!synth::ReadWave(check, decoded, decodedRate)) {
            std::fprintf(stderr, "cannot read back %s\n", qPrintable(name));
            return 1;
        }
        ok = Acceptable(name + QStringLiteral(" (decoded MP3)"),
                        synth::Analyse(decoded, decodedRate)) &&
             ok;
    }
    return ok ? 0 : 1;
}
