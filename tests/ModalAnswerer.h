#pragma once

#include <deque>
#include <functional>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <vector>

// Answers the modal windows a test provokes, the way a learner would click
// them, and records what they said. While it exists it looks every 10 ms:
//
//  * a message box is recorded and gets the next queued answer (when none is
//    queued: Yes where it asks, else OK);
//  * any other modal dialog is recorded in OtherDialogs and offered to
//    OnDialog (a file to choose, a name prompt to fill in, a score board to
//    read); when OnDialog is unset or returns false it is cancelled;
//  * with no modal window up, WhenIdle runs (to type on in a game, say).
class TModalAnswerer : public QObject {
public:
    struct TMessage {
        QString Title;
        QString Text;
        QMessageBox::Icon Icon;
    };

    TModalAnswerer() {
        FTimer.setInterval(10);
        QObject::connect(&FTimer, &QTimer::timeout, this, [this] { Poll(); });
        FTimer.start();
    }

    std::vector<TMessage> Messages;
    QStringList OtherDialogs; // class names of the other dialogs that opened
    std::deque<QMessageBox::StandardButton> Answers;
    // Handles other dialogs first; returns true when it has dealt with the dialog.
    std::function<bool(QDialog*)> OnDialog;
    // Runs on polls that find no modal window.
    std::function<void()> WhenIdle;

    // The texts of the messages shown so far, forgetting them.
    QStringList TakeTexts() {
        QStringList texts;
        for (const TMessage& m : Messages)
            texts << m.Text;
        Messages.clear();
        return texts;
    }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            if (WhenIdle)
                WhenIdle();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Messages.push_back({box->windowTitle(), box->text(), box->icon()});
            QMessageBox::StandardButton answer =
                box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
            if (!Answers.empty()) {
                answer = Answers.front();
                Answers.pop_front();
            }
            if (QAbstractButton* button = box->button(answer))
                button->click();
            else
                box->reject();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            OtherDialogs << QString::fromLatin1(dialog->metaObject()->className());
            if (!OnDialog || !OnDialog(dialog))
                dialog->reject();
        }
    }

    QTimer FTimer;
};
