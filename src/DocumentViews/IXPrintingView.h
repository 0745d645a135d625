#pragma once

#include "DocumentModel/IXStyleNodeObserver.h"
#include "MapLayout/IXLayoutContextObserver.h"
#include "MapLayout/IXPrintingViewing.h"
#include "Platform/Drawing/PLRect.h"

#include <QPageLayout>
#include <QPointer>

#include <memory>
#include <optional>

class IXDocumentNode;
class IXLayoutContext;
class IXLayoutNode;
class IXOutlineMapView;
class IXStyleNode;
class IXWindowControlling;
class PLError;
class PLGraphicsContext;
class QPagedPaintDevice;

// What a window prints: one layout of its document laid over a spread of pages (pages across
// by pages down, each the printable area of the paper) with the scale and offsets of the
// layout's style. Its space is y-up and spread-sized: page 1 is the bottom-left page, pages
// are numbered left to right, then upwards. Map layouts are drawn through a layout context of
// its own (no selection drawn, no timeline bands); the outline through the window's outline
// view's rows, scaled like a map. Seams between pages get hairlines, and the bottom-right page
// may carry a line with the document's name, author and date.
//
// The paper comes from the base page layout (A4 by default; the print panel's choice after
// printing) turned to the style's orientation. Changing the orientation refits the map;
// other changes keep the placement. Every change is announced as printInfoDidChange through
// the document's broadcaster.
//
// Lifecycle: the window controller sets itself (setController) and then the layout; nulling
// the controller releases everything. Main thread only.
class IXPrintingView : public IXPrintingViewing, public IXLayoutContextObserver, public IXStyleNodeObserver {
public:
    // Layout codes: 0 mind map (and any other), 1 top-down, 2 left-right, 3 outline, 4 timeline.
    static constexpr int OutlineLayout = 3;
    // The spread's bounds, as the style setters pin them.
    static constexpr int MaximumPagesPerSide = 20;
    // The width of the seam hairlines and the information line's distance from the right.
    static constexpr float SeamWidth = 0.1f;
    static constexpr float InfoInset = 4;

    IXPrintingView();
    ~IXPrintingView() override;
    IXPrintingView(const IXPrintingView&) = delete;
    IXPrintingView& operator=(const IXPrintingView&) = delete;

    // A controller only while none is set ("!_context && !_controller"); null releases all.
    void setController(IXWindowControlling* controller);
    IXWindowControlling* controller() const { return m_controller; }
    // Prints the layout of the code; the outline (3) is drawn from the given outline view,
    // which is told that printing needs it. Refits when the placement was never changed.
    void setDocumentLayout(int code, IXOutlineMapView* outline = nullptr);
    int documentLayout() const;
    std::shared_ptr<IXLayoutNode> layoutNode() const override { return m_layoutNode; }
    std::shared_ptr<IXStyleNode> style() const { return m_style; }
    IXLayoutContext* layoutContext() const { return m_context.get(); }
    IXOutlineMapView* printView() const;

    // --- Paper and pages ---
    void setBasePageLayout(const QPageLayout& layout);
    const QPageLayout& basePageLayout() const { return m_baseLayout; }
    // The base layout turned to the style's orientation (cached until a change).
    QPageLayout pageLayout() const;
    // The paper, and the printable area on it (y-up from the paper's bottom-left).
    PLSize paperSize() const;
    PLRect printableRect() const;
    int pagesAcross() const;
    int pagesDown() const;
    int pageCount() const { return pagesAcross() * pagesDown(); }
    // The spread: pages across and down times the printable size.
    PLSize printSize() const;
    // What is printed: the canvas rectangle of the visible cells, or the outline's rows.
    PLRect drawBounds() const;
    // Page n's rectangle in the spread; the zero rectangle outside 1...pageCount().
    PLRect rectForPage(int page) const;
    // Where a page's rectangle sits on the paper: the printable area's corner.
    PLPoint locationOfPrintRect(const PLRect& rect) const;

    // --- Placement (IXPrintingViewing) ---
    void scaleToFitPages() override;
    void scaleToActualSize() override;

    // --- Drawing ---
    // Draws the part of the spread in the rectangle (spread space).
    void drawRect(PLGraphicsContext& graphics, const PLRect& rect);
    // Draws page n where it lies on its paper (paper space, y-up from the paper's corner).
    void drawPage(PLGraphicsContext& graphics, int page);
    // Prints every page on the device (a printer or a PDF writer), one sheet each, with this
    // view's paper and orientation. False with the error when the device refuses.
    bool printPages(QPagedPaintDevice& device, PLError* error);
    // Writes every page as a PDF file (no dialog).
    bool writePDF(const QString& path, PLError* error);

    // --- Notices ---
    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;
    void notifiedOfLayoutContextDidLayout(IXLayoutContext* context) override;
    void notifiedOfLayoutContextDidChangeFilter(IXLayoutContext* context,
                                                const std::shared_ptr<IXBranchNode>& filter) override;
    void notifiedOfStyleNode(IXStyleNode* style, const QString& property) override;

private:
    void detachFromLayout();
    void adjustCanvas();
    void announce();
    void drawSeams(PLGraphicsContext& graphics, const PLRect& rect) const;
    void drawOutline(PLGraphicsContext& graphics) const;
    void drawDocumentInfo(PLGraphicsContext& graphics, const PLRect& rect) const;
    QString documentInfo() const;

    IXWindowControlling* m_controller = nullptr;
    std::shared_ptr<IXDocumentNode> m_document;
    std::shared_ptr<IXLayoutNode> m_layoutNode;
    std::shared_ptr<IXStyleNode> m_style;
    std::unique_ptr<IXLayoutContext> m_context;
    std::unique_ptr<IXLayoutContext> m_endedContext;
    QPointer<IXOutlineMapView> m_printView;
    QPageLayout m_baseLayout;
    mutable std::optional<QPageLayout> m_pageLayout;
    // Taken on first request after each change: a union over every visible cell of a large
    // map is too much to pay on each edit while nobody prints.
    mutable std::optional<PLRect> m_drawBounds;
    PLSize m_frameSize;
};
