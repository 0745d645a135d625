#include "Utilities/UTDateTimeFormatter.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLScanner.h"
#include "Utilities/UTDateLocale.h"
#include "Utilities/UTDateTimeInvalid.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool isSeparator(QChar c)
{
    switch (c.unicode()) {
    case u':':
    case u'/':
    case u'\\':
    case u',':
    case u'.':
    case u';': return true;
    default: return c.isSpace();
    }
}

// Common-era text also splits at hyphens, as in 2008-3-15.
bool isSeparatorOrHyphen(QChar c)
{
    return c == u'-' || isSeparator(c);
}

bool isNotDigit(QChar c)
{
    return c < u'0' || c > u'9';
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// ", hh:mm" or ", hh:mm:ss" (seconds only when set) after prefix.
QString clock(const UTDateTime& value, const QString& prefix)
{
    QString text = prefix + twoDigits(static_cast<int>(value.hour())) + QLatin1Char(':') + twoDigits(value.minute());
    if (value.second() != 0) text += QLatin1Char(':') + twoDigits(value.second());
    return text;
}

bool hasTime(const UTDateTime& value)
{
    return value.hour() != 0 || value.minute() != 0 || value.second() != 0;
}

// The position from 1 of the first name whose upper case is a prefix of word, else of the
// first that begins with word; 0 when none does.
int matchName(const QString& word, const QStringList& names)
{
    if (word.isEmpty()) return 0;
    for (int i = 0; i < names.size(); ++i) {
        const QString name = names[i].toUpper();
        if (!name.isEmpty() && word.startsWith(name)) return i + 1;
    }
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].toUpper().startsWith(word)) return i + 1;
    }
    return 0;
}

// Reads a word up to the next separator, in upper case.
QString scanWord(PLScanner& scanner, bool (*separator)(QChar))
{
    return scanner.scanUpToCharacters(separator).toUpper();
}

int readInt(PLScanner& scanner, bool (*separator)(QChar))
{
    int value = 0;
    scanner.skipCharacters(separator);
    scanner.scanInt(&value);
    return value;
}

bool multiplyByPowerOfTen(qint64* value, qsizetype exponent)
{
    for (qsizetype i = 0; i < exponent; ++i) {
        if (__builtin_mul_overflow(*value, 10, value)) return false;
    }
    return true;
}

// Appends digits to value as decimal places: value * 10^digits.size() + digits.
bool appendDigits(qint64* value, const QString& digits)
{
    if (!multiplyByPowerOfTen(value, digits.size())) return false;
    bool ok = true;
    const qint64 tail = digits.isEmpty() ? 0 : digits.toLongLong(&ok);
    return ok && !__builtin_add_overflow(*value, tail, value);
}

std::optional<UTDateTime> failure(PLError* error, const char* reason)
{
    PLSetError(error, UTDateTimeInvalid::errorWithReason(QString::fromLatin1(reason)));
    return std::nullopt;
}

// Sets the time of day of value unless it is all 0.
void setTime(UTDateTime& value, int hour, int minute, int second)
{
    if (hour == 0 && minute == 0 && second == 0) return;
    value.setHour(hour);
    value.setMinute(minute);
    value.setSecond(second);
}

// The value that make builds, or nothing with the reason of the setter that refused.
template <typename Make>
std::optional<UTDateTime> build(PLError* error, Make make)
{
    try {
        return make();
    } catch (const UTDateTimeInvalid& invalid) {
        PLSetError(error, invalid.error());
        return std::nullopt;
    }
}

constexpr qint64 GeologicalYearLimit = 20'000'000'000;

} // namespace

UTDateTimeFormatter::UTDateTimeFormatter(const UTDateTimeFormatter& other)
    : m_type(other.m_type), m_yearScale(other.m_yearScale), m_yearSuffix(other.m_yearSuffix)
{
}

UTDateTimeFormatter& UTDateTimeFormatter::operator=(const UTDateTimeFormatter& other)
{
    m_type = other.m_type;
    m_yearScale = other.m_yearScale;
    m_yearSuffix = other.m_yearSuffix;
    return *this;
}

