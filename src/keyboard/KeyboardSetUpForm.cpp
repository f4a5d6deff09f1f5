#include "keyboard/KeyboardSetUpForm.h"

#include "app/FontColorDialog.h"
#include "app/ImageThumbnail.h"
#include "app/KeyLabel.h"
#include "app/MediaPath.h"
#include "app/RavlinApplication.h"
#include "app/RavlinError.h"
#include "app/SettingsStore.h"
#include "app/StringUtils.h"
#include "history/HistoryForm.h"
#include "keyboard/KeyboardForm.h"
#include "platform/HelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kThumbnailRole = Qt::UserRole + 1;

// The layouts whose tables put characters on the digit row ("맨 윗줄"):
// Sebeolsik 3-90, without Shift and 3-91.
bool HasTopMostGroup(int languageIndex) {
    return languageIndex >= 2 && languageIndex <= 4;
}

// Key-cap labels are sized in points as on a 96 dpi screen, the size the
// drill paints its key-cap texture at, whatever the display's own density.
QFont KeyLabelFont(const QFont& chosen) {
    QFont font = chosen;
    font.setItalic(false);
    font.setStrikeOut(false);
    const int points = chosen.pointSize() > 0 ? chosen.pointSize() : 16;
    font.setPixelSize(std::max(1, (points * 96 + 36) / 72));
    return font;
}

// A picture item: the thumbnail at the left, centred in the row, and the
// file name without its folder beside it.
class TPictureDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QRect r = option.rect;
        painter->fillRect(r, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        const QPixmap thumbnail = index.data(kThumbnailRole).value<QPixmap>();
        painter->save();
        // A tall picture's thumbnail is cut to its row.
        painter->setClipRect(r);
        if (!thumbnail.isNull())
            painter->drawPixmap(r.left() + 5, r.top() + (r.height() - thumbnail.height()) / 2,
                                thumbnail);
        painter->restore();
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QFontMetrics metrics(option.font);
        const QString name = QFileInfo(index.data(kPathRole).toString()).fileName();
        painter->drawText(r.left() + 210, r.top() + r.height() / 2 - 5 + metrics.ascent() / 2,
                          name);
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.initFrom(option.widget);
            focus.rect = r;
            focus.backgroundColor = option.palette.color(QPalette::Highlight);
            QStyle* style = option.widget ? option.widget->style() : QApplication::style();
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
        }
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(TKeyboardSetUpForm::kImageItemHeight);
        return size;
    }
};

} // namespace

