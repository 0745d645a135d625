#include "DocumentModel/IXBranchNode.h"
#include "IXBranchTestSupport.h"
#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/XML/PLXMLDocument.h"
#include "TestSupport/ExpectAssertion.h"
#include "TestSupport/QStringPrinter.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using BranchList = IXBranchNode::BranchList;

struct BranchTest : ::testing::Test {
    PLUndoManager undo;
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    BranchRecorder recorder;
    std::shared_ptr<IXBranchNode> root = branchTitled(QStringLiteral("root"));

    void SetUp() override
    {
        document->setUndoManager(&undo);
        document->addRootBranch(root);
        document->addToObservers(&recorder);
        endTurn();
        undo.removeAllActions();
    }
    void TearDown() override
    {
        undo.removeAllActions();
        document->setUndoManager(nullptr);
    }
    BranchList addChildren(const std::shared_ptr<IXBranchNode>& parent, const QStringList& names)
    {
        for (const QString& name : names) parent->insertBranch(branchTitled(name), -1);
        endTurn();
        undo.removeAllActions();
        recorder.take();
        return parent->branches();
    }
};

}  // namespace

TEST_F(BranchTest, InsertionIndexesAppendAndUndoDetaches)
{
    addChildren(root, {"a", "b"});
    struct Case {
        int index;
        QStringList expected;
    } cases[] = {{-1, {"a", "b", "new"}}, {7, {"a", "b", "new"}}, {2, {"a", "b", "new"}}, {0, {"new", "a", "b"}},
                 {1, {"a", "new", "b"}}};
    for (const Case& test : cases) {
        auto added = branchTitled(QStringLiteral("new"));
        root->insertBranch(added, test.index);
        EXPECT_EQ(titlesOf(root->branches()), test.expected) << test.index;
        EXPECT_EQ(added->documentNode(), document.get());
        EXPECT_EQ(added->level(), 1);
        endTurn();
        undo.undo();
        EXPECT_EQ(titlesOf(root->branches()), (QStringList{"a", "b"}));
        EXPECT_EQ(added->parentNode(), nullptr);
        EXPECT_EQ(added->documentNode(), nullptr);
        EXPECT_EQ(added->level(), IXBranchNode::NoLevel);
    }
}

TEST_F(BranchTest, ReinsertingASubbranchMovesItInOneStep)
{
    const BranchList children = addChildren(root, {"a", "b", "c"});
    root->insertBranch(children[0], -1);
    EXPECT_EQ(titlesOf(root->branches()), (QStringList{"b", "c", "a"}));
    root->insertBranch(children[2], 0);
    EXPECT_EQ(titlesOf(root->branches()), (QStringList{"c", "b", "a"}));
    EXPECT_EQ(children[0]->parentNode(), root.get());
    EXPECT_EQ(recorder.take(), (QStringList{"root branches", "root branches"}));
    endTurn();

    undo.undo();
    EXPECT_EQ(titlesOf(root->branches()), (QStringList{"a", "b", "c"}));
    EXPECT_FALSE(undo.canUndo());
    for (const auto& child : children) EXPECT_EQ(child->documentNode(), document.get());
}

