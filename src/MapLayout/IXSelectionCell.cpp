#include "MapLayout/IXSelectionCell.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXConnectionCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXSelectionCell_Resizing.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/System/PLMouseEvent.h"
#include "Platform/System/PLMouseTracking.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::uint32_t DragOrUpMask =
    PLMouseEvent::maskForType(PLMouseEvent::LeftMouseDragged) | PLMouseEvent::maskForType(PLMouseEvent::LeftMouseUp);
// The outline runs this far outside the target; the cell reaches as far again for the knobs.
constexpr float OutlineMargin = 4;
constexpr float SelectionMargin = 8;
// A resized side stays within these lengths (of the selection rectangle).
constexpr float MinimumSide = 20;
constexpr float MaximumSide = 1000;

PLColor strongColor()
{
    return PLColor::system(PLColor::System::AlternateSelectedControl);
}

// The cell that shows the node: a branch group's box stands for the group; a hidden cell
// counts as none.
IXLayoutCell* targetCellForNode(IXLayoutContext* context, IXNode* node)
{
    if (!context || !node) return nullptr;
    IXLayoutCell* cell = context->cells().cellForNode(node);
    if (auto* group = dynamic_cast<IXBranchGroupCell*>(cell)) cell = group->branchCell();
    return cell && cell->isVisible() ? cell : nullptr;
}

// Puts undo and canvas autosizing back however a drag ends.
struct DragScope {
    IXLayoutContext* context;
    IXDocumentNode* document;
    bool undoOff = false;

    DragScope(IXLayoutContext* context, bool switchUndoOff)
        : context(context), document(switchUndoOff ? context->documentNode() : nullptr)
    {
        context->disableCanvasAutosize();
        if (document) {
            document->disableUndo();
            undoOff = true;
        }
    }
    void enableUndo()
    {
        if (!undoOff) return;
        undoOff = false;
        document->enableUndo();
    }
    ~DragScope()
    {
        enableUndo();
        context->enableCanvasAutosize();
        if (IXLayoutView* view = context->view()) view->setCursor(PLCursor::Arrow);
    }
};

} // namespace

IXSelectionCell::~IXSelectionCell() = default;

std::vector<int> IXSelectionCell::knobs() const
{
    switch (m_mode) {
    case ModeBranchWithPicture:
    case ModePicture:
        return {1, 2, 3, 4, 5, 6, 7, 8};
    case ModeBranch:
    case ModeText:
        return {2, 7};
    default:
        return {};
    }
}

PLPoint IXSelectionCell::knobPoint(const PLRect& rect, int knob)
{
    const float x = knob <= 3 ? rect.minX() : knob <= 5 ? rect.midX() : rect.maxX();
    float y = rect.midY();
    if (knob == 1 || knob == 4 || knob == 6) y = rect.minY();
    if (knob == 3 || knob == 5 || knob == 8) y = rect.maxY();
    return PLPoint(x, y);
}

PLRect IXSelectionCell::knobRectAtPoint(PLPoint point)
{
    const float u = std::max(1.0f, currentPixelSize().width);
    return PLRect(point.x - 4 * u, point.y - 4 * u, 8 * u, 8 * u);
}

PLRect IXSelectionCell::outlineRect()
{
    return bounds().insetBy(OutlineMargin, OutlineMargin);
}

// --- Layout ---

void IXSelectionCell::invalidateLayout()
{
    m_mode = ModeNone;
    m_cell = nullptr;
    IXLayoutCell::invalidateLayout();
}

void IXSelectionCell::layout()
{
    m_cell = targetCellForNode(context(), node());
    m_mode = ModeNone;
    if (auto* branch = dynamic_cast<IXBranchCell*>(m_cell)) {
        auto* branchNode = dynamic_cast<IXBranchNode*>(branch->node());
        m_mode = branchNode && branchNode->picture() ? ModeBranchWithPicture : ModeBranch;
    } else if (dynamic_cast<IXPictureCell*>(m_cell)) {
        m_mode = ModePicture;
    } else if (dynamic_cast<IXTextCell*>(m_cell)) {
        m_mode = ModeText;
    } else if (dynamic_cast<IXConnectionCell*>(m_cell)) {
        m_mode = ModeConnection;
    }
    PLRect frame;
    if (m_mode != ModeNone) {
        PLRect r = m_cell->bounds();
        if (m_mode == ModeConnection) {
            if (const auto points = static_cast<IXConnectionCell*>(m_cell)->points()) {
                for (PLPoint p : *points) r = r.united(PLRect(p.x, p.y, 4, 4));
            }
        }
        r = m_cell->convertRectToCell(r, nullptr);
        if (parent()) r = parent()->convertRectFromCell(r, nullptr);
        frame = r.integral().insetBy(-SelectionMargin, -SelectionMargin);
    }
    const PLRect bounds(PLPoint(), frame.size);
    if (frame != m_frame || bounds != m_bounds) {
        m_frame = frame;
        m_bounds = bounds;
        invalidateTransform();
    }
}

