#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// The kinds of attached files by file extension, from the resource "RefFileTypes.plist": a
// dictionary from the groups "IMAGE", "VIDEO", "SOUND", "FLASH" and "TEXT" (other groups are
// allowed) to arrays of extensions. Also asks the user for a file of a kind.
class IXReferenceTypeManager {
public:
    // The attachment subtype of a file extension, compared ignoring case: 6 picture ("IMAGE"),
    // 7 video, 8 sound, 9 flash, 5 text; 2 (any file) for an extension of another group or
    // of none. Groups are visited in the order of their names.
    static int referenceTypeForFileType(const QString& extension);
    // The extensions of the group of a subtype (5-9); nothing for other subtypes, which
    // allow any file.
    static std::optional<QStringList> fileTypesForReferenceType(int subtype);
    // Asks the user for one file of the subtype in an open panel that starts in the folder
    // last used ("IXLastPictureFolder" for subtype 2, "IXLastResourceFolder" otherwise) and
    // remembers the panel's folder. The chosen path, or an empty string when the user
    // cancelled or no application services are installed.
    static QString choosePathForType(int subtype);

    // The groups as read from the resource (empty when it is missing or unreadable); read
    // once.
    static const QVariantMap& fileTypeGroups();
};
