// main() of every test program: a QApplication for widget, painting and
// OpenGL tests, the program folder of the build (with all media), and a
// throw-away settings folder so no test touches the user's own settings.

#include "app/Folders.h"
#include "platform/FontSubstitutions.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);

    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());

    QApplication app(argc, argv);
    InstallFontSubstitutions();
    SetAppDir(QStringLiteral(RAVLIN_TEST_APP_DIR));
    InitSettingsDir(dataHome.path());

    return RUN_ALL_TESTS();
}
