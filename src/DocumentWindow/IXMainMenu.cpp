#include "DocumentWindow/IXMainMenu.h"

#include "DocumentViews/IXCommandNames.h"
#include "DocumentWindow/IXActionBridge.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* addItem(QMenu* menu, const char* title, IXCommand action, QKeySequence shortcut = {}, int tag = -1)
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
    addItem(file, "New", IXCommands::NewDocument, QKeySequence::New);
    addItem(file, "Open...", IXCommands::OpenDocument, QKeySequence::Open);
    file->addSeparator();
    addItem(file, "Close", IXCommands::PerformClose, QKeySequence::Close);
    addItem(file, "Save", IXCommands::SaveDocument, QKeySequence::Save);
    addItem(file, "Save As...", IXCommands::SaveDocumentAs, QKeySequence::SaveAs);
    addItem(file, "Revert to Saved", IXCommands::RevertDocumentToSaved);
    file->addSeparator();
    addItem(file, "Preferences...", IXCommands::ShowPreferences, QKeySequence::Preferences);
    file->addSeparator();
    addItem(file, "Quit", IXCommands::Terminate, QKeySequence::Quit)->setMenuRole(QAction::QuitRole);

    QMenu* edit = addMenu(bar, "&Edit");
    addItem(edit, "Undo", IXCommands::Undo, QKeySequence::Undo);
    addItem(edit, "Redo", IXCommands::Redo, QKeySequence::Redo);
    edit->addSeparator();
    addItem(edit, "Cut", IXCommands::Cut, QKeySequence::Cut);
    addItem(edit, "Copy", IXCommands::Copy, QKeySequence::Copy);
    addItem(edit, "Paste", IXCommands::Paste, QKeySequence::Paste);
    addItem(edit, "Select All", IXCommands::SelectAll, QKeySequence::SelectAll);

    QMenu* view = addMenu(bar, "&View");
    addItem(view, "Mind Map", IXCommands::SwitchToView, QKeySequence(Qt::CTRL | Qt::Key_1), 0);
    addItem(view, "Top-Down Map", IXCommands::SwitchToView, QKeySequence(Qt::CTRL | Qt::Key_2), 1);
    addItem(view, "Left-Right Map", IXCommands::SwitchToView, QKeySequence(Qt::CTRL | Qt::Key_3), 2);
    view->addSeparator();
    addItem(view, "Zoom In", IXCommands::ZoomIn, QKeySequence::ZoomIn);
    addItem(view, "Zoom Out", IXCommands::ZoomOut, QKeySequence::ZoomOut);
    addItem(view, "Actual Size", IXCommands::ActualSize, QKeySequence(Qt::CTRL | Qt::Key_0));
    addItem(view, "Fit to Window", IXCommands::ScaleToFit);
    view->addSeparator();
    addItem(view, "Full Screen Mode On", IXCommands::ToggleFullScreenMode, QKeySequence::FullScreen);

    QMenu* help = addMenu(bar, "&Help");
    addItem(help, "Ideaflux Help", IXCommands::HelpForItem, QKeySequence::HelpContents);
    addItem(help, "Keyboard Shortcuts", IXCommands::HelpByTagFor, {}, 1);
    addItem(help, "Timescales", IXCommands::HelpByTagFor, {}, 2);
    help->addSeparator();
    addItem(help, "Online Support", IXCommands::GotoOnlineSupport);
    addItem(help, "Home Page", IXCommands::GotoHomePage);
}
