#include "Utilities/UTXMLAttributes.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLScanner.h"
#include "Utilities/UTConversions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>

namespace {
// The attribute's bytes when it is present and not empty.
std::optional<QByteArray> nonEmpty(const PLXMLElement& element, QByteArrayView name)
{
    std::optional<QByteArray> bytes = element.attributeBytes(name);
    if (bytes && bytes->isEmpty()) return std::nullopt;
    return bytes;
}

// A decimal integer after optional white space and sign, pinned to the 64-bit range.
std::optional<long long> scanInteger(const QByteArray& text)
{
    PLScanner scanner(QString::fromUtf8(text));
    qint64 value = 0;
    if (!scanner.scanLongLong(&value)) return std::nullopt;
    return value;
}

template <std::size_t N>
std::optional<std::array<float, N>> floats(const PLXMLElement& element, QByteArrayView name)
{
    const std::optional<QByteArray> text = nonEmpty(element, name);
    if (!text) return std::nullopt;
    std::array<float, N> values{};
    UTConversions::parseFloats(*text, values, 0);
    return values;
}

QString joinedRounded(std::initializer_list<float> values)
{
    QString text;
    for (float value : values) {
        if (!text.isEmpty()) text += QLatin1Char(',');
        text += UTConversions::stringFromRoundedFloat(value);
    }
    return text;
}

bool isLineEndingNotSpace(QChar c)
{
    switch (c.unicode()) {
    case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x85: case 0x2028: case 0x2029: return true;
    default: return false;
    }
}
}

QString UTXMLAttributes::stringValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                                 const QString& defaultValue)
{
    return element.hasAttribute(name) ? element.attribute(name) : defaultValue;
}

int UTXMLAttributes::intValueForAttribute(const PLXMLElement& element, QByteArrayView name, int defaultValue)
{
    const std::optional<QByteArray> text = nonEmpty(element, name);
    if (!text) return defaultValue;
    const long long value = scanInteger(*text).value_or(0);
    return int(std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

long long UTXMLAttributes::longLongValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                                     long long defaultValue)
{
    const std::optional<QByteArray> text = nonEmpty(element, name);
    if (!text) return defaultValue;
    return scanInteger(*text).value_or(defaultValue);
}

unsigned UTXMLAttributes::unsignedIntValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                                       unsigned defaultValue)
{
    return unsigned(std::uint64_t(longLongValueForAttribute(element, name, (long long)defaultValue)) & 0xFFFFFFFFu);
}

bool UTXMLAttributes::boolValueForAttribute(const PLXMLElement& element, QByteArrayView name, bool defaultValue)
{
    const std::optional<QByteArray> text = element.attributeBytes(name);
    if (!text) return defaultValue;
    if (*text == "1" || *text == "yes" || *text == "true") return true;
    if (*text == "0" || *text == "no" || *text == "false") return false;
    return defaultValue;
}

float UTXMLAttributes::floatValueForAttribute(const PLXMLElement& element, QByteArrayView name, float defaultValue)
{
    const auto values = floats<1>(element, name);
    return values ? (*values)[0] : defaultValue;
}

PLPoint UTXMLAttributes::pointValueForAttribute(const PLXMLElement& element, QByteArrayView name, PLPoint defaultValue)
{
    const auto values = floats<2>(element, name);
    return values ? PLPoint((*values)[0], (*values)[1]) : defaultValue;
}

PLSize UTXMLAttributes::sizeValueForAttribute(const PLXMLElement& element, QByteArrayView name, PLSize defaultValue)
{
    const auto values = floats<2>(element, name);
    return values ? PLSize((*values)[0], (*values)[1]) : defaultValue;
}

PLRect UTXMLAttributes::rectValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                              const PLRect& defaultValue)
{
    const auto values = floats<4>(element, name);
    return values ? PLRect((*values)[0], (*values)[1], (*values)[2], (*values)[3]) : defaultValue;
}

PLColor UTXMLAttributes::colorValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                                const PLColor& defaultValue)
{
    const std::optional<QByteArray> text = nonEmpty(element, name);
    if (!text) return defaultValue;
    const PLColor color = UTConversions::colorFromString(QString::fromUtf8(*text));
    return color.isNull() ? defaultValue : color;
}

void UTXMLAttributes::setStringValue(PLXMLElement element, const QString& value, QByteArrayView name)
{
    PL_ASSERT_PARAM(!name.isEmpty(), "attributeName");
    if (std::none_of(value.begin(), value.end(), isLineEndingNotSpace)) {
        element.setAttribute(name, value);
        return;
    }
    QString text = value;
    for (QChar& c : text) {
        if (isLineEndingNotSpace(c)) c = QLatin1Char(' ');
    }
    element.setAttribute(name, text);
}

void UTXMLAttributes::setIntValue(PLXMLElement element, int value, QByteArrayView name)
{
    setStringValue(element, UTConversions::stringFromInt(value), name);
}

void UTXMLAttributes::setUnsignedIntValue(PLXMLElement element, unsigned value, QByteArrayView name)
{
    setStringValue(element, UTConversions::stringFromUInt(value), name);
}

void UTXMLAttributes::setBoolValue(PLXMLElement element, bool value, QByteArrayView name)
{
    setStringValue(element, value ? QStringLiteral("1") : QStringLiteral("0"), name);
}

void UTXMLAttributes::setFloatValue(PLXMLElement element, float value, QByteArrayView name)
{
    setStringValue(element, UTConversions::ftoa(value), name);
}

void UTXMLAttributes::setPointValue(PLXMLElement element, PLPoint value, QByteArrayView name)
{
    setStringValue(element, joinedRounded({value.x, value.y}), name);
}

void UTXMLAttributes::setSizeValue(PLXMLElement element, PLSize value, QByteArrayView name)
{
    setStringValue(element, joinedRounded({value.width, value.height}), name);
}

void UTXMLAttributes::setRectValue(PLXMLElement element, const PLRect& value, QByteArrayView name)
{
    setStringValue(element, joinedRounded({value.origin.x, value.origin.y, value.size.width, value.size.height}), name);
}

void UTXMLAttributes::setColorValue(PLXMLElement element, const PLColor& value, QByteArrayView name)
{
    setStringValue(element, UTConversions::stringFromColor(value), name);
}
