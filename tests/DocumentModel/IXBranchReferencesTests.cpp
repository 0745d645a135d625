// A branch's picture, comment, text notes, connections and attachments, the floating nodes
// that point at it, and following links to branches.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXWarning.h"
#include "IXBranchTestSupport.h"
#include "IXFakeServices.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/XML/PLXMLDocument.h"
#include "TestSupport/QStringPrinter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ReferencesTest : ::testing::Test {
    PLUndoManager undo;
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    std::shared_ptr<IXBranchNode> root = branchTitled(QStringLiteral("root"));
    std::shared_ptr<IXBranchNode> child = branchTitled(QStringLiteral("child"));
    BranchRecorder recorder;

    void SetUp() override
    {
        document->setUndoManager(&undo);
        document->addRootBranch(root);
        root->insertBranch(child, -1);
        endTurn();
        undo.removeAllActions();
        document->addToObservers(&recorder);
    }
    void TearDown() override
    {
        undo.removeAllActions();
        document->setUndoManager(nullptr);
    }
};

}  // namespace

TEST_F(ReferencesTest, PictureAndCommentAreOwnedObservedAndUndoable)
{
    const std::shared_ptr<IXPictureNode> picture = child->addPicture();
    EXPECT_EQ(picture->parentNode(), child.get());
    EXPECT_EQ(picture->documentNode(), document.get());
    const std::shared_ptr<IXCommentNode> comment = std::make_shared<IXCommentNode>();
    child->setComment(comment);
    EXPECT_EQ(comment->subtype(), IXReferenceNode::SubtypeFloatingComment);  // made plain text
    EXPECT_FALSE(comment->isFloating());
    EXPECT_EQ(recorder.take(), (QStringList{"child picture", "child comment"}));

    // Their changes are the branch's changes.
    picture->setTargetRef(QStringLiteral("local:pic"));
    comment->setTitle(QStringLiteral("Remark"));
    EXPECT_EQ(recorder.take(), (QStringList{"child picture", "child comment"}));
    endTurn();

    const auto replacement = std::make_shared<IXPictureNode>();
    child->setPicture(replacement);
    EXPECT_EQ(picture->parentNode(), nullptr);
    EXPECT_EQ(picture->documentNode(), nullptr);
    recorder.take();
    picture->setTitle(QStringLiteral("gone"));  // no longer the branch's
    EXPECT_TRUE(recorder.take().isEmpty());
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Branch Picture"));
    undo.undo();
    EXPECT_EQ(child->picture(), picture);
    EXPECT_EQ(picture->parentNode(), child.get());
    EXPECT_EQ(replacement->parentNode(), nullptr);
    recorder.take();
    picture->setTitle(QStringLiteral("back"));  // observed again
    EXPECT_EQ(recorder.take(), QStringList{"child picture"});

    child->removeComment();
    EXPECT_EQ(child->comment(), nullptr);
    EXPECT_EQ(comment->parentNode(), nullptr);
}

TEST_F(ReferencesTest, ReferencesAreListedByTypeAndComeBackInPlace)
{
    const std::shared_ptr<IXCommentNode> note = child->addTextnote();
    EXPECT_EQ(note->targetRef(), QStringLiteral("local:") + note->uniqueId());
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Text Note"));
    const std::shared_ptr<IXConnectionNode> connection = child->addConnection();
    const std::shared_ptr<IXReferenceNode> web = linkTo(QStringLiteral("http://example.org/"));
    const std::shared_ptr<IXReferenceNode> mail = linkTo(QStringLiteral("mailto:a@b.c"), IXReferenceNode::SubtypeMail);
    child->addReference(web);
    child->addReference(mail);
    child->addReference(web);  // already listed: stays once
    EXPECT_EQ(child->textnotes(), QList<std::shared_ptr<IXCommentNode>>{note});
    EXPECT_EQ(child->connections(), QList<std::shared_ptr<IXConnectionNode>>{connection});
    EXPECT_EQ(child->attachments(), (IXBranchNode::ReferenceList{web, mail}));
    EXPECT_EQ(child->allReferences(), (IXBranchNode::ReferenceList{note, connection, web, mail}));
    EXPECT_EQ(child->referencesCount(), 4);
    const QStringList events = recorder.take();
    EXPECT_EQ(events.count(QStringLiteral("child references")), 4);
    EXPECT_EQ(events.count(QStringLiteral("child connections")), 1);
    endTurn();
    undo.removeAllActions();

    child->removeReference(web);
    EXPECT_EQ(web->parentNode(), nullptr);
    child->removeReference(web);  // not listed any more: ignored
    endTurn();
    undo.undo();
    EXPECT_EQ(child->attachments(), (IXBranchNode::ReferenceList{web, mail}));  // at its place
    EXPECT_EQ(web->parentNode(), child.get());
    undo.redo();
    EXPECT_EQ(child->attachments(), IXBranchNode::ReferenceList{mail});

    child->removeReference(note);
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Text Note"));
}

