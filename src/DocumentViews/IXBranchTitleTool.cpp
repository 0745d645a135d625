#include "DocumentViews/IXBranchTitleTool.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXBranchTitleView.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXContinuousSpellChecking.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXSpellingHighlighter.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXWidgetHits.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/System/PLKeyboard.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Text/PLFont.h"
#include "Platform/Text/PLFontSubstitutions.h"
#include "Platform/Text/PLSpellChecker.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTextEdit>
#include <QWindow>

#include <algorithm>

namespace {

// Texts too light to read on the editor's white field are typed in black.
QColor readableColor(const PLColor& color)
{
    if (color.isNull()) return Qt::black;
    const QColor shown = color.toQColor();
    return shown.lightnessF() > 0.75 || shown.alphaF() < 0.5 ? QColor(Qt::black) : shown;
}

}  // namespace

IXBranchTitleTool::IXBranchTitleTool(IXToolManager* manager)
    : IXTextEditingTool(manager)
{
}

IXBranchTitleTool::~IXBranchTitleTool()
{
    // Releasing the tool with its branch or editor still set is a programming error; the
    // destructor cannot stop, so it says so and lets both go.
    if (m_node || m_frameView) {
        PLLog::write(QStringLiteral("IXBranchTitleTool released still holding its branch or its editor"));
        if (m_frameView) m_frameView->deleteLater();
    }
    PLRunLoop::cancel(this);
    PLNotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<IXNode> IXBranchTitleTool::editedObject() const
{
    return m_node;
}

void IXBranchTitleTool::releaseEditedObject()
{
    m_node.reset();
}

void IXBranchTitleTool::setEditedObject(const std::shared_ptr<IXNode>& object)
{
    PL_ASSERT_PARAM(object, "node");
    PL_ASSERT_PARAM(object->isBranch(), "[node isBranch]");
    PL_ASSERT_PARAM(!m_node, "!_node");
    m_node = std::static_pointer_cast<IXBranchNode>(object);
}

QTextEdit* IXBranchTitleTool::textView() const
{
    return m_frameView ? m_frameView->textView() : nullptr;
}

bool IXBranchTitleTool::activateTool()
{
    IXMapView* map = mapView();
    IXLayoutContext* context = this->context();
    // Only a branch shown on a map view can be edited there.
    if (!map || !m_node) return false;
    context->performLayoutIfNeeded();
    if (!context->cells().branchCellForNode(m_node.get())) return false;

    m_frameView = new IXBranchTitleView(map);
    PLExceptionBoundary::connect(m_frameView.data(), &IXBranchTitleView::textDidBeginEditing, this,
                                 [this] { textDidBeginEditing(); });
    PLExceptionBoundary::connect(m_frameView.data(), &IXBranchTitleView::focusLost, this,
                                 [this](Qt::FocusReason reason) {
                                     // The window going to the background ends the edit as a click elsewhere would.
                                     if (reason == Qt::ActiveWindowFocusReason) m_keyCode = PLKeyboard::Escape;
                                     textDidEndEditing();
                                 });
    reloadText();
    setUpSpelling(m_frameView->spelling());
    adjustToDocumentView();
    m_frameView->show();
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(map)) {
        scroller->ensureWidgetVisible(m_frameView, 0, 0);
        PLNotificationCenter::defaultCenter().addObserver(
            this, IXScalingScrollView::ReflectScrolledClipViewNotification, scroller,
            [this](const PLNotification&) { adjustToDocumentView(); });
    }
    m_node->addObserver(this);
    // Zooming moves the title without a new layout: the map's next frame places the editor.
    map->installEventFilter(this);

    m_keyCode = 0;
    m_frameView->textView()->selectAll();
    m_frameView->textView()->setFocus(Qt::OtherFocusReason);
    return IXTool::activateTool();
}

void IXBranchTitleTool::showTitleOnMap(bool flag)
{
    IXBranchCell* cell = context() && m_node ? context()->cells().branchCellForNode(m_node.get()) : nullptr;
    IXTextCell* title = cell ? cell->titleCell() : nullptr;
    if (title && title->drawsText() != flag) title->setDrawsText(flag);
}

void IXBranchTitleTool::reloadText()
{
    if (!m_frameView || !m_node || !context()) return;
    const std::shared_ptr<const IXStyleNode> style = context()->styleForReading(m_node.get());
    const IXStyleTextAttributes attributes = style ? style->branchTextAttributes() : IXStyleTextAttributes();
    // The font as the map lays titles out: the installed family, a map unit per point.
    PLFont font = attributes.font ? PLFont::fromQFont(*attributes.font) : PLFont();
    font.family = PLFontSubstitutions::availableFamily(font.family);
    const Qt::Alignment alignment
        = attributes.paragraphStyle ? attributes.paragraphStyle->alignment() & Qt::AlignHorizontal_Mask : Qt::AlignLeft;
    m_frameView->setTextAttributes(font.toQFont(), readableColor(attributes.foregroundColor), alignment);
    m_loadedText = m_node->title();
    m_frameView->setText(m_loadedText);
}

