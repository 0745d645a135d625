#pragma once

#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLRect.h"

#include <QPoint>
#include <QString>

class PLAttributedString;
class QObject;

// What the map layout needs of the application's info tag: the single small tool-tip-like
// window that shows a short text next to the pointer or next to a rectangle of a view while
// the user hovers or drags. The tag is a widget, so it lives above this layer; it implements
// this interface and is installed at start-up. Without an installed tag nothing is shown
// (exports and other headless uses of a layout).
//
// Rectangles and points "in a view" are in the view's own y-up space (origin at its
// bottom-left), the space the map's view transform gives. The view is the hosting widget,
// passed as a QObject because this layer does not link widgets; it must be a widget
// (PLAssertionFailure "[view window] != nil" otherwise). Screen points are Qt's global
// coordinates, y down, as QCursor::pos gives them.
class IXInfoTagPresenting {
public:
    virtual ~IXInfoTagPresenting();

    // The installed tag, or null when none is installed.
    static IXInfoTagPresenting* sharedInstance();
    // Installs the tag (null uninstalls); the caller keeps ownership. A tag that is
    // destroyed while installed uninstalls itself.
    static void install(IXInfoTagPresenting* tag);

    // Replaces the text (the plain one in the default font and colour) and refits the tag
    // to it at the standard width.
    virtual void setTitle(const QString& title) = 0;
    virtual void setAttributedTitle(const PLAttributedString& title) = 0;
    virtual QString title() const = 0;
    virtual PLAttributedString attributedTitle() const = 0;

    // The tag's size; fitting keeps its top edge where it is.
    virtual PLSize size() const = 0;
    virtual void sizeToFit() = 0;
    virtual void sizeToMaxWidth(float width) = 0;
    virtual void sizeToWidth(float width) = 0;

    virtual bool isVisible() const = 0;

    // Shows the tag with its top-left corner at the screen point, kept on screen, without
    // taking the keyboard focus; a fade in progress stops.
    virtual void showWithTopLeft(QPoint screenTopLeft) = 0;
    virtual void showWithTopLeftInView(PLPoint topLeft, QObject* view) = 0;
    // Beside the rectangle's right side: tops aligned, or centred on a taller rectangle.
    virtual void showTaggedToRightSideOfRect(const PLRect& rect, QObject* view) = 0;
    // Centred 2 units below the rectangle.
    virtual void showTaggedToBelowOfRect(const PLRect& rect, QObject* view) = 0;
    // Below the rectangle, or above it, moved so that it stays inside the view.
    virtual void showWithAlignRelativeToRect(const PLRect& rect, QObject* view) = 0;

    // Both tell listeners that the tag is about to hide; the first closes at once, the
    // second fades the tag out.
    virtual void hide() = 0;
    virtual void hideWithFadeOutEffect() = 0;

    // The fill and the outline; neither may be "no colour".
    virtual PLColor backgroundColor() const = 0;
    virtual void setBackgroundColor(const PLColor& color) = 0;
    virtual PLColor borderColor() const = 0;
    virtual void setBorderColor(const PLColor& color) = 0;
};
