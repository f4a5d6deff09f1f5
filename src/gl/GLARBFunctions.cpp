#include "gl/GLARBFunctions.h"

#include "gl/GLPanel.h"

#include <algorithm>
#include <cstdio>
#include <QMessageBox>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#ifndef GL_MAX_SAMPLES
#define GL_MAX_SAMPLES 0x8D57
#endif

namespace {

const QString kLoadError =
    QStringLiteral("Error while loading GL_ARB functions. Please Check your opengl32.dll version.");

QString ProbeOnce(TGLARBFunctions& table) {
    QOffscreenSurface surface;
    surface.setFormat(TGLPanel::RequestedSurfaceFormat(0));
    surface.create();
    QOpenGLContext context;
    context.setFormat(TGLPanel::RequestedSurfaceFormat(0));
    if (!surface.isValid() || !context.create() || !context.makeCurrent(&surface))
        return kLoadError;

    struct TEntry {
        const char* name;
        TGLARBFunctions::TProc* slot;
    };
    const TEntry entries[] = {
        {"glBindBufferARB", &table.glBindBufferARB},
        {"glDeleteBuffersARB", &table.glDeleteBuffersARB},
        {"glGenBuffersARB", &table.glGenBuffersARB},
        {"glIsBufferARB", &table.glIsBufferARB},
        {"glBufferDataARB", &table.glBufferDataARB},
        {"glBufferSubDataARB", &table.glBufferSubDataARB},
        {"glGetBufferSubDataARB", &table.glGetBufferSubDataARB},
        {"glMapBufferARB", &table.glMapBufferARB},
        {"glUnmapBufferARB", &table.glUnmapBufferARB},
        {"glGetBufferParameterivARB", &table.glGetBufferParameterivARB},
        {"glGetBufferPointervARB", &table.glGetBufferPointervARB},
        {"glRenderbufferStorageMultisample", &table.glRenderbufferStorageMultisample},
        {"glBlitFramebuffer", &table.glBlitFramebuffer},
    };
    bool allFound = true;
    for (const TEntry& entry : entries) {
        *entry.slot = reinterpret_cast<TGLARBFunctions::TProc>(context.getProcAddress(entry.name));
        if (!*entry.slot)
            allFound = false;
    }

    GLint maxSamples = 0;
    context.functions()->glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    // A failed query leaves an error and a meaningless value behind.
    if (context.functions()->glGetError() != GL_NO_ERROR || maxSamples < 0)
        maxSamples = 0;
    table.MaxSamples = maxSamples;
    const auto* renderer = context.functions()->glGetString(GL_RENDERER);
    table.SoftwareRenderer =
        renderer &&
        IsSoftwareRendererName(QString::fromLatin1(reinterpret_cast<const char*>(renderer)));
    context.doneCurrent();
    return allFound ? QString() : kLoadError;
}

} // namespace

bool IsSoftwareRendererName(const QString& renderer) {
    static const char* const kSoftwareRenderers[] = {"llvmpipe", "softpipe", "swrast",
                                                     "Software Rasterizer"};
    for (const char* name : kSoftwareRenderers)
        if (renderer.contains(QLatin1String(name), Qt::CaseInsensitive))
            return true;
    return false;
}

int PreferredSamples(int wanted) {
    const TGLARBFunctions& table = GLARBFunctions();
    if (table.SoftwareRenderer)
        return 0;
    return std::max(0, std::min(wanted, table.MaxSamples));
}

TGLARBFunctions& GLARBFunctions() {
    static TGLARBFunctions table;
    return table;
}

bool ProbeGLARBFunctions(QString* error) {
    static QString firstError;
    TGLARBFunctions& table = GLARBFunctions();
    if (!table.Probed) {
        firstError = ProbeOnce(table);
        table.Loaded = firstError.isEmpty();
        table.Probed = true;
    }
    if (error)
        *error = firstError;
    return table.Loaded;
}

bool Load_GLARB_Functions() {
    QString error;
    if (ProbeGLARBFunctions(&error))
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(error));
    QMessageBox::critical(nullptr, QStringLiteral("타비로"), error);
    return false;
}
