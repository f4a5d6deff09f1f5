#include "history/HistoryKeyboardView.h"

#include "app/KeyLabel.h"
#include "history/WeakKeyWeights.h"

#include <algorithm>
#include <cmath>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double kRowUnits = 15.0; // the digit row: 13 keys and Backspace
constexpr int kRows = 4;

// What the layout shows on one half of a key, as the history names it:
// letters compare without case.
QString HalfItem(const TKeyInfo& info, int shift) {
    const QString& text = info.DisplayChar[shift];
    if (text.isEmpty() || text == QLatin1String(" ") || text.contains(QChar(u'\r')))
        return {};
    return text;
}

bool SameItem(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor(int(a.red() + (b.red() - a.red()) * t),
                  int(a.green() + (b.green() - a.green()) * t),
                  int(a.blue() + (b.blue() - a.blue()) * t));
}

} // namespace

THistoryKeyboardView::THistoryKeyboardView(QWidget* parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void THistoryKeyboardView::SetLayoutIndex(int index) {
    if (index < 0 || index >= kLayoutCount)
        return;
    FLayoutIndex = index;
    Rematch();
}

void THistoryKeyboardView::SetStats(const std::vector<THistoryKeyStat>& stats) {
    FStats = stats;
    Rematch();
}

void THistoryKeyboardView::SetShade(TShade shade) {
    FShade = shade;
    update();
}

void THistoryKeyboardView::Rematch() {
    const TEnglishKeyboardLayout& layout = KeyboardLayout(FLayoutIndex);
    FKeyStats.fill(THistoryKeyStat());
    for (int i = 0; i < kKeyCount; ++i) {
        const TKeyInfo& info = layout[std::size_t(i)];
        if (info.KeyGroup == kgControl)
            continue;
        THistoryKeyStat& sum = FKeyStats[std::size_t(i)];
        const QString halves[2] = {HalfItem(info, 0), HalfItem(info, 1)};
        for (const THistoryKeyStat& stat : FStats) {
            bool match = false;
            if (stat.Kind == hfKey) {
                match = stat.Code >= 0 && stat.Code / 2 == i && !halves[stat.Code % 2].isEmpty();
            } else if (stat.Kind == hfJamo) {
                match = stat.Item == halves[0] || stat.Item == halves[1];
            } else if (stat.Item.size() == 1) {
                // A syllable is on no key; its jamo facts are.
                const char16_t c = stat.Item[0].unicode();
                const bool syllable = c >= 0xAC00 && c <= 0xD7A3;
                match =
                    !syllable && (SameItem(stat.Item, halves[0]) || SameItem(stat.Item, halves[1]));
            }
            if (!match)
                continue;
            sum.Count += stat.Count;
            sum.Wrong += stat.Wrong;
            sum.TotalMs += stat.TotalMs;
        }
    }
    std::vector<THistoryKeyStat> keys(FKeyStats.begin(), FKeyStats.end());
    FMedianMs = TWeakKeyWeights::MedianMs(keys);
    update();
}

double THistoryKeyboardView::Badness(int index) const {
    const THistoryKeyStat& stat = FKeyStats.at(std::size_t(index));
    if (stat.Count < TWeakKeyWeights::kMinCount)
        return -1;
    if (FShade == shErrors)
        return stat.ErrorRate() / 0.25; // one error in four is as bad as it gets
    if (FMedianMs <= 0)
        return 0;
    return stat.MeanMs() / FMedianMs - 0.75; // a quarter quicker than typical is best
}

QColor THistoryKeyboardView::KeyColor(int index) const {
    const double badness = Badness(index);
    if (badness < 0)
        return NoDataColor();
    // Green through yellow to red.
    const QColor middle(246, 214, 92);
    return badness < 0.5 ? Mix(GoodColor(), middle, badness * 2)
                         : Mix(middle, BadColor(), badness * 2 - 1);
}

QRect THistoryKeyboardView::KeyRect(int index) const {
    const double unit = std::min((width() - 8) / kRowUnits, (height() - 8) / double(kRows));
    const double left = (width() - unit * kRowUnits) / 2;
    const double top = (height() - unit * kRows) / 2;
    const TPhysicalKey& key = PhysicalKey(index);
    double x = 0;
    for (int i = index - 1; i >= 0 && PhysicalKey(i).Row == key.Row; --i)
        x += PhysicalKey(i).Width;
    return QRect(int(left + x * unit) + 2, int(top + (key.Row - 1) * unit) + 2,
                 int(key.Width * unit) - 4, int(unit) - 4);
}

void THistoryKeyboardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().window());
    const TEnglishKeyboardLayout& layout = KeyboardLayout(FLayoutIndex);
    for (int i = 0; i < kKeyCount; ++i) {
        const QRect cell = KeyRect(i);
        const TKeyInfo& info = layout[std::size_t(i)];
        const bool control = info.KeyGroup == kgControl;
        QPainterPath cap;
        cap.addRoundedRect(QRectF(cell), cell.height() * 0.12, cell.height() * 0.12);
        painter.fillPath(cap, control ? QColor(196, 198, 204) : KeyColor(i));
        painter.setPen(QPen(QColor(96, 98, 106), 1.2));
        painter.drawPath(cap);

        QFont font = this->font();
        font.setPixelSize(std::max(8, cell.height() * (control ? 22 : 36) / 100));
        font.setBold(!control);
        painter.setFont(font);
        painter.setPen(QColor(30, 30, 36));
        const QRect square(cell.topLeft(), QSize(cell.height(), cell.height()));
        const QString& plain = info.DisplayChar[0];
        const QString& shifted = info.DisplayChar[1];
        const bool hasShifted = shifted != QLatin1String(" ") && !shifted.isEmpty();
        if (control)
            DrawKeyLabel(painter, cell, klhWhole, false, plain, klvWhole);
        else if (hasShifted) {
            DrawKeyLabel(painter, square, klhLeftHalf, false, shifted, klvUpperHalf);
            DrawKeyLabel(painter, square, klhLeftHalf, false, plain, klvLowerHalf);
        } else
            DrawKeyLabel(painter, square, klhLeftHalf, false, plain, klvWhole);

        // The figure the shade stands for, in the key's lower right corner.
        const THistoryKeyStat& stat = FKeyStats[std::size_t(i)];
        if (!control && stat.Count >= TWeakKeyWeights::kMinCount) {
            QFont small = this->font();
            small.setPixelSize(std::max(7, cell.height() * 20 / 100));
            painter.setFont(small);
            const QString figure =
                FShade == shErrors ? QStringLiteral("%1%").arg(std::lround(stat.ErrorRate() * 100))
                                   : QStringLiteral("%1ms").arg(std::lround(stat.MeanMs()));
            painter.drawText(cell.adjusted(0, 0, -4, -2), Qt::AlignRight | Qt::AlignBottom, figure);
        }
    }
}
