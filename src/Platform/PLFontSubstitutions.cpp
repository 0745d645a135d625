#include "Platform/PLFontSubstitutions.h"

#include <QFont>

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
