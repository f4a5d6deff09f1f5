#include "gl/TextureList.h"

#include "app/RavlinError.h"
#include "gl/BitmapRoutines.h"
#include "gl/GLPanel.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

namespace {

struct TRgba {
    int r, g, b, a;
};

// Reads a texture back: bytes red, green, blue, alpha, row 0 first.
std::vector<unsigned char> TextureBytes(const TTextureItem* item) {
    std::vector<unsigned char> bytes(std::size_t(item->Width) * item->Height * 4);
    glBindTexture(GL_TEXTURE_2D, item->Id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

TRgba TexelAt(const std::vector<unsigned char>& bytes, int width, int x, int row) {
    const std::size_t i = (std::size_t(row) * width + x) * 4;
    return {bytes[i], bytes[i + 1], bytes[i + 2], bytes[i + 3]};
}

// A picture whose top row is red and whose other rows are blue.
QImage TopRedPicture(int w, int h, QImage::Format format) {
    QImage image(w, h, format);
    image.fill(QColor(0, 0, 255));
    for (int x = 0; x < w; ++x)
        image.setPixelColor(x, 0, QColor(255, 0, 0));
    return image;
}

// A 32-bit uncompressed BMP, written byte by byte (Qt writes 24-bit ones).
void WriteBmp32(const QString& path, int w, int h, QRgb colour) {
    QByteArray data;
    auto put16 = [&data](int v) { data.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto put32 = [&put16](int v) {
        put16(v & 0xFFFF);
        put16((v >> 16) & 0xFFFF);
    };
    data.append("BM");
    put32(54 + w * h * 4);
    put32(0);
    put32(54);
    put32(40);
    put32(w);
    put32(h);
    put16(1);
    put16(32);
    put32(0);
    put32(w * h * 4);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int i = 0; i < w * h; ++i) {
        data.append(char(qBlue(colour))).append(char(qGreen(colour)));
        data.append(char(qRed(colour))).append(char(0));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

class TextureListTest : public testing::Test {
protected:
    void SetUp() override {
        FPanel = std::make_unique<TGLPanel>();
        FPanel->SetCurrentGLContext();
    }
    QString File(const QString& name) const { return FDir.filePath(name); }

    QTemporaryDir FDir;
    std::unique_ptr<TGLPanel> FPanel;
    TTextureList FList;
};

} // namespace

TEST_F(TextureListTest, PngWithAlphaIsWidenedWithTransparentColumnsBottomRowFirst) {
    const QString png = File("alpha.png");
    ASSERT_TRUE(TopRedPicture(30, 10, QImage::Format_ARGB32).save(png));
    QFile check(png);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    ASSERT_EQ(check.read(26).at(25), 6); // colour type 6: RGB with alpha

    TTextureItem* item = FList.Add("Mat", "", png, nullptr, nullptr);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->Loaded);
    EXPECT_EQ(item->Width, 32);
    EXPECT_EQ(item->Height, 10);
    const auto bytes = TextureBytes(item);
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(TexelAt(bytes, 32, 30, row).a, 0);
        EXPECT_EQ(TexelAt(bytes, 32, 31, row).a, 0);
        EXPECT_EQ(TexelAt(bytes, 32, 29, row).a, 255);
    }
    // Row 0 of the texture is the bottom of the picture; the top row (red)
    // is the last one.
    const TRgba bottom = TexelAt(bytes, 32, 0, 0);
    const TRgba top = TexelAt(bytes, 32, 0, 9);
    EXPECT_EQ(bottom.b, 255);
    EXPECT_EQ(bottom.r, 0);
    EXPECT_EQ(top.r, 255);
    EXPECT_EQ(top.b, 0);
}

TEST_F(TextureListTest, JpegAndOtherPicturesAreStretchedAndOpaque) {
    const QString jpeg = File("solid.jpg");
    QImage green(30, 10, QImage::Format_RGB32);
    green.fill(QColor(0, 200, 0));
    ASSERT_TRUE(green.save(jpeg, "JPEG", 100));
    TTextureItem* item = FList.Add("Mat", "", jpeg, nullptr, nullptr);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Width, 32);
    const auto bytes = TextureBytes(item);
    for (int x : {0, 30, 31}) {
        const TRgba texel = TexelAt(bytes, 32, x, 5);
        EXPECT_EQ(texel.a, 255);
        EXPECT_NEAR(texel.g, 200, 4) << "x = " << x;
    }

    // A palette PNG with transparency is not an RGBA PNG: made opaque.
    QImage indexed = TopRedPicture(6, 4, QImage::Format_ARGB32);
    indexed.setPixelColor(0, 3, QColor(0, 0, 0, 0));
    indexed = indexed.convertToFormat(QImage::Format_Indexed8);
    const QString palettePng = File("palette.png");
    ASSERT_TRUE(indexed.save(palettePng));
    const QImage bitmap = TTextureList::LoadTextureBitmap(palettePng);
    EXPECT_EQ(bitmap.width(), 8);
    EXPECT_EQ(bitmap.format(), QImage::Format_ARGB32);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(qAlpha(bitmap.pixel(x, 3)), 255);
}

TEST_F(TextureListTest, ThirtyTwoBitBitmapsArePlacedUnscaled) {
    const QString bmp = File("deep.bmp");
    WriteBmp32(bmp, 6, 3, qRgb(10, 20, 30));
    const QImage bitmap = TTextureList::LoadTextureBitmap(bmp);
    ASSERT_EQ(bitmap.width(), 8);
    EXPECT_EQ(bitmap.pixel(5, 1), qRgba(10, 20, 30, 255));
    EXPECT_EQ(qAlpha(bitmap.pixel(6, 1)), 0);
    EXPECT_EQ(qAlpha(bitmap.pixel(7, 1)), 0);

    // A 24-bit one is stretched.
    QImage plain(6, 3, QImage::Format_RGB888);
    plain.fill(QColor(10, 20, 30));
    ASSERT_TRUE(plain.save(File("plain.bmp")));
    const QImage stretched = TTextureList::LoadTextureBitmap(File("plain.bmp"));
    EXPECT_EQ(stretched.pixel(7, 1), qRgba(10, 20, 30, 255));
}

TEST_F(TextureListTest, CacheIgnoresCaseAndCallbacksRunOnlyOnLoad) {
    ASSERT_TRUE(TopRedPicture(4, 4, QImage::Format_ARGB32).save(File("a.png")));
    int loads = 0;
    int draws = 0;
    QSize drawnSize;
    QImage::Format drawnFormat = QImage::Format_Invalid;
    auto load = [&](TTextureItem*, QString&) { ++loads; };
    auto draw = [&](TTextureItem*, QImage& bitmap) {
        ++draws;
        drawnSize = bitmap.size();
        drawnFormat = bitmap.format();
    };
    TTextureItem* first = FList.Add("Mat1", "", File("a.png"), load, draw);
    TTextureItem* second = FList.Add("Mat2", "", File("A.PNG"), load, draw);
    EXPECT_EQ(first, second);
    EXPECT_EQ(FList.Count(), 1);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(drawnSize, QSize(4, 4));
    EXPECT_EQ(drawnFormat, QImage::Format_ARGB32);
    EXPECT_EQ(first->MaterialName, "Mat1");

    // Another suffix is another texture; the file name is trimmed.
    TTextureItem* selected = FList.Add("Mat1", "Selected", "  " + File("a.png") + " ", load, draw);
    EXPECT_NE(selected, first);
    EXPECT_EQ(FList.Count(), 2);
    EXPECT_EQ(FList.FindTexture(File("A.png"), "SELECTED"), selected);
    EXPECT_EQ(FList.FindTexture("", ""), nullptr);
    EXPECT_EQ(FList.Add("Mat1", "", "   ", load, draw), nullptr);

    // The variant shows the same pixels, so it shares the texture, which
    // lives until the last item showing it goes.
    const unsigned int id = selected->Id;
    EXPECT_EQ(id, first->Id);
    EXPECT_TRUE(glIsTexture(id));
    FList.Delete(File("a.png"), "selected");
    EXPECT_EQ(FList.Count(), 1);
    EXPECT_TRUE(glIsTexture(id));
    FList.Clear();
    EXPECT_EQ(FList.Count(), 0);
    EXPECT_FALSE(glIsTexture(id));
}

TEST_F(TextureListTest, VariantsShareATextureOnlyWhenTheirPixelsAreTheSame) {
    ASSERT_TRUE(TopRedPicture(4, 4, QImage::Format_ARGB32).save(File("a.png")));
    ASSERT_TRUE(TopRedPicture(4, 4, QImage::Format_ARGB32).save(File("b.png")));
    auto tint = [](TTextureItem* item, QImage& bitmap) {
        if (item->SuffixName == QLatin1String("Focused"))
            bitmap.fill(qRgb(0, 255, 0));
    };
    FList.BeginLoading();
    TTextureItem* plain = FList.Add("Mat", "", File("a.png"), nullptr, tint);
    TTextureItem* second = FList.Add("Mat", "Second", File("a.png"), nullptr, tint);
    TTextureItem* focused = FList.Add("Mat", "Focused", File("a.png"), nullptr, tint);
    // Another file with the same pixels is another picture: not shared.
    TTextureItem* other = FList.Add("Mat", "", File("b.png"), nullptr, tint);
    FList.EndLoading();

    EXPECT_EQ(second->Id, plain->Id);
    EXPECT_NE(focused->Id, plain->Id);
    EXPECT_NE(other->Id, plain->Id);
    // What each texture holds: the tinted variant is green, the others keep
    // their red top row.
    // (Texture row 0 is the picture's bottom row.)
    EXPECT_EQ(TexelAt(TextureBytes(focused), 4, 0, 3).g, 255);
    EXPECT_EQ(TexelAt(TextureBytes(second), 4, 0, 3).r, 255);
    EXPECT_EQ(TexelAt(TextureBytes(plain), 4, 0, 3).r, 255);
    EXPECT_EQ(TexelAt(TextureBytes(plain), 4, 0, 0).b, 255);
}

TEST_F(TextureListTest, FileNameCallbackMayRedirectOrCancelAndDrawCallbackReachesTheTexture) {
    ASSERT_TRUE(TopRedPicture(8, 2, QImage::Format_ARGB32).save(File("real.png")));
    TTextureItem* redirected = FList.Add(
        "Mat", "", File("asked.png"),
        [&](TTextureItem* item, QString& name) {
            EXPECT_EQ(name, item->FileName);
            name = File("real.png");
        },
        [](TTextureItem*, QImage& bitmap) { bitmap.fill(qRgba(1, 2, 3, 4)); });
    ASSERT_NE(redirected, nullptr);
    EXPECT_EQ(redirected->FileName, File("asked.png"));
    EXPECT_EQ(redirected->LoadedFileName, File("real.png"));
    const TRgba texel = TexelAt(TextureBytes(redirected), 8, 3, 1);
    EXPECT_EQ(texel.r, 1);
    EXPECT_EQ(texel.g, 2);
    EXPECT_EQ(texel.b, 3);
    EXPECT_EQ(texel.a, 4);

    int draws = 0;
    EXPECT_EQ(FList.Add(
                  "Mat", "", File("none.png"), [](TTextureItem*, QString& name) { name.clear(); },
                  [&](TTextureItem*, QImage&) { ++draws; }),
              nullptr);
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(FList.Count(), 1);
}

TEST_F(TextureListTest, UnreadablePicturesRaiseTheirMessagesAndAddNothing) {
    QFile junk(File("junk.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    try {
        FList.Add("Mat", "", File("junk.png"), nullptr, nullptr);
        FAIL() << "no error";
    } catch (const ERavlinError& error) {
        EXPECT_EQ(error.Message(), File("junk.png") + " 이미지를 텍스처로 불러올 수 없습니다.");
    }
    EXPECT_THROW(FList.Add("Mat", "", File("missing.bmp"), nullptr, nullptr), ERavlinError);
    EXPECT_THROW(FList.Add("Mat", "", File("missing.jpg"), nullptr, nullptr), ERavlinError);
    EXPECT_EQ(FList.Count(), 0);
}

TEST(BitmapRoutines, SetAlphaChannelKeepsClearPixelsAndMatchesKeyColours) {
    QImage bitmap(5, 2, QImage::Format_ARGB32); // width not a multiple of 4
    bitmap.fill(qRgba(200, 100, 50, 255));
    bitmap.setPixel(4, 1, qRgba(0, 0, 0, 0));
    bitmap.setPixel(0, 0, qRgba(10, 20, 30, 255));
    SetAlphaChannel(bitmap, true, clNone, false, 1, 1, 0.5f);
    EXPECT_EQ(qAlpha(bitmap.pixel(4, 1)), 0);
    EXPECT_EQ(qAlpha(bitmap.pixel(3, 1)), 127);
    EXPECT_EQ(qAlpha(bitmap.pixel(0, 0)), 127);

    SetAlphaChannel(bitmap, false, clNone, false, 1, 1, 0);
    EXPECT_EQ(qAlpha(bitmap.pixel(4, 1)), 255);

    // Tolerance 1: only the exact key colour; 0.4: each channel within 60 %.
    SetAlphaChannel(bitmap, false, RGBColor(200, 100, 50), false, 1, 1, 0);
    EXPECT_EQ(qAlpha(bitmap.pixel(1, 0)), 0);
    EXPECT_EQ(qAlpha(bitmap.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(bitmap.pixel(4, 1)), 255);
    SetAlphaChannel(bitmap, false, RGBColor(200, 100, 50), false, 0.4f, 0.7f, 0.05f);
    EXPECT_EQ(qAlpha(bitmap.pixel(1, 0)), 76);
    EXPECT_EQ(qAlpha(bitmap.pixel(0, 0)), 242); // 190 off in red: more than 60 %
    EXPECT_EQ(qAlpha(bitmap.pixel(4, 1)), 242);

    SetAlphaChannel(bitmap, false, clNone, true, 5, 1, 0); // tolerance above 1: 1
    EXPECT_EQ(bitmap.pixel(1, 0), qRgba(50, 100, 200, 255));

    QImage gray(4, 4, QImage::Format_Grayscale8);
    gray.fill(7);
    const QImage before = gray;
    SetAlphaChannel(gray, false, clNone, true, 1, 1, 0.5f);
    EXPECT_EQ(gray, before);
}

TEST(BitmapRoutines, BlendBitmapColorMixesColourChannelsOnly) {
    QImage deep(3, 1, QImage::Format_ARGB32);
    deep.fill(qRgba(0, 100, 200, 77));
    BlendBitmapColor(deep, RGBColor(255, 255, 255), 33);
    EXPECT_EQ(deep.pixel(2, 0), qRgba(84, 151, 218, 77));
    BlendBitmapColor(deep, RGBColor(73, 253, 53), 250); // counts as 100
    EXPECT_EQ(deep.pixel(0, 0), qRgba(73, 253, 53, 77));

    QImage rgb(2, 1, QImage::Format_RGB888);
    rgb.fill(QColor(100, 0, 0));
    BlendBitmapColor(rgb, RGBColor(0, 0, 200), 50);
    EXPECT_EQ(rgb.pixelColor(1, 0), QColor(50, 0, 100));

    QImage indexed(2, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3)});
    indexed.fill(0);
    BlendBitmapColor(indexed, RGBColor(255, 255, 255), 50);
    EXPECT_EQ(indexed.pixel(0, 0), qRgb(1, 2, 3));
}

TEST(BitmapRoutines, BytesPerPixelByFormat) {
    EXPECT_EQ(BytesPerPixel(QImage(1, 1, QImage::Format_Mono)), 1);
    EXPECT_EQ(BytesPerPixel(QImage(1, 1, QImage::Format_Indexed8)), 1);
    EXPECT_EQ(BytesPerPixel(QImage(1, 1, QImage::Format_RGB16)), 2);
    EXPECT_EQ(BytesPerPixel(QImage(1, 1, QImage::Format_RGB888)), 3);
    EXPECT_EQ(BytesPerPixel(QImage(1, 1, QImage::Format_ARGB32)), 4);
    try {
        BytesPerPixel(QImage(1, 1, QImage::Format_RGBA64));
        FAIL() << "no error";
    } catch (const ERavlinError& error) {
        EXPECT_EQ(error.Message(), "Unknown Pixel-Format.");
    }
}
