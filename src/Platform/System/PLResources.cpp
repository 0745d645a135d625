#include "Platform/System/PLResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& overrideDirectory()
{
    static QString path;
    return path;
}

// A folder of resources and not some other folder of that name: it holds the string tables.
bool holdsResources(const QString& folder)
{
    return QFileInfo(folder + QStringLiteral("/Strings/Localizable.json")).isFile();
}
}

QString PLResources::directoryForExecutableIn(const QString& executableDirectory)
{
    // The installed layout first: in a build tree it does not exist, and an installed program
    // must not prefer a build tree that happens to be left on the machine.
    QStringList candidates = {
        executableDirectory + QStringLiteral("/../share/ideaflux"),
        executableDirectory + QStringLiteral("/resources"),
#ifdef IX_BUILD_RESOURCES_DIR
        QStringLiteral(IX_BUILD_RESOURCES_DIR),
#endif
    };
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates += data + QStringLiteral("/ideaflux");
    for (const QString& candidate : candidates) {
        if (holdsResources(candidate)) return QDir(candidate).canonicalPath();
    }
    return QString();
}

QString PLResources::directory()
{
    if (!overrideDirectory().isEmpty()) return overrideDirectory();
    static const QString found = directoryForExecutableIn(
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath());
    return found;
}

void PLResources::setDirectory(const QString& path)
{
    overrideDirectory() = path;
}

QString PLResources::pathFor(const QString& name, const QString& subdirectory)
{
    const QString base = directory();
    if (base.isEmpty() || name.isEmpty()) return QString();
    // Only plain names are resources: nothing outside the resources folder is ever reached.
    if (name.contains(QLatin1Char('/')) || name == QLatin1String("..") || subdirectory.contains(QLatin1String("..")))
        return QString();
    const QString path = subdirectory.isEmpty() ? base + QLatin1Char('/') + name
                                                : base + QLatin1Char('/') + subdirectory + QLatin1Char('/') + name;
    return QFileInfo::exists(path) ? path : QString();
}
