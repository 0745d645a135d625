#pragma once

#include "MapLayout/IXLayoutCellFactory.h"

// The factory of the map's own cell classes, for the application to install at start-up: branch
// groups of the mind-map, left-right and top-down layouts (which make their boundaries
// themselves), with the base's branch boxes, pictures and texts. Kinds whose classes are not
// made yet (timeline, connections, selection outlines) come back null, and the context leaves
// them out.
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
