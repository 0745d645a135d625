// The template store (packs and the user's folder, categories and their order, previews,
// rescanning), the chooser (new untitled documents from templates, replacing the untouched
// default document) and the shipped packs.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXGridImageView.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXTemplateController.h"
#include "DocumentWindow/IXTemplateFolder.h"
#include "DocumentWindow/IXTemplateItem.h"
#include "DocumentWindow/IXTemplateStorage.h"
#include "DocumentWindow/IXWindowController.h"
#include "IXShellTestSupport.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/XML/PLPropertyList.h"

#include <QBuffer>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

QStringList rootTitles(const IXDocument* document)
{
    QStringList titles;
    for (const auto& node : document->documentNode()->rootBranches()) titles += node->title();
    return titles;
}

QStringList categoryTitles(const IXTemplateStorage& storage)
{
    QStringList titles;
    for (const auto& folder : storage.categories())
        titles += folder->isSeparator() ? QStringLiteral("--") : folder->title();
    return titles;
}

QStringList itemTitles(const QList<IXTemplateItem*>& items)
{
    QStringList titles;
    for (const IXTemplateItem* item : items) titles += item->title();
    return titles;
}

// Packs and a user folder in the test's folder; each template is a map whose one root
// branch carries its name.
class TemplatesTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        IXLayoutCellFactory::install(&m_cells);
        IXWindowController::installAsShellControllers();
        resources = filePath(QStringLiteral("resources"));
        userFolder = filePath(QStringLiteral("user"));
        IXPreferences::setValue(IXTemplateStorage::UserTemplatesFolderKey, userFolder);
    }
    void TearDown() override
    {
        for (IXDocument* document : IXDocumentController::shared().documents())
            IXDocumentController::shared().removeDocument(document);
        IXDocument::setWindowControllerFactory({});
        IXLayoutCellFactory::install(nullptr);
        spin(10);
    }

    static QByteArray mapWithRoot(const QString& title, const QByteArray& thumbnail = {})
    {
        auto document = std::make_shared<IXDocumentNode>();
        auto root = std::make_shared<IXBranchNode>();
        document->addRootBranch(root);
        root->setTitle(title);
        auto sub = std::make_shared<IXBranchNode>();
        root->insertBranch(sub, -1);
        sub->setTitle(title + QStringLiteral(" detail"));
        if (!thumbnail.isEmpty()) document->packageParts().setData(thumbnail, QStringLiteral("thumbnail"));
        return document->zipData().value_or(QByteArray());
    }

    static void write(const QString& path, const QByteArray& data)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    // A pack: templates key -> (file, title), categories key -> (title, template keys).
    void writePack(const QString& name, const QList<std::tuple<QString, QString, QString>>& templates,
                   const QList<std::tuple<QString, QString, QStringList>>& categories, const QStringList& missing = {})
    {
        QVariantMap items, folders;
        for (const auto& [key, file, title] : templates) {
            items.insert(key,
                         QVariantMap {{QStringLiteral("FileName"), file},
                                      {QStringLiteral("Name"), title},
                                      {QStringLiteral("Description"), title + QStringLiteral(" text")}});
            if (!missing.contains(key))
                write(resources + QLatin1Char('/') + name + QLatin1Char('/') + file, mapWithRoot(title));
        }
        for (const auto& [key, title, keys] : categories)
            folders.insert(
                key, QVariantMap {{QStringLiteral("Name"), title}, {QStringLiteral("Templates"), QVariant(keys)}});
        write(resources + QLatin1Char('/') + name + QStringLiteral("/templates.plist"),
              PLPropertyList::write(
                  QVariantMap {{QStringLiteral("Templates"), items}, {QStringLiteral("Categories"), folders}}));
    }

    void writeFixturePacks()
    {
        writePack(QStringLiteral("Default.pack"),
                  {{QStringLiteral("blank"), QStringLiteral("Blank.ixd"), QStringLiteral("Blank")}},
                  {{QStringLiteral("Blank"), QStringLiteral("Blank Maps"), {QStringLiteral("blank")}}});
        writePack(QStringLiteral("Templates.pack"),
                  {{QStringLiteral("w1"), QStringLiteral("Meeting.ixd"), QStringLiteral("Meeting")},
                   {QStringLiteral("w2"), QStringLiteral("Plan.ixd"), QStringLiteral("Plan")},
                   {QStringLiteral("h1"), QStringLiteral("Week.ixd"), QStringLiteral("Week")},
                   {QStringLiteral("gone"), QStringLiteral("Gone.ixd"), QStringLiteral("Gone")},
                   // A file outside the pack is no template of it, though it exists.
                   {QStringLiteral("escape"), QStringLiteral("../Default.pack/Blank.ixd"), QStringLiteral("Escape")}},
                  // Sorted by key ignoring case: a-home, b-Work, C-misc.
                  {{QStringLiteral("b-Work"), QStringLiteral("Work"), {QStringLiteral("w1"), QStringLiteral("w2")}},
                   {QStringLiteral("C-misc"),
                    QStringLiteral("Misc"),
                    {QStringLiteral("gone"), QStringLiteral("w2"), QStringLiteral("escape"), QStringLiteral("h1")}},
                   {QStringLiteral("a-home"), QStringLiteral("Home"), {QStringLiteral("h1")}}},
                  {QStringLiteral("gone"), QStringLiteral("escape")});
    }

    QString resources;
    QString userFolder;

