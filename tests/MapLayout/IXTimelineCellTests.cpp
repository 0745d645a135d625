#include "IXTimelineTestSupport.h"

#include "MapLayout/IXTimelinePlacement.h"
#include "MapLayout/IXTimelineText.h"
#include "TestSupport/ExpectAssertion.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QRandomGenerator>

namespace {
UTDateTime day(int d, int hour = 0)
{
    UTDateTime value = UTDateTime::fromDays(d);
    value.setHour(hour);
    return value;
}

QStringList texts(const std::vector<UTDateTime>& dates)
{
    QStringList list;
    for (const UTDateTime& date : dates) list << date.stringRepresentation();
    return list;
}

float yOf(TimelineFixture& f, const std::shared_ptr<IXBranchNode>& branch)
{
    return f.context->cells().cellForNode(branch.get())->frame().minY();
}
}

TEST(IXTimelineCellTests, RangesArePaddedByScaleOnlyBelowTwoDates)
{
    struct Case {
        int scale;
        std::vector<UTDateTime> dates;
        std::vector<UTDateTime> expected;
    };
    const Case cases[] = {
        // A month without a day: the whole year around it.
        {0, {UTDateTime::fromYears(2007, 3, 0)},
         {UTDateTime::fromYears(2007), UTDateTime::fromYears(2007, 3, 0), UTDateTime::fromYears(2008)}},
        // A bare year: from the year before to the year after next.
        {3, {UTDateTime::fromYears(1500)}, {UTDateTime::fromYears(1499), UTDateTime::fromYears(1500), UTDateTime::fromYears(1502)}},
        {1, {day(5)}, {day(4), day(5), day(6)}},
        {2, {UTDateTime::fromWeeks(3, 2)}, {UTDateTime::fromWeeks(3, 0), UTDateTime::fromWeeks(3, 2), UTDateTime::fromWeeks(4, 0)}},
        {2, {UTDateTime::fromWeeks(3, 0)}, {UTDateTime::fromWeeks(2, 0), UTDateTime::fromWeeks(3, 0), UTDateTime::fromWeeks(5, 0)}},
        {4, {UTDateTime::fromYears(-12345)}, {UTDateTime::fromYears(-12000), UTDateTime::fromYears(-12345), UTDateTime::fromYears(-11000)}},
        {1, {}, {day(0), day(2)}},
        {2, {}, {UTDateTime::fromWeeks(0, 0), UTDateTime::fromWeeks(2, 0)}},
        {4, {}, {UTDateTime::fromYears(-10000), UTDateTime::fromYears(10000)}},
        // Past year 3000 a month cannot be set: the years move, the month stays.
        {0, {UTDateTime::fromYears(5000)}, {UTDateTime::fromYears(4999), UTDateTime::fromYears(5000), UTDateTime::fromYears(5002)}},
        // Two dates are the range as they are.
        {1, {day(7), day(3)}, {day(3), day(7)}},
    };
    for (const Case& c : cases) {
        TimelineFixture f(c.scale);
        for (const UTDateTime& date : c.dates) f.add(QStringLiteral("d"), date);
        EXPECT_EQ(texts(f.timeline().dates()), texts(c.expected)) << "scale " << c.scale;
    }
}

TEST(IXTimelineCellTests, AnUndatedCalendarSpansTheYearsAroundToday)
{
    TimelineFixture f(0);
    const qint64 year = QDate::currentDate().year();
    EXPECT_EQ(texts(f.timeline().dates()), texts({UTDateTime::fromYears(year - 1), UTDateTime::fromYears(year + 1)}));
    EXPECT_EQ(f.timeline().intervals().size(), 1u);
}

