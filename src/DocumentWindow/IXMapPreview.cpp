#include "DocumentWindow/IXMapPreview.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace {

// Pictures larger than this on a side are not made (a broken map must not exhaust memory).
constexpr int MaximumPixels = 32000;

QImage blankImage(PLSize size)
{
    const int width = std::max(1, int(std::lround(size.width)));
    const int height = std::max(1, int(std::lround(size.height)));
    if (width > MaximumPixels || height > MaximumPixels) return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QByteArray encode(const QImage& image, const char* format, int quality = -1, bool progressive = false)
{
    if (image.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image)) return {};
    return bytes;
}

// Draws the context's cells rectangle into a new picture of the size, scaled uniformly.
QImage drawContext(IXLayoutContext& context, PLRect bounds, PLSize size)
{
    QImage image = blankImage(size);
    if (image.isNull() || bounds.isEmpty()) return image;
    PLGraphicsContext graphics(image);
    graphics.saveGraphicsState();
    const float scale = float(image.width()) / bounds.width();
    graphics.concat(PLAffineTransform(scale, 0, 0, scale, 0, 0));
    graphics.concat(PLAffineTransform(1, 0, 0, 1, -bounds.minX(), -bounds.minY()));
    context.drawRect(graphics, bounds);
    graphics.restoreGraphicsState();
    return image;
}

}  // namespace

IXMapPreview::IXMapPreview(IXWindowControlling* controller, std::shared_ptr<IXLayoutNode> currentLayout)
    : m_controller(controller), m_currentLayout(std::move(currentLayout))
{
    PL_ASSERT_PARAM(controller, "controller");
}

std::shared_ptr<IXLayoutNode> IXMapPreview::layoutNode() const
{
    if (m_currentLayout && m_currentLayout->layoutName() != IXLayoutOutlineName) return m_currentLayout;
    const auto document = m_controller->documentNode();
    return document ? document->layoutForName(IXLayoutMindMapName) : nullptr;
}

std::unique_ptr<IXLayoutContext> IXMapPreview::makeContext(std::int32_t drawMask) const
{
    auto context = std::make_unique<IXLayoutContext>(m_controller, layoutNode().get());
    context->setDrawMask(drawMask);
    context->performLayout();
    return context;
}

PLSize IXMapPreview::fittedSize(PLSize mapSize, PLSize maxImageSize)
{
    PLSize size = mapSize;
    if (maxImageSize.width > 0) {
        if (size.width > maxImageSize.width) {
            size.height = size.height / (size.width / maxImageSize.width);
            size.width = maxImageSize.width;
        }
        if (size.height > maxImageSize.height) {
            size.width = size.width / (size.height / maxImageSize.height);
            size.height = maxImageSize.height;
        }
    }
    if (!(size.width > 0) && !(size.height > 0)) size = maxImageSize;
    return size;
}

QImage IXMapPreview::exportPicture(const IXPictureExportOptions& options, PLSize maxImageSize) const
{
    auto context = makeContext(options.drawMask());
    const PLRect bounds = context->cellsBounds();
    QImage image = drawContext(*context, bounds, fittedSize(bounds.size, maxImageSize));
    context->invalidate();
    return image;
}

QByteArray IXMapPreview::jpegData(const QImage& image, double compressionFactor, bool progressive)
{
    if (image.isNull()) return {};
    // JPEG has no transparency: the map is laid on white, as it shows.
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    {
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
    }
    return encode(opaque, "jpeg", int(std::lround(std::clamp(compressionFactor, 0.0, 1.0) * 100)), progressive);
}

std::optional<QByteArray> IXMapPreview::pictureData(const IXPictureExportOptions& options, PLSize maxImageSize) const
{
    QByteArray bytes;
    switch (options.format) {
    case IXPictureExportOptions::TIFF: bytes = encode(exportPicture(options, maxImageSize), "tiff"); break;
    case IXPictureExportOptions::JPEG:
        bytes = jpegData(exportPicture(options, maxImageSize), options.quality * 0.01, false);
        break;
    case IXPictureExportOptions::PNG: bytes = encode(exportPicture(options, maxImageSize), "png"); break;
    case IXPictureExportOptions::PDF: bytes = pdfPreview(options); break;
    default: return std::nullopt;
    }
    if (bytes.isEmpty()) return std::nullopt;
    return bytes;
}

QByteArray IXMapPreview::pdfPreview(const IXPictureExportOptions& options) const
{
    auto context = makeContext(options.drawMask());
    const PLRect bounds = context->cellsBounds();
    // A page needs an area: an empty map gives a page of one point.
    const QSizeF pageSize(std::max(1.0f, bounds.width()), std::max(1.0f, bounds.height()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Ideaflux"));
        writer.setResolution(72);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setPageSize(QPageSize(pageSize, QPageSize::Point, QString(), QPageSize::ExactMatch));
        QPainter painter(&writer);
        if (!bounds.isEmpty()) {
            PLGraphicsContext graphics(painter, float(pageSize.height()), false);
            graphics.concat(PLAffineTransform(1, 0, 0, 1, -bounds.minX(), -bounds.minY()));
            context->drawRect(graphics, bounds);
        }
    }
    context->invalidate();
    return bytes;
}

QByteArray IXMapPreview::pdfPreview() const
{
    return pdfPreview(IXPictureExportOptions::everything(IXPictureExportOptions::PDF));
}

QByteArray IXMapPreview::jpgPreview(PLSize maxImageSize) const
{
    return jpegData(exportPicture(IXPictureExportOptions::everything(IXPictureExportOptions::JPEG), maxImageSize),
                    PreviewJPEGFactor, true);
}

QByteArray IXMapPreview::jpgPreview() const
{
    return jpgPreview(PLSize(PreviewMaximumSide, PreviewMaximumSide));
}

QByteArray IXMapPreview::pngPreview(PLSize maxImageSize) const
{
    return encode(exportPicture(IXPictureExportOptions::everything(IXPictureExportOptions::PNG), maxImageSize), "png");
}

QImage IXMapPreview::mapImageForRootBranch(const std::shared_ptr<IXBranchNode>& branch) const
{
    auto context = std::make_unique<IXLayoutContext>(m_controller, layoutNode().get());
    context->setBranchFilter(branch);
    context->performLayout();
    // The filter hides the other branches but keeps their cells: the picture is as large as
    // what is drawn, not the whole map with blank space around one branch.
    const PLRect bounds = context->visibleCellsBounds().integral();
    QImage image = drawContext(*context, bounds, bounds.size);
    context->invalidate();
    return image;
}
