#include "DocumentWindow/IXNodeCommands.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFloatingReferenceNode.h"
#include "DocumentModel/IXIconsStorage.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXReferenceTypeManager.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXMapViewDropTarget.h"
#include "DocumentViews/IXTool.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowNoteEditor.h"
#include "Inspectors/IXInspectorManager.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "UtilityWidgets/UTBeep.h"

#include <QAction>
#include <QFileInfo>
#include <QTextEdit>

#include <cmath>

namespace {

constexpr int LeftSide = 3;
constexpr int TopDown = 4;
constexpr float RootMargin = 20;
constexpr float DetachedRootDistance = 100;

PLPoint s_lastClickPoint;

int tagOf(const QObject* sender)
{
    const auto* item = qobject_cast<const QAction*>(sender);
    return item ? item->data().toInt() : 0;
}

// Only a collapsed branch needs its style changed: making one for every branch would leave a
// style behind that undoing the change does not take back.
void expand(IXBranchNode& branch)
{
    if (const auto shown = branch.existingStyle(); shown && shown->branchCollapsed())
        if (const auto style = branch.style()) style->setBranchCollapsed(false);
}

// Canvas bounds of the node's cell, or an empty rectangle without one.
std::optional<PLRect> cellBoundsInLayout(IXLayoutContext* context, IXNode* node)
{
    IXLayoutCell* cell = context ? context->cells().cellForNode(node) : nullptr;
    if (!cell) return std::nullopt;
    return cell->convertRectToCell(cell->bounds(), nullptr);
}

void removeBranchFromParent(IXDocumentNode& document, const std::shared_ptr<IXBranchNode>& branch)
{
    IXNode* parent = branch->parentNode();
    if (!parent) return;
    if (parent->isDocument())
        document.removeRootBranch(branch);
    else if (IXBranchNode* parentBranch = branch->parentBranch())
        parentBranch->removeBranch(branch);
}

void nameAfterFile(IXReferenceNode& reference, const QString& path)
{
    reference.setFilePath(path);
    reference.setTitle(QFileInfo(path).completeBaseName());
}

bool toolIsRegistered(IXToolName name)
{
    return IXToolManager::isToolClassRegistered(name);
}

bool hasObjectList()
{
    return IXInspectorManager::isInspectorClassRegistered(QStringLiteral("IXObjectListInspector"));
}

}  // namespace

IXNodeCommands::IXNodeCommands(IXWindowController& controller)
    : m_controller(controller)
{
}

// --- Looking up ---

std::shared_ptr<IXDocumentNode> IXNodeCommands::documentNode() const
{
    return m_controller.documentNode();
}

IXLayoutContext* IXNodeCommands::context() const
{
    return m_controller.layoutContext();
}

std::shared_ptr<IXBranchNode> IXNodeCommands::selectedBranch() const
{
    return m_controller.selectedBranch();
}

std::shared_ptr<IXBranchNode> IXNodeCommands::workingBranch() const
{
    const QList<std::shared_ptr<IXBranchNode>> branches = m_controller.selection().allBranches();
    if (!branches.isEmpty()) return branches.last();
    const auto node = documentNode();
    return node && !node->rootBranches().isEmpty()
        ? std::dynamic_pointer_cast<IXBranchNode>(node->rootBranches().last())
        : nullptr;
}

void IXNodeCommands::select(const std::shared_ptr<IXNode>& node) const
{
    m_controller.setSelection(IXSelection::selectionWithNode(node));
}

PLPoint IXNodeCommands::clickPoint() const
{
    if (const IXTool* tool = IXToolManager::sharedManager()->currentTool())
        if (const std::optional<PLPoint> point = tool->commandPoint()) return *point;
    IXLayoutContext* context = this->context();
    if (!context || !context->view()) return PLPoint();
    const PLRect visible = context->view()->visibleRect();
    return PLPoint(visible.midX(), visible.midY());
}

PLPoint IXNodeCommands::clickPointInLayout() const
{
    IXLayoutContext* context = this->context();
    return context ? context->coordinates().convertPointToCell(clickPoint(), nullptr) : clickPoint();
}

