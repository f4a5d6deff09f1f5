// Feeds arbitrary bytes to picture loading as the texture list does it: the
// first input byte picks the file's extension (and so the decoder), the
// rest is the file. A picture that is read comes out as a 32-bit bitmap of
// its height and its width widened to a multiple of 4; the alpha and colour
// routines the screens run on it then take parameters from the input too.

#include "app/RavlinError.h"
#include "FuzzSupport.h"
#include "gl/BitmapRoutines.h"
#include "gl/TextureList.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8)
        return 0;
    static const char* const kExtensions[] = {"bmp", "png", "jpg", "gif", "BMP", "tga", "xpm", ""};
    const char* ext = kExtensions[data[0] % 8];
    const bool keepClear = data[1] & 1;
    const bool swapRB = data[1] & 2;
    const TColor key = (data[1] & 4) ? TColor(clNone) : TColor(data[2] | (data[3] << 8));
    const float tolerance = float(data[4]) / 255.0f;
    const float keyTransparency = float(data[5]) / 255.0f;
    const float transparency = float(data[6]) / 255.0f;
    const int percent = data[7];

    QString fileName = QStringLiteral("picture");
    if (*ext != '\0')
        fileName += QLatin1Char('.') + QLatin1String(ext);
    const QString path = fuzz::WriteInput(fileName, fuzz::Bytes(data + 8, size - 8));
    QImage bitmap;
    try {
        bitmap = TTextureList::LoadTextureBitmap(path);
    } catch (const ERavlinError&) {
        return 0;
    }
    if (bitmap.format() != QImage::Format_ARGB32 || bitmap.width() % 4 != 0 ||
        bitmap.width() == 0 || bitmap.height() == 0)
        std::abort();

    QImage before = bitmap.copy();
    SetAlphaChannel(bitmap, keepClear, key, swapRB, tolerance, keyTransparency, transparency);
    if (bitmap.size() != before.size() || bitmap.format() != QImage::Format_ARGB32)
        std::abort();
    BlendBitmapColor(bitmap, TColor(data[3] | (data[2] << 16)), percent);
    if (BytesPerPixel(bitmap) != 4)
        std::abort();
    return 0;
}
