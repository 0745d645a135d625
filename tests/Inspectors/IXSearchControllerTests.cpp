// Find and replace over every kind of text: the order and wrap-around of hits under each option,
// replacing only the hit shown, Replace All (its end, its count, its one undo step), the enabled
// states, the recents and the stored options, and how a hit is shown in the window.
#include "IXSearchTestSupport.h"
#include "Inspectors/IXSearchController.h"
#include "UtilityWidgets/UTBeep.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using Type = IXDocumentSearchEnumerator::Type;

// Texts in walking order: three branch titles, note title, note text, attachment, connection,
// branch comment, branch picture, second root, floating comment, floating picture.
const QStringList CatTexts {"cat Cat",  "category cat", "x",         "Note cat", "cat note text cat", "cat link",
                            "conn cat", "remark cat",   "photo cat", "gamma",    "floating cat",      "label cat"};

class SearchControllerTest : public ::testing::Test {
protected:
    SearchControllerTest()
    {
        IXSearchController::installSettings([this] { return settings.make(); });
        IXInspectorController::setCurrentWindow(window.window());
        controller = std::make_unique<IXSearchController>();
        previousSound = UTBeep::setSound([this] { ++beeps; });
    }
    ~SearchControllerTest() override
    {
        UTBeep::setSound(previousSound);
        controller.reset();
        IXSearchController::installSettings({});
    }

    // Every hit of a direction until the first miss, as "text@position".
    QStringList allHits(bool forward)
    {
        QStringList hits;
        for (int guard = 0; guard < 100; ++guard) {
            const bool found = forward ? controller->findForwardAndShow(false) : controller->findBackwardAndShow(false);
            if (!found) break;
            hits << QStringLiteral("%1@%2")
                        .arg(controller->searchEnumerator()->currentObject().value_or("?"))
                        .arg(controller->hitRange()->location);
        }
        return hits;
    }

    QStringList texts()
    {
        IXDocumentSearchEnumerator walker(window.fixture.document);
        QStringList all;
        while (const auto text = walker.nextObject()) all << *text;
        return all;
    }

    void find(const QString& string)
    {
        controller->findField()->setEditText(string);
        controller->findNext();
    }

    TemporarySettings settings;
    FakeSearchWindow window {CatTexts};
    FakeControllerLookup lookup {&window};
    std::unique_ptr<IXSearchController> controller;
    UTBeep::Sound previousSound;
    int beeps = 0;
};

struct FindCase {
    const char* name;
    QVariantMap options;
    QString find;
    bool forward;
    QStringList hits;
};

TEST_F(SearchControllerTest, FindsEachKindUnderEachOptionBothWaysAndWrapsAround)
{
    const QStringList everyCat {"cat Cat@0",  "cat Cat@4",           "category cat@0",       "category cat@9",
                                "Note cat@5", "cat note text cat@0", "cat note text cat@14", "cat link@0",
                                "conn cat@5", "remark cat@7",        "floating cat@9"};
    QStringList backwards = everyCat;
    std::reverse(backwards.begin(), backwards.end());
    const auto without = [&](const QStringList& gone) {
        QStringList kept;
        for (const QString& hit : everyCat)
            if (!gone.contains(hit.section('@', 0, 0))) kept << hit;
        return kept;
    };
    // The candidate inside "category" fails; the word after it in the same text is found.
    QStringList wholeWords = everyCat;
    wholeWords.removeAll("category cat@0");
    QStringList wholeWordsBackwards = wholeWords;
    std::reverse(wholeWordsBackwards.begin(), wholeWordsBackwards.end());
    const FindCase cases[] = {
        {"defaults", {}, "cat", true, everyCat},
        {"backwards", {}, "cat", false, backwards},
        {"match case", {{"optionMatchCase", true}}, "Cat", true, {"cat Cat@4"}},
        {"match case backwards", {{"optionMatchCase", true}}, "Cat", false, {"cat Cat@4"}},
        {"whole words", {{"optionWholeWords", true}}, "cat", true, wholeWords},
        {"whole words backwards", {{"optionWholeWords", true}}, "cat", false, wholeWordsBackwards},
        {"branch titles off", {{"findInBranchText", false}}, "cat", true, without({"cat Cat", "category cat"})},
        {"branch comments off", {{"findInBranchComments", false}}, "cat", true, without({"remark cat"})},
        {"floating comments off", {{"findInFloatingComments", false}}, "cat", true, without({"floating cat"})},
        {"text notes off", {{"findInTextNotes", false}}, "cat", true, without({"cat note text cat"})},
        {"object labels off",
         {{"findInObjectLabels", false}},
         "cat",
         true,
         without({"Note cat", "cat link", "conn cat"})},
        {"picture labels on",
         {{"findInPictureLabels", true}},
         "cat",
         true,
         QStringList(everyCat.mid(0, 10)) << "photo cat@6"
                                          << "floating cat@9"
                                          << "label cat@6"},
        {"nothing there", {}, "zebra", true, {}},
    };
    for (const FindCase& test : cases) {
        SCOPED_TRACE(test.name);
        for (const QString& key : IXSearchController::optionKeys())
            controller->setOption(key, IXSearchController::defaultOptions().value(key).toBool());
        for (auto option = test.options.begin(); option != test.options.end(); ++option)
            controller->setOption(option.key(), option.value().toBool());
        controller->setFindString(test.find);
        EXPECT_EQ(allHits(test.forward), test.hits);
        // After the last hit the search starts over at the first one.
        EXPECT_EQ(allHits(test.forward).value(0), test.hits.value(0));
    }
}

