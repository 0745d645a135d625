// The text-note editor in a document window: a rich note (fonts, colours, a list, tables, a
// link, a picture) shown with each of them, one word typed and the document saved and reopened
// with the rest of the note unchanged; a note opened and closed untouched keeping its stored
// bytes; the Map menu's command and the window's opening of a found note with the hit
// selected; pictures of the glued and the floating editor in /tmp/notes-shots.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPackageParts.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowNoteEditor.h"
#include "IXWindowShellTestSupport.h"
#include "Inspectors/IXInspectorController.h"
#include "Inspectors/IXNoteTextView.h"
#include "Inspectors/IXSlavePanel.h"
#include "Inspectors/IXTextNoteInspector.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLTextTableBlock.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QByteArray platformFixture(const char* name)
{
    QFile file(QStringLiteral(IX_SOURCE_DIR "/tests/Platform/data/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// The styled fixture (fonts, colours, a list, a link, a picture) followed by the tables one.
PLAttributedString richNote()
{
    const QByteArray picture = platformFixture("pixels.png");
    const auto files = [&](const QString& name) -> std::optional<QByteArray> {
        if (name == QLatin1String("pixels.png")) return picture;
        return std::nullopt;
    };
    std::optional<PLAttributedString> text
        = PLRTFReader::read(platformFixture("editor-style.rtf"), nullptr, nullptr, files);
    const std::optional<PLAttributedString> tables = PLRTFReader::read(platformFixture("editor-tables.rtf"));
    EXPECT_TRUE(text && tables);
    if (!text || !tables) return {};
    // The first fixture's last paragraph ends, and a plain one leads to the tables.
    if (!text->string().endsWith(QLatin1Char('\n')))
        text->append(QStringLiteral("\n"), text->attributesAt(text->length() - 1));
    PLTextAttributes plain;
    plain.font = PLFont(QStringLiteral("Helvetica"), 12);
    text->append(QStringLiteral("Tables:\n"), plain);
    text->append(*tables);
    return *text;
}

// What the text view shows, kind by kind.
struct Shown {
    bool table = false;
    bool list = false;
    bool link = false;
    bool picture = false;
    bool boldFont = false;
    bool coloured = false;
};

Shown shownIn(const QTextDocument* document)
{
    Shown shown;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        // A list shows as its paragraphs' markers, as rich text keeps them.
        if (block.textList() || block.text().startsWith(QStringLiteral("\t\u2022\t"))) shown.list = true;
        QTextCursor cursor(block);
        if (cursor.currentTable()) shown.table = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor()) shown.link = true;
            if (format.isImageFormat()) shown.picture = true;
            if (format.fontWeight() >= QFont::Bold) shown.boldFont = true;
            if (format.foreground().color() == QColor(0, 0, 255)) shown.coloured = true;
        }
    }
    return shown;
}

// Where two texts first differ: the index, and which of characters or attributes.
std::string firstDifference(const PLAttributedString& a, const PLAttributedString& b)
{
    const int length = std::min(a.length(), b.length());
    for (int i = 0; i < length; ++i) {
        if (a.string()[i] != b.string()[i]) return "character at " + std::to_string(i);
        if (!(a.attributesAt(i) == b.attributesAt(i))) {
            std::string which;
            using Key = PLTextAttributes::Key;
            const struct {
                Key key;
                const char* name;
            } keys[] = {{Key::Font, "font"},
                        {Key::ForegroundColor, "colour"},
                        {Key::BackgroundColor, "background"},
                        {Key::UnderlineStyle, "underline"},
                        {Key::UnderlineColor, "underline colour"},
                        {Key::StrikethroughStyle, "strike"},
                        {Key::StrikethroughColor, "strike colour"},
                        {Key::Superscript, "superscript"},
                        {Key::BaselineOffset, "baseline"},
                        {Key::ParagraphStyle, "paragraph"},
                        {Key::Link, "link"},
                        {Key::Attachment, "attachment"}};
            for (const auto& key : keys)
                if (!a.attributesAt(i).sameValue(b.attributesAt(i), key.key)) which += std::string(" ") + key.name;
            return "attributes at " + std::to_string(i) + ":" + which + " in \""
                + a.string().mid(std::max(0, i - 10), 20).toStdString() + "\"";
        }
    }
    return a.length() == b.length() ? "none"
                                    : "length " + std::to_string(a.length()) + " vs " + std::to_string(b.length());
}

class TextNoteEditorTest : public WindowShellTest {
protected:
    void TearDown() override
    {
        WindowShellTest::TearDown();
        IXTextNoteInspector::installServices({});
    }

