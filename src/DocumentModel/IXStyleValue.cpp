#include "DocumentModel/IXStyleValue.h"

#include "Platform/Core/PLScanner.h"
#include "Utilities/UTConversions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {
// Shortest text that reads back to the same float; locale-independent.
QString floatText(float value)
{
    if (!std::isfinite(value)) value = 0;
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

// The numbers of a text such as "{1.5, -2}", read from the first number on; missing ones
// are 0.
template <std::size_t N>
std::array<float, N> floatsFromText(const QString& text)
{
    const QByteArray latin = text.toLatin1();
    const qsizetype start = std::find_if(latin.begin(), latin.end(), [](char c) {
                                return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-';
                            }) - latin.begin();
    std::array<float, N> values{};
    UTConversions::parseFloats(QByteArrayView(latin).sliced(start), values, 0);
    return values;
}

// The value of a text of one to seven decimal digits and nothing else, as most numbers of
// style sheets are ("12", "0"): every reader below gives the same for it, and such a number
// is exact as a float. None for any other text.
std::optional<int> plainNumber(const QString& text)
{
    const qsizetype length = text.size();
    if (length < 1 || length > 7) return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

// The leading float of a text, 0 when it has none.
float floatFromText(const QString& text)
{
    // Texts are read on every look-up: the usual ones skip the conversion to bytes.
    if (const std::optional<int> plain = plainNumber(text)) return float(*plain);
    float value = 0;
    UTConversions::parseFloats(text.toLatin1(), std::span(&value, 1), 0);
    return value;
}

int intFromText(const QString& text)
{
    if (const std::optional<int> plain = plainNumber(text)) return *plain;
    PLScanner scanner(text);
    int value = 0;
    return scanner.scanInt(&value) ? value : 0;
}

int truncatedToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(value);
}
}

IXStyleValue IXStyleValue::flag(bool value)
{
    return IXStyleValue(Storage(value));
}

IXStyleValue IXStyleValue::integer(int value)
{
    return IXStyleValue(Storage(value));
}

IXStyleValue IXStyleValue::real(float value)
{
    return IXStyleValue(Storage(std::isfinite(value) ? value : 0.0f));
}

IXStyleValue IXStyleValue::text(const QString& value)
{
    if (value.isNull()) return IXStyleValue();
    return IXStyleValue(Storage(value));
}

IXStyleValue IXStyleValue::color(const PLColor& value)
{
    if (value.isNull()) return IXStyleValue();
    return IXStyleValue(Storage(value));
}

IXStyleValue IXStyleValue::point(PLPoint value)
{
    return IXStyleValue(Storage(value));
}

IXStyleValue IXStyleValue::size(PLSize value)
{
    return IXStyleValue(Storage(value));
}

IXStyleValue IXStyleValue::rect(const PLRect& value)
{
    return IXStyleValue(Storage(value));
}

IXStyleValue IXStyleValue::fromText(QStringView typeText, const QString& text)
{
    const QChar letter = typeText.isEmpty() ? QLatin1Char('*') : typeText.front();
    switch (letter.unicode()) {
    case 'c': return color(UTConversions::colorFromString(text));
    case 'p': return point(pointFromText(text));
    case 's': return size(sizeFromText(text));
    case 'r': return rect(rectFromText(text));
    default: return IXStyleValue::text(text);
    }
}

IXStyleValue::Kind IXStyleValue::kind() const
{
    return Kind(m_value.index());
}

bool IXStyleValue::isNumber() const
{
    const Kind k = kind();
    return k == Kind::Flag || k == Kind::Integer || k == Kind::Float;
}

std::optional<double> IXStyleValue::numberValue() const
{
    if (const bool* b = std::get_if<bool>(&m_value)) return *b ? 1.0 : 0.0;
    if (const int* i = std::get_if<int>(&m_value)) return double(*i);
    if (const float* f = std::get_if<float>(&m_value)) return double(*f);
    return std::nullopt;
}

std::optional<int> IXStyleValue::toInt() const
{
    if (const QString* s = std::get_if<QString>(&m_value)) return intFromText(*s);
    if (const int* i = std::get_if<int>(&m_value)) return *i;
    if (const std::optional<double> number = numberValue()) return truncatedToInt(*number);
    return std::nullopt;
}

std::optional<float> IXStyleValue::toFloat() const
{
    if (const QString* s = std::get_if<QString>(&m_value)) return floatFromText(*s);
    if (const std::optional<double> number = numberValue()) return float(*number);
    return std::nullopt;
}

std::optional<bool> IXStyleValue::toBool() const
{
    if (const std::optional<int> value = toInt()) return *value != 0;
    return std::nullopt;
}

