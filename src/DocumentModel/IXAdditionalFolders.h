#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

// The user's additional folders, kept in a document's option dictionary "additional_folders":
// "//folders//" lists the folder keys in order; each key holds a record with the folder's
// "path" and, when set, "selected", "files" (the registered files) and "datas" (their bytes
// by path); "//references//" maps a reference's id to the file it brought in.
//
// The operations work on the dictionary they are given (nothing for a null one); the
// document passes its own (IXDocumentNode::additionalFolders).
class IXAdditionalFolders {
public:
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
};
