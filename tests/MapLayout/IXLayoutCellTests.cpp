#include "IXLayoutTestSupport.h"

#include "MapLayout/IXLayoutGroupCell.h"
#include "Platform/Core/PLLog.h"
#include "TestSupport/ExpectAssertion.h"

#include <gtest/gtest.h>

namespace {

// A group whose layout moves one child, which invalidates the group again for as many
// passes as asked.
class RestlessGroup : public IXLayoutGroupCell {
public:
    using IXLayoutGroupCell::IXLayoutGroupCell;
    int passes = 0;
    int invalidatingPasses = 0;
    void layout() override
    {
        ++passes;
        IXLayoutGroupCell::layout();
        if (invalidatingPasses-- > 0) cells().front()->invalidateLayout();
    }
};

// A layer of an off-screen context over an empty mind map, for cells that need a context.
struct CellFixture : ::testing::Test {
    MapFixture map;
    ContextHolder context{map, QStringLiteral("mindmap")};
    std::shared_ptr<IXLayoutGroupCell> layer = std::make_shared<IXLayoutGroupCell>(context.context.get(), nullptr, nullptr);

    std::shared_ptr<TestCell> add(IXLayoutGroupCell* group, PLRect frame)
    {
        auto cell = std::make_shared<TestCell>(context.context.get(), group, nullptr, frame);
        group->addCell(cell);
        return cell;
    }
    void TearDown() override { layer->invalidate(); }
};

using IXLayoutCellTests = CellFixture;

TEST_F(IXLayoutCellTests, BoundsLayOutFirstOriginDoesNot)
{
    auto cell = add(layer.get(), PLRect(5, 6, 30, 40));
    EXPECT_EQ(cell->origin(), PLPoint());
    EXPECT_EQ(cell->layouts, 0);
    EXPECT_EQ(cell->bounds(), PLRect(0, 0, 30, 40));
    EXPECT_EQ(cell->layouts, 1);
    EXPECT_EQ(cell->frame(), PLRect(5, 6, 30, 40));
    EXPECT_EQ(cell->layouts, 1);
}

TEST_F(IXLayoutCellTests, SetFrameWithTheSameFrameKeepsTransforms)
{
    auto cell = add(layer.get(), PLRect(5, 6, 30, 40));
    cell->transLocalToCanvas();
    ASSERT_TRUE(cell->hasValidTransform());
    cell->setFrame(PLRect(5, 6, 30, 40));
    EXPECT_TRUE(cell->hasValidTransform());
    cell->setFrame(PLRect(5, 7, 30, 40));
    EXPECT_FALSE(cell->hasValidTransform());

    // On an invalid cell the same frame still marks the layout valid.
    cell->invalidateLayout();
    ASSERT_TRUE(cell->needsLayout());
    cell->setFrame(PLRect(5, 7, 30, 40));
    EXPECT_FALSE(cell->needsLayout());
}

TEST_F(IXLayoutCellTests, InvalidationWalksUpToTheFirstInvalidAncestor)
{
    auto group = std::make_shared<IXLayoutGroupCell>(context.context.get(), layer.get(), nullptr);
    layer->addCell(group);
    auto inner = std::make_shared<IXLayoutGroupCell>(context.context.get(), group.get(), nullptr);
    group->addCell(inner);
    auto leaf = add(inner.get(), PLRect(0, 0, 10, 10));
    layer->performLayout();
    ASSERT_FALSE(layer->needsLayout() || group->needsLayout() || inner->needsLayout() || leaf->needsLayout());

    leaf->invalidateLayout();
    EXPECT_TRUE(leaf->needsLayout());
    EXPECT_TRUE(inner->needsLayout());
    EXPECT_TRUE(group->needsLayout());
    EXPECT_TRUE(layer->needsLayout());
    EXPECT_TRUE(context->reloads().isLayoutPosted());

    // A leaf defers to its invalid parent; a group lays out itself and its children only.
    leaf->performLayout();
    EXPECT_FALSE(inner->needsLayout());
    EXPECT_FALSE(leaf->needsLayout());
    EXPECT_TRUE(group->needsLayout());
    EXPECT_EQ(leaf->layouts, 2);
    layer->performLayout();
    EXPECT_FALSE(layer->needsLayout() || group->needsLayout());
    EXPECT_EQ(leaf->layouts, 2);
}

TEST_F(IXLayoutCellTests, GroupRunsASecondPassAndLogsWhenStillInvalid)
{
    QStringList logged;
    auto previous = PLLog::setSink([&](const QString& line) { logged << line; });
    struct Case {
        int invalidatingPasses;
        int expectedPasses;
        bool logs;
    };
    for (const Case& c : {Case{0, 1, false}, Case{1, 2, false}, Case{2, 2, true}}) {
        logged.clear();
        auto group = std::make_shared<RestlessGroup>(context.context.get(), layer.get(), nullptr);
        layer->addCell(group);
        add(group.get(), PLRect(0, 0, 10, 10));
        group->invalidatingPasses = c.invalidatingPasses;
        group->performLayout();
        EXPECT_EQ(group->passes, c.expectedPasses) << c.invalidatingPasses;
        EXPECT_EQ(logged.count(QStringLiteral("Failed to perform layout")), c.logs ? 1 : 0) << c.invalidatingPasses;
    }
    PLLog::setSink(previous);
}

TEST_F(IXLayoutCellTests, GroupBoundsAreTheUnionOfNonEmptyChildFrames)
{
    EXPECT_EQ(IXLayoutCell::unionRectForCells({}), PLRect());
    auto group = std::make_shared<IXLayoutGroupCell>(context.context.get(), layer.get(), nullptr);
    layer->addCell(group);
    group->setOrigin(PLPoint(100, 100));
    auto empty = add(group.get(), PLRect(40, 40, 0, 10));
    EXPECT_EQ(IXLayoutCell::unionRectForCells({empty}), PLRect());
    add(group.get(), PLRect(-10, 5, 20, 10));
    add(group.get(), PLRect(30, -20, 5, 5));
    group->invalidateLayout();
    EXPECT_EQ(group->bounds(), PLRect(-10, -20, 45, 35));
    EXPECT_EQ(group->frame(), PLRect(100, 100, 45, 35));
    // The group's own space is its children's: a child's origin lands on the group's frame.
    auto child = group->cells()[1];
    EXPECT_EQ(child->convertPointToCell(PLPoint(0, 0), nullptr), PLPoint(100, 125));
}

TEST_F(IXLayoutCellTests, ConversionsRoundTripBetweenCellsAndCanvas)
{
    auto group = std::make_shared<IXLayoutGroupCell>(context.context.get(), layer.get(), nullptr);
    layer->addCell(group);
    group->setOrigin(PLPoint(37.5f, -12.25f));
    auto a = add(group.get(), PLRect(3, 4, 20, 10));
    auto b = add(layer.get(), PLRect(-100, 200, 50, 50));
    const PLPoint points[] = {{0, 0}, {1.5f, -2.25f}, {1000, 3000}, {-77.7f, 12.1f}};
    for (PLPoint p : points) {
        for (IXLayoutCell* target : {static_cast<IXLayoutCell*>(nullptr), static_cast<IXLayoutCell*>(b.get())}) {
            const PLPoint there = a->convertPointToCell(p, target);
            const PLPoint back = a->convertPointFromCell(there, target);
            EXPECT_NEAR(back.x, p.x, 1e-3);
            EXPECT_NEAR(back.y, p.y, 1e-3);
        }
    }
    const PLRect r(1, 2, 3, 4);
    EXPECT_EQ(a->convertRectFromCell(a->convertRectToCell(r, b.get()), b.get()), r);
    EXPECT_EQ(a->convertSizeToCell(PLSize(3, 4), b.get()), PLSize(3, 4));
}

TEST_F(IXLayoutCellTests, MovingAGroupMovesItsChildrenWithoutLayout)
{
    auto group = std::make_shared<IXLayoutGroupCell>(context.context.get(), layer.get(), nullptr);
    layer->addCell(group);
    auto leaf = add(group.get(), PLRect(10, 10, 5, 5));
    const PLPoint before = leaf->convertPointToCell(PLPoint(), nullptr);
    const int layouts = leaf->layouts;
    group->setOrigin(group->origin() + PLPoint(25, -5));
    const PLPoint after = leaf->convertPointToCell(PLPoint(), nullptr);
    EXPECT_EQ(after, before + PLPoint(25, -5));
    EXPECT_EQ(leaf->layouts, layouts);
}

TEST_F(IXLayoutCellTests, AScaledCellMapsItsBoundsOntoItsFrame)
{
    class Scaled : public IXLayoutCell {
    public:
        using IXLayoutCell::IXLayoutCell;
        void layout() override
        {
            m_frame = PLRect(10, 10, 100, 50);
            m_bounds = PLRect(-50, 0, 50, 25);
        }
    };
    auto cell = std::make_shared<Scaled>(context.context.get(), layer.get(), nullptr);
    layer->addCell(cell);
    EXPECT_EQ(cell->convertPointToCell(PLPoint(-50, 0), nullptr), PLPoint(10, 10));
    EXPECT_EQ(cell->convertPointToCell(PLPoint(0, 25), nullptr), PLPoint(110, 60));
    EXPECT_EQ(cell->convertSizeToCell(PLSize(1, 1), nullptr), PLSize(2, 2));
    // One view unit is half a unit inside (an off-screen context has no zoom).
    EXPECT_EQ(cell->currentPixelSize(), PLSize(0.5f, 0.5f));
}

TEST_F(IXLayoutCellTests, ProgrammingErrorsAreAsserted)
{
    auto group = std::make_shared<IXLayoutGroupCell>(context.context.get(), layer.get(), nullptr);
    expectAssertion("cell", [&] { group->addCell(nullptr); });
    auto stranger = std::make_shared<TestCell>(context.context.get(), layer.get(), nullptr, PLRect());
    expectAssertion("cell->_parent == self", [&] { group->addCell(stranger); });
    auto elsewhere = std::make_shared<TestCell>(nullptr, group.get(), nullptr, PLRect());
    expectAssertion("cell->_context == _context", [&] { group->addCell(elsewhere); });
    auto orphan = std::make_shared<IXLayoutGroupCell>(nullptr, nullptr, nullptr);
    expectAssertion("_context", [&] { orphan->performLayout(); });

    class InvalidatingDeepInLayout : public IXLayoutCell {
    public:
        using IXLayoutCell::IXLayoutCell;
        void layout() override
        {
            m_layoutInProgress = 4;
            m_hasValidLayout = true;
            invalidateLayout();
        }
    };
    auto deep = std::make_shared<InvalidatingDeepInLayout>(nullptr, nullptr, nullptr);
    expectAssertion("invalidateLayout during secondary layout process", [&] { deep->performLayout(); });
    for (auto* cell : std::initializer_list<IXLayoutCell*>{stranger.get(), elsewhere.get(), group.get(), deep.get()})
        cell->invalidate();
}

TEST_F(IXLayoutCellTests, ReleasingACellThatWasNotInvalidatedLogsAndLeavesNothingBehind)
{
    QStringList logged;
    auto previous = PLLog::setSink([&](const QString& line) { logged << line; });
    {
        auto cell = std::make_shared<TestCell>(context.context.get(), layer.get(), nullptr, PLRect());
    }
    {
        auto cell = std::make_shared<TestCell>(context.context.get(), layer.get(), nullptr, PLRect());
        cell->invalidate();
    }
    PLLog::setSink(previous);
    EXPECT_EQ(logged, QStringList{QStringLiteral("Invalid parameter not satisfying: !_context && !_parent && !_node")});
}

TEST_F(IXLayoutCellTests, DescriptionNamesNodeFrameAndCanvasFrame)
{
    auto branch = map.addRoot(QStringLiteral("Root"));
    auto cell = std::make_shared<TestCell>(context.context.get(), layer.get(), branch.get(), PLRect(1, 2, 3, 4));
    layer->addCell(cell);
    QString text = cell->description();
    EXPECT_TRUE(text.contains(QStringLiteral("frame: {{0, 0}, {0, 0}}"))) << text.toStdString();
    cell->transLocalToCanvas();
    text = cell->description();
    EXPECT_TRUE(text.contains(QStringLiteral("frame: {{1, 2}, {3, 4}}; bounds: {{0, 0}, {3, 4}}"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("canvas frame: {{1, 2}, {3, 4}}"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("view frame")));
}

}  // namespace
