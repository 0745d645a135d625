#include "MapLayout/IXTimelineCell.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXTimelineBarCell.h"
#include "MapLayout/IXTimelineBranchCell.h"
#include "MapLayout/IXTimelinePlacement.h"
#include "MapLayout/IXTimelineRulerCell.h"
#include "MapLayout/IXTimelineText.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Utilities/UTDateTimeInvalid.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>

namespace {
constexpr float FirstLeftX = 100;
constexpr float MinTimelineLength = 200;
constexpr float MinScaledLength = 200;
constexpr qint64 MinTimeSpan = 3600;
constexpr float BreakWidthThreshold = 400;
constexpr float RulerHeight = 32;
constexpr float RulerOverhang = 50;
constexpr float BoundsMargin = 20;
constexpr float TitleGap = 40;

// A moment from a double, pinned to the 64-bit range (truncated toward zero).
qint64 toSeconds(double value)
{
    if (!(value == value)) return 0;
    if (value >= 9.2e18) return std::numeric_limits<qint64>::max();
    if (value <= -9.2e18) return std::numeric_limits<qint64>::min();
    return qint64(value);
}

double secondsBetween(qint64 from, qint64 to)
{
    qint64 difference = 0;
    if (__builtin_sub_overflow(to, from, &difference)) return double(to) - double(from);
    return double(difference);
}

// Runs a setter of a date read from a file; a value the date cannot take leaves it as it was.
void tryChange(UTDateTime& date, const std::function<void(UTDateTime&)>& change)
{
    try {
        change(date);
    } catch (const UTDateTimeInvalid&) {
    }
}

IXBranchNode* branchOf(IXLayoutCell* cell)
{
    return cell ? dynamic_cast<IXBranchNode*>(cell->node()) : nullptr;
}

std::pair<bool, qint64> dateKey(const std::optional<UTDateTime>& date)
{
    return date ? std::make_pair(false, date->baseSeconds()) : std::make_pair(true, qint64(0));
}

template <typename Cell, typename KeyFunction>
void sortByKey(std::vector<std::shared_ptr<Cell>>& cells, KeyFunction keyOf)
{
    using Key = decltype(keyOf(nullptr));
    std::vector<std::pair<Key, std::shared_ptr<Cell>>> keyed;
    keyed.reserve(cells.size());
    for (auto& cell : cells) keyed.emplace_back(keyOf(cell.get()), std::move(cell));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = std::move(keyed[i].second);
}
}

IXTimelineCell::~IXTimelineCell() = default;

// --- Length ---

int IXTimelineCell::timelineLength()
{
    std::shared_ptr<const IXStyleNode> documentStyle = styleForReading();
    return documentStyle ? documentStyle->documentLayoutTimelineScale() : 1000;
}

void IXTimelineCell::setTimelineLength(int length)
{
    if (std::shared_ptr<IXStyleNode> documentStyle = style()) documentStyle->setDocumentLayoutTimelineScale(length);
}

int IXTimelineCell::timelineLengthMin()
{
    performLayoutIfNeeded();
    return int(m_minTimelineLength);
}

int IXTimelineCell::timelineLengthMax()
{
    performLayoutIfNeeded();
    return int(m_maxTimelineLength);
}

// --- Cell lists ---

IXCellList IXTimelineCell::rulerCells() const
{
    return IXCellList(m_rulers.begin(), m_rulers.end());
}

IXCellList IXTimelineCell::bandsCells() const
{
    return IXCellList(m_bars.begin(), m_bars.end());
}

std::vector<std::shared_ptr<IXBranchGroupCell>> IXTimelineCell::branchGroupCells() const
{
    return std::vector<std::shared_ptr<IXBranchGroupCell>>(m_branches.begin(), m_branches.end());
}

IXBranchGroupCell* IXTimelineCell::rootBranchCell() const
{
    return m_rootBranchCell.get();
}

PLColor IXTimelineCell::shadingColorForCell(IXLayoutCell* cell) const
{
    const int index = cell ? m_barIndex.value(cell->node(), -1) : -1;
    if (index < 0) return PLColor();
    return PLColor::grey(1.0f - 0.15f * float(index % 3), 1);
}

