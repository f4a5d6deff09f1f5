#include "app/IniFile.h"

#include "app/RavlinError.h"
#include "platform/AtomicFile.h"

#include <QFile>
// SimpleIni is used header-only, compiled here once. Values are UTF-8 bytes
// handled as they are: no wide-character conversion.
#define SI_IMPLEMENTATION
#define SI_NO_CONVERSION
#include <list>
#include <SimpleIni.h>
#include <string>

// Wraps the case-insensitive SimpleIni document so the header stays free of it.
class TSimpleIniDocument : public CSimpleIniA {
public:
    TSimpleIniDocument()
        : CSimpleIniA(/*isUtf8=*/true, /*multiKey=*/false, /*multiLine=*/false) {
        SetSpaces(false); // "Key=Value", as other INI readers expect
    }
};

namespace {

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// Parses a signed 32-bit decimal integer; anything else is not a number.
bool ParseInteger(const char* text, int* value) {
    bool ok = false;
    const int parsed = QByteArray(text).trimmed().toInt(&ok, 10);
    if (ok)
        *value = parsed;
    return ok;
}

} // namespace

TIniFile::TIniFile(const QString& fileName)
    : FFileName(fileName)
    , FIni(std::make_unique<TSimpleIniDocument>()) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return; // a missing or unreadable file reads as defaults
    const QByteArray bytes = file.readAll();
    if (FIni->LoadData(bytes.constData(), size_t(bytes.size())) < 0)
        FIni->Reset(); // garbled: start from an empty document
}

TIniFile::~TIniFile() = default;
TIniFile::TIniFile(TIniFile&&) noexcept = default;
TIniFile& TIniFile::operator=(TIniFile&&) noexcept = default;

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    const char* text = FIni->GetValue(Utf8(section).c_str(), Utf8(key).c_str(), nullptr);
    int value = defaultValue;
    if (text == nullptr || !ParseInteger(text, &value))
        return defaultValue;
    return value;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& defaultValue) const {
    const char* text = FIni->GetValue(Utf8(section).c_str(), Utf8(key).c_str(), nullptr);
    return text ? QString::fromUtf8(text) : defaultValue;
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    // Line breaks would end the value early and turn the rest into garbage
    // lines; INI values are single-line by nature.
    QString single = value;
    single.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    FIni->SetValue(Utf8(section).c_str(), Utf8(key).c_str(), Utf8(single).c_str());
    FModified = true;
}

bool TIniFile::SectionExists(const QString& section) const {
    return FIni->GetSectionSize(Utf8(section).c_str()) >= 0;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
    return FIni->GetValue(Utf8(section).c_str(), Utf8(key).c_str(), nullptr) != nullptr;
}

QStringList TIniFile::ReadSection(const QString& section) const {
    CSimpleIniA::TNamesDepend keys;
    FIni->GetAllKeys(Utf8(section).c_str(), keys);
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList result;
    for (const auto& key : keys)
        result << QString::fromUtf8(key.pItem);
    return result;
}

QStringList TIniFile::Sections() const {
    CSimpleIniA::TNamesDepend sections;
    FIni->GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList result;
    for (const auto& section : sections)
        result << QString::fromUtf8(section.pItem);
    return result;
}

void TIniFile::EraseSection(const QString& section) {
    if (FIni->Delete(Utf8(section).c_str(), nullptr))
        FModified = true;
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
    if (FIni->Delete(Utf8(section).c_str(), Utf8(key).c_str()))
        FModified = true;
}

void TIniFile::EraseEmptySections() {
    for (const QString& section : Sections()) {
        if (FIni->GetSectionSize(Utf8(section).c_str()) == 0)
            EraseSection(section);
    }
}

bool TIniFile::KeyRoundTrips(const QString& key) {
    // Asked of the parser itself rather than of a list of its rules: write
    // the key alone, read the text back, and look for exactly that key.
    const std::string spelling = Utf8(key);
    if (spelling.empty())
        return false;
    TSimpleIniDocument written;
    written.SetValue("S", spelling.c_str(), "1");
    std::string text;
    if (written.Save(text) < 0)
        return false;
    TSimpleIniDocument read;
    if (read.LoadData(text) < 0)
        return false;
    CSimpleIniA::TNamesDepend sections;
    read.GetAllSections(sections);
    CSimpleIniA::TNamesDepend keys;
    read.GetAllKeys("S", keys);
    if (sections.size() != 1 || keys.size() != 1 || spelling != keys.front().pItem)
        return false;
    const char* value = read.GetValue("S", spelling.c_str(), nullptr);
    return value != nullptr && std::string(value) == "1";
}

QByteArray TIniFile::ToBytes() const {
    std::string text;
    FIni->Save(text);
    return QByteArray::fromStdString(text);
}

void TIniFile::UpdateFile() {
    if (!FModified)
        return;
    QString reason;
    if (!WriteFileAtomically(FFileName, ToBytes(), &reason))
        throw ERavlinError(
            QStringLiteral("설정 파일을 저장할 수 없습니다.\n%1\n%2").arg(FFileName, reason));
    FModified = false;
}
