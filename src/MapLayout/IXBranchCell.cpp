#include "MapLayout/IXBranchCell.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXIconsCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXTimelineBranchCell.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXShapeDrawer.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLImage.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/Core/PLRunLoop.h"

#include <QSizeF>

#include <algorithm>
#include <cmath>

namespace {

// The picture position that puts the picture inside the frame at every level.
constexpr int PicturePositionInside = 6;
constexpr float RootMargin = 10;
constexpr float BranchMargin = 2;

const QImage& indicatorNamed(const char* name, const char* holder)
{
    static QHash<QString, QImage> images;
    const QString key = QString::fromLatin1(name);
    auto found = images.constFind(key);
    if (found == images.cend()) {
        QImage image = PLNamedImages::imageNamed(key);
        PL_ASSERT_PARAM(!image.isNull(), holder);
        found = images.insert(key, image);
    }
    return *found;
}

PLRect grown(const PLRect& rect, float by)
{
    return rect.insetBy(-by, -by);
}

}  // namespace

IXBranchCell::IXBranchCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node) : IXLayoutCell(context, parent, node) {}

IXBranchCell::~IXBranchCell()
{
    cleanupDelayedShows();
}

IXBranchNode* IXBranchCell::branchNode() const
{
    IXNode* n = node();
    return n && n->isBranch() ? static_cast<IXBranchNode*>(n) : nullptr;
}

const QImage& IXBranchCell::attachmentsIndicator()
{
    return indicatorNamed("canvas_attachment_indicator", "_attachmentsIndicator");
}

const QImage& IXBranchCell::noteIndicator()
{
    return indicatorNamed("canvas_branch_note_indicator", "_noteIndicator");
}

const QImage& IXBranchCell::outlineIndicator()
{
    return indicatorNamed("canvas_outline_indicator", "_outlineIndicator");
}

std::vector<IXLayoutCell*> IXBranchCell::subCells() const
{
    std::vector<IXLayoutCell*> cells;
    for (IXLayoutCell* cell : {static_cast<IXLayoutCell*>(m_iconsCell.get()), static_cast<IXLayoutCell*>(m_titleCell.get()),
                               m_attachmentsCell.get(), m_commentCell.get(), m_outlineCell.get(),
                               static_cast<IXLayoutCell*>(m_pictureCell.get())})
        if (cell) cells.push_back(cell);
    return cells;
}

void IXBranchCell::invalidate()
{
    cleanupDelayedShows();
    for (IXLayoutCell* cell : subCells()) cell->invalidate();
    IXLayoutCell::invalidate();
}

void IXBranchCell::invalidateLayout()
{
    if (needsLayout()) return;
    IXLayoutCell::invalidateLayout();
    cleanupDelayedShows();
    for (IXLayoutCell* cell : subCells()) cell->invalidateLayout();
}

bool IXBranchCell::isPictureInsideBounds()
{
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    const int position = style ? style->branchPicturePosition() : 0;
    if (position != 0) return position == PicturePositionInside;
    IXBranchNode* branch = branchNode();
    return (branch && branch->level() == 0) || (context() && context()->isTimelineLayout());
}

void IXBranchCell::removeCell(std::shared_ptr<IXLayoutCell>& cell)
{
    if (!cell) return;
    cell->invalidate();
    cell.reset();
}

std::shared_ptr<IXLayoutCell> IXBranchCell::makeIndicator(const QImage& image)
{
    auto cell = std::make_shared<IXLayoutCell>(context(), this, node());
    const QSizeF size = image.deviceIndependentSize();
    cell->setFrame(PLRect(0, 0, float(std::floor(IndicatorHeight * size.width() / size.height())), IndicatorHeight));
    return cell;
}

