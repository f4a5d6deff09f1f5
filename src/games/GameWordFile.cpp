#include "games/GameWordFile.h"

#include "app/RavlinError.h"
#include "app/StringUtils.h"
#include "platform/CodePage949.h"
#include "typing/SentenceText.h"

#include <QFile>
#include <QFileInfo>

QStringList TGameWordFile::ReadLines(const QString& fileName) {
    if (!QFileInfo(fileName).isFile())
        throw ERavlinError(fileName + QStringLiteral(" 파일이 존재하지 않습니다."));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ERavlinError(fileName + QStringLiteral(" 파일을 불러올 수 없습니다."));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ERavlinError(fileName + QStringLiteral(" 파일을 불러올 수 없습니다."));
    return SplitLines(DecodeText(bytes));
}

QStringList TGameWordFile::SplitLines(const QString& text) {
    // The same line breaks as the practice texts.
    return TSentenceText::SplitLines(text);
}

TGameWordFile::TEntry TGameWordFile::ParseEntry(const QString& line) {
    const QString entry = TrimSpacesAndControls(line);
    const qsizetype colon = entry.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return {entry, QString()};
    return {TrimSpacesAndControls(entry.left(colon)), TrimSpacesAndControls(entry.mid(colon + 1))};
}

QList<TGameWordFile::TEntry> TGameWordFile::Entries(const QStringList& lines) {
    QList<TEntry> entries;
    for (const QString& line : lines) {
        TEntry entry = ParseEntry(line);
        if (!entry.Word.isEmpty())
            entries.append(std::move(entry));
    }
    return entries;
}
