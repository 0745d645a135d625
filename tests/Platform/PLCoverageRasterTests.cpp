#include "Platform/Drawing/PLCoverageRaster.h"

#include <gtest/gtest.h>

#include <algorithm>
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
