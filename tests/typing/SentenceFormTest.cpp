#include "typing/SentenceForm.h"

#include "app/RavlinError.h"
#include "app/SettingsStore.h"
#include "gl/ThreadTimer.h"
#include "ModalAnswerer.h"
#include "platform/KanaInput.h"
#include "shell/BorderLabel.h"
#include "shell/GameSoundList.h"
#include "TestSupport.h"
#include "typing/SentencePractice.h"
#include "typing/VelmarMeter.h"

#include <gtest/gtest.h>
#include <memory>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QShowEvent>
#include <QSpontaneKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <SDL_mixer.h>

namespace {

// A practice screen over texts in a folder of its own, with a fresh settings
// file, a hand-driven page clock and every message box answered.
struct TSentenceFormFixture : testing::Test {
    const QString ProgramDir = AppDir(); // the build's program folder, with the sounds
    TScopedSettingsDir Settings;
    QTemporaryDir Root;
    std::unique_ptr<TScopedAppDir> App;
    TModalAnswerer Answerer;
    quint32 Now = 100000;

    TSentenceFormFixture() {
        App = std::make_unique<TScopedAppDir>(Root.path());
        QDir(Root.path()).mkpath(QStringLiteral("Text"));
        LoadSentenceSetup(); // the defaults of a fresh profile
        SentenceSetup.FontSize = 12;
        SentenceSetup.UseSound = false;
    }
    ~TSentenceFormFixture() override {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString WriteText(const QString& name, const QStringList& lines) {
        const QString path = Root.filePath(QStringLiteral("Text/") + name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines.join(QLatin1Char('\n')).toUtf8());
        return path;
    }

    TSentenceForm* Open(int lineCount, const QString& path, QRect workArea = {0, 0, 1280, 1024}) {
        auto* form = new TSentenceForm(nullptr, [this] { return Now; });
        form->SetWorkArea(workArea);
        form->StartExercise(lineCount, path);
        if (!form->Closed())
            form->show();
        return form;
    }

    static void Close(QPointer<TSentenceForm>& form) {
        if (form)
            form->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Types `keys` and then Enter, one key every `msPerKey` of the page clock.
    void TypeLine(TSentenceForm* form, const QString& keys, int msPerKey) {
        for (const QChar c : keys) {
            QTest::keyClick(form->SenEx, c.toLatin1());
            Now += quint32(msPerKey);
        }
        QTest::keyClick(form->SenEx, Qt::Key_Return);
    }

    static QStringList Problems(const TSentenceForm* form) {
        QStringList lines;
        for (int i = 0; i < form->SenEx->SentenceCount(); ++i)
            lines << form->SenEx->Model().Sentence(i)->problem;
        return lines;
    }

    int StoredPosition(const QString& key) {
        const TIniFile ini = OpenSettingsIni();
        return ini.ReadInteger(QStringLiteral("FileHistory"), key, -999);
    }
};

} // namespace

TEST_F(TSentenceFormFixture, TooManyLinesShrinkToTheScreenAndTheMessageNamesBothCounts) {
    const QString path =
        WriteText(QStringLiteral("a.txt"), {QStringLiteral("one"), QStringLiteral("two")});
    SentenceSetup.FontSize = 40;
    QPointer<TSentenceForm> form = Open(15, path, QRect(0, 0, 1024, 768));
    const int fitted = form->SenEx->SentenceCount();
    ASSERT_LT(fitted, 15);
    ASSERT_GE(fitted, 1);
    ASSERT_EQ(Answerer.Messages.size(), 1u);
    EXPECT_EQ(Answerer.Messages[0].Title, QStringLiteral("알림"));
    EXPECT_EQ(Answerer.Messages[0].Icon, QMessageBox::Information);
    EXPECT_EQ(Answerer.Messages[0].Text,
              QStringLiteral("선택한 15 줄이 화면을 벗어나므로 %1 줄로 변경했습니다. 폰트크기를 더 "
                             "작게 하면 줄수를 늘릴 수 있습니다.")
                  .arg(fitted));
    EXPECT_LE(form->height(), 768 - 100);
    EXPECT_EQ(form->SpeedMeter->height(), form->height());
    EXPECT_EQ(form->SenEx->height(), form->height());
    EXPECT_EQ(form->SenEx->x(), form->SpeedMeter->width());
    Close(form);
    Answerer.Messages.clear();

    // Lines that fit are kept without a word.
    SentenceSetup.FontSize = 12;
    form = Open(3, path, QRect(0, 0, 1024, 768));
    EXPECT_EQ(form->SenEx->SentenceCount(), 3);
    EXPECT_TRUE(Answerer.Messages.empty());
    EXPECT_EQ(form->height(), 500);
    Close(form);
}

TEST_F(TSentenceFormFixture, PagingKeysMoveThroughTheTextAndStopAtBothEnds) {
    const QString path = WriteText(QStringLiteral("p.txt"), {"l0", "l1", "", "l2", "l3", "l4"});
    QPointer<TSentenceForm> form = Open(2, path);
    EXPECT_EQ(Problems(form), (QStringList{"l0", "l1"}));

    QTest::keyClick(form->SenEx, Qt::Key_PageUp);
    EXPECT_EQ(Answerer.TakeTexts(), QStringList{QStringLiteral("선택된 글의 첫부분입니다.")});
    EXPECT_EQ(Problems(form), (QStringList{"l0", "l1"}));

    QTest::keyClick(form->SenEx, Qt::Key_PageDown);
    EXPECT_EQ(Problems(form), (QStringList{"l2", "l3"}));
    QTest::keyClick(form->SenEx, Qt::Key_Escape);
    EXPECT_EQ(Problems(form), (QStringList{"l4", ""}));
    QTest::keyClick(form->SenEx, Qt::Key_PageUp);
    EXPECT_EQ(Problems(form), (QStringList{"l2", "l3"}));
    EXPECT_TRUE(Answerer.Messages.empty());

    QTest::keyClick(form->SenEx, Qt::Key_PageDown);
    QTest::keyClick(form->SenEx, Qt::Key_PageDown);
    EXPECT_EQ(Answerer.TakeTexts(),
              QStringList{QStringLiteral("선택된 글의 끝까지 연습했습니다.")});
    EXPECT_TRUE(form->Closed());
    Close(form);
    EXPECT_TRUE(form.isNull());
}

// A paging key ends a syllable still being composed on the page it was typed
// on, as any key the composer does not take does; it does not carry over to
// the next page.
TEST_F(TSentenceFormFixture, PagingKeysFinishTheSyllableBeingComposedOnItsOwnPage) {
    QPointer<TSentenceForm> form =
        Open(1, WriteText(QStringLiteral("[한글]쪽.txt"), {"가나", "다라", "마바"}));
    QTest::keyClicks(form->SenEx, "rk"); // 가 still being composed
    ASSERT_TRUE(form->SenEx->Model().IsComposing());
    QTest::keyClick(form->SenEx, Qt::Key_PageDown);
    EXPECT_EQ(Problems(form), QStringList{"다라"});
    EXPECT_FALSE(form->SenEx->Model().IsComposing());
    EXPECT_TRUE(form->SenEx->Model().Sentence(0)->typed.isEmpty());
    QTest::keyClicks(form->SenEx, "ek");
    form->SenEx->Composer().Commit();
    EXPECT_EQ(form->SenEx->Model().Sentence(0)->typed, QStringLiteral("다"));

    // A syllable that ends the page when it is finished moves on by itself;
    // the key still pages on from there.
    QTest::keyClicks(form->SenEx, "fkrk"); // 라 typed, 가 composed past the end
    QTest::keyClick(form->SenEx, Qt::Key_Escape);
    EXPECT_EQ(Answerer.TakeTexts(),
              QStringList{QStringLiteral("선택된 글의 끝까지 연습했습니다.")});
    EXPECT_TRUE(form->Closed());
    Close(form);
}

TEST_F(TSentenceFormFixture, APageBelowTheTargetIsRepeatedEmptyAndTheBestBarKeepsItsRecord) {
    QTemporaryDir pictures;
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(pictures.filePath("a.png")));
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(pictures.filePath("b.png")));
    SentenceSetup.BackImage = "1" + pictures.filePath("a.png") + "|1" + pictures.filePath("b.png");
    SentenceSetup.UseSpeedLimit = true;
    SentenceSetup.SpeedLimit = 150;
    const QString path = WriteText(QStringLiteral("t.txt"), {"abcde", "fghij", "klmno"});
    QPointer<TSentenceForm> form = Open(1, path);
    ASSERT_EQ(form->SentenceImageList().Count(), 2);

