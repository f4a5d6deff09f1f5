#pragma once

#include <chrono>
#include <QByteArray>
#include <QDateTime>
#include <QSaveFile>
#include <QString>

// Replaces a file so that readers only ever see the old or the new content:
// the data goes to a temporary file in the same folder, is flushed, and is
// renamed over the target by Commit(). Destroying the writer without a
// successful Commit() discards the temporary file and leaves the target as
// it was. Used for everything the program stores for the user.
//
// A process killed between writing and renaming can leave its temporary file
// ("Ravlin.ini.XXXXXX") behind; the next write of the same file removes such
// leftovers once they are older than StaleTemporaryAge.
class TAtomicFile {
public:
    explicit TAtomicFile(const QString& path);

    // A temporary file this old cannot belong to a save still in progress.
    static constexpr std::chrono::seconds StaleTemporaryAge{60};

    // Whether `fileName` (no folder) is the name of a temporary file written
    // for `targetFileName`: the target's name, a dot and six letters or
    // digits, as the writer generates them.
    static bool IsTemporaryFileName(const QString& targetFileName, const QString& fileName);

    // Removes the temporary files left beside `path` that were last modified
    // more than StaleTemporaryAge before `now`. Returns how many were removed.
    static int RemoveStaleTemporaries(const QString& path,
                                      const QDateTime& now = QDateTime::currentDateTimeUtc());

    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    bool Write(const QByteArray& data);
    bool Commit();

    // The reason of the last failure, for messages.
    QString ErrorString() const { return FError.isEmpty() ? FFile.errorString() : FError; }

private:
    QString FPath;
    QSaveFile FFile;
    bool FOpen = false;
    bool FFailed = false;
    QString FError; // why a write failed
};

// Writes `data` to `path` atomically. On failure the old file is untouched and
// `error` (when given) names the reason.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);
