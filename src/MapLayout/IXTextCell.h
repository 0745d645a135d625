#pragma once

#include "MapLayout/IXLayoutCell.h"
#include "MapLayout/IXSelectionCell_Resizing.h"
#include "Platform/Text/PLAttributedString.h"
#include "Platform/Core/PLRange.h"
#include "Platform/Drawing/PLSize.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class IXStyleNode;
class PLTextLayout;

// A text on the map: a branch's title (the branch cell's title cell), or a floating comment (a
// cell of the context's floating layer, which the context tells apart from other cells by
// this class). It measures the node's text in the style's attributes, sizes itself for the box
// its parent gives, draws the text with its misspelled words underlined, answers the spelling
// questions of the map's context menu and, for a floating text, handles the mouse and resizing.
//
// Measuring: the text is read from the node and measured only after invalidateLayout (a
// 1,200-wide container gives its natural size); measurements come from the process-wide
// IXTextMeasurements, so an unchanged text in an unchanged box is never laid out twice, or
// from the context's full layout in progress, which measures every title up front
// (IXTitlePremeasuring). The
// cell keeps a text layout of its own only once it is drawn or asked about a point.
//
// Spelling: while the context shows spelling, the words the shared checker finds misspelled
// (in the document's spell document) are kept and underlined, checked when first drawn or
// asked for after the text changed; a checked cell observes "IXSpellCheckingIgnoreWord" from
// any sender meanwhile and checks again when a word is ignored. Main thread only.
class IXTextCell : public IXLayoutCell, public IXSelectionCell_Resizing {
public:
    // The width and height of the container in which texts are measured.
    static constexpr float MeasuringWidth = 1200;
    static constexpr float MeasuringHeight = 10000;
    // lineBreak() values.
    static constexpr int LineBreakWrap = 0;
    static constexpr int LineBreakNone = 4;

    IXTextCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node);
    ~IXTextCell() override;

    // A floating comment (not a branch title).
    bool isFloating() const;

    // The text a cell shows for the node in the context, in the style's attributes (the
    // node's style there): a branch's title (a timeline root's with its dates) or a comment's.
    // Any other node is logged and shows nothing.
    static PLAttributedString textForNode(IXLayoutContext* context, IXNode* node, const IXStyleNode* style);

    // The natural size of the text, rounded up (the branch cell narrows its box to it).
    PLSize cellTextSize();
    // The box the text is fitted into: the one set, else 200 x 1000 for a title, else the
    // comment text width (when above 40) or 200, by 1000.
    PLSize cellBoxSize();
    // The cell's size in its current box.
    PLSize cellSize();
    // Rounds the box up; a different box is kept and laid out at once.
    void setBoxSize(PLSize size);
    bool drawsText() const { return !m_disableDrawing; }
    void setDrawsText(bool flag);
    int lineBreak();
    // The character ranges of the misspelled words, in text order (checked on first request
    // after the text changed, so that only texts drawn or asked about are checked).
    const std::vector<PLRange>& misspelledRanges();
    // The text as laid out (after the last measuring).
    const PLAttributedString& text() const { return m_text; }

    // The misspelled word under the point (the cell's space), or a null string.
    QString misspellWordAtPoint(PLPoint point);
    // Replaces the misspelled word under the point in the node's title (undoable).
    void correctSpelling(const QString& replacement, PLPoint point);

    void invalidateLayout() override;
    void layout() override;
    bool isVisible() override;
    bool hitTest(PLPoint point) override;
    bool trackMouse(const PLMouseEvent& event) override;
    void draw(PLGraphicsContext& graphics) override;

    QVariantMap resizing_state() override;
    void resizing_setState(const QVariantMap& state) override;
    void resizing_setFrame(const PLRect& frame, int tracksX, int tracksY) override;

private:
    void initStorage() { m_hasTextStack = true; }
    void calcLayoutIfNeeded();
    void calcLayout();
    // Checks the current text, observing ignored words while spelling is shown.
    void checkSpelling();
    void spellingChanged();
    void stopObservingSpelling();
    // Tells every observing cell that a word was ignored.
    static void wordWasIgnored();
    // The text layout for drawing and point queries, in the current container.
    const PLTextLayout& textLayout();
    // The character under the point, when spelling questions can be answered there.
    std::optional<int> misspelledCharacterAtPoint(PLPoint point, PLRange* range);

    std::unique_ptr<PLTextLayout> m_layout;
    bool m_layoutStale = true;
    bool m_hasTextStack = false;
    PLAttributedString m_text;
    std::vector<PLRange> m_misspellRanges;
    bool m_disableDrawing = false;
    bool m_validTextLayout = false;
    PLSize m_textSize;
    // The full lines' size in the measuring container.
    PLSize m_naturalFullSize;
    PLSize m_boxSize;
    PLSize m_containerSize{MeasuringWidth, MeasuringHeight};
    int m_lineBreak = LineBreakWrap;
    bool m_observingSpelling = false;
    bool m_reloadSpelling = false;
    // The text changed (or spelling came on) since the last check.
    bool m_spellingStale = false;
    // The observing cells are linked through these: one registration with the notification
    // centre serves them all, as a large map has a cell per title.
    IXTextCell* m_previousObserving = nullptr;
    IXTextCell* m_nextObserving = nullptr;
};