TEST_F(ReferencesTest, LookUpsFollowTheDocumentedOrder)
{
    const auto picture = child->addPicture();
    const auto comment = root->addComment();
    const auto note = child->addTextnote();
    const auto grandchild = branchTitled(QStringLiteral("grandchild"));
    child->insertBranch(grandchild, -1);
    const auto deepLink = linkTo(QStringLiteral("http://deep/"));
    grandchild->addReference(deepLink);
    for (int attached = 1; attached >= 0; --attached) {
        SCOPED_TRACE(attached ? "attached" : "detached");
        EXPECT_EQ(root->nodeForId(picture->uniqueId()), picture);
        EXPECT_EQ(root->nodeForId(comment->uniqueId()), comment);
        EXPECT_EQ(root->nodeForId(note->uniqueId()), note);
        EXPECT_EQ(child->nodeForId(deepLink->uniqueId()), deepLink);
        EXPECT_EQ(grandchild->nodeForId(note->uniqueId()), nullptr);
        EXPECT_EQ(root->referenceForId(deepLink->uniqueId()), deepLink);
        EXPECT_EQ(root->referenceForId(picture->uniqueId()), nullptr);  // a picture is no reference of the list
        EXPECT_EQ(root->branchForId(grandchild->uniqueId()), grandchild);
        EXPECT_EQ(child->branchForId(root->uniqueId()), nullptr);
        if (attached) document->removeRootBranch(root);
    }
}

TEST_F(ReferencesTest, FloatingNodesPointingAtABranchTravelWithIt)
{
    auto floating = std::make_shared<IXPictureNode>();
    document->addPicture(floating);
    floating->setFloatingTargetNode(child);
    auto remark = std::make_shared<IXCommentNode>();
    document->addComment(remark);
    remark->setFloatingTargetNode(child);
    auto unrelated = std::make_shared<IXCommentNode>();
    document->addComment(unrelated);
    endTurn();
    undo.removeAllActions();

    root->removeBranch(child);
    EXPECT_EQ(document->pictures(), IXDocumentNode::NodeList{});
    EXPECT_EQ(document->comments(), IXDocumentNode::NodeList{unrelated});
    EXPECT_EQ(child->linkedNodes(), (IXDocumentNode::NodeList{floating, remark}));
    endTurn();

    undo.undo();
    EXPECT_EQ(document->pictures(), IXDocumentNode::NodeList{floating});
    EXPECT_EQ(document->comments(), (IXDocumentNode::NodeList{remark, unrelated}));  // at their places
    EXPECT_EQ(floating->floatingTargetNode(), child);
    EXPECT_EQ(remark->floatingTargetNode(), child);
    EXPECT_TRUE(child->linkedNodes().isEmpty());

    // A copy brings copies along into another document, pointing at the copy.
    std::shared_ptr<IXBranchNode> copied = child->copyBranch();
    ASSERT_EQ(copied->linkedNodes().size(), 2);
    auto other = std::make_shared<IXDocumentNode>();
    other->addRootBranch(copied);
    ASSERT_EQ(other->pictures().size(), 1);
    ASSERT_EQ(other->comments().size(), 1);
    EXPECT_NE(other->pictures()[0], floating);
    EXPECT_NE(other->pictures()[0]->uniqueId(), floating->uniqueId());
    EXPECT_EQ(other->pictures()[0]->floatingTargetNode(), copied);
    EXPECT_EQ(other->comments()[0]->floatingTargetNode(), copied);
    EXPECT_EQ(document->pictures(), IXDocumentNode::NodeList{floating});
    other->removeRootBranch(copied);
}

