#include "DocumentViews/IXOutlineMapView.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXIconsStorage.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXOutlineModel.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLUndoManager.h"
#include "TestSupport/QStringPrinter.h"
#include "UtilityWidgets/UTDateTimeCell.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <random>

namespace {

// A window controller that makes selections the selection of the outline's context and
// records the commands sent to it by name.
class OutlineTestController : public QObject, public IXWindowControlling {
    Q_OBJECT
public:
    std::shared_ptr<IXDocumentNode> node;
    IXLayoutContext* context = nullptr;
    QStringList commands;
    int selections = 0;

    void setSelection(const IXSelection& selection) override
    {
        ++selections;
        if (context) context->setSelection(selection.count() ? selection : IXSelection::selectionWithNode(node));
    }
    void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>&) override { }
    IXOpenDocument* document() const override { return nullptr; }
    std::shared_ptr<IXDocumentNode> documentNode() const override { return node; }
    void addSubbranch() override { commands << QStringLiteral("addSubbranch:"); }
    int documentLayout() const override { return 3; }

    Q_INVOKABLE void addBranch(QObject*) { commands << QStringLiteral("addBranch:"); }
    Q_INVOKABLE void addPrebranch(QObject*) { commands << QStringLiteral("addPrebranch:"); }
    Q_INVOKABLE void removeSelectedNodes(QObject*) { commands << QStringLiteral("removeSelectedNodes:"); }
};

// Icons of fixed widths by name: "wide" is 20 points, any other 12.
class TestIcons : public IXIconsStorage {
public:
    QStringList names() const override { return {QStringLiteral("wide"), QStringLiteral("x"), QStringLiteral("y")}; }
    QImage iconForName(const QString& name) override
    {
        QImage image(name == QStringLiteral("wide") ? 20 : 12, 12, QImage::Format_ARGB32_Premultiplied);
        image.fill(name == QStringLiteral("wide") ? Qt::darkGreen : Qt::red);
        return image;
    }
};

std::shared_ptr<IXBranchNode> makeBranch(const QString& title,
                                         std::initializer_list<std::shared_ptr<IXBranchNode>> children = {})
{
    auto branch = std::make_shared<IXBranchNode>();
    branch->setTitle(title);
    for (const auto& child : children) branch->insertBranch(child, -1);
    return branch;
}

void endTurn()
{
    QCoreApplication::processEvents();
}

// The open cell editor (closed ones are deleted first, so that they are not found).
QLineEdit* openEditor(QWidget* view)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return view->findChild<QLineEdit*>();
}

class OutlineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        IXIconsStorage::install(&icons);
        IXApplicationServices::install(&services);
        document = std::make_shared<IXDocumentNode>();
        // A (A1, A2 (A2a), A3), B, C (C1)
        document->insertRootBranch(makeBranch(QStringLiteral("A"),
                                              {makeBranch(QStringLiteral("A1")),
                                               makeBranch(QStringLiteral("A2"), {makeBranch(QStringLiteral("A2a"))}),
                                               makeBranch(QStringLiteral("A3"))}),
                                   -1);
        document->insertRootBranch(makeBranch(QStringLiteral("B")), -1);
        document->insertRootBranch(makeBranch(QStringLiteral("C"), {makeBranch(QStringLiteral("C1"))}), -1);
        document->setUndoManager(&undo);
        controller.node = document;
        view = new IXOutlineMapView;
        view->resize(640, 320);
        tester = new QAbstractItemModelTester(
            view->outlineModel(), QAbstractItemModelTester::FailureReportingMode::Fatal, view->outlineModel());
        view->attachToController(&controller);
        controller.context = view->layoutContext();
        resets = std::make_unique<QSignalSpy>(view->outlineModel(), &QAbstractItemModel::modelReset);
        endTurn();
    }
    void TearDown() override
    {
        view->detachFromController();
        delete view;
        undo.removeAllActions();
        document->setUndoManager(nullptr);
        IXApplicationServices::install(nullptr);
        IXIconsStorage::install(nullptr);
    }

    std::shared_ptr<IXBranchNode> find(const QString& title) const
    {
        std::vector<std::shared_ptr<IXBranchNode>> pending;
        for (const auto& root : document->rootBranches())
            pending.push_back(std::static_pointer_cast<IXBranchNode>(root));
        while (!pending.empty()) {
            auto branch = pending.back();
            pending.pop_back();
            if (branch->title() == title) return branch;
            for (const auto& child : branch->branches()) pending.push_back(child);
        }
        return nullptr;
    }

    // The branches as the document holds them and as the outline shows them, one line each,
    // indented by depth.
    QStringList documentTree() const
    {
        QStringList lines;
        std::function<void(const std::shared_ptr<IXBranchNode>&, int)> walk = [&](const auto& branch, int depth) {
            lines << QString(depth * 2, QLatin1Char(' ')) + branch->title();
            for (const auto& child : branch->branches()) walk(child, depth + 1);
        };
        for (const auto& root : document->rootBranches()) walk(std::static_pointer_cast<IXBranchNode>(root), 0);
        return lines;
    }
    QStringList outlineTree() const
    {
        QStringList lines;
        const QAbstractItemModel* model = view->outlineModel();
        std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& parent, int depth) {
            for (int row = 0; row < model->rowCount(parent); ++row) {
                const QModelIndex index = model->index(row, IXOutlineModel::Title, parent);
                lines << QString(depth * 2, QLatin1Char(' ')) + index.data().toString();
                walk(index.siblingAtColumn(0), depth + 1);
            }
        };
        walk(QModelIndex(), 0);
        return lines;
    }
    void select(const QString& title) { controller.setSelection(IXSelection::selectionWithNode(find(title))); }
    QString selectedTitles() const
    {
        QStringList titles;
        for (const QModelIndex& index : view->selectionModel()->selectedRows(IXOutlineModel::Title))
            titles << index.data().toString();
        titles.sort();
        return titles.join(QLatin1Char(','));
    }

    TestIcons icons;
    FakeApplicationServices services;
    PLUndoManager undo;
    std::shared_ptr<IXDocumentNode> document;
    OutlineTestController controller;
    IXOutlineMapView* view = nullptr;
    QAbstractItemModelTester* tester = nullptr;
    std::unique_ptr<QSignalSpy> resets;
};

}  // namespace

TEST_F(OutlineTest, EditsInTheModelReachTheRowsByRowSignalsAndUndoComesBack)
{
    const QStringList original = documentTree();
    EXPECT_EQ(outlineTree(), original);
    QSignalSpy changes(view->outlineModel(), &QAbstractItemModel::dataChanged);

    const struct {
        const char* what;
        std::function<void()> edit;
    } edits[] = {
        {"retitle", [&] { find(QStringLiteral("A2"))->setTitle(QStringLiteral("A2 renamed")); }},
        {"insert",
         [&] {
             find(QStringLiteral("A"))
                 ->insertBranch(makeBranch(QStringLiteral("New"), {makeBranch(QStringLiteral("Deep"))}), 1);
         }},
        {"remove", [&] { find(QStringLiteral("A"))->removeBranch(find(QStringLiteral("A1"))); }},
        {"move down", [&] { find(QStringLiteral("A"))->moveBranchAtIndex(0, 2); }},
        {"move up", [&] { find(QStringLiteral("A"))->moveBranchAtIndex(2, 0); }},
        {"root insert", [&] { document->insertRootBranch(makeBranch(QStringLiteral("D")), 1); }},
        {"root remove", [&] { document->removeRootBranch(find(QStringLiteral("B"))); }},
        {"replace all",
         [&] {
             find(QStringLiteral("C"))->setBranches({makeBranch(QStringLiteral("X")), makeBranch(QStringLiteral("Y"))});
         }},
        {"between parents",
         [&] {
             const auto moved = find(QStringLiteral("A3"));
             find(QStringLiteral("A"))->removeBranch(moved);
             find(QStringLiteral("X"))->insertBranch(moved, 0);
         }},
    };
    for (const auto& step : edits) {
        step.edit();
        EXPECT_EQ(outlineTree(), documentTree()) << step.what;
        endTurn();
    }
    EXPECT_GT(changes.count(), 0);
    while (undo.canUndo()) {
        undo.undo();
        EXPECT_EQ(outlineTree(), documentTree());
    }
    EXPECT_EQ(outlineTree(), original);
    // Never by resetting the model.
    EXPECT_EQ(resets->count(), 0);
}

