#include "games/SaveMeGameForm.h"

#include "app/Folders.h"
#include "app/RavlinError.h"
#include "app/SettingsRecords.h"
#include "games/ScoreForm.h"
#include "gl/GLPanel.h"
#include "gl/GLTextureMessage.h"
#include "gl/GLTexturePanelItem.h"
#include "gl/ThreadTimer.h"
#include "ImageTestSupport.h"
#include "ModalAnswerer.h"
#include "platform/InputComposer.h"
#include "platform/InputModeBadge.h"
#include "SaveMeTestMedia.h"
#include "shell/BorderLabel.h"
#include "TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <random>

namespace {

// A fresh program folder holding the stand-in media, a fresh settings
// folder, and the word font settings a player would have.
struct TFormRig {
    TFormRig()
        : App(Dir.path() + QLatin1Char('/')) {
        savemetest::WriteMedia(Dir.path());
        SaveMeGameSetUp = {};
        SaveMeGameSetUp.GameLevel = 1;
        SaveMeGameSetUp.FontName = QStringLiteral("궁서");
        SaveMeGameSetUp.FontSize = 20;
        SaveMeGameSetUp.FontBold = true;
        SaveMeGameSetUp.UseSound = false;
        SaveMeGameSetUp.UseBGM = false;
    }

    // The window at the size it opens with (90 % x 95 % of the screen), or
    // a smaller one that draws faster.
    TSaveMeGameForm* Create(unsigned seed = 5, bool fullSize = false) {
        auto engine = std::make_shared<std::mt19937>(seed);
        auto scene = std::make_shared<std::mt19937>(seed + 100);
        auto* form = new TSaveMeGameForm(
            nullptr,
            [engine](int n) { return std::uniform_int_distribution<int>(0, n - 1)(*engine); },
            [scene](int n) { return std::uniform_int_distribution<int>(0, n - 1)(*scene); });
        if (!fullSize) {
            form->resize(1024, 700);
            form->move(0, 0);
        }
        return form;
    }

    QTemporaryDir Dir;
    TScopedAppDir App;
    TScopedSettingsDir Settings;
};

QStringList Words(int count) {
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << QStringLiteral("moon%1").arg(i);
    return words;
}

bool WaitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(5);
    }
    return true;
}

// The nearest moon whose word can still be typed.
TGameEnemy* NearestShootable(TSaveMeGame& game) {
    const TGameEnemyList& moons = game.Enemies();
    for (auto it = moons.rbegin(); it != moons.rend(); ++it) {
        if ((*it)->LabelVisible)
            return it->get();
    }
    return nullptr;
}

// The whole screen as the X server shows it.
QImage CaptureRootWindow(const QString& keepAs) {
    QCoreApplication::processEvents();
    QProcess import;
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-window"), QStringLiteral("root"), keepAs});
    if (!import.waitForFinished(20000) || import.exitCode() != 0)
        return {};
    return QImage(keepAs).convertToFormat(QImage::Format_RGB32);
}

// Where a widget lies in a capture of the screen (device pixels).
QRect OnScreen(const QWidget* widget) {
    const qreal dpr = widget->devicePixelRatioF();
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    return QRect(QPoint(qRound(at.x() * dpr), qRound(at.y() * dpr)),
                 QSize(qRound(widget->width() * dpr), qRound(widget->height() * dpr)));
}

QString CapturePath(const QString& name) {
    const QString folder = QDir::currentPath() + QStringLiteral("/captures");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + name;
}

} // namespace