TKeyboardSetUpForm::TKeyboardSetUpForm(QWidget* parent, TStartDrill startDrill)
    : QDialog(parent)
    , LanguageGroup(new QButtonGroup(this))
    , KeyPosGroup(new QGroupBox(QStringLiteral("글쇠 위치"), this))
    , cbStandard(new QCheckBox(QStringLiteral("기본자리"), KeyPosGroup))
    , cbLeftUp(new QCheckBox(QStringLiteral("왼손 윗줄"), KeyPosGroup))
    , cbLeftDown(new QCheckBox(QStringLiteral("왼손아랫줄"), KeyPosGroup))
    , cbRightDown(new QCheckBox(QStringLiteral("오른손 아랫줄"), KeyPosGroup))
    , cbCenter(new QCheckBox(QStringLiteral("검지자리(중앙)"), KeyPosGroup))
    , cbNumber(new QCheckBox(QStringLiteral("숫자"), KeyPosGroup))
    , cbTopMost(new QCheckBox(QStringLiteral("맨 윗줄"), KeyPosGroup))
    , cbRightUp(new QCheckBox(QStringLiteral("오른손 윗줄"), KeyPosGroup))
    , cbSymbol(new QCheckBox(QStringLiteral("특수문자"), KeyPosGroup))
    , cbAll(new QCheckBox(QStringLiteral("전체"), KeyPosGroup))
    , cbUseSound(new QCheckBox(QStringLiteral("효과음 사용하기"), this))
    , cbShowFinger(new QCheckBox(QStringLiteral("손가락 위치 보이기"), this))
    , cbAlwaysShowEnglish(new QCheckBox(QStringLiteral("영어는 항상 보이기"), this))
    , cbMoveProblem(new QCheckBox(QStringLiteral("문제 움직이기"), this))
    , cbWeakKeysFirst(new QCheckBox(QStringLiteral("약한 글쇠 위주로"), this))
    , lblSelectKeyPos(new QLabel(QStringLiteral("◆ 연습할 글쇠위치를 선택하세요. "), this))
    , TextureGroup(new QGroupBox(QStringLiteral("키캡 배경그림"), this))
    , lbBackImage(new QListWidget(TextureGroup))
    , PreviewGroup(new QGroupBox(QStringLiteral("키캡 폰트설정및 미리보기"), this))
    , KeyPreviewBox(new QWidget(PreviewGroup))
    , btnFont(new QPushButton(QStringLiteral("폰트설정"), PreviewGroup))
    , btnHelp(new QPushButton(QStringLiteral("도움말"), this))
    , btnOk(new QPushButton(QStringLiteral("시작"), this))
    , btnCancel(new QPushButton(QStringLiteral("취소"), this))
    , actSelectKeyPos(new QAction(this))
    , actExercise(new QAction(this))
    , actPreview(new QAction(this))
    , KeyFontDialog(new QFontDialog(this))
    , FStartDrill(startDrill ? std::move(startDrill)
                             : TStartDrill([] { TKeyboardForm::StartDrill(); })) {
    setWindowTitle(QStringLiteral("키보드 연습설정"));
    setObjectName(QStringLiteral("KeyboardSetUpForm"));
    lbBackImage->setObjectName(QStringLiteral("lbBackImage"));
    KeyPreviewBox->setObjectName(QStringLiteral("KeyPreviewBox"));

    // Layouts, in the order of the layout tables.
    auto* languageBox = new QGroupBox(QStringLiteral("언어"), this);
    auto* languageLayout = new QVBoxLayout(languageBox);
    for (int i = 0; i < kLayoutCount; ++i) {
        auto* radio = new QRadioButton(LayoutCaption(i), languageBox);
        LanguageGroup->addButton(radio, i);
        languageLayout->addWidget(radio);
    }
    languageLayout->addStretch();
    LanguageGroup->button(0)->setChecked(true);

    // Key groups: the hands' rows on the left, the rest on the right.
    cbStandard->setChecked(true);
    auto* groupGrid = new QGridLayout(KeyPosGroup);
    groupGrid->setVerticalSpacing(6);
    QCheckBox* const leftColumn[] = {cbStandard, cbLeftUp, cbLeftDown, cbRightUp, cbRightDown};
    QCheckBox* const rightColumn[] = {cbCenter, cbNumber, cbSymbol, cbTopMost, cbAll};
    for (int row = 0; row < 5; ++row) {
        groupGrid->addWidget(leftColumn[row], row, 0);
        groupGrid->addWidget(rightColumn[row], row, 1);
    }
    // The column keeps its width while "맨 윗줄" is hidden.
    groupGrid->setColumnMinimumWidth(1, cbCenter->sizeHint().width());
    QFont bold = cbAll->font();
    bold.setBold(true);
    cbAll->setFont(bold);

    auto* optionsBox = new QGroupBox(QStringLiteral("연습 방법"), this);
    auto* optionsGrid = new QGridLayout(optionsBox);
    optionsGrid->addWidget(cbUseSound, 0, 0);
    optionsGrid->addWidget(cbShowFinger, 0, 1);
    optionsGrid->addWidget(cbAlwaysShowEnglish, 1, 0);
    optionsGrid->addWidget(cbMoveProblem, 1, 1);
    optionsGrid->addWidget(cbWeakKeysFirst, 2, 0, 1, 2);
    lblSelectKeyPos->setStyleSheet(QStringLiteral("color: #e00000;"));

    lbBackImage->setItemDelegate(new TPictureDelegate(lbBackImage));
    lbBackImage->setSelectionMode(QAbstractItemView::SingleSelection);
    lbBackImage->setUniformItemSizes(true);
    auto* textureLayout = new QVBoxLayout(TextureGroup);
    textureLayout->addWidget(lbBackImage);

    KeyPreviewBox->setFixedSize(192, 60);
    KeyPreviewBox->installEventFilter(this);
    auto* previewLayout = new QHBoxLayout(PreviewGroup);
    previewLayout->addWidget(KeyPreviewBox);
    previewLayout->addSpacing(12);
    previewLayout->addWidget(btnFont, 0, Qt::AlignVCenter);
    previewLayout->addStretch();

    KeyFontDialog->setOption(QFontDialog::DontUseNativeDialog);
    KeyFontDialog->setOption(QFontDialog::ScalableFonts);
    KeyFontDialog->setWindowTitle(QStringLiteral("키캡 폰트설정"));

    auto* middle = new QVBoxLayout;
    middle->addWidget(KeyPosGroup);
    middle->addWidget(optionsBox);
    middle->addWidget(lblSelectKeyPos);
    middle->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(TextureGroup, 1);
    right->addWidget(PreviewGroup);
    auto* columns = new QHBoxLayout;
    columns->addWidget(languageBox, 0);
    columns->addLayout(middle, 0);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelp);
    auto* historyBtn = new QPushButton(QStringLiteral("기록"), this);
    historyBtn->setObjectName(QStringLiteral("HistoryButton"));
    connect(historyBtn, &QPushButton::clicked, this,
            [this] { THistoryForm::ShowHistory(this, haKeyboard, LanguageGroup->checkedId()); });
    buttons->addWidget(historyBtn);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* main = new QVBoxLayout(this);
    main->addLayout(columns, 1);
    main->addLayout(buttons);
    setFixedSize(1022, 380);

    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, actExercise, &QAction::trigger);
    connect(btnHelp, &QPushButton::clicked, actSelectKeyPos, &QAction::trigger);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(actExercise, &QAction::triggered, this, &TKeyboardSetUpForm::btnOkClick);
    connect(actSelectKeyPos, &QAction::triggered, this, &TKeyboardSetUpForm::btnHelpClick);
    connect(actPreview, &QAction::triggered, this, &TKeyboardSetUpForm::actPreviewExecute);
    connect(actExercise, &QAction::enabledChanged, btnOk, &QPushButton::setEnabled);
    // Arrow keys move the choice as well as clicks do.
    connect(LanguageGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            LanguageGroupClick();
    });
    connect(cbAll, &QCheckBox::clicked, this, &TKeyboardSetUpForm::cbAllClick);
    for (const TGroupBox& g : GroupBoxes())
        connect(g.Box, &QCheckBox::toggled, this, &TKeyboardSetUpForm::UpdateActions);
    connect(cbAlwaysShowEnglish, &QCheckBox::clicked, actPreview, &QAction::trigger);
    connect(cbMoveProblem, &QCheckBox::clicked, actPreview, &QAction::trigger);
    // A click or a key that moves the selection repaints the preview.
    connect(lbBackImage, &QListWidget::itemSelectionChanged, actPreview, &QAction::trigger);
    connect(btnFont, &QPushButton::clicked, this, &TKeyboardSetUpForm::btnFontClick);

    FormCreate();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TKeyboardSetUpForm::~TKeyboardSetUpForm() = default;