TEST_F(ReferencesTest, CopiesOfReferencesGetFreshIdsAndKeepTheirTargets)
{
    const auto target = branchTitled(QStringLiteral("target"));
    root->insertBranch(target, -1);
    const auto connection = child->addConnection();
    connection->setTargetNode(target);
    child->addPicture()->setTargetRef(QStringLiteral("local:P"));
    child->addComment()->setTitle(QStringLiteral("said"));
    child->addReference(linkTo(QStringLiteral("http://x/")));

    std::shared_ptr<IXBranchNode> copied = child->copyBranch();
    ASSERT_EQ(copied->connections().size(), 1);
    EXPECT_NE(copied->connections()[0]->uniqueId(), connection->uniqueId());
    EXPECT_EQ(copied->connections()[0]->targetRef(), connection->targetRef());
    EXPECT_EQ(copied->connections()[0]->parentNode(), copied.get());
    ASSERT_TRUE(copied->picture());
    EXPECT_EQ(copied->picture()->targetRef(), QStringLiteral("local:P"));
    EXPECT_EQ(copied->picture()->parentNode(), copied.get());
    EXPECT_EQ(copied->comment()->title(), QStringLiteral("said"));
    EXPECT_EQ(copied->attachments().size(), 1);

    root->insertBranch(copied, -1);
    EXPECT_EQ(copied->connections()[0]->targetNode(), target);
}

TEST_F(ReferencesTest, WarningsOfReferencesOfferALocateRepair)
{
    FakeToolManager tools;
    const auto missing = linkTo(QStringLiteral("file:/nowhere/file.txt"), IXReferenceNode::SubtypeFile);
    child->addReference(missing);
    const auto warning = child->warning(QStringLiteral("Export: attachment not found"),
                                        {{IXWarning::ReferenceNodeKey, IXWarning::nodeValue(missing)}});
    EXPECT_EQ(child->warningSolveTitle(*warning), QStringLiteral("Locate"));
    EXPECT_FALSE(child->warningSolve(*warning));
    ASSERT_EQ(tools.activations.size(), 1);
    EXPECT_EQ(tools.activations[0].toolClassName, QStringLiteral("IXAttachmentsTool"));
    EXPECT_EQ(tools.activations[0].object, missing);

    // Not a reference of this branch (any more): no repair.
    EXPECT_TRUE(root->warningSolveTitle(*warning).isEmpty());
    child->removeReference(missing);
    EXPECT_TRUE(child->warningSolveTitle(*warning).isEmpty());
    EXPECT_FALSE(child->warningSolve(*warning));
    EXPECT_EQ(tools.activations.size(), 1);
    const auto plain = child->warning(QStringLiteral("Nothing to repair"));
    EXPECT_TRUE(child->warningSolveTitle(*plain).isEmpty());
}

TEST_F(ReferencesTest, XMLCarriesEveryKindOfChild)
{
    child->setTitle(QStringLiteral("with children"));
    child->addComment()->setTitle(QStringLiteral("comment text"));
    child->appendIcon(QStringLiteral("star"));
    child->addPicture()->setTargetRef(QStringLiteral("local:picture"));
    const auto note = child->addTextnote();
    const auto connection = child->addConnection();
    connection->setTargetNode(root);
    child->addReference(linkTo(QStringLiteral("http://example.org/")));
    child->insertBranch(branchTitled(QStringLiteral("below")), -1);

    PLXMLDocument xml("document");
    PLXMLElement element = child->XMLElement(xml.rootElement());
    QStringList order;
    for (PLXMLElement item = element.firstChildElement(); item; item = item.nextSiblingElement()) order << item.name();
    EXPECT_EQ(order, (QStringList{"title", "comment", "icon", "picture", "note", "connection", "reference", "branch"}));
    EXPECT_EQ(element.firstChildElement("note").attribute("uid"), note->uniqueId());

    auto read = std::make_shared<IXBranchNode>();
    ASSERT_TRUE(read->initWithParent(nullptr, element, nullptr));
    ASSERT_TRUE(read->comment());
    EXPECT_EQ(read->comment()->title(), QStringLiteral("comment text"));
    EXPECT_EQ(read->comment()->parentNode(), read.get());
    ASSERT_TRUE(read->picture());
    EXPECT_EQ(read->picture()->targetRef(), QStringLiteral("local:picture"));
    ASSERT_EQ(read->textnotes().size(), 1);
    EXPECT_EQ(read->textnotes()[0]->existingUniqueId(), note->uniqueId());
    ASSERT_EQ(read->connections().size(), 1);
    EXPECT_EQ(read->connections()[0]->targetRef(), QStringLiteral("branch:") + root->uniqueId());
    ASSERT_EQ(read->attachments().size(), 1);
    EXPECT_EQ(read->attachments()[0]->subtype(), IXReferenceNode::SubtypeWeb);
    EXPECT_EQ(read->branches().size(), 1);
}

