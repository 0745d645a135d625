#include "IXMapBranchGroupTestSupport.h"

#include "DocumentModel/IXStyleSheetNode.h"
#include "MapLayout/IXBranchBoundaryCell.h"
#include "Platform/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

std::shared_ptr<IXStyleNode> sheetStyle(GroupMap& map, const QString& layout, IXNode* node)
{
    return map.document->layoutForName(layout)->styleSheet()->styleForNode(node);
}

int sideOf(GroupMap& map, IXNode* node)
{
    return map.style(node)->branchLayoutType();
}

// The children of one side must be stacked from the first (top) to the last (bottom), their
// frames exactly gap apart, and all on the side their style gives: a child placed twice or
// not at all breaks the chain.
void expectStacked(GroupMap& map, const std::vector<IXNode*>& topToBottom, float gap, float parentAnchorX,
                   const char* what)
{
    for (std::size_t i = 0; i + 1 < topToBottom.size(); ++i) {
        const PLRect upper = map.groupFrame(topToBottom[i]);
        const PLRect lower = map.groupFrame(topToBottom[i + 1]);
        EXPECT_FLOAT_EQ(upper.minY() - lower.maxY(), gap) << what << " " << i;
    }
    for (IXNode* node : topToBottom) {
        const bool right = map.group(node)->layoutType() == 2;
        EXPECT_EQ(map.anchor(node).x > parentAnchorX, right) << what << " " << node->title().toStdString();
    }
}

TEST(IXMapBranchGroupCellTests, MindMapSpreadingPlacesEveryMainBranchOnceForAnyCount)
{
    // count, preset sides ("" none), expected sides after layout.
    struct Case {
        int count;
        std::vector<int> preset;
        std::vector<int> sides;
    };
    const Case cases[] = {
        {0, {}, {}},
        {1, {}, {2}},
        {2, {}, {2, 2}},
        {3, {}, {2, 3, 3}},
        {4, {}, {2, 2, 3, 3}},
        {7, {}, {2, 2, 2, 3, 3, 3, 3}},
        {5, {3, 3, 3, 3, 3}, {3, 3, 3, 3, 3}},
        {5, {2, 2, 2, 2, 2}, {2, 2, 2, 2, 2}},
        {3, {2, 0, 2}, {2, 2, 2}},
        {3, {3, 0, 2}, {2, 2, 2}},
        {4, {2, 0, 0, 3}, {2, 2, 3, 3}},
    };
    for (const Case& c : cases) {
        GroupMap map;
        auto root = map.addRoot(QStringLiteral("R"));
        auto children = map.addChildren(root, c.count);
        for (std::size_t i = 0; i < c.preset.size(); ++i)
            sheetStyle(map, QStringLiteral("mindmap"), children[i].get())->setBranchLayoutType(c.preset[i]);
        map.open(QStringLiteral("mindmap"));
        const std::string what = std::to_string(c.count) + " branches";

        std::vector<int> sides;
        for (const auto& child : children) sides.push_back(sideOf(map, child.get()));
        EXPECT_EQ(sides, c.sides) << what;
        EXPECT_EQ(int(map.group(root.get())->cells().size()), c.count) << what;

        // Clockwise: the right side top to bottom in order, the left side bottom to top.
        std::vector<IXNode*> right;
        std::vector<IXNode*> left;
        for (const auto& child : children) (sideOf(map, child.get()) == 2 ? right : left).push_back(child.get());
        std::reverse(left.begin(), left.end());
        const float gap = map.style(root.get())->documentGapVertical();
        const float rootX = map.anchor(root.get()).x;
        expectStacked(map, right, gap, rootX, what.c_str());
        expectStacked(map, left, gap, rootX, what.c_str());

        // Children start the gap beyond half the root's box, on either side.
        const float gapH = map.style(root.get())->documentGapHorizontal();
        const PLRect rootBox = map.box(root.get());
        for (IXNode* node : right) EXPECT_FLOAT_EQ(map.groupFrame(node).minX(), rootBox.maxX() + gapH) << what;
        for (IXNode* node : left) EXPECT_FLOAT_EQ(map.groupFrame(node).maxX(), rootBox.minX() - gapH) << what;
    }
}

