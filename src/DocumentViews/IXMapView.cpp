#include "DocumentViews/IXMapView.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXContinuousSpellChecking.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentViews/IXTrackingLoop.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLUndoTransaction.h"
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLPixels.h"
#include "Platform/System/PLKeyboard.h"
#include "Platform/System/PLMouseTracking.h"
#include "Utilities/UTStartupTrace.h"

#include <QAction>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <chrono>
#include <cmath>

IXMapView::IXMapView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

IXMapView::~IXMapView()
{
    if (m_context) {
        PLLog::write(QStringLiteral("Invalid parameter not satisfying: !_context"));
        detachFromController();
    }
}

void IXMapView::setLayoutName(const QString& layoutName)
{
    PL_ASSERT(m_layoutName.isEmpty() && !layoutName.isEmpty());
    m_layoutName = layoutName;
    ++m_changeCount;
}

IXScalingScrollView* IXMapView::scrollView() const
{
    return IXScalingScrollView::scalingScrollView(this);
}

// --- Attach and detach ---

void IXMapView::attachToController(IXWindowControlling* controller)
{
    PL_ASSERT_PARAM(controller, "controller");
    if (IXWindowControllerLookup* lookup = IXWindowControllerLookup::shared())
        PL_ASSERT_PARAM(lookup->windowControllerForWindow(window()) == controller, "attaching to different controller");
    m_detachPosted = false;
    PLRunLoop::cancel(this, "detach");
    IXScalingScrollView* scroller = scrollView();
    if (m_context && m_context->controller() == controller) {
        m_context->performLayoutIfNeeded();
        if (scroller && m_lastPageScale >= 0.01f) scroller->setScaleFactor(m_lastPageScale);
        restoreCenter();
        return;
    }
    const std::shared_ptr<IXDocumentNode> document = controller->documentNode();
    PL_ASSERT_PARAM(document, "document");
    const std::shared_ptr<IXLayoutNode> layout = document->layoutForName(m_layoutName);
    PL_ASSERT_PARAM(layout, "layout");
    PL_ASSERT_PARAM(!m_context, "Cannot switch layout contexts");
    UTStartupTrace::mark("view-attaching");
    m_pageScale = 1.0f;
    m_context = std::make_unique<IXLayoutContext>(controller, layout.get(), this);
    m_context->setFixAntialiasing(true);
    m_context->setSelection(IXSelection::selectionWithNode(document));
    m_context->performLayout();
    UTStartupTrace::mark("view-laid-out");
    adjustCanvas();
    if (m_lastPageScale >= 0.01f) {
        if (scroller) scroller->setScaleFactor(m_lastPageScale);
        restoreCenter();
    } else {
        // First attach: the whole map, but never enlarged.
        if (scroller) {
            scroller->scaleToFit(nullptr);
            if (scroller->scaleFactor() > 1.0) scroller->setScaleFactor(1.0);
            m_lastPageScale = float(scroller->scaleFactor());
        } else {
            m_lastPageScale = 1.0f;
        }
        saveCenter();
    }
    UTStartupTrace::mark("view-attached");
    PLNotificationCenter::defaultCenter().addObserver(
        this, IXSpellCheckingNotices::ContinuousSpellCheckingChanged, nullptr, [this](const PLNotification&) {
            if (!m_context) return;
            m_context->setShowSpelling(IXContinuousSpellChecking::isOn());
            m_context->reloads().invalidateAll();
        });
}

void IXMapView::detachFromController()
{
    PLRunLoop::cancel(this);
    m_detachPosted = false;
    PLNotificationCenter::defaultCenter().removeObserver(this);
    if (!m_context) return;
    // The context's notice drops it; the pointer is released here.
    if (std::unique_ptr<IXLayoutContext> overview = std::move(m_overviewContext)) overview->invalidate();
    std::unique_ptr<IXLayoutContext> context = std::move(m_context);
    context->invalidate();
    update();
}

void IXMapView::delayedDetachFromController()
{
    if (m_detachPosted) detachFromController();
}

void IXMapView::willLeaveWindow()
{
    if (!m_context) return;
    if (IXScalingScrollView* scroller = scrollView()) {
        m_lastPageScale = float(scroller->scaleFactor());
        saveCenter();
    }
    if (m_detachPosted) return;
    m_detachPosted = true;
    PLRunLoop::perform(this, "detach", [this] { delayedDetachFromController(); },
                       std::chrono::milliseconds(DetachDelayMilliseconds));
}

