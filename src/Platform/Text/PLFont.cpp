#include "Platform/Text/PLFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>

#include <cmath>

namespace {

// PostScript family parts that are not the family name with its spaces taken out.
const struct {
    const char* postScript;
    const char* family;
} knownFamilies[] = {
    {"TimesNewRoman", "Times New Roman"},
    {"CourierNew", "Courier New"},
    {"Times", "Times"},
    {"HelveticaNeue", "Helvetica Neue"},
    {"LucidaGrande", "Lucida Grande"},
    {"ComicSans", "Comic Sans MS"},
    {"ComicSansMS", "Comic Sans MS"},
    {"Trebuchet", "Trebuchet MS"},
    {"TrebuchetMS", "Trebuchet MS"},
    {"ArialNarrow", "Arial Narrow"},
    {"ArialUnicode", "Arial Unicode MS"},
    {"ArialUnicodeMS", "Arial Unicode MS"},
    {"BookAntiqua", "Book Antiqua"},
    {"CenturyGothic", "Century Gothic"},
    {"GillSans", "Gill Sans"},
    {"AmericanTypewriter", "American Typewriter"},
    {"MarkerFelt", "Marker Felt"},
    {"LucidaConsole", "Lucida Console"},
    {"PalatinoLinotype", "Palatino Linotype"},
    {"SegoeUI", "Segoe UI"},
};

bool styleIsBold(const QString& style)
{
    static const char* const words[] = {"Bold", "Black", "Heavy", "Demi"};
    for (const char* word : words)
        if (style.contains(QLatin1String(word), Qt::CaseInsensitive)) return true;
    return false;
}

bool styleIsItalic(const QString& style)
{
    return style.contains(QLatin1String("Italic"), Qt::CaseInsensitive)
        || style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive) || style.endsWith(QLatin1String("It"))
        || style.contains(QLatin1String("Slanted"), Qt::CaseInsensitive);
}

QString stripPostScriptSuffix(QString part)
{
    for (const char* suffix : {"PSMT", "PS", "MT"}) {
        const QLatin1String s(suffix);
        if (part.size() > s.size() && part.endsWith(s)) {
            part.chop(s.size());
            break;
        }
    }
    return part;
}

// An installed family whose name without spaces is the given text, when an application
// with a font database is running.
QString installedFamilyFor(const QString& squeezed)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
    static const QHash<QString, QString> families = [] {
        QHash<QString, QString> map;
        for (const QString& family : QFontDatabase::families()) {
            QString key = family;
            key.remove(QLatin1Char(' '));
            map.insert(key.toLower(), family);
        }
        return map;
    }();
    return families.value(squeezed.toLower());
}

QString splitCamelCase(const QString& text)
{
    QString result;
    result.reserve(text.size() + 4);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (i > 0 && c.isUpper() && text.at(i - 1).isLower()) result += QLatin1Char(' ');
        result += c;
    }
    return result;
}

} // namespace

QString PLFont::familyFromName(const QString& name, bool* bold, bool* italic)
{
    // Line ends and other white space never belong in a name; runs of it count as one space.
    QString cleaned = name;
    for (QChar& c : cleaned)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
    const QString trimmed = cleaned.simplified();
    bool isBold = false;
    bool isItalic = false;
    QString family;
    if (trimmed.contains(QLatin1Char(' '))) {
        family = trimmed;
    } else {
        const int dash = trimmed.indexOf(QLatin1Char('-'));
        const QString familyPart = stripPostScriptSuffix(dash < 0 ? trimmed : trimmed.left(dash));
        const QString stylePart = dash < 0 ? QString() : stripPostScriptSuffix(trimmed.mid(dash + 1));
        isBold = styleIsBold(stylePart);
        isItalic = styleIsItalic(stylePart);
        for (const auto& known : knownFamilies) {
            if (familyPart == QLatin1String(known.postScript)) {
                family = QString::fromLatin1(known.family);
                break;
            }
        }
        if (family.isEmpty()) family = installedFamilyFor(familyPart);
        if (family.isEmpty()) {
            // Only a name that was plainly a PostScript name is split into words: family
            // names such as "OpenSymbol" are written without spaces too.
            const bool postScript = dash >= 0 || familyPart.size() != trimmed.size();
            family = postScript ? splitCamelCase(familyPart) : familyPart;
        }
    }
    // A family name may end with the style, as some writers put it ("Arial Bold"); the style
    // becomes traits, so that the family read from a written family is the same.
    static const char* const styles[] = {" Bold", " Italic", " Oblique", " Regular"};
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (const char* style : styles) {
            const QLatin1String s(style);
            if (family.size() > s.size() && family.endsWith(s, Qt::CaseInsensitive)) {
                isBold = isBold || styleIsBold(s);
                isItalic = isItalic || styleIsItalic(s);
                family.chop(s.size());
                family = family.trimmed();
                stripped = true;
            }
        }
    }
    family = family.simplified();
    if (bold) *bold = isBold;
    if (italic) *italic = isItalic;
    return family;
}

PLFont PLFont::fromName(const QString& name, double pointSize)
{
    PLFont font;
    font.family = familyFromName(name, &font.bold, &font.italic);
    font.pointSize = pointSize;
    return font;
}

QFont PLFont::toQFont() const
{
    QFont font;
    if (!family.isEmpty()) font.setFamilies({family});
    if (pointSize > 0) font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

PLFont PLFont::fromQFont(const QFont& font)
{
    const QStringList families = font.families();
    return PLFont(families.isEmpty() ? font.family() : families.first(), font.pointSizeF() > 0 ? font.pointSizeF() : 12.0,
                  font.weight() >= QFont::DemiBold, font.italic());
}