// --- Drawing ---

void IXSelectionCell::draw(PLGraphicsContext& graphics)
{
    if (!m_cell) return;
    m_focused = true;
    if (m_mode == ModeConnection) {
        drawConnectionSelection(graphics, static_cast<IXConnectionCell*>(m_cell));
        return;
    }
    const PLRect r = outlineRect();
    drawSelectionInRect(graphics, r, false);
    drawKnobsInRect(graphics, r);
}

void IXSelectionCell::drawSelectionInRect(PLGraphicsContext& graphics, const PLRect& rect, bool highlight)
{
    // Half a unit in, so that the dashes cover whole pixels.
    PLBezierPath path = PLBezierPath::bezierPathWithRect(rect.offsetBy(0.5f, 0.5f));
    if (highlight) {
        graphics.setColor(strongColor().withAlpha(0.3f));
        graphics.fillPath(path);
    }
    path.setLineCapStyle(PLBezierPath::LineCap::Round);
    path.setLineDash({5, 3}, 0);
    graphics.setColor(strongColor());
    graphics.strokePath(path);
}

void IXSelectionCell::drawKnobsInRect(PLGraphicsContext& graphics, const PLRect& rect)
{
    for (int knob : knobs()) drawKnobAtPoint(graphics, knobPoint(rect, knob));
}

void IXSelectionCell::drawKnobAtPoint(PLGraphicsContext& graphics, PLPoint point)
{
    // Knobs keep their size on screen at every zoom.
    const float u = std::max(1.0f, currentPixelSize().width);
    PLBezierPath knob = PLBezierPath::bezierPathWithOvalInRect(PLRect(point.x - 3 * u, point.y - 3 * u, 6 * u, 6 * u));
    knob.setLineWidth(u);
    graphics.setColor(PLColor::system(PLColor::System::SelectedControl));
    graphics.fillPath(knob);
    graphics.setColor(strongColor());
    graphics.strokePath(knob);
}

std::optional<std::vector<PLPoint>> IXSelectionCell::connectionPoints(IXConnectionCell* connection)
{
    const auto points = connection->points();
    if (!points) return std::nullopt;
    std::vector<PLPoint> converted;
    for (PLPoint p : *points) converted.push_back(connection->convertPointToCell(p, this));
    return converted;
}

void IXSelectionCell::drawConnectionSelection(PLGraphicsContext& graphics, IXConnectionCell* connection)
{
    const PLBezierPath* curve = connection->connectionPath();
    if (!curve) return;
    PLBezierPath path = *curve;
    const float width = path.lineWidth();
    graphics.saveGraphicsState();
    graphics.beginTransparencyLayer();
    graphics.setColor(strongColor());
    // The curve's own space, drawn into this cell's.
    graphics.concat(transCanvasToLocal());
    graphics.concat(connection->transLocalToCanvas());
    // A wide dashed stroke with the curve's own width cleared out of its middle: two dashed
    // lines along both sides of the connection.
    path.setLineWidth(width + 1.5f);
    path.setLineDash({5, 3}, 0);
    graphics.strokePath(path);
    graphics.setCompositingOperation(PLGraphicsContext::CompositingOperation::Clear);
    path.setLineWidth(width);
    path.setLineDash({}, 0);
    graphics.strokePath(path);
    graphics.endTransparencyLayer();
    graphics.restoreGraphicsState();

    const auto points = connectionPoints(connection);
    if (!points) return;
    for (PLPoint p : *points) drawKnobAtPoint(graphics, p);
    PLBezierPath handles;
    handles.moveToPoint((*points)[0]);
    handles.lineToPoint((*points)[1]);
    handles.moveToPoint((*points)[3]);
    handles.lineToPoint((*points)[2]);
    graphics.setColor(strongColor());
    graphics.strokePath(handles);
}

