#include "UtilityWidgets/UTTableHeaderView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

TEST(UTTableHeaderView, RightClickShowsTheColumnsMenu)
{
    QStandardItemModel model(2, 2);
    QTableView view;
    auto* header = new UTTableHeaderView(&view);
    view.setHorizontalHeader(header);
    view.setModel(&model);
    view.setColumnWidth(0, 80);
    view.setColumnWidth(1, 80);
    view.resize(400, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QMenu first;
    first.addAction(QStringLiteral("Sort"));
    QMenu second;
    second.addAction(QStringLiteral("Hide"));
    header->setMenuForColumn(0, &first);
    header->setMenuForColumn(1, &second);

    const struct {
        int x;
        QMenu* shown;
    } table[] = {
        {header->sectionViewportPosition(0) + 10, &first},
        {header->sectionViewportPosition(1) + 10, &second},
        {header->sectionViewportPosition(1) + 120, nullptr}, // right of the last column
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.x);
        const QPoint point(row.x, header->height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, header->viewport()->mapToGlobal(point));
        QApplication::sendEvent(header->viewport(), &event);
        EXPECT_EQ(first.isVisible(), row.shown == &first);
        EXPECT_EQ(second.isVisible(), row.shown == &second);
        first.hide();
        second.hide();
    }
}