TEST_F(BranchTest, MovingBetweenParentsKeepsTheSubtreeAttachedAndUndoes)
{
    const BranchList children = addChildren(root, {"a", "b"});
    addChildren(children[0], {"a1", "a2"});
    auto other = branchTitled(QStringLiteral("other"));
    document->addRootBranch(other);
    endTurn();
    undo.removeAllActions();
    recorder.take();

    const auto moving = children[0]->branches()[1];
    other->insertBranch(moving, 0);
    EXPECT_EQ(titlesOf(children[0]->branches()), QStringList{"a1"});
    EXPECT_EQ(other->branches(), BranchList{moving});
    EXPECT_EQ(moving->level(), 1);
    // No detach on the way: only the two lists change.
    EXPECT_EQ(recorder.take(), (QStringList{"a branches", "a2 level", "other branches"}));
    endTurn();

    undo.undo();
    EXPECT_EQ(titlesOf(children[0]->branches()), (QStringList{"a1", "a2"}));
    EXPECT_TRUE(other->branches().isEmpty());
    EXPECT_EQ(moving->parentNode(), children[0].get());
    EXPECT_EQ(moving->level(), 2);
    EXPECT_EQ(moving->documentNode(), document.get());
    undo.redo();
    EXPECT_EQ(other->branches(), BranchList{moving});
    EXPECT_EQ(titlesOf(children[0]->branches()), QStringList{"a1"});

    // A root branch taken under another root branch leaves the document's list.
    other->insertBranch(root, -1);
    EXPECT_EQ(document->rootBranches(), IXDocumentNode::NodeList{other});
    EXPECT_EQ(root->level(), 1);
    EXPECT_EQ(children[1]->level(), 2);
}

TEST_F(BranchTest, MovingByIndex)
{
    addChildren(root, {"a", "b", "c"});
    struct Case {
        int from;
        int to;
        QStringList expected;
    } cases[] = {{0, 3, {"b", "c", "a"}}, {0, -1, {"b", "c", "a"}}, {2, 0, {"c", "a", "b"}},
                 {0, 2, {"b", "a", "c"}}, {1, 1, {"a", "b", "c"}}, {1, 2, {"a", "b", "c"}},
                 {2, -1, {"a", "b", "c"}}, {2, 9, {"a", "b", "c"}}};
    for (const Case& test : cases) {
        root->moveBranchAtIndex(test.from, test.to);
        EXPECT_EQ(titlesOf(root->branches()), test.expected) << test.from << "->" << test.to;
        endTurn();
        // A move that leaves the order as it was records no step and announces nothing.
        const bool moved = test.expected != QStringList{"a", "b", "c"};
        EXPECT_EQ(undo.canUndo(), moved) << test.from << "->" << test.to;
        EXPECT_EQ(recorder.take().isEmpty(), !moved);
        undo.undo();
        EXPECT_EQ(titlesOf(root->branches()), (QStringList{"a", "b", "c"}));
        undo.removeAllActions();
        recorder.take();
    }
}

TEST_F(BranchTest, InsertingWhereTheBranchAlreadyIsRecordsNothing)
{
    const BranchList children = addChildren(root, {"a", "b", "c"});
    auto second = branchTitled(QStringLiteral("second"));
    document->addRootBranch(second);
    endTurn();
    undo.removeAllActions();
    recorder.take();
    struct Case {
        std::shared_ptr<IXBranchNode> branch;
        int index;
    } cases[] = {{children[0], 0}, {children[1], 1}, {children[1], 2}, {children[2], -1}, {children[2], 3},
                 {children[2], 8}};
    for (const Case& test : cases) {
        root->insertBranch(test.branch, test.index);
        endTurn();
        EXPECT_EQ(titlesOf(root->branches()), (QStringList{"a", "b", "c"})) << test.index;
        EXPECT_FALSE(undo.canUndo()) << test.index;
        EXPECT_TRUE(recorder.take().isEmpty()) << test.index;
    }
    // The same for root branches in the document's list.
    const struct {
        std::shared_ptr<IXBranchNode> branch;
        int index;
    } rootCases[] = {{root, 0}, {second, -1}, {second, 1}, {second, 5}};
    for (const auto& test : rootCases) {
        document->insertRootBranch(test.branch, test.index);
        endTurn();
        EXPECT_EQ(document->rootBranches(), (IXDocumentNode::NodeList{root, second})) << test.index;
        EXPECT_FALSE(undo.canUndo()) << test.index;
    }
    document->insertRootBranch(second, 0);  // a real move still records its step
    endTurn();
    EXPECT_TRUE(undo.canUndo());
    undo.undo();
    EXPECT_EQ(document->rootBranches(), (IXDocumentNode::NodeList{root, second}));
}

