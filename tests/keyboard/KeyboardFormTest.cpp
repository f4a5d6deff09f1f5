#include "keyboard/KeyboardForm.h"

#include "app/RavlinError.h"
#include "gl/GLPanel.h"
#include "gl/GLTextureMessage.h"
#include "gl/ObjLoader.h"
#include "gl/ThreadTimer.h"
#include "ImageTestSupport.h"
#include "KeyboardTestModel.h"
#include "TestSupport.h"

#include <cmath>
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QTest>

using namespace keyboard_test;

namespace {

// XKB keycodes (evdev + 8) of a few physical keys.
constexpr quint32 kScanA = 38;
constexpr quint32 kScanQ = 24;
constexpr quint32 kScanLeftShift = 50;

TKeyboardSetupRec DrillSetup(int languageIndex, TKeyGroupSet groups) {
    TKeyboardSetupRec setup;
    setup.languageIndex = languageIndex;
    setup.KeyGroup = groups;
    setup.UseSound = true;
    setup.MoveProblem = false;
    setup.ShowFinger = true;
    setup.FontName = QStringLiteral("Noto Sans CJK KR");
    setup.FontSize = 14;
    setup.FontColor = 0;
    return setup;
}

class KeyboardForm : public testing::Test {
protected:
    void SetUp() override { FSaved = KeyboardSetup; }
    void TearDown() override {
        delete FForm.data();
        KeyboardSetup = FSaved;
    }

    // A drill on the generated model, shown at a moderate size.
    TKeyboardForm& Open(const TKeyboardSetupRec& setup) {
        KeyboardSetup = setup;
        KeyboardSetup.TextureFileName = FFolder.KeyCapPicture();
        FForm = new TKeyboardForm(nullptr, [](int) { return 0; });
        FForm->NextProblem();
        FForm->resize(800, 500);
        FForm->move(40, 40);
        FForm->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(FForm.data()));
        // Ticks come from the tests only.
        FForm->ThreadTimer->SetEnabled(false);
        return *FForm;
    }

    // Ends the opening: spin and fingers done on the next frame.
    static void FinishOpening(TKeyboardForm& form) {
        form.Exercise().FAniTick = 40;
        form.DrawKeyboardScene(false);
        ASSERT_TRUE(form.Exercise().OpeningFinished());
    }

    // Where a model point is drawn, in panel coordinates (keys are drawn
    // under the camera transform alone once the opening is over).
    static QPoint Projected(TKeyboardForm& form, float x, float y, float z) {
        TGLPanel* panel = form.KeyboardPanel;
        panel->SetCurrentGLContext();
        panel->SetGLModes(false);
        glLoadIdentity();
        panel->ApplyTransform();
        GLdouble mv[16], pj[16];
        GLint vp[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        glGetDoublev(GL_PROJECTION_MATRIX, pj);
        glGetIntegerv(GL_VIEWPORT, vp);
        GLdouble wx = 0, wy = 0, wz = 0;
        gluProject(x, y, z, mv, pj, vp, &wx, &wy, &wz);
        return {int(std::lround(wx)), int(std::lround(panel->height() - wy))};
    }

    static void PointAt(TKeyboardForm& form, QPoint pos) {
        const QPoint global = form.KeyboardPanel->mapToGlobal(pos);
        QCursor::setPos(global);
        QElapsedTimer timer;
        timer.start();
        while (QCursor::pos() != global && timer.elapsed() < 5000)
            QTest::qWait(10);
    }

    static void SendKey(TKeyboardForm& form, QEvent::Type type, int qtKey, quint32 scanCode,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false) {
        QKeyEvent event(type, qtKey, modifiers, scanCode, 0, 0, QString(), autoRepeat);
        QApplication::sendEvent(form.KeyboardPanel, &event);
    }

    TKeyboardTestFolder FFolder;
    TScopedAppDir FAppDir{FFolder.Dir()};
    TKeyboardSetupRec FSaved;
    QPointer<TKeyboardForm> FForm;
};

} // namespace

