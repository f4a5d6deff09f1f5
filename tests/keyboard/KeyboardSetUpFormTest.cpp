#include "keyboard/KeyboardSetUpForm.h"

#include "app/RavlinError.h"
#include "app/SettingsStore.h"
#include "ImageTestSupport.h"
#include "ModalAnswerer.h"
#include "platform/HelpWindow.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFontDialog>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A program folder of its own with three key-cap pictures (and two other
// files in the same folder), the help topic, a fresh settings file, and
// every modal window answered.
struct KeyboardSetUp : testing::Test {
    TScopedSettingsDir Settings;
    QTemporaryDir Root;
    std::unique_ptr<TScopedAppDir> App;
    TModalAnswerer Answerer;
    int Starts = 0;

    KeyboardSetUp() {
        KeyboardSetup = TKeyboardSetupRec();
        const QString help = AppDir() + QStringLiteral("help/") + TKeyboardSetUpForm::HelpTopic();
        App = std::make_unique<TScopedAppDir>(Root.path());
        QDir root(Root.path());
        root.mkpath(QStringLiteral("Models/maps"));
        root.mkpath(QStringLiteral("help"));
        QFile::copy(help, Root.filePath(QStringLiteral("help/") + TKeyboardSetUpForm::HelpTopic()));
        Picture(QStringLiteral("[key] wood.png"), QColor(150, 100, 50), QSize(1024, 256));
        Picture(QStringLiteral("[KEY] blue.png"), QColor(40, 60, 200), QSize(512, 128));
        Picture(QStringLiteral("[key] tall.png"), QColor(20, 150, 20), QSize(100, 400));
        Picture(QStringLiteral("white_cloud.png"), Qt::white, QSize(64, 64));
        Picture(QStringLiteral("key.png"), Qt::red, QSize(64, 64));
    }

    void Picture(const QString& name, const QColor& color, QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(Maps(name)));
    }
    QString Maps(const QString& name) const {
        return QDir(Root.filePath(QStringLiteral("Models/maps"))).absoluteFilePath(name);
    }

    std::unique_ptr<TKeyboardSetUpForm> NewDialog() {
        return std::make_unique<TKeyboardSetUpForm>(nullptr, [this] { ++Starts; });
    }

    static QStringList Names(const QListWidget* list) {
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << QFileInfo(list->item(i)->toolTip()).fileName();
        return names;
    }
    static int CheckedBoxes(const TKeyboardSetUpForm& dialog) {
        int n = 0;
        for (const auto& g : dialog.GroupBoxes())
            n += g.Box->isChecked() ? 1 : 0;
        return n;
    }
};

// Check boxes and radio buttons stretched by their layout take clicks only on
// the indicator and the text, so the click goes to the indicator.
void Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

bool Ink(QRgb p) {
    return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100;
}

} // namespace

TEST_F(KeyboardSetUp, OpensWithTheStoredChoices) {
    LoadKeyboardSetup();
    KeyboardSetup.languageIndex = 4;
    KeyboardSetup.UseSound = false;
    KeyboardSetup.ShowFinger = true;
    KeyboardSetup.AlwaysShowEnglish = false;
    KeyboardSetup.MoveProblem = true;
    KeyboardSetup.TextureFileName = Maps(QStringLiteral("[key] wood.png"));
    KeyboardSetup.FontName = QStringLiteral("DejaVu Sans");
    KeyboardSetup.FontSize = 20;
    KeyboardSetup.FontColor = RGBColor(0, 0, 200);
    KeyboardSetup.FontBold = false;
    KeyboardSetup.FontItalic = true;
    SaveKeyboardSetup();
    // The group set is not stored in the file: the record's own is shown.
    KeyboardSetup.KeyGroup = {kgLeftUp, kgTopMost};

    auto dialog = NewDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("키보드 연습설정"));
    EXPECT_EQ(dialog->size(), QSize(1022, 380));
    EXPECT_EQ(dialog->LanguageGroup->checkedId(), 4);
    EXPECT_EQ(dialog->LanguageGroup->button(4)->text(),
              QStringLiteral("한글 세벌식 3-91(공병우 최종)"));
    EXPECT_FALSE(dialog->cbUseSound->isChecked());
    EXPECT_TRUE(dialog->cbShowFinger->isChecked());
    EXPECT_FALSE(dialog->cbAlwaysShowEnglish->isChecked());
    EXPECT_TRUE(dialog->cbMoveProblem->isChecked());
    EXPECT_EQ(dialog->KeyFont().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(dialog->KeyFont().pointSize(), 20);
    EXPECT_TRUE(dialog->KeyFont().italic());
    EXPECT_FALSE(dialog->KeyFont().bold());
    EXPECT_EQ(dialog->KeyFontColor(), RGBColor(0, 0, 200));
    EXPECT_EQ(dialog->CheckedGroups(), (TKeyGroupSet{kgLeftUp, kgTopMost}));
    EXPECT_FALSE(dialog->cbStandard->isChecked());

    // Only "[key]" pictures are listed (letter case ignored), by name, each
    // with a thumbnail 200 pixels on its longer side; the stored one is
    // selected.
    EXPECT_EQ(Names(dialog->lbBackImage),
              (QStringList{"[KEY] blue.png", "[key] tall.png", "[key] wood.png"}));
    EXPECT_EQ(dialog->SelectedPicture(), Maps(QStringLiteral("[key] wood.png")));
    const QPixmap wide = dialog->lbBackImage->item(0)->data(Qt::UserRole + 1).value<QPixmap>();
    const QPixmap tall = dialog->lbBackImage->item(1)->data(Qt::UserRole + 1).value<QPixmap>();
    EXPECT_EQ(wide.size(), QSize(200, 50));
    EXPECT_EQ(tall.size(), QSize(50, 200));
}

