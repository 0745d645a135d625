// Autosave writes recovery copies beside the settings, never the user's file; a later start
// lists the copies a crash left and reopens them.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXRecoveryStore.h"
#include "IXShellTestSupport.h"

#include <QDir>
#include <QFileInfo>

namespace {

class IXAutosaveTest : public ShellTest {
protected:
    void TearDown() override
    {
        for (IXDocumentController* controller : {&first, &second}) {
            for (IXDocument* document : controller->documents()) controller->removeDocument(document);
        }
        IXDocument::setWindowControllerFactory({});
    }

    IXDocument* open(IXDocumentController& controller, const QString& as)
    {
        PLError error;
        IXDocument* document = controller.openDocument(copyFixture(QStringLiteral("tree.ixd"), as), true, &error);
        EXPECT_TRUE(document) << error.failureReason().toStdString();
        spin();
        return document;
    }

    static void retitle(IXDocument& document, const QString& title)
    {
        std::dynamic_pointer_cast<IXBranchNode>(document.documentNode()->rootBranches().value(0))->setTitle(title);
        spin();
    }

    FakeDialogs dialogs;
    IXDocumentController first;
    IXDocumentController second;
};

TEST_F(IXAutosaveTest, RecoveryCopyNeverTouchesTheUsersFileAndSurvivesACrash)
{
    IXDocument* document = open(first, QStringLiteral("work.ixd"));
    ASSERT_TRUE(document);
    const QString path = document->fileName();
    const QByteArray original = readFile(path);
    first.autosaveAllDocuments();
    EXPECT_TRUE(IXRecoveryStore::entries().isEmpty()) << "nothing to recover without changes";

    retitle(*document, QStringLiteral("Recovered title"));
    first.autosaveAllDocuments();
    EXPECT_EQ(readFile(path), original);
    const QList<IXRecoveryEntry> entries = IXRecoveryStore::entries();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(QFileInfo(entries[0].copyPath).absolutePath().startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    EXPECT_EQ(entries[0].originalPath, path);
    EXPECT_EQ(entries[0].displayName, "work");
    EXPECT_TRUE(first.recoverableDocuments().isEmpty()) << "the open document holds its copy";
    EXPECT_TRUE(document->isDocumentEdited()) << "autosave is not a save";

    // A later start (a second controller) finds the copy left behind.
    const QList<IXRecoveryEntry> offered = second.recoverableDocuments();
    ASSERT_EQ(offered.size(), 1);
    first.removeDocument(document);
    EXPECT_TRUE(IXRecoveryStore::entries().isEmpty()) << "closing discards the copy";

    // Write it again as a crash would leave it, then recover.
    document = open(first, QStringLiteral("work.ixd"));
    retitle(*document, QStringLiteral("Recovered title"));
    first.autosaveAllDocuments();
    const IXRecoveryEntry left = IXRecoveryStore::entries().value(0);
    PLError error;
    IXDocument* recovered = second.openRecoveredDocument(left, false, &error);
    ASSERT_TRUE(recovered) << error.failureReason().toStdString();
    spin();
    EXPECT_EQ(recovered->fileName(), path);
    EXPECT_TRUE(recovered->isDocumentEdited()) << "the recovered changes are not saved yet";
    EXPECT_EQ(std::dynamic_pointer_cast<IXBranchNode>(recovered->documentNode()->rootBranches().value(0))->title(), "Recovered title");
    EXPECT_EQ(readFile(path), original);
    ASSERT_TRUE(recovered->saveDocument());
    EXPECT_NE(readFile(path), original);
    EXPECT_FALSE(QFileInfo::exists(left.copyPath)) << "saving discards the copy";
}

TEST_F(IXAutosaveTest, AutosaveRunsOnTheDelay)
{
    IXDocument* document = open(first, QStringLiteral("timed.ixd"));
    ASSERT_TRUE(document);
    EXPECT_EQ(document->autosavingFileType(), "Ideaflux Document");
    retitle(*document, QStringLiteral("Timed"));
    first.setAutosavingDelay(1);
    spin(1300);
    EXPECT_EQ(IXRecoveryStore::entries().size(), 1);
    first.setAutosavingDelay(0);
}

TEST_F(IXAutosaveTest, AFailedAutosaveShowsANoticeOnceAndNoDialogUntilOneSucceeds)
{
    RecordingWindowController::Log log;
    IXDocument::setWindowControllerFactory([&log](IXDocument&) { return std::make_unique<RecordingWindowController>(&log); });
    IXDocument* document = open(first, QStringLiteral("blocked.ixd"));
    ASSERT_TRUE(document);
    // A file where the recovery folder must go: no copy can be written.
    const QString folder = IXRecoveryStore::folder();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(folder).absolutePath()));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    retitle(*document, QStringLiteral("First change"));
    first.autosaveAllDocuments();
    retitle(*document, QStringLiteral("Second change"));
    first.autosaveAllDocuments();
    EXPECT_TRUE(dialogs.presentedErrors.isEmpty());
    EXPECT_TRUE(dialogs.alerts.isEmpty());
    ASSERT_EQ(log.notices.size(), 1) << "once over two failures";
    EXPECT_TRUE(log.notices[0].contains(QStringLiteral("“blocked”"))) << log.notices[0].toStdString();
    EXPECT_TRUE(log.noticeShown);
    EXPECT_TRUE(document->showsAutosaveNotice());

    // The next interval tries again; a success takes the notice away.
    ASSERT_TRUE(QFile::remove(folder));
    first.autosaveAllDocuments();
    EXPECT_EQ(IXRecoveryStore::entries().size(), 1);
    EXPECT_FALSE(log.noticeShown);
    EXPECT_FALSE(document->showsAutosaveNotice());
    EXPECT_EQ(log.notices.size(), 1);
    EXPECT_TRUE(dialogs.presentedErrors.isEmpty());
}

TEST_F(IXAutosaveTest, AJustOpenedDocumentIsNotEditedEvenWhenItsFirstLayoutTouchesTheModel)
{
    // A window whose first layout records a change, as a view that normalises the map might.
    RecordingWindowController::Log log;
    IXDocument::setWindowControllerFactory([&log](IXDocument& document) {
        std::dynamic_pointer_cast<IXBranchNode>(document.documentNode()->rootBranches().value(0))->setTitle(QStringLiteral("Laid out"));
        return std::make_unique<RecordingWindowController>(&log);
    });
    IXDocument* document = open(first, QStringLiteral("laid.ixd"));
    ASSERT_TRUE(document);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->undoManager()->canUndo());
    dialogs.alertAnswers.clear();
    EXPECT_TRUE(first.closeDocument(document));
    EXPECT_TRUE(dialogs.alerts.isEmpty()) << "closing asks nothing";
}

} // namespace
