#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The document types the application declares: the native package, which is the only type
// written, and the files imported into new native documents. Type names are compared exactly
// (case-sensitive); file extensions case-insensitively.
struct IXDocumentType {
    QString name;
    // Extensions without the dot, the first one being the one written.
    QStringList extensions;
    // Only the native type is written (by a save, and so by autosave).
    bool writable = false;
    // The desktop's MIME type of the files, which the installed launcher declares for the
    // types the program can open.
    QString mimeType;
};

class IXDocumentTypes {
public:
    static const QString Native;          // "Ideaflux Document", ".ixd"
    static const QString WindowsProject;  // "Ideaflux Windows Document", ".ixp"
    static const QString Word2007;        // "MS Word 2007 Document", ".docx"
    static const QString PowerPoint2007;  // "MS PowerPoint 2007 Document", ".pptx"
    static const QString WordBinary;      // "MS Word Document", ".doc"

    static const QList<IXDocumentType>& all();
    static std::optional<IXDocumentType> typeNamed(const QString& name);
    // The type whose extensions hold the path's suffix; nothing for an unknown suffix.
    static std::optional<IXDocumentType> typeForPath(const QString& path);
    static bool isWritable(const QString& name);
    // The extensions of the native type and of every type with an installed importer, for
    // open panels.
    static QStringList readableExtensions();
    // The MIME types of the same types, in the same order.
    static QStringList readableMimeTypes();
};
