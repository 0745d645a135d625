#pragma once

// A map whose connections and selection outlines are the real cells, with floating pictures
// and texts of the tests' own that can be resized, a view that records cursors, and drags
// posted to the tracking loop ahead of the press.

#include "IXLayoutTestSupport.h"

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "MapLayout/IXConnectionCell.h"
#include "MapLayout/IXSelectionCell.h"
#include "MapLayout/IXSelectionCell_Resizing.h"
#include "Platform/System/PLMouseTracking.h"
#include "Platform/Core/PLUndoManager.h"

#include <QPointF>
#include <QSizeF>

#include <optional>
#include <type_traits>
#include <vector>

// A floating picture sized by "pictureSize", or a floating text as wide as "textWidth" (its
// initial width while that is 0), resized plainly (no aspect, no least width); the origin is
// left to the connection that places it.
template <typename Base>
class ResizableCell : public TestLeafCell<Base> {
public:
    static constexpr bool IsPicture = std::is_same_v<Base, IXPictureCell>;

    ResizableCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node, PLRect frame)
        : TestLeafCell<Base>(context, parent, node, frame)
    {
        this->setOrigin(frame.origin);
    }

    PLSize styledSize()
    {
        const std::shared_ptr<IXStyleNode> style = this->style();
        if (IsPicture) return style->pictureSize();
        const float width = style->commentTextWidth();
        return PLSize(width > 0 ? width : this->m_initialFrame.width(), this->m_initialFrame.height());
    }
    void layout() override
    {
        ++this->layouts;
        const PLSize size = styledSize();
        if (size == this->m_frame.size && size == this->m_bounds.size) return;
        this->m_frame.size = size;
        this->m_bounds = PLRect(PLPoint(), size);
        this->invalidateTransform();
    }

    QVariantMap resizing_state() override
    {
        const std::shared_ptr<IXStyleNode> style = this->style();
        const PLPoint offset = style->floatingTargetOffset();
        QVariantMap state{{IXSelectionCell_Resizing::TargetOffsetKey, QPointF(offset.x, offset.y)}};
        if (IsPicture)
            state.insert(IXSelectionCell_Resizing::PictureSizeKey, QSizeF(style->pictureSize().width, style->pictureSize().height));
        else
            state.insert(IXSelectionCell_Resizing::TextWidthKey, double(style->commentTextWidth()));
        return state;
    }
    void resizing_setState(const QVariantMap& state) override
    {
        const std::shared_ptr<IXStyleNode> style = this->style();
        const QPointF offset = state.value(IXSelectionCell_Resizing::TargetOffsetKey).toPointF();
        style->setFloatingTargetOffset(PLPoint(float(offset.x()), float(offset.y())));
        if (state.contains(IXSelectionCell_Resizing::PictureSizeKey)) {
            const QSizeF size = state.value(IXSelectionCell_Resizing::PictureSizeKey).toSizeF();
            style->setPictureSize(PLSize(float(size.width()), float(size.height())));
        }
        if (state.contains(IXSelectionCell_Resizing::TextWidthKey)) style->setCommentTextWidth(state.value(IXSelectionCell_Resizing::TextWidthKey).toFloat());
    }
    void resizing_setFrame(const PLRect& frame, int tracksX, int tracksY) override
    {
        ++framesSet;
        const std::shared_ptr<IXStyleNode> style = this->style();
        const PLRect old = this->frame();
        if (IsPicture)
            style->setPictureSize(frame.size);
        else
            style->setCommentTextWidth(frame.width());
        // A moving minimum edge moves the cell, which its offset from the target places.
        PLPoint offset = style->floatingTargetOffset();
        if (tracksX < 0) offset.x += frame.minX() - old.minX();
        if (tracksY < 0) offset.y += frame.minY() - old.minY();
        style->setFloatingTargetOffset(offset);
    }
    int framesSet = 0;
};

using ResizablePictureCell = ResizableCell<IXPictureCell>;
using ResizableTextCell = ResizableCell<IXTextCell>;

// The point of a curve path (a move and one cubic) at parameter t.
inline PLPoint pointOnCurve(const PLBezierPath& path, float t)
{
    PLPoint p0[3], p1[3];
    path.elementAtIndex(0, p0);
    path.elementAtIndex(1, p1);
    const float u = 1 - t;
    const PLPoint a = p0[0], c1 = p1[0], c2 = p1[1], d = p1[2];
    return PLPoint(u * u * u * a.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x + t * t * t * d.x,
                   u * u * u * a.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y + t * t * t * d.y);
}

