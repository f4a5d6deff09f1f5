// Saving on a full disk: the probe program gets a small tmpfs of its own as
// its data folder (a private mount namespace, so nothing outside the test
// sees it), stores settings, a resume line and a score board, fills the
// disk, and saves again. Every later save must fail with a message that
// names its file, and the old files must stay whole (the probe checks both
// and prints what it saw).

#include <gtest/gtest.h>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <unistd.h>

TEST(FullDiskTest, SavesFailClearlyAndKeepTheOldFiles) {
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty())
        GTEST_SKIP() << "unshare is not installed";
    QTemporaryDir mountPoint;
    ASSERT_TRUE(mountPoint.isValid());

    // As root a mount namespace is enough; otherwise a user namespace maps
    // the caller to root inside it.
    const QStringList shell = {
        QStringLiteral("-c"),
        QStringLiteral("mount -t tmpfs -o size=96k,nr_inodes=64 tmpfs \"$1\" || exit 77; "
                       "exec \"$2\" full-disk \"$1\""),
        QStringLiteral("sh"), mountPoint.path(), QStringLiteral(RAVLIN_SAVE_PROBE)};
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QStringList args = {QStringLiteral("-m")};
    if (geteuid() != 0)
        args.prepend(QStringLiteral("-r"));
    process.start(unshare, args + QStringList{QStringLiteral("sh")} + shell);
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString output = QString::fromUtf8(process.readAll());
    std::printf("%s", qPrintable(output));
    if (process.exitCode() == 77 || output.contains(QLatin1String("unshare failed")))
        GTEST_SKIP() << "no tmpfs can be mounted here: " << output.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QLatin1String("settings: failed")));
    EXPECT_TRUE(output.contains(QLatin1String("history: failed")));
    EXPECT_TRUE(output.contains(QLatin1String("score: failed")));
    // The reason is the system's own, not a generic one.
    EXPECT_TRUE(output.contains(QLatin1String("No space left on device")));
}
