#include "DocumentWindow/IXPictureExportOptions.h"

#include "MapLayout/IXLayoutContext.h"

IXPictureExportOptions IXPictureExportOptions::everything(int format)
{
    IXPictureExportOptions options;
    options.format = format;
    return options;
}

std::int32_t IXPictureExportOptions::drawMask() const
{
    std::int32_t mask = IXDrawMaskBackground;
    if (includeFloatingComments || includeFloatingPictures) mask |= IXDrawMaskFloatings;
    if (includeBranchConnections) mask |= IXDrawMaskBranchConnections;
    if (includeObjectIndicator) mask |= IXDrawMaskObjectIndicators;
    if (includeCommentIndicator) mask |= IXDrawMaskCommentIndicators;
    return mask;
}
