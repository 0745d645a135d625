#include "DocumentViews/IXMapView.h"

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXContinuousSpellChecking.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "IXMapViewTestSupport.h"
#include "MapLayout/IXMapCellFactory.h"
#include "IXTestTools.h"
#include "Platform/System/PLMouseTracking.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLUndoManager.h"
#include "TestSupport/QStringPrinter.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QTimer>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A window controller that records the commands sent to it by name and makes selections the
// selection of its one context.
class MapTestController : public QObject, public IXWindowControlling, public IXWindowControllerLookup {
    Q_OBJECT
public:
    std::shared_ptr<IXDocumentNode> node;
    IXLayoutContext* context = nullptr;
    QWidget* window = nullptr;
    QStringList commands;

    MapTestController() { IXWindowControllerLookup::install(this); }
    ~MapTestController() override { IXWindowControllerLookup::install(nullptr); }

    IXWindowControlling* windowControllerForWindow(const QWidget* candidate) override
    {
        return candidate && candidate == window ? this : nullptr;
    }
    void setSelection(const IXSelection& selection) override
    {
        commands << QStringLiteral("setSelection");
        if (context) context->setSelection(selection);
    }
    void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>&) override {}
    IXOpenDocument* document() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return node; }
    void addSubbranch() override { commands << QStringLiteral("addSubbranch:"); }
    int documentLayout() const override { return 0; }

    Q_INVOKABLE void addBranch(QObject*) { commands << QStringLiteral("addBranch:"); }
    Q_INVOKABLE void addPrebranch(QObject*) { commands << QStringLiteral("addPrebranch:"); }
    Q_INVOKABLE void removeSelectedNodes(QObject*) { commands << QStringLiteral("removeSelectedNodes:"); }
};

// Stands in for the selection tool: selects what lies under the starting click and ends.
class SelectingTool : public RecordingTool {
public:
    using RecordingTool::RecordingTool;
    void startWithEvent(const IXToolEvent& event) override
    {
        RecordingTool::startWithEvent(event);
        if (event.mouseEvent()) TestToolLog::lines() << QStringLiteral("clicks %1").arg(event.mouseEvent()->clickCount());
        IXNode* node = event.mouseEvent() ? context()->mouse().nodeAtPoint(event.mouseEvent()->locationInView()) : nullptr;
        context()->setSelection(node ? IXSelection::selectionWithNode(node->shared_from_this()) : IXSelection());
        discardTool();
    }
};

// The tools the view starts by name, stood in for by recording tools.
void registerStandInTools()
{
    IXToolManager::registerToolClass(IXToolNames::Selection, &RecordingTool::staticMetaObject,
                                     [](IXToolManager* m) -> IXTool* { return new SelectingTool(m); });
    for (const IXToolName name : {IXToolNames::ContextMenu, IXToolNames::BranchTitle, IXToolNames::CommentTitle})
        IXToolManager::registerToolClass(name, &OtherRecordingTool::staticMetaObject,
                                         [](IXToolManager* m) -> IXTool* { return new OtherRecordingTool(m); });
}

std::shared_ptr<IXNode> findTitled(IXDocumentNode& document, const QString& title)
{
    std::vector<std::shared_ptr<IXNode>> pending(document.rootBranches().begin(), document.rootBranches().end());
    for (const auto& node : document.pictures()) pending.push_back(node);
    for (const auto& node : document.comments()) pending.push_back(node);
    while (!pending.empty()) {
        std::shared_ptr<IXNode> node = pending.back();
        pending.pop_back();
        if (node->title() == title) return node;
        if (auto* branch = dynamic_cast<IXBranchNode*>(node.get()))
            for (const auto& child : branch->branches()) pending.push_back(child);
    }
    return nullptr;
}

QString titles(const IXSelection& selection)
{
    QStringList list;
    for (const auto& node : selection.nodes()) list << (node->isDocument() ? QStringLiteral("doc") : node->title());
    return list.join(QLatin1Char(','));
}

QString childTitles(const std::shared_ptr<IXNode>& node)
{
    QStringList list;
    for (const auto& child : std::dynamic_pointer_cast<IXBranchNode>(node)->branches()) list << child->title();
    return list.join(QLatin1Char(','));
}

