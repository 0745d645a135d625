#include "IXLayoutTestSupport.h"

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "MapLayout/IXLayoutGroupCell.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLRunLoopModeScope.h"
#include "TestSupport/ExpectAssertion.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<IXCommentNode> commentTitled(const QString& title)
{
    auto comment = std::make_shared<IXCommentNode>();
    comment->setTitle(title);
    return comment;
}

TEST(IXLayoutContextTests, CreationAndInvalidationNotifyViewAndControllerOnce)
{
    MapFixture map;
    map.addRoot(QStringLiteral("A"));
    TestView view;
    auto context = std::make_unique<IXLayoutContext>(&map.controller, map.layout(QStringLiteral("mindmap")), &view);
    EXPECT_EQ(view.notices, QStringList{QStringLiteral("didInit")});
    EXPECT_EQ(map.controller.notices, QStringList{QStringLiteral("didInit")});
    EXPECT_EQ(context->documentView(), &view);
    EXPECT_TRUE(context->reloads().isReloadPosted());
    EXPECT_EQ(map.factory.branchGroupsMade, 0);

    context->invalidate();
    context->invalidate();
    EXPECT_EQ(view.count(QStringLiteral("willInvalidate")), 1);
    EXPECT_EQ(map.controller.count(QStringLiteral("willInvalidate")), 1);
    EXPECT_EQ(context->controller(), nullptr);
    EXPECT_EQ(context->documentNode(), nullptr);
    EXPECT_EQ(context->view(), &view);
    // The queued reload went with it.
    endTurn();
    EXPECT_EQ(map.factory.branchGroupsMade, 0);
    EXPECT_EQ(view.count(QStringLiteral("didLayout")), 0);
}

TEST(IXLayoutContextTests, ProgrammingErrorsAreAssertedAndAForgottenInvalidateIsMended)
{
    MapFixture map;
    expectAssertion("controller", [&] { IXLayoutContext(nullptr, map.layout(QStringLiteral("mindmap"))); });
    IXLayoutContext noLayout(&map.controller, nullptr);
    expectAssertion("_layoutNode", [&] { noLayout.performLayout(); });
    noLayout.invalidate();

    QStringList logged;
    auto previous = PLLog::setSink([&](const QString& line) { logged << line; });
    {
        IXLayoutContext forgotten(&map.controller, map.layout(QStringLiteral("mindmap")));
    }
    PLLog::setSink(previous);
    EXPECT_EQ(logged, QStringList{QStringLiteral("Invalid parameter not satisfying: !_controller")});
    // It left the document's observers and the run loop: changes and turns reach nothing gone.
    map.addRoot(QStringLiteral("After"));
    endTurn();
}

TEST(IXLayoutContextTests, ManyChangesInOneTurnGiveOneReloadInEveryMode)
{
    for (PLRunLoopMode mode : {PLRunLoopMode::Default, PLRunLoopMode::EventTracking, PLRunLoopMode::ModalPanel}) {
        MapFixture map;
        auto root = map.addRoot(QStringLiteral("A"));
        ContextHolder context(map, QStringLiteral("mindmap"));
        context->addObserver(&map.controller);
        settle(context.context.get());
        ASSERT_EQ(map.controller.count(QStringLiteral("didLayout")), 1);
        map.controller.notices.clear();

        PLRunLoopModeScope scope(mode);
        for (int i = 0; i < 10; ++i) {
            map.document->addComment(commentTitled(QStringLiteral("C%1").arg(i)));
            root->setTitle(QStringLiteral("A%1").arg(i));
        }
        EXPECT_EQ(map.factory.floatingsMade, 0);
        settle(context.context.get());
        EXPECT_EQ(map.controller.count(QStringLiteral("didLayout")), 1) << int(mode);
        // One rebuild of the ten comments; the branches were not rebuilt.
        EXPECT_EQ(map.factory.floatingsMade, 10) << int(mode);
        EXPECT_EQ(map.factory.branchGroupsMade, 1) << int(mode);
    }
}

