#include "platform/HangulKeyboardXml.h"

#include "app/KeyboardLayouts.h"
#include "platform/VirtualKeys.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

// Compatibility jamo in the order of the conjoining jamo blocks.
const QString kChoseong = QStringLiteral("ㄱㄲㄴㄷㄸㄹㅁㅂㅃㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎ");      // U+1100
const QString kJungseong = QStringLiteral("ㅏㅐㅑㅒㅓㅔㅕㅖㅗㅘㅙㅚㅛㅜㅝㅞㅟㅠㅡㅢㅣ"); // U+1161
const QString kJongseong =
    QStringLiteral("ㄱㄲㄳㄴㄵㄶㄷㄹㄺㄻㄼㄽㄾㄿㅀㅁㅂㅄㅅㅆㅇㅈㅊㅋㅌㅍㅎ"); // U+11A8

constexpr char32_t kFirstChoseong = 0x1100;
constexpr char32_t kFirstJungseong = 0x1161;
constexpr char32_t kFirstJongseong = 0x11A8;

// What two jamo typed one after the other become. I initials, V vowels,
// F finals; "II>F" pairs serve keyboards whose consonants are all initials.
struct TCombination {
    const char* Kinds; // kinds of first, second and result: "II>I", "VV>V", ...
    const char* Jamo;  // first, second, result
};
constexpr TCombination kCombinations[] = {
    {"II>I", "ㄱㄱㄲ"}, {"II>F", "ㄱㅅㄳ"}, {"II>F", "ㄴㅈㄵ"}, {"II>F", "ㄴㅎㄶ"},
    {"II>I", "ㄷㄷㄸ"}, {"II>F", "ㄹㄱㄺ"}, {"II>F", "ㄹㅁㄻ"}, {"II>F", "ㄹㅂㄼ"},
    {"II>F", "ㄹㅅㄽ"}, {"II>F", "ㄹㅌㄾ"}, {"II>F", "ㄹㅍㄿ"}, {"II>F", "ㄹㅎㅀ"},
    {"II>I", "ㅂㅂㅃ"}, {"II>F", "ㅂㅅㅄ"}, {"II>I", "ㅅㅅㅆ"}, {"II>I", "ㅈㅈㅉ"},
    {"VV>V", "ㅗㅏㅘ"}, {"VV>V", "ㅗㅐㅙ"}, {"VV>V", "ㅗㅣㅚ"}, {"VV>V", "ㅜㅓㅝ"},
    {"VV>V", "ㅜㅔㅞ"}, {"VV>V", "ㅜㅣㅟ"}, {"VV>V", "ㅡㅣㅢ"}, {"FF>F", "ㄱㄱㄲ"},
    {"FF>F", "ㄱㅅㄳ"}, {"FF>F", "ㄴㅈㄵ"}, {"FF>F", "ㄴㅎㄶ"}, {"FF>F", "ㄹㄱㄺ"},
    {"FF>F", "ㄹㅁㄻ"}, {"FF>F", "ㄹㅂㄼ"}, {"FF>F", "ㄹㅅㄽ"}, {"FF>F", "ㄹㅌㄾ"},
    {"FF>F", "ㄹㅍㄿ"}, {"FF>F", "ㄹㅎㅀ"}, {"FF>F", "ㅂㅅㅄ"}, {"FF>F", "ㅅㅅㅆ"},
};

struct TGenerated {
    int Layout;
    const char* Id;
    const char* File;
    const char* Name;
    const char* KoreanName;
};
constexpr TGenerated kGenerated[] = {
    {5, "ravlin-3-2011", "Keyboards/hangul-keyboard-3-2011.xml", "Sebeolsik 3-2011",
     "세벌식 3-2011"},
    {6, "ravlin-3-2012", "Keyboards/hangul-keyboard-3-2012.xml", "Sebeolsik 3-2012",
     "세벌식 3-2012"},
};

// Names for the layouts that are only built for comparison.
const char* NameOf(int languageIndex) {
    switch (languageIndex) {
    case 2:
        return "Sebeolsik 390";
    case 3:
        return "Sebeolsik Noshift";
    case 4:
        return "Sebeolsik Final";
    default:
        for (const TGenerated& g : kGenerated) {
            if (g.Layout == languageIndex)
                return g.Name;
        }
        return "";
    }
}

const TGenerated* GeneratedEntry(int languageIndex) {
    for (const TGenerated& g : kGenerated) {
        if (g.Layout == languageIndex)
            return &g;
    }
    return nullptr;
}

// The conjoining jamo of one compatibility jamo in the role `kind`, 0 when it
// has none in that role.
char32_t JamoOfKind(QChar jamo, char kind) {
    qsizetype i = -1;
    switch (kind) {
    case 'I':
        i = kChoseong.indexOf(jamo);
        return i < 0 ? 0 : kFirstChoseong + char32_t(i);
    case 'V':
        i = kJungseong.indexOf(jamo);
        return i < 0 ? 0 : kFirstJungseong + char32_t(i);
    case 'F':
        i = kJongseong.indexOf(jamo);
        return i < 0 ? 0 : kFirstJongseong + char32_t(i);
    default:
        return 0;
    }
}

