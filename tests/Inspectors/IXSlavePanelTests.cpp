// The panel glued over part of a window: kept inside its work area, following the edges it
// touches when the area grows, moved by its margin and resized by its corners without passing
// its minimum size or moving the opposite edge.
#include "IXInspectorTestSupport.h"
#include "Inspectors/IXSlaveFrameView.h"
#include "Inspectors/IXSlavePanel.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

// A press at the point (panel coordinates), a drag by the travel, and the release.
void drag(IXSlavePanel& panel, QPoint from, QPoint travel)
{
    const QPointF global = panel.mapToGlobal(from);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(from), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + travel), global + QPointF(travel), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&panel, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(from + travel), global + QPointF(travel), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &release);
}

TEST(SlavePanelGeometry, FramesAreKeptInsideTheAreaAndPushedToStickyEdges)
{
    using Panel = IXSlavePanel;
    const QRect area(10, 20, 500, 300);
    const struct {
        QRect frame;
        unsigned flags;
        QRect expected;
    } cases[] = {
        {{100, 100, 200, 100}, 0, {100, 100, 200, 100}},
        {{400, 100, 200, 100}, 0, {310, 100, 200, 100}},  // past the right edge
        {{-50, -50, 200, 100}, 0, {10, 20, 200, 100}},  // past the top left
        {{100, 250, 200, 100}, 0, {100, 220, 200, 100}},  // past the bottom
        {{0, 0, 800, 600}, 0, {10, 20, 500, 300}},  // larger than the area
        {{100, 100, 200, 100}, Panel::StickRight, {310, 100, 200, 100}},
        {{100, 100, 200, 100}, Panel::StickBottom, {100, 220, 200, 100}},
        {{100, 100, 200, 100}, Panel::StickTop | Panel::StickLeft, {10, 20, 200, 100}},
    };
    for (const auto& each : cases)
        EXPECT_EQ(IXSlavePanel::constrainedFrame(each.frame, area, each.flags), each.expected)
            << each.frame.x() << "," << each.frame.y() << " flags " << each.flags;
    EXPECT_EQ(IXSlavePanel::stickyFlagsFor({310, 220, 200, 100}, area),
              unsigned(Panel::StickRight | Panel::StickBottom));
    EXPECT_EQ(IXSlavePanel::stickyFlagsFor({100, 100, 200, 100}, area), 0u);
}

class SlavePanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_host.resize(800, 600);
        m_panel.setMinimumFrameSize(QSize(300, 100));
        m_panel.setGeometry(100, 100, 320, 200);
        m_panel.attach(&m_host, [this] { return m_host.rect().adjusted(2, 2, -2, -2); });
        m_host.show();
        m_panel.show();
    }
    QWidget m_host;
    IXSlavePanel m_panel;
};

TEST_F(SlavePanelTest, APanelDraggedPastTheRightEdgeFollowsItWhenTheWindowGrows)
{
    EXPECT_EQ(m_panel.parentWidget(), &m_host);
    // A press in the margin moves the panel.
    drag(m_panel, QPoint(100, 5), QPoint(600, 30));
    EXPECT_EQ(m_panel.geometry(), QRect(478, 130, 320, 200));
    EXPECT_EQ(m_panel.stickyFlags(), unsigned(IXSlavePanel::StickRight));
    m_host.resize(1000, 600);
    EXPECT_EQ(m_panel.geometry().right(), 997);
    // A smaller window cuts the panel to its area.
    m_host.resize(200, 150);
    EXPECT_EQ(m_panel.geometry(), QRect(2, 2, 196, 146));
}

TEST_F(SlavePanelTest, CornersResizeWithinTheMinimumKeepingTheOppositeEdges)
{
    // Top-left corner past the minimum width: the right edge stays.
    drag(m_panel, QPoint(3, 3), QPoint(200, -20));
    EXPECT_EQ(m_panel.geometry(), QRect(120, 80, 300, 220));
    // Bottom-right corner: the top-left stays.
    drag(m_panel, QPoint(295, 215), QPoint(50, 40));
    EXPECT_EQ(m_panel.geometry(), QRect(120, 80, 350, 260));
    // A corner dragged out of the area stops at its edge.
    drag(m_panel, QPoint(345, 255), QPoint(1000, 1000));
    EXPECT_EQ(m_panel.geometry(), QRect(120, 80, 678, 518));
}

TEST_F(SlavePanelTest, AlphaIsClampedAndDetachingLetsThePanelGo)
{
    IXSlaveFrameView* frame = m_panel.frameView();
    frame->setAlphaValue(1.7);
    EXPECT_EQ(frame->alphaValue(), 1.0);
    frame->setAlphaValue(-1);
    EXPECT_EQ(frame->alphaValue(), 0.0);
    m_panel.detach();
    EXPECT_FALSE(m_panel.isAttached());
    EXPECT_EQ(m_panel.parentWidget(), nullptr);
    EXPECT_TRUE(m_panel.workArea().isEmpty());
}

}  // namespace
