// The window's node commands end to end through the application object, offscreen, on a
// small map: the map's keys, every command's beep and result by selection with its menu item's
// state, one undo step per command that also brings the selection back, and the placement of
// new roots, detached branches and floating nodes.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFloatingReferenceNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXTool.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXNodeCommands.h"
#include "DocumentWindow/IXShellServices.h"
#include "DocumentWindow/IXWindowController.h"
#include "IXShellTestSupport.h"
#include "IXWindowTestHelpers.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Core/PLUndoManager.h"
#include "UtilityWidgets/UTBeep.h"

#include <QAction>
#include <QImage>
#include <QTest>
#include <QWindow>

#include <cmath>

namespace {

// Stands in for a context menu's tool: commands apply where its menu was opened.
class MenuPointTool : public IXTool {
public:
    using IXTool::IXTool;
    static inline PLPoint point;
    std::optional<PLPoint> commandPoint() const override { return point; }
};

constexpr IXToolName MenuPointToolName {"IXTestMenuPointTool"};

class NodeCommandsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        IXLayoutCellFactory::install(&m_cells);
        IXWindowController::installAsShellControllers();
        IXApplicationServices::install(&m_services);
        IXApplication::instance()->setDelegate(&IXAppController::sharedController());
        m_previousSound = UTBeep::setSound([this] { ++beeps; });

