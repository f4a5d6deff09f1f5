#include "platform/CodePage949.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <QList>
#include <QStringDecoder>

namespace {

// Owns one iconv conversion descriptor.
class TIconv {
public:
    TIconv(const char* to, const char* from)
        : FHandle(iconv_open(to, from)) {}
    ~TIconv() {
        if (Valid())
            iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }

    // Converts `input`; each input unit of `unitSize` bytes that cannot be
    // converted is skipped and `replacement` written in its place.
    QByteArray Convert(const QByteArray& input, size_t unitSize, const QByteArray& replacement) {
        QByteArray output;
        if (!Valid())
            return output;
        output.reserve(input.size() * 2 + 16);

        char* in = const_cast<char*>(input.constData());
        size_t inLeft = size_t(input.size());
        char buffer[4096];
        while (inLeft > 0) {
            char* out = buffer;
            size_t outLeft = sizeof(buffer);
            const size_t result = iconv(FHandle, &in, &inLeft, &out, &outLeft);
            output.append(buffer, qsizetype(sizeof(buffer) - outLeft));
            if (result != size_t(-1))
                continue;
            if (errno == E2BIG)
                continue; // buffer full: go on with a fresh one
            // EILSEQ or EINVAL (an invalid or cut-off sequence): skip one unit.
            const size_t skip = std::min(unitSize, inLeft);
            in += skip;
            inLeft -= skip;
            output.append(replacement);
            iconv(FHandle, nullptr, nullptr, nullptr, nullptr); // reset shift state
        }
        return output;
    }

private:
    iconv_t FHandle;
};

} // namespace

QString DecodeCp949(const QByteArray& bytes) {
    TIconv converter("UTF-8", "CP949");
    const QByteArray utf8 = converter.Convert(bytes, 1, QByteArray("\xEF\xBF\xBD"));
    return QString::fromUtf8(utf8);
}

QByteArray EncodeCp949(const QString& text) {
    // UTF-32 input makes "skip one unit" skip exactly one character.
    const QList<uint> codePoints = text.toUcs4();
    QByteArray utf32(reinterpret_cast<const char*>(codePoints.constData()),
                     codePoints.size() * qsizetype(sizeof(uint)));
    TIconv converter("CP949", "UTF-32LE");
    return converter.Convert(utf32, 4, QByteArray("?"));
}

bool IsValidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p++;
        if (lead < 0x80)
            continue;
        int trail = 0;
        char32_t minimum = 0;
        char32_t code = 0;
        if ((lead & 0xE0) == 0xC0) {
            trail = 1, minimum = 0x80, code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            trail = 2, minimum = 0x800, code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            trail = 3, minimum = 0x10000, code = lead & 0x07;
        } else {
            return false; // a stray trail byte or an invalid lead byte
        }
        if (end - p < trail)
            return false; // cut off
        for (int i = 0; i < trail; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (*p & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
    }
    return true;
}

QString DecodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes[0] == '\xFF' ? QStringDecoder::Utf16LE
                                                : QStringDecoder::Utf16BE);
        return utf16.decode(bytes.mid(2));
    }
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return DecodeCp949(bytes);
}
