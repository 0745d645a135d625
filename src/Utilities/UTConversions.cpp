#include "Utilities/UTConversions.h"

#include <QByteArray>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {
bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isNumberCharacter(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-';
}

// One float at p, as the C library would read it in the C locale (leading white space,
// optional sign, decimal digits with point and exponent). p moves past what was read and
// stays when nothing could be read. Values that are not finite read as 0.
float readFloat(const char*& p, const char* end)
{
    const char* s = p;
    while (s < end && isCSpace(*s)) ++s;
    bool negative = false;
    if (s < end && (*s == '+' || *s == '-')) {
        negative = *s == '-';
        ++s;
    }
    if (s == end || *s == '+' || *s == '-') return 0;
    float value = 0;
    const auto [next, status] = std::from_chars(s, end, value, std::chars_format::general);
    if (next == s) return 0;
    p = next;
    if (status != std::errc() || !std::isfinite(value)) return 0;
    return negative ? -value : value;
}

// The text up to its first NUL, as a C string would end there.
QByteArrayView cString(QByteArrayView text)
{
    const qsizetype nul = text.indexOf('\0');
    return nul < 0 ? text : text.first(nul);
}

int hexDigit(char16_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int channel(float component)
{
    return int(std::lround(component * 255.0f));
}

QString fixed(double value, int decimals, bool trimZeros)
{
    if (!std::isfinite(value)) value = 0;
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    char* end = result.ptr;
    if (trimZeros && std::memchr(buffer, '.', size_t(end - buffer))) {
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
    }
    return QString::fromLatin1(buffer, end - buffer);
}
}

QString UTConversions::stringFromUInt(unsigned value)
{
    return QString::number(value);
}

QString UTConversions::stringFromInt(int value)
{
    return QString::number(value);
}

QString UTConversions::ftoa(float value)
{
    return fixed(value, 4, true);
}

QString UTConversions::stringFromRoundedFloat(float value)
{
    return fixed(value, 0, false);
}

void UTConversions::parseFloats(QByteArrayView text, std::span<float> out, float missing)
{
    text = cString(text);
    const char* p = text.data();
    const char* const end = p + text.size();
    // A text without any number character counts as exhausted from the start, so that a
    // colour text without numbers reads as all 1s.
    if (std::none_of(p, end, isNumberCharacter)) p = end;
    for (float& value : out) {
        if (p == end) {
            value = missing;
            continue;
        }
        const char* before = p;
        value = readFloat(p, end);
        // Always move on, so that a stray sign or point cannot stall the reading.
        if (p == before) ++p;
        while (p < end && !isNumberCharacter(*p)) ++p;
    }
}

QString UTConversions::stringFromColor(const PLColor& color)
{
    if (color.isNull()) return QString();
    QString prefix;
    int count = color.componentCount();
    switch (color.space()) {
    case PLColor::Space::Grey: prefix = QStringLiteral("g:"); break;
    case PLColor::Space::CMYK: prefix = QStringLiteral("cmyk:"); break;
    case PLColor::Space::RGB:
        if (color.alpha() > 0.9999f) count = 3;
        break;
    case PLColor::Space::None: break;
    }
    QString text = prefix;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += QLatin1Char(',');
        text += ftoa(color.component(i));
    }
    return text;
}

PLColor UTConversions::colorFromString(QStringView text)
{
    if (text.isNull()) return PLColor();
    QByteArray ascii;
    ascii.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() > 0x7F) return PLColor();
        ascii.append(char(c.unicode()));
    }
    const QByteArrayView bytes = cString(ascii);

    PLColor::Space space = PLColor::Space::RGB;
    if (bytes.startsWith("rgb:")) space = PLColor::Space::RGB;
    else if (bytes.startsWith("g:")) space = PLColor::Space::Grey;
    else if (bytes.startsWith("cm")) space = PLColor::Space::CMYK;

    const qsizetype colon = bytes.indexOf(':');
    const QByteArrayView numbers = colon < 0 ? bytes : bytes.sliced(colon + 1);
    float c[5] = {};
    switch (space) {
    case PLColor::Space::Grey:
        parseFloats(numbers, std::span(c, 2), 1.0f);
        return PLColor::grey(c[0], c[1]);
    case PLColor::Space::CMYK:
        parseFloats(numbers, std::span(c, 5), 1.0f);
        return PLColor::cmyk(c[0], c[1], c[2], c[3], c[4]);
    default:
        parseFloats(numbers, std::span(c, 4), 1.0f);
        return PLColor::rgb(c[0], c[1], c[2], c[3]);
    }
}

QString UTConversions::hexRGBFromColor(const PLColor& color)
{
    if (color.isNull()) return QString(QLatin1String(""));
    const PLColor rgb = color.toRGB();
    QString text;
    for (int i = 0; i < 3; ++i) {
        const int value = int(rgb.component(i) * 255.0f); // truncated, not rounded
        text += QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

PLColor UTConversions::colorFromHexRGB(QStringView text)
{
    if (text.isEmpty()) return PLColor();
    text = text.first(std::min<qsizetype>(text.size(), 39));
    qsizetype i = 0;
    while (i < text.size() && text[i].unicode() < 0x80 && isCSpace(char(text[i].unicode()))) ++i;
    if (i + 2 < text.size() && text[i] == QLatin1Char('0') && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))
        && hexDigit(text[i + 2].unicode()) >= 0)
        i += 2;
    std::uint64_t value = 0;
    for (int digit; i < text.size() && (digit = hexDigit(text[i].unicode())) >= 0; ++i)
        value = std::min<std::uint64_t>(value * 16 + unsigned(digit), 0xFFFFFFFFu);
    return colorWithRawRGB(std::uint32_t(value) & 0xFFFFFF);
}

PLColor UTConversions::colorWithRawARGB(std::uint32_t argb)
{
    return PLColor::rgb(float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f,
                        float(argb & 0xFF) / 255.0f, float((argb >> 24) & 0xFF) / 255.0f);
}

std::uint32_t UTConversions::rawARGB(const PLColor& color)
{
    if (color.isNull()) return 0;
    const PLColor c = color.toRGB();
    return std::uint32_t(channel(c.alpha())) << 24 | std::uint32_t(channel(c.component(0))) << 16
        | std::uint32_t(channel(c.component(1))) << 8 | std::uint32_t(channel(c.component(2)));
}

PLColor UTConversions::colorWithRawRGB(std::uint32_t rgb)
{
    return PLColor::rgb(float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f, float(rgb & 0xFF) / 255.0f);
}

std::uint32_t UTConversions::rawRGB(const PLColor& color)
{
    return rawARGB(color) & 0xFFFFFF;
}
