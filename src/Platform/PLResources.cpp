#include "Platform/PLResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString& overrideDirectory()
{
    static QString path;
    return path;
}

QString searchNearExecutable()
{
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    const QString candidates[] = {
        exeDir + QStringLiteral("/resources"),
        exeDir + QStringLiteral("/../resources"),
        exeDir + QStringLiteral("/../share/ideaflux/resources"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isDir()) return QDir(candidate).canonicalPath();
    }
    return QString();
}
}

QString PLResources::directory()
{
    if (!overrideDirectory().isEmpty()) return overrideDirectory();
    static const QString found = searchNearExecutable();
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
