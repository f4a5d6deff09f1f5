#include "ScreenCapture.h"

#include <algorithm>
#include <cmath>
#include <QProcess>
#include <QRegularExpression>

namespace {

// xwd writes its header as big-endian 32-bit words.
quint32 HeaderWord(const QByteArray& bytes, int index) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + index * 4;
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

enum TXwdField {
    xfHeaderSize = 0,
    xfPixmapFormat = 2,
    xfWidth = 4,
    xfHeight = 5,
    xfByteOrder = 7,
    xfBitsPerPixel = 11,
    xfBytesPerLine = 12,
    xfRedMask = 14,
    xfGreenMask = 15,
    xfBlueMask = 16,
    xfColorCount = 19,
    xfFieldCount = 25
};

constexpr int kXwdColorSize = 12;
constexpr quint32 kZPixmap = 2;

// The value of a channel given its mask, scaled to 0..255.
int Channel(quint32 pixel, quint32 mask) {
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const quint32 max = mask >> shift;
    return int(((pixel & mask) >> shift) * 255 / max);
}

QByteArray RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

} // namespace

QImage DecodeXwd(const QByteArray& bytes) {
    if (bytes.size() < xfFieldCount * 4)
        return {};
    const quint32 headerSize = HeaderWord(bytes, xfHeaderSize);
    const quint32 width = HeaderWord(bytes, xfWidth);
    const quint32 height = HeaderWord(bytes, xfHeight);
    const quint32 bitsPerPixel = HeaderWord(bytes, xfBitsPerPixel);
    const quint32 bytesPerLine = HeaderWord(bytes, xfBytesPerLine);
    const bool lsbFirst = HeaderWord(bytes, xfByteOrder) == 0;
    if (HeaderWord(bytes, xfPixmapFormat) != kZPixmap ||
        (bitsPerPixel != 32 && bitsPerPixel != 24) || width == 0 || height == 0 || width > 16384 ||
        height > 16384 || bytesPerLine < width * (bitsPerPixel / 8))
        return {};
    const qint64 dataStart =
        qint64(headerSize) + qint64(HeaderWord(bytes, xfColorCount)) * kXwdColorSize;
    if (dataStart + qint64(bytesPerLine) * height > bytes.size())
        return {};

    const quint32 masks[3] = {HeaderWord(bytes, xfRedMask), HeaderWord(bytes, xfGreenMask),
                              HeaderWord(bytes, xfBlueMask)};
    const int pixelBytes = int(bitsPerPixel / 8);
    QImage image(int(width), int(height), QImage::Format_RGB32);
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData()) + dataStart;
    for (quint32 y = 0; y < height; ++y) {
        const uchar* row = data + qint64(y) * bytesPerLine;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (quint32 x = 0; x < width; ++x) {
            const uchar* p = row + x * pixelBytes;
            quint32 pixel = 0;
            for (int i = 0; i < pixelBytes; ++i) {
                const int shift = lsbFirst ? 8 * i : 8 * (pixelBytes - 1 - i);
                pixel |= quint32(p[i]) << shift;
            }
            out[x] =
                qRgb(Channel(pixel, masks[0]), Channel(pixel, masks[1]), Channel(pixel, masks[2]));
        }
    }
    return image;
}

QImage CaptureScreen() {
    return DecodeXwd(
        RunTool(QStringLiteral("xwd"), {QStringLiteral("-root"), QStringLiteral("-silent")}));
}

QRect FindWindowOnScreen(const QString& titlePrefix) {
    // Lines look like:  0x200016 "title": ("res" "Class")  1467x897+0+0  +0+0
    // The last pair is the absolute position.
    const QString tree = QString::fromUtf8(
        RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}));
    static const QRegularExpression line(QStringLiteral(
        R"re(^\s*0x[0-9a-f]+ "(.*)":.*\s(\d+)x(\d+)[+-]-?\d+[+-]-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$)re"));
    for (const QString& text : tree.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = line.match(text);
        if (m.hasMatch() && m.captured(1).startsWith(titlePrefix))
            return {m.captured(4).toInt(), m.captured(5).toInt(), m.captured(2).toInt(),
                    m.captured(3).toInt()};
    }
    return {};
}

TRegionStats StatsOf(const QImage& image, const QRect& rect) {
    const QRect r = rect.intersected(image.rect());
    TRegionStats stats;
    if (r.isEmpty())
        return stats;
    double sumLuma = 0, sumLuma2 = 0;
    qint64 black = 0;
    const double n = double(r.width()) * r.height();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            stats.MeanRed += qRed(p);
            stats.MeanGreen += qGreen(p);
            stats.MeanBlue += qBlue(p);
            const double luma = 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
            sumLuma += luma;
            sumLuma2 += luma * luma;
            black += (qRed(p) < 8 && qGreen(p) < 8 && qBlue(p) < 8) ? 1 : 0;
        }
    }
    stats.MeanRed /= n;
    stats.MeanGreen /= n;
    stats.MeanBlue /= n;
    const double meanLuma = sumLuma / n;
    stats.LumaDeviation = std::sqrt(std::max(0.0, sumLuma2 / n - meanLuma * meanLuma));
    stats.BlackShare = double(black) / n;
    return stats;
}

double LargestCellDifference(const QImage& a, const QImage& b, int cells) {
    if (a.size() != b.size() || a.isNull() || cells <= 0)
        return 255;
    double largest = 0;
    for (int cy = 0; cy < cells; ++cy) {
        for (int cx = 0; cx < cells; ++cx) {
            const QRect cell(a.width() * cx / cells, a.height() * cy / cells,
                             a.width() * (cx + 1) / cells - a.width() * cx / cells,
                             a.height() * (cy + 1) / cells - a.height() * cy / cells);
            const TRegionStats sa = StatsOf(a, cell);
            const TRegionStats sb = StatsOf(b, cell);
            largest = std::max({largest, std::abs(sa.MeanRed - sb.MeanRed),
                                std::abs(sa.MeanGreen - sb.MeanGreen),
                                std::abs(sa.MeanBlue - sb.MeanBlue)});
        }
    }
    return largest;
}