TEST(IXTimelineCellTests, TimeBreaksCutLongGapsAndStopAtShortOnes)
{
    TimelineFixture f(1);
    f.documentStyle().setDocumentLayoutTimelineShowTimeBreaks(true);
    f.documentStyle().setDocumentLayoutTimelineScale(1000);
    for (int d : {1, 2, 3, 3650}) f.add(QStringLiteral("d"), day(d));
    IXTimelineCell& timeline = f.timeline();
    ASSERT_EQ(timeline.intervals().size(), 2u);
    const IXTimelineInterval& first = timeline.intervals()[0];
    const IXTimelineInterval& second = timeline.intervals()[1];
    EXPECT_EQ(first.beginSeconds, day(1).baseSeconds());
    EXPECT_EQ(first.endSeconds, day(3).baseSeconds());
    EXPECT_EQ(second.beginSeconds, day(3650).baseSeconds());
    EXPECT_EQ(second.endSeconds, day(3651).baseSeconds());
    EXPECT_EQ(second.leftX, first.rightX);
    EXPECT_EQ(timeline.rulers().size(), 2u);
    // Each piece keeps its paddings; the rulers cover the pieces plus 50 at the ends.
    EXPECT_EQ(first.leftX, 100);
    EXPECT_EQ(first.originX, 200);
    EXPECT_EQ(timeline.rulers()[0]->frame(), PLRect(50, -32, first.rightX - 50, 32));
    EXPECT_EQ(timeline.rulers()[1]->frame(), PLRect(second.leftX, -32, second.rightX - second.leftX + 50, 32));
    // Moments in the break map to the second piece's start.
    EXPECT_EQ(timeline.startSecondsAtInterval(day(3650).baseSeconds()), second.beginSeconds);
    EXPECT_EQ(timeline.startSecondsAtInterval(day(2).baseSeconds()), first.beginSeconds);

    // The zigzag of the break stands at the second piece's left edge, on the ruler band.
    const QImage image = f.render();
    QDir().mkpath(QStringLiteral("renders"));
    image.save(QStringLiteral("renders/Timeline.breaks.png"));
    const PLRect canvas = f.context->cellsBounds().integral();
    const PLColor breakFill = f.documentStyle().documentPageColor().shadow(0.4f);
    auto pixelAt = [&](float x, float y) {
        const PLPoint point = timeline.convertPointToCell(PLPoint(x, y), nullptr);
        return image.pixelColor(int(point.x - canvas.minX()), int(canvas.maxY() - point.y));
    };
    EXPECT_NEAR(pixelAt(second.leftX + 3, -16).red(), breakFill.toQColor().red(), 2);
    EXPECT_GT(pixelAt(first.leftX + 40, -16).red(), breakFill.toQColor().red() + 40);

    f.documentStyle().setDocumentLayoutTimelineShowTimeBreaks(false);
    EXPECT_EQ(f.timeline().intervals().size(), 1u);
}

TEST(IXTimelineCellTests, TheScaleFillsTheLengthWithinItsLimits)
{
    struct Case {
        int length;
        int branchCount;
        const char* title;
        double expectedAvailable; // pixels the time span is spread over
        int expectedMax;
    };
    const Case cases[] = {
        {1000, 2, "d", 700, 1000},
        {3000, 2, "d", 2700, 1000},
        // Below 200 the length is 200, and the span gets at least 200 pixels.
        {150, 2, "d", 200, 1000},
        {1000, 12, "d", 700, 200 + 2 * 12 * 100},
        {1000, 3, "wide", 700, 200 + 2 * 3 * 300},
    };
    for (const Case& c : cases) {
        TimelineFixture f(1);
        f.documentStyle().setDocumentLayoutTimelineScale(c.length);
        for (int i = 0; i < c.branchCount; ++i) f.add(QString::fromLatin1(c.title), day(10 + (i == 0 ? 0 : 20)));
        IXTimelineCell& timeline = f.timeline();
        EXPECT_EQ(timeline.timelineLengthMin(), 200);
        EXPECT_EQ(timeline.timelineLengthMax(), c.expectedMax) << c.length << " " << c.branchCount;
        EXPECT_NEAR(timeline.secondsPerPixel(), 20.0 * 86400 / c.expectedAvailable, 1e-3 * timeline.secondsPerPixel());
        // The conversions invert each other to within a pixel's worth of seconds.
        for (float x : {60.0f, 200.0f, 555.5f}) {
            EXPECT_NEAR(timeline.originAtBaseSeconds(timeline.baseSecondsAtOrigin(x)), x, 0.01f);
        }
    }
}

TEST(IXTimelineCellTests, ATimelineLengthIsStoredInTheDocumentStyle)
{
    TimelineFixture f(1);
    f.add(QStringLiteral("d"), day(1));
    IXTimelineCell& timeline = f.timeline();
    timeline.setTimelineLength(2400);
    EXPECT_EQ(timeline.timelineLength(), 2400);
    EXPECT_EQ(f.documentStyle().documentLayoutTimelineScale(), 2400);
}

