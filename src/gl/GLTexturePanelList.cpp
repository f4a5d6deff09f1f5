#include "gl/GLTexturePanelList.h"

#include <GL/gl.h>

int TGLTexturePanelList::Add(TGLTexturePanelItem* item) {
    FList.emplace_back(item);
    return Count() - 1;
}

TGLTexturePanelItem* TGLTexturePanelList::FindByName(const QString& AItemName) const {
    for (const auto& item : FList) {
        if (item->ItemName.compare(AItemName, Qt::CaseInsensitive) == 0)
            return item.get();
    }
    return nullptr;
}

void TGLTexturePanelList::DrawItems(bool IsSelectMode, int SelectNameShift) {
    for (int i = 0; i < Count(); ++i) {
        if (IsSelectMode)
            glPushName(GLuint(SelectNameShift + i));
        FList[std::size_t(i)]->Draw();
        if (IsSelectMode)
            glPopName();
    }
}

void TGLTexturePanelList::DrawItem(int AIndex) {
    if (AIndex < 0 || AIndex >= Count())
        return;
    FList[std::size_t(AIndex)]->Draw();
}

void TGLTexturePanelList::ShowAll(bool AVisible) {
    for (const auto& item : FList)
        item->PanelVisible = AVisible;
}
