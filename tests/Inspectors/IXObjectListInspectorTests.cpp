// The object list over a branch with a text note, a connection, a web link and an attached
// file: its rows, editing each row in place in one undo step, including all in export,
// deleting and opening; and the cell list's tiling under it.
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXReferenceOpening.h"
#include "IXInspectorFixtureMap.h"
#include "Inspectors/IXCellListView.h"
#include "Inspectors/IXListView.h"
#include "Inspectors/IXObjectListInspector.h"
#include "Inspectors/IXReferenceInfoCell.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Part = IXReferenceInfoCell::Part;

// A window controller that opens references as the shell's does: by its "openReference"
// action, whose sender carries what to open.
class OpeningController : public QObject, public FakeInspectedController {
    Q_OBJECT
public:
    Q_INVOKABLE void openReference(QObject* sender)
    {
        if (auto* item = qobject_cast<QAction*>(sender)) opened.push_back(item->data().value<IXReferenceOpening>());
    }
    std::vector<IXReferenceOpening> opened;
};

class ObjectListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller.m_layout = controller.m_document->layoutForName(QStringLiteral("mindmap"));
        branch = controller.addBranch(QStringLiteral("Topic"));
        other = controller.addBranch(QStringLiteral("Other"));
        note = branch->addTextnote();
        note->setTitle(QStringLiteral("Minutes"));
        connection = branch->addConnection();
        connection->setTargetNode(other);
        connection->setTitle(QStringLiteral("Depends on"));
        web = branch->addAttachmentWithType(IXReferenceNode::SubtypeWeb);
        web->setTitle(QStringLiteral("Site"));
        web->setTargetRef(QStringLiteral("https://example.org/"));
        file = branch->addAttachmentWithType(IXReferenceNode::SubtypeFile);
        file->setTitle(QStringLiteral("Plan"));
        file->setFilePath(QStringLiteral("/tmp/plan.txt"));
        spinEventLoop();
        controller.m_undo.removeAllActions();
        view = inspector.inspectorView();
        view->resize(300, 10);
        inspector.setTracksControllerSelection(true);
        inspector.setController(&controller);
        select({branch});
    }
    void TearDown() override { inspector.setController(nullptr); }

    void select(std::initializer_list<std::shared_ptr<IXNode>> nodes)
    {
        controller.select(IXSelection::selectionWithArray(IXSelection::NodeList(nodes)));
        spinEventLoop();
    }
    IXCellListView* list() { return inspector.listView(); }
    IXReferenceInfoCell* row(qsizetype index) { return dynamic_cast<IXReferenceInfoCell*>(list()->cellAtIndex(index)); }
    IXReferenceInfoCell* row(const std::shared_ptr<IXReferenceNode>& node)
    {
        return inspector.cellForReference(node.get());
    }
    void openRow(IXReferenceInfoCell* cell)
    {
        cell->expand();
        list()->setNeedsTile();
        list()->tile();
        cell->tileWithFrame(list()->rectOfCell(list()->indexOfCell(cell)));
    }
    QPoint centreOf(IXReferenceInfoCell* cell, Part part)
    {
        list()->tile();
        cell->tileWithFrame(list()->rectOfCell(list()->indexOfCell(cell)));
        return cell->partRect(part).center().toPoint();
    }
    // Clicks the part, types the text into the field editor and presses Return.
    void typeInto(IXReferenceInfoCell* cell, Part part, const QString& text)
    {
        QTest::mouseClick(list(), Qt::LeftButton, {}, centreOf(cell, part));
        QLineEdit* editor = list()->fieldEditor();
        ASSERT_NE(editor, nullptr);
        ASSERT_FALSE(editor->isReadOnly());
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        spinEventLoop();
    }
    void undo()
    {
        spinEventLoop();
        controller.m_undo.undo();
        spinEventLoop();
    }

    FakeApplicationServices services;
    OpeningController controller;
    IXObjectListInspector inspector;
    QWidget* view = nullptr;
    std::shared_ptr<IXBranchNode> branch, other;
    std::shared_ptr<IXReferenceNode> note, web, file;
    std::shared_ptr<IXConnectionNode> connection;
};

