// The map's own cells read their nodes' styles without making any, and every change along a
// style's look-up chain still reaches the cells that read it: after the change the map is
// laid out as a context opened afresh lays it out.
#include "IXLayoutTestSupport.h"
#include "IXTimelineTestSupport.h"

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>

namespace {

class InstalledMapFactory : public IXMapCellFactory {
public:
    InstalledMapFactory() { install(this); }
    ~InstalledMapFactory() override { install(nullptr); }
};

struct StyledMap : MapFixtureWith<InstalledMapFactory> {
    std::shared_ptr<IXBranchNode> root = addRoot(QStringLiteral("Project"));
    std::shared_ptr<IXBranchNode> plan = addChild(root, QStringLiteral("Plan"));
    std::shared_ptr<IXBranchNode> sketch = addChild(plan, QStringLiteral("Sketch"));
    std::shared_ptr<IXBranchNode> detail = addChild(sketch, QStringLiteral("Detail"));
    std::shared_ptr<IXBranchNode> build = addChild(root, QStringLiteral("Build"));

    StyledMap()
    {
        auto comment = std::make_shared<IXCommentNode>();
        comment->setTitle(QStringLiteral("Remember"));
        document->addComment(comment);
        plan->addConnection()->setTargetNode(build);
    }
    IXStyleSheetNode& sheet(const QString& layout) { return *document->layoutForName(layout)->styleSheet(); }
};

// A context of the map's layout, settled, and invalidated before it goes.
struct MapContext {
    std::unique_ptr<IXLayoutContext> context;
    MapContext(StyledMap& map, const QString& layout)
        : context(std::make_unique<IXLayoutContext>(&map.controller, map.layout(layout)))
    {
        settle(context.get());
    }
    ~MapContext() { context->invalidate(); }
    IXLayoutContext* operator->() const { return context.get(); }
};

// The frames of the branches' boxes in canvas space, in the order given.
QList<PLRect> boxes(IXLayoutContext& context, const std::vector<IXNode*>& nodes)
{
    context.performLayoutIfNeeded();
    QList<PLRect> frames;
    for (IXNode* node : nodes) {
        IXLayoutCell* cell = context.cells().branchCellForNode(node);
        frames << (cell ? cell->convertRectToCell(cell->bounds(), nullptr) : PLRect());
    }
    return frames;
}

std::optional<QFont> fontOfSize(float size)
{
    return QFont(QStringLiteral("Helvetica"), int(size));
}

TEST(IXLayoutStyleReadingTests, LayingOutAndDrawingMakeNoStyles)
{
    for (const QString& layout : {IXLayoutMindMapName, QStringLiteral("topdown"), QStringLiteral("leftright")}) {
        SCOPED_TRACE(layout.toStdString());
        StyledMap map;
        const qsizetype documentStyles = map.document->styleSheet()->nodeStyles().size();
        MapContext context(map, layout);
        context->performLayout();
        QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
        {
            PLGraphicsContext graphics(image, true);
            context->drawRect(graphics, context->cellsBounds());
        }
        EXPECT_FALSE(context->cellsBounds().isEmpty());
        // Only what the layout stores: the mind map gives each main branch its side.
        QStringList stored;
        for (const auto& style : map.sheet(layout).nodeStyles()) {
            stored << map.document->nodeForId(style->refId())->title() + QLatin1Char(' ') + style->attributes().keys().join(u',');
        }
        stored.sort();
        EXPECT_EQ(stored, layout == IXLayoutMindMapName ? QStringList({"Build branch.layout.type", "Plan branch.layout.type"})
                                                        : QStringList());
        EXPECT_EQ(map.document->styleSheet()->nodeStyles().size(), documentStyles);
    }
}

TEST(IXLayoutStyleReadingTests, DrawingTheTimelineMakesNoStyles)
{
    TimelineFixture f(1);
    f.factory.realBoxes = true;
    f.add(QStringLiteral("a"), UTDateTime::fromDays(1), UTDateTime::fromDays(5));
    f.add(QStringLiteral("b"), UTDateTime::fromDays(30));
    const qsizetype documentStyles = f.document->styleSheet()->nodeStyles().size();
    f.render();
    EXPECT_EQ(f.document->styleSheet()->nodeStyles().size(), documentStyles);
    EXPECT_TRUE(f.document->layoutForName(QStringLiteral("timeline"))->styleSheet()->nodeStyles().isEmpty());
}

TEST(IXLayoutStyleReadingTests, ChangesAfterReadingReachTheCells)
{
    struct Case {
        const char* label;
        std::function<void(StyledMap&, IXLayoutContext&)> change;
    };
    const Case cases[] = {
        {"master of the sub-branches",
         [](StyledMap& map, IXLayoutContext&) {
             map.sheet(IXLayoutMindMapName).styleForMaster(IXStyleTypeSubBranch)->setBranchTextFont(fontOfSize(40));
         }},
        {"template applied to the layout's sheet",
         [](StyledMap& map, IXLayoutContext&) {
             IXStyleSheetNode other;
             other.styleForMaster(IXStyleTypeCanvas)->setBranchTextFont(fontOfSize(30));
             map.sheet(IXLayoutMindMapName).applyMasterStyle(other);
         }},
        {"document node's style in the layout",
         [](StyledMap& map, IXLayoutContext& context) {
             context.styleForNode(map.document.get())->setDocumentGapHorizontal(120);
         }},
        {"branch's own style in the layout",
         [](StyledMap& map, IXLayoutContext& context) {
             context.styleForNode(map.sketch.get())->setBranchTextFont(fontOfSize(40));
         }},
        {"branch's style in the document sheet",
         [](StyledMap& map, IXLayoutContext&) { map.sketch->style()->setBranchTextFont(fontOfSize(40)); }},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.label);
        StyledMap map;
        const std::vector<IXNode*> nodes{map.root.get(), map.plan.get(), map.sketch.get(), map.detail.get(),
                                         map.build.get()};
        MapContext context(map, IXLayoutMindMapName);
        const QList<PLRect> before = boxes(*context.context, nodes);

        row.change(map, *context.context);
        settle(context.context.get());
        const QList<PLRect> after = boxes(*context.context, nodes);
        MapContext fresh(map, IXLayoutMindMapName);
        EXPECT_NE(after, before);
        EXPECT_EQ(after, boxes(*fresh.context, nodes));
    }
}

}  // namespace
