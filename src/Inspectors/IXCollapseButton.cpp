#include "Inspectors/IXCollapseButton.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

IXCollapseButton::IXCollapseButton(QWidget* parent)
    : QToolButton(parent)
{
    setCheckable(true);
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setArrowType(Qt::RightArrow);
    PLExceptionBoundary::connect(this, &QToolButton::toggled, this,
                                 [this](bool on) { setArrowType(on ? Qt::DownArrow : Qt::RightArrow); });
}

void IXCollapseButton::paintEvent(QPaintEvent*)
try {
    QStylePainter painter(this);
    const QRect area = rect();
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    const QColor base = palette().color(QPalette::Button);
    gradient.setColorAt(0, base.lighter(110));
    gradient.setColorAt(1, base.darker(108));
    painter.fillRect(area, gradient);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.state &= ~(QStyle::State_Sunken | QStyle::State_On);
    painter.drawControl(QStyle::CE_ToolButtonLabel, option);
} catch (...) {
    PLExceptionBoundary::caught();
}
