#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TAtomicFile::TAtomicFile(const QString& path)
    : FPath(path)
    , FFile(path) {}

bool TAtomicFile::IsTemporaryFileName(const QString& targetFileName, const QString& fileName) {
    // QSaveFile names its temporary file after the target with ".XXXXXX"
    // appended, each X a letter or (from older Qt versions) a digit.
    constexpr qsizetype kRandomPart = 6;
    if (targetFileName.isEmpty() || fileName.size() != targetFileName.size() + 1 + kRandomPart ||
        !fileName.startsWith(targetFileName) || fileName[targetFileName.size()] != u'.')
        return false;
    for (qsizetype i = targetFileName.size() + 1; i < fileName.size(); ++i) {
        const char16_t c = fileName[i].unicode();
        const bool alnum =
            (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
        if (!alnum)
            return false;
    }
    return true;
}

int TAtomicFile::RemoveStaleTemporaries(const QString& path, const QDateTime& now) {
    const QFileInfo target(path);
    const QString targetName = target.fileName();
    if (targetName.isEmpty())
        return 0;
    const QDateTime staleBefore = now.addSecs(-StaleTemporaryAge.count());
    // Listed without name filters: those are wildcards, and the target's own
    // name may hold "[" or "*".
    const QFileInfoList entries =
        QDir(target.absolutePath())
            .entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot);
    int removed = 0;
    for (const QFileInfo& entry : entries) {
        if (!IsTemporaryFileName(targetName, entry.fileName()))
            continue;
        if (entry.lastModified().toUTC() >= staleBefore)
            continue; // possibly another instance saving right now
        if (QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

bool TAtomicFile::Write(const QByteArray& data) {
    if (FFailed)
        return false;
    if (!FOpen) {
        // Leftovers of an interrupted save go first: they may be what fills
        // the disk.
        RemoveStaleTemporaries(FPath);
        // Unbuffered, so that a failing write (a full disk) fails here. With
        // Qt's write buffer the data only reaches the file when commit()
        // flushes it, and a flush that fails there is not noticed: the
        // temporary file, empty or cut short, is renamed over the old one
        // and the save reports success.
        FOpen = FFile.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        if (!FOpen) {
            FFailed = true;
            return false;
        }
    }
    if (FFile.write(data) != data.size()) {
        FFailed = true;
        // The reason ("No space left on device"), before cancelling
        // replaces it with its own.
        FError = FFile.errorString();
        FFile.cancelWriting();
        return false;
    }
    return true;
}

bool TAtomicFile::Commit() {
    if (FFailed)
        return false;
    if (!FOpen && !Write(QByteArray()))
        return false;
    FOpen = false;
    return FFile.commit();
}

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    TAtomicFile file(path);
    if (file.Write(data) && file.Commit())
        return true;
    if (error)
        *error = file.ErrorString();
    return false;
}
