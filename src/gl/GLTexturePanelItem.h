#pragma once

#include "app/Colors.h"
#include "gl/GLTypes.h"

#include <functional>
#include <QFont>
#include <QImage>
#include <QOpenGLContext>
#include <QPointer>
#include <QString>

class TGLPanel;
class TGLTexturePanelItem;

// Which point of the rectangle sits at the anchor.
enum TTexturePanelLinePos { lpCenter, lpLeftBottom, lpLeftTop, lpRightTop, lpRightBottom };

// The owner paints the texture bitmap (Format_ARGB32) itself, sizing it.
using TDrawTextureItemEvent = std::function<void(TGLTexturePanelItem* Sender, QImage& Bmp)>;

// A callout in a 3D scene: a few lines of text (or a picture its owner
// paints) turned into a texture and drawn as a screen-aligned rectangle of
// exactly the texture's pixel size, anchored at a 3D point, optionally with
// a leader line and a small sphere pointing at that point.
//
// Textures are uploaded from the bitmap's memory as it lies (blue, green,
// red, alpha) under the RGBA format. The plain text callout therefore paints
// its picture and then exchanges red and blue, so back colour and text show
// in their own colours; owners painting through OnDrawTextureItem exchange
// the channels themselves.
class TGLTexturePanelItem {
public:
    TGLTexturePanelItem(TGLPanel* AGLPanel, const QString& AItemName, float x, float y, float z);
    TGLTexturePanelItem(const QString& AItemName, float x, float y, float z);
    ~TGLTexturePanelItem();
    TGLTexturePanelItem(const TGLTexturePanelItem&) = delete;
    TGLTexturePanelItem& operator=(const TGLTexturePanelItem&) = delete;

    // The four corners 0-3 of the rectangle in world coordinates, from the
    // current matrices and viewport. Generates the texture first when there
    // is none (and none is external).
    void GetDrawPosition(double DrawX[4], double DrawY[4], double DrawZ[4]);
    void Draw();
    // Regenerates the texture (not for an external texture).
    void Refresh();

    float Alpha() const { return FAlpha; }
    void SetAlpha(float value);
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor value) { FFontColor = value; }
    const QString& Text() const { return FText; }
    void SetText(const QString& value);
    const QString& Desc() const { return FDesc; }
    void SetDesc(const QString& value);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor value);
    float CornerDepth() const { return FCornerDepth; }
    void SetCornerDepth(float value) { FCornerDepth = value; }
    unsigned int TextureID() const { return FTextureID; }
    TGLPanel* GLPanel() const { return FGLPanel; }

    TDrawTextureItemEvent OnDrawTextureItem;

    bool PanelVisible = true;
    bool DrawLine = true;
    float LineLength = 10;
    // Radius of the sphere at the line's far end; 0.01 or less: none.
    float SphereRadius = 2;
    TColor SphereColor = RGBColor(255, 255, 0);
    TGLArrayf3 Position;
    int Width = 0;
    int Height = 0;
    // True: a screen-aligned rectangle of Width x Height (logical) pixels,
    // twice as many device pixels on a screen scaled by two. False: a
    // rectangle in the XY plane with Width and Height as world units.
    bool RotatePlane = true;
    QString ItemName;
    TTexturePanelLinePos LinePos = lpLeftBottom;
    bool UseExternalTexture = false;
    unsigned int ExternalTextureID = 0;
    TGLArrayf3 TextureUVWOrigin{0, 0, 0};
    TGLArrayf3 TextureUVWNormalLen{1, 1, 1};
    // Multiplies the texture's alpha when drawing (0 to 1): fading without
    // regenerating the texture.
    float DrawAlphaScale = 1;

private:
    void DeleteTexture();
    // Device pixels per logical pixel of the panel's window (1 without one).
    double PixelRatio() const;

    TGLPanel* FGLPanel = nullptr;
    unsigned int FTextureID = 0;
    QPointer<QOpenGLContext> FTextureContext;
    TColor FBackColor = clWhite;
    QString FText;
    QFont FFont;
    TColor FFontColor = clWindowText;
    float FAlpha = 0.8f;
    float FCornerDepth = 0;
    QString FDesc;
};