// --- Reload ---

void IXTimelineCell::reloadBranches()
{
    IXLayoutContext* layoutContext = context();
    auto* document = dynamic_cast<IXDocumentNode*>(node());
    if (!layoutContext || !document) return;
    std::shared_ptr<const IXStyleNode> documentStyle = styleForReading();
    const bool levelDisplay = documentStyle && documentStyle->documentLayoutTimelineLevelDisplay();
    m_showsBars = !documentStyle || documentStyle->documentLayoutTimelineShowDurationBars();

    m_dates.clear();
    m_branchesCache.clear();
    for (auto& cell : m_branches) {
        if (IXNode* branch = cell->node()) m_branchesCache.insert(branch, cell);
        else cell->invalidate();
    }
    m_branches.clear();
    m_barsCache.clear();
    for (auto& bar : m_bars) {
        if (m_showsBars && bar->node()) m_barsCache.insert(bar->node(), bar);
        else bar->invalidate();
    }
    m_bars.clear();

    const bool recursive = !levelDisplay;
    IXBranchNode* root = nullptr;
    if (const std::shared_ptr<IXBranchNode>& filter = layoutContext->branchFilter()) {
        root = filter.get();
        for (const auto& child : root->branches()) reloadBranch(child.get(), true);
    } else if (!document->rootBranches().isEmpty()) {
        const auto& roots = document->rootBranches();
        root = dynamic_cast<IXBranchNode*>(roots.first().get());
        if (root) {
            for (const auto& child : root->branches()) reloadBranch(child.get(), recursive);
        }
        for (qsizetype i = 1; i < roots.size(); ++i) {
            if (auto* other = dynamic_cast<IXBranchNode*>(roots[i].get())) reloadBranch(other, recursive);
        }
    }

    if (root && (!documentStyle || documentStyle->documentLayoutTimelineShowTitle())) {
        if (!m_rootBranchCell || m_rootBranchCell->node() != root) {
            if (m_rootBranchCell) m_rootBranchCell->invalidate();
            m_rootBranchCell = std::make_shared<IXTimelineBranchCell>(layoutContext, this, root);
            layoutContext->cells().setCellForNode(m_rootBranchCell, root);
        }
        m_rootBranchCell->invalidateLayout();
    } else if (m_rootBranchCell) {
        m_rootBranchCell->invalidate();
        m_rootBranchCell.reset();
    }

    for (auto& cell : m_branchesCache) cell->invalidate();
    m_branchesCache.clear();
    for (auto& bar : m_barsCache) bar->invalidate();
    m_barsCache.clear();

    // The orders of the cells' compare, on keys taken once per cell: dates compare by their
    // seconds, missing dates last.
    sortByKey(m_branches, [](IXLayoutCell* cell) {
        IXBranchNode* branch = branchOf(cell);
        return dateKey(branch ? branch->beginDate() : std::nullopt);
    });
    sortByKey(m_bars, [](IXLayoutCell* cell) {
        IXBranchNode* branch = branchOf(cell);
        return branch ? std::make_pair(dateKey(branch->beginDate()), dateKey(branch->endDate()))
                      : std::make_pair(dateKey(std::nullopt), dateKey(std::nullopt));
    });
    std::stable_sort(m_dates.begin(), m_dates.end(),
                     [](const UTDateTime& a, const UTDateTime& b) { return a.baseSeconds() < b.baseSeconds(); });
    m_barIndex.clear();
    for (std::size_t i = 0; i < m_bars.size(); ++i) m_barIndex.insert(m_bars[i]->node(), int(i));

    padDates();
    m_loaded = true;
    m_needsReload = false;
    // The new cells need placing: the context's reload lays out what is invalid (a reload
    // from this cell's own layout places them in that pass).
    if (!m_layoutInProgress) IXLayoutCell::invalidateLayoutForCell(this);
}