PLPoint IXNodeCommands::lastClickPoint()
{
    return s_lastClickPoint;
}

// --- Adding branches ---

void IXNodeCommands::addBranch(QObject* sender)
{
    const auto node = documentNode();
    if (!node) return;
    if (node->rootBranches().isEmpty() || tagOf(sender) == 1) {
        addRootBranch();
        return;
    }
    const std::shared_ptr<IXBranchNode> working = workingBranch();
    IXBranchNode* parent = working ? working->parentBranch() : nullptr;
    if (!parent) {
        addSubbranch(sender);
        return;
    }
    auto branch = std::make_shared<IXBranchNode>();
    parent->insertBranch(branch, int(parent->branches().indexOf(working)) + 1);
    select(branch);
}

PLPoint IXNodeCommands::placementOutsideRoots(PLPoint candidate, const PLRect& rootCells)
{
    if (rootCells.isEmpty()) return candidate;
    const PLRect grown = rootCells.insetBy(-RootMargin, -RootMargin);
    if (!grown.containsPoint(candidate)) return candidate;
    PLPoint point = candidate;
    point.x = point.x - grown.minX() >= grown.maxX() - point.x ? grown.maxX() : grown.minX();
    point.y = point.y - grown.minY() >= grown.maxY() - point.y ? grown.maxY() : grown.minY();
    return point;
}

PLPoint IXNodeCommands::rootPlacement() const
{
    // A context menu's command goes where the menu was opened.
    const IXTool* tool = IXToolManager::sharedManager()->currentTool();
    if (tool && tool->commandPoint()) return clickPointInLayout();
    PLRect roots;
    for (const auto& root : documentNode()->rootBranches())
        if (const std::optional<PLRect> bounds = cellBoundsInLayout(context(), root.get()))
            roots = roots.united(*bounds);
    return placementOutsideRoots(clickPointInLayout(), roots);
}

void IXNodeCommands::addRootBranch()
{
    const auto node = documentNode();
    // Placed against the cells as they stand, before the new root changes them.
    const PLPoint placement = rootPlacement();
    auto root = std::make_shared<IXBranchNode>();
    node->addRootBranch(root);
    if (IXLayoutContext* context = this->context()) context->styleForNode(root.get())->setBranchParentOffset(placement);
    select(root);
}

void IXNodeCommands::addSubbranch(QObject*)
{
    const std::shared_ptr<IXBranchNode> parent = workingBranch();
    if (!parent) {
        UTBeep::beep();
        return;
    }
    auto branch = std::make_shared<IXBranchNode>();
    parent->insertBranch(branch, -1);
    expand(*parent);
    // The context shows the new branch once it reloads, on the next turn.
    PLRunLoop::perform(&m_controller, "selectNew", [this, branch] { select(branch); });
}

void IXNodeCommands::addPrebranch(QObject*)
{
    const std::shared_ptr<IXBranchNode> working = workingBranch();
    IXBranchNode* parent = working ? working->parentBranch() : nullptr;
    if (!parent) {
        UTBeep::beep();
        return;
    }
    const int index = int(parent->branches().indexOf(working));
    auto branch = std::make_shared<IXBranchNode>();
    parent->removeBranch(working);
    parent->insertBranch(branch, index);
    branch->insertBranch(working, -1);
    select(branch);
}

// --- Removing ---

void IXNodeCommands::removeBranch(QObject*)
{
    removeBranchesOf(m_controller.selection());
}

void IXNodeCommands::removeBranchesOf(const IXSelection& selection)
{
    const auto node = documentNode();
    const std::shared_ptr<IXBranchNode> selected = selection.topmostBranchNode();
    if (!node || !selected || !selected->parentNode()) return;
    const std::shared_ptr<IXNode> parent = selected->parentNode()->shared_from_this();
    // Descendants of a removed branch go with it: removing them too would take them out of a
    // detached branch, and undo would put them back twice.
    for (const std::shared_ptr<IXBranchNode>& branch : selection.allTopBranches())
        removeBranchFromParent(*node, branch);
    select(parent);
}

