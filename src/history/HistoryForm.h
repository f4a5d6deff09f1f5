#pragma once

#include "history/HistoryDatabase.h"

#include <functional>
#include <memory>
#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class THistoryKeyboardView;

class QChart;
class QChartView;
class QLineSeries;
class QDateTimeAxis;
class QValueAxis;

// The learner's progress ("기록"): for one activity, speed and accuracy of
// every session over time (score and level for the games) with the best and
// the average, filtered by text or layout and by period; below it a
// keyboard of the chosen layout shaded by error rate or slowness per key,
// and the ten weakest keys or jamo. "CSV로 내보내기" writes every session to
// a CSV file.
class THistoryForm : public QDialog {
    Q_OBJECT
public:
    // Milliseconds since the epoch; empty: the system clock.
    using TClock = std::function<qint64()>;

    // Reads the database at `path` (empty: the one in the settings folder)
    // and shows `activity`; the keyboard shows layout `layoutIndex`.
    explicit THistoryForm(QWidget* parent = nullptr, int activity = haSentence, int layoutIndex = 1,
                          const QString& path = {}, TClock clock = {});
    ~THistoryForm() override;

    // Opens the window modally over `parent`; layoutIndex < 0: the keyboard
    // practice's layout.
    static void ShowHistory(QWidget* parent, int activity, int layoutIndex = -1);
    // The keyboard practice's layout, the one the keyboard picture starts with.
    static int DefaultLayoutIndex();
    // Tells the learner that an unreadable history was moved to `movedTo`
    // and a fresh one started.
    static void TellRecovered(QWidget* parent, const QString& movedTo);
    // Gives a practice window's recorder that message.
    static void ConnectRecovery(QWidget* window, class THistoryRecorder& recorder);

    // The periods of the period filter, in days (0: all time).
    static constexpr int kPeriodDays[] = {0, 7, 30, 90, 365};

    // Re-reads the database with the current filters.
    void Reload();
    // Writes every session as CSV to `fileName`; false (with the reason in
    // LastError) when it cannot be written.
    bool ExportCsv(const QString& fileName);
    const QString& LastError() const { return FLastError; }

    QComboBox* ActivityBox;
    QComboBox* SourceBox;
    QComboBox* PeriodBox;
    QComboBox* LayoutBox;
    QButtonGroup* ShadeGroup;
    QLabel* SummaryLabel;
    QChartView* ChartView;
    QChart* Chart;
    QLineSeries* SpeedSeries;
    QLineSeries* AccuracySeries;
    QDateTimeAxis* TimeAxis;
    QValueAxis* SpeedAxis;
    QValueAxis* AccuracyAxis;
    THistoryKeyboardView* KeyboardView;
    QLabel* KeysCaption;
    QTreeWidget* WeakList;
    QPushButton* btnExport;
    QPushButton* btnClose;

    // What Reload() found.
    const std::vector<THistorySession>& SessionsShown() const { return FSessions; }
    const std::vector<THistoryKeyStat>& WeakestShown() const { return FWeakest; }
    THistoryDatabase& Database() { return *FDb; }

private:
    void ActivityChanged();
    void FillSources();
    void FillChart();
    void FillKeys();
    void ExportClick();
    THistoryFilter Filter() const;

    std::unique_ptr<THistoryDatabase> FDb;
    TClock FClock;
    std::vector<THistorySession> FSessions;
    std::vector<THistoryKeyStat> FWeakest;
    QString FLastError;
    bool FFilling = false;
};