TEST_F(BranchTest, ProgrammingErrorsAreRefused)
{
    const BranchList children = addChildren(root, {"a"});
    addChildren(children[0], {"deep"});
    expectAssertion("node", [&] { root->insertBranch(nullptr, 0); });
    expectAssertion("index != NSNotFound", [&] { root->removeBranch(branchTitled(QStringLiteral("x"))); });
    expectAssertion("oldIndex >= 0 && oldIndex < [_branches count]", [&] { root->moveBranchAtIndex(1, 0); });
    // A branch under its own descendant would make the tree a cycle.
    expectAssertion("node != self && ![self isSubbranchOf:node]",
                    [&] { children[0]->branches()[0]->insertBranch(root, 0); });
    expectAssertion("node != self && ![self isSubbranchOf:node]", [&] { root->insertBranch(root, 0); });
    EXPECT_EQ(root->parentNode(), document.get());
}

TEST_F(BranchTest, TitlesDefaultByDepthAndAreKeptOnceSeen)
{
    // The default is taken at the first look and kept: an untitled root moved under another
    // branch stays "Subject".
    auto subject = std::make_shared<IXBranchNode>();
    document->addRootBranch(subject);
    EXPECT_EQ(subject->title(), QStringLiteral("Subject"));
    root->insertBranch(subject, -1);
    EXPECT_EQ(subject->title(), QStringLiteral("Subject"));
    EXPECT_EQ(subject->storedTitle(), QStringLiteral("Subject"));

    auto untitled = std::make_shared<IXBranchNode>();
    root->insertBranch(untitled, -1);
    endTurn();
    undo.removeAllActions();

    untitled->setTitle(QStringLiteral("Named"));
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Branch Title"));
    undo.undo();
    EXPECT_EQ(untitled->title(), QStringLiteral("Idea"));
    EXPECT_EQ(untitled->storedTitle(), QStringLiteral("Idea"));
    undo.redo();
    EXPECT_EQ(untitled->title(), QStringLiteral("Named"));

    untitled->setTitle(QString());
    EXPECT_EQ(untitled->storedTitle(), QStringLiteral("Idea"));
    recorder.take();
    untitled->setTitle(QStringLiteral("Idea"));  // unchanged: nothing announced
    EXPECT_TRUE(recorder.take().isEmpty());
}

TEST_F(BranchTest, DatesKeepTheirOrder)
{
    const UTDateTime early = UTDateTime::fromYears(2000, 1, 1);
    const UTDateTime late = UTDateTime::fromYears(2010, 6, 1);
    const UTDateTime later = UTDateTime::fromYears(2020, 1, 1);

    root->setEndDate(late);  // no begin date: the begin date follows
    EXPECT_EQ(root->beginDate(), late);
    EXPECT_EQ(root->endDate2(), late);  // no second end date: the end date
    root->setEndDate(early);  // before the begin date: the begin date moves to it
    EXPECT_EQ(root->beginDate(), early);
    root->setEndDate2(later);
    EXPECT_EQ(root->endDate2(), later);
    root->setBeginDate(late);  // after the end date: the end date moves, the second end goes
    EXPECT_EQ(root->endDate(), late);
    EXPECT_FALSE(root->storedEndDate2());
    root->setEndDate2(later);
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Branch Date"));

    root->setBeginDate(std::nullopt);  // clears both end dates
    EXPECT_FALSE(root->beginDate());
    EXPECT_FALSE(root->endDate());
    EXPECT_FALSE(root->storedEndDate2());
    endTurn();
    undo.undo();
    EXPECT_EQ(root->beginDate(), late);
    EXPECT_EQ(root->endDate(), late);
    EXPECT_EQ(root->storedEndDate2(), later);

    // resetDates reaches every branch below.
    const BranchList children = addChildren(root, {"a"});
    children[0]->setBeginDate(early);
    root->resetDates();
    EXPECT_FALSE(root->beginDate());
    EXPECT_FALSE(children[0]->beginDate());
}

