#include "DocumentViews/IXPrintingView.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXPrintInfoObserver.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLError.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Utilities/UTBroadcaster.h"
#include "Utilities/UTErrors.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// By layout code; any other code prints the mind map.
const std::array<QString, 5>& layoutNames()
{
    static const std::array<QString, 5> names {IXLayoutMindMapName, IXLayoutTopDownName, IXLayoutLeftRightName,
                                               IXLayoutOutlineName, IXLayoutTimelineName};
    return names;
}

// Every cell kind but the timeline's background bands.
constexpr std::int32_t PrintDrawMask = 0x7ffffffe;

int pinnedSpread(int count)
{
    return std::clamp(count, 1, IXPrintingView::MaximumPagesPerSide);
}

QString tr(const char* text)
{
    return QCoreApplication::translate("IXPrintingView", text);
}

}  // namespace

IXPrintingView::IXPrintingView()
    : m_baseLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18), QPageLayout::Point)
{
}

IXPrintingView::~IXPrintingView()
{
    // An owner that forgot to let go still leaves nothing behind.
    setController(nullptr);
}

void IXPrintingView::setController(IXWindowControlling* controller)
{
    if (controller) {
        if (m_context || m_controller) PLAssertionFailed("!_context && !_controller");
        m_controller = controller;
        return;
    }
    detachFromLayout();
    m_controller = nullptr;
}

void IXPrintingView::detachFromLayout()
{
    m_layoutNode.reset();
    if (m_document)
        if (UTBroadcaster* broadcaster = m_document->observers()) broadcaster->removeObserver(this);
    m_document.reset();
    m_style.reset();
    if (m_printView) m_printView->setNeededForPrinting(false);
    m_printView = nullptr;
    m_pageLayout.reset();
    if (m_context) {
        std::unique_ptr<IXLayoutContext> context = std::move(m_context);
        context->removeObserver(this);
        context->invalidate();
    }
    m_endedContext.reset();
}

void IXPrintingView::setDocumentLayout(int code, IXOutlineMapView* outline)
{
    PL_ASSERT_PARAM(m_controller, "controller");
    detachFromLayout();
    const std::shared_ptr<IXDocumentNode> document = m_controller->documentNode();
    if (!document) return;
    const bool known = code >= 0 && code < int(layoutNames().size());
    const std::shared_ptr<IXLayoutNode> layout = document->layoutForName(layoutNames()[known ? size_t(code) : 0]);
    if (!layout) return;
    if (code == OutlineLayout && outline) {
        m_printView = outline;
        outline->setNeededForPrinting(true);
    }
    m_layoutNode = layout;
    m_document = document;
    m_style = layout->style();
    if (UTBroadcaster* broadcaster = document->observers(); broadcaster && m_style)
        broadcaster->addObserverTarget(this, m_style.get());
    if (!m_printView && code != OutlineLayout) {
        m_context = std::make_unique<IXLayoutContext>(m_controller, layout.get(), nullptr);
        m_context->addObserver(this);
        m_context->setDrawMask(PrintDrawMask);
        m_context->performLayout();
        m_context->setSelection(IXSelection::selectionWithNode(document));
    }
    adjustCanvas();
    if (m_style && m_style->printMapScale() == 1.0f && m_style->printMapOffsetX() == 0.0f
        && m_style->printMapOffsetY() == 0.0f) {
        // Showing a layout for printing is no edit of the document: the first fit is not a
        // step to undo.
        document->disableUndo();
        scaleToFitPages();
        document->enableUndo();
    }
    announce();
}

int IXPrintingView::documentLayout() const
{
    if (!m_layoutNode) return 0;
    const auto& names = layoutNames();
    const auto found = std::find(names.begin(), names.end(), m_layoutNode->layoutName());
    return found == names.end() ? 0 : int(found - names.begin());
}

IXOutlineMapView* IXPrintingView::printView() const
{
    return m_printView.data();
}

// --- Paper and pages ---

void IXPrintingView::setBasePageLayout(const QPageLayout& layout)
{
    if (!layout.isValid()) return;
    m_baseLayout = layout;
    m_pageLayout.reset();
    adjustCanvas();
    announce();
}

