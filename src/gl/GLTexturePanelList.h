#pragma once

#include "gl/GLTexturePanelItem.h"

#include <memory>
#include <vector>

// Named callouts of a scene (the main menu's object hints). Owns its items.
class TGLTexturePanelList {
public:
    // Takes ownership; returns the item's index.
    int Add(TGLTexturePanelItem* item);
    void Clear() { FList.clear(); }
    int Count() const { return int(FList.size()); }
    TGLTexturePanelItem* Items(int index) const { return FList.at(std::size_t(index)).get(); }
    // First item whose ItemName equals AItemName ignoring case, or nullptr.
    TGLTexturePanelItem* FindByName(const QString& AItemName) const;
    // Draws every item; while picking, item i inside the selection name
    // SelectNameShift + i, so callouts can be picked with model objects.
    void DrawItems(bool IsSelectMode, int SelectNameShift);
    // Draws one item; an index out of range is ignored.
    void DrawItem(int AIndex);
    void ShowAll(bool AVisible);

private:
    std::vector<std::unique_ptr<TGLTexturePanelItem>> FList;
};
