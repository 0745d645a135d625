// The overview of a document window: glued over the map area, its picture made once per change
// of the map, clicks and drags in it scrolling the map, the View menu's command with its check
// mark, and the overview hidden in the outline and the print layout and back with the maps;
// pictures of the overview beside a map in /tmp/overview-shots.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowOverview.h"
#include "IXWindowShellTestSupport.h"
#include "Inspectors/IXOverviewFramedView.h"
#include "Inspectors/IXOverviewInspector.h"
#include "Inspectors/IXOverviewView.h"
#include "Inspectors/IXOverviewWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

class OverviewWindowTest : public WindowShellTest {
protected:
    // The fixture's map in its window, zoomed so that only part of it shows.
    IXWindowController* openZoomed(const char* name)
    {
        IXDocument* document = open(copyFixture(QStringLiteral("tree.ixd"), QString::fromLatin1(name)));
        if (!document) return nullptr;
        IXWindowController* controller = controllerOf(document);
        controller->documentWindow()->resize(900, 600);
        controller->documentWindow()->show();
        spin(20);
        scroller(controller)->setScaleFactor(6.0);
        spin(20);
        return controller;
    }
    static IXScalingScrollView* scroller(IXWindowController* controller)
    {
        return IXScalingScrollView::scalingScrollView(controller->documentView());
    }
    static IXMapView* map(IXWindowController* controller)
    {
        return qobject_cast<IXMapView*>(controller->documentView());
    }
    // Shows it and waits out the fade.
    static IXOverviewInspector* showOverview(IXWindowController* controller)
    {
        controller->toggleOverview(nullptr);
        spin(IXOverviewInspector::FadeMilliseconds + 100);
        return controller->overview().existingOverview();
    }
    static QAction* menuItem(IXWindowController* controller, IXCommand command)
    {
        for (QAction* menu : controller->documentWindow()->menuBar()->actions())
            for (QAction* item : menu->menu()->actions())
                if (IXActionItem::actionOf(item) == command) return item;
        return nullptr;
    }
    // A press, moves and release at points of the view (y-up).
    static void mouse(IXOverviewBaseView* view, const std::vector<PLPoint>& path)
    {
        const auto send = [view](QEvent::Type type, PLPoint point, Qt::MouseButton button, Qt::MouseButtons buttons) {
            const QPointF at(point.x, view->height() - point.y);
            QMouseEvent event(type, at, view->mapToGlobal(at), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(view, &event);
        };
        send(QEvent::MouseButtonPress, path.front(), Qt::LeftButton, Qt::LeftButton);
        for (size_t i = 1; i < path.size(); ++i) send(QEvent::MouseMove, path[i], Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, path.back(), Qt::LeftButton, Qt::NoButton);
        spin();
    }
    static void writePictures(QWidget* widget, const QString& name)
    {
        QDir().mkpath(QStringLiteral("/tmp/overview-shots"));
        widget->grab().save(QStringLiteral("/tmp/overview-shots/%1.png").arg(name));
        QPixmap twice(widget->size() * 2);
        twice.setDevicePixelRatio(2);
        twice.fill(Qt::white);
        widget->render(&twice);
        twice.save(QStringLiteral("/tmp/overview-shots/%1@2x.png").arg(name));
    }
};

}  // namespace