private:
    IXMapCellFactory m_cells;
};

TEST_F(TemplatesTest, TheStoreReadsPacksAndTheUserFolderIntoOrderedCategories)
{
    writeFixturePacks();
    write(userFolder + QStringLiteral("/Mine.ixd"), mapWithRoot(QStringLiteral("Mine")));
    write(userFolder + QStringLiteral("/old.IXP"), QByteArray("not read until chosen"));
    write(userFolder + QStringLiteral("/notes.txt"), QByteArray("no template"));
    QDir().mkpath(userFolder + QStringLiteral("/folder.ixd"));

    IXTemplateStorage storage(resources);
    storage.load();
    EXPECT_EQ(categoryTitles(storage),
              (QStringList {"All", "--", "Blank Maps", "--", "Home", "Work", "Misc", "--", "User templates"}));
    const auto categories = storage.categories();
    // Every template once under "All", the missing one nowhere.
    EXPECT_EQ(itemTitles(categories[0]->items()), (QStringList {"Blank", "Week", "Meeting", "Plan", "Mine", "old"}));
    EXPECT_EQ(itemTitles(categories[6]->items()), (QStringList {"Plan", "Week"}));
    EXPECT_EQ(itemTitles(storage.itemsForCategoryIndexes({6, 4, 99, 5})), (QStringList {"Week", "Meeting", "Plan"}));
    EXPECT_EQ(storage.defaultTemplateItem()->title(), QStringLiteral("Blank"));
    EXPECT_EQ(storage.defaultTemplateItem()->filePath(), resources + QStringLiteral("/Default.pack/Blank.ixd"));
    EXPECT_EQ(storage.defaultTemplateItem()->attribute(QStringLiteral("AbsolutePath")).toString(),
              storage.defaultTemplateItem()->filePath());
    EXPECT_EQ(storage.defaultTemplateItem()->attribute(QStringLiteral("Description")).toString(),
              QStringLiteral("Blank text"));
    IXTemplateItem* mine = storage.itemAtPath(userFolder + QStringLiteral("/Mine.ixd"));
    ASSERT_TRUE(mine);
    EXPECT_TRUE(mine->isUserItem());
    EXPECT_EQ(mine->attribute(QStringLiteral("FileName")).toString(), QStringLiteral("Mine.ixd"));
    EXPECT_TRUE(categories[8]->isDynamic());
    EXPECT_FALSE(categories[6]->isDynamic());

    // An empty user folder gives no user category; without packs only "All" remains.
    QFile::remove(userFolder + QStringLiteral("/Mine.ixd"));
    QFile::remove(userFolder + QStringLiteral("/old.IXP"));
    storage.load();
    EXPECT_EQ(categoryTitles(storage), (QStringList {"All", "--", "Blank Maps", "--", "Home", "Work", "Misc"}));
    IXTemplateStorage none(filePath(QStringLiteral("nothing")));
    none.load();
    EXPECT_EQ(categoryTitles(none), (QStringList {"All", "--"}));
    EXPECT_EQ(none.defaultTemplateItem(), nullptr);
}

