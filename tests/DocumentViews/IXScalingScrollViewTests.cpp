// The zooming scroll view: factors, steps, the zoom pop-up and its per-cent editor, fitting,
// Alt-wheel zooming and the scroll notice, on an offscreen window.
#include "DocumentViews/IXScalingScrollView.h"

#include "DocumentViews/IXActionItem.h"
#include "IXTestCanvasView.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "TestSupport/QStringPrinter.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class IXScalingScrollViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scrollView.resize(640, 480);
        view = new TestCanvasView;
        scrollView.setDocumentView(view);
        scrollView.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&scrollView));
    }

    QStringList popupTitles() const
    {
        QStringList titles;
        for (int i = 0; i < scrollView.zoomPopup()->count(); ++i) titles << scrollView.zoomPopup()->itemText(i);
        return titles;
    }
    void choose(const QString& title)
    {
        QComboBox* popup = scrollView.zoomPopup();
        const int index = popup->findText(title);
        ASSERT_GE(index, 0) << title.toStdString();
        popup->setCurrentIndex(index);
        emit popup->activated(index);
    }
    // A wheel turn at a time (ms) of a clock that only moves forward across tests.
    void wheel(QPoint pixels, QPoint angle, Qt::KeyboardModifiers modifiers, quint64 afterMs = 2000)
    {
        static quint64 clock = 1'000'000;
        clock += afterMs;
        QWheelEvent event(QPointF(100, 100), QPointF(100, 100), pixels, angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        event.setTimestamp(clock);
        QCoreApplication::sendEvent(scrollView.viewport(), &event);
    }
    // An Alt turn of a touchpad: fine deltas, in pixels (a line each).
    void altWheel(double lines, quint64 afterMs)
    {
        wheel(QPoint(0, int(lines)), QPoint(0, int(lines * 120)), Qt::AltModifier, afterMs);
    }

    IXScalingScrollView scrollView;
    TestCanvasView* view = nullptr;
};

TEST_F(IXScalingScrollViewTest, FactorIsRoundedUpToWholePerCentAndClamped)
{
    const struct {
        double requested;
        double factor;
    } cases[] = {
        {0.333, 0.34}, {1.1, 1.1}, {0.5, 0.5}, {1.2301, 1.24}, {20, 8.0}, {0.01, 0.1}, {8.0, 8.0},
    };
    for (const auto& c : cases) {
        const int reflections = view->reflections;
        scrollView.setScaleFactor(c.requested);
        EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), c.factor) << c.requested;
        EXPECT_EQ(view->reflections, reflections + 1) << "the view is told of every change";
    }
    EXPECT_EQ(view->width(), int(std::ceil(1600 * 8.0 + 8))) << "the view re-laid out its frame";
}

TEST_F(IXScalingScrollViewTest, ZoomInAndOutByTheSteps)
{
    const struct {
        double from;
        double in;
        double out;
    } cases[] = {
        {1.0, 1.25, 0.75}, {1.25, 1.5, 1.0}, {8.0, 8.0, 5.6}, {0.1, 0.2, 0.1},
        {0.75, 1.0, 0.5},  {2.0, 2.6, 1.5},  {0.34, 0.5, 0.25},
    };
    for (const auto& c : cases) {
        scrollView.setScaleFactor(c.from);
        scrollView.zoomIn(nullptr);
        EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), c.in) << "in from " << c.from;
        scrollView.setScaleFactor(c.from);
        scrollView.zoomOut(nullptr);
        EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), c.out) << "out from " << c.from;
    }
}

TEST_F(IXScalingScrollViewTest, MenuItemsKnowTheEndsOfTheRange)
{
    QAction zoomIn;
    IXActionItem::setAction(&zoomIn, "zoomIn:");
    QAction zoomOut;
    IXActionItem::setAction(&zoomOut, "zoomOut:");
    QAction fit;
    IXActionItem::setAction(&fit, "scaleToFit:");
    const struct {
        double factor;
        bool in;
        bool out;
    } cases[] = {{1.0, true, true}, {8.0, false, true}, {0.1, true, false}};
    for (const auto& c : cases) {
        scrollView.setScaleFactor(c.factor);
        EXPECT_EQ(scrollView.validateMenuItem(&zoomIn), c.in) << c.factor;
        EXPECT_EQ(scrollView.validateMenuItem(&zoomOut), c.out) << c.factor;
        EXPECT_TRUE(scrollView.validateMenuItem(&fit));
    }
}

