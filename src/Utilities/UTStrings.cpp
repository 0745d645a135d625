#include "Utilities/UTStrings.h"

#include <QStringList>

#include <algorithm>

namespace {
QStringList components(const QString& path)
{
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

bool isAbsolute(const QString& path)
{
    return path.startsWith(QLatin1Char('/'));
}

bool isSpaceLike(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control;
}
}

bool UTStrings::isMMCPath(const QString& path)
{
    return path.startsWith(QLatin1String("mmc:"));
}

bool UTStrings::isLocalPath(const QString& path)
{
    return path.startsWith(QLatin1String("local:"));
}

QString UTStrings::stringByStandardizingPathForBasePath(const QString& path, const QString& base)
{
    const bool absolute = isAbsolute(path) || isAbsolute(base);
    QStringList result = isAbsolute(path) ? QStringList() : components(base);
    for (const QString& component : components(path)) {
        if (component == QLatin1String(".")) continue;
        if (component == QLatin1String("..")) {
            if (!result.isEmpty()) result.removeLast();
            continue;
        }
        result.append(component);
    }
    const QString joined = result.join(QLatin1Char('/'));
    return absolute ? QLatin1Char('/') + joined : joined;
}

QString UTStrings::stringByGeneratingRelativePathForBasePath(const QString& path, const QString& base)
{
    if (isAbsolute(path) != isAbsolute(base)) return path;
    const QStringList p = components(path);
    const QStringList b = components(base);
    qsizetype common = 0;
    while (common < p.size() && common < b.size() && p[common] == b[common]) ++common;
    QString result = QStringLiteral("../").repeated(b.size() - common);
    result += p.mid(common).join(QLatin1Char('/'));
    return result;
}

QString UTStrings::lastPathComponent(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/'))) trimmed.chop(1);
    if (trimmed == QLatin1String("/")) return trimmed;
    return trimmed.section(QLatin1Char('/'), -1);
}

QString UTStrings::stringByDeletingLastPathComponent(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/'))) trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QString();
    if (slash == 0) return QStringLiteral("/");
    return trimmed.left(slash);
}

QString UTStrings::stringByReplacingLineEndingsWithSpace(const QString& text)
{
    QString result;
    result.reserve(text.size());
    bool pendingSpace = false;
    for (QChar c : text) {
        if (isSpaceLike(c)) {
            pendingSpace = !result.isEmpty();
            continue;
        }
        if (pendingSpace) result += QLatin1Char(' ');
        pendingSpace = false;
        result += c;
    }
    return result;
}
