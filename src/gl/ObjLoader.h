#pragma once

#include "app/Colors.h"
#include "gl/3DModelList.h"
#include "gl/MaterialList.h"
#include "gl/TextureList.h"

#include <functional>
#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <string_view>
#include <vector>

class QOpenGLContext;
class TObjLoader;

using TGetMaterialPropertyEvent =
    std::function<void(TObjLoader* Sender, const QString& ObjectName, TMaterialItem* Material)>;
using TGetTextureSuffixEvent =
    std::function<void(TObjLoader* Sender, const QString& ObjectName, QString& SuffixName)>;
using TBeforeDrawEvent =
    std::function<void(TObjLoader* Sender, const QString& ObjectName, void* UserData)>;

// Reads a Wavefront OBJ file with its MTL library (the subset a common
// modelling exporter writes: object names in "# object <name>" comment
// lines, one part per "usemtl"), loads the textures its materials name and
// draws chosen parts by name with the fixed-function pipeline of the current
// panel context. Screens steer textures and colours through the events.
//
// Parsing only builds data (ParseObjData); textures and drawing are the GL
// side. Faces with more than three corners are drawn as a triangle fan from
// the first corner; a face naming a vertex, texture coordinate or normal
// outside those read so far for its object is dropped, so no list is ever
// read outside its bounds.
class TObjLoader {
public:
    TObjLoader() = default;
    ~TObjLoader();
    TObjLoader(const TObjLoader&) = delete;
    TObjLoader& operator=(const TObjLoader&) = delete;

    // False when the file does not exist (nothing is cleared then);
    // otherwise replaces models, materials and textures and returns true.
    // Throws ERavlinError for a face before any "usemtl", an unreadable MTL
    // number or a texture that cannot be read. Textures need the panel's
    // context to be current.
    bool LoadFromFile(const QString& fn);
    // Parses OBJ text into modelList (and MaterialList through "mtllib",
    // relative to `folder`), without touching OpenGL.
    void ParseObjData(const QByteArray& data, const QString& folder);
    bool LoadMTL(const QString& fn) { return MaterialList.LoadMTL(fn); }

    // Draws the models whose ObjectName is among the line-separated
    // `objectNames` (ignoring case), or every model for the single string
    // "\r", in list order.
    void DrawData_OLD(const QString& objectNames, void* UserData);
    // Drops the textures of every material named matName (ignoring case)
    // under suffixName, then adds them again with no suffix, so the file-name
    // event is asked again.
    void ReloadMaterial(const QString& matName, const QString& suffixName);
    static TLight ColorToLight(TColor Color, float alpha);

    T3DModel* FindNamedModel(const QString& modelName) const {
        return modelList.FindNamedModel(modelName);
    }
    TMaterialItem* FindMaterial(const QString& materialName) const {
        return MaterialList.FindMaterial(materialName);
    }
    const QString& FileName() const { return FFileName; }

    TTextureLoadFunc OnGetTextureFileName;
    TTextureDrawFunc OnTextureLoaded;
    TGetMaterialPropertyEvent OnGetMaterialProperty;
    TGetTextureSuffixEvent OnGetTextureSuffix;
    TBeforeDrawEvent OnBeforeDraw;

    T3DModelList modelList;
    TMaterialList MaterialList;
    TTextureList textureList;
    // Texture variants loaded for every material besides the plain one.
    QStringList MaterialSuffixList;
    bool loading = false;
    // Primitive type of the draw call (4: triangles).
    unsigned int DrawingMode = 4;

private:
    struct TFaceIndex {
        bool present = false;
        int value = 0;
    };

    // Resolved indices of one face corner into the scratch lists; -1: none.
    struct TFaceCorner {
        int vertex = -1;
        int texture = -1;
        int normal = -1;
    };

    void ParseFace(std::string_view rest);
    void AddTriangle(const TFaceCorner& a, const TFaceCorner& b, const TFaceCorner& c);
    void LoadTextures();
    void AddTextures(TMaterialItem* material, const QString& suffix);
    void ApplyMaterial(T3DModel* model, TMaterialItem* material);

    // A part's geometry compiled into a display list on its first draw:
    // replaying it costs the driver far less than reading the client arrays
    // again every frame. The counts and flags it was compiled with tell
    // whether it still matches the part.
    struct TPartList {
        const T3DModel* Model = nullptr;
        unsigned int List = 0;
        int Vertices = 0;
        int Indices = 0;
        int Normals = 0;
        int Textures = 0;
        bool Textured = false;
        unsigned int Mode = 0;
    };
    void DrawGeometry(const T3DModel* model, bool textured);
    void DeletePartLists();

    QString FFileName;
    std::vector<TPartList> FPartLists;
    // Lists belong to the context current when they were compiled; drawn
    // with another context, parts come from the arrays.
    QPointer<QOpenGLContext> FListContext;

    // Parsing state: the scratch model collects the current object's
    // vertices, normals and texture coordinates; parts copy from it.
    T3DModel FScratch;
    T3DModel* FCurrModel = nullptr;
    bool FScratchBoundsPending = true;
    int FVertexTotal = 0;
    int FNormalTotal = 0;
    int FTextureTotal = 0;
    std::vector<TFaceIndex> FFaceTokens;
    std::vector<TFaceCorner> FFaceCorners;
};