TEST(IXTimelineCellTests, BranchesStandAtTheirDatesAndStackWhenTheyMeet)
{
    TimelineFixture f(1);
    auto a = f.add(QStringLiteral("a"), day(10));
    auto b = f.add(QStringLiteral("b"), day(10));
    auto c = f.add(QStringLiteral("c"), day(30));
    auto d = f.add(QStringLiteral("d"), day(20));
    IXTimelineCell& timeline = f.timeline();
    ASSERT_EQ(timeline.branchCells().size(), 4u);
    // Sorted by date, equal dates in document order.
    EXPECT_EQ(timeline.branchCells()[0]->node(), a.get());
    EXPECT_EQ(timeline.branchCells()[1]->node(), b.get());
    EXPECT_EQ(timeline.branchCells()[2]->node(), d.get());
    EXPECT_EQ(timeline.branchCells()[3]->node(), c.get());
    EXPECT_EQ(yOf(f, a), 20);
    // The second of two equal dates: its bottom 8 above the first one's top.
    EXPECT_EQ(yOf(f, b), 20 + 20 + 8);
    for (const auto& branch : {a, b, c, d}) {
        EXPECT_FLOAT_EQ(f.context->cells().cellForNode(branch.get())->frame().minX(), timeline.originAtBaseSeconds(branch->beginDate()->baseSeconds()));
    }
    // d is more than 108 to the right of a and b: back on the axis.
    EXPECT_EQ(yOf(f, d), 20);
    // The title sits centred 40 above everything, inside the bounds.
    IXBranchGroupCell* title = timeline.rootBranchCell();
    ASSERT_TRUE(title);
    EXPECT_EQ(title->node(), f.root.get());
    EXPECT_TRUE(timeline.bounds().containsRect(title->frame()));
    EXPECT_EQ(title->frame().minY(), 20 + 20 + 8 + 20 + 20 + 40);
}

TEST(IXTimelineCellTests, BarsSpanTheirDatesAtLeast100WideAndStackDownward)
{
    TimelineFixture f(1);
    f.documentStyle().setDocumentLayoutTimelineScale(1300);
    auto longBar = f.add(QStringLiteral("long"), day(0), day(40));
    auto shortBar = f.add(QStringLiteral("short"), day(2), day(3));
    auto later = f.add(QStringLiteral("later"), day(60), day(61));
    f.add(QStringLiteral("dot"), day(50));
    IXTimelineCell& timeline = f.timeline();
    ASSERT_EQ(timeline.barCells().size(), 3u);
    auto frameOf = [&](const std::shared_ptr<IXBranchNode>& branch) {
        for (const auto& bar : timeline.barCells()) {
            if (bar->node() == branch.get()) return bar->frame();
        }
        return PLRect();
    };
    const float x0 = std::floor(timeline.originAtBaseSeconds(day(0).baseSeconds())) + 2;
    const float x1 = std::ceil(timeline.originAtBaseSeconds(day(40).baseSeconds()));
    EXPECT_EQ(frameOf(longBar), PLRect(x0, -70, x1 - 2 + 1 - x0, 24));
    EXPECT_EQ(frameOf(shortBar).width(), 100);
    EXPECT_EQ(frameOf(shortBar).minY(), -70 - 28);
    EXPECT_EQ(frameOf(later).minY(), -70);
    // The branch boxes of bars alternate white and greys; others have no shading.
    EXPECT_EQ(timeline.shadingColorForCell(f.context->cells().cellForNode(longBar.get())), PLColor::grey(1));
    EXPECT_EQ(timeline.shadingColorForCell(f.context->cells().cellForNode(shortBar.get())), PLColor::grey(0.85f));
    EXPECT_EQ(timeline.shadingColorForCell(f.context->cells().cellForNode(later.get())), PLColor::grey(0.7f));
    EXPECT_TRUE(timeline.shadingColorForCell(timeline.branchCells()[2].get()).isNull());

    f.documentStyle().setDocumentLayoutTimelineShowDurationBars(false);
    EXPECT_TRUE(f.timeline().barCells().empty());
    EXPECT_TRUE(f.timeline().bandsCells().empty());
}

