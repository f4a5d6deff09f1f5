#include "typing/SentencePractice.h"

#include "ImageTestSupport.h"
#include "platform/InputModeBadge.h"

#include <gtest/gtest.h>
#include <QBackingStore>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QPainter>
#include <QTest>

namespace {

bool IsRed(QRgb p) {
    return qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90;
}
bool IsDark(QRgb p) {
    return qRed(p) < 90 && qGreen(p) < 90 && qBlue(p) < 90;
}
bool IsWhite(QRgb p) {
    return qRed(p) > 245 && qGreen(p) > 245 && qBlue(p) > 245;
}

// Topmost row of `rect` holding a dark pixel, -1 when none.
int InkTop(const QImage& image, const QRect& rect) {
    const QRect ink = PixelBounds(image, rect, IsDark);
    return ink.isValid() ? ink.top() : -1;
}

// A control as the practice screen sets it up: white, black text, red marks,
// a fixed-pitch Korean font, on a hand-driven clock.
struct TControlFixture {
    quint32 now = 5000;
    TSentencePractice control{nullptr, [this] { return now; }};
    int started = 0, errors = 0, ended = 0;

    TControlFixture() {
        QFont font(QStringLiteral("굴림체"));
        font.setPixelSize(20);
        control.setFont(font);
        control.SetColor(clWhite);
        control.SetFontColor(clBlack);
        control.resize(700, 260);
        control.OnTypingStarted = [this](TSentencePractice*) { ++started; };
        control.OnTypingError = [this](TSentencePractice*) { ++errors; };
        control.OnTypingEnded = [this](TSentencePractice*) { ++ended; };
    }

    void Page(const QString& line0, const QString& line1) {
        control.SetProblem(0, line0);
        control.SetProblem(1, line1);
    }

    QImage Grab() { return control.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    const TSentence& Line(int i) { return *control.Model().Sentence(i); }
};

} // namespace

TEST(SentencePractice, LineLayoutFollowsTheFontAndSpacing) {
    TSentencePractice control;
    EXPECT_EQ(control.SentenceCount(), 2);
    // Line layout: lines 2 H + LineSpace + SentenceSpace apart, typed line
    // H + LineSpace under its problem line.
    const int h = control.CharHeight();
    ASSERT_GT(h, 0);
    EXPECT_EQ(control.ProblemLineTop(0), 2);
    EXPECT_EQ(control.ProblemLineTop(1), 2 + 2 * h + 30);
    EXPECT_EQ(control.TypedLineTop(1), control.ProblemLineTop(1) + h + 5);
    control.SetTextOffsetY(20);
    control.SetLineSpace(7);
    control.SetSentenceSpace(35);
    EXPECT_EQ(control.ProblemLineTop(1), 22 + 2 * h + 42);
    EXPECT_EQ(control.TypedLineTop(1), control.ProblemLineTop(1) + h + 7);
    // A new font changes the measures at once.
    QFont big = control.font();
    big.setPixelSize(48);
    control.setFont(big);
    EXPECT_GT(control.CharHeight(), h);
    EXPECT_EQ(control.TypedLineTop(0), 22 + control.CharHeight() + 7);
}

TEST(SentencePractice, WrongLetterIsTypedAndPaintedRed) {
    TControlFixture f;
    f.Page(QStringLiteral("abcd"), QStringLiteral("efgh"));
    QTest::keyClicks(&f.control, "abxd");
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("abxd"));
    EXPECT_EQ(f.Line(0).GetTotalHitCount(), 4);
    EXPECT_EQ(f.started, 1);
    EXPECT_EQ(f.errors, 1);
    EXPECT_TRUE(f.control.TypingStarted());

    const QImage image = f.Grab();
    const QRect wrongCell = f.control.TypedCharRect(0, 2);
    const QRect rightCell = f.control.TypedCharRect(0, 1);
    EXPECT_GT(CountPixels(image, wrongCell, IsRed), 5);
    EXPECT_EQ(CountPixels(image, wrongCell, IsDark), 0);
    EXPECT_GT(CountPixels(image, rightCell, IsDark), 5);
    EXPECT_EQ(CountPixels(image, rightCell, IsRed), 0);

