#include "typing/SentenceSetupForm.h"

#include "app/Folders.h"
#include "app/FontColorDialog.h"
#include "app/ImageThumbnail.h"
#include "app/MediaPath.h"
#include "app/RavlinApplication.h"
#include "app/RavlinError.h"
#include "app/SettingsStore.h"
#include "history/HistoryForm.h"
#include "platform/HelpWindow.h"
#include "typing/SentenceForm.h"
#include "typing/SentencePractice.h"

#include <algorithm>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int kImageItemHeight = 40;
constexpr int kPathRole = Qt::UserRole;
constexpr int kThumbnailRole = Qt::UserRole + 1;

// The two icons that alternate down the text list: a page of text, once with
// a blue and once with a green band.
QIcon TextIcon(int index) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor band = index == 0 ? QColor(70, 130, 200) : QColor(80, 170, 90);
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(10.5, 1.5);
    page.lineTo(13.5, 4.5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    painter.setPen(QPen(QColor(110, 110, 110), 1));
    painter.setBrush(Qt::white);
    painter.drawPath(page);
    painter.fillRect(QRectF(4, 2, 6, 2.5), band);
    painter.setPen(QPen(QColor(150, 150, 150), 1));
    for (int y = 7; y <= 12; y += 2)
        painter.drawLine(QPointF(5.5, y + 0.5), QPointF(11.5, y + 0.5));
    return QIcon(pixmap);
}

// Draws a background-picture item: check box, thumbnail, file name.
class TBackImageDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.icon = QIcon();
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QRect check =
            style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget);
        QRect r = option.rect;
        r.setLeft(check.right() + 4);
        const bool selected = option.state & QStyle::State_Selected;
        const int h = r.height();

        const QPixmap thumbnail = index.data(kThumbnailRole).value<QPixmap>();
        if (!thumbnail.isNull())
            painter->drawPixmap(r.left() + 5, r.top() + (h - thumbnail.height()) / 2, thumbnail);
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::WindowText));
        const QString name = QFileInfo(index.data(kPathRole).toString()).fileName();
        const QFontMetrics metrics(option.font);
        painter->drawText(r.left() + h + 10, r.top() + h / 2 - 5 + metrics.ascent() / 2, name);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(kImageItemHeight);
        return size;
    }
};

// The picture dialog shows the picture under the cursor beside the file list.
void AddPicturePreview(QFileDialog* dialog) {
    auto* grid = qobject_cast<QGridLayout*>(dialog->layout());
    if (grid == nullptr)
        return;
    auto* preview = new QLabel(dialog);
    preview->setFixedSize(180, 180);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    auto* size = new QLabel(dialog);
    size->setAlignment(Qt::AlignCenter);
    auto* box = new QVBoxLayout;
    box->addWidget(preview);
    box->addWidget(size);
    box->addStretch();
    grid->addLayout(box, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    QObject::connect(
        dialog, &QFileDialog::currentChanged, preview, [preview, size](const QString& path) {
            QImageReader reader(path);
            reader.setAutoTransform(true);
            const QSize full = reader.size();
            if (QFileInfo(path).isFile() && full.isValid()) {
                reader.setScaledSize(
                    full.scaled(preview->size() - QSize(8, 8), Qt::KeepAspectRatio));
                preview->setPixmap(QPixmap::fromImage(reader.read()));
                size->setText(QStringLiteral("%1 × %2").arg(full.width()).arg(full.height()));
            } else {
                preview->clear();
                size->clear();
            }
        });
}

} // namespace

TSentenceForm* TSentenceSetupForm::PracticeWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TSentenceForm*>(widget))
            return form;
    }
    return nullptr;
}

