#include "gl/GLContextScope.h"

TGLContextScope::TGLContextScope(QOpenGLContext* context) {
    if (!context)
        return;
    QOpenGLContext* current = QOpenGLContext::currentContext();
    if (current && (current == context || QOpenGLContext::areSharing(current, context))) {
        FCurrent = true;
        return;
    }
    if (!context->surface())
        return;
    FPrevious = current;
    FPreviousSurface = current ? current->surface() : nullptr;
    FSwitched = true;
    FCurrent = context->makeCurrent(context->surface());
}

TGLContextScope::~TGLContextScope() {
    if (!FSwitched)
        return;
    if (FPrevious && FPreviousSurface)
        FPrevious->makeCurrent(FPreviousSurface);
    else if (QOpenGLContext* current = QOpenGLContext::currentContext())
        current->doneCurrent();
}
