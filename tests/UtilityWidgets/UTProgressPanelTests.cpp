#include "UtilityWidgets/UTProgressPanel.h"

#include "UTWidgetTestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(UTProgressPanel, CancelStopsTheWork)
{
    UTProgressPanel panel;
    panel.setWindowTitle(QStringLiteral("Export"));
    panel.labelTextField()->setText(QStringLiteral("Writing page 3 of 10"));
    panel.progressIndicator()->setRange(0, 10);
    panel.progressIndicator()->setValue(3);
    QSignalSpy cancelled(&panel, &UTProgressPanel::cancelled);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    saveScreenshot(&panel, QStringLiteral("progress-panel"));
    EXPECT_FALSE(panel.isCancelled());

    // The worker checks between steps; the panel stays until the worker closes it.
    QTest::mouseClick(panel.cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(panel.isCancelled());
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_TRUE(panel.isVisible());
    panel.hide();

    // Showing it again starts afresh; Escape cancels too.
    panel.show();
    EXPECT_FALSE(panel.isCancelled());
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_TRUE(panel.isCancelled());
    EXPECT_EQ(cancelled.count(), 2);
}
