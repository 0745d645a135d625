#include "MapLayout/IXLayoutView.h"

#include "Platform/PLScreen.h"

IXLayoutView::~IXLayoutView() = default;

PLSize IXLayoutView::screenSize() const
{
    return PLScreen::mainScreenSize();
}
