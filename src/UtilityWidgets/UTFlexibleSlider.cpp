#include "UtilityWidgets/UTFlexibleSlider.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace {

// Steps of the style's integer slider that stand for the shown window.
constexpr int Resolution = 100'000;

} // namespace

UTFlexibleSlider::UTFlexibleSlider(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    m_poll.setInterval(PollInterval);
    PLExceptionBoundary::connect(&m_poll, &QTimer::timeout, this, &UTFlexibleSlider::poll);
}

void UTFlexibleSlider::setFlexible(bool flexible)
{
    if (flexible != m_isFlexible) {
        m_isFlexible = flexible;
        if (flexible) {
            m_realMinValue = m_minValue;
            m_realMaxValue = m_maxValue;
            m_visibleRangeValue = 100;
            recalc();
        } else {
            m_minValue = m_realMinValue;
            m_maxValue = m_realMaxValue;
        }
    }
    update();
}

void UTFlexibleSlider::setMinValue(double value)
{
    if (m_isFlexible) {
        setRealMinValue(value);
    } else {
        m_minValue = value;
        update();
    }
}

void UTFlexibleSlider::setMaxValue(double value)
{
    if (m_isFlexible) {
        setRealMaxValue(value);
    } else {
        m_maxValue = value;
        update();
    }
}

void UTFlexibleSlider::setRealMinValue(double value)
{
    m_realMinValue = value;
    if (m_isFlexible) recalc();
}

void UTFlexibleSlider::setRealMaxValue(double value)
{
    m_realMaxValue = value;
    if (m_isFlexible) recalc();
}

void UTFlexibleSlider::setVisibleRangeValue(double value)
{
    m_visibleRangeValue = value;
    if (m_isFlexible) recalc();
}

void UTFlexibleSlider::setDoubleValue(double value)
{
    if (std::isnan(value)) return;
    if (m_isFlexible && !m_isTracking) {
        m_minValue = m_realMinValue;
        m_maxValue = m_realMaxValue;
    }
    m_value = std::clamp(value, std::min(m_minValue, m_maxValue), std::max(m_minValue, m_maxValue));
    if (m_isFlexible && !m_isTracking) recalc();
    update();
}

void UTFlexibleSlider::setNumberOfTickMarks(int count)
{
    m_numberOfTickMarks = std::max(0, count);
    update();
}

void UTFlexibleSlider::recalc()
{
    const double r0 = m_realMinValue;
    const double r1 = m_realMaxValue;
    const double v = m_value;
    // A range without width has no fraction to keep: the window is the range itself.
    if (!(r1 > r0)) {
        m_minValue = r0;
        m_maxValue = r1;
        update();
        return;
    }
    const double scale = m_visibleRangeValue / (r1 - r0);
    m_minValue = std::max(r0, v - std::ceil((v - r0) * scale));
    m_maxValue = std::min(r1, v + std::ceil((r1 - v) * scale));
    update();
}

std::pair<int, int> UTFlexibleSlider::fadeWidths() const
{
    const double r0 = m_realMinValue;
    const double r1 = m_realMaxValue;
    if (!m_isFlexible || !(r1 > r0)) return {0, 0};
    const double w = width();
    const int left = static_cast<int>(std::floor((m_value - r0) * w / (r1 - r0) * 0.8));
    const int right = static_cast<int>(std::floor((r1 - m_value) * w / (r1 - r0) * 0.8));
    return {std::max(0, left), std::max(0, right)};
}

QSize UTFlexibleSlider::sizeHint() const
try {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const int thickness = style()->pixelMetric(QStyle::PM_SliderThickness, &option, this);
    const int length = 84;
    return style()->sizeFromContents(QStyle::CT_Slider, &option, QSize(length, thickness), this);
} catch (...) {
    PLExceptionBoundary::caught();
    return {};
}

QSize UTFlexibleSlider::minimumSizeHint() const
try {
    QSize size = sizeHint();
    QStyleOptionSlider option;
    initStyleOption(&option);
    size.setWidth(style()->pixelMetric(QStyle::PM_SliderLength, &option, this));
    return size;
} catch (...) {
    PLExceptionBoundary::caught();
    return {};
}