TEST_F(OutlineTest, IndentOutdentAndMovesByKeysGiveTheTreesAndUndoInOneStep)
{
    const QStringList original = documentTree();
    const struct {
        const char* row;
        Qt::Key key;
        QStringList tree;  // empty: nothing changes
    } cases[] = {
        // The first sub-branch has no previous sibling to go under.
        {"A1", Qt::Key_Right, {}},
        {"A2", Qt::Key_Right, {"A", "  A1", "    A2", "      A2a", "  A3", "B", "C", "  C1"}},
        // Outdenting the middle one of three makes the third its child.
        {"A2", Qt::Key_Left, {"A", "  A1", "A2", "  A2a", "  A3", "B", "C", "  C1"}},
        {"B", Qt::Key_Left, {}},
        {"A", Qt::Key_Up, {}},
        {"C", Qt::Key_Down, {}},
        {"B", Qt::Key_Up, {"B", "A", "  A1", "  A2", "    A2a", "  A3", "C", "  C1"}},
        {"A1", Qt::Key_Down, {"A", "  A2", "    A2a", "  A1", "  A3", "B", "C", "  C1"}},
        {"C", Qt::Key_Right, {"A", "  A1", "  A2", "    A2a", "  A3", "B", "  C", "    C1"}},
    };
    for (const auto& step : cases) {
        select(QString::fromLatin1(step.row));
        EXPECT_EQ(selectedTitles(), QString::fromLatin1(step.row));
        QTest::keyClick(view, step.key, Qt::AltModifier);
        const QStringList expected = step.tree.isEmpty() ? original : step.tree;
        EXPECT_EQ(documentTree(), expected) << step.row;
        EXPECT_EQ(outlineTree(), expected) << step.row;
        endTurn();
        if (!step.tree.isEmpty()) {
            // One undo step brings the tree back.
            ASSERT_TRUE(undo.canUndo());
            undo.undo();
            EXPECT_EQ(documentTree(), original) << step.row;
            EXPECT_EQ(outlineTree(), original) << step.row;
        }
        EXPECT_FALSE(undo.canUndo()) << step.row;
    }
    EXPECT_EQ(resets->count(), 0);
}

TEST_F(OutlineTest, KeysSendTheWindowCommandsAndTypingEditsTheTitle)
{
    select(QStringLiteral("B"));
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Return, Qt::AltModifier);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(controller.commands,
              QStringList({"addBranch:", "addPrebranch:", "addSubbranch:", "removeSelectedNodes:"}));

    // Typing starts the edit with the letter typed; Return ends it on the row.
    QTest::keyClick(view, 'Q');
    ASSERT_TRUE(view->isEditing());
    auto* editor = openEditor(view);
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, QStringLiteral("uick"));
    QTest::keyClick(editor, Qt::Key_Return);
    endTurn();
    EXPECT_EQ(find(QStringLiteral("Quick")), std::static_pointer_cast<IXBranchNode>(document->rootBranches().at(1)));
    EXPECT_EQ(selectedTitles(), QStringLiteral("Quick"));

    // Escape during the edit drops it.
    QTest::keyClick(view, Qt::Key_F2);
    editor = openEditor(view);
    ASSERT_TRUE(editor);
    editor->setText(QStringLiteral("Dropped"));
    QTest::keyClick(editor, Qt::Key_Escape);
    endTurn();
    EXPECT_FALSE(find(QStringLiteral("Dropped")));
    EXPECT_TRUE(find(QStringLiteral("Quick")));

    // Escape outside an edit clears the selection: the document is selected.
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_EQ(selectedTitles(), QString());
    EXPECT_TRUE(view->layoutContext()->selection().lastNode()->isDocument());
}

