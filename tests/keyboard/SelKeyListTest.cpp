#include "keyboard/SelKeyList.h"

#include "gl/GLPanel.h"
#include "ImageTestSupport.h"
#include "keyboard/OutlineGlyphBuilder.h"

#include <deque>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QTest>
#include <QTextLayout>

namespace {

// A layout in which only the named key halves are drillable (group
// kgStandard), every other key without characters.
TEnglishKeyboardLayout LayoutWith(std::initializer_list<std::pair<int, QString>> unshifted,
                                  std::initializer_list<std::pair<int, QString>> shifted = {}) {
    TEnglishKeyboardLayout layout;
    for (TKeyInfo& info : layout) {
        info.KeyGroup = kgStandard;
        info.DisplayChar[0] = info.DisplayChar[1] = QStringLiteral(" ");
    }
    for (const auto& [index, text] : unshifted)
        layout[std::size_t(index)].DisplayChar[0] = text;
    for (const auto& [index, text] : shifted)
        layout[std::size_t(index)].DisplayChar[1] = text;
    return layout;
}

// A random source that answers from a script, then 0.
struct TScriptedRandom {
    std::deque<int> Answers;
    int operator()(int) {
        if (Answers.empty())
            return 0;
        const int a = Answers.front();
        Answers.pop_front();
        return a;
    }
};

const TKeyGroupSet kAllGroups{kgStandard, kgLeftUp, kgLeftDown, kgRightUp, kgRightDown,
                              kgCenter,   kgNumber, kgSymbol,   kgTopMost};

} // namespace

TEST(SelKeyList, CodesArePackedByKeyAndShiftAndDerivedValuesFollowTheProblem) {
    TSelKeyList list([](int) { return 0; });
    // Neutral answers without a problem.
    EXPECT_EQ(list.SelIndex(), -1);
    EXPECT_EQ(list.SelKey(), 0);
    EXPECT_FALSE(list.SelShift());
    EXPECT_TRUE(list.SelCaption().isEmpty());
    EXPECT_FALSE(list.SelIsJongSung());
    EXPECT_EQ(list.SelFingerPos(), fpUnknown);
    EXPECT_TRUE(list.GetShiftFingerName().isEmpty());
    EXPECT_FALSE(list.IsCorrectKey(0, 0));
    EXPECT_FALSE(list.IsCorrectKey(0x51, 0));

    // Key 15 (Q) in both halves gives 30 and 31.
    TEnglishKeyboardLayout layout = LayoutWith({{15, "ㅂ"}}, {{15, "ㅃ"}});
    layout[15].IsJongSung[1] = true;
    list.BuildList(layout, {kgStandard});
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0), 30);
    EXPECT_EQ(list.Items(1), 31);
    EXPECT_EQ(list.SelIndex(), -1); // building picks nothing

    list.NextProblem();
    EXPECT_EQ(list.SelIndex(), 30);
    EXPECT_FALSE(list.SelShift());
    EXPECT_EQ(list.SelKey(), 0x51);
    EXPECT_EQ(list.SelCaption(), "ㅂ");
    EXPECT_FALSE(list.SelIsJongSung());
    EXPECT_EQ(list.SelFingerPos(), fpLeft5);
    EXPECT_TRUE(list.IsSelKeyLeftHand());
    list.NextProblem();
    EXPECT_EQ(list.SelIndex(), 31);
    EXPECT_TRUE(list.SelShift());
    EXPECT_EQ(list.SelCaption(), "ㅃ");
    EXPECT_TRUE(list.SelIsJongSung());
    // A shifted character of the left little finger: the right hand holds
    // Shift.
    EXPECT_EQ(list.GetShiftFingerName(), "Finger_Right5");

    // Exactly {Shift} for a shifted problem; Shift+Ctrl or Alt is wrong.
    EXPECT_TRUE(list.IsCorrectKey(0x51, ssShift));
    EXPECT_FALSE(list.IsCorrectKey(0x51, 0));
    EXPECT_FALSE(list.IsCorrectKey(0x51, ssShift | ssCtrl));
    EXPECT_FALSE(list.IsCorrectKey(0x51, ssShift | ssAlt));
    EXPECT_FALSE(list.IsCorrectKey(0x57, ssShift));

    // The previous codes survive a rebuild.
    list.BuildList(LayoutWith({{35, "J"}}, {{35, "j"}}), {kgStandard});
    EXPECT_EQ(list.PrevSelIndex2(), 31);
    EXPECT_EQ(list.PrevSelIndex1(), 30);
    list.NextProblem();
    EXPECT_EQ(list.SelIndex(), 70);
    EXPECT_EQ(list.SelFingerPos(), fpRight2);
    EXPECT_FALSE(list.IsSelKeyLeftHand());
    EXPECT_TRUE(list.IsCorrectKey(0x4A, 0));
    EXPECT_FALSE(list.IsCorrectKey(0x4A, ssShift));
    EXPECT_FALSE(list.IsCorrectKey(0x4A, ssCtrl));
    list.NextProblem();
    EXPECT_EQ(list.GetShiftFingerName(), "Finger_Left5"); // right index finger
}

