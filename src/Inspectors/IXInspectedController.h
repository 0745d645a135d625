#pragma once

#include "DocumentModel/IXSelection.h"

#include <memory>

class IXDocumentNode;
class IXLayoutNode;
class IXTimelineCell;
class IXPrintLayoutViewing;
class IXPrintingViewing;
class QWidget;

// What an inspector needs of the document window it is bound to. The window controller of the
// application shell implements it; tests use small fakes. The controller posts
// "IXSelectionChanged" (object: the controller's identity, PLIdentityOf) once per turn of the
// event loop after its selection changed.
class IXInspectedController {
public:
    virtual ~IXInspectedController();

    virtual IXSelection selection() const = 0;
    // The layout shown (null in the print view or without a document).
    virtual std::shared_ptr<IXLayoutNode> layoutNode() const = 0;
    virtual std::shared_ptr<IXDocumentNode> documentNode() const = 0;
    // 0 mind map, 1 top-down, 2 left-right, 3 outline, 4 timeline, 9 print.
    virtual int documentLayout() const = 0;
    virtual QWidget* window() const = 0;
    // The shared font panel for the selection: the window's document view becomes its first
    // responder and the panel shows the selection's font. Controllers without a document view
    // answer false and show nothing.
    virtual bool canShowFontPanel() const { return false; }
    virtual void showFontPanel() { }
    // The view that shows the document (a map view in a zooming scroll view, the outline, the
    // print layout); null without a document.
    virtual QWidget* documentView() const { return nullptr; }
    // The widget that shows the visible map area (the document view's viewport), over which
    // panels glued to the window stay; null without a document view.
    virtual QWidget* workAreaWidget() const { return nullptr; }
    // The timeline of the window's timeline view, once it has been laid out; else null.
    virtual IXTimelineCell* timelineCell() const { return nullptr; }
    // The window's printing view (scale to fit, actual size) and print layout view (the
    // printing area); null where the controller has none.
    virtual IXPrintingViewing* printingView() const { return nullptr; }
    virtual IXPrintLayoutViewing* printLayoutView() const { return nullptr; }
};
