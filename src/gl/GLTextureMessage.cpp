#include "gl/GLTextureMessage.h"

#include "app/ImageThumbnail.h"
#include "app/MediaPath.h"
#include "app/RavlinError.h"
#include "gl/BitmapRoutines.h"
#include "gl/GLPanel.h"

#include <algorithm>
#include <cstdint>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFF;

// Combines `source` into `target` at (x, y) pixel by pixel on the colour
// channels, clipped to the target; the target's alpha stays.
template <typename Op> void Combine(QImage& target, const QImage& source, int x, int y, Op op) {
    for (int sy = 0; sy < source.height(); ++sy) {
        const int ty = y + sy;
        if (ty < 0 || ty >= target.height())
            continue;
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
        auto* to = reinterpret_cast<QRgb*>(target.scanLine(ty));
        for (int sx = 0; sx < source.width(); ++sx) {
            const int tx = x + sx;
            if (tx < 0 || tx >= target.width())
                continue;
            to[tx] = (to[tx] & ~kRgbMask) | (op(to[tx], from[sx]) & kRgbMask);
        }
    }
}

// Stamps `glyph` in `colour` at the given top-left points, without
// antialiasing so that the masks are exact.
void Stamp(QImage& image, const QFont& font, const QString& glyph, QColor colour,
           std::initializer_list<QPoint> points) {
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(colour);
    const int ascent = QFontMetrics(font).ascent();
    for (const QPoint& point : points)
        painter.drawText(point.x(), point.y() + ascent, glyph);
}

} // namespace

TGLTextureMessage::TGLTextureMessage(TGLPanel* AGLPanel)
    : FGLPanel(AGLPanel)
    , FTexItem(std::make_unique<TGLTexturePanelItem>(AGLPanel, QStringLiteral("MessageTexture"),
                                                     0.0f, 0.0f, 0.0f)) {
    // The message is a plain rectangle: no leader line or sphere.
    FTexItem->DrawLine = false;
    FTexItem->SphereRadius = 0;
    FTexItem->OnDrawTextureItem = [this](TGLTexturePanelItem*, QImage& bitmap) {
        RenderMessage(bitmap);
    };
}

void TGLTextureMessage::TextOutWithOutLine(QImage& ACanvas, const QFont& AFont, TColor AFontColor,
                                           int AX, int AY, const QString& AText,
                                           TColor AOutLineColor, TColor AGradTopColor,
                                           int AOutLineThickness) {
    if (ACanvas.format() != QImage::Format_ARGB32 && ACanvas.format() != QImage::Format_RGB32)
        ACanvas.convertTo(QImage::Format_ARGB32);
    QFont font = AFont;
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    const int t = std::max(0, AOutLineThickness);
    const QColor outline = ToQColor(AOutLineColor);
    const QColor top = ToQColor(AGradTopColor);
    const QColor bottom = ToQColor(AFontColor);

    int x = AX;
    for (qsizetype i = 0; i < AText.size(); ++i) {
        // One character: a surrogate pair stays together.
        const qsizetype length = AText[i].isHighSurrogate() && i + 1 < AText.size() ? 2 : 1;
        const QString glyph = AText.mid(i, length);
        i += length - 1;
        const int cx = metrics.horizontalAdvance(glyph);
        const int cy = metrics.height();
        const int w = cx + 2 * t;
        const int h = cy + 2 * t;
        if (w <= 0 || h <= 0)
            continue;
        const std::initializer_list<QPoint> ring = {
            {0, 0}, {0, 2 * t}, {2 * t, 0}, {2 * t, 2 * t}, {2 * t, t}, {0, t}, {t, 2 * t}, {t, 0}};

        // Outline: clear the ring to black (AND), then paint it (OR).
        QImage mask(w, h, QImage::Format_RGB32);
        mask.fill(Qt::white);
        Stamp(mask, font, glyph, Qt::black, ring);
        QImage paint(w, h, QImage::Format_RGB32);
        paint.fill(Qt::black);
        Stamp(paint, font, glyph, outline, ring);
        Combine(ACanvas, mask, x, AY, [](QRgb a, QRgb b) { return a & b; });
        Combine(ACanvas, paint, x, AY, [](QRgb a, QRgb b) { return a | b; });

        // Core in black (through a mask, so the canvas keeps its alpha),
        // then the gradient ORed into it.
        mask.fill(Qt::white);
        Stamp(mask, font, glyph, Qt::black, {{t, t}});
        Combine(ACanvas, mask, x, AY, [](QRgb a, QRgb b) { return a & b; });
        paint.fill(Qt::black);
        Stamp(paint, font, glyph, Qt::white, {{t, t}});
        for (int r = 0; r < h; ++r) {
            auto channel = [r, h](int from, int to) { return from + (r * (to - from)) / h; };
            const QRgb row =
                qRgb(channel(top.red(), bottom.red()), channel(top.green(), bottom.green()),
                     channel(top.blue(), bottom.blue()));
            auto* line = reinterpret_cast<QRgb*>(mask.scanLine(r));
            std::fill(line, line + w, row);
        }
        Combine(paint, mask, 0, 0, [](QRgb a, QRgb b) { return a & b; });
        Combine(ACanvas, paint, x, AY, [](QRgb a, QRgb b) { return a | b; });
        x += w;
    }
}