TEST_F(SearchControllerTest, AShownMissBeepsAndSaysNotFound)
{
    find("zebra");
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(controller->status(), "Not found");
    EXPECT_EQ(controller->panel()->findChild<QLabel*>("status")->text(), "Not found");
    find("gamma");
    EXPECT_EQ(controller->status(), "");
    EXPECT_EQ(beeps, 1);
    // A backward miss beeps even unshown.
    controller->setFindString("zebra");
    EXPECT_FALSE(controller->findBackwardAndShow(false));
    EXPECT_EQ(beeps, 2);
}

TEST_F(SearchControllerTest, ReplaceActsOnlyOnTheHitShown)
{
    controller->setFindString("cat");
    controller->setReplaceString("dog");
    // Nothing was found yet: nothing to replace.
    EXPECT_FALSE(controller->doReplaceAndShow(false));
    // The second hit of "cat Cat" ends its text, so the walker's location went back to 0; the
    // replacement still lands on that hit, not on the first word.
    ASSERT_TRUE(controller->findForwardAndShow(false));
    ASSERT_TRUE(controller->findForwardAndShow(false));
    EXPECT_EQ(controller->hitRange(), PLRange(4, 3));
    EXPECT_TRUE(controller->doReplaceAndShow(false));
    EXPECT_EQ(window.fixture.alpha->title(), "cat dog");
    // The hit is used up: a second replace changes nothing.
    EXPECT_FALSE(controller->doReplaceAndShow(false));
    EXPECT_EQ(window.fixture.alpha->title(), "cat dog");

    // A hit whose text changed under it is not replaced, and neither is another node.
    ASSERT_TRUE(controller->findForwardAndShow(false));
    EXPECT_EQ(controller->hitRange(), PLRange(0, 3));
    window.fixture.beta->setTitle("dogegory cat");
    EXPECT_FALSE(controller->doReplaceAndShow(false));
    EXPECT_EQ(window.fixture.beta->title(), "dogegory cat");

    // A replacement at the start of a text that leaves hits after it goes on in that text.
    controller->setFindString("c");
    controller->setReplaceString("");
    window.fixture.beta->setTitle("ccc");
    controller->searchEnumerator()->resetToBegin();
    controller->setOption(IXSearchController::FindInBranchText, true);
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(controller->findForwardAndShow(false));  // "cat dog"'s c, then "ccc"
    ASSERT_TRUE(controller->doReplaceAndShow(false));
    ASSERT_TRUE(controller->findForwardAndShow(false));
    EXPECT_EQ(controller->searchEnumerator()->currentNode(), window.fixture.beta);
    EXPECT_EQ(controller->hitRange(), PLRange(0, 1));
}

TEST_F(SearchControllerTest, ReplaceAndFindMovesOnAndAPlainReplaceShowsItsText)
{
    RecordingToolManager tools;
    find("cat");
    controller->replaceField()->setEditText("dog");
    controller->replaceAndFind();
    EXPECT_EQ(window.fixture.alpha->title(), "dog Cat");
    EXPECT_EQ(controller->hitRange(), PLRange(4, 3));
    window.selections.clear();
    controller->replace();
    EXPECT_EQ(window.fixture.alpha->title(), "dog dog");
    EXPECT_EQ(window.selections, QList<std::shared_ptr<IXNode>> {window.fixture.alpha});
}