TEST_F(ObjectListTest, ListsEveryReferenceOfTheSelectedBranchesInTheirOrder)
{
    EXPECT_TRUE(inspector.isApplicable());
    EXPECT_EQ(inspector.inspectorTitle(), "Object List");
    const std::vector<std::shared_ptr<IXReferenceNode>> expected {note, connection, web, file};
    EXPECT_EQ(inspector.references(), expected);
    ASSERT_EQ(list()->count(), 4);
    for (qsizetype i = 0; i < 4; ++i) {
        EXPECT_EQ(row(i)->node(), expected[size_t(i)]);
        EXPECT_FALSE(row(i)->isExpanded());
    }
    EXPECT_EQ(row(2)->titleText(), "Site");

    // A second branch adds its references after the first's; nothing selected, nothing listed.
    auto extra = other->addAttachmentWithType(IXReferenceNode::SubtypeWeb);
    select({branch, other});
    EXPECT_EQ(inspector.references().size(), 5U);
    EXPECT_EQ(inspector.references().back(), extra);
    select({});
    EXPECT_FALSE(inspector.isApplicable());
    EXPECT_EQ(list()->count(), 0);

    // Branches without references: applicable, an empty list, the check box disabled.
    auto bare = controller.addBranch(QStringLiteral("Bare"));
    select({bare});
    EXPECT_TRUE(inspector.isApplicable());
    EXPECT_EQ(list()->count(), 0);
    EXPECT_FALSE(inspector.includeAllButton()->isEnabled());

    // The print layout takes no selection.
    controller.m_documentLayout = IXObjectListInspector::PrintLayout;
    select({branch});
    EXPECT_FALSE(inspector.isApplicable());
}

TEST_F(ObjectListTest, OpenRowsShowThePartsOfTheirKind)
{
    const QList<Part> header {Part::Triangle, Part::Icon, Part::Title, Part::ExportMark};
    const struct {
        std::shared_ptr<IXReferenceNode> node;
        QList<Part> details;
    } cases[] = {
        {note, {Part::Export}},
        // The connection's link row needs a related link; it has none.
        {connection, {Part::Export}},
        {web, {Part::Export, Part::LinkLabel, Part::Link, Part::OpenIn, Part::AsButton}},
        {file, {Part::Export, Part::LinkLabel, Part::Link, Part::BrowseLink, Part::AsButton}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node->title().toStdString());
        IXReferenceInfoCell* cell = row(c.node);
        ASSERT_NE(cell, nullptr);
        const double closedHeight = cell->heightForWidth(280);
        for (int part = 0; part < Part::PartCount; ++part)
            EXPECT_EQ(cell->shows(Part(part)), header.contains(Part(part))) << part;
        EXPECT_EQ(cell->tileWithFrame(QRectF(4, 4, 280, 0)).height(), closedHeight);
        openRow(cell);
        double details = 0;
        for (int part = 0; part < Part::PartCount; ++part) {
            const bool shown = header.contains(Part(part)) || c.details.contains(Part(part));
            EXPECT_EQ(cell->shows(Part(part)), shown) << part;
            // Rows after the header: the check boxes and the two text rows (each counted once).
            if (shown
                && (part == Part::Export || part == Part::OpenIn || part == Part::AsButton || part == Part::Link
                    || part == Part::Reference))
                details += cell->partRect(Part(part)).height() + IXReferenceInfoCell::Gap;
        }
        // Open: a gap above the header and one below the rows besides the rows themselves.
        EXPECT_DOUBLE_EQ(cell->heightForWidth(280), closedHeight + 2 * IXReferenceInfoCell::Gap + details);
        const QRectF frame = list()->rectOfCell(list()->indexOfCell(cell));
        cell->tileWithFrame(frame);
        for (int part = 0; part < Part::PartCount; ++part)
            if (cell->shows(Part(part))) EXPECT_TRUE(frame.contains(cell->partRect(Part(part)))) << part;
    }
    EXPECT_EQ(row(web)->linkText(), "https://example.org/");
    EXPECT_TRUE(row(web)->isLinkEditable());
    EXPECT_EQ(row(file)->linkText(), "/tmp/plan.txt");
    EXPECT_FALSE(row(file)->isLinkEditable());

    // With a related link a connection shows where it leads, with a browse button.
    connection->addRelatedLink()->setFilePath(QStringLiteral("/tmp/target.txt"));
    spinEventLoop();
    IXReferenceInfoCell* cell = row(connection);
    EXPECT_TRUE(cell->shows(Part::Reference));
    EXPECT_TRUE(cell->shows(Part::BrowseRef));
    EXPECT_EQ(cell->pathText(), "/tmp/target.txt");
}