// Sides and places of main branches of different heights, some with a side of their own, as
// recorded from the spreading maps have always had (the front ones go right, the back ones
// left while the left is not the taller): a faster spreading must give the same.
TEST(IXMapBranchGroupCellTests, MindMapSidesAndPlacesMatchTheRecordedSpreadingOfSmallMaps)
{
    struct Case {
        std::vector<int> heights;
        std::vector<int> preset;
        const char* places;  // side@x,y of each anchor
    };
    const Case cases[] = {
        {{20}, {}, "R@188,7"},
        {{20, 60}, {}, "R@188,29 R@188,-29"},
        {{20, 60, 20}, {}, "R@188,7 L@-188,-29 L@-188,29"},
        {{20, 60, 20, 40, 100}, {}, "R@188,58 R@188,0 R@188,-58 L@-188,-44 L@-188,44"},
        {{100, 20, 20, 20, 20, 20}, {}, "R@188,7 L@-188,-76 L@-188,-38 L@-188,0 L@-188,38 L@-188,76"},
        {{20, 20, 20, 20, 20, 120}, {}, "R@188,76 R@188,38 R@188,0 R@188,-38 R@188,-76 L@-188,7"},
        {{30, 50, 20, 80, 20, 20, 40, 60}, {0, 0, 3}, "R@188,29 R@188,-29 L@-188,-145 L@-188,-77 L@-188,-9 L@-188,29 L@-188,77 L@-188,145"},
        {{20, 40, 60, 20, 40, 60}, {2, 0, 0, 0, 0, 3}, "R@188,58 R@188,10 R@188,-58 L@-188,-58 L@-188,-10 L@-188,58"},
        {{20, 30, 40, 50, 60, 70, 80}, {0, 3, 0, 0, 2}, "R@188,116 R@188,73 R@188,20 R@188,-43 R@188,-116 L@-188,-47 L@-188,46"},
        {{60, 20, 20, 60, 20, 20, 60, 20, 20, 60}, {0, 0, 0, 0, 0, 0, 2}, "R@188,154 R@188,96 R@188,58 R@188,0 R@188,-58 R@188,-96 R@188,-154 L@-188,-48 L@-188,-10 L@-188,48"},
    };
    for (const Case& c : cases) {
        GroupMap map;
        auto root = map.addRoot(QStringLiteral("R"));
        auto children = map.addChildren(root, int(c.heights.size()));
        for (std::size_t i = 0; i < c.heights.size(); ++i)
            map.factory.boxSizes.insert(QStringLiteral("M%1").arg(i + 1), PLSize(100, float(c.heights[i])));
        for (std::size_t i = 0; i < c.preset.size(); ++i)
            sheetStyle(map, QStringLiteral("mindmap"), children[i].get())->setBranchLayoutType(c.preset[i]);
        map.open(QStringLiteral("mindmap"));
        QStringList places;
        for (const auto& child : children) {
            const PLPoint anchor = map.anchor(child.get());
            places << QStringLiteral("%1@%2,%3").arg(sideOf(map, child.get()) == 2 ? QLatin1Char('R') : QLatin1Char('L'))
                          .arg(double(anchor.x)).arg(double(anchor.y));
        }
        EXPECT_EQ(places.join(QLatin1Char(' ')), QString::fromLatin1(c.places)) << c.heights.size();
    }
}

// A side given to a main branch reaches its whole subtree: boxes, buttons and children turn
// to that side, down to the leaves.
TEST(IXMapBranchGroupCellTests, ChangingAMainBranchsSideTurnsItsWholeSubtree)
{
    GroupMap map;
    auto root = map.addRoot(QStringLiteral("R"));
    auto main = map.addChild(root, QStringLiteral("M1"));
    auto sub = map.addChild(main, QStringLiteral("S1"));
    auto leaf = map.addChild(sub, QStringLiteral("L1"));
    map.open(QStringLiteral("mindmap"));
    for (int side : {3, 2, 3}) {
        map.style(main.get())->setBranchLayoutType(side);
        map.layOut();
        const bool right = side == 2;
        for (IXNode* node : {main.get(), sub.get(), leaf.get()}) {
            EXPECT_EQ(map.group(node)->layoutType(), side) << node->title().toStdString();
            const PLRect box = map.box(node);
            // The box ends at the anchor on the children's side.
            EXPECT_FLOAT_EQ(right ? box.maxX() : box.minX(), map.anchor(node).x) << side;
        }
        for (IXNode* node : {sub.get(), leaf.get()})
            EXPECT_EQ(map.anchor(node).x > map.anchor(node->parentNode()).x, right) << side;
        const PLRect button = map.button(sub.get());
        EXPECT_EQ(button.midX() > map.anchor(sub.get()).x, right) << side;
    }
}

TEST(IXMapBranchGroupCellTests, MindMapRootIsCentredAndASingleChildSitsHalfAGapAbove)
{
    GroupMap map;
    map.factory.boxSizes.insert(QStringLiteral("R"), PLSize(121, 41));
    auto root = map.addRoot(QStringLiteral("R"));
    auto only = map.addChild(root, QStringLiteral("M1"));
    map.open(QStringLiteral("mindmap"));

    const PLPoint anchor = map.anchor(root.get());
    EXPECT_EQ(map.box(root.get()), PLRect(anchor.x - 61, anchor.y - 21, 121, 41));
    const float gapV = map.style(root.get())->documentGapVertical();
    const float gapH = map.style(root.get())->documentGapHorizontal();
    EXPECT_FLOAT_EQ(map.anchor(only.get()).y - anchor.y, std::floor(gapV / 2));
    // Its box ends at its anchor on the far side, the anchor at the box's baseline.
    EXPECT_FLOAT_EQ(map.box(only.get()).minX(), anchor.x + 61 + gapH + IXMapBranchGroupCell::kGroupMargin);
    // A root's frame is its bounds moved by its parent offset; the tree moves along whole.
    const PLRect before = map.groupFrame(root.get());
    map.style(root.get())->setBranchParentOffset(PLPoint(40, -30));
    map.layOut();
    EXPECT_EQ(map.groupFrame(root.get()), before.offsetBy(40, -30));
    EXPECT_EQ(map.group(root.get())->bounds().size, before.size);
}

