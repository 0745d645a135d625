#pragma once

#include "Platform/Drawing/PLColor.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <span>

// Text forms of numbers and colours as they are stored in style sheets, XML attributes and
// option files, and packed integer colours. Every form is independent of the locale: a
// decimal point is always ".", never ",".
class UTConversions {
public:
    static QString stringFromUInt(unsigned value);
    static QString stringFromInt(int value);

    // The float with four decimals, trailing zeros and then a trailing point removed: 1.5,
    // 2, 0.3333, -0.5. A NaN or infinity is written as 0 (no reader would take it back).
    static QString ftoa(float value);
    // The float rounded to a whole number as printf's "%.0f" does (halves to even): 11 for
    // 10.6, -3 for -3.2. A NaN or infinity is written as 0.
    static QString stringFromRoundedFloat(float value);

    // Reads out.size() floats from text: where text remains a float is read at the current
    // place (0 when none can be read there) and reading moves on to the next character among
    // "0123456789.+-"; once the text is exhausted every further value is `missing` (a text
    // without any of those characters is exhausted from the start). Leading
    // white space before a number is skipped, an embedded NUL ends the text, and a number
    // that is not finite or out of float range reads as 0.
    static void parseFloats(QByteArrayView text, std::span<float> out, float missing);

    // The colour text form: RGB components joined by "," (alpha only when not opaque),
    // "g:" white and alpha, "cmyk:" five components, each written with ftoa. No colour gives
    // a null string.
    static QString stringFromColor(const PLColor& color);
    // Reads the colour text form. The space comes from the prefix ("rgb:" or none for RGB,
    // "g:" grey, "cm..." CMYK); missing components are 1. Text that is not ASCII gives no
    // colour, as does a null string.
    static PLColor colorFromString(QStringView text);

    // Six upper-case hexadecimal digits RRGGBB, each channel truncated from component x 255.
    // No colour gives the empty string.
    static QString hexRGBFromColor(const PLColor& color);
    // An opaque RGB colour from the leading hexadecimal number of text (an optional "0x"
    // after leading white space, at most 39 characters read, the value saturating at 32
    // bits, its low 24 bits used). The empty text gives no colour.
    static PLColor colorFromHexRGB(QStringView text);

    // Packed colours, 8 bits per channel, each channel the component x 255 rounded.
    static PLColor colorWithRawARGB(std::uint32_t argb);
    static std::uint32_t rawARGB(const PLColor& color);
    static PLColor colorWithRawRGB(std::uint32_t rgb);
    static std::uint32_t rawRGB(const PLColor& color);
};