TEST(SelKeyList, NoProblemRepeatsEitherOfTheLastTwoAndSmallSetsStillEnd) {
    // {A, B, C}: after A, B comes C, then A, then B, whatever is drawn.
    TSelKeyList three([](int n) { return n - 1; });
    three.BuildList(LayoutWith({{30, "a"}, {46, "b"}, {44, "c"}}), {kgStandard});
    ASSERT_EQ(three.Count(), 3);
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        three.NextProblem();
        seen.push_back(three.SelIndex());
    }
    for (std::size_t i = 2; i < seen.size(); ++i) {
        EXPECT_NE(seen[i], seen[i - 1]);
        EXPECT_NE(seen[i], seen[i - 2]);
    }
    for (std::size_t i = 3; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], seen[i - 3]);

    // A random source that always wants the same entry cannot make it loop.
    TSelKeyList many([](int) { return 0; });
    many.BuildList(KeyboardLayout(0), {kgStandard});
    int last1 = -1, last2 = -1;
    for (int i = 0; i < 30; ++i) {
        many.NextProblem();
        EXPECT_NE(many.SelIndex(), last1);
        EXPECT_NE(many.SelIndex(), last2);
        last1 = last2;
        last2 = many.SelIndex();
    }

    // Two entries alternate; one repeats; none leaves -1.
    TSelKeyList two([](int) { return 0; });
    two.BuildList(LayoutWith({{30, "a"}, {31, "s"}}), {kgStandard});
    std::vector<int> pair;
    for (int i = 0; i < 6; ++i) {
        two.NextProblem();
        pair.push_back(two.SelIndex());
    }
    EXPECT_EQ(pair, (std::vector<int>{60, 62, 60, 62, 60, 62}));
    TSelKeyList one;
    one.BuildList(LayoutWith({{30, "a"}}), {kgStandard});
    for (int i = 0; i < 3; ++i) {
        one.NextProblem();
        EXPECT_EQ(one.SelIndex(), 60);
    }
    TSelKeyList none;
    none.BuildList(KeyboardLayout(0), {});
    none.NextProblem();
    EXPECT_EQ(none.SelIndex(), -1);
}

TEST(SelKeyList, EveryGroupOfEveryLayoutBuildsItsCharacters) {
    for (int layoutIndex = 0; layoutIndex < kLayoutCount; ++layoutIndex) {
        const TEnglishKeyboardLayout& layout = KeyboardLayout(layoutIndex);
        int total = 0;
        for (int g = kgStandard; g <= kgTopMost; ++g) {
            // Expected: the halves of group g that carry a character.
            int expected = 0;
            for (const TKeyInfo& info : layout)
                if (info.KeyGroup == g)
                    for (int s = 0; s < 2; ++s)
                        expected += info.DisplayChar[s] != QLatin1String(" ") ? 1 : 0;
            TSelKeyList list;
            list.BuildList(layout, {TKeyGroup(g)});
            EXPECT_EQ(list.Count(), expected) << layoutIndex << ":" << g;
            for (int i = 0; i < list.Count(); ++i) {
                const int code = list.Items(i);
                EXPECT_EQ(layout[std::size_t(code / 2)].KeyGroup, g);
                EXPECT_NE(layout[std::size_t(code / 2)].DisplayChar[code % 2], " ");
                if (i > 0) {
                    EXPECT_LT(list.Items(i - 1), code); // ascending key order
                }
            }
            total += list.Count();
        }
        TSelKeyList all;
        all.BuildList(layout, kAllGroups);
        EXPECT_EQ(all.Count(), total) << layoutIndex;
        // The control keys and the English letters' empty shifted halves
        // never enter the drill.
        for (int i = 0; i < all.Count(); ++i)
            EXPECT_NE(layout[std::size_t(all.Items(i) / 2)].KeyGroup, kgControl);
    }
    TSelKeyList english;
    english.BuildList(KeyboardLayout(0), {kgStandard});
    EXPECT_EQ(english.Count(), 7); // A S D F J K L, no shifted letters; ";" is a symbol
    EXPECT_EQ(english.Count() > 0 ? english.Items(0) : -1, 2 * 29);
}

