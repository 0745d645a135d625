#include "DocumentViews/IXAttachmentsTool.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXReferenceOpening.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXAttachmentsMatrix.h"
#include "DocumentViews/IXBalloonView.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXOutlineModel.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXWidgetHits.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/System/PLMouseEvent.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>

namespace {

// The balloon's margin around its rows, and the extra height of the rows' scroll view.
constexpr int Margin = 8;
constexpr int ScrollViewExtraHeight = 2;

}  // namespace

IXAttachmentsTool::IXAttachmentsTool(IXToolManager* manager)
    : IXTool(manager)
{
}

IXAttachmentsTool::~IXAttachmentsTool()
{
    if (m_attachmentsView) m_attachmentsView->deleteLater();
    if (m_menu) m_menu->deleteLater();
    PLNotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<IXNode> IXAttachmentsTool::editedObject() const
{
    return m_node;
}

void IXAttachmentsTool::setEditedObject(const std::shared_ptr<IXNode>& object)
{
    if (!object) return;
    std::shared_ptr<IXNode> node = object;
    // An attachment stands for its branch, its row preselected.
    if (!node->isBranch() && node->parentNode() && node->parentNode()->isBranch()) {
        m_highlightNode = std::dynamic_pointer_cast<IXReferenceNode>(node);
        node = node->parentNode()->shared_from_this();
    }
    PL_ASSERT_PARAM(node->isBranch(), "[node isBranch]");
    PL_ASSERT_PARAM(!m_node, "!_node");
    takeBranch(std::static_pointer_cast<IXBranchNode>(node));
}

void IXAttachmentsTool::takeBranch(const std::shared_ptr<IXBranchNode>& branch)
{
    m_node = branch;
    if (m_node && !m_observing) {
        m_node->addObserver(this);
        m_observing = true;
    }
}

void IXAttachmentsTool::releaseEditedObject()
{
    if (m_node && m_observing) m_node->removeObserver(this);
    m_observing = false;
    m_node.reset();
    m_highlightNode.reset();
}

QWidget* IXAttachmentsTool::host() const
{
    return IXWidgetHits::overlayHost(IXWidgetHits::documentView(context()));
}

bool IXAttachmentsTool::activateTool()
{
    if (m_node && m_node->allReferences().isEmpty()) return false;
    if (!host() || !IXTool::activateTool()) return false;
    QWidget* view = IXWidgetHits::documentView(context());
    // Scrolling closes the balloon.
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(view)) {
        PLNotificationCenter::defaultCenter().addObserver(this,
                                                          IXScalingScrollView::ReflectScrolledClipViewNotification,
                                                          scroller, [this](const PLNotification&) { discardTool(); });
    } else if (auto* rows = qobject_cast<QAbstractScrollArea*>(view)) {
        for (QScrollBar* bar : {rows->verticalScrollBar(), rows->horizontalScrollBar()})
            m_scrolling.append(
                PLExceptionBoundary::connect(bar, &QScrollBar::valueChanged, this, [this] { discardTool(); }));
    }
    if (m_node) installAttachmentsView();
    return true;
}

void IXAttachmentsTool::startWithEvent(const IXToolEvent& event)
{
    if (!m_node && context()) {
        if (const PLMouseEvent* mouse = event.mouseEvent()) {
            IXNode* found = context()->mouse().branchNodeAtPoint(mouse->locationInView());
            if (found && found->isBranch())
                takeBranch(std::static_pointer_cast<IXBranchNode>(found->shared_from_this()));
        }
    }
    if (m_node && !m_node->allReferences().isEmpty()) {
        if (!m_attachmentsView) installAttachmentsView();
        return;
    }
    discardTool();
}

void IXAttachmentsTool::buildMenu()
{
    m_menu = new QMenu(m_attachmentsView);
    auto add = [this](const char* title, void (IXAttachmentsTool::*action)()) {
        QAction* item = m_menu->addAction(PLLocalizedStrings::string(QString::fromLatin1(title)));
        PLExceptionBoundary::connect(item, &QAction::triggered, this, [this, action] { (this->*action)(); });
        return item;
    };
    add("Delete", &IXAttachmentsTool::removeAttachment);
    m_menu->addSeparator();
    add("Copy", &IXAttachmentsTool::copyAttachment);
    m_menu->addSeparator();
    add("Execute", &IXAttachmentsTool::executeAttachment);
    // Attachments are edited in the window's object list, where there is one.
    IXToolEnvironment* environment = IXToolEnvironment::shared();
    add("Edit...", &IXAttachmentsTool::editAttachment)->setEnabled(environment && environment->canEditReferences());
}

