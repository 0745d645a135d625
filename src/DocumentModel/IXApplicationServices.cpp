#include "DocumentModel/IXApplicationServices.h"

namespace {
IXApplicationServices* installedServices = nullptr;
}

IXApplicationServices::~IXApplicationServices()
{
    if (installedServices == this) installedServices = nullptr;
}

IXApplicationServices* IXApplicationServices::shared()
{
    return installedServices;
}

void IXApplicationServices::install(IXApplicationServices* services)
{
    installedServices = services;
}
