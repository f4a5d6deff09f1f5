// Feeds arbitrary bytes to the score board reader as "cscore.dat": a damaged
// file is refused with the reader's error and leaves the board as it was;
// one that is read gives a board sorted best first with dense ranks, which
// saves and reads back with the same scores, levels and ranks.

#include "app/RavlinError.h"
#include "FuzzSupport.h"
#include "games/ScoreList.h"

#include <cstdlib>

namespace {

bool SameEntries(const TScoreList& a, const TScoreList& b) {
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i) {
        const TScoreRec& x = a.Item(i);
        const TScoreRec& y = b.Item(i);
        // Names and dates of damaged records need not survive the code page
        // round trip (a character the code page lacks becomes '?'); the
        // numbers and the order must.
        if (x.rank != y.rank || x.score != y.score || x.Level != y.Level)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    // One record on its own, as the reader sees each.
    if (bytes.size() >= TScoreList::RecordSize) {
        try {
            const TScoreRec rec = TScoreList::DecodeRecord(bytes.left(TScoreList::RecordSize));
            if (rec.name.size() > TScoreList::NameBytes ||
                rec.GameLanguage.size() > TScoreList::LanguageBytes)
                std::abort();
            if (TScoreList::EncodeRecord(rec).size() != TScoreList::RecordSize)
                std::abort();
        } catch (const ERavlinError&) {
        }
    }

    TScoreList board(fuzz::WriteInput(QStringLiteral("cscore.dat"), bytes));
    TScoreRec kept;
    kept.name = "keep";
    kept.score = 1;
    board.Add(kept);
    try {
        board.ReadScore();
    } catch (const ERavlinError&) {
        // Left as it was.
        if (board.Count() != 1 || board.Item(0).name != "keep")
            std::abort();
        return 0;
    }
    for (int i = 0; i < board.Count(); ++i) {
        const TScoreRec& rec = board.Item(i);
        if (i == 0 ? rec.rank != 1
                   : (rec.score > board.Item(i - 1).score ||
                      rec.rank !=
                          board.Item(i - 1).rank + (rec.score == board.Item(i - 1).score ? 0 : 1)))
            std::abort();
    }
    if (board.Count() == 0)
        return 0;

    TScoreList copy(fuzz::ScratchDir().filePath(QStringLiteral("cscore-again.dat")));
    for (const TScoreRec& rec : board.Items())
        copy.Add(rec);
    copy.SaveScore();
    TScoreList reread(copy.FileName());
    reread.ReadScore();
    if (!SameEntries(board, reread))
        std::abort();
    return 0;
}
