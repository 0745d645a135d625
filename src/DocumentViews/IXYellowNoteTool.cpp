#include "DocumentViews/IXYellowNoteTool.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXOutlineModel.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXWidgetHits.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/System/PLKeyboard.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/System/PLMouseEvent.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextEdit>
#include <QWindow>

#include <cmath>

namespace {

// One discard at a time for all notes: a discard's own notices must not start another.
bool discarding = false;

// Where the note opens when the branch shows no note indicator.
constexpr PLPoint FallbackOrigin(200, 200);
// The top of the note in which a right click or control-click offers the header's menu.
constexpr float MenuStripHeight = 20;

}  // namespace

IXYellowNoteTool::IXYellowNoteTool(IXToolManager* manager)
    : IXTool(manager)
{
}

IXYellowNoteTool::~IXYellowNoteTool()
{
    if (m_node || m_frameView) {
        PLLog::write(QStringLiteral("IXYellowNoteTool released still holding its comment or its note"));
        if (m_frameView) m_frameView->deleteLater();
    }
    if (m_headerMenu) m_headerMenu->deleteLater();
    PLRunLoop::cancel(this);
    PLNotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<IXNode> IXYellowNoteTool::editedObject() const
{
    return m_node;
}

void IXYellowNoteTool::setEditedObject(const std::shared_ptr<IXNode>& object)
{
    PL_ASSERT_PARAM(object, "node");
    PL_ASSERT_PARAM(object->isComment(), "[node isComment]");
    PL_ASSERT_PARAM(!m_node, "!_node");
    m_node = std::static_pointer_cast<IXCommentNode>(object);
}

void IXYellowNoteTool::releaseEditedObject()
{
    m_node.reset();
}

QTextEdit* IXYellowNoteTool::textView() const
{
    return m_frameView ? m_frameView->textView() : nullptr;
}

QWidget* IXYellowNoteTool::host() const
{
    return IXWidgetHits::overlayHost(IXWidgetHits::documentView(context()));
}

IXBranchNode* IXYellowNoteTool::branch() const
{
    return m_node ? dynamic_cast<IXBranchNode*>(m_node->parentNode()) : nullptr;
}

bool IXYellowNoteTool::activateTool()
{
    QWidget* host = this->host();
    // A branch's comment, shown over a view.
    if (!host || !branch()) return false;
    if (context()->view()) context()->performLayoutIfNeeded();

    m_frameView = new IXYellowNoteView(host);
    IXYellowNoteView* note = m_frameView;
    PLExceptionBoundary::connect(note, &IXYellowNoteView::textDidBeginEditing, this, [this] {
        if (isActive()) beginEditing();
    });
    // The note stays open when its text loses the focus; what was typed is written.
    PLExceptionBoundary::connect(note, &IXYellowNoteView::textDidEndEditing, this, [this] {
        if (isEditing()) commitEditing();
    });
    PLExceptionBoundary::connect(note, &IXYellowNoteView::closeRequested, this, [this] { closeNote(); });
    PLExceptionBoundary::connect(note, &IXYellowNoteView::gestureEnded, this,
                                 [this](IXYellowNoteView::Gesture gesture) { gestureEnded(gesture); });
    reloadText();
    m_spelling.open(note->spelling(), context());
    adjustToDocumentView();
    note->show();
    QWidget* view = IXWidgetHits::documentView(context());
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(view)) {
        scroller->ensureWidgetVisible(note, 0, 0);
        PLNotificationCenter::defaultCenter().addObserver(this,
                                                          IXScalingScrollView::ReflectScrolledClipViewNotification,
                                                          scroller, [this](const PLNotification&) { closeNote(); });
    } else if (auto* outline = qobject_cast<IXOutlineMapView*>(view)) {
        for (QScrollBar* bar : {outline->verticalScrollBar(), outline->horizontalScrollBar()})
            m_scrolling.append(
                PLExceptionBoundary::connect(bar, &QScrollBar::valueChanged, this, [this] { closeNote(); }));
    }
    m_node->addObserver(this);
    return IXTool::activateTool();
}

