#include "gl/ObjLoader.h"

#include "app/RavlinError.h"
#include "gl/GLPanel.h"
#include "gl/ObjTokenizer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <memory>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::unique_ptr<TObjLoader> Parsed(const char* obj) {
    auto loader = std::make_unique<TObjLoader>();
    loader->ParseObjData(QByteArray(obj), QStringLiteral("/nonexistent/"));
    return loader;
}

void ExpectPoint(const TGLArrayf3& p, float x, float y, float z) {
    EXPECT_FLOAT_EQ(p.x, x);
    EXPECT_FLOAT_EQ(p.y, y);
    EXPECT_FLOAT_EQ(p.z, z);
}

// Every part's lists line up: one normal (and texture coordinate, when
// there are any) per vertex, three vertices per triangle, indices in range.
void ExpectConsistent(const TObjLoader& loader) {
    for (int i = 0; i < loader.modelList.Count(); ++i) {
        const T3DModel* m = loader.modelList.Items(i);
        const int vertices = m->VertexList.Count();
        EXPECT_EQ(vertices, 3 * m->VertexIndexList.Count());
        EXPECT_EQ(m->NormalList.Count(), vertices);
        EXPECT_TRUE(m->TextureList.Count() == 0 || m->TextureList.Count() == vertices);
        for (int j = 0; j < m->VertexIndexList.Count() * 3; ++j)
            EXPECT_LT(m->VertexIndexList.UInts()[j], std::uint32_t(vertices));
    }
}

class TModelFiles {
public:
    QString Write(const QString& name, const QByteArray& text) {
        QFile file(FDir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }
    QString Picture(const QString& name, QColor colour) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(FDir.filePath(name)));
        return FDir.filePath(name);
    }
    QString Path(const QString& name) const { return FDir.filePath(name); }

private:
    QTemporaryDir FDir;
};

} // namespace

TEST(ObjTokenizer, SplitsAtSpacesOnlyAndAtSlashesInFaceMode) {
    TObjTokenizer line("  usemtl \t Mat 1 ");
    EXPECT_EQ(line.Next(), "usemtl");
    EXPECT_EQ(line.Next(), "Mat");
    EXPECT_EQ(line.Next(), "1");
    EXPECT_EQ(line.Next(), "");
    EXPECT_TRUE(line.AtEnd());

    TObjTokenizer tabbed("v\t1 2");
    EXPECT_EQ(tabbed.Next(), "v\t1");

    TObjTokenizer face("1//3 2/7/5");
    const char* expected[] = {"1", "", "3", "2", "7", "5"};
    for (const char* token : expected)
        EXPECT_EQ(face.NextFaceToken(), token);
    EXPECT_TRUE(face.AtEnd());

    float f = 0;
    EXPECT_TRUE(ParseObjFloat("-1.5e2", f));
    EXPECT_FLOAT_EQ(f, -150);
    EXPECT_TRUE(ParseObjFloat("+.5", f));
    EXPECT_FALSE(ParseObjFloat("1,5", f));
    EXPECT_FALSE(ParseObjFloat("+-1", f));
    EXPECT_FALSE(ParseObjFloat("nan", f));
    EXPECT_FALSE(ParseObjFloat("1e999", f));
    int n = 0;
    EXPECT_TRUE(ParseObjInt("-3", n));
    EXPECT_EQ(n, -3);
    EXPECT_FALSE(ParseObjInt("2.0", n));
    EXPECT_FALSE(ParseObjInt("3000000000", n));
}

