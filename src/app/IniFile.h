#pragma once

#include <memory>
#include <QString>
#include <QStringList>

class TSimpleIniDocument;

// An INI file held in memory between loading and UpdateFile().
//
// Section and key names match without regard to letter case ("SentenceSetUp"
// is the section "SentenceSetup"); the first spelling written is kept.
// Booleans are stored as "1" and "0" and read as true for any integer other
// than 0; integers are signed decimal; a missing key or a value that is not a
// number reads as the default. Strings are stored as they are. The file is
// UTF-8. A missing, unreadable or garbled file loads as empty, so every read
// yields its default; UpdateFile() replaces the file atomically.
class TIniFile {
public:
    explicit TIniFile(const QString& fileName);
    ~TIniFile();

    TIniFile(TIniFile&&) noexcept;
    TIniFile& operator=(TIniFile&&) noexcept;

    const QString& FileName() const { return FFileName; }

    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;

    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    void WriteString(const QString& section, const QString& key, const QString& value);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QStringList ReadSection(const QString& section) const; // key names in file order
    QStringList Sections() const;
    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& key);
    // Erases every section that holds no key (such as one a key beginning
    // with "[" turned into when the file was read back).
    void EraseEmptySections();

    // Whether a key of this spelling reads back as itself, in its section,
    // once written: not so for keys beginning with a blank, "[", ";" or "#",
    // ending with a blank, or holding "=" or a line break.
    static bool KeyRoundTrips(const QString& key);

    bool Modified() const { return FModified; }

    // Writes the file when anything changed since loading. Throws ERavlinError
    // naming the file when it cannot be written; the old file is then intact.
    void UpdateFile();

    // The whole file as it would be written.
    QByteArray ToBytes() const;

private:
    QString FFileName;
    std::unique_ptr<TSimpleIniDocument> FIni;
    bool FModified = false;
};
