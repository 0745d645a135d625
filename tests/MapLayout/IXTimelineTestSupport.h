#pragma once

// A document of dated branches shown in the timeline layout with the real timeline cells and
// the tests' branch boxes (100 x 20 unless a title asks for another width: "wide" 300).

#include "IXLayoutTestSupport.h"

#include "MapLayout/IXTimelineBarCell.h"
#include "MapLayout/IXTimelineBranchCell.h"
#include "MapLayout/IXTimelineCell.h"
#include "MapLayout/IXTimelineRulerCell.h"
#include "Utilities/UTDateLocale.h"

#include <QImage>
#include <QLocale>

class TimelineCellFactory : public TestCellFactory {
public:
    std::shared_ptr<IXTimelineCell> makeTimelineCell(IXLayoutContext* context, IXLayoutCell* parent,
                                                     IXNode* document) override
    {
        ++timelinesMade;
        return std::make_shared<IXTimelineCell>(context, parent, document);
    }
    // The map's own branch boxes instead of the tests' ones.
    bool realBoxes = false;

    std::shared_ptr<IXBranchCell> makeBranchCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* branch) override
    {
        if (realBoxes) return IXLayoutCellFactory::makeBranchCell(context, parent, branch);
        const float width = branch->title().startsWith(QLatin1String("wide")) ? 300 : 100;
        return std::make_shared<TestBranchCell>(context, parent, branch, PLRect(0, 0, width, 20));
    }
};

// English month and weekday names and number grouping, whatever the machine's locale.
struct EnglishNames {
    EnglishNames()
    {
        UTDateLocale::install(UTDateLocale::english());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    ~EnglishNames()
    {
        UTDateLocale::install(std::nullopt);
        QLocale::setDefault(QLocale::system());
    }
};

struct TimelineFixture {
    EnglishNames names;
    std::shared_ptr<IXDocumentNode> document = std::make_shared<IXDocumentNode>();
    RecordingController controller;
    TimelineCellFactory factory;
    std::shared_ptr<IXBranchNode> root;
    std::unique_ptr<IXLayoutContext> context;
    // The hosting view, when a test opens the context with one.
    TestView view;
    bool withView = false;

    explicit TimelineFixture(int timeScale = 0)
    {
        controller.node = document;
        document->setTimeScaleType(timeScale);
        root = std::make_shared<IXBranchNode>();
        root->setTitle(QStringLiteral("Root"));
        document->addRootBranch(root);
    }
    ~TimelineFixture()
    {
        if (context) context->invalidate();
    }

    std::shared_ptr<IXBranchNode> add(const std::shared_ptr<IXBranchNode>& parent, const QString& title,
                                      std::optional<UTDateTime> begin, std::optional<UTDateTime> end = std::nullopt)
    {
        auto branch = std::make_shared<IXBranchNode>();
        branch->setTitle(title);
        branch->setBeginDate(begin);
        if (end) branch->setEndDate(end);
        parent->insertBranch(branch, -1);
        return branch;
    }
    std::shared_ptr<IXBranchNode> add(const QString& title, std::optional<UTDateTime> begin,
                                      std::optional<UTDateTime> end = std::nullopt)
    {
        return add(root, title, begin, end);
    }

    IXStyleNode& documentStyle() { return *open()->styleForNode(document.get()); }

    IXLayoutContext* open()
    {
        if (!context) {
            context = std::make_unique<IXLayoutContext>(&controller, document->layoutForName(QStringLiteral("timeline")).get(),
                                                        withView ? &view : nullptr);
            view.context = context.get();
        }
        return context.get();
    }

    // The timeline, reloaded and laid out.
    IXTimelineCell& timeline()
    {
        settle(open());
        auto* cell = dynamic_cast<IXTimelineCell*>(context->timelineCell());
        if (!cell) throw std::runtime_error("no timeline cell");
        cell->frame();
        return *cell;
    }

    // The whole canvas drawn off-screen on white.
    QImage render()
    {
        timeline();
        const PLRect canvas = context->cellsBounds().integral();
        QImage image(int(canvas.width()), int(canvas.height()), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        PLGraphicsContext graphics(image);
        PLAffineTransform move;
        move.translateXBy(-canvas.minX(), -canvas.minY());
        graphics.concat(move);
        context->drawRect(graphics, canvas);
        return image;
    }
};
