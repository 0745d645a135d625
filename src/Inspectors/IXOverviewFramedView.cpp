#include "Inspectors/IXOverviewFramedView.h"

#include "Inspectors/IXOverviewHost.h"
#include "Inspectors/IXOverviewWindow.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

IXOverviewFramedView::IXOverviewFramedView(QWidget* parent)
    : IXOverviewBaseView(parent)
{
}

IXOverviewFramedView::~IXOverviewFramedView() = default;

IXOverviewWindow* IXOverviewFramedView::overviewWindow() const
{
    return qobject_cast<IXOverviewWindow*>(parentWidget());
}

void IXOverviewFramedView::setSizeFactor(float factor)
{
    factor = std::clamp(factor, 0.1f, 5.0f);
    const IXOverviewWindow* window = overviewWindow();
    const float maximumWidth = window ? float(window->maximumFrameSize().width()) : 0.0f;
    const float hostWidth = host() ? host()->hostWindowWidth() : 0.0f;
    if (maximumWidth > 0 && hostWidth > 0) {
        factor = std::min(factor, hostWidth * 0.3f / maximumWidth);
        factor = std::max(factor, hostWidth * 0.1f / maximumWidth);
    }
    if (factor == m_sizeFactor) return;
    m_sizeFactor = factor;
    reconstruct();
}

void IXOverviewFramedView::setDocumentFrame(const PLRect& frame)
{
    const bool resized = !(frame.size == documentFrame().size);
    storeDocumentFrame(frame);
    if (resized) reconstruct();
}

PLSize IXOverviewFramedView::previewSizeForDocumentSize(PLSize size) const
{
    const IXOverviewWindow* window = overviewWindow();
    const QSize maximum
        = window ? window->maximumFrameSize() : QSize(IXOverviewWindow::MaximumSide, IXOverviewWindow::MaximumSide);
    float width = float(maximum.width() + 2 * BorderX);
    float height = float(maximum.height() + 2 * BorderY);
    if (size.width > size.height)
        height = size.height * width / size.width;
    else if (size.height > 0)
        width = size.width * height / size.height;
    // A map far taller than wide (or wider than tall) still gets a picture a pixel across.
    return PLSize(std::max(1.0f, std::floor(m_sizeFactor * width)), std::max(1.0f, std::floor(m_sizeFactor * height)));
}

void IXOverviewFramedView::reconstruct()
{
    const PLSize document = documentFrame().size;
    if (!(document.width > 0) || !(document.height > 0)) return;
    const PLSize preview = previewSizeForDocumentSize(document);
    setScaleFactor(preview.width / document.width);
    if (IXOverviewWindow* window = overviewWindow()) {
        // The top left stays where it is.
        const PLRect old = window->frameUp();
        const float width = preview.width + 2 * BorderX;
        const float height = preview.height + 2 * BorderY;
        window->setFrameUp(PLRect(old.minX(), old.maxY() - height, width, height));
        adjustForHost();
    }
    update();
}

PLRect IXOverviewFramedView::scaledVisibleRect() const
{
    const float s = scaleFactor();
    const PLRect& visible = visibleFrame();
    const float width = std::max(4.0f, std::floor(s * visible.width()));
    const float height = std::max(4.0f, std::floor(s * visible.height()));
    return PLRect(std::floor(s * visible.minX()) + BorderX, std::floor(s * visible.minY()) + BorderY,
                  std::min(width, float(this->width() - 2 * BorderX)),
                  std::min(height, float(this->height() - 2 * BorderY)));
}

PLPoint IXOverviewFramedView::documentPointForViewPoint(PLPoint point) const
{
    const float s = scaleFactor();
    return PLPoint((point.x - BorderX) / s, (point.y - BorderY) / s);
}

PLRect IXOverviewFramedView::adaptFrame(PLRect frame, const PLRect& host, unsigned sticky)
{
    float x = frame.minX(), y = frame.minY();
    const float w = frame.width(), h = frame.height();
    if (y + h > host.maxY()) y = host.maxY() - h;
    y = std::max(host.minY(), y);
    if (x + w > host.maxX()) x = host.maxX() - w;
    x = std::max(host.minX(), x);
    if ((sticky & StickTop) && host.maxY() - h > y) y = host.maxY() - h;
    if ((sticky & StickRight) && host.maxX() - w > x) x = host.maxX() - w;
    if (sticky & StickBottom) y = host.minY();
    if (sticky & StickLeft) x = host.minX();
    return PLRect(x, y, w, h);
}

