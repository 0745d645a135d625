#include "DocumentViews/IXCommentTitleTool.h"

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXWidgetHits.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Text/PLFont.h"
#include "Platform/Text/PLFontSubstitutions.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextEdit>
#include <QWindow>

#include <cmath>

IXCommentTitleTool::IXCommentTitleTool(IXToolManager* manager)
    : IXTextEditingTool(manager)
{
}

IXCommentTitleTool::~IXCommentTitleTool()
{
    if (m_node || m_frameView) {
        PLLog::write(QStringLiteral("IXCommentTitleTool released still holding its comment or its editor"));
        if (m_frameView) m_frameView->deleteLater();
    }
    PLRunLoop::cancel(this);
    PLNotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<IXNode> IXCommentTitleTool::editedObject() const
{
    return m_node;
}

void IXCommentTitleTool::setEditedObject(const std::shared_ptr<IXNode>& object)
{
    PL_ASSERT_PARAM(object, "node");
    PL_ASSERT_PARAM(object->isComment(), "[node isComment]");
    PL_ASSERT_PARAM(!m_node, "!_node");
    m_node = std::static_pointer_cast<IXCommentNode>(object);
}

void IXCommentTitleTool::releaseEditedObject()
{
    m_node.reset();
}

QTextEdit* IXCommentTitleTool::textView() const
{
    return m_frameView ? m_frameView->textView() : nullptr;
}

bool IXCommentTitleTool::activateTool()
{
    IXMapView* map = mapView();
    IXLayoutContext* context = this->context();
    // Only a floating text shown on a map view can be edited there.
    if (!map || !m_node) return false;
    context->performLayoutIfNeeded();
    if (!context->cells().cellForNode(m_node.get())) return false;

    m_frameView = new IXCommentTitleView(map);
    PLExceptionBoundary::connect(m_frameView.data(), &IXBranchTitleView::textDidBeginEditing, this, [this] {
        if (isActive()) beginEditing();
    });
    PLExceptionBoundary::connect(m_frameView.data(), &IXBranchTitleView::focusLost, this,
                                 [this](Qt::FocusReason) { closeEditor(); });
    reloadText();
    setUpSpelling(m_frameView->spelling());
    adjustToDocumentView();
    m_frameView->show();
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(map)) {
        scroller->ensureWidgetVisible(m_frameView, 0, 0);
        // The editor does not follow scrolling: the edit ends, keeping what was typed.
        PLNotificationCenter::defaultCenter().addObserver(this,
                                                          IXScalingScrollView::ReflectScrolledClipViewNotification,
                                                          scroller, [this](const PLNotification&) { closeEditor(); });
    }
    m_node->addObserver(this);
    map->installEventFilter(this);
    m_frameView->textView()->setFocus(Qt::OtherFocusReason);
    return IXTool::activateTool();
}

void IXCommentTitleTool::reloadText()
{
    if (!m_frameView || !m_node || !context()) return;
    const std::shared_ptr<const IXStyleNode> style = context()->styleForReading(m_node.get());
    const IXStyleTextAttributes attributes = style ? style->floatingTextAttributes() : IXStyleTextAttributes();
    PLFont font = attributes.font ? PLFont::fromQFont(*attributes.font) : PLFont();
    font.family = PLFontSubstitutions::availableFamily(font.family);
    const Qt::Alignment alignment
        = attributes.paragraphStyle ? attributes.paragraphStyle->alignment() & Qt::AlignHorizontal_Mask : Qt::AlignLeft;
    const QColor color
        = attributes.foregroundColor.isNull() ? QColor(Qt::black) : attributes.foregroundColor.toQColor();
    // Texts too light to read on the editor's white field are typed in black.
    m_frameView->setTextAttributes(font.toQFont(),
                                   color.lightnessF() > 0.75 || color.alphaF() < 0.5 ? Qt::black : color, alignment);
    m_loadedText = m_node->title();
    m_frameView->loadText(m_loadedText);
}

void IXCommentTitleTool::showTextOnMap(bool flag)
{
    auto* cell
        = context() && m_node ? dynamic_cast<IXTextCell*>(context()->cells().cellForNode(m_node.get())) : nullptr;
    if (cell && cell->drawsText() != flag) cell->setDrawsText(flag);
}

