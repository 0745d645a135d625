#pragma once

#include "Platform/Drawing/PLAffineTransform.h"
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLRect.h"
#include "Platform/Drawing/PLShading.h"
#include "Platform/Drawing/PLShadow.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QImage;
class QLineF;
class QPainter;
class QPen;
class PLImage;

// Draws in the y-up map geometry over a QPainter: the context's user space has its origin
// at the bottom-left of the target and y growing upward, and concat() adds transforms the
// way nested drawing code expects (the new transform acts first). Text and pictures drawn
// through it come out upright.
//
// The graphics state, saved and restored as a whole, holds the transform and clip (in the
// painter), one current colour for fills and strokes, the compositing operation, the
// antialiasing switch, the image interpolation, a global alpha and a shadow. A transparency
// layer is an offscreen ARGB image that receives all drawing until it ends and is then
// composited with the state in force when it began (its alpha, shadow and operation), so
// that clearing inside the layer touches only the layer.
//
// A context is the current one (currentContext()) from its construction until its
// destruction, when the previous one becomes current again; paths draw into it by default.
// Main thread only. The target should be an ARGB32 premultiplied image (or a raster
// device) for every compositing operation to work.
class PLGraphicsContext {
public:
    enum class CompositingOperation {
        Clear,
        Copy,
        SourceOver,
        SourceIn,
        SourceOut,
        SourceAtop,
        DestinationOver,
        DestinationIn,
        DestinationOut,
        DestinationAtop,
        XOR,
        PlusLighter,
    };
    enum class ImageInterpolation { Default, None, Low, High };

    // Draws into the image; its height in device-independent pixels is the flip height.
    explicit PLGraphicsContext(QImage& image, bool drawingToScreen = false);
    // Draws through painter, whose current transform is taken to map a y-down space of
    // the given height. The painter must stay active while the context lives.
    PLGraphicsContext(QPainter& painter, float height, bool drawingToScreen);
    ~PLGraphicsContext();
    PLGraphicsContext(const PLGraphicsContext&) = delete;
    PLGraphicsContext& operator=(const PLGraphicsContext&) = delete;

    // The innermost living context, or null.
    static PLGraphicsContext* currentContext();

    // False while printing or drawing a picture to keep (cells then use full-quality images).
    bool isDrawingToScreen() const { return m_drawingToScreen; }
    // The painter that drawing goes to at the moment (a transparency layer's while one is
    // open), with the y-up user transform set.
    QPainter& painter() const;

    // --- Graphics state
    void saveGraphicsState();
    // Does nothing without a matching save.
    void restoreGraphicsState();

    PLColor color() const { return m_state.color; }
    // The colour of later fills and strokes (no colour draws nothing).
    void setColor(const PLColor& color) { m_state.color = color; }
    CompositingOperation compositingOperation() const { return m_state.operation; }
    void setCompositingOperation(CompositingOperation operation) { m_state.operation = operation; }
    bool shouldAntialias() const { return m_state.antialias; }
    void setShouldAntialias(bool antialias) { m_state.antialias = antialias; }
    ImageInterpolation imageInterpolation() const { return m_state.interpolation; }
    void setImageInterpolation(ImageInterpolation interpolation) { m_state.interpolation = interpolation; }
    float alpha() const { return m_state.alpha; }
    void setAlpha(float alpha);
    std::optional<PLShadow> shadow() const { return m_state.shadow; }
    // Every later drawing casts the shadow; nullopt switches it off.
    void setShadow(const std::optional<PLShadow>& shadow) { m_state.shadow = shadow; }

    // The user space's transform to the context's base y-up space.
    PLAffineTransform currentTransform() const;
    // The transform acts on user coordinates before the current one.
    void concat(const PLAffineTransform& transform);
    // The size of one device pixel in user units (at least one device pixel per point).
    PLSize devicePixelSize() const;

    // --- Clipping (intersects the current clip)
    void clipToPath(const PLBezierPath& path);
    void clipToRect(const PLRect& rect);
    // The smallest user-space rectangle holding all that drawing can still touch: the clip's
    // bounds within the target's. Empty when nothing can be drawn.
    PLRect clipBoundingBox() const;

    // --- Transparency layers (must nest within one graphics-state level)
    void beginTransparencyLayer();
    // A layer whose pixels are limited to the rectangle (user space), for less memory.
    void beginTransparencyLayerInRect(const PLRect& rect);
    // Does nothing without an open layer.
    void endTransparencyLayer();

    // --- Drawing with the current colour and state
    void fillPath(const PLBezierPath& path);
    void strokePath(const PLBezierPath& path);
    void fillRect(const PLRect& rect);
    // Fills the rectangle with the current colour using the operation for this fill only.
    void fillRectUsingOperation(const PLRect& rect, CompositingOperation operation);
    // Paints the shading within the clip (the shading's own alpha is kept).
    void drawShading(const PLShading& shading);
    // Paints the shading within the path and the clip, as clipping to the path and drawing
    // the shading in a saved state would.
    void fillPathWithShading(const PLBezierPath& path, const PLShading& shading);
    // Draws the part source of the picture (in the picture's own y-up points; an empty
    // rectangle means all of it) into rect, upright, with the operation, the opacity (times
    // the state's alpha) and the state's interpolation; vector pictures are rendered for the
    // device resolution.
    void drawImage(const PLImage& image, const PLRect& rect, const PLRect& source = PLRect(),
                   CompositingOperation operation = CompositingOperation::SourceOver, float opacity = 1);
    // Draws text upright with its top-left at the rectangle's top-left, wrapped and
    // clipped to the rectangle (flags as QPainter::drawText).
    void drawText(const QString& text, const PLRect& rect, const QFont& font, const PLColor& color,
                  int flags = 0);
    // Calls draw with the painter set to a y-down space whose origin is the rectangle's
    // top-left corner and whose extent is the returned QRectF (0, 0, width, height), with
    // the state's compositing, alpha, antialiasing and shadow in force: for Qt's text and
    // picture drawing.
    void drawUpright(const PLRect& rect, const std::function<void(QPainter&, const QRectF&)>& draw);

private:
    struct State {
        PLColor color = PLColor::black();
        CompositingOperation operation = CompositingOperation::SourceOver;
        bool antialias = true;
        ImageInterpolation interpolation = ImageInterpolation::Default;
        float alpha = 1;
        std::optional<PLShadow> shadow;
    };
    struct Layer;

    void init();
    // The painter prepared with the state's operation, alpha, antialiasing and
    // interpolation.
    QPainter& preparedPainter();
    // Whether painting with the colour's alpha in the current state changes nothing.
    bool paintsNothing(float alpha) const;
    // Runs draw on the current painter; with a shadow, inside a layer over the device
    // bounds (device pixels) of what is drawn.
    void drawPrimitive(const QRectF& deviceBounds, const std::function<void(QPainter&)>& draw);
    void beginLayer(const QRect& deviceRect);
    // Strokes straight lines cut to the target (device pixels) with a solid pen.
    void strokeLines(const std::vector<QLineF>& lines, const QPen& pen, const QRectF& deviceBounds,
                     const QRectF& target);
    QRect deviceRect() const;
    QTransform baseTransform() const;

    QPainter* m_painter = nullptr;
    std::unique_ptr<QPainter> m_ownedPainter;
    QTransform m_base;  // maps the base y-up space to the painter's logical space
    bool m_drawingToScreen = false;
    State m_state;
    std::vector<State> m_stack;
    std::vector<std::unique_ptr<Layer>> m_layers;
    PLGraphicsContext* m_previous = nullptr;
};