unsigned IXOverviewFramedView::stickyFlagsFor(const PLRect& frame, const PLRect& host)
{
    unsigned flags = 0;
    if (frame.maxY() >= host.maxY()) flags |= StickTop;
    if (frame.maxX() >= host.maxX()) flags |= StickRight;
    if (host.minY() >= frame.minY()) flags |= StickBottom;
    if (host.minX() >= frame.minX()) flags |= StickLeft;
    return flags;
}

void IXOverviewFramedView::adjustForHost(bool applySticky)
{
    IXOverviewWindow* window = overviewWindow();
    if (!window || !host()) return;
    const PLRect area = host()->hostWindowFrame();
    if (area.isEmpty()) return;
    const PLRect frame = window->frameUp();
    const PLRect adapted = adaptFrame(frame, area, applySticky ? m_stickyBorder : 0);
    if (!(adapted.origin == frame.origin)) window->setFrameUp(adapted);
    updateStickyFlags();
}

void IXOverviewFramedView::updateStickyFlags()
{
    const IXOverviewWindow* window = overviewWindow();
    if (!window || !host()) return;
    const PLRect area = host()->hostWindowFrame();
    if (area.isEmpty()) return;
    m_stickyBorder = stickyFlagsFor(window->frameUp(), area);
}

void IXOverviewFramedView::mousePressEvent(QMouseEvent* event)
{
    // To the front of its window's siblings, as a window comes to the front when clicked.
    if (IXOverviewWindow* window = overviewWindow()) window->raise();
    IXOverviewBaseView::mousePressEvent(event);
}

void IXOverviewFramedView::wheelEvent(QWheelEvent* event)
try {
    if (IXOverviewWindow* window = overviewWindow())
        window->scrollWheel(event);
    else
        event->ignore();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXOverviewFramedView::beginOutsideDrag(QPoint global)
{
    const IXOverviewWindow* window = overviewWindow();
    if (!window) return;
    const PLPoint mouse = window->globalPointUp(global);
    const PLRect frame = window->frameUp();
    m_grabOffset = PLPoint(mouse.x - frame.minX(), mouse.y - frame.minY());
}

void IXOverviewFramedView::outsideDragTo(PLPoint, QPoint global)
{
    IXOverviewWindow* window = overviewWindow();
    if (!window) return;
    m_stickyBorder = 0;
    const PLPoint mouse = window->globalPointUp(global);
    PLRect frame = window->frameUp();
    frame.origin = PLPoint(std::floor(mouse.x - m_grabOffset.x), std::floor(mouse.y - m_grabOffset.y));
    if (host() && !host()->hostWindowFrame().isEmpty()) frame = adaptFrame(frame, host()->hostWindowFrame(), 0);
    window->setFrameUp(frame);
}

void IXOverviewFramedView::dragEnded()
{
    updateStickyFlags();
}

void IXOverviewFramedView::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    const QRectF inner = QRectF(rect()).adjusted(BorderX, BorderY, -BorderX, -BorderY);
    const QColor background = palette().color(QPalette::Base);
    // A soft shadow below the frame (it falls 2 points down).
    painter.setPen(Qt::NoPen);
    for (int ring = 4; ring >= 1; --ring) {
        painter.setBrush(QColor(0, 0, 0, int(0.7 * 255 / (ring + 3))));
        painter.drawRoundedRect(inner.translated(0, 2).adjusted(-ring, -ring, ring, ring), ring, ring);
    }
    painter.setPen(QPen(background, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(inner.adjusted(-0.5, -0.5, 0.5, 0.5));
    if (documentPreview().isNull()) {
        painter.fillRect(inner, background);
        return;
    }
    painter.fillRect(inner, background);
    painter.setOpacity(0.8);
    painter.drawImage(inner, documentPreview());
    painter.setOpacity(1.0);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(inner.adjusted(0.5, 0.5, -0.5, -0.5));
    path.addRect(rectToQt(scaledVisibleRect()).adjusted(0.5, 0.5, -0.5, -0.5));
    QColor tint = palette().color(QPalette::Highlight);
    tint.setAlphaF(0.3f);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(path, tint);
    painter.strokePath(path, QPen(palette().color(QPalette::Dark), 1));
} catch (...) {
    PLExceptionBoundary::caught();
}
