#pragma once

#include "gl/MaterialItem.h"

#include <memory>
#include <QByteArray>
#include <QString>
#include <vector>

// The materials of the last MTL library read, in file order. Owns them.
class TMaterialList {
public:
    // Reads an MTL file; false (and the list untouched) when it does not
    // exist. An unreadable number in a colour, "Tr" or "illum" line throws
    // ERavlinError.
    bool LoadMTL(const QString& fn);
    // Parses MTL text; texture names are taken relative to Dir().
    void ParseMTL(const QByteArray& data);
    // First material named exactly materialName (case-sensitive), or nullptr.
    TMaterialItem* FindMaterial(const QString& materialName) const;
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    TMaterialItem* Items(int index) const { return FItems.at(std::size_t(index)).get(); }

    // Folder of the last MTL file read, with a trailing separator.
    const QString& Dir() const { return FDir; }
    void SetDir(const QString& dir) { FDir = dir; }

private:
    std::vector<std::unique_ptr<TMaterialItem>> FItems;
    QString FDir;
};
