// The inspectors of document windows: the side pane beside the map in the all-in-one layout,
// and the floating panels' manager following the window that is active.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowInspectors.h"
#include "IXShellTestSupport.h"
#include "Inspectors/IXInspectorManager.h"
#include "Inspectors/IXInspectorView.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXMapCellFactory.h"

#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>

namespace {

// Shows the title of the first selected branch.
class TitleInspector : public IXInspectorController {
    Q_OBJECT
public:
    TitleInspector()
    {
        m_label = new QLabel(&m_view);
        m_label->resize(200, 24);
        m_view.tile();
    }
    ~TitleInspector() override { m_view.setParent(nullptr); }
    bool isApplicable() const override { return selection().isBranches(); }
    QString inspectorTitle() const override { return QStringLiteral("Branch"); }
    QWidget* inspectorView() override { return &m_view; }
    QString shownTitle() const { return m_label->text(); }

protected:
    void selectionDidChange() override { postUpdateControls(); }
    void updateControls() override
    {
        const auto branches = selection().allBranches();
        m_label->setText(branches.isEmpty() ? QString() : branches.front()->title());
    }

private:
    IXInspectorView m_view;
    QLabel* m_label;
};

class WindowInspectorsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        IXLayoutCellFactory::install(&m_cells);
        IXWindowController::installAsShellControllers();
        IXInspectorManager::registerInspectorClass(QStringLiteral("IXBranchInspector"),
                                                   [] { return std::make_unique<TitleInspector>(); });
    }
    void TearDown() override
    {
        for (IXDocument* document : IXDocumentController::shared().documents())
            IXDocumentController::shared().removeDocument(document);
        IXInspectorManager::registerInspectorClass(QStringLiteral("IXBranchInspector"), {});
        IXDocument::setWindowControllerFactory({});
        IXWindowControllerLookup::install(nullptr);
        IXToolEnvironment::install(nullptr);
        IXLayoutCellFactory::install(nullptr);
        spin(10);
    }

    IXWindowController* open(const QString& name)
    {
        PLError error;
        IXDocument* document
            = IXDocumentController::shared().openDocument(copyFixture(QStringLiteral("tree.ixd"), name), true, &error);
        EXPECT_TRUE(document) << error.localizedDescription().toStdString();
        if (!document) return nullptr;
        spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
        return dynamic_cast<IXWindowController*>(document->windowControllers().front());
    }
    static std::shared_ptr<IXBranchNode> firstRoot(IXWindowController* controller)
    {
        return std::dynamic_pointer_cast<IXBranchNode>(controller->documentNode()->rootBranches().first());
    }

    FakeDialogs dialogs;

private:
    IXMapCellFactory m_cells;
};

TEST_F(WindowInspectorsTest, SidePaneBesideTheMapFollowsTheWindowsSelection)
{
    IXPreferences::setValue(IXPreferences::ApplicationLayoutModeKey, 0);
    IXWindowController* controller = open(QStringLiteral("side.ixd"));
    ASSERT_TRUE(controller);
    QDockWidget* pane = controller->inspectors()->sidePane();
    ASSERT_TRUE(pane);
    EXPECT_EQ(controller->documentWindow()->dockWidgetArea(pane), Qt::LeftDockWidgetArea);
    IXInspectorManager* manager = controller->inspectors()->manager();
    ASSERT_TRUE(manager);

    const auto root = firstRoot(controller);
    controller->setSelection(IXSelection(root));
    spin(10);
    auto* inspector = dynamic_cast<TitleInspector*>(manager->inspectorForName(QStringLiteral("IXBranchInspector")));
    ASSERT_TRUE(inspector);
    EXPECT_EQ(inspector->shownTitle(), root->title());
    EXPECT_TRUE(inspector->inspectorView()->isVisibleTo(controller->documentWindow()));

    // With the document itself selected the section leaves the pane.
    controller->setSelection(IXSelection());
    spin(10);
    EXPECT_FALSE(inspector->inspectorView()->isVisibleTo(controller->documentWindow()));

    // The Inspectors menu shows and hides the pane.
    controller->documentWindow()->show();
    QMenu* menu = nullptr;
    for (QAction* item : controller->documentWindow()->menuBar()->actions())
        if (item->menu() && item->text().contains(QStringLiteral("Inspectors"))) menu = item->menu();
    ASSERT_TRUE(menu);
    controller->inspectors()->toggleInspectorPanels();
    EXPECT_FALSE(pane->isVisible());
    controller->inspectors()->toggleInspectorPanels();
    EXPECT_TRUE(pane->isVisible());
}

TEST_F(WindowInspectorsTest, FloatingInspectorsFollowTheActiveWindow)
{
    IXPreferences::setValue(IXPreferences::ApplicationLayoutModeKey, 1);
    IXWindowController* first = open(QStringLiteral("first.ixd"));
    IXWindowController* second = open(QStringLiteral("second.ixd"));
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(first->inspectors()->sidePane());
    IXInspectorManager& manager = IXInspectorManager::shared();
    for (IXWindowController* controller : {first, second}) {
        controller->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(controller->documentWindow()->windowHandle()));
        spin(10);
        IXInspectorController* inspector = manager.inspectorForName(QStringLiteral("IXBranchInspector"));
        ASSERT_TRUE(inspector);
        EXPECT_EQ(inspector->controller(), controller);
        EXPECT_EQ(inspector->selection().count(), controller->selection().count());
    }
    EXPECT_TRUE(manager.areInspectorsVisible());
}

}  // namespace

#include "IXWindowInspectorsTests.moc"
