#include "shell/MenuForm.h"

#include "app/MediaPath.h"
#include "gl/GLPanel.h"
#include "gl/ObjLoader.h"
#include "gl/ThreadTimer.h"
#include "ImageTestSupport.h"
#include "LocalHttpServer.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

// Everything the menu handed to the desktop and the user.
struct TRecorded {
    QStringList Dialogs;
    QStringList HelpTopics;
    QList<QUrl> Urls;
    QList<TMenuSound> Sounds;
    QStringList Questions;
    bool Answer = false;
};

class MenuForm : public testing::Test {
protected:
    // A menu of a moderate size (software rendering), its update page served
    // by the test, every outside effect recorded.
    std::unique_ptr<TMenuForm> CreateMenu(const QByteArray& updatePage = {}) {
        FServer.SetPage(QStringLiteral("/update.html"), updatePage);
        TMenuServices services;
        services.UpdatePageUrl = FServer.Url(QStringLiteral("/update.html"));
        services.BannerFileName = FDir.filePath(QStringLiteral("click_image.png"));
        services.AskYesNo = [this](QWidget*, const QString& caption, const QString& text) {
            FRecorded.Questions << caption + QLatin1Char('|') + text;
            return FRecorded.Answer;
        };
        services.OpenUrl = [this](const QUrl& url) { FRecorded.Urls << url; };
        services.ExecDialog = [this](QDialog& dialog) {
            FRecorded.Dialogs << QString::fromLatin1(dialog.metaObject()->className());
        };
        services.ShowHelpTopic = [this](QWidget*, const QString& topic) {
            FRecorded.HelpTopics << topic;
        };
        services.PlaySound = [this](TMenuSound sound) { FRecorded.Sounds << sound; };
        services.Random = FRandom;
        auto menu = std::make_unique<TMenuForm>(services);
        menu->resize(1000, 620);
        return menu;
    }

    static void Show(TMenuForm& menu) {
        menu.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
        Activate(menu);
    }

    // The menu tracks the pointer only while it is the active window. Other
    // test programs share the display and may take the focus meanwhile, so
    // activation is asked for again until it holds.
    static void Activate(TMenuForm& menu) {
        for (int attempt = 0; attempt < 10 && !menu.isActiveWindow(); ++attempt) {
            menu.activateWindow();
            (void)QTest::qWaitForWindowActive(&menu, 1000);
        }
        ASSERT_TRUE(menu.isActiveWindow());
    }

    // Where a point of the scene (model units, after the menu's placement)
    // is drawn, in panel coordinates: the scene is scaled by the panel's
    // Scale; the camera looks from z = 50 with a 55 degree vertical field
    // of view.
    static QPointF Project(TMenuForm& menu, double x, double y, double z) {
        const float scale = menu.MenuPanel->Scale();
        const double wx = x * scale, wy = y * scale, wz = z * scale;
        const double w = menu.MenuPanel->width(), h = menu.MenuPanel->height();
        const double f = 1 / std::tan(55.0 / 2 * M_PI / 180);
        const double nx = wx * f / (w / h) / (50 - wz), ny = wy * f / (50 - wz);
        return {(nx + 1) / 2 * w, (1 - ny) / 2 * h};
    }

    // How far the menu moves an object sideways: every object except the
    // banner until its right side lies 5 units inside the right edge of the
    // visible plane.
    static double Shift(TMenuForm& menu, const T3DModel& model) {
        if (model.ObjectName == QLatin1String("ADPlane"))
            return 0;
        return menu.ModelMaxVisiblePos().x / menu.MenuPanel->Scale() - model.Width() / 2 - 5 -
               model.CenterX();
    }

    // Where the centre of an object is drawn.
    static QPoint DrawnCentre(TMenuForm& menu, const QString& name) {
        const T3DModel* model = menu.MenuObj->FindNamedModel(name);
        if (!model)
            return {-1, -1};
        return Project(menu, model->CenterX() + Shift(menu, *model), model->CenterY(),
                       model->CenterZ())
            .toPoint();
    }

