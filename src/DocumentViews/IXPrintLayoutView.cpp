#include "DocumentViews/IXPrintLayoutView.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXPrintingView.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Utilities/UTBroadcaster.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

IXPrintLayoutView::IXPrintLayoutView(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

IXPrintLayoutView::~IXPrintLayoutView()
{
    detachFromController();
}

// --- Document viewing ---

void IXPrintLayoutView::attachToController(IXWindowControlling* controller, IXPrintingView* printingView)
{
    PL_ASSERT_PARAM(controller, "controller");
    PL_ASSERT_PARAM(printingView, "printingView");
    if (m_context && m_context->controller() == controller) return;
    if (m_context) PLAssertionFailed("Cannot switch layout contexts");
    PLLog::write(QStringLiteral("attachToController - PrintLayout view %1 controller %2")
                     .arg(quintptr(this), 0, 16)
                     .arg(quintptr(controller), 0, 16));
    m_context = std::make_unique<IXLayoutContext>(controller, nullptr, nullptr);
    m_context->addObserver(this);
    m_printingView = printingView;
    m_documentNode = controller->documentNode();
    if (m_documentNode) m_documentNode->addToObservers(this);
    adjustFrame();
}

void IXPrintLayoutView::detachFromController()
{
    endDrag(std::nullopt);
    m_printingView = nullptr;
    if (m_documentNode) m_documentNode->removeFromObservers(this);
    m_documentNode.reset();
    if (m_context) {
        std::unique_ptr<IXLayoutContext> context = std::move(m_context);
        context->removeObserver(this);
        context->invalidate();
    }
    m_endedContext.reset();
}

// --- Printing area ---

bool IXPrintLayoutView::printingArea() const
{
    IXLayoutContext* printed = m_printingView ? m_printingView->layoutContext() : nullptr;
    return printingAreaEnabled() && printed && printed->branchFilter();
}

void IXPrintLayoutView::setPrintingArea(bool limited)
{
    if (!m_branchFilter || !m_printingView) return;
    if (IXLayoutContext* printed = m_printingView->layoutContext()) {
        printed->setBranchFilter(limited ? m_branchFilter : nullptr);
        // The filter's layout comes on a later turn: the bounds must be the filtered ones now.
        printed->performLayoutIfNeeded();
        m_printingView->notifiedOfLayoutContextDidLayout(printed);
    }
    m_printingView->scaleToFitPages();
    update();
}

// --- Geometry ---

PLRect IXPrintLayoutView::contentRect() const
{
    if (!m_printingView) return PLRect();
    const PLSize paper = m_printingView->paperSize();
    const PLRect spread(0, 0, (paper.width + PageGap) * float(m_printingView->pagesAcross()),
                        (paper.height + PageGap) * float(m_printingView->pagesDown()));
    return spread.insetBy(-SpreadMargin, -SpreadMargin);
}

IXPrintLayoutView::Fit IXPrintLayoutView::fit() const
{
    Fit fit;
    fit.content = contentRect();
    if (fit.content.isEmpty()) return fit;
    const float sw = float(std::max(1, width()));
    const float sh = float(std::max(1, height()));
    fit.ratio = std::max(fit.content.width() / sw, fit.content.height() / sh);
    fit.dx = std::floor((sw - fit.content.width() / fit.ratio) * 0.5f);
    fit.dy = std::floor((sh - fit.content.height() / fit.ratio) * 0.5f);
    return fit;
}

PLRect IXPrintLayoutView::viewBounds() const
{
    const Fit placed = fit();
    return placed.content.insetBy(-placed.dx * placed.ratio, -placed.dy * placed.ratio);
}

void IXPrintLayoutView::adjustFrame()
{
    // The fit follows the view's size whenever it is asked for; the sheets are drawn again.
    update();
}

QPointF IXPrintLayoutView::pointToWidget(PLPoint point) const
{
    const Fit placed = fit();
    if (!(placed.ratio > 0)) return {};
    return {(point.x - placed.content.minX()) / placed.ratio + placed.dx,
            height() - ((point.y - placed.content.minY()) / placed.ratio + placed.dy)};
}

PLPoint IXPrintLayoutView::pointFromWidget(QPointF point) const
{
    const Fit placed = fit();
    if (!(placed.ratio > 0)) return {};
    return PLPoint(float(placed.content.minX() + (point.x() - placed.dx) * placed.ratio),
                   float(placed.content.minY() + (height() - point.y() - placed.dy) * placed.ratio));
}

PLRect IXPrintLayoutView::paperRectForPage(int page) const
{
    if (!m_printingView || page < 1 || page > m_printingView->pageCount()) return PLRect();
    const PLSize paper = m_printingView->paperSize();
    const int across = m_printingView->pagesAcross();
    const int column = (page - 1) % across;
    const int row = (page - 1) / across;
    return PLRect(float(column) * (paper.width + PageGap) + PageGap / 2,
                  float(row) * (paper.height + PageGap) + PageGap / 2, paper.width, paper.height);
}

// --- Drawing ---

void IXPrintLayoutView::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const Fit placed = fit();
    if (!m_printingView || !(placed.ratio > 0)) return;
    PLGraphicsContext graphics(painter, float(height()), true);
    graphics.concat(PLAffineTransform(1, 0, 0, 1, placed.dx, placed.dy));
    graphics.concat(PLAffineTransform(1 / placed.ratio, 0, 0, 1 / placed.ratio, 0, 0));
    graphics.concat(PLAffineTransform(1, 0, 0, 1, -placed.content.minX(), -placed.content.minY()));
    const PLRect printable = m_printingView->printableRect();
    const PLColor frame = PLColor::system(PLColor::System::WindowFrame);
    for (int page = 1; page <= m_printingView->pageCount(); ++page) {
        const PLRect paper = paperRectForPage(page);
        graphics.setColor(PLColor::white());
        graphics.fillRect(paper);
        graphics.setColor(frame.withAlpha(MarginTintAlpha));
        graphics.fillRect(paper);
        // A border 2 wide around the sheet.
        graphics.setColor(frame);
        const PLRect border = paper.insetBy(-BorderWidth, -BorderWidth);
        graphics.fillRect(PLRect(border.minX(), border.minY(), border.width(), BorderWidth));
        graphics.fillRect(PLRect(border.minX(), paper.maxY(), border.width(), BorderWidth));
        graphics.fillRect(PLRect(border.minX(), paper.minY(), BorderWidth, paper.height()));
        graphics.fillRect(PLRect(paper.maxX(), paper.minY(), BorderWidth, paper.height()));
        const PLRect area = printable.offsetBy(paper.minX(), paper.minY());
        graphics.setColor(PLColor::white());
        graphics.fillRect(area);
        graphics.saveGraphicsState();
        graphics.clipToRect(area);
        graphics.concat(PLAffineTransform(1, 0, 0, 1, paper.minX(), paper.minY()));
        m_printingView->drawPage(graphics, page);
        graphics.restoreGraphicsState();
    }
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXPrintLayoutView::resizeEvent(QResizeEvent* event)
try {
    QWidget::resizeEvent(event);
    adjustFrame();
} catch (...) {
    PLExceptionBoundary::caught();
}

// --- Moving the map ---

void IXPrintLayoutView::moveOffsets(float x, float y)
{
    const std::shared_ptr<IXStyleNode> style = m_printingView ? m_printingView->style() : nullptr;
    if (!style) return;
    style->setPrintMapOffsetX(x);
    style->setPrintMapOffsetY(y);
}

void IXPrintLayoutView::mousePressEvent(QMouseEvent* event)
try {
    const std::shared_ptr<IXStyleNode> style = m_printingView ? m_printingView->style() : nullptr;
    if (event->button() != Qt::LeftButton || !style || !(fit().ratio > 0)) return;
    setFocus(Qt::MouseFocusReason);
    m_drag = Drag {pointFromWidget(event->position()), style->printMapOffsetX(), style->printMapOffsetY()};
    setCursor(Qt::ClosedHandCursor);
    // The moves in between are not steps of their own: the release records one.
    if (m_documentNode) m_documentNode->disableUndo();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXPrintLayoutView::mouseMoveEvent(QMouseEvent* event)
try {
    if (!m_drag) return;
    const PLPoint at = pointFromWidget(event->position());
    if (at == m_drag->start) return;
    moveOffsets(m_drag->offsetX + (at.x - m_drag->start.x), m_drag->offsetY + (at.y - m_drag->start.y));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXPrintLayoutView::mouseReleaseEvent(QMouseEvent* event)
try {
    if (event->button() == Qt::LeftButton) endDrag(pointFromWidget(event->position()));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXPrintLayoutView::focusOutEvent(QFocusEvent* event)
try {
    // A drag whose release never comes (the window lost the mouse) puts the map back.
    endDrag(std::nullopt);
    QWidget::focusOutEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXPrintLayoutView::endDrag(std::optional<PLPoint> at)
{
    if (!m_drag) return;
    const Drag drag = *m_drag;
    m_drag.reset();
    unsetCursor();
    // Back to the start with undo off, then the final place as one undoable change.
    moveOffsets(drag.offsetX, drag.offsetY);
    if (m_documentNode) m_documentNode->enableUndo();
    if (at && !(*at == drag.start))
        moveOffsets(drag.offsetX + (at->x - drag.start.x), drag.offsetY + (at->y - drag.start.y));
}

void IXPrintLayoutView::keyPressEvent(QKeyEvent* event)
try {
    const std::shared_ptr<IXStyleNode> style = m_printingView ? m_printingView->style() : nullptr;
    const float step = (event->modifiers() & Qt::AltModifier) ? LargeNudgeStep : NudgeStep;
    float dx = 0;
    float dy = 0;
    switch (event->key()) {
    case Qt::Key_Up:
        dy = step;
        break;
    case Qt::Key_Down:
        dy = -step;
        break;
    case Qt::Key_Left:
        dx = -step;
        break;
    case Qt::Key_Right:
        dx = step;
        break;
    default:
        break;
    }
    // Other keys are taken too: nothing below this view should act on them.
    event->accept();
    if (!style || m_drag || (dx == 0 && dy == 0)) return;
    moveOffsets(style->printMapOffsetX() + dx, style->printMapOffsetY() + dy);
} catch (...) {
    PLExceptionBoundary::caught();
}

// --- Notices ---

bool IXPrintLayoutView::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXLayoutContextWillInvalidate, IXPrintInfoDidChange});
}

void IXPrintLayoutView::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    if (context != m_context.get()) return;
    m_context->removeObserver(this);
    m_endedContext = std::move(m_context);
}

void IXPrintLayoutView::printInfoDidChange(IXPrintingView* view)
{
    if (view == m_printingView) adjustFrame();
}
