#pragma once

// Small cells of the tests' own behind the layout context's factory, a view and a window
// controller that record what they are asked, and a document fixture.

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXConnectionCell.h"
#include "MapLayout/IXDocumentViewing.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutContextObserver.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTimelineCell.h"
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/System/PLMouseEvent.h"
#include "TestSupport/QStringPrinter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>

inline void endTurn()
{
    QCoreApplication::processEvents();
}

// Runs the event loop until the context has nothing queued (a few turns at most).
inline void settle(IXLayoutContext* context)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while ((context->reloads().isReloadPosted() || context->reloads().isLayoutPosted()) && timer.elapsed() < 2000);
}

// What the test cells did, in order ("enter b", "track b", ...), by their node's title.
inline QStringList& cellEvents()
{
    static QStringList events;
    return events;
}

inline QString titleOf(IXLayoutCell* cell)
{
    return cell && cell->node() ? cell->node()->title() : QStringLiteral("-");
}

// "group A", "box A", "picture P", "text C", "link <owner>", "sel A", "boundary A".
inline QString labelOf(IXLayoutCell* cell)
{
    if (dynamic_cast<IXBranchGroupCell*>(cell)) return QStringLiteral("group ") + titleOf(cell);
    if (dynamic_cast<IXBranchCell*>(cell)) return QStringLiteral("box ") + titleOf(cell);
    if (dynamic_cast<IXPictureCell*>(cell)) return QStringLiteral("picture ") + titleOf(cell);
    if (dynamic_cast<IXTextCell*>(cell)) return QStringLiteral("text ") + titleOf(cell);
    if (dynamic_cast<IXConnectionCell*>(cell)) {
        IXNode* owner = cell->node() ? cell->node()->parentNode() : nullptr;
        return QStringLiteral("link ") + (owner ? owner->title() : QStringLiteral("-"));
    }
    if (cell && cell->context() && cell->parent() == cell->context()->selectionLayer())
        return QStringLiteral("sel ") + titleOf(cell);
    if (dynamic_cast<IXTimelineCell*>(cell)) return QStringLiteral("timeline");
    return QStringLiteral("boundary ") + titleOf(cell);
}

inline QStringList labelsOf(const IXCellList& cells)
{
    QStringList labels;
    for (const auto& cell : cells) labels << labelOf(cell.get());
    return labels;
}

// The titles of the branches whose groups draw a boundary.
inline QSet<QString>& boundaryTitles()
{
    static QSet<QString> titles;
    return titles;
}

// A leaf of a fixed frame that hits inside its bounds and records the mouse.
template <typename Base>
class TestLeafCell : public Base {
public:
    TestLeafCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node, PLRect frame)
        : Base(context, parent, node), m_initialFrame(frame)
    {
    }
    bool takesMouse = false;
    bool acceptsMoves = true;
    bool hits = true;
    int layouts = 0;
    PLRect m_initialFrame;

    void layout() override
    {
        ++layouts;
        this->setFrame(m_initialFrame);
    }
    bool hitTest(PLPoint point) override { return hits && this->bounds().containsPoint(point); }
    // Records itself and outlines its bounds.
    void draw(PLGraphicsContext& graphics) override
    {
        cellEvents() << QStringLiteral("draw ") + labelOf(this);
        PLBezierPath path = PLBezierPath::bezierPathWithRect(this->bounds().insetBy(0.5f, 0.5f));
        graphics.setColor(PLColor::rgb(0.2f, 0.3f, 0.8f));
        graphics.strokePath(path);
    }
    bool trackMouse(const PLMouseEvent& event) override
    {
        cellEvents() << QStringLiteral("track ") + labelOf(this);
        return takesMouse;
    }
    bool acceptsMouseMoves(const PLMouseEvent&) override { return acceptsMoves; }
    void mouseMoved(const PLMouseEvent&) override { cellEvents() << QStringLiteral("moved ") + labelOf(this); }
    void mouseEntered(const PLMouseEvent&) override { cellEvents() << QStringLiteral("enter ") + labelOf(this); }
    void mouseExited(const PLMouseEvent&) override { cellEvents() << QStringLiteral("exit ") + labelOf(this); }
};