    // In another wrong-mark colour.
    f.control.SetWrongMarkColor(RGBColor(0, 0, 255));
    const QImage blue = f.Grab();
    EXPECT_EQ(CountPixels(blue, wrongCell, IsRed), 0);
    EXPECT_GT(CountPixels(blue, wrongCell, [](QRgb p) { return qBlue(p) > 180 && qRed(p) < 90; }),
              5);
}

TEST(SentencePractice, WrongSpaceGetsABracket) {
    TControlFixture f;
    f.Page(QStringLiteral("abcd"), QStringLiteral("efgh"));
    QTest::keyClicks(&f.control, "a b");
    EXPECT_EQ(f.errors, 2); // the space, and then b in c's place
    const QImage image = f.Grab();
    const QRect cell = f.control.TypedCharRect(0, 1);
    const int l = cell.left(), r = cell.left() + cell.width(), b = cell.top() + cell.height();
    // Bottom bar and both legs.
    EXPECT_TRUE(IsRed(image.pixel(l + 3, b - 3)));
    EXPECT_TRUE(IsRed(image.pixel((l + r) / 2, b - 4)));
    EXPECT_TRUE(IsRed(image.pixel(l + 2, b - 8)));
    EXPECT_TRUE(IsRed(image.pixel(r - 2, b - 8)));
    // Nothing red above the legs: the space itself shows nothing.
    EXPECT_EQ(CountPixels(image, QRect(l, cell.top(), r - l, cell.height() - 12), IsRed), 0);
    // A right space has no bracket.
    TControlFixture g;
    g.Page(QStringLiteral("a b"), QStringLiteral("c"));
    QTest::keyClicks(&g.control, "a ");
    EXPECT_EQ(CountPixels(g.Grab(), g.control.TypedCharRect(0, 1), IsRed), 0);
}

TEST(SentencePractice, ProblemLineStepsUpWhereTheNextCharacterIsDue) {
    TControlFixture f;
    f.control.SetShiftXOfTypedProblem(0);
    f.control.SetShiftYOfTypedProblem(12);
    f.control.SetTextOffsetY(20);
    f.Page(QStringLiteral("HHHHHH"), QStringLiteral("x"));
    QTest::keyClicks(&f.control, "HHH");
    const QImage image = f.Grab();
    const int w = f.control.TypedCharRect(0, 1).left() - f.control.TypedCharRect(0, 0).left();
    const int top = f.control.ProblemLineTop(0);
    const int h = f.control.CharHeight();
    const QRect typedOver(2, top - 14, 3 * w - 1, h + 14);
    const QRect rest(2 + 3 * w + 1, top - 14, 3 * w - 2, h + 14);
    const int typedOverTop = InkTop(image, typedOver);
    ASSERT_GE(typedOverTop, top);
    EXPECT_EQ(InkTop(image, rest), typedOverTop - 12);
    // With the offset switched off the whole line sits on its base line.
    f.control.SetShiftTypedProblem(false);
    const QImage flat = f.Grab();
    EXPECT_EQ(InkTop(flat, rest), InkTop(flat, typedOver));
}

TEST(SentencePractice, HangulTypedThroughTheBuiltInComposer) {
    TControlFixture f;
    f.Page(QStringLiteral("한 글"), QStringLiteral("닭"));
    f.control.SetTypingLang(tlNative);
    QTest::keyClicks(&f.control, "gks rmf");
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("한 "));
    EXPECT_TRUE(f.control.Model().IsComposing());
    EXPECT_EQ(f.control.Model().ComposingChar(), u'글');
    // The space past the end commits 글 and moves to the next line.
    QTest::keyClicks(&f.control, " ");
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("한 글"));
    EXPECT_EQ(f.Line(0).GetTotalHitCount(), 7);
    EXPECT_EQ(f.control.Model().CurrSentenceIndex(), 1);
    // 닭 costs four keystrokes; Enter commits it and ends the page.
    f.now += 3000;
    QTest::keyClicks(&f.control, "ekfr");
    QTest::keyClick(&f.control, Qt::Key_Return);
    EXPECT_EQ(f.Line(1).typed, QStringLiteral("닭"));
    EXPECT_EQ(f.Line(1).GetTotalHitCount(), 4);
    EXPECT_EQ(f.ended, 1);
    EXPECT_EQ(f.errors, 0);
    EXPECT_EQ(f.control.ElapsedTime(), 3000u);
    EXPECT_EQ(f.control.GetTypingSpeed(false), 220); // 11 keystrokes in 3 s
}

