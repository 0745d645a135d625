// The document class: opening, saving, reverting and closing through the document controller,
// with dialogs answered by a fake, and failures that must leave the user's file as it was.
#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXWarning.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXDocumentImporters.h"
#include "DocumentWindow/IXDocumentPrinting.h"
#include "DocumentWindow/IXDocumentTypes.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXShellServices.h"
#include "DocumentWindow/IXTemplateStoring.h"
#include "IXShellTestSupport.h"
#include "Utilities/UTZipArchive.h"

#include <QFileInfo>

#include <csignal>
#include <stdexcept>
#include <sys/resource.h>

namespace {

// The map as text: every branch with its id and title, indented by level.
void outlineBranches(const QList<std::shared_ptr<IXBranchNode>>& branches, int level, QStringList& lines)
{
    for (const auto& branch : branches) {
        lines += QString(level * 2, QLatin1Char(' ')) + branch->uniqueId() + QLatin1Char(' ') + branch->title();
        outlineBranches(branch->branches(), level + 1, lines);
    }
}

QStringList outline(IXDocumentNode& document)
{
    QStringList lines;
    QList<std::shared_ptr<IXBranchNode>> roots;
    for (const auto& node : document.rootBranches()) roots += std::dynamic_pointer_cast<IXBranchNode>(node);
    outlineBranches(roots, 0, lines);
    return lines;
}

std::shared_ptr<IXBranchNode> firstRoot(IXDocument& document)
{
    return std::dynamic_pointer_cast<IXBranchNode>(document.documentNode()->rootBranches().value(0));
}

// The fixture package with its contents part replaced.
QByteArray withContents(const QByteArray& package, const QByteArray& contents)
{
    std::optional<UTZipArchive> archive = UTZipArchive::fromData(package);
    EXPECT_TRUE(archive);
    if (!archive) return {};
    EXPECT_TRUE(archive->setDataForFileName(contents, QStringLiteral("contents.xml")));
    return archive->getZipData();
}

class IXDocumentTest : public ShellTest {
protected:
    void TearDown() override
    {
        // Errors of failed openings are shown a moment later: to this test's dialogs.
        spin(150);
        for (IXDocument* document : controller.documents()) controller.removeDocument(document);
        IXDocument::setWindowControllerFactory({});
    }

    // Opens a copy of the fixture map.
    IXDocument* openFixture(const QString& as = QStringLiteral("map.ixd"))
    {
        PLError error;
        IXDocument* document = controller.openDocument(copyFixture(QStringLiteral("tree.ixd"), as), false, &error);
        EXPECT_TRUE(document) << error.failureReason().toStdString();
        spin();
        return document;
    }

