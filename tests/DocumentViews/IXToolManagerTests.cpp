// The tool manager's rules: one current tool by class name, the short cut for the running
// tool's class and object, resigning as commit then discard, refusals, and tools that end.
#include "DocumentViews/IXToolManager.h"
#include "Platform/Core/PLLog.h"

#include "IXTestContexts.h"
#include "IXTestTools.h"
#include "TestSupport/ExpectAssertion.h"
#include "TestSupport/QStringPrinter.h"
#include "UtilityWidgets/UTBeep.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

namespace {

// The test tools of IXTestTools.h by their class names, and a name no class has.
constexpr IXToolName Recording{"RecordingTool"};
constexpr IXToolName OtherRecording{"OtherRecordingTool"};
constexpr IXToolName SubRecording{"SubRecordingTool"};
constexpr IXToolName NoSuchTool{"IXNoSuchTool"};

void releaseDeferred()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class IXToolManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        IXToolManager::registerToolClass<RecordingTool>();
        IXToolManager::registerToolClass<SubRecordingTool>();
        IXToolManager::registerToolClass<OtherRecordingTool>();
        TestToolLog::lines().clear();
        TestToolLog::commitAnswer() = true;
        TestToolLog::activateAnswer() = true;
        previousSound = UTBeep::setSound([this] { ++beeps; });
    }
    void TearDown() override
    {
        manager.reset();
        releaseDeferred();
        UTBeep::setSound(previousSound);
    }

    RecordingTool* activate(IXToolName name, const std::shared_ptr<IXNode>& object = nullptr, int context = 0,
                            const IXToolEvent& event = {})
    {
        return activateIn(name, object, contexts[context], event);
    }
    RecordingTool* activateIn(IXToolName name, const std::shared_ptr<IXNode>& object, IXLayoutContext* context,
                              const IXToolEvent& event = {})
    {
        return static_cast<RecordingTool*>(
            manager->activateToolNamed(name, object, context, event));
    }

    FakeToolEnvironment environment;
    TestContexts contexts;
    FakeOpenDocument& document = contexts.document;
    std::unique_ptr<IXToolManager> manager = std::make_unique<IXToolManager>();
    int beeps = 0;
    UTBeep::Sound previousSound;
};

TEST_F(IXToolManagerTest, StartsRegisteredToolsByClassNameOnly)
{
    EXPECT_EQ(activate(NoSuchTool), nullptr);
    EXPECT_EQ(manager->currentTool(), nullptr);
    EXPECT_FALSE(IXToolManager::isToolClassRegistered(NoSuchTool));

    RecordingTool* tool = activate(Recording);
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(manager->currentTool(), tool);
    EXPECT_STREQ(tool->metaObject()->className(), "RecordingTool");
    EXPECT_TRUE(tool->isActive());
    EXPECT_EQ(tool->context(), contexts[0]);
    EXPECT_EQ(environment.focused, QList<IXLayoutContext*>{contexts[0]});
}

// A name the program asks for without a class is logged once, however often it is asked for.
TEST_F(IXToolManagerTest, UnknownNamesAreLoggedOncePerName)
{
    constexpr IXToolName another{"IXAnotherMissingTool"};
    QStringList logged;
    const PLLog::Sink previous = PLLog::setSink([&](const QString& line) { logged << line; });
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(activate(another), nullptr);
        EXPECT_EQ(activate(NoSuchTool), nullptr);
    }
    PLLog::setSink(previous);
    // The other test may have logged the first name already; each appears at most once.
    EXPECT_EQ(logged.filter(QStringLiteral("IXAnotherMissingTool")).size(), 1);
    EXPECT_LE(logged.filter(QStringLiteral("IXNoSuchTool")).size(), 1);
}

TEST_F(IXToolManagerTest, WithoutContextTakesTheActiveInspectorsContext)
{
    EXPECT_EQ(activateIn(Recording, nullptr, nullptr), nullptr) << "no context anywhere";
    EXPECT_TRUE(environment.focused.isEmpty());

    environment.inspectorContext = contexts[2];
    RecordingTool* tool = activateIn(Recording, nullptr, nullptr);
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->context(), contexts[2]);
}

TEST_F(IXToolManagerTest, SameClassAndObjectReturnsTheRunningToolUntouched)
{
    const auto branch = std::make_shared<IXNode>();
    const IXToolEvent first(PLMouseEvent(PLMouseEvent::LeftMouseDown, PLPoint(3, 4)));
    RecordingTool* tool = activate(SubRecording, branch, 0, first);
    ASSERT_NE(tool, nullptr);
    TestToolLog::lines().clear();

    // The base class name matches a running subclass; the second event is not passed on.
    const IXToolEvent second(PLMouseEvent(PLMouseEvent::LeftMouseDown, PLPoint(9, 9)));
    EXPECT_EQ(activate(Recording, branch, 1, second), tool);
    EXPECT_EQ(activate(SubRecording, branch, 0, second), tool);
    EXPECT_TRUE(TestToolLog::lines().isEmpty()) << TestToolLog::lines().join(u',').toStdString();
    ASSERT_EQ(tool->startEvents.size(), 1);
    EXPECT_EQ(tool->startEvents[0].mouseEvent()->locationInView(), PLPoint(3, 4));
    EXPECT_EQ(environment.focused.size(), 1);

    // No object matches no object; an unrelated class does not match.
    RecordingTool* plain = activate(OtherRecording);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(activate(OtherRecording), plain);
    EXPECT_NE(activate(SubRecording), plain);
}

