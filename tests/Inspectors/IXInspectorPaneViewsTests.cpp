// The views that frame the inspectors: titled sections and the side pane, panes of floating
// panels with their click, drag, tear-off and docking, and where a dragged panel snaps.
#include "IXPaneTestSupport.h"
#include "Inspectors/IXCollapseButton.h"
#include "Inspectors/IXInspectorView.h"
#include "Inspectors/IXPanelSnapping.h"

#include <QScreen>

#include <gtest/gtest.h>

namespace {

TEST(PanelSnappingTest, DocksAlignsAndKeepsToTheScreen)
{
    const QRect screen(0, 0, 1600, 1000);
    const QRect other(600, 100, 220, 300);  // bottom at 400, right at 820
    const QSize size(220, 200);
    struct Case {
        const char* name;
        QPoint proposed;
        QPoint expected;
        int dock;
    };
    const QList<Case> cases = {
        {"top 10 under the bottom, left 20 off: docks", {620, 410}, {600, 400}, 0},
        {"left edges close, far below: aligns left", {620, 600}, {600, 600}, -1},
        {"left beside the right edge: 4 apart, tops aligned", {840, 110}, {824, 100}, -1},
        {"right beside the left edge", {365, 500}, {376, 500}, -1},
        {"near the screen's right edge: 4 inside", {1360, 500}, {1376, 500}, -1},
        {"near the screen's left edge: 4 inside", {20, 500}, {4, 500}, -1},
        {"top too low: kept 24 above the bottom", {100, 990}, {100, 976}, -1},
        {"top above the screen: 4 below its top", {100, -50}, {100, 4}, -1},
        {"nearly off the left: 24 left on screen", {-300, 500}, {-196, 500}, -1},
        {"nearly off the right: 40 left on screen", {1580, 500}, {1560, 500}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IXPanelSnapping::Result result = IXPanelSnapping::snap(c.proposed, size, {other}, screen);
        EXPECT_EQ(result.origin, c.expected);
        EXPECT_EQ(result.dockTarget, c.dock);
    }
}

// A side pane with three sections of two, one and three rows.
struct SidePane {
    IXInspectorView container;
    QList<IXInspectorView*> sections;
    SidePane()
    {
        for (int rows : {2, 1, 3}) {
            auto* section = new IXInspectorView(&container);
            section->setTitle(QStringLiteral("Section %1").arg(rows));
            for (int i = 0; i < rows; ++i) (new QWidget(section))->resize(150 + 10 * i, 20);
            section->tile();
            sections << section;
        }
        container.tile();
    }
    QList<bool> collapsed() const
    {
        QList<bool> result;
        for (IXInspectorView* section : sections) result << section->isCollapsed();
        return result;
    }
};

TEST(InspectorViewTest, SectionsStackUnderTheirHeadersAndThePaneFollows)
{
    SidePane pane;
    IXInspectorView* first = pane.sections[0];
    const int header = first->headerHeight();
    ASSERT_GT(header, 0);
    // Sections are widened to the side pane's width; their rows to their section's.
    EXPECT_EQ(first->size(), QSize(170, header + 4 + 40 + 4));
    const QList<QWidget*> rows = first->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    EXPECT_EQ(rows[0]->geometry(), QRect(0, header + 4, 160, 20));  // widened to the section
    EXPECT_EQ(rows[1]->geometry(), QRect(0, header + 24, 160, 20));
    int y = 0;
    for (IXInspectorView* section : pane.sections) {
        EXPECT_EQ(section->y(), y);
        y += section->height();
    }
    EXPECT_EQ(pane.container.height(), y);
    EXPECT_EQ(pane.container.headerHeight(), 0);
    // A side pane wider than its sections widens them.
    pane.container.setMinimumWidth(220);
    pane.container.tile();
    EXPECT_EQ(first->width(), 220);

    first->setCollapsed(true);
    EXPECT_EQ(first->height(), header);
    EXPECT_FALSE(rows[0]->isVisibleTo(first));
    EXPECT_EQ(pane.sections[1]->y(), header);
}

TEST(InspectorViewTest, HeaderClicksFollowTheModifiers)
{
    struct Case {
        const char* name;
        int section;
        Qt::KeyboardModifiers modifiers;
        int y;
        QList<bool> before;
        QList<bool> after;
    };
    const QList<Case> cases = {
        {"click toggles", 1, {}, 5, {false, false, false}, {false, true, false}},
        {"below the header: nothing", 1, {}, 18, {false, false, false}, {false, false, false}},
        {"Ctrl: only this one expanded", 2, Qt::ControlModifier, 5, {false, true, true}, {true, true, false}},
        {"Alt: all take its new state", 0, Qt::AltModifier, 5, {true, false, true}, {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SidePane pane;
        for (int i = 0; i < 3; ++i) pane.sections[i]->setCollapsed(c.before[i]);
        sendMouse(pane.sections[c.section], QEvent::MouseButtonPress, QPoint(40, c.y), c.modifiers);
        EXPECT_EQ(pane.collapsed(), c.after);
    }
}

TEST(InspectorPaneTest, PaneShowsItsInspectorWhileItApplies)
{
    FakePanelHost host;
    PlainInspector one(QStringLiteral("One")), two(QStringLiteral("Two"), QSize(260, 50));
    IXInspectorPanel* panel = host.panelWith({&one, &two}, QPoint(100, 100));
    const QList<IXInspectorPanelView*> panes = panel->panes();
    ASSERT_EQ(panes.size(), 2);
    EXPECT_TRUE(panes[0]->isClosable());
    EXPECT_FALSE(panes[1]->isClosable());
    const int h = IXInspectorPanelView::HeaderHeight;
    EXPECT_EQ(panel->size(), QSize(260, h + 100 + h + 50));
    EXPECT_EQ(panes[1]->geometry(), QRect(0, h + 100, 260, h + 50));
    EXPECT_EQ(panes[0]->name(), QStringLiteral("PlainInspector"));

    one.applicable = false;
    panes[0]->updateInspectorView();
    EXPECT_EQ(panes[0]->currentView(), nullptr);
    EXPECT_EQ(panes[0]->height(), h);
    EXPECT_GE(panes[0]->width(), IXInspectorPanelView::MinimumWidth);
    EXPECT_EQ(panel->height(), h + h + 50);

    panes[1]->setCollapsed(true);
    EXPECT_EQ(panel->height(), 2 * h);
    EXPECT_FALSE(one.inspectorView()->isVisible());
}

TEST(InspectorPaneTest, ClickInTheHeaderTogglesAndAPressThatLeavesDoesNothing)
{
    FakePanelHost host;
    PlainInspector one(QStringLiteral("One"));
    IXInspectorPanelView* pane = host.panelWith({&one}, QPoint(100, 100))->panes().front();
    sendMouse(pane, QEvent::MouseButtonPress, QPoint(60, 8));
    sendMouse(pane, QEvent::MouseButtonRelease, QPoint(61, 9));
    EXPECT_TRUE(pane->isCollapsed());

    // Released within the drag threshold but outside the header (on the close box beside it).
    const int left = pane->headerRect().left();
    sendMouse(pane, QEvent::MouseButtonPress, QPoint(left + 1, 8));
    EXPECT_TRUE(pane->isPressed());
    sendMouse(pane, QEvent::MouseMove, QPoint(left - 1, 9));
    EXPECT_FALSE(pane->isPressed());
    sendMouse(pane, QEvent::MouseButtonRelease, QPoint(left - 1, 9));
    EXPECT_FALSE(pane->isPressed());
    EXPECT_TRUE(pane->isCollapsed());
    // The press outside the header is no click at all.
    sendMouse(pane, QEvent::MouseButtonPress, QPoint(60, 50));
    sendMouse(pane, QEvent::MouseButtonRelease, QPoint(60, 50));
    EXPECT_TRUE(pane->isCollapsed());
}

TEST(InspectorPaneTest, DraggingMovesTearsOffAndDocks)
{
    FakePanelHost host;
    PlainInspector a("A"), b("B"), c("C"), d("D");
    IXInspectorPanel* panel = host.panelWith({&a, &b, &c, &d}, QPoint(100, 50));
    ASSERT_GE(panel->screen()->availableGeometry().height(), 576);
    QList<IXInspectorPanelView*> panes = panel->panes();

    // The first pane moves the whole panel.
    const QPoint grab = panes[0]->mapToGlobal(QPoint(60, 8));
    sendMouse(panes[0], QEvent::MouseButtonPress, QPoint(60, 8));
    sendMouse(panes[0], QEvent::MouseMove, {}, {}, grab + QPoint(100, 50));
    sendMouse(panes[0], QEvent::MouseButtonRelease, {}, {}, grab + QPoint(100, 50));
    EXPECT_EQ(panel->pos(), QPoint(200, 100));
    EXPECT_EQ(host.inspectorPanels().size(), 1);

    // The third of four is torn off with the one under it.
    const QPoint third = panes[2]->mapToGlobal(QPoint(60, 8));
    sendMouse(panes[2], QEvent::MouseButtonPress, QPoint(60, 8));
    sendMouse(panes[2], QEvent::MouseMove, {}, {}, third + QPoint(300, 0));
    ASSERT_EQ(host.inspectorPanels().size(), 2);
    IXInspectorPanel* torn = host.inspectorPanels().back();
    EXPECT_EQ(panel->panes(), (QList<IXInspectorPanelView*> {panes[0], panes[1]}));
    EXPECT_EQ(torn->panes(), (QList<IXInspectorPanelView*> {panes[2], panes[3]}));
    EXPECT_EQ(torn->pos(), QPoint(500, third.y() - 8));
    EXPECT_EQ(panel->height(), 2 * (IXInspectorPanelView::HeaderHeight + 100));
    EXPECT_TRUE(panes[2]->isClosable());
    sendMouse(panes[2], QEvent::MouseButtonRelease, {}, {}, third + QPoint(300, 0));

    // Released with its top 10 under the first panel's bottom and its left 20 off: it joins.
    const QPoint target(panel->x() + 20, panel->y() + panel->height() + 10);
    sendMouse(panes[2], QEvent::MouseButtonPress, QPoint(60, 8));
    sendMouse(panes[2], QEvent::MouseMove, {}, {}, target + QPoint(60, 8));
    sendMouse(panes[2], QEvent::MouseButtonRelease, {}, {}, target + QPoint(60, 8));
    ASSERT_EQ(host.inspectorPanels().size(), 1);
    EXPECT_EQ(panel->panes(), panes);
    EXPECT_EQ(panel->height(), 4 * (IXInspectorPanelView::HeaderHeight + 100));
}

TEST(InspectorPaneTest, CloseBoxHidesThePanelAndClearsItsChoice)
{
    FakePanelHost host;
    PlainInspector a("A");
    IXInspectorPanel* panel = host.panelWith({&a}, QPoint(100, 100));
    auto* close = panel->panes().front()->findChild<QToolButton*>();
    ASSERT_TRUE(close);
    close->click();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(panel->isInspectorVisible());
    panel->showPanel();
    EXPECT_FALSE(panel->isVisible());
}

TEST(InspectorPaneTest, CollapseButtonPointsAsItIsChecked)
{
    IXCollapseButton button;
    EXPECT_TRUE(button.isCheckable());
    EXPECT_EQ(button.arrowType(), Qt::RightArrow);
    button.setChecked(true);
    EXPECT_EQ(button.arrowType(), Qt::DownArrow);
}

}  // namespace