TEST(IXMapBranchGroupCellTests, LeftRightPlacesChildrenOnTheOrientationsSideFirstAtTheTop)
{
    for (int orientation : {0, 1}) {
        GroupMap map;
        auto root = map.addRoot(QStringLiteral("R"));
        map.factory.boxSizes.insert(QStringLiteral("M2"), PLSize(80, 50));
        auto children = map.addChildren(root, 3);
        auto leaf = map.addChild(children[1], QStringLiteral("L1"));
        sheetStyle(map, QStringLiteral("leftright"), map.document.get())->setDocumentLayoutOrientation(orientation);
        map.open(QStringLiteral("leftright"));
        const bool right = orientation == 0;
        const std::string what = "orientation " + std::to_string(orientation);

        for (IXNode* node : {root.get(), children[1].get(), leaf.get()})
            EXPECT_EQ(map.group(node)->layoutType(), right ? 2 : 3) << what;
        std::shared_ptr<IXStyleNode> style = map.style(root.get());
        const float gapV = style->documentGapVertical();
        const float gapH = style->documentGapHorizontal();
        const PLPoint anchor = map.anchor(root.get());
        const PLRect rootBox = map.box(root.get());
        // The box ends at the anchor on the children's side, the anchor at its title's foot
        // (frameless) or middle (framed).
        EXPECT_FLOAT_EQ(right ? rootBox.maxX() : rootBox.minX(), anchor.x) << what;
        const float baseline = style->branchBaseline() == 1 ? std::floor(rootBox.height() / 2) : 2;
        EXPECT_FLOAT_EQ(anchor.y - rootBox.minY(), baseline) << what;

        std::vector<IXNode*> order{children[0].get(), children[1].get(), children[2].get()};
        expectStacked(map, order, gapV, anchor.x, what.c_str());
        for (IXNode* node : order) {
            const PLRect frame = map.groupFrame(node);
            EXPECT_FLOAT_EQ(right ? frame.minX() - anchor.x : anchor.x - frame.maxX(), gapH) << what;
        }
        // The first and last anchors lie symmetric about the parent's.
        EXPECT_NEAR(map.anchor(children[0].get()).y - anchor.y, anchor.y - map.anchor(children[2].get()).y, 1) << what;

        // The collapse button: 9 x 9, its centre min(ceil(0.4 gapH), 18) out, level with the anchor.
        const PLRect button = map.button(root.get());
        const float out = std::min(std::ceil(0.4f * gapH), 18.0f);
        EXPECT_EQ(button.size, PLSize(9, 9));
        EXPECT_FLOAT_EQ(button.minX() + 4 - anchor.x, right ? out : -out) << what;
        EXPECT_FLOAT_EQ(button.minY() + 4, anchor.y) << what;
        // Leaves have none.
        EXPECT_EQ(map.group(leaf.get())->collapseCell(), nullptr);
    }
}

TEST(IXMapBranchGroupCellTests, TopDownRowsHangTheGapBelowTheirAnchorCentredOnTheirFrames)
{
    GroupMap map;
    auto root = map.addRoot(QStringLiteral("R"));
    map.factory.boxSizes.insert(QStringLiteral("M1"), PLSize(60, 30));
    map.factory.boxSizes.insert(QStringLiteral("M3"), PLSize(140, 20));
    auto children = map.addChildren(root, 3);
    map.addChildren(children[0], 2, QStringLiteral("S"));
    map.open(QStringLiteral("topdown"));
    std::shared_ptr<IXStyleNode> style = map.style(root.get());
    const float gapV = style->documentGapVertical();
    const float gapH = style->documentGapHorizontal();

    const PLPoint anchor = map.anchor(root.get());
    const PLRect rootBox = map.box(root.get());
    EXPECT_FLOAT_EQ(rootBox.minY(), anchor.y);
    EXPECT_FLOAT_EQ(rootBox.minX(), anchor.x - std::ceil(rootBox.width() / 2));
    float left = 0;
    float right = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const PLRect frame = map.groupFrame(children[i].get());
        EXPECT_FLOAT_EQ(frame.maxY(), anchor.y - gapV) << i;
        if (i > 0) EXPECT_FLOAT_EQ(frame.minX() - map.groupFrame(children[i - 1].get()).maxX(), gapH) << i;
        if (i == 0) left = frame.minX();
        right = frame.maxX();
    }
    EXPECT_NEAR(anchor.x - left, right - anchor.x, 1);
    // The button is centred below the anchor.
    const PLRect button = map.button(root.get());
    const float down = std::min(std::ceil(0.4f * gapV), 18.0f);
    EXPECT_FLOAT_EQ(button.minX() + 4, anchor.x);
    EXPECT_FLOAT_EQ(button.minY() + 4, anchor.y - down);
    // The grandchildren's row hangs below their own parent's anchor.
    for (const auto& cell : map.group(children[0].get())->cells())
        EXPECT_FLOAT_EQ(map.groupFrame(cell->node()).maxY(), map.anchor(children[0].get()).y - gapV);
}