TEST_F(BranchTest, IconsExportFlagAndTheirUndo)
{
    root->appendIcon(QStringLiteral("star"));
    root->appendIcon(QStringLiteral("flag"));
    root->appendIcon(QStringLiteral("star"));
    EXPECT_TRUE(root->hasIcon(QStringLiteral("flag")));
    root->removeIcon(QStringLiteral("star"));
    EXPECT_EQ(root->icons(), QStringList{"flag"});
    root->setIncludeInExport(false);
    root->setIncludeInExport(false);
    EXPECT_EQ(recorder.take(), (QStringList{"root icons", "root icons", "root icons", "root icons", "root includeInExport"}));
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Branch Icons"));
    undo.undo();
    EXPECT_TRUE(root->icons().isEmpty());
    EXPECT_TRUE(root->includeInExport());
}

TEST_F(BranchTest, LevelsFollowTheParentWithoutWrapping)
{
    auto detached = branchTitled(QStringLiteral("detached"));
    EXPECT_EQ(detached->level(), 0);
    auto child = branchTitled(QStringLiteral("child"));
    detached->insertBranch(child, -1);
    EXPECT_EQ(child->level(), 1);
    root->insertBranch(detached, -1);
    EXPECT_EQ(detached->level(), 1);
    EXPECT_EQ(child->level(), 2);
    root->removeBranch(detached);
    EXPECT_EQ(detached->level(), IXBranchNode::NoLevel);
    EXPECT_EQ(child->level(), IXBranchNode::NoLevel);  // not NoLevel + 1
    EXPECT_EQ(child->title(), QStringLiteral("child"));
    EXPECT_EQ(child->rootBranch(), detached.get());
    EXPECT_TRUE(child->isSubbranchOf(detached.get()));
    EXPECT_FALSE(child->isSubbranchOf(child.get()));
}

TEST_F(BranchTest, CopiesAreDeepWithFreshIds)
{
    const BranchList children = addChildren(root, {"a", "b"});
    addChildren(children[0], {"a1"});
    root->appendIcon(QStringLiteral("star"));
    root->setBeginDate(UTDateTime::fromYears(1999));
    const QString rootId = root->uniqueId();
    const QString childId = children[0]->uniqueId();

    std::shared_ptr<IXBranchNode> copied = root->copyBranch();
    EXPECT_EQ(copied->documentNode(), nullptr);
    EXPECT_EQ(copied->title(), QStringLiteral("root"));
    EXPECT_EQ(copied->icons(), QStringList{"star"});
    EXPECT_EQ(copied->beginDate(), root->beginDate());
    ASSERT_EQ(titlesOf(copied->branches()), (QStringList{"a", "b"}));
    EXPECT_EQ(copied->branches()[0]->parentNode(), copied.get());
    EXPECT_EQ(titlesOf(copied->branches()[0]->branches()), QStringList{"a1"});
    EXPECT_NE(copied->uniqueId(), rootId);
    EXPECT_NE(copied->branches()[0]->uniqueId(), childId);
    EXPECT_EQ(root->uniqueId(), rootId);
    EXPECT_EQ(children[0]->parentNode(), root.get());

    document->addRootBranch(copied);
    EXPECT_EQ(document->branchForId(copied->branches()[0]->uniqueId()), copied->branches()[0]);
    EXPECT_EQ(document->branchForId(childId), children[0]);
}