    // The opened window is the main one, as the inspectors follow it.
    IXDocument* open(const QString& path)
    {
        IXDocument* document = WindowShellTest::open(path);
        if (document) IXInspectorController::windowDidBecomeMain(controllerOf(document)->window());
        return document;
    }
    void close(IXDocument* document)
    {
        IXDocumentController::shared().removeDocument(document);
        spin(10);
    }
    static std::shared_ptr<IXBranchNode> firstRoot(IXDocument* document)
    {
        return std::dynamic_pointer_cast<IXBranchNode>(document->documentNode()->rootBranches().first());
    }
    static void select(IXWindowController* controller, const std::shared_ptr<IXNode>& node)
    {
        controller->setSelection(IXSelection::selectionWithNode(node));
        spin(20);
    }
    // A copy of tree.ixd whose first root branch has the rich note, saved.
    QString documentWithRichNote(PLAttributedString* stored)
    {
        const QString path = copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("notes.ixd"));
        IXDocument* document = open(path);
        EXPECT_TRUE(document);
        if (!document) return path;
        auto note = firstRoot(document)->addTextnote();
        note->setText(richNote());
        note->setTitle(QStringLiteral("Rich"));
        EXPECT_TRUE(document->saveDocument());
        close(document);
        // The note as it reads back from its part.
        IXDocument* reopened = open(path);
        *stored = firstRoot(reopened)->textnotes().first()->text();
        close(reopened);
        return path;
    }
    // The widget at 1x and 2x.
    static void writePictures(QWidget* widget, const QString& name)
    {
        QDir().mkpath(QStringLiteral("/tmp/notes-shots"));
        widget->grab().save(QStringLiteral("/tmp/notes-shots/%1.png").arg(name));
        QPixmap twice(widget->size() * 2);
        twice.setDevicePixelRatio(2);
        twice.fill(Qt::white);
        widget->render(&twice);
        twice.save(QStringLiteral("/tmp/notes-shots/%1@2x.png").arg(name));
    }

    FakeDialogs dialogs;
};

TEST_F(TextNoteEditorTest, ARichNoteShowsEverythingAndKeepsItAfterAWordIsTyped)
{
    PLAttributedString stored;
    const QString path = documentWithRichNote(&stored);
    ASSERT_FALSE(stored.isEmpty());
    ASSERT_TRUE(stored.hasAttachments());

    IXDocument* document = open(path);
    ASSERT_TRUE(document);
    IXWindowController* controller = controllerOf(document);
    controller->window()->resize(900, 650);
    controller->window()->show();
    select(controller, firstRoot(document));
    controller->editTextNote(nullptr);
    spin(IXTextNoteInspector::FadeMilliseconds + 100);
    IXTextNoteInspector* editor = controller->noteEditor().editor();
    ASSERT_TRUE(editor->isVisible());
    ASSERT_TRUE(editor->isSlave());
    EXPECT_EQ(editor->noteNameField()->text(), QStringLiteral("Rich"));
    const Shown shown = shownIn(editor->textView()->document());
    EXPECT_TRUE(shown.table);
    EXPECT_TRUE(shown.list);
    EXPECT_TRUE(shown.link);
    EXPECT_TRUE(shown.picture);
    EXPECT_TRUE(shown.boldFont);
    EXPECT_TRUE(shown.coloured);
    editor->showToolbarButton()->setChecked(true);
    editor->showRulerButton()->setChecked(true);
    spin(20);
    writePictures(controller->window(), QStringLiteral("editor-glued"));
    writePictures(editor->window(), QStringLiteral("editor-glued-panel"));

    // One word at the start, then saved and reopened.
    IXNoteTextView* view = editor->textView();
    view->moveCursor(QTextCursor::Start);
    QTest::keyClicks(view, QStringLiteral("Hello "));
    ASSERT_TRUE(document->saveDocument());
    close(document);

    IXDocument* reopened = open(path);
    ASSERT_TRUE(reopened);
    const PLAttributedString text = firstRoot(reopened)->textnotes().first()->text();
    ASSERT_TRUE(text.string().startsWith(QStringLiteral("Hello ")));
    const PLAttributedString rest = text.substring(PLRange(6, text.length() - 6));
    ASSERT_EQ(rest.string(), stored.string());
    // Up to the tables the text is the stored one exactly; in the tables every character keeps
    // its attributes and its cell (the paragraph settings of table paragraphs other than the
    // cells are Qt's to lay out).
    const int tablesStart = int(stored.string().indexOf(QStringLiteral("Tables:")));
    ASSERT_GT(tablesStart, 0);
    EXPECT_TRUE(rest.substring(PLRange(0, tablesStart)) == stored.substring(PLRange(0, tablesStart)))
        << firstDifference(rest, stored);
    for (int i = tablesStart; i < stored.length(); ++i) {
        PLTextAttributes kept = rest.attributesAt(i);
        PLTextAttributes was = stored.attributesAt(i);
        const auto cells = [](const PLTextAttributes& attributes) {
            return attributes.paragraphStyle ? attributes.paragraphStyle->textBlocks : QList<PLTextTableBlock>();
        };
        const QList<PLTextTableBlock> keptCells = cells(kept);
        const QList<PLTextTableBlock> wasCells = cells(was);
        ASSERT_EQ(keptCells.size(), wasCells.size()) << i;
        for (qsizetype level = 0; level < keptCells.size(); ++level)
            EXPECT_TRUE(keptCells[level].sameCell(wasCells[level])) << i;
        kept.remove(PLTextAttributes::Key::ParagraphStyle);
        was.remove(PLTextAttributes::Key::ParagraphStyle);
        ASSERT_TRUE(kept == was) << firstDifference(rest, stored) << " at " << i;
    }
}