TEST(IXMapBranchGroupCellTests, CustomOffsetsMoveOnlyARootsChildrenAndNeverInwards)
{
    struct Case {
        const char* layout;
        PLPoint offset;
        PLPoint expectedShift;
    };
    const Case cases[] = {
        {"mindmap", PLPoint(-30, 40), PLPoint(0, 40)},
        {"mindmap", PLPoint(25, -10), PLPoint(25, -10)},
        {"leftright", PLPoint(-30, 40), PLPoint(0, 40)},
        {"topdown", PLPoint(-30, 40), PLPoint(-30, 0)},
        {"topdown", PLPoint(10, -40), PLPoint(10, -40)},
    };
    for (const Case& c : cases) {
        const QString layout = QString::fromLatin1(c.layout);
        GroupMap map;
        auto root = map.addRoot(QStringLiteral("R"));
        auto main = map.addChild(root, QStringLiteral("M1"));
        auto sub = map.addChild(main, QStringLiteral("S1"));
        map.open(layout);
        const PLPoint mainBefore = map.anchor(main.get());
        const PLPoint subBefore = map.anchor(sub.get());

        map.style(map.document.get())->setDocumentLayoutCustom(true);
        map.style(main.get())->setBranchParentOffset(c.offset);
        map.style(sub.get())->setBranchParentOffset(PLPoint(50, 50));
        map.layOut();
        const PLPoint mainAfter = map.anchor(main.get());
        const PLPoint subAfter = map.anchor(sub.get());
        EXPECT_FLOAT_EQ(mainAfter.x - mainBefore.x, c.expectedShift.x) << c.layout;
        EXPECT_FLOAT_EQ(mainAfter.y - mainBefore.y, c.expectedShift.y) << c.layout;
        // Below the main branches offsets do nothing: the sub-branch moves with its parent only.
        EXPECT_FLOAT_EQ(subAfter.x - subBefore.x, c.expectedShift.x) << c.layout;
        EXPECT_FLOAT_EQ(subAfter.y - subBefore.y, c.expectedShift.y) << c.layout;
    }
}

TEST(IXMapBranchGroupCellTests, CollapsingRemovesTheChildCellsAndTheButtonTogglesIt)
{
    GroupMap map;
    auto root = map.addRoot(QStringLiteral("R"));
    auto main = map.addChild(root, QStringLiteral("M1"));
    auto subs = map.addChildren(main, 2, QStringLiteral("S"));
    map.addChild(subs[0], QStringLiteral("T1"));
    map.open(QStringLiteral("leftright"));
    IXMapBranchGroupCell* group = map.group(main.get());
    ASSERT_EQ(group->cells().size(), 2u);

    main->setCollapsed(true, false);
    map.layOut();
    group = map.group(main.get());
    EXPECT_TRUE(group->isCollapsed());
    EXPECT_TRUE(group->cells().empty());
    EXPECT_EQ(map.context->cells().branchGroupCellForNode(subs[0].get()), nullptr);
    // Only the box, the button and the margin remain.
    const PLRect content = map.box(main.get()).united(map.button(main.get()));
    EXPECT_EQ(map.groupFrame(main.get()), content.insetBy(-2, -2));
    for (const auto& cell : map.context->drawStack()) EXPECT_NE(titleOf(cell.get()).left(1), QStringLiteral("S"));

    main->setCollapsed(false, false);
    map.layOut();
    EXPECT_EQ(map.group(main.get())->cells().size(), 2u);
    EXPECT_EQ(map.group(subs[0].get())->cells().size(), 1u);

    // A leaf has no button until its first sub-branch.
    EXPECT_EQ(map.group(subs[1].get())->collapseCell(), nullptr);
    GroupMap::addChild(subs[1], QStringLiteral("T2"));
    map.layOut();
    EXPECT_NE(map.group(subs[1].get())->collapseCell(), nullptr);
}

