#include "UtilityWidgets/UTFlexibleSlider.h"

#include "UTWidgetTestSupport.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

#include <gtest/gtest.h>

namespace {

// A flexible slider over the real range [r0, r1] with its default visible range of 100.
std::unique_ptr<UTFlexibleSlider> flexibleSlider(double r0, double r1, double value)
{
    auto slider = std::make_unique<UTFlexibleSlider>();
    slider->setMinValue(r0);
    slider->setMaxValue(r1);
    slider->setFlexible(true);
    slider->setDoubleValue(value);
    slider->resize(300, slider->sizeHint().height());
    return slider;
}

// The summed difference of two pictures over columns [first, last).
int columnDifference(const QImage& a, const QImage& b, int first, int last)
{
    int sum = 0;
    for (int x = first; x < last; ++x) {
        for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum;
}

} // namespace

TEST(UTFlexibleSlider, ShownWindowFollowsTheValue)
{
    const struct {
        double r0, r1, visible, value;
        double shownMin, shownMax;
    } table[] = {
        {0, 10'000, 100, 5'000, 4'950, 5'050},
        {0, 10'000, 100, 10'000, 9'900, 10'000},
        {0, 10'000, 100, 0, 0, 100},
        {0, 10'000, 100, 20'000, 9'900, 10'000}, // bounded by the real maximum
        {-500, 500, 10, 250, 242, 253},          // fractions round outward
        {7, 7, 100, 7, 7, 7},                    // no width: the range itself
        {-2e10, 2e10, 100, 1e9, 1e9 - 53, 1e9 + 48},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(testing::Message() << row.r0 << ".." << row.r1 << " at " << row.value);
        auto slider = flexibleSlider(row.r0, row.r1, row.value);
        slider->setVisibleRangeValue(row.visible);
        EXPECT_DOUBLE_EQ(slider->shownMinValue(), row.shownMin);
        EXPECT_DOUBLE_EQ(slider->shownMaxValue(), row.shownMax);
        EXPECT_DOUBLE_EQ(slider->minValue(), row.r0);
        EXPECT_DOUBLE_EQ(slider->maxValue(), row.r1);
        EXPECT_LE(slider->shownMinValue(), slider->doubleValue());
        EXPECT_GE(slider->shownMaxValue(), slider->doubleValue());
    }
}

TEST(UTFlexibleSlider, FlexibleModeKeepsAndRestoresTheRealRange)
{
    auto slider = flexibleSlider(0, 10'000, 5'000);
    EXPECT_DOUBLE_EQ(slider->visibleRangeValue(), 100);
    slider->setMaxValue(20'000);
    EXPECT_DOUBLE_EQ(slider->realMaxValue(), 20'000);
    slider->setDoubleValue(25'000);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 20'000);
    slider->setFlexible(false);
    EXPECT_FALSE(slider->isFlexible());
    EXPECT_DOUBLE_EQ(slider->shownMinValue(), 0);
    EXPECT_DOUBLE_EQ(slider->shownMaxValue(), 20'000);
    slider->setMaxValue(50);
    slider->setDoubleValue(70);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 50);
}

TEST(UTFlexibleSlider, FadesOnlyTowardsRealRangeBeyondTheWindow)
{
    const struct {
        double r0, r1, value;
        bool leftFade, rightFade;
    } table[] = {
        {0, 10'000, 5'000, true, true},
        {0, 10'000, 0, false, true},
        {0, 10'000, 10'000, true, false},
        {3, 3, 3, false, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(testing::Message() << row.r0 << ".." << row.r1 << " at " << row.value);
        auto slider = flexibleSlider(row.r0, row.r1, row.value);
        const auto [left, right] = slider->fadeWidths();
        EXPECT_EQ(left > 0, row.leftFade);
        EXPECT_EQ(right > 0, row.rightFade);
        // The same slider without fade draws the same window; only the faded ends differ.
        UTFlexibleSlider plain;
        plain.setMinValue(slider->shownMinValue());
        plain.setMaxValue(slider->shownMaxValue());
        plain.setDoubleValue(slider->doubleValue());
        plain.resize(slider->size());
        const QImage faded = slider->grab().toImage();
        const QImage unfaded = plain.grab().toImage();
        EXPECT_EQ(columnDifference(faded, unfaded, 0, 8) > 0, row.leftFade);
        EXPECT_EQ(columnDifference(faded, unfaded, faded.width() - 8, faded.width()) > 0, row.rightFade);
    }
}

TEST(UTFlexibleSlider, DragCrossesThePlainRange)
{
    UTFlexibleSlider slider;
    slider.setMinValue(-50);
    slider.setMaxValue(50);
    slider.resize(300, slider.sizeHint().height());
    slider.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
    QSignalSpy actions(&slider, &UTFlexibleSlider::actionTriggered);
    const int y = slider.height() / 2;
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(1, y));
    EXPECT_DOUBLE_EQ(slider.doubleValue(), -50);
    EXPECT_TRUE(slider.isTracking());
    double last = slider.doubleValue();
    for (int x = 20; x < 300; x += 20) {
        QTest::mouseMove(&slider, QPoint(x, y));
        EXPECT_GE(slider.doubleValue(), last);
        last = slider.doubleValue();
    }
    QTest::mouseMove(&slider, QPoint(299, y));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(299, y));
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 50);
    EXPECT_FALSE(slider.isTracking());
    EXPECT_GE(actions.count(), 16);
}

TEST(UTFlexibleSlider, HeldDragKeepsRunningAcrossTheRealRange)
{
    auto slider = flexibleSlider(0, 1'000'000, 500'000);
    slider->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(slider.get()));
    const int y = slider->height() / 2;
    const int centre = slider->width() / 2;
    QSignalSpy actions(slider.get(), &UTFlexibleSlider::actionTriggered);
    QTest::mousePress(slider.get(), Qt::LeftButton, {}, QPoint(centre, y));
    const double start = slider->doubleValue();

    // Dragged past the right end, the window moves on every pass while the mouse stays.
    QTest::mouseMove(slider.get(), QPoint(slider->width() + 40, y));
    const double atEdge = slider->doubleValue();
    EXPECT_LE(atEdge - start, 100);
    QTest::qWait(20 * UTFlexibleSlider::PollInterval);
    EXPECT_GT(slider->doubleValue(), atEdge);
    EXPECT_GT(slider->doubleValue() - start, 100);

    // Held still inside the slider, the value rests at first and then runs.
    QTest::mouseMove(slider.get(), QPoint(slider->width() - 4, y));
    const double held = slider->doubleValue();
    QElapsedTimer resting;
    resting.start();
    QTest::qWait(UTFlexibleSlider::HoldInterval / 4);
    // (A machine too busy to come back in time proves nothing here.)
    if (resting.elapsed() < UTFlexibleSlider::HoldInterval - UTFlexibleSlider::PollInterval) {
        EXPECT_DOUBLE_EQ(slider->doubleValue(), held);
    }
    QTest::qWait(UTFlexibleSlider::HoldInterval + 10 * UTFlexibleSlider::PollInterval);
    EXPECT_GT(slider->doubleValue(), held);

    const qsizetype before = actions.count();
    QTest::mouseRelease(slider.get(), Qt::LeftButton, {}, QPoint(slider->width() - 4, y));
    EXPECT_EQ(actions.count(), before + 1);
    const double released = slider->doubleValue();
    QTest::qWait(4 * UTFlexibleSlider::PollInterval);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), released);
    // The window is centred again on the value after the drag.
    EXPECT_LE(slider->shownMinValue(), released);
    EXPECT_GE(slider->shownMaxValue(), released);
    EXPECT_LE(slider->shownMaxValue() - slider->shownMinValue(), 101);
}

TEST(UTFlexibleSlider, RangeWithoutWidthStaysPut)
{
    auto slider = flexibleSlider(7, 7, 7);
    slider->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(slider.get()));
    const int y = slider->height() / 2;
    QTest::mousePress(slider.get(), Qt::LeftButton, {}, QPoint(10, y));
    QTest::mouseMove(slider.get(), QPoint(slider->width() + 30, y));
    QTest::qWait(4 * UTFlexibleSlider::PollInterval);
    QTest::mouseRelease(slider.get(), Qt::LeftButton, {}, QPoint(slider->width() + 30, y));
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 7);
    EXPECT_DOUBLE_EQ(slider->shownMinValue(), 7);
    EXPECT_DOUBLE_EQ(slider->shownMaxValue(), 7);
    slider->setDoubleValue(std::nan(""));
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 7);
}

TEST(UTFlexibleSlider, Screenshot)
{
    QWidget box;
    box.resize(320, 90);
    auto* plain = new UTFlexibleSlider(&box);
    plain->setGeometry(10, 10, 300, plain->sizeHint().height());
    plain->setMaxValue(100);
    plain->setDoubleValue(30);
    auto* flexible = new UTFlexibleSlider(&box);
    flexible->setGeometry(10, 50, 300, flexible->sizeHint().height());
    flexible->setMinValue(-10'000);
    flexible->setMaxValue(10'000);
    flexible->setFlexible(true);
    flexible->setDoubleValue(2'000);
    const QImage image = saveScreenshot(&box, QStringLiteral("flexible-slider"));
    EXPECT_FALSE(image.isNull());
}