TEST_F(KeyboardForm, SetsItselfUpFromTheSettings) {
    TKeyboardForm& form = Open(DrillSetup(1, {kgStandard}));
    EXPECT_EQ(form.windowTitle(), "키보드연습 - 한글 두벌식");
    EXPECT_GT(form.SelKeyList().Count(), 0);
    EXPECT_EQ(form.SelKeyList().SelCaption(), "ㅁ"); // the first entry: A
    EXPECT_EQ(form.SelKeyList().CallListIDList(), QList<int>{1001});
    EXPECT_EQ(form.KeyboardPanel->ClearColor(), TColor(16437419));
    EXPECT_FLOAT_EQ(form.KeyboardPanel->RotX(), -15);
    EXPECT_FLOAT_EQ(form.KeyboardPanel->Scale(), 0.275f);
    EXPECT_EQ(form.ThreadTimer->Interval(), 100);
    EXPECT_NE(form.KeyboardObj->FindNamedModel("key_65"), nullptr);
    // The key-cap material took the chosen picture.
    const TMaterialItem* cap = form.KeyboardObj->FindMaterial("KeyCap_Material");
    ASSERT_NE(cap, nullptr);
    EXPECT_EQ(cap->map_kd, FFolder.KeyCapPicture());
    EXPECT_GT(form.ExpMaxVisiblePos().x, 0);
    EXPECT_LT(form.ExpMinVisiblePos().x, 0);
}

TEST(KeyboardFormModel, AMissingKeyboardModelIsReportedNotDrawnEmpty) {
    QTemporaryDir empty;
    TScopedAppDir appDir(empty.path());
    const TKeyboardSetupRec saved = KeyboardSetup;
    KeyboardSetup = DrillSetup(0, {kgStandard});
    try {
        TKeyboardForm form;
        ADD_FAILURE() << "no error";
    } catch (const ERavlinError& error) {
        EXPECT_TRUE(error.Message().contains("Ravlin_Key_Layout_English.obj"));
    }
    KeyboardSetup = saved;
}

TEST_F(KeyboardForm, PickingAKeyAtItsDrawnPlaceGivesItsCode) {
    TKeyboardForm& form = Open(DrillSetup(0, {kgStandard}));
    FinishOpening(form);
    for (int index : {29, 15, 0, kLeftShiftIndex, kRightShiftIndex, 51}) {
        const TBox box = KeyBox(index);
        const QPoint at = Projected(form, (box.x0 + box.x1) / 2, (box.y0 + box.y1) / 2, box.z1);
        PointAt(form, at);
        EXPECT_EQ(form.DrawKeyboardScene(true), PhysicalKey(index).Key) << index;
    }
    // The sky above the keyboard holds no key.
    PointAt(form, {form.KeyboardPanel->width() / 2, 5});
    EXPECT_EQ(form.DrawKeyboardScene(true), -1);
    EXPECT_EQ(form.DrawKeyboardScene(false), -1);

    // A click shows the key pressed without judging it.
    const TBox a = KeyBox(29);
    const QPoint at = Projected(form, (a.x0 + a.x1) / 2, (a.y0 + a.y1) / 2, a.z1);
    PointAt(form, at);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at),
                      form.KeyboardPanel->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(form.KeyboardPanel, &press);
    EXPECT_EQ(form.Exercise().FKeyDownModelName, "key_65");
    EXPECT_EQ(form.Exercise().FCorrectCount, 0);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at),
                        form.KeyboardPanel->mapToGlobal(QPointF(at)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(form.KeyboardPanel, &release);
    EXPECT_TRUE(form.Exercise().FKeyDownModelName.isEmpty());
}

namespace {

// The model-view matrix each object was drawn under in the last frame.
struct TDrawnMatrices {
    std::map<QString, std::array<double, 16>> Matrices;
    void Attach(TObjLoader& loader) {
        loader.OnBeforeDraw = [this](TObjLoader*, const QString& name, void*) {
            std::array<double, 16> m{};
            glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
            Matrices[name.toLower()] = m;
        };
    }
    // Eye coordinates of a point drawn as part of `name`.
    std::array<double, 3> Eye(const QString& name, double x, double y, double z) const {
        const auto& m = Matrices.at(name.toLower());
        return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                m[2] * x + m[6] * y + m[10] * z + m[14]};
    }
};

