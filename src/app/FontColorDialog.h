#pragma once

#include "app/Colors.h"

#include <optional>
#include <QFont>

class QFontDialog;

// A chosen font with its colour.
struct TFontAndColor {
    QFont Font;
    TColor Color = clBlack;
};

// Runs a font dialog with a colour button joined to its effects, as in the
// font dialogs learners know (Qt's has no colour of its own). The dialog
// starts at `font`; a substituted face name ("굴림체") is shown as the face
// that stands in for it, because the dialog lists only real families.
// Returns the choice, with `color` unless the learner picked another, or
// nothing when the dialog was cancelled.
std::optional<TFontAndColor> ExecFontDialogWithColor(QFontDialog& dialog, const QFont& font,
                                                     TColor color);
