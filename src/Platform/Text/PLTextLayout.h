#pragma once

#include "Platform/Text/PLAttributedString.h"
#include "Platform/Drawing/PLPoint.h"
#include "Platform/Core/PLRange.h"
#include "Platform/Drawing/PLSize.h"

#include <QRectF>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QFont;
class QPainter;
class QTextDocument;
class QTextLayout;
class QTextLine;

// Lays out rich text in a container of a given size, the way map texts are measured and
// drawn: no padding around the lines, one unit per point whatever the screen (text is laid
// out at a fixed resolution with design metrics; paragraph lengths are in points too), lines
// broken at word boundaries (a word wider than the container breaks anywhere). Families a
// text names that are not installed fall back to the pinned families
// (`PLFontSubstitutions::availableFamily`).
//
// Geometry is in the container's own top-down coordinates: y grows downward from the top of
// the first line, as the lines are laid out. `draw` mirrors the lines into a y-up space.
//
// Glyphs are addressed by the index of their first character (UTF-16 units): the engine
// shapes clusters internally, and a point maps to the first character of the cluster under
// it. A text ending with a paragraph break has no line for the empty paragraph after it.
//
// Layout is lazy: the next query after a change of the text or of the container size lays
// the text out again (a new size only breaks the converted text into lines again).
// One layout is used by one thread at a time; layouts on different threads are independent
// (texts are measured on worker threads).
class PLTextLayout {
public:
    static constexpr float MeasuringWidth = 1200;
    static constexpr float MeasuringHeight = 10000;

    // One laid-out line.
    struct LineFragment {
        QRectF rect;            // the full fragment: the container's width, lines tiling downward
        QRectF usedRect;        // the part the glyphs use (alignment and indents included)
        PLRange characterRange; // its characters, with the paragraph break that ends it
        float baselineOffset = 0; // from the top of usedRect to the baseline
    };

    // A container of MeasuringWidth x MeasuringHeight holding no text.
    PLTextLayout();
    ~PLTextLayout();
    PLTextLayout(const PLTextLayout&) = delete;
    PLTextLayout& operator=(const PLTextLayout&) = delete;

    const PLAttributedString& text() const { return m_text; }
    void setText(const PLAttributedString& text);
    PLSize containerSize() const { return m_containerSize; }
    void setContainerSize(PLSize size);
    // A layout for measuring only lays out the same lines faster: a paragraph in one font
    // (whatever its colours) takes that font as the layout's own, made once per layout,
    // instead of character formats. Such a paragraph draws without its colours.
    bool isForMeasuringOnly() const { return m_measuringOnly; }
    void setForMeasuringOnly(bool flag);

    // Characters that are laid out (the text's length); 0 for an empty text.
    int glyphCount() const { return m_text.length(); }
    const std::vector<LineFragment>& lineFragments() const;
    // The fragment that holds the character; -1 outside the text.
    int lineFragmentIndexForCharacter(int index) const;
    // The unions of the fragments' used and full rectangles; empty for an empty text.
    QRectF usedRect() const;
    QRectF fullRect() const;

    // The character of the glyph nearest to the point (top-down container coordinates): the
    // nearest line, then the glyph under or nearest to x. Nothing for an empty text.
    std::optional<int> characterIndexAtPoint(QPointF point) const;
    // For each line the range touches, the rectangle (top-down) its characters cover on that
    // line, as high as the line's used rectangle.
    std::vector<QRectF> rectsForCharacterRange(PLRange range) const;

    // Draws the lines onto a painter whose coordinates are y-up (the map's space): the top
    // left corner of the container lands at topLeft and lines go downward from it, upright.
    // Run backgrounds fill the band of their line fragment unless drawBackgrounds is off
    // (a caller that fills one background behind the whole text).
    void draw(QPainter& painter, PLPoint topLeft, bool drawBackgrounds = true) const;

private:
    // Where a fragment's line lives: its paragraph's layout, and that paragraph's first
    // character and spacing before and after.
    struct Line {
        QTextLayout* layout;
        int lineNumber;
        int blockPosition;
        double spacingBefore;
        double spacingAfter;
    };
    void ensureLayout() const;
    // Texts in the default paragraph style without attachments are laid out paragraph by
    // paragraph, which is faster and lighter; the others through a text document, which knows
    // indents, spacing, line heights, tabs and pictures. Both give the same lines.
    void prepareDocument(const PLAttributedString& text) const;
    void prepareParagraphs(const PLAttributedString& text) const;
    void layOutDocument() const;
    void layOutParagraphs() const;
    QTextLine textLine(const Line& line) const;

    // The font of a paragraph in one font, when measuring only: made for the last attributes.
    QFont paragraphFont(const PLTextAttributes& attributes) const;

    PLAttributedString m_text;
    PLSize m_containerSize{MeasuringWidth, MeasuringHeight};
    bool m_measuringOnly = false;
    mutable std::optional<PLFont> m_paragraphFontKey;
    mutable std::unique_ptr<QFont> m_paragraphFont;
    mutable std::unique_ptr<QTextDocument> m_document;
    // The directly laid out paragraphs, by the index of their first character.
    mutable std::vector<std::pair<int, std::unique_ptr<QTextLayout>>> m_paragraphs;
    mutable std::vector<LineFragment> m_fragments;
    mutable std::vector<Line> m_lines;
    mutable bool m_valid = false;
};
