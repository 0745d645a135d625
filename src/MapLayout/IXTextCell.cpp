#include "MapLayout/IXTextCell.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXToolManaging.h"
#include "MapLayout/IXFloatingCells.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXTextMeasurements.h"
#include "MapLayout/IXTitlePremeasuring.h"
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Core/PLLog.h"
#include "Platform/System/PLMouseEvent.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Text/PLSpellChecker.h"
#include "Platform/Text/PLTextLayout.h"
#include "Utilities/UTDateTimeFormatter.h"

#include <QPointF>
#include <QSizeF>

#include <algorithm>
#include <cmath>

namespace {

// Box of a title, and of a floating text whose comment text width is not above the minimum.
constexpr PLSize DefaultBox(200, 1000);
constexpr float MinimumCommentTextWidth = 40;
constexpr float MinimumResizedTextWidth = 30;

}  // namespace

IXTextCell::IXTextCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node) : IXLayoutCell(context, parent, node) {}

namespace {

// The first of the cells that observe spelling, and whether the one registration is made.
IXTextCell* s_firstObserving = nullptr;
bool s_observingRegistered = false;

}  // namespace

IXTextCell::~IXTextCell()
{
    stopObservingSpelling();
}

void IXTextCell::wordWasIgnored()
{
    // A snapshot: checking again may stop a cell's observing.
    std::vector<IXTextCell*> cells;
    for (IXTextCell* cell = s_firstObserving; cell; cell = cell->m_nextObserving) cells.push_back(cell);
    for (IXTextCell* cell : cells)
        if (cell->m_observingSpelling) cell->spellingChanged();
}

bool IXTextCell::isFloating() const
{
    IXNode* n = node();
    return n && n->isComment() && n->isFloating();
}

void IXTextCell::invalidateLayout()
{
    IXLayoutCell::invalidateLayout();
    m_validTextLayout = false;
}

void IXTextCell::calcLayoutIfNeeded()
{
    initStorage();
    if (!m_validTextLayout) calcLayout();
}

namespace {

// The beginning of an absurdly long title and an ellipsis: Qt's line breaking of one unbroken
// run takes time that grows with the square of its length. The stored title is kept.
QString shownText(const QString& text)
{
    if (text.size() <= IXGeometryLimits::ShownTextCharacters) return text;
    qsizetype cut = IXGeometryLimits::ShownTextCharacters;
    if (text.at(cut - 1).isHighSurrogate()) --cut;
    return text.left(cut) + QChar(0x2026);
}

}  // namespace

PLAttributedString IXTextCell::textForNode(IXLayoutContext* context, IXNode* node, const IXStyleNode* style)
{
    QString string;
    IXStyleTextAttributes attributes;
    if (node && node->isBranch()) {
        auto* branch = static_cast<IXBranchNode*>(node);
        string = shownText(branch->title());
        if (style) attributes = style->branchTextAttributes();
        IXDocumentNode* document = context ? context->documentNode() : nullptr;
        if (document && context->isTimelineLayout() && branch->level() == 0 && branch->beginDate()) {
            const UTDateTimeFormatter& formatter = document->timeScaleFormatter();
            string += QLatin1Char('\n') + formatter.stringForObjectValue(branch->beginDate());
            if (branch->endDate())
                string += QStringLiteral(" - %1").arg(formatter.stringForObjectValue(branch->endDate()));
        }
    } else if (node && node->isComment()) {
        string = shownText(node->title());
        if (style) attributes = style->floatingTextAttributes();
    } else if (node) {
        PLLog::write(QStringLiteral("Invalid node for IXTextCell"));
    }
    return IXTextMeasurements::attributedString(string, attributes);
}

