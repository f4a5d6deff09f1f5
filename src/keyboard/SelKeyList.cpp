#include "keyboard/SelKeyList.h"

#include "gl/GLPanel.h"

#include <algorithm>
#include <cmath>
#include <GL/gl.h>
#include <QOpenGLContext>
#include <QRandomGenerator>

TSelKeyList::TSelKeyList(std::function<int(int)> random)
    : FRandom(std::move(random)) {}

TSelKeyList::~TSelKeyList() {
    if (!MakeCurrent())
        return;
    ClearCallLists();
    if (FProblemModelID != 0)
        glDeleteLists(GLuint(FProblemModelID), 1);
}

bool TSelKeyList::MakeCurrent() const {
    if (GLPanel) {
        GLPanel->SetCurrentGLContext();
        return GLPanel->context() && QOpenGLContext::currentContext() == GLPanel->context();
    }
    return QOpenGLContext::currentContext() != nullptr;
}

int TSelKeyList::RandomBelow(int n) const {
    if (n <= 1)
        return 0;
    if (FRandom)
        return std::clamp(FRandom(n), 0, n - 1);
    return int(QRandomGenerator::global()->bounded(n));
}

namespace {

// The drill group of one half of a key. The layout tables give a key one
// group; a half without a character of its own (" ", such as the shifted
// half of the English letters) belongs to no group.
TKeyGroup GroupOfHalf(const TKeyInfo& info, int shift) {
    if (info.DisplayChar[shift] == QLatin1String(" ") || info.DisplayChar[shift].isEmpty())
        return kgNone;
    return info.KeyGroup;
}

} // namespace

void TSelKeyList::BuildList(const TEnglishKeyboardLayout& KeyLayout, TKeyGroupSet KeyGroupSet) {
    FKeyLayout = KeyLayout;
    FItems.clear();
    for (int i = 0; i < kKeyCount; ++i) {
        for (int shift = 0; shift < 2; ++shift) {
            const TKeyGroup group = GroupOfHalf(FKeyLayout[std::size_t(i)], shift);
            if (group >= 0 && group < kKeyGroupCount && KeyGroupSet.Contains(group))
                FItems.append(2 * i + shift);
        }
    }
}

void TSelKeyList::NextProblem() {
    if (FItems.isEmpty())
        return;
    // Only codes other than the last two are candidates. With one or two
    // entries that leaves nothing, so the exclusion shrinks: with two the
    // problems alternate (only the last one is excluded), with one it
    // repeats. Drawing among the candidates directly always ends.
    QList<int> candidates;
    for (int code : FItems)
        if (code != FPrevSelIndex1 && code != FPrevSelIndex2)
            candidates.append(code);
    if (candidates.isEmpty()) {
        for (int code : FItems)
            if (code != FPrevSelIndex2)
                candidates.append(code);
    }
    if (candidates.isEmpty())
        candidates = FItems;
    if (FWeights.isEmpty()) {
        FSelIndex = candidates.at(RandomBelow(int(candidates.size())));
    } else {
        // Weights in hundredths, each candidate at least one, drawn as one
        // number below their sum.
        QList<int> shares;
        int total = 0;
        for (int code : candidates) {
            const int share = std::max(1, int(std::lround(FWeights.value(code, 1.0) * 100.0)));
            shares.append(share);
            total += share;
        }
        int r = RandomBelow(total);
        qsizetype pick = 0;
        while (pick + 1 < shares.size() && r >= shares[pick])
            r -= shares[pick++];
        FSelIndex = candidates.at(pick);
    }
    BuildProblemGlyphs(SelCaption());
    FPrevSelIndex1 = FPrevSelIndex2;
    FPrevSelIndex2 = FSelIndex;
}

int TSelKeyList::FindByKey(std::uint16_t key) const {
    for (int i = 0; i < FItems.size(); ++i)
        if (PhysicalKey(FItems[i] / 2).Key == key)
            return i;
    return -1;
}