TEST(ObjLoader, ObjectNamesComeFromObjectCommentsAndPartsFromUsemtl) {
    const auto loaderPtr = Parsed("usemtl Lonely\n"
                                  "# object Box01 to come\n"
                                  "g Group1\n"
                                  "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                  "usemtl Red\n"
                                  "f 1 2 3\n"
                                  "usemtl Blue\r\n"
                                  "f 3 2 1\r"
                                  "#object Ignored\n"
                                  "# Object NotAKeyword\n");
    const TObjLoader& loader = *loaderPtr;
    ASSERT_EQ(loader.modelList.Count(), 3);
    EXPECT_EQ(loader.modelList.Items(0)->ObjectName, "");
    EXPECT_EQ(loader.modelList.Items(0)->MaterialName, "Lonely");
    const T3DModel* red = loader.modelList.Items(1);
    const T3DModel* blue = loader.modelList.Items(2);
    EXPECT_EQ(red->ObjectName, "Box01");
    EXPECT_EQ(blue->ObjectName, "Box01");
    EXPECT_EQ(red->GroupName, "Group1");
    EXPECT_EQ(blue->MaterialName, "Blue");
    EXPECT_EQ(loader.FindNamedModel("BOX01"), red);
    EXPECT_EQ(loader.FindNamedModel("Box02"), nullptr);
    EXPECT_EQ(blue->VertexIndexList.Count(), 1);
    ExpectConsistent(loader);
}

TEST(ObjLoader, FaceFormsGiveNormalsAndTextureCoordinatesAsTheFileSays) {
    const auto loaderPtr = Parsed("# object A\n"
                                  "v 0 0 0\nv 2 0 0\nv 0 3 0\n"
                                  "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\n"
                                  "vt 0.5 0.25\nvt 1 1 1\nvt 0 1 0\n"
                                  "usemtl M\n"
                                  "f 1//3 2//2 3//1\n"    // normals, no texture
                                  "f 1 2 3\n"             // computed normal
                                  "f -3/-3 -2/-2 -1/-1\n" // relative, texture
                                  "f 1/1/1 2/2/2 3/3/3\n");
    const TObjLoader& loader = *loaderPtr;
    ASSERT_EQ(loader.modelList.Count(), 1);
    const T3DModel* m = loader.modelList.Items(0);
    ASSERT_EQ(m->VertexIndexList.Count(), 4);
    ExpectConsistent(loader);

    ExpectPoint(m->NormalList.Item(0), 1, 0, 0);
    ExpectPoint(m->NormalList.Item(2), 0, 0, 1);
    // (P1 - P0) x (P2 - P0) = (2,0,0) x (0,3,0), not normalised.
    for (int i = 3; i < 6; ++i)
        ExpectPoint(m->NormalList.Item(i), 0, 0, 6);

    // The first two faces had no texture coordinates: zeros keep the list
    // aligned once the third brings some; two numbers mean w = 0.
    ASSERT_EQ(m->TextureList.Count(), 12);
    ExpectPoint(m->TextureList.Item(0), 0, 0, 0);
    ExpectPoint(m->TextureList.Item(6), 0.5f, 0.25f, 0);
    ExpectPoint(m->TextureList.Item(7), 1, 1, 1);
    ExpectPoint(m->VertexList.Item(8), 0, 3, 0);
    ExpectPoint(m->NormalList.Item(11), 1, 0, 0);
    const std::uint32_t last[] = {9, 10, 11};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(m->VertexIndexList.UInts()[9 + i], last[i]);
}

