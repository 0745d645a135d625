#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

class IXSlaveFrameView;

// A borderless panel glued over a region of a host widget (the visible map area of a document
// window): a child widget of the host, since a desktop may forbid moving top-level windows.
// While attached it stays inside its work area whenever it or the host moves or resizes,
// sticks to the edges of the area it touches (so it follows them when the area grows), and is
// moved by dragging its margin and resized by dragging one of its four corner squares. Its
// frame view draws the rounded, shadowed frame; the content sits inside the margin.
//
// Unattached it is a plain widget. The work area comes from the caller (in host coordinates),
// so any panel that must stay over part of a window can use it. Main thread only.
class IXSlavePanel : public QWidget {
    Q_OBJECT
public:
    enum StickyFlag : unsigned { StickTop = 1, StickBottom = 2, StickLeft = 4, StickRight = 8, StickyMask = 15 };
    static constexpr int CornerSize = 14;
    static constexpr int Margin = 12;

    using WorkArea = std::function<QRect()>;

    explicit IXSlavePanel(QWidget* parent = nullptr);
    ~IXSlavePanel() override;

    // Glues the panel over the host: it becomes the host's child, follows the work area (host
    // coordinates) and re-adjusts when the host or the watched widget (the widget whose
    // geometry makes the area, if any) changes size or place. The host going away detaches.
    void attach(QWidget* host, WorkArea workArea, QWidget* watched = nullptr);
    // Takes the panel off its host (it is hidden and parentless afterwards).
    void detach();
    bool isAttached() const { return m_host != nullptr; }
    QWidget* host() const { return m_host; }
    // The area the panel stays in, in host coordinates; empty while unattached.
    QRect workArea() const;

    IXSlaveFrameView* frameView() const { return m_frameView; }
    // The content: a child of the frame view, inset by the margin on every side.
    void setContentWidget(QWidget* content);
    QWidget* contentWidget() const { return m_content; }

    // The smallest frame the user can drag the panel to (the work area may cut it further).
    QSize minimumFrameSize() const { return m_minimumFrameSize; }
    void setMinimumFrameSize(const QSize& size) { m_minimumFrameSize = size; }

    unsigned stickyFlags() const { return m_flags & StickyMask; }
    void setStickyFlags(unsigned flags) { m_flags = (m_flags & ~unsigned(StickyMask)) | (flags & StickyMask); }
    // Puts the panel inside its work area (keeping its sticky edges), then recomputes them.
    void adjust();
    // Recomputes the sticky edges from the frame and the work area.
    void updateStickyFlags();
    // Sets the frame as a move by the user does: sticky edges cleared, then adjusted.
    void moveFrame(const QRect& frame);

    // The frame kept within the area (both in one y-down space): moved inside, cut to the
    // area's size, then pushed to the sticky edges. An area's origin is its top-left.
    static QRect constrainedFrame(const QRect& frame, const QRect& area, unsigned flags);
    // The edges of the area the frame touches or passes.
    static unsigned stickyFlagsFor(const QRect& frame, const QRect& area);

    // Whether the panel or a widget inside it has the keyboard focus.
    bool hasFocusInside() const;

signals:
    // The focus left the panel and everything inside it.
    void focusLeft();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Drag { None, Move, Resize };
    enum Corner : unsigned { CornerLeft = 1, CornerBottom = 2 };
    // The corner square under the point (panel coordinates), or -1.
    int cornerAt(const QPoint& point) const;
    void resizeTo(const QPoint& travel);
    void focusChanged(QWidget* old, QWidget* now);
    void layoutContent();

    IXSlaveFrameView* m_frameView = nullptr;
    QPointer<QWidget> m_content;
    QPointer<QWidget> m_host;
    QPointer<QWidget> m_watched;
    WorkArea m_workArea;
    unsigned m_flags = 0;
    Drag m_drag = Drag::None;
    unsigned m_corner = 0;
    QPoint m_dragStart;
    QRect m_startFrame;
    bool m_hadFocus = false;
    QMetaObject::Connection m_focusConnection;
    QSize m_minimumFrameSize;
};
