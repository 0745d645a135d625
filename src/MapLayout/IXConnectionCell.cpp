#include "MapLayout/IXConnectionCell.h"

#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/System/PLMouseEvent.h"
#include "Utilities/UTBroadcaster.h"

#include <algorithm>
#include <cmath>

namespace {

// The curve's tolerance around its stroke, for hovering and clicking.
constexpr float HitSlack = 2;

PLPoint centerOf(const PLRect& rect)
{
    return PLPoint(rect.midX(), rect.midY());
}

} // namespace

IXConnectionCell::IXConnectionCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node)
    : IXLayoutCell(context, parent, node)
{
}

IXConnectionCell::~IXConnectionCell() = default;

bool IXConnectionCell::isBranchConnection() const
{
    const IXNode* connection = node();
    return connection && connection->parentNode() && connection->parentNode()->isBranch();
}

IXLayoutCell* IXConnectionCell::sourceCell() const
{
    IXNode* connection = node();
    IXNode* owner = connection ? connection->parentNode() : nullptr;
    if (!owner || !context()) return nullptr;
    if (owner->isBranch()) return context()->cells().branchCellForNode(owner);
    return context()->cells().cellForNode(owner);
}

IXLayoutCell* IXConnectionCell::targetCell() const
{
    auto* connection = dynamic_cast<IXConnectionNode*>(node());
    if (!connection || !context()) return nullptr;
    const std::shared_ptr<IXNode> target = connection->targetNode();
    if (!target || !target->isBranch()) return nullptr;
    return context()->cells().branchCellForNode(target.get());
}

// --- End cells and paths ---

void IXConnectionCell::purge()
{
    m_connectionPath.reset();
    m_linePath.reset();
    m_dotPath.reset();
    m_arrowPath.reset();
}

void IXConnectionCell::clearConnectionCells()
{
    m_sourceCell.reset();
    m_targetCell.reset();
    purge();
}

void IXConnectionCell::resetConnectionCells()
{
    IXLayoutCell* source = sourceCell();
    IXLayoutCell* target = targetCell();
    m_sourceCell = source ? source->shared_from_this() : nullptr;
    m_targetCell = target ? target->shared_from_this() : nullptr;
    purge();
    listenToNodes();
}

// Listens to its own node's changes and to its target's leaving, filtered by sender, so
// that a notice costs only the cells it concerns.
void IXConnectionCell::listenToNodes()
{
    auto* connection = dynamic_cast<IXConnectionNode*>(node());
    UTBroadcaster* broadcaster = connection ? connection->observers() : nullptr;
    if (!broadcaster) return;
    broadcaster->removeObserver(this);
    broadcaster->addObserverTarget(this, static_cast<IXNode*>(connection));
    if (const std::shared_ptr<IXNode> target = connection->targetNode())
        broadcaster->addObserverTarget(this, target.get());
}

bool IXConnectionCell::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXNodeDetach, IXConnectionNodeDidChangeProperty});
}

void IXConnectionCell::notifiedOfNodeDetach(IXNode* node)
{
    auto* connection = dynamic_cast<IXConnectionNode*>(this->node());
    if (!connection || !m_targetCell) return;
    if (m_targetCell->node() == node || connection->targetNode().get() == node) {
        m_targetCell.reset();
        purge();
    }
}

void IXConnectionCell::notifiedOfConnectionNode(IXConnectionNode* node, const QString& property)
{
    if (node != this->node() || property != IXProperties::TargetRef) return;
    m_targetCell.reset();
    purge();
}

PLRect IXConnectionCell::canvasBoundsOf(IXLayoutCell* cell)
{
    return cell->convertRectToCell(cell->bounds(), nullptr);
}

IXConnectionCell::EndPoints IXConnectionCell::endPoints(const PLRect& box, PLPoint offset)
{
    const PLRect grown = box.insetBy(-4, -4);
    const float hw = grown.width() / 2;
    const float hh = grown.height() / 2;
    const PLPoint center = centerOf(grown);
    const float sx = offset.x > 0 ? 1.0f : -1.0f;
    const float sy = offset.y > 0 ? 1.0f : -1.0f;
    const float k = std::clamp(std::sqrt(offset.x * offset.x + offset.y * offset.y) / 50.0f, 1.0f, 2.5f);
    const float kx = offset.x * k;
    const float ky = offset.y * k;
    float ax = 0;
    float ay = 0;
    if (std::fabs(kx) < 3) {
        ay = hh * sy;
    } else if (std::fabs(ky) < 3) {
        ax = hw * sx;
    } else {
        ax = hw * sx;
        ay = ky * ax / kx;
        if (std::fabs(ay) > hh) {
            ay = hh * sy;
            ax = kx * ay / ky;
        }
    }
    // A control point inside the box would bend the curve back into it.
    const bool anchorFurther = std::fabs(ax) > std::fabs(kx) || std::fabs(ay) > std::fabs(ky);
    const PLPoint control = anchorFurther ? PLPoint(ax, ay) : PLPoint(kx, ky);
    return {PLPoint(center.x + ax, center.y + ay), PLPoint(center.x + control.x, center.y + control.y)};
}