TEST(SelKeyList, FindByKeyFindsTheFirstEntryOfAKey) {
    TSelKeyList list;
    list.BuildList(LayoutWith({{15, "q"}, {29, "a"}}, {{15, "Q"}}), {kgStandard});
    EXPECT_EQ(list.FindByKey(0x51), 0); // the unshifted entry of Q
    EXPECT_EQ(list.FindByKey(0x41), 2);
    EXPECT_EQ(list.FindByKey(0x5A), -1);
    EXPECT_EQ(list.FindByKey(VK_SHIFT), -1);
}

TEST(SelKeyList, AssignFontDescribesTheOutlineFont) {
    TSelKeyList list;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(40);
    font.setBold(true);
    font.setItalic(true);
    list.AssignFont(font);
    EXPECT_EQ(list.LogFont().lfHeight, -40);
    EXPECT_EQ(list.LogFont().lfWeight, 700);
    EXPECT_TRUE(list.LogFont().lfItalic);
    EXPECT_FALSE(list.LogFont().lfUnderline);
    EXPECT_EQ(list.LogFont().lfOutPrecision, 4);
    EXPECT_EQ(list.LogFont().lfFaceName, "DejaVu Sans");
    font.setBold(false);
    font.setItalic(false);
    list.AssignFont(font);
    EXPECT_EQ(list.LogFont().lfWeight, 500);
    EXPECT_FALSE(list.GlyphFont().italic());
}

namespace {

// The front face of a glyph solid painted as a silhouette, em units mapped
// onto `size` pixels with the baseline at 80 % height.
QImage FrontSilhouette(const TGlyphMesh& mesh, int size) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const auto& p = mesh.Positions;
    for (std::size_t i = 0; i + 9 <= p.size(); i += 9) {
        if (p[i + 2] != 0 || p[i + 5] != 0 || p[i + 8] != 0)
            continue;
        const QPointF t[3] = {{p[i] * size, size * 0.8 - p[i + 1] * size},
                              {p[i + 3] * size, size * 0.8 - p[i + 4] * size},
                              {p[i + 6] * size, size * 0.8 - p[i + 7] * size}};
        painter.drawPolygon(t, 3);
    }
    return image;
}

// The same glyph filled by Qt's own rasteriser, same mapping.
QImage FilledGlyph(const QFont& font, const QString& text, int size) {
    QFont f = font;
    f.setPixelSize(size);
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QTextLayout layout(text, f);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    QPainterPath path;
    for (const QGlyphRun& run : layout.glyphRuns())
        for (int i = 0; i < run.glyphIndexes().size(); ++i)
            path.addPath(
                run.rawFont()
                    .pathForGlyph(run.glyphIndexes()[i])
                    .translated(run.positions()[i] + QPointF(0, size * 0.8 - line.ascent())));
    path.setFillRule(Qt::WindingFill);
    painter.fillPath(path, Qt::black);
    return image;
}

bool Black(QRgb p) {
    return qGray(p) < 128;
}

} // namespace

TEST(OutlineGlyphBuilder, HangulKanaAndSymbolsComeOutSolidWithTheirHolesOpen) {
    const QFont font(QStringLiteral("Noto Sans CJK KR"));
    const int size = 200;
    for (const QString& text :
         {QStringLiteral("뷁"), QStringLiteral("ㅁ"), QStringLiteral("の"), QStringLiteral("ヲ"),
          QStringLiteral("@"), QStringLiteral("%"), QStringLiteral("B")}) {
        const TGlyphMesh mesh = TOutlineGlyphBuilder::BuildMesh(font, text, 0.5f);
        ASSERT_GT(mesh.TriangleCount(), 0) << text.toStdString();
        const QImage solid = FrontSilhouette(mesh, size);
        const QImage reference = FilledGlyph(font, text, size);
        int same = 0, inkRef = 0, inkSolid = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const bool a = Black(solid.pixel(x, y)), b = Black(reference.pixel(x, y));
                inkSolid += a;
                inkRef += b;
                same += a && b;
            }
        ASSERT_GT(inkRef, 200) << text.toStdString();
        // Nearly every inked pixel of the glyph is covered, and nearly
        // nothing outside it (holes and counters stay open).
        EXPECT_GT(double(same) / inkRef, 0.97) << text.toStdString();
        EXPECT_LT(double(inkSolid - same) / inkRef, 0.03) << text.toStdString();
    }

    // The inside of ㅁ is empty: its centre is white in the silhouette.
    const TGlyphMesh box = TOutlineGlyphBuilder::BuildMesh(font, QStringLiteral("ㅁ"), 0.5f);
    const float cx = box.Metrics.gmfptGlyphOriginX + box.Metrics.gmfBlackBoxX / 2;
    const float cy = box.Metrics.gmfptGlyphOriginY - box.Metrics.gmfBlackBoxY / 2;
    const QImage silhouette = FrontSilhouette(box, size);
    EXPECT_FALSE(Black(silhouette.pixel(int(cx * size), int(size * 0.8 - cy * size))));
}

