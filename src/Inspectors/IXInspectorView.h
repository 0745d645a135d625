#pragma once

#include <QString>
#include <QWidget>

// A view that stacks its child widgets from the top, in their order. With a title it is an
// inspector's collapsible section: a header with the title and a disclosure mark, the children
// under it (hidden while collapsed). Without a title it is the side pane beside a map, which
// stacks the sections of the applicable inspectors. A section that re-tiles re-tiles the view
// it sits in, so the side pane follows.
//
// A click in a section's header toggles it; Ctrl+click expands it and collapses every other
// section beside it; Alt+click toggles it and gives every section beside it the same state.
class IXInspectorView : public QWidget {
    Q_OBJECT
public:
    // Presses this far below the top are in the header.
    static constexpr int HeaderHitHeight = 16;
    static constexpr int Margin = 4;

    explicit IXInspectorView(QWidget* parent = nullptr);

    // Setting the title does not re-tile.
    void setTitle(const QString& title) { m_title = title; }
    const QString& title() const { return m_title; }
    void setCollapsed(bool collapsed);
    bool isCollapsed() const { return m_collapsed; }
    // The header's height as of the last tiling (0 without a title).
    int headerHeight() const { return m_headerHeight; }
    // Stacks the children and takes the widest child's width (at least the minimum width) and
    // their heights (with a title: the header and, while expanded, a margin above and below the
    // children).
    void tile();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QList<IXInspectorView*> sectionsBeside();

    QString m_title;
    bool m_collapsed = false;
    int m_headerHeight = 0;
};