void IXTimelineCell::reloadBranch(IXBranchNode* first, bool recursive)
{
    // Depth first, a branch before its sub-branches, without recursion: branches nest as
    // deep as the document does.
    std::vector<IXBranchNode*> pending{first};
    while (!pending.empty()) {
        IXBranchNode* branch = pending.back();
        pending.pop_back();
        if (!branch) continue;
        if (branch->beginDate()) {
            std::shared_ptr<IXTimelineBranchCell> cell = m_branchesCache.take(branch);
            if (!cell) cell = std::make_shared<IXTimelineBranchCell>(context(), this, branch);
            m_branches.push_back(cell);
            cell->invalidateLayout();
            context()->cells().setCellForNode(cell, branch);
            m_dates.push_back(*branch->beginDate());
            if (branch->endDate() && m_showsBars) {
                std::shared_ptr<IXTimelineBarCell> bar = m_barsCache.take(branch);
                if (!bar) bar = std::make_shared<IXTimelineBarCell>(context(), this, branch);
                m_bars.push_back(bar);
                m_dates.push_back(*branch->endDate2());
            }
        }
        if (recursive) {
            const auto& children = branch->branches();
            for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(it->get());
        }
    }
}

void IXTimelineCell::padDates()
{
    auto* document = dynamic_cast<IXDocumentNode*>(node());
    int type = document ? document->timeScaleType() : 0;
    // A scale the timeline does not know (from a damaged file) is shown as the calendar.
    if (type < 0 || type > 4) type = 0;
    const bool hasDates = !m_dates.empty();
    UTDateTime start, end;
    switch (type) {
    case 1:
        m_stepSeconds = UTDateTime::SecondsPerDay;
        if (hasDates) {
            start = m_dates.front();
            end = m_dates.back();
            tryChange(start, [](UTDateTime& d) { d.setDay(d.day() - 1); });
            tryChange(end, [](UTDateTime& d) { d.setDay(d.day() + 1); });
        } else {
            start = UTDateTime::fromDays(0);
            end = UTDateTime::fromDays(2);
        }
        break;
    case 2:
        m_stepSeconds = UTDateTime::SecondsPerWeek;
        if (hasDates) {
            start = m_dates.front();
            end = m_dates.back();
            tryChange(start, [](UTDateTime& d) {
                if (d.day() == 0) d.setWeek(d.week() - 1);
                d.setDay(0);
            });
            tryChange(end, [](UTDateTime& d) {
                if (d.day() == 0) d.setWeek(d.week() + 1);
                d.setDay(0);
                d.setWeek(d.week() + 1);
            });
        } else {
            start = UTDateTime::fromWeeks(0, 0);
            end = UTDateTime::fromWeeks(2, 0);
        }
        break;
    case 4:
        m_stepSeconds = UTDateTime::SecondsPerYear;
        if (hasDates) {
            const qint64 first = m_dates.front().year() / 1000 * 1000;
            const qint64 last = m_dates.back().year() / 1000 * 1000;
            tryChange(start, [first](UTDateTime& d) { d = UTDateTime::fromYears(first); });
            tryChange(end, [last](UTDateTime& d) { d = UTDateTime::fromYears(last + 1000); });
        } else {
            start = UTDateTime::fromYears(-10000);
            end = UTDateTime::fromYears(10000);
        }
        break;
    default:
        m_stepSeconds = type == 3 ? UTDateTime::SecondsPerYear : UTDateTime::SecondsPerDay;
        if (hasDates) {
            start = m_dates.front();
            end = m_dates.back();
            // Each change on its own: a year beyond the months' range keeps its month.
            tryChange(start, [](UTDateTime& d) {
                if (d.month() == 0) d.setYear(d.year() - 1);
            });
            tryChange(start, [](UTDateTime& d) {
                if (d.year() > 0) d.setMonth(0);
            });
            tryChange(end, [](UTDateTime& d) {
                if (d.month() == 0) d.setYear(d.year() + 1);
            });
            tryChange(end, [](UTDateTime& d) {
                if (d.year() > 0) d.setMonth(0);
            });
            tryChange(end, [](UTDateTime& d) { d.setYear(d.year() + 1); });
        } else {
            const qint64 year = QDate::currentDate().year();
            start = UTDateTime::fromYears(year - 1);
            end = UTDateTime::fromYears(year + 1);
        }
        break;
    }
    if (m_dates.size() < 2) {
        m_dates.insert(m_dates.begin(), start);
        m_dates.push_back(end);
    }
}

