#include "Platform/Core/PLAssert.h"
#include "TestSupport/QStringPrinter.h"
#include "Utilities/UTDateLocale.h"
#include "Utilities/UTDateTimeFormatter.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

using Style = UTDateTimeFormatter::FormatType;

const QString DayFirst = QStringLiteral("dd/MM/yyyy");
const QString MonthFirst = QStringLiteral("M/d/yy");

UTDateTime stored(const char* text)
{
    return UTDateTime::fromString(QString::fromLatin1(text)).value();
}

// Every test formats with English names and a day-first short date unless it installs another.
class UTDateTimeFormatterTest : public ::testing::Test {
protected:
    void SetUp() override { useDateFormat(DayFirst); }
    void TearDown() override { UTDateLocale::install(std::nullopt); }
    static void useDateFormat(const QString& format) { UTDateLocale::install(UTDateLocale({}, {}, format)); }
};

} // namespace

TEST_F(UTDateTimeFormatterTest, DisplayAndEditingTextReadBack)
{
    const struct {
        int style;
        const char* value;
        int yearScale;
        const char* suffix;
        const char* display;
        const char* editing;
        bool readsBack; // the editing text parses to the same value
    } table[] = {
        {Style::CommonEra, "Y2008", 0, "", "2008", "2008", true},
        {Style::CommonEra, "Y2008/3", 0, "", "Mar 2008", "Mar 2008", true},
        {Style::CommonEra, "Y2008/3/15", 0, "", "15 Mar 2008", "15 Mar 2008", true},
        {Style::CommonEra, "Y2008/3/15 14:30:0", 0, "", "15 Mar 2008, 14:30", "15 Mar 2008, 14:30", true},
        {Style::CommonEra, "Y2008/3/15 14:30:5", 0, "", "15 Mar 2008, 14:30:05", "15 Mar 2008, 14:30:05", true},
        {Style::CommonEra, "Y2008/12/1 0:0:1", 0, "", "1 Dec 2008, 00:00:01", "1 Dec 2008, 00:00:01", true},
        {Style::CommonEra, "Y0", 0, "", "", "0 BC", false},
        {Style::Historic, "Y800", 0, "", "800 AD", "800 AD", true},
        {Style::Historic, "Y1200", 0, "", "1200", "1200 AD", true},
        {Style::Historic, "Y0", 0, "", "0 BC", "0 BC", false},
        {Style::Historic, "Y-44", 0, "", "44 BC", "44 BC", true},
        {Style::Historic, "Y1200/3/1", 0, "", "1 Mar 1200", "1 Mar 1200 AD", true},
        {Style::Historic, "Y99/7", 0, "", "Jul 99", "Jul 99 AD", true},
        {Style::Historic, "Y2008/3/15 14:30:0", 0, "", "15 Mar 2008", "15 Mar 2008 AD", false},
        {Style::Geological, "Y1050", 0, " y", "1,050 y", "1,050", true},
        {Style::Geological, "Y-20000000000", 0, "", "-20,000,000,000", "-20,000,000,000", true},
        {Style::Geological, "Y-65000000", 6, " my", "-65 my", "-65", true},
        {Style::Geological, "Y1500", 3, " ty", "1.5 ty", "1.5", true},
        {Style::Geological, "Y-500", 3, " ty", "-0.5 ty", "-0.5", true},
        {Style::Geological, "Y1234567", 6, " my", "1.235 my", "1.235", false},
        {Style::Geological, "Y-1", 6, "", "0", "0", false},
        {Style::Weekly, "W12", 0, "", "week 12", "12", true},
        {Style::Weekly, "W12/3", 0, "", "week 12 Tue", "12 Tue", true},
        {Style::Weekly, "W12/3 14:30:0", 0, "", "week 12 Tue, 14:30", "12 Tue 14:30", true},
        {Style::Weekly, "W12/3 14:30:5", 0, "", "week 12 Tue, 14:30:05", "12 Tue 14:30:05", true},
        {Style::Weekly, "W-2/1", 0, "", "week -2 Sun", "-2 Sun", true},
        {Style::Daily, "D40", 0, "", "day 40", "40", true},
        {Style::Daily, "D40 6:0:0", 0, "", "day 40, 06:00", "40 06:00", true},
        {Style::Daily, "D-40 6:0:7", 0, "", "day -40, 06:00:07", "-40 06:00:07", true},
        // A file may pair any value with any time scale: it shows in the form of its own scale.
        {Style::Weekly, "Y2008/3", 0, "", "Mar 2008", "Mar 2008", false},
        {Style::CommonEra, "W12/3", 0, "", "week 12 Tue", "12 Tue", false},
        {Style::Historic, "D40", 0, "", "day 40", "40", false},
        {Style::Daily, "M5/3", 0, "", "M5/3", "M5/3", false},
        {Style::Geological, "H100:30:0", 0, "", "H100:30:0", "H100:30:0", false},
        {7, "Y2008", 0, "", "", "", false},
        {-1, "W12", 0, "", "", "", false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.value) + " in style " + std::to_string(row.style));
        UTDateTimeFormatter formatter(row.style);
        formatter.setYearScale(row.yearScale, QString::fromLatin1(row.suffix));
        const UTDateTime value = stored(row.value);
        EXPECT_EQ(formatter.stringForObjectValue(value), QString::fromLatin1(row.display));
        EXPECT_EQ(formatter.editingStringForObjectValue(value), QString::fromLatin1(row.editing));
        if (!row.readsBack) continue;
        std::optional<UTDateTime> back;
        PLError error;
        ASSERT_TRUE(formatter.getObjectValue(&back, QString::fromLatin1(row.editing), &error)) << error.failureReason().toStdString();
        ASSERT_TRUE(back);
        EXPECT_EQ(back->stringRepresentation(), value.stringRepresentation());
    }
    EXPECT_EQ(UTDateTimeFormatter().stringForObjectValue(std::nullopt), QString());
    EXPECT_EQ(UTDateTimeFormatter().editingStringForObjectValue(std::nullopt), QString());
}

