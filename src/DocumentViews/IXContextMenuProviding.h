#pragma once

#include "DocumentViews/IXCommandNames.h"

class QAction;
class QMenu;
class QObject;
class QString;

// The context menus of a document window, which the window controller owns and the context
// menu tool shows (copies of them, with the items it adds). The controller of a layout context
// implements this; the items it makes send their command through the application's routing.
class IXContextMenuProviding {
public:
    enum class Menu { Document, Root, Branch, Attachment, OutlineBranch };

    virtual ~IXContextMenuProviding();

    // The window's menu of the kind (owned by the provider), or null when it has none.
    virtual QMenu* contextMenu(Menu menu) = 0;
    // An item titled `title` that sends the command to the target (null: to whatever the
    // application finds), owned by the parent.
    virtual QAction* makeMenuItem(const QString& title, IXCommand command, QObject* target, QObject* parent) = 0;
    // Makes the menu validate its items each time before it shows.
    virtual void validateBeforeShowing(QMenu* menu) = 0;
};