void IXAttachmentsTool::updateActivationPoint()
{
    IXLayoutContext* context = this->context();
    IXBranchCell* cell = context ? context->cells().branchCellForNode(m_node.get()) : nullptr;
    if (IXLayoutCell* indicator = cell ? cell->attachmentsCell() : nullptr) {
        const PLRect bounds = indicator->bounds();
        m_activationPoint
            = context->coordinates().convertPointFromCell(PLPoint(bounds.maxX(), bounds.maxY()), indicator);
        m_anchoredAtTop = false;
        return;
    }
    auto* outline = qobject_cast<IXOutlineMapView*>(IXWidgetHits::documentView(context));
    if (!outline) return;
    // Beside the row's attachment cell (the row's title when the column is hidden), hanging from
    // the row's top.
    QRect row = outline->visualRect(outline->indexForBranch(m_node.get(), IXOutlineModel::Attachment));
    if (row.isEmpty() || outline->isColumnHidden(IXOutlineModel::Attachment))
        row = outline->visualRect(outline->indexForBranch(m_node.get(), IXOutlineModel::Title));
    if (row.isEmpty()) return;
    m_activationPoint = PLPoint(float(row.right() + 1), float(outline->viewport()->height() - row.top()));
    m_anchoredAtTop = true;
}

void IXAttachmentsTool::installAttachmentsView()
{
    QWidget* host = this->host();
    if (!host || !m_node) return;
    if (context()->view()) context()->performLayoutIfNeeded();
    updateActivationPoint();

    m_attachmentsView = new IXBalloonView(host);
    buildMenu();
    m_matrixView = new IXAttachmentsMatrix;
    PLExceptionBoundary::connect(m_matrixView.data(), &IXAttachmentsMatrix::rowDoubleClicked, this,
                                 [this] { executeAttachment(); });
    PLExceptionBoundary::connect(m_matrixView.data(), &IXAttachmentsMatrix::menuRequested, this, [this](QPoint at) {
        if (m_menu && m_matrixView && m_matrixView->selectedCell()) m_menu->popup(at);
    });
    m_scrollView = new QScrollArea(m_attachmentsView);
    m_scrollView->setFrameShape(QFrame::NoFrame);
    m_scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollView->verticalScrollBar()->setAttribute(Qt::WA_MacSmallSize);
    m_scrollView->setAutoFillBackground(false);
    m_scrollView->viewport()->setAutoFillBackground(false);
    m_scrollView->setWidget(m_matrixView);
    m_scrollView->setWidgetResizable(false);
    reloadReferences();
    if (!m_attachmentsView) return;
    m_attachmentsView->show();
    m_attachmentsView->raise();
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(host))
        scroller->ensureWidgetVisible(m_attachmentsView, 0, 0);

    // Started with an attachment: its row is selected, when it is still the branch's.
    if (const std::shared_ptr<IXReferenceNode> highlight = m_highlightNode.lock()) {
        m_matrixView->setFocus(Qt::OtherFocusReason);
        const auto& rows = m_matrixView->rows();
        for (size_t row = 0; row < rows.size(); ++row)
            if (rows[row].representedObject() == highlight) m_matrixView->selectRow(int(row));
    }
}

void IXAttachmentsTool::reloadReferences()
{
    if (!m_matrixView || !m_node) return;
    const IXBranchNode::ReferenceList references = m_node->allReferences();
    if (references.isEmpty()) {
        discardTool();
        return;
    }
    std::vector<IXBalloonCell> rows;
    rows.reserve(size_t(references.size()));
    for (const auto& reference : references)
        rows.emplace_back(reference->title(), reference->referenceIcon(), reference);
    m_matrixView->setRows(std::move(rows));
    adjustToDocumentView();
}