void waitFor(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A window with a zooming scroll view around a map view of the fixture map:
//   Root: A (A1, A2), B, C (C1, C2), D      Other
// In the mind map A and B lie on the right of Root, C and D on its left.
struct MapViewTest : ::testing::Test {
    PLUndoManager undo;
    MapTestCellFactory factory;
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    MapTestController controller;
    QWidget window;
    IXScalingScrollView* scroller = nullptr;
    IXMapView* view = nullptr;

    static void SetUpTestSuite() { registerStandInTools(); }

    void SetUp() override
    {
        document->setUndoManager(&undo);
        auto root = addRootBranch(*document, QStringLiteral("Root"));
        addBranches(root, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
        addBranches(branch("A"), {QStringLiteral("A1"), QStringLiteral("A2")});
        addBranches(branch("C"), {QStringLiteral("C1"), QStringLiteral("C2")});
        addRootBranch(*document, QStringLiteral("Other"));
        controller.node = document;
        controller.window = &window;
        TestToolLog::lines().clear();
    }
    void TearDown() override
    {
        IXToolManager::sharedManager()->discardCurrentTool();
        if (view) view->detachFromController();
        QCoreApplication::processEvents();
        undo.removeAllActions();
        document->setUndoManager(nullptr);
    }

    void show(const QString& layout, QSize size = QSize(800, 600))
    {
        window.resize(size);
        scroller = new IXScalingScrollView(&window);
        scroller->setGeometry(window.rect());
        view = new IXMapView;
        view->setLayoutName(layout);
        scroller->setDocumentView(view);
        window.show();
        controller.context = view->layoutContext();
        QCoreApplication::processEvents();
        undo.removeAllActions();
    }

    std::shared_ptr<IXBranchNode> branch(const char* title)
    {
        return std::dynamic_pointer_cast<IXBranchNode>(findTitled(*document, QString::fromLatin1(title)));
    }
    IXLayoutContext* context() const { return view->layoutContext(); }
    void select(const char* title)
    {
        context()->setSelection(IXSelection::selectionWithNode(findTitled(*document, QString::fromLatin1(title))));
    }
    QString selected() const { return titles(context()->selection()); }
    // The centre of a branch's box, in the view's Qt coordinates.
    QPoint boxCenter(const char* title)
    {
        context()->performLayoutIfNeeded();
        IXLayoutCell* box = context()->cells().branchCellForNode(findTitled(*document, QString::fromLatin1(title)).get());
        const PLRect rect = context()->coordinates().convertRectFromCell(box->bounds(), box);
        return view->rectToQt(rect).center().toPoint();
    }
};

struct Navigation {
    const char* layout;
    const char* from;
    Qt::Key key;
    const char* to;
};

class MapViewNavigationTest : public MapViewTest, public ::testing::WithParamInterface<Navigation> {};

TEST_P(MapViewNavigationTest, ArrowsMoveTheSelectionByLayoutType)
{
    const Navigation& step = GetParam();
    show(QString::fromLatin1(step.layout));
    select(step.from);
    QTest::keyClick(view, step.key);
    EXPECT_EQ(selected(), QString::fromLatin1(step.to));
}

INSTANTIATE_TEST_SUITE_P(
    KeyTable, MapViewNavigationTest,
    ::testing::Values(
        // Root branches: previous and next root, last and first sub-branch, in every layout.
        Navigation{"mindmap", "Root", Qt::Key_Down, "Other"}, Navigation{"mindmap", "Other", Qt::Key_Up, "Root"},
        Navigation{"mindmap", "Root", Qt::Key_Up, "Root"}, Navigation{"mindmap", "Root", Qt::Key_Left, "D"},
        Navigation{"mindmap", "Root", Qt::Key_Right, "A"}, Navigation{"mindmap", "Other", Qt::Key_Right, "Other"},
        Navigation{"topdown", "Root", Qt::Key_Left, "D"},
        // Right of a mind-map root (type 2).
        Navigation{"mindmap", "A", Qt::Key_Up, "A"}, Navigation{"mindmap", "A", Qt::Key_Down, "B"},
        Navigation{"mindmap", "A", Qt::Key_Left, "Root"}, Navigation{"mindmap", "A", Qt::Key_Right, "A1"},
        Navigation{"mindmap", "B", Qt::Key_Right, "B"},
        // Left of a mind-map root (type 3 under type 1): up and down swap.
        Navigation{"mindmap", "C", Qt::Key_Up, "D"}, Navigation{"mindmap", "C", Qt::Key_Down, "B"},
        Navigation{"mindmap", "C", Qt::Key_Left, "C1"}, Navigation{"mindmap", "C", Qt::Key_Right, "Root"},
        // Left, below a left branch (type 3 under type 3).
        Navigation{"mindmap", "C1", Qt::Key_Down, "C2"}, Navigation{"mindmap", "C2", Qt::Key_Up, "C1"},
        Navigation{"mindmap", "C2", Qt::Key_Down, "C2"}, Navigation{"mindmap", "C1", Qt::Key_Right, "C"},
        Navigation{"mindmap", "C1", Qt::Key_Left, "C1"},
        // Left to right (type 2 throughout).
        Navigation{"leftright", "A1", Qt::Key_Down, "A2"}, Navigation{"leftright", "A1", Qt::Key_Left, "A"},
        Navigation{"leftright", "C", Qt::Key_Up, "B"},
        // Top down (type 4): up to the parent, down to the last sub-branch, sideways to siblings.
        Navigation{"topdown", "A", Qt::Key_Up, "Root"}, Navigation{"topdown", "A", Qt::Key_Down, "A2"},
        Navigation{"topdown", "B", Qt::Key_Left, "A"}, Navigation{"topdown", "B", Qt::Key_Right, "C"},
        Navigation{"topdown", "D", Qt::Key_Right, "D"}, Navigation{"topdown", "B", Qt::Key_Down, "B"}));

struct Reorder {
    const char* layout;
    const char* moved;
    Qt::Key key;
    const char* parent;
    const char* order;
};

class MapViewReorderTest : public MapViewTest, public ::testing::WithParamInterface<Reorder> {};

TEST_P(MapViewReorderTest, AltArrowsMoveTheBranchAmongItsSiblingsInOneUndoStep)
{
    const Reorder& step = GetParam();
    show(QString::fromLatin1(step.layout));
    const auto parent = branch(step.parent);
    const QString before = childTitles(parent);
    select(step.moved);
    QTest::keyClick(view, step.key, Qt::AltModifier);
    EXPECT_EQ(childTitles(parent), QString::fromLatin1(step.order));
    const bool moved = childTitles(parent) != before;
    // A move is one step that undo takes back; a refusal records nothing.
    QCoreApplication::processEvents();
    ASSERT_EQ(undo.canUndo(), moved);
    if (!moved) return;
    EXPECT_EQ(controller.commands.count(QStringLiteral("setSelection")), 1);
    EXPECT_EQ(selected(), QString::fromLatin1(step.moved));
    undo.undo();
    EXPECT_EQ(childTitles(parent), before);
    EXPECT_FALSE(undo.canUndo());
}

INSTANTIATE_TEST_SUITE_P(
    KeyTable, MapViewReorderTest,
    ::testing::Values(
        // Right of a mind-map root: down only onto another right branch.
        Reorder{"mindmap", "A", Qt::Key_Down, "Root", "B,A,C,D"}, Reorder{"mindmap", "B", Qt::Key_Up, "Root", "B,A,C,D"},
        Reorder{"mindmap", "B", Qt::Key_Down, "Root", "A,B,C,D"}, Reorder{"mindmap", "A", Qt::Key_Up, "Root", "A,B,C,D"},
        // Left of a mind-map root: up raises the index, down never past the first left branch.
        Reorder{"mindmap", "C", Qt::Key_Up, "Root", "A,B,D,C"}, Reorder{"mindmap", "C", Qt::Key_Down, "Root", "A,B,C,D"},
        Reorder{"mindmap", "D", Qt::Key_Down, "Root", "A,B,D,C"},
        // Below ordinary parents, and the arrows across the growth do nothing.
        Reorder{"mindmap", "A1", Qt::Key_Down, "A", "A2,A1"}, Reorder{"mindmap", "C2", Qt::Key_Up, "C", "C2,C1"},
        Reorder{"mindmap", "A1", Qt::Key_Right, "A", "A1,A2"}, Reorder{"leftright", "B", Qt::Key_Down, "Root", "A,C,B,D"},
        // Top down: sideways; the last branch stays last.
        Reorder{"topdown", "B", Qt::Key_Left, "Root", "B,A,C,D"}, Reorder{"topdown", "D", Qt::Key_Right, "Root", "A,B,C,D"},
        Reorder{"topdown", "B", Qt::Key_Down, "Root", "A,B,C,D"}));

// The same key table over the map's own branch groups, with the sides of the mind map given.
TEST_F(MapViewTest, KeysFollowTheMapsOwnLayouts)
{
    IXMapCellFactory groups;
    IXLayoutCellFactory::install(&groups);
    const auto sheet = document->layoutForName(QStringLiteral("mindmap"))->styleSheet();
    for (const char* title : {"A", "B"}) sheet->styleForNode(branch(title).get())->setBranchLayoutType(2);
    for (const char* title : {"C", "D"}) sheet->styleForNode(branch(title).get())->setBranchLayoutType(3);
    show(QStringLiteral("mindmap"));
    struct Step {
        const char* from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* to;
        const char* order;
    };
    for (const Step& step : {Step{"C", Qt::Key_Up, {}, "D", "A,B,C,D"}, Step{"C", Qt::Key_Left, {}, "C1", "A,B,C,D"},
                             Step{"C1", Qt::Key_Right, {}, "C", "A,B,C,D"}, Step{"A", Qt::Key_Right, {}, "A1", "A,B,C,D"},
                             Step{"A1", Qt::Key_Down, {}, "A2", "A,B,C,D"}, Step{"A", Qt::Key_Left, {}, "Root", "A,B,C,D"},
                             Step{"B", Qt::Key_Down, Qt::AltModifier, "B", "A,B,C,D"},
                             Step{"A", Qt::Key_Down, Qt::AltModifier, "A", "B,A,C,D"}}) {
        select(step.from);
        QTest::keyClick(view, step.key, step.modifiers);
        EXPECT_EQ(selected(), QString::fromLatin1(step.to)) << step.from << " " << step.key;
        EXPECT_EQ(childTitles(branch("Root")), QString::fromLatin1(step.order)) << step.from << " " << step.key;
        QCoreApplication::processEvents();
    }
    view->detachFromController();
    IXLayoutCellFactory::install(&factory);
}

TEST_F(MapViewTest, KeysSendTheWindowCommandsAndTypingEditsTheTitle)
{
    show(QStringLiteral("mindmap"));
    select("B");
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
    QTest::keyClick(view, Qt::Key_Backspace);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(controller.commands, QStringList({"addBranch:", "addPrebranch:", "addSubbranch:", "removeSelectedNodes:",
                                                "removeSelectedNodes:"}));

    QTest::keyClick(view, Qt::Key_X);
    auto* tool = dynamic_cast<RecordingTool*>(IXToolManager::sharedManager()->currentTool());
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->object, branch("B"));
    ASSERT_EQ(tool->startEvents.size(), 1);
    ASSERT_NE(tool->startEvents[0].keyEvent(), nullptr);
    EXPECT_EQ(tool->startEvents[0].keyEvent()->text(), QStringLiteral("x"));

    // Several branches: the topmost one is edited, whichever was selected last.
    IXToolManager::sharedManager()->discardCurrentTool();
    context()->setSelection(IXSelection::selectionWithArray({branch("A1"), branch("B"), branch("C2")}));
    QTest::keyClick(view, Qt::Key_X);
    tool = dynamic_cast<RecordingTool*>(IXToolManager::sharedManager()->currentTool());
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->object, branch("B"));

    // A floating comment gets its own title tool; with nothing to edit typing does nothing.
    IXToolManager::sharedManager()->discardCurrentTool();
    auto comment = std::make_shared<IXCommentNode>();
    comment->setTitle(QStringLiteral("Note"));
    document->addFloatingNode(comment);
    context()->setSelection(IXSelection::selectionWithNode(comment));
    QTest::keyClick(view, Qt::Key_Y);
    tool = dynamic_cast<RecordingTool*>(IXToolManager::sharedManager()->currentTool());
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->object, comment);
    IXToolManager::sharedManager()->discardCurrentTool();
    context()->setSelection(IXSelection::selectionWithNode(document));
    QTest::keyClick(view, Qt::Key_Z);
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
}

