#pragma once

#include "games/ScoreRec.h"

#include <functional>
#include <optional>
#include <QDateTime>
#include <vector>

// The high-score board and its file "cscore.dat".
//
// The file is a plain run of 91-byte records, best first, each holding five
// length-prefixed fields (name, score, date, level, language). Every field is
// scrambled character by character so that it cannot be read or edited as
// text, and stored in code page 949.
//
// The board keeps every entry of the 20 best distinct scores: ranking is
// dense (500, 400, 400, 300 rank 1, 2, 2, 3), so it may hold more than 20
// entries.
class TScoreList {
public:
    static constexpr int RecordSize = 91;
    static constexpr int MaxRank = 20;
    static constexpr int NameBytes = 20;
    static constexpr int LanguageBytes = 10;

    // Asks the player for a name; nullopt when the prompt was cancelled.
    using TAskName = std::function<std::optional<QString>()>;

    explicit TScoreList(const QString& fileName);

    const QString& FileName() const { return FFileName; }
    int Count() const { return int(FItems.size()); }
    const TScoreRec& Item(int index) const { return FItems.at(std::size_t(index)); }
    const std::vector<TScoreRec>& Items() const { return FItems; }

    // Replaces the list with the file's records, sorted and ranked. A missing
    // file is an empty board; a trailing piece shorter than a record is
    // ignored. Throws ERavlinError when the file cannot be read or a record
    // is damaged; the list is then left as it was.
    void ReadScore();

    // Rewrites the file atomically with one record per entry, in list order.
    // Does nothing when the list is empty. Throws ERavlinError on failure; the
    // old file is then intact.
    void SaveScore() const;

    // Dense ranks from the current order: equal scores share a rank, the
    // next lower score gets the next rank.
    void SetRank();

    void ClearYou();

    // Appends an entry, then sorts by score (highest first) and ranks.
    void Add(TScoreRec rec);

    // Takes the result of a finished game: a score of 0 changes nothing;
    // otherwise the player is asked for a name when the result makes the
    // board, the entry is added and marked `You`, entries that fall below
    // rank 20 are dropped and the file is rewritten. Returns the index of the
    // new entry, or -1 when none was added.
    int SubmitResult(int score, int level, const QByteArray& gameLanguage, const TAskName& askName,
                     const QDateTime& now);

    // The index of the first `You` entry, or -1.
    int YouIndex() const;

    // One 91-byte record of the file and back. DecodeRecord throws
    // ERavlinError when the record is damaged.
    static QByteArray EncodeRecord(const TScoreRec& rec);
    static TScoreRec DecodeRecord(const QByteArray& record);

    // "2026-03-07  09:05:01": the year unpadded, everything else two digits.
    static QString DateTimeText(const QDateTime& time);

    // Code page 949 bytes cut to at most `maxBytes`, never inside a
    // double-byte character.
    static QByteArray CutCp949(const QByteArray& bytes, int maxBytes);

private:
    void SortByScore();

    QString FFileName;
    std::vector<TScoreRec> FItems;
};