void IXNodeCommands::removeBranchSection(QObject* sender)
{
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    IXBranchNode* parent = branch ? branch->parentBranch() : nullptr;
    const int index = parent ? int(parent->branches().indexOf(branch)) : -1;
    if (!parent || branch->branches().isEmpty() || index < 0) {
        UTBeep::beep();
        return;
    }
    const IXBranchNode::BranchList children = branch->branches();
    for (int i = 0; i < children.size(); ++i) {
        branch->removeBranch(children[i]);
        parent->insertBranch(children[i], index + i);
    }
    select(branch);
    removeBranch(sender);
}

void IXNodeCommands::removeFloating(QObject*)
{
    removeFloatingOf(m_controller.selection());
}

void IXNodeCommands::removeFloatingOf(const IXSelection& selection)
{
    const auto node = documentNode();
    if (!node) return;
    const IXSelection::NodeList pictures = selection.allFloatingPictures();
    const IXSelection::NodeList comments = selection.allFloatingComments();
    const IXSelection::NodeList connections = selection.allBranchConnections();
    if (pictures.isEmpty() && comments.isEmpty() && connections.isEmpty()) return;
    for (const auto& picture : pictures) node->removePicture(picture);
    for (const auto& comment : comments) node->removeComment(comment);
    for (const auto& connection : connections) {
        auto* owner = dynamic_cast<IXBranchNode*>(connection->parentNode());
        if (owner) owner->removeReference(std::static_pointer_cast<IXReferenceNode>(connection));
    }
    // What was selected besides stays selected.
    IXSelection rest = selection;
    for (const auto& removed : pictures + comments + connections) rest = rest.selectionByRemovingNode(removed.get());
    m_controller.setSelection(rest);
}

void IXNodeCommands::removeSelectedNodes(QObject*)
{
    // Both take the selection as it was: removing the floating nodes changes it.
    const IXSelection selection = m_controller.selection();
    removeFloatingOf(selection);
    removeBranchesOf(selection);
}

void IXNodeCommands::removeComment(QObject*)
{
    const auto branch = std::dynamic_pointer_cast<IXBranchNode>(m_controller.selection().lastNode());
    if (!branch || !branch->comment()) {
        UTBeep::beep();
        return;
    }
    branch->removeComment();
}

void IXNodeCommands::removePicture(QObject*)
{
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    if (!branch || !branch->picture()) {
        UTBeep::beep();
        return;
    }
    branch->removePicture();
    select(branch);
}

void IXNodeCommands::removeIcon(QObject* sender)
{
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    if (!branch) return;
    const int tag = tagOf(sender);
    if (tag == -1)
        branch->setIcons({});
    else if (tag >= 0 && tag < branch->icons().size())
        branch->removeIcon(branch->icons().at(tag));
    select(branch);
}

// --- Detaching ---

void IXNodeCommands::detachBranch(QObject*)
{
    const auto node = documentNode();
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    IXBranchNode* parent = branch ? branch->parentBranch() : nullptr;
    if (!node || !parent) {
        UTBeep::beep();
        return;
    }
    const std::shared_ptr<IXNode> lastRoot = node->rootBranches().isEmpty() ? nullptr : node->rootBranches().last();
    // While the branch is in the document, so that undo gives the icons back.
    branch->setIcons({});
    parent->removeBranch(branch);
    node->addRootBranch(branch);
    if (IXLayoutContext* context = this->context()) {
        // The moved branch's cells exist only after a layout.
        context->performLayoutIfNeeded();
        const std::optional<PLRect> last = cellBoundsInLayout(context, lastRoot.get());
        const std::optional<PLRect> own = cellBoundsInLayout(context, branch.get());
        if (last) {
            const float height = own ? own->size.height : 0;
            const PLPoint offset(std::ceil(last->minX() + last->size.width / 2),
                                 std::ceil(last->minY() - DetachedRootDistance - height / 2));
            context->styleForNode(branch.get())->setBranchParentOffset(offset);
        }
    }
    select(branch);
}

void IXNodeCommands::detachPicture(QObject*)
{
    const auto node = documentNode();
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    const std::shared_ptr<IXPictureNode> picture = branch ? branch->picture() : nullptr;
    if (!node || !picture) {
        UTBeep::beep();
        return;
    }
    branch->removePicture();
    picture->setFloatingTargetNode(branch);
    node->addPicture(picture);
    select(picture);
}

