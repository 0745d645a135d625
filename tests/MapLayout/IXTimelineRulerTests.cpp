#include "IXTimelineTestSupport.h"

#include "MapLayout/IXTimelineText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QRegularExpression>

#include <functional>

namespace {
using Tick = IXTimelineRulerCell::Tick;

UTDateTime dayAt(int d, int hour = 0, int minute = 0)
{
    UTDateTime value = UTDateTime::fromDays(d);
    value.setHour(hour);
    value.setMinute(minute);
    return value;
}

// The ticks of every ruler piece, drawn into a scratch picture.
std::vector<Tick> rulerTicks(TimelineFixture& f)
{
    std::vector<Tick> ticks;
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    PLGraphicsContext graphics(image);
    for (const auto& ruler : f.timeline().rulers()) {
        std::vector<Tick> more = ruler->drawLabels(graphics);
        ticks.insert(ticks.end(), more.begin(), more.end());
    }
    return ticks;
}

QStringList drawnLabels(const std::vector<Tick>& ticks, std::optional<bool> large = std::nullopt)
{
    QStringList labels;
    for (const Tick& tick : ticks) {
        if (tick.drawn && (!large || tick.large == *large)) labels << tick.label;
    }
    return labels;
}

// Large labels never overlap and stay inside the piece; a small label is drawn only at or
// right of the end of the last large label.
void expectNoOverlaps(const std::vector<Tick>& ticks, const QString& what)
{
    float largeRight = -1e30f;
    for (const Tick& tick : ticks) {
        if (!tick.drawn) continue;
        if (tick.x < largeRight - 1e-3f) largeRight = -1e30f; // the next ruler piece
        if (tick.large) {
            EXPECT_GT(tick.rect.minX(), largeRight) << qPrintable(what) << " " << qPrintable(tick.label);
            largeRight = tick.rect.maxX();
        } else {
            EXPECT_GE(tick.x, largeRight) << qPrintable(what) << " " << qPrintable(tick.label);
        }
    }
}

void saveRender(TimelineFixture& f, const QString& name)
{
    const QImage image = f.render();
    QDir().mkpath(QStringLiteral("renders"));
    image.save(QStringLiteral("renders/Timeline.%1.png").arg(name));
}
}

