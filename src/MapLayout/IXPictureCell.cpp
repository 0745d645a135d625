#include "MapLayout/IXPictureCell.h"

#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXFloatingCells.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXQuickViewControlling.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLImage.h"
#include "Platform/System/PLMouseEvent.h"
#include "Platform/Core/PLRunLoop.h"

#include <QPointF>
#include <QSizeF>

#include <algorithm>
#include <cmath>

namespace {

constexpr float MinimumPixels = 4;
constexpr std::string_view RefreshKey = "updateCacheImage";

PLSize fromQSize(const QSizeF& size)
{
    return PLSize(float(size.width()), float(size.height()));
}

}  // namespace

IXPictureCell::IXPictureCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node)
    : IXLayoutCell(context, parent, node)
{
}

IXPictureCell::~IXPictureCell()
{
    PLRunLoop::cancel(this);
}

bool IXPictureCell::isFloating() const
{
    IXNode* n = node();
    return n && n->isFloating();
}

IXPictureNode* IXPictureCell::pictureNode() const
{
    IXNode* n = node();
    return n && n->isPicture() ? static_cast<IXPictureNode*>(n) : nullptr;
}

void IXPictureCell::purgeCache()
{
    PLRunLoop::cancel(this);
    m_cachedImg = QImage();
    m_pendingCache = false;
}

void IXPictureCell::invalidate()
{
    PLRunLoop::cancel(this);
    IXLayoutCell::invalidate();
}

void IXPictureCell::invalidateLayout()
{
    IXLayoutCell::invalidateLayout();
    IXLayoutCell* branchCell = parent();
    if (!isFloating() && branchCell && !branchCell->needsLayout()) branchCell->invalidateLayout();
}

PLSize IXPictureCell::pictureSize()
{
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    if (!style) return PLSize();
    PLSize size = style->pictureSize();
    if (style->pictureKeepAspect())
        if (IXPictureNode* picture = pictureNode()) size = picture->adjustSize(size);
    return IXGeometryLimits::clampedPictureSize(size);
}

void IXPictureCell::layout()
{
    const PLSize size = pictureSize();
    setLayoutSize(PLSize(std::ceil(size.width), std::ceil(size.height)));
    if (!isFloating()) return;
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    if (style && !node()->floatingTargetNode()) setOrigin(IXGeometryLimits::floatingTargetOffset(*style));
}

bool IXPictureCell::isVisible()
{
    return IXFloatingCells::isTargetVisible(this) && IXLayoutCell::isVisible();
}

bool IXPictureCell::hitTest(PLPoint point)
{
    return isFloating() && bounds().containsPoint(point);
}

PLSize IXPictureCell::cappedCacheSize(PLSize pixels, const QImage& image) const
{
    double scale = 1;
    if (image.width() > 0 && image.height() > 0)
        scale = std::min({scale, double(image.width()) / pixels.width, double(image.height()) / pixels.height});
    scale = std::min(scale, std::sqrt(MaxCachePixels / (double(pixels.width) * pixels.height)));
    return PLSize(float(std::max(1.0, std::round(pixels.width * scale))),
                  float(std::max(1.0, std::round(pixels.height * scale))));
}

QImage IXPictureCell::imageForSize(PLSize pixels)
{
    PLGraphicsContext* graphics = PLGraphicsContext::currentContext();
    IXPictureNode* picture = pictureNode();
    if (graphics && !graphics->isDrawingToScreen()) return picture ? picture->image() : QImage();
    if (pixels.width < MinimumPixels || pixels.height < MinimumPixels || !picture) return QImage();
    const QImage source = picture->image();
    if (!m_cachedImg.isNull() && source.cacheKey() != m_cachedSourceKey) purgeCache();
    const PLSize needed = cappedCacheSize(pixels, source);
    if (!m_cachedImg.isNull()) {
        const float cw = float(m_cachedImg.width());
        const float ch = float(m_cachedImg.height());
        if (cw >= needed.width && ch >= needed.height && 2 * needed.width > cw && 2 * needed.height > ch)
            return m_cachedImg;
    }
    m_cacheImageSize = needed;
    if (m_cachedImg.isNull()) {
        updateCacheImage();
    } else if (!m_pendingCache) {
        PLRunLoop::perform(this, RefreshKey, [this] { updateCacheImage(); }, CacheRefreshDelay,
                           PLRunLoopMode::Default | PLRunLoopMode::EventTracking);
        m_pendingCache = true;
    }
    return m_cachedImg;
}

void IXPictureCell::updateCacheImage()
{
    m_pendingCache = false;
    IXPictureNode* picture = pictureNode();
    const QImage image = picture ? picture->image() : QImage();
    if (!image.isNull()) {
        m_cachedImg = image.scaled(int(m_cacheImageSize.width), int(m_cacheImageSize.height), Qt::IgnoreAspectRatio,
                                   Qt::SmoothTransformation);
        m_cachedSourceKey = image.cacheKey();
    }
    setNeedsDisplay();
}

