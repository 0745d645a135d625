#include "MapLayout/IXLayoutCoordinates.h"

#include "MapLayout/IXDocumentViewing.h"
#include "MapLayout/IXLayoutCell.h"
#include "MapLayout/IXLayoutContext.h"

const PLAffineTransform& IXLayoutCoordinates::transCanvasToView()
{
    if (!m_hasValidTransform) {
        IXDocumentViewing* view = m_context.documentView();
        m_transCanvasToView = view ? view->documentViewTransform() : PLAffineTransform();
        m_transViewToCanvas = m_transCanvasToView.inverted();
        m_hasValidTransform = true;
    }
    return m_transCanvasToView;
}

const PLAffineTransform& IXLayoutCoordinates::transViewToCanvas()
{
    transCanvasToView();
    return m_transViewToCanvas;
}

PLPoint IXLayoutCoordinates::convertPointToCell(PLPoint point, IXLayoutCell* cell)
{
    const PLPoint p = transViewToCanvas().transformPoint(point);
    return cell ? cell->transCanvasToLocal().transformPoint(p) : p;
}

PLSize IXLayoutCoordinates::convertSizeToCell(PLSize size, IXLayoutCell* cell)
{
    const PLSize s = transViewToCanvas().transformSize(size);
    return cell ? cell->transCanvasToLocal().transformSize(s) : s;
}

PLRect IXLayoutCoordinates::convertRectToCell(const PLRect& rect, IXLayoutCell* cell)
{
    return PLRect(convertPointToCell(rect.origin, cell), convertSizeToCell(rect.size, cell));
}

PLPoint IXLayoutCoordinates::convertPointFromCell(PLPoint point, IXLayoutCell* cell)
{
    const PLPoint p = cell ? cell->transLocalToCanvas().transformPoint(point) : point;
    return transCanvasToView().transformPoint(p);
}

PLSize IXLayoutCoordinates::convertSizeFromCell(PLSize size, IXLayoutCell* cell)
{
    const PLSize s = cell ? cell->transLocalToCanvas().transformSize(size) : size;
    return transCanvasToView().transformSize(s);
}

PLRect IXLayoutCoordinates::convertRectFromCell(const PLRect& rect, IXLayoutCell* cell)
{
    return PLRect(convertPointFromCell(rect.origin, cell), convertSizeFromCell(rect.size, cell));
}
