#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXCommentNodeObserver.h"
#include "DocumentModel/IXConnectionNodeObserver.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXDocumentNodeObserver.h"
#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentModel/IXPictureNodeObserver.h"
#include "DocumentModel/IXReferenceNodeObserver.h"
#include "DocumentModel/IXStyleNodeObserver.h"
#include "IXTestNodes.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/XML/PLXMLDocument.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace {

struct DocumentFixture : ::testing::Test {
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    RecordingObserver observer;

    void SetUp() override { document->addToObservers(&observer); }
};

}  // namespace

TEST(IXNode, IdIsMadeOnFirstUseAndCopiesGetTheirOwn)
{
    auto node = std::make_shared<IXNode>();
    EXPECT_TRUE(node->existingUniqueId().isEmpty());
    const QString id = node->uniqueId();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{32}$")).match(id).hasMatch()) << id.toStdString();
    EXPECT_EQ(node->uniqueId(), id);

    std::shared_ptr<IXNode> copy = node->copy();
    EXPECT_TRUE(copy->existingUniqueId().isEmpty());
    EXPECT_NE(copy->uniqueId(), id);
    EXPECT_EQ(node->uniqueId(), id);
    const IXNode& copied = *copy;
    EXPECT_EQ(typeid(copied), typeid(IXNode));
}

TEST(IXNode, EqualityFollowsTheIdOnlyOnceItExists)
{
    auto first = std::make_shared<IXNode>();
    auto second = std::make_shared<IXNode>();
    EXPECT_FALSE(first->isEqual(first.get()));  // no id yet: equal to nothing
    EXPECT_FALSE(first->isEqual(QString()));

    const QString id = first->uniqueId();
    EXPECT_TRUE(first->isEqual(id));
    EXPECT_TRUE(first->isEqual(first.get()));
    EXPECT_FALSE(first->isEqual(second.get()));
    EXPECT_FALSE(second->isEqual(first.get()));
    EXPECT_EQ(first->hash(), qHash(id));
}

TEST(IXNode, XMLCarriesTheIdOnlyWhenItExists)
{
    PLXMLDocument xml("document");
    auto node = std::make_shared<IXNode>();
    PLXMLElement plain = node->XMLElement(xml.rootElement());
    EXPECT_EQ(plain.name(), QStringLiteral("node"));
    EXPECT_FALSE(plain.hasAttribute("uid"));
    EXPECT_TRUE(node->existingUniqueId().isEmpty());  // writing does not make an id

    const QString id = node->uniqueId();
    PLXMLElement written = node->XMLElement(xml.rootElement());
    EXPECT_EQ(written.attribute("uid"), id);

    // Read back under a parent: the id is kept, and the node is parented.
    auto parent = makeBranch(QStringLiteral("parent"));
    auto read = std::make_shared<IXNode>();
    ASSERT_TRUE(read->initWithParent(parent.get(), written, nullptr));
    EXPECT_EQ(read->existingUniqueId(), id);
    EXPECT_EQ(read->parentNode(), parent.get());

    auto withoutId = std::make_shared<IXNode>();
    ASSERT_TRUE(withoutId->initWithParent(nullptr, plain, nullptr));
    EXPECT_TRUE(withoutId->existingUniqueId().isEmpty());
}

TEST_F(DocumentFixture, SubtreeJoinsAndLeavesWithItsRoot)
{
    auto root = makeBranch(QStringLiteral("root"));
    auto child = makeBranch(QStringLiteral("child"));
    auto grandchild = makeBranch(QStringLiteral("grandchild"));
    child->addChild(grandchild);
    root->addChild(child);
    EXPECT_EQ(grandchild->documentNode(), nullptr);

    document->addRootBranch(root);
    for (IXNode* node : {static_cast<IXNode*>(root.get()), static_cast<IXNode*>(child.get()),
                         static_cast<IXNode*>(grandchild.get())})
        EXPECT_EQ(node->documentNode(), document.get());
    EXPECT_EQ(root->parentNode(), document.get());
    EXPECT_EQ(observer.take(), (QStringList{QStringLiteral("attach root"), QStringLiteral("attach child"),
                                            QStringLiteral("attach grandchild"), QStringLiteral("document rootBranches")}));

    document->removeRootBranch(root);
    EXPECT_EQ(root->parentNode(), nullptr);
    EXPECT_EQ(grandchild->documentNode(), nullptr);
    EXPECT_EQ(grandchild->parentNode(), child.get());  // the subtree stays whole
    // Children leave before their parent.
    EXPECT_EQ(observer.take(), (QStringList{QStringLiteral("detach grandchild"), QStringLiteral("detach child"),
                                            QStringLiteral("detach root"), QStringLiteral("document rootBranches")}));
}

