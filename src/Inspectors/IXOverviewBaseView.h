#pragma once

#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLRect.h"

#include <QImage>
#include <QWidget>

class IXOverviewHost;

// What both overview views share: the document's frame, its visible part (both in the
// document view's y-up space) and the picture of the whole document, centring the visible part
// on a point, and the mouse: a press inside the marked visible part (while it does not cover the
// whole document) drags that part, a click elsewhere centres the visible part there. Drags
// outside the marked part are the subclass's (the framed view moves its window).
//
// The view's own space is y-up as well (origin at its bottom left); Qt's events and painting
// are flipped at the edge. Main thread only.
class IXOverviewBaseView : public QWidget {
    Q_OBJECT
public:
    explicit IXOverviewBaseView(QWidget* parent = nullptr);
    ~IXOverviewBaseView() override;

    void setHost(IXOverviewHost* host) { m_host = host; }
    IXOverviewHost* host() const { return m_host; }

    const PLRect& visibleFrame() const { return m_visibleFrame; }
    // Stores and repaints.
    void setVisibleFrame(const PLRect& frame);
    const PLRect& documentFrame() const { return m_documentFrame; }
    virtual void setDocumentFrame(const PLRect& frame) = 0;
    const QImage& documentPreview() const { return m_documentPreview; }
    // Keeps the picture (null for none) when it differs from the current one, and repaints.
    void setDocumentPreview(const QImage& preview);
    // Preview width over document width, set by reconstruct.
    float scaleFactor() const { return m_scaleFactor; }
    bool isDragging() const { return m_dragging; }

    // The size of the picture for a document of the size.
    virtual PLSize previewSizeForDocumentSize(PLSize size) const = 0;
    // Recomputes the scale (and, in subclasses, the frame) from the document's size; nothing
    // for an empty document.
    virtual void reconstruct() = 0;
    // The marked visible part in the view's space.
    virtual PLRect scaledVisibleRect() const = 0;
    // The document point under a point of the view.
    virtual PLPoint documentPointForViewPoint(PLPoint point) const = 0;
    // Centres the visible part on the document point, kept within the document, and scrolls the
    // document there.
    void visibleRectToPoint(PLPoint point);

    // Between Qt's y-down widget coordinates and the view's y-up space.
    PLPoint pointFromQt(QPointF point) const;
    QRectF rectToQt(const PLRect& rect) const;

protected:
    void setScaleFactor(float factor) { m_scaleFactor = factor; }
    void storeDocumentFrame(const PLRect& frame) { m_documentFrame = frame; }
    // A drag that started outside the marked part: at its start (global position) and at
    // every move (view point, global position).
    virtual void beginOutsideDrag(QPoint global) { (void)global; }
    virtual void outsideDragTo(PLPoint point, QPoint global) = 0;
    // The button went up, after the click's centring.
    virtual void dragEnded() { }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    IXOverviewHost* m_host = nullptr;
    PLRect m_visibleFrame;
    PLRect m_documentFrame;
    QImage m_documentPreview;
    float m_scaleFactor = 1.0f;
    bool m_dragging = false;
    bool m_pressed = false;
    bool m_movesVisiblePart = false;
    PLPoint m_downPoint;
    PLPoint m_startOrigin;
};