// --- Mouse ---

bool IXSelectionCell::trackMouse(const PLMouseEvent& event)
{
    if (!m_cell || !node() || !parent() || !context() || event.type() != PLMouseEvent::LeftMouseDown) return false;
    return m_mode == ModeConnection ? curveChangeWithEvent(event) : resizeWithEvent(event);
}

bool IXSelectionCell::resizeWithEvent(const PLMouseEvent& event)
{
    if (!dynamic_cast<IXSelectionCell_Resizing*>(m_cell)) return false;
    const PLPoint point = context()->coordinates().convertPointToCell(event.locationInView(), this);
    const PLRect r = outlineRect();
    for (int knob : knobs()) {
        if (knobRectAtPoint(knobPoint(r, knob)).containsPoint(point)) {
            resizeWithKnob(knob, event);
            return true;
        }
    }
    return false;
}

void IXSelectionCell::resizeWithKnob(int knob, const PLMouseEvent& event)
{
    // The drag may rebuild this cell and its target: hold what the loop needs.
    const std::shared_ptr<IXLayoutCell> self = shared_from_this();
    IXLayoutContext* context = this->context();
    const std::shared_ptr<IXNode> node = this->node()->shared_from_this();
    std::shared_ptr<IXLayoutCell> target = m_cell->shared_from_this();
    auto resizable = [&]() -> IXSelectionCell_Resizing* {
        if (!target->context()) {
            IXLayoutCell* current = targetCellForNode(context, node.get());
            if (!current) return nullptr;
            target = current->shared_from_this();
        }
        return dynamic_cast<IXSelectionCell_Resizing*>(target.get());
    };

    // Snapshots, so that the changing layout does not move the frame of reference under the
    // pointer.
    const PLAffineTransform viewToCanvas = context->coordinates().transViewToCanvas();
    const PLAffineTransform canvasToLocal = transCanvasToLocal();
    IXLayoutCell* layer = parent();
    const PLAffineTransform layerToCanvas = layer->transLocalToCanvas();
    const PLAffineTransform canvasToTargetParent =
        target->parent() ? target->parent()->transCanvasToLocal() : PLAffineTransform();
    auto toLocal = [&](const PLMouseEvent& e) { return canvasToLocal.transformPoint(viewToCanvas.transformPoint(e.locationInView())); };
    const PLPoint p0 = toLocal(event);

    const PLRect r = layer->convertRectFromCell(convertRectToCell(bounds(), nullptr), nullptr);
    const float minX0 = r.minX(), minY0 = r.minY(), maxX0 = r.maxX(), maxY0 = r.maxY();
    const bool movesMinX = knob <= 3, movesMaxX = knob >= 6;
    const bool movesMinY = knob == 1 || knob == 4 || knob == 6, movesMaxY = knob == 3 || knob == 5 || knob == 8;
    const int tracksX = movesMinX ? -1 : movesMaxX ? 1 : 0;
    const int tracksY = movesMinY ? -1 : movesMaxY ? 1 : 0;

    DragScope scope(context, true);
    IXSelectionCell_Resizing* first = resizable();
    if (!first) return;
    const QVariantMap oldState = first->resizing_state();

    for (;;) {
        const std::optional<PLMouseEvent> next = PLMouseTracking::nextEvent(DragOrUpMask);
        if (!next) break;
        const PLPoint p = toLocal(*next);
        const float dx = p.x - p0.x, dy = p.y - p0.y;
        float minX = minX0, minY = minY0, maxX = maxX0, maxY = maxY0;
        if (movesMinX) minX = std::clamp(minX0 + dx, maxX0 - MaximumSide, maxX0 - MinimumSide);
        if (movesMaxX) maxX = std::clamp(maxX0 + dx, minX0 + MinimumSide, minX0 + MaximumSide);
        if (movesMinY) minY = std::clamp(minY0 + dy, maxY0 - MaximumSide, maxY0 - MinimumSide);
        if (movesMaxY) maxY = std::clamp(maxY0 + dy, minY0 + MinimumSide, minY0 + MaximumSide);
        const PLRect selection = PLRect(minX, minY, maxX - minX, maxY - minY).insetBy(SelectionMargin, SelectionMargin);
        const PLPoint canvasOrigin = layerToCanvas.transformPoint(selection.origin);
        const PLRect frame(canvasToTargetParent.transformPoint(canvasOrigin), selection.size);
        if (IXSelectionCell_Resizing* resizing = resizable()) resizing->resizing_setFrame(frame, tracksX, tracksY);
        context->performLayoutIfNeeded();
        if (IXLayoutView* view = context->view()) view->setNeedsDisplay();
        if (next->type() == PLMouseEvent::LeftMouseUp) break;
    }

    // Undo sees one change, from the state before the drag to the last one.
    IXSelectionCell_Resizing* last = resizable();
    if (!last) return;
    const QVariantMap newState = last->resizing_state();
    last->resizing_setState(oldState);
    scope.enableUndo();
    last->resizing_setState(newState);
}

