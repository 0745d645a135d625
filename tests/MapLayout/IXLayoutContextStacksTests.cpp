#include "IXLayoutTestSupport.h"
#include "IXStackLookUps.h"

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "Platform/System/PLScreen.h"
#include "TestSupport/ExpectAssertion.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// Roots A (sub-branches A1, A2) and B; a picture P placed by A1 with its connection; an
// unplaced comment C; a connection from A1 to B; A1 selected; A draws a boundary.
struct StackedMap {
    MapFixture map;
    std::shared_ptr<IXBranchNode> a = map.addRoot(QStringLiteral("A"));
    std::shared_ptr<IXBranchNode> a1 = MapFixture::addChild(a, QStringLiteral("A1"));
    std::shared_ptr<IXBranchNode> a2 = MapFixture::addChild(a, QStringLiteral("A2"));
    std::shared_ptr<IXBranchNode> b = map.addRoot(QStringLiteral("B"));
    std::shared_ptr<IXPictureNode> picture = std::make_shared<IXPictureNode>();
    std::shared_ptr<IXCommentNode> comment = std::make_shared<IXCommentNode>();
    TestView view;
    std::optional<ContextHolder> context;

    explicit StackedMap(bool withView = false, const QString& layout = QStringLiteral("mindmap"))
    {
        picture->setTitle(QStringLiteral("P"));
        comment->setTitle(QStringLiteral("C"));
        map.document->addPicture(picture);
        picture->setFloatingTargetNode(a1);
        map.document->addComment(comment);
        a1->addConnection()->setTargetNode(b);
        map.factory.rootOrigins.insert(QStringLiteral("B"), PLPoint(400, 0));
        map.factory.floatingFrames.insert(QStringLiteral("P"), PLRect(-300, 200, 50, 50));
        map.factory.floatingFrames.insert(QStringLiteral("C"), PLRect(-300, -200, 80, 30));
        context.emplace(map, layout, withView ? &view : nullptr);
        view.context = ctx();
        ctx()->setSelection(IXSelection::selectionWithNode(a1));
        boundaryTitles().insert(QStringLiteral("A"));
        settle(ctx());
    }
    IXLayoutContext* ctx() const { return context->context.get(); }
    void showConnections(bool show) { map.document->style()->setDocumentShowsBranchConnections(show); }
    // The centre of a cell's bounds in view space.
    PLPoint centreOf(IXLayoutCell* cell)
    {
        const PLRect r = cell->bounds();
        return ctx()->coordinates().convertPointFromCell(PLPoint(r.midX(), r.midY()), cell);
    }
};

const QStringList groups{QStringLiteral("group A"), QStringLiteral("group A1"), QStringLiteral("group A2"),
                         QStringLiteral("group B")};
const QStringList boxes{QStringLiteral("box A"), QStringLiteral("box A1"), QStringLiteral("box A2"),
                        QStringLiteral("box B")};

