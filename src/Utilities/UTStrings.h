#pragma once

#include <QString>

// Helpers over the target paths of references and over paths within folders and packages.
// Paths use "/" as separator.
class UTStrings {
public:
    // A catalog-item target ("mmc:...") / a package-part target ("local:...").
    static bool isMMCPath(const QString& path);
    static bool isLocalPath(const QString& path);

    // path resolved against the folder base: each component is appended in turn, ".."
    // removes the last one (never climbing above the start), "." and empty components are
    // dropped. An absolute path starts from "/" instead of base. "../b/c.txt" against "/x/y"
    // gives "/x/b/c.txt".
    static QString stringByStandardizingPathForBasePath(const QString& path, const QString& base);
    // path relative to the folder base: one "../" for every component of base after the
    // common leading components, then path's remaining components. "/a/x/c" against "/a/y/c"
    // gives "../../x/c"; a path equal to base gives the empty text. An absolute path and a
    // relative base (or the reverse) share nothing, and path comes back unchanged.
    static QString stringByGeneratingRelativePathForBasePath(const QString& path, const QString& base);
    // The last component of a path; trailing "/" do not count and the root is "/".
    static QString lastPathComponent(const QString& path);
    // The path without its last component (the same rules): "/" for a file at the root,
    // empty for a single component.
    static QString stringByDeletingLastPathComponent(const QString& path);
    // Every run of control, white-space and line-ending characters becomes one space, and
    // there are none at either end.
    static QString stringByReplacingLineEndingsWithSpace(const QString& text);
};
