#pragma once

#include "DocumentViews/IXContextMenuProviding.h"

#include <memory>

class QMenu;

// The context menus of a document window, by the kind of node under the click: the canvas
// (the document), a root branch, any other branch (with the icon submenu that the context
// menu tool fills with the branch's icons), and the floating objects (pictures, comments,
// connections). Every item sends a window command through the application's routing and is
// validated before its menu shows, so an item whose command nothing answers is disabled.
// The outline's branch menu comes with the outline view. Owned by the window controller.
class IXContextMenus {
public:
    IXContextMenus();
    ~IXContextMenus();
    IXContextMenus(const IXContextMenus&) = delete;
    IXContextMenus& operator=(const IXContextMenus&) = delete;

    QMenu* menu(IXContextMenuProviding::Menu kind) const;

    static QAction* makeItem(const QString& title, IXCommand command, QObject* target, QObject* parent);
    static void validateBeforeShowing(QMenu* menu);

private:
    std::unique_ptr<QMenu> m_document;
    std::unique_ptr<QMenu> m_root;
    std::unique_ptr<QMenu> m_branch;
    std::unique_ptr<QMenu> m_attachment;
};
