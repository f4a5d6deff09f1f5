#pragma once

#include <QString>

// The two process-wide folders. Both are set once during start-up and end in
// a '/' so that media and settings names can simply be appended.
//
//   AppDir()       the folder of the executable; every medium lies below it.
//   SettingsDir()  the per-user data folder + "Ravlin/", holding "Ravlin.ini"
//                  and "cscore.dat".

const QString& AppDir();
const QString& SettingsDir();

// Sets AppDir from a folder path, appending the separator when missing.
void SetAppDir(const QString& folder);

// Sets SettingsDir to <dataHome>/Ravlin/ and creates it when it does not exist.
// Returns false when the folder cannot be created; SettingsDir is set either way
// so that the caller can name it in its message.
bool InitSettingsDir(const QString& dataHome);

// Appends '/' when the path does not already end in one.
QString WithTrailingSeparator(const QString& folder);
