#include "games/GameSetUpForm.h"

#include "app/RavlinApplication.h"
#include "app/RavlinError.h"
#include "app/SettingsStore.h"
#include "games/GameForm.h"
#include "games/ScoreForm.h"
#include "history/HistoryForm.h"
#include "platform/HelpWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("clock");

QGroupBox* RadioGroup(QWidget* parent, const QString& title, const QStringList& items, int columns,
                      QButtonGroup* group, const QRect& geometry) {
    auto* box = new QGroupBox(title, parent);
    box->setGeometry(geometry);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(8, 4, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    const int rows = (int(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        group->addButton(radio, i);
        // Items fill the first column top to bottom, then the next.
        grid->addWidget(radio, i % rows, i / rows);
    }
    return box;
}

// An index read from the file selects its entry; anything out of range
// selects the first.
void SelectIndex(QButtonGroup* group, int index) {
    QAbstractButton* button = group->button(index);
    if (!button)
        button = group->button(0);
    button->setChecked(true);
}

} // namespace

TGameSetUpForm::TGameSetUpForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("'클록윅' 설정"));
    setFixedSize(382, 214);
    QFont font(QStringLiteral("굴림"));
    font.setPixelSize(12);
    setFont(font);

    FRotGroup = new QButtonGroup(this);
    RadioGroup(this, QStringLiteral("시계 회전방향"),
               {QStringLiteral("시계방향(&C)"), QStringLiteral("반시계방향(&O)"),
                QStringLiteral("회전안함(&N)")},
               1, FRotGroup, QRect(6, 6, 118, 96));

    FLanguageGroup = new QButtonGroup(this);
    RadioGroup(this, QStringLiteral("게임종류  설정"),
               {QStringLiteral("한글게임(&K)"), QStringLiteral("영어게임(&E)")}, 1, FLanguageGroup,
               QRect(6, 108, 118, 72));

    FLevelGroup = new QButtonGroup(this);
    QStringList levels;
    for (int i = 1; i <= 8; ++i)
        levels << QStringLiteral("%1단계(&%1)").arg(i);
    RadioGroup(this, QStringLiteral("시작단계"), levels, 2, FLevelGroup, QRect(130, 6, 160, 140));

    FSpeakerCheckBox = new QCheckBox(QStringLiteral("효과음 사용하기"), this);
    QFont bold = FSpeakerCheckBox->font();
    bold.setBold(true);
    FSpeakerCheckBox->setFont(bold);
    FSpeakerCheckBox->setGeometry(136, 156, 150, 22);

    FOkBtn = new QPushButton(QStringLiteral("시작(&S)"), this);
    FOkBtn->setGeometry(296, 12, 78, 28);
    FOkBtn->setDefault(true);
    FNoBtn = new QPushButton(QStringLiteral("취소(&C)"), this);
    FNoBtn->setGeometry(296, 46, 78, 28);
    FScoreBtn = new QPushButton(QStringLiteral("점수판(&B)"), this);
    FScoreBtn->setGeometry(296, 112, 78, 28);
    FHelpBtn = new QPushButton(QStringLiteral("도움말(&H)"), this);
    FHelpBtn->setGeometry(296, 146, 78, 28);
    auto* historyBtn = new QPushButton(QStringLiteral("기록(&R)"), this);
    historyBtn->setObjectName(QStringLiteral("HistoryButton"));
    historyBtn->setGeometry(296, 78, 78, 28);
    connect(historyBtn, &QPushButton::clicked, this,
            [this] { THistoryForm::ShowHistory(this, haClockwig); });

    connect(FOkBtn, &QPushButton::clicked, this, &TGameSetUpForm::OkBtnClick);
    connect(FNoBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(FScoreBtn, &QPushButton::clicked, this, &TGameSetUpForm::ScoreBtnClick);
    connect(FHelpBtn, &QPushButton::clicked, this, &TGameSetUpForm::HelpBtnClick);

    // The form's own selection before the stored options replace it.
    FRotGroup->button(1)->setChecked(true);
    FLevelGroup->button(0)->setChecked(true);
    FLanguageGroup->button(0)->setChecked(true);
    FSpeakerCheckBox->setChecked(true);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();
}

void TGameSetUpForm::FormCreate() {
    TIniFile ini = OpenSettingsIni();
    FSpeakerCheckBox->setChecked(!ini.ReadBool(kSection, QStringLiteral("speaker_off"), false));
    SelectIndex(FLevelGroup, ini.ReadInteger(kSection, QStringLiteral("start_level"), 0));
    SelectIndex(FLanguageGroup, ini.ReadInteger(kSection, QStringLiteral("Language"), 0));
    SelectIndex(FRotGroup, ini.ReadInteger(kSection, QStringLiteral("rotation"), 0));
    CloseSettingsIni(ini);
}

TGameForm* TGameSetUpForm::GameForm() const {
    return FGameForm.data();
}

void TGameSetUpForm::OkBtnClick() {
    // The game window belongs to the application, not to this dialog: it
    // outlives the dialog and frees itself when closed.
    auto* game = new TGameForm();
    FGameForm = game;

    game->SetLevel(FLevelGroup->checkedId() + 1);
    game->SetLanguage(FLanguageGroup->checkedId() == 0 ? 0 : 1);
    const TRotation rotations[] = {clockwise, CounterClockWise, NoRotation};
    game->SetRotation(rotations[std::clamp(FRotGroup->checkedId(), 0, 2)]);
    game->SetSoundOff(!FSpeakerCheckBox->isChecked());

    try {
        TIniFile ini = OpenSettingsIni();
        ini.WriteBool(kSection, QStringLiteral("speaker_off"), !FSpeakerCheckBox->isChecked());
        ini.WriteInteger(kSection, QStringLiteral("start_level"), FLevelGroup->checkedId());
        ini.WriteInteger(kSection, QStringLiteral("Language"), FLanguageGroup->checkedId());
        ini.WriteInteger(kSection, QStringLiteral("rotation"), FRotGroup->checkedId());
        CloseSettingsIni(ini);
    } catch (const ERavlinError& error) {
        // The options could not be kept for next time; the game still starts.
        ShowErrorMessage(this, error.Message());
    }

    accept();
    if (!FGameForm)
        return;
    game->SetTimerInterval();
    game->show();
    if (game->isMinimized())
        game->showNormal();
    game->raise();
    game->activateWindow();
}

void TGameSetUpForm::ScoreBtnClick() {
    TScoreForm::ShowBoard(this);
}

void TGameSetUpForm::HelpBtnClick() {
    THelpWindow::ShowTopic(this, HelpTopic());
}