std::array<TKeyboardSetUpForm::TGroupBox, 9> TKeyboardSetUpForm::GroupBoxes() const {
    return {{{cbStandard, kgStandard},
             {cbLeftUp, kgLeftUp},
             {cbLeftDown, kgLeftDown},
             {cbRightUp, kgRightUp},
             {cbRightDown, kgRightDown},
             {cbCenter, kgCenter},
             {cbNumber, kgNumber},
             {cbSymbol, kgSymbol},
             {cbTopMost, kgTopMost}}};
}

void TKeyboardSetUpForm::FormCreate() {
    // A settings file that cannot be read leaves the dialog's own choices.
    try {
        LoadKeyboardSetup();
    } catch (const ERavlinError&) {
    }
    FillPictureList();

    for (int i = 0; i < lbBackImage->count(); ++i) {
        if (lbBackImage->item(i)->data(kPathRole).toString() == KeyboardSetup.TextureFileName) {
            lbBackImage->setCurrentRow(i);
            break;
        }
    }
    // A picture that is no longer there gives way to the first one.
    if (lbBackImage->currentRow() < 0 && lbBackImage->count() > 0)
        lbBackImage->setCurrentRow(0);

    cbUseSound->setChecked(KeyboardSetup.UseSound);
    cbAlwaysShowEnglish->setChecked(KeyboardSetup.AlwaysShowEnglish);
    cbMoveProblem->setChecked(KeyboardSetup.MoveProblem);
    cbWeakKeysFirst->setChecked(KeyboardSetup.WeakKeysFirst);
    cbShowFinger->setChecked(KeyboardSetup.ShowFinger);
    if (QAbstractButton* radio = LanguageGroup->button(KeyboardSetup.languageIndex))
        radio->setChecked(true);

    QFont font(KeyboardSetup.FontName);
    font.setPointSize(std::max(KeyboardSetup.FontSize, 1));
    font.setBold(KeyboardSetup.FontBold);
    font.setItalic(KeyboardSetup.FontItalic);
    SetKeyFont(font, KeyboardSetup.FontColor);

    bool any = false;
    for (const TGroupBox& g : GroupBoxes()) {
        g.Box->setChecked(KeyboardSetup.KeyGroup.Contains(g.Group));
        any = any || g.Box->isChecked();
    }
    if (!any)
        cbStandard->setChecked(true);

    LanguageGroupClick();
    UpdateActions();
}

