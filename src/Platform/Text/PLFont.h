#pragma once

#include <QString>

class QFont;

// A font as rich text keeps it: a family, a size in points and the bold and italic traits.
// An empty family means the reader's default family (text that set only a size or a trait).
struct PLFont {
    QString family;
    double pointSize = 12.0;
    bool bold = false;
    bool italic = false;

    PLFont() = default;
    PLFont(QString fam, double size, bool isBold = false, bool isItalic = false)
        : family(std::move(fam)), pointSize(size), bold(isBold), italic(isItalic)
    {
    }

    bool operator==(const PLFont&) const = default;

    // A font from a name as documents give it: a PostScript name such as "Arial-BoldMT" or
    // "TimesNewRomanPSMT" becomes its family with the traits its style names, a family name
    // such as "Times New Roman" is kept as it is.
    static PLFont fromName(const QString& name, double pointSize);
    // The family part of a font name (see fromName); bold and italic are set from its style.
    static QString familyFromName(const QString& name, bool* bold = nullptr, bool* italic = nullptr);

    QFont toQFont() const;
    static PLFont fromQFont(const QFont& font);
};