void IXMapView::didEnterWindow()
{
    IXWindowControllerLookup* lookup = IXWindowControllerLookup::shared();
    IXWindowControlling* controller = lookup ? lookup->windowControllerForWindow(window()) : nullptr;
    if (!controller) return;
    IXScalingScrollView* scroller = scrollView();
    if (scroller && scroller->scalingView() != this) {
        // Being installed in the scroll view: attach once it zooms this view.
        PLRunLoop::perform(this, "attach", [this] { didEnterWindow(); });
        return;
    }
    if (m_context && m_context->controller() != controller) detachFromController();
    attachToController(controller);
}

void IXMapView::showEvent(QShowEvent* event)
try {
    QWidget::showEvent(event);
    if (!event->spontaneous()) didEnterWindow();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::hideEvent(QHideEvent* event)
try {
    if (!event->spontaneous()) willLeaveWindow();
    QWidget::hideEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::notifiedOfLayoutContextDidInit(IXLayoutContext* context)
{
    context->setShowSpelling(IXContinuousSpellChecking::isOn());
}

void IXMapView::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    // The owner of the context releases it; nothing here may invalidate it again.
    m_detachPosted = false;
}

// --- Spaces ---

PLAffineTransform IXMapView::documentViewTransform() const
{
    PLAffineTransform transform;
    transform.translateXBy(m_pageBounds.origin.x, m_pageBounds.origin.y);
    transform.scaleBy(m_pageScale);
    const PLRect canvas = m_context ? m_context->canvasBounds() : PLRect();
    transform.translateXBy(-canvas.origin.x, -canvas.origin.y);
    return transform;
}

PLPoint IXMapView::pointFromQt(QPointF point) const
{
    return PLPoint(float(point.x()), float(height() - point.y()));
}

QPointF IXMapView::pointToQt(PLPoint point) const
{
    return QPointF(point.x, height() - point.y);
}

PLRect IXMapView::rectFromQt(const QRectF& rect) const
{
    return PLRect(float(rect.x()), float(height() - rect.bottom()), float(rect.width()), float(rect.height()));
}

QRectF IXMapView::rectToQt(const PLRect& rect) const
{
    return QRectF(rect.origin.x, height() - rect.maxY(), rect.size.width, rect.size.height);
}

PLRect IXMapView::visibleRect() const
{
    QRect visible = rect();
    if (IXScalingScrollView* scroller = scrollView())
        visible &= QRect(mapFrom(scroller->viewport(), QPoint(0, 0)), scroller->viewport()->size());
    return rectFromQt(visible);
}

PLRect IXMapView::convertRectToWindow(const PLRect& rect) const
{
    const QRectF qt = rectToQt(rect);
    const QPointF topLeft = mapTo(window(), qt.topLeft());
    return PLRect(float(topLeft.x()), float(window()->height() - topLeft.y() - qt.height()), rect.size.width,
                  rect.size.height);
}

PLRect IXMapView::convertRectFromWindow(const PLRect& rect) const
{
    const QPointF topLeft = mapFrom(window(), QPointF(rect.origin.x, window()->height() - rect.maxY()));
    return rectFromQt(QRectF(topLeft, QSizeF(rect.size.width, rect.size.height)));
}

// --- Canvas, frame and centre ---

void IXMapView::adjustCanvas()
{
    m_canvasFrame = m_context ? m_context->canvasBounds() : PLRect();
    adjustFrame();
    if (scrollView() && m_context) restoreCenter();
}

void IXMapView::adjustFrame()
{
    const QSize visible = parentWidget() ? parentWidget()->size() : size();
    const float pageWidth = m_canvasFrame.size.width * m_pageScale;
    const float pageHeight = m_canvasFrame.size.height * m_pageScale;
    const int frameWidth = std::max(visible.width(), PLPixels::ceilInt(double(pageWidth) + 2 * PageMargin));
    const int frameHeight = std::max(visible.height(), PLPixels::ceilInt(double(pageHeight) + 2 * PageMargin));
    m_pageBounds = PLRect(std::ceil((frameWidth - pageWidth) * 0.5f), std::ceil((frameHeight - pageHeight) * 0.5f),
                          pageWidth, pageHeight);
    if (pageWidth + 2 * PageMargin <= visible.width() && pageHeight + 2 * PageMargin <= visible.height())
        m_lastMapCenter = PLPoint(m_canvasFrame.midX(), m_canvasFrame.midY());
    if (m_context) m_context->coordinates().invalidateTransform();
    m_ignoreScrolling = true;
    resize(frameWidth, frameHeight);
    m_ignoreScrolling = false;
    update();
}

void IXMapView::reflectScalingFactor()
{
    if (IXScalingScrollView* scroller = scrollView()) m_pageScale = float(scroller->scaleFactor());
    adjustCanvas();
}

void IXMapView::resizeWithOldSuperviewSize(const QSize&)
{
    adjustFrame();
}

QRectF IXMapView::scalingContentsRect() const
{
    if (!m_context) return QRectF();
    const PLRect cells = m_context->visibleCellsBounds();
    const PLRect canvas = m_context->canvasBounds();
    // Relative to the canvas's top-left, y-down, with room around the cells.
    return QRectF(cells.origin.x - canvas.origin.x, canvas.maxY() - cells.maxY(), cells.size.width,
                  cells.size.height)
        .adjusted(-40, -40, 40, 40);
}

void IXMapView::saveCenter()
{
    if (!m_context) return;
    const PLRect visible = visibleRect();
    const PLPoint center(visible.midX(), visible.midY());
    m_lastMapCenter = documentViewTransform().inverted().transformPoint(center);
}

void IXMapView::restoreCenter()
{
    IXScalingScrollView* scroller = scrollView();
    if (!scroller || !m_context) return;
    const QPointF center = pointToQt(documentViewTransform().transformPoint(m_lastMapCenter));
    const QSize content = scroller->viewport()->size();
    m_ignoreScrolling = true;
    scroller->horizontalScrollBar()->setValue(PLPixels::roundedInt(center.x() - content.width() * 0.5));
    scroller->verticalScrollBar()->setValue(PLPixels::roundedInt(center.y() - content.height() * 0.5));
    m_ignoreScrolling = false;
}

void IXMapView::moveEvent(QMoveEvent* event)
try {
    // Inside a scroll area the view moves as it scrolls.
    QWidget::moveEvent(event);
    if (!m_ignoreScrolling && scrollView() && isVisible()) saveCenter();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::scrollRectToVisible(const PLRect& rect)
{
    IXScalingScrollView* scroller = scrollView();
    if (!scroller || rect.isEmpty()) return;
    const QRectF target = rectToQt(rect);
    const QRectF visible = rectToQt(visibleRect());
    // Along each axis: the near edge first, the far edge as far as the near one stays shown.
    auto scrollAxis = [](QScrollBar* bar, double low, double high, double visibleLow, double visibleHigh) {
        const double extent = visibleHigh - visibleLow;
        double start = visibleLow;
        if (high > visibleHigh) start = std::min(high - extent, low);
        if (low < start) start = low;
        bar->setValue(PLPixels::floorInt(bar->value() + std::floor(start - visibleLow)));
    };
    scrollAxis(scroller->horizontalScrollBar(), target.left(), target.right(), visible.left(), visible.right());
    scrollAxis(scroller->verticalScrollBar(), target.top(), target.bottom(), visible.top(), visible.bottom());
}

// --- Drawing ---

void IXMapView::setNeedsDisplay()
{
    updateAfterReload();
}

void IXMapView::setNeedsDisplayInRect(const PLRect& rect)
{
    updateAfterReload(PLPixels::alignedRect(rectToQt(rect)));
}

void IXMapView::updateAfterReload(const QRect& area)
{
    if (!m_context || !m_context->reloads().isReloadPosted()) {
        if (area.isNull())
            update();
        else
            update(area);
        return;
    }
    // Queued behind the reload, which repaints what it changes: the two requests make one frame.
    if (!PLRunLoop::isPending(this, "heldUpdate"))
        PLRunLoop::perform(
            this, "heldUpdate", [this] { update(); }, {}, PLRunLoop::commonModes());
}

bool IXMapView::needsToDrawRect(const PLRect& rect) const
{
    const QRect area = PLPixels::alignedRect(rectToQt(rect));
    if (m_paintRegion) return m_paintRegion->intersects(area);
    return PLPixels::alignedRect(rectToQt(visibleRect())).intersects(area);
}

bool IXMapView::hasKeyFocus() const
{
    return isActiveWindow() && hasFocus();
}

void IXMapView::paintEvent(QPaintEvent* event)
try {
    QPainter painter(this);
    const QRegion region = event->region();
    m_paintRegion = &region;
    {
        PLGraphicsContext graphics(painter, float(height()), true);
        const PLColor frameColor = PLColor::system(PLColor::System::WindowFrame);
        graphics.setColor(frameColor.blended(0.5f, PLColor::white()));
        graphics.fillRect(rectFromQt(event->rect()));
        graphics.setColor(frameColor);
        graphics.strokePath(PLBezierPath::bezierPathWithRect(m_pageBounds.insetBy(-1.5f, -1.5f)));
        if (m_context && m_context->layoutNode()) m_context->display(graphics);
    }
    m_paintRegion = nullptr;
} catch (...) {
    m_paintRegion = nullptr;  // the region is gone
    PLExceptionBoundary::caught();
}

// --- Overview ---

void IXMapView::overviewDrawPreviewToImage(QImage& image)
{
    if (!m_context || image.isNull()) return;
    if (!m_overviewContext) {
        m_overviewContext = std::make_unique<IXLayoutContext>(m_context->controller(), m_context->layoutNode());
        m_overviewContext->setDrawMask(IXDrawMaskDefault & ~IXDrawMaskBackground);
    }
    m_overviewContext->performLayoutIfNeeded();
    image.fill(Qt::white);
    const PLRect canvas = m_overviewContext->canvasBounds();
    const PLSize page(canvas.size.width * m_pageScale, canvas.size.height * m_pageScale);
    if (!(page.width > 0) || !(page.height > 0)) return;
    PLGraphicsContext graphics(image);
    PLAffineTransform transform;
    transform.scaleXBy(float(image.width() / image.devicePixelRatio()) / page.width,
                       float(image.height() / image.devicePixelRatio()) / page.height);
    transform.scaleBy(m_pageScale);
    transform.translateXBy(-canvas.origin.x, -canvas.origin.y);
    graphics.concat(transform);
    m_overviewContext->drawRect(graphics, canvas);
}

// --- Context notices ---

bool IXMapView::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXLayoutContextDidInit, IXLayoutContextWillInvalidate, IXLayoutContextDidLayout,
                                              IXLayoutContextDidChangeSelection, IXLayoutContextDidChangeHighlights});
}

