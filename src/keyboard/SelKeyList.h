#pragma once

#include "app/KeyboardLayouts.h"
#include "keyboard/OutlineGlyphBuilder.h"

#include <array>
#include <cstdint>
#include <functional>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>

class TGLPanel;

// Modifier keys held during a key event.
enum TShiftStateFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssMeta = 1u << 3,
};
using TShiftState = unsigned;

// The font description the caption glyphs are made from (the fields of a
// classic logical font; the ones not listed stay 0).
struct TLogFont {
    int lfHeight = 0;
    int lfWidth = 0;
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = 0;
    bool lfItalic = false;
    bool lfUnderline = false;
    bool lfStrikeOut = false;
    int lfCharSet = 0;
    int lfOutPrecision = 0;
    int lfClipPrecision = 0;
    int lfQuality = 0;
    int lfPitchAndFamily = 0;
    QString lfFaceName;
};

// The drill set of the keyboard practice: every character (key index x 2 +
// shift, the "selection code") of a layout whose key group the learner
// chose, the current problem picked at random without repeating either of
// the two before it, and the caption of the problem as extruded glyphs in
// display lists 1001, 1002, ... of the practice screen's GL panel.
class TSelKeyList {
public:
    // Random(n) gives 0 .. n-1; empty: a generator seeded from the clock.
    explicit TSelKeyList(std::function<int(int)> random = {});
    // Deletes the caption's display lists (in the panel's context).
    ~TSelKeyList();
    TSelKeyList(const TSelKeyList&) = delete;
    TSelKeyList& operator=(const TSelKeyList&) = delete;

    // Fills the list with the selection codes of KeyLayout whose group is in
    // KeyGroupSet, in key order, unshifted before shifted. The current and
    // previous problems stay.
    void BuildList(const TEnglishKeyboardLayout& KeyLayout, TKeyGroupSet KeyGroupSet);
    // Picks the next problem and builds its caption glyphs. Nothing happens
    // on an empty list.
    void NextProblem();
    // Pick weights by selection code ("약한 글쇠 위주로"): with any set, a
    // candidate comes up in proportion to its weight (codes without one
    // weigh 1); empty, every candidate is equally likely. The last-two rule
    // holds either way.
    void SetWeights(QHash<int, double> weights) { FWeights = std::move(weights); }
    const QHash<int, double>& Weights() const { return FWeights; }
    // Position of the first entry whose key has the virtual-key code, -1.
    int FindByKey(std::uint16_t key) const;
    bool IsSelKeyLeftHand() const;
    // The press answers the problem: its key, with exactly Shift held for a
    // shifted character and nothing held otherwise.
    bool IsCorrectKey(std::uint16_t key, TShiftState shift) const;
    // The finger model that holds Shift for the problem, empty when none.
    QString GetShiftFingerName() const;
    void AssignFont(const QFont& font);
    // Builds one display list per caption character from FLogFont, named
    // from 1001 in caption order. Needs the panel's context (made current
    // here when a panel is set; otherwise the current one, if any).
    void BuildProblemGlyphs(const QString& caption);
    void ClearCallLists();

    int Count() const { return int(FItems.size()); }
    int Items(int index) const { return FItems.at(index); }

    std::uint16_t SelKey() const;
    bool SelShift() const;
    QString SelCaption() const;
    bool SelIsJongSung() const;
    TFingerPos SelFingerPos() const;

    int SelIndex() const { return FSelIndex; }
    int PrevSelIndex1() const { return FPrevSelIndex1; }
    int PrevSelIndex2() const { return FPrevSelIndex2; }
    const TLogFont& LogFont() const { return FLogFont; }
    const QList<int>& CallListIDList() const { return FCallListIDList; }
    const TGlyphMetricsFloat& GlyphMetrics(int index) const { return FFAGMF.at(index); }
    int ProblemModelID() const { return FProblemModelID; }
    // The font FLogFont describes.
    QFont GlyphFont() const;

    // The panel whose context holds the caption lists; none: no glyphs are
    // built (the exercise rules run without a window in tests).
    TGLPanel* GLPanel = nullptr;

    static constexpr int kFirstCaptionList = 1001;
    static constexpr int kMetricSlots = 97;

private:
    int RandomBelow(int n) const;
    bool MakeCurrent() const;

    QList<int> FItems;
    int FSelIndex = -1;
    int FPrevSelIndex1 = -1;
    int FPrevSelIndex2 = -1;
    TEnglishKeyboardLayout FKeyLayout;
    QList<int> FCallListIDList;
    std::array<TGlyphMetricsFloat, kMetricSlots> FFAGMF{};
    TLogFont FLogFont;
    int FProblemModelID = 0;
    std::function<int(int)> FRandom;
    QHash<int, double> FWeights;
};