void ExpectSamePoint(const std::array<double, 3>& a, const std::array<double, 3>& b,
                     const QString& what) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(a[std::size_t(i)], b[std::size_t(i)], 1e-3) << what.toStdString() << " " << i;
}

} // namespace

TEST_F(KeyboardForm, FingersRestOnTheHomeRowAndTheActiveOneLiftsOntoItsKey) {
    // English, home row: the first problem is A (left little finger).
    TKeyboardForm& form = Open(DrillSetup(0, {kgStandard}));
    FinishOpening(form);
    form.Exercise().FFingerShift = 10;
    TDrawnMatrices drawn;
    drawn.Attach(*form.KeyboardObj);
    form.DrawKeyboardScene(false);

    const std::pair<const char*, int> homes[] = {
        {"Finger_Left5", 29},  {"Finger_Left4", 30},  {"Finger_Left3", 31},  {"Finger_Left2", 32},
        {"Finger_Right2", 35}, {"Finger_Right3", 36}, {"Finger_Right4", 37}, {"Finger_Right5", 38}};
    for (const auto& [finger, keyIndex] : homes) {
        const QString name = QString::fromLatin1(finger);
        ASSERT_TRUE(drawn.Matrices.count(name.toLower())) << finger;
        const T3DModel* model = form.KeyboardObj->FindNamedModel(name);
        const TBox key = KeyBox(keyIndex);
        const QString keyName = KeyObjectName(keyIndex);
        // The active finger is lifted by (0, -shift / 3, shift).
        const bool active = name == QLatin1String("Finger_Left5");
        const double lift = active ? 10 : 0;
        const auto fingerCentre =
            drawn.Eye(name, model->CenterX(), model->CenterY(), model->CenterZ());
        const auto keyTop = drawn.Eye(keyName, (key.x0 + key.x1) / 2,
                                      (key.y0 + key.y1) / 2 - lift / 3, key.z1 + lift);
        ExpectSamePoint(fingerCentre, keyTop, name);
    }

    // A shifted problem struck with the left hand: the right little finger
    // moves onto the right Shift.
    KeyboardSetup.languageIndex = 1;
    KeyboardSetup.KeyGroup = {kgLeftUp};
    form.Initialize();
    form.NextProblem();
    ASSERT_TRUE(form.SelKeyList().SelShift() || (form.NextProblem(), form.SelKeyList().SelShift()));
    FinishOpening(form);
    form.Exercise().FFingerShift = 0;
    drawn.Matrices.clear();
    form.DrawKeyboardScene(false);
    const T3DModel* right5 = form.KeyboardObj->FindNamedModel("Finger_Right5");
    const TBox shift = KeyBox(kRightShiftIndex);
    ExpectSamePoint(
        drawn.Eye("Finger_Right5", right5->CenterX(), right5->CenterY(), right5->CenterZ()),
        drawn.Eye("key_rshift_16", (shift.x0 + shift.x1) / 2, (shift.y0 + shift.y1) / 2, shift.z1),
        "right Shift");
}

