// The warnings panel over a document with warnings: the clear button's two faces, the repair
// that a branch offers for a missing attachment, rows as tall as their text, and when the
// panel comes to the front.
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXToolNames.h"
#include "DocumentModel/IXWarning.h"
#include "IXInspectorFixtureMap.h"
#include "Inspectors/IXDocumentWarningsInspector.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

class DocumentWarningsInspectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A damaged map: an attachment whose file is gone, as an export would find it.
        m_attachment = m_map.c->addAttachment();
        m_attachment->setFilePath(m_map.filePath(QStringLiteral("gone.txt")));
        m_map.c->warning(QStringLiteral("Attachment: The attached file could not be found."),
                         {{IXWarning::ReferenceNodeKey, IXWarning::nodeValue(m_attachment)}});
        m_map.controller.m_document->warning(QStringLiteral("Schema: The part \"contents.xml\" does not match its "
                                                            "schema; what could be read was kept, and the rest of "
                                                            "this long description wraps over several lines."));
        m_map.controller.m_document->warning(QStringLiteral("A picture is missing"));
        m_inspector.inspectorView();
        m_inspector.setController(&m_map.controller);
        spinEventLoop();
    }
    void TearDown() override { m_inspector.setController(nullptr); }
    void selectRow(int row)
    {
        m_inspector.tableView()->selectRow(row);
        spinEventLoop();
    }

    FakeToolManager m_tools;
    InspectorFixtureMap m_map;
    std::shared_ptr<IXReferenceNode> m_attachment;
    IXDocumentWarningsInspector m_inspector;
};

TEST_F(DocumentWarningsInspectorTest, ClearTakesTheSelectedWarningOrAllOfThem)
{
    QTableWidget* table = m_inspector.tableView();
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, 0)->text(), "Attachment");
    EXPECT_EQ(table->item(0, 1)->text(), "The attached file could not be found.");
    EXPECT_EQ(m_inspector.clearButton()->text(), "Clear All");
    EXPECT_TRUE(m_inspector.clearButton()->isEnabled());
    EXPECT_FALSE(m_inspector.solveButton()->isVisibleTo(m_inspector.inspectorView()));
    // A long description makes its row taller.
    m_inspector.window()->resize(420, 300);
    m_inspector.window()->show();
    spinEventLoop();
    EXPECT_GT(table->rowHeight(1), table->rowHeight(2));
    saveShots(m_inspector.window(), QStringLiteral("warnings"));

    selectRow(2);
    EXPECT_EQ(m_inspector.clearButton()->text(), "Clear");
    const std::shared_ptr<IXWarning> third = m_inspector.selectedWarning();
    m_inspector.clearButton()->click();
    spinEventLoop();
    EXPECT_EQ(m_inspector.warnings().size(), 2);
    EXPECT_FALSE(m_inspector.warnings().contains(third));
    EXPECT_EQ(m_inspector.clearButton()->text(), "Clear All");

    m_inspector.clearButton()->click();
    spinEventLoop();
    EXPECT_TRUE(m_map.controller.m_document->warnings().isEmpty());
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_FALSE(m_inspector.clearButton()->isEnabled());
    m_inspector.window()->hide();
}

TEST_F(DocumentWarningsInspectorTest, SolveRunsTheOwnersRepairAndAWarningWithoutOneHidesIt)
{
    selectRow(0);
    ASSERT_TRUE(m_inspector.solveButton()->isVisibleTo(m_inspector.inspectorView()));
    EXPECT_EQ(m_inspector.solveButton()->text(), "Locate");
    saveShots(m_inspector.inspectorView(), QStringLiteral("warnings-locate"));
    m_inspector.solveButton()->click();
    ASSERT_EQ(m_tools.activations.size(), 1);
    EXPECT_EQ(m_tools.activations[0].toolClassName, IXToolNames::Attachments.toString());
    EXPECT_EQ(m_tools.activations[0].object, m_attachment);
    // The repair answers that the warning is not resolved yet: it stays.
    EXPECT_EQ(m_inspector.warnings().size(), 3);

    selectRow(1);
    EXPECT_FALSE(m_inspector.solveButton()->isVisibleTo(m_inspector.inspectorView()));
    // Without a controller: nothing listed, nothing to clear.
    m_inspector.setController(nullptr);
    spinEventLoop();
    EXPECT_EQ(m_inspector.tableView()->rowCount(), 0);
    EXPECT_FALSE(m_inspector.clearButton()->isEnabled());
}

TEST_F(DocumentWarningsInspectorTest, ANewWarningRaisesOnlyAPanelOnScreen)
{
    QWidget* panel = m_inspector.window();
    m_map.controller.m_document->warning(QStringLiteral("Another"));
    spinEventLoop();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(m_inspector.tableView()->rowCount(), 4);
}

}  // namespace
