#include "platform/AtomicFile.h"

TAtomicFile::TAtomicFile(const QString& path)
    : FFile(path) {}

bool TAtomicFile::Write(const QByteArray& data) {
    if (FFailed)
        return false;
    if (!FOpen) {
        FOpen = FFile.open(QIODevice::WriteOnly);
        if (!FOpen) {
            FFailed = true;
            return false;
        }
    }
    if (FFile.write(data) != data.size()) {
        FFailed = true;
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
