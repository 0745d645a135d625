#include "IXDrawingTestSupport.h"
#include "IXMapBranchGroupTestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// Root R with main branches M1, M2, M3 (and, in the mind map, M4 and M5, so that both
// sides have some); M1 has the sub-branch S1.
struct DropMap : GroupMap {
    std::shared_ptr<IXBranchNode> r = addRoot(QStringLiteral("R"));
    std::vector<std::shared_ptr<IXBranchNode>> mains;
    std::shared_ptr<IXBranchNode> s1;

    explicit DropMap(const QString& layout, int count = 3)
    {
        mains = addChildren(r, count);
        s1 = addChild(mains[0], QStringLiteral("S1"));
        open(layout);
    }
    IXBranchNode* named(const QString& title) const
    {
        if (title == QLatin1String("R")) return r.get();
        if (title == QLatin1String("S1")) return s1.get();
        return mains[title.mid(1).toInt() - 1].get();
    }
    // Where a drop of the named branch at the point goes: "parent index", or "-".
    QString dropAt(const QString& dragged, PLPoint point)
    {
        int index = 99;
        IXBranchCell* parent = context->mouse().parentForBranchCell(group(named(dragged))->branchCell(), point, &index);
        return parent ? parent->node()->title() + QLatin1Char(' ') + QString::number(index) : QStringLiteral("-");
    }
};

// A point near a box: dx, dy from the box's centre, or from an edge when `beside` names one
// ('t' top, 'b' bottom, 'l' left, 'r' right).
struct Near {
    const char* box;
    char beside;
    float dx;
    float dy;
};

PLPoint pointNear(DropMap& map, const Near& n)
{
    const PLRect box = map.box(map.named(QString::fromLatin1(n.box)));
    PLPoint p(box.midX(), box.midY());
    switch (n.beside) {
    case 't': p.y = box.maxY(); break;
    case 'b': p.y = box.minY(); break;
    case 'l': p.x = box.minX(); break;
    case 'r': p.x = box.maxX(); break;
    default: break;
    }
    return p + PLPoint(n.dx, n.dy);
}

} // namespace

