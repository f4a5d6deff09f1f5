#include "app/XWaylandFallback.h"

#include "gl/GLPanel.h"

#include <cstdio>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <unistd.h>
#include <vector>

TXWaylandFallback::TXWaylandFallback(int argc, char** argv) {
    for (int i = 0; i < argc; ++i)
        FArguments << QString::fromLocal8Bit(argv[i]);
}

QString TXWaylandFallback::FormatProblem(const QSurfaceFormat& actual, bool isOpenGLES) {
    const QString version =
        QStringLiteral("%1.%2").arg(actual.majorVersion()).arg(actual.minorVersion());
    if (isOpenGLES)
        return QStringLiteral("only OpenGL ES %1 is available").arg(version);
    const bool beforeProfiles = actual.version() < qMakePair(3, 2);
    if (!beforeProfiles && actual.profile() != QSurfaceFormat::CompatibilityProfile)
        return QStringLiteral("OpenGL %1 without the compatibility profile").arg(version);
    return QString();
}

QString TXWaylandFallback::CompatibilityContextProblem() {
    const QSurfaceFormat wanted = TGLPanel::RequestedSurfaceFormat(0);
    QOffscreenSurface surface;
    surface.setFormat(wanted);
    surface.create();
    QOpenGLContext context;
    context.setFormat(wanted);
    if (!surface.isValid() || !context.create())
        return QStringLiteral("no OpenGL context can be created");
    if (!context.makeCurrent(&surface))
        return QStringLiteral("the OpenGL context cannot be made current");
    const QString problem = FormatProblem(context.format(), context.isOpenGLES());
    context.doneCurrent();
    return problem;
}

QString TXWaylandFallback::RestartMessage(const QString& problem) {
    return QStringLiteral("타비로: Wayland에서 OpenGL 호환 프로필을 쓸 수 없어 XWayland로 다시 "
                          "시작합니다 (%1).\n"
                          "Ravlin: no OpenGL compatibility-profile context on Wayland (%1); "
                          "restarting on XWayland (QT_QPA_PLATFORM=xcb).")
        .arg(problem);
}

QString TXWaylandFallback::NoXWaylandMessage(const QString& problem) {
    return QStringLiteral("Wayland에서 OpenGL 호환 프로필을 쓸 수 없고 (%1), XWayland도 "
                          "없어 타비로를 시작할 수 없습니다.\n"
                          "XWayland를 설치하거나 X11 세션에서 실행하세요.")
        .arg(problem);
}

QStringList TXWaylandFallback::RestartArguments() const {
    QStringList arguments;
    for (int i = 0; i < FArguments.size(); ++i) {
        const QString& argument = FArguments[i];
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform")) {
            ++i; // and its value
            continue;
        }
        if (argument.startsWith(QLatin1String("-platform=")) ||
            argument.startsWith(QLatin1String("--platform=")))
            continue;
        arguments << argument;
    }
    return arguments;
}

bool TXWaylandFallback::RestartIfNeeded() const {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return true;
    const QString problem = CompatibilityContextProblem();
    if (problem.isEmpty())
        return true;

    const bool restartedBefore = qEnvironmentVariableIsSet(kRestartedVariable);
    if (restartedBefore || qEnvironmentVariableIsEmpty("DISPLAY")) {
        const QString message = NoXWaylandMessage(problem);
        std::fprintf(stderr, "%s\n", qPrintable(message));
        QMessageBox::critical(nullptr, QStringLiteral("타비로"), message);
        return false;
    }

    std::fprintf(stderr, "%s\n", qPrintable(RestartMessage(problem)));
    std::fflush(stderr);
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv(kRestartedVariable, "1");
    const QByteArray program = QCoreApplication::applicationFilePath().toLocal8Bit();
    std::vector<QByteArray> arguments;
    for (const QString& argument : RestartArguments())
        arguments.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv(program.constData(), argv.data());
    // Only reached when the executable cannot be started again.
    const QString message = NoXWaylandMessage(problem);
    std::fprintf(stderr, "%s\n", qPrintable(message));
    QMessageBox::critical(nullptr, QStringLiteral("타비로"), message);
    return false;
}