TEST_F(BranchTest, LookUpsStayInsideTheSubtree)
{
    const BranchList children = addChildren(root, {"a", "b"});
    addChildren(children[1], {"b1"});
    const auto deep = children[1]->branches()[0];
    EXPECT_EQ(root->branchForId(deep->uniqueId()), deep);
    EXPECT_EQ(children[1]->nodeForId(deep->uniqueId()), deep);
    EXPECT_EQ(children[0]->nodeForId(deep->uniqueId()), nullptr);
    EXPECT_EQ(deep->nodeForId(root->uniqueId()), nullptr);
    EXPECT_EQ(root->nodeForId(QString()), nullptr);

    // Detached: the same answers by walking the subtree.
    document->removeRootBranch(root);
    EXPECT_EQ(root->branchForId(deep->uniqueId()), deep);
    EXPECT_EQ(children[0]->branchForId(deep->uniqueId()), nullptr);
    EXPECT_EQ(root->nodeForId(root->uniqueId()), root);
}

TEST(IXBranchNodeXML, ReadsWhatItWritesAndIgnoresTheStoredLevel)
{
    auto document = std::make_shared<IXDocumentNode>();
    auto branch = std::make_shared<IXBranchNode>();
    document->addRootBranch(branch);
    branch->setTitle(QStringLiteral("Line one"));
    branch->setIncludeInExport(false);
    branch->setIcons({"star", "flag", "star"});
    branch->setEndDate(UTDateTime::fromYears(2001, 2, 3));
    branch->setEndDate2(UTDateTime::fromDays(40));
    auto child = std::make_shared<IXBranchNode>();
    branch->insertBranch(child, -1);
    const QString childId = child->uniqueId();

    PLXMLDocument xml("document");
    PLXMLElement element = branch->XMLElement(xml.rootElement());
    EXPECT_EQ(element.attribute("level"), QStringLiteral("0"));
    EXPECT_EQ(element.attribute("export"), QStringLiteral("0"));
    EXPECT_EQ(element.attribute("start"), UTDateTime::fromYears(2001, 2, 3).stringRepresentation());
    EXPECT_FALSE(element.hasAttribute("uid"));  // no id was asked for
    EXPECT_EQ(element.lastChildElement("branch").attribute("uid"), childId);
    EXPECT_FALSE(element.lastChildElement("branch").firstChildElement("title"));  // untitled
    // A level stored in the file is not believed.
    element.lastChildElement("branch").setAttribute("level", QStringLiteral("9"));

    auto read = std::make_shared<IXBranchNode>();
    ASSERT_TRUE(read->initWithParent(nullptr, element, nullptr));
    EXPECT_EQ(read->title(), QStringLiteral("Line one"));
    EXPECT_FALSE(read->includeInExport());
    EXPECT_EQ(read->icons(), (QStringList{"star", "flag", "star"}));
    EXPECT_EQ(read->beginDate(), branch->beginDate());
    EXPECT_EQ(read->endDate(), branch->endDate());
    EXPECT_EQ(read->storedEndDate2(), branch->storedEndDate2());
    ASSERT_EQ(read->branches().size(), 1);
    EXPECT_EQ(read->branches()[0]->existingUniqueId(), childId);
    EXPECT_EQ(read->branches()[0]->level(), 1);
    EXPECT_EQ(read->branches()[0]->storedTitle(), QStringLiteral("Idea"));  // kept from the reading on
}

TEST(IXBranchNodeXML, TitleChildWinsOverAttributeAndBadDatesAreLeftOut)
{
    PLXMLDocument xml("branch");
    PLXMLElement element = xml.rootElement();
    element.setAttribute("title", QStringLiteral("attribute"));
    element.setAttribute("start", QStringLiteral("Y2001/13/40"));
    element.setAttribute("end", QStringLiteral("not a date"));
    element.addChildElement("title").setText(QStringLiteral("first"));
    element.addChildElement("title").setText(QStringLiteral("child"));
    element.addChildElement("icon");  // without a name: skipped
    element.addChildElement("icon").setAttribute("name", QStringLiteral("star"));

    auto read = std::make_shared<IXBranchNode>();
    ASSERT_TRUE(read->initWithParent(nullptr, element, nullptr));
    EXPECT_EQ(read->title(), QStringLiteral("child"));
    EXPECT_TRUE(read->includeInExport());
    EXPECT_FALSE(read->beginDate());
    EXPECT_FALSE(read->endDate());
    EXPECT_EQ(read->icons(), QStringList{"star"});

    element.firstChildElement("title").remove();
    element.firstChildElement("title").remove();
    auto fromAttribute = std::make_shared<IXBranchNode>();
    ASSERT_TRUE(fromAttribute->initWithParent(nullptr, element, nullptr));
    EXPECT_EQ(fromAttribute->title(), QStringLiteral("attribute"));
}

