#include "gl/ObjLoader.h"

#include "app/MediaPath.h"
#include "app/RavlinError.h"
#include "gl/ObjTokenizer.h"

#include <algorithm>
#include <cstdint>
#include <GL/gl.h>
#include <QFile>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QRegularExpression>

namespace {

// Reads up to `count` numbers; false when fewer parse.
bool ReadFloats(TObjTokenizer& tokens, float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!ParseObjFloat(tokens.Next(), values[i]))
            return false;
    }
    return true;
}

// Clears `loading` however LoadFromFile ends.
class TLoadingFlag {
public:
    explicit TLoadingFlag(bool& flag)
        : FFlag(flag) {
        FFlag = true;
    }
    ~TLoadingFlag() { FFlag = false; }
    TLoadingFlag(const TLoadingFlag&) = delete;
    TLoadingFlag& operator=(const TLoadingFlag&) = delete;

private:
    bool& FFlag;
};

} // namespace

TObjLoader::~TObjLoader() {
    DeletePartLists();
}

void TObjLoader::DeletePartLists() {
    // Lists of a context that is not current cannot be deleted here; they
    // go with their context.
    if (FListContext && QOpenGLContext::currentContext() == FListContext) {
        for (const TPartList& part : FPartLists)
            glDeleteLists(part.List, 1);
    }
    FPartLists.clear();
    FListContext = nullptr;
}

bool TObjLoader::LoadFromFile(const QString& fn) {
    const QString path = MediaPath(fn);
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;

    TLoadingFlag loadingFlag(loading);
    FFileName = fn;
    textureList.Clear();
    const QByteArray data = file.readAll();
    file.close();

    ParseObjData(data, QFileInfo(path).absolutePath() + QLatin1Char('/'));
    LoadTextures();
    return true;
}

void TObjLoader::ParseObjData(const QByteArray& data, const QString& folder) {
    DeletePartLists();
    modelList.Clear();
    MaterialList.Clear();
    FScratch = T3DModel();
    FCurrModel = nullptr;
    FScratchBoundsPending = true;
    FVertexTotal = FNormalTotal = FTextureTotal = 0;

    TObjTokenizer::ForEachLine(
        std::string_view(data.constData(), std::size_t(data.size())), [&](std::string_view line) {
            TObjTokenizer tokens(line);
            const std::string_view key = tokens.Next();
            if (key == "v") {
                float p[3];
                if (!ReadFloats(tokens, p, 3))
                    return;
                FScratch.VertexList.Add(p[0], p[1], p[2]);
                if (FScratchBoundsPending) {
                    FScratch.MinPos = FScratch.MaxPos = {p[0], p[1], p[2]};
                    FScratchBoundsPending = false;
                } else {
                    TGLArrayf3& lo = FScratch.MinPos;
                    TGLArrayf3& hi = FScratch.MaxPos;
                    lo = {std::min(lo.x, p[0]), std::min(lo.y, p[1]), std::min(lo.z, p[2])};
                    hi = {std::max(hi.x, p[0]), std::max(hi.y, p[1]), std::max(hi.z, p[2])};
                }
            } else if (key == "f") {
                ParseFace(tokens.Rest());
            } else if (key == "vn") {
                float n[3];
                if (ReadFloats(tokens, n, 3))
                    FScratch.NormalList.Add(n[0], n[1], n[2]);
            } else if (key == "vt") {
                // Two numbers are u and v with w = 0.
                float t[3] = {0, 0, 0};
                if (!ReadFloats(tokens, t, 2))
                    return;
                const std::string_view w = tokens.Next();
                if (!w.empty() && !ParseObjFloat(w, t[2]))
                    return;
                FScratch.TextureList.Add(t[0], t[1], t[2]);
            } else if (key == "#") {
                if (tokens.Next() != "object")
                    return;
                FVertexTotal += FScratch.VertexList.Count();
                FNormalTotal += FScratch.NormalList.Count();
                FTextureTotal += FScratch.TextureList.Count();
                FScratch.VertexList.Clear();
                FScratch.NormalList.Clear();
                FScratch.TextureList.Clear();
                FScratch.VertexIndexList.Clear();
                FScratch.ObjectName = ObjText(tokens.Next());
                FScratchBoundsPending = true;
            } else if (key == "usemtl") {
                T3DModel* model = modelList.Add();
                model->ObjectName = FScratch.ObjectName;
                model->GroupName = FScratch.GroupName;
                model->MaterialName = ObjText(tokens.Next());
                FCurrModel = model;
            } else if (key == "g") {
                FScratch.GroupName = ObjText(tokens.Next());
            } else if (key == "mtllib") {
                std::string_view name = tokens.Next();
                if (name.substr(0, 2) == "./" || name.substr(0, 2) == ".\\")
                    name.remove_prefix(2);
                MaterialList.LoadMTL(folder + ObjText(name));
            }
        });
    FScratch = T3DModel();
    FCurrModel = nullptr;
}

