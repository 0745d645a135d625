#include "DocumentViews/IXBalloonView.h"

#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Drawing/PLColor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

IXBalloonView::IXBalloonView(QWidget* parent)
    : QWidget(parent)
{
}

void IXBalloonView::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(4, 6, -4, -6);
    QPainterPath outline;
    outline.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    // A soft shadow below the balloon.
    for (int i = 1; i <= 4; ++i) {
        QPen shadow(QColor(0, 0, 0, int(0.7 * 255 / (i * 3))), i);
        shadow.setJoinStyle(Qt::RoundJoin);
        painter.strokePath(outline.translated(0, 2), shadow);
    }
    QColor fill = PLColor::system(PLColor::System::ControlBackground).toQColor();
    fill.setAlphaF(0.8f);
    painter.fillPath(outline, fill);
    QPen frame(PLColor::system(PLColor::System::WindowFrame).toQColor(), 1);
    frame.setJoinStyle(Qt::RoundJoin);
    painter.strokePath(outline, frame);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXBalloonView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}
