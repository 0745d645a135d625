#include "MapLayout/IXLayoutCell.h"

#include "DocumentModel/IXNode.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Core/PLLog.h"

#include <QVarLengthArray>

#include <typeinfo>

namespace {

// Main thread only, as cells are. Any invalidation of a computed transform starts a new
// epoch; every computed transform gets a new stamp.
std::uint64_t transformEpoch = 1;
std::uint64_t lastTransformStamp = 0;
// Layouts that move cells while transforms are brought up to date start the walk over; past
// this many passes it goes on with what it has (the old walk's behaviour).
constexpr int MaxTransformPasses = 4;

QString rectText(const PLRect& r)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}").arg(r.minX()).arg(r.minY()).arg(r.width()).arg(r.height());
}

}  // namespace

IXLayoutCell::IXLayoutCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node)
    : m_context(context), m_parent(parent), m_node(node)
{
    if (node) m_nodeLink = node->weak_from_this();
}

IXLayoutCell::~IXLayoutCell()
{
    if (m_context || m_parent || m_node) {
        // Released without invalidate: a programming error, but the context and parent must
        // not keep a pointer to a gone cell.
        PLLog::write(QStringLiteral("Invalid parameter not satisfying: !_context && !_parent && !_node"));
        if (m_context) m_context->cellWillInvalidate(this);
    }
}

QString IXLayoutCell::description()
{
    QString text = QStringLiteral("<%1: %2>")
                       .arg(QString::fromLatin1(typeid(*this).name()))
                       .arg(quintptr(this), 0, 16);
    if (IXNode* n = node())
        text += QStringLiteral("\n\t<%1: %2>").arg(QString::fromLatin1(typeid(*n).name()), n->existingUniqueId());
    text += QStringLiteral("\n\t frame: %1; bounds: %2").arg(rectText(m_frame), rectText(m_bounds));
    if (m_hasValidTransform) text += QStringLiteral("\n\t canvas frame: %1").arg(rectText(convertRectToCell(m_bounds, nullptr)));
    if (m_context && m_context->view())
        text += QStringLiteral("\n\t view frame: %1").arg(rectText(m_context->coordinates().convertRectFromCell(m_bounds, this)));
    return text;
}

void IXLayoutCell::invalidate()
{
    if (m_parent) m_parent->cellWillInvalidate(this);
    if (m_context) m_context->cellWillInvalidate(this);
    m_context = nullptr;
    m_parent = nullptr;
    m_node = nullptr;
    m_nodeLink.reset();
}

IXNode* IXLayoutCell::node() const
{
    return m_node && !m_nodeLink.expired() ? m_node : nullptr;
}

PLRect IXLayoutCell::frame()
{
    if (!m_hasValidLayout) performLayout();
    return m_frame;
}

PLRect IXLayoutCell::bounds()
{
    if (!m_hasValidLayout) performLayout();
    return m_bounds;
}

void IXLayoutCell::setOrigin(PLPoint origin)
{
    if (origin == m_frame.origin) return;
    m_frame.origin = origin;
    invalidateTransform();
}

bool IXLayoutCell::isKeptAside() const
{
    for (const IXLayoutCell* cell = this; cell; cell = cell->m_parent)
        if (cell->m_keptAside) return true;
    return false;
}

void IXLayoutCell::setFrame(const PLRect& frame)
{
    if (m_hasValidLayout && frame == m_frame) return;
    m_hasValidLayout = true;
    invalidateTransform();
    m_frame = frame;
    m_bounds = PLRect(PLPoint(), frame.size);
}

void IXLayoutCell::setLayoutSize(PLSize size)
{
    const PLRect bounds(PLPoint(), size);
    if (m_bounds == bounds && m_frame.size == size) return;
    m_bounds = bounds;
    m_frame.size = size;
    invalidateTransform();
}

void IXLayoutCell::invalidateLayoutForCell(IXLayoutCell* cell)
{
    if (!m_hasValidLayout) return;
    if (m_layoutInProgress > 3) PLAssertionFailed("invalidateLayout during secondary layout process");
    m_hasValidLayout = false;
    if (m_parent) m_parent->invalidateLayoutForCell(this);
    invalidateTransform();
}

void IXLayoutCell::invalidateLayout()
{
    invalidateLayoutForCell(this);
}

void IXLayoutCell::performLayoutIfNeeded()
{
    if (!m_hasValidLayout) performLayout();
}

void IXLayoutCell::performLayout()
{
    if (m_parent && m_parent->needsLayout()) {
        m_parent->performLayout();
        return;
    }
    if (m_layoutInProgress) return;
    m_layoutInProgress = 1;
    m_hasValidLayout = true;
    layout();
    m_layoutInProgress = 0;
}

void IXLayoutCell::invalidateTransform()
{
    if (!m_hasValidTransform) return;
    m_hasValidTransform = false;
    ++transformEpoch;
    if (m_context) m_context->cellGeometryDidChange(this);
}

bool IXLayoutCell::isTransformCurrent() const
{
    return m_hasValidTransform && m_transformCheckedEpoch == transformEpoch;
}

