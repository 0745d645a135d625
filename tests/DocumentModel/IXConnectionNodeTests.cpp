#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "IXReferenceTestSupport.h"
#include "Platform/Core/PLUndoManager.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

struct ConnectionFixture : DocumentWithBranch {
    std::shared_ptr<TestBranch> target = makeBranch(QStringLiteral("target"));
    std::shared_ptr<IXConnectionNode> connection = add(std::make_shared<IXConnectionNode>());
    PLUndoManager undo;

    ConnectionFixture()
    {
        document->setUndoManager(&undo);
        document->addRootBranch(target);
        connection->setTargetNode(target);
        QCoreApplication::processEvents();
    }
    ~ConnectionFixture() { undo.removeAllActions(); }
};

}  // namespace

TEST(IXConnectionNode, TargetIsResolvedByIdAndLetGoWhenItLeaves)
{
    ConnectionFixture fixture;
    auto& connection = fixture.connection;
    EXPECT_EQ(connection->type(), IXReferenceNode::TypeConnection);
    EXPECT_EQ(connection->targetRef(), "branch:" + fixture.target->uniqueId());
    EXPECT_EQ(connection->targetNode(), fixture.target);

    std::weak_ptr<TestBranch> watch = fixture.target;
    fixture.document->removeRootBranch(fixture.target);
    QCoreApplication::processEvents();
    EXPECT_EQ(connection->targetNode(), nullptr);

    // The cache does not keep the target alive.
    fixture.target.reset();
    fixture.undo.undo();  // the undo record brings the branch back
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(connection->targetNode(), watch.lock());

    // Another node leaving is no reason to let go.
    auto other = makeBranch(QStringLiteral("other"));
    fixture.document->addRootBranch(other);
    fixture.document->removeRootBranch(other);
    EXPECT_EQ(connection->targetNode(), watch.lock());
}

TEST(IXConnectionNode, TargetsThatCannotBeFollowedHereGiveNothing)
{
    ConnectionFixture fixture;
    auto& connection = fixture.connection;

    // A connection into another document names its file in the related link.
    connection->addRelatedLink()->setFilePath(QStringLiteral("/maps/other.ixd"));
    EXPECT_EQ(connection->targetNode(), nullptr);
    connection->setRelatedLink(nullptr);
    EXPECT_EQ(connection->targetNode(), fixture.target);

    // Outside a document nothing resolves.
    fixture.branch->removeChild(connection);
    EXPECT_EQ(connection->targetNode(), nullptr);
    fixture.branch->addChild(connection);
    EXPECT_EQ(connection->targetNode(), fixture.target);

    // Ids of nodes that are no branches do not resolve.
    auto picture = std::make_shared<IXPictureNode>();
    fixture.document->addPicture(picture);
    connection->setTargetNode(picture);
    EXPECT_EQ(connection->targetNode(), nullptr);
}

TEST(IXConnectionNode, RetargetingIsUndoableAndAnnouncedToTheOwner)
{
    ConnectionFixture fixture;
    ReferenceRecorder recorder;
    fixture.document->addToObservers(&recorder);
    auto comment = std::make_shared<IXCommentNode>();
    fixture.document->addComment(comment);
    comment->setFloatingTargetNode(fixture.target);
    QCoreApplication::processEvents();
    EXPECT_EQ(comment->floatingTargetNode(), fixture.target);
    EXPECT_EQ(fixture.document->commentsLinkedTo(fixture.target.get()), IXDocumentNode::NodeList{comment});
    recorder.take();

    comment->setFloatingTargetNode(nullptr);
    EXPECT_TRUE(comment->connection()->targetRef().isEmpty());
    EXPECT_EQ(comment->floatingTargetNode(), nullptr);
    EXPECT_EQ(recorder.take(), (QStringList{"reference targetRef", "connection targetRef", "reference connection.targetRef",
                                            "comment connection.targetRef"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Target Path"));

    fixture.undo.undo();
    EXPECT_EQ(comment->floatingTargetNode(), fixture.target);
}

TEST(IXConnectionNode, CopiesPointAtTheSameTarget)
{
    ConnectionFixture fixture;
    const QString id = fixture.connection->uniqueId();
    auto copy = std::static_pointer_cast<IXConnectionNode>(fixture.connection->copy());
    EXPECT_NE(copy->uniqueId(), id);
    EXPECT_EQ(copy->targetRef(), fixture.connection->targetRef());
    EXPECT_EQ(copy->targetNode(), nullptr);  // not in a document yet
    fixture.branch->addChild(copy);
    EXPECT_EQ(copy->targetNode(), fixture.target);
}
