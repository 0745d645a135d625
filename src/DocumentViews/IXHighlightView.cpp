#include "DocumentViews/IXHighlightView.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QPainter>

IXHighlightView::IXHighlightView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void IXHighlightView::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor color = palette().color(QPalette::Active, QPalette::Highlight);
    color.setAlpha(255);
    QColor fill = color;
    fill.setAlphaF(0.05f);
    // The one-unit outline lies inside the bounds.
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(color, 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(box, CornerRadius, CornerRadius);
} catch (...) {
    PLExceptionBoundary::caught();
}