int UTDateTimeFormatter::formatTypeForTimeScale(int timeScale)
{
    switch (timeScale) {
    case 1: return Daily;
    case 2: return Weekly;
    case 3: return Historic;
    case 4: return Geological;
    default: return CommonEra;
    }
}

void UTDateTimeFormatter::setYearScale(int yearScale, const QString& suffix)
{
    m_yearScale = yearScale;
    m_yearSuffix = suffix;
}

int UTDateTimeFormatter::cur_year()
{
    return QDate::currentDate().year();
}

int UTDateTimeFormatter::styleFor(const UTDateTime& value) const
{
    if (value.isYears()) return m_type == Historic || m_type == Geological ? m_type : CommonEra;
    if (value.isWeeks()) return Weekly;
    if (value.isDays()) return Daily;
    return -1;
}

QString UTDateTimeFormatter::stringForObjectValue(const std::optional<UTDateTime>& value) const
{
    if (!value || m_type < CommonEra || m_type > Daily) return QString();
    switch (styleFor(*value)) {
    case CommonEra: return stringForCommonEraDate(value);
    case Historic: return stringForHistoricDate(value);
    case Geological: return stringForGeologicalDate(value);
    case Weekly: return stringForWeeklyDate(value);
    case Daily: return stringForDailyDate(value);
    }
    return value->stringRepresentation();
}

QString UTDateTimeFormatter::editingStringForObjectValue(const std::optional<UTDateTime>& value) const
{
    if (!value || m_type < CommonEra || m_type > Daily) return QString();
    switch (styleFor(*value)) {
    case CommonEra:
        // Years before 1 have no common-era form; the historic one keeps them editable.
        return value->year() > 0 ? editingStringForCommonEraDate(value) : editingStringForHistoricDate(value);
    case Historic: return editingStringForHistoricDate(value);
    case Geological: return editingStringForGeologicalDate(value);
    case Weekly: return editingStringForWeeklyDate(value);
    case Daily: return editingStringForDailyDate(value);
    }
    return value->stringRepresentation();
}

bool UTDateTimeFormatter::getObjectValue(std::optional<UTDateTime>* value, const QString& text, PLError* error) const
{
    std::optional<UTDateTime> result;
    if (!text.isEmpty()) {
        switch (m_type) {
        case CommonEra: result = parseCommonEraDate(text, error); break;
        case Historic: result = parseHistoricDate(text, error); break;
        case Geological: result = parseGeologicalDate(text, error); break;
        case Weekly: result = parseWeeklyDate(text, error); break;
        case Daily: result = parseDailyDate(text, error); break;
        default: return false;
        }
        if (!result) return false;
    }
    if (value) *value = result;
    return true;
}

QString UTDateTimeFormatter::stringForCommonEraDate(const std::optional<UTDateTime>& value) const
{
    PL_ASSERT_PARAM(value && value->isYears(), "value && [value isYears]");
    const qint64 year = value->year();
    if (year <= 0) return QString();
    const QString yearText = QString::number(year);
    if (value->month() == 0) return yearText;
    const QString month = UTDateLocale::current().shortMonthName(value->month());
    if (value->day() == 0) return month + QLatin1Char(' ') + yearText;
    const QString date = QString::number(value->day()) + QLatin1Char(' ') + month + QLatin1Char(' ') + yearText;
    return hasTime(*value) ? clock(*value, date + QStringLiteral(", ")) : date;
}

QString UTDateTimeFormatter::stringForHistoricDate(const std::optional<UTDateTime>& value) const
{
    PL_ASSERT_PARAM(value && value->isYears(), "value && [value isYears]");
    const qint64 year = value->year();
    if (year <= 0) return QString::number(-year) + QStringLiteral(" BC");
    const QString yearText = QString::number(year);
    if (value->month() == 0) return year < 1000 ? yearText + QStringLiteral(" AD") : yearText;
    const QString month = UTDateLocale::current().shortMonthName(value->month());
    if (value->day() == 0) return month + QLatin1Char(' ') + yearText;
    return QString::number(value->day()) + QLatin1Char(' ') + month + QLatin1Char(' ') + yearText;
}