void IXBranchCell::reload()
{
    IXBranchNode* branch = branchNode();
    PL_ASSERT_PARAM(branch, "bnode");
    IXLayoutContext* ctx = context();
    const bool timeline = ctx && ctx->isTimelineLayout();
    const bool timelineRoot = timeline && branch->level() == 0;
    const std::int32_t mask = ctx ? ctx->drawMask() : IXDrawMaskDefault;

    if (!m_titleCell) m_titleCell = std::make_shared<IXTextCell>(ctx, this, branch);

    const std::shared_ptr<IXPictureNode>& picture = branch->picture();
    if (!timelineRoot && picture) {
        if (!m_pictureCell || m_pictureCell->node() != picture.get()) {
            if (m_pictureCell) m_pictureCell->invalidate();
            m_pictureCell = std::make_shared<IXPictureCell>(ctx, this, picture.get());
            if (ctx) ctx->cells().setCellForNode(m_pictureCell, picture.get());
        }
    } else if (m_pictureCell) {
        m_pictureCell->invalidate();
        m_pictureCell.reset();
    }

    if (!branch->icons().isEmpty()) {
        if (!m_iconsCell) m_iconsCell = std::make_shared<IXIconsCell>(ctx, this, branch);
    } else if (m_iconsCell) {
        m_iconsCell->invalidate();
        m_iconsCell.reset();
    }

    const auto follow = [this](std::shared_ptr<IXLayoutCell>& cell, bool wanted, const QImage& (*image)()) {
        if (!wanted)
            removeCell(cell);
        else if (!cell)
            cell = makeIndicator(image());
    };
    follow(m_attachmentsCell, branch->referencesCount() > 0 && (mask & IXDrawMaskObjectIndicators),
           &IXBranchCell::attachmentsIndicator);
    follow(m_commentCell, branch->comment() && (mask & IXDrawMaskCommentIndicators), &IXBranchCell::noteIndicator);
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    follow(m_outlineCell,
           timeline && style && style->documentLayoutTimelineLevelDisplay() && !branch->branches().empty(),
           &IXBranchCell::outlineIndicator);
}

void IXBranchCell::shiftRowForMinimumLength(float minLength)
{
    if (minLength <= m_boxFrame.width()) return;
    const float dx = std::floor((minLength - m_boxFrame.width()) * 0.5f);
    for (IXLayoutCell* cell : {static_cast<IXLayoutCell*>(m_iconsCell.get()), static_cast<IXLayoutCell*>(m_titleCell.get()),
                               m_attachmentsCell.get(), m_commentCell.get(), m_outlineCell.get()})
        if (cell) cell->setOrigin(PLPoint(cell->origin().x + dx, cell->origin().y));
    m_boxFrame.size.width = minLength;
}

