#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <utility>

class QStyleOptionSlider;

// A horizontal slider of double values for ranges far too large for a plain slider (years
// of history, geological years, week and day counts). In flexible mode it keeps the real
// minimum and maximum aside and shows only a window of about visibleRangeValue() units
// around the value, placed so that the value sits at the same fraction of the window as of
// the real range. A drag re-centres the window, so holding the knob at an end (or the mouse
// outside the slider) keeps the value running towards that end. The track fades towards an
// end in proportion to the real range that lies beyond it.
//
// The shown window always lies within the real range. A real range of zero width shows
// exactly that range and draws no fade.
class UTFlexibleSlider : public QWidget {
    Q_OBJECT

public:
    // How long the mouse may rest inside the slider before the value starts to run.
    static constexpr int HoldInterval = 500;
    // The period of the timer that keeps a held drag moving.
    static constexpr int PollInterval = 50;

    explicit UTFlexibleSlider(QWidget* parent = nullptr);

    // Turning flexible mode on from off takes the range as the real range with a visible
    // range of 100; turning it off restores the real range.
    bool isFlexible() const { return m_isFlexible; }
    void setFlexible(bool flexible);

    // The real range when flexible, else the slider's range.
    double minValue() const { return m_isFlexible ? m_realMinValue : m_minValue; }
    double maxValue() const { return m_isFlexible ? m_realMaxValue : m_maxValue; }
    void setMinValue(double value);
    void setMaxValue(double value);

    double realMinValue() const { return m_realMinValue; }
    double realMaxValue() const { return m_realMaxValue; }
    double visibleRangeValue() const { return m_visibleRangeValue; }
    void setRealMinValue(double value);
    void setRealMaxValue(double value);
    void setVisibleRangeValue(double value);

    // The window of the range shown now (the whole range when not flexible).
    double shownMinValue() const { return m_minValue; }
    double shownMaxValue() const { return m_maxValue; }

    double doubleValue() const { return m_value; }
    // Bounded by the real range when flexible (the window then follows), else by the range;
    // during a drag by the shown window, which is left as it is.
    void setDoubleValue(double value);

    // Tick marks spread evenly under the track; 0 for none.
    int numberOfTickMarks() const { return m_numberOfTickMarks; }
    void setNumberOfTickMarks(int count);

    bool isTracking() const { return m_isTracking; }

    // Recomputes the shown window around the value.
    void recalc();

    // The widths in pixels of the left and right fades for the slider's current width.
    std::pair<int, int> fadeWidths() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Sent on every step of a drag and once more when the mouse goes up.
    void actionTriggered();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void initStyleOption(QStyleOptionSlider* option) const;
    // The value under a horizontal position in the shown window.
    double valueAtPosition(int x) const;
    void continueTracking(QPoint point);
    void poll();
    void stopTracking();

    bool m_isFlexible = false;
    bool m_isTracking = false;
    double m_realMinValue = 0;
    double m_realMaxValue = 0;
    double m_visibleRangeValue = 0;
    double m_minValue = 0;
    double m_maxValue = 100;
    double m_value = 0;
    int m_numberOfTickMarks = 0;

    QPoint m_currentPoint;
    int m_grabOffset = 0; // from the knob's centre to where it was taken
    QElapsedTimer m_noted;
    QTimer m_poll;
};
