#include "Utilities/UTLocalizedResources.h"

#include "Platform/System/PLResources.h"

#include <QLocale>

QStringList UTLocalizedResources::userLocalizations()
{
    QStringList result;
    for (QString language : QLocale::system().uiLanguages()) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (!result.contains(language)) result.append(language);
        const QString base = language.section(QLatin1Char('_'), 0, 0);
        if (!result.contains(base)) result.append(base);
    }
    return result;
}

QString UTLocalizedResources::localizedPathForResource(const QString& name, const QString& type,
                                                       const QString& directory,
                                                       const QStringList& preferredLocalizations)
{
    QStringList localizations = preferredLocalizations.isEmpty() ? userLocalizations() : preferredLocalizations;
    if (!localizations.contains(QLatin1String("en"))) localizations.append(QStringLiteral("en"));
    const QString fileName = type.isEmpty() ? name : name + QLatin1Char('.') + type;
    for (const QString& localization : localizations) {
        if (localization.isEmpty() || localization.contains(QLatin1Char('/'))) continue;
        QString folder = localization + QLatin1String(".lproj");
        if (!directory.isEmpty()) folder += QLatin1Char('/') + directory;
        const QString path = PLResources::pathFor(fileName, folder);
        if (!path.isEmpty()) return path;
    }
    return QString();
}
