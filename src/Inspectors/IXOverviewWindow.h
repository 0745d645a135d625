#pragma once

#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLRect.h"

#include <QPointer>
#include <QWidget>

class IXOverviewFramedView;
class IXOverviewHost;

// The small borderless window of the overview glued to a document window: a child widget of
// that window (so it lives on desktops that forbid moving top-level windows), with a framed
// view as its content. Turning the wheel over it changes the view's size factor by 0.01 a
// notch and asks the host for a new picture.
//
// Its frame is handled y-up in its parent's space (the parent's coordinates mirrored), or on
// the screen while it has no parent. Its smallest and largest frames bound no size: the first
// is its size when made, the second what the size factor is measured against; the window takes
// whatever size its view needs, so the picture is never stretched. Main thread only.
class IXOverviewWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int MinimumSide = 40;
    static constexpr int MaximumSide = 150;

    explicit IXOverviewWindow(QWidget* parent = nullptr);
    ~IXOverviewWindow() override;

    // Takes the view (owned), which fills the window, and gives it the host.
    void setContentView(IXOverviewFramedView* view);
    IXOverviewFramedView* contentView() const { return m_contentView; }
    void setHost(IXOverviewHost* host);
    IXOverviewHost* host() const { return m_host; }
    QSize maximumFrameSize() const { return {MaximumSide, MaximumSide}; }

    PLRect frameUp() const;
    void setFrameUp(const PLRect& frame);
    // A global position in the space of frameUp.
    PLPoint globalPointUp(QPoint global) const;

    // The wheel over the window or its view: the size factor grows by 0.01 a notch.
    void scrollWheel(QWheelEvent* event);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<IXOverviewFramedView> m_contentView;
    IXOverviewHost* m_host = nullptr;
};
