#include "platform/AtomicFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
