#pragma once

#include <QWidget>

// The rubber band of the selection tool: its bounds drawn as a rounded rectangle (corner
// radius 8), filled with the selection colour at 5 % and outlined with it opaque. It takes no
// mouse events and never the focus, so the gesture stays with the view below.
class IXHighlightView : public QWidget {
    Q_OBJECT
public:
    static constexpr double CornerRadius = 8.0;

    explicit IXHighlightView(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