void IXConnectionCell::buildPaths()
{
    if (m_connectionPath || !m_sourceCell || !m_targetCell) return;
    const std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    if (!style) return;
    const float width = IXGeometryLimits::connectionLineWidth(*style);
    const EndPoints start = endPoints(canvasBoundsOf(m_sourceCell.get()), IXGeometryLimits::connectionOffset1(*style));
    const EndPoints end = endPoints(canvasBoundsOf(m_targetCell.get()), IXGeometryLimits::connectionOffset2(*style));

    PLBezierPath curve;
    curve.moveToPoint(start.anchor);
    curve.curveToPoint(end.anchor, start.control, end.control);
    curve.setLineWidth(width);
    curve.setLineCapStyle(PLBezierPath::LineCap::Round);
    m_connectionPath = curve;

    PLBezierPath line = curve;
    line.setLineDash({width * 6, width * 2}, 0);
    m_linePath = line;

    PLBezierPath dot;
    dot.moveToPoint(start.anchor);
    dot.appendBezierPathWithArcWithCenter(start.anchor, 2 * width, 0, 360);
    m_dotPath = dot;

    PLBezierPath arrow = line.bezierPathWithArrowHeadForEndOfLength(width * 7, 20);
    arrow.closePath();
    arrow.setLineCapStyle(PLBezierPath::LineCap::Round);
    arrow.setLineWidth(width);
    arrow.setLineDash({}, 0);
    m_arrowPath = arrow;
}

const PLBezierPath* IXConnectionCell::connectionPath()
{
    buildPaths();
    return m_connectionPath ? &*m_connectionPath : nullptr;
}

const PLBezierPath* IXConnectionCell::linePath()
{
    buildPaths();
    return m_linePath ? &*m_linePath : nullptr;
}

const PLBezierPath* IXConnectionCell::dotPath()
{
    buildPaths();
    return m_dotPath ? &*m_dotPath : nullptr;
}

const PLBezierPath* IXConnectionCell::arrowPath()
{
    buildPaths();
    return m_arrowPath ? &*m_arrowPath : nullptr;
}

std::optional<std::array<PLPoint, 4>> IXConnectionCell::points()
{
    if (!m_sourceCell || !m_targetCell) return std::nullopt;
    const std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    if (!style) return std::nullopt;
    const PLPoint source = centerOf(canvasBoundsOf(m_sourceCell.get()));
    const PLPoint target = centerOf(canvasBoundsOf(m_targetCell.get()));
    return std::array<PLPoint, 4>{source, source + IXGeometryLimits::connectionOffset1(*style),
                                  target + IXGeometryLimits::connectionOffset2(*style), target};
}

// --- Cell protocol ---

void IXConnectionCell::invalidate()
{
    purge();
    m_sourceCell.reset();
    m_targetCell.reset();
    IXLayoutCell::invalidate();
}

void IXConnectionCell::invalidateLayout()
{
    clearConnectionCells();
    IXLayoutCell::invalidateLayout();
}

bool IXConnectionCell::isVisible()
{
    return m_sourceCell && m_targetCell;
}

void IXConnectionCell::layout()
{
    resetConnectionCells();
    PLRect bounds;
    // Laying out the target may drop this cell's links (a reload of the floating nodes): the
    // cells stay alive while this layout uses them.
    const std::shared_ptr<IXLayoutCell> source = m_sourceCell;
    const std::shared_ptr<IXLayoutCell> target = m_targetCell;
    if (source && !isBranchConnection()) {
        // A floating picture or comment sits at its target's centre plus its offset.
        const std::shared_ptr<const IXStyleNode> floatingStyle = source->styleForReading();
        PLPoint origin = floatingStyle ? IXGeometryLimits::floatingTargetOffset(*floatingStyle) : PLPoint();
        if (target) {
            const PLPoint canvasPoint = centerOf(canvasBoundsOf(target.get())) + origin;
            IXLayoutCell* holder = source->parent();
            origin = holder ? holder->convertPointFromCell(canvasPoint, nullptr) : canvasPoint;
        }
        if (source->origin() != origin) source->setOrigin(origin);
    }
    if (m_sourceCell) bounds = bounds.united(canvasBoundsOf(m_sourceCell.get()));
    if (m_targetCell) bounds = bounds.united(canvasBoundsOf(m_targetCell.get()));
    if (isBranchConnection()) {
        if (const PLBezierPath* line = linePath()) {
            const float width = line->lineWidth();
            bounds = bounds.united(line->bounds()).insetBy(-width, -width);
        }
    }
    if (bounds != m_frame || bounds != m_bounds) {
        m_frame = bounds;
        m_bounds = bounds;
        invalidateTransform();
    }
}