using TestCell = TestLeafCell<IXLayoutCell>;
using TestTextCell = TestLeafCell<IXTextCell>;
using TestPictureCell = TestLeafCell<IXPictureCell>;
// Shown whatever its ends, which its fixed layout never looks up.
class TestConnectionCell : public TestLeafCell<IXConnectionCell> {
public:
    using TestLeafCell::TestLeafCell;
    bool isVisible() override { return true; }
};

class TestBranchCell : public TestLeafCell<IXBranchCell> {
public:
    TestBranchCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node, PLRect frame)
        : TestLeafCell(context, parent, node, frame),
          m_title(std::make_shared<TestTextCell>(context, this, node, PLRect(2, 2, 96, 16)))
    {
    }
    void invalidate() override
    {
        m_title->invalidate();
        TestLeafCell::invalidate();
    }
    IXTextCell* titleCell() const override { return m_title.get(); }
    PLRect boxFrame() const override { return PLRect(PLPoint(), m_initialFrame.size); }

private:
    std::shared_ptr<TestTextCell> m_title;
};

// A branch box of 100 x 20 at the group's origin; sub-branch groups 150 to the right, 40
// apart downwards.
class TestBranchGroupCell : public IXBranchGroupCell {
public:
    using IXBranchGroupCell::IXBranchGroupCell;
    int layoutType = -1;
    int reloads = 0;

    void setLayoutType(int type) override { layoutType = type; }
    void reloadBranches() override
    {
        ++reloads;
        removeAllCells();
        m_branchCell = std::make_shared<TestBranchCell>(context(), this, node(), PLRect(0, 0, 100, 20));
        addCell(m_branchCell);
        m_boundaryCell = std::make_shared<TestCell>(context(), this, node(), PLRect(-5, -5, 110, 30));
        addCell(m_boundaryCell);
        auto* branch = dynamic_cast<IXBranchNode*>(node());
        if (!branch) return;
        for (const auto& child : branch->branches()) {
            auto group = std::make_shared<TestBranchGroupCell>(context(), this, child.get());
            addCell(group);
            context()->cells().setCellForNode(group, child.get());
            group->reloadBranches();
        }
    }
    bool trackMouse(const PLMouseEvent&) override
    {
        cellEvents() << QStringLiteral("track ") + labelOf(this);
        return false;
    }
    void draw(PLGraphicsContext&) override { cellEvents() << QStringLiteral("draw ") + labelOf(this); }
    IXBranchCell* branchCell() const override { return m_branchCell.get(); }
    IXLayoutCell* boundaryCell() const override { return m_boundaryCell.get(); }
    bool hasBoundary() override { return boundaryTitles().contains(titleOf(this)); }
    bool isCollapsed() override { return style() && style()->branchCollapsed(); }
    IXBranchCell* parentForBranchCell(IXBranchCell* cell, PLPoint point, int* parentIndex) override
    {
        cellEvents() << QStringLiteral("parentFor ") + titleOf(this);
        *parentIndex = 0;
        return m_branchCell.get();
    }
    void layout() override
    {
        float y = 0;
        for (const auto& cell : cells()) {
            if (dynamic_cast<IXBranchGroupCell*>(cell.get())) {
                cell->setOrigin(PLPoint(150, y));
                y -= 40;
            }
        }
        IXBranchGroupCell::layout();
    }

private:
    std::shared_ptr<TestBranchCell> m_branchCell;
    std::shared_ptr<TestCell> m_boundaryCell;
};

class TestTimelineCell : public IXTimelineCell {
public:
    using IXTimelineCell::IXTimelineCell;
    int reloads = 0;
    IXCellList rulers;
    IXCellList bands;
    std::vector<std::shared_ptr<IXBranchGroupCell>> groups;

