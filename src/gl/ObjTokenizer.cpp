#include "gl/ObjTokenizer.h"

#include "platform/CodePage949.h"

#include <charconv>
#include <cmath>
#include <cstdint>

std::string_view TObjTokenizer::Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

std::string_view TObjTokenizer::Take(bool faceMode) {
    FRest = Trim(FRest);
    if (FRest.empty())
        return {};
    const std::size_t end = faceMode ? FRest.find_first_of(" /") : FRest.find(' ');
    if (end == std::string_view::npos) {
        const std::string_view token = FRest;
        FRest = {};
        return token;
    }
    const std::string_view token = FRest.substr(0, end);
    FRest.remove_prefix(end + 1);
    return token;
}

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
    std::int32_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, parsed);
    if (error != std::errc() || ptr != end)
        return false;
    value = parsed;
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
    const QByteArray raw(bytes.data(), qsizetype(bytes.size()));
    return IsValidUtf8(raw) ? QString::fromUtf8(raw) : DecodeCp949(raw);
}
