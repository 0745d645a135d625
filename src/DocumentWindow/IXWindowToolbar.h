#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QToolBar>
#include <QVariantList>

#include <optional>

class IXWindowController;
class QAction;
class QMainWindow;
class QMenu;
class UTToolbarItem;

// The document window's toolbar "IXToolbar": a QToolBar of UTToolbarItems made from the
// "toolbar" string table. Its items are chosen by identifier from the allowed set (the default
// set until the user chose others in the customisation dialog); the choice and whether the
// toolbar is shown are kept in the settings and shared by every window. Three items are
// pop-ups whose menus switch the view, the root branches' shape and the map style; the
// selectable items (print preview, connection, brainstorm) are checkable actions.
//
// Items send their commands through the action routing (IXActionBridge), most of them to the
// window controller; the bridge asks the target's `validateToolbarItem(QAction*)`, which for the
// controller is validateToolbarItem() here: the layout decides, and a command the controller
// does not implement leaves its item disabled.
//
// Full screen hides the toolbar; leaving it shows the toolbar again when it was shown before.
//
// Owned by the window controller; the QToolBar belongs to the window. Main thread only.
class IXWindowToolbar : public QObject {
    Q_OBJECT
public:
    static const QString Identifier;  // "IXToolbar"
    static const QString ItemsSettingKey;  // "IXToolbar.items"
    static const QString ShownSettingKey;  // "IXToolbar.visible"
    // Items every toolbar may hold besides the window's own.
    static const QString SeparatorItem;  // "IXSeparator"
    static const QString SpaceItem;  // "IXSpace"
    static const QString FlexibleSpaceItem;  // "IXFlexibleSpace"
    static const QString PrintItem;  // "IXPrint"
    static const QString ShowFontsItem;  // "IXShowFonts"
    static const QString ShowColorsItem;  // "IXShowColors"

    IXWindowToolbar(IXWindowController& controller, QMainWindow& window);
    ~IXWindowToolbar() override;

    // The identifier lists; every toolbar identifier but "IXToolbar" has none.
    static QStringList defaultItemIdentifiers(const QString& toolbarIdentifier = Identifier);
    static QStringList allowedItemIdentifiers(const QString& toolbarIdentifier = Identifier);
    static QStringList selectableItemIdentifiers(const QString& toolbarIdentifier = Identifier);
    // Separators and spaces may stand in the toolbar more than once.
    static bool isRepeatable(const QString& identifier);

    // The view types in layout order 0-4 ("mapview_mindmap", ...), their names ("<type>_title"
    // in the main string table), pictures ("<type>_icon") and menu pictures ("toolbar_<type>").
    static const QStringList& viewsTypes();
    static QString viewNameForType(const QString& type);
    static QIcon iconForViewType(const QString& type);
    static QIcon toolbarMenuIconForType(const QString& type);
    // The resource lists "rootshapes" (entries with "Title" and "ToolbarImage") and "docstyles"
    // (entries with "Title" and "File"), read once; empty when missing or unreadable.
    static const QVariantList& rootShapesList();
    static const QVariantList& stylesList();
    // A named picture with its 1x and 2x forms.
    static QIcon namedIcon(const QString& name);

    QToolBar* toolBar() const { return m_toolBar; }
    // A new item for the identifier with its action, target and tag; null for an identifier
    // that is not allowed. Pop-up items get their menus only when inserted into the toolbar.
    UTToolbarItem* makeItem(const QString& identifier);
    // The toolbar's items in order, as identifiers.
    QStringList itemIdentifiers() const;
    // Rebuilds the toolbar from the identifiers (unknown ones skipped, each non-repeatable one
    // kept once) and stores the choice in the settings.
    void setItemIdentifiers(const QStringList& identifiers);
    // The item of an identifier in the toolbar, or null.
    UTToolbarItem* item(const QString& identifier) const;
    // The pop-up menu of a pop-up item in the toolbar ("IXViews", "IXRootShapes", "IXStyles").
    QMenu* popUpMenu(const QString& identifier) const;
    // Inserts one item at the index (-1: at the end), setting a pop-up up once.
    void insertItem(const QString& identifier, int index);

    // Enabled state, picture and selection of one item by the controller's layout (L):
    // fit-to-screen and overview not in the outline (3) or the print layout (9); root shape,
    // style, brainstorm and connection only in the maps 0-2; the text editor and the views
    // anywhere but 9; the levels neither in the timeline (4) nor in 9; the filter not in 9 and
    // only with a filter set or a branch selected; print preview always. The brainstorm item
    // is selected while brainstorm runs, the connection item while the connection tool is
    // current, the print preview item in 9.
    bool validateToolbarItem(QAction* item) const;
    // Validates every item now (after the layout or a tool changed).
    void validateVisibleItems() const;

    // Shown or hidden by the user (stored), and the View menu's item for it.
    bool isShown() const;
    void setShown(bool shown);
    void toggleShown();
    std::optional<bool> validateMenuItem(QAction* item) const;
    // The customisation dialog over this toolbar; the chosen set is applied to it.
    void runCustomizationPalette();

    // Full screen: hides the toolbar, and shows it again afterwards if it was shown before.
    void hideForFullScreen();
    void restoreAfterFullScreen();

private:
    void setUpPopUp(UTToolbarItem* item);
    void storeItems() const;

    IXWindowController& m_controller;
    QPointer<QToolBar> m_toolBar;
    // The toolbar was shown when full screen began; unset outside full screen.
    std::optional<bool> m_shownBeforeFullScreen;
};
