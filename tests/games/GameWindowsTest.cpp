#include "app/SettingsStore.h"
#include "games/GameForm.h"
#include "games/GameSetUpForm.h"
#include "games/ScoreForm.h"
#include "ModalAnswerer.h"
#include "platform/CodePage949.h"
#include "platform/HelpWindow.h"
#include "platform/InputComposer.h"
#include "shell/BorderLabel.h"
#include "TestSupport.h"

#include <deque>
#include <gtest/gtest.h>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

bool IsClockNumber(const QString& caption) {
    bool ok = false;
    caption.toInt(&ok);
    return ok;
}

} // namespace

TEST(GameWindows, AShortGameRunsFromTheSetupToGameOverAndTheBoardKeepsTheEntry) {
    TScopedSettingsDir settings;
    auto* setup = new TGameSetUpForm;
    setup->LevelGroup()->button(7)->setChecked(true);
    setup->LanguageGroup()->button(1)->setChecked(true);
    setup->RotGroup()->button(2)->setChecked(true);
    setup->SpeakerCheckBox()->setChecked(true); // sounds go to the dummy audio driver
    setup->show();
    setup->OkBtn()->click();
    QPointer<TGameForm> game = setup->GameForm();
    ASSERT_TRUE(game);
    EXPECT_TRUE(game->isVisible());
    // Same rules, twenty times the pace.
    game->SetTimerDivisor(20);
    EXPECT_EQ(game->GameTimer(ctShowClock)->interval(), 1120 / 20);

    // Plays along: the name prompt gets a name, the score board is read and
    // closed, and three words are typed while no modal window is up.
    TModalAnswerer answerer;
    int boardRows = -1;
    int boardCurrentRow = -1;
    answerer.OnDialog = [&](QDialog* dialog) {
        if (auto* prompt = qobject_cast<QInputDialog*>(dialog)) {
            prompt->setTextValue(QStringLiteral("테스터"));
            prompt->accept();
            return true;
        }
        if (auto* board = qobject_cast<TScoreForm*>(dialog)) {
            boardRows = board->ListBox()->count();
            boardCurrentRow = board->ListBox()->currentRow();
            board->close();
            return true;
        }
        return false;
    };
    int typed = 0;
    answerer.WhenIdle = [&] {
        if (!game || typed >= 3)
            return;
        for (int i = 1; i <= 12; ++i) {
            const QString word = game->WordLabel(i)->Caption();
            if (IsClockNumber(word))
                continue;
            QTest::keyClicks(game->AnswerBox(), word);
            QTest::keyClick(game->AnswerBox(), Qt::Key_Space);
            ++typed;
            return;
        }
    };
    // A broken game must not hang the test run.
    ASSERT_TRUE(QTest::qWaitFor([&] { return game.isNull(); }, 60000));

    ASSERT_EQ(typed, 3);
    ASSERT_EQ(answerer.Messages.size(), 1u);
    EXPECT_EQ(answerer.Messages[0].Title, QStringLiteral("Clockwig"));
    EXPECT_EQ(answerer.Messages[0].Text, QStringLiteral("Game Over !!"));
    // One name prompt, then the board.
    EXPECT_EQ(answerer.OtherDialogs,
              QStringList({QStringLiteral("QInputDialog"), QStringLiteral("TScoreForm")}));
    EXPECT_EQ(boardRows, 1);
    EXPECT_EQ(boardCurrentRow, 0);

    TScoreList board(SettingsDir() + QStringLiteral("cscore.dat"));
    board.ReadScore();
    ASSERT_EQ(board.Count(), 1);
    EXPECT_EQ(board.Item(0).name, EncodeCp949(QStringLiteral("테스터")));
    EXPECT_GE(board.Item(0).score, 3 * (10 + 3));
    EXPECT_EQ(board.Item(0).Level, 8);
    EXPECT_EQ(board.Item(0).GameLanguage, EncodeCp949(QStringLiteral("영어")));

    const TIniFile ini = OpenSettingsIni();
    EXPECT_EQ(ini.ReadInteger("clock", "start_level", -1), 7);
    EXPECT_EQ(ini.ReadInteger("clock", "Language", -1), 1);
    EXPECT_EQ(ini.ReadInteger("clock", "rotation", -1), 2);
    EXPECT_FALSE(ini.ReadBool("clock", "speaker_off", true));
}