TEST(IXLayoutContextStacksTests, TheMaskDecidesWhatIsDrawnAndHit)
{
    struct Case {
        const char* name;
        std::int32_t mask;
        bool showConnections;
        QStringList draw;
        QStringList hit;
    };
    const QStringList floatings{QStringLiteral("picture P"), QStringLiteral("link P"), QStringLiteral("text C")};
    const Case cases[] = {
        {"default, connections hidden", IXDrawMaskDefault, false,
         QStringList{QStringLiteral("boundary A")} + floatings + groups + boxes + QStringList{QStringLiteral("sel A1")},
         floatings + groups + boxes + QStringList{QStringLiteral("sel A1")}},
        {"default, connections shown", IXDrawMaskDefault, true,
         QStringList{QStringLiteral("boundary A"), QStringLiteral("link A1")} + floatings + groups + boxes
             + QStringList{QStringLiteral("sel A1")},
         QStringList{QStringLiteral("link A1")} + floatings + groups + boxes + QStringList{QStringLiteral("sel A1")}},
        {"no background", 0x7ffffffe, true,
         QStringList{QStringLiteral("boundary A"), QStringLiteral("link A1")} + floatings + groups + boxes
             + QStringList{QStringLiteral("sel A1")},
         QStringList{QStringLiteral("link A1")} + floatings + groups + boxes + QStringList{QStringLiteral("sel A1")}},
        {"all but the selection, connections hidden", 0x7fffffdf, false,
         QStringList{QStringLiteral("boundary A"), QStringLiteral("link A1")} + floatings + groups + boxes,
         QStringList{QStringLiteral("link A1")} + floatings + groups + boxes},
        {"background only", 1, true, QStringList{QStringLiteral("boundary A")} + groups + boxes, groups + boxes},
    };
    for (const Case& c : cases) {
        StackedMap m;
        m.showConnections(c.showConnections);
        m.ctx()->setDrawMask(c.mask);
        settle(m.ctx());
        EXPECT_EQ(labelsOf(m.ctx()->drawStack()), c.draw) << c.name;
        EXPECT_EQ(labelsOf(m.ctx()->hitStack()), c.hit) << c.name;
        EXPECT_EQ(lookUpsDifferingFromTheStacks(m.ctx()), QStringList()) << c.name;
    }
}

TEST(IXLayoutContextStacksTests, CollapsedBranchesAndTheFilterHideWhatHangsOnThem)
{
    struct Case {
        const char* name;
        std::function<void(StackedMap&)> apply;
        QStringList draw;
    };
    const Case cases[] = {
        // A1 goes with A's collapse, and with it the picture it places and the connection it owns.
        {"A collapsed", [](StackedMap& m) { m.a->style()->setBranchCollapsed(true); },
         {QStringLiteral("boundary A"), QStringLiteral("text C"), QStringLiteral("group A"), QStringLiteral("group B"),
          QStringLiteral("box A"), QStringLiteral("box B"), QStringLiteral("sel A1")}},
        // The connection's target B and the unplaced comment are outside the filter.
        {"filter A", [](StackedMap& m) { m.ctx()->setBranchFilter(m.a); },
         {QStringLiteral("boundary A"), QStringLiteral("picture P"), QStringLiteral("link P"), QStringLiteral("group A"),
          QStringLiteral("group A1"), QStringLiteral("group A2"), QStringLiteral("box A"), QStringLiteral("box A1"),
          QStringLiteral("box A2"), QStringLiteral("sel A1")}},
        {"filter A2", [](StackedMap& m) { m.ctx()->setBranchFilter(m.a2); },
         {QStringLiteral("group A2"), QStringLiteral("box A2"), QStringLiteral("sel A1")}},
    };
    for (const Case& c : cases) {
        StackedMap m;
        m.showConnections(true);
        settle(m.ctx());
        // Looked up before the change too, so that kept extents meet it.
        EXPECT_EQ(lookUpsDifferingFromTheStacks(m.ctx()), QStringList()) << c.name;
        c.apply(m);
        settle(m.ctx());
        EXPECT_EQ(labelsOf(m.ctx()->drawStack()), c.draw) << c.name;
        EXPECT_EQ(lookUpsDifferingFromTheStacks(m.ctx()), QStringList()) << c.name;
    }
}

TEST(IXLayoutContextStacksTests, TheTimelineStacksItsRulersBandsAndBranches)
{
    StackedMap m(false, QStringLiteral("timeline"));
    auto* timeline = dynamic_cast<TestTimelineCell*>(m.ctx()->timelineCell());
    ASSERT_TRUE(timeline);
    auto ruler = std::make_shared<TestCell>(m.ctx(), timeline, nullptr, PLRect(0, -32, 100, 32));
    auto band = std::make_shared<TestCell>(m.ctx(), timeline, m.a.get(), PLRect(0, -60, 100, 10));
    auto dated = std::make_shared<TestBranchGroupCell>(m.ctx(), timeline, m.b.get());
    dated->reloadBranches();
    timeline->rulers = {ruler};
    timeline->bands = {band};
    timeline->groups = {dated};
    m.ctx()->invalidateDrawStack();
    EXPECT_EQ(labelsOf(m.ctx()->drawStack()),
              (QStringList{QStringLiteral("boundary -"), QStringLiteral("timeline"), QStringLiteral("text C"),
                           QStringLiteral("group B"), QStringLiteral("boundary A"), QStringLiteral("box B"),
                           QStringLiteral("sel A1")}));
    // The band (a cell over A) is hit; the picture placed by A1, which has no cell here, is gone.
    EXPECT_EQ(labelsOf(m.ctx()->hitStack()),
              (QStringList{QStringLiteral("text C"), QStringLiteral("group B"), QStringLiteral("boundary A"),
                           QStringLiteral("box B"), QStringLiteral("sel A1")}));
}

