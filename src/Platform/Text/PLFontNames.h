#pragma once

#include <QString>

#include <optional>

// Finds the installed face that a font name as stored files carry it stands for: a family
// name ("Times New Roman"), a family with a style as styles write it ("Liberation Sans-Bold")
// or a PostScript name ("ArialMT", "TimesNewRomanPSMT", "Helvetica-Bold", "LucidaGrande").
// PostScript names are looked up among the installed fonts through fontconfig; a family that
// is not installed is replaced by its substitute (PLFontSubstitutions). Results are cached;
// safe from any thread.
class PLFontNames {
public:
    struct Face {
        QString family;
        bool bold = false;
        bool italic = false;
        bool operator==(const Face&) const = default;
    };

    // The installed face, or nothing when neither the name nor a substitute is installed.
    static std::optional<Face> faceForName(const QString& name);
    // Whether a family (or its substitute) is installed.
    static bool hasFamily(const QString& family);
};
