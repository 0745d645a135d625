#pragma once

#include <QWidget>

// The face of a glued panel: a rounded, translucent body with a soft shadow and resize marks
// in its four corners. While its panel has the focus the frame is opaque and outlined in the
// focus colour; otherwise it takes its alpha value. It never takes a mouse press: presses on
// it go to the panel, which moves or resizes itself.
class IXSlaveFrameView : public QWidget {
    Q_OBJECT
public:
    explicit IXSlaveFrameView(QWidget* parent = nullptr);

    double alphaValue() const { return m_alphaValue; }
    // Clamped to 0..1; repaints.
    void setAlphaValue(double alpha);
    // Whether the frame is drawn as the key panel's (the panel's focus decides).
    bool isKey() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double m_alphaValue = 1.0;
};