    // The rectangle the object's vertices are drawn in, turned by `angle`
    // degrees about the vertical axis through its centre.
    static QRectF DrawnBounds(TMenuForm& menu, const QString& name, double angle) {
        const T3DModel* model = menu.MenuObj->FindNamedModel(name);
        if (!model)
            return {};
        const double shift = Shift(menu, *model);
        const double c = std::cos(angle * M_PI / 180), s = std::sin(angle * M_PI / 180);
        double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
        for (int i = 0; i < model->VertexList.Count(); ++i) {
            const TGLArrayf3 v = model->VertexList.Item(i);
            const double x = v.x - model->CenterX(), z = v.z - model->CenterZ();
            const QPointF p = Project(menu, model->CenterX() + shift + x * c + z * s, v.y,
                                      model->CenterZ() - x * s + z * c);
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
        }
        return QRectF(QPointF(left, top), QPointF(right, bottom));
    }

    static void PointAt(TMenuForm& menu, QPoint pos) {
        const QPoint global = menu.MenuPanel->mapToGlobal(pos);
        QCursor::setPos(global);
        QElapsedTimer timer;
        timer.start();
        while (QCursor::pos() != global && timer.elapsed() < 5000)
            QTest::qWait(10);
    }

    static void Send(TMenuForm& menu, QEvent::Type type, QPoint pos) {
        QMouseEvent event(
            type, QPointF(pos), menu.MenuPanel->mapToGlobal(QPointF(pos)), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(menu.MenuPanel, &event);
    }

    // Presses at `pos`, returns what the press picked, and releases.
    static QString Click(TMenuForm& menu, QPoint pos) {
        PointAt(menu, pos);
        Send(menu, QEvent::MouseButtonPress, pos);
        const QString picked = menu.SelObjectName();
        Send(menu, QEvent::MouseButtonRelease, pos);
        return picked;
    }

    static bool HintShown(TMenuForm& menu, const QString& name) {
        const TGLTexturePanelItem* hint = menu.HintPanelList.FindByName(name);
        return hint && hint->PanelVisible;
    }

    static int CountOf(const QList<TMenuSound>& sounds, TMenuSound sound) {
        return int(std::count(sounds.begin(), sounds.end(), sound));
    }

    // Two timer ticks: the pointer is looked up every 400 ms.
    static void Hover(TMenuForm& menu, QPoint pos) {
        PointAt(menu, pos);
        Activate(menu);
        menu.AniTimerTimer(menu.AniTimer);
        menu.AniTimerTimer(menu.AniTimer);
    }

    // Unset: the menu draws its own random numbers.
    std::function<int(int)> FRandom;
    TLocalHttpServer FServer;
    QTemporaryDir FDir;
    TRecorded FRecorded;
};

// The six objects of the menu, top to bottom, and how fast each turns
// (degrees per animation step).
struct TMenuObject {
    const char* Name;
    double Turn;
};
const TMenuObject kObjects[] = {
    {"KeyboardObj", 2},      {"SentenceObj", 2}, {"ClockGameObj", 2},
    {"CloudSphereObj", 1.8}, {"AboutObj", 2},    {"HelpObj", 2},
};

QByteArray UpdatePage(const QString& version, const QString& link = {}) {
    QByteArray page = "<html><body><p>@@@@@@<b>latest_version=" + version.toUtf8() + "</b>######";
    if (!link.isEmpty())
        page += "@@@@@@click_image_link=" + link.toUtf8() + "######";
    return page + "</p></body></html>";
}

} // namespace

