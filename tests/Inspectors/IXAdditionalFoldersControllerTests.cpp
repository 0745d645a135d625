// The additional folders sheet: the records table, adding (reusing a record), removing
// (refused while files use a folder), opening relative to the document, and every change
// recorded as an undo step so that the document counts as edited.
#include "DocumentModel/IXAdditionalFolders.h"
#include "DocumentModel/IXFakeServices.h"
#include "IXInspectorFixtureMap.h"
#include "Inspectors/IXAdditionalFoldersController.h"
#include "UtilityWidgets/UTBeep.h"

#include <QDialog>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

class AdditionalFoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousSound = UTBeep::setSound([this] { ++m_beeps; });
        QDir(m_map.folder.path()).mkpath(QStringLiteral("docs/Assets"));
        QDir(m_map.folder.path()).mkpath(QStringLiteral("Linked"));
        // The map's pictures registered their folder, with its files.
        m_mapFolders = m_sheet.folderKeys();
    }
    void TearDown() override { UTBeep::setSound(m_previousSound); }
    QVariantMap& info() { return m_map.controller.m_document->additionalFolders().info(); }
    void choose(const QString& path)
    {
        m_services.panelResult = IXApplicationServices::OpenPanelResult {{path}, {}};
        m_sheet.addAction();
        spinEventLoop();
    }

    FakeApplicationServices m_services;
    InspectorFixtureMap m_map;
    IXAdditionalFoldersController m_sheet {&m_map.controller};
    UTBeep::Sound m_previousSound;
    int m_beeps = 0;
    QStringList m_mapFolders;
};

TEST_F(AdditionalFoldersTest, AddingReusesARecordAndEveryChangeIsAnUndoStep)
{
    // The sheet gives a document without a list an empty one, which is no edit.
    EXPECT_TRUE(info().contains(IXAdditionalFolders::FoldersKey));
    EXPECT_FALSE(m_map.controller.m_undo.canUndo());

    const QString assets = m_map.filePath(QStringLiteral("docs/Assets"));
    info().insert(QStringLiteral("@LastFolderPathKey"), m_map.folder.path());
    choose(assets);
    EXPECT_EQ(m_services.openPanels[0].directory, m_map.folder.path());
    EXPECT_TRUE(m_services.openPanels[0].canChooseDirectories);
    ASSERT_EQ(m_sheet.folderKeys(), m_mapFolders + QStringList({"Assets"}));
    const int row = int(m_mapFolders.size());
    EXPECT_TRUE(info().value(QStringLiteral("Assets")).toMap().value(QStringLiteral("selected")).toBool());
    QTableWidget* table = m_sheet.tableView();
    ASSERT_EQ(table->rowCount(), row + 1);
    EXPECT_EQ(table->item(row, IXAdditionalFoldersController::PathColumn)->text(), assets);
    EXPECT_EQ(table->item(row, IXAdditionalFoldersController::CheckColumn)->checkState(), Qt::Checked);
    EXPECT_TRUE(m_map.controller.m_undo.canUndo());

    // Unchecking is stored, then the same folder again reuses its record and checks it.
    table->item(row, IXAdditionalFoldersController::CheckColumn)->setCheckState(Qt::Unchecked);
    spinEventLoop();
    EXPECT_FALSE(info().value(QStringLiteral("Assets")).toMap().value(QStringLiteral("selected")).toBool());
    choose(assets);
    EXPECT_EQ(m_sheet.folderKeys(), m_mapFolders + QStringList({"Assets"}));
    EXPECT_TRUE(info().value(QStringLiteral("Assets")).toMap().value(QStringLiteral("selected")).toBool());
    m_sheet.window()->resize(460, 220);
    saveShots(m_sheet.window(), QStringLiteral("folders"));

    m_map.undo();
    EXPECT_FALSE(info().value(QStringLiteral("Assets")).toMap().value(QStringLiteral("selected")).toBool());
    m_map.undo();
    m_map.undo();
    EXPECT_EQ(m_sheet.folderKeys(), m_mapFolders);
}

TEST_F(AdditionalFoldersTest, RemovingIsRefusedWithoutASelectionAndWhileFilesUseTheFolder)
{
    ASSERT_EQ(m_mapFolders.size(), 1);
    choose(m_map.filePath(QStringLiteral("docs/Assets")));
    QTableWidget* table = m_sheet.tableView();
    ASSERT_EQ(table->rowCount(), 2);

    table->clearSelection();
    m_sheet.removeAction();
    EXPECT_EQ(m_beeps, 1);
    EXPECT_EQ(m_sheet.folderKeys().size(), 2);

    // The map's pictures live in the first folder.
    table->selectRow(0);
    EXPECT_FALSE(m_sheet.removeButton()->isEnabled());
    m_sheet.removeAction();
    EXPECT_EQ(m_beeps, 2);
    EXPECT_EQ(m_sheet.folderKeys().size(), 2);

    table->selectRow(1);
    EXPECT_TRUE(m_sheet.removeButton()->isEnabled());
    m_sheet.removeButton()->click();
    EXPECT_EQ(m_sheet.folderKeys(), m_mapFolders);
    m_map.undo();
    EXPECT_EQ(m_sheet.folderKeys().size(), 2);
}

TEST_F(AdditionalFoldersTest, OpeningTakesAMissingPathBesideTheDocument)
{
    m_map.controller.m_document->setWorkingPath(m_map.filePath(QStringLiteral("docs/map.ixd")));
    IXAdditionalFolders::addFolder(QStringLiteral("Assets"), &info());
    IXAdditionalFolders::addFolder(m_map.filePath(QStringLiteral("Linked")), &info());
    m_sheet.reloadData();
    const int first = int(m_mapFolders.size());
    m_sheet.doubleAction(first);
    m_sheet.doubleAction(first + 1);
    EXPECT_EQ(m_services.openedFiles,
              QStringList({m_map.filePath(QStringLiteral("docs/Assets")), m_map.filePath(QStringLiteral("Linked"))}));
}

TEST_F(AdditionalFoldersTest, DoneEndsTheSheet)
{
    m_sheet.runModalSheet();
    EXPECT_TRUE(m_sheet.isRunningAsSheet());
    EXPECT_TRUE(m_sheet.window()->isVisible());
    m_sheet.doneButton()->click();
    EXPECT_FALSE(m_sheet.isRunningAsSheet());
    EXPECT_FALSE(m_sheet.window()->isVisible());
    EXPECT_EQ(m_sheet.window()->result(), 1);
}

}  // namespace
