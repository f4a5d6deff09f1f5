#include "typing/SentenceText.h"

#include "app/RavlinError.h"
#include "app/StringUtils.h"
#include "platform/CodePage949.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool IsBlank(const QString& line) {
    for (const QChar c : line) {
        if (c.unicode() > 0x20)
            return false;
    }
    return true;
}

} // namespace

QStringList TSentenceText::SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < size && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines << text.mid(start);
    return lines;
}

QStringList TSentenceText::WrapLines(const QStringList& fileLines, int charWidth, int limit) {
    QStringList display;
    QString pending;
    for (qsizetype i = 0; i < fileLines.size(); ++i) {
        const QString line = TrimSpacesAndControls(fileLines[i]);
        pending = pending.isEmpty() ? line : pending + QLatin1Char(' ') + line;
        if (pending.isEmpty())
            continue;

        // Walk the pending text; `start` is where the current display line begins.
        bool cut = false;
        qsizetype start = 0;
        qint64 sum = 0;
        for (qsizetype j = 0; j < pending.size();) {
            sum += pending[j].unicode() <= 0x7F ? charWidth : 2 * charWidth;
            if (sum < limit) {
                ++j;
                continue;
            }
            // Cut before the character that reached the limit; a character
            // wider than the whole limit still gets a line of its own.
            const qsizetype end = j > start ? j : j + 1;
            display << TrimSpacesAndControls(pending.mid(start, end - start));
            start = end;
            j = end;
            sum = 0;
            cut = true;
        }
        pending = pending.mid(start);

        if (cut && i + 1 < fileLines.size() && !pending.isEmpty())
            continue; // the rest joins the next file line
        const QString rest = TrimSpacesAndControls(pending);
        if (!rest.isEmpty() || !cut)
            display << rest;
        pending.clear();
    }
    return display;
}

void TSentenceText::Load(const QString& fileName, int charWidth, int limit) {
    if (!QFileInfo::exists(fileName))
        throw ERavlinError(fileName + QStringLiteral(" 파일이 존재하지 않습니다."));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ERavlinError(fileName + QStringLiteral(" 파일을 불러올 수 없습니다."));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ERavlinError(fileName + QStringLiteral(" 파일을 불러올 수 없습니다."));

    FText = WrapLines(SplitLines(DecodeText(bytes)), charWidth, limit);
    FCurrTextLine = 0;
}

TSentenceText::TPageResult TSentenceText::NextPage(int lineCount, QStringList& page) {
    const int count = int(FText.size());
    if (FCurrTextLine >= count)
        return prAtEnd;
    page.clear();
    for (int i = 0; i < lineCount; ++i) {
        while (FCurrTextLine < count && IsBlank(FText[FCurrTextLine]))
            ++FCurrTextLine;
        page << (FCurrTextLine < count ? FText[FCurrTextLine] : QString());
        ++FCurrTextLine;
    }
    return prShown;
}

TSentenceText::TPageResult TSentenceText::PrevPage(int lineCount, QStringList& page) {
    if (FCurrTextLine - lineCount <= 0)
        return prAtStart;
    const int count = int(FText.size());
    auto inText = [count](int line) { return line >= 0 && line < count; };

    FCurrTextLine -= lineCount + 1;
    page = QStringList();
    for (int i = 0; i < lineCount; ++i)
        page << QString();
    for (int i = 0; i < lineCount; ++i) {
        while (inText(FCurrTextLine) && IsBlank(FText[FCurrTextLine]))
            --FCurrTextLine;
        page[lineCount - 1 - i] = inText(FCurrTextLine) ? FText[FCurrTextLine] : QString();
        --FCurrTextLine;
    }
    FCurrTextLine += lineCount + 1;
    return prShown;
}

int TSentenceText::ClampResumeLine(int d) const {
    const int count = int(FText.size());
    return d >= count ? count - 1 : d;
}

QString FileHistoryKey(const QString& textFileName) {
    QString key = QFileInfo(textFileName).fileName();
    if (key.startsWith(QStringLiteral("[한글]")))
        key.replace(0, 4, QStringLiteral("(한글)"));
    else if (key.startsWith(QStringLiteral("[영어]")))
        key.replace(0, 4, QStringLiteral("(영어)"));
    return key;
}

bool IsKoreanText(const QString& textFileName, const QStringList& lines) {
    if (textFileName.contains(QStringLiteral("[한글]")))
        return true;
    qsizetype hangul = 0;
    qsizetype kana = 0;
    qsizetype latin = 0;
    for (const QString& line : lines) {
        for (QChar c : line) {
            const char16_t u = c.unicode();
            if ((u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x1100 && u <= 0x11FF) ||
                (u >= 0x3130 && u <= 0x318F))
                ++hangul;
            else if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x31F0 && u <= 0x31FF) ||
                     (u >= 0xFF66 && u <= 0xFF9F))
                ++kana;
            else if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z'))
                ++latin;
        }
    }
    return hangul > 0 && hangul > kana && 2 * hangul >= latin;
}
