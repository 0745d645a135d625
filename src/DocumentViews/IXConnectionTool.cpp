#include "DocumentViews/IXConnectionTool.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXToolNames.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLAssert.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>

namespace {

QWidget* widgetAt(QWindow* window, QPointF position)
{
    if (!window) return nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != window) continue;
        QWidget* hit = top->childAt(position.toPoint());
        return hit ? hit : top;
    }
    return nullptr;
}

// The map view a widget belongs to, or null.
IXMapView* mapViewOf(QWidget* widget)
{
    for (QWidget* up = widget; up; up = up->parentWidget())
        if (auto* view = qobject_cast<IXMapView*>(up)) return view;
    return nullptr;
}

bool isMouseEvent(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick
        || type == QEvent::MouseMove;
}

bool isInDocument(const std::shared_ptr<IXBranchNode>& branch, IXLayoutContext* context)
{
    return branch && context && branch->documentNode() && branch->documentNode() == context->documentNode();
}

}  // namespace

bool IXConnectionTool::StartContextWatch::respondsToSelector(std::string_view selector) const
{
    return selector == IXLayoutContextWillInvalidate.selector();
}

void IXConnectionTool::StartContextWatch::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    if (context != m_tool.m_context1) return;
    context->removeObserver(this);
    m_tool.m_context1 = nullptr;
    m_tool.m_branch1.reset();
    m_tool.discardTool();
}

IXConnectionTool::IXConnectionTool(IXToolManager* manager)
    : IXTool(manager)
{
}

IXConnectionTool::~IXConnectionTool()
{
    PL_ASSERT_PARAM(!m_branch1 && !m_branch2 && !m_context1, "!_branch1 && !_branch2 && !_context1");
    if (m_context1) m_context1->removeObserver(&m_startWatch);
}

void IXConnectionTool::setContext(IXLayoutContext* context)
{
    if (context == this->context()) return;
    if ((isActive() && !m_branch1) || !context || (this->context() && !this->context()->documentNode())) {
        IXTool::setContext(context);
        if (isActive()) discardTool();
        return;
    }
    replaceContext(context);
}

bool IXConnectionTool::activateTool()
{
    if (!IXTool::activateTool()) return false;
    setCursor(false);
    return true;
}

void IXConnectionTool::setCursor(bool overBranch)
{
    // No cursor pictures of its own ship: the standard hands stand in.
    auto* view = context() ? dynamic_cast<QWidget*>(context()->view()) : nullptr;
    if (view) view->setCursor(overBranch ? Qt::PointingHandCursor : Qt::OpenHandCursor);
}

void IXConnectionTool::setStart(const std::shared_ptr<IXBranchNode>& branch, IXLayoutContext* context)
{
    if (m_context1 != context) {
        if (m_context1) m_context1->removeObserver(&m_startWatch);
        m_context1 = context;
        if (m_context1) m_context1->addObserver(&m_startWatch);
    }
    m_branch1 = branch;
}

void IXConnectionTool::forgetRemovedStart()
{
    if (!m_branch1 || isInDocument(m_branch1, m_context1)) return;
    if (m_context1) m_context1->setHighlights(IXSelection());
    setStart(nullptr, nullptr);
}

bool IXConnectionTool::commitTool()
{
    forgetRemovedStart();
    IXLayoutContext* targetContext = context();
    if (!m_branch1 || !m_branch2 || !isInDocument(m_branch2, targetContext)) {
        m_branch2.reset();
        return false;
    }
    if (m_context1->documentNode() != targetContext->documentNode()) {
        // Links between documents would need the target's saved file; the tool connects
        // branches of one document only.
        m_branch2.reset();
        return false;
    }
    const std::shared_ptr<IXConnectionNode> connection = m_branch1->addConnection();
    connection->setTargetNode(m_branch2);
    connection->setTitle(m_branch2->title());
    m_context1->setHighlights(IXSelection());
    m_context1->setSelection(IXSelection::selectionWithNode(connection));
    if (targetContext != m_context1) targetContext->setHighlights(IXSelection());
    discardTool();
    return true;
}

void IXConnectionTool::discardTool()
{
    if (IXLayoutContext* current = context()) current->setHighlights(IXSelection());
    if (m_context1) m_context1->setHighlights(IXSelection());
    IXLayoutView* view = context() ? context()->view() : nullptr;
    setStart(nullptr, nullptr);
    m_branch2.reset();
    if (view) view->setCursor(PLCursor::Arrow);
    IXTool::discardTool();
}

bool IXConnectionTool::onSendEvent(QWindow* window, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
        discardTool();
        return true;
    }
    if (!isMouseEvent(event->type())) return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    QWidget* hit = widgetAt(window, mouse->position());
    IXMapView* view = mapViewOf(hit);
    IXLayoutContext* layout = view ? view->layoutContext() : nullptr;
    if (!layout) return false;
    if (layout != context()) {
        setContext(layout);
        return true;
    }
    forgetRemovedStart();

    const QPointF inView = view->mapFromGlobal(mouse->globalPosition());
    IXNode* found = layout->mouse().branchNodeAtPoint(view->pointFromQt(inView));
    const bool press = event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton;
    if (!found || !found->isBranch()) {
        setCursor(false);
        if (m_branch1)
            m_context1->setHighlights(IXSelection::selectionWithNode(m_branch1));
        else
            layout->setHighlights(IXSelection());
        return true;
    }
    const auto branch = std::static_pointer_cast<IXBranchNode>(found->shared_from_this());
    IXSelection::NodeList lit;
    if (m_branch1) lit.append(m_branch1);
    if (branch != m_branch1) lit.append(branch);
    layout->setHighlights(IXSelection::selectionWithArray(lit));
    setCursor(true);
    if (!press) return true;
    if (!m_branch1) {
        setStart(branch, layout);
        return true;
    }
    m_branch2 = branch;
    if (mouse->modifiers() & Qt::AltModifier) {
        // The next connection starts at once, in the map of this one.
        QTimer::singleShot(0, view, [view = QPointer<IXMapView>(view)] {
            if (view && view->layoutContext())
                IXToolManager::sharedManager()->activateToolNamed(IXToolNames::Connection, view->layoutContext(),
                                                                  IXToolEvent());
        });
    }
    commitTool();
    return true;
}
