#include "typing/TypingModel.h"

#include <gtest/gtest.h>

namespace {

// A model on a hand-driven clock with counters for its three events.
struct TModelFixture {
    quint32 now = 1000;
    TTypingModel model{[this] { return now; }};
    int started = 0;
    int errors = 0;
    int ended = 0;

    TModelFixture() {
        model.OnTypingStarted = [this](TTypingModel*) { ++started; };
        model.OnTypingError = [this](TTypingModel*) { ++errors; };
        model.OnTypingEnded = [this](TTypingModel*) { ++ended; };
    }

    void Page(std::initializer_list<QString> lines) {
        model.SetSentenceCount(0);
        model.SetSentenceCount(int(lines.size()));
        int i = 0;
        for (const QString& line : lines)
            model.SetProblem(i++, line);
    }

    void Type(const QString& text) {
        for (QChar c : text)
            model.TypeChar(c);
    }

    // One syllable through the composition events, as an input method
    // reports it: each update, then the commit and the end.
    void Compose(std::initializer_list<QChar> updates, QChar commit) {
        model.CompositionStart();
        for (QChar c : updates)
            model.CompositionUpdate(c);
        model.CompositionCommit(commit);
        model.CompositionEnd();
    }

    const TSentence& Line(int i) { return *model.Sentence(i); }
};

QString Parts(QChar c) {
    QString parts;
    return TTypingModel::DecomposeJamo(c, parts) ? parts : QStringLiteral("fail");
}

} // namespace

TEST(Sentence, HitCountsFollowTheTypedText) {
    TSentence s;
    EXPECT_EQ(s.problem, QStringLiteral("우리나라 대한민국 테스트중.."));
    s.AppendChar(u'a', 1);
    s.AppendChar(u'b', 3);
    s.AppendChar(u'c', 2);
    EXPECT_EQ(s.GetTotalHitCount(), 6);
    s.BackSpace();
    EXPECT_EQ(s.typed, QStringLiteral("ab"));
    EXPECT_EQ(s.GetTotalHitCount(), 4);
    // Stale counts beyond the typed text never leak into a new character.
    s.hitCounts.append(QChar(char16_t(9)));
    s.AppendChar(u'd', 1);
    EXPECT_EQ(s.hitCounts.size(), 3);
    EXPECT_EQ(s.GetTotalHitCount(), 5);
    s.typed.clear();
    s.BackSpace();
    EXPECT_EQ(s.GetTotalHitCount(), 0);
}

TEST(TypingModel, SpeedAndAccuracyOfPlainTyping) {
    TModelFixture f;
    f.Page({QStringLiteral("abcdefghijklmnop")});
    f.Type(QStringLiteral("abcdefghijklmno"));
    EXPECT_EQ(f.started, 1);
    EXPECT_EQ(f.model.StartTick(), 1000u);
    f.now += 1024;
    f.Type(QStringLiteral("p"));
    EXPECT_EQ(f.ended, 0);
    f.Type(QStringLiteral(" ")); // past the end of the only line: the page ends
    ASSERT_EQ(f.ended, 1);
    qint64 problemLen, typedLen, hits, right;
    EXPECT_FLOAT_EQ(f.model.GetTypingAccuracy(problemLen, typedLen, hits, right, false), 1.0f);
    EXPECT_EQ(hits, 16);
    EXPECT_EQ(f.model.GetElapsedTime(), 1024u);
    EXPECT_EQ(f.model.GetTypingSpeed(false), 937); // trunc(937.5)
    // Totals of the ended page, and the average over it.
    EXPECT_EQ(f.model.TotalHitCount(), 16);
    EXPECT_EQ(f.model.TotalElapsedTime(), 1024);
    EXPECT_EQ(f.model.TotalProblemLen(), 16);
    EXPECT_EQ(f.model.GetAvgTypingSpeed(false), 937);
}

