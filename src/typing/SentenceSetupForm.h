#pragma once

#include "app/Colors.h"
#include "typing/TypingModel.h"

#include <QDialog>
#include <QFont>

class QAction;
class QCheckBox;
class QColorDialog;
class QComboBox;
class QFileDialog;
class QFontDialog;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;
class TSentenceForm;
class TSentencePractice;

// The dialog before sentence practice ("문장연습설정"): the learner picks a
// practice text, the lines per page, the font and the wrong-mark colour
// (previewed live), background pictures, the error sound, the immediate jamo
// check and an optional target speed. "시작" saves everything to the sentence
// settings, opens the practice window and closes the dialog. The caller
// shows it modally and frees it afterwards.
class TSentenceSetupForm : public QDialog {
    Q_OBJECT
public:
    // `practiceClock` is handed to the practice windows it opens (tests
    // drive their page clock); empty means the monotonic clock.
    explicit TSentenceSetupForm(QWidget* parent = nullptr, TTypingModel::TClock practiceClock = {});
    ~TSentenceSetupForm() override;

    // At most this many background pictures.
    static constexpr int kMaxImages = 10;

    // The practice window opened by the last start, while it is open.
    static TSentenceForm* PracticeWindow();

    QListWidget* lvText;
    QLabel* lblSelectFile;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    TSentencePractice* SentenceExample;
    QPushButton* btnFont;
    QPushButton* btnWrongColor;
    QListWidget* lbBackImage;
    QPushButton* btnAddImage;
    QPushButton* btnDeleteImage;
    QCheckBox* chkSpeedLimit;
    QSpinBox* edtSpeedLimit;
    QCheckBox* chkShowWrongJohap;
    QCheckBox* chkUseSound;
    QComboBox* LineCountCB;
    // "한글 입력": which composer writes Hangul (index = TInputMethodChoice).
    QComboBox* cbHangulInput;
    QPushButton* btnStart;
    QPushButton* btnHelp;
    QPushButton* btnCancel;
    QFontDialog* dlgFont;
    QColorDialog* dlgWrongColor;
    QFileDialog* dlgPicture;
    QAction* actSelectFile;
    QAction* actExercise;

    // The "|"-separated list of the pictures ('1' checked, '0' not, then the path).
    QString BuildBackImage() const;
    // Adds a picture to lbBackImage with its thumbnail; `checked` marks it in use.
    QListWidgetItem* AddBackImage(const QString& path, bool checked);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FillTextList();
    void FillBackImages(const QString& backImage);
    void LoadSettings();
    void SelectFirstTextWhenNoneIs();
    void UpdateActions();
    void SetPreviewFont(const QFont& font, TColor color);

    void btnFontClick();
    void btnWrongColorClick();
    void btnAddImageClick();
    void btnDeleteImageClick();
    void actSelectFileExecute();
    void actExerciseExecute();
    // Saves the settings and opens the practice window with `lineCount` lines.
    void Start(int lineCount);

    TTypingModel::TClock FPracticeClock;
};
