#pragma once

#include "Platform/Core/PLError.h"
#include "Utilities/UTDateTime.h"

#include <QString>

#include <optional>

class PLScanner;
class UTDateTimePicker;

// Turns date values into display and editing text and reads typed text back, in one of five
// styles chosen by the document's time scale. Names of months and weekdays and the order of
// day and month come from UTDateLocale::current(). Parsing is lenient: numbers separated by
// blanks and punctuation, month and weekday names, "BC"; a failure gives nothing and an error
// whose failure reason is the text to show ("invalid year value", a setter's reason, ...).
class UTDateTimeFormatter {
public:
    enum FormatType { CommonEra = 0, Historic = 1, Geological = 2, Weekly = 3, Daily = 4 };

    UTDateTimeFormatter() = default;
    explicit UTDateTimeFormatter(int formatType) : m_type(formatType) {}
    // A copy formats and reads like the original; it is attached to no picker.
    UTDateTimeFormatter(const UTDateTimeFormatter& other);
    UTDateTimeFormatter& operator=(const UTDateTimeFormatter& other);

    // The style for a document time scale (0 standard, 1 daily, 2 weekly, 3 historic,
    // 4 geological; any other standard).
    static int formatTypeForTimeScale(int timeScale);

    int formatType() const { return m_type; }
    void setFormatType(int formatType) { m_type = formatType; }
    // Geological style: years are shown divided by 10^yearScale and followed by the suffix.
    int yearScale() const { return m_yearScale; }
    const QString& yearScaleSuffix() const { return m_yearSuffix; }
    void setYearScale(int yearScale, const QString& suffix);
    // The picker editing through this formatter while it is attached; not owned.
    UTDateTimePicker* picker() const { return m_picker; }
    void setPicker(UTDateTimePicker* picker) { m_picker = picker; }

    // Display and editing text in the formatter's style; empty for nothing or an unknown
    // style. A value whose scale the style cannot show (a file may pair any value with any
    // time scale) is shown in the style of its own scale, months and hours in their stored
    // text form, instead of stopping.
    QString stringForObjectValue(const std::optional<UTDateTime>& value) const;
    QString editingStringForObjectValue(const std::optional<UTDateTime>& value) const;
    // Reads text in the formatter's style. Empty text is no date and succeeds.
    bool getObjectValue(std::optional<UTDateTime>* value, const QString& text, PLError* error = nullptr) const;

    // One style each. A value of another scale is a programming error (PLAssertionFailure).
    QString stringForCommonEraDate(const std::optional<UTDateTime>& value) const;
    QString stringForHistoricDate(const std::optional<UTDateTime>& value) const;
    QString stringForGeologicalDate(const std::optional<UTDateTime>& value) const;
    QString stringForWeeklyDate(const std::optional<UTDateTime>& value) const;
    QString stringForDailyDate(const std::optional<UTDateTime>& value) const;

    QString editingStringForCommonEraDate(const std::optional<UTDateTime>& value) const;
    QString editingStringForHistoricDate(const std::optional<UTDateTime>& value) const;
    QString editingStringForGeologicalDate(const std::optional<UTDateTime>& value) const;
    QString editingStringForWeeklyDate(const std::optional<UTDateTime>& value) const;
    QString editingStringForDailyDate(const std::optional<UTDateTime>& value) const;

    // Nothing for empty text without an error; nothing with an error for text that is no date.
    std::optional<UTDateTime> parseCommonEraDate(const QString& text, PLError* error = nullptr) const;
    std::optional<UTDateTime> parseHistoricDate(const QString& text, PLError* error = nullptr) const;
    std::optional<UTDateTime> parseGeologicalDate(const QString& text, PLError* error = nullptr) const;
    std::optional<UTDateTime> parseWeeklyDate(const QString& text, PLError* error = nullptr) const;
    std::optional<UTDateTime> parseDailyDate(const QString& text, PLError* error = nullptr) const;

    // The current year of the common era.
    static int cur_year();

private:
    // The style that shows value: the formatter's own when it fits the value's scale.
    int styleFor(const UTDateTime& value) const;
    // Reads the date part of typed text (day, month and year stay as given when not read).
    static void scanDate(PLScanner& scanner, bool (*isSeparator)(QChar), qint64* day, qint64* month, qint64* year);
    // A year value of common-era text (with time of day) or historic text (without).
    std::optional<UTDateTime> parseYearDate(const QString& text, bool historic, PLError* error) const;

    int m_type = CommonEra;
    int m_yearScale = 0;
    QString m_yearSuffix;
    UTDateTimePicker* m_picker = nullptr;
};
