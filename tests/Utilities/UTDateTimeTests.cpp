#include "Platform/Core/PLAssert.h"
#include "Utilities/UTDateTime.h"
#include "Utilities/UTDateTimeInvalid.h"
#include "TestSupport/QStringPrinter.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

constexpr qint64 Year = UTDateTime::SecondsPerYear;
constexpr qint64 Month = UTDateTime::SecondsPerMonth;
constexpr qint64 Day = UTDateTime::SecondsPerDay;
constexpr qint64 Max = std::numeric_limits<qint64>::max();
constexpr qint64 Min = std::numeric_limits<qint64>::min();

UTDateTime read(const char* text)
{
    PLError error;
    const std::optional<UTDateTime> value = UTDateTime::fromString(QString::fromLatin1(text), &error);
    if (!value) ADD_FAILURE() << text << ": " << error.failureReason().toStdString();
    return value.value_or(UTDateTime());
}

UTDateTime withTime(UTDateTime value, int hour, int minute, int second)
{
    value.setHour(hour);
    value.setMinute(minute);
    value.setSecond(second);
    return value;
}

UTDateTime withMinute(UTDateTime value, int minute)
{
    value.setMinute(minute);
    return value;
}

UTDateTime withMonth(UTDateTime value, int month)
{
    value.setMonth(month);
    return value;
}

} // namespace

