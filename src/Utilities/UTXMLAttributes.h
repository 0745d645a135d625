#pragma once

#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLRect.h"
#include "Platform/Drawing/PLSize.h"
#include "Platform/XML/PLXMLElement.h"

#include <QByteArrayView>
#include <QString>

// Typed attribute access for every XML part of a document. Readers return the given default
// when the attribute is missing (and, except for strings, when it is empty); writers replace
// any attribute of the same name and use fixed, locale-independent forms:
//   flags "1"/"0" (read also as "yes"/"true" and "no"/"false", case-sensitive),
//   integers in decimal, floats with UTConversions::ftoa,
//   points and sizes as two whole numbers joined by "," ("11,-3"), rectangles as four,
//   colours in the colour text form of UTConversions.
class UTXMLAttributes {
public:
    static QString stringValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                           const QString& defaultValue = QString());
    // The leading integer of the text (0 when it has none), pinned to the int range.
    static int intValueForAttribute(const PLXMLElement& element, QByteArrayView name, int defaultValue);
    // White space and a sign may lead; the default also when no integer can be read.
    static long long longLongValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                               long long defaultValue);
    // The 64-bit reading truncated to its low 32 bits (so "-1" gives 4294967295).
    static unsigned unsignedIntValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                                 unsigned defaultValue);
    static bool boolValueForAttribute(const PLXMLElement& element, QByteArrayView name, bool defaultValue);
    // Numbers are read as UTConversions::parseFloats does; missing ones are 0.
    static float floatValueForAttribute(const PLXMLElement& element, QByteArrayView name, float defaultValue);
    static PLPoint pointValueForAttribute(const PLXMLElement& element, QByteArrayView name, PLPoint defaultValue);
    static PLSize sizeValueForAttribute(const PLXMLElement& element, QByteArrayView name, PLSize defaultValue);
    static PLRect rectValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                        const PLRect& defaultValue);
    // The default also when the text is no colour text at all (not ASCII).
    static PLColor colorValueForAttribute(const PLXMLElement& element, QByteArrayView name,
                                          const PLColor& defaultValue);

    // A null string is written as the empty text; each line-ending character (line feed,
    // vertical tab, form feed, carriage return, next line, line and paragraph separator)
    // becomes one space. An empty name is a programming error (assertion "attributeName").
    static void setStringValue(PLXMLElement element, const QString& value, QByteArrayView name);
    static void setIntValue(PLXMLElement element, int value, QByteArrayView name);
    static void setUnsignedIntValue(PLXMLElement element, unsigned value, QByteArrayView name);
    static void setBoolValue(PLXMLElement element, bool value, QByteArrayView name);
    static void setFloatValue(PLXMLElement element, float value, QByteArrayView name);
    static void setPointValue(PLXMLElement element, PLPoint value, QByteArrayView name);
    static void setSizeValue(PLXMLElement element, PLSize value, QByteArrayView name);
    static void setRectValue(PLXMLElement element, const PLRect& value, QByteArrayView name);
    // No colour is written as the empty text (which reads back as the default).
    static void setColorValue(PLXMLElement element, const PLColor& value, QByteArrayView name);
};