TEST_F(ObjectListTest, EachInPlaceEditIsOneUndoStep)
{
    struct Edit {
        std::shared_ptr<IXReferenceNode> node;
        Part part;
        QString typed;
        QString title;
        QString target;
    };
    const Edit edits[] = {
        {note, Part::Title, QStringLiteral("Agenda"), QStringLiteral("Agenda"), note->targetRef()},
        {connection, Part::Title, QStringLiteral("Blocks"), QStringLiteral("Blocks"), connection->targetRef()},
        {file, Part::Title, QStringLiteral("Budget"), QStringLiteral("Budget"), file->targetRef()},
        // A web link without ":" gets "http://" in front; one with ":" is kept as typed.
        {web, Part::Link, QStringLiteral("example.com/a"), QStringLiteral("Site"),
         QStringLiteral("http://example.com/a")},
        {web, Part::Link, QStringLiteral("ftp://example.com/f"), QStringLiteral("Site"),
         QStringLiteral("ftp://example.com/f")},
        // A text that makes no address keeps the link there was, with nothing to undo.
        {web, Part::Link, QStringLiteral("[::1"), QStringLiteral("Site"), QStringLiteral("https://example.org/")},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.typed.toStdString());
        const QString titleBefore = edit.node->title();
        const QString targetBefore = edit.node->targetRef();
        IXReferenceInfoCell* cell = row(edit.node);
        ASSERT_NE(cell, nullptr);
        if (edit.part != Part::Title) openRow(cell);
        typeInto(cell, edit.part, edit.typed);
        EXPECT_EQ(edit.node->title(), edit.title);
        EXPECT_EQ(edit.node->targetRef(), edit.target);
        undo();
        EXPECT_EQ(edit.node->title(), titleBefore);
        EXPECT_EQ(edit.node->targetRef(), targetBefore);
        EXPECT_FALSE(controller.m_undo.canUndo());
    }

    // An e-mail link is kept as typed.
    row(web)->linkTypeSelect(IXReferenceInfoCell::LinkMail);
    EXPECT_EQ(web->subtype(), IXReferenceNode::SubtypeMail);
    typeInto(row(web), Part::Link, QStringLiteral("ann@example.org"));
    EXPECT_EQ(web->targetRef(), "mailto:ann@example.org");
    undo();
    EXPECT_EQ(web->targetRef(), "https://example.org/");
    undo();
    EXPECT_EQ(web->subtype(), IXReferenceNode::SubtypeWeb);

    // Escape leaves the title as it was and records nothing.
    QTest::mouseClick(list(), Qt::LeftButton, {}, centreOf(row(note), Part::Title));
    ASSERT_NE(list()->fieldEditor(), nullptr);
    QTest::keyClicks(list()->fieldEditor(), QStringLiteral("zzz"));
    QTest::keyClick(list()->fieldEditor(), Qt::Key_Escape);
    spinEventLoop();
    EXPECT_EQ(note->title(), "Minutes");
    EXPECT_FALSE(controller.m_undo.canUndo());
}