void IXTextCell::calcLayout()
{
    IXNode* n = node();
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    // A full layout may have measured the title already, on other cores.
    std::optional<IXTitlePremeasuring::Title> premeasured = IXTitlePremeasuring::take(context(), n);
    PLAttributedString text = premeasured ? std::move(premeasured->text) : textForNode(context(), n, style.get());

    // Before the text changes, so that an unchanged text is recognised. The check itself waits
    // until the marks are drawn or asked for: a layout of a large map checks nothing.
    IXLayoutContext* ctx = context();
    if (m_hasTextStack && ctx && ctx->showSpelling()) {
        if (m_reloadSpelling || !m_observingSpelling || text.string() != m_text.string()) m_spellingStale = true;
    } else {
        m_spellingStale = false;
        m_misspellRanges.clear();
        stopObservingSpelling();
    }
    if (!(text == m_text)) {
        m_text = std::move(text);
        m_layoutStale = true;
    }
    m_containerSize = PLSize(MeasuringWidth, MeasuringHeight);
    const IXTextMeasurement natural =
        premeasured ? premeasured->natural : IXTextMeasurements::shared().measure(m_text, m_containerSize);
    m_textSize = natural.usedSize;
    m_naturalFullSize = natural.fullSize;

    const bool wrap = isFloating() || !style || style->documentWordWrap();
    m_lineBreak = (context() && context()->isWindowsCompatibleLayout()) || !wrap ? LineBreakNone : LineBreakWrap;
    m_validTextLayout = true;
}

void IXTextCell::checkSpelling()
{
    m_spellingStale = false;
    IXLayoutContext* ctx = context();
    if (m_hasTextStack && ctx && ctx->showSpelling()) {
        const QString& string = m_text.string();
        IXDocumentNode* document = ctx->documentNode();
        const int tag = document ? document->spellDocumentTag() : 0;
        const PLSpellChecker& checker = PLSpellChecker::sharedChecker();
        m_misspellRanges.clear();
        for (PLRange range = checker.checkSpelling(string, 0, tag); !range.isEmpty();
             range = checker.checkSpelling(string, range.end(), tag))
            m_misspellRanges.push_back(range);
        if (!m_observingSpelling) {
            if (!s_observingRegistered) {
                PLNotificationCenter::defaultCenter().addObserver(&s_firstObserving, IXSpellCheckingNotices::IgnoreWord,
                                                                  nullptr,
                                                                  [](const PLNotification&) { wordWasIgnored(); });
                s_observingRegistered = true;
            }
            m_nextObserving = s_firstObserving;
            if (s_firstObserving) s_firstObserving->m_previousObserving = this;
            s_firstObserving = this;
            m_observingSpelling = true;
        }
        m_reloadSpelling = false;
    } else {
        m_misspellRanges.clear();
        stopObservingSpelling();
    }
}

const std::vector<PLRange>& IXTextCell::misspelledRanges()
{
    if (m_spellingStale) checkSpelling();
    return m_misspellRanges;
}

void IXTextCell::stopObservingSpelling()
{
    if (!m_observingSpelling) return;
    if (m_previousObserving)
        m_previousObserving->m_nextObserving = m_nextObserving;
    else
        s_firstObserving = m_nextObserving;
    if (m_nextObserving) m_nextObserving->m_previousObserving = m_previousObserving;
    m_previousObserving = m_nextObserving = nullptr;
    m_observingSpelling = false;
}

void IXTextCell::spellingChanged()
{
    m_reloadSpelling = true;
    checkSpelling();
    setNeedsDisplay();
}

PLSize IXTextCell::cellTextSize()
{
    calcLayoutIfNeeded();
    return m_textSize;
}

PLSize IXTextCell::cellBoxSize()
{
    if (m_boxSize != PLSize()) return m_boxSize;
    if (!isFloating()) return DefaultBox;
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    const float width = style ? IXGeometryLimits::commentTextWidth(*style) : 0;
    return width > MinimumCommentTextWidth ? PLSize(width, DefaultBox.height) : DefaultBox;
}

int IXTextCell::lineBreak()
{
    calcLayoutIfNeeded();
    return m_lineBreak;
}