// Every scale's value written and read back: same text, same fields, same key.
TEST(UTDateTime, StoredTextRoundTrips)
{
    const struct {
        UTDateTime value;
        const char* text;
    } table[] = {
        {UTDateTime::fromYears(2008), "Y2008"},
        {withMonth(UTDateTime::fromYears(2008), 2), "Y2008/2"},
        {UTDateTime::fromYears(2008, 3, 15), "Y2008/3/15"},
        {withTime(UTDateTime::fromYears(2008, 3, 15), 14, 30, 0), "Y2008/3/15 14:30:0"},
        {withTime(UTDateTime::fromYears(2008, 3, 15), 0, 0, 1), "Y2008/3/15 0:0:1"},
        {withTime(UTDateTime::fromYears(2008, 3, 15), 0, 0, 0), "Y2008/3/15"},
        {UTDateTime::fromYears(-500), "Y-500"},
        {UTDateTime::fromYears(0), "Y0"},
        {UTDateTime::fromYears(20'000'000'000), "Y20000000000"},
        {UTDateTime::fromMonths(5, 3), "M5/3"},
        {withTime(UTDateTime::fromMonths(-2, 0), 5, 6, 7), "M-2 5:6:7"},
        {UTDateTime::fromWeeks(12, 3), "W12/3"},
        {UTDateTime::fromWeeks(12, 0), "W12"},
        {withTime(UTDateTime::fromWeeks(12, 0), 1, 0, 0), "W12 1:0:0"},
        {withTime(UTDateTime::fromMonths(5, 0), 0, 0, 9), "M5 0:0:9"},
        {withTime(UTDateTime::fromYears(2008), 5, 0, 0), "Y2008 5:0:0"},
        {withTime(withMonth(UTDateTime::fromYears(2008), 3), 5, 0, 0), "Y2008/3 5:0:0"},
        {withTime(UTDateTime::fromWeeks(-1, 7), 23, 59, 59), "W-1/7 23:59:59"},
        {withTime(UTDateTime::fromDays(40), 6, 0, 0), "D40 6:0:0"},
        {UTDateTime::fromDays(-3), "D-3"},
        {withMinute(UTDateTime::fromHours(100), 30), "H100:30:0"},
        {UTDateTime::fromHours(-3), "H-3"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.value.stringRepresentation(), QString::fromLatin1(row.text));
        const std::optional<UTDateTime> back = UTDateTime::fromString(QString::fromLatin1(row.text));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->scale(), row.value.scale());
        EXPECT_TRUE(back->isEqual(row.value));
        EXPECT_EQ(back->baseSeconds(), row.value.baseSeconds());
        EXPECT_EQ(back->stringRepresentation(), QString::fromLatin1(row.text));
    }
}

// Stored texts come from files: fields out of range give an error or a repaired value and
// the reader never throws. Parts below the unit are carried into the count, keeping the key.
TEST(UTDateTime, StoredTextOutOfRangeIsRefusedOrRepaired)
{
    const struct {
        const char* text;
        const char* repaired; // nullptr: refused with reason
        const char* reason;
    } table[] = {
        {"Y2008/13/1", nullptr, "invalid month value"},
        {"Y2008/-1", nullptr, "invalid month value"},
        {"Y2008/3/32", nullptr, "invalid day value"},
        {"Y2008/0/5", nullptr, "invalid month to set day"},
        {"Y2008/3/15 24:0:0", nullptr, "invalid time value"},
        {"Y2008/3/15 1:60:0", nullptr, "invalid time value"},
        {"Y2008/2/30", "Y2008/2/29", nullptr},
        {"Y1900/2/29", "Y1900/2/28", nullptr},
        {"Y5000/3", "Y5000/3", nullptr},
        {"Y5000/3/31 23:0:0", "Y5000/3/31 23:0:0", nullptr},
        {"Y-7/3/15", "Y-7/3/15", nullptr},
        {"Y300000000000", nullptr, "invalid year value"},
        {"Y-300000000000", nullptr, "invalid year value"},
        {"Y99999999999999999999", nullptr, "invalid year value"},
        {"M9223372036854775807", nullptr, "invalid year value"},
        {"H-9223372036854775808", nullptr, "invalid year value"},
        {"D9223372036854775807 23:0:0", nullptr, "invalid year value"},
        {"D5 -1:0:0", "D4 23:0:0", nullptr},
        {"H1:-30:0", "H0:30:0", nullptr},
        {"W3/9", "W4/2", nullptr},
        {"W3/-1", "W3", nullptr},
        {"W3 30:0:0", "W3/2 6:0:0", nullptr},
        {"M0/40", "M1/9", nullptr},
        {"D1 99999999999:0:0", "D89478486 7:0:0", nullptr}, // hour saturates at 2^31 - 1
        {"", nullptr, "invalid date text"},
        {"X2008", nullptr, "invalid date text"},
        {"y2008", nullptr, "invalid date text"},
        {"Y2008\xc3\xa9", nullptr, "invalid date text"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.text);
        PLError error;
        std::optional<UTDateTime> value;
        EXPECT_NO_THROW(value = UTDateTime::fromString(QString::fromUtf8(row.text), &error));
        if (row.repaired) {
            ASSERT_TRUE(value) << error.failureReason().toStdString();
            EXPECT_EQ(value->stringRepresentation(), QString::fromLatin1(row.repaired));
            EXPECT_EQ(value->baseSeconds(), read(row.repaired).baseSeconds());
            EXPECT_NO_THROW(value->daysInMonth());
        } else {
            EXPECT_FALSE(value);
            EXPECT_EQ(error.domain(), QStringLiteral("Ideaflux"));
            EXPECT_EQ(error.failureReason(), QString::fromLatin1(row.reason));
        }
    }
    // Parts that a scan format does not reach stay 0; the rest of the text is ignored.
    EXPECT_EQ(read("Y2008/3x").stringRepresentation(), QStringLiteral("Y2008/3"));
    EXPECT_EQ(read("Y 2008/3/15 14:30").stringRepresentation(), QStringLiteral("Y2008/3/15 14:30:0"));
    EXPECT_EQ(UTDateTime::fromString(QString(2100, QLatin1Char('7')).prepend(QLatin1Char('W'))), std::nullopt);
}

TEST(UTDateTime, SettersCheckTheirRangeAndKeepTheValueOnFailure)
{
    using Make = std::function<UTDateTime()>;
    using Change = std::function<void(UTDateTime&)>;
    const Make february1900 = [] { return withMonth(UTDateTime::fromYears(1900), 2); };
    const Make year2008 = [] { return UTDateTime::fromYears(2008); };
    const Make weeks = [] { return UTDateTime::fromWeeks(3, 2); };
    const Make months = [] { return UTDateTime::fromMonths(3, 2); };
    const Make days = [] { return UTDateTime::fromDays(3); };
    const Make hours = [] { return UTDateTime::fromHours(3); };
    const struct {
        const char* name;
        Make make;
        Change change;
        const char* result; // stored text after success, nullptr when it raises
        const char* reason;
    } table[] = {
        {"29 Feb 1900", february1900, [](UTDateTime& v) { v.setDay(29); }, nullptr, "invalid day value"},
        {"29 Feb 1500", [] { return withMonth(UTDateTime::fromYears(1500), 2); }, [](UTDateTime& v) { v.setDay(29); }, "Y1500/2/29", nullptr},
        {"29 Feb 2000", [] { return withMonth(UTDateTime::fromYears(2000), 2); }, [](UTDateTime& v) { v.setDay(29); }, "Y2000/2/29", nullptr},
        {"29 Feb 4", [] { return withMonth(UTDateTime::fromYears(4), 2); }, [](UTDateTime& v) { v.setDay(29); }, nullptr, "invalid day value"},
        {"day -1", february1900, [](UTDateTime& v) { v.setDay(-1); }, nullptr, "invalid day value"},
        {"month 13", year2008, [](UTDateTime& v) { v.setMonth(13); }, nullptr, "invalid month value"},
        {"month 0 clears", [] { return UTDateTime::fromYears(2008, 3, 15); }, [](UTDateTime& v) { v.setMonth(0); }, "Y2008", nullptr},
        {"month of year 0", [] { return UTDateTime::fromYears(0); }, [](UTDateTime& v) { v.setMonth(1); }, nullptr, "invalid year to set month"},
        {"month of year 3001", [] { return UTDateTime::fromYears(3001); }, [](UTDateTime& v) { v.setMonth(1); }, nullptr, "invalid year to set month"},
        {"day of year 3001", [] { return UTDateTime::fromYears(3001); }, [](UTDateTime& v) { v.setDay(1); }, nullptr, "invalid year to set day"},
        {"day without month", year2008, [](UTDateTime& v) { v.setDay(1); }, nullptr, "invalid month to set day"},
        {"years/month/day month 0", [] { return UTDateTime(); }, [](UTDateTime& v) { v = UTDateTime::fromYears(2008, 0, 1); }, nullptr, "invalid month to set day"},
        {"years/month/day year 0", [] { return UTDateTime(); }, [](UTDateTime& v) { v = UTDateTime::fromYears(0, 1, 1); }, nullptr, "invalid year to set month"},
        {"shorter month keeps a valid day", [] { return UTDateTime::fromYears(2008, 3, 31); }, [](UTDateTime& v) { v.setMonth(2); }, "Y2008/2/29", nullptr},
        {"year without the leap day", [] { return UTDateTime::fromYears(2008, 2, 29); }, [](UTDateTime& v) { v.setYear(2009); }, "Y2009/2/28", nullptr},
        {"hour 24 on years", year2008, [](UTDateTime& v) { v.setHour(24); }, nullptr, "invalid time value"},
        {"hour 24 on months", months, [](UTDateTime& v) { v.setHour(24); }, nullptr, "invalid time value"},
        {"hour 24 on weeks", weeks, [](UTDateTime& v) { v.setHour(24); }, nullptr, "invalid time value"},
        {"hour 24 on days", days, [](UTDateTime& v) { v.setHour(24); }, nullptr, "invalid time value"},
        {"hour 24 on hours", hours, [](UTDateTime& v) { v.setHour(24); }, "H24", nullptr},
        {"minute 60", days, [](UTDateTime& v) { v.setMinute(60); }, nullptr, "invalid time value"},
        {"second -1", days, [](UTDateTime& v) { v.setSecond(-1); }, nullptr, "invalid time value"},
        {"week day 8", weeks, [](UTDateTime& v) { v.setDay(8); }, nullptr, "invalid day value"},
        {"month day 32", months, [](UTDateTime& v) { v.setDay(32); }, nullptr, "invalid day value"},
        {"day on hours", hours, [](UTDateTime& v) { v.setDay(2); }, "H48", nullptr},
        {"week on days", days, [](UTDateTime& v) { v.setWeek(3); }, "D22", nullptr},
        {"month on weeks", weeks, [](UTDateTime& v) { v.setMonth(0); }, "W3/1", nullptr},
        {"year on hours", hours, [](UTDateTime& v) { v.setYear(1); }, "H9696", nullptr},
        {"year overflow", year2008, [](UTDateTime& v) { v.setYear(Max); }, nullptr, "invalid year value"},
        {"year underflow", year2008, [](UTDateTime& v) { v.setYear(Min); }, nullptr, "invalid year value"},
        {"month count overflow", months, [](UTDateTime& v) { v.setMonth(Max / Month + 1); }, nullptr, "invalid year value"},
        {"year to months overflow", days, [](UTDateTime& v) { v.setYear(Max / 12 + 1); }, nullptr, "invalid year value"},
        {"day to hours overflow", hours, [](UTDateTime& v) { v.setDay(Max / 24 + 1); }, nullptr, "invalid year value"},
        {"hour count overflow", hours, [](UTDateTime& v) { v.setHour(Max); }, nullptr, "invalid year value"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        UTDateTime value = row.make();
        const QString before = value.stringRepresentation();
        const qint64 beforeKey = value.baseSeconds();
        if (row.result) {
            EXPECT_NO_THROW(row.change(value));
            EXPECT_EQ(value.stringRepresentation(), QString::fromLatin1(row.result));
            EXPECT_EQ(value.baseSeconds(), read(row.result).baseSeconds());
            continue;
        }
        try {
            row.change(value);
            ADD_FAILURE() << "no exception";
        } catch (const UTDateTimeInvalid& invalid) {
            EXPECT_EQ(invalid.reason(), QString::fromLatin1(row.reason));
            EXPECT_EQ(invalid.error().failureReason(), QString::fromLatin1(row.reason));
        }
        EXPECT_EQ(value.stringRepresentation(), before);
        EXPECT_EQ(value.baseSeconds(), beforeKey);
    }
}

TEST(UTDateTime, MonthLengthsFollowTheCheckingRule)
{
    const struct {
        int month, year, days;
    } table[] = {{2, 1900, 28}, {2, 1500, 29}, {2, 2000, 29}, {2, 4, 28}, {2, 8, 29}, {2, 1696, 29},
                 {2, 1700, 28}, {2, 3000, 28}, {4, 2008, 30}, {12, 1, 31}};
    for (const auto& row : table) EXPECT_EQ(UTDateTime::daysInMonth(row.month, row.year), row.days) << row.month << "/" << row.year;
    for (const auto& [month, year] : {std::pair{13, 2008}, {0, 2008}, {1, 0}, {1, 3001}})
        EXPECT_THROW(UTDateTime::daysInMonth(month, year), PLAssertionFailure);
    EXPECT_EQ(read("Y1500/2").daysInMonth(), 29);
    EXPECT_EQ(read("Y2008").daysInMonth(), 31);
    EXPECT_EQ(read("W3").daysInMonth(), 31);
}

TEST(UTDateTime, SortKeys)
{
    const struct {
        const char* text;
        qint64 key;
    } table[] = {
        {"Y1", 0},
        {"Y0", 0},
        {"Y-1", 0},
        {"Y-1/5/3", 0},
        {"Y-2", -Year},
        {"Y1/1/2", Day},
        {"Y2", 365 * Day},
        {"Y9", (8 * 365 + 1) * Day},                           // year 8 is the first leap year
        {"Y1/1/1 1:2:3", 3723},
        {"Y1/3", (31 + 28) * Day},
        {"Y3001", read("Y3000").baseSeconds() + Year},
        {"Y3000/1/1 0:0:1", read("Y2999/12/31").baseSeconds() + Day + 1},
        {"Y3500/3", read("Y3500/1").baseSeconds() + 2 * Month},
        {"Y3500/3/2 1:0:0", read("Y3500/3").baseSeconds() + Day + 3600},
        {"M5/3", 5 * Month + 2 * Day},
        {"M5 1:0:0", 5 * Month + 3600},
        {"W12/3 14:0:0", 12 * 604'800 + 2 * Day + 14 * 3600},
        {"W12", 12 * 604'800},
        {"D40 6:0:0", 40 * Day + 6 * 3600},
        {"H100:30:0", 100 * 3600 + 30 * 60},
        {"H-3", -3 * 3600},
    };
    for (const auto& row : table) EXPECT_EQ(read(row.text).baseSeconds(), row.key) << row.text;
    // The leap days of the checking rule each have their own day.
    EXPECT_EQ(read("Y1500/3/1").baseSeconds() - read("Y1500/2/28").baseSeconds(), 2 * Day);
    EXPECT_EQ(read("Y1700/3/1").baseSeconds() - read("Y1700/2/28").baseSeconds(), Day);
    EXPECT_EQ(read("Y2000/1/1").baseSeconds() - read("Y1999/1/1").baseSeconds(), 365 * Day);
    EXPECT_EQ(read("Y2001/1/1").baseSeconds() - read("Y2000/1/1").baseSeconds(), 366 * Day);
}

TEST(UTDateTime, OrdersAcrossScalesAndYearsBeforeOne)
{
    const char* ascending[] = {
        "Y-300000000", "Y-5000", "Y-2", "Y1", "D1", "H25", "W1/3", "M1/2", "Y1/3", "Y2008/3/15",
        "Y2008/3/15 0:0:1", "Y2999/12/31 23:59:59", "Y3000", "Y3000/1/1 0:0:1", "Y5000", "H9999999999", "Y300000000",
    };
    for (size_t i = 0; i + 1 < std::size(ascending); ++i) {
        const UTDateTime earlier = read(ascending[i]), later = read(ascending[i + 1]);
        EXPECT_EQ(earlier.compare(later), -1) << ascending[i] << " < " << ascending[i + 1];
        EXPECT_EQ(later.compare(earlier), 1);
        EXPECT_EQ(later.compare(later), 0);
    }
    EXPECT_EQ(read("Y0").compare(read("Y-1")), 0);
    EXPECT_FALSE(read("Y0").isEqual(read("Y-1"))); // same key, different year
    EXPECT_EQ(read("Y1").compare(std::nullopt), -1);
    EXPECT_FALSE(read("Y1").isEqual(std::nullopt));
    // Scales are not compared, the receiver's fields are.
    EXPECT_TRUE(read("D0").isEqual(read("H0")));
    EXPECT_FALSE(read("D1").isEqual(read("H24")));
}

TEST(UTDateTime, FromBaseSecondsInvertsTheKey)
{
    EXPECT_FALSE(UTDateTime::fromBaseSeconds(0));
    EXPECT_FALSE(UTDateTime::fromBaseSeconds(-5));
    EXPECT_EQ(UTDateTime::fromBaseSeconds(Day)->stringRepresentation(), QStringLiteral("Y1/1/2"));
    EXPECT_EQ(UTDateTime::fromBaseSeconds(Max)->baseSeconds(), Max);
    for (const char* text : {"Y1/1/1 0:0:1", "Y8/2/29", "Y1500/2/29 12:0:0", "Y1582/10/10", "Y1700/3/1", "Y2008/3/15 14:30:5",
                             "Y2999/12/31 23:59:59", "Y3000/1/1", "Y3500/3/15 1:2:3", "Y3500/12/24 23:59:59"}) {
        const std::optional<UTDateTime> value = UTDateTime::fromBaseSeconds(read(text).baseSeconds());
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(value->stringRepresentation(), QString::fromLatin1(text));
    }
    // Every day of the calendar's years turns into a valid date with the same key.
    const qint64 year3000 = read("Y3000").baseSeconds();
    for (qint64 seconds = 1; seconds < year3000; seconds += Day) {
        const std::optional<UTDateTime> value = UTDateTime::fromBaseSeconds(seconds);
        ASSERT_EQ(value->baseSeconds(), seconds);
        ASSERT_LE(value->day(), value->daysInMonth()) << value->stringRepresentation().toStdString();
    }
    // From year 3000 on the keys count 31-day months: every day of those years still gives a
    // real date, never later than the key and the same for the keys of real dates.
    for (const qint64 year : {3000LL, 3001LL, 3004LL, 3100LL, 4000LL, 123456LL}) {
        SCOPED_TRACE(year);
        const qint64 start = UTDateTime::fromYears(year).baseSeconds();
        qint64 previous = start;
        for (qint64 seconds = start + 3723; seconds < start + UTDateTime::SecondsPerYear; seconds += Day) {
            const std::optional<UTDateTime> value = UTDateTime::fromBaseSeconds(seconds);
            ASSERT_TRUE(value);
            const std::string text = value->stringRepresentation().toStdString();
            ASSERT_EQ(value->year(), year) << text;
            ASSERT_TRUE(QDate(static_cast<int>(year), static_cast<int>(value->month()), static_cast<int>(value->day())).isValid())
                << text;
            ASSERT_LE(value->baseSeconds(), seconds) << text;
            ASSERT_GE(value->baseSeconds(), previous) << text;  // a walk by days never goes back
            previous = value->baseSeconds();
            EXPECT_EQ(value->hour() * 3600 + value->minute() * 60 + value->second(), 3723) << text;
            // A real date of the key's day gives back the key itself.
            if (value->day() == (seconds - start) / Day % 31 + 1) {
                EXPECT_EQ(value->baseSeconds(), seconds) << text;
            }
        }
    }
}

TEST(UTDateTime, AddSecondsCarriesAndBorrows)
{
    const struct {
        const char* start;
        qint64 seconds;
        const char* result;
    } table[] = {
        {"D10 23:59:59", 90'061, "D12 1:1:0"},
        {"W3/7", 86'400, "W4/1"},
        {"W3", 3600, "W3 1:0:0"},
        {"W3", 86'400, "W3/2"},
        {"W0", -1, "W-1/7 23:59:59"},
        {"M2/31 23:0:0", 3600, "M3/1"},
        {"M2", -Day, "M1/31"},
        {"D5", -3600, "D4 23:0:0"},
        {"H5", -1, "H4:59:59"},
        {"H5:59:59", 1, "H6"},
        {"H0", 7 * 3600 + 61, "H7:1:1"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.start);
        UTDateTime value = read(row.start);
        const qint64 before = value.baseSeconds();
        value.addSeconds(row.seconds);
        EXPECT_EQ(value.stringRepresentation(), QString::fromLatin1(row.result));
        EXPECT_EQ(value.baseSeconds(), before + row.seconds);
    }
    UTDateTime last = read("H2562047788015215"); // the last whole hour of the key
    EXPECT_THROW(last.addSeconds(3600), UTDateTimeInvalid);
    EXPECT_THROW(last.addSeconds(Max), UTDateTimeInvalid);
    EXPECT_EQ(last.stringRepresentation(), QStringLiteral("H2562047788015215"));
    UTDateTime years = read("Y2008");
    EXPECT_THROW(years.addSeconds(1), PLAssertionFailure);
}

TEST(UTDateTime, QueriesOnOtherScalesUseTheKey)
{
    const UTDateTime days = read("D400 6:0:0");
    EXPECT_EQ(days.year(), 1);
    EXPECT_EQ(days.month(), 12);
    EXPECT_EQ(days.week(), 57);
    EXPECT_EQ(days.day(), 400);
    EXPECT_EQ(days.hour(), 6);
    const UTDateTime hours = read("H100:30:0");
    EXPECT_EQ(hours.day(), 4);
    EXPECT_EQ(hours.hour(), 100);
    EXPECT_EQ(hours.minute(), 30);
    const UTDateTime months = read("M5/3");
    EXPECT_EQ(months.month(), 5);
    EXPECT_EQ(months.day(), 3);
    EXPECT_EQ(months.week(), (5 * Month + 2 * Day) / 604'800);
    const UTDateTime years = read("Y2008/3/15 14:30:5");
    EXPECT_TRUE(years.isYears());
    EXPECT_EQ(years.year(), 2008);
    EXPECT_EQ(years.month(), 3);
    EXPECT_EQ(years.day(), 15);
    EXPECT_EQ(years.hour(), 14);
    EXPECT_EQ(years.second(), 5);
}

TEST(UTDateTime, CalendarDateIsLocal)
{
    EXPECT_EQ(read("Y2008/3/15 14:30:5").calendarDate(), QDateTime(QDate(2008, 3, 15), QTime(14, 30, 5), Qt::LocalTime));
    EXPECT_EQ(read("Y2008").calendarDate(), QDateTime(QDate(2008, 1, 1), QTime(0, 0), Qt::LocalTime));
    EXPECT_EQ(read("Y1500/2/29").calendarDate().date(), QDate(1500, 2, 28));
    EXPECT_FALSE(read("Y0").calendarDate().isValid());
    EXPECT_FALSE(read("W3").calendarDate().isValid());
}
