#include "gl/GLTextureAnimation.h"

#include "gl/GLPanel.h"

TGLTextureAnimation::TGLTextureAnimation(TGLPanel* AGLPanel)
    : FGLPanel(AGLPanel)
    , FTexturePanel(std::make_unique<TGLTexturePanelItem>(
          AGLPanel, QStringLiteral("Texture_Animation"), 0.0f, 0.0f, 0.0f)) {
    FTexturePanel->UseExternalTexture = true;
    FTexturePanel->DrawLine = false;
    FTexturePanel->SphereRadius = 0;
}

void TGLTextureAnimation::AddTexture(const QString& fileName) {
    if (FGLPanel)
        FGLPanel->SetCurrentGLContext();
    FTextureList.Add(QStringLiteral("AniTexture_%1").arg(FTextureList.Count() + 1), QString(),
                     fileName, OnLoadTexture, OnDrawTexture);
}

void TGLTextureAnimation::SetHorzTextureCount(int value) {
    if (value == FHorzTextureCount)
        return;
    FHorzTextureCount = value;
    UpdateSize();
}

void TGLTextureAnimation::SetVertTextureCount(int value) {
    if (value == FVertTextureCount)
        return;
    FVertTextureCount = value;
    UpdateSize();
}

void TGLTextureAnimation::SetScale(float value) {
    if (value == FScale)
        return;
    FScale = value;
    UpdateSize();
}

void TGLTextureAnimation::UpdateSize() {
    // Owners add the sheets first and set counts and scale afterwards.
    if (FTextureList.Count() == 0 || FHorzTextureCount < 1 || FVertTextureCount < 1)
        return;
    const TTextureItem* first = FTextureList.Items(0);
    FTexturePanel->Width = int(float(first->Width) * FScale / float(FHorzTextureCount));
    FTexturePanel->Height = int(float(first->Height) * FScale / float(FVertTextureCount));
}

void TGLTextureAnimation::Draw(int TextureIndex, int HorzIndex, int VertIndex, float XPos,
                               float YPos, float ZPos) {
    if (TextureIndex < 0 || TextureIndex >= FTextureList.Count() || HorzIndex < 0 ||
        HorzIndex >= FHorzTextureCount || VertIndex < 0 || VertIndex >= FVertTextureCount)
        return;
    const float horz = float(FHorzTextureCount);
    const float vert = float(FVertTextureCount);
    FTexturePanel->Position = {XPos, YPos, ZPos};
    // Texture row 0 is the bottom of the sheet, so the top frame row starts
    // at v = 1 - 1 / VertTextureCount.
    FTexturePanel->TextureUVWOrigin = {float(HorzIndex) / horz, 1 - float(VertIndex + 1) / vert, 0};
    FTexturePanel->TextureUVWNormalLen = {1 / horz, 1 / vert, 1};
    FTexturePanel->ExternalTextureID = FTextureList.Items(TextureIndex)->Id;
    FTexturePanel->Draw();
}