    FakeDialogs dialogs;
    IXDocumentController controller;
};

TEST_F(IXDocumentTest, EditSaveAndReopenGivesTheSameMap)
{
    IXDocument* document = openFixture();
    ASSERT_TRUE(document);
    EXPECT_FALSE(document->isDocumentEdited()) << "a document just opened has no changes";
    EXPECT_EQ(document->displayName(), "map");
    EXPECT_EQ(outline(*document->documentNode()), QStringList({"B1 Main", "  B2 Sub", "B3 Second"}));

    firstRoot(*document)->setTitle(QStringLiteral("Renamed"));
    spin();
    EXPECT_TRUE(document->isDocumentEdited());
    const QStringList edited = outline(*document->documentNode());
    ASSERT_TRUE(document->saveDocument());
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_TRUE(dialogs.savePanels.isEmpty()) << "a document with a file saves without asking where";
    EXPECT_EQ(controller.recentDocuments().value(0), document->fileName());
    EXPECT_EQ(IXPreferences::value(IXPreferences::LastDocumentFolderKey).toString(), QFileInfo(document->fileName()).absolutePath());

    const QString path = document->fileName();
    controller.removeDocument(document);
    PLError error;
    IXDocument* reopened = controller.openDocument(path, false, &error);
    ASSERT_TRUE(reopened) << error.failureReason().toStdString();
    EXPECT_EQ(outline(*reopened->documentNode()), edited);
    EXPECT_EQ(edited.value(0), "B1 Renamed");
}

TEST_F(IXDocumentTest, UndoingBackToTheSavedStateIsClean)
{
    IXDocument* document = openFixture();
    ASSERT_TRUE(document);
    QList<bool> announced;
    QObject::connect(document, &IXDocument::editedChanged, [&](bool edited) { announced += edited; });
    firstRoot(*document)->setTitle(QStringLiteral("One"));
    spin();
    document->undoManager()->undo();
    EXPECT_FALSE(document->isDocumentEdited());
    document->undoManager()->redo();
    EXPECT_TRUE(document->isDocumentEdited());
    ASSERT_TRUE(document->saveDocument());
    document->undoManager()->undo();
    EXPECT_TRUE(document->isDocumentEdited()) << "the saved state has the change";
    // A different change at the same depth is not the saved state.
    firstRoot(*document)->setTitle(QStringLiteral("Two"));
    spin();
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(announced, QList<bool>({true, false, true, false, true}));
}

TEST_F(IXDocumentTest, EditedStateCountsUndoStepsNotRegistrations)
{
    IXDocument* document = openFixture();
    ASSERT_TRUE(document);
    PLUndoManager* undo = document->undoManager();
    // An explicit group that records nothing is no change.
    undo->beginUndoGrouping();
    undo->endUndoGrouping();
    spin();
    EXPECT_FALSE(document->isDocumentEdited());
    // Nor is a change made with undo off (loading, rebuilding).
    undo->disableUndoRegistration();
    firstRoot(*document)->setTitle(QStringLiteral("Quiet"));
    undo->enableUndoRegistration();
    spin();
    EXPECT_FALSE(document->isDocumentEdited());
    // Two changes in one turn are one step: edited at once, clean after one undo.
    firstRoot(*document)->setTitle(QStringLiteral("First"));
    EXPECT_TRUE(document->isDocumentEdited()) << "before the step closes";
    firstRoot(*document)->setTitle(QStringLiteral("Second"));
    spin();
    undo->undo();
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(firstRoot(*document)->title(), "Quiet");
}

TEST_F(IXDocumentTest, ClosingWithChangesAsksAndObeysTheAnswer)
{
    // Answers: 0 Save, 1 Cancel, 2 Don't Save.
    struct Case {
        int answer;
        bool closes;
        bool fileChanged;
    };
    const Case cases[] = {{0, true, true}, {1, false, false}, {2, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        dialogs.alerts.clear();
        IXDocument* document = openFixture(QStringLiteral("close%1.ixd").arg(c.answer));
        ASSERT_TRUE(document);
        const QString path = document->fileName();
        const QByteArray before = readFile(path);
        firstRoot(*document)->setTitle(QStringLiteral("Changed"));
        spin();
        dialogs.alertAnswers = {c.answer};
        EXPECT_EQ(controller.closeDocument(document), c.closes);
        ASSERT_EQ(dialogs.alerts.size(), 1);
        EXPECT_EQ(dialogs.alerts[0].title, "Do you want to save the changes made to the document “close" + QString::number(c.answer) + "”?");
        EXPECT_EQ(dialogs.alerts[0].buttons, QStringList({"Save", "Cancel", "Don't Save"}));
        EXPECT_EQ(controller.documentForPath(path) != nullptr, !c.closes);
        EXPECT_EQ(readFile(path) != before, c.fileChanged);
        if (!c.closes) controller.removeDocument(document);
    }
    // Without changes nothing is asked.
    dialogs.alerts.clear();
    EXPECT_TRUE(controller.closeDocument(openFixture(QStringLiteral("clean.ixd"))));
    EXPECT_TRUE(dialogs.alerts.isEmpty());
}

// Failures of a save that happen for every user, root included.
TEST_F(IXDocumentTest, FailedSaveKeepsTheOldFileAndSaysWhy)
{
    IXDocument* document = openFixture();
    ASSERT_TRUE(document);
    firstRoot(*document)->setTitle(QStringLiteral("Unsaved"));
    spin();
    const QString path = document->fileName();
    const QByteArray before = readFile(path);
    QFile blocker(filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    struct Case {
        const char* name;
        QString target;
        // The write limit in bytes while saving (0: none).
        rlim_t sizeLimit;
    };
    const Case cases[] = {
        {"folder is a file", filePath(QStringLiteral("not-a-folder/map.ixd")), 0},
        {"file system refuses the bytes midway", path, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PLError error;
        rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (c.sizeLimit) {
            rlimit limited = old;
            limited.rlim_cur = c.sizeLimit;
            setrlimit(RLIMIT_FSIZE, &limited);
        }
        const bool saved = document->writeToPath(c.target, IXDocumentTypes::Native, IXDocument::SaveOperation::Save, &error);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(saved);
        EXPECT_EQ(error.failureReason(), "The document “map” could not be saved as “map.ixd”.");
        EXPECT_FALSE(error.userInfo().value(PLError::UnderlyingErrorKey).toString().isEmpty());
        EXPECT_EQ(readFile(path), before);
        EXPECT_TRUE(document->isDocumentEdited());
        EXPECT_EQ(document->fileName(), path);
        EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                  QStringList({"map.ixd", "not-a-folder"}))
            << "no temporary file is left behind";
    }
    // Through the command, the error reaches the user.
    dialogs.savePanelAnswers = {filePath(QStringLiteral("not-a-folder/other.ixd"))};
    EXPECT_FALSE(document->saveDocumentAs());
    ASSERT_EQ(dialogs.presentedErrors.size(), 1);
    EXPECT_EQ(dialogs.presentedErrors[0].failureReason(), "The document “map” could not be saved as “other.ixd”.");
}

TEST_F(IXDocumentTest, AFailedSaveShowsOneErrorWithTheFileNameAndTheWritersText)
{
    // The application's services are installed, as in the program: the model must not show
    // anything of its own.
    IXShellServices services;
    IXApplicationServices::install(&services);
    IXDocument* document = openFixture();
    ASSERT_TRUE(document);
    const QByteArray before = readFile(document->fileName());
    // A value no property list can hold: the package cannot be built.
    document->documentNode()->packageParts().optionsForName(QStringLiteral("export")).insert(QStringLiteral("bad"), QVariant::fromValue(QPointF(1, 2)));
    document->markEdited();
    EXPECT_FALSE(document->saveDocument());
    spin(150);
    IXApplicationServices::install(nullptr);
    ASSERT_EQ(dialogs.presentedErrors.size(), 1);
    EXPECT_EQ(dialogs.presentedErrors[0].failureReason(), "The document “map” could not be saved as “map.ixd”.");
    EXPECT_EQ(dialogs.presentedErrors[0].userInfo().value(PLError::UnderlyingErrorKey).toString(), "failed to generate plist");
    EXPECT_EQ(readFile(document->fileName()), before);
    EXPECT_TRUE(document->isDocumentEdited());
}

TEST_F(IXDocumentTest, EverySaveCommitsEditorsFirstAndARefusalWritesNothing)
{
    RecordingWindowController::Log log;
    IXDocument::setWindowControllerFactory([&](IXDocument&) { return std::make_unique<RecordingWindowController>(&log); });
    PLError error;
    IXDocument* document = controller.openDocument(copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("map.ixd")), true, &error);
    ASSERT_TRUE(document);
    ASSERT_EQ(document->windowControllers().size(), 1u);
    FakeEditor typing(document, false);
    ASSERT_TRUE(document->saveDocument());
    EXPECT_EQ(typing.commits, 1);
    EXPECT_EQ(log.willSaves, 1);
    ASSERT_TRUE(document->saveDocument());
    EXPECT_EQ(typing.commits, 1) << "an editor that ended is not asked again";

    FakeEditor invalid(document, true);
    const QByteArray before = readFile(document->fileName());
    firstRoot(*document)->setTitle(QStringLiteral("Not written"));
    spin();
    EXPECT_FALSE(document->writeToPath(document->fileName(), IXDocumentTypes::Native, IXDocument::SaveOperation::Save, &error));
    EXPECT_EQ(invalid.commits, 1);
    EXPECT_EQ(log.willSaves, 2) << "nothing is stored after an editor refused";
    EXPECT_EQ(readFile(document->fileName()), before);

    // Closing without saving drops the change in progress.
    dialogs.alertAnswers = {2};
    EXPECT_TRUE(controller.closeDocument(document));
    EXPECT_EQ(invalid.discards, 1);
}

TEST_F(IXDocumentTest, DamagedPackagesFailWithTheReadersError)
{
    const QByteArray fixture = readFile(fixturePath(QStringLiteral("tree.ixd")));
    ASSERT_FALSE(fixture.isEmpty());
    const QList<QPair<const char*, QByteArray>> cases = {
        {"not a zip archive", QByteArray("This is not a map at all.")},
        {"no contents", fixture.left(fixture.indexOf("PK\x01\x02")).replace("contents.xml", "contents.xmm")},
        {"empty", QByteArray()},
        {"contents not XML", withContents(fixture, "<document uid=\"D\"><branch")},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        dialogs.presentedErrors.clear();
        const QString path = filePath(QStringLiteral("damaged.ixd"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        PLError readerError;
        EXPECT_FALSE(IXDocumentNode::fromZipData(bytes, &readerError));
        PLError error;
        EXPECT_FALSE(controller.openDocument(path, true, &error));
        // The file's name, and the reader's text underneath.
        EXPECT_EQ(error.failureReason(), "The document “damaged.ixd” could not be opened.");
        EXPECT_FALSE(readerError.failureReason().isEmpty());
        EXPECT_EQ(error.userInfo().value(PLError::UnderlyingErrorKey).toString(), readerError.failureReason());
        EXPECT_TRUE(controller.documents().isEmpty());
        spin(150);
        ASSERT_EQ(dialogs.presentedErrors.size(), 1) << "shown once, a moment later";
        EXPECT_EQ(dialogs.presentedErrors[0], error);
    }
}

class FakeImporter : public IXDocumentImporter {
public:
    enum class Outcome { Node, Nothing, Throws };
    explicit FakeImporter(Outcome outcome) : m_outcome(outcome) {}
    std::shared_ptr<IXDocumentNode> getMacDocumentNode(PLError* error) override
    {
        if (m_outcome == Outcome::Throws) throw std::runtime_error("table nesting too deep");
        if (m_outcome == Outcome::Nothing) {
            PLSetError(error, PLError(QStringLiteral("Ideaflux"), 1, {{PLError::FailureReasonKey, QStringLiteral("No paragraphs found")}}));
            return nullptr;
        }
        auto document = std::make_shared<IXDocumentNode>();
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(QStringLiteral("Imported"));
        document->addRootBranch(branch);
        return document;
    }

private:
    Outcome m_outcome;
};

TEST_F(IXDocumentTest, ImportedFilesBecomeUntitledNativeDocuments)
{
    const QString path = filePath(QStringLiteral("Notes.docx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("word bytes");
    file.close();

    PLError error;
    // The user reads the file's name, and the importer's text underneath.
    const auto readerText = [&error] { return error.userInfo().value(PLError::UnderlyingErrorKey).toString(); };
    EXPECT_FALSE(controller.openDocument(path, false, &error)) << "no importer is installed";
    EXPECT_EQ(error.failureReason(), "The document “Notes.docx” could not be opened.");
    EXPECT_EQ(readerText(), "This version of Ideaflux cannot import files of the type “MS Word 2007 Document”.");

    struct Case {
        FakeImporter::Outcome outcome;
        QString reason;
    };
    const Case failures[] = {
        {FakeImporter::Outcome::Nothing, QStringLiteral("No paragraphs found")},
        {FakeImporter::Outcome::Throws, QStringLiteral("Unrecoverable error during importing file\ntable nesting too deep")},
    };
    for (const Case& c : failures) {
        IXDocumentImporters::install(IXDocumentTypes::Word2007, [&](const QByteArray&, PLError*) { return std::make_unique<FakeImporter>(c.outcome); });
        EXPECT_FALSE(controller.openDocument(path, false, &error));
        EXPECT_EQ(readerText(), c.reason);
    }

    IXDocumentImporters::install(IXDocumentTypes::Word2007, [](const QByteArray& data, PLError*) {
        EXPECT_EQ(data, "word bytes");
        return std::make_unique<FakeImporter>(FakeImporter::Outcome::Node);
    });
    IXDocument* document = controller.openDocument(path, false, &error);
    IXDocumentImporters::install(IXDocumentTypes::Word2007, {});
    ASSERT_TRUE(document) << error.failureReason().toStdString();
    EXPECT_TRUE(document->fileName().isEmpty());
    EXPECT_EQ(document->fileType(), IXDocumentTypes::Native);
    EXPECT_EQ(document->displayName(), "Notes") << "named after the imported file";
    ASSERT_EQ(document->documentNode()->warnings().size(), 1);
    const auto warning = document->documentNode()->warnings()[0];
    EXPECT_EQ(warning->title() + ":" + warning->message(), IXWarningMessage(QStringLiteral("DOCXImportGeneral")));

    // The first save asks for a place and writes a native package.
    const QString target = filePath(QStringLiteral("Notes.ixd"));
    dialogs.savePanelAnswers = {target};
    ASSERT_TRUE(document->saveDocument());
    ASSERT_EQ(dialogs.savePanels.size(), 1);
    EXPECT_EQ(dialogs.savePanels[0].fileName, "Notes.ixd");
    EXPECT_EQ(document->fileName(), target);
    EXPECT_TRUE(IXDocumentNode::fromZipData(readFile(target), &error));
    EXPECT_TRUE(QFileInfo(path).isFile()) << "the imported file is left alone";
}

TEST_F(IXDocumentTest, TheOpenPanelListsOnlyTypesThatCanBeRead)
{
    dialogs.openPanelAnswers = {std::nullopt, std::nullopt};
    EXPECT_TRUE(controller.openDocumentsFromPanel().isEmpty());
    IXDocumentImporters::install(IXDocumentTypes::Word2007, [](const QByteArray&, PLError*) { return std::make_unique<FakeImporter>(FakeImporter::Outcome::Node); });
    EXPECT_TRUE(controller.openDocumentsFromPanel().isEmpty());
    IXDocumentImporters::install(IXDocumentTypes::Word2007, {});
    ASSERT_EQ(dialogs.openPanels.size(), 2);
    EXPECT_EQ(dialogs.openPanels[0].allowedExtensions, QStringList{"ixd"}) << "no importer is installed";
    EXPECT_EQ(dialogs.openPanels[1].allowedExtensions, (QStringList{"ixd", "docx"}));
}

TEST_F(IXDocumentTest, OnlyTheNativeTypeIsMadeOrWritten)
{
    PLError error;
    EXPECT_FALSE(IXDocument::untitled(IXDocumentTypes::WordBinary, &error));
    EXPECT_EQ(error.failureReason(), "Unsupported document type");
    std::unique_ptr<IXDocument> document = IXDocument::untitled(IXDocumentTypes::Native, &error);
    ASSERT_TRUE(document);
    EXPECT_FALSE(document->dataOfType(IXDocumentTypes::PowerPoint2007, &error));
    EXPECT_EQ(error.failureReason(), "Unsupported document type");
    EXPECT_FALSE(document->canPrint());
    EXPECT_FALSE(document->printDocument({}, false, &error));
    EXPECT_FALSE(error.failureReason().isEmpty());
}

class FakeTemplateStorage : public IXTemplateStoring {
public:
    explicit FakeTemplateStorage(QString folder) : m_folder(std::move(folder)) { install(this); }
    ~FakeTemplateStorage() override { install(nullptr); }
    QString templateUsersFolder() override { return m_folder; }
    void updateDynamicItems() override { ++updates; }
    int updates = 0;

private:
    QString m_folder;
};

TEST_F(IXDocumentTest, SavingAsTemplateStartsInTheTemplatesFolderOnce)
{
    QDir(filePath(QString())).mkpath(QStringLiteral("Templates"));
    FakeTemplateStorage storage(filePath(QStringLiteral("Templates")));
    IXDocument* document = openFixture();
    ASSERT_TRUE(document);
    const QString lastFolder = QFileInfo(document->fileName()).absolutePath();
    IXPreferences::setValue(IXPreferences::LastDocumentFolderKey, lastFolder);

    dialogs.savePanelAnswers = {filePath(QStringLiteral("Templates/Plan.ixd"))};
    ASSERT_TRUE(document->saveDocumentAsTemplate());
    ASSERT_EQ(dialogs.savePanels.size(), 1);
    EXPECT_EQ(dialogs.savePanels[0].directory, filePath(QStringLiteral("Templates")));
    EXPECT_FALSE(dialogs.savePanels[0].canCreateDirectories);
    EXPECT_EQ(storage.updates, 1);
    EXPECT_EQ(IXPreferences::value(IXPreferences::LastDocumentFolderKey).toString(), lastFolder)
        << "a template is not the last document folder";
    EXPECT_FALSE(document->isTemplate());

    // The next save as is an ordinary one; a cancelled template save leaves no flag behind.
    dialogs.savePanelAnswers = {std::nullopt, filePath(QStringLiteral("Plain.ixd"))};
    EXPECT_FALSE(document->saveDocumentAsTemplate());
    EXPECT_TRUE(document->saveDocumentAs());
    EXPECT_EQ(dialogs.savePanels[2].directory, lastFolder);
    EXPECT_TRUE(dialogs.savePanels[2].canCreateDirectories);
    EXPECT_EQ(storage.updates, 1);
    EXPECT_EQ(IXPreferences::value(IXPreferences::LastDocumentFolderKey).toString(), QFileInfo(filePath(QStringLiteral("Plain.ixd"))).absolutePath());
}

TEST_F(IXDocumentTest, TemplateDataOfAnotherTypeOrDamagedIsRefusedAndShownAtOnce)
{
    PLError error;
    EXPECT_FALSE(IXDocument::fromData(readFile(fixturePath(QStringLiteral("tree.ixd"))), IXDocumentTypes::Word2007, &error));
    EXPECT_EQ(error.failureReason(), "Unsupported document type");
    EXPECT_FALSE(IXDocument::fromData(QByteArray("damaged"), IXDocumentTypes::Native, &error));
    ASSERT_EQ(dialogs.presentedErrors.size(), 1);
    EXPECT_EQ(dialogs.presentedErrors[0], error);
    spin(150);
    EXPECT_EQ(dialogs.presentedErrors.size(), 1) << "and not again later";
    std::unique_ptr<IXDocument> document = IXDocument::fromData(readFile(fixturePath(QStringLiteral("tree.ixd"))), IXDocumentTypes::Native, &error);
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->fileName().isEmpty());
    EXPECT_EQ(document->displayName(), "Main");
}

class FakePrintingView : public IXDocumentPrinting {
public:
    bool print(const QVariantMap& settings, bool showPrintPanel, PLError*) override
    {
        printed += settings;
        panels += showPrintPanel;
        return true;
    }
    QList<QVariantMap> printed;
    QList<bool> panels;
};

class PrintingWindowController : public RecordingWindowController {
public:
    PrintingWindowController(Log* log, FakePrintingView* view) : RecordingWindowController(log), m_view(view) {}
    IXDocumentPrinting* documentPrinting() override { return m_view; }

private:
    FakePrintingView* m_view;
};

TEST_F(IXDocumentTest, PrintsThroughTheFirstWindowsPrintingView)
{
    RecordingWindowController::Log log;
    FakePrintingView view;
    IXDocument::setWindowControllerFactory([&](IXDocument&) { return std::make_unique<PrintingWindowController>(&log, &view); });
    PLError error;
    IXDocument* document = controller.openUntitledDocument(true, &error);
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->canPrint());
    const QVariantMap settings = {{QStringLiteral("copies"), 2}};
    EXPECT_TRUE(document->printDocument(settings, true, &error));
    EXPECT_EQ(view.printed, QList<QVariantMap>({settings}));
    EXPECT_EQ(view.panels, QList<bool>({true}));
}

TEST_F(IXDocumentTest, RecentDocumentsKeepTheNewestTenOnce)
{
    controller.clearRecentDocuments();
    for (int i = 0; i < 12; ++i) controller.noteNewRecentDocument(filePath(QStringLiteral("map%1.ixd").arg(i)));
    controller.noteNewRecentDocument(filePath(QStringLiteral("map5.ixd")));
    const QStringList recent = controller.recentDocuments();
    ASSERT_EQ(recent.size(), IXDocumentController::MaximumRecentDocumentCount);
    EXPECT_EQ(recent.first(), filePath(QStringLiteral("map5.ixd")));
    EXPECT_EQ(recent.count(filePath(QStringLiteral("map5.ixd"))), 1);
    EXPECT_EQ(recent.value(1), filePath(QStringLiteral("map11.ixd")));
    EXPECT_FALSE(recent.contains(filePath(QStringLiteral("map1.ixd"))));
}

TEST_F(IXDocumentTest, QuittingAsksAboutEachEditedDocumentUntilOneStays)
{
    IXDocument* kept = openFixture(QStringLiteral("kept.ixd"));
    openFixture(QStringLiteral("clean.ixd"));
    IXDocument* dropped = openFixture(QStringLiteral("dropped.ixd"));
    ASSERT_TRUE(kept && dropped);
    firstRoot(*dropped)->setTitle(QStringLiteral("Lost"));
    firstRoot(*kept)->setTitle(QStringLiteral("Kept"));
    spin();
    // "kept" is asked first and cancelled: nothing after it closes.
    dialogs.alertAnswers = {1};
    EXPECT_FALSE(controller.closeAllDocuments());
    EXPECT_EQ(controller.documents().size(), 3);
    // Now "kept" is saved, the clean one closes unasked and "dropped" loses its change.
    dialogs.alertAnswers = {0, 2};
    EXPECT_TRUE(controller.closeAllDocuments());
    EXPECT_TRUE(controller.documents().isEmpty());
    EXPECT_EQ(dialogs.alerts.size(), 3);
    PLError error;
    EXPECT_EQ(outline(*IXDocumentNode::fromZipData(readFile(filePath(QStringLiteral("kept.ixd"))), &error)).value(0), "B1 Kept");
    EXPECT_EQ(outline(*IXDocumentNode::fromZipData(readFile(filePath(QStringLiteral("dropped.ixd"))), &error)).value(0), "B1 Main");
}

TEST_F(IXDocumentTest, ApplicationServicesReachTheOpenDocuments)
{
    IXDocumentController& shared = IXDocumentController::shared();
    IXShellServices services;
    PLError error;
    IXOpenDocument* opened = services.openDocumentWithContentsOfURL(QUrl::fromLocalFile(copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("linked.ixd"))), false, &error);
    ASSERT_TRUE(opened) << error.failureReason().toStdString();
    EXPECT_EQ(services.documents(), QList<IXOpenDocument*>({opened}));
    EXPECT_EQ(services.openDocumentWithContentsOfURL(QUrl::fromLocalFile(filePath(QStringLiteral("linked.ixd"))), false, &error), opened)
        << "an open document is not opened twice";
    EXPECT_FALSE(services.openDocumentWithContentsOfURL(QUrl(QStringLiteral("https://example.org/map.ixd")), false, &error));
    EXPECT_FALSE(error.failureReason().isEmpty());
    services.setUserDefault(QStringLiteral("IXLastPictureFolder"), filePath(QString()));
    EXPECT_EQ(services.userDefault(QStringLiteral("IXLastPictureFolder")).toString(), filePath(QString()));
    for (IXDocument* document : shared.documents()) shared.removeDocument(document);
}

TEST_F(IXDocumentTest, RevertReadsTheFileAgain)
{
    RecordingWindowController::Log log;
    IXDocument::setWindowControllerFactory([&](IXDocument&) { return std::make_unique<RecordingWindowController>(&log); });
    PLError error;
    IXDocument* document = controller.openDocument(copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("map.ixd")), true, &error);
    ASSERT_TRUE(document);
    spin();
    const QStringList saved = outline(*document->documentNode());
    firstRoot(*document)->setTitle(QStringLiteral("Changed"));
    spin();
    dialogs.alertAnswers = {1};
    EXPECT_FALSE(document->revertDocumentToSaved());
    EXPECT_TRUE(document->isDocumentEdited());
    dialogs.alertAnswers = {0};
    EXPECT_TRUE(document->revertDocumentToSaved());
    EXPECT_EQ(outline(*document->documentNode()), saved);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->undoManager()->canUndo());
    EXPECT_EQ(log.nodeChanges, 1);

    // A file damaged meanwhile: the error is shown once and the map stays as it is.
    QFile damaged(document->fileName());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("damaged");
    damaged.close();
    const auto node = document->documentNode();
    dialogs.alertAnswers = {0};
    EXPECT_FALSE(document->revertDocumentToSaved());
    spin(150);
    EXPECT_EQ(dialogs.presentedErrors.size(), 1);
    EXPECT_EQ(document->documentNode(), node);
}

} // namespace