// --- Layout ---

void IXTimelineCell::layout()
{
    m_bounds = PLRect();
    layoutTimeline();
    PLRect bounds = unionRectForCells(rulerCells()).united(unionRectForCells(bandsCells()));
    for (const auto& cell : m_branches) bounds = bounds.united(cell->frame());
    bounds = bounds.insetBy(-BoundsMargin, -BoundsMargin);
    if (m_rootBranchCell) {
        const PLSize size = m_rootBranchCell->frame().size;
        m_rootBranchCell->setOrigin(PLPoint(std::ceil((bounds.width() - size.width) * 0.5f + bounds.minX()),
                                            bounds.maxY() + TitleGap));
        bounds = bounds.united(m_rootBranchCell->frame());
    } else {
        bounds.size.height += TitleGap;
    }
    bounds = bounds.integral();
    m_bounds = bounds;
    m_frame.size = bounds.size;
    invalidateTransform();
}

void IXTimelineCell::layoutTimeline()
{
    if (m_needsReload || !m_loaded) reloadBranches();
    m_minTimelineLength = MinTimelineLength;
    float widths = 0;
    for (const auto& cell : m_branches) widths += cell->frame().width();
    m_maxTimelineLength = std::max(1000.0f, MinTimelineLength + 2 * widths);
    initIntervals();
    positionBranches();
    std::shared_ptr<const IXStyleNode> documentStyle = styleForReading();
    if (documentStyle && documentStyle->documentLayoutTimelineShowTimeBreaks()) compactIntervals();
    positionRules();
}

void IXTimelineCell::initIntervals()
{
    m_intervals.clear();
    IXTimelineInterval interval;
    interval.beginSeconds = m_dates.front().baseSeconds();
    interval.endSeconds = m_dates.back().baseSeconds();
    m_intervals.push_back(interval);
    setupScale();
}

void IXTimelineCell::setupScale()
{
    PL_ASSERT_PARAM(!m_intervals.empty(), "[_intervals length] > 0");
    const float length = std::max(float(timelineLength()), MinScaledLength);
    qint64 total = 0;
    float paddings = 0;
    for (const IXTimelineInterval& interval : m_intervals) {
        qint64 span = 0;
        if (__builtin_sub_overflow(interval.endSeconds, interval.beginSeconds, &span)
            || __builtin_add_overflow(total, span, &total))
            total = std::numeric_limits<qint64>::max();
        paddings += interval.leftPadding + interval.rightPadding;
    }
    if (total < MinTimeSpan) total = MinTimeSpan;
    const float available = std::max(length - paddings, MinScaledLength);
    m_secondsPerPixel = double(float(total) / available);
    for (std::size_t i = 0; i < m_intervals.size(); ++i) {
        IXTimelineInterval& interval = m_intervals[i];
        interval.leftX = i == 0 ? FirstLeftX : m_intervals[i - 1].rightX;
        const double span = secondsBetween(interval.beginSeconds, interval.endSeconds);
        const float width = std::ceil(float(std::ceil(span / m_secondsPerPixel)));
        const float origin = interval.leftX + interval.leftPadding;
        interval.rightX = float(double(origin) + width + interval.rightPadding);
        interval.originX = double(origin);
        interval.leftSeconds = toSeconds((interval.leftX - interval.originX) * m_secondsPerPixel + double(interval.beginSeconds));
        interval.rightSeconds = toSeconds((interval.rightX - interval.originX) * m_secondsPerPixel + double(interval.beginSeconds));
    }
}

void IXTimelineCell::checkScale() const
{
    PL_ASSERT_PARAM(m_secondsPerPixel > 0, "_secondsPerPixel > 0");
    PL_ASSERT_PARAM(!m_intervals.empty(), "[_intervals length] > 0");
}