void TObjLoader::ParseFace(std::string_view rest) {
    if (!FCurrModel)
        throw ERavlinError(
            QStringLiteral("CurrModel is NULL. (TObjLoader.LoadFromFile.ParseFace)"));
    // A part's bounds are those of its object's vertices read before its
    // first face.
    if (FCurrModel->VertexList.Count() == 0) {
        FCurrModel->MinPos = FScratch.MinPos;
        FCurrModel->MaxPos = FScratch.MaxPos;
        modelList.Widen(FScratch.MinPos, FScratch.MaxPos);
    }

    // Corners are the space-separated groups; the values are read as one
    // stream of numbers split at spaces and slashes.
    int corners = 0;
    {
        TObjTokenizer groups(rest);
        while (!groups.Next().empty())
            ++corners;
    }
    FFaceTokens.clear();
    TObjTokenizer tokens(rest);
    while (!tokens.AtEnd()) {
        const std::string_view token = tokens.NextFaceToken();
        TFaceIndex index;
        if (!token.empty()) {
            if (!ParseObjInt(token, index.value))
                return; // not a number: the face is dropped
            index.present = true;
        }
        FFaceTokens.push_back(index);
    }
    if (corners < 3)
        return;
    // Values per corner: 1 (v), 2 (v/vt) or 3 (v/vt/vn, v//vn).
    const int k = int(FFaceTokens.size()) / corners;
    if (k < 1)
        return;
    const bool relative = !rest.empty() && rest.front() == '-';

    // Resolves a one-based absolute or a negative relative index into the
    // scratch list of that kind; -1 when it lies outside the list.
    auto resolve = [relative](const TFaceIndex& index, int count, int total) -> int {
        const std::int64_t at =
            relative ? std::int64_t(index.value) + count : std::int64_t(index.value) - 1 - total;
        return at >= 0 && at < count ? int(at) : -1;
    };
    // Every corner is checked before anything is added: a face with one
    // index outside its list is dropped whole.
    FFaceCorners.clear();
    for (int i = 0; i < corners; ++i) {
        const std::size_t base = std::size_t(i) * std::size_t(k);
        TFaceCorner corner;
        if (!FFaceTokens[base].present)
            return;
        corner.vertex = resolve(FFaceTokens[base], FScratch.VertexList.Count(), FVertexTotal);
        if (corner.vertex < 0)
            return;
        if (k >= 2 && FFaceTokens[base + 1].present) {
            corner.texture =
                resolve(FFaceTokens[base + 1], FScratch.TextureList.Count(), FTextureTotal);
            if (corner.texture < 0)
                return;
        }
        if (k >= 3 && FFaceTokens[base + 2].present) {
            corner.normal =
                resolve(FFaceTokens[base + 2], FScratch.NormalList.Count(), FNormalTotal);
            if (corner.normal < 0)
                return;
        }
        FFaceCorners.push_back(corner);
    }
    // More than three corners: a fan around the first.
    for (int j = 1; j + 1 < corners; ++j)
        AddTriangle(FFaceCorners[0], FFaceCorners[std::size_t(j)],
                    FFaceCorners[std::size_t(j) + 1]);
}

