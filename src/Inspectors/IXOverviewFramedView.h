#pragma once

#include "Inspectors/IXOverviewBaseView.h"

class IXOverviewWindow;

// The overview's picture in its small window: the picture drawn inside a border (4 left and
// right, 6 top and bottom) with the part outside the visible part tinted. Its window takes the
// size of the picture plus the border; the picture's size is the window's largest frame times
// the size factor, which stays within 0.1 and 0.3 of the document window's width over that
// largest width. The window keeps inside the host's area and stays against the borders of it
// that it touches ("sticky" borders), so a window parked in a corner stays there when the
// document window changes size. A drag that starts outside the marked visible part (or while
// the whole document is visible) moves the window; one inside it drags the visible part.
class IXOverviewFramedView : public IXOverviewBaseView {
    Q_OBJECT
public:
    static constexpr int BorderX = 4;
    static constexpr int BorderY = 6;
    enum StickyBorder : unsigned { StickTop = 1, StickRight = 2, StickLeft = 4, StickBottom = 8 };

    explicit IXOverviewFramedView(QWidget* parent = nullptr);
    ~IXOverviewFramedView() override;

    float sizeFactor() const { return m_sizeFactor; }
    // Clamped (see above); a new factor rebuilds.
    void setSizeFactor(float factor);

    // Rebuilds only when the size changed.
    void setDocumentFrame(const PLRect& frame) override;
    PLSize previewSizeForDocumentSize(PLSize size) const override;
    // Sizes the window for the picture, keeping its top left, and places it in the host.
    void reconstruct() override;
    PLRect scaledVisibleRect() const override;
    PLPoint documentPointForViewPoint(PLPoint point) const override;

    unsigned stickyBorder() const { return m_stickyBorder; }
    void setStickyBorder(unsigned flags) { m_stickyBorder = flags; }
    // Puts the window inside the host's area, pushed to its sticky borders when asked, then
    // recomputes them.
    void adjustForHost(bool applySticky = true);
    void updateStickyFlags();
    // The frame (y-up) pulled inside the host's area, then pushed to the sticky borders of the
    // flags (bottom winning over top, left over right); its size is kept.
    static PLRect adaptFrame(PLRect frame, const PLRect& host, unsigned sticky);
    // The borders of the host's area that the frame touches or passes.
    static unsigned stickyFlagsFor(const PLRect& frame, const PLRect& host);

    IXOverviewWindow* overviewWindow() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Handed to the window, whichever got it.
    void wheelEvent(QWheelEvent* event) override;
    void beginOutsideDrag(QPoint global) override;
    void outsideDragTo(PLPoint point, QPoint global) override;
    void dragEnded() override;

private:
    float m_sizeFactor = 1.0f;
    unsigned m_stickyBorder = 0;
    PLPoint m_grabOffset;
};
