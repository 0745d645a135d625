#include "MapLayout/IXLayoutCellFactory.h"

#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXTextCell.h"

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

std::shared_ptr<IXTextCell> IXLayoutCellFactory::makeTextCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                              IXNode* comment)
{
    return std::make_shared<IXTextCell>(context, parent, comment);
}

std::shared_ptr<IXPictureCell> IXLayoutCellFactory::makePictureCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                                    IXNode* picture)
{
    return std::make_shared<IXPictureCell>(context, parent, picture);
}

std::shared_ptr<IXBranchCell> IXLayoutCellFactory::makeBranchCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                                  IXNode* branch)
{
    return std::make_shared<IXBranchCell>(context, parent, branch);
}
