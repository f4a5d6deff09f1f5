#pragma once

#include "gl/TextureItem.h"

#include <functional>
#include <map>
#include <memory>
#include <QImage>
#include <QString>
#include <vector>

// Called before an image is read; TextureFileName starts as the item's
// FileName and may be replaced. An empty result means no texture.
using TTextureLoadFunc = std::function<void(TTextureItem* item, QString& TextureFileName)>;
// Called after the image was converted to a 32-bit bitmap (Format_ARGB32),
// before upload; may change pixels, alpha included.
using TTextureDrawFunc = std::function<void(TTextureItem* item, QImage& Bitmap)>;

// Turns image files into OpenGL textures, cached under (file name, suffix):
// one file may exist as several textures that differ only in how the owner
// altered the pixels before upload. Owns its items. Loading needs the
// owning panel's context to be current.
class TTextureList {
public:
    TTextureList() = default;
    ~TTextureList();
    TTextureList(const TTextureList&) = delete;
    TTextureList& operator=(const TTextureList&) = delete;

    // Returns the existing item for (FileName, SuffixName) unchanged (no
    // reload, callbacks not called), or loads and appends a new one. Returns
    // nullptr for an empty file name, before or after LoadFunc. Failures to
    // read the image throw ERavlinError and add nothing.
    TTextureItem* Add(const QString& MaterialName, const QString& SuffixName,
                      const QString& FileName, const TTextureLoadFunc& LoadFunc,
                      const TTextureDrawFunc& DrawFunc);
    // First item whose FileName and SuffixName equal the arguments ignoring
    // case; nothing for an empty FileName.
    TTextureItem* FindTexture(const QString& FileName, const QString& Suffix) const;
    void Delete(const QString& FileName, const QString& SuffixName);
    void Clear();

    int Count() const { return int(FItems.size()); }
    TTextureItem* Items(int index) const { return FItems.at(std::size_t(index)).get(); }

    // Decodes an image file into the bitmap that is uploaded: width widened
    // to a multiple of 4, height unchanged. 32-bit BMP and RGBA PNG pictures
    // keep their alpha and are placed unscaled (the added columns stay fully
    // transparent); every other picture is stretched over the whole bitmap
    // and made opaque. Throws ERavlinError when the file cannot be read.
    static QImage LoadTextureBitmap(const QString& fileName);

    // While loading a whole model, one picture is often asked for under
    // several suffixes. Between these calls each file is decoded once, and
    // the decoded pictures are let go at the end.
    void BeginLoading();
    void EndLoading();

private:
    QImage DecodedBitmap(const QString& fileName);
    // An item already showing exactly these pixels of the same file.
    const TTextureItem* FindSamePixels(const TTextureItem& item, std::size_t hash) const;

    std::vector<std::unique_ptr<TTextureItem>> FItems;
    bool FLoading = false;
    std::map<QString, QImage> FDecoded;
};
