#pragma once

#include "MapLayout/IXLayoutCellFactory.h"

// The factory of the map's own cell classes, installed by the application at start-up: branch
// groups of the mind-map, left-right and top-down layouts (which make their boundaries
// themselves). Kinds whose classes this factory does not make come back null, and the context
// leaves them out.
class IXMapCellFactory : public IXLayoutCellFactory {
public:
    ~IXMapCellFactory() override;

    std::shared_ptr<IXBranchGroupCell> makeBranchGroupCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                           IXNode* branch) override;
    std::shared_ptr<IXTimelineCell> makeTimelineCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                     IXNode* document) override;
    std::shared_ptr<IXPictureCell> makePictureCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                   IXNode* picture) override;
    std::shared_ptr<IXTextCell> makeTextCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* comment) override;
    std::shared_ptr<IXConnectionCell> makeConnectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                         IXNode* connection) override;
    std::shared_ptr<IXLayoutCell> makeSelectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                    IXNode* node) override;
};
