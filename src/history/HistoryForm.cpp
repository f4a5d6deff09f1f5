#include "history/HistoryForm.h"

#include "app/KeyboardLayouts.h"
#include "app/SettingsRecords.h"
#include "history/HistoryKeyboardView.h"
#include "history/HistoryRecorder.h"
#include "history/WeakKeyWeights.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <cmath>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {

constexpr qint64 kMsPerDay = 24LL * 60 * 60 * 1000;

const char* const kPeriodCaptions[] = {"전체 기간", "최근 7일", "최근 30일", "최근 90일",
                                       "최근 1년"};

bool IsGame(int activity) {
    return activity == haClockwig || activity == haOrbalon;
}

// How an item is named in the list: the space key by name.
QString ItemCaption(const THistoryKeyStat& stat) {
    if (stat.Item == QLatin1String(" "))
        return QStringLiteral("스페이스");
    return stat.Item;
}

} // namespace

THistoryForm::THistoryForm(QWidget* parent, int activity, int layoutIndex, const QString& path,
                           TClock clock)
    : QDialog(parent)
    , FDb(std::make_unique<THistoryDatabase>(path))
    , FClock(clock ? std::move(clock)
                   : TClock([] { return QDateTime::currentMSecsSinceEpoch(); })) {
    setWindowTitle(QStringLiteral("기록"));
    setObjectName(QStringLiteral("HistoryForm"));
    resize(980, 720);

    auto* root = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    root->addLayout(filters);
    ActivityBox = new QComboBox(this);
    for (int i = 0; i < kHistoryActivityCount; ++i)
        ActivityBox->addItem(HistoryActivityCaption(i), i);
    SourceBox = new QComboBox(this);
    SourceBox->setMinimumContentsLength(18);
    SourceBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    PeriodBox = new QComboBox(this);
    for (const char* caption : kPeriodCaptions)
        PeriodBox->addItem(QString::fromUtf8(caption));
    filters->addWidget(new QLabel(QStringLiteral("연습:"), this));
    filters->addWidget(ActivityBox);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(QStringLiteral("글/자판:"), this));
    filters->addWidget(SourceBox, 1);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(QStringLiteral("기간:"), this));
    filters->addWidget(PeriodBox);

    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    QFont summaryFont = SummaryLabel->font();
    summaryFont.setBold(true);
    SummaryLabel->setFont(summaryFont);
    root->addWidget(SummaryLabel);

    Chart = new QChart;
    Chart->legend()->setAlignment(Qt::AlignTop);
    Chart->setMargins(QMargins(4, 4, 4, 4));
    SpeedSeries = new QLineSeries;
    AccuracySeries = new QLineSeries;
    SpeedSeries->setPen(QPen(QColor(32, 96, 200), 2.2));
    AccuracySeries->setPen(QPen(QColor(232, 128, 24), 1.8));
    SpeedSeries->setPointsVisible(true);
    Chart->addSeries(SpeedSeries);
    Chart->addSeries(AccuracySeries);
    TimeAxis = new QDateTimeAxis;
    SpeedAxis = new QValueAxis;
    AccuracyAxis = new QValueAxis;
    SpeedAxis->setLabelFormat(QStringLiteral("%d"));
    AccuracyAxis->setLabelFormat(QStringLiteral("%d%%"));
    Chart->addAxis(TimeAxis, Qt::AlignBottom);
    Chart->addAxis(SpeedAxis, Qt::AlignLeft);
    Chart->addAxis(AccuracyAxis, Qt::AlignRight);
    SpeedSeries->attachAxis(TimeAxis);
    SpeedSeries->attachAxis(SpeedAxis);
    AccuracySeries->attachAxis(TimeAxis);
    AccuracySeries->attachAxis(AccuracyAxis);
    ChartView = new QChartView(Chart, this);
    ChartView->setRenderHint(QPainter::Antialiasing);
    ChartView->setMinimumHeight(260);
    root->addWidget(ChartView, 3);

    auto* keysBox = new QGroupBox(QStringLiteral("글쇠별"), this);
    auto* keysLayout = new QHBoxLayout(keysBox);
    auto* keyboardColumn = new QVBoxLayout;
    keysLayout->addLayout(keyboardColumn, 3);
    auto* keyboardBar = new QHBoxLayout;
    keyboardColumn->addLayout(keyboardBar);
    LayoutBox = new QComboBox(keysBox);
    for (int i = 0; i < kLayoutCount; ++i)
        LayoutBox->addItem(LayoutCaption(i));
    keyboardBar->addWidget(new QLabel(QStringLiteral("자판:"), keysBox));
    keyboardBar->addWidget(LayoutBox);
    keyboardBar->addSpacing(12);
    ShadeGroup = new QButtonGroup(this);
    auto* byErrors = new QRadioButton(QStringLiteral("오타율"), keysBox);
    auto* bySlowness = new QRadioButton(QStringLiteral("느린 정도"), keysBox);
    ShadeGroup->addButton(byErrors, THistoryKeyboardView::shErrors);
    ShadeGroup->addButton(bySlowness, THistoryKeyboardView::shSlowness);
    byErrors->setChecked(true);
    keyboardBar->addWidget(byErrors);
    keyboardBar->addWidget(bySlowness);
    keyboardBar->addStretch(1);
    KeyboardView = new THistoryKeyboardView(keysBox);
    keyboardColumn->addWidget(KeyboardView, 1);
    KeysCaption = new QLabel(keysBox);
    keyboardColumn->addWidget(KeysCaption);

    WeakList = new QTreeWidget(keysBox);
    WeakList->setObjectName(QStringLiteral("WeakList"));
    WeakList->setHeaderLabels(
        {QStringLiteral("약한 글쇠"), QStringLiteral("오타율"), QStringLiteral("평균 시간")});
    WeakList->setRootIsDecorated(false);
    WeakList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    WeakList->setMinimumWidth(240);
    keysLayout->addWidget(WeakList, 1);
    root->addWidget(keysBox, 2);

    auto* buttons = new QHBoxLayout;
    root->addLayout(buttons);
    btnExport = new QPushButton(QStringLiteral("CSV로 내보내기..."), this);
    btnClose = new QPushButton(QStringLiteral("닫기"), this);
    buttons->addWidget(btnExport);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    connect(btnExport, &QPushButton::clicked, this, &THistoryForm::ExportClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    ActivityBox->setCurrentIndex(std::clamp(activity, 0, kHistoryActivityCount - 1));
    LayoutBox->setCurrentIndex(std::clamp(layoutIndex, 0, kLayoutCount - 1));
    KeyboardView->SetLayoutIndex(LayoutBox->currentIndex());
    connect(ActivityBox, &QComboBox::currentIndexChanged, this, &THistoryForm::ActivityChanged);
    connect(SourceBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!FFilling)
            Reload();
    });
    connect(PeriodBox, &QComboBox::currentIndexChanged, this, &THistoryForm::Reload);
    connect(LayoutBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { KeyboardView->SetLayoutIndex(index); });
    connect(ShadeGroup, &QButtonGroup::idClicked, this,
            [this](int id) { KeyboardView->SetShade(THistoryKeyboardView::TShade(id)); });
    ActivityChanged();
}