void IXNodeCommands::detachFloatingNode(QObject*)
{
    IXLayoutContext* context = this->context();
    if (!context) return;
    const IXSelection selection = m_controller.selection();
    IXSelection::NodeList floating = selection.allFloatingPictures();
    floating += selection.allFloatingComments();
    for (const auto& each : floating) {
        const std::shared_ptr<IXNode> target = each->floatingTargetNode();
        if (!target) continue;
        PLPoint offset = context->styleForReading(each.get())->floatingTargetOffset();
        if (IXBranchCell* cell = context->cells().branchCellForNode(target.get())) {
            const PLRect bounds = cell->convertRectToCell(cell->bounds(), nullptr);
            offset = PLPoint(offset.x + bounds.midX(), offset.y + bounds.midY());
        }
        context->styleForNode(each.get())->setFloatingTargetOffset(offset);
        static_cast<IXFloatingReferenceNode&>(*each).setFloatingTargetNode(nullptr);
    }
}

// --- Comments and pictures ---

PLPoint IXNodeCommands::floatingAnchorOffset(IXLayoutContext* context, IXBranchNode* target, PLSize fallback,
                                             float shift)
{
    IXBranchCell* cell = context ? context->cells().branchCellForNode(target) : nullptr;
    const PLSize size = cell ? cell->frame().size : fallback;
    double x = std::ceil(0.7 * double(size.width));
    double y = std::ceil(0.7 * double(size.height));
    if (auto* group = cell ? dynamic_cast<IXBranchGroupCell*>(cell->parent()) : nullptr) {
        if (group->layoutType() == LeftSide)
            x = -(x + double(shift));
        else if (group->layoutType() == TopDown)
            y = -y;
    }
    return PLPoint(float(x), float(y));
}

void IXNodeCommands::addComment(QObject*)
{
    const auto branch = std::dynamic_pointer_cast<IXBranchNode>(m_controller.selection().lastNode());
    IXLayoutContext* context = this->context();
    if (!branch || !context || !toolIsRegistered(IXToolNames::YellowNote)) {
        UTBeep::beep();
        return;
    }
    const std::shared_ptr<IXCommentNode> comment = branch->comment() ? branch->comment() : branch->addComment();
    IXTool* tool
        = IXToolManager::sharedManager()->activateToolNamed(IXToolNames::YellowNote, comment, context, IXToolEvent());
    if (QTextEdit* text = tool ? tool->textView() : nullptr) {
        text->selectAll();
        text->setFocus(Qt::OtherFocusReason);
    }
}

void IXNodeCommands::addFloatingComment(QObject*)
{
    const auto node = documentNode();
    if (!node) return;
    auto comment = std::make_shared<IXCommentNode>();
    comment->setPlainText(true);
    comment->setTitle(PLLocalizedStrings::string(QStringLiteral("(new comment)")));
    const std::shared_ptr<IXBranchNode> target = selectedBranch();
    if (target) comment->setFloatingTargetNode(target);
    node->addComment(comment);
    const PLPoint offset
        = target ? floatingAnchorOffset(context(), target.get(), PLSize(200, 200), 200) : clickPointInLayout();
    if (IXLayoutContext* context = this->context())
        context->styleForNode(comment.get())->setFloatingTargetOffset(offset);
    select(comment);
}

PLSize IXNodeCommands::pictureSizeForPicture(IXPictureNode& picture)
{
    // One rule for pictures from commands, pastes and drops.
    return IXMapViewDropTarget::pictureSizeForPicture(picture);
}