void UTFlexibleSlider::initStyleOption(QStyleOptionSlider* option) const
{
    option->initFrom(this);
    option->orientation = Qt::Horizontal;
    option->minimum = 0;
    option->maximum = Resolution;
    const double span = m_maxValue - m_minValue;
    const double fraction = span > 0 ? std::clamp((m_value - m_minValue) / span, 0.0, 1.0) : 0.0;
    option->sliderPosition = option->sliderValue = static_cast<int>(std::lround(fraction * Resolution));
    option->singleStep = 1;
    option->pageStep = Resolution / 10;
    option->upsideDown = false;
    if (m_numberOfTickMarks > 1) {
        option->tickPosition = QSlider::TicksBelow;
        option->tickInterval = std::max(1, Resolution / (m_numberOfTickMarks - 1));
    } else {
        option->tickPosition = QSlider::NoTicks;
    }
    if (m_isTracking) {
        option->activeSubControls = QStyle::SC_SliderHandle;
        option->state |= QStyle::State_Sunken;
    }
}

double UTFlexibleSlider::valueAtPosition(int x) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int first = groove.x() + handle.width() / 2;
    const int travel = groove.width() - handle.width();
    const double fraction = travel > 0 ? std::clamp(double(x - first) / travel, 0.0, 1.0) : 0.0;
    return m_minValue + fraction * (m_maxValue - m_minValue);
}

void UTFlexibleSlider::paintEvent(QPaintEvent*)
try {
    QStyleOptionSlider option;
    initStyleOption(&option);
    QPainter painter(this);
    const auto [left, right] = fadeWidths();
    if (left == 0 && right == 0) {
        style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
        return;
    }
    // The track and ticks go through a layer whose ends are faded out; the knob is drawn on
    // top at full strength.
    const qreal ratio = devicePixelRatioF();
    QImage layer(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        QStyleOptionSlider track = option;
        track.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderTickmarks;
        style()->drawComplexControl(QStyle::CC_Slider, &track, &layerPainter, this);
        layerPainter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        const int w = width();
        const int h = height();
        for (int p = 0; p < left; ++p) {
            const double alpha = 1.0 - double(left - p) / left;
            layerPainter.fillRect(QRectF(p, 0, 1, h), QColor::fromRgbF(1, 1, 1, float(alpha)));
        }
        for (int q = w - 1; q > w - 1 - right; --q) {
            const double alpha = 1.0 - double(q - (w - 1 - right)) / right;
            layerPainter.fillRect(QRectF(q, 0, 1, h), QColor::fromRgbF(1, 1, 1, float(alpha)));
        }
    }
    painter.drawImage(QPoint(0, 0), layer);
    QStyleOptionSlider knob = option;
    knob.subControls = QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &knob, &painter, this);
} catch (...) {
    PLExceptionBoundary::caught();
}

void UTFlexibleSlider::mousePressEvent(QMouseEvent* event)
try {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const QPoint point = event->position().toPoint();
    m_grabOffset = handle.contains(point) ? point.x() - handle.center().x() : 0;
    m_isTracking = true;
    setCursor(Qt::SizeHorCursor);
    m_currentPoint = point;
    if (m_grabOffset == 0) {
        continueTracking(point);
        emit actionTriggered();
    }
    m_noted.start();
    if (m_isFlexible) m_poll.start();
    update();
} catch (...) {
    PLExceptionBoundary::caught();
}

void UTFlexibleSlider::mouseMoveEvent(QMouseEvent* event)
try {
    if (!m_isTracking) {
        event->ignore();
        return;
    }
    if (m_isFlexible) recalc();
    m_currentPoint = event->position().toPoint();
    continueTracking(m_currentPoint);
    emit actionTriggered();
    m_noted.start();
} catch (...) {
    PLExceptionBoundary::caught();
}

void UTFlexibleSlider::mouseReleaseEvent(QMouseEvent* event)
try {
    if (!m_isTracking || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    stopTracking();
    emit actionTriggered();
} catch (...) {
    PLExceptionBoundary::caught();
}

void UTFlexibleSlider::continueTracking(QPoint point)
{
    const double value = valueAtPosition(point.x() - m_grabOffset);
    m_value = std::clamp(value, std::min(m_minValue, m_maxValue), std::max(m_minValue, m_maxValue));
    update();
}

void UTFlexibleSlider::poll()
{
    if (!m_isTracking) return;
    // Inside the slider a resting mouse leaves the value alone for a while; outside, or
    // once that time has passed, the window moves on every pass.
    if (rect().contains(m_currentPoint) && m_noted.elapsed() <= HoldInterval) return;
    recalc();
    continueTracking(m_currentPoint);
    emit actionTriggered();
}

void UTFlexibleSlider::stopTracking()
{
    m_poll.stop();
    if (m_isFlexible) recalc();
    m_isTracking = false;
    unsetCursor();
    update();
}