TEST(IXLayoutContextStacksTests, ViewCanvasAndCellSpacesRoundTrip)
{
    StackedMap m(true);
    m.view.scroll = PLPoint(30, -40);
    m.view.zoom = 2.5f;
    m.ctx()->coordinates().invalidateTransform();
    EXPECT_EQ(m.ctx()->coordinates().convertPointFromCell(PLPoint(10, 10), nullptr), PLPoint(55, -15));
    EXPECT_EQ(m.ctx()->coordinates().convertSizeToCell(PLSize(5, 5), nullptr), PLSize(2, 2));
    IXLayoutCell* cells[] = {nullptr, m.ctx()->cells().cellForNode(m.a.get()), m.ctx()->cells().branchCellForNode(m.a1.get()),
                             m.ctx()->cells().cellForNode(m.picture.get())};
    const PLPoint points[] = {{0, 0}, {12.5f, -7.25f}, {640, 480}, {-1000, 333.3f}};
    for (IXLayoutCell* cell : cells) {
        for (PLPoint p : points) {
            const PLPoint back = m.ctx()->coordinates().convertPointFromCell(m.ctx()->coordinates().convertPointToCell(p, cell), cell);
            EXPECT_NEAR(back.x, p.x, 1e-3) << labelOf(cell).toStdString();
            EXPECT_NEAR(back.y, p.y, 1e-3) << labelOf(cell).toStdString();
        }
        const PLRect r(3, 4, 50, 60);
        const PLRect back = m.ctx()->coordinates().convertRectFromCell(m.ctx()->coordinates().convertRectToCell(r, cell), cell);
        EXPECT_NEAR(back.minX(), r.minX(), 1e-3);
        EXPECT_NEAR(back.width(), r.width(), 1e-3);
    }
    // A cell's pixel is the zoom's inverse, so hairlines stay one pixel wide.
    EXPECT_EQ(m.ctx()->cells().branchCellForNode(m.a1.get())->currentPixelSize(), PLSize(0.4f, 0.4f));
}

TEST(IXLayoutContextStacksTests, TheCanvasGrowsAndShrinksPastItsMargins)
{
    PLScreen::setMainScreenSize(PLSize(1000, 800));
    MapFixture map;
    auto a = map.addRoot(QStringLiteral("A"));
    ContextHolder context(map, QStringLiteral("mindmap"));
    map.document->removeRootBranch(a);
    settle(context.context.get());
    // Empty map: 0.8 of the screen plus 400, centred on the origin.
    EXPECT_EQ(context->cellsBounds(), PLRect());
    EXPECT_EQ(context->canvasBounds(), PLRect(-600, -520, 1200, 1040));

    // Content width w needs 800 + w: growth takes the need plus 400; shrinking waits until
    // more than 1600 are spare and then leaves 1200.
    struct Step {
        float rightRootX;  // two roots, 110 wide each: content width rightRootX + 110
        float width;
    };
    map.addRoot(QStringLiteral("L"));
    map.addRoot(QStringLiteral("R"));
    for (const Step& step : {Step{290, 1200}, Step{390, 1700}, Step{90, 1700}, Step{1890, 3200}, Step{90, 2200}}) {
        map.factory.rootOrigins.insert(QStringLiteral("R"), PLPoint(step.rightRootX, 0));
        context->reloads().postReloadBranches();
        settle(context.context.get());
        const PLRect content = context->cellsBounds();
        ASSERT_EQ(content.width(), step.rightRootX + 110);
        const PLRect canvas = context->canvasBounds();
        EXPECT_EQ(canvas.width(), step.width) << step.rightRootX;
        EXPECT_EQ(canvas.minX(), std::floor(content.minX() - std::ceil((step.width - content.width()) / 2)));
        EXPECT_EQ(canvas.height(), 1040);
    }
    // While autosizing is off the canvas stays; switching it on again sizes it.
    context->disableCanvasAutosize();
    map.factory.rootOrigins.insert(QStringLiteral("R"), PLPoint(5000, 0));
    context->reloads().postReloadBranches();
    settle(context.context.get());
    EXPECT_EQ(context->canvasBounds().width(), 2200);
    context->enableCanvasAutosize();
    EXPECT_EQ(context->canvasBounds().width(), 800 + 5110 + 400);
    PLScreen::setMainScreenSize(std::nullopt);
}

