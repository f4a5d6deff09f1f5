// Feeds arbitrary bytes to the OBJ parser. Any input may be rejected (with
// the loader's error) or partly ignored, but nothing may crash, and every
// part that comes out must be drawable: its lists line up and its indices
// stay inside them.

#include "app/RavlinError.h"
#include "gl/ObjLoader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TObjLoader loader;
    try {
        loader.ParseObjData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                            QStringLiteral("/nonexistent-model-folder/"));
    } catch (const ERavlinError&) {
        return 0;
    }
    for (int i = 0; i < loader.modelList.Count(); ++i) {
        const T3DModel* model = loader.modelList.Items(i);
        const int vertices = model->VertexList.Count();
        if (vertices != 3 * model->VertexIndexList.Count() ||
            model->NormalList.Count() != vertices ||
            (model->TextureList.Count() != 0 && model->TextureList.Count() != vertices))
            std::abort();
        const std::uint32_t* indices = model->VertexIndexList.UInts();
        for (int j = 0; j < 3 * model->VertexIndexList.Count(); ++j)
            if (indices[j] >= std::uint32_t(vertices))
                std::abort();
    }
    return 0;
}
