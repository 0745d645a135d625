#pragma once

#include <QString>

// Pins the families that documents name to the metric-compatible or look-alike fonts that ship
// with the project's dependencies, so text measures the same on every machine whatever else is
// installed: the common Mac and Windows sans-serif, serif and monospaced families go to the
// Liberation families (Arial, Helvetica -> Liberation Sans; Times, Times New Roman ->
// Liberation Serif; Courier, Courier New -> Liberation Mono) and to DejaVu where Liberation
// has no match (Verdana, Tahoma, Geneva -> DejaVu Sans; Georgia -> DejaVu Serif; Monaco,
// Menlo, Consolas -> DejaVu Sans Mono).
class PLFontSubstitutions {
public:
    // Safe to call more than once; needs a QGuiApplication.
    static void install();
    // The family that stands in for this one (case-insensitive), or empty when none does.
    static QString substituteFor(const QString& family);

    // The family to lay text out in for a family a text names: the family itself when it is
    // installed or pinned above, else Liberation Mono for names of monospaced faces ("Mono",
    // "Courier", "Typewriter"), Liberation Serif for serif faces ("Serif" without "Sans",
    // "Roman"), and Liberation Sans for the others and for the empty default family.
    // Thread-safe.
    static QString availableFamily(const QString& family);
};
