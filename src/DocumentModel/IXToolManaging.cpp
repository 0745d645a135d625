#include "DocumentModel/IXToolManaging.h"

namespace {
IXToolManaging* installedManager = nullptr;
}

IXToolManaging::~IXToolManaging()
{
    if (installedManager == this) installedManager = nullptr;
}

IXToolManaging* IXToolManaging::sharedManager()
{
    return installedManager;
}

void IXToolManaging::install(IXToolManaging* manager)
{
    installedManager = manager;
}
