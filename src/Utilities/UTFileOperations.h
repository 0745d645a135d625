#pragma once

#include <QFileDevice>
#include <QString>

#include <optional>

// Folder trees: creating every folder of a path, copying and removing whole trees. Symbolic
// links are copied and removed as links, never followed, so that neither operation reaches
// outside the tree it was given.
class UTFileOperations {
public:
    // True when every folder of the path exists or could be made, component by component
    // from the first; new folders get the permissions when given. False at the first folder
    // that cannot be made, and when a component exists but is not a folder.
    static bool createPathComponentsForPath(const QString& path,
                                            std::optional<QFileDevice::Permissions> permissions = std::nullopt);
    // False when the source does not exist. A file is copied (failing when the destination
    // exists); a folder is made at the destination when nothing is there and its entries are
    // copied into it one by one, stopping at the first failure. Copying a folder into itself
    // and special files (pipes, devices) are refused.
    static bool recursiveCopyPath(const QString& source, const QString& destination);
    // True when nothing is at the path; otherwise removes the folder's entries and then the
    // path itself, false at the first failure.
    static bool recursiveRemoveFileAtPath(const QString& path);
};
