// Feeds arbitrary bytes to the MTL parser: it may reject a file with the
// conversion error, but nothing may crash.

#include "app/RavlinError.h"
#include "gl/MaterialList.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TMaterialList list;
    list.SetDir(QStringLiteral("/models/"));
    try {
        list.ParseMTL(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const ERavlinError&) {
        return 0;
    }
    for (int i = 0; i < list.Count(); ++i) {
        const TMaterialItem* item = list.Items(i);
        // A named texture always lies in the library's folder.
        for (const QString* map : {&item->map_ka, &item->map_kd, &item->map_ks})
            if (!map->isEmpty() && !map->startsWith(list.Dir()))
                std::abort();
        if (list.FindMaterial(item->Name) == nullptr)
            std::abort();
    }
    return 0;
}
