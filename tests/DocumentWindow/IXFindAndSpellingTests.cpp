// Find and spelling in a document window: the Edit menu's items, a hit shown on the map (with
// pictures of both panels under renders/), and an ignored word that marks its document edited,
// is saved with it and is honoured after reopening, in that document only.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXContinuousSpellChecking.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "IXWindowShellTestSupport.h"
#include "IXWindowTestHelpers.h"
#include "Inspectors/IXInspectorController.h"
#include "Inspectors/IXSearchController.h"
#include "Inspectors/IXSpellCheckingController.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Text/PLSpellChecker.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

class FindAndSpellingTest : public WindowShellTest {
protected:
    void TearDown() override
    {
        IXSearchController::sharedController().panel()->hide();
        IXSpellCheckingController::sharedController().panel()->hide();
        WindowShellTest::TearDown();
    }

    // The opened window is the main one, as the inspectors follow it.
    IXDocument* open(const QString& path)
    {
        IXDocument* document = WindowShellTest::open(path);
        if (document) IXInspectorController::windowDidBecomeMain(controllerOf(document)->window());
        return document;
    }

    static QAction* editItem(IXWindowController* controller, const QString& text)
    {
        for (QAction* menu : controller->documentWindow()->menuBar()->actions())
            for (QAction* item : menu->menu()->actions())
                if (item->menu())
                    for (QAction* sub : item->menu()->actions())
                        if (sub->text() == text) return sub;
        return nullptr;
    }

    FakeDialogs dialogs;
};

TEST_F(FindAndSpellingTest, TheEditMenuFindsAndShowsTheHitOnTheMap)
{
    IXDocument* document = open(copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("tree.ixd")));
    ASSERT_TRUE(document);
    IXWindowController* controller = controllerOf(document);
    QAction* findItem = editItem(controller, "Find...");
    QAction* nextItem = editItem(controller, "Find Next");
    QAction* typingItem = editItem(controller, "Check Spelling While Typing");
    ASSERT_TRUE(findItem && nextItem && typingItem && editItem(controller, "Check Spelling"));
    EXPECT_TRUE(IXActionBridge::validate(findItem));
    IXSearchController& search = IXSearchController::sharedController();
    search.findField()->setEditText(QString());
    search.setFindString(QString());
    EXPECT_FALSE(IXActionBridge::validate(nextItem));
    EXPECT_TRUE(IXActionBridge::validate(typingItem));
    EXPECT_TRUE(typingItem->isChecked());
    EXPECT_TRUE(IXContinuousSpellChecking::isOn());

    findItem->trigger();
    EXPECT_TRUE(search.panel()->isVisible());
    search.findField()->setEditText(QStringLiteral("sub"));
    search.findNext();
    spin(50);
    ASSERT_TRUE(controller->selectedBranch());
    EXPECT_EQ(controller->selectedBranch()->title(), QStringLiteral("Sub"));
    EXPECT_TRUE(IXActionBridge::validate(nextItem));
    writeRenders(controller->window(), QStringLiteral("find-hit-map"));
    writeRenders(search.panel(), QStringLiteral("find-panel"));

    // Replacing through the panel is an undoable edit of the document.
    search.replaceField()->setEditText(QStringLiteral("Subbranch"));
    search.replace();
    spin();
    EXPECT_EQ(controller->selectedBranch()->title(), QStringLiteral("Subbranch"));
    EXPECT_TRUE(document->isDocumentEdited());
}

TEST_F(FindAndSpellingTest, AnIgnoredWordMarksTheDocumentAndIsKeptByTheSave)
{
    const QString path = copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("tree.ixd"));
    IXDocument* document = open(path);
    ASSERT_TRUE(document);
    IXSpellCheckingController& spelling = IXSpellCheckingController::sharedController();
    EXPECT_FALSE(document->isDocumentEdited());
    spelling.ignoreWord(QStringLiteral("zzyzx"), document->documentNode().get());
    EXPECT_TRUE(document->isDocumentEdited());
    if (PLSpellChecker::sharedChecker().isAvailable()) {
        // A misspelt title is shown in the panel with its guesses and selected on the map.
        auto second = std::dynamic_pointer_cast<IXBranchNode>(document->documentNode()->rootBranches().last());
        second->setTitle(QStringLiteral("Second brnach"));
        spelling.checkSpelling();
        spin(50);
        EXPECT_EQ(spelling.misspelledWord(), QStringLiteral("brnach"));
        EXPECT_EQ(controllerOf(document)->selectedBranch(), second);
        writeRenders(spelling.panel(), QStringLiteral("spelling-panel"));
        writeRenders(controllerOf(document)->window(), QStringLiteral("spelling-hit-map"));
    }
    ASSERT_TRUE(document->saveDocument());
    EXPECT_FALSE(document->isDocumentEdited());
    IXDocumentController::shared().removeDocument(document);
    spin(10);

    IXDocument* reopened = open(path);
    ASSERT_TRUE(reopened);
    EXPECT_FALSE(reopened->isDocumentEdited());
    const auto node = reopened->documentNode();
    EXPECT_EQ(node->ignoredWords(), QStringList {QStringLiteral("zzyzx")});
    EXPECT_EQ(PLSpellChecker::sharedChecker().ignoredWords(node->spellDocumentTag()),
              QStringList {QStringLiteral("zzyzx")});

    // Another document neither has it nor is marked by it.
    IXDocument* other = open(copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("other.ixd")));
    ASSERT_TRUE(other);
    EXPECT_TRUE(PLSpellChecker::sharedChecker().ignoredWords(other->documentNode()->spellDocumentTag()).isEmpty());
    spelling.ignoreWord(QStringLiteral("qwxz"), other->documentNode().get());
    EXPECT_TRUE(other->isDocumentEdited());
    EXPECT_FALSE(reopened->isDocumentEdited());
}

}  // namespace
