#include "DocumentViews/IXConnectionTool.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXOpenDocument.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXToolNames.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentViews/IXWidgetHits.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

namespace {

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

// The print layout, where no connection can be drawn.
constexpr int PrintLayoutMode = 9;
// The hot spot of the connection pointers: the centre of their 32-point pictures.
constexpr int CursorHotSpot = 16;

// The pointer of a picture, or the fallback when the picture is missing.
QCursor cursorNamed(const QString& name, Qt::CursorShape fallback)
{
    static QHash<QString, QImage> pictures;
    auto found = pictures.constFind(name);
    if (found == pictures.cend()) found = pictures.insert(name, PLNamedImages::imageNamed(name));
    if (found->isNull()) return QCursor(fallback);
    return QCursor(QPixmap::fromImage(*found), CursorHotSpot, CursorHotSpot);
}

// Lets every toolbar item ask its target again (the connection item shows whether the tool runs).
void revalidateToolbars()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        for (QToolBar* toolbar : top->findChildren<QToolBar*>())
            for (QAction* action : toolbar->actions())
                if (auto* item = qobject_cast<UTToolbarItem*>(action)) item->validate();
}

void alert(const char* title, const QString& message)
{
    if (IXApplicationServices* services = IXApplicationServices::shared())
        services->runAlert(PLLocalizedStrings::string(QString::fromLatin1(title)), message,
                           PLLocalizedStrings::string(QStringLiteral("OK")));
}

bool isInDocument(const std::shared_ptr<IXBranchNode>& branch, IXLayoutContext* context)
{
    return branch && context && branch->documentNode() && branch->documentNode() == context->documentNode();
}

}  // namespace

const QString IXConnectionTool::CursorName = QStringLiteral("canvas_cursor_connection");
const QString IXConnectionTool::StartCursorName = QStringLiteral("canvas_cursor_connection_start");
const QString IXConnectionTool::TargetCursorName = QStringLiteral("canvas_cursor_connection_target");

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
    revalidateToolbars();
    return true;
}

void IXConnectionTool::setCursor(bool overBranch)
{
    auto* view = context() ? dynamic_cast<QWidget*>(context()->view()) : nullptr;
    if (!view) return;
    if (!overBranch)
        view->setCursor(cursorNamed(CursorName, Qt::OpenHandCursor));
    else
        view->setCursor(cursorNamed(m_branch1 ? TargetCursorName : StartCursorName, Qt::PointingHandCursor));
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
    if (m_context1->documentNode() != targetContext->documentNode()) return connectToOtherDocument(targetContext);
    const std::shared_ptr<IXConnectionNode> connection = m_branch1->addConnection();
    connection->setTargetNode(m_branch2);
    connection->setTitle(m_branch2->title());
    m_context1->setHighlights(IXSelection());
    m_context1->setSelection(IXSelection::selectionWithNode(connection));
    if (targetContext != m_context1) targetContext->setHighlights(IXSelection());
    discardTool();
    return true;
}

bool IXConnectionTool::connectToOtherDocument(IXLayoutContext* targetContext)
{
    // The connection names the other document's file, which must be one the application
    // writes, and must exist.
    IXOpenDocument* target = targetContext->document();
    const QString path = target ? target->documentFilePath() : QString();
    if (!target || !target->canSaveInFileType()) {
        const QString type = target ? target->documentFileType() : QString();
        discardTool();
        alert("ConnectionCannotBeCreated_win_doc_Title",
              PLLocalizedStrings::string(QStringLiteral("ConnectionCannotBeCreated_win_doc_Msg"))
                  .replace(QStringLiteral("%@"), type));
        return false;
    }
    if (path.isEmpty()) {
        discardTool();
        alert("ConnectionCannotBeCreated_unsaved_doc_Title",
              PLLocalizedStrings::string(QStringLiteral("ConnectionCannotBeCreated_unsaved_doc_Msg")));
        return false;
    }
    const std::shared_ptr<IXConnectionNode> connection = m_branch1->addConnection();
    connection->setTargetNode(m_branch2);
    connection->setTitle(m_branch2->title());
    const std::shared_ptr<IXReferenceNode> link = connection->addRelatedLink();
    link->setSubtype(IXReferenceNode::SubtypeFile);
    link->setFilePath(path);
    m_context1->setHighlights(IXSelection());
    m_context1->setSelection(IXSelection::selectionWithNode(connection));
    targetContext->setHighlights(IXSelection());
    discardTool();
    return true;
}

void IXConnectionTool::makeBranchConnection(QObject*)
try {
    discardTool();
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXConnectionTool::validateMenuItem(QAction* item)
try {
    return IXActionItem::actionOf(item) == IXCommands::MakeBranchConnection;
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

bool IXConnectionTool::validateToolbarItem(UTToolbarItem* item)
{
    if (IXActionItem::actionOf(item) != IXCommands::MakeBranchConnection) return true;
    IXWindowControlling* controller = context() ? context()->controller() : nullptr;
    item->setCheckable(true);
    item->setChecked(isActive());
    return !controller || controller->documentLayout() != PrintLayoutMode;
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
    revalidateToolbars();
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
    QWidget* hit = IXWidgetHits::widgetAt(window, mouse->position());
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
