#include "app/Colors.h"
#include "app/ImageThumbnail.h"
#include "app/KeyLabel.h"
#include "app/RavlinError.h"
#include "app/StringUtils.h"
#include "ImageTestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTemporaryDir>

TEST(StringUtils, StartsWithTextHonoursTheCaseFlag) {
    EXPECT_TRUE(StartsWithText("Finger_Left5", "finger_", false));
    EXPECT_FALSE(StartsWithText("Finger_Left5", "finger_", true));
    EXPECT_TRUE(StartsWithText("Finger_Left5", "Finger_", true));
    EXPECT_TRUE(StartsWithText("abc", "", true));
    EXPECT_FALSE(StartsWithText("ab", "abc", false)); // prefix longer than text
    EXPECT_TRUE(StartsWithText(QStringLiteral("[한글]글"), QStringLiteral("[한글]"), true));
}

TEST(StringUtils, TrimmingRemovesOnlySpaces) {
    EXPECT_EQ(TrimLeadingSpaces("\t  x "), QString("\t  x "));
    EXPECT_EQ(TrimLeadingSpaces("   x "), QString("x "));
    EXPECT_EQ(TrimTrailingSpaces(" x  \t"), QString(" x  \t"));
    EXPECT_EQ(TrimTrailingSpaces(" x  "), QString(" x"));
    EXPECT_EQ(TrimLeadingSpaces("    "), QString());
    EXPECT_EQ(TrimTrailingSpaces("    "), QString());
    EXPECT_EQ(TrimLeadingSpaces(QString::fromUtf8("\u3000a")), QString::fromUtf8("\u3000a"));
}

TEST(StringUtils, TrimSpacesAndControlsCutsEverythingUpToSpaceAtBothEndsOnly) {
    EXPECT_EQ(TrimSpacesAndControls(QStringLiteral("\r\n\t 한 \t 글 \x01\x1f ")),
              QStringLiteral("한 \t 글"));
    EXPECT_EQ(TrimSpacesAndControls(QStringLiteral(" \t\r\n")), QString());
    EXPECT_EQ(TrimSpacesAndControls(QString()), QString());
    // Characters above U+0020 stay, including other kinds of white space.
    EXPECT_EQ(TrimSpacesAndControls(QString::fromUtf8("\u3000a\u00a0")),
              QString::fromUtf8("\u3000a\u00a0"));
}

TEST(Colors, RedIsTheLowByteAndSystemColoursComeFromThePalette) {
    const TColor orange = RGBColor(255, 128, 0);
    EXPECT_EQ(orange, 0x0080FFu);
    EXPECT_EQ(RedOf(orange), 255);
    EXPECT_EQ(GreenOf(orange), 128);
    EXPECT_EQ(BlueOf(orange), 0);
    EXPECT_EQ(ToQColor(orange), QColor(255, 128, 0));
    EXPECT_EQ(ToQColor(clRed), QColor(Qt::red));
    EXPECT_EQ(FromQColor(QColor(1, 2, 3, 4)), RGBColor(1, 2, 3));

    // 0xFF in the top byte names a system colour by its index.
    const QPalette palette = QGuiApplication::palette();
    EXPECT_TRUE(IsSystemColor(clWindowText));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_EQ(ToQColor(clWindowText), palette.color(QPalette::Active, QPalette::Text));
    EXPECT_EQ(ToQColor(clWindow), palette.color(QPalette::Active, QPalette::Base));
}

namespace {

QString SavePicture(const QTemporaryDir& dir, const QString& name, int w, int h, const char* fmt) {
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(picture.save(path, fmt));
    return path;
}

} // namespace

TEST(ImageThumbnail, KeepsAspectRatioForWideAndTallPictures) {
    QTemporaryDir dir;
    QImage bitmap;
    LoadImageThumbnail(SavePicture(dir, "wide.png", 400, 200, "PNG"), &bitmap, 100);
    EXPECT_EQ(bitmap.size(), QSize(100, 50));
    LoadImageThumbnail(SavePicture(dir, "tall.JPG", 200, 400, "JPEG"), &bitmap, 100);
    EXPECT_EQ(bitmap.size(), QSize(50, 100));
    // trunc, not round: 300 / (3/2) ... 100 / 1.5 = 66.67 -> 66
    LoadImageThumbnail(SavePicture(dir, "odd.bmp", 300, 200, "BMP"), &bitmap, 100);
    EXPECT_EQ(bitmap.size(), QSize(100, 66));
    EXPECT_EQ(bitmap.pixelColor(50, 33).red(), 255);
}

TEST(ImageThumbnail, NoBitmapOrNoNameDoesNothingAndBadFilesThrow) {
    QTemporaryDir dir;
    EXPECT_NO_THROW(LoadImageThumbnail(SavePicture(dir, "a.png", 10, 10, "PNG"), nullptr, 100));
    QImage untouched(3, 3, QImage::Format_RGB32);
    LoadImageThumbnail(QString(), &untouched, 100);
    EXPECT_EQ(untouched.size(), QSize(3, 3));

    QFile bad(dir.filePath("bad.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is not a picture");
    bad.close();
    EXPECT_THROW(LoadImageThumbnail(bad.fileName(), &untouched, 100), ERavlinError);
    EXPECT_THROW(LoadImageThumbnail(dir.filePath("missing.png"), &untouched, 100), ERavlinError);
}

namespace {

QRect DrawLabel(int horz, bool shifted, const QString& text, int vert) {
    QImage image(128, 128, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(QStringLiteral("굴림체"));
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(Qt::black);
    DrawKeyLabel(painter, QRect(0, 0, 64, 64), horz, shifted, text, vert);
    return InkBounds(image);
}

} // namespace

TEST(KeyLabel, PlacesLabelsInTheirHalvesOfTheSquare) {
    const QRect upperLeft = DrawLabel(klhLeftHalf, false, "A", klvUpperHalf);
    const QRect lowerRight = DrawLabel(klhRightHalf, false, "A", klvLowerHalf);
    const QRect centred = DrawLabel(klhWhole, false, "A", klvWhole);
    ASSERT_TRUE(upperLeft.isValid() && lowerRight.isValid() && centred.isValid());
    EXPECT_LT(upperLeft.right(), 32);
    EXPECT_LT(upperLeft.bottom(), 32);
    EXPECT_GE(lowerRight.left(), 32);
    EXPECT_GE(lowerRight.top(), 32);
    EXPECT_NEAR(centred.center().x(), 32, 4);
    EXPECT_NEAR(centred.center().y(), 32, 4);
    // Shifted labels sit 5 pixels lower.
    EXPECT_EQ(DrawLabel(klhWhole, true, "A", klvWhole).top(), centred.top() + 5);
}

TEST(KeyLabel, CarriageReturnDrawsTwoLinesAndLongFirstLinesStartAtFive) {
    const QRect one = DrawLabel(klhLeftHalf, false, "Tab", klvWhole);
    const QRect two = DrawLabel(klhLeftHalf, false, "Caps\rLock", klvWhole);
    ASSERT_TRUE(one.isValid() && two.isValid());
    EXPECT_GE(one.left(), 5);
    EXPECT_LE(one.left(), 7);
    EXPECT_GT(two.height(), one.height() + 10); // a second line below
}
