#include "shell/MenuForm.h"

#include "app/MediaPath.h"
#include "gl/GLPanel.h"
#include "gl/ObjLoader.h"
#include "gl/ThreadTimer.h"
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

    // Where the centre of an object is drawn, in panel coordinates: the
    // menu moves each object (except the banner) to 5 units inside the
    // right edge of the visible plane; the camera looks from z = 50 with a
    // 55 degree vertical field of view.
    static QPoint DrawnCentre(TMenuForm& menu, const QString& name) {
        const T3DModel* model = menu.MenuObj->FindNamedModel(name);
        if (!model)
            return {-1, -1};
        const float scale = menu.MenuPanel->Scale();
        double x = model->CenterX();
        if (name != QLatin1String("ADPlane"))
            x = menu.ModelMaxVisiblePos().x / scale - model->Width() / 2 - 5;
        const double wx = x * scale, wy = model->CenterY() * scale, wz = model->CenterZ() * scale;
        const double w = menu.MenuPanel->width(), h = menu.MenuPanel->height();
        const double f = 1 / std::tan(55.0 / 2 * M_PI / 180);
        const double nx = wx * f / (w / h) / (50 - wz), ny = wy * f / (50 - wz);
        return {int(std::lround((nx + 1) / 2 * w)), int(std::lround((1 - ny) / 2 * h))};
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

    TLocalHttpServer FServer;
    QTemporaryDir FDir;
    TRecorded FRecorded;
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