void TObjLoader::AddTriangle(const TFaceCorner& a, const TFaceCorner& b, const TFaceCorner& c) {
    const TFaceCorner* corner[3] = {&a, &b, &c};
    T3DModel& part = *FCurrModel;
    const int before = part.VertexList.Count();
    TGLArrayf3 p[3];
    for (int i = 0; i < 3; ++i) {
        p[i] = FScratch.VertexList.Item(corner[i]->vertex);
        part.VertexList.Add(p[i].x, p[i].y, p[i].z);
    }

    // Texture coordinates stay aligned with the vertices: a triangle without
    // a full set gets zeros once the part has any.
    const bool textures = a.texture >= 0 && b.texture >= 0 && c.texture >= 0;
    if (textures) {
        while (part.TextureList.Count() < before)
            part.TextureList.Add(0.0f, 0.0f, 0.0f);
        for (int i = 0; i < 3; ++i) {
            const TGLArrayf3 t = FScratch.TextureList.Item(corner[i]->texture);
            part.TextureList.Add(t.x, t.y, t.z);
        }
    } else if (part.TextureList.Count() > 0) {
        while (part.TextureList.Count() < before + 3)
            part.TextureList.Add(0.0f, 0.0f, 0.0f);
    }

    // Normals from the file only when every corner names one; otherwise the
    // face normal for all three, so the lists stay aligned.
    if (a.normal >= 0 && b.normal >= 0 && c.normal >= 0) {
        for (int i = 0; i < 3; ++i) {
            const TGLArrayf3 n = FScratch.NormalList.Item(corner[i]->normal);
            part.NormalList.Add(n.x, n.y, n.z);
        }
    } else {
        // The face normal, not normalised (rendering normalises).
        const float ux = p[1].x - p[0].x, uy = p[1].y - p[0].y, uz = p[1].z - p[0].z;
        const float vx = p[2].x - p[0].x, vy = p[2].y - p[0].y, vz = p[2].z - p[0].z;
        const float nx = uy * vz - uz * vy;
        const float ny = uz * vx - ux * vz;
        const float nz = ux * vy - uy * vx;
        for (int i = 0; i < 3; ++i)
            part.NormalList.Add(nx, ny, nz);
    }

    const auto first = std::uint32_t(part.VertexIndexList.Count()) * 3;
    part.VertexIndexList.Add(first, first + 1, first + 2);
}

void TObjLoader::LoadTextures() {
    // Each picture is decoded once however many suffixes ask for it.
    struct TLoadingScope {
        TTextureList& List;
        explicit TLoadingScope(TTextureList& list)
            : List(list) {
            List.BeginLoading();
        }
        ~TLoadingScope() { List.EndLoading(); }
    } loadingScope(textureList);
    for (int i = 0; i < MaterialList.Count(); ++i) {
        TMaterialItem* material = MaterialList.Items(i);
        if (OnGetMaterialProperty)
            OnGetMaterialProperty(this, QString(), material);
        AddTextures(material, QString());
        for (const QString& suffix : MaterialSuffixList) {
            if (!suffix.trimmed().isEmpty())
                AddTextures(material, suffix);
        }
    }
}

void TObjLoader::AddTextures(TMaterialItem* material, const QString& suffix) {
    for (const QString* file : {&material->map_ka, &material->map_kd, &material->map_ks})
        textureList.Add(material->Name, suffix, *file, OnGetTextureFileName, OnTextureLoaded);
}