TEST(IXLayoutContextStacksTests, APressIsOfferedFromTheTopDownUntilACellTakesIt)
{
    StackedMap m(true);
    IXLayoutCell* box = m.ctx()->cells().branchCellForNode(m.a1.get());
    const PLPoint onA1 = m.centreOf(box);
    cellEvents().clear();
    EXPECT_FALSE(m.ctx()->mouse().trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, onA1)));
    EXPECT_EQ(cellEvents(), (QStringList{QStringLiteral("track sel A1"), QStringLiteral("track box A1"),
                                         QStringLiteral("track group A1"), QStringLiteral("track group A")}));

    static_cast<TestBranchCell*>(box)->takesMouse = true;
    cellEvents().clear();
    EXPECT_TRUE(m.ctx()->mouse().trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, onA1, 2, PLMouseEvent::Shift)));
    EXPECT_EQ(cellEvents(), (QStringList{QStringLiteral("track sel A1"), QStringLiteral("track box A1")}));

    cellEvents().clear();
    EXPECT_FALSE(m.ctx()->mouse().trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, PLPoint(-2000, -2000))));
    EXPECT_TRUE(cellEvents().isEmpty());

    ContextHolder offscreen(m.map, QStringLiteral("mindmap"));
    expectAssertion("_view", [&] { offscreen->mouse().trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, onA1)); });
}

TEST(IXLayoutContextStacksTests, MovesGoExitedEnteredMovedAndForgetInvalidatedCells)
{
    StackedMap m(true);
    const PLPoint onA1 = m.centreOf(m.ctx()->cells().branchCellForNode(m.a1.get()));
    const PLPoint onB = m.centreOf(m.ctx()->cells().branchCellForNode(m.b.get()));
    cellEvents().clear();
    EXPECT_TRUE(m.ctx()->mouse().trackMouse(PLMouseEvent(PLMouseEvent::MouseMoved, onA1)));
    m.ctx()->mouse().mouseMoved(PLMouseEvent(PLMouseEvent::MouseMoved, onA1));
    m.ctx()->mouse().mouseMoved(PLMouseEvent(PLMouseEvent::MouseMoved, onB));
    m.ctx()->mouse().mouseMoved(PLMouseEvent(PLMouseEvent::MouseMoved, PLPoint(-2000, -2000)));
    EXPECT_EQ(cellEvents(), (QStringList{QStringLiteral("enter box A1"), QStringLiteral("moved box A1"),
                                         QStringLiteral("moved box A1"), QStringLiteral("exit box A1"),
                                         QStringLiteral("enter box B"), QStringLiteral("moved box B"),
                                         QStringLiteral("exit box B")}));
    EXPECT_EQ(m.ctx()->mouse().cellUnderMouse(), nullptr);

    m.ctx()->mouse().mouseMoved(PLMouseEvent(PLMouseEvent::MouseMoved, onB));
    ASSERT_EQ(labelOf(m.ctx()->mouse().cellUnderMouse()), QStringLiteral("box B"));
    m.map.document->removeRootBranch(m.b);
    settle(m.ctx());
    EXPECT_EQ(m.ctx()->mouse().cellUnderMouse(), nullptr);
}