PLSize IXTextCell::cellSize()
{
    calcLayoutIfNeeded();
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    const PLSize box = cellBoxSize();
    const float minLength = style ? IXGeometryLimits::branchMinLength(*style) : 0;
    float width = std::min(std::max(minLength, box.width), MeasuringWidth);
    if (m_lineBreak != LineBreakWrap) width = std::max(m_textSize.width, minLength);
    const PLSize container(width, box.height);
    if (m_containerSize != container) {
        m_containerSize = container;
        m_layoutStale = true;
    }
    // Lines no wider than the container break as in the measuring container, and line heights
    // do not depend on the container: only a text that must wrap is laid out again.
    PLSize size;
    if (m_textSize.width <= container.width)
        size = m_naturalFullSize.width > 0 ? PLSize(std::ceil(container.width), m_naturalFullSize.height) : PLSize();
    else
        size = IXTextMeasurements::shared().measure(m_text, m_containerSize).fullSize;
    if (isFloating() && style) {
        const float frameWidth = IXGeometryLimits::floatingFrameWidth(*style);
        size.width = std::max(IXGeometryLimits::commentTextWidth(*style), size.width + 4 * frameWidth);
        size.height += 4 * frameWidth;
    }
    if (context() && context()->isWindowsCompatibleLayout()) {
        size.width = float(std::ceil(double(size.width) * 1.3) + 10);
        size.height = float(std::ceil(double(size.height) * 1.3));
    }
    return size;
}

void IXTextCell::setBoxSize(PLSize size)
{
    const PLSize rounded(std::ceil(size.width), std::ceil(size.height));
    if (rounded == m_boxSize) return;
    m_boxSize = rounded;
    m_hasValidLayout = true;
    layout();
}

void IXTextCell::setDrawsText(bool flag)
{
    m_disableDrawing = !flag;
    setNeedsDisplay();
}

void IXTextCell::layout()
{
    setLayoutSize(cellSize());
    if (!isFloating()) return;
    IXNode* n = node();
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    if (n && style && !n->floatingTargetNode()) setOrigin(IXGeometryLimits::floatingTargetOffset(*style));
}

bool IXTextCell::isVisible()
{
    return (!isFloating() || IXFloatingCells::isTargetVisible(this)) && IXLayoutCell::isVisible();
}

bool IXTextCell::hitTest(PLPoint point)
{
    return isFloating() && bounds().containsPoint(point);
}

const PLTextLayout& IXTextCell::textLayout()
{
    if (!m_layout) m_layout = std::make_unique<PLTextLayout>();
    if (m_layoutStale) {
        m_layout->setText(m_text);
        m_layout->setContainerSize(m_containerSize);
        m_layoutStale = false;
    }
    return *m_layout;
}

std::optional<int> IXTextCell::misspelledCharacterAtPoint(PLPoint point, PLRange* range)
{
    IXLayoutContext* ctx = context();
    const PLRect rect = bounds();
    if (!rect.containsPoint(point) || !m_hasTextStack || !ctx || !ctx->showSpelling() || !m_validTextLayout
        || misspelledRanges().empty())
        return std::nullopt;
    const std::optional<int> character = textLayout().characterIndexAtPoint(QPointF(point.x, rect.height() - point.y));
    if (!character) return std::nullopt;
    auto found = std::find_if(m_misspellRanges.begin(), m_misspellRanges.end(),
                              [c = *character](const PLRange& r) { return r.contains(c); });
    if (found == m_misspellRanges.end()) return std::nullopt;
    *range = *found;
    return character;
}

QString IXTextCell::misspellWordAtPoint(PLPoint point)
{
    PLRange range;
    if (!misspelledCharacterAtPoint(point, &range)) return QString();
    return m_text.string().mid(range.location, range.length);
}

void IXTextCell::correctSpelling(const QString& replacement, PLPoint point)
{
    PLRange range;
    if (!misspelledCharacterAtPoint(point, &range)) return;
    IXNode* n = node();
    if (!n || !(n->isBranch() || n->isComment())) return;
    QString title = n->title();
    // The dates after a timeline root's title are not part of it.
    if (range.end() > title.size()) return;
    title.replace(range.location, range.length, replacement);
    if (n->isBranch())
        static_cast<IXBranchNode*>(n)->setTitle(title);
    else
        static_cast<IXCommentNode*>(n)->setTitle(title);
}

bool IXTextCell::trackMouse(const PLMouseEvent& event)
{
    if (!isFloating() || event.type() != PLMouseEvent::LeftMouseDown || !context()) return false;
    if (event.clickCount() == 2) {
        if (IXToolManaging* tools = IXToolManaging::sharedManager())
            tools->activateToolNamed(IXToolNames::CommentTitle, node()->shared_from_this(), context(), &event);
        return true;
    }
    return IXFloatingCells::trackMouseDown(this, event);
}