TEST_F(DocumentFixture, MovingInsideTheDocumentNeitherDetachesNorAttaches)
{
    auto first = makeBranch(QStringLiteral("first"));
    auto second = makeBranch(QStringLiteral("second"));
    auto moving = makeBranch(QStringLiteral("moving"));
    moving->addChild(makeBranch(QStringLiteral("below")));
    first->addChild(moving);
    document->addRootBranch(first);
    document->addRootBranch(second);
    observer.take();

    second->addChild(moving);
    EXPECT_EQ(moving->parentNode(), second.get());
    EXPECT_TRUE(first->children().isEmpty());
    EXPECT_EQ(moving->documentNode(), document.get());
    EXPECT_TRUE(observer.take().isEmpty());

    // A parent outside any document takes the whole subtree out.
    auto outside = makeBranch(QStringLiteral("outside"));
    outside->addChild(moving);
    EXPECT_EQ(moving->documentNode(), nullptr);
    EXPECT_EQ(moving->children().first()->documentNode(), nullptr);
    EXPECT_EQ(observer.take(), (QStringList{QStringLiteral("detach below"), QStringLiteral("detach moving")}));
}

TEST_F(DocumentFixture, DetachUnregistersTheNodeAndItsObservers)
{
    auto branch = makeBranch(QStringLiteral("branch"));
    document->addRootBranch(branch);
    RecordingObserver ofBranchOnly;
    branch->addObserver(&ofBranchOnly);
    auto other = makeBranch(QStringLiteral("other"));
    document->addRootBranch(other);
    branch->warning(QStringLiteral("Heading: text"));
    other->warning(QStringLiteral("Other: text"));
    // Warnings of attached nodes are announced by the document, so the node's own observer
    // hears nothing of them; the attach of "other" is not for it either.
    EXPECT_TRUE(ofBranchOnly.events.isEmpty());

    EXPECT_TRUE(document->observers()->hasObserver(&ofBranchOnly));
    document->removeRootBranch(branch);
    // It hears the detach; then, unregistered with its only sender, nothing more (not the
    // warning that goes back to the branch).
    EXPECT_EQ(ofBranchOnly.take(), QStringList{QStringLiteral("detach branch")});
    EXPECT_FALSE(document->observers()->hasObserver(&ofBranchOnly));
}

TEST(IXNodeLifecycle, DocumentDestructionDetachesItsChildren)
{
    auto document = std::make_shared<IXDocumentNode>();
    auto branch = makeBranch(QStringLiteral("branch"));
    auto child = makeBranch(QStringLiteral("child"));
    branch->addChild(child);
    document->addRootBranch(branch);
    branch->warning(QStringLiteral("Lost: a file"));

    document.reset();
    EXPECT_EQ(branch->parentNode(), nullptr);
    EXPECT_EQ(branch->documentNode(), nullptr);
    EXPECT_EQ(child->documentNode(), nullptr);
    // The warning went back to its node with the subtree.
    ASSERT_EQ(branch->warnings().size(), 1);
    EXPECT_EQ(branch->warnings().first()->title(), QStringLiteral("Lost"));
}

TEST(IXNodeLifecycle, DocumentRefusesParentsAndCopies)
{
    auto document = std::make_shared<IXDocumentNode>();
    auto branch = makeBranch(QStringLiteral("branch"));
    EXPECT_EQ(document->documentNode(), document.get());
    EXPECT_NO_THROW(document->setParentNode(nullptr));
    try {
        document->setParentNode(branch.get());
        FAIL() << "a parent was accepted";
    } catch (const PLAssertionFailure& failure) {
        EXPECT_EQ(failure.condition(), "parent == nil");
    }
    EXPECT_THROW(document->copy(), PLAssertionFailure);
}

// Every notification's selector text is made from its method's name: these are the texts
// observers and senders share.
TEST(IXNodeNotifications, SelectorsAreTheMethodsOwn)
{
    const std::pair<std::string_view, const char*> table[] = {
        {IXNodeAttach, "notifiedOfNodeAttach:"},
        {IXNodeDetach, "notifiedOfNodeDetach:"},
        {IXNodeWarning, "notifiedOfNode:warning:"},
        {IXDocumentNodeDidChangeProperty, "notifiedOfDocumentNode:didChangeProperty:"},
        {IXDocumentNodeSave, "notifiedOfDocumentNodeSave:error:"},
        {IXBranchNodeDidChangeProperty, "notifiedOfBranchNode:didChangeProperty:"},
        {IXReferenceNodeDidChangeProperty, "notifiedOfReferenceNode:didChangeProperty:"},
        {IXPictureNodeDidChangeProperty, "notifiedOfPictureNode:didChangeProperty:"},
        {IXCommentNodeDidChangeProperty, "notifiedOfCommentNode:didChangeProperty:"},
        {IXConnectionNodeDidChangeProperty, "notifiedOfConnectionNode:didChangeProperty:"},
        {IXStyleNodeDidChangeProperty, "notifiedOfStyleNode:didChangeProperty:"},
    };
    for (const auto& [selector, expected] : table) EXPECT_EQ(selector, expected);
}
