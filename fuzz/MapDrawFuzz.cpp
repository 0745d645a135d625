// Opens arbitrary bytes as a document package, lays the map out in each map layout with the
// map's own cells and draws it into a small picture, whole and at 100 % around its middle:
// nothing may crash or hang whatever geometry, titles or structure the file holds, and the
// laid-out map's bounds stay finite. Seeds: fuzz/corpus/mapdraw (written by
// "HostileMapBench --write-corpus"). Options: -detect_leaks=0 (the font caches that text
// layout fills on worker threads outlive single inputs; the sanitized test suite checks leaks).
#include "FuzzSupport.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Core/PLError.h"
#include "Platform/Text/PLFontSubstitutions.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Core/PLLog.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

IXMapCellFactory factory;

bool isFinite(const PLRect& r)
{
    return std::isfinite(r.minX()) && std::isfinite(r.minY()) && std::isfinite(r.maxX()) && std::isfinite(r.maxY());
}

void draw(IXLayoutContext& context, const PLRect& area, float scale)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    PLGraphicsContext graphics(image);
    graphics.concat(PLAffineTransform(scale, 0, 0, scale, 0, 0));
    graphics.concat(PLAffineTransform(1, 0, 0, 1, -area.minX(), -area.minY()));
    context.drawRect(graphics, area);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PLLog::setSink([](const QString&) {});
    static QGuiApplication application(*argc, *argv);
    FuzzSupport::useSourceResources();
    PLFontSubstitutions::install();
    IXLayoutCellFactory::install(&factory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    PLError error;
    IXDocumentOnlyController controller;
    controller.setDocumentNode(IXDocumentNode::fromZipData(bytes, &error));
    if (!controller.documentNode()) return 0;
    const QString layouts[] = {IXLayoutMindMapName, IXLayoutTopDownName, IXLayoutLeftRightName};
    for (int mode = 0; mode < 3; ++mode) {
        controller.setDocumentLayout(mode);
        IXLayoutContext context(&controller, controller.documentNode()->layoutForName(layouts[mode]).get());
        context.performLayout();
        const PLRect bounds = context.cellsBounds();
        if (!isFinite(bounds)) {
            std::fprintf(stderr, "%s: bounds not finite\n", qPrintable(layouts[mode]));
            __builtin_trap();
        }
        if (!bounds.isEmpty()) {
            // The whole map, then a window at 100 % (the second question goes through the index).
            draw(context, bounds, 64 / std::max(bounds.width(), bounds.height()));
            draw(context, PLRect(bounds.midX() - 32, bounds.midY() - 32, 64, 64), 1);
        }
        context.invalidate();
    }
    return 0;
}
