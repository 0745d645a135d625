#pragma once

#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLRect.h"
#include "Platform/Drawing/PLSize.h"

#include <QMap>
#include <QString>

#include <optional>
#include <variant>

// One value of a style attribute: a flag, an integer, a float, a text, a colour, a point, a
// size or a rectangle; a default value is "none" (no value). Values read from a style sheet
// without a type letter stay texts (the text of a number, usually), so every conversion
// accepts a text as well as a value of its own kind, reading it as the typed getters would.
//
// Numbers compare by value whatever their kind (1, 1.0 and the flag "on" are equal).
class IXStyleValue {
public:
    enum class Kind { None, Flag, Integer, Float, Text, Color, Point, Size, Rect };

    IXStyleValue() = default;
    static IXStyleValue flag(bool value);
    static IXStyleValue integer(int value);
    // A NaN or infinity is stored as 0: no file may hold one.
    static IXStyleValue real(float value);
    // A null string gives no value.
    static IXStyleValue text(const QString& value);
    // No colour gives no value.
    static IXStyleValue color(const PLColor& value);
    static IXStyleValue point(PLPoint value);
    static IXStyleValue size(PLSize value);
    static IXStyleValue rect(const PLRect& value);

    // The value of an "a" element of a style sheet: by the first letter of the type text,
    // "c" a colour in the colour text form, "p", "s" and "r" a point, size or rectangle in
    // the platform's text forms; any other (or no) letter keeps the text.
    static IXStyleValue fromText(QStringView typeText, const QString& text);

    Kind kind() const;
    bool isNull() const { return kind() == Kind::None; }
    explicit operator bool() const { return !isNull(); }
    bool isNumber() const;

    // The conversions of the typed getters; nothing for a value of another kind.
    // Integer: numbers truncated toward zero and pinned to the int range; a text's leading
    // integer (0 when it has none).
    std::optional<int> toInt() const;
    // Float: a text's leading float (0 when it has none).
    std::optional<float> toFloat() const;
    // Flag: the integer value, taken as a flag.
    std::optional<bool> toBool() const;
    // Colour, point, size, rectangle: the value, or a text read in its text form.
    std::optional<PLColor> toColor() const;
    std::optional<PLPoint> toPoint() const;
    std::optional<PLSize> toSize() const;
    std::optional<PLRect> toRect() const;
    // A text as it is; any other value as its description.
    std::optional<QString> toString() const;

    // The one-letter type of the "t" attribute: "c", "p", "s", "r", or empty for others.
    QString typeLetter() const;
    // The "v" text: flags "1"/"0", integers in decimal, floats in the shortest form that
    // reads back to the same float, colours in the colour text form, points "{x, y}",
    // sizes "{w, h}", rectangles "{{x, y}, {w, h}}", texts as they are.
    QString description() const;

    // Same kind (numbers: same number) and same value.
    bool operator==(const IXStyleValue& other) const;
    // Equal, or a text that reads as the other's value: what a node shows is the same.
    bool matches(const IXStyleValue& other) const;

    static QString pointText(PLPoint point);
    static QString sizeText(PLSize size);
    static QString rectText(const PLRect& rect);
    static PLPoint pointFromText(const QString& text);
    static PLSize sizeFromText(const QString& text);
    static PLRect rectFromText(const QString& text);

private:
    using Storage = std::variant<std::monostate, bool, int, float, QString, PLColor, PLPoint, PLSize, PLRect>;
    explicit IXStyleValue(Storage value) : m_value(std::move(value)) {}
    // Numbers as doubles (exact for every int and float).
    std::optional<double> numberValue() const;

    Storage m_value;
};

// The own attributes of a style, ordered by name.
using IXStyleAttributes = QMap<QString, IXStyleValue>;
