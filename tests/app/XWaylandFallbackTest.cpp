#include "app/XWaylandFallback.h"

#include <gtest/gtest.h>
#include <QSurfaceFormat>

namespace {

QSurfaceFormat Format(int major, int minor, QSurfaceFormat::OpenGLContextProfile profile) {
    QSurfaceFormat format;
    format.setVersion(major, minor);
    format.setProfile(profile);
    return format;
}

} // namespace

// Which contexts can draw the fixed-function scenes: desktop OpenGL before
// profiles existed, or with the compatibility profile; never a core profile
// or OpenGL ES, whatever version they report.
TEST(XWaylandFallback, OnlyCompatibilityContextsDrawTheScenes) {
    EXPECT_EQ(TXWaylandFallback::FormatProblem(Format(2, 1, QSurfaceFormat::NoProfile), false),
              QString());
    EXPECT_EQ(TXWaylandFallback::FormatProblem(Format(3, 1, QSurfaceFormat::NoProfile), false),
              QString());
    EXPECT_EQ(
        TXWaylandFallback::FormatProblem(Format(4, 5, QSurfaceFormat::CompatibilityProfile), false),
        QString());
    EXPECT_EQ(TXWaylandFallback::FormatProblem(Format(3, 3, QSurfaceFormat::CoreProfile), false),
              QStringLiteral("OpenGL 3.3 without the compatibility profile"));
    // A 3.2+ context that names neither profile may have dropped the
    // fixed-function pipeline.
    EXPECT_EQ(TXWaylandFallback::FormatProblem(Format(3, 2, QSurfaceFormat::NoProfile), false),
              QStringLiteral("OpenGL 3.2 without the compatibility profile"));
    EXPECT_EQ(TXWaylandFallback::FormatProblem(Format(2, 0, QSurfaceFormat::NoProfile), true),
              QStringLiteral("only OpenGL ES 2.0 is available"));
    EXPECT_EQ(
        TXWaylandFallback::FormatProblem(Format(3, 2, QSurfaceFormat::CompatibilityProfile), true),
        QStringLiteral("only OpenGL ES 3.2 is available"));
}

// The restart keeps every argument but the platform choice, in each of the
// spellings Qt accepts, so it cannot land on Wayland again.
TEST(XWaylandFallback, RestartDropsThePlatformOption) {
    char a0[] = "/opt/ravlin/ravlin";
    char a1[] = "-platform";
    char a2[] = "wayland";
    char a3[] = "--lesson";
    char a4[] = "--platform=wayland-egl";
    char a5[] = "-platform=wayland";
    char a6[] = "한글 텍스트.txt";
    char* argv[] = {a0, a1, a2, a3, a4, a5, a6};
    const TXWaylandFallback fallback(7, argv);
    EXPECT_EQ(fallback.RestartArguments(),
              (QStringList{QStringLiteral("/opt/ravlin/ravlin"), QStringLiteral("--lesson"),
                           QStringLiteral("한글 텍스트.txt")}));

    // A trailing "-platform" without a value takes nothing else with it.
    char* trailing[] = {a0, a3, a1};
    EXPECT_EQ(TXWaylandFallback(3, trailing).RestartArguments(),
              (QStringList{QStringLiteral("/opt/ravlin/ravlin"), QStringLiteral("--lesson")}));
}

// The messages name the reason in both languages and say what happens.
TEST(XWaylandFallback, MessagesNameTheReason) {
    const QString restart = TXWaylandFallback::RestartMessage(QStringLiteral("only OpenGL ES 3.2"));
    EXPECT_TRUE(restart.contains(QStringLiteral("XWayland로 다시 시작합니다")));
    EXPECT_TRUE(restart.contains(QStringLiteral("restarting on XWayland (QT_QPA_PLATFORM=xcb)")));
    EXPECT_EQ(restart.count(QStringLiteral("only OpenGL ES 3.2")), 2);
    const QString none = TXWaylandFallback::NoXWaylandMessage(QStringLiteral("no OpenGL"));
    EXPECT_TRUE(none.contains(QStringLiteral("no OpenGL")));
    EXPECT_TRUE(none.contains(QStringLiteral("XWayland를 설치")));
}