// A mind-map root collapsed by a command keeps its children and their room; the stacks leave
// them out, and no lines are drawn to them.
TEST(IXMapBranchGroupCellTests, ACollapsedMindMapRootKeepsItsChildCells)
{
    GroupMap map;
    auto root = map.addRoot(QStringLiteral("R"));
    auto children = map.addChildren(root, 3);
    map.open(QStringLiteral("mindmap"));
    const PLRect expanded = map.groupFrame(root.get());
    map.style(root.get())->setBranchCollapsed(true);
    map.layOut();
    IXMapBranchGroupCell* group = map.group(root.get());
    EXPECT_EQ(group->cells().size(), 3u);
    EXPECT_EQ(group->collapseCell(), nullptr);
    EXPECT_EQ(map.groupFrame(root.get()), expanded);
    for (const auto& cell : map.context->drawStack()) EXPECT_EQ(titleOf(cell.get()), QStringLiteral("R"));
}

TEST(IXMapBranchGroupCellTests, APressOnTheButtonTogglesTheBranchAndOptionTheWholeSubtree)
{
    GroupMap map;
    auto root = map.addRoot(QStringLiteral("R"));
    auto main = map.addChild(root, QStringLiteral("M1"));
    auto sub = map.addChild(main, QStringLiteral("S1"));
    map.addChild(sub, QStringLiteral("T1"));
    TestView view;
    map.context = std::make_unique<IXLayoutContext>(&map.controller, map.document->layoutForName(QStringLiteral("leftright")).get(), &view);
    view.context = map.context.get();
    map.layOut();

    const PLRect button = map.button(main.get());
    const PLPoint centre(button.midX(), button.midY());
    const PLPoint beside(button.maxX() + 30, button.midY());
    IXMapBranchGroupCell* group = map.group(main.get());
    EXPECT_FALSE(group->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, beside)));
    EXPECT_FALSE(group->trackMouse(PLMouseEvent(PLMouseEvent::RightMouseDown, centre)));
    EXPECT_FALSE(map.style(main.get())->branchCollapsed());

    EXPECT_TRUE(group->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, centre)));
    EXPECT_TRUE(map.style(main.get())->branchCollapsed());
    EXPECT_FALSE(map.style(sub.get())->branchCollapsed());
    map.layOut();

    group = map.group(main.get());
    EXPECT_TRUE(group->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, centre, 1, PLMouseEvent::Option)));
    EXPECT_FALSE(map.style(main.get())->branchCollapsed());
    map.layOut();
    group = map.group(main.get());
    EXPECT_TRUE(group->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, centre, 1, PLMouseEvent::Option)));
    EXPECT_TRUE(map.style(main.get())->branchCollapsed());
    EXPECT_TRUE(map.style(sub.get())->branchCollapsed());
}

TEST(IXMapBranchGroupCellTests, BoundariesGiveTheirRoomAndRootsNeverGetOne)
{
    GroupMap map;
    auto root = map.addRoot(QStringLiteral("R"));
    auto main = map.addChild(root, QStringLiteral("M1"));
    map.addChildren(main, 2, QStringLiteral("S"));
    map.open(QStringLiteral("leftright"));
    const PLRect without = map.groupFrame(main.get());
    EXPECT_EQ(map.group(main.get())->boundaryCell(), nullptr);

    struct Case {
        float width;
        float roundness;
    };
    for (Case c : {Case{5, 5}, Case{1, 0}, Case{2, 13}}) {
        std::shared_ptr<IXStyleNode> style = map.style(main.get());
        style->setBoundaryShow(true);
        style->setBoundaryLineWidth(c.width);
        style->setBoundaryLineRoundness(c.roundness);
        map.style(root.get())->setBoundaryShow(true);
        map.layOut();
        const float room = std::ceil(c.width + 4 + c.roundness / 2);
        IXLayoutCell* boundary = map.group(main.get())->boundaryCell();
        ASSERT_NE(boundary, nullptr);
        // Content unchanged: the group grows by the boundary's room on every side, the
        // boundary takes the content grown by it.
        const PLRect frame = map.groupFrame(main.get());
        EXPECT_EQ(frame.size, PLSize(without.width() + 2 * room, without.height() + 2 * room)) << c.width;
        EXPECT_EQ(boundary->convertRectToCell(boundary->bounds(), nullptr), frame.insetBy(2, 2)) << c.width;
        EXPECT_EQ(map.group(root.get())->boundaryCell(), nullptr);
    }
}