        PLError error;
        document = IXDocumentController::shared().openDocument(
            copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("map.ixd")), true, &error);
        ASSERT_TRUE(document);
        controller = dynamic_cast<IXWindowController*>(document->windowControllers().front());
        ASSERT_TRUE(controller);
        node = document->documentNode();
        // Main{flag,star}(Sub{smile}(One Two Three)) and Second with a picture and a comment, besides
        // the file's floating picture on Sub and floating comment "Note".
        node->disableUndo();
        for (const char* title : {"One", "Two", "Three"}) {
            auto leaf = std::make_shared<IXBranchNode>();
            leaf->setTitle(QString::fromLatin1(title));
            branch("Sub")->insertBranch(leaf, -1);
        }
        branch("Main")->setIcons({QStringLiteral("flag"), QStringLiteral("star")});
        branch("Sub")->setIcons({QStringLiteral("smile")});
        branch("Second")->addPicture();
        branch("Second")->addComment()->setTitle(QStringLiteral("Remark"));
        static_cast<IXFloatingReferenceNode&>(*node->pictures().first()).setFloatingTargetNode(branch("Sub"));
        node->enableUndo();
        controller->setDocumentLayout(0);
        QWindow* window = controller->documentWindow()->windowHandle();
        ASSERT_TRUE(window && QTest::qWaitForWindowActive(window));
        spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
        controller->layoutContext()->performLayoutIfNeeded();
    }
    void TearDown() override
    {
        IXToolManager::sharedManager()->discardCurrentTool();
        for (IXDocument* each : IXDocumentController::shared().documents())
            IXDocumentController::shared().removeDocument(each);
        IXApplication::instance()->setDelegate(nullptr);
        IXDocument::setWindowControllerFactory({});
        IXWindowControllerLookup::install(nullptr);
        IXToolEnvironment::install(nullptr);
        IXApplicationServices::install(nullptr);
        IXLayoutCellFactory::install(nullptr);
        UTBeep::setSound(m_previousSound);
        spin(10);
    }

    std::shared_ptr<IXBranchNode> branch(const QString& title) const { return branchTitled(*node, title); }

    // A node by name: a branch's title, "doc", "pic" (the first floating picture) or a
    // floating comment's title.
    std::shared_ptr<IXNode> named(const QString& name) const
    {
        if (name == QLatin1String("doc")) return node;
        if (name == QLatin1String("pic")) return node->pictures().value(0);
        for (const auto& comment : node->comments())
            if (comment->title() == name) return comment;
        return branch(name);
    }

    void select(const QString& names)
    {
        IXSelection::NodeList nodes;
        for (const QString& name : names.split(QLatin1Char(','), Qt::SkipEmptyParts)) nodes << named(name);
        controller->setSelection(IXSelection::selectionWithArray(nodes));
        spin();
    }

    static QString nameOf(IXNode& each)
    {
        if (each.isDocument()) return QStringLiteral("doc");
        if (each.isPicture()) return QStringLiteral("pic");
        if (each.isBranch() && static_cast<IXBranchNode&>(each).storedTitle().isEmpty()) return QStringLiteral("Idea");
        return each.isBranch() ? static_cast<IXBranchNode&>(each).storedTitle() : each.title();
    }

    QString selected() const
    {
        QStringList names;
        for (const auto& each : controller->selection().nodes()) names << nameOf(*each);
        return names.join(QLatin1Char(','));
    }

    // The map in one line: each branch with its picture, comment, attachments, icons and
    // collapsed mark, its sub-branches in parentheses; then the floating nodes and their anchors.
    static QString outline(IXBranchNode& each)
    {
        QString text = nameOf(each);
        if (each.picture()) text += QStringLiteral("+pic");
        if (each.comment()) text += QStringLiteral("+") + each.comment()->title();
        for (const auto& attachment : each.attachments()) text += QStringLiteral("@") + attachment->title();
        for (qsizetype note = 0; note < each.textnotes().size(); ++note) text += QStringLiteral("#note");
        if (!each.icons().isEmpty()) text += QStringLiteral("{%1}").arg(each.icons().join(QLatin1Char(',')));
        if (const auto style = each.existingStyle(); style && style->branchCollapsed()) text += QStringLiteral("-");
        QStringList children;
        for (const auto& child : each.branches()) children << outline(*child);
        if (!children.isEmpty()) text += QStringLiteral("(%1)").arg(children.join(QLatin1Char(' ')));
        return text;
    }
    QString outline() const
    {
        QStringList parts;
        for (const auto& root : node->rootBranches()) parts << outline(static_cast<IXBranchNode&>(*root));
        QStringList floating;
        for (const auto& each : node->pictures() + node->comments()) {
            const std::shared_ptr<IXNode> target = each->floatingTargetNode();
            floating << nameOf(*each) + (target ? QStringLiteral(">") + nameOf(*target) : QString());
        }
        return parts.join(QLatin1Char(' ')) + QStringLiteral(" | ") + floating.join(QLatin1Char(' '));
    }

    QAction* item(IXCommand command, int tag)
    {
        auto* action = new QAction(controller);
        IXActionItem::setAction(action, command.toByteArray());
        action->setData(tag);
        return action;
    }

    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(controller->documentWindow()->windowHandle(), Qt::Key(key), modifiers);
        spin();
    }

    PLPoint parentOffset(const QString& name) const
    {
        return controller->layoutContext()->styleForReading(named(name).get())->branchParentOffset();
    }
    PLPoint floatingOffset(const std::shared_ptr<IXNode>& each) const
    {
        return controller->layoutContext()->styleForReading(each.get())->floatingTargetOffset();
    }
    PLRect cellBounds(const QString& name) const
    {
        IXLayoutCell* cell = controller->layoutContext()->cells().cellForNode(named(name).get());
        return cell ? cell->convertRectToCell(cell->bounds(), nullptr) : PLRect();
    }

    IXDocument* document = nullptr;
    IXWindowController* controller = nullptr;
    std::shared_ptr<IXDocumentNode> node;
    FakeDialogs dialogs;
    int beeps = 0;

private:
    IXMapCellFactory m_cells;
    IXShellServices m_services;
    UTBeep::Sound m_previousSound;
};

const QString Initial = QStringLiteral("Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note");