TEST_F(ReferencesTest, SelectionsCollectPicturesAndReferences)
{
    const auto picture = child->addPicture();
    auto floating = std::make_shared<IXPictureNode>();
    document->addPicture(floating);
    const auto note = child->addTextnote();
    const auto rootNote = root->addTextnote();
    const auto connection = child->addConnection();
    const IXSelection selection = IXSelection::selectionWithArray({floating, root, child, connection});
    EXPECT_EQ(selection.allPictures(), (IXSelection::NodeList{picture, floating}));
    EXPECT_EQ(selection.allReferencesForType(IXReferenceNode::TypeComment),
              (QList<std::shared_ptr<IXReferenceNode>>{rootNote, note}));
    EXPECT_EQ(selection.allBranchConnections(), IXSelection::NodeList{connection});
}

TEST_F(ReferencesTest, FollowingAConnectionNamesItsTargetBranchAndExpandsAboveIt)
{
    using Kind = IXReferenceOpening::Kind;
    const auto deep = branchTitled(QStringLiteral("deep"));
    child->insertBranch(deep, -1);
    const auto connection = root->addConnection();
    connection->setTargetNode(deep);
    IXReferenceOpening opening = connection->referenceToOpen();
    EXPECT_EQ(opening.kind, Kind::Branch);
    EXPECT_EQ(opening.branch, deep);
    EXPECT_TRUE(opening.expandsBranchesAbove);
    EXPECT_EQ(opening.reference, connection);

    // A reference with a "branch:" target names it without expanding.
    const auto link = linkTo(QStringLiteral("branch:") + deep->uniqueId(), IXReferenceNode::SubtypeNone);
    root->addReference(link);
    opening = link->referenceToOpen();
    EXPECT_EQ(opening.kind, Kind::Branch);
    EXPECT_EQ(opening.branch, deep);
    EXPECT_FALSE(opening.expandsBranchesAbove);

    // A connection whose target is gone does what any reference with a "branch:" target
    // does: it names no branch, so the window is handed an empty selection.
    child->removeBranch(deep);
    opening = connection->referenceToOpen();
    EXPECT_EQ(opening.kind, Kind::Branch);
    EXPECT_EQ(opening.branch, nullptr);
}

TEST_F(ReferencesTest, AConnectionToAnotherDocumentNamesThatFileWhileItExists)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("other.ixd"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    const auto connection = child->addConnection();
    connection->setTargetRef(QStringLiteral("branch:ELSEWHERE"));
    connection->addRelatedLink()->setFilePath(path);
    IXReferenceOpening opening = connection->referenceToOpen();
    EXPECT_EQ(opening.kind, IXReferenceOpening::Kind::BranchInDocument);
    EXPECT_EQ(opening.path, path);
    EXPECT_EQ(opening.reference, connection);
    EXPECT_TRUE(opening.expandsBranchesAbove);

    QFile::remove(path);  // the linked file is gone: nothing to open
    EXPECT_EQ(connection->referenceToOpen().kind, IXReferenceOpening::Kind::Nothing);
}

TEST_F(ReferencesTest, AFileSharedByTwoReferencesStaysRegisteredUntilBothAreGone)
{
    const QString path = QStringLiteral("/srv/files/shared.txt");
    const auto first = linkTo(QStringLiteral("file:") + path, IXReferenceNode::SubtypeText);
    child->addReference(first);
    std::shared_ptr<IXBranchNode> copied = child->copyBranch();  // its copy brings the same file in
    root->insertBranch(copied, -1);
    const auto filesOf = [this] {
        return document->additionalFolders().info().value(QStringLiteral("files")).toMap().value(QStringLiteral("files")).toStringList();
    };
    EXPECT_EQ(filesOf(), QStringList{path});

    root->removeBranch(copied);  // the copy's reference leaves
    EXPECT_EQ(filesOf(), QStringList{path});
    EXPECT_EQ(document->additionalFolders().info().value(IXAdditionalFolders::ReferencesKey).toMap().keys(), QStringList{first->uniqueId()});
    child->removeReference(first);
    EXPECT_FALSE(document->additionalFolders().info().contains(QStringLiteral("files")));
}

TEST_F(ReferencesTest, ConnectionsLetGoOfRemovedTargetsAndFindThemAgainAfterUndo)
{
    const auto target = branchTitled(QStringLiteral("target"));
    root->insertBranch(target, -1);
    const auto connection = child->addConnection();
    connection->setTargetNode(target);
    EXPECT_EQ(connection->targetNode(), target);
    endTurn();

    root->removeBranch(target);
    EXPECT_EQ(connection->targetNode(), nullptr);
    endTurn();
    undo.undo();
    EXPECT_EQ(connection->targetNode(), target);

    // Re-targeting is announced by the branch that owns the connection.
    recorder.take();
    connection->setTargetNode(nullptr);
    EXPECT_TRUE(connection->targetRef().isEmpty());
    EXPECT_TRUE(recorder.take().contains(QStringLiteral("child connection.targetRef")));
}
