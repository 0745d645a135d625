#include "DocumentViews/IXSelectionTool.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXHighlightView.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXTrackingLoop.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Drawing/PLPixels.h"

#include <QSet>
#include <QWidget>

#include <cmath>

namespace {

QWidget* widgetOf(IXLayoutContext* context)
{
    return context ? dynamic_cast<QWidget*>(context->view()) : nullptr;
}

IXSelection documentSelection(IXLayoutContext* context)
{
    return IXSelection::selectionWithNode(context->documentNode()->shared_from_this());
}

bool isSelectable(const IXNode* node)
{
    return node && (node->isBranch() || node->isPicture() || node->isComment());
}

}  // namespace

IXSelectionTool::IXSelectionTool(IXToolManager* manager)
    : IXTool(manager)
{
}

IXSelectionTool::~IXSelectionTool()
{
    delete m_highlightView.data();
}

bool IXSelectionTool::activateTool()
{
    PL_ASSERT_PARAM(!m_highlightView && !m_selection, "!_highlightView && !_selection");
    if (!IXTool::activateTool()) return false;
    context()->setHighlights(IXSelection());
    return true;
}

bool IXSelectionTool::commitTool()
{
    if (!m_selection) return false;
    if (IXLayoutContext* layout = context()) layout->setSelection(*m_selection);
    discardTool();
    return true;
}

void IXSelectionTool::discardTool()
{
    delete m_highlightView.data();
    m_selection.reset();
    if (IXLayoutContext* layout = context()) layout->setHighlights(IXSelection());
    IXTool::discardTool();
}

QWidget* IXSelectionTool::highlightView() const
{
    return m_highlightView;
}

PLRect IXSelectionTool::rubberBand() const
{
    return PLRect(std::min(m_startPoint.x, m_currentPoint.x), std::min(m_startPoint.y, m_currentPoint.y),
                  std::abs(m_currentPoint.x - m_startPoint.x), std::abs(m_currentPoint.y - m_startPoint.y));
}

void IXSelectionTool::startWithEvent(const IXToolEvent& event)
{
    const PLMouseEvent* down = event.mouseEvent();
    if (!down || down->type() != PLMouseEvent::LeftMouseDown) {
        discardTool();
        return;
    }
    pressAt(down->locationInView());

    // The tool may be ended, and released, by whatever runs while the loop waits.
    const QPointer<IXSelectionTool> self(this);
    {
        IXTrackingLoop loop(widgetOf(context()));
        for (;;) {
            const PLMouseEvent next = loop.nextEvent();
            if (!self || !context()) return;
            if (next.type() == PLMouseEvent::TrackingCancelled) {
                discardTool();
                break;
            }
            if (next.type() == PLMouseEvent::LeftMouseUp) {
                commitTool();
                break;
            }
            dragTo(next.locationInView());
            if (IXLayoutView* view = context() ? context()->view() : nullptr) view->autoscroll(next);
        }
    }
    if (self && isActive()) discardTool();
}

void IXSelectionTool::pressAt(PLPoint point)
{
    PL_ASSERT_PARAM(context(), "_context");
    m_startPoint = m_currentPoint = point;
    m_selection = documentSelection(context());
    context()->setSelection(*m_selection);
}

void IXSelectionTool::dragTo(PLPoint point)
{
    if (!context()) return;
    m_currentPoint = point;
    updateView();
    updateSelection();
}

void IXSelectionTool::updateView()
{
    QWidget* view = widgetOf(context());
    if (!view) return;
    const PLRect band = rubberBand();
    // The view is y-up; its child widgets are placed in Qt's y-down space.
    const QRect frame(PLPixels::roundedInt(band.minX()), PLPixels::roundedInt(view->height() - band.maxY()),
                      PLPixels::roundedInt(band.width()), PLPixels::roundedInt(band.height()));
    if (!m_highlightView) {
        m_highlightView = new IXHighlightView(view);
        m_highlightView->setGeometry(frame);
        m_highlightView->show();
    } else {
        m_highlightView->setGeometry(frame);
    }
}

void IXSelectionTool::updateSelection()
{
    IXLayoutContext* layout = context();
    if (!layout) return;
    const PLRect band = rubberBand();
    const IXLayoutContext::HitCandidates candidates = layout->drawCandidatesInRect(band);
    IXSelection::NodeList nodes;
    QSet<const IXNode*> taken;
    for (IXLayoutCell* cell : candidates.cells) {
        IXNode* node = cell->node();
        if (!cell->context() || !isSelectable(node) || taken.contains(node)) continue;
        const PLRect bounds = cell->bounds();
        if (!cell->hitTest(PLPoint(bounds.midX(), bounds.midY()))) continue;
        if (!layout->coordinates().convertRectFromCell(bounds, cell).intersects(band)) continue;
        taken.insert(node);
        nodes.append(node->shared_from_this());
    }
    m_selection = nodes.isEmpty() ? documentSelection(layout) : IXSelection::selectionWithArray(nodes);
    layout->setHighlights(*m_selection);
}