std::uint16_t TSelKeyList::SelKey() const {
    return FSelIndex < 0 ? 0 : PhysicalKey(FSelIndex / 2).Key;
}

bool TSelKeyList::SelShift() const {
    return FSelIndex >= 0 && FSelIndex % 2 == 1;
}

QString TSelKeyList::SelCaption() const {
    if (FSelIndex < 0)
        return {};
    return FKeyLayout[std::size_t(FSelIndex / 2)].DisplayChar[FSelIndex % 2];
}

bool TSelKeyList::SelIsJongSung() const {
    if (FSelIndex < 0)
        return false;
    return FKeyLayout[std::size_t(FSelIndex / 2)].IsJongSung[FSelIndex % 2];
}

TFingerPos TSelKeyList::SelFingerPos() const {
    return FSelIndex < 0 ? fpUnknown : PhysicalKey(FSelIndex / 2).Finger;
}

bool TSelKeyList::IsSelKeyLeftHand() const {
    const TFingerPos finger = SelFingerPos();
    return finger >= fpLeft1 && finger <= fpLeft5;
}

bool TSelKeyList::IsCorrectKey(std::uint16_t key, TShiftState shift) const {
    if (FSelIndex < 0 || key != SelKey())
        return false;
    return shift == (SelShift() ? TShiftState(ssShift) : TShiftState(0));
}

QString TSelKeyList::GetShiftFingerName() const {
    if (!SelShift())
        return {};
    return IsRightHand(SelFingerPos()) ? QStringLiteral("Finger_Left5")
                                       : QStringLiteral("Finger_Right5");
}

void TSelKeyList::AssignFont(const QFont& font) {
    FLogFont = TLogFont();
    // Height as a negative character height in pixels, as classic font
    // descriptions carry it.
    const int pixels =
        font.pixelSize() > 0 ? font.pixelSize() : int(std::lround(font.pointSizeF() * 96.0 / 72.0));
    FLogFont.lfHeight = -pixels;
    FLogFont.lfWeight = font.bold() ? 700 : 500;
    FLogFont.lfItalic = font.italic();
    FLogFont.lfCharSet = 0;
    FLogFont.lfOutPrecision = 4; // outline fonts
    FLogFont.lfClipPrecision = 0;
    FLogFont.lfFaceName = font.family();
}

QFont TSelKeyList::GlyphFont() const {
    QFont font(FLogFont.lfFaceName);
    font.setPixelSize(std::max(1, std::abs(FLogFont.lfHeight)));
    font.setWeight(FLogFont.lfWeight >= 700 ? QFont::Bold : QFont::Medium);
    font.setItalic(FLogFont.lfItalic);
    return font;
}

void TSelKeyList::BuildProblemGlyphs(const QString& caption) {
    if (!MakeCurrent())
        return;
    ClearCallLists();
    FProblemModelID = kFirstCaptionList;
    FFAGMF.fill(TGlyphMetricsFloat());
    const QFont font = GlyphFont();
    int i = 0;
    for (qsizetype pos = 0; pos < caption.size() && i < kMetricSlots; ++i) {
        // One character: a surrogate pair stays together.
        const qsizetype length = caption[pos].isHighSurrogate() && pos + 1 < caption.size() ? 2 : 1;
        const QString character = caption.mid(pos, length);
        pos += length;
        const int name = FProblemModelID + i;
        // A character the fonts cannot outline leaves an empty list.
        TOutlineGlyphBuilder::BuildList(font, character, GLuint(name), 0.5f,
                                        &FFAGMF[std::size_t(i)]);
        FCallListIDList.append(name);
    }
}

void TSelKeyList::ClearCallLists() {
    if (!FCallListIDList.isEmpty() && MakeCurrent()) {
        for (int name : FCallListIDList)
            glDeleteLists(GLuint(name), 1);
    }
    FCallListIDList.clear();
}