QString UTDateTimeFormatter::stringForGeologicalDate(const std::optional<UTDateTime>& value) const
{
    return editingStringForGeologicalDate(value) + m_yearSuffix;
}

QString UTDateTimeFormatter::stringForWeeklyDate(const std::optional<UTDateTime>& value) const
{
    PL_ASSERT_PARAM(value && value->isWeeks(), "value && [value isWeeks]");
    const QString week = QStringLiteral("week ") + QString::number(value->week());
    if (value->day() == 0) return week;
    const QString day = week + QLatin1Char(' ') + UTDateLocale::current().shortWeekdayName(value->day());
    return hasTime(*value) ? clock(*value, day + QStringLiteral(", ")) : day;
}

QString UTDateTimeFormatter::stringForDailyDate(const std::optional<UTDateTime>& value) const
{
    PL_ASSERT_PARAM(value && value->isDays(), "value && [value isDays]");
    const QString day = QStringLiteral("day ") + QString::number(value->day());
    return hasTime(*value) ? clock(*value, day + QStringLiteral(", ")) : day;
}

QString UTDateTimeFormatter::editingStringForCommonEraDate(const std::optional<UTDateTime>& value) const
{
    PL_ASSERT_PARAM(value && value->isYears() && value->year() > 0, "value && [value isYears] && [value year] > 0");
    QString text = QString::number(value->year());
    if (value->month() == 0) return text;
    text = UTDateLocale::current().shortMonthName(value->month()) + QLatin1Char(' ') + text;
    if (value->day() == 0) return text;
    text = QString::number(value->day()) + QLatin1Char(' ') + text;
    return hasTime(*value) ? clock(*value, text + QStringLiteral(", ")) : text;
}

QString UTDateTimeFormatter::editingStringForHistoricDate(const std::optional<UTDateTime>& value) const
{
    PL_ASSERT_PARAM(value && value->isYears(), "value && [value isYears]");
    const qint64 year = value->year();
    QString text = year > 0 ? QString::number(year) + QStringLiteral(" AD") : QString::number(-year) + QStringLiteral(" BC");
    if (value->month() == 0) return text;
    text = UTDateLocale::current().shortMonthName(value->month()) + QLatin1Char(' ') + text;
    if (value->day() == 0) return text;
    return QString::number(value->day()) + QLatin1Char(' ') + text;
}

QString UTDateTimeFormatter::editingStringForGeologicalDate(const std::optional<UTDateTime>& value) const
{
    PL_ASSERT_PARAM(value && value->isYears(), "value && [value isYears]");
    double years = static_cast<double>(value->year());
    if (m_yearScale > 0) years /= std::pow(10.0, m_yearScale);
    // Thousands grouped by "," and at most three decimals after ".", whatever the locale, so
    // that the text reads back through parseGeologicalDate.
    QString number = QString::number(years, 'f', 3);
    while (number.endsWith(QLatin1Char('0'))) number.chop(1);
    if (number.endsWith(QLatin1Char('.'))) number.chop(1);
    if (number == QLatin1String("-0")) number = QStringLiteral("0");
    const qsizetype sign = number.startsWith(QLatin1Char('-')) ? 1 : 0;
    qsizetype point = number.indexOf(QLatin1Char('.'));
    if (point < 0) point = number.size();
    for (qsizetype at = point - 3; at > sign; at -= 3) number.insert(at, QLatin1Char(','));
    return number;
}

QString UTDateTimeFormatter::editingStringForWeeklyDate(const std::optional<UTDateTime>& value) const
{
    PL_ASSERT_PARAM(value && value->isWeeks(), "value && [value isWeeks]");
    QString text = QString::number(value->week());
    if (value->day() == 0) return text;
    text += QLatin1Char(' ') + UTDateLocale::current().shortWeekdayName(value->day());
    return hasTime(*value) ? clock(*value, text + QLatin1Char(' ')) : text;
}

