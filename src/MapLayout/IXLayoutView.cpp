#include "MapLayout/IXLayoutView.h"

#include "Platform/System/PLMouseTracking.h"
#include "Platform/System/PLScreen.h"

#include <algorithm>
#include <chrono>
#include <cmath>

IXLayoutView::~IXLayoutView() = default;

PLSize IXLayoutView::screenSize() const
{
    return PLScreen::mainScreenSize();
}

void IXLayoutView::setCursor(PLCursor) {}

void IXLayoutView::autoscroll(const PLMouseEvent&) {}

std::optional<PLMouseEvent> IXLayoutView::nextEventMatchingMask(std::uint32_t mask, double timeout)
{
    const auto wait = std::chrono::milliseconds(std::llround(std::max(timeout, 0.0) * 1000));
    return PLMouseTracking::nextEvent(mask, wait, false);
}