THistoryForm::~THistoryForm() = default;

void THistoryForm::ShowHistory(QWidget* parent, int activity, int layoutIndex) {
    THistoryForm form(parent, activity,
                      layoutIndex >= 0 ? layoutIndex : KeyboardSetup.languageIndex);
    if (!form.Database().IsOpen()) {
        QMessageBox::warning(parent, QStringLiteral("기록"),
                             QStringLiteral("연습 기록을 열 수 없습니다.\n") +
                                 form.Database().LastError());
        return;
    }
    form.exec();
}

int THistoryForm::DefaultLayoutIndex() {
    return KeyboardSetup.languageIndex;
}

void THistoryForm::TellRecovered(QWidget* parent, const QString& movedTo) {
    QMessageBox::information(
        parent, QStringLiteral("기록"),
        QStringLiteral("연습 기록 파일을 읽을 수 없어서 %1(으)로 옮겨 두고 새 기록을 "
                       "시작했습니다.\n설정과 점수는 그대로입니다.")
            .arg(QDir::toNativeSeparators(movedTo)));
}

void THistoryForm::ConnectRecovery(QWidget* window, THistoryRecorder& recorder) {
    recorder.OnRecovered = [window](const QString& movedTo) { TellRecovered(window, movedTo); };
}

THistoryFilter THistoryForm::Filter() const {
    THistoryFilter filter;
    filter.Activity = ActivityBox->currentData().toInt();
    filter.Source = SourceBox->currentIndex() > 0 ? SourceBox->currentText() : QString();
    const int days = kPeriodDays[std::clamp(PeriodBox->currentIndex(), 0, 4)];
    filter.Since = days > 0 ? FClock() - qint64(days) * kMsPerDay : 0;
    return filter;
}