TEST(IXLayoutContextStacksTests, PointQueriesLookThroughSelectionOutlines)
{
    StackedMap m(true);
    m.view.zoom = 2;
    m.view.scroll = PLPoint(100, 50);
    m.ctx()->coordinates().invalidateTransform();
    auto* boxA1 = m.ctx()->cells().branchCellForNode(m.a1.get());
    const PLPoint onA1 = m.centreOf(boxA1);
    const PLPoint onC = m.centreOf(m.ctx()->cells().cellForNode(m.comment.get()));
    const PLPoint nowhere(-5000, 5000);

    EXPECT_EQ(m.ctx()->mouse().nodeAtPoint(onA1), m.a1.get());
    EXPECT_EQ(m.ctx()->mouse().branchNodeAtPoint(onA1), m.a1.get());
    EXPECT_EQ(m.ctx()->mouse().branchCellAtPoint(onA1), boxA1);
    EXPECT_EQ(m.ctx()->mouse().branchCellAtPoint(onA1, {boxA1}), nullptr);
    EXPECT_EQ(m.ctx()->mouse().textCellAtPoint(onA1), boxA1->titleCell());

    EXPECT_EQ(m.ctx()->mouse().nodeAtPoint(onC), m.comment.get());
    EXPECT_EQ(m.ctx()->mouse().branchNodeAtPoint(onC), nullptr);
    EXPECT_EQ(m.ctx()->mouse().textCellAtPoint(onC), m.ctx()->cells().cellForNode(m.comment.get()));

    EXPECT_EQ(m.ctx()->mouse().nodeAtPoint(nowhere), nullptr);
    EXPECT_EQ(m.ctx()->mouse().textCellAtPoint(nowhere), nullptr);
}

TEST(IXLayoutContextStacksTests, TheNearestRootGroupFindsTheDropParent)
{
    StackedMap m(true);
    int index = 7;
    auto* dragged = m.ctx()->cells().branchCellForNode(m.a2.get());
    cellEvents().clear();
    EXPECT_EQ(m.ctx()->mouse().parentForBranchCell(dragged, m.centreOf(m.ctx()->cells().branchCellForNode(m.b.get())), &index),
              m.ctx()->cells().branchCellForNode(m.b.get()));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(m.ctx()->mouse().parentForBranchCell(dragged, PLPoint(5000, 10), &index), m.ctx()->cells().branchCellForNode(m.b.get()));
    EXPECT_EQ(m.ctx()->mouse().parentForBranchCell(dragged, PLPoint(-5000, 10), &index), m.ctx()->cells().branchCellForNode(m.a.get()));
    EXPECT_EQ(cellEvents(), (QStringList{QStringLiteral("parentFor B"), QStringLiteral("parentFor B"),
                                         QStringLiteral("parentFor A")}));

    MapFixture empty;
    ContextHolder context(empty, QStringLiteral("mindmap"));
    settle(context.context.get());
    index = 7;
    EXPECT_EQ(context->mouse().parentForBranchCell(nullptr, PLPoint(), &index), nullptr);
    EXPECT_EQ(index, 7);
}

