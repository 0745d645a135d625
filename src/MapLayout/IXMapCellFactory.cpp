#include "MapLayout/IXMapCellFactory.h"

#include "MapLayout/IXConnectionCell.h"
#include "MapLayout/IXMapBranchGroupCell.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTimelineCell.h"

IXMapCellFactory::~IXMapCellFactory() = default;

std::shared_ptr<IXBranchGroupCell> IXMapCellFactory::makeBranchGroupCell(IXLayoutContext* context,
                                                                         IXLayoutCell* parent, IXNode* branch)
{
    return std::make_shared<IXMapBranchGroupCell>(context, parent, branch);
}

std::shared_ptr<IXTimelineCell> IXMapCellFactory::makeTimelineCell(IXLayoutContext*, IXLayoutCell*, IXNode*)
{
    return nullptr;
}

std::shared_ptr<IXPictureCell> IXMapCellFactory::makePictureCell(IXLayoutContext*, IXLayoutCell*, IXNode*)
{
    return nullptr;
}

std::shared_ptr<IXTextCell> IXMapCellFactory::makeTextCell(IXLayoutContext*, IXLayoutCell*, IXNode*)
{
    return nullptr;
}

std::shared_ptr<IXConnectionCell> IXMapCellFactory::makeConnectionCell(IXLayoutContext*, IXLayoutCell*, IXNode*)
{
    return nullptr;
}

std::shared_ptr<IXLayoutCell> IXMapCellFactory::makeSelectionCell(IXLayoutContext*, IXLayoutCell*, IXNode*)
{
    return nullptr;
}