void THistoryForm::ActivityChanged() {
    FillSources();
    Reload();
}

void THistoryForm::FillSources() {
    FFilling = true;
    SourceBox->clear();
    SourceBox->addItem(QStringLiteral("전체"));
    SourceBox->addItems(FDb->Sources(ActivityBox->currentData().toInt()));
    FFilling = false;
}

void THistoryForm::Reload() {
    FSessions = FDb->Sessions(Filter());
    FillChart();
    FillKeys();
}

void THistoryForm::FillChart() {
    const int activity = ActivityBox->currentData().toInt();
    const bool game = IsGame(activity);
    SpeedSeries->setName(game ? QStringLiteral("점수") : QStringLiteral("속도 (타/분)"));
    AccuracySeries->setName(game ? QStringLiteral("레벨") : QStringLiteral("정확도"));
    AccuracyAxis->setLabelFormat(game ? QStringLiteral("%d") : QStringLiteral("%d%%"));

    QList<QPointF> speeds;
    QList<QPointF> accuracies;
    speeds.reserve(qsizetype(FSessions.size()));
    accuracies.reserve(qsizetype(FSessions.size()));
    int best = 0;
    double sum = 0;
    double accuracySum = 0;
    for (const THistorySession& s : FSessions) {
        const double value = game ? s.Score : s.Speed;
        const double second = game ? s.Level : s.Accuracy * 100.0;
        speeds.append(QPointF(double(s.Ended), value));
        accuracies.append(QPointF(double(s.Ended), second));
        best = std::max(best, int(value));
        sum += value;
        accuracySum += second;
    }
    SpeedSeries->replace(speeds);
    AccuracySeries->replace(accuracies);
    // Point markers only while they can still be told apart.
    SpeedSeries->setPointsVisible(speeds.size() <= 60);

    const qint64 now = FClock();
    const qint64 first = FSessions.empty() ? now - kMsPerDay : FSessions.front().Ended;
    const qint64 last = FSessions.empty() ? now : FSessions.back().Ended;
    const qint64 pad = std::max<qint64>((last - first) / 40, 60 * 1000);
    TimeAxis->setRange(QDateTime::fromMSecsSinceEpoch(first - pad),
                       QDateTime::fromMSecsSinceEpoch(last + pad));
    TimeAxis->setFormat(last - first > 2 * kMsPerDay ? QStringLiteral("MM-dd")
                                                     : QStringLiteral("MM-dd HH:mm"));
    TimeAxis->setTickCount(7);
    SpeedAxis->setRange(0, std::max(10.0, std::ceil(best * 1.15 / 10.0) * 10.0));
    SpeedAxis->applyNiceNumbers();
    if (game) {
        double top = 1;
        for (const QPointF& p : accuracies)
            top = std::max(top, p.y());
        AccuracyAxis->setRange(0, top + 1);
    } else {
        AccuracyAxis->setRange(0, 100);
    }

    const int n = int(FSessions.size());
    if (n == 0) {
        SummaryLabel->setText(
            QStringLiteral("아직 기록이 없습니다. 연습을 마치면 여기에 쌓입니다."));
    } else if (game) {
        SummaryLabel->setText(QStringLiteral("%1회   최고 점수 %2   평균 점수 %3   평균 레벨 %4")
                                  .arg(n)
                                  .arg(best)
                                  .arg(std::lround(sum / n))
                                  .arg(accuracySum / n, 0, 'f', 1));
    } else {
        SummaryLabel->setText(
            QStringLiteral("%1회   최고 %2 타/분   평균 %3 타/분   평균 정확도 %4%")
                .arg(n)
                .arg(best)
                .arg(std::lround(sum / n))
                .arg(accuracySum / n, 0, 'f', 1));
    }
}