TEST_F(TemplatesTest, TheUserCategoryIsRescannedAfterASaveAsTemplate)
{
    writeFixturePacks();
    write(userFolder + QStringLiteral("/First.ixd"), mapWithRoot(QStringLiteral("First")));
    IXTemplateStorage storage(resources);
    storage.load();
    IXTemplateStoring::install(&storage);
    int notices = 0;
    PLNotificationCenter::defaultCenter().addObserver(this, IXTemplateStorage::StateDidChangeNotification, &storage,
                                                      [&notices](const PLNotification&) { ++notices; });

    // Saved as a template: the save panel starts in the user folder, the store rescans.
    std::unique_ptr<IXDocument> document
        = IXDocument::fromData(mapWithRoot(QStringLiteral("Saved")), QStringLiteral("Ideaflux Document"), nullptr);
    ASSERT_TRUE(document);
    FakeDialogs dialogs;
    dialogs.savePanelAnswers = {userFolder + QStringLiteral("/Saved.ixd")};
    ASSERT_TRUE(document->saveDocumentAsTemplate());
    EXPECT_EQ(dialogs.savePanels.value(0).directory, userFolder);
    EXPECT_EQ(notices, 1);
    const auto user = storage.categories().last();
    EXPECT_EQ(itemTitles(user->items()), (QStringList {"First", "Saved"}));

    QFile::remove(userFolder + QStringLiteral("/First.ixd"));
    storage.updateDynamicItems();
    EXPECT_EQ(itemTitles(user->items()), QStringList {"Saved"});
    EXPECT_EQ(storage.itemAtPath(userFolder + QStringLiteral("/First.ixd")), nullptr);
    PLNotificationCenter::defaultCenter().removeObserver(this);
    IXTemplateStoring::install(nullptr);
}

