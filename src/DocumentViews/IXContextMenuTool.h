#pragma once

#include "DocumentViews/IXContextMenuProviding.h"
#include "DocumentViews/IXTool.h"
#include "Platform/Drawing/PLPoint.h"

#include <QPointer>

#include <memory>

class IXLayoutCell;
class IXNode;
class QMenu;

// The tool of a right-click or Control-click: it picks the window's context menu by the kind of
// node under the click (a floating picture, a floating comment, a connection, a branch, else the
// document; a branch's own picture or comment stands for the branch), selects that node unless
// it is already selected, and shows the menu with QMenu::popup. The branch menu lists the
// branch's icons for removal; the branch and comment menus offer up to MaximumGuesses spelling
// guesses and "Ignore Spelling" for a misspelt word under the click.
//
// The tool stays current while its menu is open, so that a command the menu sends reads the
// click point (clickPoint, the view's y-up space); it ends on the turn after the menu closes,
// or on Escape. The builders return a menu the tool owns (a copy of the window's, with the
// items it adds), or null. Main thread only.
class IXContextMenuTool : public IXTool {
    Q_OBJECT
public:
    static constexpr int MaximumGuesses = 12;
    // The tags of the branch menu's icon items: the icon submenu's item, and in it the item
    // whose submenu lists the icons (each item tagged with the icon's index).
    static constexpr int IconsItemTag = 1000;
    static constexpr int RemoveIconItemTag = 2000;

    explicit IXContextMenuTool(IXToolManager* manager);
    ~IXContextMenuTool() override;

    // Closes and releases the menu, then ends the tool.
    void discardTool() override;
    void startWithEvent(const IXToolEvent& event) override;
    // Escape closes the menu and ends the tool; without a menu the tool ends and the event
    // passes.
    bool onSendEvent(QWindow* window, QEvent* event) override;

    PLPoint clickPoint() const { return m_clickPoint; }
    // The window's commands sent from the menu apply at the click.
    std::optional<PLPoint> commandPoint() const override { return m_clickPoint; }
    // The menu shown, or null.
    QMenu* menu() const { return m_menu.get(); }

    // Chooses the menu of the node under the point (view space): the node it stands for is
    // given back, the document node when there is none. Null when the window has no such menu.
    std::unique_ptr<QMenu> menuForNodeAtPoint(PLPoint point, std::shared_ptr<IXNode>* shownNode);

    // --- Builders ---
    std::unique_ptr<QMenu> documentMenu(IXNode* node);
    std::unique_ptr<QMenu> pictureMenu(IXNode* node);
    std::unique_ptr<QMenu> commentMenu(IXNode* node);
    std::unique_ptr<QMenu> connectionMenu(IXNode* node);
    std::unique_ptr<QMenu> branchMenu(IXNode* node);
    std::unique_ptr<QMenu> outlineBranchMenu(IXNode* node);
    // Puts the guesses for the misspelt word of the text cell under the click point on top of
    // the menu; unchanged when there is none.
    std::unique_ptr<QMenu> makeSpellingMenu(std::unique_ptr<QMenu> menu, IXLayoutCell* textCell);

    // --- Actions of the spelling items ---
    // Replaces the misspelt word under the click point with the item's title.
    Q_INVOKABLE void correctSpelling(QObject* sender);
    // Ignores the item's word in the document's spell document.
    Q_INVOKABLE void ignoreSpelling(QObject* sender);

private:
    // A copy of the window's menu of the kind, its items shared, its submenus copied.
    std::unique_ptr<QMenu> windowMenu(IXContextMenuProviding::Menu kind);
    IXContextMenuProviding* provider() const;
    std::unique_ptr<QMenu> addIconItems(std::unique_ptr<QMenu> menu, IXNode* branch);
    IXLayoutCell* textCellUnderClick();
    void menuDidClose();

    std::unique_ptr<QMenu> m_menu;
    PLPoint m_clickPoint;
};