TEST_F(MenuForm, PickingAnObjectWhereItIsDrawnOpensItsActivity) {
    const auto menu = CreateMenu();
    Show(*menu);
    ASSERT_EQ(menu->windowTitle(), "타비로 v3.6");

    struct TCase {
        const char* Object;
        const char* Dialog;
        const char* Help;
    };
    const TCase cases[] = {
        {"SentenceObj", "TSentenceSetupForm", nullptr},
        {"ClockGameObj", "TGameSetUpForm", nullptr},
        {"AboutObj", "TAboutForm", nullptr},
        {"CloudSphereObj", "TSaveMeGameSetUpForm", nullptr},
        {"HelpObj", nullptr, "타비로이란.htm"},
        {"KeyboardObj", "TKeyboardSetUpForm", nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Object);
        FRecorded = {};
        const QString object = QString::fromLatin1(c.Object);
        const QPoint centre = DrawnCentre(*menu, object);
        ASSERT_TRUE(menu->rect().contains(centre));
        EXPECT_EQ(Click(*menu, centre), object);
        EXPECT_EQ(FRecorded.Dialogs,
                  c.Dialog ? QStringList{QString::fromLatin1(c.Dialog)} : QStringList());
        EXPECT_EQ(FRecorded.HelpTopics,
                  c.Help ? QStringList{QString::fromUtf8(c.Help)} : QStringList());
        EXPECT_EQ(CountOf(FRecorded.Sounds, msClick), 1);
        EXPECT_TRUE(menu->SelObjectName().isEmpty());
    }
    EXPECT_TRUE(FRecorded.Urls.isEmpty());
    // The topic the help object opens ships with the program.
    EXPECT_TRUE(QFileInfo(MediaPath(QStringLiteral("help/") + TMenuForm::HelpTopic())).isFile());
}

TEST_F(MenuForm, PressingOnEmptySkyOpensNothing) {
    const auto menu = CreateMenu();
    Show(*menu);
    // Between the banner and the column of objects there is only sky.
    const QPoint sky(menu->width() * 2 / 5, menu->height() * 3 / 5);
    EXPECT_EQ(Click(*menu, sky), "");
    EXPECT_TRUE(FRecorded.Dialogs.isEmpty());
    EXPECT_TRUE(FRecorded.HelpTopics.isEmpty());
    EXPECT_TRUE(FRecorded.Urls.isEmpty());
    EXPECT_TRUE(FRecorded.Sounds.isEmpty());
}

TEST_F(MenuForm, TheBannerOpensOnlyAWebLinkFromTheUpdatePage) {
    auto menu = CreateMenu(
        UpdatePage(QStringLiteral("3.6"), QStringLiteral("http://maker.example/news?id=7")));
    Show(*menu);
    const QPoint banner = DrawnCentre(*menu, QStringLiteral("ADPlane"));
    PointAt(*menu, banner);
    Send(*menu, QEvent::MouseButtonPress, banner);
    EXPECT_EQ(menu->SelObjectName(), "ADPlane");
    // Held down, the banner shows no hint (and does not spin).
    for (int i = 0; i < menu->HintPanelList.Count(); ++i)
        EXPECT_FALSE(menu->HintPanelList.Items(i)->PanelVisible);
    Send(*menu, QEvent::MouseButtonRelease, banner);
    EXPECT_EQ(FRecorded.Urls, QList<QUrl>{QUrl(QStringLiteral("http://maker.example/news?id=7"))});
    EXPECT_EQ(CountOf(FRecorded.Sounds, msClick), 1);

    // A page may name anything as the link; only web pages are opened.
    menu.reset();
    FRecorded = {};
    menu = CreateMenu(UpdatePage(QStringLiteral("3.6"), QStringLiteral("file:///etc/passwd")));
    Show(*menu);
    EXPECT_EQ(Click(*menu, DrawnCentre(*menu, QStringLiteral("ADPlane"))), "ADPlane");
    EXPECT_TRUE(FRecorded.Urls.isEmpty());
}

