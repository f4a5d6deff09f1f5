// The input composer with real key events of the X server: keycodes and
// keysyms of the desktop's keyboard layout, typed with xdotool. Here, because
// the test changes the server's keymap and sends keys to the focused window,
// which must not happen on the server other test programs share.

#include "platform/InputComposer.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs an X tool; false when it is missing or fails.
bool RunX(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// Lets events in until `done` holds or two seconds have passed.
template <typename TCondition> bool WaitFor(TCondition done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000)
        QTest::qWait(10);
    return done();
}

} // namespace

TEST(OnScreen, InputComposerWithRealKeysOfGermanAndUsLayouts) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs the X server (QT_QPA_PLATFORM=xcb)";
    if (QStandardPaths::findExecutable("setxkbmap").isEmpty() ||
        QStandardPaths::findExecutable("xkbcomp").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "needs setxkbmap, xkbcomp and xdotool";
    // The server's keymap is put back exactly as it was, whatever happens
    // below (the test may run on a desktop rather than on Xvfb).
    QTemporaryDir keymapDir;
    const QString saved = keymapDir.filePath("saved.xkb");
    ASSERT_TRUE(RunX("sh", {"-c", "xkbcomp -xkb \"$DISPLAY\" \"$1\" 2>/dev/null", "sh", saved}));
    struct TKeymapGuard {
        QString File;
        ~TKeymapGuard() {
            RunX("sh", {"-c", "xkbcomp \"$1\" \"$DISPLAY\" 2>/dev/null", "sh", File});
        }
    } guard{saved};
    ASSERT_TRUE(RunX("setxkbmap", {"-layout", "de"}));
    // The German layout also puts AltGr on a spare key code (92) that
    // xdotool would press instead; leaving AltGr on the right Alt key alone
    // makes xdotool press that key, as a learner does.
    ASSERT_TRUE(
        RunX("sh", {"-c", "xkbcomp -xkb \"$DISPLAY\" - 2>/dev/null"
                          " | sed -e '/key <LVL3> {/,/};/s/ISO_Level3_Shift/NoSymbol/'"
                          " -e 's/modifier_map Mod5 { <LVL3> };/modifier_map Mod5 { <RALT> };/'"
                          " | xkbcomp - \"$DISPLAY\" 2>/dev/null"}));

    QLineEdit edit;
    TInputComposer composer;
    composer.Attach(&edit, true);
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    ASSERT_TRUE(WaitFor([&] { return edit.hasFocus() && QApplication::focusWidget() == &edit; }));
    QTest::qWait(100);

    // German layout: right Alt is AltGr, AltGr+Q is "@", and the letters
    // after it stay Latin.
    ASSERT_TRUE(RunX("xdotool", {"key", "--delay", "20", "a", "ISO_Level3_Shift+q", "b", "c"}));
    EXPECT_TRUE(WaitFor([&] { return edit.text() == QStringLiteral("a@bc"); }))
        << edit.text().toStdString();
    EXPECT_EQ(composer.TypingLang(), tlEng);
    // Shift held over the space of an English text types the space.
    ASSERT_TRUE(
        RunX("xdotool", {"key", "--delay", "20", "shift+a", "shift+space", "shift+b", "c"}));
    EXPECT_TRUE(WaitFor([&] { return edit.text() == QStringLiteral("a@bcA Bc"); }))
        << edit.text().toStdString();
    EXPECT_EQ(composer.TypingLang(), tlEng);
    // In Hangul mode AltGr+Q still gives "@", after the syllable before it.
    composer.SetTypingLang(tlNative);
    edit.clear();
    ASSERT_TRUE(RunX("xdotool", {"key", "--delay", "20", "r", "k", "ISO_Level3_Shift+q", "r"}));
    EXPECT_TRUE(WaitFor([&] { return edit.text() == QStringLiteral("가@"); }))
        << edit.text().toStdString();
    composer.Commit();
    EXPECT_EQ(edit.text(), QStringLiteral("가@ㄱ"));
    composer.SetTypingLang(tlEng);

    // US layout: right Alt is a plain Alt and switches to Hangul.
    ASSERT_TRUE(RunX("setxkbmap", {"-layout", "us"}));
    QTest::qWait(100);
    edit.clear();
    ASSERT_TRUE(RunX("xdotool", {"key", "--delay", "20", "Alt_R", "r", "k", "space"}));
    EXPECT_TRUE(WaitFor([&] { return edit.text() == QStringLiteral("가 "); }))
        << edit.text().toStdString();
    EXPECT_EQ(composer.TypingLang(), tlNative);
}