TEST(TypingModel, WrongCharacterLowersAccuracyAndSpeed) {
    TModelFixture f;
    f.Page({QStringLiteral("abcd")});
    f.Type(QStringLiteral("ab"));
    EXPECT_EQ(f.errors, 0);
    f.Type(QStringLiteral("x"));
    EXPECT_EQ(f.errors, 1);
    f.now += 2048;
    f.Type(QStringLiteral("d"));
    EXPECT_EQ(f.errors, 1);
    // While the page runs only the typed characters are judged.
    EXPECT_FLOAT_EQ(f.model.GetOnlyTypingAccuracy(true), 0.75f);
    EXPECT_EQ(f.model.GetTypingSpeed(true), 87);
    f.Type(QStringLiteral("\r"));
    ASSERT_EQ(f.ended, 1);
    qint64 problemLen, typedLen, hits, right;
    EXPECT_FLOAT_EQ(f.model.GetTypingAccuracy(problemLen, typedLen, hits, right, false), 0.75f);
    EXPECT_EQ(problemLen, 4);
    EXPECT_EQ(typedLen, 4);
    EXPECT_EQ(hits, 4);
    EXPECT_EQ(right, 3);
    EXPECT_EQ(f.model.GetTypingSpeed(false), 87); // trunc(87.890625)
}

TEST(TypingModel, EnterEndsTheLineAndUntypedCharactersCountAsWrong) {
    TModelFixture f;
    f.Page({QStringLiteral("abcd")});
    f.Type(QStringLiteral("ab\r"));
    ASSERT_EQ(f.ended, 1);
    EXPECT_FLOAT_EQ(f.model.GetOnlyTypingAccuracy(false), 0.5f);
    // An omitted character shifts and spoils the rest of the line.
    TModelFixture g;
    g.Page({QStringLiteral("abcd")});
    g.Type(QStringLiteral("acd\r"));
    EXPECT_FLOAT_EQ(g.model.GetOnlyTypingAccuracy(false), 0.25f);
}

TEST(TypingModel, AverageSpeedSpansPagesAndTheRunningOne) {
    TModelFixture f;
    f.Page({QStringLiteral("ab")});
    f.Type(QStringLiteral("a"));
    f.now += 1000;
    f.Type(QStringLiteral("b\r")); // 2 hits in 1000 ms, all right
    ASSERT_EQ(f.ended, 1);
    f.model.SetProblem(0, QStringLiteral("cd"));
    EXPECT_FALSE(f.model.TypingStarted());
    f.Type(QStringLiteral("x"));
    EXPECT_EQ(f.started, 2);
    f.now += 1000;
    // Totals: 2 hits, 2 right of 2, 1000 ms; running: 1 hit, 0 right of 1 typed, 1000 ms.
    EXPECT_EQ(f.model.GetAvgTypingSpeed(true), 60); // trunc(3 / 2000 * 60000 * 2 / 3)
    EXPECT_EQ(f.model.GetAvgTypingSpeed(false), 120);
    // The accuracy behind those figures: 2 right of 3, and 2 of 2.
    EXPECT_FLOAT_EQ(f.model.GetAvgTypingAccuracy(true), 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(f.model.GetAvgTypingAccuracy(false), 1.0f);
    // An ended page counts its untyped characters as wrong.
    f.Type(QStringLiteral("\r"));
    ASSERT_EQ(f.ended, 2);
    EXPECT_FLOAT_EQ(f.model.GetAvgTypingAccuracy(false), 0.5f); // 2 right of 4
    // Nothing measured yet gives 0, not a division by zero.
    TModelFixture g;
    EXPECT_EQ(g.model.GetAvgTypingAccuracy(true), 0.0f);
    EXPECT_EQ(g.model.GetAvgTypingSpeed(false), 0);
    EXPECT_EQ(g.model.GetTypingSpeed(false), 0);
}

TEST(TypingModel, ClockWrapAroundKeepsElapsedTime) {
    TModelFixture f;
    f.now = 0xFFFFFF00u;
    f.Page({QStringLiteral("ab")});
    f.Type(QStringLiteral("a"));
    f.now += 0x200; // wraps past zero
    f.Type(QStringLiteral("b\r"));
    EXPECT_EQ(f.model.GetElapsedTime(), 0x200u);
    EXPECT_EQ(f.model.GetTypingSpeed(false), 234); // trunc(2 / 512 * 60000)
}

TEST(TypingModel, SetProblemNormalizesSpacesAndRestartsThePage) {
    TModelFixture f;
    f.Page({QStringLiteral("one"), QStringLiteral("two")});
    f.model.SetProblem(1, QStringLiteral("  a   b  "));
    EXPECT_EQ(f.Line(1).problem, QStringLiteral("a b"));
    f.model.SetProblem(1, QStringLiteral("\t\r\na\tb  \x01"));
    EXPECT_EQ(f.Line(1).problem, QStringLiteral("a\tb"));
    // A line loaded anew loses its typed text; the first line becomes current.
    f.Type(QStringLiteral("one two"));
    EXPECT_EQ(f.model.CurrSentenceIndex(), 1);
    f.model.SetProblem(1, QStringLiteral("x"));
    EXPECT_TRUE(f.Line(1).typed.isEmpty());
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("one"));
    EXPECT_EQ(f.model.CurrSentenceIndex(), 0);
    EXPECT_FALSE(f.model.TypingStarted());
    // An index outside the page loads nothing but still restarts.
    f.model.SetProblem(5, QStringLiteral("zzz"));
    EXPECT_EQ(f.Line(0).problem, QStringLiteral("one"));
}