TEST(OutlineGlyphBuilder, SolidsAreClosedExtrudedAndWoundForTheScene) {
    const QFont font(QStringLiteral("Noto Sans CJK KR"));
    const TGlyphMesh mesh = TOutlineGlyphBuilder::BuildMesh(font, QStringLiteral("ㅁ"), 0.5f);
    int front = 0, back = 0, side = 0;
    const auto& p = mesh.Positions;
    const auto& n = mesh.Normals;
    ASSERT_EQ(p.size(), n.size());
    for (std::size_t i = 0; i + 9 <= p.size(); i += 9) {
        const double ax = p[i + 3] - p[i], ay = p[i + 4] - p[i + 1], az = p[i + 5] - p[i + 2];
        const double bx = p[i + 6] - p[i], by = p[i + 7] - p[i + 1], bz = p[i + 8] - p[i + 2];
        // Counter-clockwise normal of the triangle.
        const double cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
        const double dot = cx * n[i] + cy * n[i + 1] + cz * n[i + 2];
        // Clockwise seen from outside: the CCW normal points inwards.
        if (std::abs(cx) + std::abs(cy) + std::abs(cz) > 1e-9) {
            EXPECT_LT(dot, 0) << i / 9;
        }
        if (n[i + 2] > 0.5f) {
            ++front;
            EXPECT_FLOAT_EQ(p[i + 2], 0);
        } else if (n[i + 2] < -0.5f) {
            ++back;
            EXPECT_FLOAT_EQ(p[i + 2], -0.5f);
        } else {
            ++side;
        }
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(p[i + 3 * k + 2], -0.5f);
            EXPECT_LE(p[i + 3 * k + 2], 0);
        }
    }
    EXPECT_EQ(front, back);
    EXPECT_GT(side, 8); // at least two contours of four edges, two triangles each
    // The ink box sits in em units; the pen advances about one em.
    EXPECT_GT(mesh.Metrics.gmfBlackBoxX, 0.3f);
    EXPECT_LT(mesh.Metrics.gmfBlackBoxX, 1.0f);
    EXPECT_GT(mesh.Metrics.gmfCellIncX, 0.6f);
    EXPECT_LT(mesh.Metrics.gmfCellIncX, 1.3f);
    // A space has no solid but still advances.
    const TGlyphMesh space = TOutlineGlyphBuilder::BuildMesh(font, QStringLiteral(" "), 0.5f);
    EXPECT_EQ(space.TriangleCount(), 0);
    EXPECT_GT(space.Metrics.gmfCellIncX, 0.1f);
}

TEST(SelKeyList, CaptionGlyphListsAreNamedFrom1001AndReplacedPerCaption) {
    TGLPanel panel;
    panel.resize(200, 200);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    panel.SetCurrentGLContext();
    {
        TSelKeyList list([](int) { return 0; });
        list.GLPanel = &panel;
        QFont font(QStringLiteral("Noto Sans CJK KR"));
        font.setPointSize(30);
        list.AssignFont(font);
        list.BuildProblemGlyphs(QStringLiteral("ab"));
        EXPECT_EQ(list.ProblemModelID(), 1001);
        EXPECT_EQ(list.CallListIDList(), (QList<int>{1001, 1002}));
        EXPECT_TRUE(glIsList(1001));
        EXPECT_TRUE(glIsList(1002));
        EXPECT_GT(list.GlyphMetrics(0).gmfCellIncX, 0);
        EXPECT_GT(list.GlyphMetrics(1).gmfCellIncX, 0);

        // A one-character caption deletes the previous lists first.
        list.BuildProblemGlyphs(QStringLiteral("뷁"));
        EXPECT_EQ(list.CallListIDList(), (QList<int>{1001}));
        EXPECT_TRUE(glIsList(1001));
        EXPECT_FALSE(glIsList(1002));
        EXPECT_EQ(list.GlyphMetrics(1).gmfCellIncX, 0);

        // Each list moves the pen on by the glyph's advance.
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glCallList(1001);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        glPopMatrix();
        EXPECT_NEAR(m[12], list.GlyphMetrics(0).gmfCellIncX, 1e-5);

        list.ClearCallLists();
        EXPECT_TRUE(list.CallListIDList().isEmpty());
        EXPECT_FALSE(glIsList(1001));
        list.BuildProblemGlyphs(QStringLiteral("x"));
    }
    // Destruction deletes the lists.
    panel.SetCurrentGLContext();
    EXPECT_FALSE(glIsList(1001));
}