QPageLayout IXPrintingView::pageLayout() const
{
    if (!m_pageLayout) {
        QPageLayout layout = m_baseLayout;
        const int orientation = m_style ? m_style->printPageOrientation() : 0;
        layout.setOrientation(orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
        m_pageLayout = layout;
    }
    return *m_pageLayout;
}

PLSize IXPrintingView::paperSize() const
{
    const QRectF full = pageLayout().fullRect(QPageLayout::Point);
    return PLSize(float(full.width()), float(full.height()));
}

PLRect IXPrintingView::printableRect() const
{
    const QPageLayout layout = pageLayout();
    const QRectF full = layout.fullRect(QPageLayout::Point);
    const QRectF paint = layout.paintRect(QPageLayout::Point);
    // Qt's rectangles are y-down: the bottom margin lies below the paint rectangle.
    return PLRect(float(paint.x()), float(full.height() - paint.bottom()), float(paint.width()), float(paint.height()));
}

int IXPrintingView::pagesAcross() const
{
    return pinnedSpread(m_style ? m_style->printPageSpreadHorizontal() : 1);
}

int IXPrintingView::pagesDown() const
{
    return pinnedSpread(m_style ? m_style->printPageSpreadVertical() : 1);
}

PLSize IXPrintingView::printSize() const
{
    const PLRect printable = printableRect();
    return PLSize(float(pagesAcross()) * printable.width(), float(pagesDown()) * printable.height());
}

PLRect IXPrintingView::rectForPage(int page) const
{
    if (page < 1 || page > pageCount()) return PLRect();
    const PLRect printable = printableRect();
    const int column = (page - 1) % pagesAcross();
    const int row = (page - 1) / pagesAcross();
    return PLRect(float(column) * printable.width(), float(row) * printable.height(), printable.width(),
                  printable.height());
}

PLPoint IXPrintingView::locationOfPrintRect(const PLRect&) const
{
    return printableRect().origin;
}

void IXPrintingView::adjustCanvas()
{
    m_frameSize = printSize();
    if (m_context) m_context->performLayoutIfNeeded();
    if (m_context || m_printView) m_drawBounds.reset();
}

PLRect IXPrintingView::drawBounds() const
{
    if (!m_drawBounds) {
        if (m_context)
            m_drawBounds = m_context->visibleCellsBounds();
        else if (m_printView)
            m_drawBounds = m_printView->printBounds();
        else
            return PLRect();
    }
    return *m_drawBounds;
}

void IXPrintingView::announce()
{
    if (UTBroadcaster* broadcaster = m_document ? m_document->observers() : nullptr)
        broadcaster->send(IXPrintInfoDidChange, this);
}

// --- Placement ---

void IXPrintingView::scaleToFitPages()
{
    if (!m_style) return;
    const PLSize spread = printSize();
    const PLRect bounds = drawBounds();
    const float w = bounds.width();
    const float h = bounds.height();
    float scale = 1;
    float x = 0;
    float y = 0;
    // An empty map or printing area has nothing to fit: it keeps its own size at the corner
    // rather than a scale divided by zero.
    if (w > 0 && h > 0 && std::isfinite(w) && std::isfinite(h)) {
        scale = std::min(spread.width / w, spread.height / h);
        x = (spread.width - scale * w) * 0.5f;
        y = (spread.height - scale * h) * 0.5f;
    }
    m_style->setPrintMapScale(scale);
    m_style->setPrintMapOffsetX(x);
    m_style->setPrintMapOffsetY(y);
}

void IXPrintingView::scaleToActualSize()
{
    if (m_style) m_style->setPrintMapScale(1);
}

// --- Drawing ---

void IXPrintingView::drawRect(PLGraphicsContext& graphics, const PLRect& rect)
{
    graphics.saveGraphicsState();
    graphics.clipToRect(rect);
    drawSeams(graphics, rect);
    const float scale = m_style ? m_style->printMapScale() : 1;
    const float offsetX = m_style ? m_style->printMapOffsetX() : 0;
    const float offsetY = m_style ? m_style->printMapOffsetY() : 0;
    // A scale that cannot place anything (zero, negative, not a number) draws a blank page.
    if (scale > 0 && std::isfinite(scale) && std::isfinite(offsetX) && std::isfinite(offsetY)) {
        const PLRect bounds = drawBounds();
        graphics.concat(PLAffineTransform(1, 0, 0, 1, offsetX, offsetY));
        graphics.concat(PLAffineTransform(scale, 0, 0, scale, 0, 0));
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -bounds.minX(), -bounds.minY()));
        if (m_context) {
            m_context->drawRect(graphics,
                                PLRect((rect.minX() - offsetX) / scale + bounds.minX(),
                                       (rect.minY() - offsetY) / scale + bounds.minY(), rect.width() / scale,
                                       rect.height() / scale));
        } else if (m_printView) {
            drawOutline(graphics);
        }
    }
    graphics.restoreGraphicsState();
    drawDocumentInfo(graphics, rect);
}

void IXPrintingView::drawSeams(PLGraphicsContext& graphics, const PLRect& rect) const
{
    const PLRect bounds(PLPoint(), m_frameSize);
    graphics.setColor(PLColor::system(PLColor::System::WindowFrame));
    if (rect.maxX() < bounds.maxX())
        graphics.fillRect(PLRect(rect.maxX() - SeamWidth, rect.minY(), SeamWidth, rect.height()));
    if (rect.minX() > bounds.minX()) graphics.fillRect(PLRect(rect.minX(), rect.minY(), SeamWidth, rect.height()));
    if (rect.maxY() < bounds.maxY())
        graphics.fillRect(PLRect(rect.minX(), rect.maxY() - SeamWidth, rect.width(), SeamWidth));
    if (rect.minY() > bounds.minY()) graphics.fillRect(PLRect(rect.minX(), rect.minY(), rect.width(), SeamWidth));
}

