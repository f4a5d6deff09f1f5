#pragma once

#include <cstdint>
#include <QByteArray>
#include <QString>

// One entry of the high-score board shared by both games.
struct TScoreRec {
    std::int32_t rank = 0;   // place on the board, 1 = best; computed, never stored
    QByteArray name;         // player name, code page 949, at most 20 bytes
    std::int32_t score = 0;  // final score
    QString DateTime;        // "2026-03-07  09:05:01"
    std::uint16_t Level = 0; // level the game ended on
    QByteArray GameLanguage; // language label, code page 949, at most 10 bytes
    bool You = false;        // the entry added by the current submission
};
