#pragma once

// Small cells that place branches by layout type, for the map view's tests and benchmark.
//
// Groups: a branch box of 100 x 20 at the group's origin; sub-branches stacked top to bottom
// 30 to the right of the box (type 2), to the left (type 3), side by side below it (type 4);
// a mind-map root (type 1) puts the first half of its sub-branches on the right, the rest on
// the left.

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXConnectionCell.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTimelineCell.h"
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QFont>
#include <QStringList>

#include <algorithm>
#include <memory>

// A leaf of a fixed frame, drawn as a filled box with its node's title.
template <typename Base>
class MapTestLeaf : public Base {
public:
    MapTestLeaf(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node, PLRect frame, PLColor fill)
        : Base(context, parent, node), m_initialFrame(frame), m_fill(fill)
    {
    }
    void layout() override { this->setFrame(m_initialFrame); }
    bool hitTest(PLPoint point) override { return this->bounds().containsPoint(point); }
    void draw(PLGraphicsContext& graphics) override
    {
        const PLRect box = this->bounds();
        const bool selected = this->isSelected();
        graphics.setColor(selected ? PLColor::rgb(1.0f, 0.85f, 0.3f) : m_fill);
        graphics.fillRect(box);
        graphics.setColor(PLColor::rgb(0.2f, 0.3f, 0.6f));
        graphics.strokePath(PLBezierPath::bezierPathWithRect(box.insetBy(0.5f, 0.5f)));
        if (IXNode* node = this->node()) {
            QFont font(QStringLiteral("Helvetica"));
            font.setPixelSize(11);
            graphics.drawText(node->title(), box.insetBy(4, 3), font, PLColor::black());
        }
    }

private:
    PLRect m_initialFrame;
    PLColor m_fill;
};

inline constexpr float MapTestBoxWidth = 100, MapTestBoxHeight = 20;

class MapTestBranchCell : public MapTestLeaf<IXBranchCell> {
public:
    using MapTestLeaf::MapTestLeaf;
    IXTextCell* titleCell() const override { return nullptr; }
    PLRect boxFrame() const override { return PLRect(0, 0, MapTestBoxWidth, MapTestBoxHeight); }
    // The view's own routing is under test: presses pass through to the tools.
    bool acceptsMouseMoves(const PLMouseEvent&) override { return false; }
    bool trackMouse(const PLMouseEvent&) override { return false; }
};

class MapTestGroupCell : public IXBranchGroupCell {
public:
    using IXBranchGroupCell::IXBranchGroupCell;
    static constexpr float BoxWidth = MapTestBoxWidth, BoxHeight = MapTestBoxHeight, Gap = 30, Spacing = 6;

    void setLayoutType(int type) override { m_type = type; }
    int layoutType() override { return m_type; }
    void reloadBranches() override
    {
        removeAllCells();
        m_children.clear();
        m_box = std::make_shared<MapTestBranchCell>(context(), this, node(), PLRect(0, 0, BoxWidth, BoxHeight),
                                                    PLColor::rgb(0.85f, 0.92f, 1.0f));
        addCell(m_box);
        auto* branch = dynamic_cast<IXBranchNode*>(node());
        if (!branch || isCollapsed()) return;
        const auto& branches = branch->branches();
        const qsizetype rightCount = (branches.size() + 1) / 2;
        for (qsizetype i = 0; i < branches.size(); ++i) {
            auto group = std::make_shared<MapTestGroupCell>(context(), this, branches[i].get());
            group->setLayoutType(m_type == 1 ? (i < rightCount ? 2 : 3) : m_type);
            addCell(group);
            m_children.push_back(group);
            context()->cells().setCellForNode(group, branches[i].get());
            group->reloadBranches();
        }
    }
    void layout() override
    {
        float rightTop = BoxHeight, leftTop = BoxHeight, downLeft = 0;
        for (const auto& child : m_children) {
            child->performLayoutIfNeeded();
            const PLSize size = child->frame().size;
            if (child->m_type == 4) {
                child->setOrigin(PLPoint(downLeft, -Gap - size.height));
                downLeft += size.width + Spacing;
            } else if (child->m_type == 3) {
                child->setOrigin(PLPoint(-Gap - size.width, leftTop - size.height));
                leftTop -= size.height + Spacing;
            } else {
                child->setOrigin(PLPoint(BoxWidth + Gap, rightTop - size.height));
                rightTop -= size.height + Spacing;
            }
        }
        IXBranchGroupCell::layout();
    }
    IXBranchCell* branchCell() const override { return m_box.get(); }
    IXLayoutCell* boundaryCell() const override { return nullptr; }
    bool hasBoundary() override { return false; }
    bool isCollapsed() override { return style() && style()->branchCollapsed(); }
    IXBranchCell* parentForBranchCell(IXBranchCell*, PLPoint, int* parentIndex) override
    {
        *parentIndex = -1;
        return nullptr;
    }

private:
    int m_type = 0;
    std::shared_ptr<MapTestBranchCell> m_box;
    std::vector<std::shared_ptr<MapTestGroupCell>> m_children;
};

