#include "shell/AboutForm.h"

#include "app/MediaPath.h"
#include "shell/BorderLabel.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("타비로 v3.6"));
    setFixedSize(319, 229);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(7, 8, 306, 215);

    Image1 = new QLabel(this);
    Image1->setGeometry(24, 18, 32, 32);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->setPixmap(QPixmap(MediaPath(QStringLiteral("Images\\ravlin_about.png"))));

    BorderLabel1 = new TBorderLabel(this);
    BorderLabel1->setGeometry(85, 14, 225, 41);
    BorderLabel1->SetAutoSize(false);
    BorderLabel1->SetBorderShape(bsNone);
    BorderLabel1->SetBorderWidth(1);
    BorderLabel1->SetDrawOutline(true);
    BorderLabel1->SetOutlineThickness(1);
    BorderLabel1->SetOutlineColor(clBlack);
    BorderLabel1->SetGradTopColor(RGBColor(255, 255, 0));
    QFont nameFont(QStringLiteral("굴림체"));
    nameFont.setPixelSize(40);
    nameFont.setBold(true);
    BorderLabel1->setFont(nameFont);
    BorderLabel1->SetFontColor(27090);
    BorderLabel1->SetMoreWidth(20);
    BorderLabel1->SetMoreHeight(8);
    BorderLabel1->SetTextAlign(taCenter);
    BorderLabel1->SetTransparent(false);
    BorderLabel1->SetCaption(QStringLiteral("타 비 로 "));

    Label6 = new QLabel(QStringLiteral("제작일: 2026년 12월 8일"), this);
    QFont dateFont(QStringLiteral("굴림"));
    dateFont.setPixelSize(13);
    Label6->setFont(dateFont);
    QPalette black = Label6->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label6->setPalette(black);
    Label6->move(20, 71);
    Label6->adjustSize();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
    // Esc means "OK" here, not "cancel": the box has nothing to cancel.
    if (event->key() == Qt::Key_Escape) {
        done(QDialog::Accepted);
        return;
    }
    QDialog::keyPressEvent(event);
}