TEST_F(KeyboardForm, EitherShiftSinksBothShiftKeysAndThunderShakesTheKeyboard) {
    TKeyboardForm& form = Open(DrillSetup(0, {kgStandard}));
    FinishOpening(form);
    TDrawnMatrices drawn;
    drawn.Attach(*form.KeyboardObj);
    form.DrawKeyboardScene(false);
    const auto restLeft = drawn.Eye("key_lshift_16", 0, 0, 0);
    const auto restRight = drawn.Eye("key_rshift_16", 0, 0, 0);
    const auto restA = drawn.Eye("key_65", 0, 0, 0);
    SendKey(form, QEvent::KeyPress, Qt::Key_Shift, kScanLeftShift, Qt::ShiftModifier);
    drawn.Matrices.clear();
    form.DrawKeyboardScene(false);
    // Pushed in along z by 0.8 of the key's depth, in model units.
    const double sink = 0.8 * kKeyTop * form.KeyboardPanel->Scale();
    const auto downLeft = drawn.Eye("key_lshift_16", 0, 0, 0);
    const auto downRight = drawn.Eye("key_rshift_16", 0, 0, 0);
    const double distLeft =
        std::hypot(downLeft[0] - restLeft[0], downLeft[1] - restLeft[1], downLeft[2] - restLeft[2]);
    const double distRight = std::hypot(downRight[0] - restRight[0], downRight[1] - restRight[1],
                                        downRight[2] - restRight[2]);
    EXPECT_NEAR(distLeft, sink, 1e-3);
    EXPECT_NEAR(distRight, sink, 1e-3);
    ExpectSamePoint(drawn.Eye("key_65", 0, 0, 0), restA, "A stays");
    SendKey(form, QEvent::KeyRelease, Qt::Key_Shift, kScanLeftShift);

    // Under thunder the keys move along z by whole thirds.
    form.Exercise().FThunderTick = 3;
    drawn.Matrices.clear();
    form.DrawKeyboardScene(false);
    const auto shaken = drawn.Eye("key_65", 0, 0, 0);
    EXPECT_NEAR(shaken[0], restA[0], 1e-3 + std::abs(shaken[2] - restA[2]));
}

TEST_F(KeyboardForm, KeysAreJudgedByTheirPhysicalPlace) {
    TKeyboardForm& form = Open(DrillSetup(0, {kgStandard}));
    FinishOpening(form);
    ASSERT_EQ(form.SelKeyList().SelKey(), 0x41);
    // A French desktop layout reports "Q" for the key in the place of A; the
    // drill goes by the place.
    SendKey(form, QEvent::KeyPress, Qt::Key_Q, kScanA);
    EXPECT_EQ(form.Exercise().FCorrectAnswer, 1);
    EXPECT_EQ(form.Exercise().FCorrectCount, 1);
    // X11 auto-repeat: release/press pairs flagged as repeats.
    SendKey(form, QEvent::KeyRelease, Qt::Key_Q, kScanA, Qt::NoModifier, true);
    SendKey(form, QEvent::KeyPress, Qt::Key_Q, kScanA, Qt::NoModifier, true);
    EXPECT_EQ(form.Exercise().FCorrectCount, 1);
    EXPECT_EQ(form.Exercise().FExplosionAniTick, 0);
    SendKey(form, QEvent::KeyRelease, Qt::Key_Q, kScanA);
    EXPECT_EQ(form.Exercise().FExplosionAniTick, 1);
    // The key in the place of Q is wrong for the next problem (S).
    SendKey(form, QEvent::KeyPress, Qt::Key_A, kScanQ);
    EXPECT_EQ(form.Exercise().FCorrectAnswer, 0);
    EXPECT_EQ(form.Exercise().FCorrectCount, -1);
    SendKey(form, QEvent::KeyRelease, Qt::Key_A, kScanQ);
    // The explosion plays while the timer runs, then the next problem enters.
    for (int i = 0; i < 6; ++i)
        form.ThreadTimerTimer();
    EXPECT_EQ(form.Exercise().FExplosionAniTick, 0);

    // Escape closes the window at once, even mid-explosion.
    form.Exercise().FExplosionAniTick = 3;
    SendKey(form, QEvent::KeyPress, Qt::Key_Escape, 9);
    QTest::qWait(50);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(FForm.isNull());
}

TEST_F(KeyboardForm, StartDrillReplacesTheRunningScreen) {
    KeyboardSetup = DrillSetup(7, {kgStandard});
    KeyboardSetup.TextureFileName = FFolder.KeyCapPicture();
    QPointer<TKeyboardForm> first = TKeyboardForm::StartDrill();
    ASSERT_TRUE(first);
    EXPECT_EQ(TKeyboardForm::Current(), first.data());
    EXPECT_EQ(first->windowTitle(), "키보드연습 - 일어 히라가나");
    EXPECT_NE(first->SelKeyList().SelIndex(), -1);
    EXPECT_TRUE(first->isVisible());
    QPointer<TKeyboardForm> second = TKeyboardForm::StartDrill();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(TKeyboardForm::Current(), second.data());
    FForm = second;
    second->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(TKeyboardForm::Current(), nullptr);
}

