// The text-note editor over a fake document window: the notes of the selected branches and
// the navigation through them with the caption's counts and buttons; a new note made only for
// a non-empty text and kept as the note typed into; an untouched note left as stored; adding
// and removing as one undo step each; the caption's share of the title; the glued panel's
// state kept in the document's options.
#include "DocumentModel/IXCommentNode.h"
#include "IXInspectorTestSupport.h"
#include "Inspectors/IXNoteTextView.h"
#include "Inspectors/IXSlavePanel.h"
#include "Inspectors/IXTextNoteInspector.h"
#include "Platform/Text/PLRichTextFormat.h"

#include <QLabel>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct NotesDocument {
    std::shared_ptr<IXBranchNode> first;
    std::shared_ptr<IXBranchNode> empty;
    std::shared_ptr<IXBranchNode> last;
};

class TextNoteInspectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_controller.m_window.resize(800, 600);
        // "First" has two notes, "Empty" none, "Last" one.
        m_doc.first = m_controller.addBranch(QStringLiteral("First"));
        m_doc.empty = m_controller.addBranch(QStringLiteral("Empty"));
        m_doc.last = m_controller.addBranch(QStringLiteral("Last"));
        addNote(m_doc.first, "Alpha text");
        addNote(m_doc.first, "Beta text");
        addNote(m_doc.last, "Gamma text");
        spinEventLoop();
        m_controller.m_undo.removeAllActions();
        m_editor = std::make_unique<IXTextNoteInspector>(&m_controller);
    }
    void TearDown() override { m_editor.reset(); }

    static std::shared_ptr<IXCommentNode> addNote(const std::shared_ptr<IXBranchNode>& branch, const char* text)
    {
        auto note = branch->addTextnote();
        note->setTextString(QString::fromUtf8(text));
        note->setTitle(IXCommentNode::titleFromString(QString::fromUtf8(text)));
        return note;
    }
    void select(const QList<std::shared_ptr<IXBranchNode>>& branches)
    {
        IXSelection::NodeList nodes;
        for (const auto& branch : branches) nodes.append(branch);
        m_controller.select(IXSelection::selectionWithArray(nodes));
        spinEventLoop();
    }
    // Types at the end of the editor's text, as the user does.
    void type(const QString& text)
    {
        IXNoteTextView* view = m_editor->textView();
        view->moveCursor(QTextCursor::End);
        QTest::keyClicks(view, text);
    }
    QString shownText() const { return m_editor->textView()->document()->toPlainText(); }

    FakeInspectedController m_controller;
    NotesDocument m_doc;
    std::unique_ptr<IXTextNoteInspector> m_editor;
};

TEST_F(TextNoteInspectorTest, StepsThroughTheNotesOfTheSelectedBranchesWithTheirCounts)
{
    select({m_doc.first, m_doc.empty, m_doc.last});
    ASSERT_EQ(m_editor->notes().size(), 3);
    const struct {
        const char* step;
        std::function<void()> action;
        const char* count;
        const char* title;
        const char* name;
        const char* text;
        bool previous;
        bool next;
    } steps[] = {
        {"selected", [] {}, "1 of 3", "First: ", "Alpha text", "Alpha text", false, true},
        {"next", [&] { m_editor->nextNoteAction(); }, "2 of 3", "First: ", "Beta text", "Beta text", true, true},
        {"next", [&] { m_editor->nextNoteAction(); }, "3 of 3", "Last: ", "Gamma text", "Gamma text", true, false},
        {"next at the end", [&] { m_editor->nextNoteAction(); }, "3 of 3", "Last: ", "Gamma text", "Gamma text", true,
         false},
        {"add", [&] { m_editor->addNoteAction(); }, "4 of 4", "Last: ", "(Untitled)", "", true, false},
        {"previous from a new note", [&] { m_editor->prevNoteAction(); }, "3 of 3", "Last: ", "Gamma text",
         "Gamma text", true, false},
        {"first", [&] { m_editor->firstNoteAction(); }, "1 of 3", "First: ", "Alpha text", "Alpha text", false, true},
        {"previous at the start", [&] { m_editor->prevNoteAction(); }, "1 of 3", "First: ", "Alpha text", "Alpha text",
         false, true},
        {"last", [&] { m_editor->lastNoteAction(); }, "3 of 3", "Last: ", "Gamma text", "Gamma text", true, false},
        {"second by index", [&] { m_editor->editNoteAtIndex(1); }, "2 of 3", "First: ", "Beta text", "Beta text", true,
         true},
        {"index out of range", [&] { m_editor->editNoteAtIndex(7); }, "2 of 3", "First: ", "Beta text", "Beta text",
         true, true},
    };
    for (const auto& step : steps) {
        step.action();
        SCOPED_TRACE(step.step);
        EXPECT_EQ(m_editor->noteCountField()->text(), QString::fromUtf8(step.count));
        EXPECT_EQ(m_editor->branchTitleField()->text(), QString::fromUtf8(step.title));
        EXPECT_EQ(m_editor->noteNameField()->text(), QString::fromUtf8(step.name));
        EXPECT_EQ(shownText(), QString::fromUtf8(step.text));
        EXPECT_EQ(m_editor->prevNoteButton()->isEnabled(), step.previous);
        EXPECT_EQ(m_editor->nextNoteButton()->isEnabled(), step.next);
        EXPECT_TRUE(m_editor->addNoteButton()->isEnabled());
    }
    // Navigating committed nothing: no note was changed.
    EXPECT_FALSE(m_controller.m_undo.canUndo());
}

