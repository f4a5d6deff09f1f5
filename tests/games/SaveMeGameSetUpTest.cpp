#include "app/Folders.h"
#include "app/MediaPath.h"
#include "app/RavlinError.h"
#include "app/SettingsStore.h"
#include "games/GameWordFile.h"
#include "games/SaveMeGameSetUpForm.h"
#include "ImageTestSupport.h"
#include "ModalAnswerer.h"
#include "platform/CodePage949.h"
#include "platform/HelpWindow.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDialog>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

namespace {

QByteArray Utf16(const QString& text, bool bigEndian) {
    QStringEncoder encoder(bigEndian ? QStringEncoder::Utf16BE : QStringEncoder::Utf16LE);
    return QByteArray(bigEndian ? "\xFE\xFF" : "\xFF\xFE", 2) + QByteArray(encoder.encode(text));
}

// A program folder of its own with the given word files in "Text/".
class TWordFolder {
public:
    explicit TWordFolder(const QList<std::pair<QString, QByteArray>>& files)
        : FAppDir(FDir.path() + QLatin1Char('/')) {
        for (const auto& [name, bytes] : files)
            WriteFileBytes(FDir.filePath(QStringLiteral("Text/") + name), bytes);
    }
    QString FilePath(const QString& name) const {
        return FDir.filePath(QStringLiteral("Text/") + name);
    }

private:
    QTemporaryDir FDir;
    TScopedAppDir FAppDir;
};

struct TStartCall {
    QString FileName;
    int Level = 0;
    std::optional<QStringList> Lines;
};

QStringList Captions(const QListWidget* list) {
    QStringList captions;
    for (int i = 0; i < list->count(); ++i)
        captions << list->item(i)->text();
    return captions;
}

void StoreRecord(const TSaveMeGameSetUpRec& rec) {
    TIniFile ini = OpenSettingsIni();
    WriteSaveMeGameSetUp(ini, rec);
    CloseSettingsIni(ini);
}

} // namespace

// ---------------------------------------------------------------- word files

TEST(GameWordFile, EveryEncodingGivesTheSameLinesWithAnyLineBreak) {
    TScopedSettingsDir settings;
    // Blank lines, blanks at the ends and a last line without a break stay
    // as they are; the three line breaks are mixed.
    const QString text = QStringLiteral("사과:apple\r\n  바나나 \n\nmoon : 달\r\r하늘");
    const QStringList expected = {QStringLiteral("사과:apple"),
                                  QStringLiteral("  바나나 "),
                                  QString(),
                                  QStringLiteral("moon : 달"),
                                  QString(),
                                  QStringLiteral("하늘")};
    const QList<std::pair<QString, QByteArray>> files = {
        {QStringLiteral("utf8bom.game"), QByteArray("\xEF\xBB\xBF") + text.toUtf8()},
        {QStringLiteral("utf8.game"), text.toUtf8()},
        {QStringLiteral("utf16le.game"), Utf16(text, false)},
        {QStringLiteral("utf16be.game"), Utf16(text, true)},
        {QStringLiteral("cp949.game"), EncodeCp949(text)},
    };
    const TWordFolder folder(files);
    for (const auto& file : files) {
        SCOPED_TRACE(file.first.toStdString());
        EXPECT_EQ(TGameWordFile::ReadLines(folder.FilePath(file.first)), expected);
    }
    // The code page 949 bytes are not UTF-8: the fallback, not luck, read them.
    EXPECT_FALSE(IsValidUtf8(EncodeCp949(text)));
}