TEST(ObjLoader, IndicesCountPerObjectAndBadFacesAreDropped) {
    const auto loaderPtr = Parsed("# object First\n"
                                  "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                  "usemtl M\nf 1 2 3\n"
                                  "# object Second\n"
                                  "v 5 5 5\nv 6 5 5\nv 5 6 5\nv 5 5 9\n"
                                  "v bad 1 2\n"
                                  "usemtl M\n"
                                  "f 4 5 6\n"       // absolute over the file: 1..3 of Second
                                  "f 1 2 3\n"       // First's vertices: outside, dropped
                                  "f 4 5 99\n"      // beyond the list: dropped
                                  "f 4 5 x\n"       // not a number: dropped
                                  "f 4 5\n"         // two corners: nothing to draw
                                  "f 4/9 5/9 6/9\n" // texture index outside: dropped
                                  "f 4 5 6 7\n"     // a quad: fan of two triangles
                                  "f -1 -2 -3\n");
    const TObjLoader& loader = *loaderPtr;
    ASSERT_EQ(loader.modelList.Count(), 2);
    const T3DModel* second = loader.modelList.Items(1);
    EXPECT_EQ(second->ObjectName, "Second");
    ASSERT_EQ(second->VertexIndexList.Count(), 4);
    ExpectConsistent(loader);
    ExpectPoint(second->VertexList.Item(0), 5, 5, 5);
    ExpectPoint(second->VertexList.Item(1), 6, 5, 5);
    // Fan: (4 5 6) and (4 6 7).
    ExpectPoint(second->VertexList.Item(6), 5, 5, 5);
    ExpectPoint(second->VertexList.Item(7), 5, 6, 5);
    ExpectPoint(second->VertexList.Item(8), 5, 5, 9);
    // Relative: -1 is the last vertex of the current object.
    ExpectPoint(second->VertexList.Item(9), 5, 5, 9);
    ExpectPoint(second->VertexList.Item(11), 6, 5, 5);

    // Bounds: the object's vertices read before the part's first face.
    ExpectPoint(second->MinPos, 5, 5, 5);
    ExpectPoint(second->MaxPos, 6, 6, 9);
    EXPECT_FLOAT_EQ(second->Width(), 1);
    EXPECT_FLOAT_EQ(second->CenterZ(), 7);
    ExpectPoint(loader.modelList.MinPos, 0, 0, 0);
    ExpectPoint(loader.modelList.MaxPos, 6, 6, 9);

    // A part without faces keeps the start bounds.
    const auto empty = Parsed("usemtl M\n");
    ExpectPoint(empty->modelList.Items(0)->MinPos, 2147483648.0f, 2147483648.0f, 2147483648.0f);
    ExpectPoint(empty->modelList.Items(0)->MaxPos, -1879048192.0f, -1879048192.0f, -1879048192.0f);
}