TEST_F(UTDateTimeFormatterTest, ParsesTypedText)
{
    const QString thisYear = QString::number(UTDateTimeFormatter::cur_year());
    const struct {
        int style;
        const QString& dateFormat;
        int yearScale;
        const char* text;
        QString result; // stored text, empty when it fails
        const char* error;
    } table[] = {
        {Style::CommonEra, DayFirst, 0, "5/3/2008", "Y2008/3/5", nullptr},
        {Style::CommonEra, MonthFirst, 0, "5/3/2008", "Y2008/5/3", nullptr},
        {Style::CommonEra, DayFirst, 0, "3/15/2008", "Y2008/3/15", nullptr},
        {Style::CommonEra, MonthFirst, 0, "3/15/2008", "Y2008/3/15", nullptr},
        {Style::CommonEra, MonthFirst, 0, "20/3/15", "Y15/3/20", nullptr}, // 13 to 31 first: a day
        {Style::CommonEra, DayFirst, 0, "2008-3-15", "Y2008/3/15", nullptr},
        {Style::CommonEra, DayFirst, 0, "5/3/08", "Y2008/3/5", nullptr},
        {Style::CommonEra, DayFirst, 0, "5/3/99", "Y99/3/5", nullptr},
        {Style::CommonEra, DayFirst, 0, "Mar 2008", "Y2008/3", nullptr},
        {Style::CommonEra, DayFirst, 0, "march", "Y" + thisYear + "/3", nullptr},
        {Style::CommonEra, DayFirst, 0, "15 mar", "Y" + thisYear + "/3/15", nullptr},
        {Style::CommonEra, DayFirst, 0, "1 March 1200", "Y1200/3/1", nullptr},
        {Style::CommonEra, DayFirst, 0, "2008 Mar 15", "Y2008/3/15", nullptr},
        {Style::CommonEra, DayFirst, 0, "2008", "Y2008", nullptr},
        {Style::CommonEra, DayFirst, 0, "3/2008", "Y2008/3", nullptr},
        {Style::CommonEra, DayFirst, 0, "2008.3", "Y2008/3", nullptr},
        {Style::CommonEra, DayFirst, 0, "15 Mar 2008, 14:30", "Y2008/3/15 14:30:0", nullptr},
        {Style::CommonEra, DayFirst, 0, "15/3/2008 14:30:15", "Y2008/3/15 14:30:15", nullptr},
        {Style::CommonEra, DayFirst, 0, "Mar 2008, 14:30", "Y2008/3", nullptr}, // no day, no time
        {Style::CommonEra, DayFirst, 0, "30 Feb 2008", "", "invalid day value"},
        {Style::CommonEra, DayFirst, 0, "29 Feb 1900", "", "invalid day value"},
        {Style::CommonEra, DayFirst, 0, "15 Mar 2008 25:00", "", "invalid time value"},
        {Style::CommonEra, DayFirst, 0, "13/2008", "", "invalid month value"},
        {Style::CommonEra, DayFirst, 0, "0", "", "invalid year value"},
        {Style::CommonEra, DayFirst, 0, "3001", "", "invalid year value"},
        {Style::CommonEra, DayFirst, 0, "44 BC", "", "invalid year value"},
        {Style::CommonEra, DayFirst, 0, "99999999999", "", "invalid year value"},
        {Style::CommonEra, DayFirst, 0, "abc", "", "invalid year value"},
        {Style::Historic, DayFirst, 0, "44 BC", "Y-44", nullptr},
        {Style::Historic, DayFirst, 0, "44 b", "Y-44", nullptr},
        {Style::Historic, DayFirst, 0, "-44", "Y-44", nullptr},
        {Style::Historic, DayFirst, 0, "800 AD", "Y800", nullptr},
        {Style::Historic, DayFirst, 0, "1 March 1200", "Y1200/3/1", nullptr},
        {Style::Historic, DayFirst, 0, "5000000 BC", "Y-5000000", nullptr},
        {Style::Historic, DayFirst, 0, "5000001 BC", "", "invalid year value"},
        {Style::Historic, DayFirst, 0, "0 BC", "", "invalid year value"},
        {Style::Historic, DayFirst, 0, "3001", "", "invalid year value"},
        {Style::Historic, DayFirst, 0, "31 Apr 1200", "", "invalid day value"},
        {Style::Geological, DayFirst, 0, "1,050", "Y1050", nullptr},
        {Style::Geological, DayFirst, 0, "1,500,000", "Y1500000", nullptr},
        {Style::Geological, DayFirst, 0, "1.5", "Y1500", nullptr},
        {Style::Geological, DayFirst, 0, "1,5", "Y1500", nullptr},
        {Style::Geological, DayFirst, 0, "-1,500", "Y-1500", nullptr},
        {Style::Geological, DayFirst, 0, "65 m", "Y65000000", nullptr},
        {Style::Geological, DayFirst, 0, "65M", "Y65000000", nullptr},
        {Style::Geological, DayFirst, 0, "-65 m", "Y-65000000", nullptr},
        {Style::Geological, DayFirst, 0, "4 t", "Y4000", nullptr},
        {Style::Geological, DayFirst, 6, "65", "Y65000000", nullptr},
        {Style::Geological, DayFirst, 6, "65 t", "Y65000", nullptr},
        {Style::Geological, DayFirst, 3, "1.5", "Y1500", nullptr},
        {Style::Geological, DayFirst, 0, "1.5 m", "Y1500000", nullptr},
        {Style::Geological, DayFirst, 0, "1,250.75 t", "Y1250750", nullptr},
        {Style::Geological, DayFirst, 3, "-0.5", "Y-500", nullptr},
        {Style::Geological, DayFirst, 0, "20000000000", "Y20000000000", nullptr},
        {Style::Geological, DayFirst, 0, "-20,000,000,000", "Y-20000000000", nullptr},
        {Style::Geological, DayFirst, 0, "20000000001", "", "invalid year value"},
        {Style::Geological, DayFirst, 0, "20,000,001 t", "", "invalid year value"},
        {Style::Geological, DayFirst, 0, "99999999999999999999", "", "invalid year value"},
        {Style::Geological, DayFirst, 0, "-9223372036854775808", "", "invalid year value"},
        {Style::Geological, DayFirst, 0, "9223372036854775807 m", "", "invalid year value"},
        {Style::Geological, DayFirst, 0, "1,0000000000000000000000000", "", "invalid year value"},
        {Style::Geological, DayFirst, 40, "5", "", "invalid year value"},
        {Style::Weekly, DayFirst, 0, "12", "W12", nullptr},
        {Style::Weekly, DayFirst, 0, "12 3", "W12/3", nullptr},
        {Style::Weekly, DayFirst, 0, "12 tue", "W12/3", nullptr},
        {Style::Weekly, DayFirst, 0, "12, Tuesday 14:30", "W12/3 14:30:0", nullptr},
        {Style::Weekly, DayFirst, 0, "-100000 sat", "W-100000/7", nullptr},
        {Style::Weekly, DayFirst, 0, "12 8", "", "invalid day value"},
        {Style::Weekly, DayFirst, 0, "12 tue 24:00", "", "invalid time value"},
        {Style::Weekly, DayFirst, 0, "100001", "", "invalid week value"},
        {Style::Daily, DayFirst, 0, "40", "D40", nullptr},
        {Style::Daily, DayFirst, 0, "40 6:30", "D40 6:30:0", nullptr},
        {Style::Daily, DayFirst, 0, "40, 6:30:15", "D40 6:30:15", nullptr},
        {Style::Daily, DayFirst, 0, "-1000000", "D-1000000", nullptr},
        {Style::Daily, DayFirst, 0, "1000001", "", "invalid day value"},
        {Style::Daily, DayFirst, 0, "40 24", "", "invalid time value"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.text) + " in style " + std::to_string(row.style));
        useDateFormat(row.dateFormat);
        UTDateTimeFormatter formatter(row.style);
        formatter.setYearScale(row.yearScale, QString());
        std::optional<UTDateTime> value;
        PLError error;
        const bool parsed = formatter.getObjectValue(&value, QString::fromLatin1(row.text), &error);
        if (row.error) {
            EXPECT_FALSE(parsed);
            EXPECT_EQ(error.failureReason(), QString::fromLatin1(row.error));
        } else {
            ASSERT_TRUE(parsed) << error.failureReason().toStdString();
            EXPECT_EQ(value->stringRepresentation(), row.result);
        }
    }
}

