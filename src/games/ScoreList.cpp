#include "games/ScoreList.h"

#include "app/RavlinError.h"
#include "app/StringUtils.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage949.h"

#include <algorithm>
#include <QFile>
#include <QFileInfo>

namespace {

// Added to the position of each character before it is XORed in; the same
// for every field, record and file.
constexpr int kScrambleOffset = 11;

// Field layout of a record: offset of the length byte and capacity in bytes.
struct TField {
    int Offset;
    int Capacity;
};
constexpr TField kNameField{0, 20};
constexpr TField kScoreField{21, 15};
constexpr TField kDateField{37, 40};
constexpr TField kLevelField{78, 1};
constexpr TField kLanguageField{80, 10};

// XOR is its own inverse, so this both scrambles and unscrambles.
QString Scramble(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(text[i].unicode() ^ char16_t(kScrambleOffset + i)));
    return text;
}

void PutField(QByteArray& record, const TField& field, const QString& text) {
    const QByteArray bytes = EncodeCp949(Scramble(text)).left(field.Capacity);
    record[field.Offset] = char(bytes.size());
    std::copy(bytes.begin(), bytes.end(), record.begin() + field.Offset + 1);
}

QString DamagedMessage() {
    return QStringLiteral("점수판 파일이 손상되어 읽을 수 없습니다.");
}

QString GetField(const QByteArray& record, const TField& field) {
    const int length = static_cast<unsigned char>(record[field.Offset]);
    if (length > field.Capacity)
        throw ERavlinError(DamagedMessage());
    return Scramble(DecodeCp949(record.mid(field.Offset + 1, length)));
}

int ParseDecimal(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        throw ERavlinError(DamagedMessage());
    return value;
}

} // namespace

TScoreList::TScoreList(const QString& fileName)
    : FFileName(fileName) {}

QByteArray TScoreList::CutCp949(const QByteArray& bytes, int maxBytes) {
    qsizetype end = 0;
    while (end < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[end]);
        const qsizetype length = (lead >= 0x81 && lead <= 0xFE) ? 2 : 1;
        if (end + length > maxBytes)
            break;
        end += length;
    }
    return bytes.left(std::min(end, bytes.size()));
}

QString TScoreList::DateTimeText(const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("%1-%2-%3  %4:%5:%6")
        .arg(d.year())
        .arg(two(d.month()), two(d.day()), two(t.hour()), two(t.minute()), two(t.second()));
}

QByteArray TScoreList::EncodeRecord(const TScoreRec& rec) {
    QByteArray record(RecordSize, '\0');
    PutField(record, kNameField, DecodeCp949(rec.name));
    PutField(record, kScoreField, QString::number(rec.score));
    PutField(record, kDateField, rec.DateTime);
    PutField(record, kLevelField, QString::number(rec.Level));
    PutField(record, kLanguageField, DecodeCp949(rec.GameLanguage));
    return record;
}

TScoreRec TScoreList::DecodeRecord(const QByteArray& record) {
    if (record.size() != RecordSize)
        throw ERavlinError(DamagedMessage());
    TScoreRec rec;
    rec.name = CutCp949(EncodeCp949(GetField(record, kNameField)), NameBytes);
    rec.score = ParseDecimal(GetField(record, kScoreField));
    rec.DateTime = GetField(record, kDateField);
    const int level = ParseDecimal(GetField(record, kLevelField));
    if (level < 0)
        throw ERavlinError(DamagedMessage());
    rec.Level = std::uint16_t(level);
    rec.GameLanguage = CutCp949(EncodeCp949(GetField(record, kLanguageField)), LanguageBytes);
    return rec;
}

void TScoreList::ReadScore() {
    if (!QFileInfo::exists(FFileName))
        return;
    QFile file(FFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ERavlinError(QStringLiteral("점수판 파일을 읽을 수 없습니다.\n%1\n%2")
                               .arg(FFileName, file.errorString()));
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw ERavlinError(QStringLiteral("점수판 파일을 읽을 수 없습니다.\n%1\n%2")
                               .arg(FFileName, file.errorString()));
    }
    file.close();

    std::vector<TScoreRec> items;
    try {
        for (qsizetype pos = 0; pos + RecordSize <= data.size(); pos += RecordSize)
            items.push_back(DecodeRecord(data.mid(pos, RecordSize)));
    } catch (const ERavlinError&) {
        throw ERavlinError(DamagedMessage() + QLatin1Char('\n') + FFileName);
    }
    FItems = std::move(items);
    SortByScore();
    SetRank();
}

void TScoreList::SaveScore() const {
    if (FItems.empty())
        return;
    QByteArray data;
    data.reserve(qsizetype(FItems.size()) * RecordSize);
    for (const TScoreRec& rec : FItems)
        data += EncodeRecord(rec);
    QString error;
    if (!WriteFileAtomically(FFileName, data, &error)) {
        throw ERavlinError(
            QStringLiteral("점수판 파일을 저장할 수 없습니다.\n%1\n%2").arg(FFileName, error));
    }
}

void TScoreList::SetRank() {
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (i == 0)
            FItems[i].rank = 1;
        else if (FItems[i].score == FItems[i - 1].score)
            FItems[i].rank = FItems[i - 1].rank;
        else
            FItems[i].rank = FItems[i - 1].rank + 1;
    }
}

void TScoreList::SortByScore() {
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const TScoreRec& a, const TScoreRec& b) { return a.score > b.score; });
}

void TScoreList::ClearYou() {
    for (TScoreRec& rec : FItems)
        rec.You = false;
}

void TScoreList::Add(TScoreRec rec) {
    FItems.push_back(std::move(rec));
    SortByScore();
    SetRank();
}

int TScoreList::YouIndex() const {
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i].You)
            return int(i);
    }
    return -1;
}

int TScoreList::SubmitResult(int score, int level, const QByteArray& gameLanguage,
                             const TAskName& askName, const QDateTime& now) {
    ClearYou();
    if (score == 0)
        return -1;

    auto addEntry = [&] {
        const std::optional<QString> answer = askName ? askName() : std::nullopt;
        if (!answer)
            return;
        const QString name = TrimSpacesAndControls(*answer);
        if (name.isEmpty())
            return;
        TScoreRec rec;
        rec.name = CutCp949(EncodeCp949(name), NameBytes);
        rec.score = score;
        rec.DateTime = DateTimeText(now);
        rec.Level = std::uint16_t(std::clamp(level, 0, 9));
        rec.GameLanguage = CutCp949(gameLanguage, LanguageBytes);
        rec.You = true;
        Add(std::move(rec));
    };

    if (FItems.empty() || FItems.back().rank < MaxRank) {
        addEntry();
    } else {
        const bool qualifies = std::any_of(FItems.begin(), FItems.end(),
                                           [&](const TScoreRec& r) { return score >= r.score; });
        if (qualifies)
            addEntry();
        // Whether or not it made the board, what ranks below 20 goes.
        std::erase_if(FItems, [](const TScoreRec& r) { return r.rank > MaxRank; });
    }
    SaveScore();
    return YouIndex();
}
