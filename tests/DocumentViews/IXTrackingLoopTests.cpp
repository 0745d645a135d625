// The tracking loop of drags: it ends with the release or, when the grab is lost, as Escape
// ends it, and whatever it switched off comes back on however it ended.
#include "DocumentViews/IXTrackingLoop.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/System/PLMouseTracking.h"

#include "IXTestContexts.h"

#include <QFocusEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(IXTrackingLoop, EndsWithTheReleaseOrWhenTheGrabIsLostAndTurnsItsSwitchesBackOn)
{
    QWidget view;
    view.resize(100, 100);
    view.show();
    TestContexts contexts(1);
    const struct {
        const char* name;
        std::function<void()> end;
        PLMouseEvent::Type expected;
    } ways[] = {
        {"release", [] { PLMouseTracking::postEvent(PLMouseEvent(PLMouseEvent::LeftMouseUp, PLPoint(5, 5))); },
         PLMouseEvent::LeftMouseUp},
        {"Escape", [&] { QTest::keyClick(&view, Qt::Key_Escape); }, PLMouseEvent::TrackingCancelled},
        {"focus lost",
         [&] {
             QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
             QApplication::sendEvent(&view, &out);
         },
         PLMouseEvent::TrackingCancelled},
        {"hidden", [&] { view.hide(); }, PLMouseEvent::TrackingCancelled},
        {"context gone", [&] { contexts[0]->invalidate(); }, PLMouseEvent::TrackingCancelled},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        view.show();
        PLUndoManager undo;
        {
            IXTrackingLoop loop(&view);
            loop.suspendUndoRegistration(&undo);
            loop.suspendCanvasAutosize(contexts[0]);
            EXPECT_FALSE(undo.isUndoRegistrationEnabled());
            QTimer::singleShot(
                0, [] { PLMouseTracking::postEvent(PLMouseEvent(PLMouseEvent::LeftMouseDragged, PLPoint(3, 4))); });
            EXPECT_EQ(loop.nextEvent().type(), PLMouseEvent::LeftMouseDragged);
            QTimer::singleShot(0, way.end);
            EXPECT_EQ(loop.nextEvent().type(), way.expected);
            // An abandoned gesture stays abandoned.
            if (way.expected == PLMouseEvent::TrackingCancelled)
                EXPECT_EQ(loop.nextEvent().type(), PLMouseEvent::TrackingCancelled);
        }
        EXPECT_TRUE(undo.isUndoRegistrationEnabled());
        EXPECT_TRUE(PLMouseTracking::takePendingEvents().empty());
    }
}

}  // namespace