    // 5 keystrokes in 2.5 s: 120 per minute.
    QTest::keyClick(form->SenEx, 'a');
    EXPECT_TRUE(form->SpeedMeter->Active());
    EXPECT_TRUE(form->CurrSpeedTimer->Enabled());
    Now += 500;
    TypeLine(form, "bcde", 500);
    ASSERT_EQ(Answerer.Messages.size(), 1u);
    EXPECT_EQ(Answerer.Messages[0].Text,
              QStringLiteral("목표로 한 타자속도(150 타/분)을 넘지 못해서 다시 연습합니다."));
    EXPECT_EQ(Answerer.Messages[0].Title, QStringLiteral("확인"));
    EXPECT_EQ(Answerer.Messages[0].Icon, QMessageBox::Information);
    Answerer.Messages.clear();
    EXPECT_FALSE(form->SpeedMeter->Active());
    EXPECT_EQ(form->CurrBar->BlueValue(), 120);
    EXPECT_EQ(form->MaxBar->RedValue(), 120); // a first record, even on a repeated page
    EXPECT_EQ(Problems(form), QStringList{"abcde"});
    EXPECT_TRUE(form->SenEx->Model().Sentence(0)->typed.isEmpty());
    EXPECT_FALSE(form->SenEx->TypingStarted());
    EXPECT_EQ(form->SentenceImageList().CurrIndex(), 0);