TEST(IXTimelineRulerTests, StepsFollowTheZoom)
{
    struct Case {
        qint64 (*step)(double);
        double secondsPerPixel;
        qint64 expected;
    };
    const Case cases[] = {
        // Calendar months per 60 units; none: the calendar counts days.
        {IXTimelineRulerCell::calendarMonthStep, 1000, 0},
        {IXTimelineRulerCell::calendarMonthStep, 100'000, 1},
        {IXTimelineRulerCell::calendarMonthStep, 300'000, 3},
        {IXTimelineRulerCell::calendarMonthStep, 535'680, 12},
        // 30 months: a round two years.
        {IXTimelineRulerCell::calendarMonthStep, 1'339'200, 24},
        // 90 months: 7 years round to 10.
        {IXTimelineRulerCell::calendarMonthStep, 4'017'600, 120},
        {IXTimelineRulerCell::dayMinuteStep, 0.5, 1},
        {IXTimelineRulerCell::dayMinuteStep, 5, 1},
        {IXTimelineRulerCell::dayMinuteStep, 30, 10},
        {IXTimelineRulerCell::dayMinuteStep, 120, 60},
        {IXTimelineRulerCell::dayMinuteStep, 400, 360},
        {IXTimelineRulerCell::dayMinuteStep, 800, 720},
        {IXTimelineRulerCell::dayMinuteStep, 2000, 2880},
        {IXTimelineRulerCell::weekHourStep, 10, 168},
        {IXTimelineRulerCell::weekHourStep, 300, 3},
        {IXTimelineRulerCell::weekHourStep, 3600, 24},
        {IXTimelineRulerCell::weekHourStep, 200'000, 3360},
        {IXTimelineRulerCell::historicYearStep, 100'000, 1},
        {IXTimelineRulerCell::historicYearStep, 31'536'000, 10},
        {IXTimelineRulerCell::historicYearStep, 1e9, 1000},
        {IXTimelineRulerCell::geologicalYearStep, 1e8, 1000},
        {IXTimelineRulerCell::geologicalYearStep, 5e10, 100'000},
    };
    for (const Case& c : cases) EXPECT_EQ(c.step(c.secondsPerPixel), c.expected) << c.secondsPerPixel;
}

TEST(IXTimelineRulerTests, YearsAreWordedAndGrouped)
{
    EnglishNames names;
    const std::pair<qint64, const char*> historic[] = {
        {0, "-"}, {-500, "500 BC"}, {1500, "1500 AD"}, {-12345, "12,345 BC"}, {1, "1 AD"},
    };
    for (const auto& [year, text] : historic) EXPECT_EQ(IXTimelineRulerCell::historicLabel(year), QString::fromLatin1(text));
    const std::pair<qint64, const char*> grouped[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {-1'200'000, "-1,200,000"}, {123'456'789'012, "123,456,789,012"},
    };
    for (const auto& [value, text] : grouped) EXPECT_EQ(IXTimelineText::groupedNumber(value), QString::fromLatin1(text));
}

TEST(IXTimelineRulerTests, EachScaleLabelsItsTicks)
{
    const QStringList months = UTDateLocale::english().shortMonthNames();
    const QStringList weekdays = UTDateLocale::english().shortWeekdayNames();
    struct Case {
        const char* name;
        int scale;
        int length;
        std::vector<std::pair<UTDateTime, std::optional<UTDateTime>>> dates;
        std::function<void(const std::vector<Tick>&)> check;
    };
    const Case cases[] = {
        {"calendar", 0, 1500,
         {{UTDateTime::fromYears(2000, 5, 1), UTDateTime::fromYears(2001, 2, 1)}, {UTDateTime::fromYears(2004, 5, 1), std::nullopt}},
         [&](const std::vector<Tick>& ticks) {
             const QStringList large = drawnLabels(ticks, true);
             const QStringList small = drawnLabels(ticks, false);
             ASSERT_FALSE(large.isEmpty());
             // A month before the first January reads "<year> <month>"; Januaries are years.
             EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}( [A-Z][a-z]{2})?$")).match(large.first()).hasMatch());
             for (const QString& year : {QStringLiteral("2001"), QStringLiteral("2002"), QStringLiteral("2003")})
                 EXPECT_TRUE(large.contains(year)) << qPrintable(year);
             for (qsizetype i = 1; i < large.size(); ++i) EXPECT_TRUE(large[i].toInt() > 0) << qPrintable(large[i]);
             ASSERT_FALSE(small.isEmpty());
             for (const QString& label : small) EXPECT_TRUE(months.mid(1).contains(label)) << qPrintable(label);
         }},
        {"calendar-days", 0, 1300,
         {{UTDateTime::fromYears(2000, 3, 1), std::nullopt}, {UTDateTime::fromYears(2000, 3, 20), std::nullopt}},
         [&](const std::vector<Tick>& ticks) {
             const QStringList labels = drawnLabels(ticks);
             ASSERT_GT(labels.size(), 3);
             EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,2} (Feb|Mar) 2000$")).match(labels.first()).hasMatch())
                 << qPrintable(labels.first());
             for (qsizetype i = 1; i < labels.size(); ++i)
                 EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,2} (Feb|Mar)$")).match(labels[i]).hasMatch()) << qPrintable(labels[i]);
             EXPECT_TRUE(labels.contains(QStringLiteral("10 Mar")));
             // Unlabelled day ticks between the labels.
             EXPECT_TRUE(std::any_of(ticks.begin(), ticks.end(), [](const Tick& t) { return t.label.isEmpty(); }));
         }},
        // 30 seconds per pixel: a tick every 10 minutes; the day starts off midnight.
        {"days", 1, 1500,
         {{dayAt(1, 1, 30), std::nullopt}, {dayAt(1, 11, 30), std::nullopt}},
         [&](const std::vector<Tick>& ticks) {
             const QStringList labels = drawnLabels(ticks);
             ASSERT_GT(labels.size(), 3);
             EXPECT_EQ(labels.first(), QStringLiteral("day 1 01:30"));
             for (qsizetype i = 1; i < labels.size(); ++i)
                 EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:[0-5]0$")).match(labels[i]).hasMatch()) << qPrintable(labels[i]);
             // Ticks before the interval carry no label.
             EXPECT_TRUE(ticks.front().label.isEmpty());
         }},
        {"days-midnight", 1, 1500,
         {{dayAt(1), std::nullopt}, {dayAt(1, 10), std::nullopt}},
         [&](const std::vector<Tick>& ticks) { EXPECT_EQ(drawnLabels(ticks).value(0), QStringLiteral("day 1")); }},
        {"weeks", 2, 1300,
         {{UTDateTime::fromWeeks(1, 1), UTDateTime::fromWeeks(2, 4)}, {UTDateTime::fromWeeks(5, 1), std::nullopt}},
         [&](const std::vector<Tick>& ticks) {
             const QStringList large = drawnLabels(ticks, true);
             for (const QString& week : {QStringLiteral("week 2"), QStringLiteral("week 3"), QStringLiteral("week 4")})
                 EXPECT_TRUE(large.contains(week)) << qPrintable(week);
             const QStringList small = drawnLabels(ticks, false);
             ASSERT_FALSE(small.isEmpty());
             for (const QString& label : small) EXPECT_TRUE(weekdays.mid(1).contains(label)) << qPrintable(label);
         }},
        {"historic", 3, 1300,
         {{UTDateTime::fromYears(-600), UTDateTime::fromYears(300)}, {UTDateTime::fromYears(1600), std::nullopt}},
         [&](const std::vector<Tick>& ticks) {
             const QStringList labels = drawnLabels(ticks);
             const QRegularExpression form(QStringLiteral("^([\\d,]+) BC$|^(\\d+) AD$"));
             bool bc = false, ad = false;
             for (const QString& label : labels) {
                 const QRegularExpressionMatch match = form.match(label);
                 EXPECT_TRUE(match.hasMatch()) << qPrintable(label);
                 bc = bc || !match.captured(1).isEmpty();
                 ad = ad || !match.captured(2).isEmpty();
             }
             EXPECT_TRUE(bc && ad);
         }},
        {"geological", 4, 1300,
         {{UTDateTime::fromYears(-5'000'000), std::nullopt}, {UTDateTime::fromYears(-1'000'000), std::nullopt}},
         [&](const std::vector<Tick>& ticks) {
             const QStringList labels = drawnLabels(ticks);
             ASSERT_GT(labels.size(), 2);
             std::optional<qint64> previous;
             for (const QString& label : labels) {
                 EXPECT_TRUE(QRegularExpression(QStringLiteral("^-\\d{1,3}(,\\d{3})+$")).match(label).hasMatch()) << qPrintable(label);
                 const qint64 year = QString(label).remove(QLatin1Char(',')).toLongLong();
                 if (previous) EXPECT_EQ((year - *previous) % 100'000, 0) << qPrintable(label);
                 previous = year;
             }
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TimelineFixture f(c.scale);
        f.documentStyle().setDocumentLayoutTimelineScale(c.length);
        int index = 0;
        for (const auto& [begin, end] : c.dates) f.add(QStringLiteral("Event %1").arg(++index), begin, end);
        const std::vector<Tick> ticks = rulerTicks(f);
        ASSERT_FALSE(ticks.empty());
        c.check(ticks);
        expectNoOverlaps(ticks, QString::fromLatin1(c.name));
        saveRender(f, QString::fromLatin1(c.name));
    }
}

TEST(IXTimelineRulerTests, LabelsThatWouldOverlapAreDroppedButTheirTicksStay)
{
    // Ten minutes every 20 units: labels are wider than that, so some give way.
    TimelineFixture f(1);
    f.documentStyle().setDocumentLayoutTimelineScale(1500);
    f.add(QStringLiteral("a"), dayAt(1));
    f.add(QStringLiteral("b"), dayAt(1, 10));
    const std::vector<Tick> ticks = rulerTicks(f);
    const auto dropped = std::count_if(ticks.begin(), ticks.end(), [](const Tick& t) { return !t.label.isEmpty() && !t.drawn; });
    EXPECT_GT(dropped, 0);
    EXPECT_GT(drawnLabels(ticks).size(), 3);
}

TEST(IXTimelineRulerTests, DatesBeyondTheMonthsRangeEndTheWalkWithoutRaising)
{
    // Dates as a file may hold them: months cannot be set past year 3000.
    struct Case {
        int scale;
        std::vector<UTDateTime> dates;
    };
    const Case cases[] = {
        {0, {UTDateTime::fromYears(5000)}},
        {0, {UTDateTime::fromYears(2999, 6, 0), UTDateTime::fromYears(3000, 6, 0)}},
        {3, {UTDateTime::fromYears(2990), UTDateTime::fromYears(3500)}},
        // Near the end of the 64-bit seconds: spans and steps that would overflow.
        {0, {UTDateTime::fromYears(100'000'000'000), UTDateTime::fromYears(200'000'000'000)}},
        {4, {UTDateTime::fromYears(-290'000'000'000), UTDateTime::fromYears(290'000'000'000)}},
    };
    for (const Case& c : cases) {
        TimelineFixture f(c.scale);
        for (const UTDateTime& date : c.dates) f.add(QStringLiteral("far"), date);
        std::vector<Tick> ticks;
        EXPECT_NO_THROW(ticks = rulerTicks(f));
        EXPECT_FALSE(drawnLabels(ticks).isEmpty()) << c.scale;
        EXPECT_NO_THROW(saveRender(f, QStringLiteral("far-%1-%2").arg(c.scale).arg(c.dates.back().year())));
    }
}
