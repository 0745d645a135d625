#pragma once

#include "DocumentWindow/IXPictureExportOptions.h"
#include "Platform/Drawing/PLSize.h"

#include <QByteArray>
#include <QImage>

#include <memory>
#include <optional>

class IXBranchNode;
class IXLayoutContext;
class IXLayoutNode;
class IXWindowControlling;

// Pictures of a window's map drawn without a window: the "preview" and "thumbnail" parts
// stored at every save, the picture export (TIFF, JPEG, PNG, PDF) and the picture of one root
// branch. Each picture builds its own off-screen layout context over the layout (the window's
// current one; the mind map when there is none or it is the outline, which has no map) and
// invalidates it afterwards. Pictures are 1 pixel per point and never enlarged: a maximum
// size only scales a larger map down, keeping its proportions.
class IXMapPreview {
public:
    static constexpr float PreviewMaximumSide = 1024;
    static constexpr float ThumbnailMaximumSide = 128;
    // The preview's JPEG compression factor.
    static constexpr double PreviewJPEGFactor = 0.8;

    // The controller is required; the current layout may be null.
    IXMapPreview(IXWindowControlling* controller, std::shared_ptr<IXLayoutNode> currentLayout);

    // The layout the pictures show.
    std::shared_ptr<IXLayoutNode> layoutNode() const;

    // The map with the options' elements, scaled down to fit the maximum (no maximum when its
    // width is 0). A map without cells gives a picture of exactly the maximum size.
    QImage exportPicture(const IXPictureExportOptions& options, PLSize maxImageSize) const;
    // The picture's bytes in the options' format; nothing for an unknown format or a picture
    // that cannot be encoded. PDF is the whole map at its natural size.
    std::optional<QByteArray> pictureData(const IXPictureExportOptions& options, PLSize maxImageSize) const;
    // One PDF page of the whole map at its natural size (1 point per map unit).
    QByteArray pdfPreview(const IXPictureExportOptions& options) const;
    QByteArray pdfPreview() const;
    // Everything included: progressive JPEG at the preview's compression factor, and PNG.
    QByteArray jpgPreview(PLSize maxImageSize) const;
    QByteArray jpgPreview() const;
    QByteArray pngPreview(PLSize maxImageSize) const;
    // The map reduced to the root branch's subtree, at natural size, drawn by default.
    QImage mapImageForRootBranch(const std::shared_ptr<IXBranchNode>& branch) const;

    // The picture size for a map of the size within the maximum (see exportPicture).
    static PLSize fittedSize(PLSize mapSize, PLSize maxImageSize);
    // JPEG bytes of the picture over white at the compression factor (0-1).
    static QByteArray jpegData(const QImage& image, double compressionFactor, bool progressive);

private:
    std::unique_ptr<IXLayoutContext> makeContext(std::int32_t drawMask) const;

    IXWindowControlling* m_controller;
    std::shared_ptr<IXLayoutNode> m_currentLayout;
};