TSentenceSetupForm::TSentenceSetupForm(QWidget* parent, TTypingModel::TClock practiceClock)
    : QDialog(parent)
    , lvText(new QListWidget(this))
    , lblSelectFile(new QLabel(QStringLiteral("◆ 연습할 글을 선택하세요. "), this))
    , Label1(new QLabel(QStringLiteral("연습할 글"), this))
    , Label2(new QLabel(QStringLiteral("폰트, 틀린곳 색깔 "), this))
    , Label3(new QLabel(QStringLiteral("배경그림"), this))
    , SentenceExample(new TSentencePractice(this))
    , btnFont(new QPushButton(QStringLiteral("폰트"), this))
    , btnWrongColor(new QPushButton(QStringLiteral("틀린곳 색깔"), this))
    , lbBackImage(new QListWidget(this))
    , btnAddImage(new QPushButton(QStringLiteral("추가"), this))
    , btnDeleteImage(new QPushButton(QStringLiteral("삭제"), this))
    , chkSpeedLimit(new QCheckBox(QStringLiteral("반복연습할 속도 목표값"), this))
    , edtSpeedLimit(new QSpinBox(this))
    , chkShowWrongJohap(new QCheckBox(QStringLiteral("한글조합중 틀리면 표시"), this))
    , chkUseSound(new QCheckBox(QStringLiteral("효과음 사용하기"), this))
    , LineCountCB(new QComboBox(this))
    , cbHangulInput(new QComboBox(this))
    , btnStart(new QPushButton(QStringLiteral("시작"), this))
    , btnHelp(new QPushButton(QStringLiteral("도움말"), this))
    , btnCancel(new QPushButton(QStringLiteral("취소"), this))
    , dlgFont(new QFontDialog(this))
    , dlgWrongColor(new QColorDialog(this))
    , dlgPicture(new QFileDialog(this))
    , actSelectFile(new QAction(this))
    , actExercise(new QAction(this))
    , FPracticeClock(std::move(practiceClock)) {
    setWindowTitle(QStringLiteral("문장연습설정"));
    setObjectName(QStringLiteral("SentenceSetupForm"));
    lvText->setObjectName(QStringLiteral("lvText"));
    lbBackImage->setObjectName(QStringLiteral("lbBackImage"));
    SentenceExample->setObjectName(QStringLiteral("SentenceExample"));

    // Text list: one column of names with alternating icons, selection kept
    // visible when the list loses the focus.
    lvText->setViewMode(QListView::ListMode);
    lvText->setSelectionMode(QAbstractItemView::SingleSelection);
    lvText->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvText->setMinimumSize(300, 360);
    QPalette keepSelection = lvText->palette();
    keepSelection.setColor(QPalette::Inactive, QPalette::Highlight,
                           keepSelection.color(QPalette::Active, QPalette::Highlight));
    keepSelection.setColor(QPalette::Inactive, QPalette::HighlightedText,
                           keepSelection.color(QPalette::Active, QPalette::HighlightedText));
    lvText->setPalette(keepSelection);
    lblSelectFile->setStyleSheet(QStringLiteral("color: #c00000;"));

    SentenceExample->SetSentenceCount(1);
    SentenceExample->SetReadOnly(true);
    SentenceExample->SetShiftTypedProblem(false);
    SentenceExample->SetColor(clWhite);
    SentenceExample->SetWrongMarkColor(clRed);
    SentenceExample->SetTextOffsetY(4);
    SentenceExample->setFocusPolicy(Qt::NoFocus);
    SentenceExample->setMinimumWidth(380);
    // The problem: the program's name and two Latin words; typed with a
    // changed syllable, a reversed word and two swapped letters.
    SentenceExample->SetProblem(0, QStringLiteral("타비로 Ravlin Typing"));
    SentenceExample->Model().Sentence(0)->typed = QStringLiteral("타바로 nilvaR Tpying");
    auto* previewFrame = new QFrame(this);
    previewFrame->setFrameShape(QFrame::Panel);
    previewFrame->setFrameShadow(QFrame::Plain);
    auto* previewLayout = new QVBoxLayout(previewFrame);
    previewLayout->setContentsMargins(1, 1, 1, 1);
    previewLayout->addWidget(SentenceExample);

    lbBackImage->setItemDelegate(new TBackImageDelegate(lbBackImage));
    lbBackImage->setSelectionMode(QAbstractItemView::SingleSelection);
    lbBackImage->setMinimumHeight(4 * kImageItemHeight + 6);
    lbBackImage->setIconSize(QSize(kImageItemHeight, kImageItemHeight));

    edtSpeedLimit->setRange(50, 2000);
    edtSpeedLimit->setSingleStep(50);
    edtSpeedLimit->setValue(150);
    edtSpeedLimit->setSuffix(QStringLiteral(" 타/분"));

    for (int i = 1; i <= 15; ++i)
        LineCountCB->addItem(QStringLiteral("%1줄 연습").arg(i));
    cbHangulInput->setObjectName(QStringLiteral("cbHangulInput"));
    cbHangulInput->addItem(QStringLiteral("자동"));
    cbHangulInput->addItem(QStringLiteral("내장 입력기"));
    cbHangulInput->addItem(QStringLiteral("시스템 입력기"));
    cbHangulInput->setItemData(
        0, QStringLiteral("데스크톱 입력기가 켜져 있으면 그것을, 없으면 내장 입력기를 씁니다"),
        Qt::ToolTipRole);
    cbHangulInput->setItemData(
        1,
        QStringLiteral("ibus, fcitx 같은 데스크톱 입력기를 끄고 타비로의 입력기로 한글을 씁니다"),
        Qt::ToolTipRole);
    cbHangulInput->setItemData(2, QStringLiteral("한글은 데스크톱 입력기로만 씁니다"),
                               Qt::ToolTipRole);

    dlgFont->setOption(QFontDialog::DontUseNativeDialog);
    dlgWrongColor->setOption(QColorDialog::DontUseNativeDialog);
    dlgWrongColor->setWindowTitle(QStringLiteral("틀린곳 색깔"));
    dlgPicture->setOption(QFileDialog::DontUseNativeDialog);
    dlgPicture->setFileMode(QFileDialog::ExistingFile);
    dlgPicture->setViewMode(QFileDialog::Detail);
    dlgPicture->setWindowTitle(QStringLiteral("배경그림 추가"));
    dlgPicture->setNameFilters({QStringLiteral("그림 파일 (*.jpg *.jpeg *.gif *.png *.bmp)"),
                                QStringLiteral("모든 파일 (*)")});
    dlgPicture->setDirectory(MediaPath(QStringLiteral("Images/")));
    AddPicturePreview(dlgPicture);

    // Layout: texts on the left; font, pictures and options on the right.
    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(lvText, 1);
    left->addWidget(lblSelectFile);
    left->addWidget(LineCountCB);

    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(Label2);
    fontRow->addStretch();
    fontRow->addWidget(btnFont);
    fontRow->addWidget(btnWrongColor);
    auto* imageButtons = new QVBoxLayout;
    imageButtons->addWidget(btnAddImage);
    imageButtons->addWidget(btnDeleteImage);
    imageButtons->addStretch();
    auto* imageRow = new QHBoxLayout;
    imageRow->addWidget(lbBackImage, 1);
    imageRow->addLayout(imageButtons);
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(chkSpeedLimit);
    limitRow->addWidget(edtSpeedLimit);
    limitRow->addStretch();

    auto* right = new QVBoxLayout;
    right->addLayout(fontRow);
    right->addWidget(previewFrame);
    right->addSpacing(8);
    right->addWidget(Label3);
    right->addLayout(imageRow, 1);
    right->addSpacing(8);
    right->addLayout(limitRow);
    right->addWidget(chkShowWrongJohap);
    auto* hangulInputRow = new QHBoxLayout;
    auto* hangulInputLabel = new QLabel(QStringLiteral("한글 입력:"), this);
    hangulInputLabel->setBuddy(cbHangulInput);
    hangulInputRow->addWidget(hangulInputLabel);
    hangulInputRow->addWidget(cbHangulInput);
    hangulInputRow->addStretch(1);
    right->addLayout(hangulInputRow);
    right->addWidget(chkUseSound);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addSpacing(10);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    auto* historyBtn = new QPushButton(QStringLiteral("기록"), this);
    historyBtn->setObjectName(QStringLiteral("HistoryButton"));
    connect(historyBtn, &QPushButton::clicked, this,
            [this] { THistoryForm::ShowHistory(this, haSentence); });
    buttons->addWidget(historyBtn);
    buttons->addStretch();
    buttons->addWidget(btnStart);
    buttons->addWidget(btnHelp);
    buttons->addWidget(btnCancel);
    auto* main = new QVBoxLayout(this);
    main->addLayout(columns);
    main->addLayout(buttons);
    // A fixed border: the dialog keeps the size its contents ask for.
    main->setSizeConstraint(QLayout::SetFixedSize);

    btnStart->setDefault(true);
    connect(btnStart, &QPushButton::clicked, actExercise, &QAction::trigger);
    connect(btnHelp, &QPushButton::clicked, actSelectFile, &QAction::trigger);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(actExercise, &QAction::triggered, this, &TSentenceSetupForm::actExerciseExecute);
    connect(actSelectFile, &QAction::triggered, this, &TSentenceSetupForm::actSelectFileExecute);
    connect(actExercise, &QAction::enabledChanged, btnStart, &QPushButton::setEnabled);
    connect(lvText, &QListWidget::itemSelectionChanged, this, &TSentenceSetupForm::UpdateActions);
    connect(btnFont, &QPushButton::clicked, this, &TSentenceSetupForm::btnFontClick);
    connect(btnWrongColor, &QPushButton::clicked, this, &TSentenceSetupForm::btnWrongColorClick);
    connect(btnAddImage, &QPushButton::clicked, this, &TSentenceSetupForm::btnAddImageClick);
    connect(btnDeleteImage, &QPushButton::clicked, this, &TSentenceSetupForm::btnDeleteImageClick);

    FillTextList();
    LoadSettings();
    UpdateActions();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

TSentenceSetupForm::~TSentenceSetupForm() = default;

void TSentenceSetupForm::FillTextList() {
    lvText->clear();
    const QDir folder(MediaPath(QStringLiteral("Text/")));
    const QFileInfoList files =
        folder.entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    const QIcon icons[2] = {TextIcon(0), TextIcon(1)};
    for (int i = 0; i < files.size(); ++i) {
        const QString name = files[i].fileName();
        // 1st, 3rd, 5th ... item: icon 1; the others icon 0.
        new QListWidgetItem(icons[i % 2 == 0 ? 1 : 0], name.left(name.size() - 4), lvText);
    }
}

void TSentenceSetupForm::LoadSettings() {
    // Whatever fails from here on leaves the dialog with what was set so far.
    try {
        LoadSentenceSetup();
        edtSpeedLimit->setValue(SentenceSetup.SpeedLimit);
        chkSpeedLimit->setChecked(SentenceSetup.UseSpeedLimit);
        chkUseSound->setChecked(SentenceSetup.UseSound);
        chkShowWrongJohap->setChecked(SentenceSetup.ShowWrongJohap);
        cbHangulInput->setCurrentIndex(SentenceSetup.HangulInput);
        LineCountCB->setCurrentIndex(SentenceSetup.LineCount - 1);
        FillBackImages(SentenceSetup.BackImage);

        QFont font(SentenceSetup.FontName);
        font.setPointSize(std::max(SentenceSetup.FontSize, 1));
        font.setBold(SentenceSetup.FontBold);
        font.setItalic(SentenceSetup.FontItalic);
        SetPreviewFont(font, SentenceSetup.FontColor);
        SentenceExample->SetWrongMarkColor(SentenceSetup.WrongMarkColor);

        for (int i = 0; i < lvText->count(); ++i) {
            if (lvText->item(i)->text().compare(SentenceSetup.TextName, Qt::CaseInsensitive) == 0) {
                lvText->setCurrentItem(lvText->item(i));
                lvText->scrollToItem(lvText->item(i));
                lvText->setFocus();
                break;
            }
        }
    } catch (const std::exception&) {
    }
}

void TSentenceSetupForm::FillBackImages(const QString& backImage) {
    lbBackImage->clear();
    const QStringList entries = backImage.split(QLatin1Char('|'));
    for (const QString& entry : entries) {
        if (entry.isEmpty())
            continue;
        AddBackImage(entry.mid(1), entry[0] == QLatin1Char('1'));
    }
}

QListWidgetItem* TSentenceSetupForm::AddBackImage(const QString& path, bool checked) {
    auto* item = new QListWidgetItem(lbBackImage);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    item->setData(kPathRole, path);
    item->setToolTip(path);
    // A picture that cannot be decoded keeps its place (and its flag) in the
    // list without a thumbnail, so the next save does not lose it.
    try {
        QImage thumbnail;
        LoadImageThumbnail(MediaPath(path), &thumbnail, kImageItemHeight - 4);
        item->setData(kThumbnailRole, QPixmap::fromImage(thumbnail));
    } catch (const ERavlinError&) {
    }
    return item;
}

QString TSentenceSetupForm::BuildBackImage() const {
    QString result;
    for (int i = 0; i < lbBackImage->count(); ++i) {
        const QListWidgetItem* item = lbBackImage->item(i);
        if (i > 0)
            result += QLatin1Char('|');
        result += item->checkState() == Qt::Checked ? QLatin1Char('1') : QLatin1Char('0');
        result += item->data(kPathRole).toString();
    }
    return result;
}

void TSentenceSetupForm::SetPreviewFont(const QFont& font, TColor color) {
    SentenceExample->setFont(font);
    SentenceExample->SetFontColor(color);
    // Room for the problem line and the typed line.
    SentenceExample->setFixedHeight(SentenceExample->TextOffsetY() + 2 +
                                    2 * SentenceExample->CharHeight() +
                                    SentenceExample->LineSpace() + 6);
}

void TSentenceSetupForm::UpdateActions() {
    const bool selected = !lvText->selectedItems().isEmpty();
    actExercise->setEnabled(selected);
    btnStart->setEnabled(selected);
    lblSelectFile->setVisible(!selected);
}

void TSentenceSetupForm::SelectFirstTextWhenNoneIs() {
    if (lvText->selectedItems().isEmpty() && lvText->count() > 0) {
        lvText->setCurrentItem(lvText->item(0));
        lvText->setFocus();
    }
}

void TSentenceSetupForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SelectFirstTextWhenNoneIs();
}

void TSentenceSetupForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        SelectFirstTextWhenNoneIs();
}

void TSentenceSetupForm::btnFontClick() {
    if (const auto choice = ExecFontDialogWithColor(*dlgFont, SentenceExample->font(),
                                                    SentenceExample->FontColor()))
        SetPreviewFont(choice->Font, choice->Color);
}

void TSentenceSetupForm::btnWrongColorClick() {
    dlgWrongColor->setCurrentColor(ToQColor(SentenceExample->WrongMarkColor()));
    if (dlgWrongColor->exec() == QDialog::Accepted)
        SentenceExample->SetWrongMarkColor(FromQColor(dlgWrongColor->selectedColor()));
}

void TSentenceSetupForm::btnAddImageClick() {
    try {
        if (lbBackImage->count() > kMaxImages - 1)
            throw ERavlinError(QStringLiteral("10 개이상 추가할 수 없습니다."));
        if (dlgPicture->exec() != QDialog::Accepted || dlgPicture->selectedFiles().isEmpty())
            return;
        QListWidgetItem* item = AddBackImage(dlgPicture->selectedFiles().constFirst(), true);
        lbBackImage->setCurrentItem(item);
    } catch (const ERavlinError& e) {
        ShowErrorMessage(this, e.Message());
    }
}

