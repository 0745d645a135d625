#pragma once

#include "Platform/Drawing/PLRect.h"

#include <QWidget>

class IXSpellingHighlighter;
class QTextEdit;
class QToolButton;

// The yellow sticky note of a branch's comment, a child of the view that shows the map (or the
// outline's rows): a header strip with a close box and the branch's title, the plain text below
// (Return types a line break), and a grip along the right edge.
//
// The note's frame is kept in its host's y-up space (the map view's own): its origin is the
// bottom-left corner, so the note grows upwards with its text until its top would leave the
// host, then downwards. The text area is `textWidth()` wide (100 to 400) and follows the text's
// height up to 200 points, then scrolls with a small vertical scroller (which widens the note).
//
// Dragging the header moves the note (each coordinate of the origin rounded up to a whole
// point); dragging the grip changes the text width. Both are gestures of the left button: the
// view says when one ends (`gestureEnded`), and a gesture whose grab is lost (the window going
// to the background, the note hidden) puts the note back where it started and ends without
// one. Main thread only.
class IXYellowNoteView : public QWidget {
    Q_OBJECT
public:
    static constexpr float HeaderHeight = 14;
    static constexpr float DefaultTextWidth = 160;
    static constexpr float MinimumTextWidth = 100;
    static constexpr float MaximumTextWidth = 400;
    static constexpr float MaximumTextHeight = 200;
    // Room around the text area: left and right together, and above and below together.
    static constexpr float HorizontalPadding = 16;
    static constexpr float VerticalPadding = 30;

    explicit IXYellowNoteView(QWidget* host);
    ~IXYellowNoteView() override;

    QTextEdit* textView() const { return m_textView; }
    IXSpellingHighlighter* spelling() const { return m_spelling; }
    QToolButton* closeButton() const { return m_closeButton; }

    // Replaces the text, emptying the text's undo; the caret and selection are the editor's.
    void setText(const QString& text);
    QString text() const;
    bool isModified() const;
    // The branch title shown in the header.
    void setHeaderTitle(const QString& title);
    QString headerTitle() const { return m_headerTitle; }
    // Whether moving and resizing are offered (the note belongs to a comment cell).
    void setMovable(bool flag) { m_movable = flag; }

    // Places the note with its bottom-left corner at the point of the host's y-up space, the
    // text area the width wide, and fits the height to the text.
    void place(PLPoint origin, float textWidth);
    PLRect noteFrame() const { return m_frame; }
    float textWidth() const { return m_textWidth; }
    // The header and the grip, in the note's own y-up space.
    PLRect draggingRect() const;
    PLRect resizingRect() const;
    // Fits the note to its text on the next turn of the event loop (once per turn).
    void adjustFrameView();
    void adjustFrameViewNow();

    // Where a move of the pointer by the delta (the window's y-down space) takes a note that
    // started at the origin: each coordinate rounded up to a whole point.
    static PLPoint movedOrigin(PLPoint start, QPointF delta);

    enum class Gesture { None, Move, Resize };
    Gesture gesture() const { return m_gesture; }

signals:
    void textDidBeginEditing();
    // The text lost the keyboard focus (not to a menu over it).
    void textDidEndEditing();
    void closeRequested();
    // A move or resize ended with the release of the button.
    void gestureEnded(IXYellowNoteView::Gesture gesture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setNoteFrame(const PLRect& frame);
    // The note's own y-up rectangle as the widget's y-down one.
    QRectF toQt(const PLRect& rect) const;
    PLPoint pointInNote(QPointF position) const;
    void cancelGesture();
    void layoutChildren();

    QTextEdit* m_textView;
    IXSpellingHighlighter* m_spelling;
    QToolButton* m_closeButton;
    QString m_headerTitle;
    PLRect m_frame;
    float m_textWidth = DefaultTextWidth;
    float m_textHeight = 20;
    bool m_scrolls = false;
    bool m_movable = true;
    bool m_needsAdjustFrameView = false;
    bool m_loading = false;

    Gesture m_gesture = Gesture::None;
    QPointF m_gestureStart;
    PLRect m_startFrame;
    float m_startWidth = 0;
};