void IXNodeCommands::addPicture(QObject* sender)
{
    s_lastClickPoint = clickPointInLayout();
    IXDialogs::OpenPanel panel;
    panel.title = PLLocalizedStrings::string(QStringLiteral("Select File"));
    // The picture files the application knows; none listed allows any file.
    panel.allowedExtensions
        = IXReferenceTypeManager::fileTypesForReferenceType(IXReferenceNode::SubtypePicture).value_or(QStringList());
    const QString folder = IXPreferences::value(QStringLiteral("IXLastPictureFolder")).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) panel.directory = folder;
    const int tag = tagOf(sender);
    const std::optional<QStringList> paths = IXDialogs::shared().runOpenPanel(panel, m_controller.documentWindow());
    if (!paths || paths->isEmpty() || paths->first().isEmpty()) return;
    IXPreferences::setValue(QStringLiteral("IXLastPictureFolder"), QFileInfo(paths->first()).absolutePath());
    if (tag == 1)
        addBranchPictureWithPath(paths->first());
    else
        addFloatingPictureWithPath(paths->first());
}

void IXNodeCommands::addBranchPictureWithPath(const QString& path)
{
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    if (!branch) {
        UTBeep::beep();
        return;
    }
    const std::shared_ptr<IXPictureNode> picture = branch->addPicture();
    nameAfterFile(*picture, path);
    if (const auto style = picture->style()) style->setPictureSize(pictureSizeForPicture(*picture));
    select(branch);
}

void IXNodeCommands::addFloatingPictureWithPath(const QString& path)
{
    const auto node = documentNode();
    if (!node) return;
    auto picture = std::make_shared<IXPictureNode>();
    nameAfterFile(*picture, path);
    const std::shared_ptr<IXBranchNode> target = selectedBranch();
    if (target) picture->setFloatingTargetNode(target);
    node->addPicture(picture);
    if (const auto style = picture->style()) style->setPictureSize(pictureSizeForPicture(*picture));
    const PLPoint offset = target ? floatingAnchorOffset(context(), target.get(), PLSize(0, 0), 100) : s_lastClickPoint;
    if (IXLayoutContext* context = this->context())
        context->styleForNode(picture.get())->setFloatingTargetOffset(offset);
    select(picture);
}

// --- Collapsing, editing, connecting ---

void IXNodeCommands::toggleCollapser(QObject* sender)
{
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    if (!branch || !branch->parentBranch() || branch->branches().isEmpty()) {
        UTBeep::beep();
        return;
    }
    const auto style = branch->style();
    if (!style) return;
    const int tag = tagOf(sender);
    style->setBranchCollapsed(tag == 1 ? false : tag == 2 ? true : !style->branchCollapsed());
}

void IXNodeCommands::editTitle(QObject*)
{
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    IXLayoutContext* context = this->context();
    if (!branch || !context) return;
    if (!toolIsRegistered(IXToolNames::BranchTitle)) {
        UTBeep::beep();
        return;
    }
    if (IXBranchCell* cell = context->cells().branchCellForNode(branch.get())) cell->startTitleEditing(nullptr);
}

void IXNodeCommands::editTextNote(QObject* sender)
{
    m_controller.noteEditor().editTextNote(sender);
}

void IXNodeCommands::makeBranchConnection(QObject*)
{
    if (m_controller.isBrainStormMode()) m_controller.endBrainStormAndApplyLastChange(true);
    IXToolManager* tools = IXToolManager::sharedManager();
    if (tools->currentTool() && tools->currentTool()->inherits(IXToolNames::Connection.text())) {
        tools->discardCurrentTool();
        return;
    }
    if (!toolIsRegistered(IXToolNames::Connection) || !context()) {
        UTBeep::beep();
        return;
    }
    tools->activateToolNamed(IXToolNames::Connection, context(), IXToolEvent());
}

// --- Attachments ---

void IXNodeCommands::addAttachmentOfType(int type)
{
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    if (!branch) return;
    if (type == IXReferenceNode::SubtypeWeb) {
        // The link is typed in the object list: without one no empty link is left behind.
        if (!hasObjectList()) {
            UTBeep::beep();
            return;
        }
        const std::shared_ptr<IXReferenceNode> link = branch->addAttachment();
        link->setSubtype(IXReferenceNode::SubtypeWeb);
        m_controller.editReferenceInObjectList(link);
        return;
    }
    const QString path = IXReferenceTypeManager::choosePathForType(type);
    if (path.isEmpty()) return;
    nameAfterFile(*branch->addAttachmentWithType(type), path);
}

