#include "platform/HelpWindow.h"

#include "ModalAnswerer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

namespace {

void WriteTopic(const QTemporaryDir& root, const QString& name, const QString& html) {
    ASSERT_TRUE(WriteFileBytes(root.filePath("help/" + name), html.toUtf8()));
}

THelpWindow* FindHelpWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<THelpWindow*>(widget); help && help->isVisible())
            return help;
    return nullptr;
}

} // namespace

TEST(HelpWindow, ShowsTopicsInOneWindowAndFollowsLinksWhateverTheirCase) {
    QTemporaryDir root;
    WriteTopic(root, QStringLiteral("문장연습.htm"),
               QStringLiteral("<html><head><meta charset='utf-8'><title>문장 연습</title></head>"
                              "<body><a href='OTHER.HTM'>다른</a></body></html>"));
    WriteTopic(root, QStringLiteral("other.htm"),
               QStringLiteral("<html><head><title>Other</title></head><body>x</body></html>"));
    TScopedAppDir app(root.path());

    ASSERT_TRUE(THelpWindow::ShowTopic(nullptr, QStringLiteral("문장연습.htm")));
    THelpWindow* window = FindHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->CurrentTopic(), QStringLiteral("문장연습.htm"));
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("문장 연습")));

    auto* browser = window->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    emit browser->anchorClicked(QUrl(QStringLiteral("OTHER.HTM")));
    EXPECT_EQ(window->CurrentTopic(), QStringLiteral("other.htm"));

    // A second topic reuses the same window.
    ASSERT_TRUE(THelpWindow::ShowTopic(nullptr, QStringLiteral("OTHER.htm")));
    EXPECT_EQ(FindHelpWindow(), window);
    window->close();
    QApplication::processEvents();
}

TEST(HelpWindow, MissingTopicIsReportedNotOpened) {
    QTemporaryDir root;
    TScopedAppDir app(root.path());
    TModalAnswerer answerer;
    EXPECT_FALSE(THelpWindow::ShowTopic(nullptr, QStringLiteral("없는.htm")));
    EXPECT_EQ(FindHelpWindow(), nullptr);
    ASSERT_EQ(answerer.Messages.size(), 1u);
    EXPECT_TRUE(answerer.Messages[0].Text.startsWith(QStringLiteral("도움말을 찾을 수 없습니다.")));
    EXPECT_TRUE(answerer.Messages[0].Text.endsWith(QStringLiteral("없는.htm")));
}

TEST(HelpWindow, StaysUsableWhileAModalDialogRuns) {
    QTemporaryDir root;
    WriteTopic(root, QStringLiteral("a.htm"), QStringLiteral("<html><body>a</body></html>"));
    TScopedAppDir app(root.path());

    QDialog dialog;
    bool helpWasUsable = false;
    QTimer::singleShot(100, [&] {
        ASSERT_TRUE(THelpWindow::ShowTopic(&dialog, QStringLiteral("a.htm")));
        THelpWindow* window = FindHelpWindow();
        ASSERT_NE(window, nullptr);
        // A window outside the running dialog would be blocked from input.
        helpWasUsable = window->parentWidget() == &dialog && window->isWindow();
        window->close();
        dialog.reject();
    });
    dialog.exec();
    EXPECT_TRUE(helpWasUsable);
}
