#include "DocumentModel/IXAdditionalFolders.h"

#include "DocumentModel/IXPackageParts.h"
#include "Utilities/UTStrings.h"

#include <QStringList>

const QString IXAdditionalFolders::FoldersKey = QStringLiteral("//folders//");
const QString IXAdditionalFolders::ReferencesKey = QStringLiteral("//references//");

namespace {

const QString PathKey = QStringLiteral("path");
const QString FilesKey = QStringLiteral("files");
const QString DatasKey = QStringLiteral("datas");
const QString SelectedKey = QStringLiteral("selected");
// The option part the dictionary is saved as.
const QString OptionsName = QStringLiteral("additional_folders");

QStringList folderKeys(const QVariantMap& info)
{
    return info.value(IXAdditionalFolders::FoldersKey).toStringList();
}

QString keyOfFolderPath(const QVariantMap& info, const QString& folderPath)
{
    for (const QString& key : folderKeys(info)) {
        if (info.value(key).toMap().value(PathKey).toString() == folderPath) return key;
    }
    return QString();
}

} // namespace

QString IXAdditionalFolders::addFolder(const QString& folderPath, QVariantMap* foldersInfo)
{
    if (!foldersInfo || folderPath.isEmpty()) return QString();
    QVariantMap& info = *foldersInfo;
    QStringList keys = folderKeys(info);
    const QString existing = keyOfFolderPath(info, folderPath);
    if (!existing.isEmpty()) return existing;

    QString key = UTStrings::lastPathComponent(folderPath);
    QString rest = folderPath;
    for (;;) {
        rest = UTStrings::stringByDeletingLastPathComponent(rest);
        if (!keys.contains(key)) break;
        if (info.value(key).toMap().value(PathKey).toString() == folderPath) return key;
        if (rest.isEmpty() || rest == QLatin1String("/")) {
            // The path ran out and the key still belongs to another folder: number it, so
            // that the new folder never shares another folder's key and files.
            const QString base = key;
            for (int number = 2; keys.contains(key); ++number) key = base + QLatin1Char(' ') + QString::number(number);
            break;
        }
        key = UTStrings::lastPathComponent(rest) + QLatin1Char('/') + key;
    }
    keys.append(key);
    info.insert(FoldersKey, keys);
    info.insert(key, QVariantMap{{PathKey, folderPath}});
    return key;
}

void IXAdditionalFolders::removeFolder(const QString& key, QVariantMap* foldersInfo)
{
    if (!foldersInfo) return;
    QStringList keys = folderKeys(*foldersInfo);
    keys.removeAll(key);
    foldersInfo->insert(FoldersKey, keys);
    foldersInfo->remove(key);
}

QString IXAdditionalFolders::addFilePath(const QString& filePath, const QByteArray& data, const QString& referenceId,
                                         QVariantMap* foldersInfo)
{
    if (!foldersInfo || filePath.isEmpty()) return QString();
    const QString key = addFolder(UTStrings::stringByDeletingLastPathComponent(filePath), foldersInfo);
    if (key.isEmpty()) return QString();
    QVariantMap entry = foldersInfo->value(key).toMap();
    QStringList files = entry.value(FilesKey).toStringList();
    if (!files.contains(filePath)) {
        files.append(filePath);
        entry.insert(FilesKey, files);
    }
    if (!data.isNull()) {
        QVariantMap datas = entry.value(DatasKey).toMap();
        datas.insert(filePath, data);
        entry.insert(DatasKey, datas);
    }
    foldersInfo->insert(key, entry);
    if (!referenceId.isEmpty()) {
        QVariantMap references = foldersInfo->value(ReferencesKey).toMap();
        references.insert(referenceId, filePath);
        foldersInfo->insert(ReferencesKey, references);
    }
    return key + QLatin1Char('/') + UTStrings::lastPathComponent(filePath);
}

void IXAdditionalFolders::removeFilePath(const QString& filePath, const QString& referenceId, QVariantMap* foldersInfo)
{
    if (!foldersInfo) return;
    QString path = filePath;
    if (!referenceId.isEmpty()) {
        QVariantMap references = foldersInfo->value(ReferencesKey).toMap();
        if (path.isEmpty()) path = references.value(referenceId).toString();
        if (references.remove(referenceId) > 0) foldersInfo->insert(ReferencesKey, references);
        // Another reference that brought in the same file (a copy, a second link) still
        // needs it: only the reference's own entry goes.
        for (auto it = references.constBegin(); it != references.constEnd(); ++it) {
            if (!path.isEmpty() && it.value().toString() == path) return;
        }
    }
    if (path.isEmpty()) return;
    const QString key = keyOfFolderPath(*foldersInfo, UTStrings::stringByDeletingLastPathComponent(path));
    if (key.isEmpty()) return;
    QVariantMap entry = foldersInfo->value(key).toMap();
    QStringList files = entry.value(FilesKey).toStringList();
    files.removeAll(path);
    entry.insert(FilesKey, files);
    foldersInfo->insert(key, entry);
    if (files.isEmpty() && entry.value(SelectedKey).toInt() == 0) removeFolder(key, foldersInfo);
}

void IXAdditionalFolders::optimize(QVariantMap* foldersInfo)
{
    if (!foldersInfo) return;
    QStringList keys = folderKeys(*foldersInfo);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QStringList components = keys[i].split(QLatin1Char('/'));
        while (components.size() >= 2
               && !foldersInfo->value(keys[i]).toMap().value(FilesKey).toStringList().isEmpty()) {
            components.removeFirst();
            const QString shorter = components.join(QLatin1Char('/'));
            if (keys.contains(shorter)) break;
            foldersInfo->insert(shorter, foldersInfo->take(keys[i]));
            keys[i] = shorter;
        }
    }
    foldersInfo->insert(FoldersKey, keys);
}

void IXAdditionalFolders::dropKeysWithoutRecord(QVariantMap* foldersInfo)
{
    if (!foldersInfo || !foldersInfo->contains(FoldersKey)) return;
    QStringList keys = folderKeys(*foldersInfo);
    keys.removeIf([foldersInfo](const QString& key) { return !foldersInfo->contains(key); });
    foldersInfo->insert(FoldersKey, keys);
}

QVariantMap& IXAdditionalFolders::info()
{
    return m_parts.optionsForName(OptionsName);
}

void IXAdditionalFolders::setInfo(const QVariantMap& info)
{
    m_parts.setOptions(info, OptionsName);
}
