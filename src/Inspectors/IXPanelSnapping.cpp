#include "Inspectors/IXPanelSnapping.h"

#include <cstdlib>

IXPanelSnapping::Result IXPanelSnapping::snap(QPoint origin, QSize size, const QList<QRect>& others,
                                              const QRect& visible)
{
    const int w = size.width();
    int x = origin.x();
    int top = origin.y();
    for (int i = 0; i < others.size(); ++i) {
        const QRect& other = others[i];
        const int otherBottom = other.y() + other.height();
        if (std::abs(other.x() - x) < AlignLeftDistance) {
            if (std::abs(otherBottom - top) < DockDistance) return {QPoint(other.x(), otherBottom), i};
            x = other.x();
            continue;
        }
        const int otherRight = other.x() + other.width();
        if (std::abs(otherRight - x) < SideDistance)
            x = otherRight + Gap;
        else if (std::abs(other.x() - (x + w)) < SideDistance)
            x = other.x() - w - Gap;
        if (std::abs(other.y() - top) < SideDistance) top = other.y();
    }
    const int right = visible.x() + visible.width();
    const int bottom = visible.y() + visible.height();
    if (std::abs(right - (x + w)) < ScreenEdgeDistance)
        x = right - w - Gap;
    else if (std::abs(x - visible.x()) < ScreenEdgeDistance)
        x = visible.x() + Gap;
    if (top > bottom - MinimumAboveBottom) top = bottom - MinimumAboveBottom;
    if (top < visible.y() + Gap) top = visible.y() + Gap;
    if (x + w < visible.x() + MinimumOnScreen) x = visible.x() - w + SideDistance;
    if (x + MinimumOnScreen > right) x = right - MinimumOnScreen;
    return {QPoint(x, top), -1};
}
