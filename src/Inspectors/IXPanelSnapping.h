#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where a floating inspector panel being dragged comes to rest, in screen coordinates (y
// down, a rectangle's origin at its top-left): it docks under a panel whose bottom its top
// nears with left edges close, lines up with the edges of the other panels, and keeps to the
// screen's visible area.
class IXPanelSnapping {
public:
    static constexpr int AlignLeftDistance = 32;
    static constexpr int DockDistance = 16;
    static constexpr int SideDistance = 24;
    static constexpr int Gap = 4;
    static constexpr int ScreenEdgeDistance = 32;
    static constexpr int MinimumAboveBottom = 24;
    static constexpr int MinimumOnScreen = 40;

    struct Result {
        QPoint origin;
        // The index of the panel to dock under, or -1.
        int dockTarget = -1;
    };

    // The panel of the size proposed at the origin, beside the other panels' frames, on a
    // screen with the visible area.
    static Result snap(QPoint origin, QSize size, const QList<QRect>& others, const QRect& visible);
};