TEST_F(IXToolManagerTest, AnotherObjectCommitsThenDiscardsTheCurrentTool)
{
    const auto first = std::make_shared<IXNode>();
    const auto second = std::make_shared<IXNode>();
    QPointer<RecordingTool> old = activate(Recording, first);
    document.editors.clear();
    old->beginEditing();
    ASSERT_EQ(document.editors.size(), 1);
    TestToolLog::lines().clear();

    RecordingTool* tool = activate(Recording, second, 1);
    ASSERT_NE(tool, nullptr);
    EXPECT_NE(tool, old.data());
    EXPECT_EQ(manager->currentTool(), tool);
    EXPECT_EQ(tool->editedObject(), second);
    // One commit: the old tool's own discard does not make it resign a second time.
    EXPECT_EQ(TestToolLog::lines(), (QStringList{QStringLiteral("RecordingTool commit"), QStringLiteral("RecordingTool discard"),
                                                 QStringLiteral("RecordingTool activate")}));
    ASSERT_FALSE(old.isNull()) << "released only on a later turn";
    EXPECT_FALSE(old->isActive());
    EXPECT_FALSE(old->isEditing());
    EXPECT_EQ(old->context(), nullptr);
    TestToolLog::lines().clear();
    contexts[0]->invalidate();
    EXPECT_TRUE(TestToolLog::lines().isEmpty()) << "the old tool no longer observes its context";
    EXPECT_EQ(manager->currentTool(), tool);
    releaseDeferred();
    EXPECT_TRUE(old.isNull());
}

TEST_F(IXToolManagerTest, RefusedCommitBeepsAndKeepsTheCurrentTool)
{
    TestToolLog::commitAnswer() = false;
    RecordingTool* stubborn = activate(Recording);
    TestToolLog::commitAnswer() = true;

    EXPECT_EQ(activate(OtherRecording, nullptr, 1), nullptr);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(manager->currentTool(), stubborn);
    EXPECT_TRUE(stubborn->isActive());
    contexts[0]->invalidate();
    EXPECT_EQ(manager->currentTool(), nullptr) << "the tool still observes its context";
    EXPECT_FALSE(TestToolLog::lines().contains(QStringLiteral("OtherRecordingTool activate")));
}

TEST_F(IXToolManagerTest, ToolThatDoesNotActivateLeavesNoCurrentTool)
{
    activate(Recording);
    TestToolLog::activateAnswer() = false;
    EXPECT_EQ(activate(OtherRecording), nullptr);
    EXPECT_EQ(manager->currentTool(), nullptr);
    EXPECT_EQ(beeps, 0);
}

TEST_F(IXToolManagerTest, ARefusedToolGivesItsContextAndObjectBackWithoutAnAssertion)
{
    IXToolManager::registerToolClass<NodeRequiringTool>();
    const auto branch = std::make_shared<IXNode>();
    TestToolLog::activateAnswer() = false;
    EXPECT_EQ(activate(IXToolName("NodeRequiringTool"), branch), nullptr);
    EXPECT_EQ(manager->currentTool(), nullptr);
    releaseDeferred();
    // The tool is gone and holds nothing: the node is the caller's alone again.
    EXPECT_EQ(branch.use_count(), 1);
}

TEST_F(IXToolManagerTest, ActivationNeedsAContext)
{
    auto* tool = new RecordingTool(manager.get());
    expectAssertion("_context", [&] { manager->makeCurrentTool(tool); });
    EXPECT_EQ(manager->currentTool(), nullptr);
    delete tool;
}

TEST_F(IXToolManagerTest, InvalidatedContextEndsItsTool)
{
    QPointer<RecordingTool> tool = activate(Recording);
    contexts[0]->invalidate();
    EXPECT_EQ(manager->currentTool(), nullptr);
    ASSERT_FALSE(tool.isNull());
    EXPECT_EQ(tool->context(), nullptr);
    EXPECT_FALSE(tool->isActive());
    releaseDeferred();
    EXPECT_TRUE(tool.isNull());
}

TEST_F(IXToolManagerTest, ToolEndingItselfStopsBeingCurrent)
{
    RecordingTool* tool = activate(Recording);
    TestToolLog::lines().clear();
    tool->discardTool();
    EXPECT_EQ(manager->currentTool(), nullptr);
    // The manager ends it as it ends any tool: what can be committed is kept.
    EXPECT_EQ(TestToolLog::lines(), (QStringList{QStringLiteral("RecordingTool discard"), QStringLiteral("RecordingTool commit"),
                                                 QStringLiteral("RecordingTool discard")}));
    EXPECT_FALSE(tool->isActive());
}

