#include "DocumentWindow/IXContextMenus.h"

#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXContextMenuTool.h"
#include "DocumentWindow/IXActionBridge.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAction>
#include <QMenu>

namespace {

// Tags that choose a command's variant.
enum : int { NoTag = -2, AllIcons = -1, RootBranch = 1, OnCanvas = 0, OnBranch = 1, NewNote = 1, ToggleCollapse = 0 };

QString localized(const char* text)
{
    return PLLocalizedStrings::string(QString::fromUtf8(text));
}

QAction* add(QMenu* menu, const char* title, IXCommand command, int tag = NoTag)
{
    QAction* item = IXContextMenus::makeItem(localized(title), command, nullptr, menu);
    if (tag != NoTag) item->setData(tag);
    menu->addAction(item);
    return item;
}

QMenu* addSubmenu(QMenu* menu, const char* title, int tag = NoTag)
{
    auto* submenu = new QMenu(localized(title), menu);
    IXContextMenus::validateBeforeShowing(submenu);
    QAction* holder = menu->addMenu(submenu);
    if (tag != NoTag) holder->setData(tag);
    return submenu;
}

std::unique_ptr<QMenu> makeMenu()
{
    auto menu = std::make_unique<QMenu>();
    IXContextMenus::validateBeforeShowing(menu.get());
    return menu;
}

void addEditingItems(QMenu* menu)
{
    add(menu, "Edit Title", IXCommands::EditTitle);
    add(menu, "Add Comment", IXCommands::AddComment);
    add(menu, "Insert Picture...", IXCommands::AddPicture, OnBranch);
    QMenu* attach = addSubmenu(menu, "Attach");
    add(attach, "Text File...", IXCommands::AttachTextFile);
    add(attach, "Picture File...", IXCommands::AttachPictureFile);
    add(attach, "Video File...", IXCommands::AttachVideoFile);
    add(attach, "Sound File...", IXCommands::AttachSoundFile);
    add(attach, "Flash File...", IXCommands::AttachFlashFile);
    add(attach, "Hyperlink", IXCommands::AttachHyperlink);
    add(menu, "New Text Note", IXCommands::EditTextNote, NewNote);
}

void addBranchObjectItems(QMenu* menu)
{
    add(menu, "Remove Picture", IXCommands::RemovePicture);
    add(menu, "Detach Picture", IXCommands::DetachPicture);
    add(menu, "Remove Comment", IXCommands::RemoveComment);
}

void addClipboardItems(QMenu* menu)
{
    add(menu, "Cut", IXCommands::Cut);
    add(menu, "Copy", IXCommands::Copy);
    add(menu, "Paste", IXCommands::Paste);
    menu->addSeparator();
    add(menu, "Copy Style", IXCommands::CopyStyles);
    add(menu, "Paste Style", IXCommands::PasteStyles);
    add(menu, "Clear Style", IXCommands::ClearStyles);
}

void addBranchWideItems(QMenu* menu)
{
    add(menu, "Connect to Another Branch", IXCommands::MakeBranchConnection);
    add(menu, "Show Only This Branch", IXCommands::ToggleFilter);
    add(menu, "Detach as New Document", IXCommands::DetachBranchAsDocument);
}

}  // namespace

IXContextMenus::IXContextMenus()
    : m_document(makeMenu())
    , m_root(makeMenu())
    , m_branch(makeMenu())
    , m_attachment(makeMenu())
{
    QMenu* document = m_document.get();
    add(document, "New Root Branch", IXCommands::AddBranch, RootBranch);
    add(document, "New Floating Comment", IXCommands::AddFloatingComment);
    add(document, "Insert Picture...", IXCommands::AddPicture, OnCanvas);
    document->addSeparator();
    add(document, "Paste", IXCommands::Paste);
    add(document, "Select All", IXCommands::SelectAll);
    document->addSeparator();
    add(document, "Automatic Layout", IXCommands::AutolayoutBranches);
    add(document, "Fit to Window", IXCommands::ScaleToFit);

    QMenu* root = m_root.get();
    add(root, "New Sub-branch", IXCommands::AddSubbranch);
    add(root, "New Root Branch", IXCommands::AddBranch, RootBranch);
    root->addSeparator();
    addEditingItems(root);
    root->addSeparator();
    addBranchObjectItems(root);
    root->addSeparator();
    addClipboardItems(root);
    root->addSeparator();
    addBranchWideItems(root);
    root->addSeparator();
    add(root, "Remove", IXCommands::RemoveSelectedNodes);

    QMenu* branch = m_branch.get();
    add(branch, "New Branch", IXCommands::AddBranch);
    add(branch, "New Sub-branch", IXCommands::AddSubbranch);
    add(branch, "New Parent Branch", IXCommands::AddPrebranch);
    branch->addSeparator();
    addEditingItems(branch);
    QMenu* icons = addSubmenu(branch, "Icons", IXContextMenuTool::IconsItemTag);
    QMenu* removeIcon = addSubmenu(icons, "Remove Icon", IXContextMenuTool::RemoveIconItemTag);
    add(removeIcon, "All Icons", IXCommands::RemoveIcon, AllIcons);
    removeIcon->addSeparator();
    branch->addSeparator();
    add(branch, "Expand or Collapse", IXCommands::ToggleCollapser, ToggleCollapse);
    addBranchObjectItems(branch);
    add(branch, "Detach Branch", IXCommands::DetachBranch);
    branch->addSeparator();
    addClipboardItems(branch);
    branch->addSeparator();
    addBranchWideItems(branch);
    branch->addSeparator();
    add(branch, "Remove Branch Only", IXCommands::RemoveBranchSection);
    add(branch, "Remove", IXCommands::RemoveSelectedNodes);

    QMenu* attachment = m_attachment.get();
    add(attachment, "Cut", IXCommands::Cut);
    add(attachment, "Copy", IXCommands::Copy);
    attachment->addSeparator();
    add(attachment, "Detach from Branch", IXCommands::DetachFloatingNode);
    attachment->addSeparator();
    add(attachment, "Copy Style", IXCommands::CopyStyles);
    add(attachment, "Paste Style", IXCommands::PasteStyles);
    add(attachment, "Clear Style", IXCommands::ClearStyles);
    attachment->addSeparator();
    add(attachment, "Remove", IXCommands::RemoveSelectedNodes);
}

IXContextMenus::~IXContextMenus() = default;

QMenu* IXContextMenus::menu(IXContextMenuProviding::Menu kind) const
{
    switch (kind) {
    case IXContextMenuProviding::Menu::Document:
        return m_document.get();
    case IXContextMenuProviding::Menu::Root:
        return m_root.get();
    case IXContextMenuProviding::Menu::Branch:
        return m_branch.get();
    case IXContextMenuProviding::Menu::Attachment:
        return m_attachment.get();
    case IXContextMenuProviding::Menu::OutlineBranch:
        return nullptr;
    }
    return nullptr;
}

QAction* IXContextMenus::makeItem(const QString& title, IXCommand command, QObject* target, QObject* parent)
{
    QAction* item = IXActionBridge::makeAction(title, command, parent);
    if (target) IXActionItem::setTarget(item, target);
    return item;
}

void IXContextMenus::validateBeforeShowing(QMenu* menu)
{
    IXActionBridge::attachMenu(menu);
}
