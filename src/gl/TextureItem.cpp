#include "gl/TextureItem.h"

#include "gl/GLContextScope.h"

#include <GL/gl.h>

// One GL texture name and the context it was made in. Items showing the
// same pixels share one; the last of them deletes it.
class TGLTextureName {
public:
    TGLTextureName(GLuint id, QOpenGLContext* context)
        : Id(id)
        , Context(context) {}
    ~TGLTextureName() {
        // A texture name only means something in its own context; with that
        // context gone, the texture went with it.
        TGLContextScope scope(Context);
        if (scope.IsCurrent())
            glDeleteTextures(1, &Id);
    }
    TGLTextureName(const TGLTextureName&) = delete;
    TGLTextureName& operator=(const TGLTextureName&) = delete;

    const GLuint Id;
    const QPointer<QOpenGLContext> Context;
};

TTextureItem::~TTextureItem() = default;

QOpenGLContext* TTextureItem::Context() const {
    return FTexture ? FTexture->Context.data() : nullptr;
}

void TTextureItem::ShareTextureOf(const TTextureItem& other) {
    FTexture = other.FTexture;
    Loaded = other.Loaded;
    Id = other.Id;
    Width = other.Width;
    Height = other.Height;
    FPixelHash = other.FPixelHash;
}

void TTextureItem::Upload(const unsigned char* rgba, int width, int height) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context)
        return;
    GLuint id = 0;
    glGenTextures(1, &id);
    FTexture = std::make_shared<const TGLTextureName>(id, context);
    Id = id;
    Loaded = true;
    Width = width;
    Height = height;
    glBindTexture(GL_TEXTURE_2D, id);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // The filters come before the pixels: a texture whose filter still asks
    // for mipmaps when its image arrives gets storage for a whole mipmap
    // chain from some drivers (a third more memory), which a texture without
    // mipmaps never uses.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}