TEST_F(KeyboardForm, TheFingerMessageShowsDuringTheFlightAndClosesAfter) {
    TKeyboardForm& form = Open(DrillSetup(0, {kgStandard}));
    form.Exercise().FAniTick = 13;
    // The spin ends, and in the same frame the fingers start their flight:
    // the first finger shows the message, the seven others fade it.
    form.DrawKeyboardScene(false);
    ASSERT_TRUE(form.Message().Visible());
    EXPECT_EQ(form.Message().Text(), QStringList{QString::fromUtf8(TKeyboardForm::kFingerMessage)});
    // Seven fingers fade it a little in this frame.
    EXPECT_NEAR(form.Message().Transparency(), 7 * 0.0015, 1e-5);
    form.Exercise().FAniTick = 27;
    form.DrawKeyboardScene(false);
    EXPECT_FALSE(form.Message().Visible());
    EXPECT_TRUE(form.Exercise().OpeningFinished());
}

namespace {

// The ink of a region as a 24 x 24 mask stretched over its bounding box.
std::vector<bool> InkShape(const QImage& image, const QRect& region) {
    const QRect box = PixelBounds(image, region, [](QRgb p) { return qGray(p) < 110; });
    std::vector<bool> mask(24 * 24, false);
    if (!box.isValid())
        return mask;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const int sx = box.left() + (x * box.width()) / 24;
            const int sy = box.top() + (y * box.height()) / 24;
            mask[std::size_t(y * 24 + x)] = qGray(image.pixel(sx, sy)) < 110;
        }
    return mask;
}

double Overlap(const std::vector<bool>& a, const std::vector<bool>& b) {
    int both = 0, either = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        both += a[i] && b[i];
        either += a[i] || b[i];
    }
    return either ? double(both) / either : 0;
}

// Which of the candidates the ink of `region` looks most like.
QString Recognise(const QImage& image, const QRect& region, const QStringList& candidates) {
    const std::vector<bool> shape = InkShape(image, region);
    QString best;
    double bestScore = -1;
    for (const QString& c : candidates) {
        QImage big(120, 120, QImage::Format_RGB32);
        big.fill(Qt::white);
        QPainter painter(&big);
        painter.setFont(QFont(QStringLiteral("Noto Sans CJK KR"), 60));
        painter.setPen(Qt::black);
        painter.drawText(big.rect(), Qt::AlignCenter, c);
        painter.end();
        const double score = Overlap(shape, InkShape(big, big.rect()));
        if (score > bestScore) {
            bestScore = score;
            best = c;
        }
    }
    return best;
}

} // namespace