TEST(GameWordFile, AByteOrderMarkIsNotPartOfTheFirstWordAndEmptyFilesHaveNoLines) {
    TScopedSettingsDir settings;
    const TWordFolder folder({
        {QStringLiteral("a.game"), QByteArray("\xEF\xBB\xBFmoon\n")},
        {QStringLiteral("b.game"), Utf16(QStringLiteral("star"), true)},
        {QStringLiteral("empty.game"), QByteArray()},
        {QStringLiteral("bom-only.game"), QByteArray("\xFF\xFE")},
    });
    EXPECT_EQ(TGameWordFile::ReadLines(folder.FilePath("a.game")), QStringList{"moon"});
    EXPECT_EQ(TGameWordFile::ReadLines(folder.FilePath("b.game")), QStringList{"star"});
    EXPECT_TRUE(TGameWordFile::ReadLines(folder.FilePath("empty.game")).isEmpty());
    EXPECT_TRUE(TGameWordFile::ReadLines(folder.FilePath("bom-only.game")).isEmpty());
}

TEST(GameWordFile, AMissingFileOrAFolderIsAnErrorNotAnEmptyList) {
    TScopedSettingsDir settings;
    const TWordFolder folder({{QStringLiteral("dir.game/inside.txt"), QByteArray("x")}});
    EXPECT_THROW(TGameWordFile::ReadLines(folder.FilePath("missing.game")), ERavlinError);
    EXPECT_THROW(TGameWordFile::ReadLines(folder.FilePath("dir.game")), ERavlinError);
}

TEST(GameWordFile, EntriesSplitAtTheFirstColonAndSkipLinesWithoutAWord) {
    using TEntry = TGameWordFile::TEntry;
    auto same = [](const TEntry& e, const char* word, const char* desc) {
        return e.Word == QString::fromUtf8(word) && e.Desc == QString::fromUtf8(desc);
    };
    EXPECT_TRUE(same(TGameWordFile::ParseEntry(QStringLiteral("\t moon : 달 \x01")), "moon", "달"));
    EXPECT_TRUE(same(TGameWordFile::ParseEntry(QStringLiteral("ratio:3:4")), "ratio", "3:4"));
    EXPECT_TRUE(same(TGameWordFile::ParseEntry(QStringLiteral("  하늘  ")), "하늘", ""));
    EXPECT_TRUE(same(TGameWordFile::ParseEntry(QStringLiteral("word:")), "word", ""));
    // Blanks inside the word stay: "ice cream" is typed with its space.
    EXPECT_TRUE(same(TGameWordFile::ParseEntry(QStringLiteral("ice cream:아이스크림")), "ice cream",
                     "아이스크림"));

    const QList<TEntry> entries = TGameWordFile::Entries(
        {QStringLiteral("a"), QStringLiteral("   "), QStringLiteral(" : no word"), QString(),
         QStringLiteral("b:비"), QStringLiteral("a")});
    ASSERT_EQ(entries.size(), 3);
    EXPECT_TRUE(same(entries[0], "a", ""));
    EXPECT_TRUE(same(entries[1], "b", "비"));
    EXPECT_TRUE(same(entries[2], "a", "")); // a line that stands twice counts twice
}

// The word files that ship: a Hangul, an English and a described file, each
// with enough distinct words to fill the screen at level 8 many times over,
// every line usable and every word typable on its keyboard.
TEST(GameWordFile, ShippedWordFilesHoldManyDistinctTypableWords) {
    const QDir folder(MediaPath(QStringLiteral("Text/")));
    const QFileInfoList files = folder.entryInfoList({QStringLiteral("*.game")}, QDir::Files);
    const QRegularExpression hangul(QStringLiteral("^[가-힣]+( [가-힣]+)*$"));
    const QRegularExpression latin(QStringLiteral("^[A-Za-z]+([ '-][A-Za-z]+)*$"));
    int korean = 0, english = 0, described = 0;
    for (const QFileInfo& file : files) {
        SCOPED_TRACE(file.fileName().toStdString());
        const QStringList lines = TGameWordFile::ReadLines(file.filePath());
        const QList<TGameWordFile::TEntry> entries = TGameWordFile::Entries(lines);
        QSet<QString> words;
        int withDesc = 0;
        for (const auto& entry : entries) {
            words.insert(entry.Word.toLower());
            withDesc += entry.Desc.isEmpty() ? 0 : 1;
        }
        EXPECT_GE(words.size(), 150);
        // Blank lines only at the end of the file.
        int used = int(lines.size());
        while (used > 0 && lines[used - 1].trimmed().isEmpty())
            --used;
        EXPECT_EQ(entries.size(), used);
        const bool isKorean = file.fileName().startsWith(QStringLiteral("[한글]"));
        const bool isEnglish = file.fileName().startsWith(QStringLiteral("[영어]"));
        for (const auto& entry : entries) {
            if (isKorean) {
                EXPECT_TRUE(hangul.match(entry.Word).hasMatch()) << entry.Word.toStdString();
            }
            if (isEnglish) {
                EXPECT_TRUE(latin.match(entry.Word).hasMatch()) << entry.Word.toStdString();
            }
            // A word fits on a moon's label.
            EXPECT_LE(entry.Word.size(), 16) << entry.Word.toStdString();
        }
        korean += isKorean ? 1 : 0;
        english += isEnglish ? 1 : 0;
        if (withDesc == entries.size() && !entries.isEmpty())
            ++described;
    }
    EXPECT_GE(korean, 1);
    EXPECT_GE(english, 1);
    EXPECT_GE(described, 1);
}

