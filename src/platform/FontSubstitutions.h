#pragma once

// Maps the Windows face names the program asks for ("굴림체", "굴림", "궁서",
// "Tahoma", "MS Sans Serif") onto faces installed on Linux, so that Hangul,
// Latin and kana render with a fitting font everywhere. Call once after the
// application object exists.
void InstallFontSubstitutions();