TEST_F(IXToolManagerTest, DiscardCurrentToolKeepsWhatCommitsAndDropsWhatCannot)
{
    const struct {
        bool commits;
        QStringList log;
    } cases[] = {
        {true, {QStringLiteral("RecordingTool commit"), QStringLiteral("RecordingTool discard")}},
        {false, {QStringLiteral("RecordingTool commit"), QStringLiteral("RecordingTool discard")}},
    };
    for (const auto& c : cases) {
        TestToolLog::commitAnswer() = c.commits;
        RecordingTool* tool = activate(Recording);
        tool->beginEditing();
        TestToolLog::lines().clear();
        manager->discardCurrentTool();
        EXPECT_EQ(manager->currentTool(), nullptr) << c.commits;
        EXPECT_EQ(TestToolLog::lines(), c.log) << c.commits;
        EXPECT_FALSE(tool->isActive()) << c.commits;
        EXPECT_EQ(tool->context(), nullptr) << c.commits;
        EXPECT_TRUE(document.editors.isEmpty()) << c.commits;
        EXPECT_EQ(beeps, 0);
    }
    manager->discardCurrentTool();  // none: nothing happens
}

TEST_F(IXToolManagerTest, CommitCurrentToolAsksTheToolOnly)
{
    EXPECT_TRUE(manager->commitCurrentTool()) << "nothing to commit";
    EXPECT_TRUE(TestToolLog::lines().isEmpty());

    TestToolLog::commitAnswer() = false;
    RecordingTool* tool = activate(Recording);
    TestToolLog::lines().clear();
    EXPECT_FALSE(manager->commitCurrentTool());
    EXPECT_EQ(TestToolLog::lines(), QStringList{QStringLiteral("RecordingTool commit")});
    EXPECT_EQ(manager->currentTool(), tool);
    EXPECT_TRUE(tool->isActive());
}

TEST_F(IXToolManagerTest, EditingRegistersWithTheDocument)
{
    RecordingTool* tool = activate(Recording);
    tool->beginEditing();
    tool->beginEditing();
    EXPECT_TRUE(tool->isEditing());
    EXPECT_EQ(document.editors, QList<PLEditor*>{tool});

    EXPECT_TRUE(tool->commitEditing());
    EXPECT_FALSE(tool->isEditing());
    EXPECT_EQ(manager->currentTool(), tool) << "committing keeps the tool";

    tool->beginEditing();
    tool->discardEditing();
    EXPECT_EQ(manager->currentTool(), nullptr);
}

TEST_F(IXToolManagerTest, ChangingContextEndsAnActiveTool)
{
    RecordingTool* tool = activate(Recording);
    tool->beginEditing();
    tool->setContext(contexts[1]);
    EXPECT_EQ(manager->currentTool(), nullptr);
    EXPECT_FALSE(tool->isActive());
    EXPECT_FALSE(tool->isEditing());
    EXPECT_EQ(tool->context(), contexts[1]);
    contexts[0]->invalidate();
    EXPECT_EQ(tool->context(), contexts[1]) << "the old context is no longer observed";
    contexts[1]->invalidate();
    EXPECT_EQ(tool->context(), nullptr) << "the new one is";
}

TEST_F(IXToolManagerTest, SharedManagerServesTheModelsRequests)
{
    IXToolManager::sharedManager();
    ASSERT_EQ(IXToolManaging::sharedManager(), IXToolManager::sharedManager());
    const PLMouseEvent click(PLMouseEvent::LeftMouseDown, PLPoint(7, 8), 2, PLMouseEvent::Shift);
    IXTool* tool = IXToolManaging::sharedManager()->activateToolNamed(Recording, nullptr,
                                                                     contexts[3], &click);
    ASSERT_NE(tool, nullptr);
    const auto& events = static_cast<RecordingTool*>(tool)->startEvents;
    ASSERT_EQ(events.size(), 1);
    ASSERT_NE(events[0].mouseEvent(), nullptr);
    EXPECT_EQ(events[0].mouseEvent()->clickCount(), 2);
    EXPECT_TRUE(events[0].mouseEvent()->hasModifier(PLMouseEvent::Shift));
    IXToolManaging::sharedManager()->discardCurrentTool();
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
}

TEST(IXToolEvent, KeepsACopyOfTheKeyPress)
{
    IXToolEvent event;
    {
        const QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
        event = IXToolEvent(press);
    }
    EXPECT_FALSE(event.isNone());
    EXPECT_EQ(event.mouseEvent(), nullptr);
    ASSERT_NE(event.keyEvent(), nullptr);
    EXPECT_EQ(event.keyEvent()->text(), QStringLiteral("A"));
    EXPECT_EQ(event.keyEvent()->modifiers(), Qt::ShiftModifier);
    EXPECT_TRUE(IXToolEvent().isNone());
}

}