// ------------------------------------------------------------------ dialog

TEST(SaveMeGameSetUp, ListsWordFilesWithStripesAndShowsTheStoredChoice) {
    TScopedSettingsDir settings;
    const TWordFolder folder({
        {QStringLiteral("[영어] Animals.game"), QByteArray("cat\n")},
        {QStringLiteral("[한글] 과일.game"), QByteArray("사과\n")},
        {QStringLiteral("plain.GAME"), QByteArray("x\n")},
        {QStringLiteral("notes.txt"), QByteArray("x\n")},
    });
    TSaveMeGameSetUpRec rec;
    rec.GameLevel = 6;
    rec.UseSound = false;
    rec.UseBGM = true;
    rec.FontName = QStringLiteral("DejaVu Serif");
    rec.FontSize = 20;
    rec.FontBold = false;
    rec.FontItalic = true;
    rec.TextName = QStringLiteral("[한글] 과일").toUpper(); // letter case differs
    StoreRecord(rec);

    TSaveMeGameSetUpForm setup;
    EXPECT_EQ(setup.windowTitle(), QStringLiteral("'오르발론' 게임설정"));
    EXPECT_EQ(setup.size(), QSize(530, 322));
    EXPECT_EQ(Captions(setup.lvText),
              QStringList({QStringLiteral("[영어] Animals"), QStringLiteral("[한글] 과일"),
                           QStringLiteral("plain")}));
    // Stripes: the 1st and 3rd entries share an icon, the 2nd has the other.
    const auto key = [&](int i) { return setup.lvText->item(i)->icon().pixmap(16, 16).toImage(); };
    EXPECT_EQ(key(0), key(2));
    EXPECT_NE(key(0), key(1));

    EXPECT_EQ(setup.LevelGroup->checkedId(), 5);
    EXPECT_FALSE(setup.UseSoundCB->isChecked());
    EXPECT_TRUE(setup.UseBgmCB->isChecked());
    EXPECT_EQ(setup.ChosenFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(setup.ChosenFont().pointSize(), 20);
    EXPECT_TRUE(setup.ChosenFont().italic());
    EXPECT_FALSE(setup.ChosenFont().bold());
    EXPECT_EQ(setup.FontBtn->text(), QStringLiteral("가나다ABC"));
    EXPECT_TRUE(setup.FontBtn->font().italic());
    ASSERT_NE(setup.lvText->currentItem(), nullptr);
    EXPECT_EQ(setup.lvText->currentRow(), 1);
}

TEST(SaveMeGameSetUp, LevelsOutsideOneToEightSelectLevelOneAndNoMatchSelectsTheFirstOnShow) {
    TScopedSettingsDir settings;
    const TWordFolder folder({{QStringLiteral("a.game"), QByteArray("a\n")},
                              {QStringLiteral("b.game"), QByteArray("b\n")}});
    for (const int stored : {0, 9, -3}) {
        SCOPED_TRACE(stored);
        TSaveMeGameSetUpRec rec;
        rec.GameLevel = stored;
        rec.TextName = QStringLiteral("gone");
        StoreRecord(rec);
        TSaveMeGameSetUpForm setup;
        EXPECT_EQ(setup.LevelGroup->checkedId(), 0);
        EXPECT_TRUE(setup.lvText->selectedItems().isEmpty());
        setup.show();
        ASSERT_EQ(setup.lvText->selectedItems().size(), 1);
        EXPECT_EQ(setup.lvText->selectedItems()[0]->text(), QStringLiteral("a"));
    }
}

TEST(SaveMeGameSetUp, StartWithoutASelectionAsksForAFileAndStaysOpen) {
    TScopedSettingsDir settings;
    const TWordFolder folder({}); // an empty "Text/" folder
    int starts = 0;
    TSaveMeGameSetUpForm setup(nullptr, [&](const QString&, int, const auto&) { ++starts; });
    setup.show();
    EXPECT_EQ(setup.lvText->count(), 0);
    TModalAnswerer answerer;
    setup.OkBtn->click();
    ASSERT_EQ(answerer.Messages.size(), 1u);
    EXPECT_EQ(answerer.Messages[0].Title, QStringLiteral("알림"));
    EXPECT_EQ(answerer.Messages[0].Text, QStringLiteral("연습할 파일을 선택하세요."));
    EXPECT_EQ(answerer.Messages[0].Icon, QMessageBox::Information);
    EXPECT_EQ(starts, 0);
    EXPECT_TRUE(setup.isVisible());
    EXPECT_EQ(setup.result(), 0);
    EXPECT_FALSE(QFile::exists(SettingsIniPath()));
}

TEST(SaveMeGameSetUp, StartSavesTheChoiceAndStartsTheGameWithTheFilesLines) {
    TScopedSettingsDir settings;
    const TWordFolder folder(
        {{QStringLiteral("[영어] Space.game"), QByteArray("\xEF\xBB\xBFmoon:달\r\nstar:별\r\n")},
         {QStringLiteral("other.game"), QByteArray("x\n")}});
    std::vector<TStartCall> calls;
    TSaveMeGameSetUpForm setup(nullptr, [&](const QString& fn, int level, const auto& lines) {
        calls.push_back({fn, level, lines});
    });
    setup.show();
    setup.lvText->setCurrentRow(0);
    setup.LevelGroup->button(7)->setChecked(true);
    setup.UseSoundCB->setChecked(false);
    setup.UseBgmCB->setChecked(true);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(28);
    font.setBold(true);
    setup.SetChosenFont(font);
    setup.OkBtn->click();

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].FileName, folder.FilePath(QStringLiteral("[영어] Space.game")));
    EXPECT_EQ(calls[0].Level, 8);
    ASSERT_TRUE(calls[0].Lines.has_value());
    EXPECT_EQ(*calls[0].Lines, QStringList({QStringLiteral("moon:달"), QStringLiteral("star:별")}));
    EXPECT_EQ(setup.result(), int(QDialog::Accepted));
    EXPECT_FALSE(setup.isVisible());

    TSaveMeGameSetUpRec stored;
    ReadSaveMeGameSetUp(OpenSettingsIni(), stored);
    EXPECT_EQ(stored.GameLevel, 8);
    EXPECT_FALSE(stored.UseSound);
    EXPECT_TRUE(stored.UseBGM);
    EXPECT_EQ(stored.FontName, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(stored.FontSize, 28);
    EXPECT_TRUE(stored.FontBold);
    EXPECT_FALSE(stored.FontItalic);
    EXPECT_EQ(stored.TextName, QStringLiteral("[영어] Space"));

    // The next dialog comes back with the same choice.
    TSaveMeGameSetUpForm again;
    EXPECT_EQ(again.lvText->currentRow(), 0);
    EXPECT_EQ(again.LevelGroup->checkedId(), 7);
    EXPECT_EQ(again.ChosenFont().pointSize(), 28);
}