    // The clock waits for the next first keystroke: a pause costs nothing.
    Now += 60000;
    TypeLine(form, "abcde", 160); // 5 keystrokes in 0.8 s: 375 per minute
    EXPECT_TRUE(Answerer.Messages.empty());
    EXPECT_EQ(Problems(form), QStringList{"fghij"});
    EXPECT_EQ(form->CurrBar->BlueValue(), 375);
    EXPECT_EQ(form->MaxBar->RedValue(), 375);
    EXPECT_EQ(form->AvgBar->OrangeValue(), form->SenEx->GetAvgTypingSpeed(false));
    EXPECT_EQ(form->SentenceImageList().CurrIndex(), 1); // the next picture

    TypeLine(form, "fghij", 500);
    EXPECT_EQ(Answerer.Messages.size(), 1u);
    EXPECT_EQ(form->MaxBar->RedValue(), 375); // a slower page leaves the record alone
    EXPECT_EQ(Problems(form), QStringList{"fghij"});
    EXPECT_EQ(form->SentenceImageList().CurrIndex(), 1);
    Close(form);
}

TEST_F(TSentenceFormFixture, HangulTextsStartInHangulAndResumeUnderTheirKey) {
    const QString path =
        WriteText(QStringLiteral("[한글]연습.txt"), {"가나", "다라", "마바", "사아", "자차"});
    QPointer<TSentenceForm> form = Open(1, path);
    EXPECT_EQ(form->SenEx->TypingLang(), tlNative);
    QTest::keyClick(form->SenEx, Qt::Key_PageDown);
    QTest::keyClick(form->SenEx, Qt::Key_PageDown);
    EXPECT_EQ(Problems(form), QStringList{"마바"});
    Close(form);
    EXPECT_EQ(StoredPosition(QStringLiteral("(한글)연습.txt")), 2);

    form = Open(1, path);
    ASSERT_EQ(Answerer.Messages.size(), 1u);
    EXPECT_EQ(Answerer.Messages[0].Text,
              QStringLiteral("기존에 연습하던 것에 이어서 하시겠습니까?"));
    EXPECT_EQ(Answerer.Messages[0].Title, QStringLiteral("확인"));
    Answerer.Messages.clear();
    EXPECT_EQ(Problems(form), QStringList{"마바"});
    Close(form);

    Answerer.Answers.push_back(QMessageBox::No);
    form = Open(1, path);
    EXPECT_EQ(Problems(form), QStringList{"가나"});
    Close(form);
    EXPECT_EQ(StoredPosition(QStringLiteral("(한글)연습.txt")), 0);

    // Coming back from the task bar is no new start: the learner's own
    // switch of the input language stays.
    form = Open(1, path);
    form->SenEx->SetTypingLang(tlEng);
    QShowEvent restored;
    QSpontaneKeyEvent::setSpontaneous(&restored);
    QApplication::instance()->notify(form, &restored); // sendEvent would drop the flag
    EXPECT_EQ(form->SenEx->TypingLang(), tlEng);
    Close(form);

    // Other texts type Latin letters.
    form = Open(1, WriteText(QStringLiteral("[영어]x.txt"), {"x"}));
    EXPECT_EQ(form->SenEx->TypingLang(), tlEng);
    Close(form);
}

