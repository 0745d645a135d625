#pragma once

#include <QString>
#include <QStringList>

// Localized resources live in resources/<localization>.lproj/<directory>/<name>.<type>.
class UTLocalizedResources {
public:
    // The path of the resource in the first localization that has it, trying the given
    // localizations in order and then "en", the localization the application is written in;
    // an empty string when none has it. Without a list, the user's interface languages are
    // tried ("de-CH" as "de_CH", then "de").
    static QString localizedPathForResource(const QString& name, const QString& type, const QString& directory,
                                            const QStringList& preferredLocalizations = QStringList());
    // The user's interface languages as localization names, most preferred first.
    static QStringList userLocalizations();
};
