#pragma once

#include <memory>

class IXBranchCell;
class IXBranchGroupCell;
class IXConnectionCell;
class IXLayoutCell;
class IXLayoutContext;
class IXNode;
class IXPictureCell;
class IXTextCell;
class IXTimelineCell;

// Makes the cells that a layout context puts into its layers. The map layout installs the
// factory of its cell classes at start-up; tests install factories of small cells of their
// own. Without a factory a context builds empty layers.
//
// Each cell is made with the context, its parent group (a layer) and the node it shows, not
// yet added to the parent.
class IXLayoutCellFactory {
public:
    virtual ~IXLayoutCellFactory();

    // The installed factory, or null.
    static IXLayoutCellFactory* sharedFactory();
    // Installs the factory (null uninstalls); the caller keeps ownership.
    static void install(IXLayoutCellFactory* factory);

    // A root branch's group.
    virtual std::shared_ptr<IXBranchGroupCell> makeBranchGroupCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                                   IXNode* branch) = 0;
    // A branch's box, made by the branch's group; an IXBranchCell by default.
    virtual std::shared_ptr<IXBranchCell> makeBranchCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                         IXNode* branch);
    // The timeline over the document node.
    virtual std::shared_ptr<IXTimelineCell> makeTimelineCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                             IXNode* document) = 0;
    // A floating picture; an IXPictureCell by default.
    virtual std::shared_ptr<IXPictureCell> makePictureCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                           IXNode* picture);
    // A floating comment; an IXTextCell by default.
    virtual std::shared_ptr<IXTextCell> makeTextCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                     IXNode* comment);
    virtual std::shared_ptr<IXConnectionCell> makeConnectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                                 IXNode* connection) = 0;
    // The outline and handles of a selected node.
    virtual std::shared_ptr<IXLayoutCell> makeSelectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                            IXNode* node) = 0;
};
