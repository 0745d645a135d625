#include "MapLayout/IXLayoutCellFactory.h"

#include "MapLayout/IXBranchCell.h"

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

std::shared_ptr<IXBranchCell> IXLayoutCellFactory::makeBranchCell(IXLayoutContext*, IXLayoutCell*, IXNode*)
{
    return nullptr;
}