TEST(SentencePractice, AltGrAndShiftSpaceKeepAnEnglishLineLatin) {
    TControlFixture f;
    f.Page(QStringLiteral("a@bc A Bcd"), QStringLiteral("x"));
    // A German desktop layout as the X server reports it: AltGr on the right
    // Alt key (keycode 108, ISO_Level3_Shift), AltGr+Q giving "@".
    auto press = [&](int key, quint32 keycode, quint32 keysym, Qt::KeyboardModifiers modifiers,
                     const QString& text) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, keycode, keysym, 0, text);
        QCoreApplication::sendEvent(&f.control, &event);
    };
    press(Qt::Key_A, 38, 'a', Qt::NoModifier, "a");
    press(Qt::Key_AltGr, 108, 0xfe03, Qt::NoModifier, {});
    press(Qt::Key_At, 24, '@', Qt::GroupSwitchModifier, "@");
    press(Qt::Key_B, 56, 'b', Qt::NoModifier, "b");
    press(Qt::Key_C, 54, 'c', Qt::NoModifier, "c");
    press(Qt::Key_Space, 65, ' ', Qt::NoModifier, " ");
    // Shift held over the space.
    press(Qt::Key_A, 38, 'A', Qt::ShiftModifier, "A");
    press(Qt::Key_Space, 65, ' ', Qt::ShiftModifier, " ");
    press(Qt::Key_B, 56, 'B', Qt::ShiftModifier, "B");
    press(Qt::Key_C, 54, 'c', Qt::NoModifier, "c");
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("a@bc A Bc"));
    EXPECT_EQ(f.control.TypingLang(), tlEng);
    EXPECT_EQ(f.errors, 0);
}

namespace {

// Input-method events of a desktop method: "P:x" a pre-edit (P: alone an
// empty one), "C:x" a commit alone, "CP:x:y" commit x with pre-edit y, "K:x"
// a key press the method let through.
void Replay(TSentencePractice& control, const QStringList& events) {
    for (const QString& e : events) {
        const QStringList part = e.split(u':');
        if (part[0] == u"K") {
            const QChar c = part[1].isEmpty() ? QChar(u' ') : part[1][0];
            QTest::keyClick(&control, c.toLatin1());
            continue;
        }
        QInputMethodEvent event(part[0] == u"P"    ? part[1]
                                : part[0] == u"CP" ? part[2]
                                                   : QString(),
                                {});
        if (part[0] != u"P")
            event.setCommitString(part[1]);
        QCoreApplication::sendEvent(&control, &event);
    }
}

QString Counts(const TSentence& line) {
    QStringList counts;
    for (QChar c : line.hitCounts)
        counts << QString::number(c.unicode());
    return counts.join(u' ');
}

} // namespace

TEST(SentencePractice, DesktopInputMethodsCountTheKeysThatComposedEachSyllable) {
    // Dubeolsik g k s r m f, space, g k s r m f as each method reports them.
    const QStringList ibus = {"P:ㅎ", "P:하", "P:한", "P:",   "C:한", "P:ㄱ", "P:그",
                              "P:글", "P:",   "C:글", "K: ",  "P:ㅎ", "P:하", "P:한",
                              "P:",   "C:한", "P:ㄱ", "P:그", "P:글", "P:",   "C:글"};
    const QStringList fcitx = {"P:ㅎ", "P:하", "P:한", "CP:한:ㄱ", "P:그", "P:글", "C:글", "K: ",
                               "P:ㅎ", "P:하", "P:한", "CP:한:ㄱ", "P:그", "P:글", "C:글"};
    for (const QStringList& events : {ibus, fcitx}) {
        TControlFixture f;
        f.Page(QStringLiteral("한글 한글"), QStringLiteral("x"));
        Replay(f.control, events);
        EXPECT_EQ(f.Line(0).typed, QStringLiteral("한글 한글"));
        EXPECT_EQ(Counts(f.Line(0)), QStringLiteral("3 3 1 3 3"))
            << events.join(u' ').toStdString();
        EXPECT_EQ(f.errors, 0);
    }
    // 하나 닭: a final consonant moving on, and a double final, in the ibus order.
    TControlFixture f;
    f.Page(QStringLiteral("하나 닭"), QStringLiteral("x"));
    Replay(f.control, {"P:ㅎ", "P:하", "P:한", "P:", "C:하", "P:나", "P:", "C:나", "K: ", "P:ㄷ",
                       "P:다", "P:달", "P:닭", "P:", "C:닭"});
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("하나 닭"));
    EXPECT_EQ(Counts(f.Line(0)), QStringLiteral("2 2 1 4"));
}