QString UTDateTimeFormatter::editingStringForDailyDate(const std::optional<UTDateTime>& value) const
{
    PL_ASSERT_PARAM(value && value->isDays(), "value && [value isDays]");
    const QString text = QString::number(value->day());
    return hasTime(*value) ? clock(*value, text + QLatin1Char(' ')) : text;
}

void UTDateTimeFormatter::scanDate(PLScanner& scanner, bool (*separator)(QChar), qint64* day, qint64* month, qint64* year)
{
    int a = 0, b = 0, c = 0;
    scanner.skipCharacters(separator);
    const bool hasA = scanner.scanInt(&a);
    scanner.skipCharacters(separator);
    const bool hasB = scanner.scanInt(&b);
    int namedMonth = 0;
    bool beforeYearOne = false;
    if (!hasB) {
        const QString word = scanWord(scanner, separator);
        namedMonth = matchName(word, UTDateLocale::current().shortMonthNames());
        if (namedMonth == 0) beforeYearOne = word == QLatin1String("BC") || word == QLatin1String("B");
    }
    scanner.skipCharacters(separator);
    const bool shortYear = scanner.peek() == u'0';
    const bool hasC = scanner.scanInt(&c);

    if (!hasA) {
        if (namedMonth) {
            *month = namedMonth;
            *year = hasC ? c : cur_year();
        } else if (hasC) {
            *year = c;
        }
    } else if (!hasB) {
        if (namedMonth) {
            *month = namedMonth;
            // A number that can be a day of the month is one.
            if (a < 32) {
                *day = a;
                *year = hasC ? c : cur_year();
            } else {
                *year = a;
                if (hasC) *day = c;
            }
        } else if (hasC) {
            *month = a < 13 ? a : c;
            *year = a < 13 ? c : a;
        } else {
            *year = a;
        }
    } else if (hasC) {
        if (a > 31) {
            *year = a;
            *month = b;
            *day = c;
        } else {
            *year = qint64(c) + (shortYear ? 2000 : 0);
            // A first number of 13 to 31 can only be a day; the month follows it.
            const bool monthFirst = a <= 12 && (b >= 13 || UTDateLocale::current().isMonthFirst());
            *day = monthFirst ? b : a;
            *month = monthFirst ? a : b;
        }
    } else {
        *month = a < 13 ? a : b;
        *year = a < 13 ? b : a;
    }
    if (beforeYearOne) *year = -*year;
}

std::optional<UTDateTime> UTDateTimeFormatter::parseYearDate(const QString& text, bool historic, PLError* error) const
{
    if (text.isEmpty()) return std::nullopt;
    PLScanner scanner(text);
    bool (*separator)(QChar) = historic ? isSeparator : isSeparatorOrHyphen;
    qint64 day = 0, month = 0, year = 0;
    scanDate(scanner, separator, &day, &month, &year);
    int hour = 0, minute = 0, second = 0;
    if (!historic && !scanner.isAtEnd()) {
        hour = readInt(scanner, separator);
        minute = readInt(scanner, separator);
        second = readInt(scanner, separator);
    }
    const bool validYear = historic ? year >= -5'000'000 && year != 0 && year <= 3000 : year >= 1 && year <= 3000;
    if (!validYear) return failure(error, "invalid year value");
    return build(error, [&] {
        UTDateTime value = UTDateTime::fromYears(year);
        if (year >= 1 && month != 0) {
            value.setMonth(month);
            if (day != 0) {
                value.setDay(day);
                setTime(value, hour, minute, second);
            }
        }
        return value;
    });
}

std::optional<UTDateTime> UTDateTimeFormatter::parseCommonEraDate(const QString& text, PLError* error) const
{
    return parseYearDate(text, false, error);
}

std::optional<UTDateTime> UTDateTimeFormatter::parseHistoricDate(const QString& text, PLError* error) const
{
    return parseYearDate(text, true, error);
}