void IXBranchCell::layout()
{
    setLayoutSize(PLSize());
    m_bounds = PLRect();
    IXBranchNode* branch = branchNode();
    if (!branch) return;
    reload();

    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    const float minLength = style ? IXGeometryLimits::branchMinLength(*style) : 0;
    float textWidth = style ? IXGeometryLimits::branchTextWidth(*style) : 0;
    const bool explicitWidth = textWidth >= 1;
    if (!explicitWidth) textWidth = DefaultTextWidth;
    float width = std::max(minLength, textWidth);
    if (m_pictureCell) width = std::max(m_pictureCell->frame().width(), width);
    width = std::ceil(width);

    // The title: its box narrows to the text (plus 2, at most 700).
    const float natural = std::min(m_titleCell->cellTextSize().width + 2, MaxTitleWidth);
    if (width > natural) width = std::ceil(natural);
    m_titleCell->setBoxSize(PLSize(width, MaxTitleWidth));
    PLSize title = m_titleCell->frame().size;
    if (explicitWidth && width > title.width) {
        m_titleCell->setFrame(PLRect(0, 0, width, title.height));
        title = m_titleCell->frame().size;
    }

    // The row, left to right.
    float x = 0;
    if (m_iconsCell) {
        m_iconsCell->setOrigin(PLPoint(x, 0));
        x += std::max(0.0f, m_iconsCell->frame().width());
    }
    m_titleCell->setOrigin(PLPoint(x, 0));
    if (title.width > 0) x += title.width;
    for (IXLayoutCell* indicator : {m_commentCell.get(), m_attachmentsCell.get(), m_outlineCell.get()}) {
        if (!indicator || indicator->frame().width() <= 0) continue;
        x += 1;
        const float h = indicator->frame().height();
        indicator->setOrigin(PLPoint(x, title.height > 0 ? std::floor((title.height - h) * 0.5f) : 0));
        x += indicator->frame().width();
    }
    if (m_pictureCell && m_pictureCell->frame().width() > 0)
        m_pictureCell->setOrigin(PLPoint(std::ceil((x - m_pictureCell->frame().width()) * 0.5f), title.height));

    m_boxFrame = PLRect();
    for (IXLayoutCell* cell : {static_cast<IXLayoutCell*>(m_titleCell.get()), static_cast<IXLayoutCell*>(m_iconsCell.get()),
                               m_attachmentsCell.get(), m_commentCell.get(), m_outlineCell.get()})
        if (cell) m_boxFrame = m_boxFrame.united(cell->frame());

    const bool framed = style && style->branchFrameType() != 0;
    PLRect bounds;
    if (isPictureInsideBounds()) {
        shiftRowForMinimumLength(minLength);
        bounds = m_boxFrame;
        if (m_pictureCell) bounds = bounds.united(m_pictureCell->frame());
        if (framed) bounds = IXShapeDrawer::frameRectForContentRect(bounds, *style);
        bounds = grown(bounds, branch->level() == 0 ? RootMargin : BranchMargin);
    } else {
        m_boxFrame = grown(m_boxFrame, BranchMargin);
        if (framed) m_boxFrame = IXShapeDrawer::frameRectForContentRect(m_boxFrame, *style);
        shiftRowForMinimumLength(minLength);
        bounds = m_boxFrame;
        if (m_pictureCell) {
            m_pictureCell->setOrigin(PLPoint(m_pictureCell->origin().x, m_boxFrame.maxY() + BranchMargin));
            bounds = bounds.united(m_pictureCell->frame());
        }
        m_boxFrame.origin.x = bounds.minX();
        m_boxFrame.size.width = bounds.width();
    }
    m_bounds = bounds;
    m_frame.size = bounds.size;
    invalidateTransform();
}

bool IXBranchCell::hitTest(PLPoint point)
{
    return bounds().containsPoint(point);
}

void IXBranchCell::display(PLGraphicsContext& graphics)
{
    const bool inside = isPictureInsideBounds();
    if (inside) IXLayoutCell::display(graphics);
    if (m_pictureCell) m_pictureCell->display(graphics);
    if (!inside) IXLayoutCell::display(graphics);
    if (m_titleCell) m_titleCell->display(graphics);
    if (m_iconsCell) m_iconsCell->display(graphics);
}