TEST(SentencePractice, ComposingSyllableInInverseVideo) {
    TControlFixture f;
    f.Page(QStringLiteral("각"), QStringLiteral("x"));
    f.control.SetCheckComposingChar(true);
    f.control.SetTypingLang(tlNative);
    QTest::keyClicks(&f.control, "rk"); // 가 can still become 각
    const QRect cell(
        f.control.TypedCharRect(0, 0).topLeft(),
        QSize(QFontMetrics(f.control.font()).horizontalAdvance(u'가'), f.control.CharHeight()));
    QImage image = f.Grab();
    const int area = cell.width() * cell.height();
    EXPECT_GT(CountPixels(image, cell, IsDark), area / 3);
    EXPECT_GT(CountPixels(image, cell, IsWhite), 5); // the syllable in the background colour
    EXPECT_EQ(CountPixels(image, cell, IsRed), 0);
    QTest::keyClicks(&f.control, "s"); // 간 cannot
    image = f.Grab();
    EXPECT_GT(CountPixels(image, cell, IsRed), area / 3);
    EXPECT_GT(CountPixels(image, cell, IsWhite), 5);
    EXPECT_EQ(f.errors, 1);
    // Taken back to 가 it is fine again.
    QTest::keyClick(&f.control, Qt::Key_Backspace);
    image = f.Grab();
    EXPECT_EQ(CountPixels(image, cell, IsRed), 0);
    EXPECT_EQ(f.errors, 1);
}

TEST(SentencePractice, F2PutsTheKeystrokeCountsOnTheClipboard) {
    TControlFixture f;
    f.Page(QStringLiteral("ab가"), QStringLiteral("x"));
    QTest::keyClicks(&f.control, "ab");
    QTest::keyClick(&f.control, Qt::Key_F2);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a(1) b(1) "));
    f.control.SetTypingLang(tlNative);
    QTest::keyClicks(&f.control, "rk");
    f.control.Composer().Commit();
    EXPECT_EQ(f.control.HitCountReport(), QStringLiteral("a(1) b(1) 가(2) "));
}

TEST(SentencePractice, SentenceCountKeepsOrDiscardsTheLines) {
    TControlFixture f;
    f.Page(QStringLiteral("ab"), QStringLiteral("cd"));
    QTest::keyClicks(&f.control, "a");
    f.control.SetSentenceCount(2);
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("a"));
    f.control.SetSentenceCount(3);
    EXPECT_EQ(f.control.SentenceCount(), 3);
    EXPECT_TRUE(f.Line(0).typed.isEmpty());
    EXPECT_EQ(f.Line(0).problem, TSentence().problem);
    // Without lines keys are left to the window.
    f.control.SetSentenceCount(0);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    key.setAccepted(true);
    QCoreApplication::sendEvent(&f.control, &key);
    EXPECT_FALSE(key.isAccepted());
    EXPECT_EQ(f.started, 1);
    f.Grab(); // paints an empty page
}

TEST(SentencePractice, ReadOnlyIgnoresTypingAndHidesTheCaret) {
    TControlFixture f;
    f.Page(QStringLiteral("ab"), QStringLiteral("cd"));
    // Focus arrives as the event alone: no window manager needed.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&f.control, &focusIn);
    // The bolt is drawn at the typing position, whichever blink phase.
    const QRect caret(f.control.TypedCharRect(0, 0).topLeft(),
                      QSize(f.control.CharHeight(), f.control.CharHeight()));
    EXPECT_GT(CountPixels(f.Grab(), caret, [](QRgb p) { return !IsWhite(p); }), 10);

    f.control.SetReadOnly(true);
    EXPECT_EQ(CountPixels(f.Grab(), caret, [](QRgb p) { return !IsWhite(p); }), 0);
    QCoreApplication::sendEvent(&f.control, &focusIn); // swallowed: still no caret
    EXPECT_EQ(CountPixels(f.Grab(), caret, [](QRgb p) { return !IsWhite(p); }), 0);
    QTest::keyClicks(&f.control, "ab");
    f.control.SetTypingLang(tlNative);
    QTest::keyClicks(&f.control, "rk ");
    EXPECT_TRUE(f.Line(0).typed.isEmpty());
    EXPECT_EQ(f.started, 0);
    // Escape is left to the window.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    f.control.SetReadOnly(false);
    QCoreApplication::sendEvent(&f.control, &escape);
    EXPECT_FALSE(escape.isAccepted());
    EXPECT_EQ(f.started, 0);
}