void IXYellowNoteTool::reloadText()
{
    if (!m_frameView || !m_node) return;
    m_loadedText = m_node->title();
    m_frameView->setText(m_loadedText);
    if (IXBranchNode* owner = branch()) m_frameView->setHeaderTitle(owner->title());
}

std::optional<PLPoint> IXYellowNoteTool::commentCellOrigin() const
{
    IXBranchNode* owner = branch();
    IXBranchCell* cell = owner && context() ? context()->cells().branchCellForNode(owner) : nullptr;
    IXLayoutCell* indicator = cell ? cell->commentCell() : nullptr;
    if (!indicator) return std::nullopt;
    return context()->coordinates().convertPointFromCell(PLPoint(0, 0), indicator);
}

void IXYellowNoteTool::adjustToDocumentView()
{
    QWidget* host = this->host();
    IXBranchNode* owner = branch();
    if (!m_frameView || !host || !owner) return;
    if (m_frameView->gesture() != IXYellowNoteView::Gesture::None) return;
    const std::shared_ptr<const IXStyleNode> style = context()->styleForReading(m_node.get());
    PLPoint origin = FallbackOrigin;
    const std::optional<PLPoint> indicator = commentCellOrigin();
    if (indicator) {
        const PLPoint offset = style ? style->floatingTargetOffset() : PLPoint();
        origin = PLPoint(std::ceil(indicator->x + offset.x), std::ceil(indicator->y + offset.y));
    } else if (auto* outline = qobject_cast<IXOutlineMapView*>(IXWidgetHits::documentView(context()))) {
        // Beside the row's comment cell (the row itself when the column is hidden), its top with
        // the row's top.
        QRect row = outline->visualRect(outline->indexForBranch(owner, IXOutlineModel::Comment));
        if (row.isEmpty() || outline->isColumnHidden(IXOutlineModel::Comment))
            row = outline->visualRect(outline->indexForBranch(owner, IXOutlineModel::Title));
        if (!row.isEmpty()) {
            const float top = float(host->height() - row.top());
            origin = PLPoint(float(row.right() + 1), top - (IXYellowNoteView::VerticalPadding + 20));
        }
    }
    const float stored = style ? style->commentTextWidth() : 0;
    m_frameView->setMovable(indicator.has_value());
    m_frameView->place(origin,
                       stored >= IXYellowNoteView::MinimumTextWidth ? stored : IXYellowNoteView::DefaultTextWidth);
    m_frameView->setHeaderTitle(owner->title());
}

void IXYellowNoteTool::gestureEnded(IXYellowNoteView::Gesture gesture)
{
    if (!m_frameView || !m_node || !context()) return;
    const std::shared_ptr<IXStyleNode> style = context()->styleForNode(m_node.get());
    if (!style) return;
    if (gesture == IXYellowNoteView::Gesture::Move) {
        const std::optional<PLPoint> indicator = commentCellOrigin();
        if (!indicator) return;
        const PLPoint origin = m_frameView->noteFrame().origin;
        style->setFloatingTargetOffset(PLPoint(origin.x - indicator->x, origin.y - indicator->y));
    } else if (gesture == IXYellowNoteView::Gesture::Resize) {
        // The text width itself, so that the note opens again as wide as it was left.
        style->setCommentTextWidth(m_frameView->textWidth());
    }
}

bool IXYellowNoteTool::commitTool()
{
    if (m_node && m_frameView && m_frameView->text() != m_loadedText) {
        m_loadedText = m_frameView->text();
        m_node->setTitle(m_loadedText);
    }
    return IXTool::commitTool();
}

void IXYellowNoteTool::closeNote()
{
    if (!m_frameView) return;
    commitTool();
    discardTool();
}

void IXYellowNoteTool::removeComment()
{
    const std::shared_ptr<IXCommentNode> comment = m_node;
    IXBranchNode* owner = branch();
    // Its detach closes the note.
    if (owner && comment && owner->comment() == comment) owner->removeComment();
}

