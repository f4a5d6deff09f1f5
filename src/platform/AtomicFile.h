#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Replaces a file so that readers only ever see the old or the new content:
// the data goes to a temporary file in the same folder, is flushed, and is
// renamed over the target by Commit(). Destroying the writer without a
// successful Commit() discards the temporary file and leaves the target as
// it was. Used for everything the program stores for the user.
class TAtomicFile {
public:
    explicit TAtomicFile(const QString& path);

    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    bool Write(const QByteArray& data);
    bool Commit();

    // The reason of the last failure, for messages.
    QString ErrorString() const { return FFile.errorString(); }

private:
    QSaveFile FFile;
    bool FOpen = false;
    bool FFailed = false;
};

// Writes `data` to `path` atomically. On failure the old file is untouched and
// `error` (when given) names the reason.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);