// The outline's shape: a rounded rectangle, or the six-cornered one that hugs the box on the
// parent's side, by layout, collapsed state and the box's margins.
TEST(IXMapBranchGroupCellTests, BoundaryOutlineShapesAndDashes)
{
    const PLRect g(0, 0, 300, 200);
    const PLRect boxLeft(10, 90, 80, 20);    // far from the right edge: children on the right
    const PLRect boxRight(210, 90, 80, 20);  // children on the left
    const PLRect centred(110, 90, 80, 20);
    struct Case {
        PLRect box;
        int layoutType;
        bool collapsed;
        std::vector<PLPoint> polygon;  // empty: the rounded rectangle
    };
    const Case cases[] = {
        {boxLeft, 4, false, {}},
        {boxLeft, 2, true, {}},
        {centred, 2, false, {}},
        {centred, 3, false, {}},
        {boxRight, 2, false, {}},
        {boxLeft, 3, false, {}},
        {boxLeft, 2, false, {{0, 80}, {0, 120}, {90, 200}, {300, 200}, {300, 0}, {90, 0}}},
        {boxRight, 3, false, {{300, 120}, {300, 80}, {210, 0}, {0, 0}, {0, 200}, {210, 200}}},
    };
    for (float roundness : {0.0f, 7.0f}) {
        for (const Case& c : cases) {
            const PLBezierPath path = IXBranchBoundaryCell::outlinePath(g, c.box, c.layoutType, c.collapsed, roundness);
            const PLBezierPath expected = c.polygon.empty()
                ? PLBezierPath::bezierPathWithRoundedRect(g, roundness)
                : PLBezierPath::bezierPathWithRoundedPolygonPoints(c.polygon.data(), 6, roundness);
            EXPECT_TRUE(path == expected) << c.layoutType << " " << c.box.minX() << " " << roundness;
        }
    }
    // Sharp corners at roundness 0: the polygon's corners lie on the path.
    const PLBezierPath sharp = IXBranchBoundaryCell::outlinePath(g, boxLeft, 2, false, 0);
    PLBezierPath thin = sharp;
    EXPECT_TRUE(thin.strokeContainsPoint(PLPoint(0, 120), 0.5f));
    EXPECT_FALSE(thin.strokeContainsPoint(PLPoint(0, 199), 0.5f));

    using Dashes = std::vector<float>;
    EXPECT_EQ(IXBranchBoundaryCell::dashPattern(0, 2), Dashes{});
    EXPECT_EQ(IXBranchBoundaryCell::dashPattern(1, 2), (Dashes{2, 2}));
    EXPECT_EQ(IXBranchBoundaryCell::dashPattern(2, 2), (Dashes{8, 2}));
    EXPECT_EQ(IXBranchBoundaryCell::dashPattern(3, 3), (Dashes{12, 3, 3, 3}));
    EXPECT_EQ(IXBranchBoundaryCell::dashPattern(4, 1), (Dashes{4, 1, 1, 1, 1, 1}));
    EXPECT_EQ(IXBranchBoundaryCell::dashPattern(7, 2), Dashes{});
    EXPECT_EQ(IXBranchBoundaryCell::dashPattern(-1, 2), Dashes{});
}

// Sides given by the first layout after opening are not an edit; sides given because of an
// edit belong to that edit's undo step, undone and redone with it.
TEST(IXMapBranchGroupCellTests, SidesAreGivenOutsideUndoAtOpeningAndInsideTheEditsStepLater)
{
    GroupMap map;
    auto root = map.addRoot(QStringLiteral("R"));
    auto children = map.addChildren(root, 3);
    auto moved = map.addChild(children[0], QStringLiteral("S1"));
    map.document->setUndoManager(&map.undo);
    map.open(QStringLiteral("mindmap"));
    const auto sides = [&] {
        std::vector<int> result;
        for (IXNode* node : {children[0].get(), children[1].get(), children[2].get(), moved.get()})
            result.push_back(sideOf(map, node));
        return result;
    };
    const std::vector<int> opened = sides();
    EXPECT_EQ(opened, (std::vector<int>{2, 3, 3, 0}));
    EXPECT_FALSE(map.undo.canUndo());

    // One edit in one turn: a sub-branch becomes the fourth main branch; the sides are spread
    // anew when the step ends.
    children[0]->removeBranch(moved);
    root->insertBranch(moved, -1);
    map.layOut();
    const std::vector<int> edited = sides();
    EXPECT_EQ(edited, (std::vector<int>{2, 2, 3, 3}));
    ASSERT_TRUE(map.undo.canUndo());

    map.undo.undo();
    EXPECT_EQ(sides(), opened);
    map.layOut();
    EXPECT_EQ(moved->parentBranch(), children[0].get());
    EXPECT_FALSE(map.undo.canUndo());
    ASSERT_TRUE(map.undo.canRedo());

    // The redo brings the sides back itself, before any layout.
    map.undo.redo();
    EXPECT_EQ(sides(), edited);
    map.layOut();
    EXPECT_EQ(moved->parentBranch(), root.get());
    EXPECT_FALSE(map.undo.canRedo());
    EXPECT_TRUE(map.undo.canUndo());
    map.undo.removeAllActions();
}

}  // namespace

