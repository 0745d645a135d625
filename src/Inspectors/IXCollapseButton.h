#pragma once

#include <QToolButton>

// A toggle button that shows a disclosure arrow beside its title over a soft background, for
// the parts of an inspector that fold away (checked: unfolded).
class IXCollapseButton : public QToolButton {
    Q_OBJECT
public:
    explicit IXCollapseButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