TEST_F(ObjectListTest, CheckBoxesAndLinkKindsChangeTheNodeInOneStep)
{
    openRow(row(web));
    const struct {
        Part part;
        std::function<bool()> read;
    } boxes[] = {
        {Part::Export, [this] { return web->includeInExport(); }},
        {Part::OpenIn, [this] { return web->htmlOpenInNewWindow(); }},
        {Part::AsButton, [this] { return web->htmlShowAsButton(); }},
    };
    for (const auto& box : boxes) {
        SCOPED_TRACE(int(box.part));
        const bool before = box.read();
        QTest::mouseClick(list(), Qt::LeftButton, {}, centreOf(row(web), box.part));
        EXPECT_EQ(box.read(), !before);
        undo();
        EXPECT_EQ(box.read(), before);
    }

    // Choosing the kind it has already keeps the link.
    row(web)->linkTypeSelect(IXReferenceInfoCell::LinkWeb);
    EXPECT_EQ(web->targetRef(), "https://example.org/");
    EXPECT_FALSE(controller.m_undo.canUndo());

    // "No Link" on a plain link clears its target and kind, and the link field goes dim.
    row(web)->linkTypeSelect(IXReferenceInfoCell::NoLink);
    EXPECT_EQ(web->subtype(), IXReferenceNode::SubtypeNone);
    EXPECT_TRUE(web->targetRef().isEmpty());
    EXPECT_FALSE(row(web)->isLinkEnabled());
    undo();
    EXPECT_EQ(web->subtype(), IXReferenceNode::SubtypeWeb);
    EXPECT_EQ(web->targetRef(), "https://example.org/");

    // A picture attachment keeps its link in its related link: a kind makes one, "No Link"
    // removes it.
    auto picture = branch->addAttachmentWithType(IXReferenceNode::SubtypePicture);
    spinEventLoop();
    controller.m_undo.removeAllActions();
    IXReferenceInfoCell* cell = row(picture);
    ASSERT_NE(cell, nullptr);
    cell->linkTypeSelect(IXReferenceInfoCell::LinkWeb);
    ASSERT_NE(picture->relatedLink(), nullptr);
    EXPECT_EQ(picture->relatedLink()->subtype(), IXReferenceNode::SubtypeWeb);
    openRow(cell);
    typeInto(cell, Part::Link, QStringLiteral("example.net"));
    EXPECT_EQ(picture->relatedLink()->targetRef(), "http://example.net");
    cell->linkTypeSelect(IXReferenceInfoCell::NoLink);
    EXPECT_EQ(picture->relatedLink(), nullptr);
    undo();
    ASSERT_NE(picture->relatedLink(), nullptr);
    EXPECT_EQ(picture->relatedLink()->targetRef(), "http://example.net");
}

TEST_F(ObjectListTest, IncludeAllSetsEveryReference)
{
    QCheckBox* box = inspector.includeAllButton();
    EXPECT_TRUE(box->isEnabled());
    EXPECT_EQ(box->checkState(), Qt::Checked);
    web->setIncludeInExport(false);
    spinEventLoop();
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    controller.m_undo.removeAllActions();

    // From mixed a click includes all, in one step.
    QTest::mouseClick(box, Qt::LeftButton);
    spinEventLoop();
    for (const auto& reference : inspector.references()) EXPECT_TRUE(reference->includeInExport());
    EXPECT_EQ(box->checkState(), Qt::Checked);
    QTest::mouseClick(box, Qt::LeftButton);
    spinEventLoop();
    for (const auto& reference : inspector.references()) EXPECT_FALSE(reference->includeInExport());
    EXPECT_EQ(box->checkState(), Qt::Unchecked);
    undo();
    for (const auto& reference : inspector.references()) EXPECT_TRUE(reference->includeInExport());
    undo();
    EXPECT_FALSE(web->includeInExport());
    EXPECT_TRUE(file->includeInExport());
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
}

