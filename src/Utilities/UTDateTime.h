#pragma once

#include "Platform/Core/PLError.h"

#include <QDateTime>
#include <QString>

#include <optional>

// A point in time on the timeline: a begin or end date of a branch, a ruler tick, the value
// of a date field. It counts in one unit (its scale): calendar years with month, day and time
// of day, or months, weeks, days or hours with the parts below the unit. Every value keeps a
// sort key, seconds since 1 January of year 1, by which values compare and are placed.
//
// Setters check their argument and throw UTDateTimeInvalid with a reason when it is out of
// range; the value then stays as it was. Reading the stored text form never throws.
class UTDateTime {
public:
    enum Scale : qint8 { Years = 0, Months = 1, Weeks = 2, Days = 3, Hours = 4 };

    // Fixed unit lengths of the sort key.
    static constexpr qint64 SecondsPerYear = 31'536'000;
    static constexpr qint64 SecondsPerMonth = 2'678'400;
    static constexpr qint64 SecondsPerWeek = 604'800;
    static constexpr qint64 SecondsPerDay = 86'400;
    static constexpr qint64 SecondsPerHour = 3'600;

    // Year scale, year 0, every other field 0.
    UTDateTime() = default;

    // Constructors run the setters named, so the setters' checks apply.
    static UTDateTime fromYears(qint64 year);                  // setYear
    static UTDateTime fromYears(int year, int month, int day); // setYear, setMonth, setDay
    static UTDateTime fromMonths(int months, int day);         // setMonth, setDay
    static UTDateTime fromWeeks(int weeks, int day);           // setWeek, setDay
    static UTDateTime fromDays(int days);                      // setDay
    static UTDateTime fromHours(int hours);                    // setHour

    // Reads the stored text form ("Y2008/3/15 14:30:0", "W12/3", "H100:30:0", ...). Never
    // throws: a text that is empty, not ASCII, of an unknown form, with a field out of range or
    // a count whose sort key would overflow gives nothing and an error naming the reason.
    static std::optional<UTDateTime> fromString(const QString& text, PLError* error = nullptr);
    // The year-scale value at that many seconds after 1 January of year 1; nothing for 0 or less.
    static std::optional<UTDateTime> fromBaseSeconds(qint64 seconds);

    Scale scale() const { return static_cast<Scale>(m_scale); }
    bool isYears() const { return m_scale == Years; }
    bool isMonths() const { return m_scale == Months; }
    bool isWeeks() const { return m_scale == Weeks; }
    bool isDays() const { return m_scale == Days; }
    bool isHours() const { return m_scale == Hours; }

    // Each returns the count on its own scale and a field or a whole number of units of the
    // sort key on the others.
    qint64 year() const;
    qint64 month() const;
    qint64 week() const;
    qint64 day() const;
    qint64 hour() const;
    int minute() const { return m_minute; }
    int second() const { return m_second; }

    // The length of the value's month for a year-scale value of years 1 to 3000 with a month,
    // else 31.
    int daysInMonth() const;
    // The length of a month by the leap-year rule of the checks: no leap year before 8, every
    // fourth year from 8 on, and from 1700 on the centuries only when divisible by 400.
    // Requires year 1 to 3000 and month 1 to 12.
    static int daysInMonth(int month, int year);

    qint64 baseSeconds() const { return m_timeInterval; }
    // -1, 0 or 1 by sort key; nothing sorts after every value.
    int compare(const std::optional<UTDateTime>& other) const;
    // Equal sort keys and equal fields of the receiver's scale.
    bool isEqual(const std::optional<UTDateTime>& other) const;
    bool operator==(const UTDateTime& other) const { return isEqual(other); }

    // The stored text form.
    QString stringRepresentation() const;
    // A year-scale value of years 1 to 9999 as a date and time in the local time zone (month
    // and day 1 when not set), else an invalid QDateTime.
    QDateTime calendarDate() const;

    void setYear(qint64 year);
    void setMonth(qint64 month);
    void setWeek(qint64 week);
    void setDay(qint64 day);
    void setHour(qint64 hour);
    void setMinute(int minute);
    void setSecond(int second);

    // Moves a value of the month, week, day or hour scale by seconds (either sign), keeping
    // the parts below the unit in range. The year scale cannot move: a programming error.
    void addSeconds(qint64 seconds);

private:
    // The sort key of the fields, or nothing when it does not fit in 64 bits.
    std::optional<qint64> computeKey() const;
    // The seconds of the parts below the unit on the month, week, day and hour scales.
    qint64 offsetWithinUnit() const;
    static qint64 offsetWithinUnit(Scale scale, qint64 day, qint64 hour, qint64 minute, qint64 second);
    // A year-scale day beyond the length of its month becomes the month's last day.
    void clampDayToMonth();
    // Sets the count to count plus whole units of offset and the parts below the unit to the
    // rest; false when the count would overflow. A day of 0 ("none") stays 0 while the rest
    // lies within the unit's first day.
    bool normalize(qint64 count, qint64 offset, bool keepNoDay);
    // Takes the fields of changed with its sort key recomputed, or throws "invalid year value".
    void commit(UTDateTime changed);

    qint64 m_timeInterval = 0;
    qint64 m_year = 0;
    qint8 m_scale = Years;
    qint8 m_month = 0;
    qint8 m_day = 0;
    qint8 m_hour = 0;
    quint8 m_minute = 0;
    quint8 m_second = 0;
};