TEST(KeyCapTexture, DubeolsikShowsItsJamoInTheCellsOfTheKeys) {
    TKeyboardSetupRec setup = DrillSetup(1, {kgStandard});
    setup.FontSize = 16;
    QImage bitmap(kCapTextureW, kCapTextureH, QImage::Format_ARGB32);
    bitmap.fill(Qt::white);
    TKeyboardForm::DrawKeyCapTexture(bitmap, setup);
    const QStringList jamo = {"ㅂ", "ㅃ", "ㅈ", "ㅉ", "ㄷ", "ㄸ", "ㅁ", "ㄱ", "ㅅ", "ㅇ", "ㄴ"};
    // Q: after Tab (1.5 units = 90 pixels) on the second row.
    EXPECT_EQ(Recognise(bitmap, QRect(90, 90, 60, 30), jamo), "ㅂ");
    EXPECT_EQ(Recognise(bitmap, QRect(90, 60, 60, 30), jamo), "ㅃ");
    EXPECT_EQ(Recognise(bitmap, QRect(150, 90, 60, 30), jamo), "ㅈ");
    // A on the home row: one jamo, centred on the key.
    EXPECT_EQ(Recognise(bitmap, QRect(105, 120, 60, 60), jamo), "ㅁ");
    const QRect aInk =
        PixelBounds(bitmap, QRect(105, 120, 60, 60), [](QRgb p) { return qGray(p) < 110; });
    EXPECT_NEAR(aInk.center().y(), 150, 4);
    // No English letters without "always show English": nothing in the left
    // half of the Q cell's top that a "Q" would leave.
    const QRect leftTop =
        PixelBounds(bitmap, QRect(90, 60, 18, 28), [](QRgb p) { return qGray(p) < 110; });
    EXPECT_FALSE(leftTop.isValid());
    // Control keys keep their English names.
    EXPECT_GT(CountPixels(bitmap, QRect(0, 60, 90, 60), [](QRgb p) { return qGray(p) < 110; }),
              20); // "Tab"

    // With English always shown: "Q" upper left, the jamo on the right.
    setup.AlwaysShowEnglish = true;
    bitmap.fill(Qt::white);
    TKeyboardForm::DrawKeyCapTexture(bitmap, setup);
    EXPECT_EQ(Recognise(bitmap, QRect(90, 60, 30, 30), {"Q", "O", "ㅂ", "ㅃ"}), "Q");
    EXPECT_EQ(Recognise(bitmap, QRect(120, 90, 30, 30), jamo), "ㅂ");
    EXPECT_EQ(Recognise(bitmap, QRect(120, 60, 30, 30), jamo), "ㅃ");

    // English: the letter alone, centred.
    setup.languageIndex = 0;
    setup.AlwaysShowEnglish = false;
    bitmap.fill(Qt::white);
    TKeyboardForm::DrawKeyCapTexture(bitmap, setup);
    const QRect qInk =
        PixelBounds(bitmap, QRect(90, 60, 60, 60), [](QRgb p) { return qGray(p) < 110; });
    ASSERT_TRUE(qInk.isValid());
    EXPECT_NEAR(qInk.center().x(), 120, 4);
    EXPECT_NEAR(qInk.center().y(), 90, 4);
    EXPECT_EQ(Recognise(bitmap, QRect(90, 60, 60, 60), {"Q", "O", "G", "ㅂ"}), "Q");
}

TEST(KeyCapTexture, FinalConsonantsSitFivePixelsLower) {
    // In the Sebeolsik layouts a consonant shows both as an initial and as
    // a final; find one drawn in the same place class on two keys.
    auto cellOf = [](int index) {
        int x = 0;
        for (int i = 0; i < index; ++i)
            if (PhysicalKey(i).Row == PhysicalKey(index).Row)
                x += int(60 * PhysicalKey(i).Width);
        return QRect(x, (PhysicalKey(index).Row - 1) * 60, 60, 60);
    };
    const auto dark = [](QRgb p) { return qGray(p) < 110; };
    int checked = 0;
    for (int layoutIndex = 2; layoutIndex <= 6 && checked == 0; ++layoutIndex) {
        const TEnglishKeyboardLayout& layout = KeyboardLayout(layoutIndex);
        for (int j = 0; j < kKeyCount && checked == 0; ++j) {
            const TKeyInfo& final = layout[std::size_t(j)];
            if (!final.IsJongSung[0] || final.KeyGroup == kgControl)
                continue;
            for (int i = 0; i < kKeyCount; ++i) {
                const TKeyInfo& initial = layout[std::size_t(i)];
                if (initial.IsJongSung[0] || initial.KeyGroup == kgControl ||
                    initial.DisplayChar[0] != final.DisplayChar[0] ||
                    (initial.DisplayChar[1] == " ") != (final.DisplayChar[1] == " "))
                    continue;
                TKeyboardSetupRec setup = DrillSetup(layoutIndex, {kgStandard});
                setup.FontSize = 16;
                QImage bitmap(kCapTextureW, kCapTextureH, QImage::Format_ARGB32);
                bitmap.fill(Qt::white);
                TKeyboardForm::DrawKeyCapTexture(bitmap, setup);
                // The unshifted caption: the lower half, or the whole cell.
                QRect a = cellOf(i), b = cellOf(j);
                if (initial.DisplayChar[1] != " ") {
                    a.setTop(a.top() + 30);
                    b.setTop(b.top() + 30);
                }
                const QRect inkA = PixelBounds(bitmap, a, dark);
                const QRect inkB = PixelBounds(bitmap, b, dark);
                ASSERT_TRUE(inkA.isValid() && inkB.isValid());
                EXPECT_EQ((inkB.top() - b.top()) - (inkA.top() - a.top()), 5)
                    << layoutIndex << ": " << initial.DisplayChar[0].toStdString();
                ++checked;
                break;
            }
        }
    }
    EXPECT_EQ(checked, 1);
}

