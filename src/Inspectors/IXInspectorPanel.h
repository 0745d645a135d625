#pragma once

#include <QPointer>
#include <QWidget>

class IXInspectorPanelView;

// A floating panel of inspector panes, stacked from the top in the order of its children. It
// is a tool window without a title bar (the panes' headers move it) that stays above the
// document window it is made transient for; it never becomes the main window, so the
// inspectors keep following the document window while a panel has the focus.
//
// "Inspector visible" is the user's choice for this panel, kept while the inspectors are
// hidden as a whole: showPanel brings it back only when it is set.
class IXInspectorPanel : public QWidget {
    Q_OBJECT
public:
    IXInspectorPanel();

    bool isInspectorVisible() const { return m_inspectorVisible; }
    void setInspectorVisible(bool visible) { m_inspectorVisible = visible; }
    // Shows the panel when the user left it visible.
    void showPanel();
    void hidePanel();
    // Keeps the panel above the window (null: above none).
    void setTransientParentWindow(QWidget* window);
    // The panes in their order from the top.
    QList<IXInspectorPanelView*> panes() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    bool m_inspectorVisible = true;
};
