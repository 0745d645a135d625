#include "MapLayout/IXLayoutView.h"

#include "Platform/PLScreen.h"

IXLayoutView::~IXLayoutView() = default;

PLSize IXLayoutView::screenSize() const
{
    return PLScreen::mainScreenSize();
}

std::optional<PLMouseEvent> IXLayoutView::nextEventMatchingMask(std::uint32_t, double)
{
    return std::nullopt;
}