TEST(SaveMeGameSetUp, AFileGoneBeforeTheStartOpensTheGameWithoutLines) {
    TScopedSettingsDir settings;
    const TWordFolder folder({{QStringLiteral("soon gone.game"), QByteArray("a\n")}});
    std::vector<TStartCall> calls;
    TSaveMeGameSetUpForm setup(nullptr, [&](const QString& fn, int level, const auto& lines) {
        calls.push_back({fn, level, lines});
    });
    setup.show();
    ASSERT_TRUE(QFile::remove(folder.FilePath(QStringLiteral("soon gone.game"))));
    TModalAnswerer answerer;
    setup.OkBtn->click();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FALSE(calls[0].Lines.has_value());
    EXPECT_EQ(calls[0].Level, 1);
    EXPECT_TRUE(answerer.Messages.empty()); // silently, as the game's rule says
    EXPECT_EQ(setup.result(), int(QDialog::Accepted));
}

TEST(SaveMeGameSetUp, AGameThatCannotOpenIsReportedAndTheDialogStays) {
    TScopedSettingsDir settings;
    const TWordFolder folder({{QStringLiteral("a.game"), QByteArray("a\n")}});
    TSaveMeGameSetUpForm setup(nullptr, [](const QString&, int, const auto&) {
        throw ERavlinError(QStringLiteral("모델 파일이 없습니다."));
    });
    setup.show();
    TModalAnswerer answerer;
    setup.OkBtn->click();
    ASSERT_EQ(answerer.Messages.size(), 1u);
    EXPECT_EQ(answerer.Messages[0].Text, QStringLiteral("모델 파일이 없습니다."));
    EXPECT_TRUE(setup.isVisible());
}

