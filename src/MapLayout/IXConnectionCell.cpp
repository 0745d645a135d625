#include "MapLayout/IXConnectionCell.h"

#include "DocumentModel/IXNode.h"

IXConnectionCell::~IXConnectionCell() = default;

bool IXConnectionCell::isBranchConnection() const
{
    const IXNode* connection = node();
    return connection && connection->parentNode() && connection->parentNode()->isBranch();
}