void IXPrintingView::drawOutline(PLGraphicsContext& graphics) const
{
    const PLRect bounds = drawBounds();
    if (bounds.isEmpty()) return;
    graphics.drawUpright(bounds, [this](QPainter& painter, const QRectF&) { m_printView->drawForPrinting(painter); });
}

QString IXPrintingView::documentInfo() const
{
    const std::shared_ptr<IXDocumentNode> document = m_controller ? m_controller->documentNode() : nullptr;
    if (!document) return {};
    return QStringLiteral("%1 | %2 | %3")
        .arg(document->documentName(), document->userName(),
             QLocale().toString(document->modificationDate(), QLocale::ShortFormat));
}

void IXPrintingView::drawDocumentInfo(PLGraphicsContext& graphics, const PLRect& rect) const
{
    if (!m_style || !m_style->printShowDocInfo()) return;
    // Only the bottom-right page: its rectangle starts at the bottom and ends at the right.
    if (rect.minY() != 0 || std::abs(rect.maxX() - m_frameSize.width) > 0.01f) return;
    const QString text = documentInfo();
    if (text.isEmpty()) return;
    const QFont font(QStringLiteral("Helvetica"), 12);
    const QFontMetricsF metrics(font);
    const float width = float(metrics.horizontalAdvance(text));
    const float height = float(metrics.height());
    graphics.drawText(text, PLRect(rect.maxX() - width - InfoInset, rect.minY(), width, height + InfoInset), font,
                      PLColor::black());
}

void IXPrintingView::drawPage(PLGraphicsContext& graphics, int page)
{
    const PLRect rect = rectForPage(page);
    if (rect.isEmpty()) return;
    const PLPoint location = locationOfPrintRect(rect);
    graphics.saveGraphicsState();
    graphics.concat(PLAffineTransform(1, 0, 0, 1, location.x - rect.minX(), location.y - rect.minY()));
    drawRect(graphics, rect);
    graphics.restoreGraphicsState();
}

bool IXPrintingView::printPages(QPagedPaintDevice& device, PLError* error)
{
    if (m_context) m_context->performLayoutIfNeeded();
    const QPageLayout layout = pageLayout();
    // The device's sheet is the whole paper: the pages place themselves at the margins.
    QPageLayout sheet(layout.pageSize(), layout.orientation(), QMarginsF(), QPageLayout::Point);
    if (!device.setPageLayout(sheet)) {
        PLSetError(error, UTErrors::errorWithFailureReason(tr("The paper size cannot be used for printing.")));
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        PLSetError(error, UTErrors::errorWithFailureReason(tr("Printing could not be started.")));
        return false;
    }
    const PLSize paper = paperSize();
    // Painter units are device pixels at the device's resolution; the pages draw in points.
    painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
    for (int page = 1; page <= pageCount(); ++page) {
        if (page > 1 && !device.newPage()) {
            painter.end();
            PLSetError(error, UTErrors::errorWithFailureReason(tr("A page could not be started.")));
            return false;
        }
        painter.save();
        {
            PLGraphicsContext graphics(painter, paper.height, false);
            drawPage(graphics, page);
        }
        painter.restore();
    }
    return painter.end();
}

bool IXPrintingView::writePDF(const QString& path, PLError* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        PLSetError(error, UTErrors::errorWithFailureReason(file.errorString()));
        return false;
    }
    bool written = false;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Ideaflux"));
        writer.setResolution(72);
        written = printPages(writer, error);
    }
    file.close();
    if (written && file.error() != QFileDevice::NoError) {
        PLSetError(error, UTErrors::errorWithFailureReason(file.errorString()));
        written = false;
    }
    if (!written) file.remove();
    return written;
}

// --- Notices ---

bool IXPrintingView::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector,
                   {IXLayoutContextWillInvalidate, IXLayoutContextDidLayout, IXLayoutContextDidChangeFilter,
                    IXStyleNodeDidChangeProperty});
}

void IXPrintingView::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    if (context != m_context.get()) return;
    // The context ends under us (its layout left the document): it is released with the
    // next layout, not inside its own notice.
    m_context->removeObserver(this);
    m_endedContext = std::move(m_context);
}

void IXPrintingView::notifiedOfLayoutContextDidLayout(IXLayoutContext* context)
{
    if (context != m_context.get()) return;
    m_pageLayout.reset();
    adjustCanvas();
    announce();
}

void IXPrintingView::notifiedOfLayoutContextDidChangeFilter(IXLayoutContext* context,
                                                            const std::shared_ptr<IXBranchNode>&)
{
    notifiedOfLayoutContextDidLayout(context);
}

void IXPrintingView::notifiedOfStyleNode(IXStyleNode* style, const QString&)
{
    if (!m_style || style != m_style.get()) return;
    const int cached = m_pageLayout ? (m_pageLayout->orientation() == QPageLayout::Landscape ? 1 : 0) : 0;
    m_pageLayout.reset();
    const int now = m_style->printPageOrientation() == 1 ? 1 : 0;
    adjustCanvas();
    announce();
    if (now != cached) scaleToFitPages();
}
