#pragma once

// A map laid out by the real branch groups over test boxes of fixed sizes, with its layout
// read back in canvas space.

#include "IXLayoutTestSupport.h"

#include "MapLayout/IXMapBranchGroupCell.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Core/PLUndoManager.h"

// The map's own groups; boxes of a fixed size per title (100 x 20 unless told).
class GroupTestFactory : public IXMapCellFactory {
public:
    QHash<QString, PLSize> boxSizes;

    GroupTestFactory() { install(this); }
    ~GroupTestFactory() override { install(nullptr); }

    std::shared_ptr<IXBranchCell> makeBranchCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* branch) override
    {
        const PLSize size = boxSizes.value(branch->title(), PLSize(100, 20));
        return std::make_shared<TestBranchCell>(context, parent, branch, PLRect(PLPoint(), size));
    }
};

struct GroupMap : MapFixtureWith<GroupTestFactory> {
    PLUndoManager undo;
    std::unique_ptr<IXLayoutContext> context;

    ~GroupMap()
    {
        if (context) context->invalidate();
    }

    // A root with children titled prefix1, prefix2, ...
    std::vector<std::shared_ptr<IXBranchNode>> addChildren(const std::shared_ptr<IXBranchNode>& parent, int count,
                                                           const QString& prefix = QStringLiteral("M"))
    {
        std::vector<std::shared_ptr<IXBranchNode>> children;
        for (int i = 1; i <= count; ++i) children.push_back(addChild(parent, prefix + QString::number(i)));
        return children;
    }

    // Opens the layout and lays it out.
    void open(const QString& layout)
    {
        if (context) context->invalidate();
        context = std::make_unique<IXLayoutContext>(&controller, this->layout(layout));
        layOut();
    }
    void layOut()
    {
        settle(context.get());
        context->performLayoutIfNeeded();
    }

    std::shared_ptr<IXStyleNode> style(IXNode* node) const { return context->styleForNode(node); }
    IXMapBranchGroupCell* group(IXNode* node) const
    {
        return dynamic_cast<IXMapBranchGroupCell*>(context->cells().branchGroupCellForNode(node));
    }
    // In canvas space.
    PLPoint anchor(IXNode* node) const { return group(node)->convertPointToCell(PLPoint(), nullptr); }
    PLRect groupFrame(IXNode* node) const
    {
        IXLayoutCell* cell = group(node);
        return cell->convertRectToCell(cell->bounds(), nullptr);
    }
    PLRect box(IXNode* node) const
    {
        IXLayoutCell* cell = group(node)->branchCell();
        return cell->convertRectToCell(cell->bounds(), nullptr);
    }
    PLRect button(IXNode* node) const
    {
        IXLayoutCell* cell = group(node)->collapseCell();
        return cell->convertRectToCell(cell->bounds(), nullptr);
    }
};