TEST(SentencePractice, BackgroundEraseCanBeDelegated) {
    TControlFixture f;
    int calls = 0;
    f.control.OnDrawBackGround = [&calls](TSentencePractice*, QPainter& canvas, const QRect& r) {
        ++calls;
        canvas.fillRect(r, Qt::green);
    };
    const QImage image = f.Grab();
    EXPECT_GT(calls, 0);
    EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), qRgb(0, 255, 0));
}

// What typing paints through partial updates must equal a full repaint: the
// invalidated regions cover every change.
TEST(SentencePractice, PartialRepaintsMatchAFullRepaint) {
    TControlFixture f;
    f.control.setFocusPolicy(Qt::NoFocus); // no blinking caret during the comparison
    f.control.SetCheckComposingChar(true);
    f.control.SetShiftYOfTypedProblem(12);
    f.control.SetShiftXOfTypedProblem(6);
    f.Page(QStringLiteral("The 빠른 fox 닭"), QStringLiteral("jumps 위로"));
    f.control.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.control));
    QImage* store = dynamic_cast<QImage*>(f.control.backingStore()->paintDevice());
    if (!store)
        GTEST_SKIP() << "the platform's backing store is not an image";

    auto screen = [&] {
        QCoreApplication::processEvents();
        return store->copy(QRect(QPoint(0, 0), f.control.size()));
    };
    auto check = [&](const char* step) {
        const QImage partial = screen();
        f.control.repaint();
        const QImage full = screen();
        EXPECT_TRUE(partial == full) << step;
    };

    QTest::keyClicks(&f.control, "Th ");
    check("wrong space");
    QTest::keyClick(&f.control, Qt::Key_Backspace);
    check("backspace");
    QTest::keyClicks(&f.control, "x");
    check("wrong letter");
    QTest::keyClick(&f.control, Qt::Key_Backspace);
    QTest::keyClicks(&f.control, "e ");
    f.control.SetTypingLang(tlNative);
    QTest::keyClicks(&f.control, "Qk");
    check("composing");
    QTest::keyClicks(&f.control, "f");
    check("final consonant");
    QTest::keyClick(&f.control, Qt::Key_Backspace);
    QTest::keyClicks(&f.control, "sm");
    check("consonant carried over, wrong syllable");
    QTest::keyClicks(&f.control, "s a");
    check("commit and space");
    QTest::keyClick(&f.control, Qt::Key_Return);
    check("next line");
    QTest::keyClick(&f.control, Qt::Key_Backspace);
    QTest::keyClick(&f.control, Qt::Key_Backspace);
    check("back to the first line");
}

