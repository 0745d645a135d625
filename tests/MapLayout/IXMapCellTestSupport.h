#pragma once

// Standalone map cells in a context: a view whose event queue the test fills, a document with
// the cells' context, offscreen rendering of cells, and cells that are invalidated before
// they go.

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXIconsStorage.h"
#include "IXLayoutTestSupport.h"
#include "MapLayout/IXLayoutCell.h"
#include "MapLayout/IXQuickViewControlling.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/RenderTestSupport.h"

#include <QDir>
#include <QImage>

#include <optional>

// A view whose next mouse event (after a press) the test sets; nothing means a held press.
// With realQueue it waits on PLMouseTracking instead.
class EventQueueView : public TestView {
public:
    std::optional<PLMouseEvent> nextEvent;
    // Whether presses wait on the tracking queue, as the map view's do.
    bool realQueue = false;
    std::optional<PLMouseEvent> nextEventMatchingMask(std::uint32_t mask, double timeout) override
    {
        if (realQueue) return TestView::nextEventMatchingMask(mask, timeout);
        if (nextEvent && nextEvent->matchesMask(mask)) return nextEvent;
        return std::nullopt;
    }
};

// Records what the quick viewer was asked to show ("image <width>", "path <path>").
class FakeQuickView : public IXQuickViewControlling {
public:
    QStringList shown;
    FakeQuickView() { install(this); }
    ~FakeQuickView() override { install(nullptr); }
    void showWithImage(const QImage& image) override { shown << QStringLiteral("image %1").arg(image.width()); }
    void showWithPath(const QString& path) override { shown << QStringLiteral("path ") + path; }
};

// Icons are squares of a colour named by the icon ("ff0000"); other names have no picture.
class ColourIcons : public IXIconsStorage {
public:
    ColourIcons() { install(this); }
    ~ColourIcons() override { install(nullptr); }
    QStringList names() const override { return {}; }
    QImage iconForName(const QString& name) override
    {
        const QColor colour(QLatin1Char('#') + name);
        if (!colour.isValid()) return QImage();
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(colour);
        return image;
    }
};

// A document shown in a layout with a view and a recording tool manager.
struct CellFixture {
    MapFixture map;
    EventQueueView view;
    FakeToolManager tools;
    std::unique_ptr<ContextHolder> holder;
    // The parent of the cells made here: a group standing for a layer, whose space is the
    // canvas.
    std::shared_ptr<IXLayoutGroupCell> layer;
    std::vector<std::shared_ptr<IXLayoutCell>> cells;

    explicit CellFixture(const QString& layout = QStringLiteral("mindmap"))
        : holder(std::make_unique<ContextHolder>(map, layout, &view)),
          layer(std::make_shared<IXLayoutGroupCell>(context(), nullptr, nullptr))
    {
        view.context = context();
        settle(context());
    }
    ~CellFixture()
    {
        for (const auto& cell : cells) cell->invalidate();
        layer->invalidate();
    }
    IXLayoutContext* context() const { return holder->context.get(); }
    std::shared_ptr<IXStyleNode> styleOf(const std::shared_ptr<IXNode>& node) const
    {
        return context()->styleForNode(node.get());
    }
    std::shared_ptr<IXCommentNode> addComment(const QString& title)
    {
        auto comment = std::make_shared<IXCommentNode>();
        comment->setTitle(title);
        map.document->addComment(comment);
        return comment;
    }
    // A cell of the context in the layer, kept until the fixture goes.
    template <typename Cell> std::shared_ptr<Cell> make(const std::shared_ptr<IXNode>& node)
    {
        auto cell = std::make_shared<Cell>(context(), layer.get(), node.get());
        layer->addCell(cell);
        cells.push_back(cell);
        return cell;
    }
};

// Renders cells at their frames into a picture of the given size (y-up, transparent), with a
// white background when asked, and saves it as "renders/<name>.png" under the build folder.
inline QImage renderCells(const std::vector<IXLayoutCell*>& cells, int width, int height, const QString& name,
                          bool white = true, bool toScreen = true)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(white ? Qt::white : Qt::transparent);
    {
        PLGraphicsContext graphics(image, toScreen);
        for (IXLayoutCell* cell : cells) cell->display(graphics);
    }
    QDir().mkpath(QStringLiteral("renders"));
    image.save(QStringLiteral("renders/%1.png").arg(name));
    return image;
}

// The pixel at (x, y) of a y-up picture.
inline QColor pixelAt(const QImage& image, int x, int y)
{
    return image.pixelColor(x, image.height() - 1 - y);
}

// Pixels in the y-up rectangle for which the predicate holds.
template <typename Predicate> int countPixels(const QImage& image, const PLRect& rect, Predicate predicate)
{
    int count = 0;
    for (int y = int(rect.minY()); y < int(rect.maxY()); ++y)
        for (int x = int(rect.minX()); x < int(rect.maxX()); ++x)
            if (x >= 0 && y >= 0 && x < image.width() && y < image.height() && predicate(pixelAt(image, x, y))) ++count;
    return count;
}

inline bool isReddish(const QColor& c)
{
    return c.alpha() > 60 && c.red() > 170 && c.red() - c.green() > 50 && c.red() - c.blue() > 50;
}
inline bool isDark(const QColor& c)
{
    return c.alpha() > 100 && c.red() < 110 && c.green() < 110 && c.blue() < 110;
}
