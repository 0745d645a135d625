#include "MapLayout/IXBranchCell.h"

IXBranchCell::~IXBranchCell() = default;