TEST_F(KeyboardSetUp, AFreshProfileStartsOnTheHomeRowAndTheFirstPicture) {
    KeyboardSetup = TKeyboardSetupRec();
    auto dialog = NewDialog();
    // Defaults of the settings file: English, every switch on, and a picture
    // name that is not in the folder.
    EXPECT_EQ(dialog->LanguageGroup->checkedId(), 0);
    EXPECT_TRUE(dialog->cbUseSound->isChecked());
    EXPECT_TRUE(dialog->cbShowFinger->isChecked());
    EXPECT_TRUE(dialog->cbAlwaysShowEnglish->isChecked());
    EXPECT_TRUE(dialog->cbMoveProblem->isChecked());
    EXPECT_EQ(dialog->CheckedGroups(), TKeyGroupSet{kgStandard});
    EXPECT_EQ(dialog->SelectedPicture(), Maps(QStringLiteral("[KEY] blue.png")));
    EXPECT_TRUE(dialog->btnOk->isEnabled());
    EXPECT_TRUE(dialog->lblSelectKeyPos->isHidden());
}

TEST_F(KeyboardSetUp, AllBoxAndTheStartRuleFollowTheGroupBoxes) {
    auto dialog = NewDialog();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));

    Click(dialog->cbAll);
    EXPECT_EQ(CheckedBoxes(*dialog), 9);
    EXPECT_TRUE(dialog->btnOk->isEnabled());

    // Unchecking "전체" clears every box: start is refused until one is checked.
    Click(dialog->cbAll);
    EXPECT_EQ(CheckedBoxes(*dialog), 0);
    EXPECT_FALSE(dialog->btnOk->isEnabled());
    EXPECT_FALSE(dialog->actExercise->isEnabled());
    EXPECT_TRUE(dialog->lblSelectKeyPos->isVisible());
    EXPECT_EQ(dialog->lblSelectKeyPos->text(), QStringLiteral("◆ 연습할 글쇠위치를 선택하세요. "));

    // A start by other means (Enter on the default button goes through the
    // action, which is disabled; a direct call is refused with the box).
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    dialog->btnOkClick();
    EXPECT_EQ(Starts, 0);
    ASSERT_EQ(Answerer.Messages.size(), 1u);
    EXPECT_EQ(Answerer.Messages[0].Title, QStringLiteral("오류"));
    EXPECT_EQ(Answerer.Messages[0].Text, QStringLiteral("연습할 글쇠 위치를 선택하세요."));
    EXPECT_TRUE(dialog->isVisible());

    Click(dialog->cbSymbol);
    EXPECT_TRUE(dialog->btnOk->isEnabled());
    EXPECT_FALSE(dialog->lblSelectKeyPos->isVisible());

    // Escape closes the dialog without starting.
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Starts, 0);
}

