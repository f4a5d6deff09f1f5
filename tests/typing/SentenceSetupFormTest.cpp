#include "typing/SentenceSetupForm.h"

#include "app/SettingsStore.h"
#include "ImageTestSupport.h"
#include "ModalAnswerer.h"
#include "platform/HelpWindow.h"
#include "TestSupport.h"
#include "typing/SentenceForm.h"
#include "typing/SentencePractice.h"
#include "typing/VelmarMeter.h"

#include <gtest/gtest.h>
#include <memory>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A program folder of its own with a few texts, two pictures and the help
// topic, a fresh settings file, and every modal dialog answered.
struct TSetupFixture : testing::Test {
    TScopedSettingsDir Settings;
    QTemporaryDir Root;
    std::unique_ptr<TScopedAppDir> App;
    TModalAnswerer Answerer;
    quint32 Now = 500000;

    TSetupFixture() {
        const QString help = AppDir() + QStringLiteral("help/문장연습.htm");
        App = std::make_unique<TScopedAppDir>(Root.path());
        QDir root(Root.path());
        root.mkpath(QStringLiteral("Text"));
        root.mkpath(QStringLiteral("Images"));
        root.mkpath(QStringLiteral("help"));
        QFile::copy(help, Root.filePath(QStringLiteral("help/문장연습.htm")));
        WriteText(QStringLiteral("[한글]연습.txt"),
                  {"한글", "가나", "다라", "마바", "사아", "자차"});
        WriteText(QStringLiteral("[영어]Fox.txt"), {"The quick brown fox", "jumps over"});
        WriteText(QStringLiteral("plain.txt"), {"plain"});
        WriteText(QStringLiteral("words.game"), {"not a practice text"});
        QImage picture(30, 20, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(Picture(QStringLiteral("a.png")));
        picture.save(Picture(QStringLiteral("b.jpg")));
    }
    ~TSetupFixture() override {
        if (TSentenceForm* form = TSentenceSetupForm::PracticeWindow())
            form->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void WriteText(const QString& name, const QStringList& lines) {
        QFile file(Root.filePath(QStringLiteral("Text/") + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines.join(QLatin1Char('\n')).toUtf8());
    }
    QString Picture(const QString& name) const {
        return Root.filePath(QStringLiteral("Images/") + name);
    }

    std::unique_ptr<TSentenceSetupForm> NewDialog() {
        return std::make_unique<TSentenceSetupForm>(nullptr, [this] { return Now; });
    }

    // Types `keys` into the practice control, one key every `msPerKey`.
    void Type(TSentenceForm* form, const char* keys, int msPerKey) {
        for (const char* k = keys; *k; ++k) {
            if (*k == '\n')
                QTest::keyClick(form->SenEx, Qt::Key_Return);
            else
                QTest::keyClick(form->SenEx, *k);
            Now += quint32(msPerKey);
        }
    }
};

QStringList Captions(const QListWidget* list) {
    QStringList captions;
    for (int i = 0; i < list->count(); ++i)
        captions << list->item(i)->text();
    return captions;
}

QStringList Problems(const TSentenceForm* form) {
    QStringList lines;
    for (int i = 0; i < form->SenEx->SentenceCount(); ++i)
        lines << form->SenEx->Model().Sentence(i)->problem;
    return lines;
}

int RedPixels(const QImage& image, const QRect& rect) {
    return CountPixels(image, rect,
                       [](QRgb p) { return qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90; });
}

} // namespace

TEST_F(TSetupFixture, OpensWithTheStoredSettingsAndWritesThePictureListBackUnchanged) {
    LoadSentenceSetup();
    SentenceSetup.SpeedLimit = 300;
    SentenceSetup.UseSpeedLimit = true;
    SentenceSetup.UseSound = false;
    SentenceSetup.ShowWrongJohap = false;
    SentenceSetup.LineCount = 4;
    // An unused picture, and one that no longer exists: both stay listed.
    SentenceSetup.BackImage =
        "1" + Picture("a.png") + "|0" + Picture("b.jpg") + "|1" + Picture("gone.png");
    SentenceSetup.FontName = QStringLiteral("굴림체");
    SentenceSetup.FontSize = 16;
    SentenceSetup.FontBold = false;
    SentenceSetup.FontItalic = true;
    SentenceSetup.FontColor = RGBColor(0, 0, 200);
    SentenceSetup.WrongMarkColor = RGBColor(0, 160, 0);
    SentenceSetup.TextName = QStringLiteral("[영어]FOX");
    SaveSentenceSetup();
    SentenceSetup = TSentenceSetupRec();

    auto dialog = NewDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("문장연습설정"));
    EXPECT_EQ(Captions(dialog->lvText), (QStringList{"[영어]Fox", "[한글]연습", "plain"}));
    EXPECT_EQ(dialog->edtSpeedLimit->value(), 300);
    EXPECT_TRUE(dialog->chkSpeedLimit->isChecked());
    EXPECT_FALSE(dialog->chkUseSound->isChecked());
    EXPECT_FALSE(dialog->chkShowWrongJohap->isChecked());
    EXPECT_EQ(dialog->LineCountCB->currentText(), QStringLiteral("4줄 연습"));
    EXPECT_EQ(dialog->LineCountCB->count(), 15);

    ASSERT_EQ(dialog->lbBackImage->count(), 3);
    EXPECT_EQ(dialog->lbBackImage->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(dialog->lbBackImage->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(dialog->lbBackImage->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(dialog->BuildBackImage(), SentenceSetup.BackImage);

    const QFont font = dialog->SentenceExample->font();
    EXPECT_EQ(font.pointSize(), 16);
    EXPECT_TRUE(font.italic());
    EXPECT_FALSE(font.bold());
    EXPECT_EQ(dialog->SentenceExample->FontColor(), RGBColor(0, 0, 200));
    EXPECT_EQ(dialog->SentenceExample->WrongMarkColor(), RGBColor(0, 160, 0));
    EXPECT_TRUE(dialog->SentenceExample->ReadOnly());
    // The sample shows wrong marks.
    const TSentence& sample = *dialog->SentenceExample->Model().Sentence(0);
    EXPECT_NE(sample.problem, sample.typed);

    ASSERT_EQ(dialog->lvText->selectedItems().size(), 1);
    EXPECT_EQ(dialog->lvText->selectedItems()[0]->text(), QStringLiteral("[영어]Fox"));
    EXPECT_TRUE(dialog->lblSelectFile->isHidden());
    EXPECT_TRUE(dialog->btnStart->isEnabled());
}

TEST_F(TSetupFixture, WithoutAMatchingTextNothingIsSelectedUntilTheDialogShows) {
    LoadSentenceSetup();
    SentenceSetup.TextName = QStringLiteral("지워진 글");
    SaveSentenceSetup();
    auto dialog = NewDialog();
    EXPECT_TRUE(dialog->lvText->selectedItems().isEmpty());
    EXPECT_FALSE(dialog->lblSelectFile->isHidden());
    EXPECT_EQ(dialog->lblSelectFile->text(), QStringLiteral("◆ 연습할 글을 선택하세요. "));
    EXPECT_FALSE(dialog->btnStart->isEnabled());
    dialog->actExercise->setEnabled(true); // as if the button were pressed anyway
    dialog->actExercise->trigger();
    EXPECT_EQ(Answerer.TakeTexts(), QStringList{QStringLiteral("연습할 글을 선택하세요.")});
    EXPECT_EQ(TSentenceSetupForm::PracticeWindow(), nullptr);

    dialog->show();
    ASSERT_EQ(dialog->lvText->selectedItems().size(), 1);
    EXPECT_EQ(dialog->lvText->selectedItems()[0]->text(), QStringLiteral("[영어]Fox"));
    EXPECT_TRUE(dialog->lblSelectFile->isHidden());
    EXPECT_TRUE(dialog->btnStart->isEnabled());
}

TEST_F(TSetupFixture, TenPicturesAreTheLimitAndDeletingAsksFirst) {
    LoadSentenceSetup();
    QStringList entries;
    for (int i = 0; i < 10; ++i)
        entries << "1" + Picture("a.png");
    SentenceSetup.BackImage = entries.join('|');
    SaveSentenceSetup();
    auto dialog = NewDialog();
    ASSERT_EQ(dialog->lbBackImage->count(), 10);

    QTest::mouseClick(dialog->btnAddImage, Qt::LeftButton);
    EXPECT_EQ(Answerer.TakeTexts(), QStringList{QStringLiteral("10 개이상 추가할 수 없습니다.")});
    EXPECT_TRUE(Answerer.OtherDialogs.isEmpty()); // the picture dialog did not open

    dialog->lbBackImage->setCurrentRow(3);
    Answerer.Answers.push_back(QMessageBox::No);
    QTest::mouseClick(dialog->btnDeleteImage, Qt::LeftButton);
    ASSERT_EQ(Answerer.Messages.size(), 1u);
    EXPECT_EQ(Answerer.Messages[0].Title, QStringLiteral("삭제 확인"));
    EXPECT_EQ(Answerer.Messages[0].Text, QStringLiteral("선택된 이미지를 삭제하시겠습니까?"));
    Answerer.Messages.clear();
    EXPECT_EQ(dialog->lbBackImage->count(), 10);
    QTest::mouseClick(dialog->btnDeleteImage, Qt::LeftButton);
    EXPECT_EQ(dialog->lbBackImage->count(), 9);

    // With nine the picture dialog opens (and is cancelled here).
    Answerer.Messages.clear();
    QTest::mouseClick(dialog->btnAddImage, Qt::LeftButton);
    EXPECT_TRUE(Answerer.Messages.empty());
    EXPECT_EQ(Answerer.OtherDialogs, QStringList{QStringLiteral("QFileDialog")});
    EXPECT_EQ(dialog->lbBackImage->count(), 9);

    // A picture chosen there is added, checked, with its thumbnail.
    Answerer.OnDialog = [this](QDialog* d) {
        auto* files = qobject_cast<QFileDialog*>(d);
        if (!files)
            return false;
        // Typed into the file name box, as a learner would.
        auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name)
            return false;
        name->setText(Picture("b.jpg"));
        QTest::keyClick(name, Qt::Key_Return);
        return true;
    };
    QTest::mouseClick(dialog->btnAddImage, Qt::LeftButton);
    ASSERT_EQ(dialog->lbBackImage->count(), 10);
    EXPECT_EQ(dialog->lbBackImage->item(9)->checkState(), Qt::Checked);
    EXPECT_TRUE(dialog->BuildBackImage().endsWith("|1" + Picture("b.jpg")));
}

TEST_F(TSetupFixture, StartSavesTheChoicesAndThePracticeWindowUsesThem) {
    auto dialog = NewDialog();
    dialog->show();
    dialog->lvText->setCurrentRow(2); // plain
    dialog->edtSpeedLimit->setValue(250);
    dialog->chkSpeedLimit->setChecked(true);
    dialog->chkUseSound->setChecked(false);
    dialog->LineCountCB->setCurrentIndex(2);
    dialog->lbBackImage->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_EQ(dialog->cbHangulInput->count(), 3);
    EXPECT_EQ(dialog->cbHangulInput->itemText(1), QStringLiteral("내장 입력기"));
    dialog->cbHangulInput->setCurrentIndex(1);

    // The font is chosen in the font dialog.
    QFont chosen(QStringLiteral("DejaVu Sans Mono"));
    chosen.setPointSize(18);
    chosen.setBold(true);
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
    EXPECT_TRUE(dialog->SentenceExample->font().italic());

    QTest::mouseClick(dialog->btnStart, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    QPointer<TSentenceForm> form = TSentenceSetupForm::PracticeWindow();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->TextFn().endsWith(QStringLiteral("Text/plain.txt")));
    const QFont used = form->SenEx->font();
    EXPECT_EQ(used.pointSize(), 18);
    EXPECT_TRUE(used.bold());
    EXPECT_TRUE(used.italic());
    EXPECT_EQ(used.family(), dialog->SentenceExample->font().family());
    EXPECT_EQ(form->SenEx->SentenceCount(), 3);
    EXPECT_EQ(form->SentenceImageList().Count(), 1); // the unchecked picture is skipped
    // "내장 입력기": the practice control refuses the desktop input method.
    EXPECT_EQ(form->SenEx->Composer().InputMethodChoice(), imcBuiltIn);
    EXPECT_FALSE(form->SenEx->testAttribute(Qt::WA_InputMethodEnabled));

    // Opened again, the dialog shows what was saved.
    SentenceSetup = TSentenceSetupRec();
    auto again = NewDialog();
    EXPECT_EQ(again->edtSpeedLimit->value(), 250);
    EXPECT_TRUE(again->chkSpeedLimit->isChecked());
    EXPECT_FALSE(again->chkUseSound->isChecked());
    EXPECT_EQ(again->LineCountCB->currentIndex(), 2);
    EXPECT_EQ(again->cbHangulInput->currentIndex(), 1);
    EXPECT_EQ(again->lbBackImage->item(1)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(again->SentenceExample->font().italic());
    EXPECT_EQ(again->lvText->selectedItems()[0]->text(), QStringLiteral("plain"));

    // Starting again replaces the open practice window.
    QTest::mouseClick(again->btnStart, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_NE(TSentenceSetupForm::PracticeWindow(), nullptr);
}

TEST_F(TSetupFixture, TheHelpButtonOpensTheSentencePracticeTopic) {
    auto dialog = NewDialog();
    QTest::mouseClick(dialog->btnHelp, Qt::LeftButton);
    THelpWindow* help = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* h = qobject_cast<THelpWindow*>(w); h && h->isVisible())
            help = h;
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->CurrentTopic(), QStringLiteral("문장연습.htm"));
    EXPECT_TRUE(help->windowTitle().startsWith(QStringLiteral("문장 연습")));
    help->close();
}

// The whole way a learner goes: pick a text in the setup dialog, type pages
// with live marks and a live meter, be held to the target speed, close the
// window, come back and carry on where it stopped. Only key events drive it.
TEST_F(TSetupFixture, ALearnerPracticesIsHeldToTheTargetAndResumesLater) {
    auto dialog = NewDialog();
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    // The list starts on the first text; one down is the Korean one.
    dialog->lvText->setFocus();
    QTest::keyClick(dialog->lvText, Qt::Key_Down);
    ASSERT_EQ(dialog->lvText->selectedItems()[0]->text(), QStringLiteral("[한글]연습"));
    QTest::keyClick(dialog->LineCountCB, Qt::Key_Down); // "2줄 연습"
    QTest::keyClick(dialog->chkSpeedLimit, Qt::Key_Space);
    QTest::keyClick(dialog->edtSpeedLimit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dialog->edtSpeedLimit, "200");
    QTest::keyClick(dialog->btnStart, Qt::Key_Space);

    QPointer<TSentenceForm> form = TSentenceSetupForm::PracticeWindow();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->SenEx->TypingLang(), tlNative);
    EXPECT_EQ(Problems(form), (QStringList{"한글", "가나"}));

    // Slowly, a second a key, with 가다 for 가나: the wrong syllable is marked
    // while it is still being composed.
    Type(form, "gksrmf\nrkek", 1000);
    EXPECT_TRUE(form->SpeedMeter->Active());
    const QImage marked = form->SenEx->grab().toImage();
    EXPECT_GT(RedPixels(marked, form->SenEx->TypedCharRect(1, 1)), 10);
    EXPECT_EQ(RedPixels(marked, form->SenEx->TypedCharRect(1, 0)), 0);
    // The live meter follows (its timer ticks on the window thread).
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->CurrBar->BlueValue() > 0; }, 5000));

    Type(form, "\n", 1000);
    EXPECT_EQ(Answerer.TakeTexts(),
              QStringList{
                  QStringLiteral("목표로 한 타자속도(200 타/분)을 넘지 못해서 다시 연습합니다.")});
    EXPECT_EQ(Problems(form), (QStringList{"한글", "가나"}));
    EXPECT_TRUE(form->SenEx->Model().Sentence(0)->typed.isEmpty());
    const double slow = form->MaxBar->RedValue();
    EXPECT_GT(slow, 0);
    EXPECT_LT(slow, 200);

    // Quickly and rightly the page passes.
    Type(form, "gksrmf\nrksk\n", 50);
    EXPECT_TRUE(Answerer.Messages.empty());
    EXPECT_EQ(Problems(form), (QStringList{"다라", "마바"}));
    EXPECT_GT(form->MaxBar->RedValue(), 200);
    EXPECT_EQ(form->CurrBar->BlueValue(), form->MaxBar->RedValue());
    EXPECT_FALSE(form->SpeedMeter->Active());

    form->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(form.isNull());

    // Back in the setup dialog the text is still chosen; Enter starts it and
    // the learner agrees to carry on.
    auto again = NewDialog();
    again->show();
    QTest::keyClick(again.get(), Qt::Key_Return);
    EXPECT_EQ(Answerer.TakeTexts(),
              QStringList{QStringLiteral("기존에 연습하던 것에 이어서 하시겠습니까?")});
    form = TSentenceSetupForm::PracticeWindow();
    ASSERT_TRUE(form);
    EXPECT_EQ(Problems(form), (QStringList{"다라", "마바"}));
    EXPECT_EQ(form->SenEx->SentenceCount(), 2);
}
