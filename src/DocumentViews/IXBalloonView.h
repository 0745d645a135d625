#pragma once

#include <QWidget>

// The balloon behind the attachments' rows: a rounded, slightly translucent panel with a shadow
// and a thin frame, drawn 4 points in from its sides and 6 from its top and bottom. Presses on
// its margin go nowhere. Main thread only.
class IXBalloonView : public QWidget {
    Q_OBJECT
public:
    explicit IXBalloonView(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