void IXAttachmentsTool::adjustToDocumentView()
{
    QWidget* host = this->host();
    if (!m_attachmentsView || !m_matrixView || !host) return;
    const QSize rows = m_matrixView->sizeHint();
    m_matrixView->resize(rows);
    float width = float(rows.width() + 2 * Margin);
    float height = float(rows.height() + ScrollViewExtraHeight + 2 * Margin);
    PLPoint origin = m_activationPoint;
    if (m_anchoredAtTop) origin.y -= height;
    const auto* map = qobject_cast<const IXMapView*>(host);
    const PLRect visible = map ? map->visibleRect() : PLRect(0, 0, float(host->width()), float(host->height()));
    // Within the visible part: lower when it would reach above, to the left when beyond the right.
    if (origin.y + height > visible.maxY()) origin.y -= origin.y + height - visible.maxY();
    if (origin.x + width > visible.maxX()) origin.x -= origin.x + width - visible.maxX();
    const bool cut = origin.y < visible.origin.y;
    if (cut) {
        height -= visible.origin.y - origin.y;
        origin.y = visible.origin.y;
        width += 3 + float(m_scrollView->verticalScrollBar()->sizeHint().width());
    }
    m_scrollView->setVerticalScrollBarPolicy(cut ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const QRect frame = QRectF(origin.x, float(host->height()) - origin.y - height, width, height).toRect();
    if (frame != m_attachmentsView->geometry()) {
        host->update(m_attachmentsView->geometry());
        m_attachmentsView->setGeometry(frame);
    }
    m_scrollView->setGeometry(
        frame.adjusted(0, 0, -2 * Margin, -2 * Margin).translated(-frame.topLeft() + QPoint(Margin, Margin)));
}

std::shared_ptr<IXReferenceNode> IXAttachmentsTool::selectedAttachment() const
{
    const IXBalloonCell* cell = m_matrixView ? m_matrixView->selectedCell() : nullptr;
    return cell ? cell->representedObject() : nullptr;
}

void IXAttachmentsTool::removeAttachment()
{
    const std::shared_ptr<IXReferenceNode> attachment = selectedAttachment();
    // The branch's notice reloads the rows and places the balloon again (or closes it).
    if (attachment && m_node) m_node->removeReference(attachment);
}

void IXAttachmentsTool::copyAttachment()
{
    const std::shared_ptr<IXReferenceNode> attachment = selectedAttachment();
    IXToolEnvironment* environment = IXToolEnvironment::shared();
    if (attachment && environment) environment->copyAttachments({attachment});
}

void IXAttachmentsTool::executeAttachment()
{
    const std::shared_ptr<IXReferenceNode> attachment = selectedAttachment();
    IXLayoutContext* context = this->context();
    if (!attachment || !context || !m_node) return;
    context->setSelection(IXSelection::selectionWithNode(m_node));
    // The window opens it once the balloon has gone.
    if (auto* controller = dynamic_cast<QObject*>(context->controller())) {
        const IXReferenceOpening opening = attachment->referenceToOpen();
        // Owned by the controller: cancelled should the window go first.
        PLRunLoop::perform(controller, "executeAttachment", [target = controller, opening] {
            QAction sender;
            sender.setData(QVariant::fromValue(opening));
            QMetaObject::invokeMethod(target, "openReference", Q_ARG(QObject*, &sender));
        });
    }
    discardTool();
}

void IXAttachmentsTool::editAttachment()
{
    const std::shared_ptr<IXReferenceNode> attachment = selectedAttachment();
    IXLayoutContext* context = this->context();
    IXToolEnvironment* environment = IXToolEnvironment::shared();
    if (!attachment || !context || !m_node || !environment || !environment->canEditReferences()) return;
    context->setSelection(IXSelection::selectionWithNode(m_node));
    environment->editReference(context, attachment);
    discardTool();
}

void IXAttachmentsTool::discardTool()
{
    PLNotificationCenter::defaultCenter().removeObserver(this);
    for (const QMetaObject::Connection& connection : std::exchange(m_scrolling, {})) QObject::disconnect(connection);
    releaseEditedObject();
    if (m_menu) m_menu->close();
    if (IXBalloonView* balloon = m_attachmentsView) {
        m_attachmentsView = nullptr;
        balloon->hide();
        if (balloon->parentWidget()) balloon->parentWidget()->update(balloon->geometry());
        balloon->deleteLater();
    }
    IXTool::discardTool();
}

bool IXAttachmentsTool::onSendEvent(QWindow* window, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
        discardTool();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // The rows' own menu leaves the balloon open.
        if (!window || window->type() == Qt::Popup) return false;
        QWidget* hit = IXWidgetHits::widgetAt(window, static_cast<QMouseEvent*>(event)->position());
        if (m_attachmentsView && IXWidgetHits::isWithin(hit, m_attachmentsView)) {
            m_attachmentsView->update();
            return false;
        }
        discardTool();
        return false;
    }
    default:
        return false;
    }
}

bool IXAttachmentsTool::respondsToSelector(std::string_view selector) const
{
    return IXTool::respondsToSelector(selector)
        || isAnyOf(selector, {IXLayoutContextDidChangeSelection, IXNodeDetach, IXBranchNodeDidChangeProperty});
}

void IXAttachmentsTool::notifiedOfNodeDetach(IXNode* node)
{
    if (m_node && node == m_node.get()) discardTool();
}

void IXAttachmentsTool::notifiedOfBranchNode(IXNode* branch, const QString&)
{
    if (!m_node || branch != m_node.get() || !m_attachmentsView) return;
    reloadReferences();
}

void IXAttachmentsTool::notifiedOfLayoutContextDidChangeSelection(IXLayoutContext*, const IXSelection& selection)
{
    if (m_node && !selection.containsNode(m_node.get())) discardTool();
}
