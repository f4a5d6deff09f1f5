// The program's identity on the desktop: the window icon it shows and the
// desktop id that ties its windows to the installed desktop entry and icons.

#include "app/Folders.h"
#include "app/RavlinApplication.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QTemporaryDir>

namespace {

// Points the icon theme lookup at `folders` for one test and restores it.
class TIconThemeScope {
public:
    explicit TIconThemeScope(const QStringList& folders)
        : FPaths(QIcon::themeSearchPaths())
        , FName(QIcon::themeName()) {
        QIcon::setThemeSearchPaths(folders);
        QIcon::setThemeName(QStringLiteral("hicolor"));
    }
    ~TIconThemeScope() {
        QIcon::setThemeSearchPaths(FPaths);
        QIcon::setThemeName(FName);
    }

private:
    QStringList FPaths;
    QString FName;
};

QList<int> Widths(const QList<QSize>& sizes) {
    QList<int> widths;
    for (const QSize& s : sizes)
        widths.append(s.width());
    std::sort(widths.begin(), widths.end());
    return widths;
}

} // namespace

TEST(ProgramIcon, ComesFromTheProgramFolderWhenTheThemeLacksIt) {
    QTemporaryDir emptyTheme;
    TIconThemeScope scope({emptyTheme.path()});
    const QIcon icon = TRavlinApplication::ProgramIcon(AppDir());
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(Widths(icon.availableSizes()), QList<int>({16, 32, 64}));
    // The 16 px picture itself, not a scaled larger one: transparent outside
    // the cap's rounded corner, the glyph's dark stroke at its place.
    const QImage small = icon.pixmap(QSize(16, 16)).toImage();
    ASSERT_EQ(small.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(small.pixel(0, 0)), 0);
    EXPECT_LT(qBlue(small.pixel(3, 3)), 140) << "the top bar of ㅌ";
    EXPECT_GT(qBlue(small.pixel(5, 4)), 180) << "the face between the bars";
}

// A hicolor theme made of the icons the build generated, with the index a
// desktop's hicolor theme package provides (lookups need it to know the
// folders).
bool MakeThemeOfBuiltIcons(const QString& root) {
    const QString built = QStringLiteral(RAVLIN_TEST_ICON_THEME_DIR);
    const QString theme = root + QStringLiteral("/hicolor");
    QStringList folders;
    QString sections;
    for (const QString& sizeFolder : QDir(built).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = sizeFolder + QStringLiteral("/apps");
        folders << folder;
        const bool scalable = sizeFolder == QLatin1String("scalable");
        sections +=
            QStringLiteral("[%1]\nSize=%2\nType=%3\n%4\n")
                .arg(folder, scalable ? QStringLiteral("256") : sizeFolder.section('x', 0, 0),
                     scalable ? QStringLiteral("Scalable") : QStringLiteral("Threshold"),
                     scalable ? QStringLiteral("MinSize=16\nMaxSize=512\n") : QString());
        if (!QDir().mkpath(theme + QLatin1Char('/') + sizeFolder) ||
            !QFile::link(built + QLatin1Char('/') + folder, theme + QLatin1Char('/') + folder))
            return false;
    }
    QFile index(theme + QStringLiteral("/index.theme"));
    return index.open(QIODevice::WriteOnly) &&
           index.write(QStringLiteral("[Icon Theme]\nName=Hicolor\nDirectories=%1\n\n%2")
                           .arg(folders.join(QLatin1Char(',')), sections)
                           .toUtf8()) > 0;
}

TEST(ProgramIcon, ThemeIconWinsWhenInstalled) {
    QTemporaryDir root;
    ASSERT_TRUE(MakeThemeOfBuiltIcons(root.path()));
    TIconThemeScope scope({root.path()});
    const QIcon icon = TRavlinApplication::ProgramIcon(AppDir());
    EXPECT_EQ(icon.name(), QLatin1String(TRavlinApplication::kDesktopId));
    const QList<int> widths = Widths(icon.availableSizes());
    EXPECT_TRUE(widths.contains(16) && widths.contains(48) && widths.contains(512))
        << widths.size();
    // Each size is drawn for itself: the 16 px one is the pixel-drawn glyph.
    const QImage small = icon.pixmap(QSize(16, 16)).toImage();
    EXPECT_LT(qBlue(small.pixel(3, 3)), 140);
}

TEST(ProgramIcon, NullWhenNeitherThemeNorProgramFolderHasIt) {
    QTemporaryDir empty;
    TIconThemeScope scope({empty.path()});
    EXPECT_TRUE(TRavlinApplication::ProgramIcon(empty.path()).isNull());
}

TEST(DesktopId, MatchesTheDesktopEntryAndTheInstalledNames) {
    EXPECT_STREQ(TRavlinApplication::kDesktopId, RAVLIN_TEST_APP_ID);
    QFile entry(QStringLiteral(RAVLIN_TEST_SOURCE_DIR "/desktop/") +
                QLatin1String(TRavlinApplication::kDesktopId) + QStringLiteral(".desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    EXPECT_TRUE(
        lines.contains(QStringLiteral("Icon=") + QLatin1String(TRavlinApplication::kDesktopId)));
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=ravlin")));
    // The X window class Qt gives the windows is the application name; the
    // entry must name the same class for desktops that match by it.
    EXPECT_TRUE(lines.contains(QStringLiteral("StartupWMClass=Ravlin")));
}