bool IXConnectionCell::curveContainsPoint(const PLBezierPath* path, PLPoint point) const
{
    return path && path->strokeContainsPoint(point, path->lineWidth() + HitSlack);
}

bool IXConnectionCell::hitTest(PLPoint point)
{
    if (!isBranchConnection()) return false;
    return bounds().containsPoint(point) && curveContainsPoint(connectionPath(), point);
}

bool IXConnectionCell::acceptsMouseMoves(const PLMouseEvent& event)
{
    if (!isBranchConnection() || !context()) return false;
    return curveContainsPoint(connectionPath(), context()->coordinates().convertPointToCell(event.locationInView(), this));
}

void IXConnectionCell::mouseMoved(const PLMouseEvent& event)
{
    if (!isBranchConnection() || !context()) return;
    if (curveContainsPoint(connectionPath(), context()->coordinates().convertPointToCell(event.locationInView(), this)))
        context()->setHighlights(IXSelection::selectionWithNode(node()->shared_from_this()));
    else if (isHighlighted())
        context()->setHighlights(IXSelection());
}

void IXConnectionCell::mouseExited(const PLMouseEvent&)
{
    if (context() && isHighlighted()) context()->setHighlights(IXSelection());
}

bool IXConnectionCell::trackMouse(const PLMouseEvent& event)
{
    if (!isBranchConnection() || !context()) return false;
    if (!curveContainsPoint(linePath(), context()->coordinates().convertPointToCell(event.locationInView(), this))) return false;
    IXLayoutContext* context = this->context();
    const std::shared_ptr<IXNode> connection = node()->shared_from_this();
    if (event.hasModifier(PLMouseEvent::Control) || event.hasModifier(PLMouseEvent::Option) ||
        event.hasModifier(PLMouseEvent::Command))
        context->setSelection(IXSelection());
    else if (event.hasModifier(PLMouseEvent::Shift))
        context->setSelection(context->selection().selectionByTriggeringNode(connection));
    else
        context->setSelection(IXSelection::selectionWithNode(connection));
    return true;
}

// --- Drawing ---

void IXConnectionCell::drawFloatingLink(PLGraphicsContext& graphics)
{
    const std::shared_ptr<const IXStyleNode> floatingStyle = m_sourceCell->styleForReading();
    if (!floatingStyle) return;
    const float width = IXGeometryLimits::floatingLineWidth(*floatingStyle);
    if (!(width > 0)) return;
    const PLRect sourceBox = m_sourceCell->convertRectToCell(m_sourceCell->bounds(), this);
    const PLRect targetBox = m_targetCell->convertRectToCell(m_targetCell->bounds(), this);
    PLBezierPath link;
    link.moveToPoint(centerOf(sourceBox));
    link.lineToPoint(centerOf(targetBox));
    link.setLineWidth(width);
    // Inside either box the even-odd rule cuts the link away.
    PLBezierPath clip = PLBezierPath::bezierPathWithRect(bounds());
    clip.appendBezierPathWithRect(sourceBox);
    clip.appendBezierPathWithRect(targetBox);
    clip.setWindingRule(PLBezierPath::WindingRule::EvenOdd);
    graphics.saveGraphicsState();
    graphics.clipToPath(clip);
    graphics.setColor(floatingStyle->floatingLineColor());
    graphics.strokePath(link);
    graphics.restoreGraphicsState();
}

void IXConnectionCell::draw(PLGraphicsContext& graphics)
{
    if (!m_sourceCell || !m_targetCell) return;
    if (!isBranchConnection()) {
        drawFloatingLink(graphics);
        return;
    }
    const std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    buildPaths();
    if (!style || !m_linePath) return;
    graphics.saveGraphicsState();
    graphics.setColor(isHighlighted() ? style->connectionHoverColor() : style->connectionColor());
    graphics.strokePath(*m_linePath);
    graphics.fillPath(*m_dotPath);
    graphics.strokePath(*m_dotPath);
    graphics.fillPath(*m_arrowPath);
    graphics.strokePath(*m_arrowPath);
    graphics.restoreGraphicsState();
}
