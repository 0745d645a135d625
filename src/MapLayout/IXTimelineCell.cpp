#include "MapLayout/IXTimelineCell.h"

IXTimelineCell::~IXTimelineCell() = default;