void IXBranchTitleTool::adjustToDocumentView()
{
    IXMapView* map = mapView();
    IXLayoutContext* context = this->context();
    if (!map || !m_frameView || !m_node) return;
    IXBranchCell* cell = context->cells().branchCellForNode(m_node.get());
    if (!cell) return;
    // The editor's text takes the title's place (a new layout may have made a new cell).
    showTitleOnMap(false);
    IXLayoutCell* shown = cell->titleCell() ? static_cast<IXLayoutCell*>(cell->titleCell()) : cell;
    const PLRect title = context->coordinates().convertRectFromCell(shown->bounds(), shown);

    IXBranchTitleView::Placement placement;
    placement.titleRect = map->rectToQt(title);
    placement.zoom = context->coordinates().transCanvasToView().transformSize(PLSize(1, 1)).width;
    // Titles wrap at the branch's text width, as the map lays them out.
    if (const std::shared_ptr<const IXStyleNode> style = context->styleForReading(m_node.get())) {
        const float width = IXGeometryLimits::branchTextWidth(*style);
        placement.wrapWidth
            = std::max(IXGeometryLimits::branchMinLength(*style), width >= 1 ? width : IXBranchCell::DefaultTextWidth);
    }
    const IXBranchTitleView::Placement& current = m_frameView->placement();
    if (current.titleRect == placement.titleRect && current.zoom == placement.zoom
        && current.wrapWidth == placement.wrapWidth)
        return;
    m_frameView->setPlacement(placement);
}

bool IXBranchTitleTool::commitTool()
{
    // Only what the user typed is written: an untouched editor leaves the title as it is.
    if (m_node && m_frameView && m_frameView->text() != m_loadedText) {
        const std::shared_ptr<IXBranchNode> branch = m_node;
        const QString text = m_frameView->text();
        m_loadedText = text;
        // The title's notice ends this tool before setTitle returns.
        branch->setTitle(text);
    }
    return IXTool::commitTool();
}

void IXBranchTitleTool::discardTool()
{
    closeSpelling();
    IXMapView* map = mapView();
    if (IXLayoutContext* context = this->context(); context && context->controller())
        context->controller()->currentToolDiscardedWithKeyCode(m_keyCode);
    if (m_node) m_node->removeObserver(this);
    PLNotificationCenter::defaultCenter().removeObserver(this);
    if (map) map->removeEventFilter(this);
    if (IXBranchTitleView* view = m_frameView) {
        showTitleOnMap(true);
        m_frameView = nullptr;
        view->disconnect(this);
        // The map takes the keys again, unless the focus already went elsewhere.
        if (map && view->textView()->hasFocus()) map->setFocus(Qt::OtherFocusReason);
        view->hide();
        if (view->parentWidget()) view->parentWidget()->update(view->geometry());
        view->deleteLater();
    }
    m_node.reset();
    IXTool::discardTool();
}

void IXBranchTitleTool::textDidBeginEditing()
{
    if (isActive()) beginEditing();
}

void IXBranchTitleTool::textDidEndEditing()
{
    if (!m_frameView) return;
    if (isEditing()) commitEditing();
    discardTool();
}

void IXBranchTitleTool::startWithEvent(const IXToolEvent& event)
{
    const QKeyEvent* key = event.keyEvent();
    QTextEdit* text = textView();
    if (!key || !text) return;
    // Space and F2 open the editor on the whole title; a typed key replaces it.
    if (key->key() == Qt::Key_Space || key->key() == Qt::Key_F2) {
        text->setFocus(Qt::OtherFocusReason);
        text->selectAll();
        return;
    }
    if (key->text().isEmpty()) return;
    QKeyEvent typed(QEvent::KeyPress, key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
    QCoreApplication::sendEvent(text, &typed);
}

bool IXBranchTitleTool::onSendEvent(QWindow* window, QEvent* event)
{
    if (!m_frameView) return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Only the keys that reach the editor's text.
        if (!m_frameView->textView()->hasFocus()) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            m_keyCode = PLKeyboard::Escape;
            discardEditing();
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (key->modifiers() & Qt::AltModifier) {
                m_frameView->textView()->textCursor().insertText(QStringLiteral("\n"));
                return true;
            }
            m_keyCode = PLKeyboard::Return;
            textDidEndEditing();
            return true;
        default:
            return false;
        }
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // Menus over the window leave the edit open: their items may act on the text.
        if (!window || window->type() == Qt::Popup) return false;
        const QWidget* hit = IXWidgetHits::widgetAt(window, static_cast<QMouseEvent*>(event)->position());
        if (IXWidgetHits::isWithin(hit, m_frameView)) {
            m_frameView->update();
            return false;
        }
        if (IXWidgetHits::isInMenuBar(hit)) return false;
        // The edit ends keeping the text; the click goes on to what it hit. Outside the map it
        // ends brainstorming too, as Escape would; on the map the selection it makes decides.
        if (!IXWidgetHits::isWithin(hit, mapView())) m_keyCode = PLKeyboard::Escape;
        textDidEndEditing();
        return false;
    }
    default:
        return false;
    }
}

bool IXBranchTitleTool::respondsToSelector(std::string_view selector) const
{
    return IXTool::respondsToSelector(selector)
        || isAnyOf(selector, {IXLayoutContextDidLayout, IXNodeDetach, IXBranchNodeDidChangeProperty});
}

void IXBranchTitleTool::notifiedOfNodeDetach(IXNode* node)
{
    if (m_node && node == m_node.get()) discardTool();
}

void IXBranchTitleTool::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    // The title changed, by this tool's commit or from elsewhere.
    if (m_node && branch == m_node.get() && property == IXProperties::Title) discardTool();
}

void IXBranchTitleTool::notifiedOfLayoutContextDidLayout(IXLayoutContext*)
{
    adjustToDocumentView();
}

void IXBranchTitleTool::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    if (isEditing()) commitEditing();
    IXTool::notifiedOfLayoutContextWillInvalidate(context);
}
