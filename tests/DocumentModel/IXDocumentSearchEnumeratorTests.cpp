// The walk over every text of a document: its order both ways, the clamping of its place after
// edits, and replacements in every kind of text.
#include "DocumentModel/IXDocumentSearchEnumerator.h"
#include "IXBranchTestSupport.h"
#include "IXSearchTestDocument.h"
#include "Platform/Text/PLFont.h"
#include "Platform/Text/PLTextAttributes.h"

#include <gtest/gtest.h>

namespace {

using Type = IXDocumentSearchEnumerator::Type;

QStringList walkForward(IXDocumentSearchEnumerator& walker, QList<Type>* types = nullptr)
{
    QStringList texts;
    while (const auto text = walker.nextObject()) {
        texts << *text;
        if (types) types->append(walker.currentObjectType());
    }
    return texts;
}

QStringList walkBackward(IXDocumentSearchEnumerator& walker, QList<Type>* types = nullptr)
{
    QStringList texts;
    while (const auto text = walker.previousObject()) {
        texts << *text;
        if (types) types->append(walker.currentObjectType());
    }
    return texts;
}

QStringList reversed(QStringList list)
{
    std::reverse(list.begin(), list.end());
    return list;
}

TEST(DocumentSearchEnumeratorTest, WalksEveryKindOfTextInOrderBothWays)
{
    SearchTestDocument fixture;
    IXDocumentSearchEnumerator walker(fixture.document);
    QList<Type> types;
    EXPECT_EQ(walkForward(walker, &types), SearchTestDocument::forwardTexts());
    EXPECT_EQ(types,
              (QList<Type> {Type::BranchTitle, Type::BranchTitle, Type::BranchTitle, Type::NoteTitle, Type::NoteText,
                            Type::AttachmentTitle, Type::ConnectionTitle, Type::Comment, Type::PictureLabel,
                            Type::BranchTitle, Type::Comment, Type::PictureLabel}));
    // The end of the walk stands before the first text again.
    EXPECT_EQ(walker.currentObjectType(), Type::None);
    EXPECT_EQ(walker.currentNode(), fixture.document);
    EXPECT_EQ(walker.nextObject(), QString("Alpha"));

    walker.resetToBegin();
    types.clear();
    EXPECT_EQ(walkBackward(walker, &types), reversed(SearchTestDocument::forwardTexts()));
    EXPECT_EQ(types.first(), Type::PictureLabel);
    EXPECT_EQ(types.last(), Type::BranchTitle);

    // Turning round in the middle goes back over the same texts.
    walker.resetToBegin();
    for (int i = 0; i < 7; ++i) walker.nextObject();
    EXPECT_EQ(walker.currentObject(), QString("Connect"));
    EXPECT_EQ(walker.previousObject(), QString("Link"));
    EXPECT_EQ(walker.previousObject(), QString("note text"));
    EXPECT_EQ(walker.previousObject(), QString("Note title"));
    EXPECT_EQ(walker.previousObject(), QString("Beta child"));
    EXPECT_EQ(walker.nextObject(), QString("Note title"));
    EXPECT_EQ(walker.currentNode(), fixture.note);
}

TEST(DocumentSearchEnumeratorTest, SmallDocumentAndEmptyDocument)
{
    auto document = std::make_shared<IXDocumentNode>();
    IXDocumentSearchEnumerator empty(document);
    EXPECT_EQ(empty.nextObject(), std::nullopt);
    EXPECT_EQ(empty.previousObject(), std::nullopt);
    EXPECT_EQ(empty.currentObjectType(), Type::None);
    EXPECT_EQ(empty.replaceRange(PLRange(0, 0), "x"), std::nullopt);

    auto a = branchTitled("A");
    document->addRootBranch(a);
    a->insertBranch(branchTitled("B"), -1);
    auto note = a->addTextnote();
    note->setTitle("N");
    note->setTextString("x");
    a->addComment()->setTitle("C");
    IXDocumentSearchEnumerator walker(document);
    EXPECT_EQ(walkForward(walker), (QStringList {"A", "B", "N", "x", "C"}));
    EXPECT_EQ(walkBackward(walker), (QStringList {"C", "x", "N", "B", "A"}));
}

TEST(DocumentSearchEnumeratorTest, LocationKeepsTheWalkerOnItsText)
{
    SearchTestDocument fixture;
    IXDocumentSearchEnumerator walker(fixture.document);
    EXPECT_EQ(walker.nextObject(), QString("Alpha"));
    walker.setLocation(2);
    EXPECT_EQ(walker.nextObject(), QString("Alpha"));
    walker.setLocation(0);
    EXPECT_EQ(walker.nextObject(), QString("Beta"));
    walker.setLocation(0, true);
    EXPECT_EQ(walker.nextObject(), QString("Beta"));
    EXPECT_EQ(walker.nextObject(), QString("Beta child"));
}

TEST(DocumentSearchEnumeratorTest, EditsBetweenCallsClampThePlace)
{
    SearchTestDocument fixture;
    IXDocumentSearchEnumerator walker(fixture.document);
    // On the last root branch, which then goes: the new last root branch takes its place.
    for (int i = 0; i < 10; ++i) walker.nextObject();
    ASSERT_EQ(walker.currentNode(), fixture.gamma);
    fixture.document->removeRootBranch(fixture.gamma);
    EXPECT_EQ(walker.currentNode(), fixture.alpha);
    EXPECT_EQ(walker.currentObject(), QString("Alpha"));

    // On the sub-branch's child, whose list then empties: the walker stands on its parent.
    walker.resetToBegin();
    for (int i = 0; i < 3; ++i) walker.nextObject();
    ASSERT_EQ(walker.currentNode(), fixture.betaChild);
    fixture.beta->removeBranch(fixture.betaChild);
    EXPECT_EQ(walker.currentNode(), fixture.beta);
    EXPECT_EQ(walker.depth(), 2);
    EXPECT_EQ(walker.nextObject(), QString("Note title"));

    // Every root branch gone while inside one: the walk starts over at the floating comment.
    fixture.document->removeRootBranch(fixture.alpha);
    EXPECT_EQ(walker.currentNode(), fixture.document);
    EXPECT_EQ(walker.nextObject(), QString("Floating"));
}

TEST(DocumentSearchEnumeratorTest, ReplacesRangesInEveryKindUndoably)
{
    PLUndoManager undo;
    SearchTestDocument fixture(SearchTestDocument::forwardTexts(), &undo);
    endTurn();
    undo.removeAllActions();
    IXDocumentSearchEnumerator walker(fixture.document);
    QStringList replaced;
    while (const auto text = walker.nextObject()) {
        // Longer at the front, shorter at the end: each text changes its length.
        const auto result = walker.replaceRange(PLRange(0, 1), "<<");
        ASSERT_TRUE(result) << text->toStdString();
        replaced << *result;
        if (text->size() > 2) {
            const auto shorter = walker.replaceRange(PLRange(int(result->size()) - 2, 2), QString());
            ASSERT_TRUE(shorter);
            replaced.last() = *shorter;
        }
    }
    QStringList expected;
    for (const QString& text : SearchTestDocument::forwardTexts()) expected << "<<" + text.mid(1, text.size() - 3);
    EXPECT_EQ(replaced, expected);
    EXPECT_EQ(walkForward(walker), expected);
    EXPECT_EQ(fixture.note->text().string(), "<<ote te");
    EXPECT_EQ(fixture.comment->title(), "<<ema");
    EXPECT_EQ(fixture.floatingPicture->title(), "<<ab");

    // A range outside the text replaces nothing.
    walker.nextObject();
    EXPECT_EQ(walker.replaceRange(PLRange(3, 4), "x"), std::nullopt);
    EXPECT_EQ(walker.replaceRange(PLRange(-1, 1), "x"), std::nullopt);
    EXPECT_EQ(fixture.alpha->title(), "<<lp");

    endTurn();
    undo.undo();
    walker.resetToBegin();
    EXPECT_EQ(walkForward(walker), SearchTestDocument::forwardTexts());
}

TEST(DocumentSearchEnumeratorTest, NoteReplacementKeepsAttributesOutsideTheRange)
{
    SearchTestDocument fixture;
    PLTextAttributes bold;
    bold.font = PLFont::fromName(QStringLiteral("Helvetica-Bold"), 14);
    PLAttributedString text(QStringLiteral("one two three"), bold);
    fixture.note->setText(text);
    IXDocumentSearchEnumerator walker(fixture.document);
    for (int i = 0; i < 5; ++i) walker.nextObject();
    ASSERT_EQ(walker.currentObjectType(), Type::NoteText);
    EXPECT_EQ(walker.replaceRange(PLRange(4, 3), "2"), QString("one 2 three"));
    const PLAttributedString result = fixture.note->text();
    EXPECT_EQ(result.string(), "one 2 three");
    EXPECT_EQ(result.attributesAt(0), bold);
    EXPECT_EQ(result.attributesAt(4), PLTextAttributes());
    EXPECT_EQ(result.attributesAt(6), bold);
}

}  // namespace
