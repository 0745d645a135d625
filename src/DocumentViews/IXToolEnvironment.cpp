#include "DocumentViews/IXToolEnvironment.h"

namespace {
IXToolEnvironment* installedEnvironment = nullptr;
}

IXToolEnvironment::~IXToolEnvironment()
{
    if (installedEnvironment == this) installedEnvironment = nullptr;
}

IXToolEnvironment* IXToolEnvironment::shared()
{
    return installedEnvironment;
}

void IXToolEnvironment::install(IXToolEnvironment* environment)
{
    installedEnvironment = environment;
}
