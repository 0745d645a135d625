#pragma once

#include <QString>

// Finds the files that ship in resources/: next to the executable ("resources" beside it, or
// "../share/ideaflux/resources" for an installed copy). Tests point it at the source tree.
class PLResources {
public:
    static QString directory();
    static void setDirectory(const QString& path);

    // The path of resources/<subdirectory>/<name>, or an empty string when no such file exists.
    static QString pathFor(const QString& name, const QString& subdirectory = QString());
};