TEST(IXLayoutContextStacksTests, DrawingVisitsOnlyCellsMeetingTheRectangleInStackOrder)
{
    StackedMap m;
    const PLRect canvas = m.ctx()->visibleCellsBounds();
    QImage image(int(canvas.width()), int(canvas.height()), QImage::Format_ARGB32_Premultiplied);
    struct Case {
        const char* name;
        std::int32_t mask;
        PLRect rect;
        QStringList drawn;
        bool background;
    };
    // Group A's union is larger than its box; B and the floatings lie elsewhere.
    const PLRect boxA = m.ctx()->coordinates().convertRectFromCell(m.ctx()->cells().branchCellForNode(m.a.get())->bounds(),
                                                     m.ctx()->cells().branchCellForNode(m.a.get()));
    const PLRect aroundC = m.ctx()->coordinates().convertRectFromCell(PLRect(10, 10, 5, 5), m.ctx()->cells().cellForNode(m.comment.get()));
    const Case cases[] = {
        {"box A", IXDrawMaskDefault, boxA.insetBy(10, 5),
         {QStringLiteral("draw boundary A"), QStringLiteral("draw group A"), QStringLiteral("draw box A")}, true},
        {"inside C", 0x7ffffffe, aroundC, {QStringLiteral("draw text C")}, false},
        {"nothing", IXDrawMaskDefault, PLRect(5000, 5000, 10, 10), {}, true},
    };
    for (const Case& c : cases) {
        m.ctx()->setDrawMask(c.mask);
        settle(m.ctx());
        image.fill(Qt::transparent);
        {
            PLGraphicsContext graphics(image);
            graphics.concat(PLAffineTransform(1, 0, 0, 1, -canvas.minX(), -canvas.minY()));
            cellEvents().clear();
            m.ctx()->drawRect(graphics, c.rect);
        }
        EXPECT_EQ(cellEvents(), c.drawn) << c.name;
        const QPoint inRect(int(c.rect.midX() - canvas.minX()), int(canvas.maxY() - c.rect.midY()));
        if (image.rect().contains(inRect))
            EXPECT_EQ(qAlpha(image.pixel(inRect)) == 255, c.background) << c.name;
    }
}

// The selection outlines are restacked on their own, and the cells below only when cells come
// or go: after any change, drawing and hitting must match stacks built afresh.
TEST(IXLayoutContextStacksTests, AfterAChangeCellsAreDrawnAndHitAsFromFreshStacks)
{
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    auto drawn = [&](StackedMap& m) {
        cellEvents().clear();
        PLGraphicsContext graphics(image);
        m.ctx()->drawRect(graphics, m.ctx()->canvasBounds());
        return cellEvents();
    };
    auto pressed = [](StackedMap& m, IXNode* node) {
        cellEvents().clear();
        if (IXLayoutCell* box = m.ctx()->cells().branchCellForNode(node))
            m.ctx()->mouse().trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, m.centreOf(box)));
        return cellEvents();
    };
    // Moves the outline over B's box, as a drag on its knobs does: only the outline moves.
    auto moveOutlineToB = [](StackedMap& m) {
        auto* outline = dynamic_cast<TestCell*>(m.ctx()->selectionLayer()->cells().front().get());
        IXLayoutCell* boxB = m.ctx()->cells().branchCellForNode(m.b.get());
        outline->m_initialFrame = boxB->convertRectToCell(boxB->bounds(), nullptr).insetBy(-8, -8);
        outline->setFrame(outline->m_initialFrame);
    };
    struct Case {
        const char* name;
        std::function<void(StackedMap&)> apply;
        QStringList outlines;
    };
    const Case cases[] = {
        {"A2 and B selected",
         [](StackedMap& m) { m.ctx()->setSelection(IXSelection::selectionWithArray({m.a2, m.b})); },
         {QStringLiteral("sel A2"), QStringLiteral("sel B")}},
        {"the document selected",
         [](StackedMap& m) { m.ctx()->setSelection(IXSelection::selectionWithNode(m.map.document)); }, {}},
        {"the picture selected",
         [](StackedMap& m) { m.ctx()->setSelection(IXSelection::selectionWithNode(m.picture)); },
         {QStringLiteral("sel P")}},
        {"a branch added under the selected one",
         [](StackedMap& m) { MapFixture::addChild(m.a1, QStringLiteral("A11")); }, {QStringLiteral("sel A1")}},
        {"B removed", [](StackedMap& m) { m.map.document->removeRootBranch(m.b); }, {QStringLiteral("sel A1")}},
        {"connections shown", [](StackedMap& m) { m.showConnections(true); }, {QStringLiteral("sel A1")}},
        {"A collapsed", [](StackedMap& m) { m.a->style()->setBranchCollapsed(true); }, {QStringLiteral("sel A1")}},
        {"the outline moved", moveOutlineToB, {QStringLiteral("sel A1")}},
    };
    for (const Case& c : cases) {
        StackedMap m(true);
        // Stacks and their indexes in use before the change.
        drawn(m);
        pressed(m, m.b.get());
        c.apply(m);
        settle(m.ctx());
        const QStringList draw = labelsOf(m.ctx()->drawStack());
        const QStringList hit = labelsOf(m.ctx()->hitStack());
        const QStringList pictured = drawn(m);
        const QStringList onA1 = pressed(m, m.a1.get());
        const QStringList onB = pressed(m, m.b.get());
        EXPECT_EQ(draw.filter(QStringLiteral("sel ")), c.outlines) << c.name;
        EXPECT_EQ(pictured.filter(QStringLiteral("sel ")),
                  QStringList(c.outlines).replaceInStrings(QStringLiteral("sel"), QStringLiteral("draw sel")))
            << c.name;

        m.ctx()->invalidateDrawStack();
        EXPECT_EQ(labelsOf(m.ctx()->drawStack()), draw) << c.name;
        EXPECT_EQ(labelsOf(m.ctx()->hitStack()), hit) << c.name;
        EXPECT_EQ(drawn(m), pictured) << c.name;
        EXPECT_EQ(pressed(m, m.a1.get()), onA1) << c.name;
        EXPECT_EQ(pressed(m, m.b.get()), onB) << c.name;
    }
}