TEST_F(TextNoteEditorTest, ANoteOpenedAndClosedUntouchedKeepsItsStoredBytes)
{
    PLAttributedString stored;
    const QString path = documentWithRichNote(&stored);
    IXDocument* document = open(path);
    ASSERT_TRUE(document);
    IXWindowController* controller = controllerOf(document);
    controller->window()->show();
    const auto note = firstRoot(document)->textnotes().first();
    const QString part = note->targetValue().text();
    const QByteArray before = document->documentNode()->packageParts().dataNamed(part).value_or(QByteArray());
    ASSERT_FALSE(before.isEmpty());

    select(controller, firstRoot(document));
    controller->editTextNote(nullptr);
    controller->toggleTextEditor(nullptr);
    spin(IXTextNoteInspector::FadeMilliseconds + 100);
    EXPECT_FALSE(controller->noteEditor().editor()->isVisible());
    EXPECT_FALSE(note->isTextChanged());
    EXPECT_FALSE(document->isDocumentEdited());
    // The editor's state is the window's, not the document's: saving writes it all the same.
    ASSERT_TRUE(document->saveDocument());
    close(document);

    IXDocument* reopened = open(path);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->documentNode()->packageParts().dataNamed(part).value_or(QByteArray()), before);
}

TEST_F(TextNoteEditorTest, TheMenuCommandAndAFoundNoteOpenTheEditor)
{
    IXDocument* document = open(copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("tree.ixd")));
    ASSERT_TRUE(document);
    IXWindowController* controller = controllerOf(document);
    controller->window()->show();
    const auto branch = firstRoot(document);
    select(controller, branch);

    QAction edit;
    IXActionItem::setAction(&edit, IXCommands::EditTextNote.toByteArray());
    QAction newNote;
    IXActionItem::setAction(&newNote, IXCommands::EditTextNote.toByteArray());
    newNote.setData(1);
    // Without notes only the new-note variant is offered.
    EXPECT_FALSE(controller->validateMenuItem(&edit));
    EXPECT_TRUE(controller->validateMenuItem(&newNote));
    controller->editTextNote(&newNote);
    spin(20);
    ASSERT_EQ(branch->textnotes().size(), 1);
    EXPECT_TRUE(controller->validateMenuItem(&edit));

    // A typed note that is not yet written counts as a change the document asks about.
    IXTextNoteInspector* editor = controller->noteEditor().editor();
    QTest::keyClicks(editor->textView(), QStringLiteral("Needle in a haystack"));
    ASSERT_TRUE(document->saveDocument());
    EXPECT_EQ(branch->textnotes().first()->textString(), QStringLiteral("Needle in a haystack"));

    editor->hide();
    spin(IXTextNoteInspector::FadeMilliseconds + 100);
    select(controller, document->documentNode()->rootBranches().last());
    // As find does: the note's branch is selected, and the editor opened at once, before the
    // selection's notice.
    controller->setSelection(IXSelection::selectionWithNode(branch));
    controller->openTextNoteEditorSelectingRange(branch->textnotes().first(), PLRange(12, 8));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->currentNote(), branch->textnotes().first());
    EXPECT_EQ(editor->textView()->textCursor().selectedText(), QStringLiteral("haystack"));

    // The floating form, as the floating-panels layout has it.
    IXTextNoteInspector floating;
    floating.setTracksActiveController(true);
    floating.setSelection(IXSelection::selectionWithNode(branch));
    floating.showImmediately();
    ASSERT_TRUE(floating.isVisible());
    EXPECT_FALSE(floating.isSlave());
    floating.showToolbarButton()->setChecked(true);
    spin(20);
    writePictures(floating.window(), QStringLiteral("editor-floating"));
    floating.hide();
    spin(IXTextNoteInspector::FadeMilliseconds + 100);
}

}  // namespace