TEST(SaveMeGameScene, BurstParticlesLieOnTheShellOrFlatWhereItCannotReach) {
    // Smallest draws: on the shell of radius 1.2 n.
    TSaveMeGameForm::TRandom lowest = [](int) { return 0; };
    const TGLArrayf3 p = TSaveMeGameForm::BurstOffset(5, lowest);
    EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 6.0f, 1e-4);
    // Largest draws at n = 2: a = b = 2 already pass 2.4, so c = 0.
    TSaveMeGameForm::TRandom highest = [](int n) { return n - 1; };
    const TGLArrayf3 q = TSaveMeGameForm::BurstOffset(2, highest);
    EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z));
    EXPECT_EQ(q.x, 0.0f); // (c, a, b): the third axis order
    EXPECT_FLOAT_EQ(std::abs(q.y), 2.0f);
    // Any draw: never further than the largest a and b allow.
    std::mt19937 engine(3);
    TSaveMeGameForm::TRandom any = [&](int n) {
        return std::uniform_int_distribution<int>(0, n - 1)(engine);
    };
    for (int n = 0; n <= 20; ++n) {
        for (int i = 0; i < 50; ++i) {
            const TGLArrayf3 r = TSaveMeGameForm::BurstOffset(n, any);
            const float len = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z);
            ASSERT_TRUE(std::isfinite(len));
            EXPECT_LE(len,
                      std::max(1.2f * n, std::sqrt(2.0f) * (1.2f * std::max(n - 1, 0) + 0.8f)) +
                          1e-3f);
        }
    }
}

TEST(SaveMeGameScene, TheWordLabelIsSizedByTheWiderLineAndColouredByItsItem) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(24);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int h = metrics.height();

    TGLTexturePanelItem item(QStringLiteral("ENEMY_TEXTURE"), 0, 0, 0);
    item.SetFont(font);
    item.ItemName = QStringLiteral("NormalItem");
    item.SetText(QStringLiteral("satellite"));
    QImage bitmap;
    TSaveMeGameForm::PaintWordLabel(&item, bitmap);
    const int height = h + 8;
    const int m = height * 42 / 103;
    EXPECT_EQ(bitmap.height(), height);
    EXPECT_EQ(bitmap.width(), 2 * m + metrics.horizontalAdvance(QStringLiteral("satellite")) + 18);
    EXPECT_EQ(qAlpha(bitmap.pixel(0, 0)), 0); // the back colour is clear
    // The text's orange lies in memory with red and blue exchanged, as the
    // texture upload expects: bluish when read back as a picture.
    const int orange = CountPixels(bitmap, [](QRgb p) {
        return qAlpha(p) == 255 && qBlue(p) > 200 && qRed(p) < 120 && qGreen(p) > 90;
    });
    EXPECT_GT(orange, 20);

    // A longer description sizes the label and adds its line.
    item.SetDesc(QStringLiteral("an artificial moon"));
    TSaveMeGameForm::PaintWordLabel(&item, bitmap);
    const int height2 = 2 * h + 11;
    const int m2 = height2 * 42 / 103;
    EXPECT_EQ(bitmap.height(), height2);
    EXPECT_EQ(bitmap.width(),
              2 * m2 + metrics.horizontalAdvance(QStringLiteral("an artificial moon")) + 36);
    EXPECT_GT(CountPixels(bitmap, QRect(0, h + 6, bitmap.width(), h),
                          [](QRgb p) { return qAlpha(p) == 255; }),
              20);

    // An item moon's word is green with a grey outline.
    item.ItemName = QStringLiteral("SpecialItem");
    item.SetDesc(QString());
    TSaveMeGameForm::PaintWordLabel(&item, bitmap);
    EXPECT_GT(
        CountPixels(bitmap,
                    [](QRgb p) { return qAlpha(p) == 255 && qGreen(p) > 200 && qRed(p) < 80; }),
        20);
    EXPECT_GT(CountPixels(bitmap, [](QRgb p) { return p == qRgba(128, 128, 128, 255); }), 10);
    EXPECT_EQ(CountPixels(bitmap,
                          [](QRgb p) {
                              return qAlpha(p) == 255 && qBlue(p) > 200 && qRed(p) < 120 &&
                                     qGreen(p) > 90 && qGreen(p) < 170;
                          }),
              0);
}