std::optional<UTDateTime> UTDateTimeFormatter::parseGeologicalDate(const QString& text, PLError* error) const
{
    if (text.isEmpty()) return std::nullopt;
    PLScanner scanner(text);
    scanner.skipCharacters(isSeparator);
    const bool negative = scanner.peek() == u'-';
    qint64 leading = 0;
    scanner.scanLongLong(&leading);
    if (leading == std::numeric_limits<qint64>::min()) return failure(error, "invalid year value");

    // Digit groups after "," or ".", each with the separator that introduced it.
    QList<std::pair<QChar, QString>> groups;
    while (!scanner.isAtEnd() && (scanner.peek() == u',' || scanner.peek() == u'.')) {
        const QChar mark = scanner.peek();
        scanner.skipCharacters(isSeparator);
        const QString digits = scanner.scanUpToCharacters(isNotDigit);
        if (digits.isEmpty()) break;
        groups.append({mark, digits});
    }
    scanner.skipCharacters(isSeparator);
    int exponent = 0;
    if (scanner.isAtEnd()) exponent = std::max(m_yearScale, 0);
    else if (scanner.peek() == u'm' || scanner.peek() == u'M') exponent = 6;
    else if (scanner.peek() == u't' || scanner.peek() == u'T') exponent = 3;

    // With a unit of thousands or millions, one last group after "." holds the decimals the
    // display writes (1.5 thousand years); otherwise every group is one of thousands.
    QString decimals;
    if (exponent > 0 && !groups.isEmpty() && groups.last().first == u'.' &&
        std::count_if(groups.begin(), groups.end(), [](const auto& group) { return group.first == u'.'; }) == 1)
        decimals = groups.takeLast().second;

    qint64 magnitude = leading < 0 ? -leading : leading;
    bool fits = true;
    for (const auto& group : groups) {
        QString digits = group.second;
        while (digits.size() % 3 != 0) digits.append(QLatin1Char('0'));
        fits = fits && appendDigits(&magnitude, digits);
    }
    decimals = decimals.left(exponent).leftJustified(exponent, QLatin1Char('0'));
    fits = fits && appendDigits(&magnitude, decimals);
    if (!fits || magnitude > GeologicalYearLimit) return failure(error, "invalid year value");
    return UTDateTime::fromYears(negative ? -magnitude : magnitude);
}

std::optional<UTDateTime> UTDateTimeFormatter::parseWeeklyDate(const QString& text, PLError* error) const
{
    if (text.isEmpty()) return std::nullopt;
    PLScanner scanner(text);
    const int week = readInt(scanner, isSeparator);
    int day = 0;
    scanner.skipCharacters(isSeparator);
    if (!scanner.scanInt(&day)) day = matchName(scanWord(scanner, isSeparator), UTDateLocale::current().shortWeekdayNames());
    const int hour = readInt(scanner, isSeparator);
    const int minute = readInt(scanner, isSeparator);
    const int second = readInt(scanner, isSeparator);
    if (week < -100'000 || week > 100'000) return failure(error, "invalid week value");
    return build(error, [&] {
        UTDateTime value = UTDateTime::fromWeeks(week, 0);
        if (day != 0) {
            value.setDay(day);
            setTime(value, hour, minute, second);
        }
        return value;
    });
}

std::optional<UTDateTime> UTDateTimeFormatter::parseDailyDate(const QString& text, PLError* error) const
{
    if (text.isEmpty()) return std::nullopt;
    PLScanner scanner(text);
    const int days = readInt(scanner, isSeparator);
    const int hour = readInt(scanner, isSeparator);
    const int minute = readInt(scanner, isSeparator);
    const int second = readInt(scanner, isSeparator);
    if (days < -1'000'000 || days > 1'000'000) return failure(error, "invalid day value");
    return build(error, [&] {
        UTDateTime value = UTDateTime::fromDays(days);
        setTime(value, hour, minute, second);
        return value;
    });
}