TEST_F(MapViewTest, TabKeepsTheFocusOnTheMapAndDoesNothing)
{
    show(QStringLiteral("mindmap"));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    view->setFocus();
    select("A");
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Tab, Qt::NoModifier}, std::pair{Qt::Key_Backtab, Qt::ShiftModifier},
                                         std::pair{Qt::Key_Tab, Qt::ShiftModifier}}) {
        QTest::keyClick(window.windowHandle(), key, modifiers);
        EXPECT_TRUE(view->hasFocus()) << key << " " << modifiers;
        EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr) << key;
        EXPECT_EQ(selected(), QStringLiteral("A"));
    }
    QTest::keyClick(window.windowHandle(), Qt::Key_Down);
    EXPECT_EQ(selected(), QStringLiteral("B")) << "the arrows still move the selection";
}

TEST_F(MapViewTest, ArrowsMoveOneFloatingObjectByOneUnit)
{
    auto picture = std::make_shared<IXPictureNode>();
    auto comment = std::make_shared<IXCommentNode>();
    document->addFloatingNode(picture);
    document->addFloatingNode(comment);
    show(QStringLiteral("mindmap"));
    const PLPoint start = context()->styleForNode(picture.get())->floatingTargetOffset();
    context()->setSelection(IXSelection::selectionWithNode(picture));
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}) QTest::keyClick(view, key);
    const PLPoint moved = context()->styleForNode(picture.get())->floatingTargetOffset();
    EXPECT_EQ(moved.x, start.x - 1);
    EXPECT_EQ(moved.y, start.y + 2);
    // Two floating objects: nothing moves.
    context()->setSelection(IXSelection::selectionWithArray({picture, comment}));
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(context()->styleForNode(picture.get())->floatingTargetOffset().y, moved.y);
}