TEST(SaveMeGameWindow, LayoutInputModeAndTheBackgroundDrawnAnewOnEachReload) {
    TFormRig rig;
    QPointer<TSaveMeGameForm> form = rig.Create();
    EXPECT_EQ(TSaveMeGameForm::Current(), form.data());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("오르발론"));
    EXPECT_EQ(form->minimumSize(), QSize(800, 600));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));

    form->Composer()->SetTypingLang(tlNative);
    form->StartGame(rig.Dir.path() + QStringLiteral("/Text/plain.game"), 2, Words(10));
    EXPECT_EQ(form->Composer()->TypingLang(), tlNative); // no label: left alone
    EXPECT_EQ(form->LevelLabel->Caption(), QStringLiteral("Level 2"));
    EXPECT_EQ(form->ScoreLabel->Caption(), QStringLiteral("Score 0"));
    EXPECT_EQ(form->TopPanel->height(), form->InputEdit->height() + 22);
    EXPECT_EQ(form->InputEdit->x(), (form->TopPanel->width() - form->InputEdit->width()) / 2 + 10);
    EXPECT_EQ(form->TypeLabel->x() + form->TypeLabel->width() + 5, form->InputEdit->x());
    // Nothing overlaps, even in a narrow window.
    EXPECT_LT(form->LevelLabel->geometry().right(), form->TypeLabel->x());
    EXPECT_LT(form->InputEdit->geometry().right(), form->ScoreLabel->x());
    // The input mode inside the box, at its right end, following the composer.
    ASSERT_NE(form->InputModeBadge(), nullptr);
    EXPECT_EQ(form->InputModeBadge()->parentWidget(), form->InputEdit);
    EXPECT_TRUE(form->InputEdit->rect().contains(form->InputModeBadge()->geometry()));
    EXPECT_GT(form->InputModeBadge()->x(), form->InputEdit->width() / 2);
    EXPECT_EQ(form->InputModeBadge()->Label(), QStringLiteral("가"));
    form->Composer()->SetTypingLang(tlEng);
    EXPECT_EQ(form->InputModeBadge()->Label(), QStringLiteral("A"));
    form->Composer()->SetTypingLang(tlNative);
    form->resize(800, 600);
    QTest::qWait(20);
    EXPECT_LT(form->LevelLabel->geometry().right(), form->TypeLabel->x());
    EXPECT_LT(form->InputEdit->geometry().right(), form->ScoreLabel->x());
    EXPECT_EQ(form->TypeLabel->x() + form->TypeLabel->width() + 5, form->InputEdit->x());
    EXPECT_EQ(form->InputEdit->maxLength(), 50);
    EXPECT_EQ(form->GameMessage()->Text().first(), QStringLiteral("%1년 %2월의 어느날 ")
                                                       .arg(QDate::currentDate().year())
                                                       .arg(QDate::currentDate().month()));
    EXPECT_TRUE(form->GameMessage()->IsModal());
    EXPECT_TRUE(form->GameMessage()->BackImageAvailable());
    EXPECT_FALSE(form->AniTimer->Enabled());
    delete form.data();
    EXPECT_EQ(TSaveMeGameForm::Current(), nullptr);

    form = rig.Create();
    form->show();
    form->Composer()->SetTypingLang(tlEng);
    form->StartGame(rig.Dir.path() + QStringLiteral("/Text/동물 [한글].game"), 1, Words(3));
    EXPECT_EQ(form->Composer()->TypingLang(), tlNative);
    // Each reload of "back_mat" draws one of the six pictures again.
    QSet<QString> seen;
    for (int i = 0; i < 30; ++i) {
        form->Game().OnNewBackground(&form->Game());
        seen << QFileInfo(form->BackgroundFile()).fileName();
    }
    EXPECT_GE(seen.size(), 3);
    for (const QString& name : seen)
        EXPECT_TRUE(name.startsWith(QStringLiteral("galaxy")) ||
                    name == QStringLiteral("moon_collision2.png"))
            << name.toStdString();

    // A second window replaces the first.
    QPointer<TSaveMeGameForm> first = form;
    form = rig.Create();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(TSaveMeGameForm::Current(), form.data());
    form->show();
    form->Composer()->SetTypingLang(tlNative);
    form->StartGame(rig.Dir.path() + QStringLiteral("/Text/words [영어].game"), 1, Words(3));
    EXPECT_EQ(form->Composer()->TypingLang(), tlEng);
    form->close();
    QTest::qWait(20);
    EXPECT_TRUE(form.isNull()); // the window frees itself

    // Without its model the window cannot be made.
    ASSERT_TRUE(QFile::remove(rig.Dir.path() + QStringLiteral("/models/SaveMeGame.obj")));
    EXPECT_THROW(rig.Create(), ERavlinError);
    EXPECT_EQ(TSaveMeGameForm::Current(), nullptr);
}

