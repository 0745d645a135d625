#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXWarning.h"
#include "IXFakeServices.h"
#include "IXReferenceTestSupport.h"
#include "Platform/Text/PLRTFDArchive.h"
#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLRTFWriter.h"
#include "Platform/Text/PLTextAttachment.h"
#include "Platform/Core/PLUndoManager.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

void save(IXDocumentNode& document)
{
    PLError error;
    document.observers()->send(IXDocumentNodeSave, &document, &error);
    EXPECT_FALSE(error);
}

PLAttributedString boldText(const QString& text)
{
    PLTextAttributes bold;
    bold.font = PLFont(QStringLiteral("Helvetica"), 12, true);
    PLAttributedString string(QStringLiteral("Plain and "));
    string.append(text, bold);
    return string;
}

struct NoteFixture : DocumentWithBranch {
    std::shared_ptr<IXCommentNode> note = add(std::make_shared<IXCommentNode>());

    NoteFixture() { note->setTargetRef(IXReferenceNode::targetRefWithLocation(IXReferenceNode::LocationLocal, note->uniqueId())); }
    std::optional<QByteArray> part() const { return document->packageParts().dataNamed(note->uniqueId()); }
};

}  // namespace

TEST(IXCommentNode, TitleFromString)
{
    const struct {
        QString text;
        QString title;
    } cases[] = {
        {QStringLiteral("   "), QStringLiteral("untitled")},
        {QString(), QStringLiteral("untitled")},
        // The lines that hold the first ten characters.
        {QStringLiteral("ab\ncd\nefgh\nmore"), QStringLiteral("ab cd efgh")},
        {QStringLiteral("Shopping list\nmilk"), QStringLiteral("Shopping list")},
        {QStringLiteral("\t Call Ann \t"), QStringLiteral("Call Ann")},
        {QStringLiteral("a\r\nb\r\nc\r\nd\r\ne\r\nf"), QStringLiteral("a b c d")},
        {QString(80, QLatin1Char('x')), QString(50, QLatin1Char('x'))},
        {QStringLiteral("one  \t two\u2028three"), QStringLiteral("one two")},
        {QStringLiteral("one  \t t\u2028three"), QStringLiteral("one t three")},
        {QStringLiteral("\n\n\n\n\n\n\n\n\n\n\nlate"), QStringLiteral("untitled")},
        // A character outside the basic plane is never cut in two.
        {QString(49, QLatin1Char('y')) + QStringLiteral("\U0001F600z"), QString(49, QLatin1Char('y'))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(IXCommentNode::titleFromString(c.text), c.title);
    }
}

TEST(IXCommentNode, FormsAndTitles)
{
    DocumentWithBranch fixture;
    auto comment = std::make_shared<IXCommentNode>();
    EXPECT_EQ(comment->type(), IXReferenceNode::TypeComment);
    EXPECT_TRUE(comment->isTextNote());
    fixture.document->addComment(comment);  // floating comments are plain text
    EXPECT_EQ(comment->subtype(), IXReferenceNode::SubtypeFloatingComment);
    EXPECT_TRUE(comment->isFloating());

    comment->setText(boldText(QStringLiteral("bold")));
    EXPECT_EQ(comment->title(), QStringLiteral("Plain and bold"));
    EXPECT_EQ(comment->text().string(), QStringLiteral("Plain and bold"));
    EXPECT_FALSE(comment->isTextLoaded());

    auto note = fixture.add(std::make_shared<IXCommentNode>());
    EXPECT_FALSE(note->isFloating());
    note->setTextString(QStringLiteral("Agenda for Monday\n1. budget"));
    EXPECT_EQ(note->title(), QStringLiteral("Agenda for Monday"));
    note->setPlainText(true);
    EXPECT_EQ(note->subtype(), IXReferenceNode::SubtypeFloatingComment);
}

TEST(IXCommentNode, NoteTextIsSavedAsRTFAndReadBack)
{
    NoteFixture fixture;
    PLUndoManager undo;
    fixture.document->setUndoManager(&undo);
    ReferenceRecorder recorder;
    fixture.document->addToObservers(&recorder);
    PLDocumentAttributes attributes;
    attributes.leftMargin = 36;

    fixture.note->setAttributes(attributes);
    fixture.note->setText(boldText(QStringLiteral("bold")));
    EXPECT_EQ(recorder.take(), (QStringList{"reference text", "comment text"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Note Text"));
    save(*fixture.document);
    ASSERT_TRUE(fixture.part());
    EXPECT_TRUE(PLRTFReader::isRTF(*fixture.part()));

    // Undo goes back to the text as stored, read again from the part.
    undo.undo();
    EXPECT_FALSE(fixture.note->isTextLoaded());
    EXPECT_EQ(fixture.note->text(), boldText(QStringLiteral("bold")));
    EXPECT_EQ(fixture.note->attributes().leftMargin, 36);
    undo.removeAllActions();

    // Another note reading that part gets the same text and document attributes.
    auto reader = fixture.add(std::make_shared<IXCommentNode>());
    reader->setTargetRef(fixture.note->targetRef());
    EXPECT_EQ(reader->text(), boldText(QStringLiteral("bold")));
    EXPECT_EQ(reader->attributes().leftMargin, 36);
    EXPECT_FALSE(reader->isTextUnreadable());
}

TEST(IXCommentNode, NotesWithAttachmentsAreSavedAsRTFD)
{
    NoteFixture fixture;
    PLAttributedString text(QStringLiteral("Photo: "));
    text.append(PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("photo.png"), pngBytes(4, 4))));
    fixture.note->setText(text);
    save(*fixture.document);
    ASSERT_TRUE(fixture.part());
    EXPECT_TRUE(PLRTFDArchive::isSerializedData(*fixture.part()));

    auto reader = fixture.add(std::make_shared<IXCommentNode>());
    reader->setTargetRef(fixture.note->targetRef());
    const QList<PLTextAttachmentPtr> attachments = reader->text().attachments();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments.first()->contents(), pngBytes(4, 4));
}

TEST(IXCommentNode, NotesWithoutTargetGetTheirOwnPartWhenWritten)
{
    DocumentWithBranch fixture;
    auto note = fixture.add(std::make_shared<IXCommentNode>());
    XMLRoundTrip untouched;
    untouched.write(*note);
    EXPECT_FALSE(untouched.readElement().hasAttribute("target"));  // nothing to store

    note->setTextString(QStringLiteral("hello"));
    XMLRoundTrip trip;
    trip.write(*note);
    EXPECT_EQ(trip.readElement().attribute("target"), "local:" + note->uniqueId());
    save(*fixture.document);
    EXPECT_TRUE(PLRTFReader::isRTF(fixture.document->packageParts().dataNamed(note->uniqueId()).value_or(QByteArray())));

    // Plain text in a part reads as plain text.
    fixture.document->packageParts().setData("just words", QStringLiteral("plain"));
    auto plain = fixture.add(std::make_shared<IXCommentNode>());
    plain->setTargetRef(QStringLiteral("local:plain"));
    EXPECT_EQ(plain->text().string(), QStringLiteral("just words"));
    EXPECT_FALSE(plain->isTextUnreadable());
}

TEST(IXCommentNode, UnreadablePartIsKeptUntilTheNoteIsEdited)
{
    FakeApplicationServices services;
    NoteFixture fixture;
    PLUndoManager undo;
    fixture.document->setUndoManager(&undo);
    const QByteArray damaged = "{\\rtf1\\ansi {\\fonttbl{\\f0 Helvetica;}}\\f0 First words {\\b and then";
    fixture.document->packageParts().setData(damaged, fixture.note->uniqueId());

    EXPECT_TRUE(fixture.note->text().string().startsWith(QStringLiteral("First words")));
    EXPECT_TRUE(fixture.note->isTextUnreadable());
    ASSERT_EQ(fixture.document->warnings().size(), 1);
    EXPECT_EQ(fixture.document->warnings().first()->title(), QStringLiteral("Text note"));
    EXPECT_TRUE(fixture.document->warnings().first()->isOwnedBy(fixture.note.get()));

    fixture.note->text();
    EXPECT_EQ(fixture.document->warnings().size(), 1) << "warned once per reading";
    save(*fixture.document);
    EXPECT_EQ(fixture.part(), damaged);

    // An edit that is undone before saving leaves the part alone as well.
    fixture.note->setTextString(QStringLiteral("typed"));
    QCoreApplication::processEvents();
    undo.undo();
    save(*fixture.document);
    EXPECT_EQ(fixture.part(), damaged);

    // The user's edit is what counts from then on.
    fixture.note->setTextString(QStringLiteral("rewritten"));
    EXPECT_FALSE(fixture.note->isTextUnreadable());
    save(*fixture.document);
    EXPECT_EQ(PLRTFReader::read(*fixture.part())->string(), QStringLiteral("rewritten"));
    undo.removeAllActions();
}

TEST(IXCommentNode, EmptiedNotesDoNotComeBack)
{
    NoteFixture fixture;
    fixture.note->setTextString(QStringLiteral("temporary"));
    save(*fixture.document);
    fixture.note->setTextString(QString());
    save(*fixture.document);
    EXPECT_EQ(fixture.part(), QByteArray());

    // A note never read or set leaves its part as it is.
    fixture.document->packageParts().setData("{\\rtf1 kept}", QStringLiteral("OTHER"));
    auto untouched = fixture.add(std::make_shared<IXCommentNode>());
    untouched->setTargetRef(QStringLiteral("local:OTHER"));
    save(*fixture.document);
    EXPECT_EQ(fixture.document->packageParts().dataNamed(QStringLiteral("OTHER")), QByteArray("{\\rtf1 kept}"));
}

TEST(IXCommentNode, DetachedNotesReadTheirTextOnceBack)
{
    NoteFixture fixture;
    fixture.document->packageParts().setData(PLRTFWriter::write(PLAttributedString(QStringLiteral("stored"))), fixture.note->uniqueId());
    fixture.branch->removeChild(fixture.note);
    EXPECT_TRUE(fixture.note->text().isEmpty());
    EXPECT_FALSE(fixture.note->isTextLoaded());
    fixture.branch->addChild(fixture.note);
    EXPECT_EQ(fixture.note->text().string(), QStringLiteral("stored"));
}

TEST(IXCommentNode, CopiesOfNotesGetTheirOwnPart)
{
    NoteFixture source;
    source.document->packageParts().setData(PLRTFWriter::write(PLAttributedString(QStringLiteral("original"))), source.note->uniqueId());
    DocumentWithBranch other;

    // A copy pasted into another document takes the stored text along.
    auto copy = std::static_pointer_cast<IXCommentNode>(source.note->copy());
    other.branch->addChild(copy);
    XMLRoundTrip trip;
    trip.write(*copy);
    EXPECT_EQ(copy->targetRef(), "local:" + copy->uniqueId());
    save(*other.document);
    EXPECT_EQ(copy->text().string(), QStringLiteral("original"));
    EXPECT_EQ(PLRTFReader::read(other.document->packageParts().dataNamed(copy->uniqueId()).value_or(QByteArray()))->string(),
              QStringLiteral("original"));

    // A copy in the same document never writes over the original's part.
    auto sibling = std::static_pointer_cast<IXCommentNode>(source.note->copy());
    source.branch->addChild(sibling);
    sibling->setTextString(QStringLiteral("changed copy"));
    XMLRoundTrip siblingTrip;
    siblingTrip.write(*sibling);
    save(*source.document);
    EXPECT_EQ(PLRTFReader::read(*source.part())->string(), QStringLiteral("original"));
    EXPECT_EQ(PLRTFReader::read(*source.document->packageParts().dataNamed(sibling->uniqueId()))->string(), QStringLiteral("changed copy"));
}

TEST(IXCommentNode, ReadNotesKeepTheirStoredBytesUntilEdited)
{
    NoteFixture fixture;
    PLUndoManager undo;
    fixture.document->setUndoManager(&undo);
    // Shadowed text and a table, which the text model does not carry entirely.
    const QByteArray stored = "{\\rtf1\\ansi {\\fonttbl{\\f0 Helvetica;}}\\f0 {\\shad Shadowed}\\par\n"
                              "\\trowd\\cellx2000\\cellx4000\\pard\\intbl one\\cell two\\cell\\row\n}";
    fixture.document->packageParts().setData(stored, fixture.note->uniqueId());

    // Reading the text, copying the note and saving leave the part alone.
    EXPECT_TRUE(fixture.note->text().string().startsWith(QStringLiteral("Shadowed")));
    EXPECT_FALSE(fixture.note->isTextChanged());
    save(*fixture.document);
    EXPECT_EQ(fixture.part(), stored);
    DocumentWithBranch other;
    auto copy = std::static_pointer_cast<IXCommentNode>(fixture.note->copy());
    other.branch->addChild(copy);
    XMLRoundTrip trip;
    trip.write(*copy);
    save(*other.document);
    EXPECT_EQ(other.document->packageParts().dataNamed(copy->uniqueId()), stored);

    // An edit is written; its undo brings back the stored bytes, even after a save between.
    fixture.note->setTextString(QStringLiteral("typed"));
    EXPECT_TRUE(fixture.note->isTextChanged());
    QCoreApplication::processEvents();
    save(*fixture.document);
    EXPECT_EQ(PLRTFReader::read(*fixture.part())->string(), QStringLiteral("typed"));
    undo.undo();
    EXPECT_FALSE(fixture.note->isTextChanged());
    save(*fixture.document);
    EXPECT_EQ(fixture.part(), stored);
    undo.removeAllActions();
}
