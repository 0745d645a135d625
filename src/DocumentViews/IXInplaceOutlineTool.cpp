#include "DocumentViews/IXInplaceOutlineTool.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXOutlineModel.h"
#include "DocumentViews/IXToolEvent.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutCellRegistry.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutCoordinates.h"
#include "MapLayout/IXLayoutMouseRouting.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLRunLoop.h"

#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWindow>

IXInplaceOutlineTool::IXInplaceOutlineTool(IXToolManager* manager)
    : IXTool(manager)
{
}

IXInplaceOutlineTool::~IXInplaceOutlineTool()
{
    PLRunLoop::cancel(this);
    closeBox();
    if (m_node) m_node->removeObserver(this);
}

std::shared_ptr<IXNode> IXInplaceOutlineTool::editedObject() const
{
    return m_node;
}

void IXInplaceOutlineTool::setEditedObject(const std::shared_ptr<IXNode>& object)
{
    if (!object) return;
    PL_ASSERT_PARAM(object->isBranch(), "[node isBranch]");
    PL_ASSERT_PARAM(!m_node, "!_node");
    m_node = std::static_pointer_cast<IXBranchNode>(object);
    m_node->addObserver(this);
}

void IXInplaceOutlineTool::releaseEditedObject()
{
    if (m_node) m_node->removeObserver(this);
    m_node.reset();
}

bool IXInplaceOutlineTool::commitTool()
{
    return !m_outlineView || m_outlineView->commitEditing();
}

void IXInplaceOutlineTool::closeBox()
{
    if (m_outlineView) {
        m_outlineView->discardEditing();
        m_outlineView->detachFromController();
    }
    delete m_box.data();
    m_box = nullptr;
    m_outlineView = nullptr;
}

void IXInplaceOutlineTool::discardTool()
{
    PLRunLoop::cancel(this);
    if (IXLayoutContext* context = this->context()) {
        if (auto* view = dynamic_cast<QWidget*>(context->view())) view->update();
    }
    if (m_node) m_node->removeObserver(this);
    m_node.reset();
    closeBox();
    IXTool::discardTool();
}

void IXInplaceOutlineTool::startWithEvent(const IXToolEvent& event)
{
    IXLayoutContext* context = this->context();
    auto* mapView = context ? dynamic_cast<IXMapView*>(context->view()) : nullptr;
    if (!m_node && event.mouseEvent() && context) {
        if (IXNode* node = context->mouse().nodeAtPoint(event.mouseEvent()->locationInView()); node && node->isBranch())
            setEditedObject(node->shared_from_this());
    }
    if (!m_node || m_node->branches().isEmpty() || !mapView || !context->controller()) {
        discardTool();
        return;
    }
    // The box's corner: the far corner (largest x and y) of the branch's cell.
    QPoint corner;
    if (IXBranchCell* cell = context->cells().branchCellForNode(m_node.get())) {
        const PLRect bounds = context->coordinates().convertRectFromCell(cell->bounds(), cell);
        const QPointF point = mapView->pointToQt(PLPoint(bounds.maxX(), bounds.maxY()));
        corner = point.toPoint();
    }
    m_box = new QFrame(mapView);
    m_box->setFrameShape(QFrame::Box);
    m_box->setFrameShadow(QFrame::Sunken);
    m_box->setAutoFillBackground(true);
    m_box->setGeometry(corner.x(), corner.y(), BoxWidth, BoxHeight);
    auto* layout = new QVBoxLayout(m_box);
    layout->setContentsMargins(1, 1, 1, 1);
    m_outlineView = new IXOutlineMapView(m_box);
    m_outlineView->setAttribute(Qt::WA_MacShowFocusRect, false);
    layout->addWidget(m_outlineView);
    m_box->show();
    m_outlineView->attachToController(context->controller());
    m_outlineView->layoutContext()->setBranchFilter(m_node);
    // Fitted to the rows: a short outline needs no scrolling and takes less room.
    int rows = 0;
    std::vector<QModelIndex> pending {QModelIndex()};
    const QAbstractItemModel* model = m_outlineView->outlineModel();
    while (!pending.empty()) {
        const QModelIndex parent = pending.back();
        pending.pop_back();
        if (parent.isValid() && !m_outlineView->isExpanded(parent)) continue;
        for (int row = 0, count = model->rowCount(parent); row < count; ++row) {
            ++rows;
            pending.push_back(model->index(row, 0, parent));
        }
    }
    const int rowHeight = std::max(m_outlineView->sizeHintForRow(0), 1);
    const int scroller = m_outlineView->horizontalScrollBar()->sizeHint().height();
    // The box's and the outline's frames and margins count too.
    const int frames = 2 * m_box->frameWidth() + 2 + 2 * m_outlineView->frameWidth();
    const int wanted = rows * rowHeight + m_outlineView->header()->sizeHint().height() + 1 + frames;
    if (BoxHeight - scroller > wanted) m_box->resize(BoxWidth, wanted + scroller);
    // Scroll the map so that the box shows.
    for (QWidget* above = mapView->parentWidget(); above; above = above->parentWidget()) {
        if (auto* scroller = qobject_cast<QScrollArea*>(above)) {
            scroller->ensureWidgetVisible(m_box, 0, 0);
            break;
        }
    }
    m_outlineView->setFocus(Qt::OtherFocusReason);
}

bool IXInplaceOutlineTool::onSendEvent(QWindow* window, QEvent* event)
{
    if (!m_box) return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // Not while a cell edit takes its own Escape.
        if (m_outlineView && m_outlineView->isEditing()) return false;
        discardTool();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        // A press in the map's window outside the box ends the tool; presses in other windows
        // (panels, the date picker) leave it open.
        const QWidget* top = m_box->window();
        if (!window || !top->windowHandle() || window != top->windowHandle()) return false;
        const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (!m_box->rect().contains(m_box->mapFromGlobal(global))) discardTool();
    }
    return false;
}

bool IXInplaceOutlineTool::respondsToSelector(std::string_view selector) const
{
    return IXTool::respondsToSelector(selector) || isAnyOf(selector, {IXNodeDetach});
}

void IXInplaceOutlineTool::notifiedOfNodeDetach(IXNode* node)
{
    if (!node || node != m_node.get()) return;
    // Not inside the model's notice: on the next turn.
    PLRunLoop::perform(this, "discard", [this] { discardTool(); });
}