void TSentenceSetupForm::btnDeleteImageClick() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("삭제 확인"),
                    QStringLiteral("선택된 이미지를 삭제하시겠습니까?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    if (box.exec() != QMessageBox::Yes)
        return;
    if (QListWidgetItem* item = lbBackImage->currentItem(); item && item->isSelected())
        delete item;
}

void TSentenceSetupForm::actSelectFileExecute() {
    THelpWindow::ShowTopic(this, QStringLiteral("문장연습.htm"));
}

void TSentenceSetupForm::actExerciseExecute() {
    try {
        Start(LineCountCB->currentIndex() + 1);
    } catch (const ERavlinError& e) {
        ShowErrorMessage(this, e.Message());
    }
}

void TSentenceSetupForm::Start(int lineCount) {
    const QList<QListWidgetItem*> selected = lvText->selectedItems();
    if (selected.isEmpty())
        throw ERavlinError(QStringLiteral("연습할 글을 선택하세요."));
    const QString caption = selected.constFirst()->text();

    SentenceSetup.SpeedLimit = edtSpeedLimit->value();
    SentenceSetup.UseSpeedLimit = chkSpeedLimit->isChecked();
    SentenceSetup.UseSound = chkUseSound->isChecked();
    SentenceSetup.ShowWrongJohap = chkShowWrongJohap->isChecked();
    SentenceSetup.HangulInput = std::max(0, cbHangulInput->currentIndex());
    SentenceSetup.LineCount = lineCount;
    SentenceSetup.BackImage = BuildBackImage();
    const QFont font = SentenceExample->font();
    SentenceSetup.FontColor = SentenceExample->FontColor();
    SentenceSetup.FontSize = font.pointSize() > 0 ? font.pointSize() : SentenceSetup.FontSize;
    SentenceSetup.FontName = font.family();
    SentenceSetup.FontBold = font.bold();
    SentenceSetup.FontItalic = font.italic();
    SentenceSetup.WrongMarkColor = SentenceExample->WrongMarkColor();
    SentenceSetup.TextName = caption;
    SaveSentenceSetup();

    // The window of the previous start goes first, storing where it stopped.
    delete PracticeWindow();
    QPointer<TSentenceForm> form = new TSentenceForm(nullptr, FPracticeClock);
    try {
        form->StartExercise(lineCount,
                            MediaPath(QStringLiteral("TEXT/") + caption + QStringLiteral(".txt")));
    } catch (...) {
        delete form.data();
        throw;
    }
    // A text with nothing to type has closed its window already.
    if (form && !form->Closed())
        form->show();
    accept();
}