TEST(SaveMeGameWindow, FromTheStoryThroughEnterAndTheNearestMoonsWordToItsExplosion) {
    TFormRig rig;
    QPointer<TSaveMeGameForm> form = rig.Create();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    form->SetTickInterval(15);
    form->StartGame(rig.Dir.path() + QStringLiteral("/Text/[영어] moons.game"), 1, Words(40));
    ASSERT_TRUE(form->GameMessage()->Visible());
    EXPECT_EQ(form->GameMessage()->Text().last().trimmed(), QStringLiteral("PRESS ENTER"));
    const QImage story = CaptureRootWindow(CapturePath(QStringLiteral("orbalon_story.png")));
    ASSERT_FALSE(story.isNull());
    // On screen: the story's orange-to-yellow letters over its picture.
    EXPECT_GT(CountPixels(story, OnScreen(form->GamePanel),
                          [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 100 && qBlue(p) < 90; }),
              1000);

    // Enter closes the story: the tick runs and the pause hint shows.
    QTest::keyClick(form->InputEdit, Qt::Key_Return);
    EXPECT_TRUE(form->AniTimer->Enabled());
    EXPECT_EQ(form->GameMessage()->Text().first(),
              QStringLiteral("PageDown 키 => 일시정지 아이템"));
    EXPECT_FALSE(form->GameMessage()->IsModal());

    ASSERT_TRUE(WaitFor([&] { return NearestShootable(form->Game()) != nullptr; }, 30000));
    TGameEnemy* nearest = NearestShootable(form->Game());
    const std::uint64_t id = nearest->Id();
    const QString word = nearest->Word;
    ASSERT_NE(form->LabelOf(nearest), nullptr);
    EXPECT_EQ(form->LabelOf(nearest)->Text(), word);
    QTest::keyClicks(form->InputEdit, word);
    EXPECT_EQ(form->InputEdit->text(), word);
    QTest::keyClick(form->InputEdit, Qt::Key_Space);
    EXPECT_TRUE(form->InputEdit->text().isEmpty());
    TGameEnemy* shot = form->Game().FindEnemy(id);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->FExplosionType, etCorrectAnswer);
    EXPECT_EQ(form->ScoreLabel->Caption(), QStringLiteral("Score %1").arg(int(word.size()) + 1));
    EXPECT_TRUE(form->GameMessage()->Text().first().startsWith(
        QStringLiteral("+ %1").arg(word.size() + 1) + TSaveMeGame::ItemText(shot->FSpecialItem)));
    // The burst grows for seven ticks, then moon and label are gone.
    ASSERT_TRUE(WaitFor([&] { return form->Game().FindEnemy(id) == nullptr; }, 10000));
    EXPECT_EQ(form->Game().ExplosionCount(), 1);
    form->close();
}