TEST_F(BranchTest, UnreadableDatesAreWrittenBackUntilSet)
{
    PLXMLDocument xml("document");
    PLXMLElement element = xml.rootElement().addChildElement("branch");
    element.setAttribute("start", QStringLiteral("not a date"));
    element.setAttribute("end", QStringLiteral("Y2001/13/1"));
    element.setAttribute("end2", QStringLiteral("?5"));
    auto read = std::make_shared<IXBranchNode>();
    ASSERT_TRUE(read->initWithParent(nullptr, element, nullptr));
    EXPECT_FALSE(read->beginDate());
    EXPECT_FALSE(read->storedEndDate2());
    document->addRootBranch(read);
    endTurn();
    undo.removeAllActions();

    const auto written = [&] {
        PLXMLDocument out("document");
        const PLXMLElement branch = read->XMLElement(out.rootElement());
        return QStringList{branch.attribute("start"), branch.attribute("end"), branch.attribute("end2")};
    };
    EXPECT_EQ(written(), (QStringList{"not a date", "Y2001/13/1", "?5"}));

    // Setting a date replaces its text; the end date takes the second end date along.
    read->setBeginDate(UTDateTime::fromYears(1990));
    EXPECT_EQ(written(), (QStringList{"Y1990", "Y2001/13/1", "?5"}));
    read->setEndDate(UTDateTime::fromYears(2002));
    EXPECT_EQ(written(), (QStringList{"Y1990", "Y2002", ""}));
    endTurn();
    undo.undo();
    EXPECT_EQ(written(), (QStringList{"not a date", "Y2001/13/1", "?5"}));
    undo.redo();
    EXPECT_EQ(written(), (QStringList{"Y1990", "Y2002", ""}));

    // A copy keeps the texts too.
    undo.undo();
    EXPECT_EQ(read->copyBranch()->XMLElement(xml.rootElement()).attribute("end2"), QStringLiteral("?5"));
}

// Dates read only in part or repaired are shown, and their texts written back as they were
// until the date is set.
TEST_F(BranchTest, DatesReadInPartAreWrittenBackAsStored)
{
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"W12/3/4", "W12/3"},
        {"Y2008/3/15/7 1:2:3", "Y2008/3/15"},
        {"Y2008/2/30", "Y2008/2/29"},
        {"W3/9", "W4/2"},
        {"Y2008/3/15 14:30:0", "Y2008/3/15 14:30:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        PLXMLDocument xml("document");
        PLXMLElement element = xml.rootElement().addChildElement("branch");
        element.setAttribute("start", QString::fromLatin1(c.text));
        auto read = std::make_shared<IXBranchNode>();
        ASSERT_TRUE(read->initWithParent(nullptr, element, nullptr));
        ASSERT_TRUE(read->beginDate());
        EXPECT_EQ(read->beginDate()->stringRepresentation(), QString::fromLatin1(c.shown));
        EXPECT_EQ(read->XMLElement(xml.rootElement()).attribute("start"), QString::fromLatin1(c.text));
        read->setBeginDate(UTDateTime::fromYears(1990));
        EXPECT_EQ(read->XMLElement(xml.rootElement()).attribute("start"), QStringLiteral("Y1990"));
    }
}