void IXNodeCommands::attachHyperlink(QObject*)
{
    addAttachmentOfType(IXReferenceNode::SubtypeWeb);
}

void IXNodeCommands::attachTextFile(QObject*)
{
    addAttachmentOfType(IXReferenceNode::SubtypeText);
}

void IXNodeCommands::attachPictureFile(QObject*)
{
    addAttachmentOfType(IXReferenceNode::SubtypePicture);
}

void IXNodeCommands::attachVideoFile(QObject*)
{
    addAttachmentOfType(IXReferenceNode::SubtypeVideo);
}

void IXNodeCommands::attachSoundFile(QObject*)
{
    addAttachmentOfType(IXReferenceNode::SubtypeSound);
}

void IXNodeCommands::attachFlashFile(QObject*)
{
    addAttachmentOfType(IXReferenceNode::SubtypeFlash);
}

// --- Validation ---

std::optional<bool> IXNodeCommands::validateMenuItem(QAction* item) const
{
    const QByteArray action = IXActionItem::actionOf(item);
    const int tag = tagOf(item);
    const std::shared_ptr<IXBranchNode> branch = selectedBranch();
    const bool hasParentBranch = branch && branch->parentBranch();
    if (action == IXCommands::AddPrebranch || action == IXCommands::DetachBranch) return hasParentBranch;
    if (action == IXCommands::RemovePicture || action == IXCommands::DetachPicture) return branch && branch->picture();
    if (action == IXCommands::RemoveBranchSection) return hasParentBranch && !branch->branches().isEmpty();
    if (action == IXCommands::RemoveComment) return branch && branch->comment();
    if (action == IXCommands::RemoveIcon) {
        if (!branch || branch->icons().isEmpty()) return false;
        if (tag >= 0 && tag < branch->icons().size() && item->icon().isNull())
            if (IXIconsStorage* icons = IXIconsStorage::sharedStorage()) {
                const QImage picture = icons->iconForName(branch->icons().at(tag));
                if (!picture.isNull()) item->setIcon(QIcon(QPixmap::fromImage(picture)));
            }
        return true;
    }
    if (action == IXCommands::DetachFloatingNode || action == IXCommands::RemoveFloating) {
        const IXSelection selection = m_controller.selection();
        IXSelection::NodeList floating = selection.allFloatingPictures();
        floating += selection.allFloatingComments();
        if (action == IXCommands::RemoveFloating) return !floating.isEmpty();
        return std::any_of(floating.begin(), floating.end(),
                           [](const auto& node) { return bool(node->floatingTargetNode()); });
    }
    if (action == IXCommands::ToggleCollapser) {
        if (!hasParentBranch || branch->branches().isEmpty()) return false;
        const auto style = branch->existingStyle();
        const bool collapsed = style && style->branchCollapsed();
        if (tag == 1) return collapsed;
        if (tag == 2) return !collapsed;
        item->setText(PLLocalizedStrings::string(collapsed ? QStringLiteral("Expand") : QStringLiteral("Collapse")));
        return true;
    }
    if (action == IXCommands::AddPicture) return tag != 1 || branch;
    // Commands whose tool or panel is not there yet stay disabled.
    if (action == IXCommands::AddComment) return branch && toolIsRegistered(IXToolNames::YellowNote);
    if (action == IXCommands::EditTitle) return branch && toolIsRegistered(IXToolNames::BranchTitle);
    if (action == IXCommands::MakeBranchConnection) return toolIsRegistered(IXToolNames::Connection);
    if (action == IXCommands::AttachHyperlink) return branch && hasObjectList();
    // Files are attached to the selected branch.
    for (const IXCommand& command :
         {IXCommands::AttachTextFile, IXCommands::AttachPictureFile, IXCommands::AttachVideoFile,
          IXCommands::AttachSoundFile, IXCommands::AttachFlashFile})
        if (action == command) return bool(branch);
    for (const IXCommand& command : {IXCommands::AddBranch, IXCommands::AddSubbranch, IXCommands::RemoveBranch,
                                     IXCommands::RemoveSelectedNodes, IXCommands::AddFloatingComment})
        if (action == command) return true;
    return std::nullopt;
}