TEST(SaveMeGameWindow, ABusyFrameCapturedFromTheXServerShowsSkyMoonsLabelsAndBursts) {
    TFormRig rig;
    QPointer<TSaveMeGameForm> form = rig.Create(11, true);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    // Driven by hand: the thread timer waits.
    form->SetTickInterval(1000000);
    form->StartGame(rig.Dir.path() + QStringLiteral("/Text/[영어] moons.game"), 8, Words(60));
    TSaveMeGame& game = form->Game();
    game.EnterPressed(QString());
    for (int i = 0; i < 400 && game.Enemies().size() < 8; ++i)
        game.Tick();
    ASSERT_GE(game.Enemies().size(), 6u);
    // Two moons shot, three ticks on: their bursts are half grown.
    QStringList targets;
    for (auto it = game.Enemies().rbegin(); it != game.Enemies().rend() && targets.size() < 2;
         ++it) {
        if ((*it)->LabelVisible && (*it)->Flying())
            targets << (*it)->Word;
    }
    for (const QString& word : targets)
        game.CheckAnswer(word);
    game.Tick();
    game.Tick();
    game.Tick();
    form->GamePanel->update();
    QTest::qWait(50);
    EXPECT_GT(form->LastParticleCount(), 2 * 2 * 31);

    const QImage screen = CaptureRootWindow(CapturePath(QStringLiteral("orbalon_busy.png")));
    ASSERT_FALSE(screen.isNull());
    const QRect panel = OnScreen(form->GamePanel);
    const QRect top = OnScreen(form->TopPanel);
    const int area = panel.width() * panel.height();
    // The starry background covers the view: little of the sky-blue clear
    // colour is left.
    const int sky = CountPixels(screen, panel, [](QRgb p) {
        return std::abs(qRed(p) - 166) < 6 && std::abs(qGreen(p) - 202) < 6 &&
               std::abs(qBlue(p) - 240) < 6;
    });
    EXPECT_LT(sky, area / 50);
    // Moon grey, the labels' orange letters and the bursts' reds.
    const int grey = CountPixels(screen, panel, [](QRgb p) {
        return qRed(p) > 60 && std::abs(qRed(p) - qGreen(p)) < 12 &&
               std::abs(qGreen(p) - qBlue(p)) < 12;
    });
    const int orange = CountPixels(screen, panel, [](QRgb p) {
        return qRed(p) > 200 && qGreen(p) > 90 && qGreen(p) < 170 && qBlue(p) < 80;
    });
    const int red = CountPixels(screen, panel, [](QRgb p) {
        return qRed(p) > 120 && qGreen(p) < qRed(p) / 2 && qBlue(p) < qRed(p) / 2;
    });
    EXPECT_GT(grey, 300);
    EXPECT_GT(orange, 100);
    EXPECT_GT(red, 50);
    // The top strip: green level and score letters.
    const int green = CountPixels(
        screen, top, [](QRgb p) { return qGreen(p) > 180 && qRed(p) < 120 && qBlue(p) < 120; });
    EXPECT_GT(green, 100);
    form->close();
}

TEST(SaveMeGameWindow, AGameEndedWithNoPointsShowsTheBoardWithoutAskingForAName) {
    TFormRig rig;
    QPointer<TSaveMeGameForm> form = rig.Create(2);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    form->SetTickInterval(1000000);
    form->StartGame(rig.Dir.path() + QStringLiteral("/Text/[영어] moons.game"), 8, Words(60));
    TModalAnswerer answerer;
    int boardRows = -1;
    answerer.OnDialog = [&](QDialog* dialog) {
        if (auto* board = qobject_cast<TScoreForm*>(dialog)) {
            boardRows = board->ListBox()->count();
            board->close();
            return true;
        }
        return false;
    };
    TSaveMeGame& game = form->Game();
    game.EnterPressed(QString());
    for (int i = 0; i < 20000 && !game.Ended(); ++i)
        game.Tick();
    ASSERT_TRUE(game.Ended());
    EXPECT_EQ(form->GameMessage()->Text(), QStringList{QStringLiteral("GAME OVER !!")});
    ASSERT_TRUE(WaitFor([&] { return form.isNull(); }, 10000));
    EXPECT_EQ(answerer.OtherDialogs, QStringList{QStringLiteral("TScoreForm")});
    EXPECT_EQ(boardRows, 0);
    EXPECT_FALSE(QFileInfo::exists(SettingsDir() + QStringLiteral("cscore.dat")));
}