// A mind map with roots A (sub-branches A1, A2) and B, a picture placed by A1, an unplaced
// comment, a connection from A1 to B; A is selected.
struct MapWithEverything {
    MapFixture map;
    std::shared_ptr<IXBranchNode> a = map.addRoot(QStringLiteral("A"));
    std::shared_ptr<IXBranchNode> a1 = MapFixture::addChild(a, QStringLiteral("A1"));
    std::shared_ptr<IXBranchNode> a2 = MapFixture::addChild(a, QStringLiteral("A2"));
    std::shared_ptr<IXBranchNode> b = map.addRoot(QStringLiteral("B"));
    std::shared_ptr<IXPictureNode> picture = std::make_shared<IXPictureNode>();
    std::shared_ptr<IXCommentNode> comment = commentTitled(QStringLiteral("C"));
    std::shared_ptr<IXConnectionNode> connection;

    MapWithEverything()
    {
        picture->setTitle(QStringLiteral("P"));
        map.document->addPicture(picture);
        picture->setFloatingTargetNode(a1);
        map.document->addComment(comment);
        connection = a1->addConnection();
        connection->setTargetNode(b);
        map.factory.rootOrigins.insert(QStringLiteral("B"), PLPoint(400, 0));
        map.factory.floatingFrames.insert(QStringLiteral("P"), PLRect(-300, 200, 50, 50));
        map.factory.floatingFrames.insert(QStringLiteral("C"), PLRect(-300, -200, 80, 30));
    }
};