std::optional<PLColor> IXStyleValue::toColor() const
{
    if (const PLColor* c = std::get_if<PLColor>(&m_value)) return *c;
    if (const QString* s = std::get_if<QString>(&m_value)) {
        const PLColor color = UTConversions::colorFromString(*s);
        if (!color.isNull()) return color;
    }
    return std::nullopt;
}

std::optional<PLPoint> IXStyleValue::toPoint() const
{
    if (const PLPoint* p = std::get_if<PLPoint>(&m_value)) return *p;
    if (const QString* s = std::get_if<QString>(&m_value)) return pointFromText(*s);
    return std::nullopt;
}

std::optional<PLSize> IXStyleValue::toSize() const
{
    if (const PLSize* p = std::get_if<PLSize>(&m_value)) return *p;
    if (const QString* s = std::get_if<QString>(&m_value)) return sizeFromText(*s);
    return std::nullopt;
}

std::optional<PLRect> IXStyleValue::toRect() const
{
    if (const PLRect* p = std::get_if<PLRect>(&m_value)) return *p;
    if (const QString* s = std::get_if<QString>(&m_value)) return rectFromText(*s);
    return std::nullopt;
}

std::optional<QString> IXStyleValue::toString() const
{
    if (isNull()) return std::nullopt;
    if (const QString* s = std::get_if<QString>(&m_value)) return *s;
    return description();
}

QString IXStyleValue::typeLetter() const
{
    switch (kind()) {
    case Kind::Color: return QStringLiteral("c");
    case Kind::Point: return QStringLiteral("p");
    case Kind::Size: return QStringLiteral("s");
    case Kind::Rect: return QStringLiteral("r");
    default: return QString();
    }
}

QString IXStyleValue::description() const
{
    switch (kind()) {
    case Kind::None: return QString();
    case Kind::Flag: return std::get<bool>(m_value) ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Integer: return QString::number(std::get<int>(m_value));
    case Kind::Float: return floatText(std::get<float>(m_value));
    case Kind::Text: return std::get<QString>(m_value);
    case Kind::Color: return UTConversions::stringFromColor(std::get<PLColor>(m_value));
    case Kind::Point: return pointText(std::get<PLPoint>(m_value));
    case Kind::Size: return sizeText(std::get<PLSize>(m_value));
    case Kind::Rect: return rectText(std::get<PLRect>(m_value));
    }
    return QString();
}

bool IXStyleValue::operator==(const IXStyleValue& other) const
{
    if (isNumber() && other.isNumber()) return numberValue() == other.numberValue();
    return m_value == other.m_value;
}

bool IXStyleValue::matches(const IXStyleValue& other) const
{
    if (*this == other) return true;
    const IXStyleValue* textValue = this;
    const IXStyleValue* typed = &other;
    if (kind() != Kind::Text) std::swap(textValue, typed);
    if (textValue->kind() != Kind::Text) return false;
    switch (typed->kind()) {
    case Kind::Flag: return textValue->toBool() == typed->toBool();
    case Kind::Integer: return textValue->toInt() == typed->toInt();
    case Kind::Float: return textValue->toFloat() == typed->toFloat();
    case Kind::Color: return textValue->toColor() == typed->toColor();
    case Kind::Point: return textValue->toPoint() == typed->toPoint();
    case Kind::Size: return textValue->toSize() == typed->toSize();
    case Kind::Rect: return textValue->toRect() == typed->toRect();
    default: return false;
    }
}

QString IXStyleValue::pointText(PLPoint point)
{
    return QLatin1Char('{') + floatText(point.x) + QStringLiteral(", ") + floatText(point.y) + QLatin1Char('}');
}

QString IXStyleValue::sizeText(PLSize size)
{
    return QLatin1Char('{') + floatText(size.width) + QStringLiteral(", ") + floatText(size.height) + QLatin1Char('}');
}

QString IXStyleValue::rectText(const PLRect& rect)
{
    return QLatin1Char('{') + pointText(rect.origin) + QStringLiteral(", ") + sizeText(rect.size) + QLatin1Char('}');
}

PLPoint IXStyleValue::pointFromText(const QString& text)
{
    const auto v = floatsFromText<2>(text);
    return {v[0], v[1]};
}

PLSize IXStyleValue::sizeFromText(const QString& text)
{
    const auto v = floatsFromText<2>(text);
    return {v[0], v[1]};
}

PLRect IXStyleValue::rectFromText(const QString& text)
{
    const auto v = floatsFromText<4>(text);
    return {v[0], v[1], v[2], v[3]};
}
