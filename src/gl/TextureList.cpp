#include "gl/TextureList.h"

#include "app/ImageThumbnail.h"
#include "app/MediaPath.h"
#include "app/RavlinError.h"

#include <cstdint>
#include <cstring>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QPainter>

namespace {

// What kind of picture a file holds, by its first bytes: whether it is a
// 32-bit BMP or a PNG of colour type 6 (RGB with alpha).
enum class TSourceKind { Other, Bitmap32, PngWithAlpha };

TSourceKind SourceKindOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TSourceKind::Other;
    const QByteArray head = file.read(32);
    auto byteAt = [&head](int i) { return std::uint8_t(head.at(i)); };
    if (head.size() >= 26 && head.startsWith("\x89PNG\r\n\x1a\n") && head.mid(12, 4) == "IHDR")
        return byteAt(25) == 6 ? TSourceKind::PngWithAlpha : TSourceKind::Other;
    if (head.size() >= 30 && head.startsWith("BM")) {
        const std::uint32_t headerSize =
            byteAt(14) | (byteAt(15) << 8) | (byteAt(16) << 16) | (std::uint32_t(byteAt(17)) << 24);
        // The old 12-byte header keeps the bit count at 24, later ones at 28.
        const int at = headerSize == 12 ? 24 : 28;
        const int bitCount = byteAt(at) | (byteAt(at + 1) << 8);
        return bitCount == 32 ? TSourceKind::Bitmap32 : TSourceKind::Other;
    }
    return TSourceKind::Other;
}

} // namespace

TTextureList::~TTextureList() {
    Clear();
}

QImage TTextureList::LoadTextureBitmap(const QString& fileName) {
    const QString path = MediaPath(fileName);
    const QByteArray format = ImageFormatForFileName(fileName);

    QImage picture;
    QImageReader reader(path, format);
    if (!reader.read(&picture)) {
        // The JPEG and GIF decoders report their own errors.
        if (!format.isEmpty())
            throw ERavlinError(fileName + QStringLiteral(": ") + reader.errorString());
        throw ERavlinError(fileName + QStringLiteral(" 이미지를 텍스처로 불러올 수 없습니다."));
    }

    const int pictureWidth = picture.width();
    const int width = (pictureWidth + 3) & ~3;
    const int height = picture.height();
    QImage target(width, height, QImage::Format_ARGB32);
    if (target.isNull())
        throw ERavlinError(QStringLiteral("Failed to Read BitmapInfo. (") + fileName +
                           QStringLiteral(")"));

    const TSourceKind kind = SourceKindOf(path);
    if (kind != TSourceKind::Other) {
        // Alpha kept, top row first, unscaled; the added columns stay
        // transparent black.
        target.fill(0);
        const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
        if (source.isNull())
            throw ERavlinError(fileName + QStringLiteral(" 파일을 텍스처로 불러올 수 없습니다."));
        for (int y = 0; y < height; ++y)
            std::memcpy(target.scanLine(y), source.constScanLine(y), std::size_t(pictureWidth) * 4);
    } else {
        // Stretched over the whole target (nearest pixel) and made opaque.
        const QImage stretched =
            picture.convertToFormat(QImage::Format_RGB32)
                .scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (stretched.isNull())
            throw ERavlinError(fileName + QStringLiteral(" 파일을 텍스처로 불러올 수 없습니다."));
        for (int y = 0; y < height; ++y) {
            const auto* from = reinterpret_cast<const std::uint32_t*>(stretched.constScanLine(y));
            auto* to = reinterpret_cast<std::uint32_t*>(target.scanLine(y));
            for (int x = 0; x < width; ++x)
                to[x] = from[x] | 0xFF000000u;
        }
    }
    return target;
}