namespace {

std::shared_ptr<IXStyleNode> mindMapStyle(IXDocumentNode& document, IXNode* node)
{
    return document.layoutForName(IXLayoutMindMapName)->styleSheet()->styleForNode(node);
}

}  // namespace

TEST_F(BranchTest, StylesTravelWithTheBranchAndItsCopies)
{
    const BranchList children = addChildren(root, {"a", "b"});
    const auto styled = children[0];
    styled->style()->setBranchLineWidth(3.5f);
    mindMapStyle(*document, styled.get())->setBranchFrameType(2);
    endTurn();

    root->removeBranch(styled);
    ASSERT_EQ(styled->styleAttributes().keys(), (QStringList{IXDocumentNode::DocumentStyleSheetKey, IXLayoutMindMapName}));
    std::shared_ptr<IXBranchNode> detachedCopy = styled->copyBranch();
    EXPECT_EQ(detachedCopy->styleAttributes(), styled->styleAttributes());

    // Into another document: the copy's styles come along under its own id.
    auto other = std::make_shared<IXDocumentNode>();
    auto otherRoot = branchTitled(QStringLiteral("other root"));
    other->addRootBranch(otherRoot);
    otherRoot->insertBranch(detachedCopy, -1);
    EXPECT_TRUE(detachedCopy->styleAttributes().isEmpty());
    EXPECT_EQ(detachedCopy->style()->branchLineWidth(), 3.5f);
    EXPECT_EQ(mindMapStyle(*other, detachedCopy.get())->branchFrameType(), 2);

    // Undo of the removal gives the styles back too.
    endTurn();
    undo.undo();
    EXPECT_EQ(styled->parentNode(), root.get());
    EXPECT_EQ(styled->style()->branchLineWidth(), 3.5f);
    EXPECT_EQ(mindMapStyle(*document, styled.get())->branchFrameType(), 2);

    // A copy of an attached branch takes the styles from the document's sheets.
    std::shared_ptr<IXBranchNode> attachedCopy = styled->copyBranch();
    EXPECT_EQ(attachedCopy->styleAttributes().value(IXDocumentNode::DocumentStyleSheetKey),
              styled->style()->attributes());
    other->removeRootBranch(otherRoot);
}

TEST_F(BranchTest, InsertingUnderARootBranchResetsTheSides)
{
    const BranchList children = addChildren(root, {"left", "right"});
    mindMapStyle(*document, children[0].get())->setBranchLayoutType(3);
    mindMapStyle(*document, children[1].get())->setBranchLayoutType(2);
    // Below a root branch's child nothing is reset.
    children[0]->insertBranch(branchTitled(QStringLiteral("deeper")), -1);
    EXPECT_EQ(mindMapStyle(*document, children[0].get())->branchLayoutType(), 3);
    endTurn();

    root->insertBranch(branchTitled(QStringLiteral("new")), 1);
    for (const auto& child : root->branches()) EXPECT_EQ(mindMapStyle(*document, child.get())->branchLayoutType(), 0);
    endTurn();
    undo.undo();
    EXPECT_EQ(mindMapStyle(*document, children[0].get())->branchLayoutType(), 3);
    EXPECT_EQ(mindMapStyle(*document, children[1].get())->branchLayoutType(), 2);
}

