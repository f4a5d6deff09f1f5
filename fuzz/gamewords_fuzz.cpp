// Feeds arbitrary bytes to the Orbalon word file reader: every input reads
// as lines (the encoding found as for any hand-made text), and every entry
// has a word free of the colon that separates it from
// its description.

#include "FuzzSupport.h"
#include "games/GameWordFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::WriteInput(QStringLiteral("words.game"), fuzz::Bytes(data, size));
    const QStringList lines = TGameWordFile::ReadLines(path);
    const QList<TGameWordFile::TEntry> entries = TGameWordFile::Entries(lines);
    if (entries.size() > lines.size())
        std::abort();
    for (const TGameWordFile::TEntry& entry : entries) {
        if (entry.Word.isEmpty() || entry.Word.contains(QLatin1Char(':')))
            std::abort();
    }
    return 0;
}
