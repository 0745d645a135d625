#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class IXInspectorController;
class IXInspectorPanel;
class IXInspectorPanelHost;
class QToolButton;

// One collapsible pane of a floating inspector panel: a header with the inspector's title (a
// disclosure mark while the inspector applies, the title greyed without content while it
// does not) over the inspector's view. Only the first pane of a panel carries the close box.
//
// In the header a click toggles the pane; dragging by more than 2 pixels moves the panel, or,
// for a pane below the first, tears it and the panes under it off into a new panel; a panel
// released with its top at another panel's bottom (left edges close) joins that panel and
// disappears (IXPanelSnapping has the distances).
class IXInspectorPanelView : public QWidget {
    Q_OBJECT
public:
    static constexpr int HeaderHeight = 20;
    static constexpr int MinimumWidth = 200;
    static constexpr int DragThreshold = 2;

    explicit IXInspectorPanelView(IXInspectorPanelHost* host, QWidget* parent = nullptr);

    void setController(IXInspectorController* controller);
    IXInspectorController* controller() const;
    // The pane's name; without one the class name of its inspector (empty without either).
    void setName(const QString& name) { m_name = name; }
    QString name() const;

    // Shows the inspector's view when it applies, none otherwise, and sizes the pane.
    void updateInspectorView();
    void sizeToFitContent();
    // Stacks every pane of the panel from the top at one width and fits the panel to them,
    // keeping its top edge.
    void arrangePanelViews();

    void setClosable(bool closable);
    bool isClosable() const { return m_closable; }
    void setCollapsed(bool collapsed);
    bool isCollapsed() const { return m_collapsed; }
    void setPressed(bool pressed);
    bool isPressed() const { return m_pressed; }
    QWidget* currentView() const { return m_currentView; }
    QRect headerRect() const { return m_headerRect; }
    IXInspectorPanel* panel() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void removeCurrentView();
    void beginDrag();
    void dragTo(QPoint globalPosition);
    void endDrag();
    bool hasFocusInside() const;

    IXInspectorPanelHost* m_host;
    QPointer<IXInspectorController> m_controller;
    QString m_name;
    QPointer<QWidget> m_currentView;
    QToolButton* m_closeButton = nullptr;
    QString m_title;
    QRect m_headerRect;
    bool m_collapsed = false;
    bool m_pressed = false;
    bool m_closable = false;
    // The press in the header and the drag it started.
    bool m_tracking = false;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_grabOffset;
    QPointer<IXInspectorPanel> m_dockTarget;
};
