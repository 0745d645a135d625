#include "MapLayout/IXTimelineBarCell.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXInfoTagPresenting.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXTimelineBranchCell.h"
#include "MapLayout/IXTimelineText.h"
#include "Platform/Text/PLAttributedString.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/System/PLMouseEvent.h"
#include "Platform/Core/PLRunLoop.h"

#include <QCursor>
#include <QFontMetricsF>

#include <chrono>

namespace {
constexpr const char* TooltipKey = "showTooltip";
const QString OwnFillAttribute = QStringLiteral("branch.frame.fill.bgcolor1");

QFont barFont()
{
    return IXTimelineText::labelFont(9);
}
}

IXTimelineBarCell::~IXTimelineBarCell()
{
    PLRunLoop::cancel(this);
}

int IXTimelineBarCell::compare(const IXTimelineBarCell& other) const
{
    auto* mine = dynamic_cast<IXBranchNode*>(node());
    auto* theirs = dynamic_cast<IXBranchNode*>(other.node());
    if (!mine || !theirs) return mine ? -1 : (theirs ? 1 : 0);
    const std::optional<UTDateTime>& begin = mine->beginDate();
    const int byBegin = begin ? begin->compare(theirs->beginDate()) : (theirs->beginDate() ? 1 : 0);
    if (byBegin != 0) return byBegin;
    const std::optional<UTDateTime>& end = mine->endDate();
    return end ? end->compare(theirs->endDate()) : (theirs->endDate() ? 1 : 0);
}

void IXTimelineBarCell::invalidate()
{
    cleanupDelayedShows();
    IXLayoutCell::invalidate();
}

void IXTimelineBarCell::invalidateLayout()
{
    m_titleText.reset();
    m_datesText.reset();
    cleanupDelayedShows();
    IXLayoutCell::invalidateLayout();
}

void IXTimelineBarCell::makeTexts()
{
    auto* branch = dynamic_cast<IXBranchNode*>(node());
    IXDocumentNode* document = context() ? context()->documentNode() : nullptr;
    if (!branch || !document) return;
    m_titleText = branch->title();
    UTDateTimeFormatter& formatter = document->timeScaleFormatter();
    const QString begin = formatter.stringForObjectValue(branch->beginDate());
    m_datesText = branch->endDate() ? QStringLiteral("%1 - %2").arg(begin, formatter.stringForObjectValue(branch->endDate()))
                                    : begin;
}

void IXTimelineBarCell::draw(PLGraphicsContext& graphics)
{
    const PLRect bounds = this->bounds();
    if (bounds.width() < 1 || !context()) return;
    std::shared_ptr<const IXStyleNode> barStyle = styleForReading();
    if (!barStyle) return;

    // The bar takes the shading of its branch's box unless the branch sets a fill itself.
    PLColor fill;
    std::shared_ptr<const IXStyleNode> ownStyle = node() ? node()->existingStyle() : nullptr;
    const bool ownFill = ownStyle && ownStyle->attributes().contains(OwnFillAttribute);
    if (context()->isTimelineLayout() && !ownFill) {
        if (auto* cell = dynamic_cast<IXTimelineBranchCell*>(context()->cells().cellForNode(node()))) fill = cell->shadingColor();
    }
    if (fill.isNull()) fill = barStyle->branchFrameFillColor();
    graphics.setColor(fill);
    graphics.fillRectUsingOperation(bounds, PLGraphicsContext::CompositingOperation::SourceOver);

    PLBezierPath frame = PLBezierPath::bezierPathWithRect(bounds);
    if (isSelected() && context()->mouse().hasKeyFocus()) {
        graphics.setColor(PLColor::system(PLColor::System::AlternateSelectedControl));
        frame.setLineWidth(1.5f);
    } else {
        graphics.setColor(barStyle->branchFrameLineColor());
        frame.setLineWidth(0.5f);
    }
    graphics.strokePath(frame);

    if (!m_titleText || !m_datesText) makeTexts();
    if (!m_titleText || !m_datesText) return;

    // Title over dates, the two lines stretched to fill the bar's height.
    const PLRect rect = bounds.insetBy(2, 1);
    const QFont font = barFont();
    const QFontMetricsF metrics(font);
    const float lineHeight = float(std::ceil(metrics.height()));
    const float titleHeight = lineHeight, datesHeight = lineHeight;
    const float width = rect.width();
    graphics.saveGraphicsState();
    PLAffineTransform fit;
    fit.translateXBy(rect.minX(), rect.minY());
    fit.scaleXBy(1, rect.height() / (titleHeight + datesHeight));
    graphics.concat(fit);
    const auto line = [&](const QString& text, float y, float height) {
        const QString shown = metrics.elidedText(text, Qt::ElideRight, qreal(width - 2 * IXTimelineText::Inset));
        graphics.drawText(shown, PLRect(IXTimelineText::Inset, y, width - IXTimelineText::Inset, height), font, PLColor::black(),
                          Qt::TextSingleLine);
    };
    line(*m_titleText, datesHeight, titleHeight);
    line(*m_datesText, 0, datesHeight);
    graphics.restoreGraphicsState();
}

