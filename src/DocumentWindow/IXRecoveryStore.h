#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class PLError;

// Recovery copies of unsaved documents, kept beside the user's settings (the application's
// data folder, "Autosave"), never beside or over the user's files. Each copy is a native
// package "<id>.ixd" with a property list "<id>.plist" that names the document's file (empty
// for an untitled one), its display name and the time of the copy. A copy is removed when its
// document is saved or closed; copies left by a crash are offered at the next start.
struct IXRecoveryEntry {
    QString id;
    QString copyPath;
    QString originalPath;
    QString displayName;
    QDateTime date;
};

class IXRecoveryStore {
public:
    static QString folder();
    // Writes the copy through a temporary file, then its description. False with an error
    // when either cannot be written.
    static bool write(const QString& id, const QByteArray& data, const QString& originalPath,
                      const QString& displayName, PLError* error);
    // The copies whose package and description are both readable, newest first.
    static QList<IXRecoveryEntry> entries();
    static void remove(const QString& id);
};