TEST_F(MenuForm, TheHoverSoundPlaysOncePerObjectEntered) {
    const auto menu = CreateMenu();
    Show(*menu);
    // The test ticks the timer itself.
    menu->AniTimer->SetEnabled(false);
    const QPoint clock = DrawnCentre(*menu, QStringLiteral("ClockGameObj"));
    const QPoint earth = DrawnCentre(*menu, QStringLiteral("CloudSphereObj"));
    const QPoint sky(menu->width() * 2 / 5, menu->height() * 3 / 5);

    Hover(*menu, clock);
    EXPECT_EQ(menu->HintObjectName(), "ClockGameObj");
    EXPECT_TRUE(HintShown(*menu, QStringLiteral("ClockGameObj_Hint")));
    EXPECT_EQ(CountOf(FRecorded.Sounds, msMouseOver), 1);
    Hover(*menu, clock);
    Hover(*menu, clock);
    EXPECT_EQ(CountOf(FRecorded.Sounds, msMouseOver), 1);

    Hover(*menu, sky);
    EXPECT_EQ(menu->HintObjectName(), "");
    EXPECT_FALSE(HintShown(*menu, QStringLiteral("ClockGameObj_Hint")));
    Hover(*menu, clock);
    EXPECT_EQ(CountOf(FRecorded.Sounds, msMouseOver), 2);

    Hover(*menu, earth);
    EXPECT_EQ(menu->HintObjectName(), "CloudSphereObj");
    EXPECT_TRUE(HintShown(*menu, QStringLiteral("CloudSphereObj_Hint")));
    EXPECT_EQ(CountOf(FRecorded.Sounds, msMouseOver), 3);

    // Pressing an object counts as having entered it: no hover sound.
    FRecorded.Sounds.clear();
    const QPoint help = DrawnCentre(*menu, QStringLiteral("HelpObj"));
    EXPECT_EQ(Click(*menu, help), "HelpObj");
    Hover(*menu, help);
    EXPECT_EQ(FRecorded.Sounds, QList<TMenuSound>{msClick});
}

TEST_F(MenuForm, ANewerVersionOnTheUpdatePageOffersTheMakersPage) {
    FRecorded.Answer = true;
    auto menu = CreateMenu(UpdatePage(QStringLiteral("3.7")));
    EXPECT_EQ(FRecorded.Questions,
              QStringList{QStringLiteral(
                  "버전업 확인|타비로 3.7 버전이 나왔습니다. 블로그를 방문하시겠습니까?")});
    EXPECT_EQ(FRecorded.Urls, QList<QUrl>{QUrl(QString::fromLatin1(TMenuForm::kMakerPageUrl))});

    for (const char* version : {"3.6", "3.6.1", "v3.7", ""}) {
        SCOPED_TRACE(version);
        FRecorded = {};
        menu.reset();
        menu = CreateMenu(UpdatePage(QString::fromLatin1(version)));
        EXPECT_TRUE(FRecorded.Questions.isEmpty());
        EXPECT_TRUE(FRecorded.Urls.isEmpty());
    }

    // "No" leaves it at the question.
    FRecorded = {};
    menu.reset();
    menu = CreateMenu(UpdatePage(QStringLiteral("4.0")));
    EXPECT_EQ(FRecorded.Questions.size(), 1);
    EXPECT_TRUE(FRecorded.Urls.isEmpty());
}

