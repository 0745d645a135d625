// The grid of thumbnails: slot layout, selection by clicks with modifiers, menus, tool tips,
// drops through the data source, and the thumbnail cell's picture geometry.
#include "DocumentWindow/IXGridImageView.h"
#include "DocumentWindow/IXGridImageViewDataSource.h"
#include "DocumentWindow/IXThumbnailCell.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "TestSupport/QStringPrinter.h"

#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ListSource : public IXGridImageViewDataSource {
public:
    int count = 10;
    bool offersMenu = false;
    QMenu menu;
    QList<int> menuAsked;
    QList<int> dropsValidated;
    QList<int> dropsAccepted;

    int numberOfItemsGridImageView(IXGridImageView*) override { return count; }
    QImage objectValueForIndex(IXGridImageView*, int) override
    {
        QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::darkCyan);
        return image;
    }
    QString titleForIndex(IXGridImageView*, int index) override { return QStringLiteral("Item %1").arg(index); }
    QString infoForIndex(IXGridImageView*, int index) override { return QStringLiteral("Info %1").arg(index); }
    QMenu* menuForIndex(IXGridImageView*, int index) override
    {
        menuAsked += index;
        return offersMenu ? &menu : nullptr;
    }
    Qt::DropAction validateDrop(IXGridImageView*, const QMimeData* data, int index) override
    {
        dropsValidated += index;
        return data->hasText() ? Qt::CopyAction : Qt::IgnoreAction;
    }
    bool acceptDrop(IXGridImageView*, const QMimeData*, int index) override
    {
        dropsAccepted += index;
        return true;
    }
};

// The drop handlers, which Qt calls only inside a drag.
class DropGrid : public IXGridImageView {
public:
    using IXGridImageView::dragMoveEvent;
    using IXGridImageView::dropEvent;
};

// Counts the presses that reach it.
class PressCounter : public QObject {
public:
    int presses = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) ++presses;
        return false;
    }
};

// A grid of 64 x 64 slots in a scroll area whose viewport is 300 x 200.
class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_scroll.setFrameShape(QFrame::NoFrame);
        m_scroll.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_scroll.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_scroll.resize(300, 200);
        grid = new DropGrid;
        grid->setDataSource(&source);
        m_scroll.setWidget(grid);
        m_scroll.show();
        grid->reloadData();
        PLNotificationCenter::defaultCenter().addObserver(this, IXGridImageView::SelectionDidChangeNotification,
                                                          nullptr, [this](const PLNotification&) { ++notices; });
    }
    void TearDown() override { PLNotificationCenter::defaultCenter().removeObserver(this); }

    QPoint centreOf(int index) const { return grid->rectAtItemIndex(index).center().toPoint(); }

    ListSource source;
    DropGrid* grid = nullptr;
    int notices = 0;

private:
    QScrollArea m_scroll;
};

TEST_F(GridTest, SlotsFillTheWidthAndGrowDownward)
{
    // 300 wide, margin 10, gap 8: 4 columns of 64, 3 rows for 10 items.
    EXPECT_EQ(grid->height(), 228);
    EXPECT_EQ(grid->width(), 300);
    EXPECT_EQ(grid->rectAtItemIndex(0), QRectF(10, 10, 64, 64));
    EXPECT_EQ(grid->rectAtItemIndex(5), QRectF(10 + 72, 10 + 72, 64, 64));
    EXPECT_EQ(grid->rectAtItemIndex(9), QRectF(10 + 72, 10 + 144, 64, 64));
    EXPECT_EQ(grid->rectAtItemIndex(10), QRectF());
    EXPECT_EQ(grid->itemIndexAtPoint(QPointF(80, 80)), IXGridImageView::NotFound);  // in a gap
    EXPECT_EQ(grid->itemIndexAtPoint(QPointF(83, 83)), 5);

    // Stretched, the 4 columns spread over the usable 280: the gap is floor(24 / 3) = 8.
    grid->setStretch(true);
    EXPECT_EQ(grid->rectAtItemIndex(3).x(), std::ceil(3 * 64 + 10 + 3 * 8));
    grid->setThumbSize(QSizeF(60, 60));
    EXPECT_EQ(grid->rectAtItemIndex(1).x(), std::ceil(60 + 10 + std::floor((280 - 4 * 60) / 3.0)));

    // Fewer items than fill the view: the view keeps the visible height.
    source.count = 2;
    grid->reloadData();
    EXPECT_EQ(grid->height(), 200);

    // Too narrow for one slot: still one column.
    grid->setThumbSize(QSizeF(400, 100));
    EXPECT_EQ(grid->rectAtItemIndex(1).topLeft(), QPointF(10, 10 + 100 + 8));
}

