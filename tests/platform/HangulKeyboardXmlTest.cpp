#include "platform/HangulKeyboardXml.h"

#include "app/Folders.h"
#include "platform/HangulKeyboardList.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <hangul.h>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <stdexcept>
#include <string>

namespace {

QString FromUcs4(const ucschar* text) {
    QString s;
    for (; text && *text; ++text)
        s += QString::fromUcs4(reinterpret_cast<const char32_t*>(text), 1);
    return s;
}

// What a keyboard makes of `keys` typed into a fresh context: for each key
// whether libhangul took it, the commit string and the pre-edit string.
QString Outcome(HangulInputContext* ic, const std::string& keys) {
    hangul_ic_reset(ic);
    QString out;
    for (char key : keys) {
        out += hangul_ic_process(ic, key) ? u'+' : u'-';
        out += FromUcs4(hangul_ic_get_commit_string(ic)) + u'|' +
               FromUcs4(hangul_ic_get_preedit_string(ic)) + u';';
    }
    return out;
}

// A definition built for `layout`, written to a file and loaded from it the
// way the program loads the generated ones.
class TBuiltKeyboard {
public:
    explicit TBuiltKeyboard(int layout) {
        const QString path = FDir.filePath(QStringLiteral("keyboard.xml"));
        WriteFileBytes(path, THangulKeyboardXml::Build(layout, QStringLiteral("under-test")));
        FKeyboard = hangul_keyboard_new_from_file(QFile::encodeName(path));
    }
    ~TBuiltKeyboard() {
        if (FKeyboard)
            hangul_keyboard_delete(FKeyboard);
    }
    TBuiltKeyboard(const TBuiltKeyboard&) = delete;
    TBuiltKeyboard& operator=(const TBuiltKeyboard&) = delete;
    const HangulKeyboard* Keyboard() const { return FKeyboard; }

private:
    QTemporaryDir FDir;
    HangulKeyboard* FKeyboard = nullptr;
};

} // namespace

// Where libhangul has a keyboard of its own, the definition built from the
// program's table must type exactly like it: every key alone and every pair of
// keys (which exercises the combination rules: double initials, compound
// vowels and finals). The 3-91 table deliberately shows five keys as the key
// caps of the practice keyboard print them: ASCII quotes for “ ”, "." for the
// middle dot and "\ |" on the backslash key, where libhangul types “ ” · : \.
TEST(HangulKeyboardXml, DefinitionsTypeLikeLibhangulsOwnKeyboards) {
    struct TCase {
        int Layout;
        const char* LibraryId;
        const char* TableDiffers; // keys whose table entry differs on purpose
    };
    const TCase cases[] = {{2, "39", ""}, {3, "3s", ""}, {4, "3f", "\"&*\\|"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.LibraryId);
        TBuiltKeyboard built(c.Layout);
        ASSERT_NE(built.Keyboard(), nullptr);
        HangulInputContext* generated = hangul_ic_new("2");
        hangul_ic_set_keyboard(generated, built.Keyboard());
        HangulInputContext* library = hangul_ic_new(c.LibraryId);

        std::string differing;
        for (char key = 0x21; key < 0x7F; ++key) {
            if (Outcome(generated, {key}) != Outcome(library, {key}))
                differing += key;
        }
        EXPECT_EQ(differing, c.TableDiffers);

        int mismatches = 0;
        for (char a = 0x21; a < 0x7F; ++a) {
            for (char b = 0x21; b < 0x7F; ++b) {
                if (differing.find(a) != std::string::npos ||
                    differing.find(b) != std::string::npos)
                    continue;
                const std::string keys{a, b};
                if (Outcome(generated, keys) != Outcome(library, keys) && ++mismatches <= 5)
                    ADD_FAILURE() << "keys " << keys << ": "
                                  << Outcome(generated, keys).toStdString() << " vs "
                                  << Outcome(library, keys).toStdString();
            }
        }
        EXPECT_EQ(mismatches, 0);
        hangul_ic_delete(generated);
        hangul_ic_delete(library);
    }
}