TEST_F(IXScalingScrollViewTest, PopupOffersTheStepsInRangeAndACustomEntry)
{
    const QString other = PLLocalizedStrings::string(QStringLiteral("zoom_custom"));
    const QString fit = PLLocalizedStrings::string(QStringLiteral("zoom_fit"));
    EXPECT_NE(other, QStringLiteral("zoom_custom"));
    const QStringList steps = {QStringLiteral("10%"),  QStringLiteral("25%"),  QStringLiteral("50%"),
                               QStringLiteral("75%"),  QStringLiteral("100%"), QStringLiteral("125%"),
                               QStringLiteral("150%"), QStringLiteral("200%"), QStringLiteral("400%"),
                               QStringLiteral("800%")};
    EXPECT_EQ(popupTitles(), (steps + QStringList{other, fit}));
    EXPECT_EQ(scrollView.zoomPopup()->currentText(), QStringLiteral("100%"));
    EXPECT_EQ(scrollView.zoomPopup()->focusPolicy(), Qt::NoFocus);

    scrollView.setScaleFactor(0.333);
    QStringList withCustom = steps;
    withCustom.insert(2, QStringLiteral("34%"));
    EXPECT_EQ(popupTitles(), (withCustom + QStringList{other, fit}));
    EXPECT_EQ(scrollView.zoomPopup()->currentText(), QStringLiteral("34%"));

    // Another factor between steps replaces the custom entry; a step removes it.
    scrollView.setScaleFactor(1.7);
    withCustom = steps;
    withCustom.insert(7, QStringLiteral("170%"));
    EXPECT_EQ(popupTitles(), (withCustom + QStringList{other, fit}));
    scrollView.setScaleFactor(1.7);
    EXPECT_EQ(popupTitles().count(QStringLiteral("170%")), 1);
    choose(QStringLiteral("50%"));
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 0.5);
    EXPECT_EQ(popupTitles(), (steps + QStringList{other, fit}));
    EXPECT_EQ(scrollView.zoomPopup()->currentText(), QStringLiteral("50%"));
}

TEST_F(IXScalingScrollViewTest, PerCentEditorSetsWhatIsTyped)
{
    const QString other = PLLocalizedStrings::string(QStringLiteral("zoom_custom"));
    const struct {
        const char* typed;
        Qt::Key end;
        double factor;
        const char* shown;
    } cases[] = {
        {"150", Qt::Key_Return, 1.5, "150%"},
        {"33.2", Qt::Key_Return, 0.34, "34%"},
        {"abc", Qt::Key_Return, 0.34, "34%"},  // no number: the factor stays
        {"300", Qt::Key_Escape, 0.34, "34%"},
        {"5000", Qt::Key_Return, 8.0, "800%"},
    };
    for (const auto& c : cases) {
        choose(other);
        QLineEdit* editor = scrollView.percentEditor();
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(editor->isVisible());
        EXPECT_EQ(editor->text(), QStringLiteral("%"));
        EXPECT_EQ(editor->geometry(), scrollView.zoomPopup()->geometry().adjusted(1, 0, -1, 0));
        QTest::keyClicks(editor, QString::fromLatin1(c.typed));
        if (c.factor == 1.5) scrollView.grab().save(QDir::temp().filePath(QStringLiteral("IXScalingScrollViewEditor.png")));
        QTest::keyClick(editor, c.end);
        EXPECT_FALSE(editor->isVisible()) << c.typed;
        EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), c.factor) << c.typed;
        EXPECT_EQ(scrollView.zoomPopup()->currentText(), QString::fromLatin1(c.shown)) << c.typed;
    }
}