namespace {

// The panel's frame with the colours the screen shows (alpha ignored).
QImage ShownFrame(TKeyboardForm& form) {
    QImage frame = form.KeyboardPanel->grabFramebuffer();
    if (frame.format() == QImage::Format_ARGB32_Premultiplied)
        frame.reinterpretAsFormat(QImage::Format_RGB32);
    return frame.convertToFormat(QImage::Format_RGB32);
}

// The generated explosion sheet's orange, as lit in the scene.
int CountOrange(const QImage& image, const QRect& rect) {
    return CountPixels(image, rect, [](QRgb p) {
        return qRed(p) > 220 && qGreen(p) > 120 && qGreen(p) < 190 && qBlue(p) < 90;
    });
}

// The generated bolt's yellow, as lit in the scene.
bool IsBolt(QRgb p) {
    return qRed(p) > 220 && qGreen(p) > 220 && qBlue(p) > 70 && qBlue(p) < 160;
}

} // namespace

TEST_F(KeyboardForm, AnAnswerExplodesInTheShellsPlaceAndThunderDrawsTwoBolts) {
    TKeyboardSetupRec setup = DrillSetup(0, {kgStandard});
    setup.ShowFinger = false;
    TKeyboardForm& form = Open(setup);
    FinishOpening(form);
    for (int i = 0; i < 6; ++i)
        form.DrawKeyboardScene(false);
    const T3DModel* shell = form.KeyboardObj->FindNamedModel("ProblemShell");
    ASSERT_NE(shell, nullptr);
    // The shell's centre on screen (it is drawn without the camera rotation).
    TGLPanel* panel = form.KeyboardPanel;
    const double s = panel->Scale();
    const double f = 1 / std::tan(55.0 / 2 * M_PI / 180);
    const double w = panel->width(), h = panel->height();
    const double z = shell->CenterZ() * s;
    const QPoint centre(int((shell->CenterX() * s * f / (w / h) / (50 - z) + 1) / 2 * w),
                        int((1 - shell->CenterY() * s * f / (50 - z)) / 2 * h));
    const QRect around(centre.x() - 40, centre.y() - 40, 80, 80);
    // Orange of the generated explosion sheet.
    EXPECT_EQ(CountOrange(ShownFrame(form), around), 0);

    SendKey(form, QEvent::KeyPress, Qt::Key_A, kScanA);
    SendKey(form, QEvent::KeyRelease, Qt::Key_A, kScanA);
    ASSERT_EQ(form.Exercise().FExplosionAniTick, 1);
    QImage frame = ShownFrame(form);
    EXPECT_GT(CountOrange(frame, around), 1500);
    // A miss leaves the place empty for a tick.
    form.Exercise().FExplosionAniTick = TKeyboardExercise::kExplosionMissed;
    frame = ShownFrame(form);
    EXPECT_EQ(CountOrange(frame, around), 0);
    form.Exercise().FExplosionAniTick = 0;

    // Bolts only on even thunder steps.
    form.Exercise().FThunderTick = 3;
    EXPECT_EQ(CountPixels(ShownFrame(form), IsBolt), 0);
    form.Exercise().FThunderTick = 2;
    const QImage thunder = ShownFrame(form);
    const QRect bolts = PixelBounds(thunder, thunder.rect(), IsBolt);
    ASSERT_TRUE(bolts.isValid());
    // Two bolts apart from each other: together they span far more than one.
    EXPECT_GT(bolts.width(), 80);
}