TEST_F(UTDateTimeFormatterTest, EmptyTextIsNoDate)
{
    for (int style = Style::CommonEra; style <= Style::Daily; ++style) {
        std::optional<UTDateTime> value = stored("Y2008");
        EXPECT_TRUE(UTDateTimeFormatter(style).getObjectValue(&value, QString()));
        EXPECT_FALSE(value);
    }
    PLError error;
    EXPECT_FALSE(UTDateTimeFormatter().parseCommonEraDate(QString(), &error));
    EXPECT_TRUE(error.isNull());
    std::optional<UTDateTime> value;
    EXPECT_FALSE(UTDateTimeFormatter(9).getObjectValue(&value, QStringLiteral("2008")));
}

TEST_F(UTDateTimeFormatterTest, NamesComeFromTheInstalledLocale)
{
    UTDateLocale::install(UTDateLocale({"Jan.", "Feb.", "März", "Apr.", "Mai", "Juni", "Juli", "Aug.", "Sep.", "Okt.", "Nov.", "Dez."},
                                       {"So.", "Mo.", "Di.", "Mi.", "Do.", "Fr.", "Sa."}, QStringLiteral("dd.MM.yy")));
    UTDateTimeFormatter formatter;
    EXPECT_EQ(formatter.stringForObjectValue(stored("Y2008/3/15")), QStringLiteral("15 März 2008"));
    EXPECT_EQ(formatter.parseCommonEraDate(QStringLiteral("15. märz 2008"))->stringRepresentation(), QStringLiteral("Y2008/3/15"));
    EXPECT_EQ(formatter.parseCommonEraDate(QStringLiteral("5.3.2008"))->stringRepresentation(), QStringLiteral("Y2008/3/5"));
    formatter.setFormatType(Style::Weekly);
    EXPECT_EQ(formatter.stringForObjectValue(stored("W2/4")), QStringLiteral("week 2 Mi."));
    EXPECT_EQ(formatter.parseWeeklyDate(QStringLiteral("2 mi"))->stringRepresentation(), QStringLiteral("W2/4"));
}

