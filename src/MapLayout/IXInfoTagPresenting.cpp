#include "MapLayout/IXInfoTagPresenting.h"

namespace {
IXInfoTagPresenting* installedTag = nullptr;
}

IXInfoTagPresenting::~IXInfoTagPresenting()
{
    if (installedTag == this) installedTag = nullptr;
}

IXInfoTagPresenting* IXInfoTagPresenting::sharedInstance()
{
    return installedTag;
}

void IXInfoTagPresenting::install(IXInfoTagPresenting* tag)
{
    installedTag = tag;
}
