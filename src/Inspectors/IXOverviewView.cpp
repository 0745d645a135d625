#include "Inspectors/IXOverviewView.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

IXOverviewView::IXOverviewView(QWidget* parent)
    : IXOverviewBaseView(parent)
{
}

IXOverviewView::~IXOverviewView() = default;

void IXOverviewView::setDocumentFrame(const PLRect& frame)
{
    storeDocumentFrame(frame);
    reconstruct();
}

PLSize IXOverviewView::previewSizeForDocumentSize(PLSize size) const
{
    const float fw = float(width()), fh = float(height());
    const float dw = size.width, dh = size.height;
    if (!(dw > 0) || !(dh > 0) || !(fw > 0) || !(fh > 0)) return PLSize(fw, fh);
    // Relatively taller than the view: the height fills it; relatively wider: the width does.
    const float r = dh / dw;
    const float q = fh / fw;
    if (r > q) return PLSize(std::floor(dw * fh / dh), fh);
    if (q > r) return PLSize(fw, std::floor(dh * fw / dw));
    return PLSize(fw, fh);
}

void IXOverviewView::reconstruct()
{
    const PLSize document = documentFrame().size;
    if (!(document.width > 0) || !(document.height > 0)) return;
    const PLSize preview = previewSizeForDocumentSize(document);
    setScaleFactor(preview.width / document.width);
    m_workFrame = PLRect(std::floor((float(width()) - preview.width) / 2),
                         std::floor((float(height()) - preview.height) / 2), preview.width, preview.height);
    update();
}

PLRect IXOverviewView::scaledVisibleRect() const
{
    const float s = scaleFactor();
    const PLRect& visible = visibleFrame();
    const float w = std::min(std::max(4.0f, std::floor(s * visible.width())), float(width()));
    const float h = std::min(std::max(4.0f, std::floor(s * visible.height())), float(height()));
    return PLRect(std::floor(s * visible.minX()) + m_workFrame.minX(),
                  std::floor(s * visible.minY()) + m_workFrame.minY(), w, h);
}

PLPoint IXOverviewView::documentPointForViewPoint(PLPoint point) const
{
    const float s = scaleFactor();
    return PLPoint((point.x - m_workFrame.minX()) / s, (point.y - m_workFrame.minY()) / s);
}

void IXOverviewView::outsideDragTo(PLPoint point, QPoint)
{
    // Following the pointer: centring on where the button went down at every move would make
    // the drag do nothing past the click.
    if (scaleFactor() > 0) visibleRectToPoint(documentPointForViewPoint(point));
}

void IXOverviewView::resizeEvent(QResizeEvent* event)
try {
    QWidget::resizeEvent(event);
    reconstruct();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXOverviewView::paintEvent(QPaintEvent* event)
try {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    if (documentFrame().isEmpty() || documentPreview().isNull()) return;
    const QRectF work = rectToQt(m_workFrame);
    painter.drawImage(work, documentPreview());
    PLRect visible = scaledVisibleRect().insetBy(0.5f, 0.5f).intersected(m_workFrame);
    visible.size = PLSize(std::floor(visible.width()), std::floor(visible.height()));
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(rectToQt(visible));
    path.addRect(rectToQt(m_workFrame.insetBy(0.5f, 0.5f)));
    painter.fillPath(path, QColor::fromRgbF(0.0f, 0.0f, 0.1f, 0.2f));
    painter.strokePath(path, QPen(Qt::gray, 1));
} catch (...) {
    PLExceptionBoundary::caught();
}
