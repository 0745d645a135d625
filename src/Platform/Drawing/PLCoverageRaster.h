#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>

#include <vector>

// Anti-aliased coverage of many polygons over one rectangle of device pixels, made as one:
// each polygon adds its exact area per pixel (signed areas accumulated along the rows and
// summed across), and the sum is taken up to full coverage, so overlapping shapes join
// rather than compound. Thousands of long lines cost their edges once and one pass over
// the pixels, where stroking them one by one costs a scan conversion each.
//
// Points are device pixels; parts outside the rectangle add nothing. Polygons may wind
// either way; each should be simple (convex shapes, as strokes of segments, are).
class PLCoverageRaster {
public:
    explicit PLCoverageRaster(const QRect& area);

    const QRect& area() const { return m_area; }
    void addPolygon(const QPointF* points, int count);
    // A straight stroke of the width from a to b without caps (a rectangle).
    void addSegment(QPointF a, QPointF b, qreal width);
    // A disc, as a polygon fine enough that it departs from the circle by less than a
    // tenth of a pixel.
    void addDisc(QPointF centre, qreal radius);
    // The area in the colour, each pixel's alpha scaled by its coverage (premultiplied).
    QImage image(const QColor& color) const;

private:
    void addEdge(QPointF from, QPointF to, float sign);

    QRect m_area;
    int m_stride = 0;
    // Per row, the signed area each edge leaves in each pixel, summed across the row later.
    std::vector<float> m_accumulated;
};