TEST_F(TemplatesTest, PreviewsComeFromAPictureBesideThePackageOrItsThumbnail)
{
    QImage red(8, 6, QImage::Format_RGB32);
    red.fill(Qt::red);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    red.save(&png, "PNG");
    write(userFolder + QStringLiteral("/Thumb.ixd"), mapWithRoot(QStringLiteral("Thumb"), png.data()));
    write(userFolder + QStringLiteral("/Plain.ixd"), mapWithRoot(QStringLiteral("Plain")));
    write(userFolder + QStringLiteral("/Pictured.ixd"), mapWithRoot(QStringLiteral("Pictured")));
    QImage blue(20, 10, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(userFolder + QStringLiteral("/Pictured.jpg"), "JPEG"));
    QImage sharp(40, 20, QImage::Format_RGB32);
    sharp.fill(Qt::blue);
    ASSERT_TRUE(sharp.save(userFolder + QStringLiteral("/Sharp.jpg"), "JPEG"));
    ASSERT_TRUE(sharp.save(userFolder + QStringLiteral("/Sharp@2x.jpg"), "JPEG"));
    write(userFolder + QStringLiteral("/Sharp.ixd"), mapWithRoot(QStringLiteral("Sharp")));

    IXTemplateStorage storage(resources);
    storage.load();
    const QImage thumbnail = storage.previewImageForPath(userFolder + QStringLiteral("/Thumb.ixd"));
    EXPECT_EQ(thumbnail.size(), QSize(8, 6));
    EXPECT_EQ(thumbnail.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(storage.previewImageForPath(userFolder + QStringLiteral("/Pictured.ixd")).size(), QSize(20, 10));
    const QImage twice = storage.previewImageForPath(userFolder + QStringLiteral("/Sharp.ixd"));
    EXPECT_EQ(twice.deviceIndependentSize(), QSizeF(20, 10));
    const QImage fallback = PLNamedImages::imageNamed(QStringLiteral("ix_ixd"));
    ASSERT_FALSE(fallback.isNull());
    EXPECT_EQ(storage.previewImageForPath(userFolder + QStringLiteral("/Plain.ixd")), fallback);
    // The item keeps what it was given first.
    IXTemplateItem* item = storage.itemAtPath(userFolder + QStringLiteral("/Pictured.ixd"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->previewImage().size(), QSize(20, 10));
    QFile::remove(userFolder + QStringLiteral("/Pictured.jpg"));
    EXPECT_EQ(item->previewImage().size(), QSize(20, 10));
}

TEST_F(TemplatesTest, ChoosingATemplateOpensAnUntitledDocumentAndReplacesTheUntouchedDefault)
{
    writeFixturePacks();
    IXTemplateStorage storage(resources);
    storage.load();
    IXTemplateController chooser(storage);
    FakeDialogs dialogs;
    IXDocumentController& documents = IXDocumentController::shared();

    IXDocument* first = chooser.openNewDocumentWithDefaultTemplate();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->usesDefaultTemplate());
    EXPECT_EQ(rootTitles(first), QStringList {"Blank"});
    EXPECT_TRUE(first->fileName().isEmpty());
    spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
    EXPECT_FALSE(first->isDocumentEdited());

    chooser.showChoosePanel();
    QDialog* window = chooser.window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("New Ideaflux Document"));
    // Row 2, the first category, is selected; separators cannot be.
    EXPECT_EQ(chooser.categoryTable()->currentRow(), 2);
    EXPECT_FALSE(chooser.categoryTable()->item(1)->flags() & Qt::ItemIsSelectable);
    chooser.categoryTable()->setCurrentRow(5);  // Work
    EXPECT_EQ(itemTitles(chooser.activeItems()), (QStringList {"Meeting", "Plan"}));
    EXPECT_EQ(chooser.gridView()->selectedItem(), 0);
    chooser.gridView()->selectItemAtIndex(1);

    // Choose: the untouched default document goes, the new one is untitled with the contents.
    chooser.buttonAction(IXTemplateController::ChooseTag);
    ASSERT_EQ(documents.documents().size(), 1);
    IXDocument* plan = documents.documents().front();
    EXPECT_NE(plan, first);
    EXPECT_EQ(rootTitles(plan), QStringList {"Plan"});
    EXPECT_EQ(plan->documentNode()->rootBranches().front()->title(), QStringLiteral("Plan"));
    EXPECT_TRUE(plan->fileName().isEmpty());
    EXPECT_FALSE(plan->usesDefaultTemplate());
    EXPECT_FALSE(window->isVisible());

    // An edited default document stays; a double click on a slot chooses too.
    IXDocument* edited = chooser.openNewDocumentWithDefaultTemplate();
    spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
    std::dynamic_pointer_cast<IXBranchNode>(edited->documentNode()->rootBranches().front())
        ->setTitle(QStringLiteral("Typed"));
    spin();
    ASSERT_TRUE(edited->isDocumentEdited());
    chooser.showChoosePanel();
    chooser.categoryTable()->setCurrentRow(4);  // Home
    chooser.gridView()->setAction({});
    QTest::mouseDClick(chooser.gridView(), Qt::LeftButton, {},
                       chooser.gridView()->rectAtItemIndex(0).center().toPoint());
    EXPECT_EQ(documents.documents().size(), 3);
    EXPECT_TRUE(documents.documents().contains(edited));

    // A template that is not a map: the error is shown and the chooser stays.
    write(resources + QStringLiteral("/Templates.pack/Meeting.ixd"), QByteArray("garbage"));
    chooser.showChoosePanel();
    chooser.categoryTable()->setCurrentRow(5);
    chooser.buttonAction(IXTemplateController::ChooseTag);
    EXPECT_EQ(dialogs.presentedErrors.size(), 1);
    EXPECT_EQ(documents.documents().size(), 3);
    EXPECT_TRUE(window->isVisible());
    chooser.buttonAction(IXTemplateController::CancelTag);
    EXPECT_FALSE(window->isVisible());

    // Without any readable template a new document is still a map to work on.
    IXTemplateStorage none(filePath(QStringLiteral("nothing")));
    none.load();
    IXTemplateController empty(none);
    IXDocument* fallback = empty.openNewDocumentWithDefaultTemplate();
    ASSERT_TRUE(fallback);
    EXPECT_TRUE(fallback->usesDefaultTemplate());
    EXPECT_EQ(fallback->documentNode()->rootBranches().size(), 1);

    // "Open..." opens a map from a file instead; an untouched default document then goes.
    for (IXDocument* document : documents.documents()) documents.removeDocument(document);
    IXDocument* start = chooser.openNewDocumentWithDefaultTemplate();
    spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
    dialogs.openPanelAnswers = {QStringList {copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("tree.ixd"))}};
    chooser.showChoosePanel();
    chooser.buttonAction(IXTemplateController::OpenTag);
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(documents.documents().size(), 1);
    EXPECT_NE(documents.documents().front(), start);
    EXPECT_FALSE(documents.documents().front()->fileName().isEmpty());
}

