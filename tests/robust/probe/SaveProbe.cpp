// The program the save robustness tests kill and starve. It saves what the
// program stores for the user, through the program's own save paths:
//
//   ravlin_save_probe KIND reference DIR   one save of content A into DIR/a
//                                          and one of content B into DIR/b
//   ravlin_save_probe KIND loop DIR        saves A and B into DIR by turns
//                                          until killed; prints "ready" first
//   ravlin_save_probe full-disk DIR        DIR is a small, nearly empty file
//                                          system: saves the settings, the
//                                          score board and a practice
//                                          text's resume line, fills the disk
//                                          and saves again; exits 0 when
//                                          every save then failed with a
//                                          message naming its file and the
//                                          files kept their old content
//
// KIND is "settings" (DIR is the data folder, the file DIR/Ravlin/Ravlin.ini),
// "score" (DIR/Ravlin/cscore.dat) or "banner" (DIR/Ravlin/click_image.png).

#include "app/Folders.h"
#include "app/RavlinError.h"
#include "app/SettingsStore.h"
#include "games/ScoreList.h"
#include "platform/AtomicFile.h"
#include "shell/RavlinUpdater.h"

#include <cstdio>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace {

// Two boards of different length, so that a torn file shows in its size too.
void SaveBoard(bool second) {
    TScoreList board(SettingsDir() + QStringLiteral("cscore.dat"));
    const int count = second ? 25 : 12;
    for (int i = 0; i < count; ++i) {
        TScoreRec rec;
        rec.name = (second ? QByteArray("second") : QByteArray("first")) + QByteArray::number(i);
        rec.score = (second ? 9000 : 5000) - 100 * i;
        rec.DateTime = QStringLiteral("2026-12-09  04:%1:00").arg(i % 60, 2, 10, QLatin1Char('0'));
        rec.Level = std::uint16_t(1 + i % 9);
        rec.GameLanguage = second ? "English" : "Korean";
        board.Add(rec);
    }
    board.SaveScore();
}

// A banner as the update page serves one: a PNG picture of some size.
QByteArray BannerBytes(bool second) {
    QImage picture(second ? 468 : 300, second ? 120 : 60, QImage::Format_RGB32);
    picture.fill(second ? 0x2060a0 : 0xa06020);
    QPainter painter(&picture);
    for (int x = 0; x < picture.width(); x += 7)
        painter.fillRect(x, (x * 13) % picture.height(), 5, 9,
                         QColor::fromRgb(x * 37 % 256, 90, 200));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG", 0); // uncompressed: a larger file, a longer save
    return bytes;
}

void SaveSettings(bool second) {
    LoadSentenceSetup();
    SentenceSetup.SpeedLimit = second ? 420 : 180;
    SentenceSetup.LineCount = second ? 9 : 3;
    SentenceSetup.TextName =
        second ? QStringLiteral("[영어] second text") : QStringLiteral("first");
    SentenceSetup.BackImage = second ? QString(600, QLatin1Char('b')) : QStringLiteral("1a");
    SaveSentenceSetup();
}

void SaveOne(const QString& kind, bool second) {
    if (kind == QLatin1String("settings"))
        SaveSettings(second);
    else if (kind == QLatin1String("score"))
        SaveBoard(second);
    else if (kind == QLatin1String("banner"))
        WriteFileAtomically(TRavlinUpdater::BannerFileName(), BannerBytes(second));
}

bool SameFile(const QString& path, const QByteArray& expected) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == expected;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs one save that must fail on the full disk; returns false (and says
// why) when it did not fail as it should.
template <typename Save> bool FailsClearly(const char* what, const QString& path, Save save) {
    const QByteArray before = Contents(path);
    try {
        save();
    } catch (const ERavlinError& error) {
        const bool named = error.Message().contains(path);
        const bool whole = SameFile(path, before);
        std::printf(
            "%s: failed with \"%s\"\n", what,
            qPrintable(QString(error.Message()).replace(QLatin1Char('\n'), QLatin1String(" / "))));
        if (!named)
            std::printf("%s: the message does not name %s\n", what, qPrintable(path));
        if (!whole)
            std::printf("%s: the old file was damaged\n", what);
        return named && whole;
    }
    std::printf("%s: the save on a full disk reported success\n", what);
    return false;
}

int FullDisk(const QString& dir) {
    InitSettingsDir(dir);
    SaveSettings(false);
    {
        TIniFile ini = OpenSettingsIni();
        WriteFileHistory(ini, QStringLiteral("first.txt"), 12);
        CloseSettingsIni(ini);
    }
    SaveBoard(false);

    // Fill what is left of the disk.
    {
        QFile filler(dir + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return 2;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        QByteArray small(1, 'x');
        while (filler.write(small) == 1 && filler.flush()) {
        }
    }

    bool ok = true;
    ok &= FailsClearly("settings", SettingsIniPath(), [] { SaveSettings(true); });
    ok &= FailsClearly("history", SettingsIniPath(), [] {
        TIniFile ini = OpenSettingsIni();
        WriteFileHistory(ini, QStringLiteral("second text with a long name.txt"), 340);
        CloseSettingsIni(ini);
    });
    ok &= FailsClearly("score", SettingsDir() + QStringLiteral("cscore.dat"),
                       [] { SaveBoard(true); });

    // What was stored before still loads as it was.
    LoadSentenceSetup();
    const TIniFile ini = OpenSettingsIni();
    if (SentenceSetup.SpeedLimit != 180 ||
        ReadFileHistory(ini, QStringLiteral("first.txt")) != 12) {
        std::printf("settings: the stored settings changed\n");
        ok = false;
    }
    TScoreList board(SettingsDir() + QStringLiteral("cscore.dat"));
    board.ReadScore();
    if (board.Count() != 12) {
        std::printf("score: the stored board changed\n");
        ok = false;
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("full-disk"))
        return FullDisk(args[2]);
    if (args.size() != 4)
        return 2;
    const QString kind = args[1];
    const QString mode = args[2];
    const QString dir = args[3];
    try {
        if (mode == QLatin1String("reference")) {
            InitSettingsDir(dir + QStringLiteral("/a"));
            SaveOne(kind, false);
            InitSettingsDir(dir + QStringLiteral("/b"));
            SaveOne(kind, true);
            return 0;
        }
        if (mode == QLatin1String("loop")) {
            InitSettingsDir(dir);
            SaveOne(kind, false);
            std::printf("ready\n");
            std::fflush(stdout);
            for (bool second = true;; second = !second)
                SaveOne(kind, second);
        }
    } catch (const ERavlinError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Message()));
        return 1;
    }
    return 2;
}