    void reloadBranches() override { ++reloads; }
    void layout() override { setFrame(PLRect(0, -32, 500, 100)); }
    IXCellList rulerCells() const override { return rulers; }
    IXCellList bandsCells() const override { return bands; }
    std::vector<std::shared_ptr<IXBranchGroupCell>> branchGroupCells() const override { return groups; }
    IXBranchGroupCell* rootBranchCell() const override { return nullptr; }
    void invalidate() override
    {
        for (const auto& cell : rulers) cell->invalidate();
        for (const auto& cell : bands) cell->invalidate();
        for (const auto& cell : groups) cell->invalidate();
        IXTimelineCell::invalidate();
    }
};

// Makes the test cells, placing floating cells and root groups where the test says (by the
// node's title), and counts what it made.
class TestCellFactory : public IXLayoutCellFactory {
public:
    QHash<QString, PLRect> floatingFrames;
    QHash<QString, PLPoint> rootOrigins;
    int branchGroupsMade = 0;
    int floatingsMade = 0;
    int connectionsMade = 0;
    int selectionsMade = 0;
    int timelinesMade = 0;

    TestCellFactory()
    {
        install(this);
        cellEvents().clear();
        boundaryTitles().clear();
    }
    ~TestCellFactory() override { install(nullptr); }

    std::shared_ptr<IXBranchGroupCell> makeBranchGroupCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                           IXNode* branch) override
    {
        ++branchGroupsMade;
        auto group = std::make_shared<TestBranchGroupCell>(context, parent, branch);
        group->setOrigin(rootOrigins.value(branch->title()));
        return group;
    }
    std::shared_ptr<IXTimelineCell> makeTimelineCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                     IXNode* document) override
    {
        ++timelinesMade;
        return std::make_shared<TestTimelineCell>(context, parent, document);
    }
    std::shared_ptr<IXPictureCell> makePictureCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                   IXNode* picture) override
    {
        ++floatingsMade;
        return std::make_shared<TestPictureCell>(context, parent, picture, frameFor(picture));
    }
    std::shared_ptr<IXTextCell> makeTextCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* comment) override
    {
        ++floatingsMade;
        return std::make_shared<TestTextCell>(context, parent, comment, frameFor(comment));
    }
    std::shared_ptr<IXConnectionCell> makeConnectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                         IXNode* connection) override
    {
        ++connectionsMade;
        return std::make_shared<TestConnectionCell>(context, parent, connection, PLRect(0, 0, 10, 10));
    }
    std::shared_ptr<IXLayoutCell> makeSelectionCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                    IXNode* node) override
    {
        ++selectionsMade;
        // Outlines the target's box, 8 units larger all round, like the real outline.
        PLRect frame(-8, -8, 116, 36);
        if (IXBranchCell* target = context->cells().branchCellForNode(node))
            frame = target->convertRectToCell(target->bounds(), nullptr).insetBy(-8, -8);
        auto cell = std::make_shared<TestCell>(context, parent, node, frame);
        cell->acceptsMoves = false;
        cell->hits = false;
        return cell;
    }

private:
    PLRect frameFor(IXNode* node) const
    {
        return floatingFrames.value(node->title(), PLRect(0, 0, 50, 50));
    }
};

// Every notice of a context, as "<notice> <argument>", and the last selection seen.
class ContextRecorder : public IXLayoutContextObserver {
public:
    QStringList notices;