// The code a key's character stands for in the definition.
char32_t CodeOfCharacter(const QString& text, bool isFinal) {
    if (text.size() != 1)
        throw std::logic_error("a layout key with more than one character");
    const QChar c = text[0];
    if (kJungseong.contains(c))
        return JamoOfKind(c, 'V');
    const bool consonant = kChoseong.contains(c) || kJongseong.contains(c);
    if (!consonant)
        return c.unicode();
    const char32_t code = JamoOfKind(c, isFinal ? 'F' : 'I');
    if (code == 0)
        throw std::logic_error("a compound consonant that is not a final consonant");
    return code;
}

QString Hex(char32_t value, int digits) {
    return QStringLiteral("0x%1").arg(uint(value), digits, 16, QLatin1Char('0'));
}

// A character shown in a comment, readable whatever it is.
QString Shown(char32_t code) {
    if (code >= 0x1100 && code <= 0x11FF) {
        const QString all = kChoseong + kJungseong + kJongseong;
        for (char kind : {'I', 'V', 'F'}) {
            for (QChar c : all) {
                if (JamoOfKind(c, kind) == code)
                    return QString(c) + (kind == 'I'   ? QStringLiteral(" initial")
                                         : kind == 'V' ? QStringLiteral(" vowel")
                                                       : QStringLiteral(" final"));
            }
        }
    }
    return QString::fromUcs4(&code, 1);
}

} // namespace

bool THangulKeyboardXml::CanBuild(int languageIndex) {
    return languageIndex >= 2 && languageIndex <= 6;
}

QList<int> THangulKeyboardXml::GeneratedLayouts() {
    QList<int> layouts;
    for (const TGenerated& g : kGenerated)
        layouts << g.Layout;
    return layouts;
}

QString THangulKeyboardXml::KeyboardId(int languageIndex) {
    const TGenerated* g = GeneratedEntry(languageIndex);
    return g ? QString::fromLatin1(g->Id) : QString();
}

QString THangulKeyboardXml::FileName(int languageIndex) {
    const TGenerated* g = GeneratedEntry(languageIndex);
    return g ? QString::fromLatin1(g->File) : QString();
}

QByteArray THangulKeyboardXml::Build(int languageIndex, const QString& id) {
    if (!CanBuild(languageIndex))
        throw std::invalid_argument("no Hangul keyboard definition for this layout");
    const TEnglishKeyboardLayout& layout = KeyboardLayout(languageIndex);

    // ASCII character -> code, sorted by key as libhangul's own files are.
    std::map<char, char32_t> mapping;
    for (int i = 0; i < kKeyCount; ++i) {
        const TKeyInfo& key = layout[size_t(i)];
        if (key.KeyGroup == kgControl)
            continue;
        for (int shift = 0; shift < 2; ++shift) {
            const char ascii = UsCharOfVirtualKey(PhysicalKey(i).Key, shift == 1);
            if (ascii == 0)
                continue;
            const bool own = key.DisplayChar[shift] != QStringLiteral(" ");
            const int from = own ? shift : 0;
            mapping[ascii] = CodeOfCharacter(key.DisplayChar[from], key.IsJongSung[from]);
        }
    }

    QString xml;
    xml += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    xml += QStringLiteral("<!-- Generated from the layout table of \"%1\"; do not edit. -->\n")
               .arg(LayoutCaption(languageIndex));
    xml += QStringLiteral("<hangul-keyboard id=\"%1\" type=\"jaso\">\n").arg(id.toHtmlEscaped());
    xml += QStringLiteral("    <name>%1</name>\n").arg(QString::fromLatin1(NameOf(languageIndex)));
    const TGenerated* g = GeneratedEntry(languageIndex);
    const QString korean =
        g ? QString::fromUtf8(g->KoreanName) : LayoutCaption(languageIndex).mid(3);
    xml += QStringLiteral("    <name xml:lang=\"ko\">%1</name>\n").arg(korean.toHtmlEscaped());
    xml += QStringLiteral("    <map id=\"0\">\n");
    for (const auto& [ascii, code] : mapping) {
        xml +=
            QStringLiteral("        <item key=\"%1\" value=\"%2\"/> <!-- %3 : %4 -->\n")
                .arg(Hex(uchar(ascii), 2), Hex(code, 4), QString(QLatin1Char(ascii)), Shown(code));
    }
    xml += QStringLiteral("    </map>\n");
    // libhangul looks combinations up by binary search: sorted by both jamo.
    struct TRule {
        char32_t First, Second, Result;
        QString Jamo;
    };
    std::vector<TRule> rules;
    for (const TCombination& rule : kCombinations) {
        const QString jamo = QString::fromUtf8(rule.Jamo);
        rules.push_back({JamoOfKind(jamo[0], rule.Kinds[0]), JamoOfKind(jamo[1], rule.Kinds[1]),
                         JamoOfKind(jamo[2], rule.Kinds[3]), jamo});
    }
    std::sort(rules.begin(), rules.end(), [](const TRule& a, const TRule& b) {
        return std::pair(a.First, a.Second) < std::pair(b.First, b.Second);
    });
    xml += QStringLiteral("    <combination id=\"0\">\n");
    for (const TRule& rule : rules) {
        xml +=
            QStringLiteral("        <item first=\"%1\" second=\"%2\" result=\"%3\"/> <!-- %4 -->\n")
                .arg(Hex(rule.First, 4), Hex(rule.Second, 4), Hex(rule.Result, 4),
                     QStringLiteral("%1 + %2 = %3").arg(rule.Jamo[0], rule.Jamo[1], rule.Jamo[2]));
    }
    xml += QStringLiteral("    </combination>\n");
    xml += QStringLiteral("</hangul-keyboard>\n");
    return xml.toUtf8();
}