TEST(SaveMeGameSetUp, CancelAndEscapeStoreNothing) {
    TScopedSettingsDir settings;
    const TWordFolder folder({{QStringLiteral("a.game"), QByteArray("a\n")}});
    int starts = 0;
    const auto count = [&](const QString&, int, const auto&) { ++starts; };
    {
        TSaveMeGameSetUpForm setup(nullptr, count);
        setup.show();
        setup.LevelGroup->button(4)->setChecked(true);
        setup.NoBtn->click();
        EXPECT_EQ(setup.result(), int(QDialog::Rejected));
    }
    {
        TSaveMeGameSetUpForm setup(nullptr, count);
        setup.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&setup));
        QTest::keyClick(&setup, Qt::Key_Escape);
        EXPECT_FALSE(setup.isVisible());
    }
    EXPECT_EQ(starts, 0);
    EXPECT_FALSE(QFile::exists(SettingsIniPath()));
}

TEST(SaveMeGameSetUp, FontButtonTakesTheConfirmedFontOnly) {
    TScopedSettingsDir settings;
    const TWordFolder folder({{QStringLiteral("a.game"), QByteArray("a\n")}});
    TSaveMeGameSetUpForm setup;
    const QFont before = setup.ChosenFont();
    TModalAnswerer answerer;
    bool accept = false;
    answerer.OnDialog = [&](QDialog* dialog) {
        auto* fonts = qobject_cast<QFontDialog*>(dialog);
        if (!fonts)
            return false;
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSize(18);
        font.setItalic(true);
        fonts->setCurrentFont(font);
        accept ? fonts->accept() : fonts->reject();
        return true;
    };
    setup.FontBtn->click();
    EXPECT_EQ(setup.ChosenFont(), before);
    accept = true;
    setup.FontBtn->click();
    EXPECT_EQ(answerer.OtherDialogs, QStringList({"QFontDialog", "QFontDialog"}));
    EXPECT_EQ(setup.ChosenFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(setup.ChosenFont().pointSize(), 18);
    EXPECT_TRUE(setup.ChosenFont().italic());
    EXPECT_EQ(setup.FontBtn->font().family(), QStringLiteral("DejaVu Serif"));
}

TEST(SaveMeGameSetUp, ALargeFontIsShownSmallerButKeptWhole) {
    TScopedSettingsDir settings;
    TSaveMeGameSetUpForm setup;
    QFont huge(QStringLiteral("DejaVu Sans"));
    huge.setPointSize(72);
    setup.SetChosenFont(huge);
    EXPECT_EQ(setup.ChosenFont().pointSize(), 72);
    EXPECT_LT(setup.FontBtn->font().pointSize(), 72);
    EXPECT_LE(QFontMetrics(setup.FontBtn->font()).horizontalAdvance(setup.FontSample()),
              setup.FontBtn->width());
}

TEST(SaveMeGameSetUp, ScoreAndHelpButtonsOpenTheBoardAndTheGamesTopic) {
    TScopedSettingsDir settings;
    TSaveMeGameSetUpForm setup;
    TModalAnswerer answerer;
    setup.ScoreBtn->click();
    EXPECT_EQ(answerer.OtherDialogs, QStringList{"TScoreForm"});

    setup.HelpBtn->click();
    THelpWindow* help = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* h = qobject_cast<THelpWindow*>(widget))
            help = h;
    }
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(answerer.Messages.empty()); // a missing page would be reported
    EXPECT_EQ(help->CurrentTopic(), TSaveMeGameSetUpForm::HelpTopic());
    help->close();
}

