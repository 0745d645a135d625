#pragma once

#include "MapLayout/IXLayoutCellFactory.h"

// The factory of the map's own cell classes, installed by the application at start-up: branch
// groups of the mind-map, left-right and top-down layouts (which make their boundaries and
// boxes themselves), the timeline (whose branch cells make their boxes through
// makeBranchCell), floating texts and pictures (the base factory's), connections and
// selection outlines.
class IXMapCellFactory : public IXLayoutCellFactory {
public:
    ~IXMapCellFactory() override;

    std::shared_ptr<IXBranchGroupCell> makeBranchGroupCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                           IXNode* branch) override;
    std::shared_ptr<IXTimelineCell> makeTimelineCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                     IXNode* document) override;
    std::shared_ptr<IXConnectionCell> makeConnectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                         IXNode* connection) override;
    std::shared_ptr<IXLayoutCell> makeSelectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                    IXNode* node) override;
};
