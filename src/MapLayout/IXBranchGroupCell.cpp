#include "MapLayout/IXBranchGroupCell.h"

IXBranchGroupCell::~IXBranchGroupCell() = default;
