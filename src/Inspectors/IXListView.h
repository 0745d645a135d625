#pragma once

#include <QWidget>

// Stacks its child widgets from the top, one under the other at x = 0, as wide as the widest;
// children that grow horizontally take that width. A child added, removed or resized re-tiles
// the list once, on the next turn of the event loop.
class IXListView : public QWidget {
    Q_OBJECT
public:
    explicit IXListView(QWidget* parent = nullptr);
    ~IXListView() override;

    void setNeedsTile();
    bool needsTile() const { return m_needsTile; }
    // Stacks the children when marked.
    void tile();
    // Deletes every child widget.
    void removeAllSubviews();

protected:
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool m_needsTile = false;
};