void THistoryForm::FillKeys() {
    const int activity = ActivityBox->currentData().toInt();
    std::vector<THistoryKeyStat> stats;
    if (!IsGame(activity))
        stats = FDb->KeyStats(Filter());
    KeyboardView->SetStats(stats);
    if (activity == haKeyboard) {
        // A drill's source is its layout: show that one.
        const int layout = [&] {
            for (int i = 0; i < kLayoutCount; ++i)
                if (LayoutCaption(i) == Filter().Source)
                    return i;
            return -1;
        }();
        if (layout >= 0)
            LayoutBox->setCurrentIndex(layout);
    }

    // Syllables are listed through their jamo.
    std::vector<THistoryKeyStat> items;
    for (const THistoryKeyStat& stat : stats) {
        const bool syllable = stat.Kind == hfChar && stat.Item.size() == 1 &&
                              stat.Item[0].unicode() >= 0xAC00 && stat.Item[0].unicode() <= 0xD7A3;
        if (!syllable)
            items.push_back(stat);
    }
    FWeakest = TWeakKeyWeights::Weakest(items, 10);
    WeakList->clear();
    for (const THistoryKeyStat& stat : FWeakest) {
        auto* row = new QTreeWidgetItem(WeakList);
        row->setText(0, ItemCaption(stat));
        row->setText(1, QStringLiteral("%1%").arg(stat.ErrorRate() * 100.0, 0, 'f', 1));
        row->setText(2, QStringLiteral("%1 ms").arg(std::lround(stat.MeanMs())));
        QFont big = row->font(0);
        big.setPointSizeF(big.pointSizeF() * 1.3);
        big.setBold(true);
        row->setFont(0, big);
    }
    if (IsGame(activity))
        KeysCaption->setText(QStringLiteral("게임은 글쇠별 기록을 남기지 않습니다."));
    else if (stats.empty())
        KeysCaption->setText(QStringLiteral("글쇠별 기록이 아직 없습니다."));
    else
        KeysCaption->setText(
            QStringLiteral("초록: 잘 치는 글쇠, 빨강: 약한 글쇠, 회색: 기록이 적은 글쇠"));
}

bool THistoryForm::ExportCsv(const QString& fileName) {
    TAtomicFile file(fileName);
    if (!file.Write(FDb->SessionsCsv()) || !file.Commit()) {
        FLastError = file.ErrorString();
        return false;
    }
    return true;
}

void THistoryForm::ExportClick() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fileName =
        QFileDialog::getSaveFileName(this, QStringLiteral("CSV로 내보내기"),
                                     QDir(folder).filePath(QStringLiteral("타비로 기록.csv")),
                                     QStringLiteral("CSV 파일 (*.csv)"));
    if (fileName.isEmpty())
        return;
    if (!ExportCsv(fileName))
        QMessageBox::warning(
            this, QStringLiteral("기록"),
            QStringLiteral("%1 파일을 쓸 수 없습니다.\n%2").arg(fileName, FLastError));
}