struct ReplaceAllCase {
    const char* name;
    QVariantMap options;
    QString find;
    QString replace;
    QString status;
    QStringList texts;  // by index in walking order: the ones that change
};

TEST_F(SearchControllerTest, ReplaceAllEndsCountsAndIsOneUndoStep)
{
    const ReplaceAllCase cases[] = {
        // The replacement holds the find string: each old occurrence is replaced once.
        {"growing",
         {},
         "a",
         "aa",
         "15 replaced",
         {"caat Caat", "caategory caat", "x", "Note caat", "caat note text caat", "caat link", "conn caat",
          "remaark caat", "photo cat", "gaammaa", "floaating caat", "label cat"}},
        {"deleting",
         {{"optionMatchCase", true}},
         "cat",
         "",
         "10 replaced",
         {" Cat", "egory ", "x", "Note ", " note text ", " link", "conn ", "remark ", "photo cat", "gamma", "floating ",
          "label cat"}},
        {"whole words",
         {{"optionWholeWords", true}},
         "cat",
         "dog",
         "10 replaced",
         {"dog dog", "category dog", "x", "Note dog", "dog note text dog", "dog link", "conn dog", "remark dog",
          "photo cat", "gamma", "floating dog", "label cat"}},
        {"nothing", {}, "zebra", "x", "Not found", CatTexts},
    };
    for (const ReplaceAllCase& test : cases) {
        SCOPED_TRACE(test.name);
        for (const QString& key : IXSearchController::optionKeys())
            controller->setOption(key, IXSearchController::defaultOptions().value(key).toBool());
        for (auto option = test.options.begin(); option != test.options.end(); ++option)
            controller->setOption(option.key(), option.value().toBool());
        spinEventLoop();
        window.m_undo.removeAllActions();
        controller->findField()->setEditText(test.find);
        controller->replaceField()->setEditText(test.replace);
        controller->replaceAll();
        EXPECT_EQ(controller->status(), test.status);
        EXPECT_EQ(texts(), test.texts);
        spinEventLoop();
        if (test.texts != CatTexts) {
            window.m_undo.undo();
            EXPECT_EQ(texts(), CatTexts);
            EXPECT_FALSE(window.m_undo.canUndo());
        }
    }
}

TEST_F(SearchControllerTest, EnabledStatesFollowStringOptionsAndPlace)
{
    controller->setFindString("cat");
    EXPECT_TRUE(controller->nextEnabled());
    EXPECT_FALSE(controller->previousEnabled());
    EXPECT_FALSE(controller->replaceEnabled());
    EXPECT_TRUE(controller->validateFindPanelAction(IXSearchController::ShowFindPanel));
    EXPECT_FALSE(controller->validateFindPanelAction(IXSearchController::FindPrevious));
    ASSERT_TRUE(controller->findForwardAndShow(false));
    EXPECT_TRUE(controller->previousEnabled());
    EXPECT_TRUE(controller->replaceEnabled());
    EXPECT_TRUE(controller->replaceAndFindEnabled());

    // The panel's buttons follow the typed text.
    controller->orderFrontFindPanel();
    controller->findField()->setEditText("");
    EXPECT_FALSE(controller->button("next")->isEnabled());
    controller->findField()->setEditText("cat");
    EXPECT_TRUE(controller->button("next")->isEnabled());

    for (int i = 0; i < 6; ++i) controller->setOption(IXSearchController::optionKeys()[i], false);
    EXPECT_FALSE(controller->nextEnabled());
    EXPECT_FALSE(controller->replaceAllEnabled());
    EXPECT_FALSE(controller->validateFindPanelAction(IXSearchController::FindNext));
    EXPECT_FALSE(controller->button("next")->isEnabled());
    EXPECT_FALSE(controller->optionBox(IXSearchController::FindInTextNotes)->isChecked());
    // A check box sets its option.
    controller->optionBox(IXSearchController::FindInTextNotes)->click();
    EXPECT_TRUE(controller->option(IXSearchController::FindInTextNotes));
    EXPECT_TRUE(controller->nextEnabled());
    controller->setFindString("");
    EXPECT_FALSE(controller->nextEnabled());
}