TEST(IXTimelineCellTests, LevelDisplayAndTheFilterChooseTheBranchesShown)
{
    TimelineFixture f(1);
    auto a = f.add(QStringLiteral("a"), day(1));
    auto a1 = f.add(a, QStringLiteral("a1"), day(2));
    auto a11 = f.add(a1, QStringLiteral("a11"), day(3));
    auto undated = f.add(QStringLiteral("undated"), std::nullopt);
    auto u1 = f.add(undated, QStringLiteral("u1"), day(4));
    auto second = std::make_shared<IXBranchNode>();
    second->setTitle(QStringLiteral("second"));
    second->setBeginDate(day(5));
    f.document->addRootBranch(second);
    auto s1 = f.add(second, QStringLiteral("s1"), day(6));

    auto shown = [&] {
        QStringList titles;
        for (const auto& cell : f.timeline().branchCells()) titles << cell->node()->title();
        return titles.join(QLatin1Char(' '));
    };
    EXPECT_EQ(shown(), QStringLiteral("a a1 a11 u1 second s1"));
    f.documentStyle().setDocumentLayoutTimelineLevelDisplay(true);
    EXPECT_EQ(shown(), QStringLiteral("a second"));
    // Below a filter every level shows, and the filter is the title.
    f.context->setBranchFilter(a);
    EXPECT_EQ(shown(), QStringLiteral("a1 a11"));
    EXPECT_EQ(f.timeline().rootBranchCell()->node(), a.get());
    f.documentStyle().setDocumentLayoutTimelineShowTitle(false);
    EXPECT_EQ(f.timeline().rootBranchCell(), nullptr);
}

TEST(IXTimelineCellTests, ReloadsReuseTheCellsOfBranchesStillDated)
{
    TimelineFixture f(1);
    auto a = f.add(QStringLiteral("a"), day(1), day(3));
    auto b = f.add(QStringLiteral("b"), day(2), day(4));
    IXTimelineCell& timeline = f.timeline();
    IXLayoutCell* cellA = f.context->cells().cellForNode(a.get());
    IXTimelineBarCell* barA = timeline.barCells()[0].get();
    IXLayoutCell* title = timeline.rootBranchCell();
    b->setBeginDate(std::nullopt);
    f.add(QStringLiteral("c"), day(5));
    f.timeline();
    EXPECT_EQ(f.context->cells().cellForNode(a.get()), cellA);
    EXPECT_EQ(timeline.barCells().size(), 1u);
    EXPECT_EQ(timeline.barCells()[0].get(), barA);
    EXPECT_EQ(timeline.rootBranchCell(), title);
    EXPECT_EQ(f.context->cells().cellForNode(b.get()), nullptr);
    EXPECT_EQ(timeline.branchCells().size(), 2u);
    // Cells whose branch lost its date are gone from the context's look-up and the stacks.
    for (const auto& cell : f.context->drawStack()) EXPECT_NE(cell->node(), b.get());
}

TEST(IXTimelineCellTests, ConversionsBeforeLayoutAreProgrammingErrors)
{
    TimelineFixture f(1);
    f.open();
    IXTimelineCell cell(f.context.get(), nullptr, f.document.get());
    expectAssertion("_secondsPerPixel > 0", [&] { cell.originAtBaseSeconds(0); });
    expectAssertion("_secondsPerPixel > 0", [&] { cell.baseSecondsAtOrigin(0); });
    cell.invalidate();
}

TEST(IXTimelineCellTests, IndexedPlacementMatchesThePlainLoop)
{
    QRandomGenerator random(20260);
    for (int round = 0; round < 40; ++round) {
        const int count = 1 + int(random.bounded(400));
        const float spread = float(random.bounded(50, 5000));
        std::vector<float> xs;
        for (int i = 0; i < count; ++i) xs.push_back(std::floor(float(random.bounded(spread)) * 4) / 4);
        std::sort(xs.begin(), xs.end());
        std::vector<PLRect> boxes, bars;
        for (float x : xs) {
            // Few distinct sizes make many equal tops and exact fits.
            const float width = float(50 + 25 * random.bounded(6));
            const float height = float(random.bounded(3) == 0 ? 20 + random.bounded(40) : 20);
            boxes.emplace_back(x, 0, width, height);
            bars.emplace_back(std::floor(x) + 2, 0, std::max(100.0f, float(random.bounded(400))), 24);
        }
        EXPECT_EQ(IXTimelinePlacement::stackBranches(boxes), IXTimelinePlacement::stackBranchesPlain(boxes)) << round;
        EXPECT_EQ(IXTimelinePlacement::stackBars(bars), IXTimelinePlacement::stackBarsPlain(bars)) << round;
    }
}

TEST(IXTimelineCellTests, TheEmptyTimelineSaysSoAndDrawsNoGrid)
{
    TimelineFixture f(0);
    f.documentStyle().setDocumentLayoutTimelineShowTitle(false);
    IXTimelineCell& timeline = f.timeline();
    EXPECT_EQ(timeline.rootBranchCell(), nullptr);
    EXPECT_TRUE(timeline.branchCells().empty());
    const QImage image = f.render();
    // The message is dark text in the top 32 units; nothing else is drawn there.
    int dark = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128;
    }
    EXPECT_GT(dark, 50);
}