TEST_F(TemplatesTest, NewDocumentFollowsTheChooserSetting)
{
    IXTemplateController& chooser = IXTemplateController::sharedController();
    IXAppController& delegate = IXAppController::sharedController();
    IXPreferences::setValue(IXPreferences::DontShowTemplateChooserKey, true);
    delegate.newDocument(nullptr);
    ASSERT_EQ(IXDocumentController::shared().documents().size(), 1);
    EXPECT_TRUE(IXDocumentController::shared().documents().front()->usesDefaultTemplate());
    EXPECT_FALSE(chooser.window()->isVisible());
    IXPreferences::setValue(IXPreferences::DontShowTemplateChooserKey, false);
    delegate.newDocument(nullptr);
    EXPECT_TRUE(chooser.window()->isVisible());
    EXPECT_EQ(IXDocumentController::shared().documents().size(), 1);
    chooser.buttonAction(IXTemplateController::CancelTag);
}

// The packs that ship: every template opens as a map with a preview of its own, and the
// chooser shows them (pictures in /tmp/templates-shots).
TEST_F(TemplatesTest, TheShippedPacksOpenAndShowInTheChooser)
{
    IXTemplateStorage storage(QStringLiteral(IX_SOURCE_DIR "/resources"));
    storage.load();
    EXPECT_EQ(categoryTitles(storage).mid(0, 4), (QStringList {"All", "--", "Blank Maps", "--"}));
    EXPECT_GE(storage.categories().size(), 7);
    ASSERT_TRUE(storage.defaultTemplateItem());
    EXPECT_EQ(storage.defaultTemplateItem()->title(), QStringLiteral("Mind Map"));
    const QImage fallback = PLNamedImages::imageNamed(QStringLiteral("ix_ixd"));
    const auto all = storage.categories().front()->items();
    EXPECT_GE(all.size(), 12);
    for (IXTemplateItem* item : all) {
        SCOPED_TRACE(item->title().toStdString());
        PLError error;
        const auto node = IXDocumentNode::fromZipData(readFile(item->filePath()), &error);
        ASSERT_TRUE(node) << error.localizedDescription().toStdString();
        EXPECT_EQ(node->rootBranches().size(), 1);
        EXPECT_TRUE(node->warnings().isEmpty());
        EXPECT_NE(item->previewImage(), fallback);
        EXPECT_EQ(item->previewImage().devicePixelRatio(), 2);
    }

    IXTemplateController chooser(storage);
    chooser.showWelcomePanel();
    QDialog* window = chooser.window();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Welcome to Quorvanta Ideaflux"));
    for (const auto& [row, name] : {std::pair {0, QStringLiteral("all")}, std::pair {2, QStringLiteral("blank")}}) {
        chooser.categoryTable()->setCurrentRow(row);
        spin();
        QDir().mkpath(QStringLiteral("/tmp/templates-shots"));
        window->grab().save(QStringLiteral("/tmp/templates-shots/chooser-%1.png").arg(name));
        QPixmap twice(window->size() * 2);
        twice.setDevicePixelRatio(2);
        window->render(&twice);
        twice.save(QStringLiteral("/tmp/templates-shots/chooser-%1@2x.png").arg(name));
    }
    chooser.buttonAction(IXTemplateController::CancelTag);
}

}  // namespace
