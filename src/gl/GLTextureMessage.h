#pragma once

#include "app/Colors.h"
#include "gl/GLTexturePanelItem.h"

#include <functional>
#include <memory>
#include <QFont>
#include <QImage>
#include <QStringList>

class TGLPanel;

// A message box drawn in a 3D scene: lines of outlined, gradient-filled text
// on white or on a background picture, shown centred or at a position. The
// owner drives it from its animation timer (IncTimerTick, FadeAway, Close)
// and draws TexItem() while it is Visible().
class TGLTextureMessage {
public:
    explicit TGLTextureMessage(TGLPanel* AGLPanel);

    void Show();
    // Show, then marked modal; what a modal message holds up is the owner's
    // business.
    void ShowModal();
    void Close();
    // Reloads the background picture and regenerates the texture.
    void Refresh();
    void IncTimerTick() { ++FTimerTick; }
    // Transparency grows by transparencyInc (at most 1) and the anchor
    // moves. Both take effect when the message is drawn next: the texture
    // is painted opaque once and its transparency applied per draw, so a
    // fade called many times a frame costs no repainting.
    void FadeAway(float transparencyInc, double moveDX, double moveDY, double moveDZ);
    // World Z of the message plane.
    int GetMessageZPos() const { return 8 * FMessageZPosBase; }

    // Writes AText character by character at (AX, AY) (top left) into a
    // 32-bit bitmap: each glyph outlined AOutLineThickness pixels wide in
    // AOutLineColor and filled with a vertical gradient from AGradTopColor at
    // the top to AFontColor at the bottom. Pixels outside the bitmap are
    // left alone; alpha is not changed.
    static void TextOutWithOutLine(QImage& ACanvas, const QFont& AFont, TColor AFontColor, int AX,
                                   int AY, const QString& AText, TColor AOutLineColor,
                                   TColor AGradTopColor, int AOutLineThickness);

    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& value) { FFont = value; }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor value) { FFontColor = value; }
    TGLTexturePanelItem* TexItem() const { return FTexItem.get(); }
    int TimerTick() const { return FTimerTick; }
    void SetTimerTick(int value) { FTimerTick = value; }
    int MaxTimerTick() const { return FMaxTimerTick; }
    void SetMaxTimerTick(int value) { FMaxTimerTick = value; }
    float Transparency() const { return FTransparency; }
    void SetTransparency(float value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value) { FTransparent = value; }
    const QString& ImageFileName() const { return FImageFileName; }
    void SetImageFileName(const QString& value) { FImageFileName = value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value) { FVisible = value; }
    const QStringList& Text() const { return FText; }
    void SetText(const QStringList& value) { FText = value; }
    int TextStartX() const { return FTextStartX; }
    void SetTextStartX(int value) { FTextStartX = value; }
    int TextStartY() const { return FTextStartY; }
    void SetTextStartY(int value) { FTextStartY = value; }
    int LineSpace() const { return FLineSpace; }
    void SetLineSpace(int value) { FLineSpace = value; }
    TColor TextOutLineColor() const { return FTextOutLineColor; }
    void SetTextOutLineColor(TColor value) { FTextOutLineColor = value; }
    TColor GradTextTopColor() const { return FGradTextTopColor; }
    void SetGradTextTopColor(TColor value) { FGradTextTopColor = value; }
    bool ShowInCenter() const { return FShowInCenter; }
    void SetShowInCenter(bool value) { FShowInCenter = value; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool IsModal() const { return FIsModal; }
    int MessageZPosBase() const { return FMessageZPosBase; }
    void SetMessageZPosBase(int value) { FMessageZPosBase = value; }
    bool BackImageAvailable() const { return FBackImageAvailable; }

    std::function<void(TGLTextureMessage* Sender)> OnClose;

private:
    void LoadBackImage();
    void RenderMessage(QImage& bitmap);

    TGLPanel* FGLPanel;
    std::unique_ptr<TGLTexturePanelItem> FTexItem;
    QStringList FText;
    bool FTransparent = false;
    QString FImageFileName;
    QFont FFont;
    TColor FFontColor = clWindowText;
    QImage FBackImage;
    bool FVisible = false;
    int FTimerTick = 0;
    float FTransparency = 0;
    bool FBackImageAvailable = false;
    int FTextStartX = 15;
    int FTextStartY = 15;
    int FLineSpace = 5;
    int FWidth = 0;
    int FHeight = 0;
    TColor FTextOutLineColor = RGBColor(0, 0, 128);
    bool FShowInCenter = false;
    bool FIsModal = false;
    TColor FGradTextTopColor = RGBColor(255, 255, 0);
    int FMessageZPosBase = 0;
    int FMaxTimerTick = 10;
};
