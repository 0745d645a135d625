#include "DocumentWindow/IXMainMenu.h"

#include "DocumentViews/IXCommandNames.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXDocumentStyles.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/System/PLResources.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <array>

namespace {

QAction* addItem(QMenu* menu, const char* title, IXCommand action, QKeySequence shortcut = {}, int tag = -1)
{
    QAction* item = IXActionBridge::makeAction(PLLocalizedStrings::string(QString::fromUtf8(title)), action, menu);
    if (!shortcut.isEmpty()) item->setShortcut(shortcut);
    if (tag >= 0) item->setData(tag);
    menu->addAction(item);
    return item;
}

// A standard key answers every binding the platform has for it (Redo: Ctrl+Shift+Z as well
// as Ctrl+Y); the first is the one the menu shows.
QAction* addItem(QMenu* menu, const char* title, IXCommand action, QKeySequence::StandardKey key, int tag = -1)
{
    QAction* item = addItem(menu, title, action, QKeySequence(), tag);
    item->setShortcuts(key);
    return item;
}

QMenu* addMenu(QMenuBar* bar, const char* title)
{
    QMenu* menu = bar->addMenu(PLLocalizedStrings::string(QString::fromUtf8(title)));
    IXActionBridge::attachMenu(menu);
    return menu;
}

QMenu* addSubmenu(QMenu* menu, const char* title)
{
    QMenu* submenu = menu->addMenu(PLLocalizedStrings::string(QString::fromUtf8(title)));
    IXActionBridge::attachMenu(submenu);
    return submenu;
}

// The commands on the map's nodes. Return, Delete and typing reach them from the map itself,
// so their items carry no shortcuts that would take those keys from text being edited.
void fillMapMenu(QMenu* map)
{
    addItem(map, "Add Branch", IXCommands::AddBranch);
    addItem(map, "Add Sub-branch", IXCommands::AddSubbranch);
    addItem(map, "Add Branch Above", IXCommands::AddPrebranch);
    addItem(map, "Add Root Branch", IXCommands::AddBranch, {}, 1);
    map->addSeparator();
    addItem(map, "Edit Title", IXCommands::EditTitle);
    addItem(map, "Edit Text Note", IXCommands::EditTextNote);
    addItem(map, "Add Comment", IXCommands::AddComment);
    addItem(map, "Add Floating Comment", IXCommands::AddFloatingComment);
    addItem(map, "Add Picture...", IXCommands::AddPicture, {}, 1);
    addItem(map, "Add Floating Picture...", IXCommands::AddPicture, {}, 0);
    QMenu* attach = addSubmenu(map, "Attach");
    addItem(attach, "Hyperlink", IXCommands::AttachHyperlink);
    addItem(attach, "Text File...", IXCommands::AttachTextFile);
    addItem(attach, "Picture File...", IXCommands::AttachPictureFile);
    addItem(attach, "Video File...", IXCommands::AttachVideoFile);
    addItem(attach, "Sound File...", IXCommands::AttachSoundFile);
    addItem(attach, "Flash File...", IXCommands::AttachFlashFile);
    addItem(map, "Connect Branches", IXCommands::MakeBranchConnection);
    map->addSeparator();
    addItem(map, "Collapse", IXCommands::ToggleCollapser, {}, 0);
    map->addSeparator();
    addItem(map, "Remove", IXCommands::RemoveSelectedNodes);
    addItem(map, "Remove Branch Only", IXCommands::RemoveBranchSection);
    addItem(map, "Remove Comment", IXCommands::RemoveComment);
    addItem(map, "Remove Picture", IXCommands::RemovePicture);
    addItem(map, "Remove All Icons", IXCommands::RemoveIcon)->setData(-1);
    map->addSeparator();
    addItem(map, "Detach Branch", IXCommands::DetachBranch);
    addItem(map, "Detach Picture", IXCommands::DetachPicture);
    addItem(map, "Detach from Branch", IXCommands::DetachFloatingNode);
}

// The shapes of the root branches' frames, by frame type.
void fillRootShapeMenu(QMenu* shapes)
{
    static const std::array<const char*, 11> titles {"Borderless",
                                                     "Square",
                                                     "Ellipse",
                                                     "Rounded Square",
                                                     "Standard",
                                                     "Bubble",
                                                     "Square Cut",
                                                     "Notebook (Horizontal)",
                                                     "Notebook (Vertical)",
                                                     "Clipboard",
                                                     "Hand Drawn"};
    for (size_t tag = 0; tag < titles.size(); ++tag)
        addItem(shapes, titles[tag], IXCommands::SwitchRootShape, {}, int(tag));
}

// The shipped map styles, each with its preview.
void fillMapStyleMenu(QMenu* styles)
{
    const QList<IXDocumentStyles::Entry>& list = IXDocumentStyles::stylesList();
    for (int tag = 0; tag < list.size(); ++tag) {
        const IXDocumentStyles::Entry& entry = list.at(tag);
        QAction* item = IXActionBridge::makeAction(PLLocalizedStrings::string(entry.name),
                                                   IXCommands::SwitchDocumentStyle, styles);
        item->setData(tag);
        if (!entry.preview.isEmpty()) {
            const QString path = PLResources::pathFor(entry.preview, QStringLiteral("Styles"));
            if (!path.isEmpty()) item->setIcon(QIcon(path));
        }
        styles->addAction(item);
    }
}

void fillFormatMenu(QMenu* format)
{
    fillRootShapeMenu(addSubmenu(format, "Root Shape"));
    fillMapStyleMenu(addSubmenu(format, "Map Style"));
    format->addSeparator();
    addItem(format, "Clear Style", IXCommands::ClearStyles);
    addItem(format, "Clear All Styles", IXCommands::ClearAllStyles);
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
    addItem(file, "New from Template...", IXCommands::NewFromTemplate, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    addItem(file, "Open...", IXCommands::OpenDocument, QKeySequence::Open);
    file->addSeparator();
    addItem(file, "Close", IXCommands::PerformClose, QKeySequence::Close);
    addItem(file, "Save", IXCommands::SaveDocument, QKeySequence::Save);
    addItem(file, "Save As...", IXCommands::SaveDocumentAs, QKeySequence::SaveAs);
    addItem(file, "Save As Template...", IXCommands::SaveAsTemplate);
    addItem(file, "Revert to Saved", IXCommands::RevertDocumentToSaved);
    addItem(file, "Additional Folders...", IXCommands::ShowAdditionalFoldersPanel);
    file->addSeparator();
    addItem(file, "Export...", IXCommands::Export, QKeySequence(Qt::CTRL | Qt::Key_E));
    addItem(file, "Quick Export...", IXCommands::QuickExport);
    addItem(file, "Export as PDF...", IXCommands::ExportAsPDF);
    addItem(file, "Pack and Go...", IXCommands::PackAndGo);
    addItem(file, "Print...", IXCommands::PrintDocument, QKeySequence::Print);
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
    addItem(edit, "Paste Without Style", IXCommands::PasteWithoutStyles,
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    addItem(edit, "Copy Style", IXCommands::CopyStyles);
    addItem(edit, "Paste Style", IXCommands::PasteStyles);
    addItem(edit, "Select All", IXCommands::SelectAll, QKeySequence::SelectAll);
    edit->addSeparator();
    QMenu* find = addSubmenu(edit, "Find");
    addItem(find, "Find...", IXCommands::IxFindPanelAction, QKeySequence::Find, 1);
    addItem(find, "Find Next", IXCommands::IxFindPanelAction, QKeySequence(Qt::CTRL | Qt::Key_G), 2);
    addItem(find, "Find Previous", IXCommands::IxFindPanelAction, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G), 3);
    QMenu* spelling = addSubmenu(edit, "Spelling");
    addItem(spelling, "Show Spelling...", IXCommands::ShowGuessPanel, QKeySequence(Qt::CTRL | Qt::Key_Colon));
    addItem(spelling, "Check Spelling", IXCommands::CheckSpelling, QKeySequence(Qt::CTRL | Qt::Key_Semicolon));
    addItem(spelling, "Check Spelling While Typing", IXCommands::ToggleContinuousSpellChecking);

    fillMapMenu(addMenu(bar, "&Map"));
    fillFormatMenu(addMenu(bar, "F&ormat"));

    QMenu* view = addMenu(bar, "&View");
    addItem(view, "Mind Map", IXCommands::SwitchToView, QKeySequence(Qt::CTRL | Qt::Key_1), 0);
    addItem(view, "Top-Down Map", IXCommands::SwitchToView, QKeySequence(Qt::CTRL | Qt::Key_2), 1);
    addItem(view, "Left-Right Map", IXCommands::SwitchToView, QKeySequence(Qt::CTRL | Qt::Key_3), 2);
    addItem(view, "Outline", IXCommands::SwitchToView, QKeySequence(Qt::CTRL | Qt::Key_4), 3);
    addItem(view, "Timeline", IXCommands::SwitchToView, QKeySequence(Qt::CTRL | Qt::Key_5), 4);
    addItem(view, "Print Layout", IXCommands::TogglePrintView, QKeySequence(Qt::CTRL | Qt::Key_6));
    view->addSeparator();
    addItem(view, "Zoom In", IXCommands::ZoomIn, QKeySequence::ZoomIn);
    addItem(view, "Zoom Out", IXCommands::ZoomOut, QKeySequence::ZoomOut);
    addItem(view, "Actual Size", IXCommands::ActualSize, QKeySequence(Qt::CTRL | Qt::Key_0));
    addItem(view, "Fit to Window", IXCommands::FitToScreen, QKeySequence(Qt::CTRL | Qt::Key_9));
    view->addSeparator();
    addItem(view, "Show Selected Branch Only", IXCommands::ToggleFilter, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F));
    QMenu* levels = addSubmenu(view, "Show Levels");
    addItem(levels, "All Levels", IXCommands::ChangeLevel, {}, 0);
    addItem(levels, "1 Level", IXCommands::ChangeLevel, {}, 1);
    addItem(levels, "2 Levels", IXCommands::ChangeLevel, {}, 2);
    addItem(levels, "3 Levels", IXCommands::ChangeLevel, {}, 3);
    addItem(levels, "4 Levels", IXCommands::ChangeLevel, {}, 4);
    addItem(view, "Brainstorm", IXCommands::ToggleBrainStorm, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B));
    view->addSeparator();
    addItem(view, "Text Note Editor", IXCommands::ToggleTextEditor, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N));
    addItem(view, "Overview", IXCommands::ToggleOverview);
    addItem(view, "Media Browser", IXCommands::ToggleMedia);
    view->addSeparator();
    addItem(view, "Full Screen Mode On", IXCommands::ToggleFullScreenMode, QKeySequence::FullScreen);
    addItem(view, "Hide Toolbar", IXCommands::ToggleToolbarShown, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T));
    addItem(view, "Customize Toolbar...", IXCommands::RunToolbarCustomizationPalette);
    view->addSeparator();
    addItem(view, "Show Document Warnings", IXCommands::ShowDocumentWarnings);

    QMenu* help = addMenu(bar, "&Help");
    addItem(help, "Ideaflux Help", IXCommands::HelpForItem, QKeySequence::HelpContents);
    addItem(help, "Keyboard Shortcuts", IXCommands::HelpByTagFor, {}, 1);
    addItem(help, "Timescales", IXCommands::HelpByTagFor, {}, 2);
    help->addSeparator();
    addItem(help, "Online Support", IXCommands::GotoOnlineSupport);
    addItem(help, "Home Page", IXCommands::GotoHomePage);
    addItem(help, "Check for Updates...", IXCommands::CheckAvailaibleUpdate);
}
