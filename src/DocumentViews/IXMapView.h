#pragma once

#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXOverview.h"
#include "DocumentViews/IXScaling.h"
#include "MapLayout/IXDocumentViewing.h"
#include "MapLayout/IXLayoutContextObserver.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/System/PLMouseEvent.h"
#include "Platform/Drawing/PLRect.h"

#include <QRegion>
#include <QWidget>

#include <memory>

class IXBranchNode;
class IXLayoutContext;
class IXNode;
class IXScalingScrollView;
class IXWindowControlling;
class QAction;

// The canvas of one map layout ("mindmap", "topdown", "leftright", "timeline") of a document
// window, hosted as document view in a zooming scroll view. It owns the layout context of its
// layout, draws the page through it, keeps the zoom and the visible centre of the map across
// window changes, previews its page for the overview, and turns mouse and keys into tool activations, model edits and window
// commands.
//
// Spaces: the view's own space is y-up (origin at the bottom-left of its frame); Qt's events
// and painting are flipped at the edge. A canvas point c is shown at page origin + zoom ×
// (c − canvas origin), the page being the zoomed canvas centred in the frame, which is at
// least the visible size and the page plus a margin of 4 on each side.
//
// Lifecycle: attachToController makes the context (once per controller); leaving a window
// (hidden, not spontaneously) saves zoom and centre and detaches 0.5 s later unless the view
// is shown again meanwhile, so a view moved between containers keeps its context. Shown in a
// window whose controller the installed lookup finds, the view attaches itself. The owner
// detaches the view before deleting it (the destructor detaches a view that is still
// attached, logging the programming error).
//
// Mouse: a press goes to the context's cells first (they start their own tools); what none
// takes starts "IXContextMenuTool" (Control alone, or the right button), pans with Alt, and
// otherwise starts "IXSelectionTool". Keys follow the map's key table (keyPressEvent). Tools and
// window commands that are not built are asked by name and do nothing until they exist.
//
// Actions: selectAll:, autolayoutBranches:; validateMenuItem. Main thread only.
class IXMapView : public QWidget,
                  public IXScaling,
                  public IXOverview,
                  public IXLayoutView,
                  public IXDocumentViewing,
                  public IXLayoutContextObserver {
    Q_OBJECT
public:
    static constexpr float PageMargin = 4.0f;
    static constexpr int DetachDelayMilliseconds = 500;

    explicit IXMapView(QWidget* parent = nullptr);
    ~IXMapView() override;

    // Set once, never empty.
    void setLayoutName(const QString& layoutName);
    const QString& layoutName() const { return m_layoutName; }

    // --- Document viewing ---
    // The controller must be the controller of the view's window when the lookup knows one.
    void attachToController(IXWindowControlling* controller);
    void detachFromController() override;
    IXLayoutContext* layoutContext() const override { return m_context.get(); }
    PLAffineTransform documentViewTransform() const override;
    bool isDetachPending() const { return m_detachPosted; }

    // --- Scaling ---
    double scalingMinFactor() const override { return 0.1; }
    double scalingMaxFactor() const override { return 8.0; }
    QRectF scalingContentsRect() const override;
    void reflectScalingFactor() override;
    void resizeWithOldSuperviewSize(const QSize& oldSize) override;

    // Where the zoomed canvas lies in the view (y-up), the zoom, and how often the map changed.
    PLRect pageBounds() const { return m_pageBounds; }
    float pageScale() const { return m_pageScale; }
    int changeCount() const { return m_changeCount; }
    // The canvas point shown at the centre of the visible area, as last saved.
    PLPoint lastMapCenter() const { return m_lastMapCenter; }
    void saveCenter();
    void restoreCenter();

    // --- Overview ---
    PLRect overviewDocumentViewFrame() const override { return m_pageBounds; }
    int overviewChangeCount() const override { return m_changeCount; }
    // Through a second context of the same layout without a view, made on first use, which
    // draws everything but the page background.
    void overviewDrawPreviewToImage(QImage& image) override;

    // --- Layout view ---
    PLRect visibleRect() const override;
    void setNeedsDisplay() override;
    void setNeedsDisplayInRect(const PLRect& rect) override;
    bool needsToDrawRect(const PLRect& rect) const override;
    void setCursor(PLCursor cursor) override;
    using QWidget::setCursor;
    void autoscroll(const PLMouseEvent& event) override;
    bool hasKeyFocus() const override;
    PLRect convertRectToWindow(const PLRect& rect) const override;
    PLRect convertRectFromWindow(const PLRect& rect) const override;

    // Between Qt's y-down widget coordinates and the view's y-up space.
    PLPoint pointFromQt(QPointF point) const;
    QPointF pointToQt(PLPoint point) const;
    PLRect rectFromQt(const QRectF& rect) const;
    QRectF rectToQt(const PLRect& rect) const;

    // --- Context notices ---
    bool respondsToSelector(std::string_view selector) const override;
    // A new context marks misspelt words when continuous spell checking is on.
    void notifiedOfLayoutContextDidInit(IXLayoutContext* context) override;
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;
    void notifiedOfLayoutContextDidLayout(IXLayoutContext* context) override;
    void notifiedOfLayoutContextDidChangeSelection(IXLayoutContext* context, const IXSelection& selection) override;
    void notifiedOfLayoutContextDidChangeHighlights(IXLayoutContext* context, const IXSelection& highlights) override;

    // --- Actions ---
    Q_INVOKABLE void selectAll(QObject* sender);
    Q_INVOKABLE void autolayoutBranches(QObject* sender);
    // From the shared font panel (the sender, a QFontDialog): the selected branches take its
    // font as their text font and comments as their floating text font, in one undo step;
    // only while this view has its window's focus.
    Q_INVOKABLE void changeFont(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(QAction* item);

    // The key table's two movements, by key code (PLKeyboard arrows): the selection, and the
    // selected branch among its siblings.
    void moveSelection(int keyCode);
    void moveSelectedBranch(int keyCode);

    // Scrolls the least that shows the rectangle (view space), its near edges first.
    void scrollRectToVisible(const PLRect& rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // While a cell tracks the mouse in a nested loop, its events go to that loop instead.
    bool postToTracking(const QMouseEvent* event, PLMouseEvent::Type type);
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Tab and Shift+Tab do nothing: the keyboard focus stays on the map, where the arrows move
    // the selection.
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // Drops (IXMapViewDropTarget): catalog items, files, pictures and rich text.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    IXScalingScrollView* scrollView() const;
    PLMouseEvent mouseEventFromQt(const QMouseEvent* event, PLMouseEvent::Type type) const;
    void adjustCanvas();
    void adjustFrame();
    void delayedDetachFromController();
    void willLeaveWindow();
    void didEnterWindow();
    // Sends a window command by its selector to the context's controller, when it has it.
    void sendToController(IXCommand command);
    void startTitleEditing(QKeyEvent* event);
    // Alt-drag: the map follows the pointer until the button is released (or the gesture is
    // abandoned), in a tracking loop.
    void panCanvas(const PLMouseEvent& down);
    // Repaints the area (all when empty), or once after the queued reload when one is queued:
    // a frame painted before it would be stale and cost a second frame.
    void updateAfterReload(const QRect& area = QRect());
    // The layout type of the node's branch group (0 when it has none).
    int layoutTypeOf(IXNode* branch) const;

    QString m_layoutName;
    std::unique_ptr<IXLayoutContext> m_context;
    std::unique_ptr<IXLayoutContext> m_overviewContext;
    bool m_detachPosted = false;
    PLRect m_canvasFrame;
    PLRect m_pageBounds;
    float m_pageScale = 1.0f;
    int m_changeCount = 0;
    bool m_ignoreScrolling = false;
    PLPoint m_lastMapCenter;
    float m_lastPageScale = 0.0f;
    // While painting: the area being redrawn, in Qt's coordinates.
    const QRegion* m_paintRegion = nullptr;
};
