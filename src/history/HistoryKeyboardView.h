#pragma once

#include "app/KeyboardLayouts.h"
#include "history/HistoryRecords.h"

#include <array>
#include <QColor>
#include <QWidget>
#include <vector>

// A flat picture of a keyboard layout, each key shaded by how the learner
// fares on it: by error rate or by slowness (mean time against the
// learner's typical key). Keys are matched to the history's items by the
// characters the layout shows on them (jamo, letters, digits, signs) or, for
// drill problems, by selection code. Keys with too few facts stay grey.
class THistoryKeyboardView : public QWidget {
    Q_OBJECT
public:
    enum TShade { shErrors, shSlowness };

    explicit THistoryKeyboardView(QWidget* parent = nullptr);

    // Layout 0 to 8; anything else keeps the current one.
    void SetLayoutIndex(int index);
    int LayoutIndex() const { return FLayoutIndex; }
    void SetStats(const std::vector<THistoryKeyStat>& stats);
    void SetShade(TShade shade);
    TShade Shade() const { return FShade; }

    // The facts summed on key `index` (both halves), and the colour it is
    // painted with.
    const THistoryKeyStat& KeyStat(int index) const { return FKeyStats.at(std::size_t(index)); }
    QColor KeyColor(int index) const;
    // The key's rectangle in widget coordinates.
    QRect KeyRect(int index) const;

    QSize sizeHint() const override { return {720, 230}; }
    QSize minimumSizeHint() const override { return {450, 150}; }

    // Colours at the two ends of the scale and of a key without facts.
    static QColor GoodColor() { return {170, 222, 160}; }
    static QColor BadColor() { return {226, 62, 48}; }
    static QColor NoDataColor() { return {226, 226, 230}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Rematch();
    // 0 (good) to 1 (bad) of one key; negative without enough facts.
    double Badness(int index) const;

    int FLayoutIndex = 1;
    TShade FShade = shErrors;
    std::vector<THistoryKeyStat> FStats;
    std::array<THistoryKeyStat, kKeyCount> FKeyStats{};
    double FMedianMs = 0;
};
