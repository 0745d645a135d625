#pragma once

#include <QByteArray>
#include <QString>

// Writes a file so that the old one is replaced only by a complete new one: the bytes go to a
// temporary file beside the target, which is renamed over it once every byte is written and
// flushed; on any failure the temporary file is removed and the target is untouched.
//
// Writes are unbuffered and their counts checked: a buffered save file reports success when
// the file system takes only part of the bytes (a full disk, a file size limit).
class IXSafeSave {
public:
    // False with the file system's explanation in failure.
    static bool write(const QString& path, const QByteArray& data, QString* failure);
};
