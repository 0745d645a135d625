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
// Each row remembers the columns its edges reached, so a few lines across a large area cost
// what they cover, not the area: the coverage comes out in bands of rows, each as wide as
// what its rows hold. The accumulation buffer of the thread is reused from raster to raster
// (only what was touched is cleared), since a frame may make one per group of lines.
//
// Points are device pixels; parts outside the rectangle add nothing. Polygons may wind
// either way; each should be simple (convex shapes, as strokes of segments, are).
class PLCoverageRaster {
public:
    explicit PLCoverageRaster(const QRect& area);
    ~PLCoverageRaster();
    PLCoverageRaster(const PLCoverageRaster&) = delete;
    PLCoverageRaster& operator=(const PLCoverageRaster&) = delete;

    const QRect& area() const { return m_area; }
    void addPolygon(const QPointF* points, int count);
    // A straight stroke of the width from a to b without caps (a rectangle).
    void addSegment(QPointF a, QPointF b, qreal width);
    // A disc, as a polygon fine enough that it departs from the circle by less than a
    // tenth of a pixel.
    void addDisc(QPointF centre, qreal radius);
    // Rectangles (device pixels, within the area, top to bottom) outside of which every
    // pixel is uncovered.
    std::vector<QRect> bands() const;
    // The part of the area in the colour, each pixel's alpha scaled by its coverage
    // (premultiplied).
    QImage image(const QColor& color, const QRect& part) const;
    QImage image(const QColor& color) const { return image(color, m_area); }

private:
    void addEdge(QPointF from, QPointF to, float sign);
    void touch(int row, int first, int last)
    {
        if (first < m_rowFirst[row]) m_rowFirst[row] = first;
        if (last > m_rowLast[row]) m_rowLast[row] = last;
    }

    QRect m_area;
    int m_stride = 0;
    // Per row, the signed area each edge leaves in each pixel, summed across the row later
    // (the thread's buffer, or one of its own while that is taken).
    std::vector<float>* m_accumulated = nullptr;
    std::vector<float> m_own;
    bool m_borrowed = false;
    // Per row, the first and last cells written (first > last: none).
    std::vector<int> m_rowFirst;
    std::vector<int> m_rowLast;
};
