#include "DocumentViews/IXContextMenuTool.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXIconsStorage.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXToolEvent.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Text/PLSpellChecker.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QWidget>

namespace {

// Copies the items of the menu into the target: items are shared, submenus copied (the
// builders add to them), each copy validating before it shows.
void copyItems(const QMenu* source, QMenu* target, IXContextMenuProviding* provider)
{
    for (QAction* item : source->actions()) {
        if (const QMenu* submenu = item->menu()) {
            auto* copy = new QMenu(submenu->title(), target);
            copyItems(submenu, copy, provider);
            QAction* holder = target->addMenu(copy);
            holder->setData(item->data());
            holder->setIcon(item->icon());
        } else {
            target->addAction(item);
        }
    }
    provider->validateBeforeShowing(target);
}

QAction* itemWithTag(const QMenu* menu, int tag)
{
    for (QAction* item : menu->actions())
        if (item->data().isValid() && item->data().toInt() == tag) return item;
    return nullptr;
}

IXNode* floatingOrOwnerBranch(IXNode* node)
{
    // A branch's own picture or comment stands for its branch.
    if ((node->isPicture() || node->isComment()) && !node->isFloating() && node->parentNode()
        && node->parentNode()->isBranch())
        return node->parentNode();
    return node;
}

}  // namespace

IXContextMenuTool::IXContextMenuTool(IXToolManager* manager)
    : IXTool(manager)
{
}

IXContextMenuTool::~IXContextMenuTool() = default;

IXContextMenuProviding* IXContextMenuTool::provider() const
{
    return context() ? dynamic_cast<IXContextMenuProviding*>(context()->controller()) : nullptr;
}

void IXContextMenuTool::discardTool()
{
    if (std::unique_ptr<QMenu> menu = std::move(m_menu)) {
        menu->disconnect(this);
        menu->close();
    }
    IXTool::discardTool();
}

std::unique_ptr<QMenu> IXContextMenuTool::windowMenu(IXContextMenuProviding::Menu kind)
{
    IXContextMenuProviding* menus = provider();
    const QMenu* source = menus ? menus->contextMenu(kind) : nullptr;
    if (!source) return nullptr;
    auto copy = std::make_unique<QMenu>(source->title());
    copyItems(source, copy.get(), menus);
    return copy;
}

std::unique_ptr<QMenu> IXContextMenuTool::menuForNodeAtPoint(PLPoint point, std::shared_ptr<IXNode>* shownNode)
{
    IXLayoutContext* layout = context();
    if (!layout) return nullptr;
    IXNode* node = layout->mouse().nodeAtPoint(point);
    std::unique_ptr<QMenu> menu;
    if (node) node = floatingOrOwnerBranch(node);
    if (node && node->isPicture())
        menu = pictureMenu(node);
    else if (node && node->isComment())
        menu = commentMenu(node);
    else if (node && node->isConnection())
        menu = connectionMenu(node);
    else if (node && node->isBranch())
        menu = branchMenu(node);
    else {
        node = layout->documentNode();
        menu = documentMenu(node);
    }
    if (shownNode) *shownNode = node->shared_from_this();
    return menu;
}

std::unique_ptr<QMenu> IXContextMenuTool::documentMenu(IXNode*)
{
    return windowMenu(IXContextMenuProviding::Menu::Document);
}

std::unique_ptr<QMenu> IXContextMenuTool::pictureMenu(IXNode*)
{
    return windowMenu(IXContextMenuProviding::Menu::Attachment);
}

std::unique_ptr<QMenu> IXContextMenuTool::commentMenu(IXNode*)
{
    return makeSpellingMenu(windowMenu(IXContextMenuProviding::Menu::Attachment), textCellUnderClick());
}

std::unique_ptr<QMenu> IXContextMenuTool::connectionMenu(IXNode*)
{
    return windowMenu(IXContextMenuProviding::Menu::Attachment);
}

std::unique_ptr<QMenu> IXContextMenuTool::branchMenu(IXNode* node)
{
    if (node->level() == 0)
        return makeSpellingMenu(windowMenu(IXContextMenuProviding::Menu::Root), textCellUnderClick());
    return makeSpellingMenu(addIconItems(windowMenu(IXContextMenuProviding::Menu::Branch), node), textCellUnderClick());
}

std::unique_ptr<QMenu> IXContextMenuTool::outlineBranchMenu(IXNode* node)
{
    if (node->level() == 0) return windowMenu(IXContextMenuProviding::Menu::Root);
    return addIconItems(windowMenu(IXContextMenuProviding::Menu::OutlineBranch), node);
}

