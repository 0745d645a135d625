// The overview's views: placement against the host's area with sticky borders, the size factor
// under the wheel, clicks and drags that scroll the document or move the window, and the plain
// view's fitting.
#include "Inspectors/IXOverviewFramedView.h"
#include "Inspectors/IXOverviewHost.h"
#include "Inspectors/IXOverviewView.h"
#include "Inspectors/IXOverviewWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// Records what the views ask; its area is the whole parent widget.
class FakeOverviewHost : public IXOverviewHost {
public:
    explicit FakeOverviewHost(QWidget& parent)
        : m_parent(parent)
    {
    }
    PLRect hostWindowFrame() const override
    {
        return PLRect(0, float(-m_parent.height()), float(m_parent.width()), float(m_parent.height()));
    }
    float hostWindowWidth() const override { return float(m_parent.width()); }
    void setVisibleFrameToPoint(PLPoint point) override { points.push_back(point); }
    void updatePreview() override { ++previews; }

    std::vector<PLPoint> points;
    int previews = 0;
    QWidget& m_parent;
};

void send(QWidget& view, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, view.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// Qt positions (y down) of a press, the moves and the release.
void drag(QWidget& view, const std::vector<QPointF>& path)
{
    send(view, QEvent::MouseButtonPress, path.front(), Qt::LeftButton, Qt::LeftButton);
    for (size_t i = 1; i < path.size(); ++i) send(view, QEvent::MouseMove, path[i], Qt::NoButton, Qt::LeftButton);
    send(view, QEvent::MouseButtonRelease, path.back(), Qt::LeftButton, Qt::NoButton);
}

void wheel(QWidget& target, int notches)
{
    QWheelEvent event(QPointF(10, 10), target.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, notches * 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&target, &event);
}

// A 1000 × 600 host with the overview window in it; the document is 1580 × 790, so that at the
// factor 1.0 the picture is 158 × 79 and one picture point is ten document points.
class OverviewFramedViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_parent.resize(1000, 600);
        m_window = new IXOverviewWindow(&m_parent);
        m_view = new IXOverviewFramedView;
        m_window->setContentView(m_view);
        m_window->setHost(&m_host);
        m_window->move(300, 200);
        m_view->setDocumentFrame(PLRect(0, 0, 1580, 790));
    }
    // A point of the picture (document point ÷ 10) in the view's Qt coordinates.
    QPointF picturePoint(float x, float y) const
    {
        return QPointF(IXOverviewFramedView::BorderX + x, m_view->height() - (IXOverviewFramedView::BorderY + y));
    }

    QWidget m_parent;
    FakeOverviewHost m_host {m_parent};
    IXOverviewWindow* m_window = nullptr;
    IXOverviewFramedView* m_view = nullptr;
};

}  // namespace

TEST(OverviewFramedViewPlacement, FramesArePulledIntoTheHostAndPushedToStickyBorders)
{
    using View = IXOverviewFramedView;
    const PLRect host(0, 0, 800, 600);
    const struct {
        PLRect frame;
        unsigned sticky;
        PLRect expected;
    } cases[] = {
        {{100, 100, 150, 80}, 0, {100, 100, 150, 80}},
        {{700, 550, 150, 80}, 0, {650, 520, 150, 80}},  // past the top right
        {{-30, -20, 150, 80}, 0, {0, 0, 150, 80}},  // past the bottom left
        {{-30, -20, 900, 700}, 0, {0, 0, 900, 700}},  // larger than the host: its size is kept
        {{100, 100, 150, 80}, View::StickTop | View::StickRight, {650, 520, 150, 80}},
        {{100, 100, 150, 80}, View::StickTop | View::StickBottom, {100, 0, 150, 80}},  // bottom wins
        {{100, 100, 150, 80}, View::StickLeft | View::StickRight, {0, 100, 150, 80}},  // left wins
    };
    for (const auto& c : cases) {
        EXPECT_EQ(View::adaptFrame(c.frame, host, c.sticky), c.expected)
            << c.frame.minX() << "," << c.frame.minY() << " sticky " << c.sticky;
    }
    EXPECT_EQ(View::stickyFlagsFor(PLRect(0, 0, 150, 80), host), unsigned(View::StickLeft | View::StickBottom));
    EXPECT_EQ(View::stickyFlagsFor(PLRect(650, 520, 150, 80), host), unsigned(View::StickTop | View::StickRight));
    EXPECT_EQ(View::stickyFlagsFor(PLRect(100, 100, 150, 80), host), 0u);
}

