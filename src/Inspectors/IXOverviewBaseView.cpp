#include "Inspectors/IXOverviewBaseView.h"

#include "Inspectors/IXOverviewHost.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

IXOverviewBaseView::IXOverviewBaseView(QWidget* parent)
    : QWidget(parent)
{
}

IXOverviewBaseView::~IXOverviewBaseView() = default;

void IXOverviewBaseView::setVisibleFrame(const PLRect& frame)
{
    if (frame == m_visibleFrame) return;
    m_visibleFrame = frame;
    update();
}

void IXOverviewBaseView::setDocumentPreview(const QImage& preview)
{
    // Pictures compare cheaply when they share their data; a new picture is always new data.
    if (preview.isNull() && m_documentPreview.isNull()) return;
    if (preview.cacheKey() == m_documentPreview.cacheKey()) return;
    m_documentPreview = preview;
    update();
}

void IXOverviewBaseView::visibleRectToPoint(PLPoint point)
{
    const float vw = m_visibleFrame.width();
    const float vh = m_visibleFrame.height();
    float x = std::floor(point.x - vw / 2);
    float y = std::floor(point.y - vh / 2);
    x = std::min(std::max(0.0f, x), m_documentFrame.maxX() - vw);
    y = std::min(std::max(0.0f, y), m_documentFrame.maxY() - vh);
    m_visibleFrame.origin = PLPoint(x, y);
    update();
    if (m_host) m_host->setVisibleFrameToPoint(m_visibleFrame.origin);
}

PLPoint IXOverviewBaseView::pointFromQt(QPointF point) const
{
    return PLPoint(float(point.x()), float(height() - point.y()));
}

QRectF IXOverviewBaseView::rectToQt(const PLRect& rect) const
{
    return rect.toQtRect(float(height()));
}

void IXOverviewBaseView::mousePressEvent(QMouseEvent* event)
try {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const PLPoint point = pointFromQt(event->position());
    m_downPoint = PLPoint(std::floor(point.x), std::floor(point.y));
    m_startOrigin = m_visibleFrame.origin;
    const bool wholeDocument
        = !(m_visibleFrame.width() < m_documentFrame.width() || m_visibleFrame.height() < m_documentFrame.height());
    m_movesVisiblePart = !wholeDocument && scaledVisibleRect().containsPoint(m_downPoint);
    m_pressed = true;
    m_dragging = false;
    if (!m_movesVisiblePart) beginOutsideDrag(event->globalPosition().toPoint());
    event->accept();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXOverviewBaseView::mouseMoveEvent(QMouseEvent* event)
try {
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)) return;
    const PLPoint point = pointFromQt(event->position());
    m_dragging = true;
    if (m_movesVisiblePart) {
        if (m_host && m_scaleFactor > 0)
            m_host->setVisibleFrameToPoint(PLPoint(m_startOrigin.x + (point.x - m_downPoint.x) / m_scaleFactor,
                                                   m_startOrigin.y + (point.y - m_downPoint.y) / m_scaleFactor));
    } else {
        outsideDragTo(point, event->globalPosition().toPoint());
    }
    event->accept();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXOverviewBaseView::mouseReleaseEvent(QMouseEvent* event)
try {
    if (!m_pressed || event->button() != Qt::LeftButton) return;
    m_pressed = false;
    if (!m_dragging && m_scaleFactor > 0) visibleRectToPoint(documentPointForViewPoint(pointFromQt(event->position())));
    dragEnded();
    m_dragging = false;
    event->accept();
} catch (...) {
    PLExceptionBoundary::caught();
}