TEST_F(OverviewWindowTest, ClicksAndDragsInTheGluedOverviewScrollTheMap)
{
    IXWindowController* controller = openZoomed("scroll.ixd");
    ASSERT_TRUE(controller);
    IXOverviewInspector* overview = showOverview(controller);
    ASSERT_TRUE(overview && overview->isVisible());
    IXOverviewFramedView* view = overview->framedView();
    ASSERT_TRUE(view);
    // A child of the document window, in the top-right corner of the map area.
    QWidget* area = controller->workAreaWidget();
    const QRect areaInWindow(area->mapTo(controller->documentWindow(), QPoint(0, 0)), area->size());
    EXPECT_EQ(overview->window()->parentWidget(), controller->documentWindow());
    EXPECT_EQ(overview->window()->geometry().topRight(), areaInWindow.topRight());
    EXPECT_FALSE(view->documentPreview().isNull());
    EXPECT_EQ(view->documentFrame(), map(controller)->overviewDocumentViewFrame());
    EXPECT_EQ(view->visibleFrame(), map(controller)->visibleRect());
    const int pictures = overview->previewCount();

    const PLRect document = view->documentFrame();
    const float s = view->scaleFactor();
    const auto visible = [&] { return map(controller)->visibleRect(); };
    ASSERT_LT(visible().width(), document.width());
    ASSERT_LT(visible().height(), document.height());
    // A click outside the marked part centres the map there (to the point, within rounding).
    const PLRect marked = view->scaledVisibleRect();
    const PLPoint click(marked.minX() > view->width() / 2 ? marked.minX() - 3 : marked.maxX() + 3,
                        float(view->height()) / 2);
    mouse(view, {click});
    const PLPoint target = view->documentPointForViewPoint(click);
    const float halfWidth = visible().width() / 2;
    if (target.x - halfWidth >= 0 && target.x + halfWidth <= document.maxX())
        EXPECT_NEAR(visible().midX(), target.x, 1.5f);
    EXPECT_EQ(view->visibleFrame(), visible());
    // Clicks by the far corners stop at the edges of the document.
    mouse(view,
          {PLPoint(float(view->width() - IXOverviewFramedView::BorderX - 1),
                   float(view->height() - IXOverviewFramedView::BorderY - 1))});
    EXPECT_NEAR(visible().maxX(), document.maxX(), 1.0f);
    EXPECT_NEAR(visible().maxY(), document.maxY(), 1.0f);
    mouse(view, {PLPoint(IXOverviewFramedView::BorderX + 1, IXOverviewFramedView::BorderY + 1)});
    EXPECT_EQ(visible().origin, PLPoint(0, 0));
    // Dragging the marked part moves the map by the drag over the scale.
    const PLRect start = visible();
    const PLRect part = view->scaledVisibleRect();
    const PLPoint grip(part.minX() + 2, part.minY() + 2);
    mouse(view, {grip, PLPoint(grip.x + 5, grip.y + 3), PLPoint(grip.x + 10, grip.y + 6)});
    EXPECT_NEAR(visible().minX(), start.minX() + 10 / s, 1.0f);
    EXPECT_NEAR(visible().minY(), start.minY() + 6 / s, 1.0f);
    EXPECT_EQ(overview->window()->geometry().topRight(), areaInWindow.topRight()) << "the window stays put";

    // Scrolling the map moves the marked part and makes no picture; a change of the map makes one.
    scroller(controller)->horizontalScrollBar()->setValue(scroller(controller)->horizontalScrollBar()->value() + 40);
    spin(20);
    EXPECT_EQ(view->visibleFrame(), visible());
    EXPECT_EQ(overview->previewCount(), pictures);
    auto root = std::dynamic_pointer_cast<IXBranchNode>(controller->documentNode()->rootBranches().first());
    root->setTitle(QStringLiteral("A much longer title for the main branch"));
    spin(50);
    EXPECT_EQ(overview->previewCount(), pictures + 1);
    EXPECT_EQ(view->documentFrame(), map(controller)->overviewDocumentViewFrame());
    // To look at: less zoomed, so that the marked part reads well.
    scroller(controller)->setScaleFactor(1.5);
    spin(100);
    writePictures(controller->documentWindow(), QStringLiteral("glued"));
}

