#pragma once

#include "app/Colors.h"
#include "app/KeyboardLayouts.h"

#include <array>
#include <functional>
#include <QDialog>
#include <QFont>

class QAction;
class QButtonGroup;
class QCheckBox;
class QFontDialog;
class QGroupBox;
class QImage;
class QLabel;
class QListWidget;
class QPainter;
class QPushButton;

// The dialog before keyboard practice ("키보드 연습설정"): the learner picks
// the keyboard layout, the key groups to drill, the key-cap picture and
// font and four switches, and sees three sample key caps painted the way the
// drill paints them. "시작" stores the choices in the keyboard settings,
// opens the drill window and closes the dialog. The caller shows it modally
// and frees it afterwards.
class TKeyboardSetUpForm : public QDialog {
    Q_OBJECT
public:
    // Opens the drill window from the settings just saved, replacing one
    // that is still open. Without one the dialog starts the drill window
    // itself.
    using TStartDrill = std::function<void()>;

    explicit TKeyboardSetUpForm(QWidget* parent = nullptr, TStartDrill startDrill = {});
    ~TKeyboardSetUpForm() override;

    // The help page of keyboard practice.
    static QString HelpTopic() { return QStringLiteral("키보드연습.htm"); }
    // Thumbnails in the picture list are this wide.
    static constexpr int kThumbnailSize = 200;
    static constexpr int kImageItemHeight = 50;

    QButtonGroup* LanguageGroup;
    QGroupBox* KeyPosGroup;
    QCheckBox* cbStandard;
    QCheckBox* cbLeftUp;
    QCheckBox* cbLeftDown;
    QCheckBox* cbRightDown;
    QCheckBox* cbCenter;
    QCheckBox* cbNumber;
    QCheckBox* cbTopMost;
    QCheckBox* cbRightUp;
    QCheckBox* cbSymbol;
    QCheckBox* cbAll;
    QCheckBox* cbUseSound;
    QCheckBox* cbShowFinger;
    QCheckBox* cbAlwaysShowEnglish;
    QCheckBox* cbMoveProblem;
    // The pick favours the keys the history shows as weak.
    QCheckBox* cbWeakKeysFirst;
    QLabel* lblSelectKeyPos;
    QGroupBox* TextureGroup;
    QListWidget* lbBackImage;
    QGroupBox* PreviewGroup;
    QWidget* KeyPreviewBox;
    QPushButton* btnFont;
    QPushButton* btnHelp;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    QAction* actSelectKeyPos;
    QAction* actExercise;
    QAction* actPreview;
    QFontDialog* KeyFontDialog;

    // The key-label font chosen so far and its colour.
    QFont KeyFont() const { return FKeyFont; }
    TColor KeyFontColor() const { return FKeyFontColor; }
    void SetKeyFont(const QFont& font, TColor color);

    // The group check boxes with their groups, in the order of the groups.
    struct TGroupBox {
        QCheckBox* Box;
        TKeyGroup Group;
    };
    std::array<TGroupBox, 9> GroupBoxes() const;
    // The groups whose boxes are checked (a hidden "맨 윗줄" counts too).
    TKeyGroupSet CheckedGroups() const;
    // The full path of the selected picture; empty when none is selected.
    QString SelectedPicture() const;

    // Paints the preview as KeyPreviewBox shows it.
    void PaintPreview(QPainter& painter) const;
    QImage RenderPreview() const;

    // Stores the choices, saves them and opens the drill. Refuses with the
    // error box when no group is checked.
    void btnOkClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FillPictureList();
    void LanguageGroupClick();
    void cbAllClick();
    void btnFontClick();
    void btnHelpClick();
    void actPreviewExecute();
    void UpdateActions();

    TStartDrill FStartDrill;
    QFont FKeyFont;
    TColor FKeyFontColor = clBlack;
};