TEST_F(OutlineTest, SelectionAndCollapseFollowTheMapBothWays)
{
    // The context's selection selects rows.
    controller.setSelection(IXSelection::selectionWithArray({find(QStringLiteral("A2a")), find(QStringLiteral("C"))}));
    EXPECT_EQ(selectedTitles(), QStringLiteral("A2a,C"));
    // Rows selected by the user become the window's selection, in row order.
    view->selectionModel()->select(view->indexForBranch(find(QStringLiteral("B")).get(), 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_EQ(view->layoutContext()->selection().count(), 1);
    EXPECT_EQ(view->layoutContext()->selection().lastNode()->title(), QStringLiteral("B"));

    // A branch collapsed in the map closes its row; opened, the row opens.
    const QModelIndex a = view->indexForBranch(find(QStringLiteral("A")).get(), 0);
    EXPECT_TRUE(view->isExpanded(a));
    find(QStringLiteral("A"))->style()->setBranchCollapsed(true);
    EXPECT_FALSE(view->isExpanded(a));
    endTurn();
    find(QStringLiteral("A"))->style()->setBranchCollapsed(false);
    EXPECT_TRUE(view->isExpanded(a));
    endTurn();
    // A row closed in the outline collapses the branch (undoably).
    view->collapse(view->indexForBranch(find(QStringLiteral("C")).get(), 0));
    EXPECT_TRUE(find(QStringLiteral("C"))->existingStyle()->branchCollapsed());
    endTurn();
    undo.undo();
    EXPECT_FALSE(find(QStringLiteral("C"))->existingStyle()->branchCollapsed());
    EXPECT_TRUE(view->isExpanded(view->indexForBranch(find(QStringLiteral("C")).get(), 0)));

    // An inserted collapsed subtree arrives closed; its open rows arrive open.
    auto added
        = makeBranch(QStringLiteral("N"), {makeBranch(QStringLiteral("N1"), {makeBranch(QStringLiteral("N1a"))})});
    find(QStringLiteral("B"))->insertBranch(added, -1);
    find(QStringLiteral("N1"))->style()->setBranchCollapsed(true);
    EXPECT_TRUE(view->isExpanded(view->indexForBranch(find(QStringLiteral("B")).get(), 0)));
    EXPECT_TRUE(view->isExpanded(view->indexForBranch(find(QStringLiteral("N")).get(), 0)));
    EXPECT_FALSE(view->isExpanded(view->indexForBranch(find(QStringLiteral("N1")).get(), 0)));

    // With a filter, the one top row is the filter branch.
    view->layoutContext()->setBranchFilter(find(QStringLiteral("A")));
    EXPECT_EQ(outlineTree(), QStringList({"A", "  A1", "  A2", "    A2a", "  A3"}));
    view->layoutContext()->setBranchFilter(nullptr);
    EXPECT_EQ(outlineTree(), documentTree());
}

TEST_F(OutlineTest, ColumnsSwitchAndAutoHideAndKeepTheirStateInTheDocument)
{
    auto shown = [&] {
        QStringList ids;
        for (int column = 0; column < IXOutlineModel::ColumnCount; ++column)
            if (!view->isColumnHidden(column)) ids << IXOutlineModel::columnIdentifiers()[column];
        return ids.join(QLatin1Char(','));
    };
    EXPECT_EQ(shown(), QStringLiteral("picture,comment,attachment,icons,title,start,end"));
    view->toggleColumn(IXOutlineModel::Start);
    view->toggleColumn(IXOutlineModel::End);
    view->toggleColumn(IXOutlineModel::Title);
    EXPECT_EQ(shown(), QStringLiteral("picture,comment,attachment,icons,title"));
    EXPECT_EQ(document->userInterfaceOptions().value(QStringLiteral("IXOutlineDisabledColumns")).toStringList(),
              QStringList({"start", "end"}));
    // Back in its own place, not at the end.
    view->toggleColumn(IXOutlineModel::Start);
    EXPECT_EQ(shown(), QStringLiteral("picture,comment,attachment,icons,title,start"));
    EXPECT_EQ(view->header()->visualIndex(IXOutlineModel::Start), IXOutlineModel::Start);

    // The menu shows the state; the title's item is on and disabled.
    for (QAction* item : view->columnMenu()->actions()) {
        if (item->isSeparator()) continue;
        view->validateMenuItem(item);
        const int tag = item->data().toInt();
        if (tag == IXOutlineModel::Title)
            EXPECT_FALSE(item->isEnabled());
        else if (tag == IXOutlineModel::End)
            EXPECT_FALSE(item->isChecked());
        else if (tag >= 0)
            EXPECT_TRUE(item->isChecked());
    }

    // Auto-hide: an indicator column shows while one shown row has a value.
    view->setAutoHideEmptyColumns(true);
    EXPECT_TRUE(document->userInterfaceOptions().value(QStringLiteral("IXOutlineAutohideColumns")).toBool());
    EXPECT_EQ(shown(), QStringLiteral("title,start"));
    find(QStringLiteral("A2a"))->addComment();
    EXPECT_EQ(shown(), QStringLiteral("comment,title,start"));
    // Collapsed rows do not count.
    find(QStringLiteral("A2"))->style()->setBranchCollapsed(true);
    EXPECT_EQ(shown(), QStringLiteral("title,start"));
    find(QStringLiteral("A2"))->style()->setBranchCollapsed(false);
    EXPECT_EQ(shown(), QStringLiteral("comment,title,start"));
    find(QStringLiteral("A2a"))->removeComment();
    EXPECT_EQ(shown(), QStringLiteral("title,start"));
    find(QStringLiteral("B"))->setIcons({QStringLiteral("wide"), QStringLiteral("x")});
    EXPECT_EQ(shown(), QStringLiteral("icons,title,start"));
    EXPECT_EQ(view->shownCounts().iconsWidth, 33);
    EXPECT_EQ(view->shownCounts(), view->shownColumnCounts());
}

TEST_F(OutlineTest, ShownCountsKeptByEditsMatchAFullRecount)
{
    // Random edits, collapses and undos; after each the kept counts equal a fresh walk.
    std::mt19937 random(32);
    QList<std::shared_ptr<IXBranchNode>> all;
    auto collect = [&] {
        all.clear();
        std::vector<std::shared_ptr<IXBranchNode>> pending;
        for (const auto& root : document->rootBranches())
            pending.push_back(std::static_pointer_cast<IXBranchNode>(root));
        while (!pending.empty()) {
            auto branch = pending.back();
            pending.pop_back();
            all << branch;
            for (const auto& child : branch->branches()) pending.push_back(child);
        }
    };
    for (int step = 0; step < 300; ++step) {
        collect();
        const auto& branch = all[int(random() % unsigned(all.size()))];
        switch (random() % 8) {
        case 0:
            branch->insertBranch(makeBranch(QStringLiteral("n%1").arg(step)), -1);
            break;
        case 1:
            if (auto* parent = branch->parentBranch()) parent->removeBranch(branch);
            break;
        case 2:
            branch->comment() ? branch->removeComment() : void(branch->addComment());
            break;
        case 3:
            branch->picture() ? branch->removePicture() : void(branch->addPicture());
            break;
        case 4:
            branch->setIcons(random() % 2 ? QStringList {QStringLiteral("wide")}
                                          : QStringList {QStringLiteral("x"), QStringLiteral("y")});
            break;
        case 5:
            branch->style()->setBranchCollapsed(!branch->style()->branchCollapsed());
            break;
        case 6:
            branch->addAttachment();
            break;
        default:
            endTurn();
            if (undo.canUndo()) undo.undo();
            break;
        }
        ASSERT_EQ(view->shownCounts(), view->shownColumnCounts()) << "step " << step;
        ASSERT_EQ(outlineTree(), documentTree()) << "step " << step;
    }
    EXPECT_EQ(resets->count(), 0);
}

TEST_F(OutlineTest, RowDropsMoveBranchesAsTheDropLineSaysInOneUndoStep)
{
    IXOutlineModel* model = view->outlineModel();
    const QStringList original = documentTree();
    auto drag = [&](QStringList titles) {
        QModelIndexList indexes;
        for (const QString& title : titles) indexes << view->indexForBranch(find(title).get(), 0);
        return std::unique_ptr<QMimeData>(model->mimeData(indexes));
    };
    auto row = [&](const char* title) { return view->indexForBranch(find(QString::fromLatin1(title)).get(), 0); };
    const struct {
        const char* what;
        QStringList dragged;
        const char* parent;  // null: the root level
        int index;
        QStringList tree;
    } cases[] = {
        // Onto a row itself: its first children, in selection order.
        {"onto a row", {"C1", "A3"}, "B", -1, {"A", "  A1", "  A2", "    A2a", "B", "  C1", "  A3", "C"}},
        // Two places down within the parent: just below the drop line.
        {"down in parent", {"A1"}, "A", 3, {"A", "  A2", "    A2a", "  A3", "  A1", "B", "C", "  C1"}},
        {"roots reorder", {"C"}, nullptr, 0, {"C", "  C1", "A", "  A1", "  A2", "    A2a", "  A3", "B"}},
        // A row dragged with its parent travels with it: only the topmost move.
        {"nested rows", {"A2a", "A2", "B"}, "C", 1, {"A", "  A1", "  A3", "C", "  C1", "  A2", "    A2a", "  B"}},
    };
    for (const auto& step : cases) {
        auto data = drag(step.dragged);
        const QModelIndex parent = step.parent ? row(step.parent) : QModelIndex();
        ASSERT_TRUE(model->canDropMimeData(data.get(), Qt::MoveAction, step.index, 0, parent)) << step.what;
        model->dropMimeData(data.get(), Qt::MoveAction, step.index, 0, parent);
        EXPECT_EQ(documentTree(), step.tree) << step.what;
        EXPECT_EQ(outlineTree(), step.tree) << step.what;
        endTurn();
        undo.undo();
        EXPECT_EQ(documentTree(), original) << step.what;
        EXPECT_FALSE(undo.canUndo()) << step.what;
    }
    // Onto a dragged row or below one: refused.
    auto data = drag({QStringLiteral("A")});
    EXPECT_FALSE(model->canDropMimeData(data.get(), Qt::MoveAction, -1, 0, row("A")));
    EXPECT_FALSE(model->canDropMimeData(data.get(), Qt::MoveAction, 0, 0, row("A2a")));
    EXPECT_TRUE(model->canDropMimeData(data.get(), Qt::MoveAction, 0, 0, row("B")));
}

TEST_F(OutlineTest, DatesAreTypedInEachTimeScaleAndAnEndBeforeTheBeginIsRefused)
{
    IXOutlineModel* model = view->outlineModel();
    const auto branch = find(QStringLiteral("B"));
    const QModelIndex start = view->indexForBranch(branch.get(), IXOutlineModel::Start);
    const QModelIndex end = start.siblingAtColumn(IXOutlineModel::End);
    // No begin date: the end cannot be edited.
    EXPECT_FALSE(model->flags(end) & Qt::ItemIsEditable);

    const struct {
        int scale;
        UTDateTime value;
    } scales[] = {{0, UTDateTime::fromYears(2024, 3, 5)},
                  {1, UTDateTime::fromDays(12)},
                  {2, UTDateTime::fromWeeks(3, 2)},
                  {3, UTDateTime::fromYears(1200)},
                  {4, UTDateTime::fromYears(-65000000)}};
    for (const auto& step : scales) {
        document->setTimeScaleType(step.scale);
        const UTDateTimeFormatter formatter(UTDateTimeFormatter::formatTypeForTimeScale(step.scale));
        branch->setBeginDate(std::nullopt);
        select(QStringLiteral("B"));
        view->editStartDate(nullptr);
        auto* editor = openEditor(view);
        ASSERT_TRUE(editor) << step.scale;
        ASSERT_TRUE(view->isEditing());
        editor->setText(formatter.editingStringForObjectValue(step.value));
        std::optional<UTDateTime> parsed;
        EXPECT_TRUE(formatter.getObjectValue(&parsed, editor->text())) << editor->text().toStdString();
        QTest::keyClick(editor, Qt::Key_Return);
        endTurn();
        ASSERT_TRUE(branch->beginDate()) << step.scale;
        EXPECT_TRUE(branch->beginDate()->isEqual(step.value)) << step.scale;
        // Shown in the scale's style.
        auto* cell = qobject_cast<UTDateTimeCell*>(view->itemDelegateForColumn(IXOutlineModel::Start));
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->displayText(start.data(), QLocale()), formatter.stringForObjectValue(step.value)) << step.scale;
    }

    document->setTimeScaleType(0);
    branch->setBeginDate(UTDateTime::fromYears(2024, 3, 5));
    EXPECT_TRUE(model->flags(end) & Qt::ItemIsEditable);
    // Earlier than the begin date: an alert, no change.
    EXPECT_FALSE(model->setData(end, UTDateTimeCell::variantFromDate(UTDateTime::fromYears(2024, 3, 4))));
    EXPECT_FALSE(branch->endDate());
    ASSERT_EQ(services.alerts.size(), 1);
    EXPECT_TRUE(services.alerts.first().startsWith(QStringLiteral("The value can not be applied|")));
    // The same day is accepted.
    EXPECT_TRUE(model->setData(end, UTDateTimeCell::variantFromDate(UTDateTime::fromYears(2024, 3, 5))));
    EXPECT_TRUE(branch->endDate());
    EXPECT_EQ(services.alerts.size(), 1);

    // Changing the time scale during an edit ends it without applying it.
    view->editStartDate(nullptr);
    auto* editor = openEditor(view);
    ASSERT_TRUE(editor);
    editor->setText(QStringLiteral("1/1/1999"));
    document->setTimeScaleType(1);
    endTurn();
    EXPECT_FALSE(view->isEditing());
    EXPECT_TRUE(branch->beginDate()->isEqual(UTDateTime::fromYears(2024, 3, 5)));
}

TEST_F(OutlineTest, PictureOfTheOutline)
{
    find(QStringLiteral("A1"))->addPicture();
    find(QStringLiteral("A2"))->addComment();
    find(QStringLiteral("B"))->addAttachment();
    find(QStringLiteral("C"))->setIcons({QStringLiteral("wide"), QStringLiteral("x")});
    find(QStringLiteral("A"))->setBeginDate(UTDateTime::fromYears(2024, 3, 5));
    find(QStringLiteral("A"))->setEndDate(UTDateTime::fromYears(2024, 4, 1));
    select(QStringLiteral("A2"));
    view->show();
    endTurn();
    const QImage picture = view->grab().toImage();
    QDir().mkpath(QStringLiteral(IX_SOURCE_DIR "/renders"));
    picture.save(QStringLiteral(IX_SOURCE_DIR "/renders/outline.png"));
    // Root branches and their children are banded; deeper rows are not.
    const QModelIndex rootRow = view->indexForBranch(find(QStringLiteral("B")).get(), IXOutlineModel::Title);
    const QModelIndex deepRow = view->indexForBranch(find(QStringLiteral("A2a")).get(), IXOutlineModel::Title);
    const QPoint offset = view->viewport()->pos();
    const QColor root = picture.pixelColor(view->visualRect(rootRow).topRight() + offset + QPoint(-3, 3));
    const QColor deep = picture.pixelColor(view->visualRect(deepRow).topRight() + offset + QPoint(-3, 3));
    EXPECT_NE(root, deep);
    QFont bold = view->outlineModel()->data(rootRow, Qt::FontRole).value<QFont>();
    EXPECT_TRUE(bold.bold());
    EXPECT_FALSE(view->outlineModel()->data(deepRow, Qt::FontRole).value<QFont>().bold());
}

#include "IXOutlineMapViewTests.moc"