TEST(ObjLoader, FaceBeforeAnyUsemtlRaisesItsError) {
    try {
        Parsed("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
        FAIL() << "no error";
    } catch (const ERavlinError& error) {
        EXPECT_EQ(error.Message(), "CurrModel is NULL. (TObjLoader.LoadFromFile.ParseFace)");
    }
}

TEST(ObjLoader, MaterialLibrariesFollowTheirRules) {
    TModelFiles files;
    files.Write("lib.mtl", "Kd 1 1 1\n"
                           "newmtl Mat1\n"
                           "Ka 0.5\n"
                           "Kd 1 0 0\n"
                           "Ks 0.25 0.5 0.75\n"
                           "Tr 0.3\n"
                           "illum 2\n"
                           "Tf 0.1\n"
                           "tf 0.2 0.3 0.4\n"
                           "d 0.5\n"
                           "map_Kd my  picture.png\n"
                           "newmtl Other\n"
                           "map_Kd\n");
    TMaterialList list;
    ASSERT_TRUE(list.LoadMTL(files.Path("lib.mtl")));
    ASSERT_EQ(list.Count(), 2);
    const TMaterialItem* mat = list.FindMaterial("Mat1");
    ASSERT_NE(mat, nullptr);
    EXPECT_EQ(list.FindMaterial("mat1"), nullptr);
    EXPECT_FLOAT_EQ(mat->Ambient.G, 0.5f);
    EXPECT_FLOAT_EQ(mat->Ambient.B, 0.5f);
    EXPECT_FLOAT_EQ(mat->Ambient.A, 0);
    EXPECT_FLOAT_EQ(mat->Diffuse.R, 1);
    EXPECT_FLOAT_EQ(mat->Diffuse.G, 0);
    EXPECT_FLOAT_EQ(mat->Diffuse.A, 1);
    EXPECT_FLOAT_EQ(mat->Specular.B, 0.75f);
    EXPECT_FLOAT_EQ(mat->Tr, 0.3f);
    EXPECT_EQ(mat->illum, 2);
    EXPECT_FLOAT_EQ(mat->Tf.B, 0.1f);
    EXPECT_FLOAT_EQ(mat->Filter.B, 0.4f);
    EXPECT_EQ(mat->map_kd, list.Dir() + "my picture.png");
    EXPECT_TRUE(mat->HasTexture());
    EXPECT_FALSE(list.FindMaterial("Other")->HasTexture());

    EXPECT_FALSE(list.LoadMTL(files.Path("missing.mtl")));
    EXPECT_EQ(list.Count(), 2);

    for (const char* bad :
         {"newmtl A\nKa x\n", "newmtl A\nKd 1 0\n", "newmtl A\nTr\n", "newmtl A\nillum 1.5\n"}) {
        TMaterialList failing;
        EXPECT_THROW(failing.ParseMTL(bad), ERavlinError) << bad;
    }
}

TEST(ObjLoader, LoadFromFileReadsTheLibraryLoadsTexturesOnceAndKeepsOldDataWhenMissing) {
    TGLPanel panel;
    panel.SetCurrentGLContext();
    TModelFiles files;
    files.Picture("shared.png", Qt::green);
    files.Write("first.mtl", "newmtl Gone\nKd 1 1 1\n");
    files.Write("scene.mtl", "newmtl Mat1\nmap_Kd shared.png\nmap_Ka shared.png\n"
                             "newmtl Mat2\nmap_Kd shared.png\n"
                             "newmtl Plain\nKd 1 0 0\n");
    const QString obj = files.Write("scene.obj", "mtllib first.mtl\n"
                                                 "mtllib ./scene.mtl\n"
                                                 "# object Tri\n"
                                                 "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                                 "usemtl Mat1\nf 1 2 3\n"
                                                 "usemtl Gone\nf 1 2 3\n");
    TObjLoader loader;
    loader.MaterialSuffixList << "Second"
                              << "  "
                              << "Third";
    QStringList materialsAsked;
    bool loadingSeen = false;
    loader.OnGetMaterialProperty = [&](TObjLoader* sender, const QString& objectName,
                                       TMaterialItem* material) {
        EXPECT_EQ(objectName, "");
        loadingSeen = sender->loading;
        materialsAsked << material->Name;
    };
    int fileNamesAsked = 0;
    loader.OnGetTextureFileName = [&](TTextureItem*, QString&) { ++fileNamesAsked; };

    ASSERT_TRUE(loader.LoadFromFile(obj));
    EXPECT_FALSE(loader.loading);
    EXPECT_TRUE(loadingSeen);
    EXPECT_EQ(loader.FileName(), obj);
    // The second library replaced the first.
    EXPECT_EQ(loader.FindMaterial("Gone"), nullptr);
    EXPECT_EQ(materialsAsked, QStringList({"Mat1", "Mat2", "Plain"}));
    // One picture, three variants (blank suffixes skipped), each loaded once
    // under the first material's name.
    EXPECT_EQ(loader.textureList.Count(), 3);
    EXPECT_EQ(fileNamesAsked, 3);
    EXPECT_EQ(loader.textureList.Items(0)->MaterialName, "Mat1");
    EXPECT_NE(loader.textureList.FindTexture(files.Path("shared.png"), "Third"), nullptr);
    EXPECT_EQ(loader.modelList.Count(), 2);

    // A missing file changes nothing.
    EXPECT_FALSE(loader.LoadFromFile(files.Path("missing.obj")));
    EXPECT_EQ(loader.modelList.Count(), 2);
    EXPECT_EQ(loader.textureList.Count(), 3);
    EXPECT_EQ(loader.FileName(), obj);

    // A bad number in the library stops the load; the flag is cleared.
    files.Write("scene.mtl", "newmtl Mat1\nTr oops\n");
    EXPECT_THROW(loader.LoadFromFile(obj), ERavlinError);
    EXPECT_FALSE(loader.loading);

    // Without its library the model loads with no materials.
    const QString bare = files.Write("bare.obj", "mtllib none.mtl\nusemtl X\nv 0 0 0\n");
    ASSERT_TRUE(loader.LoadFromFile(bare));
    EXPECT_EQ(loader.MaterialList.Count(), 0);
    EXPECT_EQ(loader.textureList.Count(), 0);
}

TEST(ObjLoader, ReloadMaterialAsksForTheFileAgain) {
    TGLPanel panel;
    panel.SetCurrentGLContext();
    TModelFiles files;
    files.Picture("one.png", Qt::red);
    files.Picture("two.png", Qt::blue);
    files.Write("m.mtl", "newmtl back_mat\nmap_Kd one.png\n");
    const QString obj = files.Write("m.obj", "mtllib m.mtl\nusemtl back_mat\n");
    TObjLoader loader;
    QString next = files.Path("one.png");
    loader.OnGetTextureFileName = [&](TTextureItem*, QString& name) { name = next; };
    ASSERT_TRUE(loader.LoadFromFile(obj));
    ASSERT_EQ(loader.textureList.Count(), 1);
    EXPECT_EQ(loader.textureList.Items(0)->LoadedFileName, files.Path("one.png"));

    next = files.Path("two.png");
    loader.ReloadMaterial("BACK_MAT", "");
    ASSERT_EQ(loader.textureList.Count(), 1);
    EXPECT_EQ(loader.textureList.Items(0)->LoadedFileName, files.Path("two.png"));

    const TLight light = TObjLoader::ColorToLight(RGBColor(255, 51, 0), 0.25f);
    EXPECT_TRUE(light.data_assigned);
    EXPECT_FLOAT_EQ(light.R, 1);
    EXPECT_FLOAT_EQ(light.G, 0.2f);
    EXPECT_FLOAT_EQ(light.B, 0);
    EXPECT_FLOAT_EQ(light.A, 0.25f);
}

TEST(ObjLoader, DrawingSelectsModelsByNameAndAppliesMaterialsAndEvents) {
    TModelFiles files;
    files.Picture("green.png", QColor(0, 255, 0));
    files.Write("d.mtl", "newmtl Red\nKd 1 0 0\nTr 0\n"
                         "newmtl Tex\nmap_Kd green.png\n");
    // Two big triangles: "Left" covers the left of the view, "Right" the
    // right; "Right" has a second part (an unknown material) out of view.
    const QString obj = files.Write("d.obj", "mtllib d.mtl\n"
                                             "# object Left\n"
                                             "v -150 -150 0\nv -1 -150 0\nv -1 150 0\n"
                                             "usemtl Red\nf 1 2 3\n"
                                             "# object Right\n"
                                             "v 1 -150 0\nv 150 -150 0\nv 1 150 0\n"
                                             "v 900 900 0\nv 901 900 0\nv 900 901 0\n"
                                             "vt 0 0 0\nvt 1 0 0\nvt 1 1 0\n"
                                             "usemtl Tex\nf 4/1 5/2 6/3\n"
                                             "usemtl Missing\nf 7 8 9\n");
    TGLPanel panel;
    panel.resize(200, 200);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    panel.SetCurrentGLContext();
    TObjLoader loader;
    ASSERT_TRUE(loader.LoadFromFile(obj));

    QStringList events;
    void* const userData = &events;
    loader.OnBeforeDraw = [&](TObjLoader*, const QString& name, void* data) {
        EXPECT_EQ(data, userData);
        events << "draw " + name;
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
    };
    loader.OnGetTextureSuffix = [&](TObjLoader*, const QString& name, QString& suffix) {
        EXPECT_TRUE(suffix.isEmpty());
        events << "suffix " + name;
    };
    TLight blend;
    loader.OnGetMaterialProperty = [&](TObjLoader*, const QString& name, TMaterialItem* m) {
        EXPECT_FALSE(m->Blend.data_assigned);
        events << "material " + name;
        m->Blend = blend;
    };
    QString names = "\r";
    panel.OnDrawScene = [&](TGLPanel*) { loader.DrawData_OLD(names, userData); };

    QImage frame = panel.grabFramebuffer();
    EXPECT_EQ(events, QStringList({"draw Left", "suffix Left", "material Left", "draw Right",
                                   "suffix Right", "material Right", "draw Right"}));
    EXPECT_EQ(frame.pixelColor(50, 100), QColor(255, 0, 0));
    EXPECT_EQ(frame.pixelColor(150, 100), QColor(0, 255, 0));

    // A blend colour mixes into an untextured material and replaces white
    // under a texture.
    blend = TObjLoader::ColorToLight(RGBColor(0, 0, 255), 1);
    events.clear();
    names = "right\nLEFT\n";
    frame = panel.grabFramebuffer();
    EXPECT_EQ(events.size(), 7);
    EXPECT_EQ(frame.pixelColor(50, 100), QColor(0, 0, 255));
    EXPECT_EQ(frame.pixelColor(150, 100), QColor(0, 0, 0));

    events.clear();
    names = "Right";
    blend = TLight();
    frame = panel.grabFramebuffer();
    EXPECT_EQ(events.size(), 4);
    EXPECT_EQ(frame.pixelColor(50, 100), ToQColor(panel.ClearColor()));
    EXPECT_EQ(frame.pixelColor(150, 100), QColor(0, 255, 0));
}

TEST(ObjLoader, AnEmptyNameListDrawsNothingNotTheUnnamedParts) {
    TGLPanel panel;
    panel.SetCurrentGLContext();
    const auto loader = Parsed("usemtl M\n"
                               "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                               "f 1 2 3\n"
                               "# object Named\n"
                               "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
                               "usemtl M\n"
                               "f 1 2 3\n");
    ASSERT_EQ(loader->modelList.Count(), 2);
    ASSERT_EQ(loader->modelList.Items(0)->ObjectName, "");
    QStringList drawn;
    loader->OnBeforeDraw = [&](TObjLoader*, const QString& name, void*) { drawn << name; };
    loader->DrawData_OLD(QString(), nullptr);
    EXPECT_TRUE(drawn.isEmpty());
    loader->DrawData_OLD(QStringLiteral("\r"), nullptr);
    EXPECT_EQ(drawn, QStringList({"", "Named"}));
    drawn.clear();
    loader->DrawData_OLD(QStringLiteral("named\r\n"), nullptr);
    EXPECT_EQ(drawn, QStringList({"Named"}));
}

// Parts are drawn from lists compiled on their first draw: a part whose
// geometry grows afterwards, and a file loaded again with other geometry,
// must show what the part holds now, not what was compiled.
TEST(ObjLoader, CompiledPartsFollowChangedGeometryAndReloadedFiles) {
    TModelFiles files;
    files.Write("c.mtl", "newmtl Red\nKd 1 0 0\nTr 0\n");
    const QString left = files.Write("c.obj", "mtllib c.mtl\n# object Part\n"
                                              "v -150 -150 0\nv -1 -150 0\nv -1 150 0\n"
                                              "usemtl Red\nf 1 2 3\n");
    TGLPanel panel;
    panel.resize(200, 200);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    panel.SetCurrentGLContext();
    TObjLoader loader;
    ASSERT_TRUE(loader.LoadFromFile(left));
    loader.OnBeforeDraw = [](TObjLoader*, const QString&, void*) {
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
    };
    panel.OnDrawScene = [&](TGLPanel*) { loader.DrawData_OLD(QStringLiteral("Part"), nullptr); };
    const QColor red(255, 0, 0);
    const QColor clear = ToQColor(panel.ClearColor());
    QImage frame = panel.grabFramebuffer();
    EXPECT_EQ(frame.pixelColor(50, 100), red);
    EXPECT_EQ(frame.pixelColor(150, 100), clear);
    frame = panel.grabFramebuffer();
    EXPECT_EQ(frame.pixelColor(50, 100), red);

    // A second triangle over the right half added to the part.
    T3DModel& part = *loader.modelList.Items(0);
    for (const TGLArrayf3& p : {TGLArrayf3{1, -150, 0}, {150, -150, 0}, {1, 150, 0}}) {
        part.VertexList.Add(p.x, p.y, p.z);
        part.NormalList.Add(0.0f, 0.0f, 1.0f);
    }
    part.VertexIndexList.Add(3u, 4u, 5u);
    frame = panel.grabFramebuffer();
    EXPECT_EQ(frame.pixelColor(50, 100), red);
    EXPECT_EQ(frame.pixelColor(150, 100), red);

    const QString right = files.Write("c.obj", "mtllib c.mtl\n# object Part\n"
                                               "v 1 -150 0\nv 150 -150 0\nv 1 150 0\n"
                                               "usemtl Red\nf 1 2 3\n");
    ASSERT_TRUE(loader.LoadFromFile(right));
    frame = panel.grabFramebuffer();
    EXPECT_EQ(frame.pixelColor(50, 100), clear);
    EXPECT_EQ(frame.pixelColor(150, 100), red);
}
