// The print layout: sheets placed and fitted in the view, the map moved by dragging and by
// the arrow keys (each one undo step), and the printing area limited to one branch.
#include "DocumentViews/IXPrintLayoutView.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXMapViewTestSupport.h"
#include "DocumentViews/IXPrintingView.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLUndoManager.h"
#include "TestSupport/QStringPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A branch with the children, the first of them with grandchildren.
std::shared_ptr<IXBranchNode> makeBranch(const QString& title, int children = 0, int grandchildren = 0)
{
    auto branch = std::make_shared<IXBranchNode>();
    branch->setTitle(title);
    for (int i = 0; i < children; ++i)
        branch->insertBranch(makeBranch(title + QString::number(i), i == 0 ? grandchildren : 0), -1);
    return branch;
}

void endTurn()
{
    QCoreApplication::processEvents();
}

class PrintLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        IXApplicationServices::install(&services);
        document = std::make_shared<IXDocumentNode>();
        document->insertRootBranch(makeBranch(QStringLiteral("Root"), 6, 3), -1);
        document->setUndoManager(&undo);
        controller.node = document;
        printing.setController(&controller);
        printing.setDocumentLayout(0);
        view.resize(800, 600);
        view.attachToController(&controller, &printing);
        endTurn();
        undo.removeAllActions();
    }
    void TearDown() override
    {
        view.detachFromController();
        printing.setController(nullptr);
        undo.removeAllActions();
        document->setUndoManager(nullptr);
        IXApplicationServices::install(nullptr);
    }

    std::shared_ptr<IXStyleNode> style() const { return printing.style(); }
    PLPoint offsets() const { return PLPoint(style()->printMapOffsetX(), style()->printMapOffsetY()); }

    void undoAll()
    {
        endTurn();
        while (undo.canUndo()) undo.undo();
    }

    void saveShots(const QString& name)
    {
        QDir().mkpath(QStringLiteral("/tmp/print-shots"));
        for (const qreal ratio : {1.0, 2.0}) {
            QPixmap shot(view.size() * ratio);
            shot.setDevicePixelRatio(ratio);
            shot.fill(Qt::transparent);
            view.render(&shot);
            shot.save(QStringLiteral("/tmp/print-shots/%1@%2x.png").arg(name).arg(int(ratio)));
        }
    }

    FakeApplicationServices services;
    MapTestCellFactory cells;
    PLUndoManager undo;
    std::shared_ptr<IXDocumentNode> document;
    FakeWindowController controller;
    IXPrintingView printing;
    IXPrintLayoutView view;
};

TEST_F(PrintLayoutTest, SheetsStandInRowsFromTheBottomLeftFittedAndCentred)
{
    style()->setPrintPageSpreadHorizontal(3);
    style()->setPrintPageSpreadVertical(2);
    endTurn();
    const PLSize paper = printing.paperSize();
    for (int page = 1; page <= 6; ++page) {
        const int column = (page - 1) % 3;
        const int row = (page - 1) / 3;
        EXPECT_EQ(view.paperRectForPage(page),
                  PLRect(float(column) * (paper.width + 8) + 4, float(row) * (paper.height + 8) + 4, paper.width,
                         paper.height))
            << "page " << page;
    }
    EXPECT_EQ(view.paperRectForPage(7), PLRect());
    const PLRect content = view.contentRect();
    EXPECT_EQ(content, PLRect(-40, -40, (paper.width + 8) * 3 + 80, (paper.height + 8) * 2 + 80));
    struct Size {
        int width, height;
    };
    for (const Size size : {Size {800, 600}, Size {400, 900}, Size {1203, 401}}) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        view.resize(size.width, size.height);
        const PLRect bounds = view.viewBounds();
        // The whole spread, at least 40 around it, the same scale both ways.
        EXPECT_LE(bounds.minX(), content.minX() + 0.01f);
        EXPECT_LE(bounds.minY(), content.minY() + 0.01f);
        EXPECT_GE(bounds.maxX(), content.maxX() - 0.01f);
        EXPECT_GE(bounds.maxY(), content.maxY() - 0.01f);
        // The same scale both ways, centred on whole pixels.
        const QPointF left = view.pointToWidget(content.origin);
        const QPointF right = view.pointToWidget(PLPoint(content.maxX(), content.maxY()));
        EXPECT_NEAR((right.x() - left.x()) / content.width(), (left.y() - right.y()) / content.height(), 1e-6);
        EXPECT_EQ(left.x(), std::floor(left.x()));
        EXPECT_EQ(left.y(), std::floor(left.y()));
        // The far margins take what rounding the near ones down left over.
        EXPECT_GE(size.width - right.x() - left.x(), -1e-3);
        EXPECT_LT(size.width - right.x() - left.x(), 2);
        EXPECT_GE(right.y() - (size.height - left.y()), -1e-3);
        EXPECT_LT(right.y() - (size.height - left.y()), 2);
    }
    view.resize(900, 500);
    saveShots(QStringLiteral("layout-3x2"));
}