class ConnectionCellFactory : public TestCellFactory {
public:
    std::shared_ptr<IXPictureCell> makePictureCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* picture) override
    {
        return std::make_shared<ResizablePictureCell>(context, parent, picture, PLRect(0, 0, 50, 50));
    }
    std::shared_ptr<IXTextCell> makeTextCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* comment) override
    {
        return std::make_shared<ResizableTextCell>(context, parent, comment, PLRect(0, 0, 80, 30));
    }
    std::shared_ptr<IXConnectionCell> makeConnectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                         IXNode* connection) override
    {
        return std::make_shared<IXConnectionCell>(context, parent, connection);
    }
    std::shared_ptr<IXLayoutCell> makeSelectionCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node) override
    {
        return std::make_shared<IXSelectionCell>(context, parent, node);
    }
};

class TrackingView : public TestView {
public:
    QList<PLCursor> cursors;
    int autoscrolls = 0;
    void setCursor(PLCursor cursor) override { cursors << cursor; }
    void autoscroll(const PLMouseEvent&) override { ++autoscrolls; }
};

// Roots A at (0, 0) and B at (400, 0), each a 100 x 20 box, with sub-branch A1 at (150,
// -40) under A and B1 at (550, -40) under B; a connection from A to B; a floating picture P
// placed by A and a floating comment N placed by B. The view shows the canvas unscrolled, so
// view and canvas points agree. Undo is on.
struct ConnectionMap {
    MapFixture map;
    ConnectionCellFactory factory;
    std::shared_ptr<IXBranchNode> a = map.addRoot(QStringLiteral("A"));
    std::shared_ptr<IXBranchNode> a1 = MapFixture::addChild(a, QStringLiteral("A1"));
    std::shared_ptr<IXBranchNode> b = map.addRoot(QStringLiteral("B"));
    std::shared_ptr<IXBranchNode> b1 = MapFixture::addChild(b, QStringLiteral("B1"));
    std::shared_ptr<IXConnectionNode> link = a->addConnection();
    std::shared_ptr<IXPictureNode> picture = std::make_shared<IXPictureNode>();
    std::shared_ptr<IXCommentNode> comment = std::make_shared<IXCommentNode>();
    PLUndoManager undo;
    TrackingView view;
    std::optional<ContextHolder> context;

    ConnectionMap()
    {
        // The test factory above replaces the fixture's.
        IXLayoutCellFactory::install(&factory);
        link->setTargetNode(b);
        picture->setTitle(QStringLiteral("P"));
        comment->setTitle(QStringLiteral("N"));
        map.document->addPicture(picture);
        picture->setFloatingTargetNode(a);
        map.document->addComment(comment);
        comment->setFloatingTargetNode(b);
        map.factory.rootOrigins.insert(QStringLiteral("B"), PLPoint(400, 0));
        factory.rootOrigins = map.factory.rootOrigins;
        map.document->style()->setDocumentShowsBranchConnections(true);
        context.emplace(map, QStringLiteral("mindmap"), &view);
        view.context = ctx();
        settle(ctx());
        map.document->setUndoManager(&undo);
        PLMouseTracking::takePendingEvents();
    }
    ~ConnectionMap() { PLMouseTracking::takePendingEvents(); }

    IXLayoutContext* ctx() const { return context->context.get(); }
    std::shared_ptr<IXStyleNode> styleOf(IXNode* node) const { return ctx()->styleForNode(node); }
    IXConnectionCell* connectionCell(IXNode* connection) const
    {
        return dynamic_cast<IXConnectionCell*>(ctx()->cells().cellForNode(connection));
    }
    void select(const std::shared_ptr<IXNode>& node)
    {
        ctx()->setSelection(IXSelection::selectionWithNode(node));
        settle(ctx());
    }
    IXSelectionCell* selectionCell() const
    {
        const IXCellList& cells = ctx()->selectionLayer()->cells();
        return cells.empty() ? nullptr : dynamic_cast<IXSelectionCell*>(cells.front().get());
    }
    // A cell's rectangle in canvas (and view) space.
    static PLRect canvasRect(IXLayoutCell* cell) { return cell->convertRectToCell(cell->bounds(), nullptr); }

    // Presses at the point, drags through the others and releases at the last one; whether a
    // cell took the press. The model's notices are settled afterwards.
    bool drag(PLPoint from, const std::vector<PLPoint>& through)
    {
        for (size_t i = 0; i < through.size(); ++i)
            PLMouseTracking::postEvent(PLMouseEvent(
                i + 1 < through.size() ? PLMouseEvent::LeftMouseDragged : PLMouseEvent::LeftMouseUp, through[i]));
        const bool taken = ctx()->mouse().trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, from));
        endTurn();
        settle(ctx());
        return taken;
    }
};
