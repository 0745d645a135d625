#include "DocumentModel/IXDocumentNode.h"
#include "IXTestNodes.h"
#include "Platform/Core/PLUndoManager.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

using NodeList = IXDocumentNode::NodeList;

// Ends the current turn of the event loop, which closes the open undo group.
void endTurn()
{
    QCoreApplication::processEvents();
}

struct UndoTest : ::testing::Test {
    PLUndoManager undo;
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    RecordingObserver observer;

    void SetUp() override
    {
        document->setUndoManager(&undo);
        document->addToObservers(&observer);
    }
    void TearDown() override
    {
        // Undo records keep nodes alive; they go before the test's objects.
        undo.removeAllActions();
        document->setUndoManager(nullptr);
    }
};

}  // namespace

TEST_F(UndoTest, ValueSettersRoundTrip)
{
    const QString systemName = document->userName();
    EXPECT_EQ(document->timeScaleFormatter().formatType(), UTDateTimeFormatter::CommonEra);
    document->setTimeScaleType(3);
    EXPECT_EQ(document->timeScaleFormatter().formatType(), UTDateTimeFormatter::Historic);
    document->setUserName(QStringLiteral("Ann"));
    endTurn();
    EXPECT_EQ(observer.take(), (QStringList{"document timeScaleType", "document userName"}));

    undo.undo();
    EXPECT_EQ(document->timeScaleType(), 0);
    EXPECT_EQ(document->timeScaleFormatter().formatType(), UTDateTimeFormatter::CommonEra);
    EXPECT_EQ(document->userName(), systemName);  // back to "none stored"
    EXPECT_EQ(observer.take(), (QStringList{"document userName", "document timeScaleType"}));

    undo.redo();
    EXPECT_EQ(document->timeScaleType(), 3);
    EXPECT_EQ(document->userName(), QStringLiteral("Ann"));
    undo.undo();
    undo.redo();
    EXPECT_EQ(document->timeScaleType(), 3);
}

TEST_F(UndoTest, UnchangedValuesRecordAndAnnounceNothing)
{
    document->setTimeScaleType(0);
    document->setBranches({});
    document->removeRootBranch(makeBranch(QStringLiteral("stranger")));
    endTurn();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_TRUE(observer.take().isEmpty());

    document->setTimeScaleType(2);
    document->setTimeScaleType(2);
    EXPECT_EQ(observer.take(), QStringList{"document timeScaleType"});
}

TEST_F(UndoTest, InsertionUndoDetachesTheSubtreeAndRedoBringsItBack)
{
    auto branch = makeBranch(QStringLiteral("branch"));
    auto child = makeBranch(QStringLiteral("child"));
    branch->addChild(child);
    const QString childId = child->uniqueId();
    document->addRootBranch(branch);
    endTurn();
    observer.take();

    undo.undo();
    EXPECT_TRUE(document->rootBranches().isEmpty());
    EXPECT_EQ(branch->parentNode(), nullptr);
    EXPECT_EQ(child->documentNode(), nullptr);
    EXPECT_EQ(document->nodeForId(childId), nullptr);
    EXPECT_EQ(observer.take(), (QStringList{"detach child", "detach branch", "document rootBranches"}));

    undo.redo();
    EXPECT_EQ(document->rootBranches(), NodeList{branch});
    EXPECT_EQ(document->nodeForId(childId), child);
    EXPECT_EQ(observer.take(), (QStringList{"attach branch", "attach child", "document rootBranches"}));
}

TEST_F(UndoTest, RemovalUndoRestoresPlaceAttachmentAndWarnings)
{
    auto first = makeBranch(QStringLiteral("first"));
    auto removed = makeBranch(QStringLiteral("removed"));
    auto last = makeBranch(QStringLiteral("last"));
    document->setBranches({first, removed, last});
    removed->warning(QStringLiteral("Import: left out"));
    endTurn();

    std::weak_ptr<TestBranch> watch = removed;
    document->removeRootBranch(removed);
    removed.reset();
    endTurn();
    ASSERT_FALSE(watch.expired()) << "the undo record keeps the removed subtree";
    EXPECT_TRUE(document->warnings().isEmpty());
    EXPECT_EQ(watch.lock()->warnings().size(), 1);

    undo.undo();
    const auto back = watch.lock();
    EXPECT_EQ(document->rootBranches(), (NodeList{first, back, last}));
    EXPECT_EQ(back->documentNode(), document.get());
    EXPECT_EQ(document->warnings().size(), 1);
    EXPECT_TRUE(back->warnings().isEmpty());

    undo.redo();
    EXPECT_EQ(document->rootBranches(), (NodeList{first, last}));
    EXPECT_EQ(back->documentNode(), nullptr);
}

