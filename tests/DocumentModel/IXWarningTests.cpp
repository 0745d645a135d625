#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXWarning.h"
#include "DocumentModel/IXWarningsSolving.h"
#include "IXFakeServices.h"
#include "IXTestNodes.h"

#include <gtest/gtest.h>

TEST(IXWarning, SplitsHeadingFromMessage)
{
    const struct {
        const char* text;
        const char* title;
        const char* message;
    } cases[] = {
        {"Import: A note was left out.", "Import", " A note was left out."},
        {"A: b: c", "A", " b: c"},  // the first ": " decides
        {"Time 10:30 passed", "Warning", "Time 10:30 passed"},  // a colon without blank is no heading
        {"", "Warning", ""},
    };
    for (const auto& c : cases) {
        const auto warning = IXWarning::warningWithMessage(QString::fromUtf8(c.text), nullptr);
        EXPECT_EQ(warning->title(), QString::fromUtf8(c.title)) << c.text;
        EXPECT_EQ(warning->message(), QString::fromUtf8(c.message)) << c.text;
        EXPECT_EQ(warning->owner(), nullptr);
    }
}

TEST(IXWarning, MessagesComeFromTheWarningsTable)
{
    const QString text = IXWarningMessage(QStringLiteral("IXPImportGeneral"));
    EXPECT_NE(text, QStringLiteral("IXPImportGeneral"));
    EXPECT_TRUE(text.contains(QStringLiteral(": "))) << "the table's texts carry a heading";
    EXPECT_EQ(IXWarningMessage(QStringLiteral("NoSuchWarningKey")), QStringLiteral("NoSuchWarningKey"));
}

TEST(IXWarning, OwnerLinkDoesNotKeepTheNodeAlive)
{
    auto node = std::make_shared<IXNode>();
    const std::shared_ptr<IXWarning> warning = node->warning(QStringLiteral("Lost: file"));
    EXPECT_EQ(warning->owner(), node);
    EXPECT_TRUE(warning->isOwnedBy(node.get()));
    node.reset();
    EXPECT_EQ(warning->owner(), nullptr);
}

TEST(IXWarning, DetachedNodeKeepsItsWarningsUntilItJoinsADocument)
{
    auto document = std::make_shared<IXDocumentNode>();
    RecordingObserver observer;
    document->addToObservers(&observer);
    auto branch = makeBranch(QStringLiteral("branch"));
    auto child = makeBranch(QStringLiteral("child"));
    branch->addChild(child);

    const auto own = branch->warning(QStringLiteral("Own: problem"));
    const auto childs = child->warning(QStringLiteral("Child: problem"));
    EXPECT_EQ(branch->warnings(), QList<std::shared_ptr<IXWarning>>{own});

    document->addRootBranch(branch);
    EXPECT_TRUE(branch->warnings().isEmpty());
    EXPECT_TRUE(child->warnings().isEmpty());
    EXPECT_EQ(document->warnings(), (QList<std::shared_ptr<IXWarning>>{own, childs}));
    // Each moved warning is announced once, by the document.
    EXPECT_EQ(observer.events.filter(QStringLiteral("warning")),
              (QStringList{QStringLiteral("warning document +Own"), QStringLiteral("warning document +Child")}));
    observer.take();

    // A warning made on an attached node goes to the document's list, announced with the
    // document as node.
    const auto later = child->warning(QStringLiteral("Later: problem"));
    EXPECT_TRUE(child->warnings().isEmpty());
    EXPECT_EQ(document->warnings().last(), later);
    EXPECT_EQ(observer.take(), QStringList{QStringLiteral("warning document +Later")});

    // Leaving the document gives every warning back to its own node.
    document->removeRootBranch(branch);
    EXPECT_EQ(branch->warnings(), QList<std::shared_ptr<IXWarning>>{own});
    EXPECT_EQ(child->warnings(), (QList<std::shared_ptr<IXWarning>>{childs, later}));
    EXPECT_TRUE(document->warnings().isEmpty());
    // The document's list shrank once for each node that took warnings back.
    EXPECT_EQ(observer.events.filter(QStringLiteral("warning document")),
              (QStringList{QStringLiteral("warning document -"), QStringLiteral("warning document -")}));
}

