#include "games/SaveMeGameSetUpForm.h"

#include "app/MediaPath.h"
#include "app/RavlinApplication.h"
#include "app/RavlinError.h"
#include "app/SettingsStore.h"
#include "games/GameWordFile.h"
#include "games/SaveMeGameForm.h"
#include "games/ScoreForm.h"
#include "history/HistoryForm.h"
#include "platform/HelpWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadialGradient>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int kLevelCount = 8;

// The two icons that alternate down the word-file list: a small moon (0) and
// a small Earth (1), the two bodies of the game.
QIcon TextIcon(int index) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(1.5, 1.5, 13, 13);
    QRadialGradient light(QPointF(5.5, 5), 11);
    if (index == 0) {
        light.setColorAt(0, QColor(236, 234, 226));
        light.setColorAt(1, QColor(120, 118, 112));
    } else {
        light.setColorAt(0, QColor(120, 190, 255));
        light.setColorAt(1, QColor(18, 60, 140));
    }
    painter.setPen(QPen(QColor(70, 70, 80), 0.8));
    painter.setBrush(light);
    painter.drawEllipse(disc);
    painter.setPen(Qt::NoPen);
    if (index == 0) {
        painter.setBrush(QColor(140, 138, 130));
        painter.drawEllipse(QRectF(8, 4.5, 3.5, 3.5));
        painter.drawEllipse(QRectF(4.5, 9, 2.5, 2.5));
        painter.drawEllipse(QRectF(9.5, 10, 1.8, 1.8));
    } else {
        painter.setBrush(QColor(70, 160, 70));
        painter.drawEllipse(QRectF(4, 4, 4.5, 6));
        painter.drawEllipse(QRectF(9, 7.5, 3.5, 4.5));
    }
    return QIcon(pixmap);
}

// The game window for a started game; an earlier one goes first, so there is
// only ever one game running.
void OpenGameWindow(const QString& fileName, int level, const std::optional<QStringList>& lines) {
    delete TSaveMeGameForm::Current();
    auto* game = new TSaveMeGameForm();
    game->show();
    if (lines)
        game->StartGame(fileName, level, *lines);
}

} // namespace

