// Starts the real program to check what start-up does with the settings folder.

#include "app/Folders.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

QProcess* StartProgram(const QString& dataHome, const QString& program = AppDir() + "ravlin") {
    auto* process = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dataHome);
    process->setProcessEnvironment(env);
    process->start(program, {});
    EXPECT_TRUE(process->waitForStarted(5000));
    return process;
}

// Collects the program's error output until it contains `text` or 15 s pass.
QString WaitForError(QProcess* process, const QString& text) {
    QElapsedTimer clock;
    clock.start();
    QByteArray errors;
    while (!QString::fromUtf8(errors).contains(text) && clock.elapsed() < 15000) {
        process->waitForReadyRead(100);
        errors += process->readAllStandardError();
    }
    return QString::fromUtf8(errors);
}

void Stop(QProcess* process) {
    process->kill();
    process->waitForFinished(5000);
    delete process;
}

} // namespace

TEST(Startup, CreatesTheSettingsFolderInAnEmptyDataHome) {
    QTemporaryDir dataHome;
    QProcess* program = StartProgram(dataHome.path());
    QElapsedTimer clock;
    clock.start();
    while (!QDir(dataHome.filePath("Ravlin")).exists() && clock.elapsed() < 15000)
        QThread::msleep(50);
    EXPECT_TRUE(QDir(dataHome.filePath("Ravlin")).exists());
    EXPECT_EQ(program->state(), QProcess::Running); // the menu keeps it running
    Stop(program);
}

TEST(Startup, AFolderThatCannotBeCreatedIsNamedInTheMessage) {
    QTemporaryDir dir;
    // A regular file where a folder would have to be: no one can create below it.
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString dataHome = dir.filePath("file/data");

    QProcess* program = StartProgram(dataHome);
    QElapsedTimer clock;
    clock.start();
    QByteArray errors;
    while (!errors.contains("Ravlin") && clock.elapsed() < 15000) {
        program->waitForReadyRead(100);
        errors += program->readAllStandardError();
    }
    EXPECT_TRUE(QString::fromUtf8(errors).contains(dataHome + "/Ravlin/")) << errors.toStdString();
    EXPECT_FALSE(QDir(dataHome).exists());
    if (program->state() == QProcess::NotRunning) {
        EXPECT_NE(program->exitCode(), 0);
    }
    Stop(program);
}

TEST(Startup, AMenuThatCannotBeBuiltIsReportedNotACrash) {
    // The program with its model beside it, but without the model's pictures
    // and with one of them damaged.
    QTemporaryDir programFolder;
    const QString copy = programFolder.filePath("ravlin");
    ASSERT_TRUE(QFile::copy(AppDir() + "ravlin", copy));
    ASSERT_TRUE(QDir().mkpath(programFolder.filePath("Models/maps")));
    for (const char* name : {"Models/RvMenu.obj", "Models/RvMenu.mtl"})
        ASSERT_TRUE(QFile::copy(AppDir() + name, programFolder.filePath(name)));
    QFile damaged(programFolder.filePath("Models/maps/AboutSign.png"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x89PNG\r\n\x1a\n not really a picture");
    damaged.close();
    QTemporaryDir dataHome;

    QProcess* program = StartProgram(dataHome.path(), copy);
    const QString errors = WaitForError(program, QStringLiteral(".png"));
    EXPECT_TRUE(errors.contains(programFolder.filePath("Models/maps/"))) << errors.toStdString();
    EXPECT_FALSE(errors.contains(QStringLiteral("terminate called")));
    if (program->state() == QProcess::NotRunning) {
        EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
        EXPECT_NE(program->exitCode(), 0);
    }
    Stop(program);
}
