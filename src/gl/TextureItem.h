#pragma once

#include "app/Colors.h"

#include <cstddef>
#include <memory>
#include <QOpenGLContext>
#include <QPointer>
#include <QString>

class TGLTextureName;

// One OpenGL texture made from an image file, keyed by (FileName,
// SuffixName). Destroying the item deletes its GL texture in the context
// that created it.
class TTextureItem {
public:
    TTextureItem() = default;
    ~TTextureItem();
    TTextureItem(const TTextureItem&) = delete;
    TTextureItem& operator=(const TTextureItem&) = delete;

    // Uploads a W x H image given as RGBA bytes, bottom row first, into a
    // new texture of the current context: linear filtering, no mipmaps.
    // Without a current context nothing is uploaded and Loaded stays false.
    void Upload(const unsigned char* rgba, int width, int height);
    // Uses the texture of `other` (same picture, same pixels) instead of a
    // copy of its own; the texture lives until its last item goes.
    void ShareTextureOf(const TTextureItem& other);
    // A fingerprint of the pixels that were uploaded, so that an identical
    // picture can share the texture.
    std::size_t PixelHash() const { return FPixelHash; }
    void SetPixelHash(std::size_t hash) { FPixelHash = hash; }
    // The context the texture belongs to; none before an upload.
    QOpenGLContext* Context() const;

    bool Loaded = false;
    unsigned int Id = 0;
    int Width = 0;
    int Height = 0;
    // The material that first asked for the texture.
    QString MaterialName;
    // Kept for the screens; the list itself does not use these three.
    TColor TransparentColor = clNone;
    float Transparency = 0;
    float TransparentThreshold = 1.0f;
    QString SuffixName;
    // The file name as requested (the key).
    QString FileName;
    // The file actually read, after the file-name callback.
    QString LoadedFileName;

private:
    std::shared_ptr<const TGLTextureName> FTexture;
    std::size_t FPixelHash = 0;
};