TSaveMeGameSetUpForm::TSaveMeGameSetUpForm(QWidget* parent, TStartGame startGame)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , FStartGame(startGame ? std::move(startGame) : TStartGame(OpenGameWindow)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("SaveMeGameSetUpForm"));
    setWindowTitle(QStringLiteral("'오르발론' 게임설정"));
    setFixedSize(530, 322);
    QFont font(QStringLiteral("굴림"));
    font.setPixelSize(12);
    setFont(font);

    // Word files: one column of names with alternating icons; the selection
    // stays visible when the list loses the focus.
    GroupBox2 = new QGroupBox(QStringLiteral("연습할 글"), this);
    GroupBox2->setGeometry(8, 6, 262, 308);
    lvText = new QListWidget(GroupBox2);
    lvText->setObjectName(QStringLiteral("lvText"));
    lvText->setSelectionMode(QAbstractItemView::SingleSelection);
    lvText->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvText->setIconSize(QSize(16, 16));
    lvText->setUniformItemSizes(true);
    QPalette keepSelection = lvText->palette();
    keepSelection.setColor(QPalette::Inactive, QPalette::Highlight,
                           keepSelection.color(QPalette::Active, QPalette::Highlight));
    keepSelection.setColor(QPalette::Inactive, QPalette::HighlightedText,
                           keepSelection.color(QPalette::Active, QPalette::HighlightedText));
    lvText->setPalette(keepSelection);
    auto* listLayout = new QVBoxLayout(GroupBox2);
    listLayout->setContentsMargins(6, 4, 6, 6);
    listLayout->addWidget(lvText);

    // Start level, two columns.
    LevelGroupBox = new QGroupBox(QStringLiteral("시작단계"), this);
    LevelGroupBox->setObjectName(QStringLiteral("LevelGroup"));
    LevelGroupBox->setGeometry(278, 6, 158, 122);
    LevelGroup = new QButtonGroup(this);
    auto* levelGrid = new QGridLayout(LevelGroupBox);
    levelGrid->setContentsMargins(8, 4, 4, 4);
    levelGrid->setHorizontalSpacing(4);
    levelGrid->setVerticalSpacing(2);
    for (int i = 0; i < kLevelCount; ++i) {
        auto* radio = new QRadioButton(QStringLiteral("%1단계(&%1)").arg(i + 1), LevelGroupBox);
        LevelGroup->addButton(radio, i);
        // The first column holds levels 1 to 4, the second 5 to 8.
        levelGrid->addWidget(radio, i % 4, i / 4);
    }

    // The word font, shown on a large button.
    GroupBox1 = new QGroupBox(QStringLiteral("폰트설정"), this);
    GroupBox1->setGeometry(278, 134, 244, 110);
    FontBtn = new QPushButton(FontSample(), GroupBox1);
    FontBtn->setObjectName(QStringLiteral("FontBtn"));
    FontBtn->setGeometry(8, 20, 228, 82);
    FontDialog = new QFontDialog(this);
    FontDialog->setOption(QFontDialog::DontUseNativeDialog);
    FontDialog->setWindowTitle(QStringLiteral("폰트설정"));

    UseBgmCB = new QCheckBox(QStringLiteral("배경음악 사용하기"), this);
    UseSoundCB = new QCheckBox(QStringLiteral("폭탄효과음 사용하기"), this);
    QFont bold = font;
    bold.setBold(true);
    UseBgmCB->setFont(bold);
    UseSoundCB->setFont(bold);
    UseBgmCB->setGeometry(286, 256, 160, 22);
    UseSoundCB->setGeometry(286, 284, 160, 22);

    OkBtn = new QPushButton(QStringLiteral("시작(&S)"), this);
    OkBtn->setGeometry(444, 12, 78, 28);
    OkBtn->setDefault(true);
    NoBtn = new QPushButton(QStringLiteral("취소(&C)"), this);
    NoBtn->setGeometry(444, 46, 78, 28);
    ScoreBtn = new QPushButton(QStringLiteral("점수판(&B)"), this);
    ScoreBtn->setGeometry(444, 254, 78, 26);
    HelpBtn = new QPushButton(QStringLiteral("도움말(&H)"), this);
    HelpBtn->setGeometry(444, 286, 78, 26);
    auto* historyBtn = new QPushButton(QStringLiteral("기록(&R)"), this);
    historyBtn->setObjectName(QStringLiteral("HistoryButton"));
    historyBtn->setGeometry(444, 80, 78, 28);
    connect(historyBtn, &QPushButton::clicked, this,
            [this] { THistoryForm::ShowHistory(this, haOrbalon); });

    connect(OkBtn, &QPushButton::clicked, this, &TSaveMeGameSetUpForm::OkBtnClick);
    connect(NoBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ScoreBtn, &QPushButton::clicked, this, &TSaveMeGameSetUpForm::ScoreBtnClick);
    connect(HelpBtn, &QPushButton::clicked, this, &TSaveMeGameSetUpForm::HelpBtnClick);
    connect(FontBtn, &QPushButton::clicked, this, &TSaveMeGameSetUpForm::FontBtnClick);
    // A double click on a word file starts it, as in the other setups' lists.
    connect(lvText, &QListWidget::itemDoubleClicked, this, &TSaveMeGameSetUpForm::OkBtnClick);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();
}

void TSaveMeGameSetUpForm::FormCreate() {
    const QDir folder(MediaPath(QStringLiteral("Text/")));
    const QFileInfoList files =
        folder.entryInfoList({QStringLiteral("*.game")}, QDir::Files, QDir::Name);
    const QIcon icons[2] = {TextIcon(0), TextIcon(1)};
    for (int i = 0; i < files.size(); ++i) {
        const QString name = files[i].fileName();
        // 1st, 3rd, 5th ... entry: icon 1; the others icon 0.
        new QListWidgetItem(icons[i % 2 == 0 ? 1 : 0], name.left(name.size() - 5), lvText);
    }

    // An unreadable settings file leaves the record's defaults.
    try {
        LoadSaveMeGameSetUp();
    } catch (const ERavlinError&) {
    }
    const int level = SaveMeGameSetUp.GameLevel;
    LevelGroup->button(level >= 1 && level <= kLevelCount ? level - 1 : 0)->setChecked(true);
    UseSoundCB->setChecked(SaveMeGameSetUp.UseSound);
    UseBgmCB->setChecked(SaveMeGameSetUp.UseBGM);

    QFont chosen(SaveMeGameSetUp.FontName);
    chosen.setPointSize(std::max(SaveMeGameSetUp.FontSize, 1));
    chosen.setBold(SaveMeGameSetUp.FontBold);
    chosen.setItalic(SaveMeGameSetUp.FontItalic);
    SetChosenFont(chosen);

    for (int i = 0; i < lvText->count(); ++i) {
        if (lvText->item(i)->text().compare(SaveMeGameSetUp.TextName, Qt::CaseInsensitive) == 0) {
            lvText->setCurrentItem(lvText->item(i));
            lvText->scrollToItem(lvText->item(i));
            lvText->setFocus();
            break;
        }
    }
}

