#include "Platform/Text/PLFontNames.h"

#include "Platform/Text/PLFont.h"
#include "Platform/Text/PLFontSubstitutions.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace {

using Face = PLFontNames::Face;

struct StyleSuffix {
    const char* text;
    bool bold;
    bool italic;
};
// Longest first, so that "BoldItalic" is not taken for "Italic".
constexpr StyleSuffix StyleSuffixes[] = {
    {"BoldItalic", true, true}, {"BoldOblique", true, true}, {"Bold", true, false},   {"Italic", false, true},
    {"Oblique", false, true},   {"Regular", false, false},   {"Roman", false, false}, {"Plain", false, false},
};

bool isInstalled(const QString& family)
{
    if (family.isEmpty()) return false;
    if (QFontDatabase::hasFamily(family)) return true;
    const QStringList substitutes = QFont::substitutes(family);
    return std::any_of(substitutes.begin(), substitutes.end(),
                       [](const QString& substitute) { return QFontDatabase::hasFamily(substitute); });
}

// The family itself when installed, else its installed substitute, else nothing.
QString installedFamily(const QString& family)
{
    if (isInstalled(family)) return family;
    const QString substitute = PLFontSubstitutions::substituteFor(family);
    return isInstalled(substitute) ? substitute : QString();
}

// The installed font whose PostScript name this is.
std::optional<Face> faceForPostScriptName(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char(' '))) return std::nullopt;
    const QByteArray utf8 = name.toUtf8();
    const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
    const std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
        FcObjectSetBuild(FC_FAMILY, FC_WEIGHT, FC_SLANT, nullptr), FcObjectSetDestroy);
    if (!pattern || !objects) return std::nullopt;
    FcPatternAddString(pattern.get(), FC_POSTSCRIPT_NAME, reinterpret_cast<const FcChar8*>(utf8.constData()));
    const std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> fonts(FcFontList(nullptr, pattern.get(), objects.get()),
                                                                       FcFontSetDestroy);
    if (!fonts || fonts->nfont < 1) return std::nullopt;
    FcPattern* font = fonts->fonts[0];
    FcChar8* family = nullptr;
    if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch || !family) return std::nullopt;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    return Face{QString::fromUtf8(reinterpret_cast<const char*>(family)), weight >= FC_WEIGHT_DEMIBOLD, slant != FC_SLANT_ROMAN};
}

// "Family-Style", as styles write a font's name.
std::optional<Face> faceForFamilyAndStyle(const QString& name)
{
    const qsizetype dash = name.lastIndexOf(QLatin1Char('-'));
    if (dash <= 0) return std::nullopt;
    const QString style = name.mid(dash + 1);
    for (const StyleSuffix& suffix : StyleSuffixes) {
        if (!style.startsWith(QLatin1String(suffix.text), Qt::CaseInsensitive)) continue;
        const QString family = installedFamily(name.left(dash));
        if (family.isEmpty()) return std::nullopt;
        return Face{family, suffix.bold, suffix.italic};
    }
    return std::nullopt;
}

std::optional<Face> resolve(const QString& name)
{
    if (isInstalled(name)) return Face{name};
    if (std::optional<Face> face = faceForPostScriptName(name)) return face;
    if (std::optional<Face> face = faceForFamilyAndStyle(name)) return face;
    // A PostScript name of a font that is not installed: its family, or that family's substitute.
    Face face;
    face.family = installedFamily(PLFont::familyFromName(name, &face.bold, &face.italic));
    if (face.family.isEmpty()) return std::nullopt;
    return face;
}

} // namespace

std::optional<PLFontNames::Face> PLFontNames::faceForName(const QString& name)
{
    // Without a font database there is no installed font to find.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return std::nullopt;
    static QMutex mutex;
    static QHash<QString, std::optional<Face>> cache;
    // Names come from files: the cache starts afresh rather than growing without bound.
    constexpr qsizetype MaximumCached = 1000;
    {
        const QMutexLocker locker(&mutex);
        const auto found = cache.constFind(name);
        if (found != cache.cend()) return *found;
    }
    const std::optional<Face> face = resolve(name);
    const QMutexLocker locker(&mutex);
    if (cache.size() >= MaximumCached) cache.clear();
    cache.insert(name, face);
    return face;
}

bool PLFontNames::hasFamily(const QString& family)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
    return !installedFamily(family).isEmpty();
}
