// The program started on a damaged copy of its folder: every picture, model,
// sound or text of the copy is damaged in one way (emptied, cut to half its
// length, overwritten with random bytes, or given the bytes of another kind
// of file under its own name), and the program must still start, show its
// window and keep running, never crash or hang. Each kind of damage is
// applied to all files of a kind at once, which is harsher for start-up
// than one file at a time and keeps the test to sixteen starts.
//
// The program runs on the X server of this test program (its own), with
// the user's data in a throw-away folder.

#include "app/Folders.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

namespace {

enum class TDamage { Empty, Truncated, Random, WrongKind };
enum class TMedium { Picture, Model, Sound, Text };

const char* DamageName(TDamage damage) {
    switch (damage) {
    case TDamage::Empty:
        return "empty";
    case TDamage::Truncated:
        return "truncated";
    case TDamage::Random:
        return "random bytes";
    case TDamage::WrongKind:
        return "wrong kind";
    }
    return "";
}

const char* MediumName(TMedium medium) {
    switch (medium) {
    case TMedium::Picture:
        return "pictures";
    case TMedium::Model:
        return "models";
    case TMedium::Sound:
        return "sounds";
    case TMedium::Text:
        return "texts";
    }
    return "";
}

bool IsMedium(const QString& path, TMedium medium) {
    const QString ext = QFileInfo(path).suffix().toLower();
    switch (medium) {
    case TMedium::Picture:
        return ext == "png" || ext == "bmp" || ext == "jpg" || ext == "gif";
    case TMedium::Model:
        return ext == "obj" || ext == "mtl";
    case TMedium::Sound:
        return ext == "wav" || ext == "mp3";
    case TMedium::Text:
        return ext == "txt" || ext == "game" || ext == "htm" || ext == "xml";
    }
    return false;
}

bool CopyFolder(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFile::copy(source, target))
            return false;
        QFile::setPermissions(target, QFile::permissions(source) | QFile::WriteOwner);
    }
    return true;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Damages every file of `medium` below `folder`; returns how many.
int Damage(const QString& folder, TMedium medium, TDamage damage, QRandomGenerator& random) {
    // The bytes of another kind of file: a sound for pictures, a picture for
    // everything else.
    QByteArray other;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext()) {
        const QString path = it.next();
        if (IsMedium(path, medium))
            files << path;
        else if (other.isEmpty() &&
                 IsMedium(path, medium == TMedium::Picture ? TMedium::Sound : TMedium::Picture))
            other = Contents(path).left(64 * 1024);
    }
    for (const QString& path : files) {
        QByteArray bytes = Contents(path);
        switch (damage) {
        case TDamage::Empty:
            bytes.clear();
            break;
        case TDamage::Truncated:
            bytes.truncate(bytes.size() / 2);
            break;
        case TDamage::Random:
            for (char& c : bytes)
                c = char(random.bounded(256));
            break;
        case TDamage::WrongKind:
            bytes = other;
            break;
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            return -1;
    }
    return int(files.size());
}

// Whether the program `pid` shows a window within `ms` milliseconds.
bool ShowsWindow(qint64 pid, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QProcess search;
        search.start("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)});
        search.waitForFinished(5000);
        if (!search.readAllStandardOutput().trimmed().isEmpty())
            return true;
        QThread::msleep(200);
    }
    return false;
}

class DamagedMediaTest : public ::testing::TestWithParam<std::tuple<TMedium, TDamage>> {};

TEST_P(DamagedMediaTest, ProgramStartsAndKeepsRunning) {
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "xdotool is not installed";
    const auto [medium, damage] = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString app = dir.filePath("app");
    ASSERT_TRUE(CopyFolder(QDir(AppDir()).absolutePath(), app));
    QRandomGenerator random(int(medium) * 4 + int(damage));
    const int damaged = Damage(app, medium, damage, random);
    ASSERT_GT(damaged, 0) << "no " << MediumName(medium) << " in " << app.toStdString();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(app + "/ravlin", {});
    ASSERT_TRUE(program.waitForStarted(10000));
    const bool shown = ShowsWindow(program.processId(), 20000);
    // Past start-up the menu loads its scene, sky and sounds and begins to
    // animate: a little longer, then it must still be running.
    program.waitForFinished(2000);
    const bool running = program.state() == QProcess::Running;
    program.kill();
    program.waitForFinished(5000);
    const QString output = QString::fromUtf8(program.readAll());
    EXPECT_TRUE(shown) << damaged << " " << MediumName(medium) << " " << DamageName(damage) << "\n"
                       << output.toStdString();
    EXPECT_TRUE(running) << damaged << " " << MediumName(medium) << " " << DamageName(damage)
                         << ": exit " << program.exitCode() << "\n"
                         << output.toStdString();
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<TMedium, TDamage>>& info) {
    std::string name = std::string(MediumName(std::get<0>(info.param))) + "_" +
                       DamageName(std::get<1>(info.param));
    for (char& c : name)
        if (c == ' ')
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, DamagedMediaTest,
                         ::testing::Combine(::testing::Values(TMedium::Picture, TMedium::Model,
                                                              TMedium::Sound, TMedium::Text),
                                            ::testing::Values(TDamage::Empty, TDamage::Truncated,
                                                              TDamage::Random, TDamage::WrongKind)),
                         CaseName);

} // namespace