void IXMapView::notifiedOfLayoutContextDidLayout(IXLayoutContext* context)
{
    if (m_paintRegion) {
        // Laid out from within drawing: the frame changes on the next turn.
        PLRunLoop::perform(this, "didLayout", [this, context] {
            if (context == m_context.get()) notifiedOfLayoutContextDidLayout(context);
        });
        return;
    }
    if (m_context && !(m_context->canvasBounds() == m_canvasFrame)) adjustCanvas();
    ++m_changeCount;
    // The whole view repaints (after the reload, when one is queued again), held requests with it.
    if (!m_context || !m_context->reloads().isReloadPosted()) PLRunLoop::cancel(this, "heldUpdate");
    updateAfterReload();
}

void IXMapView::notifiedOfLayoutContextDidChangeSelection(IXLayoutContext* context, const IXSelection& selection)
{
    if (!m_context || context != m_context.get()) return;
    const std::shared_ptr<IXNode> node = selection.lastNode();
    m_context->performLayoutIfNeeded();
    IXLayoutCell* cell = node ? m_context->cells().cellForNode(node.get()) : nullptr;
    if (cell && node->isBranch()) {
        // The branch with its shown sub-branches as far as it fits, the branch itself always.
        if (node->level() != 0) scrollRectToVisible(m_context->coordinates().convertRectFromCell(cell->bounds(), cell).insetBy(-10, -10));
        if (auto* group = dynamic_cast<IXBranchGroupCell*>(cell); group && group->branchCell()) {
            IXLayoutCell* box = group->branchCell();
            scrollRectToVisible(m_context->coordinates().convertRectFromCell(box->bounds(), box).insetBy(-10, -10));
        }
    }
    updateAfterReload();
}