TEST_F(IXScalingScrollViewTest, FitShowsTheContentsCentred)
{
    const QSize visible = scrollView.viewport()->size();
    // Twice the visible size fits at 50 %, centred on the rectangle's middle.
    view->contents = QRectF(200, 100, visible.width() * 2, visible.height() * 2);
    scrollView.scaleToFit(nullptr);
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 0.5);
    EXPECT_EQ(scrollView.horizontalScrollBar()->value(), int(std::floor((200 + visible.width()) * 0.5 - visible.width() * 0.5)));
    EXPECT_EQ(scrollView.verticalScrollBar()->value(), int(std::floor((100 + visible.height()) * 0.5 - visible.height() * 0.5)));

    // Just below 100 % shows 100 %; the "Fit" entry does the same as the action.
    view->contents = QRectF(0, 0, visible.width() / 0.975, visible.height() / 0.975);
    choose(PLLocalizedStrings::string(QStringLiteral("zoom_fit")));
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 1.0);
    EXPECT_EQ(scrollView.zoomPopup()->currentText(), QStringLiteral("100%"));

    view->contents = QRectF(0, 0, visible.width() / 3.0, visible.height() / 2.0);
    scrollView.fitToScreen(nullptr);
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 2.0) << "the smaller of the two ratios";

    view->contents = QRectF();
    scrollView.scaleToFit(nullptr);
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 2.0) << "nothing to fit changes nothing";
}

TEST_F(IXScalingScrollViewTest, AltWheelZoomsFasterWhenTurnedFaster)
{
    // Slow turns change the factor by at least the guaranteed step.
    scrollView.setScaleFactor(1.5);
    altWheel(1, 2000);
    const double slowIn = scrollView.scaleFactor() - 1.5;
    EXPECT_GE(slowIn, 0.01);
    EXPECT_LT(slowIn, 0.05);
    scrollView.setScaleFactor(1.5);
    altWheel(-1, 2000);
    EXPECT_LE(scrollView.scaleFactor(), 1.49);

    // The same notch 20 ms after the previous one zooms more (delta × 10), and under 10 ms
    // more than a slow one too (delta × 3).
    const auto zoomFrom3 = [this](double notches, quint64 afterMs) {
        scrollView.setScaleFactor(3.0);
        altWheel(notches, afterMs);
        return scrollView.scaleFactor() - 3.0;
    };
    const double slow = zoomFrom3(1, 2000);
    const double fast = zoomFrom3(40, 20);
    const double fastest = zoomFrom3(40, 5);
    const double slowBig = zoomFrom3(40, 2000);
    EXPECT_GT(slowBig, slow);
    EXPECT_GT(fast, slowBig);
    EXPECT_GT(fastest, slowBig);
    EXPECT_GT(fast, fastest) << "20 ms gives ten times the turn, under 10 ms three times";

    // Near a step the factor snaps to it.
    scrollView.setScaleFactor(0.97);
    altWheel(1, 2000);
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 1.0);
    // At the end of the range it stays.
    scrollView.setScaleFactor(8.0);
    altWheel(1, 2000);
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 8.0);
}

TEST_F(IXScalingScrollViewTest, AMouseWheelNotchWithCtrlOrAltIsOneZoomStep)
{
    const struct {
        Qt::KeyboardModifiers modifiers;
        QPoint angle;
        double from;
        double to;
    } cases[] = {
        {Qt::ControlModifier, QPoint(0, 120), 1.0, 1.25},
        {Qt::ControlModifier, QPoint(0, -120), 1.0, 0.75},
        {Qt::AltModifier, QPoint(0, 240), 0.54, 1.0},
        {Qt::ControlModifier, QPoint(0, 360), 1.0, 2.0},
        {Qt::ControlModifier, QPoint(0, -240), 0.3, 0.1},
        {Qt::AltModifier, QPoint(-120, 0), 1.5, 1.25}, // Alt turns some wheels sideways
        {Qt::ControlModifier | Qt::ShiftModifier, QPoint(0, 120), 0.75, 1.0},
        {Qt::ControlModifier, QPoint(0, 120), 8.0, 8.0},
        {Qt::ControlModifier, QPoint(0, -120), 0.1, 0.1},
    };
    for (const auto& c : cases) {
        scrollView.setScaleFactor(c.from);
        wheel(QPoint(), c.angle, c.modifiers, 10);
        EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), c.to) << c.from << " by " << c.angle.y() + c.angle.x();
    }

    // A touchpad's fine deltas with Ctrl zoom by the per-line formula, a little at a time.
    scrollView.setScaleFactor(1.5);
    wheel(QPoint(0, 2), QPoint(0, 16), Qt::ControlModifier);
    EXPECT_GT(scrollView.scaleFactor(), 1.5);
    EXPECT_LT(scrollView.scaleFactor(), 1.55);
    // So do parts of a notch without pixels.
    scrollView.setScaleFactor(1.5);
    wheel(QPoint(), QPoint(0, -15), Qt::ControlModifier);
    EXPECT_LT(scrollView.scaleFactor(), 1.5);
    EXPECT_GT(scrollView.scaleFactor(), 1.45);
}

