#pragma once

#include <QString>

// Finds the files that ship in resources/. An installed program (<prefix>/bin) finds them in
// <prefix>/share/ideaflux; then come a "resources" folder beside the executable, the
// "resources" link of the build folder the program was built in, and the desktop's data
// folders ($XDG_DATA_HOME and $XDG_DATA_DIRS, each with "ideaflux"). Tests point it at the
// source tree.
class PLResources {
public:
    static QString directory();
    static void setDirectory(const QString& path);
    // The resources of a program whose executable is in the folder, in the order above; a
    // folder counts only when it holds the string tables. Empty when none is found.
    static QString directoryForExecutableIn(const QString& executableDirectory);

    // The path of resources/<subdirectory>/<name>, or an empty string when no such file exists.
    static QString pathFor(const QString& name, const QString& subdirectory = QString());
};