TEST_F(ObjectListTest, DeleteAndExecuteFromTheRowMenuAndDoubleClick)
{
    std::unique_ptr<QMenu> menu = row(web)->makeContextMenu();
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "Delete Object");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), "Execute");

    items[2]->trigger();
    spinEventLoop();
    ASSERT_EQ(controller.opened.size(), 1U);
    EXPECT_EQ(controller.opened[0].kind, IXReferenceOpening::Kind::WebAddress);
    EXPECT_EQ(controller.opened[0].url, QUrl(QStringLiteral("https://example.org/")));

    // A double click anywhere in a row, the title too, opens it.
    QTest::mouseDClick(list(), Qt::LeftButton, {}, centreOf(row(file), Part::Title));
    spinEventLoop();
    ASSERT_EQ(controller.opened.size(), 2U);
    EXPECT_EQ(controller.opened[1].reference, file);

    items[0]->trigger();
    spinEventLoop();
    EXPECT_FALSE(branch->attachments().contains(web));
    const std::vector<std::shared_ptr<IXReferenceNode>> left {note, connection, file};
    EXPECT_EQ(inspector.references(), left);
    EXPECT_EQ(list()->count(), 3);
    undo();
    EXPECT_EQ(inspector.references().size(), 4U);
}

TEST_F(ObjectListTest, TrianglesOpenOneAllOrOnlyOneRow)
{
    auto openRows = [this] {
        QList<bool> open;
        for (qsizetype i = 0; i < list()->count(); ++i) open.append(row(i)->isExpanded());
        return open;
    };
    QTest::mouseClick(list(), Qt::LeftButton, {}, centreOf(row(1), Part::Triangle));
    EXPECT_EQ(openRows(), QList<bool>({false, true, false, false}));
    list()->tile();
    EXPECT_GT(list()->rectOfCell(1).height(), list()->rectOfCell(0).height());
    QTest::mouseClick(list(), Qt::LeftButton, Qt::AltModifier, centreOf(row(0), Part::Triangle));
    EXPECT_EQ(openRows(), QList<bool>({true, true, true, true}));
    // Ctrl on an open row closes every row, on a closed one leaves only that one open.
    QTest::mouseClick(list(), Qt::LeftButton, Qt::ControlModifier, centreOf(row(2), Part::Icon));
    EXPECT_EQ(openRows(), QList<bool>({false, false, false, false}));
    QTest::mouseClick(list(), Qt::LeftButton, {}, centreOf(row(0), Part::Triangle));
    QTest::mouseClick(list(), Qt::LeftButton, Qt::ControlModifier, centreOf(row(2), Part::Triangle));
    EXPECT_EQ(openRows(), QList<bool>({false, false, true, false}));
    QTest::mouseClick(list(), Qt::LeftButton, Qt::AltModifier, centreOf(row(2), Part::Triangle));
    EXPECT_EQ(openRows(), QList<bool>({false, false, false, false}));
}

TEST_F(ObjectListTest, ActivatingAReferenceOpensItsRowForEditing)
{
    // A link just added: the list is rebuilt on the next turn and then opens it.
    auto link = branch->addAttachment();
    link->setSubtype(IXReferenceNode::SubtypeWeb);
    inspector.activateViewForReference(link, true);
    spinEventLoop();
    IXReferenceInfoCell* cell = row(link);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->isExpanded());
    ASSERT_NE(list()->fieldEditor(), nullptr);
    EXPECT_EQ(list()->editingCell(), cell);
    QTest::keyClicks(list()->fieldEditor(), QStringLiteral("Docs"));
    QTest::keyClick(list()->fieldEditor(), Qt::Key_Return);
    EXPECT_EQ(link->title(), "Docs");
}

TEST_F(ObjectListTest, ShowsOpenRows)
{
    // For a look: every row open, and the tool tips of the header.
    for (qsizetype i = 0; i < list()->count(); ++i) row(i)->expand();
    web->setIncludeInExport(false);
    list()->setNeedsTile();
    spinEventLoop();
    EXPECT_GT(list()->height(), 4 * list()->rectOfCell(0).height() / 2);
    EXPECT_EQ(row(web)->toolTipAt(centreOf(row(web), Part::ExportMark), list()->rectOfCell(2)),
              "Not included in export");
    EXPECT_EQ(row(web)->toolTipAt(centreOf(row(web), Part::LinkLabel), list()->rectOfCell(2)), "Web Link");
    row(web)->collapse();
    list()->setNeedsTile();
    list()->tile();
    EXPECT_EQ(row(web)->toolTipAt(centreOf(row(web), Part::Title), list()->rectOfCell(2)),
              "https://example.org/\nNot included in export");
    for (qsizetype i = 0; i < list()->count(); ++i) row(i)->expand();
    list()->setNeedsTile();
    spinEventLoop();
    saveShots(view, QStringLiteral("object-list-open"));
}