bool IXTimelineBarCell::hitTest(PLPoint point)
{
    return bounds().width() >= 1 && bounds().containsPoint(point);
}

bool IXTimelineBarCell::trackMouse(const PLMouseEvent& event)
{
    if (bounds().width() < 1 || event.type() != PLMouseEvent::LeftMouseDown) return false;
    if (event.hasModifier(PLMouseEvent::Control) || event.hasModifier(PLMouseEvent::Option)
        || event.hasModifier(PLMouseEvent::Command))
        return false;
    IXNode* branch = node();
    if (!branch || !context()) return false;
    std::shared_ptr<IXNode> shared = branch->shared_from_this();
    const IXSelection selection = event.hasModifier(PLMouseEvent::Shift) ? context()->selection().selectionByTriggeringNode(shared)
                                                                          : IXSelection::selectionWithNode(shared);
    context()->setSelection(selection);
    return true;
}

void IXTimelineBarCell::mouseEntered(const PLMouseEvent&)
{
    cleanupDelayedShows();
    m_showTooltipPosted = true;
    PLRunLoop::perform(this, TooltipKey, [this] { showTooltip(); }, std::chrono::milliseconds(TooltipDelayMilliseconds));
}

void IXTimelineBarCell::mouseExited(const PLMouseEvent&)
{
    cleanupDelayedShows();
}

void IXTimelineBarCell::cleanupDelayedShows()
{
    const bool wasPosted = m_showTooltipPosted;
    m_showTooltipPosted = false;
    PLRunLoop::cancel(this);
    if (!wasPosted) return;
    if (IXInfoTagPresenting* tag = IXInfoTagPresenting::sharedInstance()) tag->hideWithFadeOutEffect();
}

void IXTimelineBarCell::showTooltip()
{
    m_showTooltipPosted = true;
    // Nothing to say before the bar was drawn with its texts.
    if (!m_titleText || !m_datesText || !context()) return;
    IXInfoTagPresenting* tag = IXInfoTagPresenting::sharedInstance();
    IXLayoutView* view = context()->view();
    if (!tag || !view) return;
    const PLRect inView = context()->coordinates().convertRectFromCell(bounds(), this);
    if (!inView.intersects(view->visibleRect())) return;
    PLTextAttributes attributes;
    attributes.font = PLFont::fromQFont(IXTimelineText::labelFont(11));
    tag->hide();
    tag->setAttributedTitle(PLAttributedString(QStringLiteral("%1 (%2)").arg(*m_titleText, *m_datesText), attributes));
    tag->sizeToFit();
    tag->showWithTopLeft(QCursor::pos() + QPoint(8, 0));
}
