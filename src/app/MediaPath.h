#pragma once

#include <QString>

// Maps a media name to the real file below AppDir, ignoring letter case.
//
// Media names are spelled with mixed case and Windows separators
// ("Models\Maps\White_Cloud.png", "models\maps\[key] wood.bmp", "TEXT\"),
// while the files on disk have one spelling each. Every component is looked
// up as given first and, only when that fails, by a case-insensitive scan of
// its folder. Names may use '\' or '/'; a trailing separator is kept.
//
// An absolute path is returned as it is when it exists; when it lies below
// AppDir it is resolved like a relative name. When no match exists the
// result is the name as given below AppDir (so messages can name it).
QString MediaPath(const QString& name);

// The same lookup below any folder: `name` (relative, with '\' or '/') is
// resolved below `folder` component by component, ignoring letter case; when
// no match exists the result is `name` as given below `folder`.
QString PathIgnoringCase(const QString& folder, const QString& name);