TEST_F(UndoTest, MovedSubtreeBetweenDocumentsIsOneStep)
{
    auto target = std::make_shared<IXDocumentNode>();
    target->setUndoManager(&undo);
    auto moving = makeBranch(QStringLiteral("moving"));
    auto below = makeBranch(QStringLiteral("below"));
    moving->addChild(below);
    document->addRootBranch(moving);
    endTurn();

    target->addRootBranch(moving);  // leaves the first document on the way
    endTurn();
    EXPECT_TRUE(document->rootBranches().isEmpty());
    EXPECT_EQ(below->documentNode(), target.get());
    EXPECT_EQ(target->nodeForId(below->uniqueId()), below);
    EXPECT_EQ(document->nodeForId(below->uniqueId()), nullptr);

    undo.undo();
    EXPECT_EQ(document->rootBranches(), NodeList{moving});
    EXPECT_TRUE(target->rootBranches().isEmpty());
    EXPECT_EQ(below->documentNode(), document.get());
    EXPECT_EQ(document->nodeForId(below->uniqueId()), below);
    EXPECT_EQ(target->nodeForId(below->uniqueId()), nullptr);

    undo.redo();
    EXPECT_TRUE(document->rootBranches().isEmpty());
    EXPECT_EQ(target->rootBranches(), NodeList{moving});
    EXPECT_EQ(below->documentNode(), target.get());

    undo.undo();
    undo.undo();  // the step before: the first insertion
    EXPECT_EQ(moving->documentNode(), nullptr);
    undo.removeAllActions();
    target->setUndoManager(nullptr);
}

TEST_F(UndoTest, OneStepPerTurnOfTheEventLoop)
{
    auto branch = makeBranch(QStringLiteral("branch"));
    document->setTimeScaleType(1);
    document->addRootBranch(branch);
    document->setUserName(QStringLiteral("Ann"));
    endTurn();
    document->setTimeScaleType(2);
    endTurn();

    undo.undo();
    EXPECT_EQ(document->timeScaleType(), 1);
    EXPECT_EQ(document->rootBranches(), NodeList{branch});
    undo.undo();
    EXPECT_EQ(document->timeScaleType(), 0);
    EXPECT_TRUE(document->rootBranches().isEmpty());
    EXPECT_EQ(document->userName() == QStringLiteral("Ann"), false);
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(UndoTest, ActionNamesStartingWithUnderscoreNeverShow)
{
    document->addRootBranch(makeBranch(QStringLiteral("b")));
    document->setUserName(QStringLiteral("Ann"));
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QString());

    document->setUserName(QStringLiteral("Bob"));
    document->setTimeScaleType(4);  // the first visible name of the step wins
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Time Scale Type"));

    // A name that a command set before is kept.
    undo.beginUndoGrouping();
    undo.setActionName(QStringLiteral("Paste"));
    document->setTimeScaleType(1);
    undo.endUndoGrouping();
    endTurn();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Paste"));
}

TEST_F(UndoTest, SwitchedOffWhileLoading)
{
    auto branch = makeBranch(QStringLiteral("loaded"));
    document->disableUndo();
    document->disableUndo();
    document->addRootBranch(branch);
    document->enableUndo();
    document->setTimeScaleType(3);  // still off: the counter nests
    document->enableUndo();
    endTurn();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(document->rootBranches(), NodeList{branch});
    EXPECT_EQ(document->timeScaleType(), 3);
    // The changes were announced all the same.
    EXPECT_EQ(observer.take(), (QStringList{"attach loaded", "document rootBranches", "document timeScaleType"}));

    document->setTimeScaleType(4);
    endTurn();
    EXPECT_TRUE(undo.canUndo());
}
