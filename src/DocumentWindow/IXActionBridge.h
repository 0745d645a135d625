#pragma once

#include "DocumentViews/IXCommandNames.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

class QAction;
class QKeyEvent;
class QMenu;
class QString;
class QToolBar;
class QWidget;

// Menu and toolbar items whose action is named, not bound: triggering one sends its action
// ("zoomIn:") through the application's target search (IXApplication::targetForAction), to
// its explicit target when it has one. Before a menu shows, before a shortcut key is looked up,
// and while a toolbar is shown (when it appears, when the focus moves, after every action),
// each item asks the same
// search whether it is enabled: without a target it is disabled; a target's
// `validateMenuItem(QAction*)` decides when it has one, and may set the check mark.
class IXActionBridge : public QObject {
    Q_OBJECT
public:
    // An item titled `text` that sends the command, owned by the parent.
    static QAction* makeAction(const QString& text, IXCommand command, QObject* parent);
    // Gives an item made elsewhere (a toolbar item) its action, sent when it is triggered.
    static void bind(QAction* item, const QByteArray& action);
    // (IXActionItem reads and sets an item's action and explicit target.)

    // Enables (and lets the target check) an item; false when it is disabled. A toolbar item
    // (UTToolbarItem) asks the target's `validateToolbarItem(QAction*)` when it has one.
    static bool validate(QAction* item);
    // Validates the menu's items each time before it shows.
    static void attachMenu(QMenu* menu);
    // Validates the toolbar's items while it is shown.
    static void attachToolBar(QToolBar* toolBar);
    // Validates the window's items that have a shortcut, before Qt looks the key up: a
    // shortcut works exactly when its item would be enabled in the menu now. Keys that type
    // text without Ctrl, Alt or Meta are no shortcut and skipped.
    static void validateShortcuts(QWidget* window, const QKeyEvent* key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static IXActionBridge* shared();
    void validateShownToolBars();

    QList<QPointer<QToolBar>> m_toolBars;
};