TEST_F(TextNoteInspectorTest, ShowsCountsOnlyWhereThereIsMoreThanOneNote)
{
    select({m_doc.last});
    EXPECT_EQ(m_editor->noteCountField()->text(), QString());
    m_editor->addNoteAction();
    EXPECT_EQ(m_editor->noteCountField()->text(), QStringLiteral("2 of 2"));

    select({m_doc.empty});
    EXPECT_EQ(m_editor->referenceIndex(), -1);
    EXPECT_EQ(m_editor->noteCountField()->text(), QString());
    EXPECT_FALSE(m_editor->prevNoteButton()->isEnabled());
    EXPECT_FALSE(m_editor->removeNoteButton()->isEnabled());
    EXPECT_FALSE(m_editor->textView()->isReadOnly());

    // Without a branch the editor is read-only and says so.
    select({});
    EXPECT_TRUE(m_editor->textView()->isReadOnly());
    EXPECT_EQ(m_editor->noteNameField()->text(), QStringLiteral("(Not Applicable)"));
    EXPECT_FALSE(m_editor->addNoteButton()->isEnabled());
}

TEST_F(TextNoteInspectorTest, ANewNoteIsMadeOnlyForTextAndTypingGoesOnInIt)
{
    select({m_doc.empty});
    // Saving an empty new note makes nothing.
    m_editor->save();
    EXPECT_TRUE(m_doc.empty->textnotes().isEmpty());

    select({m_doc.first});
    m_editor->addNoteAction();
    type(QStringLiteral("Third thoughts"));
    m_editor->save();
    ASSERT_EQ(m_doc.first->textnotes().size(), 3);
    const auto created = m_doc.first->textnotes().last();
    EXPECT_EQ(created->textString(), QStringLiteral("Third thoughts"));
    EXPECT_EQ(created->title(), QStringLiteral("Third thoughts"));
    // The new note is the one shown, not the first note of the selection.
    EXPECT_EQ(m_editor->currentNote(), created);
    EXPECT_EQ(m_editor->noteCountField()->text(), QStringLiteral("3 of 3"));

    type(QStringLiteral(" and more"));
    m_editor->save();
    EXPECT_EQ(created->textString(), QStringLiteral("Third thoughts and more"));
    EXPECT_EQ(m_doc.first->textnotes().first()->textString(), QStringLiteral("Alpha text"));
    EXPECT_EQ(m_doc.first->textnotes().at(1)->textString(), QStringLiteral("Beta text"));
    EXPECT_EQ(m_doc.first->textnotes().size(), 3);
}

TEST_F(TextNoteInspectorTest, AnUntouchedNoteIsNotWrittenAndATypedOneIs)
{
    select({m_doc.first});
    const auto alpha = m_doc.first->textnotes().first();
    // A note read from its stored form: nothing about it counts as changed.
    alpha->setText(alpha->text());
    m_controller.m_undo.removeAllActions();
    m_editor->nextNoteAction();
    m_editor->prevNoteAction();
    select({m_doc.last});
    EXPECT_FALSE(m_controller.m_undo.canUndo());

    select({m_doc.first});
    type(QStringLiteral("!"));
    select({});
    EXPECT_EQ(alpha->textString(), QStringLiteral("Alpha text!"));
    EXPECT_TRUE(m_controller.m_undo.canUndo());
}

