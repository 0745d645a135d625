#include "Platform/Text/PLFontSubstitutions.h"

#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QString>

namespace {

const struct {
    const char* family;
    const char* replacement;
} Substitutions[] = {
    {"Arial", "Liberation Sans"},
    {"Arial Narrow", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Helvetica Neue", "Liberation Sans"},
    {"Lucida Grande", "Liberation Sans"},
    {"Lucida Sans", "Liberation Sans"},
    {"Calibri", "Liberation Sans"},
    {"Segoe UI", "Liberation Sans"},
    {"Verdana", "DejaVu Sans"},
    {"Tahoma", "DejaVu Sans"},
    {"Geneva", "DejaVu Sans"},
    {"Times", "Liberation Serif"},
    {"Times New Roman", "Liberation Serif"},
    {"Cambria", "Liberation Serif"},
    {"Georgia", "DejaVu Serif"},
    {"Palatino", "DejaVu Serif"},
    {"Palatino Linotype", "DejaVu Serif"},
    {"Book Antiqua", "DejaVu Serif"},
    {"Courier", "Liberation Mono"},
    {"Courier New", "Liberation Mono"},
    {"Monaco", "DejaVu Sans Mono"},
    {"Menlo", "DejaVu Sans Mono"},
    {"Consolas", "DejaVu Sans Mono"},
    {"Lucida Console", "DejaVu Sans Mono"},
};

} // namespace

void PLFontSubstitutions::install()
{
    for (const auto& entry : Substitutions) {
        QFont::removeSubstitutions(QString::fromLatin1(entry.family));
        QFont::insertSubstitution(QString::fromLatin1(entry.family), QString::fromLatin1(entry.replacement));
    }
}

QString PLFontSubstitutions::substituteFor(const QString& family)
{
    for (const auto& entry : Substitutions) {
        if (family.compare(QLatin1String(entry.family), Qt::CaseInsensitive) == 0) return QString::fromLatin1(entry.replacement);
    }
    return QString();
}

QString PLFontSubstitutions::availableFamily(const QString& family)
{
    static const QString fallback = QStringLiteral("Liberation Sans");
    if (family.isEmpty()) return fallback;
    // The font database is slow to ask; families do not come and go while the program runs.
    // Texts are laid out on worker threads too: each thread keeps what it asked for.
    thread_local QHash<QString, QString> threadKnown;
    if (auto found = threadKnown.constFind(family); found != threadKnown.constEnd()) return *found;
    static QMutex mutex;
    static QHash<QString, QString> known;
    const QMutexLocker locker(&mutex);
    auto found = known.constFind(family);
    if (found != known.constEnd()) return threadKnown[family] = *found;
    QString result = family;
    if (!QFontDatabase::hasFamily(family) && QFont::substitutes(family).isEmpty()) {
        // Keep the kind of face the name tells, where it tells one.
        const auto has = [&](const char* word) { return family.contains(QLatin1String(word), Qt::CaseInsensitive); };
        if (has("mono") || has("courier") || has("typewriter"))
            result = QStringLiteral("Liberation Mono");
        else if ((has("serif") && !has("sans")) || has("roman"))
            result = QStringLiteral("Liberation Serif");
        else
            result = fallback;
    }
    return threadKnown[family] = *known.insert(family, result);
}