const IXTimelineInterval& IXTimelineCell::intervalAtSeconds(qint64 seconds) const
{
    checkScale();
    if (seconds < m_intervals.front().leftSeconds) return m_intervals.front();
    for (const IXTimelineInterval& interval : m_intervals) {
        if (interval.rightSeconds > seconds) return interval;
    }
    return m_intervals.back();
}

float IXTimelineCell::originAtBaseSeconds(qint64 seconds) const
{
    const IXTimelineInterval& interval = intervalAtSeconds(seconds);
    return float(secondsBetween(interval.beginSeconds, seconds) / m_secondsPerPixel + interval.originX);
}

qint64 IXTimelineCell::startSecondsAtInterval(qint64 seconds) const
{
    return intervalAtSeconds(seconds).beginSeconds;
}

qint64 IXTimelineCell::baseSecondsAtOrigin(float x) const
{
    checkScale();
    const IXTimelineInterval* found = &m_intervals.back();
    if (x < m_intervals.front().leftX) {
        found = &m_intervals.front();
    } else {
        for (const IXTimelineInterval& interval : m_intervals) {
            if (interval.rightX > x) {
                found = &interval;
                break;
            }
        }
    }
    return toSeconds((x - found->originX) * m_secondsPerPixel + double(found->beginSeconds));
}

void IXTimelineCell::compactIntervals()
{
    buildIntervals();
    positionBranches();
}

void IXTimelineCell::buildIntervals()
{
    const float length = float(timelineLength());
    for (;;) {
        float widths = 0;
        for (const IXTimelineInterval& interval : m_intervals) widths += interval.rightX - interval.leftX;
        bool split = false;
        if (!(length > widths)) {
            std::size_t bestInterval = 0;
            float bestWidth = BreakWidthThreshold;
            qint64 bestFrom = 0, bestTo = 0;
            bool found = false;
            qint64 previous = m_dates.front().baseSeconds();
            std::size_t k = 0;
            for (std::size_t i = 1; i < m_dates.size() && k < m_intervals.size(); ++i) {
                const qint64 date = m_dates[i].baseSeconds();
                if (date >= m_intervals[k].rightSeconds) {
                    ++k;
                } else {
                    const float width = originAtBaseSeconds(date) - originAtBaseSeconds(previous);
                    qint64 gap = 0;
                    const bool longGap = __builtin_sub_overflow(date, previous, &gap) || gap > m_stepSeconds;
                    if (width > bestWidth && longGap) {
                        found = true;
                        bestInterval = k;
                        bestWidth = width;
                        bestFrom = previous;
                        bestTo = date;
                    }
                }
                previous = date;
            }
            if (found) {
                IXTimelineInterval next;
                next.beginSeconds = bestTo;
                next.endSeconds = m_intervals[bestInterval].endSeconds;
                IXTimelineInterval& cut = m_intervals[bestInterval];
                cut.endSeconds = bestFrom;
                if (secondsBetween(cut.beginSeconds, cut.endSeconds) < double(m_stepSeconds))
                    cut.endSeconds = cut.beginSeconds + m_stepSeconds;
                if (secondsBetween(next.beginSeconds, next.endSeconds) < double(m_stepSeconds))
                    next.endSeconds = bestTo + m_stepSeconds;
                m_intervals.insert(m_intervals.begin() + std::ptrdiff_t(bestInterval) + 1, next);
                split = true;
            }
        }
        setupScale();
        if (!split) break;
    }
}

