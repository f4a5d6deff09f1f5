// The keyboard drill as the keyboard benchmarks and the frame probe open it:
// Dubeolsik with three key groups at 1280 x 720, the opening over and the
// problem settled, the drill's timer stopped so that nothing moves between
// frames. Uses the program's keyboard model when the build has it, otherwise
// the one the tests generate.

#pragma once

#include "app/MediaPath.h"
#include "gl/GLARBFunctions.h"
#include "gl/GLPanel.h"
#include "gl/ThreadTimer.h"
#include "keyboard/KeyboardForm.h"
#include "keyboard/KeyboardTestModel.h"

#include <algorithm>
#include <cstdlib>
#include <GL/gl.h>
#include <memory>
#include <QFileInfo>
#include <QTest>

namespace bench {

struct TDrill {
    std::unique_ptr<keyboard_test::TKeyboardTestFolder> Folder;
    std::unique_ptr<TScopedAppDir> AppDir;
    std::unique_ptr<TKeyboardForm> Form;
};

inline std::unique_ptr<TDrill> OpenDrill(int samples) {
    auto drill = std::make_unique<TDrill>();
    if (!QFileInfo(MediaPath(QStringLiteral("models\\Ravlin_Key_Layout_English.obj"))).isFile()) {
        drill->Folder = std::make_unique<keyboard_test::TKeyboardTestFolder>();
        drill->AppDir = std::make_unique<TScopedAppDir>(drill->Folder->Dir());
    }
    KeyboardSetup = TKeyboardSetupRec();
    KeyboardSetup.languageIndex = 1;
    KeyboardSetup.KeyGroup = {kgStandard, kgLeftUp, kgRightUp};
    KeyboardSetup.UseSound = false;
    KeyboardSetup.MoveProblem = true;
    KeyboardSetup.ShowFinger = true;
    KeyboardSetup.FontName = QStringLiteral("Noto Sans CJK KR");
    KeyboardSetup.FontSize = 16;
    if (drill->Folder)
        KeyboardSetup.TextureFileName = drill->Folder->KeyCapPicture();

    ProbeGLARBFunctions();
    // The program takes no samples on a software renderer; the figure with
    // samples shows what it would cost.
    const int offered = GLARBFunctions().MaxSamples;
    const bool software = GLARBFunctions().SoftwareRenderer;
    GLARBFunctions().MaxSamples = std::min(offered, samples);
    GLARBFunctions().SoftwareRenderer = software && samples == 0;
    drill->Form = std::make_unique<TKeyboardForm>(nullptr, [](int) { return 0; });
    GLARBFunctions().MaxSamples = offered;
    GLARBFunctions().SoftwareRenderer = software;
    TKeyboardForm& form = *drill->Form;
    form.setAttribute(Qt::WA_DeleteOnClose, false);
    form.NextProblem();
    form.resize(1280, 720);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        std::abort();
    form.ThreadTimer->SetEnabled(false);
    form.Exercise().OnPause = nullptr;
    // Opening over, problem settled.
    form.Exercise().FAniTick = 40;
    for (int i = 0; i < 8; ++i)
        form.KeyboardPanel->DrawScene();
    return drill;
}

inline void Present(TGLPanel* panel) {
    panel->repaint();
    panel->SetCurrentGLContext();
    glFinish();
}

} // namespace bench