namespace {

// A left-right map drawn group by group into a picture of the root's frame with a margin of
// 10: red direct lines of width 1, test boxes that draw nothing of their own.
class GroupDrawingTest : public RenderTest {
protected:
    GroupMap map;
    std::shared_ptr<IXBranchNode> root = map.addRoot(QStringLiteral("R"));
    std::shared_ptr<IXBranchNode> m1 = GroupMap::addChild(root, QStringLiteral("M1"));
    std::shared_ptr<IXBranchNode> m2 = GroupMap::addChild(root, QStringLiteral("M2"));
    PLPoint origin;

    void SetUp() override
    {
        auto s1 = GroupMap::addChild(m1, QStringLiteral("S1"));
        map.open(QStringLiteral("leftright"));
        for (IXNode* node : {root.get(), m1.get(), m2.get(), s1.get()}) {
            std::shared_ptr<IXStyleNode> style = map.style(node);
            style->setBranchLineColor(PLColor::rgb(1, 0, 0));
            style->setBranchLineWidth(1);
            style->setBranchLineType(1);
            style->setBranchCollapserType(2);
        }
        map.style(m1.get())->setBranchFrameType(0);
        map.style(m2.get())->setBranchFrameType(1);
        map.layOut();
    }
    // Draws whole, or strip by strip with each strip clipped (canvas rectangles).
    void render(const std::vector<PLRect>& strips = {})
    {
        const PLRect frame = map.groupFrame(root.get());
        origin = PLPoint(frame.minX() - 10, frame.minY() - 10);
        canvas = blank(int(frame.width()) + 20, int(frame.height()) + 20);
        PLGraphicsContext graphics(canvas);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -origin.x, -origin.y));
        const auto drawGroups = [&] {
            for (IXNode* node : {root.get(), m1.get(), m2.get()})
                if (IXMapBranchGroupCell* group = map.group(node)) group->display(graphics);
        };
        if (strips.empty()) drawGroups();
        for (const PLRect& strip : strips) {
            graphics.saveGraphicsState();
            graphics.clipToRect(strip);
            drawGroups();
            graphics.restoreGraphicsState();
        }
    }
    // The picture's pixel at a canvas point.
    QColor pixel(PLPoint p) const { return at(int(std::floor(p.x - origin.x)), int(std::floor(p.y - origin.y))); }
    bool paintedIn(const PLRect& r) const
    {
        for (float y = r.minY(); y < r.maxY(); ++y)
            for (float x = r.minX(); x < r.maxX(); ++x)
                if (pixel(PLPoint(x, y)).alpha() > 0) return true;
        return false;
    }
};

TEST_F(GroupDrawingTest, LinesRunFromTheButtonToEachChildAroundTheBoxAndTheButtonShowsTheState)
{
    render();
    const PLRect button = map.button(root.get());
    const PLPoint start(button.minX() + 4, button.minY() + 4);
    for (IXNode* child : {m1.get(), m2.get()}) {
        const PLPoint anchor = map.anchor(child);
        const PLPoint end(anchor.x - map.box(child).width(), anchor.y);
        const PLPoint middle((start.x + end.x) / 2, (start.y + end.y) / 2);
        EXPECT_GT(pixel(middle).red(), 100) << child->title().toStdString();
    }
    // Nothing inside the root's box; the button is white with a red minus and no bar.
    EXPECT_FALSE(paintedIn(map.box(root.get()).insetBy(1, 1)));
    EXPECT_TRUE(colorNear(pixel(PLPoint(button.minX() + 4.5f, button.minY() + 4.5f)), QColor(255, 0, 0), 60));
    EXPECT_TRUE(colorNear(pixel(PLPoint(button.minX() + 4.5f, button.minY() + 7)), QColor(255, 255, 255), 60));
    // Only the frameless branch is underlined, at its anchor's height across its box.
    const PLPoint a1 = map.anchor(m1.get());
    const PLPoint a2 = map.anchor(m2.get());
    EXPECT_GT(pixel(PLPoint(a1.x - 50, a1.y)).alpha() + pixel(PLPoint(a1.x - 50, a1.y - 1)).alpha(), 200);
    EXPECT_EQ(pixel(PLPoint(a2.x - 50, a2.y)).alpha() + pixel(PLPoint(a2.x - 50, a2.y - 1)).alpha(), 0);

    // Collapsed: a plus, and no lines to the children.
    m1->setCollapsed(true, false);
    map.style(root.get())->setBranchCollapsed(true);
    map.layOut();
    render();
    const PLRect collapsed = map.button(root.get());
    EXPECT_TRUE(colorNear(pixel(PLPoint(collapsed.minX() + 4.5f, collapsed.minY() + 6)), QColor(255, 0, 0), 60));
    EXPECT_FALSE(paintedIn(PLRect(collapsed.maxX() + 1, collapsed.minY() - 8, 8, 25)));
}