TEST(HangulKeyboardXml, OnlySebeolsikLayoutsAreBuilt) {
    for (int layout : {0, 1, 7, 8, -1, 9}) {
        EXPECT_FALSE(THangulKeyboardXml::CanBuild(layout));
        EXPECT_THROW(THangulKeyboardXml::Build(layout, QStringLiteral("x")), std::invalid_argument);
    }
    EXPECT_EQ(THangulKeyboardXml::GeneratedLayouts(), (QList<int>{5, 6}));
    EXPECT_EQ(THangulKeyboardXml::KeyboardId(5), QStringLiteral("ravlin-3-2011"));
    EXPECT_EQ(THangulKeyboardXml::KeyboardId(4), QString());
    // Every key of the two generated layouts maps to something: 94 printable
    // ASCII characters.
    for (int layout : THangulKeyboardXml::GeneratedLayouts())
        EXPECT_EQ(THangulKeyboardXml::Build(layout, QStringLiteral("x")).count("<item key="), 94);
}

// The build writes the definitions beside the program; what lies there is what
// the tables give now, and start-up registers it, once.
TEST(HangulKeyboardList, GeneratedDefinitionsAreInstalledAndRegistered) {
    EXPECT_EQ(THangulKeyboardList::RegisterGenerated(AppDir()), 2);
    for (int layout : THangulKeyboardXml::GeneratedLayouts()) {
        const QString id = THangulKeyboardXml::KeyboardId(layout);
        const QString path = AppDir() + THangulKeyboardXml::FileName(layout);
        EXPECT_EQ(ReadFileBytes(path), THangulKeyboardXml::Build(layout, id));
        EXPECT_TRUE(THangulKeyboardList::IsCompleteDefinition(path, id));
        EXPECT_EQ(THangulKeyboardList::KeyboardIdForLayout(layout), id);
    }
    // Registering again changes nothing; a folder without the definitions
    // adds none.
    const unsigned count = hangul_keyboard_list_get_count();
    EXPECT_EQ(THangulKeyboardList::RegisterGenerated(AppDir()), 2);
    QTemporaryDir empty;
    EXPECT_EQ(THangulKeyboardList::RegisterGenerated(empty.path()), 2);
    EXPECT_EQ(hangul_keyboard_list_get_count(), count);
    EXPECT_EQ(THangulKeyboardList::KeyboardIdForLayout(2), QStringLiteral("39"));
    EXPECT_EQ(THangulKeyboardList::KeyboardIdForLayout(1), QStringLiteral("2"));
}

TEST(HangulKeyboardList, DamagedDefinitionsAreNotLoaded) {
    QTemporaryDir dir;
    const QString id = QStringLiteral("ravlin-3-2012");
    const QByteArray xml = THangulKeyboardXml::Build(6, id);
    const QString path = dir.filePath(QStringLiteral("k.xml"));

    WriteFileBytes(path, xml);
    EXPECT_TRUE(THangulKeyboardList::IsCompleteDefinition(path, id));
    // Cut short: libhangul itself would load the first half of the keys.
    WriteFileBytes(path, xml.left(xml.size() / 2));
    EXPECT_FALSE(THangulKeyboardList::IsCompleteDefinition(path, id));
    // Another keyboard's file in its place.
    WriteFileBytes(path, THangulKeyboardXml::Build(6, QStringLiteral("39")));
    EXPECT_FALSE(THangulKeyboardList::IsCompleteDefinition(path, id));
    WriteFileBytes(path, QByteArray("\x00\xff garbage", 10));
    EXPECT_FALSE(THangulKeyboardList::IsCompleteDefinition(path, id));
    EXPECT_FALSE(
        THangulKeyboardList::IsCompleteDefinition(dir.filePath(QStringLiteral("none")), id));
}