TEST(IXWarning, ListChangesAreAnnouncedOncePerChange)
{
    auto document = std::make_shared<IXDocumentNode>();
    RecordingObserver observer;
    document->addToObservers(&observer);
    const auto warning = IXWarning::warningWithMessage(QStringLiteral("Import: x"), document.get());

    document->addWarning(warning);
    document->addWarning(warning);  // already listed
    EXPECT_EQ(document->warnings().size(), 1);
    EXPECT_EQ(observer.take(), QStringList{QStringLiteral("warning document +Import")});

    document->removeWarning(IXWarning::warningWithMessage(QStringLiteral("Other: y"), nullptr));  // not listed
    EXPECT_TRUE(observer.take().isEmpty());
    document->removeWarning(warning);
    EXPECT_EQ(observer.take(), QStringList{QStringLiteral("warning document -")});

    document->removeAllWarnings();  // nothing left to remove
    EXPECT_TRUE(observer.take().isEmpty());
    document->addWarning(warning);
    document->addWarning(IXWarning::warningWithMessage(QStringLiteral("Second: z"), nullptr));
    observer.take();
    document->removeAllWarnings();
    EXPECT_TRUE(document->warnings().isEmpty());
    EXPECT_EQ(observer.take(), QStringList{QStringLiteral("warning document -")});
}

TEST(IXWarningsSolving, OffersToLocateOnlyTheBranchsOwnReference)
{
    FakeToolManager tools;
    auto reference = std::make_shared<IXNode>();
    auto otherReference = std::make_shared<IXNode>();
    QList<std::shared_ptr<IXNode>> references{otherReference, reference};
    const auto warning = IXWarning::warningWithMessage(
        QStringLiteral("Export: picture not found"), nullptr,
        {{IXWarning::ReferenceNodeKey, IXWarning::nodeValue(reference)}});
    const auto withoutReference = IXWarning::warningWithMessage(QStringLiteral("Export: other"), nullptr);

    EXPECT_EQ(IXWarningsSolving::warningSolveTitle(*warning, references), QStringLiteral("Locate"));
    EXPECT_EQ(IXWarningsSolving::warningSolveTitle(*withoutReference, references), QString());
    EXPECT_FALSE(IXWarningsSolving::warningSolve(*warning, references));  // answers NO even when it started
    ASSERT_EQ(tools.activations.size(), 1);
    EXPECT_EQ(tools.activations[0].toolClassName, QStringLiteral("IXAttachmentsTool"));
    EXPECT_EQ(tools.activations[0].object, reference);
    EXPECT_EQ(tools.activations[0].context, nullptr);
    EXPECT_EQ(tools.activations[0].event, nullptr);

    // The reference has left the branch since: no repair, no tool.
    references.removeAll(reference);
    EXPECT_EQ(IXWarningsSolving::warningSolveTitle(*warning, references), QString());
    EXPECT_FALSE(IXWarningsSolving::warningSolve(*warning, references));
    EXPECT_FALSE(IXWarningsSolving::warningSolve(*withoutReference, references));
    EXPECT_EQ(tools.activations.size(), 1);
}

TEST(IXWarningsSolving, WithoutAToolManagerNothingStarts)
{
    auto reference = std::make_shared<IXNode>();
    const auto warning = IXWarning::warningWithMessage(QStringLiteral("Export: x"), nullptr,
                                                       {{IXWarning::ReferenceNodeKey, IXWarning::nodeValue(reference)}});
    ASSERT_EQ(IXToolManaging::sharedManager(), nullptr);
    EXPECT_FALSE(IXWarningsSolving::warningSolve(*warning, QList<std::shared_ptr<IXNode>>{reference}));
}
