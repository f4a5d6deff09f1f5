#include "games/ScoreForm.h"

#include "app/Folders.h"
#include "app/MediaPath.h"
#include "app/RavlinApplication.h"
#include "app/RavlinError.h"
#include "platform/CodePage949.h"
#include "platform/InputComposer.h"
#include "platform/InputModeBadge.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QInputMethod>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStandardItemModel>
#include <QStyledItemDelegate>

namespace {

constexpr int kRowHeight = 18;
constexpr int kHeaderHeight = 19;

enum TScoreColumn { scRank, scName, scScore, scLevel, scDateTime, scLanguage, scColumnCount };

// Hands the painting of every row to the form.
class TScoreRowDelegate : public QStyledItemDelegate {
public:
    explicit TScoreRowDelegate(TScoreForm* form)
        : QStyledItemDelegate(form)
        , FForm(form) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        FForm->ListBox1DrawItem(*painter, option, index.row());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), kRowHeight);
    }

private:
    TScoreForm* FForm;
};

QFont GulimFont() {
    QFont font(QStringLiteral("굴림"));
    font.setPixelSize(13);
    return font;
}

} // namespace

TScoreForm::TScoreForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , FScoreList(std::make_unique<TScoreList>(SettingsDir() + QStringLiteral("cscore.dat"))) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Game Score"));
    setFixedSize(497, 501);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::Base, Qt::white);
    setPalette(pal);

    auto* headerModel = new QStandardItemModel(0, scColumnCount, this);
    headerModel->setHorizontalHeaderLabels({QStringLiteral("순위"), QStringLiteral("이름"),
                                            QStringLiteral("점수"), QStringLiteral("단계"),
                                            QStringLiteral("날짜와 시간"), QStringLiteral("언어")});
    Header1 = new QHeaderView(Qt::Horizontal, this);
    Header1->setModel(headerModel);
    Header1->setFont(GulimFont());
    Header1->setGeometry(0, 0, width(), kHeaderHeight);
    Header1->setMinimumSectionSize(10);
    Header1->setStretchLastSection(false);
    Header1->setSectionsClickable(false);
    const int widths[scColumnCount] = {45, 90, 120, 41, 150, 50};
    for (int c = 0; c < scColumnCount; ++c) {
        Header1->setSectionResizeMode(c,
                                      c == scLevel ? QHeaderView::Interactive : QHeaderView::Fixed);
        Header1->resizeSection(c, widths[c]);
    }

    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(0, kHeaderHeight, width(), height() - kHeaderHeight);
    ListBox1->setFont(GulimFont());
    ListBox1->setUniformItemSizes(true);
    ListBox1->setFrameShape(QFrame::NoFrame);
    ListBox1->setItemDelegate(new TScoreRowDelegate(this));
    ListBox1->setPalette(pal);
    connect(Header1, &QHeaderView::sectionResized, ListBox1->viewport(),
            qOverload<>(&QWidget::update));

    YouBmp = QPixmap(MediaPath(QStringLiteral("Images\\score_you.png")));

    AskName = [this] { return AskNameWithPrompt(); };

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    ReadScore();
}

TScoreForm::~TScoreForm() = default;

void TScoreForm::ShowBoard(QWidget* parent) {
    QPointer<TScoreForm> board;
    try {
        board = new TScoreForm(parent);
    } catch (const ERavlinError& error) {
        ShowErrorMessage(parent, error.Message());
        return;
    }
    board->ClearYou();
    board->exec();
}

void TScoreForm::ReadScore() {
    FScoreList->ReadScore();
    RebuildRows();
}

void TScoreForm::RebuildRows() {
    ListBox1->clear();
    for (int i = 0; i < FScoreList->Count(); ++i)
        ListBox1->addItem(QString::number(FScoreList->Item(i).rank));
}

void TScoreForm::ClearYou() {
    FScoreList->ClearYou();
    ListBox1->viewport()->update();
}

