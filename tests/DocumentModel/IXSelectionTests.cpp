#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSelection.h"
#include "IXBranchTestSupport.h"
#include "IXFakeServices.h"
#include "IXTestNodes.h"
#include "TestSupport/ExpectAssertion.h"
#include "TestSupport/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

struct SelectionTest : ::testing::Test {
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    std::shared_ptr<IXBranchNode> first = branchTitled(QStringLiteral("first"));
    std::shared_ptr<IXBranchNode> child = branchTitled(QStringLiteral("child"));
    std::shared_ptr<IXBranchNode> grandchild = branchTitled(QStringLiteral("grandchild"));
    std::shared_ptr<IXBranchNode> second = branchTitled(QStringLiteral("second"));

    void SetUp() override
    {
        document->addRootBranch(first);
        document->addRootBranch(second);
        first->insertBranch(child, -1);
        child->insertBranch(grandchild, -1);
    }
};

}  // namespace

TEST_F(SelectionTest, TextFormNamesTheDocumentAndTheNodesAndReadsBack)
{
    FakeApplicationServices services;
    FakeOpenDocument open;
    open.node = document;
    services.openDocuments = {&open};

    const IXSelection selection = IXSelection::selectionWithArray({first, second});
    const QString text = selection.stringRepresentation();
    EXPECT_EQ(text, document->uniqueId() + ";" + first->uniqueId() + ";" + second->uniqueId() + ";");
    const std::optional<IXSelection> read = IXSelection::selectionFromString(text);
    ASSERT_TRUE(read);
    EXPECT_TRUE(*read == selection);

    // Unknown ids are skipped; a text naming no node gives the empty selection.
    const std::optional<IXSelection> partly = IXSelection::selectionFromString(document->uniqueId() + ";NOPE;" + second->uniqueId() + ";");
    ASSERT_TRUE(partly);
    EXPECT_TRUE(*partly == IXSelection(second));
    document->removeRootBranch(second);
    const std::optional<IXSelection> gone = IXSelection::selectionFromString(document->uniqueId() + ";" + second->uniqueId() + ";");
    ASSERT_TRUE(gone);
    EXPECT_TRUE(gone->isEmpty());

    // A document that is not open (any more) gives nothing.
    services.openDocuments.clear();
    EXPECT_FALSE(IXSelection::selectionFromString(text));
    EXPECT_FALSE(IXSelection::selectionFromString(QString()));

    // No text form without nodes or when the last node is outside a document.
    EXPECT_EQ(IXSelection().stringRepresentation(), QString());
    EXPECT_EQ(IXSelection::selectionWithArray({first, second}).stringRepresentation(), QString());
}

TEST_F(SelectionTest, ChangingMakesNewSelections)
{
    const IXSelection start = IXSelection::selectionWithArray({first, child});
    const IXSelection same = start.selectionByRemovingNode(second.get());
    EXPECT_TRUE(same.isIdenticalTo(start));

    const IXSelection triggered = start.selectionByTriggeringNode(second).selectionByTriggeringNode(second);
    EXPECT_TRUE(triggered == start);
    EXPECT_FALSE(triggered.isIdenticalTo(start));

    const IXSelection twice = start.selectionByAddingNode(first);  // adding does not check
    EXPECT_EQ(twice.count(), 3);
    const IXSelection removed = twice.selectionByRemovingNode(first.get());  // every occurrence
    EXPECT_TRUE(removed == IXSelection(child));
    EXPECT_EQ(start.count(), 2);  // the start is unchanged

    EXPECT_FALSE(IXSelection::selectionWithArray({child, first}) == start);  // order counts
    EXPECT_TRUE(IXSelection::selectionWithNode(nullptr).isEmpty());
    EXPECT_TRUE(IXSelection::selectionWithArray({}).isEmpty());
    EXPECT_EQ(IXSelection().lastNode(), nullptr);
    expectAssertion("[_nodes count] > 0", [] { IXSelection().firstNode(); });
    EXPECT_TRUE(IXSelection().selectionByAddingNode(first) == IXSelection(first));
    const QString ids = first->uniqueId() + ", " + child->uniqueId();
    EXPECT_TRUE(start.description().endsWith(QStringLiteral("\nNodes: (") + ids + ")")) << start.description().toStdString();
}

TEST_F(SelectionTest, MembershipInLargeSelections)
{
    IXSelection::NodeList nodes;
    QList<std::shared_ptr<IXBranchNode>> branches;
    for (int i = 0; i < 50; ++i) {
        auto branch = branchTitled(QString::number(i));
        branches << branch;
        nodes << branch;
    }
    const IXSelection selection(nodes);
    for (const auto& branch : branches) EXPECT_EQ(selection.member(branch.get()), branch);
    EXPECT_FALSE(selection.containsNode(first.get()));
    EXPECT_EQ(selection.member(first.get()), nullptr);
    const IXSelection fewer = selection.selectionByRemovingNode(branches[10].get());
    EXPECT_EQ(fewer.count(), 49);
    EXPECT_FALSE(fewer.containsNode(branches[10].get()));
    EXPECT_TRUE(selection.containsNode(branches[10].get()));
}

TEST_F(SelectionTest, BranchQueries)
{
    auto floating = std::make_shared<TestPicture>();
    document->addPicture(floating);
    auto comment = std::make_shared<TestComment>();
    document->addComment(comment);
    const IXSelection selection = IXSelection::selectionWithArray({grandchild, floating, first, comment, second});
    EXPECT_TRUE(selection.isBranches());
    EXPECT_EQ(titlesOf(selection.allBranches()), (QStringList{"grandchild", "first", "second"}));
    // The grandchild lies below the selected first root branch.
    EXPECT_EQ(titlesOf(selection.allTopBranches()), (QStringList{"first", "second"}));
    EXPECT_EQ(selection.topmostBranchNode(), first);  // depth 0, the first of equal depths
    EXPECT_EQ(selection.allFloatingPictures(), IXSelection::NodeList{floating});
    EXPECT_EQ(selection.allFloatingComments(), IXSelection::NodeList{comment});
    EXPECT_TRUE(selection.allBranchConnections().isEmpty());

    EXPECT_FALSE(IXSelection(floating).isBranches());
    EXPECT_EQ(IXSelection(floating).topmostBranchNode(), nullptr);
    EXPECT_EQ(titlesOf(IXSelection::selectionWithArray({grandchild, child}).allTopBranches()), QStringList{"child"});

    EXPECT_TRUE(IXSelection(document).isDocument());
    EXPECT_FALSE(IXSelection::selectionWithArray({document, first}).isDocument());
    EXPECT_FALSE(IXSelection(first).isDocument());
}
