#include "DocumentWindow/IXRecoveryStore.h"

#include "DocumentWindow/IXSafeSave.h"
#include "DocumentWindow/IXShellErrors.h"
#include "Platform/Core/PLError.h"
#include "Platform/XML/PLPropertyList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimeZone>

#include <algorithm>

namespace {

const QString OriginalPathKey = QStringLiteral("OriginalPath");
const QString DisplayNameKey = QStringLiteral("DisplayName");
const QString DateKey = QStringLiteral("Date");

} // namespace

QString IXRecoveryStore::folder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("Autosave"));
}

bool IXRecoveryStore::write(const QString& id, const QByteArray& data, const QString& originalPath,
                            const QString& displayName, PLError* error)
{
    const QDir dir(folder());
    QString failure;
    if (!QDir().mkpath(dir.path())) {
        failure = QCoreApplication::translate("IXDocument", "The folder “%1” cannot be created.").arg(dir.path());
    } else {
        // Property lists keep whole seconds.
        const QVariantMap info = {{OriginalPathKey, originalPath},
                                  {DisplayNameKey, displayName},
                                  {DateKey, QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), QTimeZone::utc())}};
        PLError listError;
        const QByteArray description = PLPropertyList::write(info, &listError);
        if (description.isEmpty()) {
            failure = listError.localizedDescription();
        } else if (IXSafeSave::write(dir.filePath(id + QStringLiteral(".ixd")), data, &failure)
                   && IXSafeSave::write(dir.filePath(id + QStringLiteral(".plist")), description, &failure)) {
            return true;
        }
    }
    PLSetError(error, IXShellErrors::error(
                          QCoreApplication::translate("IXDocument", "The recovery copy of “%1” could not be written.").arg(displayName),
                          failure));
    return false;
}

QList<IXRecoveryEntry> IXRecoveryStore::entries()
{
    QList<IXRecoveryEntry> result;
    const QDir dir(folder());
    for (const QFileInfo& description : dir.entryInfoList({QStringLiteral("*.plist")}, QDir::Files)) {
        QFile file(description.filePath());
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QVariantMap info = PLPropertyList::read(file.readAll()).toMap();
        IXRecoveryEntry entry;
        entry.id = description.completeBaseName();
        entry.copyPath = dir.filePath(entry.id + QStringLiteral(".ixd"));
        if (info.isEmpty() || !QFileInfo(entry.copyPath).isFile()) continue;
        entry.originalPath = info.value(OriginalPathKey).toString();
        entry.displayName = info.value(DisplayNameKey).toString();
        entry.date = info.value(DateKey).toDateTime();
        result += entry;
    }
    std::stable_sort(result.begin(), result.end(), [](const IXRecoveryEntry& a, const IXRecoveryEntry& b) { return a.date > b.date; });
    return result;
}

void IXRecoveryStore::remove(const QString& id)
{
    if (id.isEmpty()) return;
    const QDir dir(folder());
    QFile::remove(dir.filePath(id + QStringLiteral(".ixd")));
    QFile::remove(dir.filePath(id + QStringLiteral(".plist")));
}
