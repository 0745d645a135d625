#include "DocumentViews/IXInplaceOutlineTool.h"

#include "DocumentModel/IXToolNames.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXMapViewTestSupport.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXOutlineModel.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "Platform/Core/PLUndoManager.h"
#include "TestSupport/QStringPrinter.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

class InplaceController : public IXWindowControlling {
public:
    std::shared_ptr<IXDocumentNode> node;
    void setSelection(const IXSelection&) override { }
    void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>&) override { }
    IXOpenDocument* document() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return node; }
    void addSubbranch() override { }
    int documentLayout() const override { return 0; }
};

// Root (Crowded (C0 ... C19), Single (Only), Leaf) in a map view of 800 x 600.
struct InplaceOutlineTest : ::testing::Test {
    PLUndoManager undo;
    MapTestCellFactory factory;
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    InplaceController controller;
    QWidget window;
    IXMapView* view = nullptr;

    void SetUp() override
    {
        document->setUndoManager(&undo);
        auto root = addRootBranch(*document, QStringLiteral("Root"));
        QStringList crowded;
        for (int i = 0; i < 20; ++i) crowded << QStringLiteral("C%1").arg(i);
        addBranches(root, {QStringLiteral("Crowded"), QStringLiteral("Single"), QStringLiteral("Leaf")});
        addBranches(root->branches().at(0), crowded);
        addBranches(root->branches().at(1), {QStringLiteral("Only")});
        controller.node = document;
        window.resize(800, 600);
        auto* scroller = new IXScalingScrollView(&window);
        scroller->setGeometry(window.rect());
        view = new IXMapView;
        view->setLayoutName(QStringLiteral("mindmap"));
        scroller->setDocumentView(view);
        window.show();
        view->attachToController(&controller);
        QCoreApplication::processEvents();
        view->layoutContext()->performLayoutIfNeeded();
    }
    void TearDown() override
    {
        IXToolManager::sharedManager()->discardCurrentTool();
        view->detachFromController();
        QCoreApplication::processEvents();
        undo.removeAllActions();
        document->setUndoManager(nullptr);
    }
    std::shared_ptr<IXBranchNode> branch(int index) const
    {
        return std::static_pointer_cast<IXBranchNode>(document->rootBranches().first())->branches().at(index);
    }
    static IXToolEvent click() { return IXToolEvent(PLMouseEvent(PLMouseEvent::LeftMouseDown, PLPoint(0, 0))); }
    IXInplaceOutlineTool* start(int index)
    {
        // As the branch's outline indicator starts it, with its click.
        IXTool* tool = IXToolManager::sharedManager()->activateToolNamed(IXToolNames::InplaceOutline, branch(index),
                                                                         view->layoutContext(), click());
        return qobject_cast<IXInplaceOutlineTool*>(tool);
    }
};

}  // namespace

TEST_F(InplaceOutlineTest, TheBoxShowsTheBranchAsAnOutlineFittedToItsRows)
{
    IXInplaceOutlineTool* tool = start(1);
    ASSERT_TRUE(tool);
    ASSERT_TRUE(tool->box());
    QAbstractItemModelTester tester(tool->outlineView()->outlineModel(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    // One top row, the branch, with its sub-tree; short, so the box shrinks below 200.
    const QAbstractItemModel* model = tool->outlineView()->outlineModel();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->index(0, IXOutlineModel::Title).data().toString(), QStringLiteral("Single"));
    EXPECT_EQ(model->rowCount(model->index(0, 0)), 1);
    EXPECT_LT(tool->box()->height(), IXInplaceOutlineTool::BoxHeight);
    EXPECT_EQ(tool->box()->width(), IXInplaceOutlineTool::BoxWidth);
    QCoreApplication::processEvents();
    EXPECT_FALSE(tool->outlineView()->verticalScrollBar()->isVisible());
    // At the far corner of the branch's box.
    IXBranchCell* cell = view->layoutContext()->cells().branchCellForNode(branch(1).get());
    const PLRect bounds = view->layoutContext()->coordinates().convertRectFromCell(cell->bounds(), cell);
    EXPECT_EQ(tool->box()->pos(), view->pointToQt(PLPoint(bounds.maxX(), bounds.maxY())).toPoint());
    view->grab().save(QStringLiteral(IX_SOURCE_DIR "/renders/inplace-outline.png"));

    // Escape closes it and goes no further.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_TRUE(tool->onSendEvent(window.windowHandle(), &escape));
    QCoreApplication::processEvents();
    EXPECT_FALSE(IXToolManager::sharedManager()->currentTool());
    EXPECT_FALSE(view->findChild<IXOutlineMapView*>());
}

TEST_F(InplaceOutlineTest, ACrowdedBranchScrollsAndTheBoxClosesWhenTheBranchGoes)
{
    IXInplaceOutlineTool* tool = start(0);
    ASSERT_TRUE(tool && tool->box());
    EXPECT_EQ(tool->box()->height(), IXInplaceOutlineTool::BoxHeight);
    // A press inside the box keeps it; one outside closes it.
    const QPoint inside = tool->box()->mapToGlobal(QPoint(10, 10));
    QMouseEvent pressInside(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(inside), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
    EXPECT_FALSE(tool->onSendEvent(window.windowHandle(), &pressInside));
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), tool);

    // Removing the branch closes the box on the next turn, not inside the notice.
    auto root = std::static_pointer_cast<IXBranchNode>(document->rootBranches().first());
    root->removeBranch(branch(0));
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), tool);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(IXToolManager::sharedManager()->currentTool());
    EXPECT_FALSE(view->findChild<IXOutlineMapView*>());

    // A branch without sub-branches shows nothing.
    start(1);
    IXToolManager::sharedManager()->discardCurrentTool();
    IXTool* leaf = IXToolManager::sharedManager()->activateToolNamed(
        IXToolNames::InplaceOutline,
        std::static_pointer_cast<IXBranchNode>(document->rootBranches().first())->branches().last(),
        view->layoutContext(), click());
    QCoreApplication::processEvents();
    EXPECT_TRUE(!leaf || !IXToolManager::sharedManager()->currentTool());
    EXPECT_FALSE(view->findChild<IXOutlineMapView*>());
}
