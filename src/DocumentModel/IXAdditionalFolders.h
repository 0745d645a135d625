#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

class IXPackageParts;

// The user's additional folders, kept in a document's option dictionary "additional_folders":
// "//folders//" lists the folder keys in order; each key holds a record with the folder's
// "path" and, when set, "selected", "files" (the registered files) and "datas" (their bytes
// by path); "//references//" maps a reference's id to the file it brought in.
//
// A document's folders (IXDocumentNode::additionalFolders) work on the dictionary kept with its
// package parts, read on first use; the static operations work on the dictionary they are given
// (nothing for a null one).
class IXAdditionalFolders {
public:
    explicit IXAdditionalFolders(IXPackageParts& parts) : m_parts(parts) {}
    IXAdditionalFolders(const IXAdditionalFolders&) = delete;
    IXAdditionalFolders& operator=(const IXAdditionalFolders&) = delete;

    // The dictionary itself; the reference stays valid as long as the parts.
    QVariantMap& info();
    // Replaces the dictionary (a copy of info() taken earlier restores it).
    void setInfo(const QVariantMap& info);
    QString addFolder(const QString& folderPath) { return addFolder(folderPath, &info()); }
    void removeFolder(const QString& key) { removeFolder(key, &info()); }
    QString addFilePath(const QString& filePath, const QString& referenceId = QString())
    {
        return addFilePath(filePath, QByteArray(), referenceId, &info());
    }
    // Forgets what the reference brought in.
    void removeReference(const QString& referenceId) { removeFilePath(QString(), referenceId, &info()); }
    void removeFilePath(const QString& filePath) { removeFilePath(filePath, QString(), &info()); }
    void dropKeysWithoutRecord() { dropKeysWithoutRecord(&info()); }

    static const QString FoldersKey;     // "//folders//"
    static const QString ReferencesKey;  // "//references//"

    // The key of the folder: an existing one with that path, else a new key, the shortest
    // tail of the path that no other folder uses (numbered when the path runs out).
    static QString addFolder(const QString& folderPath, QVariantMap* info);
    static void removeFolder(const QString& key, QVariantMap* info);
    // Registers the file (and its bytes, and the reference that brought it in) under its
    // folder's key; returns the key joined with the file name.
    static QString addFilePath(const QString& filePath, const QByteArray& data, const QString& referenceId,
                               QVariantMap* info);
    // Forgets the reference's entry (taking the file from it when none is given) and the file,
    // unless another reference still brought it in; a folder left without files and not
    // "selected" goes too.
    static void removeFilePath(const QString& filePath, const QString& referenceId, QVariantMap* info);
    // Shortens every key with files to the shortest tail not used by another folder.
    static void optimize(QVariantMap* info);
    // Takes from "//folders//" every key without a record.
    static void dropKeysWithoutRecord(QVariantMap* info);

private:
    IXPackageParts& m_parts;
};