TEST_F(PrintLayoutTest, DraggingMovesTheMapByPaperPointsAsOneUndoStep)
{
    const PLPoint start = offsets();
    for (const int width : {800, 300}) {
        SCOPED_TRACE(width);
        view.resize(width, 600);
        // 50 paper points right and 20 up, whatever the preview's scale.
        const PLPoint from(300, 300);
        const QPoint down = view.pointToWidget(from).toPoint();
        const PLPoint exact = view.pointFromWidget(down);
        const QPoint up = view.pointToWidget(PLPoint(exact.x + 50, exact.y + 20)).toPoint();
        const PLPoint moved = view.pointFromWidget(up);
        QTest::mousePress(&view, Qt::LeftButton, {}, down);
        QTest::mouseMove(&view, (down + up) / 2);
        QTest::mouseMove(&view, up);
        EXPECT_EQ(view.cursor().shape(), Qt::ClosedHandCursor);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, up);
        EXPECT_NEAR(offsets().x, start.x + (moved.x - exact.x), 1e-3);
        EXPECT_NEAR(offsets().y, start.y + (moved.y - exact.y), 1e-3);
        EXPECT_NEAR(moved.x - exact.x, 50, width == 800 ? 2 : 4);
        endTurn();
        ASSERT_TRUE(undo.canUndo());
        undo.undo();
        EXPECT_EQ(offsets(), start);
        EXPECT_FALSE(undo.canUndo()) << "one step for the whole drag";
    }
}

TEST_F(PrintLayoutTest, ArrowKeysNudgeTheMap)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        PLPoint step;
    } cases[] = {
        {Qt::Key_Up, {}, {0, 1}},
        {Qt::Key_Down, {}, {0, -1}},
        {Qt::Key_Left, {}, {-1, 0}},
        {Qt::Key_Right, {}, {1, 0}},
        {Qt::Key_Left, Qt::AltModifier, {-10, 0}},
        {Qt::Key_Up, Qt::AltModifier, {0, 10}},
        {Qt::Key_A, {}, {0, 0}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(QKeySequence(each.key | each.modifiers).toString().toStdString());
        const PLPoint start = offsets();
        QTest::keyClick(&view, each.key, each.modifiers);
        EXPECT_EQ(offsets(), PLPoint(start.x + each.step.x, start.y + each.step.y));
        undoAll();
        EXPECT_EQ(offsets(), start);
    }
}

TEST_F(PrintLayoutTest, PrintingAreaNeedsABranchAndFitsThatBranch)
{
    EXPECT_FALSE(view.printingAreaEnabled());
    const float whole = style()->printMapScale();
    view.setPrintingArea(true);
    EXPECT_FALSE(view.printingArea());
    EXPECT_EQ(printing.layoutContext()->branchFilter(), nullptr);
    EXPECT_EQ(style()->printMapScale(), whole);

    const auto branch = std::static_pointer_cast<IXBranchNode>(document->rootBranches().first())->branches().first();
    view.setBranchFilter(branch);
    EXPECT_TRUE(view.printingAreaEnabled());
    EXPECT_FALSE(view.printingArea());
    view.setPrintingArea(true);
    EXPECT_TRUE(view.printingArea());
    EXPECT_EQ(printing.layoutContext()->branchFilter(), branch);
    // The branch is smaller than the map: it is scaled up to fill the page.
    EXPECT_GT(style()->printMapScale(), whole);
    saveShots(QStringLiteral("layout-area"));
    view.setPrintingArea(false);
    EXPECT_FALSE(view.printingArea());
    EXPECT_FLOAT_EQ(style()->printMapScale(), whole);
}

TEST_F(PrintLayoutTest, PagesShowWhatTheyPrint)
{
    style()->setPrintPageSpreadHorizontal(2);
    style()->setPrintPageOrientation(1);
    endTurn();
    const QImage shot = view.grab().toImage();
    saveShots(QStringLiteral("layout-2x1"));
    // The printable area of each sheet is white where the map is not, and the map is there.
    for (int page = 1; page <= 2; ++page) {
        const PLRect paper = view.paperRectForPage(page);
        const PLRect area = printing.printableRect().offsetBy(paper.minX(), paper.minY());
        const QPointF a = view.pointToWidget(area.origin);
        const QPointF b = view.pointToWidget(PLPoint(area.maxX(), area.maxY()));
        int ink = 0;
        for (int y = int(b.y()) + 2; y < int(a.y()) - 2; ++y)
            for (int x = int(a.x()) + 2; x < int(b.x()) - 2; ++x) ink += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
        EXPECT_GT(ink, 0) << "page " << page;
        // The margin is tinted, not white.
        const QPointF margin = view.pointToWidget(PLPoint(paper.minX() + 5, paper.minY() + paper.height() / 2));
        EXPECT_LT(qGray(shot.pixel(margin.toPoint())), 255);
    }
}

}  // namespace
