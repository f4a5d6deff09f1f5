#pragma once

#include <QWidget>

class QTextBrowser;
class QToolButton;

// The in-app help viewer: HTML topic pages from the "help/" folder beside the
// program, with back, forward and links between topics. Links to web pages
// open in the desktop's browser. One help window serves the whole program;
// showing another topic reuses it.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    // Shows `topic` (a file name in "help/", such as "문장연습.htm") in the
    // help window, creating the window when none is open. Returns false and
    // tells the user when the topic cannot be found.
    static bool ShowTopic(QWidget* parent, const QString& topic);

    QString CurrentTopic() const;

private:
    explicit THelpWindow(QWidget* parent);
    void Open(const QString& path);
    void LinkClicked(const QUrl& url);

    QTextBrowser* FBrowser;
    QToolButton* FBackButton;
    QToolButton* FForwardButton;
};
