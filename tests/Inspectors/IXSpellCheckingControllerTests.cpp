// The spelling controller over a small dictionary: every text checked in walking order, the
// panel's word and guesses, Change on the misspelling shown only, Ignore per document, the
// ignored words copied into the document, and the switch for checking while typing.
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "IXSearchTestSupport.h"
#include "Inspectors/IXSpellCheckingController.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Text/PLSpellChecker.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const QString Dictionary = QStringLiteral(IX_SOURCE_DIR "/tests/Inspectors/data/en_TEST");

// Misspelt: "chlid" (a sub-branch), "txet" (the note's text), "lnik" (an attachment),
// "remrak" (the branch's comment), "lable" (the floating picture).
const QStringList MisspeltTexts {"Alpha",   "Beta",      "Beta chlid", "Note title", "note txet here", "lnik",
                                 "Connect", "remrak 12", "Photo",      "Gamma",      "Floating",       "lable"};

class SpellCheckingControllerTest : public ::testing::Test {
protected:
    SpellCheckingControllerTest()
    {
        IXSpellCheckingController::installSettings([this] { return settings.make(); });
        IXInspectorController::setCurrentWindow(window.window());
        controller = std::make_unique<IXSpellCheckingController>();
        controller->setSpellChecker(&checker, "en_TEST");
        PLNotificationCenter::defaultCenter().addObserver(this, IXSpellCheckingNotices::IgnoreWord, nullptr,
                                                          [this](const PLNotification& notice) {
                                                              ignored << notice.userInfo.value("string").toString();
                                                              tags << notice.userInfo.value("tag").toInt();
                                                          });
        PLNotificationCenter::defaultCenter().addObserver(this, IXSpellCheckingNotices::ContinuousSpellCheckingChanged,
                                                          nullptr, [this](const PLNotification&) { ++switches; });
    }
    ~SpellCheckingControllerTest() override
    {
        PLNotificationCenter::defaultCenter().removeObserver(this);
        controller.reset();
        IXSpellCheckingController::installSettings({});
    }

    QStringList allMisspellings()
    {
        QStringList words;
        for (int guard = 0; guard < 50 && controller->findForwardAndShow(false); ++guard)
            words << controller->misspelledWord();
        return words;
    }

    TemporarySettings settings;
    PLSpellChecker checker {Dictionary + ".aff", Dictionary + ".dic"};
    FakeSearchWindow window {MisspeltTexts};
    FakeControllerLookup lookup {&window};
    std::unique_ptr<IXSpellCheckingController> controller;
    QStringList ignored;
    QList<int> tags;
    int switches = 0;
};

TEST_F(SpellCheckingControllerTest, ChecksEveryTextInOrderAndStartsOverAfterTheLast)
{
    ASSERT_TRUE(checker.isAvailable());
    EXPECT_EQ(allMisspellings(), (QStringList {"chlid", "txet", "lnik", "remrak", "lable"}));
    // The walk ended: the panel's word is empty and the next check starts at the first text.
    EXPECT_EQ(controller->misspelledWord(), "");
    EXPECT_EQ(controller->wordField()->text(), "");
    EXPECT_EQ(controller->guessList()->count(), 0);
    EXPECT_TRUE(controller->findForwardAndShow(false));
    EXPECT_EQ(controller->misspelledWord(), "chlid");
    EXPECT_EQ(controller->currentRange(), PLRange(5, 5));
    EXPECT_EQ(controller->wordField()->text(), "chlid");
    ASSERT_GT(controller->guessList()->count(), 0);
    EXPECT_EQ(controller->guessList()->item(0)->text(), "child");
    EXPECT_EQ(controller->panel()->findChild<QLabel*>("language")->text(), "en_TEST");
}

TEST_F(SpellCheckingControllerTest, ChangeReplacesOnlyTheMisspellingShown)
{
    RecordingToolManager tools;
    controller->checkSpelling();
    EXPECT_EQ(window.selections, QList<std::shared_ptr<IXNode>> {window.fixture.betaChild});
    // A guess chosen in the list becomes the correction the Change button sends.
    controller->guessList()->setCurrentRow(0);
    controller->button("change")->click();
    EXPECT_EQ(window.fixture.betaChild->title(), "Beta child");
    // Used up: Change again does nothing; the check goes on after the correction.
    controller->changeSpelling("children");
    EXPECT_EQ(window.fixture.betaChild->title(), "Beta child");

    controller->checkSpelling();
    EXPECT_EQ(controller->misspelledWord(), "txet");
    EXPECT_EQ(window.openedNotes, QList<std::shared_ptr<IXReferenceNode>> {window.fixture.note});
    // The text changed under the misspelling: nothing is replaced.
    window.fixture.note->setTextString("note text here");
    controller->changeSpelling("text");
    EXPECT_EQ(window.fixture.note->text().string(), "note text here");

    // An attachment's misspelling selects its branch without starting the attachments tool;
    // a branch comment's starts the yellow-note tool.
    window.selections.clear();
    controller->checkSpelling();
    EXPECT_EQ(controller->misspelledWord(), "lnik");
    EXPECT_EQ(window.selections, QList<std::shared_ptr<IXNode>> {window.fixture.alpha});
    EXPECT_TRUE(tools.started.isEmpty());
    controller->checkSpelling();
    EXPECT_EQ(tools.started, QStringList {"IXYellowNoteTool"});
    controller->changeSpelling("remark");
    EXPECT_EQ(window.fixture.comment->title(), "remark 12");
}

TEST_F(SpellCheckingControllerTest, IgnoredWordsBelongToTheirDocument)
{
    const int tag = window.fixture.document->spellDocumentTag();
    controller->ignoreSpelling("");
    EXPECT_TRUE(ignored.isEmpty());
    ASSERT_TRUE(controller->findForwardAndShow(false));
    controller->button("ignore")->click();
    EXPECT_EQ(ignored, QStringList {"chlid"});
    EXPECT_EQ(tags, QList<int> {tag});
    controller->findForwardAndShow(false);
    EXPECT_EQ(controller->misspelledWord(), "txet");
    EXPECT_EQ(checker.checkSpelling("chlid", 0, tag), PLRange(5, 0));

    // Another document does not ignore it but honours the words stored in it; changing the
    // window copies the words into the document it leaves.
    FakeSearchWindow other(MisspeltTexts);
    other.fixture.document->setIgnoredWords({"lnik"});
    FakeControllerLookup both {&window, &other};
    IXInspectorController::windowDidBecomeMain(other.window());
    EXPECT_EQ(window.fixture.document->ignoredWords(), QStringList {"chlid"});
    EXPECT_EQ(controller->misspelledWord(), "");
    EXPECT_EQ(allMisspellings(), (QStringList {"chlid", "txet", "remrak", "lable"}));
}

TEST_F(SpellCheckingControllerTest, ContinuousSwitchIsStoredAndAnnouncedOnChangeOnly)
{
    EXPECT_TRUE(controller->continuousSpellChecking());
    controller->setContinuousSpellChecking(true);
    EXPECT_EQ(switches, 0);
    controller->toggleContinuousSpellChecking();
    EXPECT_EQ(switches, 1);
    EXPECT_FALSE(controller->continuousSpellChecking());
    EXPECT_FALSE(settings.make()->value(IXSpellCheckingController::ContinuousSpellCheckingKey, true).toBool());
    EXPECT_EQ(controller->inspectorTitle(), "Spell Checker");
}

}  // namespace
