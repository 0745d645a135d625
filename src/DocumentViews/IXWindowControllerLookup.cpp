#include "DocumentViews/IXWindowControllerLookup.h"

namespace {
IXWindowControllerLookup* installed = nullptr;
}

IXWindowControllerLookup::~IXWindowControllerLookup()
{
    if (installed == this) installed = nullptr;
}

IXWindowControllerLookup* IXWindowControllerLookup::shared()
{
    return installed;
}

void IXWindowControllerLookup::install(IXWindowControllerLookup* lookup)
{
    installed = lookup;
}
