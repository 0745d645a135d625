#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class IXDocumentNode;
class PLError;

// The map styles that ship in the "Styles" resource folder, listed in "docstyles.plist" (an
// array of dictionaries: "File" the archive's file name in that folder, "Name" the title the
// menus show, "Preview" a JPEG of a sample map in that style). A style archive is a zip of
// style-sheet parts: "document.styles.xml" becomes the masters of the document's sheet, and
// "mindmap.styles.xml" ... "timeline.styles.xml" those of the layout of that name; missing
// parts leave their sheet alone.
//
// An archive is read and checked whole (every entry's checksum, every sheet parsed without a
// schema complaint and holding all masters) before anything of it is applied, so a damaged one
// changes nothing; applied, it is one undo step.
class IXDocumentStyles {
public:
    struct Entry {
        QString file;
        QString name;
        QString preview;
    };

    // The shipped list, read once; entries without "File" are left out.
    static const QList<Entry>& stylesList();
    // The archive's path in the resources, or empty when it is not there.
    static QString pathForEntry(const Entry& entry);

    // The sheet parts in the order they are applied, the document's first.
    static const QList<QString>& partNames();
    // Applies the archive's sheets; false with the reason, and the map untouched, when any
    // part present is unreadable or not a complete style sheet, or nothing could be applied.
    static bool applyArchive(IXDocumentNode& document, const QByteArray& archive, PLError* error = nullptr);
};
