#include "Utilities/UTDateTime.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLScanner.h"
#include "Utilities/UTDateTimeInvalid.h"

#include <QDate>
#include <QTime>

#include <algorithm>

namespace {

// The calendar of the sort key for years 1 to 2999. Its leap years are the ones of the
// month-length rule that every check uses: none before year 8, every fourth year from 8 to
// 1696 (the centuries included), and from 1700 on the Gregorian rule (centuries only when
// divisible by 400). Days are 86,400 s. With one rule for checks and keys, every date the
// setters accept has a key of its own and a key turns back into the same date.
constexpr bool isLeapYear(qint64 year)
{
    if (year < 8 || year % 4 != 0) return false;
    if (year < 1700) return true;
    return year % 100 != 0 || year % 400 == 0;
}

// The multiples of k in [first, last], for 1 <= first.
constexpr qint64 multiplesIn(qint64 k, qint64 first, qint64 last)
{
    return last < first ? 0 : last / k - (first - 1) / k;
}

// Days from 1 January of year 1 to 1 January of year (1 to 3000).
constexpr qint64 daysBeforeYear(qint64 year)
{
    const qint64 last = year - 1;
    qint64 leapYears = multiplesIn(4, 8, std::min<qint64>(last, 1699));
    leapYears += multiplesIn(4, 1700, last) - multiplesIn(100, 1700, last) + multiplesIn(400, 1700, last);
    return 365 * last + leapYears;
}

constexpr int MonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

constexpr int monthLength(int month, qint64 year)
{
    return MonthLengths[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

constexpr qint64 daysBeforeMonth(int month, qint64 year)
{
    qint64 days = 0;
    for (int m = 1; m < month; ++m) days += monthLength(m, year);
    return days;
}

// From year 3000 on the key counts fixed 365-day years and 31-day months from this key.
constexpr qint64 Year3000Key = daysBeforeYear(3000) * UTDateTime::SecondsPerDay;

static_assert(daysBeforeYear(2) == 365 && daysBeforeYear(9) == 365 * 8 + 1);
static_assert(daysBeforeYear(1701) - daysBeforeYear(1700) == 365);

[[noreturn]] void raise(const char* reason)
{
    throw UTDateTimeInvalid(QString::fromLatin1(reason));
}

// Ranges are tested as unsigned numbers, so a negative argument fails.
constexpr bool inRange(qint64 value, qint64 maximum)
{
    return static_cast<quint64>(value) <= static_cast<quint64>(maximum);
}

// count * unit + rest, or nothing when it does not fit.
std::optional<qint64> scaled(qint64 count, qint64 unit, qint64 rest)
{
    qint64 result = 0;
    if (__builtin_mul_overflow(count, unit, &result) || __builtin_add_overflow(result, rest, &result)) return std::nullopt;
    return result;
}

qint64 unitLength(UTDateTime::Scale scale)
{
    switch (scale) {
    case UTDateTime::Months: return UTDateTime::SecondsPerMonth;
    case UTDateTime::Weeks: return UTDateTime::SecondsPerWeek;
    case UTDateTime::Days: return UTDateTime::SecondsPerDay;
    case UTDateTime::Hours: return UTDateTime::SecondsPerHour;
    case UTDateTime::Years: break;
    }
    return UTDateTime::SecondsPerYear;
}

std::optional<UTDateTime> failure(PLError* error, const char* reason)
{
    PLSetError(error, UTDateTimeInvalid::errorWithReason(QString::fromLatin1(reason)));
    return std::nullopt;
}

} // namespace

UTDateTime UTDateTime::fromYears(qint64 year)
{
    UTDateTime value;
    value.setYear(year);
    return value;
}

UTDateTime UTDateTime::fromYears(int year, int month, int day)
{
    UTDateTime value;
    value.setYear(year);
    value.setMonth(month);
    value.setDay(day);
    return value;
}

UTDateTime UTDateTime::fromMonths(int months, int day)
{
    UTDateTime value;
    value.m_scale = Months;
    value.setMonth(months);
    value.setDay(day);
    return value;
}

UTDateTime UTDateTime::fromWeeks(int weeks, int day)
{
    UTDateTime value;
    value.m_scale = Weeks;
    value.setWeek(weeks);
    value.setDay(day);
    return value;
}

UTDateTime UTDateTime::fromDays(int days)
{
    UTDateTime value;
    value.m_scale = Days;
    value.setDay(days);
    return value;
}

UTDateTime UTDateTime::fromHours(int hours)
{
    UTDateTime value;
    value.m_scale = Hours;
    value.setHour(hours);
    return value;
}

std::optional<UTDateTime> UTDateTime::fromString(const QString& text, PLError* error)
{
    if (text.isEmpty()) return failure(error, "invalid date text");
    for (QChar c : text) {
        if (c.unicode() > 127) return failure(error, "invalid date text");
    }

    UTDateTime value;
    switch (text.at(0).unicode()) {
    case u'Y': value.m_scale = Years; break;
    case u'M': value.m_scale = Months; break;
    case u'W': value.m_scale = Weeks; break;
    case u'D': value.m_scale = Days; break;
    case u'H': value.m_scale = Hours; break;
    default: return failure(error, "invalid date text");
    }
    // The count, then "/month/day" (years) or "/day" (months and weeks), then " h:m:s" (or
    // ":m:s" for hours); white space may come before a number, the first mismatch ends the
    // text and parts not reached stay 0. The time is read even without the date parts that
    // may precede it, since the writer leaves those out when they are 0.
    PLScanner scanner(text.mid(1, 1998));
    qint64 count = 0;
    int fields[5] = {}; // month, day, hour, minute, second
    const auto scanAfter = [&scanner](char mark, int* field) {
        const qsizetype start = scanner.location();
        if (scanner.scanCharacter(QLatin1Char(mark)) && scanner.scanInt(field)) return true;
        scanner.setLocation(start);
        return false;
    };
    if (scanner.scanLongLong(&count)) {
        if (value.isYears()) {
            if (scanAfter('/', &fields[0])) scanAfter('/', &fields[1]);
        } else if (value.isMonths() || value.isWeeks()) {
            scanAfter('/', &fields[1]);
        }
        const bool hasHour = !value.isHours() && scanner.scanInt(&fields[2]);
        if (hasHour || value.isHours()) {
            if (scanAfter(':', &fields[3])) scanAfter(':', &fields[4]);
        }
    }

    const auto [month, day, hour, minute, second] = fields;
    if (value.isYears()) {
        if (!inRange(month, 12)) return failure(error, "invalid month value");
        if (!inRange(day, 31)) return failure(error, "invalid day value");
        if (day > 0 && month == 0) return failure(error, "invalid month to set day");
        if (!inRange(hour, 23) || !inRange(minute, 59) || !inRange(second, 59)) return failure(error, "invalid time value");
        value.m_year = count;
        value.m_month = static_cast<qint8>(month);
        value.m_day = static_cast<qint8>(day);
        value.m_hour = static_cast<qint8>(hour);
        value.m_minute = static_cast<quint8>(minute);
        value.m_second = static_cast<quint8>(second);
        value.clampDayToMonth();
    } else {
        // Parts below the unit out of their range (a negative time left by an older move, a
        // day past the end of the week) are carried into the count; the key stays the same.
        const qint64 offset = offsetWithinUnit(value.scale(), day, hour, minute, second);
        if (!value.normalize(count, offset, day <= 0)) return failure(error, "invalid year value");
    }
    const std::optional<qint64> key = value.computeKey();
    if (!key) return failure(error, "invalid year value");
    value.m_timeInterval = *key;
    return value;
}

std::optional<UTDateTime> UTDateTime::fromBaseSeconds(qint64 seconds)
{
    if (seconds <= 0) return std::nullopt;
    UTDateTime value;
    qint64 rest = 0;
    if (seconds >= Year3000Key) {
        // The inverse of the key of late years, which counts 365-day years of 31-day months.
        // Those months run past the calendar's: a key beyond a month's last day gives that
        // last day (at the key's time), so every result is a real date and no later than the
        // key; December ends on the 24th, where the next year's key begins.
        const qint64 beyond = seconds - Year3000Key;
        value.m_year = 3000 + beyond / SecondsPerYear;
        const qint64 dayOfYear = beyond % SecondsPerYear / SecondsPerDay;
        rest = beyond % SecondsPerDay;
        const int month = static_cast<int>(dayOfYear / 31) + 1;
        value.m_month = static_cast<qint8>(month);
        value.m_day = static_cast<qint8>(std::min<qint64>(dayOfYear % 31 + 1, monthLength(month, value.m_year)));
    } else {
        qint64 days = seconds / SecondsPerDay;
        rest = seconds % SecondsPerDay;
        qint64 low = 1, high = 2999;
        while (low < high) {
            const qint64 middle = (low + high + 1) / 2;
            if (daysBeforeYear(middle) <= days) low = middle;
            else high = middle - 1;
        }
        value.m_year = low;
        days -= daysBeforeYear(low);
        int month = 1;
        while (month < 12 && days >= monthLength(month, low)) days -= monthLength(month++, low);
        value.m_month = static_cast<qint8>(month);
        value.m_day = static_cast<qint8>(days + 1);
    }
    value.m_hour = static_cast<qint8>(rest / SecondsPerHour);
    value.m_minute = static_cast<quint8>(rest % SecondsPerHour / 60);
    value.m_second = static_cast<quint8>(rest % 60);
    value.m_timeInterval = *value.computeKey();
    return value;
}

qint64 UTDateTime::year() const
{
    return isYears() ? m_year : m_timeInterval / SecondsPerYear;
}

qint64 UTDateTime::month() const
{
    if (isMonths()) return m_year;
    if (isYears()) return m_month;
    return m_timeInterval / SecondsPerMonth;
}

qint64 UTDateTime::week() const
{
    return isWeeks() ? m_year : m_timeInterval / SecondsPerWeek;
}

qint64 UTDateTime::day() const
{
    if (isDays()) return m_year;
    if (isHours()) return m_timeInterval / SecondsPerDay;
    return m_day;
}

qint64 UTDateTime::hour() const
{
    return isHours() ? m_year : m_hour;
}

int UTDateTime::daysInMonth() const
{
    // Values read from a file may carry any year; only the checked years have a rule.
    if (isYears() && m_year >= 1 && m_year <= 3000 && m_month >= 1 && m_month <= 12)
        return daysInMonth(m_month, static_cast<int>(m_year));
    return 31;
}

int UTDateTime::daysInMonth(int month, int year)
{
    PL_ASSERT(year > 0 && year <= 3000 && month > 0 && month <= 12);
    return monthLength(month, year);
}

int UTDateTime::compare(const std::optional<UTDateTime>& other) const
{
    if (!other) return -1;
    if (m_timeInterval < other->m_timeInterval) return -1;
    return m_timeInterval > other->m_timeInterval ? 1 : 0;
}

bool UTDateTime::isEqual(const std::optional<UTDateTime>& other) const
{
    if (!other || m_timeInterval != other->m_timeInterval) return false;
    const UTDateTime& o = *other;
    const bool sameCount = m_year == o.m_year;
    const bool sameMinutes = m_minute == o.m_minute && m_second == o.m_second;
    switch (m_scale) {
    case Years: return sameCount && m_month == o.m_month && m_day == o.m_day && m_hour == o.m_hour && sameMinutes;
    case Months:
    case Weeks: return sameCount && m_day == o.m_day && m_hour == o.m_hour && sameMinutes;
    case Days: return sameCount && m_hour == o.m_hour && sameMinutes;
    case Hours: return sameCount && sameMinutes;
    }
    return true;
}

QString UTDateTime::stringRepresentation() const
{
    QString text;
    switch (m_scale) {
    case Years:
        text = QLatin1Char('Y') + QString::number(m_year);
        if (m_month != 0) text += QLatin1Char('/') + QString::number(int(m_month));
        if (m_month != 0 && m_day != 0) text += QLatin1Char('/') + QString::number(int(m_day));
        break;
    case Months:
    case Weeks:
        text = QLatin1Char(isMonths() ? 'M' : 'W') + QString::number(m_year);
        if (m_day != 0) text += QLatin1Char('/') + QString::number(int(m_day));
        break;
    case Days: text = QLatin1Char('D') + QString::number(m_year); break;
    case Hours:
        text = QLatin1Char('H') + QString::number(m_year);
        if (m_minute != 0 || m_second != 0) text += QStringLiteral(":%1:%2").arg(int(m_minute)).arg(int(m_second));
        return text;
    default: return QString();
    }
    if (m_hour != 0 || m_minute != 0 || m_second != 0)
        text += QStringLiteral(" %1:%2:%3").arg(int(m_hour)).arg(int(m_minute)).arg(int(m_second));
    return text;
}

QDateTime UTDateTime::calendarDate() const
{
    if (!isYears() || m_year < 1 || m_year > 9999) return QDateTime();
    const int year = static_cast<int>(m_year);
    const int month = m_month > 0 ? m_month : 1;
    // Qt's calendar lacks some leap days of ours (29 February 1500): the month's last day serves.
    const int day = std::min<int>(m_day > 0 ? m_day : 1, QDate(year, month, 1).daysInMonth());
    return QDateTime(QDate(year, month, day), QTime(m_hour, m_minute, m_second), Qt::LocalTime);
}

void UTDateTime::setYear(qint64 year)
{
    if (!isYears()) {
        qint64 months = 0;
        if (__builtin_mul_overflow(year, 12, &months) || __builtin_add_overflow(months, 1, &months)) raise("invalid year value");
        setMonth(months);
        return;
    }
    UTDateTime changed = *this;
    changed.m_year = year;
    changed.clampDayToMonth();
    commit(changed);
}

void UTDateTime::setMonth(qint64 month)
{
    UTDateTime changed = *this;
    switch (m_scale) {
    case Months: changed.m_year = month; break;
    case Years:
        if (m_year < 1 || m_year > 3000) raise("invalid year to set month");
        if (!inRange(month, 12)) raise("invalid month value");
        changed.m_month = static_cast<qint8>(month);
        // A day belongs to a month: it goes with the month and never exceeds the new one.
        if (month == 0) changed.m_day = 0;
        changed.clampDayToMonth();
        break;
    default: {
        qint64 days = 0;
        if (__builtin_mul_overflow(month, 31, &days) || __builtin_add_overflow(days, 1, &days)) raise("invalid year value");
        setDay(days);
        return;
    }
    }
    commit(changed);
}

void UTDateTime::setWeek(qint64 week)
{
    if (isWeeks()) {
        UTDateTime changed = *this;
        changed.m_year = week;
        commit(changed);
        return;
    }
    qint64 days = 0;
    if (__builtin_mul_overflow(week, 7, &days) || __builtin_add_overflow(days, 1, &days)) raise("invalid year value");
    setDay(days);
}

void UTDateTime::setDay(qint64 day)
{
    UTDateTime changed = *this;
    switch (m_scale) {
    case Days: changed.m_year = day; break;
    case Years:
        if (m_year < 1 || m_year > 3000) raise("invalid year to set day");
        if (m_month < 1 || m_month > 12) raise("invalid month to set day");
        if (!inRange(day, daysInMonth(m_month, static_cast<int>(m_year)))) raise("invalid day value");
        changed.m_day = static_cast<qint8>(day);
        break;
    case Weeks:
    case Months:
        if (!inRange(day, isWeeks() ? 7 : 31)) raise("invalid day value");
        changed.m_day = static_cast<qint8>(day);
        break;
    default: {
        qint64 hours = 0;
        if (__builtin_mul_overflow(day, 24, &hours)) raise("invalid year value");
        setHour(hours);
        return;
    }
    }
    commit(changed);
}

void UTDateTime::setHour(qint64 hour)
{
    UTDateTime changed = *this;
    if (isHours()) {
        changed.m_year = hour;
    } else {
        if (!inRange(hour, 23)) raise("invalid time value");
        changed.m_hour = static_cast<qint8>(hour);
    }
    commit(changed);
}

void UTDateTime::setMinute(int minute)
{
    if (!inRange(minute, 59)) raise("invalid time value");
    UTDateTime changed = *this;
    changed.m_minute = static_cast<quint8>(minute);
    commit(changed);
}

void UTDateTime::setSecond(int second)
{
    if (!inRange(second, 59)) raise("invalid time value");
    UTDateTime changed = *this;
    changed.m_second = static_cast<quint8>(second);
    commit(changed);
}

void UTDateTime::addSeconds(qint64 seconds)
{
    PL_ASSERT_PARAM(!isYears(), "invalid time scale to addSeconds:");
    // Moves borrow as well as carry, so the parts below the unit stay in range and the key
    // moves by exactly the seconds given.
    UTDateTime changed = *this;
    qint64 offset = 0;
    if (__builtin_add_overflow(offsetWithinUnit(), seconds, &offset) || !changed.normalize(m_year, offset, m_day <= 0))
        raise("invalid year value");
    commit(changed);
}

std::optional<qint64> UTDateTime::computeKey() const
{
    switch (m_scale) {
    case Years: {
        const qint64 time = m_hour * SecondsPerHour + m_minute * 60 + m_second;
        if (m_year >= 1 && m_year < 3000) {
            qint64 days = daysBeforeYear(m_year);
            qint64 rest = 0;
            if (m_month > 0) {
                days += daysBeforeMonth(m_month, m_year);
                if (m_day > 0) {
                    days += m_day - 1;
                    rest = time;
                }
            }
            return days * SecondsPerDay + rest;
        }
        if (m_year >= 3000) {
            qint64 rest = Year3000Key;
            if (m_month > 0) {
                rest += (m_month - 1) * SecondsPerMonth;
                if (m_day > 0) rest += (m_day - 1) * SecondsPerDay + time;
            }
            return scaled(m_year - 3000, SecondsPerYear, rest);
        }
        // Years 1, 0 and -1 share the key 0; a month or day before year 1 does not count.
        if (m_year == 0) return 0;
        return scaled(m_year + 1, SecondsPerYear, 0);
    }
    case Months:
    case Weeks:
    case Days:
    case Hours: return scaled(m_year, unitLength(scale()), offsetWithinUnit());
    }
    return m_year;
}

qint64 UTDateTime::offsetWithinUnit() const
{
    return offsetWithinUnit(scale(), m_day, m_hour, m_minute, m_second);
}

qint64 UTDateTime::offsetWithinUnit(Scale scale, qint64 day, qint64 hour, qint64 minute, qint64 second)
{
    switch (scale) {
    case Months:
    case Weeks: return (day > 0 ? day - 1 : 0) * SecondsPerDay + hour * SecondsPerHour + minute * 60 + second;
    case Days: return hour * SecondsPerHour + minute * 60 + second;
    case Hours: return minute * 60 + second;
    case Years: break;
    }
    return 0;
}

bool UTDateTime::normalize(qint64 count, qint64 offset, bool keepNoDay)
{
    const qint64 unit = unitLength(scale());
    qint64 whole = offset / unit;
    qint64 rest = offset % unit;
    if (rest < 0) {
        rest += unit;
        --whole;
    }
    if (__builtin_add_overflow(count, whole, &m_year)) return false;
    if (isMonths() || isWeeks()) {
        const qint64 dayIndex = rest / SecondsPerDay;
        m_day = static_cast<qint8>(keepNoDay && dayIndex == 0 ? 0 : dayIndex + 1);
        rest %= SecondsPerDay;
    }
    if (!isHours()) m_hour = static_cast<qint8>(rest / SecondsPerHour);
    m_minute = static_cast<quint8>(rest % SecondsPerHour / 60);
    m_second = static_cast<quint8>(rest % 60);
    return true;
}

void UTDateTime::clampDayToMonth()
{
    if (m_day > 0) m_day = static_cast<qint8>(std::min(static_cast<int>(m_day), daysInMonth()));
}

void UTDateTime::commit(UTDateTime changed)
{
    const std::optional<qint64> key = changed.computeKey();
    if (!key) raise("invalid year value");
    changed.m_timeInterval = *key;
    *this = changed;
}
