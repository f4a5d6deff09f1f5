#include "app/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// The system colour indices in use, mapped onto the palette roles that play
// the same part on a Linux desktop.
QPalette::ColorRole RoleOfSystemColor(int index) {
    switch (index) {
    case 5:
        return QPalette::Base; // window background
    case 8:
        return QPalette::Text; // window text
    case 13:
        return QPalette::Highlight; // selection
    case 14:
        return QPalette::HighlightedText; // selected text
    case 15:
        return QPalette::Button; // button face
    case 18:
        return QPalette::ButtonText; // button text
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor ToQColor(TColor color) {
    if (IsSystemColor(color)) {
        const QPalette palette = QGuiApplication::palette();
        return palette.color(QPalette::Active, RoleOfSystemColor(int(color & 0xFF)));
    }
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

TColor FromQColor(const QColor& color) {
    return RGBColor(color.red(), color.green(), color.blue());
}
