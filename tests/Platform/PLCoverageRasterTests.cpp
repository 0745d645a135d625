#include "Platform/Drawing/PLCoverageRaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The pixels of the whole area's picture with any coverage, and those of them outside every band.
std::pair<int, int> coveredAndOutsideBands(const PLCoverageRaster& raster)
{
    const QImage whole = raster.image(Qt::red);
    const std::vector<QRect> bands = raster.bands();
    int covered = 0, outside = 0;
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x) {
            if (qAlpha(whole.pixel(x, y)) == 0) continue;
            ++covered;
            const QPoint at = QPoint(x, y) + raster.area().topLeft();
            outside += std::none_of(bands.begin(), bands.end(), [&](const QRect& band) { return band.contains(at); });
        }
    }
    return {covered, outside};
}

// The area of the convex polygon within the unit pixel at (x, y): the polygon clipped to the
// pixel's four sides in turn, then measured.
double areaWithinPixel(std::vector<QPointF> polygon, int x, int y)
{
    const auto clip = [&polygon](auto inside, auto cross) {
        std::vector<QPointF> kept;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
            if (inside(a)) kept.push_back(a);
            if (inside(a) != inside(b)) kept.push_back(cross(a, b));
        }
        polygon = kept;
    };
    const auto atX = [](double v) {
        return
            [v](QPointF a, QPointF b) { return QPointF(v, a.y() + (b.y() - a.y()) * (v - a.x()) / (b.x() - a.x())); };
    };
    const auto atY = [](double v) {
        return
            [v](QPointF a, QPointF b) { return QPointF(a.x() + (b.x() - a.x()) * (v - a.y()) / (b.y() - a.y()), v); };
    };
    clip([x](QPointF p) { return p.x() >= x; }, atX(x));
    clip([x](QPointF p) { return p.x() <= x + 1; }, atX(x + 1));
    clip([y](QPointF p) { return p.y() >= y; }, atY(y));
    clip([y](QPointF p) { return p.y() <= y + 1; }, atY(y + 1));
    double twice = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return std::fabs(twice) / 2;
}

}  // namespace

// The bands hold every covered pixel, and a few thin lines across a large area reach much less
// than the area: a diagonal, a steep and a flat line, a line running out on both sides, a disc.
TEST(PLCoverageRasterTests, BandsHoldEveryCoveredPixelAndLittleMore)
{
    struct Case {
        const char* label;
        QPointF a, b;
        double discRadius;  // 0: a segment of width 3 from a to b; else a disc of this radius at a
        int bandAreaPercentAtMost;
    };
    const Case cases[] = {
        {"diagonal", {20, 10}, {1000, 700}, 0, 25},
        {"steep", {500, -50}, {530, 900}, 0, 10},
        {"flat", {-80, 400}, {1300, 420}, 0, 10},
        {"disc", {600, 300}, {}, 40, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PLCoverageRaster raster(QRect(10, 5, 1200, 800));
        if (c.discRadius > 0)
            raster.addDisc(c.a, c.discRadius);
        else
            raster.addSegment(c.a, c.b, 3);
        const auto [covered, outside] = coveredAndOutsideBands(raster);
        EXPECT_GT(covered, 100);
        EXPECT_EQ(outside, 0);
        qint64 bandArea = 0;
        for (const QRect& band : raster.bands()) {
            EXPECT_TRUE(raster.area().contains(band)) << band.x() << "," << band.y();
            bandArea += qint64(band.width()) * band.height();
        }
        EXPECT_LE(bandArea * 100, qint64(raster.area().width()) * raster.area().height() * c.bandAreaPercentAtMost);
        // A band's picture is that part of the whole one.
        const QRect band = raster.bands().front();
        const QImage part = raster.image(Qt::red, band);
        EXPECT_EQ(part, raster.image(Qt::red).copy(band.translated(-raster.area().topLeft())));
    }
}

// Rasters made one after another on a thread share its buffer: each starts empty, whatever the
// one before covered, and one made while another is alive gets its own.
TEST(PLCoverageRasterTests, EachRasterStartsEmpty)
{
    const QRect area(0, 0, 300, 200);
    QImage first;
    {
        PLCoverageRaster raster(area);
        raster.addSegment({-50, 20}, {350, 180}, 6);
        raster.addDisc({150, 100}, 30);
        first = raster.image(Qt::blue);
        PLCoverageRaster meanwhile(area);
        meanwhile.addSegment({0, 190}, {300, 10}, 2);
        EXPECT_EQ(raster.image(Qt::blue), first);
        EXPECT_GT(meanwhile.bands().size(), 0u);
    }
    PLCoverageRaster later(area);
    EXPECT_TRUE(later.bands().empty());
    const QImage empty = later.image(Qt::blue);
    QImage transparent(area.size(), QImage::Format_ARGB32_Premultiplied);
    transparent.fill(Qt::transparent);
    EXPECT_EQ(empty, transparent);
    later.addSegment({-50, 20}, {350, 180}, 6);
    later.addDisc({150, 100}, 30);
    EXPECT_EQ(later.image(Qt::blue), first);
}

// Each pixel of the area is covered by the share of it the polygon covers, however the edges
// cross the rows: steep strokes staying within a pixel of each row, strokes crossing several
// pixels of a row, strokes starting and ending within a row, and strokes running out of the
// area on either side (what lies left of it still counts towards the pixels on its right; the
// first column, which takes it, is one its users never show).
TEST(PLCoverageRasterTests, EachPixelHoldsTheShareOfItThePolygonCovers)
{
    struct Case {
        const char* label;
        QPointF a, b;
        double width;
    };
    const Case cases[] = {
        {"steep down", {40.3, -10}, {47.9, 130}, 2.5},
        {"steep up, from and to mid-row", {20.25, 97.6}, {31.7, 3.35}, 1.2},
        {"shallow", {-5, 20.5}, {150, 61.2}, 3},
        {"diagonal", {10.5, 10.5}, {90.25, 88.75}, 1.5},
        {"steep, out on the left", {-0.7, 5.5}, {3.2, 110}, 4},
        {"steep, out on the right", {98.6, -3}, {101.8, 90.4}, 3},
    };
    const QRect area(0, 0, 100, 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PLCoverageRaster raster(area);
        raster.addSegment(c.a, c.b, c.width);
        const QPointF d = c.b - c.a;
        const double length = std::hypot(d.x(), d.y());
        const QPointF normal(-d.y() / length * c.width / 2, d.x() / length * c.width / 2);
        const std::vector<QPointF> corners = {c.a + normal, c.b + normal, c.b - normal, c.a - normal};
        const QImage image = raster.image(Qt::white);
        int covered = 0;
        for (int y = 0; y < area.height(); ++y) {
            for (int x = 1; x < area.width(); ++x) {
                const double expected = areaWithinPixel(corners, x, y) * 255;
                covered += expected > 0;
                // Coverage goes to alpha in steps of 1/256, rounded, then scaled to 255 rounding down.
                ASSERT_NEAR(qAlpha(image.pixel(x, y)), expected, 1.5) << x << "," << y;
            }
        }
        EXPECT_GT(covered, 100);
    }
}