TEST_F(NodeCommandsTest, ReturnKeysAddBranchesDeleteRemovesAndEachIsOneUndoStepWithItsSelection)
{
    const struct {
        const char* selection;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString after;
        const char* selectedAfter;
    } cases[] = {
        {"Two", Qt::Key_Return, Qt::NoModifier,
         "Main{flag,star}(Sub{smile}(One Two Idea Three)) Second+pic+Remark | pic>Sub Note", "Idea"},
        {"Two", Qt::Key_Return, Qt::AltModifier,
         "Main{flag,star}(Sub{smile}(One Two(Idea) Three)) Second+pic+Remark | pic>Sub Note", "Idea"},
        {"Two", Qt::Key_Return, Qt::ShiftModifier,
         "Main{flag,star}(Sub{smile}(One Idea(Two) Three)) Second+pic+Remark | pic>Sub Note", "Idea"},
        {"Second", Qt::Key_Enter, Qt::NoModifier,
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark(Idea) | pic>Sub Note", "Idea"},
        // A branch with its descendants: only the topmost goes, and one undo brings all back.
        {"One,Sub,Three", Qt::Key_Delete, Qt::NoModifier, "Main{flag,star} Second+pic+Remark | Note", "Main"},
        {"Main,Sub,One,Note", Qt::Key_Backspace, Qt::NoModifier, "Second+pic+Remark | ", "doc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after.toStdString());
        select(QString::fromLatin1(c.selection));
        const QString before = selected();
        key(c.key, c.modifiers);
        EXPECT_EQ(outline(), c.after);
        EXPECT_EQ(selected(), QString::fromLatin1(c.selectedAfter));
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(outline(), Initial);
        EXPECT_EQ(selected(), before);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(outline(), c.after);
        EXPECT_EQ(selected(), QString::fromLatin1(c.selectedAfter));
        key(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(outline(), Initial);
    }
    EXPECT_EQ(beeps, 0);
}

// Each command on a selection: whether it beeps (changing nothing) and what the map and the
// selection are afterwards; its menu item is enabled exactly when it does not beep; undo and
// redo take it back and forth in one step with the selection.
TEST_F(NodeCommandsTest, EachCommandBeepsOrChangesTheMapAsOneStepAndItsItemSaysWhich)
{
    const QString picturePath = filePath(QStringLiteral("photo.png"));
    ASSERT_TRUE(QImage(40, 30, QImage::Format_RGB32).save(picturePath));
    const QString notesPath = filePath(QStringLiteral("notes.txt"));
    const struct {
        IXCommand command;
        int tag;
        const char* selection;
        QString after;  // empty: the command beeps
        const char* selectedAfter;
    } cases[] = {
        {IXCommands::AddBranch, 0, "Second",
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark(Idea) | pic>Sub Note", "Idea"},
        {IXCommands::AddBranch, 1, "Sub",
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark Subject | pic>Sub Note", "Subject"},
        {IXCommands::AddSubbranch, 0, "doc",
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark(Idea) | pic>Sub Note", "Idea"},
        {IXCommands::AddPrebranch, 0, "Second", {}, "Second"},
        {IXCommands::AddPrebranch, 0, "Sub",
         "Main{flag,star}(Idea(Sub{smile}(One Two Three))) Second+pic+Remark | pic>Sub Note", "Idea"},
        {IXCommands::RemoveBranch, 0, "Sub,Second", "Main{flag,star} | Note", "doc"},
        {IXCommands::RemoveBranchSection, 0, "Sub", "Main{flag,star}(One Two Three) Second+pic+Remark | Note", "Main"},
        {IXCommands::RemoveBranchSection, 0, "One", {}, "One"},
        {IXCommands::RemoveBranchSection, 0, "Main", {}, "Main"},
        {IXCommands::RemoveFloating, 0, "pic,Note,Two",
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | ", "Two"},
        {IXCommands::RemoveComment, 0, "Second", "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic | pic>Sub Note",
         "Second"},
        {IXCommands::RemoveComment, 0, "Main", {}, "Main"},
        {IXCommands::RemovePicture, 0, "Second",
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+Remark | pic>Sub Note", "Second"},
        {IXCommands::RemovePicture, 0, "Sub", {}, "Sub"},
        {IXCommands::RemoveIcon, -1, "Main", "Main(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note",
         "Main"},
        {IXCommands::RemoveIcon, 1, "Main", "Main{flag}(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note",
         "Main"},
        {IXCommands::DetachBranch, 0, "Sub", "Main{flag,star} Second+pic+Remark Sub(One Two Three) | pic>Sub Note",
         "Sub"},
        {IXCommands::DetachBranch, 0, "Second", {}, "Second"},
        {IXCommands::DetachPicture, 0, "Second",
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+Remark | pic>Sub pic>Second Note", "pic"},
        {IXCommands::DetachPicture, 0, "Main", {}, "Main"},
        {IXCommands::DetachFloatingNode, 0, "pic",
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | pic Note", "pic"},
        {IXCommands::AddFloatingComment, 0, "Two",
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note (new comment)>Two",
         "(new comment)"},
        {IXCommands::ToggleCollapser, 0, "Sub",
         "Main{flag,star}(Sub{smile}-(One Two Three)) Second+pic+Remark | pic>Sub Note", "Sub"},
        {IXCommands::ToggleCollapser, 2, "Sub",
         "Main{flag,star}(Sub{smile}-(One Two Three)) Second+pic+Remark | pic>Sub Note", "Sub"},
        {IXCommands::ToggleCollapser, 0, "Main", {}, "Main"},
        {IXCommands::ToggleCollapser, 0, "One", {}, "One"},
        {IXCommands::AddPicture, 1, "Main",
         "Main+pic{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note", "Main"},
        {IXCommands::AddPicture, 0, "Two",
         "Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub pic>Two Note", "pic"},
        {IXCommands::AttachTextFile, 0, "Sub",
         "Main{flag,star}(Sub@notes{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note", "Sub"},
        // The comment opens in its yellow note.
        {IXCommands::AddComment, 0, "Sub",
         "Main{flag,star}(Sub+(untitled){smile}(One Two Three)) Second+pic+Remark | pic>Sub Note", "Sub"},
        // The new-note variant gives the branch a note and opens the editor on it.
        {IXCommands::EditTextNote, 1, "Sub",
         "Main{flag,star}(Sub#note{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note", "Sub"},
        // The new link is typed in the object list.
        {IXCommands::AttachHyperlink, 0, "Sub",
         "Main{flag,star}(Sub@(untitled){smile}(One Two Three)) Second+pic+Remark | pic>Sub Note", "Sub"},
    };
    PLUndoManager* undo = document->undoManager();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command.selector()) + " " + std::to_string(c.tag) + " on " + c.selection);
        select(QString::fromLatin1(c.selection));
        const QString before = selected();
        QAction* sender = item(c.command, c.tag);
        EXPECT_EQ(IXActionBridge::validate(sender), !c.after.isEmpty());
        // The file panel answers with the picture or the text file.
        if (c.command.toByteArray() == IXCommands::AddPicture) dialogs.openPanelAnswers = {QStringList {picturePath}};
        if (c.command.toByteArray() == IXCommands::AttachTextFile) dialogs.openPanelAnswers = {QStringList {notesPath}};
        const int beepsBefore = beeps;
        const bool couldUndo = undo->canUndo();
        IXApplication::instance()->sendAction(c.command.toByteArray(), nullptr, sender);
        spin();
        EXPECT_EQ(beeps - beepsBefore, c.after.isEmpty() ? 1 : 0);
        EXPECT_EQ(outline(), c.after.isEmpty() ? Initial : c.after);
        EXPECT_EQ(selected(), QString::fromLatin1(c.selectedAfter));
        if (c.after.isEmpty()) {
            EXPECT_EQ(undo->canUndo(), couldUndo);
            continue;
        }
        undo->undo();
        spin();
        EXPECT_EQ(outline(), Initial);
        EXPECT_EQ(selected(), before);
        undo->redo();
        spin();
        EXPECT_EQ(outline(), c.after);
        EXPECT_EQ(selected(), QString::fromLatin1(c.selectedAfter));
        undo->undo();
        spin();
        ASSERT_EQ(outline(), Initial);
    }
    EXPECT_TRUE(dialogs.openPanelAnswers.empty());
    // The picture panel offers picture files, the text file panel text files.
    ASSERT_EQ(dialogs.openPanels.size(), 3);
    EXPECT_TRUE(dialogs.openPanels[0].allowedExtensions.contains(QStringLiteral("png")));
    EXPECT_FALSE(dialogs.openPanels[2].allowedExtensions.contains(QStringLiteral("png")));
}

TEST_F(NodeCommandsTest, ItemsOfCommandsOnTheSelectedBranchFollowItsState)
{
    select(QStringLiteral("Sub"));
    QAction* flip = item(IXCommands::ToggleCollapser, 0);
    QAction* expand = item(IXCommands::ToggleCollapser, 1);
    QAction* collapse = item(IXCommands::ToggleCollapser, 2);
    EXPECT_TRUE(IXActionBridge::validate(flip));
    EXPECT_EQ(flip->text(), QStringLiteral("Collapse"));
    EXPECT_FALSE(IXActionBridge::validate(expand));
    EXPECT_TRUE(IXActionBridge::validate(collapse));
    IXApplication::instance()->sendAction(IXCommands::ToggleCollapser.toByteArray(), nullptr, collapse);
    spin();
    EXPECT_TRUE(IXActionBridge::validate(flip));
    EXPECT_EQ(flip->text(), QStringLiteral("Expand"));
    EXPECT_TRUE(IXActionBridge::validate(expand));
    EXPECT_FALSE(IXActionBridge::validate(collapse));

    // Floating nodes: removing needs one selected, detaching one with an anchor.
    const struct {
        const char* selection;
        bool remove;
        bool detach;
    } floating[] = {{"Sub", false, false}, {"Note", true, false}, {"pic", true, true}, {"Note,pic", true, true}};
    for (const auto& c : floating) {
        select(QString::fromLatin1(c.selection));
        EXPECT_EQ(IXActionBridge::validate(item(IXCommands::RemoveFloating, 0)), c.remove) << c.selection;
        EXPECT_EQ(IXActionBridge::validate(item(IXCommands::DetachFloatingNode, 0)), c.detach) << c.selection;
    }
    // The title tool decides about editing a title; with nothing selected there is no title, no
    // branch picture and nothing to attach a file to.
    select(QStringLiteral("Two"));
    EXPECT_EQ(IXActionBridge::validate(item(IXCommands::EditTitle, 0)),
              IXToolManager::isToolClassRegistered(IXToolNames::BranchTitle));
    select(QStringLiteral("doc"));
    EXPECT_FALSE(IXActionBridge::validate(item(IXCommands::EditTitle, 0)));
    EXPECT_FALSE(IXActionBridge::validate(item(IXCommands::AddPicture, 1)));
    EXPECT_FALSE(IXActionBridge::validate(item(IXCommands::AttachTextFile, 0)));
    EXPECT_TRUE(IXActionBridge::validate(item(IXCommands::AddPicture, 0)));
}

TEST(NodeCommandsPlacement, ANewRootInsideTheGrownRootCellsGoesToTheirNearerEdges)
{
    const PLRect roots(100, 200, 300, 100);  // grown: x 80 to 420, y 180 to 320
    const struct {
        PLPoint candidate;
        PLPoint placed;
    } cases[] = {
        {PLPoint(90, 190), PLPoint(80, 180)},   {PLPoint(410, 310), PLPoint(420, 320)},
        {PLPoint(250, 250), PLPoint(420, 320)},  // a tie goes to the larger coordinate
        {PLPoint(240, 251), PLPoint(80, 320)},  {PLPoint(85, 319), PLPoint(80, 320)},
        {PLPoint(79, 250), PLPoint(79, 250)},   {PLPoint(250, 320), PLPoint(250, 320)},  // outside
    };
    for (const auto& c : cases) {
        const PLPoint placed = IXNodeCommands::placementOutsideRoots(c.candidate, roots);
        EXPECT_EQ(placed.x, c.placed.x) << c.candidate.x << "," << c.candidate.y;
        EXPECT_EQ(placed.y, c.placed.y) << c.candidate.x << "," << c.candidate.y;
    }
    EXPECT_EQ(IXNodeCommands::placementOutsideRoots(PLPoint(3, 4), PLRect()).x, 3) << "no root cells";
}

// With a context menu open, a new root and a floating comment go where it was opened; without
// one, a new root in the middle of the roots is pushed out of them.
TEST_F(NodeCommandsTest, NewRootsAndFloatingNodesWithoutAnchorTakeTheMenuPoint)
{
    IXLayoutContext* context = controller->layoutContext();
    IXToolManager::registerToolClass(MenuPointToolName, &IXTool::staticMetaObject,
                                     [](IXToolManager* manager) { return new MenuPointTool(manager); });
    MenuPointTool::point = context->coordinates().convertPointFromCell(PLPoint(1000, -500), nullptr);
    ASSERT_TRUE(IXToolManager::sharedManager()->activateToolNamed(MenuPointToolName, context, IXToolEvent()));
    controller->addBranch(item(IXCommands::AddBranch, 1));
    select(QStringLiteral("doc"));
    // The new root moved the canvas in the view: the menu is opened again at the same place.
    MenuPointTool::point = context->coordinates().convertPointFromCell(PLPoint(1000, -500), nullptr);
    controller->addFloatingComment(nullptr);
    spin();
    const PLPoint root = parentOffset(QStringLiteral("Subject"));
    EXPECT_NEAR(root.x, 1000, 0.01);
    EXPECT_NEAR(root.y, -500, 0.01);
    const PLPoint comment = floatingOffset(node->comments().last());
    EXPECT_NEAR(comment.x, 1000, 0.01);
    EXPECT_NEAR(comment.y, -500, 0.01);
    EXPECT_FALSE(node->comments().last()->floatingTargetNode());

    IXToolManager::sharedManager()->discardCurrentTool();
    MenuPointTool::point = {};
    PLRect roots;
    for (const char* name : {"Main", "Second", "Subject"}) roots = roots.united(cellBounds(QString::fromLatin1(name)));
    select(QStringLiteral("Main"));
    controller->addBranch(item(IXCommands::AddBranch, 1));
    spin();
    const PLPoint pushed
        = controller->layoutContext()->styleForReading(node->rootBranches().last().get())->branchParentOffset();
    const PLPoint centre = context->coordinates().convertPointToCell(
        PLPoint(context->view()->visibleRect().midX(), context->view()->visibleRect().midY()), nullptr);
    const PLPoint expected = IXNodeCommands::placementOutsideRoots(centre, roots);
    EXPECT_EQ(pushed.x, expected.x);
    EXPECT_EQ(pushed.y, expected.y);
}

// A detached branch stands centred 100 below the last root; a floating node anchored to a
// branch stands off it by 0.7 of its cell, mirrored and 200 further out on a left side, and
// below it in a top-down map.
TEST_F(NodeCommandsTest, DetachedBranchesAndAnchoredFloatingNodesArePlacedFromTheCells)
{
    IXLayoutContext* context = controller->layoutContext();
    const PLRect last = cellBounds(QStringLiteral("Second"));
    select(QStringLiteral("Sub"));
    controller->detachBranch(nullptr);
    const PLPoint detached = parentOffset(QStringLiteral("Sub"));
    EXPECT_EQ(detached.x, std::ceil(last.minX() + last.size.width / 2));
    EXPECT_EQ(detached.y, std::ceil(last.minY() - 100 - cellBounds(QStringLiteral("Sub")).size.height / 2));
    document->undoManager()->undo();
    spin();

    // Main's sub-branches spread to both sides of the mind map.
    node->disableUndo();
    for (const char* title : {"East", "West", "North"}) {
        auto child = std::make_shared<IXBranchNode>();
        child->setTitle(QString::fromLatin1(title));
        branch("Main")->insertBranch(child, -1);
    }
    node->enableUndo();
    for (int layout : {0, 1}) {
        controller->setDocumentLayout(layout);
        spin();
        context = controller->layoutContext();
        context->performLayoutIfNeeded();
        int leftSides = 0;
        for (const auto& target : branch("Main")->branches()) {
            IXBranchCell* cell = context->cells().branchCellForNode(target.get());
            ASSERT_TRUE(cell);
            const int type = context->cells().branchGroupCellForNode(target.get())->layoutType();
            leftSides += type == 3 ? 1 : 0;
            const float w = std::ceil(0.7 * cell->frame().size.width), h = std::ceil(0.7 * cell->frame().size.height);
            select(target->storedTitle());
            controller->addFloatingComment(nullptr);
            spin();
            const PLPoint offset = floatingOffset(node->comments().last());
            SCOPED_TRACE(target->storedTitle().toStdString() + " in layout " + std::to_string(layout));
            EXPECT_EQ(node->comments().last()->floatingTargetNode(), target);
            EXPECT_EQ(offset.x, type == 3 ? -(w + 200) : w);
            EXPECT_EQ(offset.y, type == 4 ? -h : h);
            EXPECT_EQ(type == 4, layout == 1);
        }
        if (layout == 0) EXPECT_GT(leftSides, 0);
    }
}

}  // namespace
