#include "platform/FontSubstitutions.h"

#include <QFont>
#include <QStringList>

namespace {

struct TFontSubstitution {
    const char* WindowsFace;
    const char* Substitutes; // comma-separated, most fitting first
};

// Gulim and GulimChe are gothic faces (GulimChe fixed-pitch), Gungsuh is a
// brush-like serif face; the Nanum fonts cover Hangul, Latin and kana.
constexpr TFontSubstitution kSubstitutions[] = {
    {"굴림체", "NanumGothicCoding,NanumGothic,DejaVu Sans Mono"},
    {"GulimChe", "NanumGothicCoding,NanumGothic,DejaVu Sans Mono"},
    {"굴림", "NanumGothic,NanumBarunGothic,DejaVu Sans"},
    {"Gulim", "NanumGothic,NanumBarunGothic,DejaVu Sans"},
    {"궁서", "NanumMyeongjo,NanumGothic,DejaVu Serif"},
    {"Gungsuh", "NanumMyeongjo,NanumGothic,DejaVu Serif"},
    {"Tahoma", "DejaVu Sans,NanumGothic"},
    {"MS Sans Serif", "DejaVu Sans,NanumGothic"},
};

} // namespace

void InstallFontSubstitutions() {
    for (const TFontSubstitution& sub : kSubstitutions) {
        QFont::insertSubstitutions(QString::fromUtf8(sub.WindowsFace),
                                   QString::fromUtf8(sub.Substitutes).split(QLatin1Char(',')));
    }
}
