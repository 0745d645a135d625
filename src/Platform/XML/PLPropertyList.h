#pragma once

#include "Platform/Core/PLError.h"

#include <QByteArray>
#include <QVariant>

// XML property lists, as stored in document option parts and resources.
//
// Values: dictionary (QVariantMap), array (QVariantList), string (QString), integer (qint64,
// or quint64 above the qint64 range), real (double), boolean (bool), date (QDateTime in UTC,
// whole seconds), data (QByteArray). Writing also takes QVariantHash and QStringList and the
// other integer and floating-point types.
//
// Numbers are written and read in the C numeric locale, as everywhere in our files.
class PLPropertyList {
public:
    // The domain of read and write errors; the failure reason says what was wrong.
    static const QString ErrorDomain;

    // Input above this size is refused without being parsed.
    static constexpr qsizetype MaxDataSize = 64 * 1024 * 1024;
    // Arrays and dictionaries nested deeper than this are refused.
    static constexpr int MaxDepth = 128;

    // The value of an XML property list, or an invalid QVariant and the error. What is read
    // can always be written back: input holding what write refuses (NUL characters, invalid
    // dates, too deep nesting) is refused here too.
    static QVariant read(const QByteArray& data, PLError* error = nullptr);
    // The XML property list of a value, or empty and the error when the value holds
    // something a property list cannot (other types, strings with NUL characters, invalid
    // dates or years outside 1-9999, too deep nesting).
    static QByteArray write(const QVariant& value, PLError* error = nullptr);
};
