#include "gl/TextureItem.h"

#include "gl/GLContextScope.h"

#include <GL/gl.h>

TTextureItem::~TTextureItem() {
    if (!Loaded || Id == 0)
        return;
    // A texture name only means something in its own context; with that
    // context gone, the texture went with it.
    TGLContextScope scope(FContext);
    if (scope.IsCurrent()) {
        const GLuint id = Id;
        glDeleteTextures(1, &id);
    }
}

void TTextureItem::Upload(const unsigned char* rgba, int width, int height) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context)
        return;
    GLuint id = 0;
    glGenTextures(1, &id);
    FContext = context;
    Id = id;
    Loaded = true;
    Width = width;
    Height = height;
    glBindTexture(GL_TEXTURE_2D, id);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}