TEST_F(OverviewFramedViewTest, TheWindowTakesThePictureSizeAndKeepsItsTopLeft)
{
    EXPECT_FLOAT_EQ(m_view->scaleFactor(), 0.1f);
    EXPECT_EQ(m_window->geometry(), QRect(300, 200, 158 + 8, 79 + 12));
    // A document of the same size rebuilds nothing; an empty one changes nothing either.
    m_window->move(310, 210);
    m_view->setDocumentFrame(PLRect(20, 30, 1580, 790));
    EXPECT_EQ(m_window->geometry(), QRect(310, 210, 166, 91));
    m_view->setDocumentFrame(PLRect(0, 0, 0, 0));
    EXPECT_EQ(m_window->geometry(), QRect(310, 210, 166, 91));
    EXPECT_FLOAT_EQ(m_view->scaleFactor(), 0.1f);
    // A tall document: the height fills the box.
    m_view->setDocumentFrame(PLRect(0, 0, 81, 162));
    EXPECT_EQ(m_window->geometry(), QRect(310, 210, 81 + 8, 162 + 12));
    // A document a thousand times taller than wide still gets a picture a pixel across.
    EXPECT_EQ(m_view->previewSizeForDocumentSize(PLSize(10, 100000)), PLSize(1, 162));
}

TEST_F(OverviewFramedViewTest, TheWheelChangesTheSizeFactorWithinAPartOfTheHostWidth)
{
    // Host 1000 wide, largest window 150: the factor stays within 1000 × 0.1 / 150 and 1000 × 0.3 / 150.
    wheel(*m_view, 10);
    EXPECT_NEAR(m_view->sizeFactor(), 1.1, 1e-5);
    EXPECT_EQ(m_host.previews, 1);
    EXPECT_EQ(m_window->width(), int(1.1f * 158) + 8);
    wheel(*m_view, 500);
    EXPECT_NEAR(m_view->sizeFactor(), 2.0, 1e-5);
    wheel(*m_view, -500);
    EXPECT_NEAR(m_view->sizeFactor(), 1000 * 0.1 / 150, 1e-5);
    EXPECT_EQ(m_host.previews, 3);
    // A narrower host lowers the ceiling when the factor is applied again.
    m_view->setSizeFactor(5.0f);
    m_parent.resize(300, 600);
    m_view->setSizeFactor(m_view->sizeFactor());
    EXPECT_NEAR(m_view->sizeFactor(), 300 * 0.3 / 150, 1e-5);
}

TEST_F(OverviewFramedViewTest, AClickCentresTheVisiblePartThereStoppingAtTheEdges)
{
    const struct {
        float x, y;  // picture point
        PLPoint origin;
    } cases[] = {
        {50, 40, {400, 350}},
        {157, 78, {1580 - 200, 790 - 100}},  // far corner
        {1, 1, {0, 0}},
    };
    for (const auto& c : cases) {
        m_view->setVisibleFrame(PLRect(700, 300, 200, 100));
        m_host.points.clear();
        const QPointF at = picturePoint(c.x, c.y);
        drag(*m_view, {at});
        ASSERT_EQ(m_host.points.size(), 1u) << c.x;
        EXPECT_EQ(m_host.points.front(), c.origin) << c.x << "," << c.y;
        EXPECT_EQ(m_view->visibleFrame().origin, c.origin);
    }
    EXPECT_EQ(m_window->pos(), QPoint(300, 200));
}

TEST_F(OverviewFramedViewTest, DraggingInsideTheVisiblePartScrollsByTheMovementOverTheScale)
{
    m_view->setVisibleFrame(PLRect(400, 350, 200, 100));
    // The marked part: (44, 41) to (64, 51) in the view, y up.
    EXPECT_EQ(m_view->scaledVisibleRect(), PLRect(44, 41, 20, 10));
    drag(*m_view, {picturePoint(46, 40), picturePoint(50, 42), picturePoint(56, 45)});
    ASSERT_EQ(m_host.points.size(), 2u);
    EXPECT_EQ(m_host.points[0], PLPoint(440, 370));
    EXPECT_EQ(m_host.points[1], PLPoint(500, 400));
    EXPECT_EQ(m_window->pos(), QPoint(300, 200));
}