TEST(SaveMeGameWindow, AHangulWordIsComposedInTheAnswerBoxAndDestroysItsMoon) {
    TFormRig rig;
    QPointer<TSaveMeGameForm> form = rig.Create(8);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    form->SetTickInterval(15);
    // Dubeolsik keys of each word.
    const std::map<QString, QString> keys = {{QStringLiteral("하나"), QStringLiteral("gksk")},
                                             {QStringLiteral("나라"), QStringLiteral("skfk")},
                                             {QStringLiteral("바다"), QStringLiteral("qkek")},
                                             {QStringLiteral("가구"), QStringLiteral("rkrn")},
                                             {QStringLiteral("모자"), QStringLiteral("ahwk")}};
    QStringList words;
    for (const auto& [word, typed] : keys)
        words << word;
    form->StartGame(rig.Dir.path() + QStringLiteral("/Text/[한글] 낱말.game"), 1, words);
    EXPECT_EQ(form->Composer()->TypingLang(), tlNative);
    QTest::keyClick(form->InputEdit, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return NearestShootable(form->Game()) != nullptr; }, 30000));
    TGameEnemy* nearest = NearestShootable(form->Game());
    const std::uint64_t id = nearest->Id();
    const QString word = nearest->Word;
    // A half-typed syllable is finished by Space before the answer is taken.
    QTest::keyClicks(form->InputEdit, keys.at(word));
    EXPECT_EQ(form->InputEdit->text(), word.left(1));
    EXPECT_TRUE(form->Composer()->IsComposing());
    QTest::keyClick(form->InputEdit, Qt::Key_Space);
    EXPECT_TRUE(form->InputEdit->text().isEmpty());
    EXPECT_FALSE(form->Composer()->IsComposing());
    TGameEnemy* shot = form->Game().FindEnemy(id);
    ASSERT_NE(shot, nullptr);
    // Shot (or bombed, when it carried the bomb itself).
    EXPECT_FALSE(shot->Flying());
    EXPECT_FALSE(shot->LabelVisible);
    EXPECT_EQ(form->Game().Score(), 2 + 1);
    // Esc drops a syllable in progress.
    QTest::keyClicks(form->InputEdit, QStringLiteral("gk"));
    EXPECT_TRUE(form->Composer()->IsComposing());
    QTest::keyClick(form->InputEdit, Qt::Key_Escape);
    EXPECT_TRUE(form->InputEdit->text().isEmpty());
    EXPECT_FALSE(form->Composer()->IsComposing());
    form->close();
}