TEST_F(MapViewTest, AClickGoesToTheCellsThenSelects)
{
    show(QStringLiteral("mindmap"));
    QTest::mouseClick(view, Qt::LeftButton, {}, boxCenter("C1"));
    EXPECT_EQ(selected(), QStringLiteral("C1"));
    QTest::mouseClick(view, Qt::LeftButton, {}, boxCenter("A"));
    EXPECT_EQ(selected(), QStringLiteral("A"));
    TestToolLog::lines().clear();
    QTest::mouseDClick(view, Qt::LeftButton, {}, boxCenter("A"));
    ASSERT_FALSE(TestToolLog::lines().filter(QStringLiteral("clicks")).isEmpty());
    EXPECT_EQ(TestToolLog::lines().filter(QStringLiteral("clicks")).last(), QStringLiteral("clicks 2"));
    // Control-click and the right button show the context menu instead.
    TestToolLog::lines().clear();
    QTest::mouseClick(view, Qt::LeftButton, Qt::MetaModifier, boxCenter("B"));
    IXToolManager::sharedManager()->discardCurrentTool();
    QTest::mouseClick(view, Qt::RightButton, {}, boxCenter("B"));
    EXPECT_EQ(TestToolLog::lines().count(QStringLiteral("OtherRecordingTool start")), 2);
    EXPECT_EQ(selected(), QStringLiteral("A"));
}