void IXTimelineCell::positionBranches()
{
    setupScale();
    checkScale();
    std::vector<PLRect> candidates;
    candidates.reserve(m_branches.size());
    for (const auto& cell : m_branches) {
        IXBranchNode* branch = branchOf(cell.get());
        const float x = branch && branch->beginDate() ? originAtBaseSeconds(branch->beginDate()->baseSeconds()) : 0;
        candidates.emplace_back(PLPoint(x, IXTimelinePlacement::BranchBottom), cell->frame().size);
    }
    const std::vector<float> ys = IXTimelinePlacement::stackBranches(candidates);
    for (std::size_t i = 0; i < m_branches.size(); ++i) m_branches[i]->setOrigin(PLPoint(candidates[i].origin.x, ys[i]));

    candidates.clear();
    for (const auto& bar : m_bars) {
        IXBranchNode* branch = branchOf(bar.get());
        double x = 0, width = 100;
        if (branch && branch->beginDate() && branch->endDate2()) {
            x = std::floor(originAtBaseSeconds(branch->beginDate()->baseSeconds())) + 2;
            const double endX = std::ceil(originAtBaseSeconds(branch->endDate2()->baseSeconds()));
            width = std::max(endX - 2 + 1 - x, 100.0);
        }
        candidates.emplace_back(float(x), IXTimelinePlacement::BarTop, float(width), IXTimelinePlacement::BarHeight);
    }
    const std::vector<float> barYs = IXTimelinePlacement::stackBars(candidates);
    for (std::size_t i = 0; i < m_bars.size(); ++i) {
        PLRect frame = candidates[i];
        frame.origin.y = barYs[i];
        m_bars[i]->setFrame(frame);
    }
}

void IXTimelineCell::positionRules()
{
    for (std::size_t i = 0; i < m_intervals.size(); ++i) {
        const IXTimelineInterval& interval = m_intervals[i];
        float x = interval.leftX;
        if (i == 0) x -= RulerOverhang;
        float width = interval.rightX - x;
        if (i + 1 == m_intervals.size()) width += RulerOverhang;
        if (i >= m_rulers.size()) m_rulers.push_back(std::make_shared<IXTimelineRulerCell>(context(), this, nullptr));
        m_rulers[i]->setFrame(PLRect(x, -RulerHeight, width, RulerHeight));
        m_rulers[i]->invalidateTransform();
    }
    while (m_rulers.size() > m_intervals.size()) {
        m_rulers.back()->invalidate();
        m_rulers.pop_back();
    }
}

// --- Invalidation ---

void IXTimelineCell::invalidate()
{
    if (m_rootBranchCell) m_rootBranchCell->invalidate();
    m_rootBranchCell.reset();
    for (auto& cell : m_branchesCache) cell->invalidate();
    m_branchesCache.clear();
    for (auto& bar : m_barsCache) bar->invalidate();
    m_barsCache.clear();
    // Taken first: invalidating a cell reaches code that may read these lists.
    auto branches = std::move(m_branches);
    auto bars = std::move(m_bars);
    auto rulers = std::move(m_rulers);
    m_branches.clear();
    m_bars.clear();
    m_rulers.clear();
    m_barIndex.clear();
    for (auto& cell : branches) cell->invalidate();
    for (auto& bar : bars) bar->invalidate();
    for (auto& ruler : rulers) ruler->invalidate();
    IXLayoutCell::invalidate();
}

void IXTimelineCell::invalidateLayoutForCell(IXLayoutCell* cell)
{
    if (dynamic_cast<IXTimelineBranchCell*>(cell)) {
        // A bar takes its texts from its branch: the bar of this branch remakes them at its
        // next draw (found by node, not by visiting every bar, which would make a reload of
        // n branches quadratic). The layout that follows places every bar anew.
        const int index = m_barIndex.value(cell->node(), -1);
        if (index >= 0 && std::size_t(index) < m_bars.size() && m_bars[std::size_t(index)]->node() == cell->node())
            std::shared_ptr<IXTimelineBarCell>(m_bars[std::size_t(index)])->invalidateLayout();
    }
    // Cells invalidated while this cell lays them out are placed by this very pass.
    if (m_layoutInProgress && cell != this) return;
    IXLayoutCell::invalidateLayoutForCell(cell);
}

void IXTimelineCell::invalidateLayout()
{
    IXLayoutCell::invalidateLayout();
    m_needsReload = true;
}

// --- Drawing ---

void IXTimelineCell::draw(PLGraphicsContext& graphics)
{
    drawBackground(graphics);
    drawGrid(graphics);
    drawTimelineBreaks(graphics);
    drawArrows(graphics);
}

