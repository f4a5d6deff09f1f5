#include "gl/ObjTokenizer.h"

#include "platform/CodePage949.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

// Drops one leading '+'; a sign may not follow it.
bool StripPlus(std::string_view& text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-'))
            return false;
    }
    return !text.empty();
}

} // namespace

bool ParseObjFloat(std::string_view text, float& value) {
    if (!StripPlus(text))
        return false;
    float parsed = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, parsed);
    if (error != std::errc() || ptr != end || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool ParseObjInt(std::string_view text, int& value) {
    if (!StripPlus(text))
        return false;
    const bool negative = text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty())
        return false;
    // Digits only; the magnitude may reach 2^31 for a negative value.
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t(1) << 31)
            return false;
    }
    if (!negative && magnitude > std::int64_t(INT32_MAX))
        return false;
    value = int(negative ? -magnitude : magnitude);
    return true;
}

QString ObjText(std::string_view bytes) {
    bool ascii = true;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    return DecodeText(QByteArray(bytes.data(), qsizetype(bytes.size())));
}
