#pragma once

#include <QPointF>

class IXLayoutContext;
class QWidget;
class QWindow;

// Where a click of a window landed, for tools that watch the events of every window, and where
// their views over a document view lie.
class IXWidgetHits {
public:
    // The widget under a point of a window (the window's own coordinates), or null.
    static QWidget* widgetAt(QWindow* window, QPointF position);
    // Whether the widget is the area or lies inside it.
    static bool isWithin(const QWidget* widget, const QWidget* area);
    // Whether the widget is (in) a window's menu bar, whose menus may act on an open editor.
    static bool isInMenuBar(const QWidget* widget);
    // The widget that views laid over a document view lie on: the view itself, or the rows'
    // viewport of a scrolling item view (the outline).
    static QWidget* overlayHost(QWidget* documentView);
    // The view that shows a context: its own view, or the outline over it.
    static QWidget* documentView(const IXLayoutContext* context);
};
