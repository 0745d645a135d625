#include "DocumentWindow/IXSafeSave.h"

#include <QCoreApplication>
#include <QSaveFile>

bool IXSafeSave::write(const QString& path, const QByteArray& data, QString* failure)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (failure) *failure = file.errorString();
        return false;
    }
    const qint64 written = file.write(data);
    if (written != data.size()) {
        if (failure) {
            *failure = QCoreApplication::translate("IXDocument", "The disk took only %1 of %2 bytes.")
                           .arg(std::max<qint64>(written, 0))
                           .arg(data.size());
        }
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (failure) *failure = file.errorString();
        return false;
    }
    return true;
}