TEST(IXLayoutContextTests, AReloadRebuildsOnlyTheFlaggedLayers)
{
    struct Counts {
        int groups, floatings, connections, selections;
        bool operator==(const Counts&) const = default;
    };
    struct Case {
        const char* change;
        std::function<void(MapWithEverything&, IXLayoutContext*)> apply;
        Counts made;
    };
    const Case cases[] = {
        // Only the new root gets a group: the other roots keep theirs.
        {"new root", [](MapWithEverything& m, IXLayoutContext*) { m.map.addRoot(QStringLiteral("R")); }, {1, 2, 2, 1}},
        {"new comment",
         [](MapWithEverything& m, IXLayoutContext*) { m.map.document->addComment(commentTitled(QStringLiteral("D"))); },
         {0, 3, 2, 1}},
        {"new connection",
         [](MapWithEverything& m, IXLayoutContext*) { m.a2->addConnection()->setTargetNode(m.a1); },
         {0, 0, 3, 1}},
        {"retargeted connection",
         [](MapWithEverything& m, IXLayoutContext*) { m.connection->setTargetNode(m.a2); },
         {0, 0, 2, 1}},
        {"picture placed elsewhere",
         [](MapWithEverything& m, IXLayoutContext*) { m.picture->setFloatingTargetNode(m.b); },
         {0, 0, 2, 1}},
        {"comment placed",
         [](MapWithEverything& m, IXLayoutContext*) { m.comment->setFloatingTargetNode(m.a2); },
         {0, 0, 3, 1}},
        {"selection",
         [](MapWithEverything& m, IXLayoutContext* c) {
             c->setSelection(IXSelection(IXSelection::NodeList {m.a, m.b}));
         },
         {0, 0, 0, 2}},
        {"same selection object",
         [](MapWithEverything&, IXLayoutContext* c) { c->setSelection(IXSelection(c->selection())); },
         {0, 0, 0, 0}},
        {"title", [](MapWithEverything& m, IXLayoutContext*) { m.a1->setTitle(QStringLiteral("A1'")); }, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        MapWithEverything m;
        ContextHolder context(m.map, QStringLiteral("mindmap"));
        context->setSelection(IXSelection::selectionWithNode(m.a));
        settle(context.context.get());
        const TestCellFactory& f = m.map.factory;
        ASSERT_EQ((Counts{f.branchGroupsMade, f.floatingsMade, f.connectionsMade, f.selectionsMade}), (Counts{2, 2, 2, 1}));
        const Counts before{f.branchGroupsMade, f.floatingsMade, f.connectionsMade, f.selectionsMade};
        c.apply(m, context.context.get());
        settle(context.context.get());
        const Counts made{f.branchGroupsMade - before.groups, f.floatingsMade - before.floatings,
                          f.connectionsMade - before.connections, f.selectionsMade - before.selections};
        EXPECT_EQ(made, c.made) << c.change << ": " << made.groups << " " << made.floatings << " " << made.connections
                                << " " << made.selections;
    }
}

// A map without connections skips looking for them on a change of branches; branches that
// bring connections in or take them out still rebuild the connections.
TEST(IXLayoutContextTests, BranchesBringingConnectionsIntoAMapWithoutThemShowThem)
{
    MapFixture map;
    const auto a = map.addRoot(QStringLiteral("A"));
    const auto a1 = MapFixture::addChild(a, QStringLiteral("A1"));
    ContextHolder context(map, QStringLiteral("mindmap"));
    settle(context.context.get());
    ASSERT_TRUE(context->connectionLayer());
    EXPECT_TRUE(context->connectionLayer()->cells().empty());

    auto carrier = std::make_shared<IXBranchNode>();
    carrier->setTitle(QStringLiteral("C"));
    auto inner = std::make_shared<IXBranchNode>();
    inner->setTitle(QStringLiteral("C1"));
    carrier->insertBranch(inner, -1);
    const auto connection = inner->addConnection();
    connection->setTargetNode(a1);
    // Whole lists, as a paste of text sets them, and single inserts.
    a1->setBranches({carrier});
    settle(context.context.get());
    EXPECT_EQ(labelOf(context->cells().cellForNode(connection.get())), QStringLiteral("link C1"));
    a1->setBranches({});
    settle(context.context.get());
    EXPECT_EQ(context->cells().cellForNode(connection.get()), nullptr);
    EXPECT_TRUE(context->connectionLayer()->cells().empty());
    map.document->addRootBranch(carrier);
    settle(context.context.get());
    EXPECT_EQ(labelOf(context->cells().cellForNode(connection.get())), QStringLiteral("link C1"));
    map.document->removeRootBranch(carrier);
    settle(context.context.get());
    EXPECT_TRUE(context->connectionLayer()->cells().empty());
}

TEST(IXLayoutContextTests, ReloadsRegisterCellsByNode)
{
    MapWithEverything m;
    ContextHolder context(m.map, QStringLiteral("mindmap"));
    settle(context.context.get());
    EXPECT_EQ(labelOf(context->cells().cellForNode(m.a.get())), QStringLiteral("group A"));
    EXPECT_EQ(labelOf(context->cells().cellForNode(m.a1.get())), QStringLiteral("group A1"));
    EXPECT_EQ(labelOf(context->cells().branchCellForNode(m.b.get())), QStringLiteral("box B"));
    EXPECT_EQ(labelOf(context->cells().cellForNode(m.picture.get())), QStringLiteral("picture P"));
    EXPECT_EQ(labelOf(context->cells().cellForNode(m.comment.get())), QStringLiteral("text C"));
    EXPECT_EQ(labelOf(context->cells().cellForNode(m.connection.get())), QStringLiteral("link A1"));
    EXPECT_EQ(labelOf(context->cells().cellForNode(m.picture->connection().get())), QStringLiteral("link P"));
    // The unplaced comment has no connection; the document node no cell.
    EXPECT_FALSE(m.comment->connection());
    EXPECT_EQ(context->cells().cellForNode(m.map.document.get()), nullptr);
    EXPECT_EQ(context->cells().branchGroupCellForNode(m.picture.get()), nullptr);
    EXPECT_EQ(m.map.factory.connectionsMade, 2);

    // A rebuilt layer forgets the cells it dropped.
    m.map.document->removeComment(m.comment);
    settle(context.context.get());
    EXPECT_EQ(context->cells().cellForNode(m.comment.get()), nullptr);
}

TEST(IXLayoutContextTests, ChangingSubBranchesRebuildsTheGroupAtOnce)
{
    MapWithEverything m;
    ContextHolder context(m.map, QStringLiteral("mindmap"));
    settle(context.context.get());
    auto* group = dynamic_cast<TestBranchGroupCell*>(context->cells().branchGroupCellForNode(m.a.get()));
    ASSERT_TRUE(group);
    const int reloads = group->reloads;
    auto a3 = MapFixture::addChild(m.a, QStringLiteral("A3"));
    EXPECT_EQ(group->reloads, reloads + 1);
    EXPECT_EQ(labelOf(context->cells().cellForNode(a3.get())), QStringLiteral("group A3"));
    EXPECT_TRUE(context->reloads().isReloadPosted());
}

TEST(IXLayoutContextTests, DetachingTheFilterSelectedAndHighlightedBranchClearsAllThreeInOrder)
{
    MapWithEverything m;
    ContextHolder context(m.map, QStringLiteral("mindmap"));
    context->addObserver(&m.map.controller);
    context->setBranchFilter(m.a1);
    context->setSelection(IXSelection(IXSelection::NodeList{m.a1, m.b}));
    context->setHighlights(IXSelection::selectionWithNode(m.a1));
    m.map.controller.notices.clear();

    m.a->removeBranch(m.a1);
    EXPECT_EQ(m.map.controller.notices,
              (QStringList{QStringLiteral("willFilter A1"), QStringLiteral("didFilter -"),
                           QStringLiteral("willSelect A1,B"), QStringLiteral("didSelect doc"),
                           QStringLiteral("willHighlight A1"), QStringLiteral("didHighlight ()")}));
}

TEST(IXLayoutContextTests, DetachingTheLayoutNodeInvalidatesTheContext)
{
    MapFixture map;
    ContextHolder context(map, QStringLiteral("mindmap"));
    context->addObserver(&map.controller);
    map.layout(QStringLiteral("mindmap"))->detachFromDocumentNode();
    EXPECT_EQ(map.controller.count(QStringLiteral("willInvalidate")), 1);
    EXPECT_EQ(context->layoutNode(), nullptr);
}

TEST(IXLayoutContextTests, TheSameSelectionObjectSendsNothing)
{
    MapWithEverything m;
    ContextHolder context(m.map, QStringLiteral("mindmap"));
    context->addObserver(&m.map.controller);
    settle(context.context.get());
    const IXSelection selection = IXSelection::selectionWithNode(m.b);
    context->setSelection(selection);
    settle(context.context.get());
    m.map.controller.notices.clear();
    context->setSelection(selection);
    context->setHighlights(context->highlights());
    context->setBranchFilter(nullptr);
    EXPECT_TRUE(m.map.controller.notices.isEmpty());
    EXPECT_FALSE(context->reloads().isReloadPosted());
}

TEST(IXLayoutContextTests, DetailLevelsExpandAndCollapseByDepth)
{
    // R > (C1 > G1 > H1), C2, all collapsed at first; results as collapsed flags of R, C1,
    // G1, H1, C2. Branches below the collapsed generation keep their state.
    struct Case {
        const char* filter;
        int level;
        const char* collapsed;
    };
    const Case cases[] = {
        {nullptr, 0, "00000"},
        {nullptr, 1, "01111"},
        {nullptr, 2, "00110"},
        {"C1", 1, "10111"},
        {"C1", 0, "10001"},
    };
    for (const Case& c : cases) {
        MapFixture map;
        auto r = map.addRoot(QStringLiteral("R"));
        auto c1 = MapFixture::addChild(r, QStringLiteral("C1"));
        auto g1 = MapFixture::addChild(c1, QStringLiteral("G1"));
        auto h1 = MapFixture::addChild(g1, QStringLiteral("H1"));
        auto c2 = MapFixture::addChild(r, QStringLiteral("C2"));
        ContextHolder context(map, QStringLiteral("mindmap"));
        const QList<std::shared_ptr<IXBranchNode>> branches{r, c1, g1, h1, c2};
        for (const auto& branch : branches) branch->setCollapsed(true, false);
        if (c.filter) context->setBranchFilter(c1);
        context->setDetailLevel(c.level);
        QString collapsed;
        for (const auto& branch : branches) collapsed += branch->style()->branchCollapsed() ? u'1' : u'0';
        EXPECT_EQ(collapsed, QString::fromLatin1(c.collapsed)) << (c.filter ? c.filter : "all") << " level " << c.level;
    }
}

TEST(IXLayoutContextTests, LayoutNamesChooseTheRootGroupsLayoutType)
{
    struct Case {
        const char* layout;
        int orientation;
        int type;
    };
    for (const Case& c : {Case{"mindmap", 0, 1}, Case{"topdown", 0, 4}, Case{"leftright", 0, 2},
                          Case{"leftright", 1, 3}, Case{"custom", 0, 0}}) {
        MapFixture map;
        auto root = map.addRoot(QStringLiteral("A"));
        ContextHolder context(map, QString::fromLatin1(c.layout));
        settle(context.context.get());
        if (c.orientation) {
            // A key under "document.layout" rebuilds the roots.
            map.document->style()->setDocumentLayoutOrientation(c.orientation);
            EXPECT_TRUE(context->reloads().isReloadPosted());
            settle(context.context.get());
        }
        auto* group = dynamic_cast<TestBranchGroupCell*>(context->cells().branchGroupCellForNode(root.get()));
        ASSERT_TRUE(group) << c.layout;
        EXPECT_EQ(group->layoutType, c.type) << c.layout << " " << c.orientation;
    }
}

TEST(IXLayoutContextTests, TheOutlineLayoutNeverBuildsCells)
{
    MapWithEverything m;
    ContextHolder context(m.map, QStringLiteral("outline"));
    EXPECT_TRUE(context->needsLayout());
    settle(context.context.get());
    EXPECT_FALSE(context->needsLayout());
    EXPECT_EQ(context->branchLayer(), nullptr);
    EXPECT_EQ(m.map.factory.branchGroupsMade + m.map.factory.floatingsMade + m.map.factory.connectionsMade, 0);
}

TEST(IXLayoutContextTests, TheTimelineKeepsOneCellAndReloadsIt)
{
    MapWithEverything m;
    ContextHolder context(m.map, QStringLiteral("timeline"));
    settle(context.context.get());
    ASSERT_TRUE(context->isTimelineLayout());
    auto* timeline = dynamic_cast<TestTimelineCell*>(context->timelineCell());
    ASSERT_TRUE(timeline);
    m.map.document->setTimeScaleType(2);
    m.b->setTitle(QStringLiteral("B'"));
    settle(context.context.get());
    EXPECT_EQ(m.map.factory.timelinesMade, 1);
    EXPECT_EQ(timeline->reloads, 1);
    EXPECT_EQ(m.map.factory.branchGroupsMade, 0);
}

TEST(IXLayoutContextTests, StyleChangesInvalidateTheCellOfTheirNode)
{
    MapWithEverything m;
    ContextHolder context(m.map, QStringLiteral("mindmap"));
    settle(context.context.get());
    IXLayoutCell* group = context->cells().cellForNode(m.b.get());
    ASSERT_FALSE(group->needsLayout());
    m.b->style()->setBranchCollapsed(true);
    EXPECT_TRUE(group->needsLayout());
    EXPECT_TRUE(context->reloads().isLayoutPosted());
    EXPECT_FALSE(context->reloads().isReloadPosted());
    settle(context.context.get());
    EXPECT_FALSE(group->needsLayout());
}

}  // namespace