TEST_F(SearchControllerTest, RecentsKeepFiveNewestFirst)
{
    for (const char* string : {"one", "two", "three", "four", "five", "six"}) {
        controller->findField()->setEditText(string);
        controller->findNext();
    }
    EXPECT_EQ(controller->findRecents(), (QStringList {"six", "five", "four", "three", "two"}));
    controller->findField()->setEditText("four");
    controller->findNext();
    EXPECT_EQ(controller->findRecents(), (QStringList {"four", "six", "five", "three", "two"}));
    EXPECT_EQ(controller->findField()->count(), 5);
    EXPECT_EQ(controller->findField()->itemText(0), "four");
    EXPECT_EQ(controller->findField()->currentText(), "four");
}

TEST_F(SearchControllerTest, OptionsAreStoredWhenThePanelClosesAfterAChange)
{
    controller->orderFrontFindPanel();
    controller->panel()->close();
    EXPECT_FALSE(settings.make()->contains(IXSearchController::OptionsKey));
    controller->setOption(IXSearchController::OptionWholeWords, true);
    controller->orderFrontFindPanel();
    controller->panel()->close();
    const QVariantMap stored = settings.make()->value(IXSearchController::OptionsKey).toMap();
    EXPECT_TRUE(stored.value(IXSearchController::OptionWholeWords).toBool());
    EXPECT_FALSE(stored.value(IXSearchController::FindInPictureLabels, true).toBool());

    IXSearchController again;
    EXPECT_TRUE(again.option(IXSearchController::OptionWholeWords));
    EXPECT_FALSE(again.option(IXSearchController::OptionMatchCase));
    EXPECT_TRUE(again.option(IXSearchController::FindInBranchText));
}

TEST_F(SearchControllerTest, AHitIsShownWhereItLives)
{
    RecordingToolManager tools;
    controller->setOption(IXSearchController::FindInPictureLabels, true);
    const auto& f = window.fixture;
    struct Shown {
        std::shared_ptr<IXNode> selected;
        const char* tool;
        bool opensNote;
    };
    const QList<Shown> expected {
        {f.alpha, nullptr, false},
        {f.alpha, nullptr, false},
        {f.beta, nullptr, false},
        {f.beta, nullptr, false},
        {f.alpha, "IXAttachmentsTool", false},
        {f.alpha, nullptr, true},
        {f.alpha, nullptr, true},
        {f.alpha, "IXAttachmentsTool", false},
        {f.alpha, "IXAttachmentsTool", false},
        {f.alpha, "IXYellowNoteTool", false},
        {f.alpha, nullptr, false},
        {f.floatingComment, nullptr, false},
        {f.floatingPicture, nullptr, false},
    };
    controller->findField()->setEditText("cat");
    for (int i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        window.selections.clear();
        window.openedNotes.clear();
        tools.started.clear();
        controller->findNext();
        ASSERT_TRUE(controller->lastFindWasSuccessful());
        EXPECT_EQ(window.selections, QList<std::shared_ptr<IXNode>> {expected[i].selected});
        EXPECT_EQ(tools.started, expected[i].tool ? QStringList {expected[i].tool} : QStringList());
        EXPECT_EQ(window.openedNotes.size(), expected[i].opensNote ? 1 : 0);
    }
}

TEST_F(SearchControllerTest, MenuActionsAndAnotherWindowDropTheWalk)
{
    controller->findField()->setEditText("cat");
    controller->ixFindPanelAction(IXSearchController::FindNext);
    EXPECT_TRUE(controller->lastFindWasSuccessful());
    controller->ixFindPanelAction(IXSearchController::FindPrevious);
    EXPECT_TRUE(controller->lastFindWasSuccessful());
    controller->ixFindPanelAction(IXSearchController::ShowFindPanel);
    EXPECT_TRUE(controller->panel()->isVisible());
    EXPECT_EQ(controller->panel()->windowTitle(), "Search & Replace");

    FakeSearchWindow other({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"});
    FakeControllerLookup both {&window, &other};
    IXInspectorController::windowDidBecomeMain(other.window());
    EXPECT_EQ(controller->searchEnumerator()->document(), other.fixture.document);
    EXPECT_EQ(controller->searchEnumerator()->currentObjectType(), Type::None);
    controller->panel()->close();
}

}  // namespace
