#include "MapLayout/IXTextCell.h"

IXTextCell::~IXTextCell() = default;