TEST_F(KeyboardSetUp, TopRowBoxShowsOnlyForTheThreeOlderSebeolsikLayouts) {
    auto dialog = NewDialog();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        Click(dialog->LanguageGroup->button(i));
        EXPECT_EQ(dialog->cbTopMost->isVisible(), i >= 2 && i <= 4);
        if (i == 3)
            dialog->cbTopMost->setChecked(true);
    }
    // Arrow keys move through the layouts the same way.
    // Other test programs share the display and may take the focus, so
    // activation is asked for until it holds.
    for (int attempt = 0; attempt < 10 && !dialog->isActiveWindow(); ++attempt) {
        dialog->activateWindow();
        (void)QTest::qWaitForWindowActive(dialog.get(), 1000);
    }
    ASSERT_TRUE(dialog->isActiveWindow());
    dialog->LanguageGroup->button(1)->setFocus();
    dialog->LanguageGroup->button(1)->setChecked(true);
    QTest::keyClick(dialog->LanguageGroup->button(1), Qt::Key_Down);
    EXPECT_EQ(dialog->LanguageGroup->checkedId(), 2);
    EXPECT_TRUE(dialog->cbTopMost->isVisible());
    Click(dialog->LanguageGroup->button(8));
    // Hidden by layout 8, it keeps its mark and still counts when starting.
    EXPECT_TRUE(dialog->cbTopMost->isChecked());
    QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
    EXPECT_EQ(Starts, 1);
    EXPECT_TRUE(KeyboardSetup.KeyGroup.Contains(kgTopMost));
    EXPECT_EQ(KeyboardSetup.languageIndex, 8);
}