void IXTextCell::draw(PLGraphicsContext& graphics)
{
    if (m_disableDrawing) return;
    calcLayoutIfNeeded();
    const PLRect rect = bounds();
    PLRect textRect = rect;
    std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading();
    if (isFloating() && style) {
        const PLBezierPath path = PLBezierPath::bezierPathWithRoundedRect(rect.insetBy(0.5f, 0.5f), 2);
        const PLColor background = style->floatingFrameBackgroundColor();
        if (background.alpha() > 0) {
            graphics.setColor(background);
            graphics.fillPath(path);
        }
        const float frameWidth = IXGeometryLimits::floatingFrameWidth(*style);
        const PLColor frameColor = style->floatingFrameColor();
        if (frameWidth > 0 && frameColor.alpha() > 0) {
            PLBezierPath stroke = path;
            stroke.setLineWidth(frameWidth);
            graphics.setColor(frameColor);
            graphics.strokePath(stroke);
        }
        textRect = rect.insetBy(frameWidth, frameWidth);
    }

    PLColor background;
    if (!m_text.isEmpty()) {
        if (const auto& color = m_text.attributesAt(0).backgroundColor) background = PLColor::fromQColor(*color);
    }
    if (isSelected())
        background = PLColor::system(context()->mouse().hasKeyFocus() ? PLColor::System::SelectedTextBackground
                                                               : PLColor::System::SecondarySelectedControl);
    if (!background.isNull()) {
        graphics.setColor(background);
        graphics.fillRect(PLRect(textRect.minX() - 1, textRect.minY(), textRect.width() + 2, textRect.height()));
    }

    const PLTextLayout& layout = textLayout();
    const float top = textRect.maxY();
    layout.draw(graphics.painter(), PLPoint(textRect.minX(), top), background.isNull());

    if (misspelledRanges().empty()) return;
    PLBezierPath marks;
    for (const PLRange& range : m_misspellRanges) {
        for (const QRectF& b : layout.rectsForCharacterRange(range)) {
            const float y = top - float(b.y() + b.height()) + 1;
            marks.moveToPoint(PLPoint(textRect.minX() + float(b.x()), y));
            marks.lineToPoint(PLPoint(textRect.minX() + float(b.x() + b.width()), y));
        }
    }
    marks.setLineWidth(1);
    marks.setLineDash({1, 2}, 0);
    marks.setLineCapStyle(PLBezierPath::LineCap::Round);
    graphics.setColor(PLColor::red());
    graphics.strokePath(marks);
}

QVariantMap IXTextCell::resizing_state()
{
    QVariantMap state;
    if (std::shared_ptr<const IXStyleNode> style = IXLayoutCell::styleForReading()) {
        const PLPoint offset = style->floatingTargetOffset();
        state.insert(TargetOffsetKey, QPointF(offset.x, offset.y));
        state.insert(TextWidthKey, double(style->commentTextWidth()));
    }
    return state;
}

void IXTextCell::resizing_setState(const QVariantMap& state)
{
    std::shared_ptr<IXStyleNode> style = IXLayoutCell::style();
    if (!style) return;
    if (state.contains(TargetOffsetKey)) {
        const QPointF offset = state.value(TargetOffsetKey).toPointF();
        style->setFloatingTargetOffset(PLPoint(float(offset.x()), float(offset.y())));
    }
    if (state.contains(TextWidthKey)) style->setCommentTextWidth(state.value(TextWidthKey).toFloat());
}

void IXTextCell::resizing_setFrame(const PLRect& frame, int tracksX, int tracksY)
{
    std::shared_ptr<IXStyleNode> style = IXLayoutCell::style();
    if (!style) return;
    const PLRect old = IXLayoutCell::frame();
    style->setCommentTextWidth(std::max(MinimumResizedTextWidth, frame.width()));
    if (frame.origin == old.origin) return;
    PLPoint offset = style->floatingTargetOffset();
    if (tracksX < 0) offset.x += frame.minX() - old.minX();
    if (tracksY < 0) offset.y += frame.minY() - old.minY();
    style->setFloatingTargetOffset(offset);
}