TEST(TypingModel, LineEndsSpacesAndBackspace) {
    TModelFixture f;
    f.Page({QStringLiteral("ab"), QStringLiteral("cd"), QStringLiteral("ef")});
    // A space past the end only moves on.
    f.Type(QStringLiteral("ab "));
    EXPECT_EQ(f.model.CurrSentenceIndex(), 1);
    EXPECT_TRUE(f.Line(1).typed.isEmpty());
    // A letter past the end is the first character of the next line.
    f.Type(QStringLiteral("cdX"));
    EXPECT_EQ(f.model.CurrSentenceIndex(), 2);
    EXPECT_EQ(f.Line(2).typed, QStringLiteral("X"));
    EXPECT_EQ(f.errors, 1);
    // Backspace deletes, then at the start of a line goes back without deleting.
    f.Type(QStringLiteral("\b"));
    EXPECT_TRUE(f.Line(2).typed.isEmpty());
    f.Type(QStringLiteral("\b"));
    EXPECT_EQ(f.model.CurrSentenceIndex(), 1);
    EXPECT_EQ(f.Line(1).typed, QStringLiteral("cd"));
    f.Type(QStringLiteral("\b"));
    EXPECT_EQ(f.Line(1).typed, QStringLiteral("c"));
    // Backspace on an empty first line does nothing.
    f.Type(QStringLiteral("\b\b\b\b\b\b"));
    EXPECT_EQ(f.model.CurrSentenceIndex(), 0);
    EXPECT_TRUE(f.Line(0).typed.isEmpty());
    // Escape is ignored entirely and does not start the clock.
    TModelFixture g;
    g.model.TypeChar(QChar(0x1B));
    EXPECT_EQ(g.started, 0);
    EXPECT_TRUE(g.Line(0).typed.isEmpty());
}

TEST(TypingModel, EmptyLinesAreSkipped) {
    TModelFixture f;
    f.Page({QStringLiteral("a"), QString(), QStringLiteral("b"), QString()});
    f.Type(QStringLiteral("a\r"));
    EXPECT_EQ(f.model.CurrSentenceIndex(), 2);
    // An empty last line ends the page.
    f.Type(QStringLiteral("b "));
    EXPECT_EQ(f.ended, 1);
    EXPECT_EQ(f.model.CurrSentenceIndex(), 3);
}

TEST(TypingModel, CharacterArrivingWithThePageEndGoesToTheNextPage) {
    TModelFixture f;
    f.Page({QStringLiteral("ab")});
    f.model.OnTypingEnded = [&f](TTypingModel*) {
        ++f.ended;
        f.model.SetProblem(0, QStringLiteral("cd"));
    };
    f.Type(QStringLiteral("abc"));
    EXPECT_EQ(f.ended, 1);
    EXPECT_EQ(f.Line(0).problem, QStringLiteral("cd"));
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("c"));
    // A handler that empties the page leaves the character nowhere, safely.
    f.model.OnTypingEnded = [&f](TTypingModel*) { f.model.SetSentenceCount(0); };
    f.Type(QStringLiteral("dz"));
    EXPECT_EQ(f.model.SentenceCount(), 0);
    EXPECT_FALSE(f.model.TypeChar(u'q'));
}

