#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXNodeElementRegistry.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXWarning.h"
#include "IXFakeServices.h"
#include "IXPackageTestNodes.h"
#include "IXReferenceTestSupport.h"
#include "Platform/Text/PLRTFReader.h"

#include <gtest/gtest.h>

namespace {

// Branches as the package tests read them; pictures, comments and notes are the real ones.
struct BranchReader {
    IXNodeElementRegistry::Factory previous = IXNodeElementRegistry::setFactory("branch", &XMLTestBranch::make);
    ~BranchReader() { IXNodeElementRegistry::setFactory("branch", previous); }
};

}  // namespace

TEST(IXReferencePackage, FloatingNodesAndNotesSurviveASaveAndAReload)
{
    FakeApplicationServices services;
    BranchReader reader;
    auto document = std::make_shared<IXDocumentNode>();
    auto root = std::make_shared<XMLTestBranch>(QStringLiteral("Root"));
    document->addRootBranch(root);

    auto picture = std::make_shared<IXPictureNode>();
    document->addPicture(picture);
    picture->addPictureData(pngBytes(30, 20), QStringLiteral("pasted.png"));
    picture->setFloatingTargetNode(root);
    auto comment = std::make_shared<IXCommentNode>();
    document->addComment(comment);
    comment->setTitle(QStringLiteral("Ask Ann\nabout the budget"));
    comment->setFloatingTargetNode(root);
    auto note = std::make_shared<IXCommentNode>();
    root->addChild(note);
    note->setTextString(QStringLiteral("Minutes of the meeting"));

    PLError saveError;
    const std::optional<QByteArray> package = document->zipData(&saveError);
    ASSERT_TRUE(package) << saveError.failureReason().toStdString();
    EXPECT_EQ(note->targetRef(), "local:" + note->uniqueId());

    PLError error;
    const auto reopened = IXDocumentNode::fromZipData(*package, &error);
    ASSERT_TRUE(reopened) << error.failureReason().toStdString();
    EXPECT_TRUE(reopened->warnings().isEmpty()) << "contents.xml follows the schema";
    ASSERT_EQ(reopened->rootBranches().size(), 1);
    const auto readRoot = reopened->rootBranches().first();

    ASSERT_EQ(reopened->pictures().size(), 1);
    auto readPicture = std::dynamic_pointer_cast<IXPictureNode>(reopened->pictures().first());
    ASSERT_TRUE(readPicture);
    EXPECT_EQ(readPicture->image().size(), QSize(30, 20));
    EXPECT_EQ(readPicture->floatingTargetNode(), readRoot);

    ASSERT_EQ(reopened->comments().size(), 1);
    auto readComment = std::dynamic_pointer_cast<IXCommentNode>(reopened->comments().first());
    ASSERT_TRUE(readComment);
    EXPECT_EQ(readComment->subtype(), IXReferenceNode::SubtypeFloatingComment);
    EXPECT_EQ(readComment->title(), QStringLiteral("Ask Ann\nabout the budget"));
    EXPECT_EQ(readComment->floatingTargetNode(), readRoot);
    EXPECT_EQ(reopened->nodesLinkedTo(readRoot.get()).size(), 2);

    const std::optional<QByteArray> notePart = reopened->packageParts().dataNamed(note->uniqueId());
    ASSERT_TRUE(notePart);
    EXPECT_EQ(PLRTFReader::read(*notePart)->string(), QStringLiteral("Minutes of the meeting"));
}

TEST(IXReferencePackage, StylesTravelWithPicturesAndConnections)
{
    DocumentWithBranch fixture;
    auto picture = std::make_shared<IXPictureNode>();
    fixture.document->addPicture(picture);
    auto connection = picture->addConnection();
    fixture.document->styleSheet()->styleForNode(picture.get())->setValue(IXStyleValue::real(0.5f), QStringLiteral("picture.opacity"));
    fixture.document->layoutForName(QStringLiteral("mindmap"))->styleSheet()->styleForNode(connection.get())
        ->setValue(IXStyleValue::real(2), QStringLiteral("connection.line.width"));

    fixture.document->removePicture(picture);
    EXPECT_EQ(picture->styleAttributes().value(IXDocumentNode::DocumentStyleSheetKey).value(QStringLiteral("picture.opacity")),
              IXStyleValue::real(0.5f));
    EXPECT_EQ(connection->styleAttributes().value(QStringLiteral("mindmap")).size(), 1);

    // A copy made outside the document takes the saved styles along.
    auto copy = std::static_pointer_cast<IXPictureNode>(picture->copy());
    EXPECT_EQ(copy->styleAttributes(), picture->styleAttributes());

    fixture.document->addPicture(picture);
    EXPECT_TRUE(picture->styleAttributes().isEmpty());
    EXPECT_TRUE(connection->styleAttributes().isEmpty());
    EXPECT_EQ(fixture.document->styleAttributesForNode(picture.get()).value(IXDocumentNode::DocumentStyleSheetKey)
                  .value(QStringLiteral("picture.opacity")),
              IXStyleValue::real(0.5f));
    EXPECT_EQ(fixture.document->styleAttributesForNode(connection.get()).value(QStringLiteral("mindmap")).size(), 1);
}