TEST(IXLayoutContextStacksTests, DisplayDrawsWhatTheViewNeedsOverTheWholeCanvasBackground)
{
    StackedMap m(true);
    m.view.visible = m.ctx()->coordinates().convertRectFromCell(m.ctx()->cells().branchCellForNode(m.b.get())->bounds(),
                                                  m.ctx()->cells().branchCellForNode(m.b.get()));
    QImage image(2400, 1800, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    cellEvents().clear();
    {
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, 1200, 900));
        m.ctx()->display(graphics);
    }
    EXPECT_EQ(cellEvents(), (QStringList{QStringLiteral("draw group B"), QStringLiteral("draw box B")}));
    // The background covers the canvas, not only what was drawn, and nothing beyond it.
    const PLRect canvas = m.ctx()->canvasBounds();
    ASSERT_LT(canvas.width(), 2400);
    EXPECT_EQ(qAlpha(image.pixel(int(1200 + canvas.minX() + 1), int(900 - canvas.minY() - 1))), 255);
    EXPECT_EQ(qAlpha(image.pixel(int(1200 + canvas.minX() - 1), int(900 - canvas.minY() - 1))), 0);
    ContextHolder offscreen(m.map, QStringLiteral("mindmap"));
    expectAssertion("_view", [&] {
        PLGraphicsContext graphics(image);
        offscreen->display(graphics);
    });
}

}  // namespace

