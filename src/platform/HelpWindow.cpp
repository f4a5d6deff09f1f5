#include "platform/HelpWindow.h"

#include "app/MediaPath.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Finds the help window that is already open, if any.
THelpWindow* OpenHelpWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* help = qobject_cast<THelpWindow*>(widget);
        if (help != nullptr && help->isVisible())
            return help;
    }
    return nullptr;
}
} // namespace

THelpWindow::THelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , FBrowser(new QTextBrowser(this))
    , FBackButton(new QToolButton(this))
    , FForwardButton(new QToolButton(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("타비로 도움말"));
    resize(760, 640);

    FBackButton->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    FBackButton->setToolTip(QStringLiteral("뒤로"));
    FForwardButton->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    FForwardButton->setToolTip(QStringLiteral("앞으로"));
    FBackButton->setEnabled(false);
    FForwardButton->setEnabled(false);

    FBrowser->setOpenLinks(false);
    FBrowser->setSearchPaths({MediaPath(QStringLiteral("help/"))});
    QFont font(QStringLiteral("굴림"));
    font.setPointSize(11);
    FBrowser->setFont(font);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FBackButton);
    buttons->addWidget(FForwardButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(FBrowser);

    connect(FBackButton, &QToolButton::clicked, FBrowser, &QTextBrowser::backward);
    connect(FForwardButton, &QToolButton::clicked, FBrowser, &QTextBrowser::forward);
    connect(FBrowser, &QTextBrowser::backwardAvailable, FBackButton, &QToolButton::setEnabled);
    connect(FBrowser, &QTextBrowser::forwardAvailable, FForwardButton, &QToolButton::setEnabled);
    connect(FBrowser, &QTextBrowser::anchorClicked, this, &THelpWindow::LinkClicked);
    connect(FBrowser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = FBrowser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("타비로 도움말")
                                       : title + QStringLiteral(" - 타비로 도움말"));
    });
}

bool THelpWindow::ShowTopic(QWidget* parent, const QString& topic) {
    const QString path = MediaPath(QStringLiteral("help/") + topic);
    if (!QFileInfo(path).isFile()) {
        QMessageBox::warning(parent, QStringLiteral("타비로"),
                             QStringLiteral("도움말을 찾을 수 없습니다.\n%1").arg(path));
        return false;
    }
    // A dialog running modally blocks every other window, so the help window
    // must belong to it to stay usable; otherwise it stands on its own.
    QWidget* modal = QApplication::activeModalWidget();
    THelpWindow* window = OpenHelpWindow();
    if (window != nullptr && modal != nullptr && window->parentWidget() != modal) {
        window->close(); // deletes itself
        window = nullptr;
    }
    if (window == nullptr)
        window = new THelpWindow(modal);
    window->Open(path);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

void THelpWindow::Open(const QString& path) {
    FBrowser->setSource(QUrl::fromLocalFile(path));
}

QString THelpWindow::CurrentTopic() const {
    return QFileInfo(FBrowser->source().toLocalFile()).fileName();
}

void THelpWindow::LinkClicked(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        QDesktopServices::openUrl(url);
        return;
    }
    if (url.isRelative() || url.isLocalFile()) {
        // Another topic (or an anchor in this one); resolve its name like any medium.
        const QUrl resolved = FBrowser->source().resolved(url);
        QUrl target = QUrl::fromLocalFile(MediaPath(resolved.toLocalFile()));
        target.setFragment(url.fragment());
        FBrowser->setSource(target);
    }
    // Other schemes (mailto:, file managers, scripts) are not followed.
}
