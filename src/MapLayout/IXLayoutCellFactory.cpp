#include "MapLayout/IXLayoutCellFactory.h"

namespace {
IXLayoutCellFactory* installedFactory = nullptr;
}

IXLayoutCellFactory::~IXLayoutCellFactory()
{
    if (installedFactory == this) installedFactory = nullptr;
}

IXLayoutCellFactory* IXLayoutCellFactory::sharedFactory()
{
    return installedFactory;
}

void IXLayoutCellFactory::install(IXLayoutCellFactory* factory)
{
    installedFactory = factory;
}
