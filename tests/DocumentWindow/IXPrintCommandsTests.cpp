// The window's print layout mode and its print commands: entering and leaving the print
// layout with the branch filter, reopening in it, printing and exporting the pages as PDF.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXPrintLayoutView.h"
#include "DocumentViews/IXPrintingView.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "IXWindowShellTestSupport.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "MapLayout/IXPrintLayoutViewing.h"

#include <QAction>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>

namespace {

class PrintCommandsTest : public WindowShellTest {
protected:
    static QAction* menuItem(IXWindowController* controller, const QByteArray& action)
    {
        for (QAction* menu : controller->documentWindow()->menuBar()->actions())
            for (QAction* item : menu->menu()->actions())
                if (IXActionItem::actionOf(item) == action) return item;
        return nullptr;
    }

    static int pdfPages(const QString& path)
    {
        QProcess process;
        process.start(QStringLiteral("pdfinfo"), {path});
        EXPECT_TRUE(process.waitForFinished(30000));
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        return QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text).captured(1).toInt();
    }

    FakeDialogs dialogs;
};

TEST_F(PrintCommandsTest, ThePrintLayoutComesAndGoesWithTheBranchFilter)
{
    IXDocument* document = open(copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("layout.ixd")));
    ASSERT_TRUE(document);
    IXWindowController* controller = controllerOf(document);
    controller->showWindow();
    controller->setDocumentLayout(2);
    spin();
    const auto root = std::static_pointer_cast<IXBranchNode>(document->documentNode()->rootBranches().first());
    ASSERT_FALSE(root->branches().isEmpty());
    const auto child = root->branches().first();
    controller->layoutContext()->setBranchFilter(root);
    EXPECT_EQ(controller->printLayoutView(), nullptr) << "no printing area outside the print layout";

    QAction* toggle = menuItem(controller, "togglePrintView:");
    ASSERT_TRUE(toggle);
    EXPECT_TRUE(IXActionBridge::validate(toggle));
    EXPECT_EQ(toggle->text(), QStringLiteral("Show Print View"));
    toggle->trigger();
    spin();
    EXPECT_EQ(controller->documentLayout(), 9);
    EXPECT_TRUE(IXActionBridge::validate(toggle));
    EXPECT_EQ(toggle->text(), QStringLiteral("Hide Print View"));
    auto* preview = qobject_cast<IXPrintLayoutView*>(controller->documentView());
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->branchFilter(), root);
    EXPECT_EQ(controller->printLayoutView(), static_cast<IXPrintLayoutViewing*>(preview));
    EXPECT_TRUE(controller->printLayoutView()->printingAreaEnabled());
    // It prints the layout it came from.
    ASSERT_TRUE(controller->printingView()->layoutNode());
    EXPECT_EQ(controller->printingView()->layoutNode()->layoutName(), IXLayoutLeftRightName);
    QDir().mkpath(QStringLiteral("/tmp/print-shots"));
    controller->documentWindow()->grab().save(QStringLiteral("/tmp/print-shots/window-print-layout.png"));

    preview->setBranchFilter(child);
    toggle->trigger();
    spin();
    EXPECT_EQ(controller->documentLayout(), 2);
    EXPECT_EQ(controller->layoutContext()->branchFilter(), child);
    EXPECT_FALSE(preview->layoutContext()) << "detached while another mode shows";
}

TEST_F(PrintCommandsTest, ADocumentSavedInThePrintLayoutReopensInIt)
{
    const QString path = copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("saved.ixd"));
    IXDocument* document = open(path);
    ASSERT_TRUE(document);
    controllerOf(document)->setDocumentLayout(9);
    ASSERT_TRUE(document->saveDocument());
    IXDocumentController::shared().removeDocument(document);
    spin(10);
    document = open(path);
    ASSERT_TRUE(document);
    EXPECT_EQ(controllerOf(document)->documentLayout(), 9);
    EXPECT_TRUE(qobject_cast<IXPrintLayoutView*>(controllerOf(document)->documentView()));
}

TEST_F(PrintCommandsTest, PrintingAndExportingWriteEveryPage)
{
    IXDocument* document = open(copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("pages.ixd")));
    ASSERT_TRUE(document);
    IXWindowController* controller = controllerOf(document);
    const auto style = controller->printingView()->layoutNode()->style();
    style->setPrintPageSpreadHorizontal(2);
    style->setPrintPageSpreadVertical(2);

    QAction* exportItem = menuItem(controller, "exportAsPDF:");
    ASSERT_TRUE(exportItem);
    EXPECT_TRUE(IXActionBridge::validate(exportItem));
    dialogs.savePanelAnswers.push_back(filePath(QStringLiteral("export.pdf")));
    exportItem->trigger();
    spin();
    ASSERT_EQ(dialogs.savePanels.size(), 1);
    EXPECT_EQ(dialogs.savePanels.first().requiredExtension, QStringLiteral("pdf"));
    EXPECT_EQ(pdfPages(filePath(QStringLiteral("export.pdf"))), 4);
    EXPECT_TRUE(dialogs.presentedErrors.isEmpty());

    // A folder that does not exist: the failure is shown, nothing is claimed.
    dialogs.savePanelAnswers.push_back(filePath(QStringLiteral("missing/export.pdf")));
    exportItem->trigger();
    spin();
    EXPECT_EQ(dialogs.presentedErrors.size(), 1);

    // Printing to a file without the panel; with a panel that is cancelled nothing happens.
    PLError error;
    ASSERT_TRUE(document->canPrint());
    EXPECT_TRUE(document->printDocument({{QStringLiteral("outputFile"), filePath(QStringLiteral("printed.pdf"))}},
                                        false, &error))
        << error.localizedDescription().toStdString();
    EXPECT_EQ(pdfPages(filePath(QStringLiteral("printed.pdf"))), 4);
    QAction* printItem = menuItem(controller, "printDocument:");
    ASSERT_TRUE(printItem);
    EXPECT_EQ(printItem->shortcut(), QKeySequence(QKeySequence::Print));
    printItem->trigger();
    spin();
    EXPECT_EQ(dialogs.presentedErrors.size(), 1) << "a cancelled panel is no error";
}

}  // namespace
