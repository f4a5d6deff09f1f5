// The keyboard setup as a learner meets it: clicked on the menu's keyboard,
// the dialog comes up over the menu, and the screen shows what it drew.

#include "gl/GLPanel.h"
#include "gl/ObjLoader.h"
#include "keyboard/KeyboardSetUpForm.h"
#include "ScreenCapture.h"
#include "shell/MenuForm.h"
#include "TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <QCheckBox>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

namespace {

void Wait(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QTest::qWait(20);
}

QRect ScreenRect(const QWidget& widget) {
    return {widget.mapToGlobal(QPoint(0, 0)), widget.size()};
}

// Where the menu draws the centre of an object: 5 units inside the right
// edge of the plane z = 8, seen from z = 50 with a 55 degree field of view.
QPoint DrawnCentre(TMenuForm& menu, const QString& name) {
    const T3DModel* model = menu.MenuObj->FindNamedModel(name);
    if (!model)
        return {-1, -1};
    const float scale = menu.MenuPanel->Scale();
    const double x = menu.ModelMaxVisiblePos().x / scale - model->Width() / 2 - 5;
    const double wx = x * scale, wy = model->CenterY() * scale, wz = model->CenterZ() * scale;
    const double w = menu.MenuPanel->width(), h = menu.MenuPanel->height();
    const double f = 1 / std::tan(55.0 / 2 * M_PI / 180);
    const double nx = wx * f / (w / h) / (50 - wz), ny = wy * f / (50 - wz);
    return {int(std::lround((nx + 1) / 2 * w)), int(std::lround((1 - ny) / 2 * h))};
}

} // namespace

TEST(OnScreen, KeyboardSetUpOpensOverTheMenuAndReachesTheScreen) {
    TScopedSettingsDir settings;
    QTemporaryDir dir;
    QStringList opened;
    QImage screen, drawn;
    QRect dialogRect, menuRect;
    TMenuServices services;
    services.UpdatePageUrl = QStringLiteral("http://127.0.0.1:9/update.html");
    services.BannerFileName = dir.filePath(QStringLiteral("click_image.png"));
    services.AskYesNo = [](QWidget*, const QString&, const QString&) { return false; };
    services.OpenUrl = [](const QUrl&) {};
    services.ShowHelpTopic = [](QWidget*, const QString&) {};
    services.PlaySound = [](TMenuSound) {};
    services.Random = [](int n) { return n > 1 ? 1 : 0; };
    // The dialog the click opens is shown as the menu shows it, captured
    // and closed again.
    services.ExecDialog = [&](QDialog& dialog) {
        opened << QString::fromLatin1(dialog.metaObject()->className());
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog))
            return;
        Wait(1200);
        screen = CaptureScreen();
        drawn = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
        dialogRect = ScreenRect(dialog);
        dialog.reject();
    };
    TMenuForm menu(services);
    menu.move(0, 0);
    menu.resize(1500, 900);
    menu.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    Wait(800);
    menuRect = ScreenRect(*menu.MenuPanel);

    const QPoint at = DrawnCentre(menu, QStringLiteral("KeyboardObj"));
    ASSERT_TRUE(menu.rect().contains(at));
    QCursor::setPos(menu.MenuPanel->mapToGlobal(at));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(
            type, QPointF(at), menu.MenuPanel->mapToGlobal(QPointF(at)), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(menu.MenuPanel, &event);
    }
    ASSERT_EQ(opened, QStringList{QStringLiteral("TKeyboardSetUpForm")});
    ASSERT_FALSE(screen.isNull()) << "xwd could not capture the screen";
    if (const QByteArray out = qgetenv("RAVLIN_RENDER_DIR"); !out.isEmpty())
        screen.save(QString::fromLocal8Bit(out) + QStringLiteral("/keyboard_setup_over_menu.png"));

    // The dialog, centred on the screen, shows what it drew: its groups,
    // check boxes, the picture list with its thumbnails and the preview keys.
    EXPECT_EQ(dialogRect.size(), QSize(1022, 380));
    const QImage shown = screen.copy(dialogRect);
    ASSERT_EQ(shown.size(), drawn.size());
    EXPECT_GT(StatsOf(shown, shown.rect()).LumaDeviation, 10.0);
    EXPECT_LT(LargestCellDifference(shown, drawn, 8), 12.0);
    // Around it the menu's scene is still drawn, not a black window.
    const QRect left(menuRect.left(), menuRect.top(), dialogRect.left() - menuRect.left(),
                     menuRect.height());
    ASSERT_GT(left.width(), 40);
    const TRegionStats around = StatsOf(screen.copy(left), QRect(QPoint(0, 0), left.size()));
    EXPECT_LT(around.BlackShare, 0.05);
    EXPECT_GT(around.LumaDeviation, 10.0);
}