// Lines that cannot show in the area being drawn are left out or cut: drawing strip by strip
// gives the picture drawn whole, for every line type, width and cap.
TEST_F(GroupDrawingTest, DrawingStripByStripGivesThePictureDrawnWhole)
{
    map.addChildren(root, 8, QStringLiteral("C"));
    map.layOut();
    const PLRect frame = map.groupFrame(root.get());
    std::vector<PLRect> strips;
    for (float y = frame.minY() - 10; y < frame.maxY() + 10; y += 16)
        strips.emplace_back(frame.minX() - 10, y, frame.width() + 20, 16);
    ASSERT_GT(strips.size(), 8u);
    for (int type = 0; type < 9; ++type) {
        for (const auto& child : root->branches()) {
            std::shared_ptr<IXStyleNode> style = map.style(child.get());
            style->setBranchLineType(type);
            style->setBranchLineWidth(type % 2 ? 1 : 4);
            style->setValue(IXStyleValue::integer(type % 3 == 0 ? 1 : 0), QStringLiteral("branch.connection.cap"));
        }
        map.layOut();
        render();
        const QImage whole = canvas;
        render(strips);
        // Curves are cut at each strip's edge, which moves their flattening by a hair.
        int worst = 0;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                worst = std::max(worst, std::abs(qAlpha(whole.pixel(x, y)) - qAlpha(canvas.pixel(x, y))));
        EXPECT_LE(worst, 16) << "line type " << type;
    }
}

// With crisp lines asked for, a thin stub to the button fills one row of pixels completely;
// without, antialiasing spreads it over two.
TEST_F(GroupDrawingTest, ThinStraightLinesAreCrispOnlyWhenTheContextAsks)
{
    const PLRect button = map.button(root.get());
    const PLPoint anchor = map.anchor(root.get());
    const PLPoint onStub(anchor.x + 2, anchor.y);
    struct Case {
        bool fix;
        int layoutMode;
        bool crisp;
    };
    for (Case c : {Case{true, 0, true}, Case{true, 2, true}, Case{false, 0, false}, Case{true, 5, false}}) {
        map.context->setFixAntialiasing(c.fix);
        map.controller.layoutMode = c.layoutMode;
        render();
        const int above = pixel(onStub).alpha();
        const int below = pixel(PLPoint(onStub.x, onStub.y - 1)).alpha();
        EXPECT_EQ(std::max(above, below) == 255 && std::min(above, below) == 0, c.crisp)
            << c.fix << " " << c.layoutMode << ": " << above << " " << below;
        EXPECT_GT(above + below, 200);
    }
    EXPECT_LT(button.minX(), onStub.x + 10);
}

}  // namespace

namespace {

// A right-side branch whose sub-branches reach beyond its box: the boundary hugs the box on
// the parent's side, fills the rest, and strokes dashed.
TEST_F(GroupDrawingTest, ABoundaryHugsTheBoxOnTheParentsSideAndFillsAroundTheSubbranches)
{
    map.addChildren(m1, 3, QStringLiteral("T"));
    std::shared_ptr<IXStyleNode> style = map.style(m1.get());
    style->setBoundaryShow(true);
    style->setBoundaryLineWidth(2);
    style->setBoundaryLineRoundness(0);
    style->setBoundaryLineDash(1);
    style->setBoundaryFillColor(PLColor::rgb(0, 0, 1));
    style->setBoundaryLineColor(PLColor::rgb(0, 1, 0));
    map.layOut();
    IXLayoutCell* boundary = map.group(m1.get())->boundaryCell();
    ASSERT_NE(boundary, nullptr);
    const PLRect g = boundary->convertRectToCell(boundary->bounds(), nullptr);
    const PLRect box = map.box(m1.get());

    const PLRect frame = map.groupFrame(root.get());
    origin = PLPoint(frame.minX() - 10, frame.minY() - 10);
    canvas = blank(int(frame.width()) + 20, int(frame.height()) + 20);
    {
        PLGraphicsContext graphics(canvas);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -origin.x, -origin.y));
        boundary->display(graphics);
    }
    // Filled beyond the box, empty in the parent-side corners the outline cuts off.
    EXPECT_TRUE(colorNear(pixel(PLPoint(g.maxX() - 8, g.midY())), QColor(0, 0, 255), 10));
    EXPECT_EQ(pixel(PLPoint(g.minX() + 3, g.maxY() - 3)).alpha(), 0);
    EXPECT_EQ(pixel(PLPoint(g.minX() + 3, g.minY() + 3)).alpha(), 0);
    EXPECT_TRUE(colorNear(pixel(PLPoint(box.midX(), box.midY())), QColor(0, 0, 255), 10));
    // Dashes of 2 on 2 along the far edge: both stroke and gaps occur.
    int stroked = 0;
    int gaps = 0;
    for (float y = g.minY() + 10; y < g.maxY() - 10; ++y) {
        const QColor c = pixel(PLPoint(g.maxX() - 0.5f, y));
        if (c.green() > 150 && c.blue() < 100) ++stroked;
        else ++gaps;
    }
    EXPECT_GT(stroked, 3);
    EXPECT_GT(gaps, 3);
}

}  // namespace
