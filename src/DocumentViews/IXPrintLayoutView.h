#pragma once

#include "DocumentViews/IXPrintInfoObserver.h"
#include "MapLayout/IXDocumentViewing.h"
#include "MapLayout/IXLayoutContextObserver.h"
#include "MapLayout/IXPrintLayoutViewing.h"
#include "Platform/Drawing/PLRect.h"

#include <QWidget>

#include <memory>
#include <optional>

class IXBranchNode;
class IXDocumentNode;
class IXPrintingView;
class IXStyleNode;
class IXWindowControlling;

// The window's print layout (view mode 9): every page of the printing view's spread as a
// sheet of paper, 8 units apart with 40 around the spread, fitted to the view and centred on
// whole pixels (the view's space is paper points, y-up, bottom-left page first). Margins show
// a light tint, the printable area is white and holds exactly what that page prints.
//
// Dragging moves the map over the pages and arrow keys nudge it (1 point, 10 with Alt): both
// change the offsets in the printed layout's style; a drag is one undo step. The printing
// area limits printing to the branch filter the window had when it showed this view.
//
// It keeps a layout context without a layout (for the window's selection), attached by the
// window controller with its printing view and detached when the window shows another mode.
// Main thread only.
class IXPrintLayoutView : public QWidget,
                          public IXDocumentViewing,
                          public IXLayoutContextObserver,
                          public IXPrintInfoObserver,
                          public IXPrintLayoutViewing {
    Q_OBJECT
public:
    // Around each sheet, around the spread, the paper's border and the nudges.
    static constexpr float PageGap = 8;
    static constexpr float SpreadMargin = 40;
    static constexpr float BorderWidth = 2;
    static constexpr float MarginTintAlpha = 0.05f;
    static constexpr float NudgeStep = 1;
    static constexpr float LargeNudgeStep = 10;

    explicit IXPrintLayoutView(QWidget* parent = nullptr);
    ~IXPrintLayoutView() override;

    // --- Document viewing ---
    void attachToController(IXWindowControlling* controller, IXPrintingView* printingView);
    void detachFromController() override;
    IXLayoutContext* layoutContext() const override { return m_context.get(); }
    PLAffineTransform documentViewTransform() const override { return PLAffineTransform(); }
    IXPrintingView* printingView() const { return m_printingView; }

    // --- Printing area ---
    void setBranchFilter(const std::shared_ptr<IXBranchNode>& branch) { m_branchFilter = branch; }
    const std::shared_ptr<IXBranchNode>& branchFilter() const { return m_branchFilter; }
    bool printingAreaEnabled() const override { return bool(m_branchFilter); }
    bool printingArea() const override;
    void setPrintingArea(bool limited) override;

    // --- Geometry ---
    // The spread with its margins (paper points), and the part of that space the view shows.
    PLRect contentRect() const;
    PLRect viewBounds() const;
    // From the view's y-up paper space to widget pixels and back.
    QPointF pointToWidget(PLPoint point) const;
    PLPoint pointFromWidget(QPointF point) const;
    // Page n's sheet of paper in the view's space.
    PLRect paperRectForPage(int page) const;

    // --- Notices ---
    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;
    void printInfoDidChange(IXPrintingView* view) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Drag {
        PLPoint start;
        float offsetX = 0;
        float offsetY = 0;
    };

    void adjustFrame();
    // The spread's placement in the view: the spread's rectangle, the paper points per pixel
    // and the whole-pixel margins left and below.
    struct Fit {
        PLRect content;
        float ratio = 0;
        float dx = 0;
        float dy = 0;
    };
    Fit fit() const;
    void endDrag(std::optional<PLPoint> at);
    void moveOffsets(float x, float y);

    std::unique_ptr<IXLayoutContext> m_context;
    std::unique_ptr<IXLayoutContext> m_endedContext;
    IXPrintingView* m_printingView = nullptr;
    std::shared_ptr<IXDocumentNode> m_documentNode;
    std::shared_ptr<IXStyleNode> m_style;
    std::shared_ptr<IXBranchNode> m_branchFilter;
    std::optional<Drag> m_drag;
};