TEST_F(MapViewTest, MouseEventsGoToTheTrackingLoopOfACell)
{
    show(QStringLiteral("mindmap"));
    // A cell's drag loop waits in a nested loop; the release that arrives meanwhile is its own.
    const QPoint at = boxCenter("A");
    QTimer::singleShot(20, view, [&] { QTest::mouseRelease(view, Qt::LeftButton, {}, at); });
    const auto up = PLMouseTracking::nextEvent(PLMouseEvent::maskForType(PLMouseEvent::LeftMouseUp),
                                               std::chrono::milliseconds(2000));
    ASSERT_TRUE(up.has_value());
    EXPECT_EQ(up->type(), PLMouseEvent::LeftMouseUp);
    const QPoint back = view->mapFromGlobal(view->mapToGlobal(at));
    EXPECT_EQ(up->locationInView().x, float(back.x()));
    EXPECT_TRUE(PLMouseTracking::takePendingEvents().empty());
}

TEST_F(MapViewTest, AltDragPansTheMap)
{
    show(QStringLiteral("mindmap"), QSize(300, 240));
    scroller->setScaleFactor(4.0);
    QScrollBar* h = scroller->horizontalScrollBar();
    QScrollBar* v = scroller->verticalScrollBar();
    ASSERT_GT(h->maximum(), 200);
    ASSERT_GT(v->maximum(), 200);
    h->setValue(h->maximum() / 2);
    v->setValue(v->maximum() / 2);
    const int x0 = h->value(), y0 = v->value();
    const QString before = selected();

    auto send = [&](QEvent::Type type, QPointF global, Qt::MouseButtons buttons) {
        QMouseEvent event(type, view->mapFromGlobal(global), global,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::AltModifier);
        QApplication::sendEvent(view, &event);
    };
    const QPointF start = view->mapToGlobal(QPointF(view->mapFrom(scroller->viewport(), QPoint(150, 120))));
    // The press follows the drag in a nested loop, which takes the moves and the release.
    QTimer::singleShot(0, view, [&] {
        send(QEvent::MouseMove, start + QPointF(-40, -25), Qt::LeftButton);
        send(QEvent::MouseMove, start + QPointF(-60, -30), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, start + QPointF(-60, -30), Qt::NoButton);
    });
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    // The map follows the pointer: dragging left and up scrolls right and down.
    EXPECT_EQ(h->value(), x0 + 60);
    EXPECT_EQ(v->value(), y0 + 30);
    EXPECT_EQ(selected(), before);
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
}

