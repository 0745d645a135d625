// Renders a map package to a PNG picture in one of the map layouts ("mindmap", "topdown",
// "leftright") at a scale, through an off-screen layout context with the map's cells, as the
// views draw it; a map beyond 32,000 pixels a side or 64 million pixels at that scale is drawn
// smaller. Exits with 1 and a message on bad arguments, an unreadable package or a
// picture that cannot be written.
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "MapLayout/IXDocumentOnlyController.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXStartupServices.h"
#include "Platform/Core/PLError.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "MapRender: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    // The editor's own start-up: without it icons, fonts and cells would differ from its maps.
    IXStartupServices::install();
    const QStringList arguments = application.arguments();
    const QStringList layouts{IXLayoutMindMapName, IXLayoutTopDownName, IXLayoutLeftRightName};
    bool scaleOK = false;
    const float scale = arguments.size() == 5 ? arguments[3].toFloat(&scaleOK) : 0;
    if (arguments.size() != 5 || !layouts.contains(arguments[2]) || !scaleOK || !(scale > 0) || scale > 16)
        return fail(QStringLiteral("usage: MapRender <package.ixd> <mindmap|topdown|leftright> <scale 0-16> <out.png>"));

    QFile file(arguments[1]);
    if (!file.open(QIODevice::ReadOnly)) return fail(arguments[1] + QStringLiteral(": ") + file.errorString());
    PLError error;
    IXDocumentOnlyController controller;
    controller.setDocumentNode(IXDocumentNode::fromZipData(file.readAll(), &error));
    if (!controller.documentNode()) {
        // The fixed reason, then what is wrong in words.
        const QString why = error.userInfo().value(PLError::UnderlyingErrorKey).toString();
        return fail(arguments[1] + QStringLiteral(": ") + error.localizedDescription() + (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
    }
    controller.setDocumentLayout(int(layouts.indexOf(arguments[2])));

    IXLayoutContext context(&controller, controller.documentNode()->layoutForName(arguments[2]).get());
    context.performLayout();
    const PLRect area = context.cellsBounds().insetBy(-20, -20).integral();
    // A map larger than 32,000 pixels a side or 64 million pixels at the scale asked is drawn
    // smaller, whole.
    constexpr double MaxSide = 32000;
    constexpr double MaxPixels = 64e6;
    const double areaWidth = area.width(), areaHeight = area.height();
    double fitting = scale;
    if (areaWidth > 0 && areaHeight > 0)
        fitting = std::min({fitting, (MaxSide - 1) / areaWidth, (MaxSide - 1) / areaHeight,
                            std::sqrt(MaxPixels / areaWidth / areaHeight)});
    const float drawScale = float(fitting);
    if (drawScale < scale)
        std::fprintf(stderr, "MapRender: the map is drawn at scale %g to fit the picture\n", double(drawScale));
    const double width = std::ceil(double(area.width()) * drawScale);
    const double height = std::ceil(double(area.height()) * drawScale);
    QImage image;
    if (width > 0 && height > 0 && width <= MaxSide && height <= MaxSide)
        image = QImage(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        context.invalidate();
        return fail(QStringLiteral("a picture of %1 x %2 pixels cannot be made").arg(width).arg(height));
    }
    image.fill(Qt::white);
    {
        PLGraphicsContext graphics(image);
        graphics.concat(PLAffineTransform(drawScale, 0, 0, drawScale, 0, 0));
        graphics.concat(PLAffineTransform(1, 0, 0, 1, -area.minX(), -area.minY()));
        context.drawRect(graphics, area);
    }
    context.invalidate();
    if (!image.save(arguments[4], "PNG")) return fail(arguments[4] + QStringLiteral(": the picture cannot be written"));
    return 0;
}