TEST_F(TextNoteInspectorTest, AddingAndRemovingAreOneUndoStepEach)
{
    select({m_doc.empty});
    type(QStringLiteral("Fresh note"));
    m_editor->save();
    spinEventLoop();
    ASSERT_EQ(m_doc.empty->textnotes().size(), 1);
    m_controller.m_undo.undo();
    spinEventLoop();
    EXPECT_TRUE(m_doc.empty->textnotes().isEmpty());
    EXPECT_FALSE(m_controller.m_undo.canUndo());

    select({m_doc.first});
    m_editor->nextNoteAction();
    m_editor->removeNoteAction();
    spinEventLoop();
    ASSERT_EQ(m_doc.first->textnotes().size(), 1);
    EXPECT_EQ(shownText(), QStringLiteral("Alpha text"));
    m_controller.m_undo.undo();
    spinEventLoop();
    ASSERT_EQ(m_doc.first->textnotes().size(), 2);
    EXPECT_EQ(m_doc.first->textnotes().at(1)->textString(), QStringLiteral("Beta text"));
    EXPECT_FALSE(m_controller.m_undo.canUndo());
}

TEST_F(TextNoteInspectorTest, ShowsTheModelsTextWhenItChangesElsewhere)
{
    select({m_doc.last});
    m_doc.last->textnotes().first()->setTextString(QStringLiteral("Replaced"));
    spinEventLoop();
    EXPECT_EQ(shownText(), QStringLiteral("Replaced"));
    m_doc.last->setTitle(QStringLiteral("Renamed"));
    spinEventLoop();
    EXPECT_EQ(m_editor->branchTitleField()->text(), QStringLiteral("Renamed: "));
}

TEST(TextNoteInspectorCaption, TheTitleKeepsAtLeastThirtyPercent)
{
    const struct {
        int available, title, name, expected;
    } cases[] = {
        {200, 50, 60, 50},  // both fit
        {200, 180, 60, 140},  // the title gives way to the name
        {200, 190, 150, 60},  // but keeps 30 %
        {201, 300, 300, 60},  // floor(60.3)
    };
    for (const auto& each : cases)
        EXPECT_EQ(IXTextNoteInspector::titleWidth(each.available, each.title, each.name), each.expected)
            << each.available << " " << each.title << " " << each.name;
}

TEST_F(TextNoteInspectorTest, TheGluedPanelKeepsItsStateInTheDocument)
{
    m_controller.m_window.show();
    select({m_doc.first});
    m_editor->showImmediately();
    ASSERT_TRUE(m_editor->isVisible());
    IXSlavePanel* panel = m_editor->slavePanel();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->parentWidget(), &m_controller.m_window);
    m_editor->setFrameInHost(QRect(40, 30, 420, 240));
    m_editor->showToolbarButton()->setChecked(true);
    m_editor->showRulerButton()->setChecked(true);
    EXPECT_TRUE(m_editor->toolbarView()->isVisible());
    m_editor->hide();
    // The fade's timer runs late on a busy machine.
    for (int waited = 0; panel->isVisible() && waited < 5000; waited += 50) spinEventLoop(50);
    EXPECT_FALSE(panel->isVisible());
    const QVariantMap& options = m_controller.m_document->userInterfaceOptions();
    EXPECT_EQ(options.value(IXTextNoteInspector::FrameKey).toString(), QStringLiteral("{{40, 30}, {420, 240}}"));
    EXPECT_TRUE(options.value(IXTextNoteInspector::ToolbarVisibleKey).toBool());
    EXPECT_FALSE(options.value(IXTextNoteInspector::VisibleKey).toBool());
    EXPECT_EQ(m_editor->textView()->document()->toPlainText(), QStringLiteral("Alpha text"));

    m_editor->showToolbarButton()->setChecked(false);
    m_editor->showRulerButton()->setChecked(false);
    m_editor->showImmediately();
    EXPECT_EQ(m_editor->frameInHost(), QRect(40, 30, 420, 240));
    EXPECT_TRUE(m_editor->showToolbarButton()->isChecked());
    EXPECT_TRUE(m_editor->showRulerButton()->isChecked());
    m_editor->saveUIState();
    EXPECT_TRUE(options.value(IXTextNoteInspector::VisibleKey).toBool());
}

}  // namespace