std::optional<QString> TScoreForm::AskNameWithPrompt() {
    // The game's answer box may still hold a half-composed syllable; it must
    // not leak into the prompt.
    QGuiApplication::inputMethod()->commit();
    QInputDialog prompt(parentWidget() ? parentWidget() : this);
    prompt.setInputMode(QInputDialog::TextInput);
    prompt.setWindowTitle(QStringLiteral("이름입력"));
    prompt.setLabelText(QStringLiteral("고득점 입니다. 이름을 입력하세요."));
    prompt.setTextValue(QString());
    // Hangul is composed in the prompt as in the game's answer box, also
    // where the desktop has no Korean input method.
    if (auto* edit = prompt.findChild<QLineEdit*>()) {
        auto* composer = new TInputComposer(&prompt);
        composer->Attach(edit, true);
        composer->SetTypingLang(NameTypingLang);
        composer->SetKoreanText(NameKoreanText);
        composer->SetDesktopInputMethodActive(NameDesktopInputMethod);
        TInputModeBadge::AttachTo(edit, composer);
    }
    if (prompt.exec() != QDialog::Accepted)
        return std::nullopt;
    return prompt.textValue();
}

void TScoreForm::SubmitResult(int score, int level, const QByteArray& gameLanguage) {
    int you = -1;
    try {
        you = FScoreList->SubmitResult(score, level, gameLanguage, AskName,
                                       QDateTime::currentDateTime());
    } catch (...) {
        RebuildRows();
        throw;
    }
    RebuildRows();
    if (you >= 0) {
        ListBox1->setCurrentRow(you);
        ListBox1->scrollToItem(ListBox1->item(you));
    }
}

void TScoreForm::ListBox1DrawItem(QPainter& painter, const QStyleOptionViewItem& option,
                                  int index) {
    if (index < 0 || index >= FScoreList->Count())
        return;
    const TScoreRec& rec = FScoreList->Item(index);
    const QRect row = option.rect;

    painter.save();
    painter.fillRect(row, (index % 2) ? QColor(240, 250, 255) : QColor(Qt::white));

    painter.setFont(ListBox1->font());
    if (rec.You) {
        painter.setPen(QColor(0, 0, 255));
        if (!YouBmp.isNull())
            painter.drawPixmap(QRect(row.left() + 1, row.top() + 1, 16, 16), YouBmp);
    } else {
        painter.setPen(Qt::black);
    }

    const QFontMetrics fm(painter.font());
    const int textTop = row.top() + 1;
    auto cell = [&](int column) {
        const int left = row.left() + Header1->sectionPosition(column);
        return QRect(left, row.top(), Header1->sectionSize(column), row.height());
    };
    auto write = [&](int column, int x, const QString& text) {
        const QRect c = cell(column);
        painter.save();
        painter.setClipRect(c);
        painter.drawText(x, textTop + fm.ascent(), text);
        painter.restore();
    };

    QRect c = cell(scRank);
    const QString rankText = QString::number(rec.rank);
    // One- and two-digit ranks end at the same place.
    write(scRank,
          c.left() + c.width() / 2 - 3 +
              (rec.rank < 10 ? fm.horizontalAdvance(QLatin1Char('8')) : 0),
          rankText);

    c = cell(scName);
    write(scName, c.left() + 1, DecodeCp949(rec.name));

    c = cell(scScore);
    const QString scoreText = QString::number(rec.score);
    write(scScore, c.left() + c.width() - 7 - fm.horizontalAdvance(scoreText), scoreText);

    c = cell(scLevel);
    const QString levelText = QString::number(rec.Level);
    write(scLevel, c.left() + c.width() / 2 - fm.horizontalAdvance(levelText) + 1, levelText);

    c = cell(scDateTime);
    write(scDateTime, c.left() + 1, rec.DateTime);

    c = cell(scLanguage);
    write(scLanguage, c.left() + 1, DecodeCp949(rec.GameLanguage));

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.rect = row;
        focus.state = option.state;
        focus.backgroundColor = Qt::white;
        ListBox1->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, ListBox1);
    }
    painter.restore();
}