TEST_F(GridTest, VisibleItemsAreThoseNearTheRectangle)
{
    EXPECT_EQ(grid->visibleItemIndexes(QRectF(0, 0, 300, 40)), (QList<int> {0, 1, 2, 3}));
    // 20 points of slack above and below reach the next row.
    EXPECT_EQ(grid->visibleItemIndexes(QRectF(0, 0, 300, 70)), (QList<int> {0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(grid->visibleItemIndexes(QRectF(0, 200, 300, 10)), (QList<int> {8, 9}));
}

TEST_F(GridTest, ClicksSelectByTheRulesOfTheGrid)
{
    struct Click {
        int item;  // -1: empty space
        Qt::KeyboardModifiers modifiers;
        QList<int> expected;
    };
    struct Case {
        const char* name;
        bool multiple;
        bool empty;
        QList<Click> clicks;
    };
    const Case cases[] = {
        {"single",
         false,
         false,
         {{3, {}, {3}}, {5, Qt::ControlModifier, {5}}, {7, Qt::ShiftModifier, {7}}, {-1, {}, {0}}}},
        {"single, may be empty", false, true, {{3, {}, {3}}, {-1, {}, {}}, {2, {}, {2}}}},
        {"multiple",
         true,
         false,
         {{3, {}, {3}},
          {5, Qt::ControlModifier, {3, 5}},
          {3, Qt::ControlModifier, {5}},
          // Toggling the last one off would leave nothing: it stays.
          {5, Qt::ControlModifier, {5}},
          {8, Qt::ShiftModifier, {5, 6, 7, 8}},
          {2, {}, {2}},
          {-1, {}, {0}}}},
        {"multiple, may be empty",
         true,
         true,
         {{4, {}, {4}},
          {4, Qt::ControlModifier, {}},
          {1, Qt::ControlModifier, {1}},
          {3, Qt::ShiftModifier, {1, 2, 3}},
          {-1, {}, {}}}},
    };
    int actions = 0;
    grid->setAction([&actions](IXGridImageView*) { ++actions; });
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        grid->setAllowsEmptySelection(true);
        grid->setAllowsMultipleSelection(test.multiple);
        grid->selectItemAtIndex(IXGridImageView::NotFound);
        grid->setAllowsEmptySelection(test.empty);
        for (const Click& click : test.clicks) {
            const int before = actions;
            notices = 0;
            const QPoint point = click.item < 0 ? QPoint(80, 80) : centreOf(click.item);
            QTest::mouseClick(grid, Qt::LeftButton, click.modifiers, point);
            EXPECT_EQ(grid->selectedIndexes(), click.expected) << "click on " << click.item;
            EXPECT_EQ(actions, before + 1);
            EXPECT_GE(notices, 1);
        }
    }
}

TEST_F(GridTest, SelectionByIndexFollowsTheRules)
{
    grid->selectItemAtIndex(4);
    notices = 0;
    grid->selectItemAtIndex(10);  // beyond the list: nothing, not even a notice
    EXPECT_EQ(grid->selectedIndexes(), QList<int> {4});
    EXPECT_EQ(notices, 0);
    grid->setAllowsMultipleSelection(true);
    grid->selectItemAtIndex(2);
    EXPECT_EQ(grid->selectedIndexes(), (QList<int> {2, 4}));
    EXPECT_EQ(grid->selectedItem(), 2);
    grid->setAllowsMultipleSelection(false);
    EXPECT_EQ(grid->selectedIndexes(), QList<int> {0});
    grid->setAllowsEmptySelection(true);
    grid->selectItemAtIndex(IXGridImageView::NotFound);
    EXPECT_EQ(grid->selectedItem(), -1);
    grid->setAllowsEmptySelection(false);
    EXPECT_EQ(grid->selectedIndexes(), QList<int> {0});
    // A reload forgets items that went away and tells the observers.
    grid->selectItemAtIndex(9);
    source.count = 5;
    notices = 0;
    grid->reloadData();
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(grid->numberOfSelectedItems(), 1);
    EXPECT_EQ(grid->selectedIndexes(), QList<int> {0});
}

TEST_F(GridTest, DoubleClickSendsTheDoubleActionAndMenusComeFromTheSource)
{
    int doubles = 0;
    grid->setDoubleAction([&doubles](IXGridImageView*) { ++doubles; });
    QTest::mouseDClick(grid, Qt::LeftButton, {}, centreOf(6));
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(grid->selectedItem(), 6);

    // Without a menu the right click selects the item and goes on to the parent.
    PressCounter parent;
    grid->parentWidget()->installEventFilter(&parent);
    QTest::mousePress(grid, Qt::RightButton, {}, centreOf(2));
    EXPECT_EQ(parent.presses, 1);
    EXPECT_EQ(grid->selectedItem(), 2);
    EXPECT_EQ(source.menuAsked, QList<int> {2});

    source.offersMenu = true;
    QTest::mousePress(grid, Qt::RightButton, {}, centreOf(3));
    EXPECT_EQ(parent.presses, 1);
    EXPECT_TRUE(source.menu.isVisible());
    source.menu.hide();
    // Meta with the left button is the other way to the menu.
    QTest::mouseClick(grid, Qt::LeftButton, Qt::MetaModifier, centreOf(4));
    EXPECT_EQ(source.menuAsked.last(), 4);
    EXPECT_TRUE(source.menu.isVisible());
    source.menu.hide();
}

TEST_F(GridTest, DropsAskTheDataSource)
{
    QMimeData text;
    text.setText(QStringLiteral("dropped"));
    QMimeData other;
    other.setData(QStringLiteral("application/x-other"), "x");
    for (QMimeData* data : {&text, &other}) {
        QDragMoveEvent move(QPoint(centreOf(7)), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        grid->dragMoveEvent(&move);
        EXPECT_EQ(move.isAccepted(), data == &text);
    }
    EXPECT_EQ(source.dropsValidated, (QList<int> {7, 7}));
    QDropEvent drop(QPointF(80, 80), Qt::CopyAction, &text, Qt::LeftButton, {});
    grid->dropEvent(&drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(source.dropsAccepted, QList<int> {IXGridImageView::NotFound});
}

TEST(ThumbnailCell, PicturesFitTheSquareWithoutEnlarging)
{
    struct Case {
        QSizeF picture, cell, expected;
    };
    const Case cases[] = {
        {{200, 100}, {64, 64}, {60, 30}}, {{61, 200}, {64, 64}, {18, 60}},  // 19 rounded down to even
        {{30, 20}, {64, 64}, {30, 20}},  // smaller: its own size
        {{60, 60}, {64, 90}, {60, 60}},   {{0, 0}, {64, 64}, {0, 0}},
        {{128, 128}, {0, 0}, {128, 128}},  // no cell: the picture's size
    };
    for (const Case& test : cases)
        EXPECT_EQ(IXThumbnailCell::imageSizeForCellSize(test.picture, test.cell), test.expected)
            << test.picture.width() << "x" << test.picture.height();

    IXThumbnailCell cell;
    QImage small(30, 20, QImage::Format_ARGB32_Premultiplied);
    small.fill(Qt::red);
    cell.setImage(small);
    // Centred in the square at the top of the slot.
    EXPECT_EQ(cell.imageFrameWithFrame(QRectF(100, 50, 64, 90)), QRectF(117, 72, 30, 20));
    // A picture at twice the pixels counts by its points.
    QImage sharp(60, 40, QImage::Format_ARGB32_Premultiplied);
    sharp.setDevicePixelRatio(2);
    cell.setImage(sharp);
    EXPECT_EQ(cell.imageSizeForCellSize(QSizeF(64, 64)), QSizeF(30, 20));
    EXPECT_EQ(cell.dragImageWithFrame(QRectF(0, 0, 64, 64)).size(), QSize(60, 40));
    cell.setImage(QImage());
    EXPECT_TRUE(cell.dragImageWithFrame(QRectF(0, 0, 64, 64)).isNull());
}

}  // namespace
