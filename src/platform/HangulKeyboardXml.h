#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Builds keyboard definitions for libhangul (its XML keyboard format) from
// the built-in layout tables, so that the Sebeolsik layouts the library does
// not know (3-2011, 3-2012) compose exactly as the keyboard practice draws
// them. The definitions are written at build time by tools/hangul_keyboards
// and registered at start by THangulKeyboardList.
//
// Every character key of a layout yields two entries, one per shift state,
// addressed by the ASCII character the key gives on a US keyboard (which is
// how the composer feeds libhangul). A consonant marked as a final consonant
// becomes a jongseong, any other consonant a choseong, a vowel a jungseong;
// anything else is typed as it is. A shift state without a character of its
// own gives the unshifted character, as Shift does on a plain letter key. The
// combination rules are libhangul's usual ones (double initials, compound
// vowels, compound finals).
class THangulKeyboardXml {
public:
    // The Sebeolsik layouts (indices 2 to 6) can be built; the others cannot.
    static bool CanBuild(int languageIndex);
    // Layouts whose definitions are generated at build time: 3-2011 and
    // 3-2012, the ones libhangul lacks.
    static QList<int> GeneratedLayouts();
    // The libhangul id of a generated definition ("ravlin-3-2011"), empty for
    // layouts that are not generated.
    static QString KeyboardId(int languageIndex);
    // Where a generated definition lies below the program folder
    // ("Keyboards/hangul-keyboard-3-2011.xml"), empty for other layouts.
    static QString FileName(int languageIndex);

    // The definition of layout `languageIndex` under the id `id`, UTF-8.
    // Throws std::invalid_argument when the layout cannot be built and
    // std::logic_error when its table holds a key the format cannot express.
    static QByteArray Build(int languageIndex, const QString& id);
};