TEST_F(MapViewTest, AltWheelZoomsAroundTheSavedCentre)
{
    show(QStringLiteral("mindmap"));
    ASSERT_EQ(scroller->scaleFactor(), 1.0);
    const PLPoint center = view->lastMapCenter();
    QWheelEvent wheel(QPointF(100, 100), view->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, 120 * 4),
                      Qt::NoButton, Qt::AltModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(scroller->viewport(), &wheel);
    const double factor = scroller->scaleFactor();
    EXPECT_GT(factor, 1.0);
    EXPECT_FLOAT_EQ(view->pageScale(), float(factor));
    // The page grew with the factor, and the same canvas point stays in the middle.
    EXPECT_NEAR(view->pageBounds().size.width, context()->canvasBounds().size.width * factor, 0.01);
    view->saveCenter();
    EXPECT_NEAR(view->lastMapCenter().x, center.x, 1.0);
    EXPECT_NEAR(view->lastMapCenter().y, center.y, 1.0);
}

TEST_F(MapViewTest, ASmallPageIsCentredAndShowsTheCanvasCentre)
{
    show(QStringLiteral("mindmap"), QSize(900, 700));
    scroller->setScaleFactor(0.25);
    const PLRect page = view->pageBounds();
    const QSize visible = scroller->viewport()->size();
    ASSERT_EQ(view->size(), visible);
    EXPECT_FLOAT_EQ(page.origin.x, std::ceil((visible.width() - page.size.width) * 0.5f));
    EXPECT_FLOAT_EQ(page.origin.y, std::ceil((visible.height() - page.size.height) * 0.5f));
    const PLRect canvas = context()->canvasBounds();
    EXPECT_EQ(view->lastMapCenter(), PLPoint(canvas.midX(), canvas.midY()));
    // The transform puts the canvas on the page.
    const PLPoint corner = view->documentViewTransform().transformPoint(canvas.origin);
    EXPECT_FLOAT_EQ(corner.x, page.origin.x);
    EXPECT_FLOAT_EQ(corner.y, page.origin.y);
}

TEST_F(MapViewTest, AFreshViewFitsTheMapButNeverEnlargesIt)
{
    show(QStringLiteral("mindmap"));
    EXPECT_EQ(scroller->scaleFactor(), 1.0);
    view->detachFromController();
    // Many sub-branches make a map taller than the window.
    QStringList many;
    for (int i = 0; i < 60; ++i) many << QStringLiteral("n%1").arg(i);
    addBranches(branch("B"), many);
    IXMapView* large = new IXMapView;
    large->setLayoutName(QStringLiteral("topdown"));
    scroller->setDocumentView(large);
    view = large;
    QCoreApplication::processEvents();
    ASSERT_NE(large->layoutContext(), nullptr);
    EXPECT_LT(scroller->scaleFactor(), 1.0);
    EXPECT_GE(scroller->scaleFactor(), 0.1);
}