void IXYellowNoteTool::discardTool()
{
    if (m_frameView) PLRunLoop::cancel(m_frameView.data());
    if (discarding) return;
    discarding = true;
    m_spelling.close();
    if (m_node) m_node->removeObserver(this);
    PLNotificationCenter::defaultCenter().removeObserver(this);
    if (m_headerMenu) m_headerMenu->close();
    if (IXYellowNoteView* view = m_frameView) {
        m_frameView = nullptr;
        view->disconnect(this);
        QWidget* focusBack = IXWidgetHits::documentView(context());
        if (focusBack && view->textView()->hasFocus()) focusBack->setFocus(Qt::OtherFocusReason);
        view->hide();
        if (view->parentWidget()) view->parentWidget()->update(view->geometry().adjusted(-4, -4, 4, 4));
        view->deleteLater();
    }
    for (const QMetaObject::Connection& connection : std::exchange(m_scrolling, {})) QObject::disconnect(connection);
    m_node.reset();
    IXTool::discardTool();
    discarding = false;
}

void IXYellowNoteTool::startWithEvent(const IXToolEvent& event)
{
    const QKeyEvent* key = event.keyEvent();
    QTextEdit* text = textView();
    if (!key || !text || key->text().isEmpty()) return;
    text->setFocus(Qt::OtherFocusReason);
    QKeyEvent typed(QEvent::KeyPress, key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
    QCoreApplication::sendEvent(text, &typed);
}

void IXYellowNoteTool::showHeaderMenu(QPoint globalPosition)
{
    if (!m_headerMenu) {
        m_headerMenu = new QMenu(m_frameView);
        QAction* remove = m_headerMenu->addAction(PLLocalizedStrings::string(QStringLiteral("Delete")));
        PLExceptionBoundary::connect(remove, &QAction::triggered, this, [this] { removeComment(); });
    }
    m_headerMenu->popup(globalPosition);
}

bool IXYellowNoteTool::onSendEvent(QWindow* window, QEvent* event)
{
    if (!m_frameView) return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
        discardEditing();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (!window || window->type() == Qt::Popup) return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        QWidget* hit = IXWidgetHits::widgetAt(window, mouse->position());
        if (IXWidgetHits::isWithin(hit, m_frameView)) {
            const QPointF inNote = m_frameView->mapFromGlobal(mouse->globalPosition());
            const std::uint32_t modifiers = PLKeyboard::modifierFlags(mouse->modifiers())
                & (PLMouseEvent::Shift | PLMouseEvent::Control | PLMouseEvent::Option | PLMouseEvent::Command);
            const bool menuClick = mouse->button() == Qt::RightButton
                || (mouse->button() == Qt::LeftButton && modifiers == PLMouseEvent::Control);
            if (menuClick && inNote.y() >= 0 && inNote.y() < MenuStripHeight) {
                showHeaderMenu(mouse->globalPosition().toPoint());
                return true;
            }
            m_frameView->update();
            return false;
        }
        // A click elsewhere on the map (or the outline) closes the note, keeping the text.
        if (IXWidgetHits::isWithin(hit, host())) closeNote();
        return false;
    }
    default:
        return false;
    }
}

bool IXYellowNoteTool::respondsToSelector(std::string_view selector) const
{
    return IXTool::respondsToSelector(selector)
        || isAnyOf(selector,
                   {IXLayoutContextDidLayout, IXLayoutContextDidChangeSelection, IXNodeDetach,
                    IXCommentNodeDidChangeProperty});
}

void IXYellowNoteTool::notifiedOfNodeDetach(IXNode* node)
{
    if (m_node && node == m_node.get()) discardTool();
}

void IXYellowNoteTool::notifiedOfCommentNode(IXCommentNode* comment, const QString& property)
{
    // A title changed elsewhere shows here, unless something was typed (which wins on close).
    if (m_frameView && m_node && comment == m_node.get() && property == IXProperties::Title
        && !m_frameView->isModified() && m_node->title() != m_frameView->text())
        reloadText();
}

void IXYellowNoteTool::notifiedOfLayoutContextDidLayout(IXLayoutContext*)
{
    adjustToDocumentView();
}

void IXYellowNoteTool::notifiedOfLayoutContextDidChangeSelection(IXLayoutContext*, const IXSelection& selection)
{
    IXBranchNode* owner = branch();
    if (m_frameView && owner && !selection.containsNode(owner)) closeNote();
}

void IXYellowNoteTool::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    commitTool();
    IXTool::notifiedOfLayoutContextWillInvalidate(context);
}