void TSaveMeGameSetUpForm::SetChosenFont(const QFont& font) {
    FChosenFont = font;
    // The sample is drawn in the chosen face, weight and slant; a size too
    // large for the button is shrunk until the sample fits.
    QFont shown = font;
    const int width = FontBtn->width() - 16;
    const int height = FontBtn->height() - 8;
    int points = std::max(font.pointSize(), 1);
    shown.setPointSize(points);
    while (points > 6) {
        const QFontMetrics metrics(shown);
        if (metrics.horizontalAdvance(FontSample()) <= width && metrics.height() <= height)
            break;
        shown.setPointSize(--points);
    }
    FontBtn->setFont(shown);
    FontBtn->setToolTip(QStringLiteral("%1, %2pt").arg(font.family()).arg(font.pointSize()));
}

void TSaveMeGameSetUpForm::FormActivate() {
    if (lvText->selectedItems().isEmpty() && lvText->count() > 0) {
        lvText->setCurrentItem(lvText->item(0));
        lvText->setFocus();
    }
}

void TSaveMeGameSetUpForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TSaveMeGameSetUpForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TSaveMeGameSetUpForm::FontBtnClick() {
    // The dialog lists real families; a substituted face name ("궁서") is
    // shown as the face that stands in for it.
    QFont current = FChosenFont;
    current.setFamily(QFontInfo(current).family());
    FontDialog->setCurrentFont(current);
    if (FontDialog->exec() == QDialog::Accepted)
        SetChosenFont(FontDialog->selectedFont());
}

void TSaveMeGameSetUpForm::OkBtnClick() {
    const QList<QListWidgetItem*> selected = lvText->selectedItems();
    if (selected.isEmpty()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("알림"),
                        QStringLiteral("연습할 파일을 선택하세요."), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    const QString caption = selected.constFirst()->text();

    SaveMeGameSetUp.GameLevel = LevelGroup->checkedId() + 1;
    SaveMeGameSetUp.UseSound = UseSoundCB->isChecked();
    SaveMeGameSetUp.UseBGM = UseBgmCB->isChecked();
    SaveMeGameSetUp.FontName = FChosenFont.family();
    if (FChosenFont.pointSize() > 0)
        SaveMeGameSetUp.FontSize = FChosenFont.pointSize();
    SaveMeGameSetUp.FontBold = FChosenFont.bold();
    SaveMeGameSetUp.FontItalic = FChosenFont.italic();
    SaveMeGameSetUp.TextName = caption;
    try {
        SaveSaveMeGameSetUp();
    } catch (const ERavlinError& error) {
        // The choice could not be kept for next time; the game still starts.
        ShowErrorMessage(this, error.Message());
    }

    const QString fileName = MediaPath(QStringLiteral("TEXT/") + caption + QStringLiteral(".game"));
    std::optional<QStringList> lines;
    try {
        lines = TGameWordFile::ReadLines(fileName);
    } catch (const ERavlinError&) {
        // An unreadable word file stops the game's start without a word.
    }
    if (FStartGame) {
        try {
            FStartGame(fileName, SaveMeGameSetUp.GameLevel, lines);
        } catch (const ERavlinError& error) {
            // The game window could not be made (its model is missing, say):
            // the dialog stays open.
            ShowErrorMessage(this, error.Message());
            return;
        }
    }
    accept();
}

void TSaveMeGameSetUpForm::ScoreBtnClick() {
    TScoreForm::ShowBoard(this);
}

void TSaveMeGameSetUpForm::HelpBtnClick() {
    THelpWindow::ShowTopic(this, HelpTopic());
}
