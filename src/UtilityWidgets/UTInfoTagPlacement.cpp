#include "UtilityWidgets/UTInfoTagPlacement.h"

#include <cmath>

namespace {
constexpr double BelowGap = 2;
constexpr int ScreenInset = 5;

bool fits(const QPointF& topLeft, const QSizeF& tag, const QSizeF& view)
{
    return topLeft.x() >= 0 && topLeft.y() >= 0 && topLeft.x() + tag.width() <= view.width() &&
           topLeft.y() + tag.height() <= view.height();
}
}

QPointF UTInfoTagPlacement::rightSideOfRect(const QRectF& rect, const QSizeF& tagSize)
{
    const double h = tagSize.height();
    const double y = rect.height() > h ? rect.y() + rect.height() * 0.5 - std::floor(h * 0.5) : rect.y();
    return {rect.x() + rect.width(), y};
}

QPointF UTInfoTagPlacement::belowRect(const QRectF& rect, const QSizeF& tagSize)
{
    return {rect.x() + rect.width() * 0.5 - std::floor(tagSize.width() * 0.5), rect.y() + rect.height() + BelowGap};
}

QPointF UTInfoTagPlacement::alignedRelativeToRect(const QRectF& rect, const QSizeF& tagSize, const QSizeF& viewSize)
{
    const double w = tagSize.width();
    const double h = tagSize.height();
    const QPointF below(rect.x(), rect.y() + rect.height());
    if (!fits({0, 0}, tagSize, viewSize)) return below;
    QPointF p = below;
    if (fits(p, tagSize, viewSize)) return p;
    if (p.y() + h > viewSize.height()) {
        // Above the rectangle, on whole units.
        p = QPointF(std::floor(rect.x() + rect.width() * 0.5 - w / 3), std::floor(rect.y() - h));
        if (fits(p, tagSize, viewSize)) return p;
        if (p.y() < 0) p = below;
    }
    if (p.x() + w > viewSize.width()) {
        p.setX(viewSize.width() - w);
        if (fits(p, tagSize, viewSize)) return p;
    }
    if (p.x() < 0) p.setX(0);
    return p;
}

QRect UTInfoTagPlacement::keptOnScreen(const QRect& frame, const QRect& screen)
{
    int x = frame.x();
    int y = frame.y();
    const int w = frame.width();
    const int h = frame.height();
    if (screen.width() > w) {
        if (x + w > screen.x() + screen.width()) x = screen.x() + screen.width() - w - ScreenInset;
        if (x < screen.x()) x = screen.x();
    }
    if (screen.height() > h) {
        if (y < screen.y()) y = screen.y() + ScreenInset;
        if (y + h > screen.y() + screen.height()) y = screen.y() + screen.height() - h;
    }
    return {x, y, w, h};
}
