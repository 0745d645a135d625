#pragma once

#include <QtGlobal>

// One piece of the timeline's time axis between two time breaks. Times are seconds since
// 1 January of year 1 (UTDateTime::baseSeconds); x values are in the timeline cell's space.
// Pieces follow one another without gaps, the first starting at x = 100.
struct IXTimelineInterval {
    static constexpr float LeftPadding = 100;
    static constexpr float RightPadding = 200;

    qint64 beginSeconds = 0;
    qint64 endSeconds = 0;
    float leftPadding = LeftPadding;
    float rightPadding = RightPadding;
    // x of beginSeconds: leftX + leftPadding.
    double originX = 0;
    float leftX = 0;
    float rightX = 0;
    // The moments shown at leftX and rightX.
    qint64 leftSeconds = 0;
    qint64 rightSeconds = 0;
};