// Insertions in a row reset the side of the branch inserted only, as long as the others have
// none; a side that reaches a sub-branch in between, whichever way, is reset by the next one.
TEST_F(BranchTest, InsertionsInARowResetEverySideGivenInBetween)
{
    const auto sides = [&] {
        std::vector<int> found;
        for (const auto& child : root->branches())
            found.push_back(mindMapStyle(*document, child.get())->branchLayoutType());
        return found;
    };
    struct Case {
        const char* way;
        std::function<void(const std::shared_ptr<IXBranchNode>& elsewhere)> giveSide;
    };
    const Case cases[] = {
        {"a style change, as a layout gives sides",
         [&](const auto&) { mindMapStyle(*document, root->branches()[1].get())->setBranchLayoutType(3); }},
        {"a sided branch listed by setBranches",
         [&](const auto& elsewhere) { root->setBranches(root->branches() + IXBranchNode::BranchList {elsewhere}); }},
        {"a sided branch moved in by an insertion", [&](const auto& elsewhere) { root->insertBranch(elsewhere, 0); }},
    };
    auto other = branchTitled(QStringLiteral("other root"));
    document->addRootBranch(other);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.way);
        root->setBranches({});
        other->setBranches({});
        addChildren(root, {"a", "b"});
        // Sided before the insertions below, so that no style changes in between.
        const BranchList elsewhere = addChildren(other, {"sided"});
        mindMapStyle(*document, elsewhere[0].get())->setBranchLayoutType(2);
        root->insertBranch(branchTitled(QStringLiteral("c")), -1);
        c.giveSide(elsewhere[0]);
        root->insertBranch(branchTitled(QStringLiteral("d")), -1);
        EXPECT_EQ(sides(), std::vector<int>(root->branches().size(), 0));
    }
    document->removeRootBranch(other);
}

// Undoing insertions one step at a time gives back each list and every side as they were, and
// redoing them gives back the lists with the sides reset.
TEST_F(BranchTest, UndoAndRedoOfInsertionsInARowRestoreListsAndSides)
{
    const BranchList children = addChildren(root, {"a", "b"});
    mindMapStyle(*document, children[0].get())->setBranchLayoutType(3);
    mindMapStyle(*document, children[1].get())->setBranchLayoutType(2);
    endTurn();
    const auto state = [&] {
        QStringList shown;
        for (const auto& child : root->branches())
            shown << child->title() + QLatin1Char(':')
                    + QString::number(mindMapStyle(*document, child.get())->branchLayoutType());
        return shown.join(QLatin1Char(' '));
    };
    const QStringList expected {"a:3 b:2", "c:0 a:0 b:0", "c:0 a:0 b:0 d:0", "c:0 e:0 a:0 b:0 d:0"};
    const std::vector<std::pair<const char*, int>> insertions {{"c", 0}, {"d", -1}, {"e", 1}};
    EXPECT_EQ(state(), expected[0]);
    for (size_t i = 0; i < insertions.size(); ++i) {
        root->insertBranch(branchTitled(QString::fromLatin1(insertions[i].first)), insertions[i].second);
        endTurn();
        EXPECT_EQ(state(), expected[i + 1]);
    }
    for (size_t i = insertions.size(); i > 0; --i) {
        undo.undo();
        EXPECT_EQ(state(), expected[i - 1]);
    }
    for (const auto& child : root->branches()) EXPECT_EQ(child->parentNode(), root.get());
    for (size_t i = 0; i < insertions.size(); ++i) {
        undo.redo();
        EXPECT_EQ(state(), expected[i + 1]);
    }
    undo.undo();
    EXPECT_EQ(state(), expected[2]);
}

TEST_F(BranchTest, CollapsingReachesTheBranchesBelowWhenAsked)
{
    const BranchList children = addChildren(root, {"a"});
    addChildren(children[0], {"a1"});
    root->setCollapsed(true, false);
    EXPECT_TRUE(root->style()->branchCollapsed());
    EXPECT_FALSE(children[0]->style()->branchCollapsed());
    root->setCollapsed(true, true);
    EXPECT_TRUE(children[0]->branches()[0]->style()->branchCollapsed());
    root->setCollapsed(false, true);
    EXPECT_FALSE(root->style()->branchCollapsed());
    EXPECT_FALSE(children[0]->style()->branchCollapsed());
    // A detached branch has no style to change.
    auto loose = branchTitled(QStringLiteral("loose"));
    loose->setCollapsed(true, true);
    EXPECT_EQ(loose->style(), nullptr);
}