// A Korean text under a desktop method that left Hangul (ibus-hangul does on
// Escape): the first Latin letters where Hangul is due are held back and
// the notice shows, once per page; the counts stay the model's.
TEST(SentencePractice, LatinLettersWhereHangulIsDueBringUpTheSwitchBackNoticeOncePerPage) {
    TControlFixture f;
    f.control.Composer().SetDesktopInputMethodRequested(false);
    f.control.SetKoreanText(true);
    f.Page(QStringLiteral("한글 한글"), QStringLiteral("x"));
    Replay(f.control, {"P:ㅎ", "P:하", "P:한", "P:", "C:한"});
    EXPECT_EQ(f.control.Composer().InputModeLabel(), QStringLiteral("가"));
    QTest::keyClicks(&f.control, "rmf");
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("한"));
    EXPECT_TRUE(f.control.SwitchBackNotice().Visible());
    EXPECT_EQ(f.control.Composer().InputModeLabel(), QStringLiteral("A"));
    EXPECT_EQ(f.errors, 0);
    // Painted after the caret, within the control.
    const QRect notice = f.control.NoticeRect();
    EXPECT_GT(notice.left(), f.control.CaretRect().right());
    const QImage shot = f.Grab();
    EXPECT_EQ(QColor(shot.pixel(notice.left() + 3, notice.center().y())).name(),
              QStringLiteral("#fff1b8"));

    // Back in Hangul: the notice goes, and the syllable costs its keys.
    Replay(f.control, {"P:ㄱ", "P:그", "P:글", "P:", "C:글", "K: "});
    EXPECT_FALSE(f.control.SwitchBackNotice().Visible());
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("한글 "));
    EXPECT_EQ(Counts(f.Line(0)), QStringLiteral("3 3 1"));

    // A second slip on the same page is typed as it is: wrong, one stroke.
    QTest::keyClicks(&f.control, "g");
    EXPECT_FALSE(f.control.SwitchBackNotice().Visible());
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("한글 g"));
    EXPECT_EQ(Counts(f.Line(0)), QStringLiteral("3 3 1 1"));
    EXPECT_EQ(f.errors, 1);

    // A new page may show it again; Latin where Latin is due never does.
    f.Page(QStringLiteral("한 PC"), QStringLiteral("x"));
    QTest::keyClicks(&f.control, "g");
    EXPECT_TRUE(f.control.SwitchBackNotice().Visible());
    EXPECT_TRUE(f.Line(0).typed.isEmpty());
    f.Page(QStringLiteral("PC 한"), QStringLiteral("x"));
    QTest::keyClicks(&f.control, "P");
    EXPECT_FALSE(f.control.SwitchBackNotice().Visible());
    EXPECT_EQ(f.Line(0).typed, QStringLiteral("P"));

    // An English text types its letters wherever they go.
    TControlFixture english;
    english.Page(QStringLiteral("한"), QStringLiteral("x"));
    QTest::keyClicks(&english.control, "g");
    EXPECT_EQ(english.Line(0).typed, QStringLiteral("g"));
}

TEST(SentencePractice, InputModeIndicatorBesideTheCurrentTypedLine) {
    TControlFixture f;
    f.control.Composer().SetDesktopInputMethodRequested(false);
    f.Page(QStringLiteral("한"), QStringLiteral("x"));
    const QRect latin = f.control.InputModeRect();
    ASSERT_TRUE(latin.isValid());
    EXPECT_EQ(latin.top(), f.control.TypedLineTop(0));
    EXPECT_LE(latin.right(), f.control.width());
    QImage shot = f.Grab();
    EXPECT_EQ(QColor(shot.pixel(latin.left() + 2, latin.center().y())),
              TInputModeBadge::BackgroundColor(false));
    f.control.SetTypingLang(tlNative);
    shot = f.Grab();
    EXPECT_EQ(QColor(shot.pixel(latin.left() + 2, latin.center().y())),
              TInputModeBadge::BackgroundColor(true));
    // It moves with the current line.
    QTest::keyClicks(&f.control, "gks ");
    EXPECT_EQ(f.control.Model().CurrSentenceIndex(), 1);
    EXPECT_EQ(f.control.InputModeRect().top(), f.control.TypedLineTop(1));
    shot = f.Grab();
    EXPECT_TRUE(IsWhite(shot.pixel(latin.left() + 2, latin.center().y())));
}

TEST(SentencePractice, BuiltInChoiceRefusesTheDesktopInputMethod) {
    TControlFixture f;
    f.Page(QStringLiteral("한"), QStringLiteral("x"));
    EXPECT_TRUE(static_cast<QWidget&>(f.control).inputMethodQuery(Qt::ImEnabled).toBool());
    f.control.SetInputMethodChoice(imcBuiltIn);
    EXPECT_FALSE(static_cast<QWidget&>(f.control).inputMethodQuery(Qt::ImEnabled).toBool());
    EXPECT_FALSE(f.control.testAttribute(Qt::WA_InputMethodEnabled));
    f.control.SetInputMethodChoice(imcAuto);
    EXPECT_TRUE(f.control.testAttribute(Qt::WA_InputMethodEnabled));
}