TEST_F(KeyboardSetUp, StartStoresEveryChoiceOpensTheDrillAndCloses) {
    auto dialog = NewDialog();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    Click(dialog->LanguageGroup->button(1));
    Click(dialog->cbLeftUp);
    Click(dialog->cbNumber);
    Click(dialog->cbUseSound);
    Click(dialog->cbMoveProblem);
    // Nothing selected in the picture list: the first picture is taken.
    dialog->lbBackImage->clearSelection();
    ASSERT_TRUE(dialog->SelectedPicture().isEmpty());

    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(22);
    chosen.setBold(false);
    chosen.setItalic(true);
    Answerer.OnDialog = [&chosen](QDialog* d) {
        auto* fonts = qobject_cast<QFontDialog*>(d);
        if (!fonts)
            return false;
        fonts->setCurrentFont(chosen);
        fonts->accept();
        return true;
    };
    QTest::mouseClick(dialog->btnFont, Qt::LeftButton);
    EXPECT_EQ(dialog->KeyFont().pointSize(), 22);

    QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
    EXPECT_EQ(Starts, 1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    // The drill reads the record; the file keeps all of it but the groups.
    EXPECT_EQ(KeyboardSetup.KeyGroup, (TKeyGroupSet{kgStandard, kgLeftUp, kgNumber}));
    KeyboardSetup = TKeyboardSetupRec();
    LoadKeyboardSetup();
    EXPECT_EQ(KeyboardSetup.languageIndex, 1);
    EXPECT_FALSE(KeyboardSetup.UseSound);
    EXPECT_FALSE(KeyboardSetup.MoveProblem);
    EXPECT_TRUE(KeyboardSetup.ShowFinger);
    EXPECT_TRUE(KeyboardSetup.AlwaysShowEnglish);
    EXPECT_EQ(KeyboardSetup.TextureFileName, Maps(QStringLiteral("[KEY] blue.png")));
    EXPECT_EQ(KeyboardSetup.FontName, QFontInfo(chosen).family());
    EXPECT_EQ(KeyboardSetup.FontSize, 22);
    EXPECT_FALSE(KeyboardSetup.FontBold);
    EXPECT_TRUE(KeyboardSetup.FontItalic);

    // Opened again, the dialog shows what was saved.
    auto again = NewDialog();
    EXPECT_EQ(again->LanguageGroup->checkedId(), 1);
    EXPECT_EQ(again->SelectedPicture(), Maps(QStringLiteral("[KEY] blue.png")));
    EXPECT_EQ(again->KeyFont().pointSize(), 22);
}

TEST_F(KeyboardSetUp, ADrillThatCannotOpenLeavesTheDialogOpen) {
    TKeyboardSetUpForm dialog(nullptr,
                              [] { throw ERavlinError(QStringLiteral("모델이 없습니다.")); });
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    EXPECT_EQ(Answerer.TakeTexts(), QStringList{QStringLiteral("모델이 없습니다.")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(KeyboardSetUp, NoPicturesLeaveTheListEmptyThePreviewWhiteAndTheNameEmpty) {
    for (const QString& name : QDir(Maps({})).entryList(QDir::Files))
        QFile::remove(Maps(name));
    auto dialog = NewDialog();
    EXPECT_EQ(dialog->lbBackImage->count(), 0);
    const QImage preview = dialog->RenderPreview();
    const QRect keys(1, 1, 178, 58);
    const int white = CountPixels(preview, keys, [](QRgb p) { return p == qRgb(255, 255, 255); });
    EXPECT_GT(white, keys.width() * keys.height() * 3 / 4);
    QTest::mouseClick(dialog->btnOk, Qt::LeftButton);
    EXPECT_EQ(Starts, 1);
    EXPECT_TRUE(KeyboardSetup.TextureFileName.isEmpty());
}

// A picture that cannot be decoded does not keep the dialog from opening:
// it is listed without a thumbnail and can still be chosen.
TEST_F(KeyboardSetUp, AnUndecodablePictureIsListedWithoutAThumbnail) {
    QFile broken(Maps(QStringLiteral("[key] broken.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    auto dialog = NewDialog();
    ASSERT_EQ(Names(dialog->lbBackImage).indexOf(QStringLiteral("[key] broken.png")), 1);
    EXPECT_TRUE(dialog->lbBackImage->item(1)->data(Qt::UserRole + 1).value<QPixmap>().isNull());
    dialog->lbBackImage->setCurrentRow(1);
    const QImage preview = dialog->RenderPreview();
    EXPECT_EQ(preview.pixel(150, 50), qRgb(255, 255, 255));
    EXPECT_TRUE(Answerer.Messages.empty());
}

// The three sample keys are painted as the drill paints its key caps: the
// letter alone for English, the letter with both jamo when English is
// always shown, else the two jamo stacked in the middle.
TEST_F(KeyboardSetUp, PreviewPaintsTheSampleKeysByLayoutAndSwitch) {
    auto dialog = NewDialog();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(16);
    font.setItalic(true); // the preview never slants
    dialog->SetKeyFont(font, clBlack);
    dialog->lbBackImage->clearSelection();

    // Ink bounds per cell, inside its outline.
    const auto cellInk = [&](int cell) {
        return PixelBounds(dialog->RenderPreview(), QRect(cell * 60 + 3, 3, 54, 54), Ink);
    };
    const auto quadrantInk = [&](int cell, int qx, int qy) {
        return CountPixels(dialog->RenderPreview(),
                           QRect(cell * 60 + 3 + qx * 27, 3 + qy * 27, 27, 27), Ink);
    };

    Click(dialog->LanguageGroup->button(0));
    for (int cell = 0; cell < 3; ++cell) {
        const QRect ink = cellInk(cell);
        ASSERT_TRUE(ink.isValid());
        // One letter in the middle of the cell.
        EXPECT_NEAR(ink.center().x(), cell * 60 + 30, 4);
        EXPECT_NEAR(ink.center().y(), 30, 5);
        EXPECT_LT(ink.height(), 26);
    }

    Click(dialog->LanguageGroup->button(1));
    dialog->cbAlwaysShowEnglish->setChecked(true);
    Click(dialog->cbAlwaysShowEnglish); // repaints, now off
    Click(dialog->cbAlwaysShowEnglish); // on again
    ASSERT_TRUE(dialog->cbAlwaysShowEnglish->isChecked());
    for (int cell = 0; cell < 3; ++cell) {
        EXPECT_GT(quadrantInk(cell, 0, 0), 10); // Q
        EXPECT_GT(quadrantInk(cell, 1, 0), 10); // ㅃ
        EXPECT_GT(quadrantInk(cell, 1, 1), 10); // ㅂ
        EXPECT_LT(quadrantInk(cell, 0, 1), 3);
    }

    Click(dialog->cbAlwaysShowEnglish);
    for (int cell = 0; cell < 3; ++cell) {
        const QRect ink = cellInk(cell);
        EXPECT_NEAR(ink.center().x(), cell * 60 + 30, 4);
        EXPECT_GT(ink.height(), 36); // two jamo, one above the other
    }
    // Every other Hangul or kana layout shows the same samples.
    const QImage dubeolsik = dialog->RenderPreview();
    Click(dialog->LanguageGroup->button(7));
    EXPECT_EQ(dialog->RenderPreview(), dubeolsik);

    // A selected picture shows behind the keys.
    dialog->lbBackImage->setCurrentRow(2); // the wood
    const QImage wood = dialog->RenderPreview();
    EXPECT_EQ(wood.pixel(150, 50), qRgb(150, 100, 50));
}

TEST_F(KeyboardSetUp, TheHelpButtonOpensTheKeyboardPracticeTopic) {
    auto dialog = NewDialog();
    QTest::mouseClick(dialog->btnHelp, Qt::LeftButton);
    THelpWindow* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* h = qobject_cast<THelpWindow*>(w); h && h->isVisible())
            help = h;
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->CurrentTopic(), QStringLiteral("키보드연습.htm"));
    EXPECT_TRUE(help->windowTitle().startsWith(QStringLiteral("키보드 연습")));
    EXPECT_TRUE(Answerer.Messages.empty());
    if (const QByteArray out = qgetenv("RAVLIN_RENDER_DIR"); !out.isEmpty())
        help->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/keyboard_help.png"));
    help->close();
}