void IXPictureCell::draw(PLGraphicsContext& graphics)
{
    const PLSize size = pictureSize();
    const PLSize pixels = context() ? context()->coordinates().convertSizeFromCell(size, this) : size;
    const QImage image = imageForSize(PLSize(std::abs(pixels.width), std::abs(pixels.height)));
    if (image.isNull()) return;
    const PLRect b = bounds();
    const PLRect rect(b.minX() + std::ceil((b.width() - size.width) * 0.5f),
                      b.minY() + std::ceil((b.height() - size.height) * 0.5f), size.width, size.height);
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    const float opacity = style ? style->pictureOpacity() : 1;
    const PLImage picture = PLImage::fromQImage(image);
    using Operation = PLGraphicsContext::CompositingOperation;
    using Interpolation = PLGraphicsContext::ImageInterpolation;

    graphics.saveGraphicsState();
    const bool selected = isSelected() || (!isFloating() && parent() && parent()->isSelected());
    if (selected) {
        graphics.beginTransparencyLayer();
        const PLSize pixel = currentPixelSize();
        graphics.setColor(PLColor::system(PLColor::System::AlternateSelectedControl).withAlpha((1 - opacity) / 3));
        graphics.fillRect(rect.insetBy(pixel.width, pixel.height));
        graphics.setImageInterpolation(Interpolation::None);
        graphics.drawImage(picture, rect, PLRect(), Operation::DestinationIn, 1);
        graphics.setImageInterpolation(Interpolation::High);
        graphics.drawImage(picture, rect, PLRect(), Operation::DestinationOver, opacity);
        graphics.endTransparencyLayer();
    } else {
        graphics.setImageInterpolation(Interpolation::High);
        graphics.drawImage(picture, rect, PLRect(), Operation::SourceOver, opacity);
    }
    graphics.setImageInterpolation(Interpolation::Default);
    graphics.restoreGraphicsState();
}

bool IXPictureCell::trackMouse(const PLMouseEvent& event)
{
    if (!isFloating() || event.type() != PLMouseEvent::LeftMouseDown || !context()) return false;
    IXPictureNode* picture = pictureNode();
    if (event.clickCount() == 2 && picture && !picture->image().isNull()) {
        if (IXQuickViewControlling* viewer = IXQuickViewControlling::sharedController()) {
            if (picture->targetLocation() == 1)
                viewer->showWithPath(picture->targetValue().text());
            else
                viewer->showWithImage(picture->image());
        }
        return true;
    }
    return IXFloatingCells::trackMouseDown(this, event);
}

PLSize IXPictureCell::adjustSize(PLSize size, bool tracksX, bool tracksY)
{
    const float w = std::max(std::min(size.width, MaxFitSide), MinFitSide);
    const float h = std::max(std::min(size.height, MaxFitSide), MinFitSide);
    IXPictureNode* picture = pictureNode();
    const PLSize image = picture ? picture->imageSize() : PLSize();
    if (image.width <= 0 || image.height <= 0) return PLSize(w, h);
    // In double precision, so that a size the picture fits exactly is not rounded up by one.
    const double sx = double(w) / image.width;
    const double sy = double(h) / image.height;
    const double s = tracksX && !tracksY ? sx : tracksY && !tracksX ? sy : (sx + sy) * 0.5;
    float nw = float(std::ceil(image.width * s));
    float nh = float(std::ceil(image.height * s));
    if (nh < MinFitSide) nw = float(std::ceil(double(image.width) / image.height * MinFitSide));
    if (nw < MinFitSide) nh = float(std::ceil(double(image.height) / image.width * MinFitSide));
    return PLSize(nw, nh);
}

QVariantMap IXPictureCell::resizing_state()
{
    QVariantMap state;
    if (std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading()) {
        const PLPoint offset = style->floatingTargetOffset();
        const PLSize size = style->pictureSize();
        state.insert(TargetOffsetKey, QPointF(offset.x, offset.y));
        state.insert(PictureSizeKey, QSizeF(size.width, size.height));
    }
    return state;
}

void IXPictureCell::resizing_setState(const QVariantMap& state)
{
    std::shared_ptr<IXStyleNode> style = IXLayoutCell::style();
    if (!style) return;
    if (state.contains(TargetOffsetKey)) {
        const QPointF offset = state.value(TargetOffsetKey).toPointF();
        style->setFloatingTargetOffset(PLPoint(float(offset.x()), float(offset.y())));
    }
    if (state.contains(PictureSizeKey)) style->setPictureSize(fromQSize(state.value(PictureSizeKey).toSizeF()));
}

void IXPictureCell::resizing_setFrame(const PLRect& frame, int tracksX, int tracksY)
{
    std::shared_ptr<IXStyleNode> style = IXLayoutCell::style();
    if (!style) return;
    const bool keep = style->pictureKeepAspect();
    const PLRect old = IXLayoutCell::frame();
    const PLSize size = keep ? adjustSize(frame.size, tracksX != 0, tracksY != 0) : frame.size;
    style->setPictureSize(size);
    if (frame.origin == old.origin) return;
    PLPoint offset = style->floatingTargetOffset();
    if (tracksX < 0) {
        offset.x += frame.minX() - old.minX();
        if (keep) offset.x -= size.width - frame.width();
    }
    if (tracksY < 0) {
        offset.y += frame.minY() - old.minY();
        if (keep) offset.y -= size.height - frame.height();
    }
    style->setFloatingTargetOffset(offset);
}