TEST_F(MapViewTest, LeavingTheWindowDetachesHalfASecondLater)
{
    show(QStringLiteral("mindmap"), QSize(400, 300));
    scroller->setScaleFactor(2.0);
    scroller->horizontalScrollBar()->setValue(scroller->horizontalScrollBar()->value() + 37);
    view->saveCenter();
    const PLPoint center = view->lastMapCenter();
    IXLayoutContext* first = context();

    // Out and back within the delay: the same context, zoom and centre.
    scroller->hide();
    EXPECT_TRUE(view->isDetachPending());
    waitFor(100);
    scroller->show();
    EXPECT_FALSE(view->isDetachPending());
    waitFor(IXMapView::DetachDelayMilliseconds + 100);
    EXPECT_EQ(context(), first);
    EXPECT_EQ(scroller->scaleFactor(), 2.0);

    // Out for longer: the context goes; back in, a new one shows the remembered zoom and centre.
    scroller->hide();
    waitFor(IXMapView::DetachDelayMilliseconds + 150);
    EXPECT_EQ(context(), nullptr);
    scroller->show();
    ASSERT_NE(context(), nullptr);
    controller.context = context();
    EXPECT_EQ(scroller->scaleFactor(), 2.0);
    view->saveCenter();
    EXPECT_NEAR(view->lastMapCenter().x, center.x, 1.0);
    EXPECT_NEAR(view->lastMapCenter().y, center.y, 1.0);
}

// Counts a widget's paints, and those made while a reload of the map was still queued (a stale
// frame, painted again once the reload has run).
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(IXMapView& view)
        : m_view(view)
    {
        view.installEventFilter(this);
    }
    int paints = 0;
    int stalePaints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Paint) return false;
        ++paints;
        if (m_view.layoutContext()->reloads().isReloadPosted()) ++stalePaints;
        return false;
    }

private:
    IXMapView& m_view;
};

TEST_F(MapViewTest, AnEditAndTheSelectionItLeavesReachTheScreenInOneFrame)
{
    show(QStringLiteral("mindmap"));
    select("A");
    waitFor(50);
    PaintRecorder recorder(*view);
    auto added = std::make_shared<IXBranchNode>();
    added->setTitle(QStringLiteral("New"));
    const struct {
        const char* edit;
        std::function<void()> apply;
    } edits[] = {
        {"add and select",
         [&] {
             branch("A")->insertBranch(added, 1);
             select("New");
         }},
        {"remove and select",
         [&] {
             branch("A")->removeBranch(added);
             select("A");
         }},
        {"select alone", [&] { select("B"); }},
    };
    for (const auto& edit : edits) {
        recorder.paints = recorder.stalePaints = 0;
        edit.apply();
        waitFor(50);
        EXPECT_EQ(recorder.paints, 1) << edit.edit;
        EXPECT_EQ(recorder.stalePaints, 0) << edit.edit;
    }
    EXPECT_EQ(childTitles(branch("A")), QStringLiteral("A1,A2"));
}

TEST_F(MapViewTest, SelectAllTakesTheShownBranchesThenTheFloatingObjects)
{
    auto picture = std::make_shared<IXPictureNode>();
    picture->setTitle(QStringLiteral("P"));
    document->addFloatingNode(picture);
    show(QStringLiteral("mindmap"));
    context()->styleForNode(branch("C").get())->setBranchCollapsed(true);
    view->selectAll(nullptr);
    EXPECT_EQ(selected(), QStringLiteral("Root,A,A1,A2,B,C,D,Other,P"));
}

TEST_F(MapViewTest, ContinuousSpellCheckingIsFollowedWhileAttached)
{
    struct State : IXContinuousSpellChecking {
        bool on = true;
        bool continuousSpellChecking() const override { return on; }
    } state;
    IXContinuousSpellChecking::install(&state);
    show(QStringLiteral("mindmap"));
    EXPECT_TRUE(context()->showSpelling());
    ASSERT_FALSE(context()->reloads().isReloadPosted());
    state.on = false;
    PLNotificationCenter::defaultCenter().post(IXSpellCheckingNotices::ContinuousSpellCheckingChanged, &state);
    EXPECT_FALSE(context()->showSpelling());
    EXPECT_TRUE(context()->reloads().isReloadPosted());
    view->detachFromController();
    PLNotificationCenter::defaultCenter().post(IXSpellCheckingNotices::ContinuousSpellCheckingChanged, &state);
    IXContinuousSpellChecking::install(nullptr);
}

