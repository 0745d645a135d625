#include "Platform/PLFontSubstitutions.h"

#include <QFont>
#include <QString>

void PLFontSubstitutions::install()
{
    static const struct {
        const char* family;
        const char* replacement;
    } table[] = {
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"Helvetica Neue", "Liberation Sans"},
        {"Lucida Grande", "Liberation Sans"},
        {"Times", "Liberation Serif"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier", "Liberation Mono"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& entry : table) {
        QFont::removeSubstitutions(QString::fromLatin1(entry.family));
        QFont::insertSubstitution(QString::fromLatin1(entry.family), QString::fromLatin1(entry.replacement));
    }
}