void TKeyboardSetUpForm::FillPictureList() {
    lbBackImage->clear();
    // "[key]" is part of the file names, not a wildcard set, so the folder
    // is filtered by hand; letter case is ignored as everywhere in media.
    const QDir folder(MediaPath(QStringLiteral("models/maps/")));
    const QFileInfoList files = folder.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        if (!StartsWithText(file.fileName(), QStringLiteral("[key]"), false))
            continue;
        auto* item = new QListWidgetItem(lbBackImage);
        item->setData(kPathRole, file.absoluteFilePath());
        item->setToolTip(file.absoluteFilePath());
        // A picture that cannot be decoded stays selectable without a thumbnail.
        try {
            QImage thumbnail;
            LoadImageThumbnail(file.absoluteFilePath(), &thumbnail, kThumbnailSize);
            item->setData(kThumbnailRole, QPixmap::fromImage(thumbnail));
        } catch (const ERavlinError&) {
        }
    }
}

void TKeyboardSetUpForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LanguageGroupClick();
}

void TKeyboardSetUpForm::LanguageGroupClick() {
    // Hidden, the box keeps its state: it still counts when checked.
    cbTopMost->setVisible(HasTopMostGroup(LanguageGroup->checkedId()));
    actPreview->trigger();
}

void TKeyboardSetUpForm::cbAllClick() {
    for (const TGroupBox& g : GroupBoxes())
        g.Box->setChecked(cbAll->isChecked());
}

TKeyGroupSet TKeyboardSetUpForm::CheckedGroups() const {
    TKeyGroupSet groups;
    for (const TGroupBox& g : GroupBoxes()) {
        if (g.Box->isChecked())
            groups.Include(g.Group);
    }
    return groups;
}

void TKeyboardSetUpForm::UpdateActions() {
    const bool any = !CheckedGroups().Empty();
    actExercise->setEnabled(any);
    btnOk->setEnabled(any);
    lblSelectKeyPos->setVisible(!any);
}

QString TKeyboardSetUpForm::SelectedPicture() const {
    const QListWidgetItem* item = lbBackImage->currentItem();
    return item && item->isSelected() ? item->data(kPathRole).toString() : QString();
}

void TKeyboardSetUpForm::SetKeyFont(const QFont& font, TColor color) {
    FKeyFont = font;
    FKeyFontColor = color;
    KeyPreviewBox->setFont(font);
    actPreview->trigger();
}

void TKeyboardSetUpForm::actPreviewExecute() {
    KeyPreviewBox->update();
}