TEST(GameWindows, AnswerBoxTakesEnterLikeSpaceAndShowsTheFixedWordEverywhere) {
    TScopedSettingsDir settings;
    std::deque<int> random;
    auto* form = new TGameForm([&](int n) {
        if (random.empty())
            return n - 1;
        const int v = random.front();
        random.pop_front();
        return v;
    });
    QPointer<TGameForm> guard(form);
    form->SetLevel(1);
    form->SetLanguage(1);
    form->SetRotation(clockwise);
    form->SetSoundOff(true);
    form->SetTimerInterval();
    form->show();
    form->GameTimer(ctShowClock)->stop();
    form->GameTimer(ctProblemClock)->stop();
    EXPECT_TRUE(form->HistoryLine(1)->text().endsWith(QStringLiteral(" 버그수정 시작!!")));
    // English words: Shift+Space is no switch to Hangul here.
    EXPECT_FALSE(form->Composer()->KoreanText());

    random = {16, 3, 4}; // "rabbit" on label 5
    form->Game().ProblemClockTimer();
    TBorderLabel* label = form->WordLabel(5);
    EXPECT_EQ(label->Caption(), QStringLiteral("rabbit"));
    const QPoint slot = form->Game().SlotPoint(5);
    EXPECT_EQ(label->pos(), QPoint(280 + slot.x() - label->width() / 2, 235 + slot.y()));

    QTest::keyClick(form->AnswerBox(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    QTest::keyClicks(form->AnswerBox(), QStringLiteral("rabbit"));
    QTest::keyClick(form->AnswerBox(), Qt::Key_Return);
    EXPECT_TRUE(form->AnswerBox()->text().isEmpty());
    EXPECT_EQ(label->Caption(), QStringLiteral("5"));
    EXPECT_EQ(label->FontColor(), TClockwigGame::Silver);
    EXPECT_EQ(form->ScoreValue()->text(), QStringLiteral("7"));
    EXPECT_TRUE(form->HistoryLine(14)->text().endsWith(QStringLiteral("rabbit->5")));

    // The ring turns: the label follows its slot.
    form->Game().ShowClockTimer();
    const QPoint next = form->Game().SlotPoint(6);
    EXPECT_EQ(label->pos(), QPoint(280 + next.x() - label->width() / 2, 235 + next.y()));
    EXPECT_EQ(form->LivesBar()->value(), 9);

    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST(GameWindows, KoreanAnswerIsComposedInTheBoxAndFinishedBySpace) {
    TScopedSettingsDir settings;
    std::deque<int> random;
    auto* form = new TGameForm([&](int n) {
        if (random.empty())
            return n - 1;
        const int v = random.front();
        random.pop_front();
        return v;
    });
    form->SetLevel(1);
    form->SetLanguage(0);
    form->SetRotation(NoRotation);
    form->SetSoundOff(true);
    form->SetTimerInterval();
    form->show();
    form->GameTimer(ctShowClock)->stop();
    form->GameTimer(ctProblemClock)->stop();
    EXPECT_EQ(form->Composer()->TypingLang(), tlNative);
    EXPECT_TRUE(form->Composer()->KoreanText());

    random = {16, 3, 8}; // "우유" on label 9
    form->Game().ProblemClockTimer();
    ASSERT_EQ(form->WordLabel(9)->Caption(), QStringLiteral("우유"));
    // Dubeolsik keys: the last syllable is still being composed when Space
    // comes, and must be finished before the answer is judged.
    QTest::keyClicks(form->AnswerBox(), QStringLiteral("dndb"));
    EXPECT_TRUE(form->Composer()->IsComposing());
    QTest::keyClick(form->AnswerBox(), Qt::Key_Space);
    EXPECT_EQ(form->WordLabel(9)->Caption(), QStringLiteral("9"));
    EXPECT_EQ(form->Game().Score(), 1 + 2);
    EXPECT_TRUE(form->AnswerBox()->text().isEmpty());
    form->close();
}

TEST(GameWindows, SetupShowsDefaultsStoresNothingOnCancelAndEverythingOnStart) {
    TScopedSettingsDir settings;
    {
        TGameSetUpForm setup;
        EXPECT_EQ(setup.windowTitle(), QStringLiteral("'클록윅' 설정"));
        EXPECT_EQ(setup.RotGroup()->checkedId(), 0);
        EXPECT_EQ(setup.LevelGroup()->checkedId(), 0);
        EXPECT_EQ(setup.LanguageGroup()->checkedId(), 0);
        EXPECT_TRUE(setup.SpeakerCheckBox()->isChecked());
        setup.RotGroup()->button(1)->setChecked(true);
        setup.NoBtn()->click();
    }
    EXPECT_FALSE(QFile::exists(SettingsIniPath()));

    {
        TIniFile ini = OpenSettingsIni();
        ini.WriteInteger("clock", "rotation", 1);
        ini.WriteInteger("clock", "start_level", 5);
        ini.WriteInteger("clock", "Language", 1);
        ini.WriteBool("clock", "speaker_off", true);
        CloseSettingsIni(ini);
    }
    const QByteArray stored = ReadFileBytes(SettingsIniPath());
    auto* setup = new TGameSetUpForm;
    EXPECT_EQ(setup->RotGroup()->checkedId(), 1);
    EXPECT_EQ(setup->LevelGroup()->checkedId(), 5);
    EXPECT_EQ(setup->LanguageGroup()->checkedId(), 1);
    EXPECT_FALSE(setup->SpeakerCheckBox()->isChecked());
    setup->show();
    setup->OkBtn()->click();
    QPointer<TGameForm> game = setup->GameForm();
    ASSERT_TRUE(game);
    EXPECT_EQ(game->Game().Level(), 6);
    EXPECT_EQ(game->Game().Language(), 1);
    EXPECT_EQ(game->Game().Rotation(), CounterClockWise);
    EXPECT_TRUE(game->Game().SoundOff());
    EXPECT_EQ(game->GameTimer(ctShowClock)->interval(), 2200 - 135 * 6);
    EXPECT_EQ(game->WordLabel(2)->Caption(), QStringLiteral("12"));
    EXPECT_TRUE(game->GameTimer(ctProblemClock)->isActive());
    game->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Unchanged options are written too: the file holds the same values.
    const TIniFile ini = OpenSettingsIni();
    EXPECT_EQ(ini.ReadInteger("clock", "rotation", -1), 1);
    EXPECT_EQ(ini.ReadInteger("clock", "start_level", -1), 5);
    EXPECT_EQ(ini.ReadInteger("clock", "Language", -1), 1);
    EXPECT_TRUE(ini.ReadBool("clock", "speaker_off", false));
    EXPECT_EQ(ReadFileBytes(SettingsIniPath()), stored);
}

TEST(GameWindows, HelpButtonOpensTheTypingGamesTopic) {
    TScopedSettingsDir settings;
    TGameSetUpForm setup;
    TModalAnswerer answerer; // a missing page would be reported in a message box
    setup.HelpBtn()->click();
    THelpWindow* help = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* h = qobject_cast<THelpWindow*>(widget))
            help = h;
    }
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(answerer.Messages.empty());
    EXPECT_EQ(help->CurrentTopic(), TGameSetUpForm::HelpTopic());
    help->close();
}

TEST(GameWindows, ADamagedBoardIsReportedAndLeftAsItWas) {
    TScopedSettingsDir settings;
    const QString path = SettingsDir() + QStringLiteral("cscore.dat");
    QByteArray damaged(TScoreList::RecordSize, '\x01');
    damaged[0] = char(40);
    ASSERT_TRUE(WriteFileBytes(path, damaged));
    TGameSetUpForm setup;
    TModalAnswerer answerer;
    setup.ScoreBtn()->click();
    ASSERT_EQ(answerer.Messages.size(), 1u);
    EXPECT_TRUE(answerer.Messages[0].Text.contains(QStringLiteral("손상")));
    EXPECT_TRUE(answerer.OtherDialogs.isEmpty()); // no board
    EXPECT_EQ(ReadFileBytes(path), damaged);
}

TEST(GameWindows, TheNamePromptComposesHangulWithoutADesktopInputMethod) {
    TScopedSettingsDir settings;
    auto* board = new TScoreForm;
    QPointer<TScoreForm> guard(board);
    board->NameTypingLang = tlNative; // as the Korean game's answer box was left
    board->NameKoreanText = true;     // after a game of Korean words
    int prompts = 0;
    QTimer typist;
    typist.setInterval(5);
    QObject::connect(&typist, &QTimer::timeout, [&] {
        auto* prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!prompt)
            return;
        ++prompts;
        auto* edit = prompt->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        // Shift+Space switches to Latin letters and back, then Dubeolsik
        // keys for 길동; the last syllable is still open when Enter confirms
        // the prompt.
        QTest::keyClick(edit, Qt::Key_Space, Qt::ShiftModifier);
        QTest::keyClicks(edit, QStringLiteral("Mr"));
        QTest::keyClick(edit, Qt::Key_Space, Qt::ShiftModifier);
        QTest::keyClicks(edit, QStringLiteral("rlfehd"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    typist.start();
    board->SubmitResult(120, 3, EncodeCp949(QStringLiteral("한글")));
    typist.stop();
    EXPECT_EQ(prompts, 1);
    ASSERT_EQ(board->ScoreList().Count(), 1);
    EXPECT_EQ(board->ScoreList().Item(0).name, EncodeCp949(QStringLiteral("Mr길동")));
    delete guard.data();
}

TEST(GameWindows, ScoreBoardMarksTheNewEntryInBlueOnStripedRows) {
    TScopedSettingsDir settings;
    TScoreForm board;
    board.AskName = [] { return std::optional<QString>(QStringLiteral("me")); };
    {
        TScoreRec other;
        other.name = "other";
        other.score = 900;
        other.DateTime = QStringLiteral("2026-01-01  00:00:00");
        other.Level = 1;
        board.ScoreList().Add(other);
        other.score = 800;
        board.ScoreList().Add(other);
    }
    board.SubmitResult(100, 2, "x");
    ASSERT_EQ(board.ListBox()->count(), 3);
    EXPECT_EQ(board.ListBox()->currentRow(), 2);
    EXPECT_EQ(board.Header()->sectionSize(3), 41);

    board.show();
    const QImage rows = board.ListBox()->viewport()->grab().toImage();
    // Row 1 (odd) is tinted; row 0 is white.
    EXPECT_EQ(QColor(rows.pixel(rows.width() - 3, 18 + 9)), QColor(240, 250, 255));
    EXPECT_EQ(QColor(rows.pixel(rows.width() - 3, 9)), QColor(Qt::white));
    auto blueText = [&](int top) {
        for (int y = top; y < top + 18; ++y) {
            for (int x = 45; x < 255; ++x) {
                const QColor c(rows.pixel(x, y));
                if (c.blue() > 200 && c.red() < 100 && c.green() < 100)
                    return true;
            }
        }
        return false;
    };
    EXPECT_FALSE(blueText(0));
    EXPECT_TRUE(blueText(36));
}