void IXBranchCell::draw(PLGraphicsContext& graphics)
{
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    IXBranchNode* branch = branchNode();
    if (!style || !branch) return;
    IXShapeDrawer::Attributes attributes;
    attributes.level = branch->level();
    // On the timeline a box whose branch sets no fill of its own takes its bar's shading.
    if (auto* timelineCell = dynamic_cast<IXTimelineBranchCell*>(parent());
        timelineCell && context() && context()->isTimelineLayout()) {
        const std::shared_ptr<const IXStyleNode> own = branch->existingStyle();
        const PLColor shading = timelineCell->shadingColor();
        if (!shading.isNull() && !(own && own->attributes().contains(QStringLiteral("branch.frame.fill.bgcolor1"))))
            attributes.fill = shading;
    }
    const PLRect frame = isPictureInsideBounds() ? bounds() : m_boxFrame;
    IXShapeDrawer::drawShapeWithFrame(frame, *style, attributes);

    if (isHighlighted()) {
        const std::optional<PLBezierPath> clip = IXShapeDrawer::clipPathForFrameRect(bounds(), *style);
        graphics.setColor(PLColor::system(PLColor::System::AlternateSelectedControl).withAlpha(0.3f));
        graphics.fillPath(clip ? *clip : PLBezierPath::bezierPathWithRect(bounds()));
    }

    // Indicators at their size in view pixels whatever the zoom.
    graphics.setImageInterpolation(PLGraphicsContext::ImageInterpolation::High);
    const std::pair<IXLayoutCell*, const QImage& (*)()> indicators[] = {
        {m_attachmentsCell.get(), &IXBranchCell::attachmentsIndicator},
        {m_commentCell.get(), &IXBranchCell::noteIndicator},
        {m_outlineCell.get(), &IXBranchCell::outlineIndicator},
    };
    for (const auto& [cell, image] : indicators) {
        if (!cell) continue;
        const PLRect f = cell->frame();
        PLSize s = context() ? context()->coordinates().convertSizeFromCell(f.size, this) : f.size;
        s = PLSize(std::abs(s.width), std::abs(s.height));
        if (s.width <= 0 || s.height <= 0) continue;
        graphics.saveGraphicsState();
        PLAffineTransform transform;
        transform.translateXBy(f.minX(), f.minY());
        transform.scaleXBy(f.width() / s.width, f.height() / s.height);
        graphics.concat(transform);
        graphics.drawImage(PLImage::fromQImage(image(), float(image().devicePixelRatio())), PLRect(0, 0, s.width, s.height));
        graphics.restoreGraphicsState();
    }
    graphics.setImageInterpolation(PLGraphicsContext::ImageInterpolation::Default);
}

QVariantMap IXBranchCell::resizing_state()
{
    QVariantMap state;
    const std::shared_ptr<const IXStyleNode> pictureStyle = m_pictureCell ? m_pictureCell->styleForReading() : nullptr;
    const PLSize picture = pictureStyle ? pictureStyle->pictureSize() : PLSize();
    state.insert(PictureSizeKey, QSizeF(picture.width, picture.height));
    if (std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading())
        state.insert(TextWidthKey, double(style->branchTextWidth()));
    return state;
}

void IXBranchCell::resizing_setState(const QVariantMap& state)
{
    if (state.contains(PictureSizeKey) && m_pictureCell) {
        const QSizeF size = state.value(PictureSizeKey).toSizeF();
        if (std::shared_ptr<IXStyleNode> pictureStyle = m_pictureCell->style())
            pictureStyle->setPictureSize(PLSize(float(size.width()), float(size.height())));
    }
    if (state.contains(TextWidthKey))
        if (std::shared_ptr<IXStyleNode> style = IXLayoutCell::style())
            style->setBranchTextWidth(state.value(TextWidthKey).toFloat());
}

void IXBranchCell::resizing_setFrame(const PLRect& frame, int tracksX, int tracksY)
{
    std::shared_ptr<IXStyleNode> style = IXLayoutCell::style();
    IXBranchNode* branch = branchNode();
    if (!style || !branch) return;
    PLRect r = frame;
    if (style->branchFrameType() != 0) r = IXShapeDrawer::contentRectForFrameRect(r, *style);
    const float margin = isPictureInsideBounds() && branch->level() == 0 ? RootMargin : BranchMargin;
    r = r.insetBy(margin, margin);
    const float textWidth = std::max(r.width(), IXGeometryLimits::branchMinLength(*style));
    style->setBranchTextWidth(textWidth);
    if (!m_pictureCell) return;
    PLSize picture(std::clamp(textWidth, MinResizedPicture, MaxResizedPicture),
                   std::clamp(r.height(), MinResizedPicture, MaxResizedPicture) - m_boxFrame.height());
    std::shared_ptr<IXStyleNode> pictureStyle = m_pictureCell->style();
    if (!pictureStyle) return;
    if (pictureStyle->pictureKeepAspect()) picture = m_pictureCell->adjustSize(picture, tracksX != 0, tracksY != 0);
    pictureStyle->setPictureSize(picture);
}