TEST_F(MenuForm, TextureVariantsComeFromTheirTableAndABrokenBannerFallsBack) {
    // A downloaded banner that no longer reads as a picture.
    QFile broken(FDir.filePath(QStringLiteral("click_image.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(300, 'x'));
    broken.close();

    auto menu = CreateMenu();
    const TTextureList& textures = menu->MenuObj->textureList;
    auto loaded = [&](const char* material, const char* suffix) {
        const TMaterialItem* item = menu->MenuObj->FindMaterial(QString::fromLatin1(material));
        if (!item)
            return QString();
        const TTextureItem* texture =
            textures.FindTexture(item->map_kd, QString::fromLatin1(suffix));
        return texture ? QFileInfo(texture->LoadedFileName).fileName() : QString();
    };
    EXPECT_EQ(loaded("KeyboardMat", ""), "KeyboardBtn1.png");
    EXPECT_EQ(loaded("KeyboardMat", "Second"), "KeyboardBtn2.png");
    EXPECT_EQ(loaded("KeyboardMat", "Third"), "KeyboardBtn3.png");
    EXPECT_EQ(loaded("KeyboardMat", "Fourth"), "KeyboardBtn1.png");
    EXPECT_EQ(loaded("ClockMat", "Second"), "ClockGameBtn2.png");
    EXPECT_EQ(loaded("ClockMat", "Third"), "ClockGameBtn1.png");
    EXPECT_EQ(loaded("SentenceMat", "Second"), "SentenceBtn2.png");
    EXPECT_EQ(loaded("RainMat", "Second"), "rain2.png");
    EXPECT_EQ(loaded("BackMat", "Second").toLower(), "dark_cloud.png");
    EXPECT_EQ(loaded("BackMat", "").toLower(), "white_cloud.png");
    EXPECT_EQ(loaded("ThunderMat", "Third"), "ThunderImage.png");
    const TTextureItem* banner = textures.FindTexture(
        menu->MenuObj->FindMaterial(QStringLiteral("ADMat"))->map_kd, QString());
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->LoadedFileName, MediaPath(QStringLiteral("models\\maps\\click_image.png")));

    // A banner the update check kept is shown instead of the shipped one.
    menu.reset();
    QImage picture(64, 16, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(FDir.filePath(QStringLiteral("click_image.png")), "PNG"));
    menu = CreateMenu();
    banner = menu->MenuObj->textureList.FindTexture(
        menu->MenuObj->FindMaterial(QStringLiteral("ADMat"))->map_kd, QString());
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->LoadedFileName, FDir.filePath(QStringLiteral("click_image.png")));
    EXPECT_EQ(banner->Width, 64);

    // A kept banner cut short (its header still reads as a picture) must not
    // keep the menu from starting: the shipped picture is shown.
    menu.reset();
    QImage noisy(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noisy.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) & 0xFF));
    ASSERT_TRUE(noisy.save(FDir.filePath(QStringLiteral("click_image.png")), "PNG"));
    QFile cut(FDir.filePath(QStringLiteral("click_image.png")));
    ASSERT_TRUE(cut.resize(cut.size() / 2));
    ASSERT_NO_THROW(menu = CreateMenu());
    banner = menu->MenuObj->textureList.FindTexture(
        menu->MenuObj->FindMaterial(QStringLiteral("ADMat"))->map_kd, QString());
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->LoadedFileName, MediaPath(QStringLiteral("models\\maps\\click_image.png")));
}

TEST_F(MenuForm, AnimatesOnlyWhileActive) {
    const auto menu = CreateMenu();
    Show(*menu);
    EXPECT_TRUE(menu->AniTimer->Enabled());
    EXPECT_EQ(menu->AniTimer->Interval(), 200);

    QWidget other;
    other.resize(200, 100);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isActiveWindow(); }));
    EXPECT_FALSE(menu->AniTimer->Enabled());
    // Inactive, a tick neither advances the animation nor tracks the
    // pointer.
    const int aniTick = menu->AniTick(), backTick = menu->BackAniTick();
    menu->AniTimerTimer(menu->AniTimer);
    menu->AniTimerTimer(menu->AniTimer);
    EXPECT_EQ(menu->AniTick(), aniTick);
    EXPECT_EQ(menu->BackAniTick(), backTick);

    Activate(*menu);
    EXPECT_TRUE(menu->AniTimer->Enabled());
    menu->AniTimer->SetEnabled(false);
    const int activeAniTick = menu->AniTick(), activeBackTick = menu->BackAniTick();
    menu->AniTimerTimer(menu->AniTimer);
    menu->AniTimerTimer(menu->AniTimer);
    EXPECT_EQ(menu->BackAniTick(), activeBackTick + 2);
    EXPECT_EQ(menu->AniTick(), activeAniTick + 1);
}