void IXTimelineCell::drawBackground(PLGraphicsContext& graphics)
{
    if (m_rootBranchCell || !m_branches.empty()) return;
    const PLRect bounds = this->bounds();
    const PLRect band(bounds.minX(), bounds.maxY() - RulerHeight, bounds.width(), RulerHeight);
    graphics.drawText(PLLocalizedStrings::string(QStringLiteral("Nothing to display in timeline")), band,
                      IXTimelineText::labelFont(24), PLColor::system(PLColor::System::ControlText), Qt::AlignHCenter);
}

void IXTimelineCell::drawGrid(PLGraphicsContext& graphics)
{
    if (m_bars.empty()) return;
    const PLRect rulers = unionRectForCells(rulerCells());
    const PLRect all = rulers.united(unionRectForCells(bandsCells()));
    const float bottom = all.minY() - 10;
    const float top = all.maxY() - rulers.height();
    const PLRect grid(all.minX(), bottom, all.width(), top - bottom);
    graphics.setColor(PLColor::white());
    graphics.fillRect(grid);
    PLBezierPath lines;
    for (float x = all.minX(); x < all.maxX(); x += 30) {
        lines.moveToPoint(PLPoint(x, grid.minY()));
        lines.lineToPoint(PLPoint(x, grid.maxY()));
    }
    for (float y = grid.maxY() - 12; y >= grid.minY(); y -= 28) {
        lines.moveToPoint(PLPoint(grid.minX(), y));
        lines.lineToPoint(PLPoint(grid.maxX(), y));
    }
    lines.setLineDash({8, 4}, 0);
    lines.setLineWidth(0.5f);
    graphics.setColor(PLColor::system(PLColor::System::Grid));
    graphics.strokePath(lines);
}

namespace {
PLBezierPath timebreakPath()
{
    PLBezierPath path;
    const PLPoint points[] = {{-4.8f, 0}, {9.6f, 19.2f}, {3.2f, 19.2f}, {12.8f, 32}, {3.2f, 32}, {-6.4f, 12.8f}, {0, 12.8f}};
    path.moveToPoint(points[0]);
    for (std::size_t i = 1; i < std::size(points); ++i) path.lineToPoint(points[i]);
    path.closePath();
    path.setLineJoinStyle(PLBezierPath::LineJoin::Round);
    return path;
}
}

void IXTimelineCell::drawTimelineBreaks(PLGraphicsContext& graphics)
{
    if (m_rulers.empty()) return;
    std::shared_ptr<const IXStyleNode> documentStyle = styleForReading();
    const PLColor page = documentStyle ? documentStyle->documentPageColor() : PLColor::white();
    const PLColor lineColor = page.shadow(0.2f);
    const PLColor breakFill = page.shadow(0.4f);
    const float x0 = m_rulers.front()->frame().minX();
    const float x1 = m_rulers.back()->frame().maxX();
    graphics.setColor(lineColor);
    graphics.fillRect(PLRect(x0, -1, x1 - x0, 1));
    graphics.fillRect(PLRect(x0, -RulerHeight, x1 - x0, 1));
    graphics.fillRect(PLRect(x0, -RulerHeight, 4, RulerHeight));
    graphics.fillRect(PLRect(x1 - 4, -RulerHeight, 4, RulerHeight));
    const PLBezierPath path = timebreakPath();
    for (std::size_t i = 1; i < m_rulers.size(); ++i) {
        PLBezierPath placed = path;
        PLAffineTransform move;
        move.translateXBy(m_rulers[i]->frame().minX(), -RulerHeight);
        placed.transformUsingAffineTransform(move);
        graphics.setColor(breakFill);
        graphics.fillPath(placed);
        graphics.setColor(lineColor);
        graphics.strokePath(placed);
    }
}

void IXTimelineCell::drawArrows(PLGraphicsContext& graphics)
{
    for (bool selected : {false, true}) {
        for (const auto& bar : m_bars) {
            if (bar->isSelected() == selected) drawBarArrow(graphics, bar.get(), selected);
        }
    }
    for (bool selected : {false, true}) {
        for (const auto& cell : m_branches) {
            if (cell->isSelected() == selected) drawCellArrow(graphics, cell.get(), selected);
        }
    }
}

