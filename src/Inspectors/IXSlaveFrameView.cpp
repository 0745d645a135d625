#include "Inspectors/IXSlaveFrameView.h"

#include "Inspectors/IXSlavePanel.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr double CornerRadius = 6.0;
constexpr double MarkInset = 3.0;
constexpr double MarkLength = 12.6;
constexpr double MarkRadius = 4.2;

// An L along the two edges that meet at the corner, its bend rounded; dx and dy point from
// the corner into the body.
QPainterPath cornerMark(QPointF corner, double dx, double dy)
{
    const QPointF start = corner + QPointF(dx * MarkInset, dy * MarkInset);
    QPainterPath path(start + QPointF(0, dy * MarkLength));
    path.lineTo(start + QPointF(0, dy * MarkRadius));
    path.quadTo(start, start + QPointF(dx * MarkRadius, 0));
    path.lineTo(start + QPointF(dx * MarkLength, 0));
    return path;
}

}  // namespace

IXSlaveFrameView::IXSlaveFrameView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void IXSlaveFrameView::setAlphaValue(double alpha)
{
    m_alphaValue = std::clamp(alpha, 0.0, 1.0);
    update();
}

bool IXSlaveFrameView::isKey() const
{
    const auto* panel = qobject_cast<const IXSlavePanel*>(parentWidget());
    return panel ? panel->hasFocusInside() && panel->window()->isActiveWindow() : false;
}

void IXSlaveFrameView::paintEvent(QPaintEvent*)
try {
    const bool key = isKey();
    const double alpha = key ? 1.0 : m_alphaValue;
    const QRectF body = QRectF(rect()).adjusted(4, 6, -4, -6).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(body, CornerRadius, CornerRadius);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::Base);
    fill.setAlphaF(float(alpha));
    const QColor line = key ? palette().color(QPalette::Highlight) : palette().color(QPalette::Mid);
    // A soft shadow below the body: a few widening strokes of falling strength.
    for (int step = 4; step >= 1; --step) {
        QColor shadow(0, 0, 0);
        shadow.setAlphaF(float(alpha * 0.08));
        painter.setPen(QPen(shadow, step * 2.0));
        painter.drawPath(outline.translated(0, 2));
    }
    painter.fillPath(outline, fill);
    painter.setPen(QPen(line, 1.0));
    painter.drawPath(outline);
    const QRectF marks = body.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.drawPath(cornerMark(marks.topLeft(), 1, 1));
    painter.drawPath(cornerMark(marks.topRight(), -1, 1));
    painter.drawPath(cornerMark(marks.bottomLeft(), 1, -1));
    painter.drawPath(cornerMark(marks.bottomRight(), -1, -1));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXSlaveFrameView::mousePressEvent(QMouseEvent* event)
{
    // The panel moves or resizes itself.
    event->ignore();
}
