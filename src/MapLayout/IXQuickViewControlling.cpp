#include "MapLayout/IXQuickViewControlling.h"

namespace {
IXQuickViewControlling* installedController = nullptr;
}

IXQuickViewControlling::~IXQuickViewControlling()
{
    if (installedController == this) installedController = nullptr;
}

IXQuickViewControlling* IXQuickViewControlling::sharedController()
{
    return installedController;
}

void IXQuickViewControlling::install(IXQuickViewControlling* controller)
{
    installedController = controller;
}
