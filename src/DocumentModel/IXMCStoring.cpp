#include "DocumentModel/IXMCStoring.h"

namespace {
IXMCStoring* installedStorage = nullptr;
}

IXMCStoring::~IXMCStoring()
{
    if (installedStorage == this) installedStorage = nullptr;
}

IXMCStoring* IXMCStoring::sharedInstance()
{
    return installedStorage;
}

void IXMCStoring::install(IXMCStoring* storage)
{
    installedStorage = storage;
}