TEST_F(IXScalingScrollViewTest, WheelWithoutAltScrolls)
{
    scrollView.setScaleFactor(1.0);
    QScrollBar* vertical = scrollView.verticalScrollBar();
    vertical->setValue(300);
    QList<const void*> notices;
    PLNotificationCenter::defaultCenter().addObserver(
        &notices, IXScalingScrollView::ReflectScrolledClipViewNotification, nullptr,
        [&](const PLNotification& notice) { notices.append(notice.object); });
    QWheelEvent event(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(scrollView.viewport(), &event);
    EXPECT_GT(vertical->value(), 300);
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 1.0);
    PLNotificationCenter::defaultCenter().removeObserver(&notices);
    ASSERT_FALSE(notices.isEmpty()) << "every scroll is announced";
    EXPECT_EQ(notices.first(), static_cast<const void*>(&scrollView));
}

TEST_F(IXScalingScrollViewTest, ViewsThatDoNotScaleGetNoPopup)
{
    EXPECT_EQ(IXScalingScrollView::scalingScrollView(view), &scrollView);
    auto* plain = new QWidget;
    plain->resize(2000, 2000);
    scrollView.setScaleFactor(2.0);
    scrollView.setDocumentView(plain);
    EXPECT_EQ(scrollView.zoomPopup(), nullptr);
    EXPECT_EQ(scrollView.scalingView(), nullptr);
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 1.0);
    scrollView.setScaleFactor(2.0);
    scrollView.zoomIn(nullptr);
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 1.0);
    QWidget loose;
    EXPECT_EQ(IXScalingScrollView::scalingScrollView(&loose), nullptr);
}

TEST_F(IXScalingScrollViewTest, WithoutHorizontalScrollerThereIsNoPopupAndNoZoom)
{
    scrollView.setScaleFactor(2.0);
    scrollView.setHasHorizontalScroller(false);
    EXPECT_DOUBLE_EQ(scrollView.scaleFactor(), 1.0);
    EXPECT_FALSE(scrollView.zoomPopup()->isVisible());
    scrollView.setHasHorizontalScroller(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(scrollView.zoomPopup()->isVisible());
}

TEST_F(IXScalingScrollViewTest, PopupSitsAtTheLeftOfTheHorizontalScroller)
{
    scrollView.setScaleFactor(0.333);
    QCoreApplication::processEvents();
    const QComboBox* popup = scrollView.zoomPopup();
    const QRect popupRect(popup->mapTo(&scrollView, QPoint(0, 0)), popup->size());
    const QScrollBar* scroller = scrollView.horizontalScrollBar();
    const QRect scrollerRect(scroller->mapTo(&scrollView, QPoint(0, 0)), scroller->size());
    EXPECT_LE(popupRect.left(), 2);
    EXPECT_LE(popupRect.right(), scrollerRect.left());
    EXPECT_LE(popupRect.width(), popup->sizeHint().width()) << "sized to fit its titles";
    EXPECT_GT(scrollerRect.width(), scrollView.width() / 2);
    EXPECT_GE(popupRect.bottom(), scrollerRect.top());
    EXPECT_GE(popupRect.top(), scrollView.viewport()->height() - 2) << "below the visible area";

    const QImage picture = scrollView.grab().toImage();
    EXPECT_EQ(picture.size(), scrollView.size() * picture.devicePixelRatio());
    const QString out = QDir::temp().filePath(QStringLiteral("IXScalingScrollView.png"));
    picture.save(out);
}

}