TEST_F(MenuForm, TheObjectsAreLargeAndStayInTheWindowWhileTheyTurn) {
    // The size the menu opens with and two common screens.
    for (const QSize size : {QSize(1467, 897), QSize(1366, 768), QSize(1920, 1080)}) {
        SCOPED_TRACE(size.width());
        auto menu = CreateMenu();
        menu->resize(size);
        Show(*menu);
        ASSERT_EQ(menu->MenuPanel->size(), size);
        const QRectF window = QRectF(menu->MenuPanel->rect()).adjusted(-1, -1, 1, 1);
        std::vector<QRectF> resting;
        for (const TMenuObject& object : kObjects) {
            SCOPED_TRACE(object.Name);
            const QString name = QString::fromLatin1(object.Name);
            const QRectF rest = DrawnBounds(*menu, name, 0);
            // Each stands at least a fifth of the window's height tall or
            // wide, far from the small figures of a single stack of six.
            EXPECT_GE(std::max(rest.width(), rest.height()), 0.18 * size.height());
            // In the right half, clear of the banner.
            EXPECT_GT(rest.left(), size.width() * 0.5);
            resting.push_back(rest);
            // Turning through a full circle, no part leaves the window.
            for (int angle = 0; angle < 360; angle += 15)
                EXPECT_TRUE(window.contains(DrawnBounds(*menu, name, angle))) << angle;
        }
        // Next to each other, they do not cover one another.
        for (std::size_t i = 0; i < resting.size(); ++i)
            for (std::size_t j = i + 1; j < resting.size(); ++j) {
                const QRectF overlap = resting[i].intersected(resting[j]);
                const double smaller = std::min(resting[i].width() * resting[i].height(),
                                                resting[j].width() * resting[j].height());
                EXPECT_LT(overlap.width() * overlap.height(), 0.03 * smaller)
                    << kObjects[i].Name << " " << kObjects[j].Name;
            }
    }
}

TEST_F(MenuForm, HintCalloutsEndOnTheirObjects) {
    auto menu = CreateMenu();
    menu->resize(1366, 768);
    Show(*menu);
    menu->AniTimer->SetEnabled(false);
    for (const int steps : {0, 20}) {
        // Turn the objects (one animation step every other tick).
        while (menu->AniTick() < steps)
            menu->AniTimerTimer(menu->AniTimer);
        for (const TMenuObject& object : kObjects) {
            const QString name = QString::fromLatin1(object.Name);
            SCOPED_TRACE(name.toStdString() + " at step " + std::to_string(steps));
            Hover(*menu, DrawnCentre(*menu, name));
            ASSERT_EQ(menu->HintObjectName(), name);
            const TGLTexturePanelItem* hint =
                menu->HintPanelList.FindByName(name + QStringLiteral("_Hint"));
            ASSERT_NE(hint, nullptr);
            ASSERT_TRUE(hint->PanelVisible);
            // The leader line runs from the callout's corner (its anchor)
            // LineLength right, down and back to its sphere.
            const float l = hint->LineLength;
            const QPointF end =
                Project(*menu, hint->Position.x + l, hint->Position.y - l, hint->Position.z - l);
            const QRectF drawn = DrawnBounds(*menu, name, object.Turn * menu->AniTick());
            // On the object's left side, half-way up.
            EXPECT_TRUE(drawn.adjusted(-4, -4, 4, 4).contains(end))
                << end.x() << "," << end.y() << " outside " << drawn.left() << "," << drawn.top()
                << " " << drawn.width() << "x" << drawn.height();
            EXPECT_LT(end.x(), drawn.center().x());
            EXPECT_NEAR(end.y(), drawn.center().y(), drawn.height() / 6);
            // The callout itself lies up and to the left of that point.
            const QPointF corner =
                Project(*menu, hint->Position.x, hint->Position.y, hint->Position.z);
            EXPECT_LT(corner.x(), end.x());
            EXPECT_LT(corner.y(), end.y());
        }
    }
}

