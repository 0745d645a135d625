// Maps a hostile or careless file can hold lay out and draw with the map's own cells in every
// map layout: geometry far beyond any real map is bounded where it is used (the stored values
// stay for writing back), and an absurdly long title shows its beginning.
#include "IXHostileMaps.h"
#include "IXLayoutTestSupport.h"

#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Text/PLFontSubstitutions.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class InstalledMapFactory : public IXMapCellFactory {
public:
    InstalledMapFactory() { install(this); }
    ~InstalledMapFactory() override { install(nullptr); }
};

// A document laid out in one layout by the map's cells, as the render tool does.
struct RealMap {
    InstalledMapFactory factory;
    RecordingController controller;
    std::unique_ptr<IXLayoutContext> context;

    RealMap(const std::shared_ptr<IXDocumentNode>& document, const QString& layout)
    {
        PLFontSubstitutions::install();
        controller.node = document;
        context = std::make_unique<IXLayoutContext>(&controller, document->layoutForName(layout).get());
        context->performLayout();
    }
    ~RealMap() { context->invalidate(); }

    // Draws the area into a small picture; whether anything was painted.
    bool draw(const PLRect& area)
    {
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            PLGraphicsContext graphics(image);
            graphics.concat(PLAffineTransform(64 / area.width(), 0, 0, 64 / area.height(), 0, 0));
            graphics.concat(PLAffineTransform(1, 0, 0, 1, -area.minX(), -area.minY()));
            context->drawRect(graphics, area);
        }
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) != 0) return true;
        return false;
    }
};

const QString layouts[] = {QStringLiteral("mindmap"), QStringLiteral("topdown"), QStringLiteral("leftright")};

bool isBounded(const PLRect& r, float limit)
{
    for (float v : {r.minX(), r.minY(), r.maxX(), r.maxY()})
        if (!std::isfinite(v) || std::fabs(v) > limit) return false;
    return true;
}

TEST(IXHostileMapTests, GeometryBeyondAnyMapIsBoundedWhereUsedAndKeptInTheFile)
{
    const float infinity = std::numeric_limits<float>::infinity();
    for (float value : {1e20f, -1e20f, infinity, -infinity, std::numeric_limits<float>::quiet_NaN()}) {
        for (const QString& layout : layouts) {
            const std::shared_ptr<IXDocumentNode> document = IXHostileMaps::hugeGeometry(value);
            RealMap map(document, layout);
            const PLRect bounds = map.context->cellsBounds();
            // Every bound summed over this small map's few cells.
            EXPECT_TRUE(isBounded(bounds, 1e8f)) << value << " " << qPrintable(layout);
            // The first draw answers by one pass over the cells, the second through the grid.
            const PLRect middle(bounds.midX() - 200, bounds.midY() - 200, 400, 400);
            EXPECT_EQ(map.draw(middle), map.draw(middle)) << value << " " << qPrintable(layout);
            IXLayoutCell* root = map.context->cells().branchCellForNode(document->rootBranches().first().get());
            ASSERT_NE(root, nullptr);
            EXPECT_FALSE(root->bounds().isEmpty()) << value << " " << qPrintable(layout);

            // What the style takes is kept as it is (it refuses values that are not finite).
            if (std::isfinite(value)) EXPECT_EQ(document->style()->documentGapVertical(), value);
        }
    }
}

TEST(IXHostileMapTests, LimitsKeepEveryValueARealMapHolds)
{
    using Kind = IXGeometryLimits::Kind;
    struct Case {
        float value;
        Kind kind;
        float expected;
    };
    const Case cases[] = {
        {12, Kind::Gap, 12},           {-30, Kind::Gap, -30},          {1e20f, Kind::Gap, 10000},
        {-1e20f, Kind::Length, -10000}, {2.5f, Kind::LineWidth, 2.5f},   {5000, Kind::LineWidth, 1000},
        {700, Kind::TextWidth, 700},    {1e9f, Kind::TextWidth, 100000}, {8, Kind::Roundness, 8},
        {-2400, Kind::Offset, -2400},   {1e7f, Kind::Offset, 1e6f},      {640, Kind::PictureSize, 640},
        {std::numeric_limits<float>::infinity(), Kind::PictureSize, 100000},
        {std::numeric_limits<float>::quiet_NaN(), Kind::Offset, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(IXGeometryLimits::clamped(c.value, c.kind), c.expected) << c.value;
}

TEST(IXHostileMapTests, AnAbsurdlyLongTitleShowsItsBeginningAndKeepsTheStoredTitle)
{
    const int limit = IXGeometryLimits::ShownTextCharacters;
    struct Case {
        QString title;
        QString shown;
    };
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character of two code units
    const QString longest(limit, QLatin1Char('x'));
    const Case cases[] = {
        {longest, longest},
        {longest + QLatin1Char('y'), longest + QChar(0x2026)},
        {QString(4 << 20, QLatin1Char('z')), QString(limit, QLatin1Char('z')) + QChar(0x2026)},
        // A character is never cut in two.
        {QString(limit - 1, QLatin1Char('x')) + pair + pair, QString(limit - 1, QLatin1Char('x')) + QChar(0x2026)},
    };
    for (const Case& c : cases) {
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(c.title);
        EXPECT_EQ(IXTextCell::textForNode(nullptr, branch.get(), nullptr).string(), c.shown) << c.title.size();
        EXPECT_EQ(branch->title(), c.title);
    }
}

TEST(IXHostileMapTests, ATitleOfMegabytesWithoutABlankLaysOutAsItsBeginning)
{
    const std::shared_ptr<IXDocumentNode> document = IXHostileMaps::longTitle(4 << 20);
    for (const QString& layout : layouts) {
        RealMap map(document, layout);
        IXLayoutCell* root = map.context->cells().branchCellForNode(document->rootBranches().first().get());
        ASSERT_NE(root, nullptr);
        // Wrapped into lines no wider than a title's box, far fewer than 4 MB would need.
        EXPECT_LT(root->bounds().width(), 2000) << qPrintable(layout);
        EXPECT_LT(root->bounds().height(), 20000) << qPrintable(layout);
        EXPECT_GT(root->bounds().height(), 100) << qPrintable(layout);
        EXPECT_EQ(document->rootBranches().first()->title().size(), 4 << 20);
    }
}

}  // namespace
