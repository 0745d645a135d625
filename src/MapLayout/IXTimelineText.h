#pragma once

#include "Platform/Drawing/PLSize.h"

#include <QFont>
#include <QString>

// What the timeline's cells share for their texts: the label font, the size a one-line label
// takes (with the 2-unit inset on each side that label cells draw with), and whole numbers
// grouped by the resource pattern "###,###,###,##0".
class IXTimelineText {
public:
    static QFont labelFont(int pixelSize);
    static PLSize labelSize(const QString& text, const QFont& font);
    // The inset of the text inside its label size.
    static constexpr float Inset = 2;
    // The number with its digits grouped as the pattern says, a minus sign for negatives.
    static QString groupedNumber(qint64 value);
    // A localized printf-style format from the string table.
    static QString format(const char* key);
};