TEST(TypingModel, WithoutLinesEventsAreNotHandled) {
    TModelFixture f;
    f.model.SetSentenceCount(0);
    EXPECT_EQ(f.model.CurrSentence(), nullptr);
    EXPECT_FALSE(f.model.TypeChar(u'a'));
    EXPECT_FALSE(f.model.CompositionStart());
    EXPECT_FALSE(f.model.CompositionUpdate(u'가'));
    EXPECT_FALSE(f.model.CompositionCommit(u'가'));
    EXPECT_FALSE(f.model.CompositionEnd());
    f.model.NextSentence();
    f.model.PrevSentence();
    f.model.CheckTypingError(false);
    EXPECT_EQ(f.started + f.ended + f.errors, 0);
    // Negative counts are ignored; the same count keeps the typed text.
    f.model.SetSentenceCount(-1);
    EXPECT_EQ(f.model.SentenceCount(), 0);
    f.model.SetSentenceCount(2);
    f.Type(QStringLiteral("u"));
    f.model.SetSentenceCount(2);
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("u"));
    f.model.SetSentenceCount(3);
    EXPECT_TRUE(f.Line(0).typed.isEmpty());
    EXPECT_EQ(f.Line(0).problem, TSentence().problem);
}

TEST(TypingModel, CompositionKeystrokeCounts) {
    TModelFixture f;
    f.Page({QStringLiteral("한 글 나 가 닭")});
    // ㅎ ㅏ ㄴ, space, ㄱ ㅡ ㄹ: 3 + 1 + 3.
    f.Compose({u'ㅎ', u'하', u'한'}, u'한');
    f.Type(QStringLiteral(" "));
    f.Compose({u'ㄱ', u'그', u'글'}, u'글');
    EXPECT_EQ(f.Line(0).GetTotalHitCount(), 7);
    EXPECT_EQ(f.Line(0).hitCounts.left(3), QStringLiteral(u"\u0003\u0001\u0003"));
    // A composition that starts with a whole syllable (consonant carried over).
    f.Type(QStringLiteral(" "));
    f.Compose({u'나'}, u'나');
    EXPECT_EQ(f.Line(0).hitCounts[4].unicode(), 2);
    // ㄱ, 가, 각, Backspace inside the composition back to 가: 2.
    f.Type(QStringLiteral(" "));
    f.Compose({u'ㄱ', u'가', u'각', u'가'}, u'가');
    EXPECT_EQ(f.Line(0).hitCounts[6].unicode(), 2);
    // ㄷ ㅏ ㄹ ㄱ builds 닭 in four steps.
    f.Type(QStringLiteral(" "));
    f.Compose({u'ㄷ', u'다', u'달', u'닭'}, u'닭');
    EXPECT_EQ(f.Line(0).hitCounts[8].unicode(), 4);
    // Jamo taken back never bring the count below zero.
    f.model.CompositionStart();
    f.model.CompositionUpdate(u'나');
    f.model.CompositionUpdate(u'ㄴ');
    f.model.CompositionUpdate(u'ㄱ');
    EXPECT_EQ(f.model.CurrCharHitCount(), 0);
    f.model.CompositionUpdate(QChar());
    EXPECT_EQ(f.model.CurrCharHitCount(), 0);
    f.model.CompositionEnd();
    EXPECT_EQ(f.errors, 0);
}

TEST(TypingModel, CommitPastTheLineEndStartsTheNextLine) {
    TModelFixture f;
    f.Page({QStringLiteral("가"), QStringLiteral("나다")});
    f.Compose({u'ㄱ', u'가'}, u'가');
    f.Compose({u'ㄴ', u'나'}, u'나');
    EXPECT_EQ(f.model.CurrSentenceIndex(), 1);
    EXPECT_EQ(f.Line(1).typed, QStringLiteral("나"));
    EXPECT_EQ(f.Line(1).GetTotalHitCount(), 2);
}

