#include "DocumentWindow/IXMainMenu.h"

#include "DocumentWindow/IXActionBridge.h"
#include "Platform/PLLocalizedStrings.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* addItem(QMenu* menu, const char* title, const QByteArray& action, QKeySequence shortcut = {}, int tag = -1)
{
    QAction* item = IXActionBridge::makeAction(PLLocalizedStrings::string(QString::fromUtf8(title)), action, menu);
    if (!shortcut.isEmpty()) item->setShortcut(shortcut);
    if (tag >= 0) item->setData(tag);
    menu->addAction(item);
    return item;
}

QMenu* addMenu(QMenuBar* bar, const char* title)
{
    QMenu* menu = bar->addMenu(PLLocalizedStrings::string(QString::fromUtf8(title)));
    IXActionBridge::attachMenu(menu);
    return menu;
}

}  // namespace

void IXMainMenu::installWindowMenus(QMainWindow* window)
{
    fillMenuBar(window->menuBar());
}

void IXMainMenu::fillMenuBar(QMenuBar* bar)
{
    QMenu* file = addMenu(bar, "&File");
    addItem(file, "New", "newDocument:", QKeySequence::New);
    addItem(file, "Open...", "openDocument:", QKeySequence::Open);
    file->addSeparator();
    addItem(file, "Close", "performClose:", QKeySequence::Close);
    addItem(file, "Save", "saveDocument:", QKeySequence::Save);
    addItem(file, "Save As...", "saveDocumentAs:", QKeySequence::SaveAs);
    addItem(file, "Revert to Saved", "revertDocumentToSaved:");
    file->addSeparator();
    addItem(file, "Preferences...", "showPreferences:", QKeySequence::Preferences);
    file->addSeparator();
    addItem(file, "Quit", "terminate:", QKeySequence::Quit)->setMenuRole(QAction::QuitRole);

    QMenu* edit = addMenu(bar, "&Edit");
    addItem(edit, "Undo", "undo:", QKeySequence::Undo);
    addItem(edit, "Redo", "redo:", QKeySequence::Redo);
    edit->addSeparator();
    addItem(edit, "Cut", "cut:", QKeySequence::Cut);
    addItem(edit, "Copy", "copy:", QKeySequence::Copy);
    addItem(edit, "Paste", "paste:", QKeySequence::Paste);
    addItem(edit, "Select All", "selectAll:", QKeySequence::SelectAll);

    QMenu* view = addMenu(bar, "&View");
    addItem(view, "Mind Map", "switchToView:", QKeySequence(Qt::CTRL | Qt::Key_1), 0);
    addItem(view, "Top-Down Map", "switchToView:", QKeySequence(Qt::CTRL | Qt::Key_2), 1);
    addItem(view, "Left-Right Map", "switchToView:", QKeySequence(Qt::CTRL | Qt::Key_3), 2);
    view->addSeparator();
    addItem(view, "Zoom In", "zoomIn:", QKeySequence::ZoomIn);
    addItem(view, "Zoom Out", "zoomOut:", QKeySequence::ZoomOut);
    addItem(view, "Actual Size", "actualSize:", QKeySequence(Qt::CTRL | Qt::Key_0));
    addItem(view, "Fit to Window", "scaleToFit:");
    view->addSeparator();
    addItem(view, "Full Screen Mode On", "toggleFullScreenMode:", QKeySequence::FullScreen);

    QMenu* help = addMenu(bar, "&Help");
    addItem(help, "Ideaflux Help", "helpForItem:", QKeySequence::HelpContents);
    addItem(help, "Keyboard Shortcuts", "helpByTagFor:", {}, 1);
    addItem(help, "Timescales", "helpByTagFor:", {}, 2);
    help->addSeparator();
    addItem(help, "Online Support", "gotoOnlineSupport:");
    addItem(help, "Home Page", "gotoHomePage:");
}
