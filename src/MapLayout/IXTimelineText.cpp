#include "MapLayout/IXTimelineText.h"

#include "Platform/Text/PLFontSubstitutions.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QFontMetricsF>
#include <QLocale>

#include <cmath>

QFont IXTimelineText::labelFont(int pixelSize)
{
    QFont font(PLFontSubstitutions::availableFamily(QString()));
    font.setPixelSize(pixelSize);
    return font;
}

PLSize IXTimelineText::labelSize(const QString& text, const QFont& font)
{
    const QFontMetricsF metrics(font);
    return PLSize(float(std::ceil(metrics.horizontalAdvance(text)) + 2 * Inset), float(std::ceil(metrics.height())));
}

QString IXTimelineText::format(const char* key)
{
    return PLLocalizedStrings::string(QString::fromLatin1(key));
}

QString IXTimelineText::groupedNumber(qint64 value)
{
    // The group size is the number of digits after the pattern's last separator.
    const QString pattern = format("###,###,###,##0");
    const qsizetype separator = pattern.lastIndexOf(QLatin1Char(','));
    const qsizetype groupSize = separator < 0 ? 0 : pattern.size() - separator - 1;
    // Magnitude as unsigned, so that the smallest value has one too.
    const quint64 magnitude = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    const QString digits = QString::number(magnitude);
    QString grouped;
    const QString groupSeparator = QLocale().groupSeparator();
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (groupSize > 0 && i > 0 && (digits.size() - i) % groupSize == 0) grouped += groupSeparator;
        grouped += digits[i];
    }
    return value < 0 ? QLocale().negativeSign() + grouped : grouped;
}