std::unique_ptr<QMenu> IXContextMenuTool::addIconItems(std::unique_ptr<QMenu> menu, IXNode* node)
{
    auto* branch = dynamic_cast<IXBranchNode*>(node);
    IXContextMenuProviding* menus = provider();
    if (!menu || !branch || branch->icons().isEmpty() || !menus) return menu;
    const QAction* icons = itemWithTag(menu.get(), IconsItemTag);
    const QAction* remove = icons && icons->menu() ? itemWithTag(icons->menu(), RemoveIconItemTag) : nullptr;
    QMenu* list = remove ? remove->menu() : nullptr;
    if (!list) return menu;
    IXIconsStorage* storage = IXIconsStorage::sharedStorage();
    const QStringList& names = branch->icons();
    for (qsizetype index = 0; index < names.size(); ++index) {
        const QImage image = storage ? storage->iconForName(names[index]) : QImage();
        // An icon the library does not have is named, so that the item never shows empty.
        QAction* item
            = menus->makeMenuItem(image.isNull() ? names[index] : QString(), IXCommands::RemoveIcon, nullptr, list);
        item->setData(int(index));
        if (!image.isNull()) item->setIcon(QIcon(QPixmap::fromImage(image)));
        list->addAction(item);
    }
    return menu;
}

IXLayoutCell* IXContextMenuTool::textCellUnderClick()
{
    return context() ? context()->mouse().textCellAtPoint(m_clickPoint) : nullptr;
}

std::unique_ptr<QMenu> IXContextMenuTool::makeSpellingMenu(std::unique_ptr<QMenu> menu, IXLayoutCell* cell)
{
    auto* textCell = dynamic_cast<IXTextCell*>(cell);
    IXContextMenuProviding* menus = provider();
    if (!menu || !textCell || !menus) return menu;
    const QString word = textCell->misspellWordAtPoint(context()->coordinates().convertPointToCell(m_clickPoint, cell));
    if (word.isEmpty()) return menu;
    QList<QAction*> items;
    const QStringList guesses = PLSpellChecker::sharedChecker().guesses(word).mid(0, MaximumGuesses);
    for (const QString& guess : guesses)
        items << menus->makeMenuItem(guess, IXCommands::CorrectSpelling, this, menu.get());
    if (guesses.isEmpty())
        items << menus->makeMenuItem(PLLocalizedStrings::string(QStringLiteral("No Guesses Found")),
                                     IXCommands::InvalidSpelling, nullptr, menu.get());
    auto separator = [&menu] {
        auto* item = new QAction(menu.get());
        item->setSeparator(true);
        return item;
    };
    items << separator();
    QAction* ignore = menus->makeMenuItem(PLLocalizedStrings::string(QStringLiteral("Ignore Spelling")),
                                          IXCommands::IgnoreSpelling, this, menu.get());
    ignore->setData(word);
    items << ignore << separator();
    QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().first();
    menu->insertActions(first, items);
    return menu;
}

void IXContextMenuTool::startWithEvent(const IXToolEvent& event)
{
    const PLMouseEvent* mouse = event.mouseEvent();
    IXLayoutContext* layout = context();
    if (!mouse || !layout) {
        discardTool();
        return;
    }
    m_clickPoint = mouse->locationInView();
    std::shared_ptr<IXNode> node;
    m_menu = menuForNodeAtPoint(m_clickPoint, &node);
    if (!m_menu) {
        discardTool();
        return;
    }
    if (!layout->selection().containsNode(node.get())) layout->setSelection(IXSelection::selectionWithNode(node));
    auto* view = dynamic_cast<QWidget*>(layout->view());
    if (!view || !view->isVisible()) {
        discardTool();
        return;
    }
    PLExceptionBoundary::connect(m_menu.get(), &QMenu::aboutToHide, this, [this] { menuDidClose(); });
    const QPoint at(int(m_clickPoint.x), int(view->height() - m_clickPoint.y));
    m_menu->popup(view->mapToGlobal(at));
}

void IXContextMenuTool::menuDidClose()
{
    // The chosen item is triggered after the menu hid, and its command reads the click point
    // of the current tool: the tool ends on the next turn.
    PLRunLoop::perform(
        this, "menuDidClose", [this] { discardTool(); }, {}, PLRunLoop::commonModes());
}

bool IXContextMenuTool::onSendEvent(QWindow*, QEvent* event)
{
    // The menu closed (its command, if any, has run): the next press or key belongs to what
    // comes after, such as another right-click.
    if (!m_menu || !m_menu->isVisible()) {
        const QEvent::Type type = event->type();
        if (!m_menu || type == QEvent::MouseButtonPress || type == QEvent::KeyPress) discardTool();
        return false;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        discardTool();
        return true;
    }
    return false;
}

void IXContextMenuTool::correctSpelling(QObject* sender)
try {
    auto* item = qobject_cast<QAction*>(sender);
    IXLayoutContext* layout = context();
    if (!item || !layout) return;
    // Branch titles and floating comments alike: the text cell under the click.
    IXLayoutCell* cell = textCellUnderClick();
    auto* textCell = dynamic_cast<IXTextCell*>(cell);
    if (!textCell) return;
    textCell->correctSpelling(item->text(), layout->coordinates().convertPointToCell(m_clickPoint, cell));
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXContextMenuTool::ignoreSpelling(QObject* sender)
try {
    auto* item = qobject_cast<QAction*>(sender);
    IXLayoutContext* layout = context();
    if (!item || !layout) return;
    IXSpellCheckingNotices::ignoreWord(item->data().toString(), layout->documentNode()->spellDocumentTag(), this);
} catch (...) {
    PLExceptionBoundary::caught();
}