void IXTimelineCell::drawBarArrow(PLGraphicsContext& graphics, IXTimelineBarCell* bar, bool selected)
{
    IXBranchNode* branch = branchOf(bar);
    std::shared_ptr<const IXStyleNode> barStyle = bar->styleForReading();
    if (!branch || !branch->beginDate() || !branch->endDate2() || !barStyle) return;
    const PLRect frame = bar->frame();
    const bool focused = context() && context()->mouse().hasKeyFocus();
    const float lineWidth = selected ? 1.5f : 1.0f;
    // Half the line width over, so that the lines cover whole pixels.
    const float xb = originAtBaseSeconds(branch->beginDate()->baseSeconds()) + lineWidth * 0.5f;
    const float xe = originAtBaseSeconds(branch->endDate2()->baseSeconds()) + lineWidth * 0.5f;
    const float yTop = selected ? 0 : -RulerHeight;
    if (selected) {
        const PLColor band = focused ? PLColor::system(PLColor::System::SelectedTextBackground)
                                     : PLColor::system(PLColor::System::SecondarySelectedControl);
        graphics.setColor(band.withAlpha(0.3f));
        graphics.fillRect(PLRect(xb, -31, xe - xb, 30));
    }
    PLBezierPath lines;
    lines.moveToPoint(PLPoint(xb, frame.minY()));
    lines.lineToPoint(PLPoint(xb, yTop));
    lines.moveToPoint(PLPoint(xe, frame.minY()));
    lines.lineToPoint(PLPoint(xe, yTop));
    lines.setLineWidth(lineWidth);
    lines.setLineJoinStyle(PLBezierPath::LineJoin::Round);
    lines.setLineCapStyle(PLBezierPath::LineCap::Round);
    graphics.setColor(selected && focused ? PLColor::system(PLColor::System::AlternateSelectedControl)
                                          : barStyle->documentPageColor().shadow(0.5f));
    graphics.strokePath(lines);
}

void IXTimelineCell::drawCellArrow(PLGraphicsContext& graphics, IXTimelineBranchCell* cell, bool selected)
{
    std::shared_ptr<const IXStyleNode> cellStyle = cell->styleForReading();
    if (!cellStyle) return;
    const PLRect frame = cell->frame();
    const float lineWidth = IXGeometryLimits::branchLineWidth(*cellStyle);
    const PLColor lineColor = cellStyle->branchLineColor();
    const float x = frame.minX() + 0.5f;
    const float y = frame.minY();
    const bool focused = context() && context()->mouse().hasKeyFocus();

    PLBezierPath stem;
    stem.moveToPoint(PLPoint(x, y));
    stem.lineToPoint(PLPoint(x, 3.5f));
    stem.setLineWidth(lineWidth);
    stem.setLineJoinStyle(PLBezierPath::LineJoin::Round);
    graphics.setColor(lineColor);
    graphics.strokePath(stem);

    PLBezierPath flag;
    flag.moveToPoint(PLPoint(x, y));
    flag.lineToPoint(PLPoint(x, y + 4));
    flag.lineToPoint(PLPoint(x + 6, y));
    flag.lineToPoint(PLPoint(x, y - 6));
    flag.closePath();
    flag.setLineJoinStyle(PLBezierPath::LineJoin::Round);
    graphics.fillPath(flag);
    graphics.strokePath(flag);

    PLBezierPath diamond;
    diamond.moveToPoint(PLPoint(x, 3.5f));
    diamond.lineToPoint(PLPoint(x + 4, -0.5f));
    diamond.lineToPoint(PLPoint(x, -4.5f));
    diamond.lineToPoint(PLPoint(x - 4, -0.5f));
    diamond.closePath();
    diamond.setLineWidth(lineWidth * 0.5f);
    diamond.setLineJoinStyle(PLBezierPath::LineJoin::Round);
    if (selected) {
        graphics.setColor(focused ? PLColor::system(PLColor::System::AlternateSelectedControl)
                                  : PLColor::system(PLColor::System::SecondarySelectedControl));
    } else {
        graphics.setColor(cellStyle->branchFrameFillColor());
    }
    graphics.fillPath(diamond);
    graphics.setColor(lineColor);
    graphics.strokePath(diamond);
}
