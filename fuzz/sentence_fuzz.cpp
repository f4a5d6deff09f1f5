// Feeds arbitrary bytes to the practice text reader: DecodeText finds the
// encoding (never failing), and the text is split, wrapped for a screen of a
// width taken from the input and paged forward and back. Wrapping adds no
// text, no display line is wider than the
// screen unless it is a single character, and paging ends.

#include "FuzzSupport.h"
#include "platform/CodePage949.h"
#include "typing/SentenceText.h"

#include <cstdlib>

namespace {

int WidthOf(const QString& line, int charWidth) {
    int width = 0;
    for (const QChar c : line)
        width += c.unicode() > 0x7F ? 2 * charWidth : charWidth;
    return width;
}

QString NonBlank(const QStringList& lines) {
    QString kept;
    for (const QString& line : lines)
        for (const QChar c : line)
            if (!c.isSpace())
                kept += c;
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    // The screen: character width 1 to 16 pixels, 1 to 64 characters wide.
    const int charWidth = 1 + data[0] % 16;
    const int limit = charWidth * (1 + data[1] % 64);
    const int pageLines = 1 + data[2] % 15;
    const QByteArray bytes = fuzz::Bytes(data + 3, size - 3);

    const QString text = DecodeText(bytes);
    const QStringList fileLines = TSentenceText::SplitLines(text);
    const QStringList lines = TSentenceText::WrapLines(fileLines, charWidth, limit);
    for (const QString& line : lines)
        if (line.size() > 1 && WidthOf(line, charWidth) > limit)
            std::abort();
    // Wrapping never invents text.
    if (NonBlank(lines).size() > NonBlank(fileLines).size())
        std::abort();

    TSentenceText sentence;
    sentence.SetLines(lines);
    QStringList page;
    int pages = 0;
    while (sentence.NextPage(pageLines, page) == TSentenceText::prShown) {
        if (page.size() != pageLines || ++pages > lines.size() + 1)
            std::abort();
    }
    pages = 0;
    while (sentence.PrevPage(pageLines, page) == TSentenceText::prShown) {
        if (page.size() != pageLines || ++pages > lines.size() + 1)
            std::abort();
    }
    // Stored positions are read as at least 0 (ReadFileHistory).
    const int resume = sentence.ClampResumeLine(int(bytes.size()) / 8);
    if (!lines.isEmpty() && (resume < 0 || resume >= lines.size()))
        std::abort();

    // The same bytes as a file on disk, as the practice screen loads them.
    const QString path = fuzz::WriteInput(QStringLiteral("text.txt"), bytes);
    TSentenceText loaded;
    loaded.Load(path, charWidth, limit);
    if (loaded.Lines() != lines)
        std::abort();
    (void)IsKoreanText(path, lines);
    (void)FileHistoryKey(text.left(64));
    return 0;
}