TEST(TypingModel, DecomposeJamo) {
    EXPECT_EQ(Parts(u'각'), QStringLiteral("ㄱㅏ.ㄱ."));
    EXPECT_EQ(Parts(u'과'), QStringLiteral("ㄱㅗㅏ.."));
    EXPECT_EQ(Parts(u'닭'), QStringLiteral("ㄷㅏ.ㄹㄱ"));
    EXPECT_EQ(Parts(u'힣'), QStringLiteral("ㅎㅣ.ㅎ."));
    EXPECT_EQ(Parts(u'ㅘ'), QStringLiteral(".ㅗㅏ.."));
    EXPECT_EQ(Parts(u'ㄳ'), QStringLiteral("...ㄱㅅ"));
    EXPECT_EQ(Parts(u'ㄱ'), QStringLiteral("ㄱ...."));
    EXPECT_EQ(Parts(u'ㅢ'), QStringLiteral(".ㅡㅣ.."));
    EXPECT_EQ(Parts(u'A'), QStringLiteral("fail"));
    EXPECT_EQ(Parts(QChar()), QStringLiteral("fail"));
    EXPECT_EQ(Parts(u'漢'), QStringLiteral("fail"));
    EXPECT_EQ(Parts(u'.'), QStringLiteral("fail"));
}

TEST(TypingModel, ComposingCharacterIsJudgedWhileComposing) {
    TModelFixture f;
    f.Page({QStringLiteral("각고")});
    f.model.SetCheckComposingChar(true);
    QString parts;
    f.model.CompositionStart();
    f.model.CompositionUpdate(u'ㄱ');
    f.model.CompositionUpdate(u'가');
    EXPECT_TRUE(f.model.ComposingCharMatches(f.Line(0), parts));
    EXPECT_EQ(f.errors, 0);
    f.model.CompositionUpdate(u'간'); // leads away from 각: reported at once
    EXPECT_FALSE(f.model.ComposingCharMatches(f.Line(0), parts));
    EXPECT_EQ(parts, QStringLiteral("ㄱㅏ.ㄴ"));
    EXPECT_EQ(f.errors, 1);
    f.model.CompositionUpdate(u'가'); // taken back: not reported
    f.model.CompositionUpdate(u'각');
    f.model.CompositionCommit(u'각');
    f.model.CompositionEnd();
    EXPECT_EQ(f.errors, 1);
    // 과 is accepted against 고 while composing and caught when committed.
    f.model.CompositionStart();
    f.model.CompositionUpdate(u'ㄱ');
    f.model.CompositionUpdate(u'고');
    f.model.CompositionUpdate(u'과');
    EXPECT_EQ(f.errors, 1);
    f.model.CompositionCommit(u'과');
    f.model.CompositionEnd();
    EXPECT_EQ(f.errors, 2);
    // Outside a composition, or with the check off, everything matches.
    EXPECT_TRUE(f.model.ComposingCharMatches(f.Line(0), parts));
}

TEST(TypingModel, WithoutTheComposingCheckAWrongJamoWaitsForTheCommit) {
    TModelFixture f;
    f.Page({QStringLiteral("각")});
    f.model.CompositionStart();
    f.model.CompositionUpdate(u'ㄴ');
    f.model.CompositionUpdate(u'나');
    EXPECT_EQ(f.errors, 0);
    f.model.CompositionCommit(u'나');
    EXPECT_EQ(f.errors, 1);
}

TEST(TypingModel, ComposingPastTheEndOrTowardsANonHangulCharacter) {
    TModelFixture f;
    f.Page({QStringLiteral("a가")});
    f.model.SetCheckComposingChar(true);
    // Aimed at a Latin letter: judged only when committed.
    f.model.CompositionStart();
    f.model.CompositionUpdate(u'ㄱ');
    EXPECT_EQ(f.errors, 0);
    f.model.CompositionCommit(u'ㄱ');
    f.model.CompositionEnd();
    EXPECT_EQ(f.errors, 1);
    // Past the end of the problem nothing can match.
    f.Type(QStringLiteral("\b"));
    f.Type(QStringLiteral("a가"));
    f.model.CompositionStart();
    f.model.CompositionUpdate(u'ㄱ');
    QString parts = QStringLiteral("x");
    EXPECT_FALSE(f.model.ComposingCharMatches(f.Line(0), parts));
    EXPECT_TRUE(parts.isEmpty());
    EXPECT_EQ(f.errors, 1);
}