bool TKeyboardSetUpForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == KeyPreviewBox && event->type() == QEvent::Paint) {
        QPainter painter(KeyPreviewBox);
        PaintPreview(painter);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QImage TKeyboardSetUpForm::RenderPreview() const {
    QImage image(KeyPreviewBox->size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    PaintPreview(painter);
    return image;
}

void TKeyboardSetUpForm::PaintPreview(QPainter& painter) const {
    // Background: the chosen picture's thumbnail over the three keys.
    const QRect keys(0, 0, 180, 60);
    const QListWidgetItem* item = lbBackImage->currentItem();
    const QPixmap thumbnail =
        item && item->isSelected() ? item->data(kThumbnailRole).value<QPixmap>() : QPixmap();
    if (!thumbnail.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(keys, thumbnail);
    } else {
        painter.fillRect(keys, Qt::white);
    }

    painter.setFont(KeyLabelFont(FKeyFont));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    // Outlines of the three key caps; neighbours share their edge.
    painter.drawRect(0, 0, 60, 59);
    painter.drawRect(59, 0, 60, 59);
    painter.drawRect(119, 0, 60, 59);

    struct TSample {
        const char* English;
        const char* Shifted;
        const char* Plain;
    };
    static constexpr TSample kSamples[] = {{"Q", "ㅃ", "ㅂ"}, {"W", "ㅉ", "ㅈ"}, {"E", "ㄸ", "ㄷ"}};
    const bool english = LanguageGroup->checkedId() == 0;
    const bool alwaysEnglish = cbAlwaysShowEnglish->isChecked();
    painter.setPen(ToQColor(FKeyFontColor));
    for (int i = 0; i < 3; ++i) {
        const QRect cell(i * 60, 0, 60, 60);
        const QString letter = QString::fromUtf8(kSamples[i].English);
        const QString shifted = QString::fromUtf8(kSamples[i].Shifted);
        const QString plain = QString::fromUtf8(kSamples[i].Plain);
        if (english) {
            DrawKeyLabel(painter, cell, klhWhole, false, letter, klvWhole);
        } else if (alwaysEnglish) {
            DrawKeyLabel(painter, cell, klhLeftHalf, false, letter, klvUpperHalf);
            DrawKeyLabel(painter, cell, klhRightHalf, false, shifted, klvUpperHalf);
            DrawKeyLabel(painter, cell, klhRightHalf, false, plain, klvLowerHalf);
        } else {
            DrawKeyLabel(painter, cell, klhWhole, false, shifted, klvUpperHalf);
            DrawKeyLabel(painter, cell, klhWhole, false, plain, klvLowerHalf);
        }
    }
}

void TKeyboardSetUpForm::btnFontClick() {
    if (const auto choice = ExecFontDialogWithColor(*KeyFontDialog, FKeyFont, FKeyFontColor))
        SetKeyFont(choice->Font, choice->Color);
}

void TKeyboardSetUpForm::btnHelpClick() {
    THelpWindow::ShowTopic(this, HelpTopic());
}

void TKeyboardSetUpForm::btnOkClick() {
    if (CheckedGroups().Empty()) {
        QMessageBox::critical(this, QStringLiteral("오류"),
                              QStringLiteral("연습할 글쇠 위치를 선택하세요."));
        return;
    }

    KeyboardSetup.UseSound = cbUseSound->isChecked();
    KeyboardSetup.AlwaysShowEnglish = cbAlwaysShowEnglish->isChecked();
    KeyboardSetup.MoveProblem = cbMoveProblem->isChecked();
    KeyboardSetup.WeakKeysFirst = cbWeakKeysFirst->isChecked();
    KeyboardSetup.ShowFinger = cbShowFinger->isChecked();
    KeyboardSetup.languageIndex = std::max(LanguageGroup->checkedId(), 0);
    KeyboardSetup.FontName = FKeyFont.family();
    if (FKeyFont.pointSize() > 0)
        KeyboardSetup.FontSize = FKeyFont.pointSize();
    KeyboardSetup.FontColor = FKeyFontColor;
    KeyboardSetup.FontBold = FKeyFont.bold();
    KeyboardSetup.FontItalic = FKeyFont.italic();

    if (lbBackImage->count() > 0 && SelectedPicture().isEmpty())
        lbBackImage->setCurrentRow(0);
    KeyboardSetup.TextureFileName = SelectedPicture();
    KeyboardSetup.KeyGroup = CheckedGroups();

    try {
        SaveKeyboardSetup();
    } catch (const ERavlinError& error) {
        // The choices are not kept for next time; the drill reads them from
        // the record and still starts.
        ShowErrorMessage(this, error.Message());
    }

    // A drill window that cannot be built (its model missing, say) says why
    // and leaves the dialog open.
    try {
        if (FStartDrill)
            FStartDrill();
    } catch (const ERavlinError& error) {
        ShowErrorMessage(this, error.Message());
        return;
    }
    accept();
}