class MapTestTimelineCell : public IXTimelineCell {
public:
    using IXTimelineCell::IXTimelineCell;
    void reloadBranches() override {}
    void layout() override { setFrame(PLRect(0, 0, 400, 100)); }
    IXCellList rulerCells() const override { return {}; }
    IXCellList bandsCells() const override { return {}; }
    std::vector<std::shared_ptr<IXBranchGroupCell>> branchGroupCells() const override { return {}; }
    IXBranchGroupCell* rootBranchCell() const override { return nullptr; }
};

// Root groups stand 200 apart downwards; floating pictures and comments are 60 x 40 at their
// target offset.
class MapTestCellFactory : public IXLayoutCellFactory {
public:
    MapTestCellFactory() { install(this); }
    ~MapTestCellFactory() override { install(nullptr); }

    std::shared_ptr<IXBranchGroupCell> makeBranchGroupCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                           IXNode* branch) override
    {
        auto group = std::make_shared<MapTestGroupCell>(context, parent, branch);
        const auto& roots = context->documentNode()->rootBranches();
        const auto found = std::find_if(roots.begin(), roots.end(), [&](const auto& r) { return r.get() == branch; });
        group->setOrigin(PLPoint(0, -400.0f * float(found - roots.begin())));
        return group;
    }
    std::shared_ptr<IXTimelineCell> makeTimelineCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                     IXNode* document) override
    {
        return std::make_shared<MapTestTimelineCell>(context, parent, document);
    }
    std::shared_ptr<IXPictureCell> makePictureCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                   IXNode* picture) override
    {
        return std::make_shared<MapTestLeaf<IXPictureCell>>(context, parent, picture, floatingFrame(context, picture),
                                                            PLColor::rgb(0.85f, 1.0f, 0.85f));
    }
    std::shared_ptr<IXTextCell> makeTextCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* comment) override
    {
        return std::make_shared<MapTestLeaf<IXTextCell>>(context, parent, comment, floatingFrame(context, comment),
                                                         PLColor::rgb(1.0f, 1.0f, 0.8f));
    }
    std::shared_ptr<IXConnectionCell> makeConnectionCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override
    {
        return nullptr;
    }
    std::shared_ptr<IXLayoutCell> makeSelectionCell(IXLayoutContext*, IXLayoutCell*, IXNode*) override
    {
        return nullptr;
    }

private:
    static PLRect floatingFrame(IXLayoutContext* context, IXNode* node)
    {
        return PLRect(context->styleForNode(node)->floatingTargetOffset(), PLSize(60, 40));
    }
};

// A branch titled with each name, appended to the parent.
inline void addBranches(const std::shared_ptr<IXBranchNode>& parent, const QStringList& titles)
{
    for (const QString& title : titles) {
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(title);
        parent->insertBranch(branch, -1);
    }
}

inline std::shared_ptr<IXBranchNode> addRootBranch(IXDocumentNode& document, const QString& title)
{
    auto branch = std::make_shared<IXBranchNode>();
    branch->setTitle(title);
    document.addRootBranch(branch);
    return branch;
}
