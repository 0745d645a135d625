#pragma once

#include "MapLayout/IXLayoutCell.h"
#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLRect.h"

#include <QFont>
#include <QString>

#include <functional>

#include <optional>
#include <vector>

class IXTimelineCell;
class UTDateTime;

// One piece of the timeline's time axis: a shaded band with ticks at its lower and upper
// edges and time labels centred between them, stepped and worded by the document's time
// scale (calendar, days, weeks, historic, geological) and the timeline's seconds per pixel.
// Large labels never overlap; small labels give way to large ones (they are erased from the
// piece's own transparency layer when a large label follows).
//
// The timeline cell makes one per piece of the axis, without a node, sets its frame (the
// piece's span, y -32 to 0) and owns it. Dates the walks cannot make (years beyond the date
// value's range) are skipped: drawing never throws.
class IXTimelineRulerCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXTimelineRulerCell() override;

    // One tick as drawn: its x, its label (empty for none), whether it was a large one
    // (full-length tick) and whether the label was drawn.
    struct Tick {
        float x = 0;
        QString label;
        bool large = false;
        bool drawn = false;
        // Where the label was drawn (when drawn).
        PLRect rect;
    };

    // The steps of the walks at a zoom: months of the calendar (0: the calendar counts days
    // instead), minutes of the days scale, hours of the weeks scale, years of the historic
    // and geological scales.
    static qint64 calendarMonthStep(double secondsPerPixel);
    static qint64 dayMinuteStep(double secondsPerPixel);
    static qint64 weekHourStep(double secondsPerPixel);
    static qint64 historicYearStep(double secondsPerPixel);
    static qint64 geologicalYearStep(double secondsPerPixel);
    // "-" for year 0, "<grouped> BC" before it, "<year> AD" after it.
    static QString historicLabel(qint64 year);

    // The frame set by the timeline is final.
    void layout() override {}
    void draw(PLGraphicsContext& graphics) override;
    // Draws the ticks and labels (without the band) and tells what was drawn.
    std::vector<Tick> drawLabels(PLGraphicsContext& graphics);

private:
    struct Pass;

    IXTimelineCell* timeline() const;
    void drawBackground(PLGraphicsContext& graphics);
    bool drawLabel(Pass& pass, const std::optional<QString>& label);
    // Calls step while the walk's x is left of the label rectangle's right edge and the
    // date moves.
    void walk(Pass& pass, UTDateTime& date, const std::function<void(UTDateTime&)>& step,
              const std::function<void(UTDateTime&)>& advance);
    void drawLabelsStandard(Pass& pass);
    void drawLabelsStandardDays(Pass& pass);
    void drawLabelsDays(Pass& pass);
    void drawLabelsWeeks(Pass& pass);
    void drawLabelsHistoric(Pass& pass);
    void drawLabelsGeological(Pass& pass);
    float positionOf(const Pass& pass, qint64 seconds) const;
};
