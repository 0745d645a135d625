#pragma once

#include "Inspectors/IXMixedValue.h"
#include "Platform/Drawing/PLColor.h"

#include <QWidget>

class QColorDialog;

// A small well that shows a colour an inspector reads over the selected objects: the colour
// on a checkerboard (so transparency shows), a diagonal stripe for multiple values, and an
// empty, disabled well with no selection or where the colour does not apply.
//
// Clicking it opens the application's one colour dialog, bound to this well until another
// well takes it or the dialog closes; each colour the user picks there is announced by
// colorChosen, which is the only signal: showing a value never announces anything.
class IXColorWell : public QWidget {
    Q_OBJECT
public:
    static constexpr int WellWidth = 44;
    static constexpr int WellHeight = 20;

    explicit IXColorWell(QWidget* parent = nullptr);
    ~IXColorWell() override;

    void setMixedColor(const IXMixedValue<PLColor>& color);
    const IXMixedValue<PLColor>& mixedColor() const { return m_color; }

    // Opens the shared colour dialog for this well (what a click does).
    void activate();
    bool isActive() const;
    // Lets the dialog go (it stays open, bound to no well).
    void deactivate();
    // A colour the user picked for this well: shown and announced.
    void takeColor(const PLColor& color);
    // The dialog every well shares, made on first use.
    static QColorDialog* colorDialog();

    QSize sizeHint() const override;

signals:
    void colorChosen(const PLColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    IXMixedValue<PLColor> m_color = IXMixedValue<PLColor>::noSelection();
};