TEST_F(TSentenceFormFixture, ShiftSpaceSwitchesToHangulOnlyInKoreanTexts) {
    // Korean by its content, without "[한글]": starts Latin, Shift+Space switches.
    QPointer<TSentenceForm> form =
        Open(1, WriteText(QStringLiteral("애국가.txt"), {"동해물과 백두산이"}));
    EXPECT_TRUE(form->SenEx->Composer().KoreanText());
    EXPECT_EQ(form->SenEx->TypingLang(), tlEng);
    QTest::keyClick(form->SenEx, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(form->SenEx->TypingLang(), tlNative);
    QTest::keyClicks(form->SenEx, "ehd");
    Close(form);

    // English and Japanese texts: Shift+Space is a space.
    form = Open(1, WriteText(QStringLiteral("[영어]a.txt"), {"A Bcd"}));
    EXPECT_FALSE(form->SenEx->Composer().KoreanText());
    QTest::keyClick(form->SenEx, 'A', Qt::ShiftModifier);
    QTest::keyClick(form->SenEx, Qt::Key_Space, Qt::ShiftModifier);
    QTest::keyClick(form->SenEx, 'B', Qt::ShiftModifier);
    QTest::keyClicks(form->SenEx, "c");
    EXPECT_EQ(form->SenEx->Model().Sentence(0)->typed, QStringLiteral("A Bc"));
    EXPECT_EQ(form->SenEx->TypingLang(), tlEng);
    Close(form);
    form = Open(1, WriteText(QStringLiteral("[일어]노래.txt"), {"さくら さくら"}));
    EXPECT_FALSE(form->SenEx->Composer().KoreanText());
    Close(form);
}

TEST_F(TSentenceFormFixture, TextsWithAwkwardNamesResumeWhereTheyWereLeft) {
    const QStringList lines = {"a", "b", "c", "d", "e"};
    for (const QString& name :
         {QStringLiteral("[일어]노래.txt"), QStringLiteral("#1.txt"), QStringLiteral(";1.txt"),
          QStringLiteral("a=b.txt"), QStringLiteral(" 1.txt")}) {
        const QString path = WriteText(name, lines);
        QPointer<TSentenceForm> form = Open(1, path);
        QTest::keyClick(form->SenEx, Qt::Key_PageDown);
        QTest::keyClick(form->SenEx, Qt::Key_PageDown);
        Close(form);
        form = Open(1, path);
        EXPECT_EQ(Answerer.Messages.size(), 1u) << name.toStdString();
        Answerer.Messages.clear();
        EXPECT_EQ(Problems(form), QStringList{"c"}) << name.toStdString();
        Close(form);
    }
    const TIniFile ini = OpenSettingsIni();
    EXPECT_EQ(ini.Sections(), QStringList{"FileHistory"});
}

TEST_F(TSentenceFormFixture, AResumePositionPastTheEndOfAShortenedTextIsClamped) {
    const QString path = WriteText(QStringLiteral("s.txt"), {"a", "b", "c", "d", "e", "f"});
    {
        TIniFile ini = OpenSettingsIni();
        WriteFileHistory(ini, QStringLiteral("s.txt"), 40);
        CloseSettingsIni(ini);
    }
    QPointer<TSentenceForm> form = Open(1, path);
    EXPECT_EQ(Answerer.Messages.size(), 1u);
    EXPECT_EQ(Problems(form), QStringList{"f"});
    Close(form);
}

TEST_F(TSentenceFormFixture, ATextThatCannotBeLoadedKeepsItsStoredPosition) {
    {
        TIniFile ini = OpenSettingsIni();
        WriteFileHistory(ini, QStringLiteral("gone.txt"), 7);
        CloseSettingsIni(ini);
    }
    const QString missing = Root.filePath(QStringLiteral("Text/gone.txt"));
    auto* form = new TSentenceForm(nullptr, [this] { return Now; });
    try {
        form->StartExercise(2, missing);
        ADD_FAILURE() << "a missing text was opened";
    } catch (const ERavlinError& e) {
        EXPECT_EQ(e.Message(), missing + QStringLiteral(" 파일이 존재하지 않습니다."));
    }
    delete form;
    EXPECT_EQ(StoredPosition(QStringLiteral("gone.txt")), 7);
}

TEST_F(TSentenceFormFixture, AnEmptyTextEndsAtOnce) {
    QPointer<TSentenceForm> form = Open(2, WriteText(QStringLiteral("empty.txt"), {"", "  "}));
    EXPECT_EQ(Answerer.TakeTexts(),
              QStringList{QStringLiteral("선택된 글의 끝까지 연습했습니다.")});
    EXPECT_TRUE(form->Closed());
    EXPECT_FALSE(form->isVisible());
    Close(form);
    EXPECT_TRUE(form.isNull());
}

TEST_F(TSentenceFormFixture, TheBackgroundPictureRunsOnFromTheMeterIntoThePracticeLines) {
    QPointer<TSentenceForm> form = Open(1, WriteText(QStringLiteral("b.txt"), {"x"}));
    const QImage tile = form->imgBack;
    ASSERT_EQ(form->SentenceImageList().Count(), 1); // no pictures here: the built-in one
    const QImage meter = form->SpeedMeter->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage lines = form->SenEx->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int w = tile.width(), h = tile.height();
    // Away from bars and text: the top right corner of the meter and the
    // bottom right of the practice control.
    for (int y = 0; y < 4; ++y) {
        const int x = meter.width() - 3;
        EXPECT_EQ(meter.pixel(x, y), tile.pixel(x % w, y % h));
    }
    const int mw = form->SpeedMeter->width();
    for (int x = lines.width() - 4; x < lines.width(); ++x) {
        const int y = lines.height() - 2;
        EXPECT_EQ(lines.pixel(x, y), tile.pixel((x + mw) % w, y % h)) << x;
    }
    Close(form);
}

TEST_F(TSentenceFormFixture, ARecordThundersAndErrorsInQuickSuccessionSoundOnce) {
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    TGameSoundList sounds(ProgramDir);
    ASSERT_TRUE(sounds.IsDeviceOpen());
    ASSERT_TRUE(sounds.ThunderSnd);
    ASSERT_TRUE(sounds.WrongSnd);
    struct TUse {
        explicit TUse(TGameSoundList* list) { GameSounds = list; }
        ~TUse() { GameSounds = nullptr; }
    } use(&sounds);

    SentenceSetup.UseSound = true;
    QPointer<TSentenceForm> form =
        Open(1, WriteText(QStringLiteral("s.txt"), {"abc", "def", "ghi", "jkl"}));
    Mix_HaltChannel(-1);
    TypeLine(form, "abc", 100); // a first record
    EXPECT_EQ(Mix_Playing(-1), 1);
    Mix_HaltChannel(-1);
    TypeLine(form, "def", 400); // slower: no record, no thunder
    EXPECT_EQ(Mix_Playing(-1), 0);

    // Two wrong keys before the error timer runs: one sound once it does.
    QTest::keyClick(form->SenEx, 'x');
    QTest::keyClick(form->SenEx, 'y');
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_TRUE(QTest::qWaitFor([] { return Mix_Playing(-1) > 0; }, 5000));
    EXPECT_EQ(Mix_Playing(-1), 1);
    Close(form);

    // With the sound switched off a record is silent.
    Mix_HaltChannel(-1);
    SentenceSetup.UseSound = false;
    form = Open(1, WriteText(QStringLiteral("q.txt"), {"abc"}));
    TypeLine(form, "abc", 100);
    EXPECT_EQ(Mix_Playing(-1), 0);
    Close(form);
}

// The window going away while the practice control holds the focus and a
// syllable is still being composed past the end of the last line: losing the
// focus commits the syllable, which would end the page. None of that may
// reach the window: no page change, no message, no crash.
TEST_F(TSentenceFormFixture, TheWindowGoingAwayDuringACompositionReportsNothingBack) {
    const QString path = WriteText(QStringLiteral("[한글]끝.txt"), {"가"});
    auto composePastTheEnd = [](TSentenceForm* form) {
        QApplication::setActiveWindow(form);
        form->SenEx->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), form->SenEx);
        QTest::keyClicks(form->SenEx, "rkrk"); // 가 typed, a second 가 composed
        ASSERT_EQ(form->SenEx->Model().Sentence(0)->typed, QStringLiteral("가"));
        ASSERT_TRUE(form->SenEx->Model().IsComposing());
    };

    // Closed by the learner.
    QPointer<TSentenceForm> form = Open(1, path);
    composePastTheEnd(form);
    form->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(Answerer.TakeTexts(), QStringList());
    EXPECT_EQ(StoredPosition(QStringLiteral("(한글)끝.txt")), 0);

    // Freed directly, as a new start from the setup dialog does.
    form = Open(1, path);
    composePastTheEnd(form);
    delete form.data();
    EXPECT_EQ(Answerer.TakeTexts(), QStringList());
    EXPECT_EQ(StoredPosition(QStringLiteral("(한글)끝.txt")), 0);
}

