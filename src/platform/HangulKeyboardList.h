#pragma once

#include <QString>

// The Hangul keyboards the built-in composer can use: libhangul's own ones
// plus the definitions generated from the program's layout tables for the
// layouts libhangul lacks (see THangulKeyboardXml), which are registered with
// libhangul's keyboard list once at start.
class THangulKeyboardList {
public:
    // Loads the generated definitions below the program folder `appDir` and
    // registers those not registered yet. A missing or unreadable file is
    // skipped: its layout then types Dubeolsik, as before; so are all of them
    // when libhangul's own keyboard files are missing (registering needs the
    // library initialised from them). Returns how many generated keyboards
    // are registered afterwards.
    static int RegisterGenerated(const QString& appDir);

    // Whether `path` holds a whole, well-formed definition of the keyboard
    // `id`. libhangul takes what it could parse of a damaged file as a
    // keyboard with keys missing, so only such files are loaded.
    static bool IsCompleteDefinition(const QString& path, const QString& id);

    // The libhangul id of the keyboard for a keyboard layout index (the
    // keyboard settings' languageIndex): 2 = 3-90, 3 = no-shift, 4 = 3-91
    // final, 5 and 6 the generated 3-2011 and 3-2012; Dubeolsik ("2") for
    // every other index and for a keyboard that is not available.
    static QString KeyboardIdForLayout(int languageIndex);
};
