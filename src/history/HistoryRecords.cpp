#include "history/HistoryRecords.h"

QString HistoryActivityCaption(int activity) {
    switch (activity) {
    case haSentence:
        return QStringLiteral("문장연습");
    case haKeyboard:
        return QStringLiteral("키보드연습");
    case haClockwig:
        return QStringLiteral("Clockwig");
    case haOrbalon:
        return QStringLiteral("Orbalon");
    default:
        return {};
    }
}
