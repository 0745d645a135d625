#include "MapLayout/IXPictureCell.h"

IXPictureCell::~IXPictureCell() = default;