namespace {

TEST(IXLayoutContextStacksTests, CellsAskTheViewToRedrawThemOnlyWhereItShowsThem)
{
    StackedMap m(true);
    m.view.scroll = PLPoint(10, 10);
    m.ctx()->coordinates().invalidateTransform();
    IXLayoutCell* boxB = m.ctx()->cells().branchCellForNode(m.b.get());
    IXLayoutCell* text = m.ctx()->cells().cellForNode(m.comment.get());
    const PLRect bInView = m.ctx()->coordinates().convertRectFromCell(boxB->bounds(), boxB);
    m.view.visible = bInView.insetBy(-50, -50);
    m.view.redisplayedRects.clear();
    boxB->setNeedsDisplay();
    text->setNeedsDisplay();  // outside the visible part
    EXPECT_EQ(m.view.redisplayedRects, QList<PLRect>{bInView});

    // Nothing while the cell's layout or transforms are stale.
    boxB->invalidateLayout();
    boxB->setNeedsDisplay();
    EXPECT_EQ(m.view.redisplayedRects.size(), 1);

    EXPECT_FALSE(m.ctx()->mouse().hasKeyFocus());
    m.view.keyFocus = true;
    EXPECT_TRUE(m.ctx()->mouse().hasKeyFocus());
}

TEST(IXLayoutContextStacksTests, VisibleCellsBoundsLeaveOutSelectionsAndHiddenCells)
{
    StackedMap m;
    const PLRect all = m.ctx()->visibleCellsBounds();
    // The comment lies farthest down and left, the picture farthest up.
    EXPECT_EQ(all.minX(), -300);
    EXPECT_EQ(all.minY(), -200);
    EXPECT_EQ(all.maxY(), 250);
    m.ctx()->setDrawMask(IXDrawMaskBackground);
    settle(m.ctx());
    const PLRect branches = m.ctx()->visibleCellsBounds();
    EXPECT_EQ(branches, m.ctx()->branchLayer()->bounds().integral());
    EXPECT_EQ(m.ctx()->cellsBounds(), all);
}

}  // namespace

// Selecting more branches than the outlines made at once: only those near what is drawn or hit
// get one, and the stacks, when asked for, hold them all in the selection's order.
TEST(IXLayoutContextStacksTests, OutlinesOfALargeSelectionAreMadeAsTheyComeIntoSight)
{
    MapFixture map;
    std::shared_ptr<IXBranchNode> root = map.addRoot(QStringLiteral("R"));
    IXSelection::NodeList selected;
    // More branches than the 500 whose outlines are made at once.
    const int count = 600;
    for (int i = 0; i < count; ++i) selected.prepend(MapFixture::addChild(root, QStringLiteral("S%1").arg(i)));
    ContextHolder holder(map, QStringLiteral("mindmap"), nullptr);
    IXLayoutContext* context = holder.context.get();
    settle(context);
    context->setSelection(IXSelection::selectionWithArray(selected));
    settle(context);
    context->performLayoutIfNeeded();
    EXPECT_TRUE(context->selectionLayer()->cells().empty());

    // A hit on one box makes its outline (and those of its neighbours), found on top.
    IXLayoutCell* box = context->cells().branchCellForNode(selected[7].get());
    const PLRect boxRect = box->convertRectToCell(box->bounds(), nullptr);
    const PLPoint centre
        = context->coordinates().convertPointFromCell(PLPoint(boxRect.midX(), boxRect.midY()), nullptr);
    const IXLayoutContext::HitCandidates hit = context->hitCandidatesAt(centre);
    QStringList hitLabels;
    for (IXLayoutCell* cell : hit.cells) hitLabels << labelOf(cell);
    ASSERT_FALSE(hitLabels.isEmpty());
    EXPECT_TRUE(hitLabels.front().startsWith(QStringLiteral("sel ")))
        << hitLabels.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(hitLabels.contains(QStringLiteral("sel S%1").arg(count - 8)));
    const std::size_t made = context->selectionLayer()->cells().size();
    EXPECT_GT(made, 0u);
    EXPECT_LT(made, std::size_t(count));

    // Drawing a corner of the map makes the outlines there, no others.
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    {
        PLGraphicsContext graphics(image);
        context->drawRect(graphics, PLRect(boxRect.minX(), boxRect.minY(), 200, 200));
    }
    EXPECT_LT(context->selectionLayer()->cells().size(), std::size_t(count));

    // The flat stacks hold every outline, on top, in the selection's order, as a selection
    // made at once would.
    QStringList expected;
    for (const auto& node : selected)
        expected << QStringLiteral("sel ") + static_cast<IXBranchNode*>(node.get())->title();
    EXPECT_EQ(labelsOf(context->drawStack()).filter(QStringLiteral("sel ")), expected);
    EXPECT_EQ(context->selectionLayer()->cells().size(), std::size_t(count));
    EXPECT_EQ(lookUpsDifferingFromTheStacks(context), QStringList());
}
