#include "platform/AtomicFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>

TEST(AtomicFile, InterruptedBeforeRenameLeavesOldFileAndNoLeftovers) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Ravlin.ini");
    ASSERT_TRUE(WriteFileAtomically(path, "old content\n"));
    {
        TAtomicFile file(path);
        ASSERT_TRUE(file.Write(QByteArray(100000, 'x')));
        // Destroyed here without Commit(): as if the program stopped between
        // writing and renaming.
    }
    EXPECT_EQ(ReadFileBytes(path), QByteArray("old content\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Ravlin.ini"});
}

TEST(AtomicFile, CommitReplacesWholeContent) {
    QTemporaryDir dir;
    const QString path = dir.filePath("cscore.dat");
    ASSERT_TRUE(WriteFileAtomically(path, QByteArray(5000, 'a')));
    ASSERT_TRUE(WriteFileAtomically(path, "short"));
    EXPECT_EQ(ReadFileBytes(path), QByteArray("short"));
}

TEST(AtomicFile, FailureIsReportedWithReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath("missing-folder/banner.png");
    QString reason;
    EXPECT_FALSE(WriteFileAtomically(path, "data", &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

namespace {

// Creates `path` holding `bytes`, last modified `age` seconds ago.
void WriteAgedFile(const QString& path, const QByteArray& bytes, int age) {
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-age),
                                 QFileDevice::FileModificationTime));
}

} // namespace

TEST(AtomicFile, TemporaryNamesAreTheTargetsWithSixRandomCharacters) {
    EXPECT_TRUE(TAtomicFile::IsTemporaryFileName("Ravlin.ini", "Ravlin.ini.aBcDeF"));
    EXPECT_TRUE(TAtomicFile::IsTemporaryFileName("Ravlin.ini", "Ravlin.ini.Qx1234"));
    EXPECT_TRUE(TAtomicFile::IsTemporaryFileName("[a]*.png", "[a]*.png.ZZZZZZ"));
    EXPECT_FALSE(TAtomicFile::IsTemporaryFileName("Ravlin.ini", "Ravlin.ini"));
    EXPECT_FALSE(TAtomicFile::IsTemporaryFileName("Ravlin.ini", "Ravlin.ini.bak"));
    EXPECT_FALSE(TAtomicFile::IsTemporaryFileName("Ravlin.ini", "Ravlin.ini.aBcDeFg"));
    EXPECT_FALSE(TAtomicFile::IsTemporaryFileName("Ravlin.ini", "Ravlin.ini.aB-DeF"));
    EXPECT_FALSE(TAtomicFile::IsTemporaryFileName("Ravlin.ini", "Ravlin.ini_aBcDeF"));
    EXPECT_FALSE(TAtomicFile::IsTemporaryFileName("Ravlin.ini", "ravlin.ini.aBcDeF"));
    EXPECT_FALSE(TAtomicFile::IsTemporaryFileName("Ravlin.ini", "cscore.dat.aBcDeF"));
    EXPECT_FALSE(TAtomicFile::IsTemporaryFileName("", ".aBcDeF"));

    // The names Qt itself generates for a file follow the pattern.
    QTemporaryDir dir;
    QTemporaryFile qtTemporary(dir.filePath("Ravlin.ini"));
    ASSERT_TRUE(qtTemporary.open());
    EXPECT_TRUE(TAtomicFile::IsTemporaryFileName("Ravlin.ini",
                                                 QFileInfo(qtTemporary.fileName()).fileName()))
        << qtTemporary.fileName().toStdString();
}

TEST(AtomicFile, NextSaveRemovesOnlyItsOwnStaleTemporaries) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Ravlin.ini");
    const QByteArray full(4096, 's');
    WriteAgedFile(path, "old\n", 3600);
    WriteAgedFile(dir.filePath("Ravlin.ini.kIlLeD"), full, 3600);  // left by a kill
    WriteAgedFile(dir.filePath("Ravlin.ini.Ab12Cd"), full, 61);    // just over a minute
    WriteAgedFile(dir.filePath("Ravlin.ini.NoWxYz"), full, 5);     // a save in progress
    WriteAgedFile(dir.filePath("Ravlin.ini.backup1"), full, 3600); // not the pattern
    WriteAgedFile(dir.filePath("Ravlin.ini.old"), full, 3600);
    WriteAgedFile(dir.filePath("cscore.dat.kIlLeD"), full, 3600); // another writer's
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ravlin.ini.FoLdEr"));     // a folder, not a file

    ASSERT_TRUE(WriteFileAtomically(path, "new\n"));
    EXPECT_EQ(ReadFileBytes(path), QByteArray("new\n"));
    QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, (QStringList{"Ravlin.ini", "Ravlin.ini.FoLdEr", "Ravlin.ini.NoWxYz",
                                 "Ravlin.ini.backup1", "Ravlin.ini.old", "cscore.dat.kIlLeD"}));

    // The score writer cleans up after itself in the same way.
    ASSERT_TRUE(WriteFileAtomically(dir.filePath("cscore.dat"), "scores"));
    EXPECT_FALSE(QFile::exists(dir.filePath("cscore.dat.kIlLeD")));
    EXPECT_TRUE(QFile::exists(dir.filePath("Ravlin.ini.NoWxYz")));
}

TEST(AtomicFile, StaleTemporariesAreJudgedByTheGivenTime) {
    QTemporaryDir dir;
    const QString path = dir.filePath("banner.png");
    WriteAgedFile(dir.filePath("banner.png.aaaaaa"), "x", 30);
    // Thirty seconds old is no leftover now, but is one two minutes later.
    EXPECT_EQ(TAtomicFile::RemoveStaleTemporaries(path), 0);
    EXPECT_EQ(
        TAtomicFile::RemoveStaleTemporaries(path, QDateTime::currentDateTimeUtc().addSecs(120)), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("banner.png.aaaaaa")));
    // A missing folder is nothing to clean.
    EXPECT_EQ(TAtomicFile::RemoveStaleTemporaries(dir.filePath("none/banner.png")), 0);
}
