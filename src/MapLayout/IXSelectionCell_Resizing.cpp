#include "MapLayout/IXSelectionCell_Resizing.h"

IXSelectionCell_Resizing::~IXSelectionCell_Resizing() = default;
