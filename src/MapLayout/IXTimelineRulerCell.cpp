#include "MapLayout/IXTimelineRulerCell.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXTimelineCell.h"
#include "MapLayout/IXTimelineText.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLShading.h"
#include "Utilities/UTDateLocale.h"
#include "Utilities/UTDateTime.h"
#include "Utilities/UTDateTimeInvalid.h"

#include <QLocale>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace {
constexpr qint64 SecondsPerDay = UTDateTime::SecondsPerDay;
constexpr qint64 SecondsPerYear = UTDateTime::SecondsPerYear;
constexpr qint64 SecondsPerMonth = UTDateTime::SecondsPerMonth;

// 10 raised to the number of whole decimal digits of k less one: the power of ten at or
// below k (for k >= 1).
qint64 powerOfTenBelow(qint64 k)
{
    return qint64(std::ceil(std::pow(10.0, std::floor(std::log10(std::abs(double(k)))))));
}

// A whole number from a double zoom figure, pinned to the 64-bit range.
qint64 wholeOf(double value)
{
    if (!(value == value)) return 0;
    if (value >= 9.2e18) return std::numeric_limits<qint64>::max();
    if (value <= -9.2e18) return std::numeric_limits<qint64>::min();
    return qint64(std::floor(value));
}

QString printf2(const QString& format, int a, int b)
{
    return QString::asprintf(format.toUtf8().constData(), a, b);
}

QString twoDigits(qint64 hour, int minute)
{
    return printf2(IXTimelineText::format("%02d:%02d"), int(hour), minute);
}
}

struct IXTimelineRulerCell::Pass {
    PLGraphicsContext* graphics = nullptr;
    PLColor labelTickColor;
    PLColor tickColor;
    PLColor textColor;
    QFont largeFont;
    QFont smallFont;
    QFont font;
    qint64 originSeconds = 0;
    qint64 intervalSeconds = 0;
    double secondsPerPixel = 1;
    PLRect labelRect;
    float tickWidth = 1;
    float labelRight = 0;
    float smallLabelRight = 0;
    float tickScale = 1;
    float x = 0;
    std::vector<Tick> ticks;
};

IXTimelineRulerCell::~IXTimelineRulerCell() = default;

qint64 IXTimelineRulerCell::calendarMonthStep(double secondsPerPixel)
{
    const qint64 months = wholeOf(60 * secondsPerPixel / double(SecondsPerMonth));
    if (months <= 0) return 0;
    if (months <= 2) return 1;
    if (months <= 11) return 3;
    if (months == 12) return 12;
    // A round number of years (1, 2 or 5 times a power of ten) at least as many as the
    // months per 60 units make, so labels stay 60 units apart.
    const qint64 years = months / 12;
    const qint64 power = powerOfTenBelow(years);
    qint64 rounded = power;
    for (qint64 factor : {1, 2, 5, 10}) {
        rounded = power * factor;
        if (rounded >= years) break;
    }
    return rounded * 12;
}

qint64 IXTimelineRulerCell::dayMinuteStep(double secondsPerPixel)
{
    const qint64 minutes = wholeOf(secondsPerPixel * 60 / 60);
    if (minutes <= 0) return 1;
    if (minutes < 60) return qint64(std::pow(10.0, std::floor(std::log10(double(minutes)))));
    if (minutes < 1440) {
        const qint64 hours = minutes / 60;
        return hours >= 12 ? 720 : hours >= 6 ? 360 : hours >= 3 ? 180 : 60;
    }
    return qint64(std::ceil(double(minutes) / 1440)) * 1440;
}

qint64 IXTimelineRulerCell::weekHourStep(double secondsPerPixel)
{
    const qint64 hours = wholeOf(secondsPerPixel * 60 / 3600);
    if (hours <= 0) return 168;
    if (hours < 168) return hours > 23 ? 24 : hours > 11 ? 12 : hours > 5 ? 6 : hours > 2 ? 3 : 1;
    return qint64(std::ceil(double(hours) / 168)) * 168;
}

qint64 IXTimelineRulerCell::historicYearStep(double secondsPerPixel)
{
    const qint64 years = wholeOf(60 * secondsPerPixel / double(SecondsPerYear));
    return years <= 1 ? 1 : powerOfTenBelow(years);
}