TEST_F(MenuForm, TheSkyIsOnePictureBehindEveryObjectFillingTheWindow) {
    // Fixed random numbers: the rain falls the same way on every other
    // step and no lightning strikes.
    FRandom = [](int n) { return n > 1 ? 1 : 0; };
    // A common screen and a very wide one: the sky is stretched to a fixed
    // margin beyond the view, so the width decides whether it still covers
    // the window.
    for (const QSize size : {QSize(1366, 768), QSize(1680, 720)}) {
        SCOPED_TRACE(size.width());
        auto menu = CreateMenu();
        menu->resize(size);
        Show(*menu);
        menu->AniTimer->SetEnabled(false);
        auto advance = [&](int steps) {
            while (menu->BackAniTick() < steps)
                menu->AniTimerTimer(menu->AniTimer);
            return menu->MenuPanel->grabFramebuffer();
        };
        const QImage first = advance(0);
        ASSERT_EQ(first.size(), size);
        // The drift is largest after 17 steps; the clear colour would show
        // wherever the sky left a gap.
        const QRgb clear = qRgb(166, 202, 240) & 0xFFFFFF;
        EXPECT_EQ(CountPixels(advance(17), [&](QRgb p) { return (p & 0xFFFFFF) == clear; }), 0);
        if (size.width() != 1366)
            continue;
        // After 36 steps the sky and the rain are back where they were and
        // the objects have turned: every object shows, none is hidden
        // behind the sky, however far back it stands.
        const QImage turned = advance(36);
        auto difference = [&](QPoint centre) {
            double sum = 0;
            int count = 0;
            for (int y = centre.y() - 7; y <= centre.y() + 7; ++y)
                for (int x = centre.x() - 7; x <= centre.x() + 7; ++x) {
                    const QRgb a = first.pixel(x, y), b = turned.pixel(x, y);
                    sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                           std::abs(qBlue(a) - qBlue(b));
                    ++count;
                }
            return sum / count;
        };
        EXPECT_EQ(difference(QPoint(size.width() * 2 / 5, size.height() * 3 / 5)), 0);
        for (const TMenuObject& object : kObjects)
            EXPECT_GT(difference(DrawnCentre(*menu, QString::fromLatin1(object.Name))), 20)
                << object.Name;
    }

    // Repeated, a cloud picture shows its pattern: the sky shows each of
    // its pictures once, and they are large enough to stay sharp on a wide
    // screen.
    const auto menu = CreateMenu();
    const T3DModel* sky = menu->MenuObj->FindNamedModel(QStringLiteral("BackPlane"));
    ASSERT_NE(sky, nullptr);
    ASSERT_GT(sky->TextureList.Count(), 0);
    for (const int axis : {0, 1}) {
        double low = 1e9, high = -1e9;
        for (int i = 0; i < sky->TextureList.Count(); ++i) {
            const TGLArrayf3 uv = sky->TextureList.Item(i);
            low = std::min(low, double(axis == 0 ? uv.x : uv.y));
            high = std::max(high, double(axis == 0 ? uv.x : uv.y));
        }
        EXPECT_LE(high - low, 1.0) << axis;
    }
    const TMaterialItem* material = menu->MenuObj->FindMaterial(QStringLiteral("BackMat"));
    ASSERT_NE(material, nullptr);
    for (const char* suffix : {"", "Second"}) {
        const TTextureItem* texture =
            menu->MenuObj->textureList.FindTexture(material->map_kd, QString::fromLatin1(suffix));
        ASSERT_NE(texture, nullptr) << suffix;
        EXPECT_GE(texture->Width, 1600) << suffix;
    }
}
