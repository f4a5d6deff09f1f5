#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class TBorderLabel;

// The About box: the program's picture, its name in large outlined letters
// and the release date. Esc closes it; closing frees it.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    TBorderLabel* NameLabel() const { return BorderLabel1; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFrame* Bevel1;
    QLabel* Image1;
    TBorderLabel* BorderLabel1;
    QLabel* Label6;
};
