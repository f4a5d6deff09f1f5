#pragma once

#include "app/IniFile.h"
#include "app/SettingsRecords.h"

// The settings file "Ravlin.ini" in SettingsDir. It is opened and closed
// around every load, save or direct section access, so it is never held open
// and several windows can use it one after another.

QString SettingsIniPath();

// Opens "Ravlin.ini" for a load, a save or direct section access.
TIniFile OpenSettingsIni();

// Writes the file when it was changed. Throws ERavlinError when it cannot be
// written; the previous file is then left whole.
void CloseSettingsIni(TIniFile& ini);

// Record <-> INI, key by key in the file's order, with every default.
void ReadSentenceSetup(const TIniFile& ini, TSentenceSetupRec& rec);
void WriteSentenceSetup(TIniFile& ini, const TSentenceSetupRec& rec);
void ReadKeyboardSetup(const TIniFile& ini, TKeyboardSetupRec& rec);
void WriteKeyboardSetup(TIniFile& ini, const TKeyboardSetupRec& rec);
void ReadSaveMeGameSetUp(const TIniFile& ini, TSaveMeGameSetUpRec& rec);
void WriteSaveMeGameSetUp(TIniFile& ini, const TSaveMeGameSetUpRec& rec);

// The default background list: the wood picture and the cloud picture, both in use.
QString DefaultBackImage();

// Load into / save from the process-wide records.
void LoadSentenceSetup();
void SaveSentenceSetup();
void LoadKeyboardSetup();
void SaveKeyboardSetup();
void LoadSaveMeGameSetUp();
void SaveSaveMeGameSetUp();

// The keyboard layout chosen in the keyboard setup as stored in the file (the
// process-wide record may not have been loaded yet).
int StoredKeyboardLayoutIndex();

// Section "FileHistory": the line at which a practice text resumes, under a
// key made from the text's file name (FileHistoryKey). Negative stored values
// read as 0.
//
// A key that reads back as itself is stored as it is, as it always was. One
// that would not (beginning with a blank, "#", ";" or "[", holding "=", ...)
// is stored escaped (StoredFileHistoryKey); reading looks for the escaped
// key first and then for the key as it is. Writing also drops empty sections,
// such as the "[일어]" that such a key left behind in older files.
inline constexpr const char* kFileHistorySection = "FileHistory";
int ReadFileHistory(const TIniFile& ini, const QString& key);
void WriteFileHistory(TIniFile& ini, const QString& key, int line);

// The key as written to the file: `key` itself when it reads back as itself,
// otherwise "/" followed by `key` with "%", "=", control characters and
// trailing blanks written as %XX. File names never hold "/", so an escaped
// key can never be the plain key of another text.
QString StoredFileHistoryKey(const QString& key);