void IXCommentTitleTool::adjustToDocumentView()
{
    IXMapView* map = mapView();
    IXLayoutContext* context = this->context();
    if (!map || !m_frameView || !m_node) return;
    auto* cell = dynamic_cast<IXTextCell*>(context->cells().cellForNode(m_node.get()));
    if (!cell) return;
    showTextOnMap(false);
    const PLRect shown = context->coordinates().convertRectFromCell(cell->bounds(), cell);
    IXBranchTitleView::Placement placement;
    // Whole pixels, so that the editor does not shift by a fraction as it is placed again.
    placement.titleRect = QRectF(map->rectToQt(shown).toAlignedRect());
    placement.zoom = context->coordinates().transCanvasToView().transformSize(PLSize(1, 1)).width;
    placement.wrapWidth = cell->cellBoxSize().width;
    const IXBranchTitleView::Placement& current = m_frameView->placement();
    if (current.titleRect == placement.titleRect && current.zoom == placement.zoom
        && current.wrapWidth == placement.wrapWidth)
        return;
    m_frameView->setPlacement(placement);
}

bool IXCommentTitleTool::commitTool()
{
    if (m_node && m_frameView && m_frameView->text() != m_loadedText) {
        const std::shared_ptr<IXCommentNode> comment = m_node;
        const QString text = m_frameView->text();
        m_loadedText = text;
        // The title's notice ends this tool before setTitle returns.
        comment->setTitle(text);
    }
    return IXTool::commitTool();
}

void IXCommentTitleTool::closeEditor()
{
    if (!m_frameView) return;
    if (isEditing()) commitEditing();
    discardTool();
}

void IXCommentTitleTool::discardTool()
{
    closeSpelling();
    IXMapView* map = mapView();
    if (m_node) m_node->removeObserver(this);
    PLNotificationCenter::defaultCenter().removeObserver(this);
    if (map) map->removeEventFilter(this);
    if (IXCommentTitleView* view = m_frameView) {
        showTextOnMap(true);
        m_frameView = nullptr;
        view->disconnect(this);
        if (map && view->textView()->hasFocus()) map->setFocus(Qt::OtherFocusReason);
        view->hide();
        if (view->parentWidget()) view->parentWidget()->update(view->geometry());
        view->deleteLater();
    }
    m_node.reset();
    IXTool::discardTool();
}

void IXCommentTitleTool::startWithEvent(const IXToolEvent& event)
{
    const QKeyEvent* key = event.keyEvent();
    QTextEdit* text = textView();
    if (!key || !text) return;
    text->setFocus(Qt::OtherFocusReason);
    if (key->key() == Qt::Key_Space || key->key() == Qt::Key_F2 || key->text().isEmpty()) return;
    QKeyEvent typed(QEvent::KeyPress, key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
    QCoreApplication::sendEvent(text, &typed);
}

bool IXCommentTitleTool::onSendEvent(QWindow* window, QEvent* event)
{
    if (!m_frameView) return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (!m_frameView->textView()->hasFocus()) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            discardEditing();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (key->modifiers() & Qt::AltModifier) {
                m_frameView->textView()->textCursor().insertText(QStringLiteral("\n"));
                return true;
            }
            closeEditor();
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // Tab ends the edit as it ends a text field's.
            closeEditor();
            return true;
        default:
            return false;
        }
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (!window || window->type() == Qt::Popup) return false;
        const QWidget* hit = IXWidgetHits::widgetAt(window, static_cast<QMouseEvent*>(event)->position());
        if (IXWidgetHits::isWithin(hit, m_frameView)) {
            m_frameView->update();
            return false;
        }
        // A click on the map elsewhere ends the edit, keeping the text; one outside the map
        // (a panel, the menu bar) leaves it open.
        if (IXWidgetHits::isWithin(hit, mapView())) closeEditor();
        return false;
    }
    default:
        return false;
    }
}

bool IXCommentTitleTool::respondsToSelector(std::string_view selector) const
{
    return IXTool::respondsToSelector(selector)
        || isAnyOf(selector, {IXLayoutContextDidLayout, IXNodeDetach, IXCommentNodeDidChangeProperty});
}

void IXCommentTitleTool::notifiedOfNodeDetach(IXNode* node)
{
    if (m_node && node == m_node.get()) discardTool();
}

void IXCommentTitleTool::notifiedOfCommentNode(IXCommentNode* comment, const QString& property)
{
    // The title changed, by this tool's commit or from elsewhere.
    if (m_node && comment == m_node.get() && property == IXProperties::Title) discardTool();
}

void IXCommentTitleTool::notifiedOfLayoutContextDidLayout(IXLayoutContext*)
{
    // The model's text comes back only while nothing was typed: a layout never drops typing.
    if (m_frameView && !m_frameView->isModified()) reloadText();
    adjustToDocumentView();
}

void IXCommentTitleTool::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    if (isEditing()) commitEditing();
    IXTool::notifiedOfLayoutContextWillInvalidate(context);
}
