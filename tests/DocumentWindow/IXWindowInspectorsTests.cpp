// The inspectors of document windows: the side pane beside the map in the all-in-one layout,
// and the floating panels' manager following the window that is active.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXFontPanel.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowInspectors.h"
#include "IXShellTestSupport.h"
#include "Inspectors/IXBranchInspector.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXInspectorManager.h"
#include "Inspectors/IXInspectorPanel.h"
#include "Inspectors/IXInspectorView.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXMapCellFactory.h"

#include <QDir>
#include <QDockWidget>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
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

// Saves what users see at 1x (grab) and at 2x device pixel ratio, to be looked at.
void saveLook(QWidget* widget, const QString& name)
{
    QDir().mkpath(QStringLiteral("renders"));
    widget->grab().save(QStringLiteral("renders/%1.png").arg(name));
    QImage doubled(widget->size() * 2, QImage::Format_ARGB32_Premultiplied);
    doubled.setDevicePixelRatio(2);
    doubled.fill(Qt::white);
    widget->render(&doubled);
    doubled.save(QStringLiteral("renders/%1@2x.png").arg(name));
}

TEST_F(WindowInspectorsTest, BranchInspectorBesideTheMapAndInItsPanelChangesTheWindowsDocument)
{
    IXInspectorManager::registerInspectorClass(QStringLiteral("IXBranchInspector"),
                                               [] { return std::make_unique<IXBranchInspector>(); });
    IXPreferences::setValue(IXPreferences::ApplicationLayoutModeKey, 0);
    IXWindowController* controller = open(QStringLiteral("look.ixd"));
    ASSERT_TRUE(controller);
    QWidget* window = controller->documentWindow();
    window->resize(1100, 720);
    controller->showWindow();
    spin(50);
    const auto root = firstRoot(controller);
    // Two main branches, the second one added here.
    ASSERT_EQ(root->branches().size(), 1);
    auto added = std::make_shared<IXBranchNode>();
    added->setTitle(QStringLiteral("Second"));
    root->insertBranch(added, 1);
    spin(50);
    controller->documentNode()->undoManager()->removeAllActions();
    const IXSelection::NodeList children = {root->branches()[0], added};
    controller->setSelection(IXSelection(children));
    spin(50);
    auto* inspector = dynamic_cast<IXBranchInspector*>(
        controller->inspectors()->manager()->inspectorForName(QStringLiteral("IXBranchInspector")));
    ASSERT_TRUE(inspector);
    ASSERT_TRUE(inspector->isApplicable());
    EXPECT_TRUE(inspector->inspectorView()->isVisibleTo(window));
    EXPECT_EQ(inspector->titleField()->placeholderText(), "Multiple Values");
    saveLook(window, QStringLiteral("branch-inspector-side-pane"));
    EXPECT_EQ(root->title(), "Main") << "showing the selection writes nothing";

    // A colour chosen in the pane: every selected branch of the window's layout, one undo step.
    const PLColor red = PLColor::rgb(1, 0, 0);
    inspector->lineColorWell()->takeColor(red);
    spin(10);
    const auto sheet = controller->layoutNode()->styleSheet();
    for (const auto& child : children) EXPECT_EQ(sheet->styleForNode(child.get())->branchLineColor(), red);
    PLUndoManager* undo = controller->documentNode()->undoManager();
    ASSERT_TRUE(undo);
    undo->undo();
    spin(10);
    for (const auto& child : children) EXPECT_NE(sheet->styleForNode(child.get())->branchLineColor(), red);

    // The same inspector in a floating panel.
    IXInspectorManager panels;
    panels.setTracksControllerSelection(true);
    panels.setController(controller);
    panels.setDefaultsInspectorPanels();
    panels.bringToFrontPaneForName(QStringLiteral("IXBranchInspector"));
    spin(50);
    ASSERT_FALSE(panels.panels().isEmpty());
    IXInspectorPanel* panel = panels.panels().front();
    EXPECT_TRUE(panel->isVisible());
    saveLook(panel, QStringLiteral("branch-inspector-panel"));
    panels.close();
}

// The branch inspector's Font button shows the shared font panel with the selection's font;
// a font picked there is every selected branch's text font, in one undo step.
TEST_F(WindowInspectorsTest, AFontPickedInThePanelFromTheBranchInspectorChangesTheSelectedBranches)
{
    IXInspectorManager::registerInspectorClass(QStringLiteral("IXBranchInspector"),
                                               [] { return std::make_unique<IXBranchInspector>(); });
    IXPreferences::setValue(IXPreferences::ApplicationLayoutModeKey, 0);
    IXWindowController* controller = open(QStringLiteral("fonts.ixd"));
    ASSERT_TRUE(controller);
    controller->showWindow();
    spin(50);
    const auto root = firstRoot(controller);
    ASSERT_FALSE(root->branches().isEmpty());
    const IXSelection::NodeList branches = {root, root->branches().front()};
    const auto sheet = controller->layoutNode()->styleSheet();
    QFont shown(QStringLiteral("DejaVu Sans"));
    shown.setPointSizeF(17);
    sheet->styleForNode(branches.back().get())->setBranchTextFont(shown);
    controller->setSelection(IXSelection(branches));
    spin(50);
    auto* inspector = dynamic_cast<IXBranchInspector*>(
        controller->inspectors()->manager()->inspectorForName(QStringLiteral("IXBranchInspector")));
    ASSERT_TRUE(inspector);
    ASSERT_TRUE(inspector->fontButton()->isEnabled());

    inspector->fontButton()->click();
    spin(20);
    QFontDialog* panel = IXFontPanel::sharedPanel();
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(controller->documentView()->window()->focusWidget(), controller->documentView());
    EXPECT_EQ(panel->currentFont().family(), shown.family()) << "the panel shows the last selected branch's font";
    EXPECT_EQ(panel->currentFont().pointSizeF(), 17);

    PLUndoManager* undo = controller->documentNode()->undoManager();
    undo->removeAllActions();
    QFont picked(QStringLiteral("DejaVu Serif"));
    picked.setPointSizeF(31);
    panel->setCurrentFont(picked);
    spin(10);
    for (const auto& branch : branches) {
        const std::optional<QFont> font = sheet->styleForNode(branch.get())->branchTextFont();
        ASSERT_TRUE(font);
        EXPECT_EQ(font->family(), picked.family());
        EXPECT_EQ(font->pointSizeF(), 31);
    }
    EXPECT_TRUE(undo->canUndo());
    undo->undo();
    spin(10);
    EXPECT_FALSE(undo->canUndo()) << "one undo step";
    for (const auto& branch : branches) {
        const std::optional<QFont> font = sheet->styleForNode(branch.get())->branchTextFont();
        EXPECT_TRUE(!font || font->pointSizeF() != 31);
    }

    // Without the map view's focus a font picked changes nothing.
    panel->setFocus();
    controller->documentView()->clearFocus();
    panel->setCurrentFont(picked);
    spin(10);
    EXPECT_FALSE(undo->canUndo());
    panel->hide();
}

}  // namespace

#include "IXWindowInspectorsTests.moc"