TEST_F(TSentenceFormFixture, PageAndAverageAccuracyBesideTheMeter) {
    const QString path = WriteText(QStringLiteral("acc.txt"), {"abcde", "fghij", "klmno"});
    QPointer<TSentenceForm> form = Open(1, path);
    EXPECT_EQ(form->AccuracyLabel->Caption(), QStringLiteral("정확도 -"));
    EXPECT_EQ(form->AvgAccuracyLabel->Caption(), QStringLiteral("평균 정확도 -"));
    // The badges sit above the bars, inside the meter.
    EXPECT_EQ(form->AccuracyLabel->parentWidget(), form->SpeedMeter);
    EXPECT_LE(form->AvgAccuracyLabel->geometry().bottom(), form->SpeedMeter->MarginTop());

    // One wrong letter of five; the page ends and both figures show it.
    TypeLine(form, "abxde", 200);
    EXPECT_EQ(Problems(form), QStringList{"fghij"});
    EXPECT_EQ(form->AccuracyLabel->Caption(), QStringLiteral("정확도 80.0%"));
    EXPECT_EQ(form->AvgAccuracyLabel->Caption(), QStringLiteral("평균 정확도 80.0%"));
    // A page ended early counts what is missing as wrong: 2 of 5 here, and
    // 6 of 10 over both pages.
    TypeLine(form, "fg", 200);
    EXPECT_EQ(form->AccuracyLabel->Caption(), QStringLiteral("정확도 40.0%"));
    EXPECT_EQ(form->AvgAccuracyLabel->Caption(), QStringLiteral("평균 정확도 60.0%"));

    // While a page is typed the figures follow it each second.
    QTest::keyClicks(form->SenEx, "kl");
    Now += 400;
    QTest::keyClicks(form->SenEx, "x");
    ASSERT_TRUE(form->CurrSpeedTimer->Enabled());
    for (int i = 0;
         i < 300 && !form->AccuracyLabel->Caption().startsWith(QStringLiteral("정확도 66.7")); ++i)
        QTest::qWait(10);
    EXPECT_EQ(form->AccuracyLabel->Caption(), QStringLiteral("정확도 66.7%"));
    EXPECT_EQ(form->AvgAccuracyLabel->Caption(), QStringLiteral("평균 정확도 61.5%")); // 8 of 13

    Close(form);
}

