#include "MapLayout/IXMapCellFactory.h"

#include "MapLayout/IXConnectionCell.h"
#include "MapLayout/IXMapBranchGroupCell.h"
#include "MapLayout/IXSelectionCell.h"
#include "MapLayout/IXTimelineCell.h"

IXMapCellFactory::~IXMapCellFactory() = default;

std::shared_ptr<IXBranchGroupCell> IXMapCellFactory::makeBranchGroupCell(IXLayoutContext* context,
                                                                         IXLayoutCell* parent, IXNode* branch)
{
    return std::make_shared<IXMapBranchGroupCell>(context, parent, branch);
}

std::shared_ptr<IXTimelineCell> IXMapCellFactory::makeTimelineCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                                   IXNode* document)
{
    return std::make_shared<IXTimelineCell>(context, parent, document);
}

std::shared_ptr<IXConnectionCell> IXMapCellFactory::makeConnectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                                       IXNode* connection)
{
    return std::make_shared<IXConnectionCell>(context, parent, connection);
}

std::shared_ptr<IXLayoutCell> IXMapCellFactory::makeSelectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                                  IXNode* node)
{
    return std::make_shared<IXSelectionCell>(context, parent, node);
}
