#pragma once

#include "MapLayout/IXLayoutCell.h"
#include "MapLayout/IXSelectionCell_Resizing.h"
#include "Platform/Drawing/PLSize.h"

#include <QImage>

#include <chrono>

class IXPictureNode;

// A picture on the map: a branch's picture (placed by its branch cell) or a floating picture
// (a cell of the context's floating layer, which the context tells apart from other cells by
// this class). Its size comes from the style ("pictureSize", fitted to the picture's
// proportions when "pictureKeepAspect" is on); it draws the picture centred in its bounds at
// the style's opacity, tinted in the picture's own shape while selected, and, for a floating
// picture, handles the mouse and resizing.
//
// On screen the cell draws a copy scaled to the size needed in view pixels, reused while the
// needed size stays within half of it; after a larger change the old copy is drawn stretched
// until the new one is made a tenth of a second later (also while the mouse is tracked). The
// copy never holds more pixels than the picture itself, nor more than MaxCachePixels: beyond
// that it is drawn scaled up, so that zooming into a large picture does not cost hundreds of
// megabytes. A copy of a picture the node no longer shows (its target changed) is dropped
// and made again at once. Printing and picture export draw the full picture. Main thread
// only.
class IXPictureCell : public IXLayoutCell, public IXSelectionCell_Resizing {
public:
    static constexpr std::chrono::milliseconds CacheRefreshDelay{100};
    static constexpr double MaxCachePixels = 4096.0 * 4096.0;
    // Bounds of a fitted size (adjustSize) on either side.
    static constexpr float MinFitSide = 16;
    static constexpr float MaxFitSide = 1000;

    IXPictureCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node);
    ~IXPictureCell() override;

    bool isFloating() const;
    IXPictureNode* pictureNode() const;
    // The picture's size from the style.
    PLSize pictureSize();
    // A dragged size limited to 16...1000 on each side and fitted to the picture's
    // proportions by the ratio of the tracked side (the mean of both when both or neither
    // are tracked), each side kept at least 16 by widening or heightening the other.
    PLSize adjustSize(PLSize size, bool tracksX, bool tracksY);

    // The image to draw for a size in view pixels (see the class comment); null when nothing
    // is to be drawn.
    QImage imageForSize(PLSize pixels);
    const QImage& cachedImage() const { return m_cachedImg; }
    bool isCacheRefreshPending() const { return m_pendingCache; }
    PLSize cacheImageSize() const { return m_cacheImageSize; }
    // Drops the cached copy and any pending refresh.
    void purgeCache();

    void invalidate() override;
    void invalidateLayout() override;
    void layout() override;
    bool isVisible() override;
    bool hitTest(PLPoint point) override;
    bool trackMouse(const PLMouseEvent& event) override;
    void draw(PLGraphicsContext& graphics) override;

    QVariantMap resizing_state() override;
    void resizing_setState(const QVariantMap& state) override;
    void resizing_setFrame(const PLRect& frame, int tracksX, int tracksY) override;

private:
    void updateCacheImage();
    // The size the copy is made at for a needed size: at most the picture's pixels and the
    // budget, keeping the needed proportions.
    PLSize cappedCacheSize(PLSize pixels, const QImage& image) const;

    QImage m_cachedImg;
    // The QImage::cacheKey of the picture the copy was made of.
    qint64 m_cachedSourceKey = 0;
    bool m_pendingCache = false;
    PLSize m_cacheImageSize;
};