TEST(IXDropTargetTests, TheDropParentAndIndexFollowThePointerInEveryLayout)
{
    struct Case {
        const char* layout;
        const char* dragged;
        Near at;
        const char* drop;
    };
    const Case cases[] = {
        // On a box: into it, as the last child.
        {"leftright", "M3", {"M2", 0, 0, 0}, "M2 -1"},
        {"leftright", "S1", {"R", 0, 10, 3}, "R -1"},
        // Beside a box in the left-right layout: above it before, below it after.
        {"leftright", "S1", {"M3", 'b', -10, -60}, "R 3"},
        {"leftright", "S1", {"M1", 't', -10, 5}, "R 0"},
        {"leftright", "S1", {"M3", 'b', -10, -149}, "R 3"},
        {"leftright", "S1", {"M3", 'b', -10, -150}, "-"},
        // Right of the centre counts like below in the side layouts, not above.
        {"leftright", "S1", {"M3", 'b', 10, -1}, "R 3"},
        // A root has no parent to drop beside it in.
        {"leftright", "M2", {"R", 'l', -40, 0}, "-"},
        // Never into the dragged branch's own subtree, nor onto itself.
        {"leftright", "M1", {"S1", 0, 0, 0}, "-"},
        {"leftright", "M1", {"M1", 0, 0, 0}, "-"},
        {"leftright", "M1", {"S1", 'r', 30, 0}, "-"},
        // Top-down: right of the centre after, left before.
        {"topdown", "S1", {"M2", 'b', 10, -20}, "R 2"},
        {"topdown", "S1", {"M2", 'b', -10, -20}, "R 1"},
        {"topdown", "S1", {"M2", 'b', 0, -20}, "R 2"},
        {"topdown", "M3", {"M2", 0, 0, 0}, "M2 -1"},
        // Mind map: M1 and M2 to the right (top to bottom), M3 and M4 to the left (bottom to top).
        {"mindmap", "S1", {"M2", 'b', -10, -5}, "R 2"},
        {"mindmap", "S1", {"M2", 't', -10, 5}, "R 1"},
        {"mindmap", "S1", {"M3", 't', 10, 5}, "R 3"},
        {"mindmap", "S1", {"M3", 'b', -10, -5}, "R 2"},
        {"mindmap", "S1", {"M3", 'b', 10, -5}, "R 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + " " + c.dragged + " near " + c.at.box + " " + c.at.beside);
        DropMap map(QString::fromLatin1(c.layout), QLatin1String(c.layout) == QLatin1String("mindmap") ? 4 : 3);
        if (QLatin1String(c.layout) == QLatin1String("mindmap")) {
            ASSERT_EQ(map.group(map.mains[1].get())->layoutType(), 2);
            ASSERT_EQ(map.group(map.mains[2].get())->layoutType(), 3);
        }
        EXPECT_EQ(map.dropAt(QString::fromLatin1(c.dragged), pointNear(map, c.at)), QString::fromLatin1(c.drop));
    }
}

TEST(IXDropTargetTests, NearestBoxPrefersChildrenOnlyWhenStrictlyNearer)
{
    DropMap map(QStringLiteral("leftright"));
    IXMapBranchGroupCell* root = map.group(map.r.get());
    float distance = -1;
    int quadrant = -1;
    // Between M1's box and its sub-branch's: S1's group is nearer than M1's box.
    const PLRect m1 = map.box(map.mains[0].get());
    const PLRect s1 = map.box(map.s1.get());
    const PLPoint between((m1.maxX() + s1.minX()) / 2 + 1, s1.midY() + 1);
    EXPECT_EQ(root->nearestBranchCellAtPoint(between, &distance, &quadrant)->node(), map.s1.get());
    EXPECT_FLOAT_EQ(distance, s1.minX() - between.x);
    EXPECT_EQ(quadrant, 1); // left of S1's centre and above it
    // Inside the root's box the root wins, whatever its children's bounds.
    const PLRect r = map.box(map.r.get());
    EXPECT_EQ(root->nearestBranchCellAtPoint(PLPoint(r.midX() - 1, r.midY() - 1), &distance, &quadrant)->node(), map.r.get());
    EXPECT_EQ(distance, 0);
    EXPECT_EQ(quadrant, 2);
}

TEST(IXDropTargetTests, PlaceholderGhostsSitAtTheSlot)
{
    struct Case {
        const char* layout;
        float minLength;
        int type;
        int index;
        float barLength;
        bool vertical;
    };
    const Case cases[] = {
        {"leftright", 10, 1, 1, 20, false},
        {"leftright", 200, 1, -1, 200, false},
        {"topdown", 200, 1, 7, 50, true},
        {"topdown", 40, 1, 0, 20, true},
        {"mindmap", 60, 2, 0, 60, false},
        {"mindmap", 60, 3, 2, 60, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + " " + std::to_string(c.index));
        DropMap map(QString::fromLatin1(c.layout), 4);
        map.style(map.r.get())->setDocumentBranchMinLength(c.minLength);
        map.layOut();
        IXMapBranchGroupCell* root = map.group(map.r.get());
        root->setPlaceholderType(c.type, c.index);
        const auto g = root->placeholderGeometry();
        const PLPoint bar = g.barEnd - g.barStart;
        EXPECT_FLOAT_EQ(c.vertical ? -bar.y : std::abs(bar.x), c.barLength);
        EXPECT_FLOAT_EQ(c.vertical ? bar.x : bar.y, 0);
        // The bar points away from the parent.
        const PLPoint start = g.start;
        if (!c.vertical) EXPECT_GT(std::abs(g.barEnd.x - start.x), std::abs(g.barStart.x - start.x));
        else EXPECT_LT(g.barEnd.y, start.y);
    }

    // An index past the children gives the slot after the last, as -1 does.
    DropMap map(QStringLiteral("leftright"));
    IXMapBranchGroupCell* root = map.group(map.r.get());
    root->setPlaceholderType(1, -1);
    const auto last = root->placeholderGeometry();
    root->setPlaceholderType(1, 3);
    EXPECT_EQ(root->placeholderGeometry().anchor, last.anchor);
    root->setPlaceholderType(1, 12);
    EXPECT_EQ(root->placeholderGeometry().anchor, last.anchor);
    // Below the last child, on the children's side.
    const PLRect m3 = root->convertRectFromCell(map.box(map.mains[2].get()), nullptr);
    EXPECT_LT(last.anchor.y, m3.minY());
    root->setPlaceholderType(1, 0);
    const PLRect m1 = root->convertRectFromCell(map.box(map.mains[0].get()), nullptr);
    EXPECT_GT(root->placeholderGeometry().anchor.y, m1.maxY());
}

TEST(IXDropTargetTests, RendersTheGhostInTheHighlightColour)
{
    DropMap map(QStringLiteral("leftright"));
    IXMapBranchGroupCell* root = map.group(map.r.get());
    root->setPlaceholderType(1, 1);
    const PLRect canvas = map.context->visibleCellsBounds().insetBy(-80, -40).integral();
    QImage image(int(canvas.width()), int(canvas.height()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -canvas.minX(), -canvas.minY()));
        map.context->drawRect(graphics, canvas);
    }
    saveRender(image, QStringLiteral("drop-placeholder"));
    const auto g = root->placeholderGeometry();
    const PLPoint middle = root->convertPointToCell(
        PLPoint((g.barStart.x + g.barEnd.x) / 2, (g.barStart.y + g.barEnd.y) / 2), nullptr);
    const QColor highlight = PLColor::system(PLColor::System::AlternateSelectedControl).toQColor();
    EXPECT_EQ(pixelAt(image, int(middle.x - canvas.minX()), int(middle.y - canvas.minY())).rgb(), highlight.rgb());
    // 4 units off the bar's line is still inside its width of 10.
    EXPECT_EQ(pixelAt(image, int(middle.x - canvas.minX()), int(middle.y - canvas.minY() + 4)).rgb(), highlight.rgb());

    root->setPlaceholderType(0, -1);
    image.fill(Qt::white);
    {
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -canvas.minX(), -canvas.minY()));
        map.context->drawRect(graphics, canvas);
    }
    EXPECT_NE(pixelAt(image, int(middle.x - canvas.minX()), int(middle.y - canvas.minY())).rgb(), highlight.rgb());
}
