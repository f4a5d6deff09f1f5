#include "typing/SentenceImageList.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

namespace {

QImage Pattern(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(40 * x, 60 * y, 99));
    return image;
}

} // namespace

TEST(SentenceImageList, KeepsOnlyPicturesInUseThatDecodeAndFallsBackToTheBuiltInOne) {
    QTemporaryDir dir;
    TScopedAppDir app(dir.path());
    QDir(dir.path()).mkpath("models/maps");
    ASSERT_TRUE(Pattern(4, 3).save(dir.filePath("models/maps/white_cloud.png")));
    ASSERT_TRUE(Pattern(5, 5).save(dir.filePath("wood.jpg")));
    ASSERT_TRUE(Pattern(6, 6).save(dir.filePath("unused.png")));
    QFile broken(dir.filePath("broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();

    const QString root = dir.path() + "/";
    const QString backImage = "1" + root + "Models/Maps/White_Cloud.png|0" + root + "unused.png|1" +
                              root + "broken.png||1" + root + "missing.png|1" + root + "wood.jpg";
    const QImage fallback = Pattern(2, 2);
    TSentenceImageList list;
    list.Load(backImage, fallback);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.Names(0).endsWith("Models/Maps/White_Cloud.png"));
    EXPECT_EQ(list.Bitmaps(0).size(), QSize(4, 3));
    EXPECT_TRUE(list.Names(1).endsWith("wood.jpg"));

    EXPECT_EQ(list.CurrIndex(), 0);
    list.Next();
    EXPECT_EQ(list.CurrIndex(), 1);
    list.Next();
    EXPECT_EQ(list.CurrIndex(), 0);

    list.Load("0" + root + "wood.jpg|1" + root + "broken.png", fallback);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Names(0), QStringLiteral("default image"));
    EXPECT_EQ(list.Bitmaps(0), fallback);
}

TEST(SentenceImageList, TilesFromTheOriginShiftedByTheOffset) {
    QTemporaryDir dir;
    TScopedAppDir app(dir.path());
    const QImage tile = Pattern(4, 3);
    TSentenceImageList list;
    list.Load(QString(), tile); // only the fallback
    ASSERT_EQ(list.Count(), 1);

    QImage canvas(12, 9, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        list.Paint(painter, QRect(2, 1, 8, 6), 5, Qt::white);
    }
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const bool inside = x >= 2 && x < 10 && y >= 1 && y < 7;
            const QRgb expected = inside ? tile.pixel((x + 5) % 4, y % 3) : qRgb(0, 0, 0);
            ASSERT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
        }
    }

    list.SetCurrIndex(3);
    {
        QPainter painter(&canvas);
        list.Paint(painter, QRect(0, 0, 3, 3), 0, Qt::white);
    }
    EXPECT_EQ(canvas.pixel(1, 1), qRgb(255, 255, 255));
}
