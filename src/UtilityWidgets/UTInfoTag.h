#pragma once

#include "MapLayout/IXInfoTagPresenting.h"
#include "Platform/Text/PLAttributedString.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>

class QWidget;
class QWindow;
class UTInfoTagWindow;

// The application's single info tag: a small tool-tip-like window with a light yellow
// panel that shows a short plain or rich text next to the pointer or next to a rectangle of
// a view, and goes away at once or with a short fade. There is one tag for the whole
// application (`sharedInstance`), made on first use and never released; its window is made
// on first use too (`window` is null before). The tag owns its text and its window.
//
// The text wraps at 400 units unless told otherwise; setting it refits the window while the
// window exists, keeping its top edge. Every showing remembers the window of the view it is
// for (the owner), which becomes the tag window's transient parent so that the tag is placed
// relative to it on platforms without global positions (without an owner, the window with the
// focus); hiding forgets it and tells listeners first (`willHide`, the "UTInfoTagWillHide"
// notice). The tag also hides when
// the application loses the focus or a window other than its owner's takes it.
//
// Besides the y-up view operations of IXInfoTagPresenting, the tag takes rectangles and
// points in a widget's own y-down coordinates. Main thread only.
class UTInfoTag : public QObject, public IXInfoTagPresenting {
    Q_OBJECT
public:
    static constexpr float StandardMaxWidth = 400;

    static UTInfoTag* sharedInstance();

    // The font and colour that `setTitle` gives the text: the tool-tip font at size 10 until
    // replaced; "no colour" (the default) leaves the text in the panel's own colour.
    static QFont defaultFont();
    static void setDefaultFont(const QFont& font);
    static PLColor defaultColor();
    static void setDefaultColor(const PLColor& color);

    void setTitle(const QString& title) override;
    void setAttributedTitle(const PLAttributedString& title) override;
    // Replaces the text by what the writer puts at the cursor (typing in the default font and
    // colour), then refits the tag: for texts with objects drawn by a handler the writer
    // registers with the cursor's document (a picture among the words).
    void setTitleWith(const std::function<void(QTextCursor& cursor)>& write);
    QString title() const override;
    PLAttributedString attributedTitle() const override;

    UTInfoTagWindow* window() const { return m_window; }

    PLSize size() const override;
    // Resizes the window keeping its top edge, when the window exists.
    void setSize(const PLSize& size);
    void sizeToFit() override;
    void sizeToMaxWidth(float width) override;
    void sizeToWidth(float width) override;
    // The window size the text needs when wrapped at the width less the insets (at least
    // 20 units wide, at most 400 high): the text's extent on whole units plus the insets.
    PLSize contentSizeForMaxWidth(float width);

    bool isVisible() const override;

    void showWithTopLeft(QPoint screenTopLeft) override;
    void showWithTopLeftTitle(QPoint screenTopLeft, const QString& title);
    void showWithTopLeftAttributedTitle(QPoint screenTopLeft, const PLAttributedString& title);

    void showWithTopLeftInView(PLPoint topLeft, QObject* view) override;
    void showTaggedToRightSideOfRect(const PLRect& rect, QObject* view) override;
    void showTaggedToBelowOfRect(const PLRect& rect, QObject* view) override;
    void showWithAlignRelativeToRect(const PLRect& rect, QObject* view) override;

    void showWithTopLeftInView(QPointF topLeft, QWidget* view);
    void showTaggedToRightSideOfRect(const QRectF& rect, QWidget* view);
    void showTaggedToBelowOfRect(const QRectF& rect, QWidget* view);
    void showWithAlignRelativeToRect(const QRectF& rect, QWidget* view);

    void hide() override;
    void hideWithFadeOutEffect() override;

    PLColor backgroundColor() const override;
    void setBackgroundColor(const PLColor& color) override;
    PLColor borderColor() const override;
    void setBorderColor(const PLColor& color) override;

    // The window of the view the tag was last shown for; null once hidden.
    QWidget* ownersWindow() const { return m_ownersWindow; }

signals:
    void willHide(UTInfoTag* tag);

private:
    UTInfoTag();
    ~UTInfoTag() override;

    UTInfoTagWindow* ensureWindow();
    void fitWindowToText();
    void rememberOwner(QWidget* view);
    void updateTransientParent();
    void windowFocusChanged(QWindow* focusWindow);
    static QWidget* checkedView(QObject* view);

    QPointer<UTInfoTagWindow> m_window;
    QTextDocument m_tagStorage;
    QPointer<QWidget> m_ownersWindow;
};