TTextureItem* TTextureList::Add(const QString& MaterialName, const QString& SuffixName,
                                const QString& FileName, const TTextureLoadFunc& LoadFunc,
                                const TTextureDrawFunc& DrawFunc) {
    const QString fileName = FileName.trimmed();
    if (fileName.isEmpty())
        return nullptr;
    if (TTextureItem* existing = FindTexture(fileName, SuffixName))
        return existing;

    auto item = std::make_unique<TTextureItem>();
    item->MaterialName = MaterialName;
    item->SuffixName = SuffixName;
    item->FileName = fileName;

    QString textureFileName = fileName;
    if (LoadFunc)
        LoadFunc(item.get(), textureFileName);
    if (textureFileName.trimmed().isEmpty())
        return nullptr;
    item->LoadedFileName = textureFileName;

    QImage bitmap = DecodedBitmap(textureFileName);
    if (DrawFunc)
        DrawFunc(item.get(), bitmap);
    // The callback may have replaced the bitmap; upload whatever it left, as
    // 32-bit pixels.
    if (bitmap.isNull())
        throw ERavlinError(QStringLiteral("GetDIBits failed."));
    if (bitmap.format() != QImage::Format_ARGB32)
        bitmap.convertTo(QImage::Format_ARGB32);

    // Texture row 0 is the bottom of the picture; bytes red, green, blue,
    // alpha.
    const QImage rgba = bitmap.convertToFormat(QImage::Format_RGBA8888).mirrored(false, true);
    const std::size_t hash = qHashBits(rgba.constBits(), std::size_t(rgba.sizeInBytes()));
    item->Width = rgba.width();
    item->Height = rgba.height();
    // The same picture under another suffix, unaltered or altered alike by
    // the callback, shares the texture instead of taking the memory twice.
    if (const TTextureItem* same = FindSamePixels(*item, hash)) {
        item->ShareTextureOf(*same);
    } else {
        item->Upload(rgba.constBits(), rgba.width(), rgba.height());
        item->SetPixelHash(hash);
    }

    FItems.push_back(std::move(item));
    return FItems.back().get();
}

TTextureItem* TTextureList::FindTexture(const QString& FileName, const QString& Suffix) const {
    if (FileName.isEmpty())
        return nullptr;
    for (const auto& item : FItems) {
        if (item->FileName.compare(FileName, Qt::CaseInsensitive) == 0 &&
            item->SuffixName.compare(Suffix, Qt::CaseInsensitive) == 0)
            return item.get();
    }
    return nullptr;
}

void TTextureList::Delete(const QString& FileName, const QString& SuffixName) {
    TTextureItem* item = FindTexture(FileName, SuffixName);
    if (!item)
        return;
    for (auto it = FItems.begin(); it != FItems.end(); ++it) {
        if (it->get() == item) {
            FItems.erase(it);
            return;
        }
    }
}

void TTextureList::Clear() {
    FItems.clear();
    FDecoded.clear();
}

void TTextureList::BeginLoading() {
    FLoading = true;
}

void TTextureList::EndLoading() {
    FLoading = false;
    FDecoded.clear();
}

QImage TTextureList::DecodedBitmap(const QString& fileName) {
    if (!FLoading)
        return LoadTextureBitmap(fileName);
    const QString key = MediaPath(fileName);
    const auto found = FDecoded.find(key);
    if (found != FDecoded.end())
        return found->second; // shared until the callback changes a pixel
    QImage bitmap = LoadTextureBitmap(fileName);
    FDecoded.emplace(key, bitmap);
    return bitmap;
}

const TTextureItem* TTextureList::FindSamePixels(const TTextureItem& item, std::size_t hash) const {
    QOpenGLContext* current = QOpenGLContext::currentContext();
    for (const auto& other : FItems) {
        if (other->Loaded && other->PixelHash() == hash && other->Width == item.Width &&
            other->Height == item.Height && other->Context() == current &&
            other->LoadedFileName.compare(item.LoadedFileName, Qt::CaseInsensitive) == 0)
            return other.get();
    }
    return nullptr;
}