void TGLTextureMessage::LoadBackImage() {
    FBackImageAvailable = false;
    FBackImage = QImage();
    if (FImageFileName.isEmpty())
        return;
    const QString path = MediaPath(FImageFileName);
    if (!QFileInfo(path).isFile())
        return;
    QImageReader reader(path, ImageFormatForFileName(path));
    if (!reader.read(&FBackImage))
        throw ERavlinError(FImageFileName + QStringLiteral(" 이미지를 불러올 수 없습니다."));
    FBackImageAvailable = true;
}

void TGLTextureMessage::RenderMessage(QImage& bitmap) {
    const QFontMetrics metrics(FFont);
    const int emptyLineHeight = metrics.height(); // the height of "H"
    int width = 2 * FTextStartX;
    int height = FTextStartY;
    for (const QString& line : FText) {
        const int lineHeight = line.trimmed().isEmpty() ? emptyLineHeight : metrics.height();
        width = std::max(width,
                         4 * int(line.size()) + metrics.horizontalAdvance(line) + 2 * FTextStartX);
        height += lineHeight + FLineSpace + 4;
    }
    if (FBackImageAvailable) {
        width = std::max(width, FBackImage.width());
        height = std::max(height, FBackImage.height());
    }
    FWidth = (width + 3) & ~3;
    FHeight = height;

    bitmap = QImage(FWidth, FHeight, QImage::Format_ARGB32);
    if (FBackImageAvailable) {
        bitmap.fill(Qt::transparent);
        {
            QPainter painter(&bitmap);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(bitmap.rect(), FBackImage);
        }
        // Red and blue stay as they are here: the exchange at the end turns
        // the whole picture, so the background shows in its own colours.
        SetAlphaChannel(bitmap, true, clNone, false, 1, 1, 0);
    } else {
        bitmap.fill(Qt::white);
    }

    // Pure white letters would vanish with a transparent white background.
    const TColor fontColor =
        FromQColor(ToQColor(FFontColor)) == clWhite ? RGBColor(243, 255, 255) : FFontColor;
    int y = FTextStartY;
    for (const QString& line : FText) {
        const int lineHeight = line.trimmed().isEmpty() ? emptyLineHeight : metrics.height();
        TextOutWithOutLine(bitmap, FFont, fontColor, FTextStartX, y, line, FTextOutLineColor,
                           FGradTextTopColor, 2);
        y += lineHeight + FLineSpace + 4;
    }

    // Painted opaque; the transparency is applied when drawing.
    if (FBackImageAvailable || !FTransparent)
        SetAlphaChannel(bitmap, false, clNone, true, 1, 1, 0);
    else
        SetAlphaChannel(bitmap, false, clWhite, true, 0.1f, 1, 0);
}

void TGLTextureMessage::Show() {
    FIsModal = false;
    FVisible = true;
    FTimerTick = 0;
    LoadBackImage();
    FTexItem->Refresh();
    if (FShowInCenter) {
        const float z = float(GetMessageZPos());
        FTexItem->Position = {0, 0, z};
        double x[4], y[4], zs[4];
        FTexItem->GetDrawPosition(x, y, zs);
        FTexItem->Position = {float(-(x[0] + x[1]) / 2), float(-(y[0] + y[3]) / 2), z};
    }
}

void TGLTextureMessage::ShowModal() {
    Show();
    FIsModal = true;
}

void TGLTextureMessage::Close() {
    FVisible = false;
    if (OnClose)
        OnClose(this);
}

void TGLTextureMessage::Refresh() {
    LoadBackImage();
    FTexItem->Refresh();
}

void TGLTextureMessage::FadeAway(float transparencyInc, double moveDX, double moveDY,
                                 double moveDZ) {
    SetTransparency(std::min(FTransparency + transparencyInc, 1.0f));
    TGLArrayf3& position = FTexItem->Position;
    position = {float(position.x + moveDX), float(position.y + moveDY), float(position.z + moveDZ)};
}

void TGLTextureMessage::SetTransparency(float value) {
    FTransparency = value;
    FTexItem->DrawAlphaScale = 1 - std::clamp(value, 0.0f, 1.0f);
}