TEST(UTDateLocale, ReadsQtLocalesAndFillsGaps)
{
    const UTDateLocale us = UTDateLocale::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.shortMonthName(1), QStringLiteral("Jan"));
    EXPECT_EQ(us.shortWeekdayName(1), QStringLiteral("Sun"));
    EXPECT_EQ(us.shortWeekdayName(7), QStringLiteral("Sat"));
    EXPECT_TRUE(us.isMonthFirst());
    EXPECT_FALSE(UTDateLocale::fromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom)).isMonthFirst());
    EXPECT_FALSE(UTDateLocale::fromLocale(QLocale(QLocale::German, QLocale::Germany)).isMonthFirst());
    EXPECT_TRUE(UTDateLocale::english().isMonthFirst());

    const UTDateLocale partial({"jan", ""}, {"su"}, QStringLiteral("dddd MMM d"));
    EXPECT_EQ(partial.shortMonthNames().size(), 12);
    EXPECT_EQ(partial.shortMonthName(1), QStringLiteral("jan"));
    EXPECT_EQ(partial.shortMonthName(2), QStringLiteral("Feb"));
    EXPECT_EQ(partial.shortWeekdayName(2), QStringLiteral("Mon"));
    EXPECT_EQ(partial.shortMonthName(13), QString());
    EXPECT_EQ(partial.shortWeekdayName(0), QString());
    EXPECT_TRUE(partial.isMonthFirst()); // "dddd" is the weekday, "d" the day
    EXPECT_FALSE(UTDateLocale({}, {}, QStringLiteral("yyyy")).isMonthFirst());
}

