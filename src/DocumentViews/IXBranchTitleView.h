#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QWidget>

#include <memory>

class IXSpellingHighlighter;
class QTextDocument;
class QTextEdit;

// The floating editor of a branch title: a plain-text editor laid over the title on the map
// view (its parent), drawn on a rounded, translucent white field with a focus outline.
//
// Placement: the text sits where the map shows the title, in the title's font and alignment at
// the map's zoom; below half size the text stays at half size (readable), growing from the
// title's left edge, centre or right edge as the title is aligned. The editor widens as the text
// needs, up to the width at which the map wraps the title, and never narrows on its own; it
// follows the text's height up to max(200, title height + 8) and then scrolls with a vertical
// scroller.
//
// The text has its own undo while the editor lives; spelling marks come from the shared spell
// checker. The view tells its owner through signals when the text first changes and when the
// editor loses the keyboard focus (a menu popping up does not count). Main thread only.
class IXBranchTitleView : public QWidget {
    Q_OBJECT
public:
    // Below this zoom the text is drawn at this size.
    static constexpr qreal MinimumTextScale = 0.5;
    // Room between the text and the editor's edge, in view pixels.
    static constexpr qreal MarginX = 12, MarginY = 8;
    // The narrowest text area, in view pixels.
    static constexpr qreal MinimumTextWidth = 76;
    // The text area's height before it scrolls: at least this, in view pixels.
    static constexpr qreal MinimumScrollingHeight = 200;

    explicit IXBranchTitleView(QWidget* mapView);
    ~IXBranchTitleView() override;

    QTextEdit* textView() const { return m_textView; }
    IXSpellingHighlighter* spelling() const { return m_spelling; }

    // Where the map shows the title (the map view's Qt coordinates), the zoom, and the width
    // (map units) at which the map wraps titles.
    struct Placement {
        QRectF titleRect;
        qreal zoom = 1;
        qreal wrapWidth = 400;
    };
    // The title's look at size 1 (font size in map units), for the text as typed.
    void setTextAttributes(const QFont& font, const QColor& color, Qt::Alignment alignment);
    // Replaces the text (emptying the text's undo) and selects it all.
    void setText(const QString& text);
    QString text() const;
    // Whether the text was changed since it was set.
    bool isModified() const;

    // Places the editor over the title; the width it grew to is kept.
    void setPlacement(const Placement& placement);
    const Placement& placement() const { return m_placement; }
    qreal textScale() const;
    // The text area in the map view's coordinates.
    QRectF textRect() const;
    // Fits the editor to its text on the next turn of the event loop (once per turn).
    void adjustFrameView();
    void adjustFrameViewNow();

signals:
    void textDidBeginEditing();
    void focusLost(Qt::FocusReason reason);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyScale();
    // A copy of the text in the editor's font and paragraph, for measuring.
    std::unique_ptr<QTextDocument> textCopy() const;

    QTextEdit* m_textView;
    IXSpellingHighlighter* m_spelling;
    Placement m_placement;
    QFont m_font;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    // The width the text area grew to, in text units (view pixels at scale 1).
    qreal m_grownWidth = 0;
    qreal m_appliedScale = 0;
    bool m_needsAdjustFrameView = false;
    bool m_loading = false;
};
