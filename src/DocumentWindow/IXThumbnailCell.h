#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

// Draws one slot of a grid of thumbnails (IXGridImageView): the picture scaled into the
// square at the top of the slot (never enlarged), an optional framed background with a
// shadow, an optional link-arrow marker, the selection frame and the title in the strip below
// the square. Coordinates are the grid's, y down. Sizes are in points; a picture's size in
// points is its pixel size over its device pixel ratio.
class IXThumbnailCell {
public:
    IXThumbnailCell();

    // --- What one slot shows (set before each drawing) ---
    const QImage& image() const { return m_image; }
    void setImage(const QImage& image) { m_image = image; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }

    // --- Look ---
    bool hiQuality() const { return m_hiQuality; }
    void setHiQuality(bool on) { m_hiQuality = on; }
    bool linkMarker() const { return m_linkMarker; }
    void setLinkMarker(bool on) { m_linkMarker = on; }
    bool drawsImageBackground() const { return m_drawImageBackground; }
    void setDrawsImageBackground(bool on) { m_drawImageBackground = on; }
    // The selection frame's colour; the focus colour of the palette when invalid.
    QColor selectionColor() const { return m_selectionColor; }
    void setSelectionColor(const QColor& color) { m_selectionColor = color; }
    // The link arrow, loaded on first use.
    QImage markerImage() const;
    // The title's look.
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    QFont font() const { return m_font; }
    void setFont(const QFont& font) { m_font = font; }
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color) { m_textColor = color; }
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& color) { m_backgroundColor = color; }
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool on) { m_drawsBackground = on; }
    Qt::TextElideMode lineBreakMode() const { return m_elide; }
    void setLineBreakMode(Qt::TextElideMode mode) { m_elide = mode; }

    // --- Geometry ---
    // The picture's drawn size in a slot of the size: its own size when it fits the square of
    // side width - 4 (or no slot size is given), else scaled to fit it (the longer side becomes
    // the square's, the other rounded up), each side then rounded down to an even number.
    QSizeF imageSizeForCellSize(QSizeF cellSize) const;
    static QSizeF imageSizeForCellSize(QSizeF pictureSize, QSizeF cellSize);
    // Where the picture is drawn: centred in the width x width square at the top of the slot.
    QRectF imageFrameWithFrame(const QRectF& frame) const;
    // A copy of the picture drawn whole into the size (in points, at the picture's pixel
    // ratio) at the opacity, with high interpolation.
    QImage imageWithSize(QSizeF size, double fraction = 1.0) const;
    // The picture at half opacity at its drawn size for the frame; null without a picture.
    QImage dragImageWithFrame(const QRectF& frame) const;

    void drawWithFrame(QPainter& painter, const QRectF& frame, const QPalette& palette) const;

private:
    QImage m_image;
    QString m_title;
    bool m_highlighted = false;
    bool m_hiQuality = false;
    bool m_linkMarker = false;
    bool m_drawImageBackground = false;
    QColor m_selectionColor;
    mutable QImage m_markerImage;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    QFont m_font;
    QColor m_textColor = Qt::black;
    QColor m_backgroundColor;
    bool m_drawsBackground = false;
    Qt::TextElideMode m_elide = Qt::ElideMiddle;
};