// --- The cell list ---

class FixedCell : public IXListCell {
public:
    explicit FixedCell(double height)
        : m_height(height)
    {
    }
    double heightForWidth(double) override { return m_height; }
    void draw(QPainter&, const QRectF&) override { ++draws; }
    int draws = 0;

private:
    double m_height;
};

TEST(CellListViewTest, TilesRowsUnderEachOtherOncePerTurn)
{
    IXCellListView list;
    list.resize(200, 10);
    list.setSpacing(4);
    list.addCell(std::make_unique<FixedCell>(30));
    list.addCell(std::make_unique<FixedCell>(50));
    list.setSpacing(4);
    const int before = list.tileCount();
    spinEventLoop();
    EXPECT_EQ(list.tileCount(), before + 1);
    EXPECT_EQ(list.rectOfCell(0), QRectF(4, 4, 192, 30));
    EXPECT_EQ(list.rectOfCell(1), QRectF(4, 38, 192, 50));
    EXPECT_EQ(list.height(), 96);
    EXPECT_EQ(list.indexAtPoint(QPointF(10, 40)), 1);
    EXPECT_EQ(list.indexAtPoint(QPointF(10, 36)), -1);

    // An empty list in a scroll area takes the area's whole viewport.
    QScrollArea area;
    area.resize(180, 140);
    auto* empty = new IXCellListView;
    area.setWidget(empty);
    area.show();
    empty->setNeedsTile();
    spinEventLoop();
    EXPECT_EQ(empty->size(), area.viewport()->size());
}

TEST(CellListViewTest, DrawsOnlyTheRowsOnScreen)
{
    QScrollArea area;
    area.resize(200, 100);
    auto* list = new IXCellListView;
    std::vector<FixedCell*> cells;
    for (int i = 0; i < 1000; ++i) {
        auto cell = std::make_unique<FixedCell>(20);
        cells.push_back(cell.get());
        list->addCell(std::move(cell));
    }
    area.setWidget(list);
    list->tile();
    list->grab(QRect(0, 0, 150, 100));
    int drawn = 0;
    for (FixedCell* cell : cells) drawn += cell->draws ? 1 : 0;
    EXPECT_GT(drawn, 0);
    EXPECT_LT(drawn, 10);
    EXPECT_EQ(list->height(), 1000 * 20);
}

TEST(ListViewTest, StacksChildrenAsWideAsTheWidestOncePerTurn)
{
    IXListView list;
    auto* narrow = new QWidget(&list);
    narrow->resize(80, 20);
    narrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* wide = new QWidget(&list);
    wide->resize(150, 30);
    auto* fixed = new QWidget(&list);
    fixed->resize(60, 10);
    fixed->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    list.show();
    spinEventLoop();
    EXPECT_EQ(narrow->geometry(), QRect(0, 0, 150, 20));
    EXPECT_EQ(wide->geometry(), QRect(0, 20, 150, 30));
    EXPECT_EQ(fixed->geometry(), QRect(0, 50, 60, 10));
    EXPECT_EQ(list.size(), QSize(150, 60));

    // A child growing re-tiles the list; one removed closes the gap.
    wide->resize(150, 50);
    EXPECT_TRUE(list.needsTile());
    spinEventLoop();
    EXPECT_EQ(fixed->pos(), QPoint(0, 70));
    delete wide;
    spinEventLoop();
    EXPECT_EQ(fixed->pos(), QPoint(0, 20));
    EXPECT_EQ(list.size(), QSize(150, 30));
    list.removeAllSubviews();
    spinEventLoop();
    EXPECT_EQ(list.size(), QSize(0, 0));
}

}  // namespace

#include "IXObjectListInspectorTests.moc"
