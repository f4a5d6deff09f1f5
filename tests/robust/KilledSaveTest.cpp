// Saves killed at random moments: the probe program saves a file through the
// program's own save path, alternating between two contents, and is killed
// with SIGKILL at a random point; the file must then hold exactly one of the
// two contents every time. Files left beside it (a temporary file of a
// killed save, where the system gives it a name) are counted and removed.

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <signal.h>

namespace {

constexpr int kTries = 200;

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct TKillResult {
    int Old = 0;      // the file held the content A
    int New = 0;      // the file held the content B
    int Torn = 0;     // anything else
    int LeftOver = 0; // tries that left a named temporary file
};

TKillResult KillSaves(const QString& kind, const QString& fileName) {
    QTemporaryDir dir;
    EXPECT_TRUE(dir.isValid());
    const QString probe = QStringLiteral(RAVLIN_SAVE_PROBE);
    EXPECT_EQ(QProcess::execute(probe, {kind, QStringLiteral("reference"), dir.path()}), 0);
    const QByteArray a = Contents(dir.filePath(QStringLiteral("a/Ravlin/") + fileName));
    const QByteArray b = Contents(dir.filePath(QStringLiteral("b/Ravlin/") + fileName));
    EXPECT_FALSE(a.isEmpty());
    EXPECT_FALSE(b.isEmpty());
    EXPECT_NE(a, b);

    const QString home = dir.filePath(QStringLiteral("home"));
    const QString folder = home + QStringLiteral("/Ravlin");
    const QString target = folder + QLatin1Char('/') + fileName;
    QRandomGenerator random(20261209);
    TKillResult result;
    for (int i = 0; i < kTries; ++i) {
        QProcess process;
        process.start(probe, {kind, QStringLiteral("loop"), home});
        if (!process.waitForStarted(10000) || !process.waitForReadyRead(10000)) {
            ADD_FAILURE() << "the probe did not start: " << process.errorString().toStdString();
            return result;
        }
        // A few milliseconds span several saves, so the kill falls at a
        // random point of one of them.
        QThread::usleep(random.bounded(4000));
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(10000);

        const QByteArray now = Contents(target);
        if (now == a)
            ++result.Old;
        else if (now == b)
            ++result.New;
        else
            ++result.Torn;
        const QStringList names = QDir(folder).entryList(QDir::Files);
        bool leftOver = false;
        for (const QString& name : names) {
            if (name != fileName) {
                leftOver = true;
                QFile::remove(folder + QLatin1Char('/') + name);
            }
        }
        result.LeftOver += leftOver ? 1 : 0;
    }
    std::printf("%s: %d old, %d new, %d torn, %d left a temporary file\n", qPrintable(kind),
                result.Old, result.New, result.Torn, result.LeftOver);
    return result;
}

} // namespace

TEST(KilledSaveTest, ScoreBoardIsAlwaysOldOrNew) {
    const TKillResult result = KillSaves(QStringLiteral("score"), QStringLiteral("cscore.dat"));
    EXPECT_EQ(result.Torn, 0);
    EXPECT_EQ(result.Old + result.New, kTries);
}

TEST(KilledSaveTest, BannerIsAlwaysOldOrNew) {
    const TKillResult result =
        KillSaves(QStringLiteral("banner"), QStringLiteral("click_image.png"));
    EXPECT_EQ(result.Torn, 0);
    EXPECT_EQ(result.Old + result.New, kTries);
}

TEST(KilledSaveTest, SettingsFileIsAlwaysOldOrNew) {
    const TKillResult result = KillSaves(QStringLiteral("settings"), QStringLiteral("Ravlin.ini"));
    EXPECT_EQ(result.Torn, 0);
    EXPECT_EQ(result.Old + result.New, kTries);
}
