#pragma once

#include "gl/GLTexturePanelItem.h"
#include "gl/TextureList.h"

#include <memory>

class TGLPanel;

// Plays a sprite sheet: one or more textures, each divided into a grid of
// HorzTextureCount x VertTextureCount frames, drawn as a screen-aligned
// rectangle. Frames are numbered left to right, top row first. The sprite
// size follows the first texture and Scale.
class TGLTextureAnimation {
public:
    explicit TGLTextureAnimation(TGLPanel* AGLPanel);

    // Loads a sheet (the panel's context is made current first).
    void AddTexture(const QString& fileName);
    // Draws frame (HorzIndex, VertIndex) of texture TextureIndex anchored at
    // the point; nothing for an index outside the sheets.
    void Draw(int TextureIndex, int HorzIndex, int VertIndex, float XPos, float YPos, float ZPos);

    int HorzTextureCount() const { return FHorzTextureCount; }
    void SetHorzTextureCount(int value);
    int VertTextureCount() const { return FVertTextureCount; }
    void SetVertTextureCount(int value);
    float Scale() const { return FScale; }
    void SetScale(float value);
    int AniTick() const { return FAniTick; }
    void SetAniTick(int value) { FAniTick = value; }
    TGLTexturePanelItem* TexturePanel() const { return FTexturePanel.get(); }
    TTextureList& TextureList() { return FTextureList; }

    TTextureDrawFunc OnDrawTexture;
    TTextureLoadFunc OnLoadTexture;

private:
    void UpdateSize();

    TGLPanel* FGLPanel;
    TTextureList FTextureList;
    std::unique_ptr<TGLTexturePanelItem> FTexturePanel;
    int FVertTextureCount = 1;
    int FHorzTextureCount = 1;
    int FAniTick = 0;
    float FScale = 1;
};