TEST_F(OverviewWindowTest, TheCommandTogglesItAndTheOutlineAndPrintLayoutHideItUntilAMapComesBack)
{
    IXWindowController* controller = openZoomed("toggle.ixd");
    ASSERT_TRUE(controller);
    QAction* item = menuItem(controller, IXCommands::ToggleOverview);
    ASSERT_TRUE(item);
    EXPECT_TRUE(IXActionBridge::validate(item));
    EXPECT_FALSE(item->isChecked());
    IXOverviewInspector* overview = showOverview(controller);
    ASSERT_TRUE(overview && overview->isVisible());
    EXPECT_TRUE(IXActionBridge::validate(item));
    EXPECT_TRUE(item->isChecked());

    // Moved, hidden and shown: back where it was.
    auto* window = overview->overviewWindow();
    window->move(window->x() - 120, window->y() + 80);
    overview->framedView()->updateStickyFlags();
    const QPoint moved = window->pos();
    controller->toggleOverview(nullptr);
    spin(IXOverviewInspector::FadeMilliseconds + 100);
    EXPECT_FALSE(overview->isVisible());
    EXPECT_FALSE(window->isVisible());
    showOverview(controller);
    EXPECT_EQ(window->pos(), moved);

    const auto switchTo = [&](int layout) {
        QAction sender;
        sender.setData(layout);
        controller->switchToView(&sender);
        spin(IXOverviewInspector::FadeMilliseconds + 100);
    };
    const struct {
        const char* step;
        std::function<void()> action;
        bool shown;
    } steps[] = {
        {"outline", [&] { switchTo(3); }, false},
        {"top-down", [&] { switchTo(1); }, true},
        {"print layout",
         [&] {
             controller->togglePrintView(nullptr);
             spin(300);
         },
         false},
        {"print layout to outline", [&] { switchTo(3); }, false},
        {"mind map", [&] { switchTo(0); }, true},
        {"timeline", [&] { switchTo(4); }, true},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(overview->isVisible(), step.shown) << step.step;
        EXPECT_EQ(IXActionBridge::validate(item), step.shown) << step.step;
        EXPECT_EQ(item->isChecked(), step.shown) << step.step;
        if (step.shown) {
            EXPECT_EQ(overview->documentView(), controller->documentView()) << step.step;
            EXPECT_FALSE(overview->framedView()->documentPreview().isNull()) << step.step;
            EXPECT_EQ(overview->framedView()->documentFrame(), map(controller)->overviewDocumentViewFrame())
                << step.step;
        }
    }
    // Hidden by the user, it stays hidden across the outline.
    controller->toggleOverview(nullptr);
    spin(IXOverviewInspector::FadeMilliseconds + 100);
    switchTo(3);
    switchTo(0);
    EXPECT_FALSE(overview->isVisible());
}

TEST_F(OverviewWindowTest, TheFloatingPanelFitsThePictureAndScrollsTheActiveMap)
{
    IXWindowController* controller = openZoomed("panel.ixd");
    ASSERT_TRUE(controller);
    IXOverviewInspector panel;
    panel.setController(controller);
    panel.show();
    spin(IXOverviewInspector::FadeMilliseconds + 100);
    ASSERT_TRUE(panel.isVisible());
    EXPECT_TRUE(panel.window()->isWindow());
    IXOverviewView* view = panel.plainView();
    ASSERT_TRUE(view);
    EXPECT_FALSE(view->documentPreview().isNull());
    writePictures(panel.window(), QStringLiteral("panel"));
    const PLRect work = view->workFrame();
    EXPECT_TRUE(work.width() == float(view->width()) || work.height() == float(view->height()));
    // A click by the picture's top right corner takes the map to its top right edges.
    mouse(view, {PLPoint(work.maxX() - 1, work.maxY() - 1)});
    const PLRect visible = map(controller)->visibleRect();
    const PLRect document = view->documentFrame();
    EXPECT_NEAR(visible.maxX(), document.maxX(), 1.0f);
    EXPECT_NEAR(visible.maxY(), document.maxY(), 1.0f);
    // In the outline there is no picture and no visible part.
    QAction outline;
    outline.setData(3);
    controller->switchToView(&outline);
    spin(50);
    panel.resetOverview();
    EXPECT_TRUE(view->documentPreview().isNull());
    EXPECT_EQ(view->visibleFrame(), PLRect());
    panel.hide();
    spin(IXOverviewInspector::FadeMilliseconds + 100);
}