bool IXSelectionCell::curveChangeWithEvent(const PLMouseEvent& event)
{
    auto* connection = dynamic_cast<IXConnectionCell*>(m_cell);
    if (!connection) return false;
    IXLayoutContext* context = this->context();
    PLPoint point = context->coordinates().convertPointToCell(event.locationInView(), this);
    std::optional<std::vector<PLPoint>> points = connectionPoints(connection);
    if (!points) return false;
    const int control = knobRectAtPoint((*points)[1]).containsPoint(point)   ? 1
                        : knobRectAtPoint((*points)[2]).containsPoint(point) ? 2
                                                                             : 0;
    // The end handle: 3 the target end, 0 the start.
    const int end = knobRectAtPoint((*points)[3]).containsPoint(point)   ? 3
                    : knobRectAtPoint((*points)[0]).containsPoint(point) ? 0
                                                                         : -1;
    if (!control && end < 0) return false;
    if (end >= 0 && context->view()) context->view()->setCursor(PLCursor::PointingHand);

    // The drag may rebuild this cell and the connection's cell: hold what the loop needs.
    const std::shared_ptr<IXLayoutCell> self = shared_from_this();
    std::shared_ptr<IXLayoutCell> connectionCell = connection->shared_from_this();
    const std::shared_ptr<IXNode> connectionNode = node()->shared_from_this();
    const std::shared_ptr<IXStyleNode> style = connection->style();
    std::shared_ptr<IXNode> dropBranch;
    DragScope scope(context, false);
    // The loop works in canvas space, which a rebuilt selection cell does not move.
    std::array<PLPoint, 4> handles = *connection->points();

    for (;;) {
        const std::optional<PLMouseEvent> next = PLMouseTracking::nextEvent(DragOrUpMask);
        if (!next) break;
        point = context->coordinates().convertPointToCell(next->locationInView(), nullptr);
        if (control == 1 && style) {
            style->setConnectionOffset1(point - handles[0]);
        } else if (control == 2 && style) {
            style->setConnectionOffset2(point - handles[3]);
        } else if (end >= 0) {
            IXNode* branch = context->mouse().branchNodeAtPoint(next->locationInView());
            dropBranch = branch ? branch->shared_from_this() : nullptr;
            context->setHighlights(IXSelection::selectionWithNode(dropBranch));
        }
        if (next->type() == PLMouseEvent::LeftMouseUp) break;
        context->performLayoutIfNeeded();
        if (!connectionCell->context()) {
            IXLayoutCell* current = context->cells().cellForNode(connectionNode.get());
            if (!current) break;
            connectionCell = current->shared_from_this();
        }
        if (auto fresh = static_cast<IXConnectionCell*>(connectionCell.get())->points()) handles = *fresh;
        if (IXLayoutView* view = context->view()) view->autoscroll(*next);
    }

    if (control == 0 && dropBranch) {
        auto* reference = static_cast<IXConnectionNode*>(connectionNode.get());
        if (end == 0) {
            auto* owner = dynamic_cast<IXBranchNode*>(connectionNode->parentNode());
            auto* newOwner = dynamic_cast<IXBranchNode*>(dropBranch.get());
            if (owner && newOwner && owner != newOwner) {
                const auto keep = std::static_pointer_cast<IXConnectionNode>(connectionNode);
                owner->removeReference(keep);
                newOwner->addReference(keep);
            }
        } else if (reference->targetNode() != dropBranch) {
            reference->setTargetNode(dropBranch);
        }
    }
    context->setHighlights(IXSelection());
    return true;
}