// The dialog as the X server shows it: the shipped word files listed with the
// stored one highlighted, the level radio buttons, the font sample.
TEST(SaveMeGameSetUp, TheDialogAsTheScreenShowsIt) {
    TScopedSettingsDir settings;
    TSaveMeGameSetUpRec rec;
    rec.GameLevel = 3;
    rec.UseSound = true;
    rec.UseBGM = true;
    rec.FontName = QStringLiteral("궁서");
    rec.FontSize = 36;
    rec.FontBold = true;
    rec.TextName = QStringLiteral("[영어] 뜻풀이 영단어");
    StoreRecord(rec);
    TSaveMeGameSetUpForm setup;
    setup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&setup));
    setup.raise();
    setup.activateWindow();
    (void)QTest::qWaitForWindowActive(&setup, 2000);
    QTest::qWait(200);

    const QPoint origin = setup.mapToGlobal(QPoint(0, 0));
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, origin.x(), origin.y(), setup.width(), setup.height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    const QString out = qEnvironmentVariable("RAVLIN_SHOT_DIR");
    if (!out.isEmpty())
        shot.save(out + QStringLiteral("/orbalon_setup.png"));
    ASSERT_EQ(shot.size(), setup.size());

    // The selected row of the list is highlighted.
    ASSERT_GE(setup.lvText->currentRow(), 0);
    const QRect row = setup.lvText->visualItemRect(setup.lvText->currentItem());
    const QRect rowOnScreen(setup.lvText->viewport()->mapTo(&setup, row.topLeft()), row.size());
    const QColor highlight = setup.lvText->palette().color(QPalette::Highlight);
    EXPECT_GT(CountPixels(shot, rowOnScreen,
                          [&](QRgb p) {
                              return std::abs(qRed(p) - highlight.red()) < 8 &&
                                     std::abs(qGreen(p) - highlight.green()) < 8 &&
                                     std::abs(qBlue(p) - highlight.blue()) < 8;
                          }),
              row.width() * row.height() / 3);
    // The font sample is drawn in dark strokes across most of the button.
    const QRect button(setup.FontBtn->mapTo(&setup, QPoint(0, 0)), setup.FontBtn->size());
    const QRect ink =
        PixelBounds(shot, button.adjusted(4, 4, -4, -4), [](QRgb p) { return qGray(p) < 70; });
    ASSERT_TRUE(ink.isValid());
    EXPECT_GT(ink.width(), button.width() / 2);
    EXPECT_GT(ink.height(), button.height() / 4);
    // Every shipped word file is listed.
    EXPECT_GE(setup.lvText->count(), 3);
}