TEST_F(OverviewFramedViewTest, DraggingOutsideTheVisiblePartOrOverAWholeDocumentMovesTheWindow)
{
    for (const PLRect visible : {PLRect(400, 350, 200, 100), PLRect(0, 0, 1580, 790)}) {
        m_window->move(300, 200);
        m_view->setVisibleFrame(visible);
        m_host.points.clear();
        const QPointF start = visible.width() < 1580 ? picturePoint(120, 20) : picturePoint(50, 40);
        drag(*m_view, {start, start + QPointF(25, -15)});
        EXPECT_TRUE(m_host.points.empty());
        EXPECT_EQ(m_window->pos(), QPoint(325, 185));
    }
    // Dragged past the host's top left corner it stops there, and then sticks to it.
    drag(*m_view, {picturePoint(50, 40), picturePoint(50, 40) + QPointF(-900, -900)});
    EXPECT_EQ(m_window->pos(), QPoint(0, 0));
    EXPECT_EQ(m_view->stickyBorder(), unsigned(IXOverviewFramedView::StickTop | IXOverviewFramedView::StickLeft));
}

TEST_F(OverviewFramedViewTest, AWindowInTheBottomLeftCornerStaysThereWhenTheHostIsResized)
{
    m_window->move(0, 600 - m_window->height());
    m_view->updateStickyFlags();
    m_parent.resize(700, 400);
    m_view->adjustForHost();
    EXPECT_EQ(m_window->geometry().bottomLeft(), QPoint(0, 399));
    m_parent.resize(1200, 900);
    m_view->adjustForHost();
    EXPECT_EQ(m_window->geometry().bottomLeft(), QPoint(0, 899));
    // One in the middle stays where it is.
    m_window->move(300, 200);
    m_view->updateStickyFlags();
    m_parent.resize(1000, 600);
    m_view->adjustForHost();
    EXPECT_EQ(m_window->pos(), QPoint(300, 200));
}

TEST_F(OverviewFramedViewTest, TheVisiblePartIsNeverMarkedSmallerThanFourPoints)
{
    m_view->setVisibleFrame(PLRect(100, 100, 10, 10));
    EXPECT_EQ(m_view->scaledVisibleRect().size, PLSize(4, 4));
    m_view->setVisibleFrame(PLRect(0, 0, 5000, 5000));
    EXPECT_EQ(m_view->scaledVisibleRect().size, PLSize(158, 79));
}

TEST(OverviewPlainView, ThePictureFitsTheViewKeepingItsProportions)
{
    IXOverviewView view;
    view.resize(200, 100);
    const struct {
        PLSize document;
        PLSize expected;
    } cases[] = {
        {{1000, 200}, {200, 40}},  // wider than the view
        {{300, 200}, {150, 100}},  // wide, but taller than the view's proportion
        {{200, 400}, {50, 100}},  // tall: never past the view's height
        {{400, 400}, {100, 100}},  // square: never stretched to the view
        {{400, 200}, {200, 100}},  // the view's own proportions
    };
    for (const auto& c : cases) {
        EXPECT_EQ(view.previewSizeForDocumentSize(c.document), c.expected)
            << c.document.width << "x" << c.document.height;
    }
}

TEST(OverviewPlainView, ClicksAndDragsOutsideTheVisiblePartCentreItUnderThePointer)
{
    QWidget parent;
    FakeOverviewHost host(parent);
    IXOverviewView view;
    view.setHost(&host);
    view.resize(200, 100);
    view.setDocumentFrame(PLRect(0, 0, 2000, 500));
    // 200 × 50 centred: the picture from y = 25 to 75, ten document points a picture point.
    EXPECT_EQ(view.workFrame(), PLRect(0, 25, 200, 50));
    view.setVisibleFrame(PLRect(0, 0, 400, 200));
    drag(view, {QPointF(100, 50)});
    ASSERT_EQ(host.points.size(), 1u);
    EXPECT_EQ(host.points.back(), PLPoint(800, 150));
    host.points.clear();
    view.setVisibleFrame(PLRect(0, 0, 400, 200));
    drag(view, {QPointF(100, 50), QPointF(150, 50)});
    ASSERT_EQ(host.points.size(), 1u);
    EXPECT_EQ(host.points.back(), PLPoint(1300, 150));
}