TEST_F(MapViewTest, MenuValidation)
{
    show(QStringLiteral("mindmap"));
    QAction item;
    for (const char* action : {"expand:", "collapse:", "noSuchAction:"}) {
        IXActionItem::setAction(&item, action);
        EXPECT_FALSE(view->validateMenuItem(&item)) << action;
    }
    IXActionItem::setAction(&item, "selectAll:");
    EXPECT_TRUE(view->validateMenuItem(&item));
    IXActionItem::setAction(&item, "autolayoutBranches:");
    EXPECT_TRUE(view->validateMenuItem(&item));
    EXPECT_TRUE(item.isChecked());
    view->autolayoutBranches(&item);
    EXPECT_TRUE(view->validateMenuItem(&item));
    EXPECT_FALSE(item.isChecked());
}

TEST_F(MapViewTest, ASelectedBranchIsScrolledIntoView)
{
    show(QStringLiteral("mindmap"), QSize(300, 240));
    scroller->setScaleFactor(4.0);
    for (const char* title : {"C2", "A1", "Other", "B"}) {
        select(title);
        const QRect visible(view->mapFrom(scroller->viewport(), QPoint(0, 0)), scroller->viewport()->size());
        EXPECT_TRUE(visible.contains(boxCenter(title))) << title;
    }
}

TEST_F(MapViewTest, TheOverviewPreviewShowsTheCellsWithoutThePage)
{
    show(QStringLiteral("mindmap"));
    const int changes = view->overviewChangeCount();
    addBranches(branch("B"), {QStringLiteral("B1")});
    QCoreApplication::processEvents();
    context()->performLayoutIfNeeded();
    EXPECT_GT(view->overviewChangeCount(), changes);
    EXPECT_EQ(view->overviewDocumentViewFrame(), view->pageBounds());

    QImage preview(240, 180, QImage::Format_ARGB32_Premultiplied);
    view->overviewDrawPreviewToImage(preview);
    const QRgb box = PLColor::rgb(0.85f, 0.92f, 1.0f).toQColor().rgb();
    int boxPixels = 0;
    for (int y = 0; y < preview.height(); ++y)
        for (int x = 0; x < preview.width(); ++x) boxPixels += preview.pixel(x, y) == box;
    EXPECT_GT(boxPixels, 20);
    EXPECT_EQ(preview.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(preview.pixel(239, 179), qRgb(255, 255, 255));
}

TEST_F(MapViewTest, TheViewShowsTheMapOnItsPage)
{
    show(QStringLiteral("mindmap"), QSize(640, 420));
    select("A2");
    QCoreApplication::processEvents();
    const QImage picture = view->grab().toImage();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/renders");
    QDir().mkpath(folder);
    picture.save(folder + QStringLiteral("/map-view.png"));

    const qreal ratio = picture.devicePixelRatio();
    auto pixel = [&](QPoint at) { return picture.pixel((QPointF(at) * ratio).toPoint()); };
    // Boxes in their fill, the selected one highlighted, the page in its colour around them.
    EXPECT_EQ(pixel(boxCenter("C1") + QPoint(10, 0)), PLColor::rgb(0.85f, 0.92f, 1.0f).toQColor().rgb());
    EXPECT_EQ(pixel(boxCenter("A2") + QPoint(10, 0)), PLColor::rgb(1.0f, 0.85f, 0.3f).toQColor().rgb());
    const PLColor page = context()->styleForNode(document.get())->documentPageColor();
    const QRectF pageRect = view->rectToQt(view->pageBounds());
    EXPECT_EQ(pixel(pageRect.topLeft().toPoint() + QPoint(3, 3)), page.toQColor().rgb());
    EXPECT_EQ(pixel(pageRect.center().toPoint()), page.toQColor().rgb());
}

}

#include "IXMapViewTests.moc"