    bool respondsToSelector(std::string_view selector) const override { return selector.starts_with("notifiedOfLayoutContext"); }
    void notifiedOfLayoutContextDidInit(IXLayoutContext*) override { notices << QStringLiteral("didInit"); }
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext*) override { notices << QStringLiteral("willInvalidate"); }
    void notifiedOfLayoutContextDidLayout(IXLayoutContext*) override { notices << QStringLiteral("didLayout"); }
    void notifiedOfLayoutContextWillChangeSelection(IXLayoutContext*, const IXSelection& s) override
    {
        notices << QStringLiteral("willSelect ") + names(s);
    }
    void notifiedOfLayoutContextDidChangeSelection(IXLayoutContext*, const IXSelection& s) override
    {
        notices << QStringLiteral("didSelect ") + names(s);
    }
    void notifiedOfLayoutContextWillChangeHighlights(IXLayoutContext*, const IXSelection& s) override
    {
        notices << QStringLiteral("willHighlight ") + names(s);
    }
    void notifiedOfLayoutContextDidChangeHighlights(IXLayoutContext*, const IXSelection& s) override
    {
        notices << QStringLiteral("didHighlight ") + names(s);
    }
    void notifiedOfLayoutContextWillChangeFilter(IXLayoutContext*, const std::shared_ptr<IXBranchNode>& f) override
    {
        notices << QStringLiteral("willFilter ") + (f ? f->title() : QStringLiteral("-"));
    }
    void notifiedOfLayoutContextDidChangeFilter(IXLayoutContext*, const std::shared_ptr<IXBranchNode>& f) override
    {
        notices << QStringLiteral("didFilter ") + (f ? f->title() : QStringLiteral("-"));
    }
    int count(const QString& notice) const { return int(notices.count(notice)); }

private:
    static QString names(const IXSelection& selection)
    {
        QStringList titles;
        for (const auto& node : selection.nodes()) titles << (node->isDocument() ? QStringLiteral("doc") : node->title());
        return titles.isEmpty() ? QStringLiteral("()") : titles.join(QLatin1Char(','));
    }
};

class RecordingController : public FakeWindowController, public ContextRecorder {};

// A map view: scrolled by an offset and zoomed by a factor around the canvas origin.
class TestView : public IXLayoutView, public IXDocumentViewing, public ContextRecorder {
public:
    PLRect visible = PLRect(0, 0, 800, 600);
    PLSize screen = PLSize(1000, 800);
    PLPoint scroll;
    float zoom = 1;
    IXLayoutContext* context = nullptr;
    int fullRedisplays = 0;
    QList<PLRect> redisplayedRects;
    bool keyFocus = false;

    PLRect visibleRect() const override { return visible; }
    void setNeedsDisplay() override { ++fullRedisplays; }
    void setNeedsDisplayInRect(const PLRect& rect) override { redisplayedRects << rect; }
    bool needsToDrawRect(const PLRect& rect) const override { return rect.intersects(visible); }
    bool hasKeyFocus() const override { return keyFocus; }
    PLRect convertRectToWindow(const PLRect& rect) const override { return rect.offsetBy(10, 20); }
    PLRect convertRectFromWindow(const PLRect& rect) const override { return rect.offsetBy(-10, -20); }
    PLSize screenSize() const override { return screen; }
    PLAffineTransform documentViewTransform() const override
    {
        PLAffineTransform t;
        t.translateXBy(scroll.x, scroll.y);
        t.scaleBy(zoom);
        return t;
    }
    IXLayoutContext* layoutContext() const override { return context; }
    void detachFromController() override {}
};

// A document with a controller and the cells of a factory, in a named layout.
template <typename Factory>
struct MapFixtureWith {
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    RecordingController controller;
    Factory factory;

    MapFixtureWith() { controller.node = document; }

    std::shared_ptr<IXBranchNode> addRoot(const QString& title)
    {
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(title);
        document->addRootBranch(branch);
        return branch;
    }
    static std::shared_ptr<IXBranchNode> addChild(const std::shared_ptr<IXBranchNode>& parent, const QString& title)
    {
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(title);
        parent->insertBranch(branch, -1);
        return branch;
    }
    IXLayoutNode* layout(const QString& name) { return document->layoutForName(name).get(); }
};

using MapFixture = MapFixtureWith<TestCellFactory>;

// Owns a context and invalidates it before it goes, as owners must.
struct ContextHolder {
    std::unique_ptr<IXLayoutContext> context;
    ContextHolder(MapFixture& map, const QString& layout, IXLayoutView* view = nullptr)
        : context(std::make_unique<IXLayoutContext>(&map.controller, map.layout(layout), view))
    {
    }
    ~ContextHolder()
    {
        if (context) context->invalidate();
    }
    IXLayoutContext* operator->() const { return context.get(); }
};