TEST(SaveMeGameWindow, AnImpactingMoonIsRedUntilItsBurstAndHiddenWordsLeaveOnlyTheMoons) {
    TFormRig rig;
    QPointer<TSaveMeGameForm> form = rig.Create(6);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    form->SetTickInterval(1000000);
    form->StartGame(rig.Dir.path() + QStringLiteral("/Text/[영어] moons.game"), 1, Words(30));
    TSaveMeGame& game = form->Game();
    game.EnterPressed(QString());
    while (game.EarthFlyInRunning())
        game.StepEarthFlyIn();
    game.ApplyItem(siStop); // nothing moves meanwhile
    for (int i = 0; i < 100 && game.Enemies().size() < 3; ++i)
        game.SpawnMoon();
    ASSERT_EQ(game.Enemies().size(), 3u);
    for (const auto& moon : game.Enemies())
        moon->FSpecialItem = siNone;
    game.CloseMessage(); // the pause hint

    // Below the icon rows (the pause icons are red too).
    auto frame = [&] {
        form->GamePanel->DrawScene();
        const QImage image = form->GamePanel->grabFramebuffer();
        return image.copy(0, 80, image.width(), image.height() - 80)
            .convertToFormat(QImage::Format_RGB32);
    };
    auto redMoon = [](QRgb p) {
        return qRed(p) > 60 && qGreen(p) < qRed(p) / 3 && qBlue(p) < qRed(p) / 3;
    };
    auto letters = [](QRgb p) {
        return qRed(p) > 200 && qGreen(p) > 90 && qGreen(p) < 170 && qBlue(p) < 80;
    };
    auto moonGrey = [](QRgb p) {
        return qRed(p) > 60 && std::abs(qRed(p) - qGreen(p)) < 12 &&
               std::abs(qGreen(p) - qBlue(p)) < 12;
    };
    const QImage calm = frame();
    EXPECT_EQ(CountPixels(calm, redMoon), 0);
    const int calmLetters = CountPixels(calm, letters);
    EXPECT_GT(calmLetters, 50);

    // Hidden words: the moons still show, their words do not.
    game.ApplyItem(siHideText);
    const QImage hidden = frame();
    EXPECT_LT(CountPixels(hidden, letters), calmLetters / 10);
    EXPECT_GT(CountPixels(hidden, moonGrey), CountPixels(calm, moonGrey) / 2);
    game.ApplyItem(siStop); // the stop again, in place of the hidden words

    // One moon reaches the Earth: it keeps its label and is drawn red for
    // its first three steps (more see-through each step); then its label
    // goes and its burst replaces it.
    TGameEnemy* impact = game.Enemies().front().get();
    impact->FPosition = {2, 0, 141};
    game.Tick();
    ASSERT_EQ(impact->FExplosionType, etCollision);
    for (int step = 1; step <= 3; ++step) {
        ASSERT_EQ(impact->FExplosionStep, step);
        EXPECT_TRUE(impact->LabelVisible);
        EXPECT_GT(CountPixels(frame(), redMoon), 5000) << step;
        if (step < 3)
            game.Tick();
    }
    game.Tick();
    ASSERT_EQ(impact->FExplosionStep, 4);
    EXPECT_FALSE(impact->LabelVisible);
    form->close();
}

TEST(SaveMeGameWindow, TheEarthFliesInOverSeventyRepaintsAndIsGoneAfterwards) {
    TFormRig rig;
    QPointer<TSaveMeGameForm> form = rig.Create(4);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    form->SetTickInterval(1000000);
    form->StartGame(rig.Dir.path() + QStringLiteral("/Text/[영어] moons.game"), 1, Words(5));
    TSaveMeGame& game = form->Game();
    game.EnterPressed(QString());
    game.CloseMessage();
    // Below the icon rows (the life icons are blue too).
    auto ocean = [&](const QImage& image) {
        return CountPixels(image, QRect(0, 80, image.width(), image.height() - 80), [](QRgb p) {
            return qBlue(p) > 120 && qBlue(p) > qRed(p) + 60 && qGreen(p) < qBlue(p);
        });
    };
    auto draw = [&] {
        form->GamePanel->DrawScene();
        return form->GamePanel->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    };
    while (game.EarthAniTick().Tick < 10)
        draw();
    const QImage early = draw();
    const QPoint centre(early.width() / 2, early.height() / 2);
    EXPECT_GT(ocean(early), 2000);
    // The Earth sits in the middle until it starts flying at the viewer.
    EXPECT_GT(CountPixels(early, QRect(centre - QPoint(40, 40), QSize(80, 80)),
                          [](QRgb p) { return qBlue(p) > 120 || qGreen(p) > 120; }),
              3000);
    while (game.EarthAniTick().Tick < 65)
        draw();
    EXPECT_GT(ocean(draw()), ocean(early)); // close to the viewer now
    while (game.EarthFlyInRunning())
        draw();
    EXPECT_EQ(game.EarthAniTick().Tick, TSaveMeGame::FlyInTicks + 1);
    EXPECT_LT(ocean(draw()), 50);
    form->close();
}
