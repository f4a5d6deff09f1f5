#pragma once

// Small sound files for the sound tests, made on the spot: a sine tone as a
// 16-bit WAVE file, and the same encoded to MP3 with the lame encoder the
// build already uses for the program's songs.

#include <cmath>
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QtEndian>

inline bool WriteToneWave(const QString& path, double seconds, int rate = 44100) {
    const quint32 frames = quint32(seconds * rate);
    QByteArray bytes;
    auto put32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    };
    auto put16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    };
    bytes.append("RIFF");
    put32(36 + frames * 2);
    bytes.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(quint32(rate));
    put32(quint32(rate) * 2);
    put16(2);
    put16(16);
    bytes.append("data");
    put32(frames * 2);
    for (quint32 i = 0; i < frames; ++i)
        put16(quint16(qint16(8000.0 * std::sin(2.0 * 3.14159265 * 440.0 * i / rate))));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool WriteToneMp3(const QString& path, double seconds) {
    const QString wave = path + QStringLiteral(".source.wav");
    if (!WriteToneWave(wave, seconds))
        return false;
    QProcess lame;
    lame.start(QStringLiteral("lame"), {QStringLiteral("--quiet"), wave, path});
    const bool ok = lame.waitForFinished(60000) && lame.exitStatus() == QProcess::NormalExit &&
                    lame.exitCode() == 0;
    QFile::remove(wave);
    return ok;
}

inline bool WriteGarbage(const QString& path) {
    QFile file(path);
    const QByteArray bytes(4096, '\x5a');
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Sets an environment variable for the lifetime of the object.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const QByteArray& value)
        : FName(name)
        , FHad(qEnvironmentVariableIsSet(name))
        , FPrevious(qgetenv(name)) {
        qputenv(name, value);
    }
    ~TScopedEnv() {
        if (FHad)
            qputenv(FName, FPrevious);
        else
            qunsetenv(FName);
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* FName;
    bool FHad;
    QByteArray FPrevious;
};