// A Japanese text is typed in kana on the kana layout the keyboard setup
// stored (hiragana when it stored another one), a Korean text in Hangul even
// when the setup last drilled kana. The waiting kana is drawn as the
// composing character, in inverse video.
TEST_F(TSentenceFormFixture, JapaneseTextsTypeKanaOnTheStoredKanaLayout) {
    {
        TKeyboardSetupRec chosen;
        chosen.languageIndex = 8;
        TIniFile ini = OpenSettingsIni();
        WriteKeyboardSetup(ini, chosen);
        CloseSettingsIni(ini);
    }
    QPointer<TSentenceForm> form =
        Open(1, WriteText(QStringLiteral("(일본어) がっこう.txt"), {"がっこうのカメラ"}));
    const TKanaInput* kana = form->SenEx->Composer().KanaInput();
    ASSERT_NE(kana, nullptr);
    EXPECT_EQ(kana->Script(), TKanaInput::ksKatakana);
    // Like every text but a Hangul one it starts in Latin input; the learner
    // switches as for Hangul.
    EXPECT_EQ(form->SenEx->TypingLang(), tlEng);
    form->SenEx->SetTypingLang(tlNative);
    QTest::keyClick(form->SenEx, Qt::Key_F6);
    QTest::keyClicks(form->SenEx, "t[Zb4k");
    QTest::keyClick(form->SenEx, Qt::Key_F7);
    QTest::keyClicks(form->SenEx, "t");
    ASSERT_TRUE(form->SenEx->Model().IsComposing());
    EXPECT_EQ(form->SenEx->Model().ComposingChar(), u'カ');

    // The composing cell after the six typed characters is filled with the
    // font colour (black on the white page).
    const TSentence& line = *form->SenEx->Model().Sentence(0);
    EXPECT_EQ(line.typed, QStringLiteral("がっこうの"));
    const QImage shot = form->SenEx->grab().toImage();
    const int h = form->SenEx->CharHeight();
    const int typedY = form->SenEx->TextOffsetY() + 2 + h + form->SenEx->LineSpace();
    const int x = 2 + form->SenEx->fontMetrics().horizontalAdvance(line.typed);
    int dark = 0;
    for (int yy = typedY; yy < typedY + h; ++yy) {
        for (int xx = x; xx < x + h / 2; ++xx)
            dark += qGray(shot.pixel(xx, yy)) < 80;
    }
    EXPECT_GT(dark, h * h / 4);
    EXPECT_EQ(line.hitCounts.left(5), QStringLiteral("\u0002\u0001\u0001\u0001\u0001"));
    Close(form);

    form = Open(1, WriteText(QStringLiteral("[한글]연습.txt"), {"가나"}));
    EXPECT_EQ(form->SenEx->Composer().KanaInput(), nullptr);
    EXPECT_EQ(form->SenEx->Composer().KeyboardId(), QStringLiteral("2"));
    Close(form);
}
