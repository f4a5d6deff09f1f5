#include "app/MediaPath.h"

#include "app/Folders.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void Touch(const QString& path) {
    ASSERT_TRUE(WriteFileBytes(path, {})) << path.toStdString();
}

} // namespace

TEST(MediaPath, ResolvesEveryComponentWhateverItsCase) {
    QTemporaryDir root;
    Touch(root.filePath("Models/maps/White_Cloud.png"));
    Touch(root.filePath("Text/[한글]애국가.txt"));
    TScopedAppDir app(root.path());

    const QString cloud = root.filePath("Models/maps/White_Cloud.png");
    EXPECT_EQ(MediaPath("Models\\Maps\\White_Cloud.png"), cloud);
    EXPECT_EQ(MediaPath("models\\maps\\white_cloud.PNG"), cloud);
    EXPECT_EQ(MediaPath("MODELS/MAPS/White_Cloud.png"), cloud);
    EXPECT_EQ(MediaPath("TEXT\\"), root.filePath("Text") + "/");
    EXPECT_EQ(MediaPath("text\\[한글]애국가.TXT"), root.filePath("Text/[한글]애국가.txt"));
}

TEST(MediaPath, AbsolutePathsBelowAppDirAreResolvedOthersKept) {
    QTemporaryDir root;
    Touch(root.filePath("Images/best_wood.jpg"));
    TScopedAppDir app(root.path());

    EXPECT_EQ(MediaPath(AppDir() + "IMAGES\\Best_Wood.jpg"), root.filePath("Images/best_wood.jpg"));
    EXPECT_EQ(MediaPath("/nowhere/at/all.png"), QString("/nowhere/at/all.png"));
}

TEST(MediaPath, MissingNamesComeBackAsGivenBelowAppDir) {
    QTemporaryDir root;
    Touch(root.filePath("Sounds/a.wav"));
    TScopedAppDir app(root.path());

    EXPECT_EQ(MediaPath("sounds\\Missing\\b.wav"), root.filePath("Sounds/Missing/b.wav"));
    EXPECT_EQ(MediaPath("nothing.wav"), root.filePath("nothing.wav"));
}

TEST(MediaPath, PathIgnoringCaseLooksBelowAnyFolder) {
    QTemporaryDir root;
    Touch(root.filePath("Sounds/Click.WAV"));
    const QString other = root.filePath("elsewhere");
    Touch(other + "/Sounds/Click.WAV");
    TScopedAppDir app(root.path());

    EXPECT_EQ(PathIgnoringCase(other, "sounds\\click.wav"), other + "/Sounds/Click.WAV");
    EXPECT_EQ(PathIgnoringCase(other + "/", "SOUNDS/"), other + "/Sounds/");
    EXPECT_EQ(PathIgnoringCase(other, "sounds\\none.wav"), other + "/Sounds/none.wav");
}
