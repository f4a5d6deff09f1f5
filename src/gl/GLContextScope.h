#pragma once

#include <QOpenGLContext>
#include <QPointer>
#include <QSurface>

// Makes a given OpenGL context current for the lifetime of the object (unless
// it, or a context sharing its objects, already is) and restores the previous
// one afterwards. GL objects must be deleted in the context that created
// them; owners of textures use this so that freeing an item never deletes a
// texture name of some other panel that happens to be current.
class TGLContextScope {
public:
    explicit TGLContextScope(QOpenGLContext* context);
    ~TGLContextScope();
    TGLContextScope(const TGLContextScope&) = delete;
    TGLContextScope& operator=(const TGLContextScope&) = delete;

    // True when GL calls made now reach the wanted context's objects.
    bool IsCurrent() const { return FCurrent; }

private:
    bool FCurrent = false;
    bool FSwitched = false;
    QPointer<QOpenGLContext> FPrevious;
    QSurface* FPreviousSurface = nullptr;
};