void IXMapView::notifiedOfLayoutContextDidChangeHighlights(IXLayoutContext*, const IXSelection&)
{
    updateAfterReload();
}

// --- Focus ---

void IXMapView::focusInEvent(QFocusEvent* event)
try {
    QWidget::focusInEvent(event);
    update();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::focusOutEvent(QFocusEvent* event)
try {
    QWidget::focusOutEvent(event);
    update();
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXMapView::focusNextPrevChild(bool)
{
    return true;
}

// --- Actions ---

void IXMapView::selectAll(QObject*)
try {
    if (!m_context) return;
    IXDocumentNode* document = m_context->documentNode();
    IXSelection::NodeList nodes;
    // Depth first in list order, not below a collapsed branch (which is itself selected).
    std::vector<std::shared_ptr<IXNode>> pending;
    const IXDocumentNode::NodeList& roots = document->rootBranches();
    for (auto root = roots.rbegin(); root != roots.rend(); ++root) pending.push_back(*root);
    while (!pending.empty()) {
        nodes.append(std::move(pending.back()));
        pending.pop_back();
        IXNode* node = nodes.last().get();
        if (!node->isBranch()) continue;
        auto* branch = static_cast<IXBranchNode*>(node);
        if (m_context->styleForReading(branch)->branchCollapsed()) continue;
        const IXBranchNode::BranchList& children = branch->branches();
        for (auto child = children.rbegin(); child != children.rend(); ++child) pending.push_back(*child);
    }
    for (const auto& picture : document->pictures()) nodes.append(picture);
    for (const auto& comment : document->comments()) nodes.append(comment);
    m_context->setSelection(IXSelection::selectionWithArray(nodes));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::autolayoutBranches(QObject*)
try {
    if (!m_context) return;
    const std::shared_ptr<IXStyleNode> style = m_context->styleForNode(m_context->documentNode());
    style->setDocumentLayoutCustom(!style->documentLayoutCustom());
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::changeFont(QObject* sender)
try {
    const auto* panel = qobject_cast<const QFontDialog*>(sender);
    if (!panel || !m_context || window()->focusWidget() != this) return;
    const QFont font = panel->currentFont();
    const IXSelection selection = m_context->selection();
    PLUndoTransaction::run(m_context->documentNode()->undoManager(), [&] {
        for (const std::shared_ptr<IXNode>& node : selection.nodes()) {
            if (dynamic_cast<IXBranchNode*>(node.get()))
                m_context->styleForNode(node.get())->setBranchTextFont(font);
            else if (dynamic_cast<IXCommentNode*>(node.get()))
                m_context->styleForNode(node.get())->setFloatingTextFont(font);
        }
        return true;
    });
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXMapView::validateMenuItem(QAction* item)
try {
    const QByteArray action = IXActionItem::actionOf(item);
    if (action == IXCommands::Expand || action == IXCommands::Collapse) return false;
    if (action == IXCommands::AutolayoutBranches) {
        if (!m_context) return false;
        const bool timeline = m_context->isTimelineLayout();
        item->setCheckable(true);
        item->setChecked(timeline || !m_context->styleForReading(m_context->documentNode())->documentLayoutCustom());
        return !timeline;
    }
    const QByteArray signature = QMetaObject::normalizedSignature(action.chopped(1) + "(QObject*)");
    return action.endsWith(':') && metaObject()->indexOfMethod(signature.constData()) >= 0;
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

void IXMapView::sendToController(IXCommand command)
{
    auto* controller = m_context ? dynamic_cast<QObject*>(m_context->controller()) : nullptr;
    if (!controller) return;
    const QByteArray name = command.toByteArray();
    const QByteArray signature = QMetaObject::normalizedSignature(name.chopped(1) + "(QObject*)");
    const int index = controller->metaObject()->indexOfMethod(signature.constData());
    if (index >= 0) {
        controller->metaObject()->method(index).invoke(controller, Q_ARG(QObject*, this));
    } else {
        PLLog::writeOnce(QStringLiteral("The command %1 has no receiver").arg(QString::fromLatin1(name)));
    }
}

// --- Mouse ---

PLMouseEvent IXMapView::mouseEventFromQt(const QMouseEvent* event, PLMouseEvent::Type type) const
{
    // Qt passes the second press of a double click on as a press of its own type.
    const int clicks = event->type() == QEvent::MouseButtonDblClick ? 2 : 1;
    PLMouseEvent converted(type, pointFromQt(event->position()), clicks, PLKeyboard::modifierFlags(event->modifiers()));
    const QPointF inWindow = window()->mapFromGlobal(event->globalPosition());
    converted.setLocationInWindow(PLPoint(float(inWindow.x()), float(window()->height() - inWindow.y())));
    return converted;
}

bool IXMapView::postToTracking(const QMouseEvent* event, PLMouseEvent::Type type)
{
    if (!PLMouseTracking::isTracking()) return false;
    PLMouseTracking::postEvent(mouseEventFromQt(event, type));
    return true;
}

void IXMapView::setCursor(PLCursor cursor)
{
    switch (cursor) {
    case PLCursor::Arrow: unsetCursor(); break;
    case PLCursor::PointingHand: QWidget::setCursor(Qt::PointingHandCursor); break;
    case PLCursor::ResizeLeftRight: QWidget::setCursor(Qt::SizeHorCursor); break;
    }
}

void IXMapView::autoscroll(const PLMouseEvent& event)
{
    IXScalingScrollView* scroller = scrollView();
    if (!scroller) return;
    const QPointF at = pointToQt(event.locationInView());
    scroller->ensureVisible(PLPixels::roundedInt(at.x()), PLPixels::roundedInt(at.y()), 8, 8);
}

void IXMapView::panCanvas(const PLMouseEvent& down)
{
    IXScalingScrollView* scroller = scrollView();
    if (!scroller) return;
    QWidget::setCursor(Qt::OpenHandCursor);
    // The view moves under the pointer as it scrolls: the drag is measured in the window.
    PLPoint last = down.locationInWindow();
    IXTrackingLoop loop(this);
    for (PLMouseEvent next = loop.nextEvent(); next.type() == PLMouseEvent::LeftMouseDragged; next = loop.nextEvent()) {
        const PLPoint at = next.locationInWindow();
        // The window's space is y-up, the scroll bars count downwards.
        scroller->horizontalScrollBar()->setValue(scroller->horizontalScrollBar()->value()
                                                  - PLPixels::roundedInt(at.x - last.x));
        scroller->verticalScrollBar()->setValue(scroller->verticalScrollBar()->value()
                                                + PLPixels::roundedInt(at.y - last.y));
        last = at;
    }
    unsetCursor();
}

void IXMapView::mousePressEvent(QMouseEvent* event)
try {
    if (!m_context) return;
    if (postToTracking(event, event->button() == Qt::LeftButton ? PLMouseEvent::LeftMouseDown : PLMouseEvent::RightMouseDown))
        return;
    IXToolManager* tools = IXToolManager::sharedManager();
    const std::uint32_t modifiers =
        PLKeyboard::modifierFlags(event->modifiers()) &
        (PLMouseEvent::Shift | PLMouseEvent::Control | PLMouseEvent::Option | PLMouseEvent::Command);
    if (event->button() == Qt::RightButton) {
        tools->activateToolNamed(IXToolNames::ContextMenu, m_context.get(),
                                 IXToolEvent(mouseEventFromQt(event, PLMouseEvent::RightMouseDown)));
        return;
    }
    if (event->button() == Qt::MiddleButton) {
        if ((modifiers & PLMouseEvent::Option) != 0)
            if (IXScalingScrollView* scroller = scrollView()) scroller->scaleToFit(this);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const PLMouseEvent down = mouseEventFromQt(event, PLMouseEvent::LeftMouseDown);
    if (modifiers == PLMouseEvent::Control) {
        tools->activateToolNamed(IXToolNames::ContextMenu, m_context.get(), IXToolEvent(down));
        return;
    }
    const bool handled = m_context->mouse().trackMouse(down);
    // What a timed press only looked at (its release) belongs to the press just handled.
    PLMouseTracking::takePendingEvents();
    if (handled) return;
    if ((modifiers & PLMouseEvent::Option) != 0) {
        panCanvas(down);
        return;
    }
    tools->activateToolNamed(IXToolNames::Selection, m_context.get(), IXToolEvent(down));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::mouseMoveEvent(QMouseEvent* event)
try {
    if (postToTracking(event, event->buttons() & Qt::LeftButton ? PLMouseEvent::LeftMouseDragged
                                                                : PLMouseEvent::MouseMoved))
        return;
    if (m_context && event->buttons() == Qt::NoButton) m_context->mouse().trackMouse(mouseEventFromQt(event, PLMouseEvent::MouseMoved));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::mouseReleaseEvent(QMouseEvent* event)
try {
    if (postToTracking(event, event->button() == Qt::LeftButton ? PLMouseEvent::LeftMouseUp : PLMouseEvent::RightMouseUp))
        return;
} catch (...) {
    PLExceptionBoundary::caught();
}