void IXLayoutCell::validateTransform()
{
    for (int pass = 0; !isTransformCurrent(); ++pass) {
        // From the first cell up that was found current in this epoch (or the top) down to
        // this one: a cell is computed again when its own frame changed or its parent's
        // transform is not the one it was computed from. Siblings share the walk above them.
        QVarLengthArray<IXLayoutCell*, 16> chain;
        for (IXLayoutCell* cell = this; cell && !cell->isTransformCurrent(); cell = cell->m_parent) chain.append(cell);
        const std::uint64_t epoch = transformEpoch;
        for (qsizetype i = chain.size(); i-- > 0;) {
            IXLayoutCell* cell = chain[i];
            if (!cell->m_hasValidLayout) cell->performLayout();
            if (transformEpoch != epoch && pass < MaxTransformPasses) break;
            const IXLayoutCell* parent = cell->m_parent;
            if (!cell->m_hasValidTransform || (parent && cell->m_parentTransformStamp != parent->m_transformStamp))
                cell->calculateTransform();
            cell->m_transformCheckedEpoch = transformEpoch;
        }
        if (pass >= MaxTransformPasses) break;
    }
}

void IXLayoutCell::calculateTransform()
{
    if (m_parent) {
        PLAffineTransform t = m_parent->m_transLocalToCanvas;
        // Bounds map onto the frame: minus the bounds' origin, stretched to the frame's size
        // when they differ, plus the frame's origin.
        t.translateXBy(m_frame.minX(), m_frame.minY());
        if (m_bounds.size != m_frame.size && m_bounds.width() != 0 && m_bounds.height() != 0)
            t.scaleXBy(m_frame.width() / m_bounds.width(), m_frame.height() / m_bounds.height());
        t.translateXBy(-m_bounds.minX(), -m_bounds.minY());
        m_transLocalToCanvas = t;
        m_transCanvasToLocal = t.inverted();
        m_parentTransformStamp = m_parent->m_transformStamp;
    } else {
        m_transLocalToCanvas = PLAffineTransform();
        m_transCanvasToLocal = PLAffineTransform();
        m_parentTransformStamp = 0;
    }
    m_transformStamp = ++lastTransformStamp;
    m_hasValidTransform = true;
}

const PLAffineTransform& IXLayoutCell::transLocalToCanvas()
{
    validateTransform();
    return m_transLocalToCanvas;
}

const PLAffineTransform& IXLayoutCell::transCanvasToLocal()
{
    validateTransform();
    return m_transCanvasToLocal;
}

PLPoint IXLayoutCell::convertPointToCell(PLPoint point, IXLayoutCell* cell)
{
    PLPoint p = transLocalToCanvas().transformPoint(point);
    return cell ? cell->transCanvasToLocal().transformPoint(p) : p;
}

PLSize IXLayoutCell::convertSizeToCell(PLSize size, IXLayoutCell* cell)
{
    PLSize s = transLocalToCanvas().transformSize(size);
    return cell ? cell->transCanvasToLocal().transformSize(s) : s;
}

PLRect IXLayoutCell::convertRectToCell(const PLRect& rect, IXLayoutCell* cell)
{
    return PLRect(convertPointToCell(rect.origin, cell), convertSizeToCell(rect.size, cell));
}

PLPoint IXLayoutCell::convertPointFromCell(PLPoint point, IXLayoutCell* cell)
{
    PLPoint p = cell ? cell->transLocalToCanvas().transformPoint(point) : point;
    return transCanvasToLocal().transformPoint(p);
}

PLSize IXLayoutCell::convertSizeFromCell(PLSize size, IXLayoutCell* cell)
{
    PLSize s = cell ? cell->transLocalToCanvas().transformSize(size) : size;
    return transCanvasToLocal().transformSize(s);
}

PLRect IXLayoutCell::convertRectFromCell(const PLRect& rect, IXLayoutCell* cell)
{
    return PLRect(convertPointFromCell(rect.origin, cell), convertSizeFromCell(rect.size, cell));
}

PLSize IXLayoutCell::currentPixelSize()
{
    return m_context ? m_context->coordinates().convertSizeToCell(PLSize(1, 1), this) : convertSizeFromCell(PLSize(1, 1), nullptr);
}

PLRect IXLayoutCell::unionRectForCells(const IXCellList& cells)
{
    PLRect result;
    for (const auto& cell : cells) result = result.united(cell->frame());
    return result;
}

void IXLayoutCell::setNeedsDisplay()
{
    if (!m_hasValidLayout || !m_hasValidTransform || !m_context || !m_context->view()) return;
    const PLRect rect = m_context->coordinates().convertRectFromCell(m_bounds, this);
    IXLayoutView* view = m_context->view();
    if (rect.intersects(view->visibleRect())) view->setNeedsDisplayInRect(rect);
}

std::shared_ptr<IXStyleNode> IXLayoutCell::style()
{
    return m_context ? m_context->styleForNode(node()) : nullptr;
}

std::shared_ptr<const IXStyleNode> IXLayoutCell::styleForReading()
{
    return m_context ? m_context->styleForReading(node()) : nullptr;
}

bool IXLayoutCell::isSelected()
{
    return m_context && m_context->selection().containsNode(node());
}

bool IXLayoutCell::isHighlighted()
{
    return m_context && m_context->highlights().containsNode(node());
}

void IXLayoutCell::display(PLGraphicsContext& graphics)
{
    graphics.saveGraphicsState();
    if (m_context) graphics.concat(m_context->coordinates().transCanvasToView());
    graphics.concat(transLocalToCanvas());
    draw(graphics);
    graphics.restoreGraphicsState();
}