void TObjLoader::DrawData_OLD(const QString& objectNames, void* UserData) {
    if (modelList.Count() == 0)
        return;
    const bool all = objectNames == QLatin1String("\r");
    // Lines as a string list holds them: an empty text is no line at all,
    // and a final line break adds none.
    QStringList names;
    if (!all && !objectNames.isEmpty()) {
        static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
        names = objectNames.split(lineBreak);
        if (names.size() > 1 && names.last().isEmpty())
            names.removeLast();
    }

    glEnableClientState(GL_VERTEX_ARRAY);
    glColor4f(1, 1, 1, 1);
    for (int i = 0; i < modelList.Count(); ++i) {
        T3DModel* model = modelList.Items(i);
        if (!all && !names.contains(model->ObjectName, Qt::CaseInsensitive))
            continue;
        TMaterialItem* material = MaterialList.FindMaterial(model->MaterialName);

        const bool normals = model->NormalList.Count() > 0;
        if (normals) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, 0, model->NormalList.Floats());
        }
        const bool textured = model->TextureList.Count() > 0 && material && material->HasTexture();
        if (textured) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(3, GL_FLOAT, 0, model->TextureList.Floats());
        } else {
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        glVertexPointer(3, GL_FLOAT, 0, model->VertexList.Floats());

        if (OnBeforeDraw)
            OnBeforeDraw(this, model->ObjectName, UserData);
        ApplyMaterial(model, material);
        DrawGeometry(model, textured);

        if (normals)
            glDisableClientState(GL_NORMAL_ARRAY);
        if (textured)
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void TObjLoader::DrawGeometry(const T3DModel* model, bool textured) {
    const int indexCount = model->VertexIndexList.Count() * 3;
    if (indexCount <= 0)
        return;
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context || (FListContext && FListContext != context)) {
        glDrawElements(DrawingMode, indexCount, GL_UNSIGNED_INT, model->VertexIndexList.UInts());
        return;
    }
    auto part = std::find_if(FPartLists.begin(), FPartLists.end(),
                             [model](const TPartList& p) { return p.Model == model; });
    const bool current = part != FPartLists.end() && part->Vertices == model->VertexList.Count() &&
                         part->Indices == indexCount &&
                         part->Normals == model->NormalList.Count() &&
                         part->Textures == model->TextureList.Count() &&
                         part->Textured == textured && part->Mode == DrawingMode;
    if (!current) {
        if (part == FPartLists.end()) {
            const GLuint list = glGenLists(1);
            if (list == 0) {
                glDrawElements(DrawingMode, indexCount, GL_UNSIGNED_INT,
                               model->VertexIndexList.UInts());
                return;
            }
            FListContext = context;
            FPartLists.push_back({model, list});
            part = FPartLists.end() - 1;
        }
        part->Vertices = model->VertexList.Count();
        part->Indices = indexCount;
        part->Normals = model->NormalList.Count();
        part->Textures = model->TextureList.Count();
        part->Textured = textured;
        part->Mode = DrawingMode;
        // The arrays enabled now are read into the list once.
        glNewList(part->List, GL_COMPILE);
        glDrawElements(DrawingMode, indexCount, GL_UNSIGNED_INT, model->VertexIndexList.UInts());
        glEndList();
    }
    glCallList(part->List);
}

void TObjLoader::ApplyMaterial(T3DModel* model, TMaterialItem* material) {
    if (!material)
        return;
    QString suffix;
    if (OnGetTextureSuffix)
        OnGetTextureSuffix(this, model->ObjectName, suffix);
    TTextureItem* texture = textureList.FindTexture(material->map_kd, suffix);
    if (!texture)
        texture = textureList.FindTexture(material->map_ks, suffix);

    material->Blend.data_assigned = false;
    if (OnGetMaterialProperty)
        OnGetMaterialProperty(this, model->ObjectName, material);
    const TLight& blend = material->Blend;
    const GLfloat specular[] = {material->Specular.R, material->Specular.G, material->Specular.B,
                                material->Specular.A};

    if (texture) {
        if (blend.data_assigned)
            glColor4f(blend.R, blend.G, blend.B, blend.A);
        else
            glColor4f(1, 1, 1, 1);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glBindTexture(GL_TEXTURE_2D, texture->Id);
        return;
    }
    GLfloat colour[] = {material->Diffuse.R, material->Diffuse.G, material->Diffuse.B,
                        1 - material->Tr};
    if (blend.data_assigned && blend.A > 0) {
        const GLfloat mix[] = {blend.R, blend.G, blend.B};
        for (int c = 0; c < 3; ++c)
            colour[c] = (1 - blend.A) * colour[c] + blend.A * mix[c];
    }
    glColor4fv(colour);
    const GLfloat ambient[] = {material->Ambient.R, material->Ambient.G, material->Ambient.B,
                               material->Ambient.A};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
}

void TObjLoader::ReloadMaterial(const QString& matName, const QString& suffixName) {
    for (int i = 0; i < MaterialList.Count(); ++i) {
        TMaterialItem* material = MaterialList.Items(i);
        if (material->Name.compare(matName, Qt::CaseInsensitive) != 0)
            continue;
        for (const QString* file : {&material->map_ka, &material->map_kd, &material->map_ks})
            textureList.Delete(*file, suffixName);
        AddTextures(material, QString());
    }
}

TLight TObjLoader::ColorToLight(TColor Color, float alpha) {
    TLight light;
    light.data_assigned = true;
    light.R = float(RedOf(Color)) / 255;
    light.G = float(GreenOf(Color)) / 255;
    light.B = float(BlueOf(Color)) / 255;
    light.A = alpha;
    return light;
}
