// The keyboard drill as the X server shows it: a drill frame with the
// problem caption in its shell over the generated keyboard.

#include "../keyboard/KeyboardTestModel.h"
#include "gl/GLPanel.h"
#include "gl/ThreadTimer.h"
#include "keyboard/KeyboardForm.h"
#include "ScreenCapture.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>

namespace {

void SettleFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QTest::qWait(20);
}

// Saves a capture for looking at when RAVLIN_CAPTURE_DIR names a folder.
void Keep(const QImage& image, const QString& name) {
    const QString dir = qEnvironmentVariable("RAVLIN_CAPTURE_DIR");
    if (!dir.isEmpty())
        image.save(dir + QLatin1Char('/') + name);
}

} // namespace

TEST(OnScreen, KeyboardDrillFrameReachesTheScreen) {
    keyboard_test::TKeyboardTestFolder folder;
    TScopedAppDir appDir(folder.Dir());
    const TKeyboardSetupRec saved = KeyboardSetup;
    KeyboardSetup = TKeyboardSetupRec();
    KeyboardSetup.languageIndex = 1;
    KeyboardSetup.KeyGroup = {kgStandard, kgLeftUp};
    KeyboardSetup.ShowFinger = true;
    KeyboardSetup.FontName = QStringLiteral("Noto Sans CJK KR");
    KeyboardSetup.FontSize = 16;
    KeyboardSetup.TextureFileName = folder.KeyCapPicture();

    QPointer<TKeyboardForm> form = new TKeyboardForm(nullptr, [](int) { return 0; });
    form->NextProblem();
    form->move(0, 0);
    form->resize(1000, 600);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.data()));
    form->ThreadTimer->SetEnabled(false);
    form->Exercise().FAniTick = 40;
    form->DrawKeyboardScene(false);
    // Settle the problem's entry, then hold a wrong key: the shell turns red.
    for (int i = 0; i < 6; ++i)
        form->KeyboardPanel->DrawScene();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, 52, 0, 0);
    QApplication::sendEvent(form->KeyboardPanel, &press);
    SettleFor(800);

    const QImage screen = CaptureScreen();
    ASSERT_FALSE(screen.isNull()) << "xwd could not capture the screen";
    // The frame buffer's alpha is left below 1 where translucent clouds
    // were blended; the screen shows its colours as they are, so they are
    // compared without alpha (not un-premultiplied).
    QImage drawn = form->KeyboardPanel->grabFramebuffer();
    if (drawn.format() == QImage::Format_ARGB32_Premultiplied)
        drawn.reinterpretAsFormat(QImage::Format_RGB32);
    drawn = drawn.convertToFormat(QImage::Format_RGB32);
    const QImage shown = screen.copy(
        QRect(form->KeyboardPanel->mapToGlobal(QPoint(0, 0)), form->KeyboardPanel->size()));
    Keep(shown, QStringLiteral("keyboard_drill.png"));
    Keep(drawn, QStringLiteral("keyboard_drill_drawn.png"));
    ASSERT_EQ(shown.size(), drawn.size());
    EXPECT_LT(LargestCellDifference(shown, drawn, 8), 12.0);
    const TRegionStats stats = StatsOf(shown, shown.rect());
    EXPECT_GT(stats.LumaDeviation, 10.0);
    EXPECT_LT(stats.BlackShare, 0.05);

    // The top corners show sky and clouds: light and bluish.
    const TRegionStats sky = StatsOf(shown, QRect(10, 10, 80, 40));
    EXPECT_GT(sky.MeanBlue, 200);
    EXPECT_GE(sky.MeanBlue, sky.MeanRed);
    // The caption: deep blue glyphs in the red shell above the keys.
    const QRect upper(shown.width() / 3, 0, shown.width() / 3, shown.height() / 2);
    const int blue = [&] {
        int n = 0;
        for (int y = upper.top(); y <= upper.bottom(); ++y)
            for (int x = upper.left(); x <= upper.right(); ++x) {
                const QColor c = shown.pixelColor(x, y);
                // Deep blue, tinted by the translucent shell in front.
                n += c.blue() > c.green() + 40 && c.green() < 120;
            }
        return n;
    }();
    EXPECT_GT(blue, 200) << "no caption glyphs";
    int red = 0;
    for (int y = upper.top(); y <= upper.bottom(); ++y)
        for (int x = upper.left(); x <= upper.right(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 140 && c.blue() < 160;
        }
    EXPECT_GT(red, 500) << "the shell is not red for a wrong key";

    // An opening frame: the fingers fly in under the blinking message.
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Z, Qt::NoModifier, 52, 0, 0);
    QApplication::sendEvent(form->KeyboardPanel, &release);
    form->Initialize();
    form->NextProblem();
    form->ThreadTimer->SetEnabled(false);
    form->Exercise().FAniTick = 13;
    form->KeyboardPanel->DrawScene();
    form->Exercise().FAniTick = 16;
    form->KeyboardPanel->DrawScene();
    SettleFor(600);
    const QImage opening = CaptureScreen().copy(
        QRect(form->KeyboardPanel->mapToGlobal(QPoint(0, 0)), form->KeyboardPanel->size()));
    Keep(opening, QStringLiteral("keyboard_opening.png"));
    // The message's letters: navy outline round an orange-to-yellow fill.
    const int navy = [&] {
        int n = 0;
        for (int y = 0; y < opening.height(); ++y)
            for (int x = 0; x < opening.width(); ++x) {
                const QColor c = opening.pixelColor(x, y);
                n += c.red() < 60 && c.green() < 60 && c.blue() > 90 && c.blue() < 170;
            }
        return n;
    }();
    EXPECT_GT(navy, 300) << "no message on screen";

    delete form.data();
    KeyboardSetup = saved;
}
