#pragma once

#include <QString>
#include <string_view>

// Splits one line of an OBJ or MTL file into tokens, consuming it from the
// left. Before each token the remaining text is trimmed (spaces, tabs and
// other control characters at both ends); the token then runs up to the
// first space, which is removed with it. Only the space separates tokens: a
// tab inside a line does not. In face mode a token also ends at the first
// "/", so two slashes in a row give an empty token (an absent value).
class TObjTokenizer {
public:
    explicit TObjTokenizer(std::string_view line)
        : FRest(line) {}

    std::string_view Next() { return Take(false); }
    std::string_view NextFaceToken() { return Take(true); }
    // The trimmed remaining text.
    std::string_view Rest() const { return Trim(FRest); }
    bool AtEnd() const { return Rest().empty(); }

    static std::string_view Trim(std::string_view text) {
        std::size_t begin = 0;
        std::size_t end = text.size();
        while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
            ++begin;
        while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
            --end;
        return text.substr(begin, end - begin);
    }

    // Calls `line` for every line of `data`; CR LF, LF and a lone CR end a line.
    template <typename F> static void ForEachLine(std::string_view data, F&& line) {
        std::size_t start = 0;
        const std::size_t size = data.size();
        for (std::size_t i = 0; i < size; ++i) {
            const char c = data[i];
            if (c == '\n' || c == '\r') {
                line(data.substr(start, i - start));
                if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
                    ++i;
                start = i + 1;
            }
        }
        if (start < size)
            line(data.substr(start));
    }

private:
    std::string_view Take(bool faceMode) {
        FRest = Trim(FRest);
        const std::size_t size = FRest.size();
        std::size_t end = 0;
        if (faceMode) {
            while (end < size && FRest[end] != ' ' && FRest[end] != '/')
                ++end;
        } else {
            while (end < size && FRest[end] != ' ')
                ++end;
        }
        const std::string_view token = FRest.substr(0, end);
        FRest.remove_prefix(end < size ? end + 1 : size);
        return token;
    }

    std::string_view FRest;
};

// Number forms of the model files: "." as the decimal separator, an optional
// sign. Only finite values parse. Returns false when the text is not a
// number in full.
bool ParseObjFloat(std::string_view text, float& value);
// A 32-bit integer in decimal with an optional sign.
bool ParseObjInt(std::string_view text, int& value);

// Names and paths of the model files as text: UTF-8 where the bytes are
// valid UTF-8, otherwise the Korean code page 949 that older exporters
// wrote.
QString ObjText(std::string_view bytes);
