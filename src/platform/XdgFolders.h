#pragma once

#include <QString>

// The per-user data folder: $XDG_DATA_HOME when it is set to an absolute
// path, else ~/.local/share (the XDG base directory rules).
QString XdgDataHome();