TEST_F(UTDateTimeFormatterTest, StylesAssertTheirScale)
{
    const UTDateTimeFormatter formatter;
    const struct {
        std::function<QString()> call;
        const char* condition;
    } table[] = {
        {[&] { return formatter.stringForCommonEraDate(std::nullopt); }, "value && [value isYears]"},
        {[&] { return formatter.stringForHistoricDate(stored("W1")); }, "value && [value isYears]"},
        {[&] { return formatter.stringForGeologicalDate(stored("D1")); }, "value && [value isYears]"},
        {[&] { return formatter.stringForWeeklyDate(stored("Y2008")); }, "value && [value isWeeks]"},
        {[&] { return formatter.stringForDailyDate(stored("H1")); }, "value && [value isDays]"},
        {[&] { return formatter.editingStringForCommonEraDate(stored("Y0")); }, "value && [value isYears] && [value year] > 0"},
        {[&] { return formatter.editingStringForWeeklyDate(stored("M1")); }, "value && [value isWeeks]"},
        {[&] { return formatter.editingStringForDailyDate(std::nullopt); }, "value && [value isDays]"},
    };
    for (const auto& row : table) {
        try {
            row.call();
            ADD_FAILURE() << "no assertion for " << row.condition;
        } catch (const PLAssertionFailure& failure) {
            EXPECT_EQ(failure.condition(), row.condition);
        }
    }
}

// Values read from any file shown in every style never reach an assertion.
TEST_F(UTDateTimeFormatterTest, StoredValuesShowInEveryStyle)
{
    for (const char* text : {"Y0", "Y-5/3/15", "Y5000/3/31 23:0:0", "Y20000000000", "Y-20000000000", "M5/3 1:0:0", "W3/7", "D-2 3:0:0", "H-1:59:59"}) {
        const UTDateTime value = stored(text);
        for (int style = Style::CommonEra; style <= Style::Daily; ++style) {
            UTDateTimeFormatter formatter(style);
            formatter.setYearScale(3, QStringLiteral(" ty"));
            EXPECT_NO_THROW(formatter.stringForObjectValue(value)) << text << " in " << style;
            EXPECT_NO_THROW(formatter.editingStringForObjectValue(value)) << text << " in " << style;
        }
    }
}

TEST(UTDateTimeFormatter, StyleOfTimeScaleAndCopies)
{
    const int styles[] = {Style::CommonEra, Style::Daily, Style::Weekly, Style::Historic, Style::Geological, Style::CommonEra};
    for (int scale = 0; scale < 6; ++scale) EXPECT_EQ(UTDateTimeFormatter::formatTypeForTimeScale(scale), styles[scale]) << scale;

    UTDateTimeFormatter original(Style::Geological);
    original.setYearScale(6, QStringLiteral(" my"));
    original.setPicker(reinterpret_cast<UTDateTimePicker*>(&original));
    const UTDateTimeFormatter copy = original;
    EXPECT_EQ(copy.formatType(), Style::Geological);
    EXPECT_EQ(copy.yearScale(), 6);
    EXPECT_EQ(copy.yearScaleSuffix(), QStringLiteral(" my"));
    EXPECT_EQ(copy.picker(), nullptr);
}