qint64 IXTimelineRulerCell::geologicalYearStep(double secondsPerPixel)
{
    const qint64 thousands = wholeOf(100 * secondsPerPixel / 31'536'000'000.0);
    return (thousands <= 1 ? 1 : powerOfTenBelow(thousands)) * 1000;
}

QString IXTimelineRulerCell::historicLabel(qint64 year)
{
    if (year == 0) return QStringLiteral("-");
    // The magnitude: the grouped negative number without its sign (no overflow at the end of
    // the range).
    if (year < 0) return IXTimelineText::groupedNumber(year).mid(QLocale().negativeSign().size()) + QStringLiteral(" BC");
    return QString::asprintf("%lld AD", (long long)year);
}

IXTimelineCell* IXTimelineRulerCell::timeline() const
{
    return dynamic_cast<IXTimelineCell*>(parent());
}

void IXTimelineRulerCell::draw(PLGraphicsContext& graphics)
{
    drawBackground(graphics);
    drawLabels(graphics);
}

void IXTimelineRulerCell::drawBackground(PLGraphicsContext& graphics)
{
    std::shared_ptr<const IXStyleNode> documentStyle = context() ? context()->styleForReading(context()->documentNode()) : nullptr;
    const PLColor page = documentStyle ? documentStyle->documentPageColor() : PLColor::white();
    const PLColor dark = page.shadow(0.2f).toRGB();
    const PLColor light = page.highlight(0.5f).toRGB();
    // Dark at both edges, rising along a quarter sine to the light middle.
    auto shade = [dark, light](float t) {
        float f = 1;
        if (t <= 0.3f) f = float(std::sin(std::numbers::pi / 2 * t / 0.3f));
        else if (t >= 0.7f) f = float(std::sin(std::numbers::pi / 2 * (1 - t) / 0.3f));
        return dark.blended(f, light).withAlpha(1);
    };
    const PLRect bounds = this->bounds();
    graphics.saveGraphicsState();
    graphics.clipToRect(bounds);
    graphics.drawShading(PLShading::axial(PLPoint(bounds.minX(), bounds.minY()), PLPoint(bounds.minX(), bounds.maxY()), shade));
    graphics.restoreGraphicsState();
}

float IXTimelineRulerCell::positionOf(const Pass& pass, qint64 seconds) const
{
    // In double where the difference leaves 64 bits (spans near the ends of the range).
    qint64 difference = 0;
    const double span = __builtin_sub_overflow(seconds, pass.originSeconds, &difference) ? double(seconds) - double(pass.originSeconds)
                                                                                         : double(difference);
    return float(span / pass.secondsPerPixel + (1 - pass.tickWidth) * 0.5);
}

std::vector<IXTimelineRulerCell::Tick> IXTimelineRulerCell::drawLabels(PLGraphicsContext& graphics)
{
    IXTimelineCell* line = timeline();
    IXLayoutContext* layoutContext = context();
    if (!line || !layoutContext || !layoutContext->documentNode()) return {};
    std::shared_ptr<const IXStyleNode> documentStyle = layoutContext->styleForReading(layoutContext->documentNode());
    const PLColor page = documentStyle ? documentStyle->documentPageColor() : PLColor::white();

    Pass pass;
    pass.graphics = &graphics;
    pass.labelTickColor = page.shadow(0.5f);
    pass.tickColor = page.shadow(0.3f);
    pass.textColor = page.shadow(0.7f);
    pass.largeFont = IXTimelineText::labelFont(10);
    pass.smallFont = IXTimelineText::labelFont(8);
    pass.font = pass.largeFont;
    const PLRect frame = this->frame();
    pass.originSeconds = line->baseSecondsAtOrigin(frame.minX());
    pass.intervalSeconds = line->startSecondsAtInterval(pass.originSeconds);
    pass.secondsPerPixel = line->secondsPerPixel();
    pass.labelRect = bounds().insetBy(12, 1);
    pass.tickWidth = std::max(1.0f, currentPixelSize().width);
    pass.labelRight = pass.labelRect.minX();
    pass.smallLabelRight = pass.labelRect.minX();
    pass.x = pass.labelRect.minX();

    graphics.saveGraphicsState();
    graphics.beginTransparencyLayer();
    switch (layoutContext->documentNode()->timeScaleType()) {
    case 0: drawLabelsStandard(pass); break;
    case 1: drawLabelsDays(pass); break;
    case 2: drawLabelsWeeks(pass); break;
    case 3: drawLabelsHistoric(pass); break;
    case 4: drawLabelsGeological(pass); break;
    default: break;
    }
    graphics.endTransparencyLayer();
    graphics.restoreGraphicsState();
    return std::move(pass.ticks);
}

bool IXTimelineRulerCell::drawLabel(Pass& pass, const std::optional<QString>& label)
{
    const PLRect& rect = pass.labelRect;
    PLGraphicsContext& graphics = *pass.graphics;
    if (pass.x < rect.minX() || pass.x > rect.maxX()) return false;
    float scale = pass.tickScale;
    if (scale < 0) scale = pass.x >= pass.labelRight ? 1 : 0.5f;
    const float h = 7 * scale;
    graphics.setColor(label ? pass.labelTickColor : pass.tickColor);
    graphics.fillRect(PLRect(pass.x, rect.minY(), pass.tickWidth, h));
    graphics.fillRect(PLRect(pass.x, rect.maxY() - h, pass.tickWidth, h));
    Tick tick;
    tick.x = pass.x;
    tick.label = label.value_or(QString());
    tick.large = scale >= 1;
    auto record = [&](bool drawn) {
        tick.drawn = drawn;
        pass.ticks.push_back(tick);
        return drawn;
    };
    if (pass.labelRight > pass.x || !label) return record(false);

    const PLSize size = IXTimelineText::labelSize(*label, pass.font);
    const float ly = rect.minY() + (rect.height() - size.height) / 2;
    auto drawText = [&](float lx) {
        tick.rect = PLRect(lx, ly, size.width, size.height);
        graphics.drawText(*label, PLRect(lx + IXTimelineText::Inset, ly, size.width, size.height), pass.font, pass.textColor);
    };
    if (scale < 1) {
        drawText(pass.x - size.width / 2);
        pass.smallLabelRight = pass.x + size.width / 2;
        return record(true);
    }
    const float lx = pass.x - size.width / 2;
    if (pass.tickScale < 0) {
        // Small labels since the last large one give way; their half ticks stay.
        graphics.fillRectUsingOperation(PLRect(pass.labelRight, rect.minY() + 3.5f, pass.x - pass.labelRight, rect.height() - 7),
                                        PLGraphicsContext::CompositingOperation::Clear);
    }
    if (lx <= pass.labelRight || lx + size.width >= rect.maxX()) return record(false);
    if (pass.smallLabelRight > lx) {
        graphics.fillRectUsingOperation(PLRect(pass.labelRight, ly, pass.x - pass.labelRight, size.height),
                                        PLGraphicsContext::CompositingOperation::Clear);
    }
    drawText(lx);
    pass.labelRight = lx + size.width;
    return record(true);
}

void IXTimelineRulerCell::walk(Pass& pass, UTDateTime& date, const std::function<void(UTDateTime&)>& step,
                               const std::function<void(UTDateTime&)>& advance)
{
    while (pass.labelRect.maxX() > pass.x) {
        pass.x = positionOf(pass, date.baseSeconds());
        step(date);
        const qint64 before = date.baseSeconds();
        // A date read from a file may lie beyond what the value can step to: the walk ends
        // there instead of raising out of the drawing.
        try {
            advance(date);
        } catch (const UTDateTimeInvalid&) {
            return;
        }
        if (date.baseSeconds() == before) return;
    }
}

void IXTimelineRulerCell::drawLabelsStandard(Pass& pass)
{
    const qint64 step = calendarMonthStep(pass.secondsPerPixel);
    if (step <= 0) {
        drawLabelsStandardDays(pass);
        return;
    }
    qint64 start = 0;
    qint64 year = 1;
    if (!__builtin_mul_overflow(step, qint64(32'140'800), &start) && !__builtin_sub_overflow(pass.intervalSeconds, start, &start))
        year = start / SecondsPerMonth / 12;
    if (year <= 0) year = 1;
    UTDateTime date;
    try {
        date = UTDateTime::fromYears(year);
    } catch (const UTDateTimeInvalid&) {
        return;
    }
    try {
        date.setMonth(1);
    } catch (const UTDateTimeInvalid&) {
        // Beyond the months' range the walk counts whole years.
    }
    const UTDateLocale& locale = UTDateLocale::current();
    bool first = true;
    walk(
        pass, date,
        [&](UTDateTime& d) {
            if (d.year() <= 0) return;
            std::optional<QString> label;
            if (d.month() > 1) {
                if (step == 1 && first) {
                    pass.tickScale = 1;
                    pass.font = pass.largeFont;
                    label = QString::asprintf("%lld ", (long long)d.year()) + locale.shortMonthName(d.month());
                } else {
                    pass.tickScale = 0.7f;
                    pass.font = pass.smallFont;
                    label = locale.shortMonthName(d.month());
                }
            } else {
                pass.tickScale = 1;
                pass.font = pass.largeFont;
                label = QString::asprintf("%lld", (long long)d.year());
            }
            if (drawLabel(pass, label)) first = false;
        },
        [step](UTDateTime& d) {
            qint64 year = d.year() + step / 12;
            qint64 month = d.month() + step % 12;
            if (month > 12) {
                month -= 12;
                ++year;
            }
            UTDateTime next = d;
            try {
                next.setYear(year);
                if (month != next.month()) next.setMonth(month);
            } catch (const UTDateTimeInvalid&) {
                // Past the months' range only whole years can be counted: the next year
                // that the step reaches.
                next = d;
                next.setYear(std::max(year, d.year() + 1));
            }
            d = next;
        });
}

void IXTimelineRulerCell::drawLabelsStandardDays(Pass& pass)
{
    IXTimelineCell* line = timeline();
    const float fx = frame().minX();
    const qint64 majorDays = std::max<qint64>(1, wholeOf(60 * pass.secondsPerPixel / double(SecondsPerDay)));
    const qint64 minorDays = std::max<qint64>(1, wholeOf(20 * pass.secondsPerPixel / double(SecondsPerDay)));
    const double major = double(majorDays * SecondsPerDay) / pass.secondsPerPixel;
    const double minor = double(minorDays * SecondsPerDay) / pass.secondsPerPixel;
    enum Snap { None, Thirds, Halves, Months } snap = Months;
    if (minorDays <= 2) snap = None;
    else if (majorDays <= 9) snap = Thirds;
    else if (majorDays <= 14) snap = Halves;

    // The date at a timeline x, at midnight and snapped; nothing where none can be made.
    auto dateAt = [&](double p) -> std::optional<UTDateTime> {
        std::optional<UTDateTime> date = UTDateTime::fromBaseSeconds(line->baseSecondsAtOrigin(float(p)));
        if (!date) return std::nullopt;
        try {
            date->setHour(0);
            date->setMinute(0);
            date->setSecond(0);
            const qint64 day = date->day();
            switch (snap) {
            case None: break;
            case Thirds: date->setDay(day < 10 ? 1 : (day < 20 ? 10 : 20)); break;
            case Halves: date->setDay(day < 15 ? 1 : 15); break;
            case Months: date->setDay(1); break;
            }
        } catch (const UTDateTimeInvalid&) {
            return std::nullopt;
        }
        return date;
    };

    double p = line->originAtBaseSeconds(pass.intervalSeconds);
    while (p - fx - major > pass.labelRect.minX()) p -= major;
    if (std::optional<UTDateTime> date = dateAt(p)) p = line->originAtBaseSeconds(date->baseSeconds());

    const UTDateLocale& names = UTDateLocale::current();
    bool labelDrawn = false;
    std::optional<qint64> previousYear;
    while (p - fx <= pass.labelRect.maxX()) {
        const std::optional<UTDateTime> date = dateAt(p);
        float t0 = float(p - fx);
        if (date) {
            pass.x = positionOf(pass, date->baseSeconds());
            t0 = pass.x;
            const qint64 year = date->year(), month = date->month(), day = date->day();
            QString label;
            pass.tickScale = 1;
            if (previousYear && *previousYear == year && labelDrawn) {
                pass.font = pass.smallFont;
                label = snap == Months ? QLocale().standaloneMonthName(int(month), QLocale::LongFormat)
                                       : QStringLiteral("%1 %2").arg(day).arg(names.shortMonthName(month));
            } else {
                pass.font = pass.largeFont;
                if (day == 1 && month == 1) label = QString::number(year);
                else if (day == 1) label = QStringLiteral("%1 %2").arg(names.shortMonthName(month)).arg(year);
                else label = QStringLiteral("%1 %2 %3").arg(day).arg(names.shortMonthName(month)).arg(year);
            }
            previousYear = year;
            if (drawLabel(pass, label)) labelDrawn = true;
        }
        p += major;
        if (snap != None) continue;
        pass.tickScale = 0.7f;
        for (double m = t0 + minor; m < p - fx; m += minor) {
            const std::optional<UTDateTime> tickDate = dateAt(m + fx);
            if (!tickDate) continue;
            pass.x = positionOf(pass, tickDate->baseSeconds());
            if (pass.x > t0 + 1 && pass.x < p - fx - 1) drawLabel(pass, std::nullopt);
        }
    }
}

void IXTimelineRulerCell::drawLabelsDays(Pass& pass)
{
    const qint64 step = dayMinuteStep(pass.secondsPerPixel);
    UTDateTime date = UTDateTime::fromDays(0);
    try {
        date.addSeconds(pass.intervalSeconds - step * 240);
    } catch (const UTDateTimeInvalid&) {
        return;
    }
    const QString dayFormat = IXTimelineText::format("day %lld");
    const QString dayTimeFormat = IXTimelineText::format("day %lld %02d:%02d");
    qint64 lastDay = date.day() - 1;
    if (step <= 60) {
        pass.tickScale = -1;
        pass.font = pass.largeFont;
    }
    walk(
        pass, date,
        [&](UTDateTime& d) {
            if (d.baseSeconds() < pass.intervalSeconds) {
                drawLabel(pass, std::nullopt);
                return;
            }
            QString label;
            if (d.day() != lastDay) {
                if (step > 60) {
                    pass.tickScale = 1;
                    pass.font = pass.largeFont;
                }
                label = d.hour() != 0 ? QString::asprintf(dayTimeFormat.toUtf8().constData(), (long long)d.day(), int(d.hour()), d.minute())
                                      : QString::asprintf(dayFormat.toUtf8().constData(), (long long)d.day());
                lastDay = d.day();
            } else {
                if (step > 60) {
                    pass.tickScale = 0.5f;
                    pass.font = pass.smallFont;
                }
                label = twoDigits(d.hour(), d.minute());
            }
            drawLabel(pass, label);
        },
        [step](UTDateTime& d) { d.addSeconds(step * 60); });
}

void IXTimelineRulerCell::drawLabelsWeeks(Pass& pass)
{
    const qint64 left = pass.originSeconds + wholeOf(std::floor(double(pass.labelRect.minX()) * pass.secondsPerPixel));
    const qint64 step = weekHourStep(pass.secondsPerPixel);
    const qint64 start = left - left % (step * 3600);
    const qint64 week = start / UTDateTime::SecondsPerWeek - 1;
    const qint64 day = std::abs(start / SecondsPerDay % 7) + 1;
    if (week < std::numeric_limits<int>::min() || week > std::numeric_limits<int>::max()) return;
    UTDateTime date;
    try {
        date = UTDateTime::fromWeeks(int(week), int(day));
    } catch (const UTDateTimeInvalid&) {
        return;
    }
    const QString weekFormat = IXTimelineText::format("week %lld");
    const UTDateLocale& names = UTDateLocale::current();
    walk(
        pass, date,
        [&](UTDateTime& d) {
            QString label;
            if (d.hour() > 0) {
                pass.tickScale = 0.5f;
                pass.font = pass.smallFont;
                label = twoDigits(d.hour(), d.minute());
            } else if (d.day() > 1) {
                pass.tickScale = 0.5f;
                pass.font = pass.smallFont;
                label = names.shortWeekdayName(d.day());
            } else {
                pass.tickScale = 1;
                pass.font = pass.largeFont;
                label = QString::asprintf(weekFormat.toUtf8().constData(), (long long)d.week());
            }
            drawLabel(pass, label);
        },
        [step](UTDateTime& d) { d.addSeconds(step * 3600); });
}

void IXTimelineRulerCell::drawLabelsHistoric(Pass& pass)
{
    const qint64 step = historicYearStep(pass.secondsPerPixel);
    qint64 start = 0;
    if (__builtin_mul_overflow(step, qint64(126'144'000), &start) || __builtin_sub_overflow(pass.intervalSeconds, start, &start))
        return;
    if (start < 0) start -= SecondsPerYear;
    UTDateTime date;
    try {
        date = UTDateTime::fromYears(start / SecondsPerYear);
    } catch (const UTDateTimeInvalid&) {
        return;
    }
    pass.tickScale = -1;
    pass.font = pass.largeFont;
    walk(
        pass, date,
        [&](UTDateTime& d) {
            if (d.baseSeconds() + SecondsPerYear < pass.intervalSeconds) {
                drawLabel(pass, std::nullopt);
                return;
            }
            drawLabel(pass, historicLabel(d.year()));
        },
        [step](UTDateTime& d) {
            qint64 year = d.year() + step;
            if (year == 0) year = 1;
            d.setYear(year);
        });
}

void IXTimelineRulerCell::drawLabelsGeological(Pass& pass)
{
    const qint64 step = geologicalYearStep(pass.secondsPerPixel);
    UTDateTime date;
    try {
        date = UTDateTime::fromYears((pass.intervalSeconds - SecondsPerYear) / SecondsPerYear);
    } catch (const UTDateTimeInvalid&) {
        return;
    }
    pass.tickScale = -1;
    pass.font = pass.largeFont;
    walk(
        pass, date, [&](UTDateTime& d) { drawLabel(pass, IXTimelineText::groupedNumber(d.year())); },
        [step](UTDateTime& d) { d.setYear(d.year() + step); });
}
