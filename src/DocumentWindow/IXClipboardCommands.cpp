#include "DocumentWindow/IXClipboardCommands.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFloatingReferenceNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXTabularText.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXPasteboard.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXNodeCommands.h"
#include "DocumentWindow/IXWindowController.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLUndoTransaction.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

#include <algorithm>
#include <array>

namespace {

// The data this process last put on the clipboard: only with it does the marker of the own
// types mean the application's buffer (another running copy of the program has a buffer of
// its own).
QPointer<QMimeData> s_localData;

const QMimeData* clipboardData()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

bool offersLocal(const QMimeData* data, const QString& type)
{
    return data && data == s_localData.data() && data->hasFormat(type);
}

// Only a collapsed branch needs its style changed.
void expand(IXBranchNode& branch)
{
    if (const auto shown = branch.existingStyle(); shown && shown->branchCollapsed())
        if (const auto style = branch.style()) style->setBranchCollapsed(false);
}

const IXStyleCarrier::Styles* carriedStyles(const IXNode& node)
{
    if (const auto* branch = dynamic_cast<const IXBranchNode*>(&node)) return &branch->styleAttributes();
    if (const auto* connection = dynamic_cast<const IXConnectionNode*>(&node)) return &connection->styleAttributes();
    if (const auto* floating = dynamic_cast<const IXFloatingReferenceNode*>(&node)) return &floating->styleAttributes();
    return nullptr;
}

}  // namespace

IXClipboardCommands::IXClipboardCommands(IXWindowController& controller)
    : m_controller(controller)
{
}

std::shared_ptr<IXBranchNode> IXClipboardCommands::targetBranch() const
{
    return m_controller.selectedBranch();
}

// --- Copy ---

void IXClipboardCommands::copy(QObject*)
{
    copyAs(true, true, true);
}

void IXClipboardCommands::copyStyles(QObject*)
{
    copyAs(false, true, false);
}

void IXClipboardCommands::copyAttachments(const QList<std::shared_ptr<IXNode>>& attachments)
{
    if (attachments.isEmpty()) return;
    IXAppController::sharedController().saveNodes(attachments);
    QMimeData* data = IXPasteboard::makeLocalData({IXPasteboard::AttachmentsType});
    s_localData = data;
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setMimeData(data);
}

void IXClipboardCommands::copyAs(bool selection, bool styles, bool string)
{
    const IXSelection selected = m_controller.selection();
    QList<std::shared_ptr<IXNode>> nodes;
    for (const auto& each : selected.nodes())
        if (each && !each->isBranch() && !each->isDocument()) nodes.append(each);
    // A branch selected with one of its sub-branches travels once, the sub-branch inside it.
    const QList<std::shared_ptr<IXBranchNode>> top = selected.allTopBranches();
    for (const auto& branch : top) nodes.append(branch);
    if (nodes.isEmpty()) return;
    IXAppController& application = IXAppController::sharedController();
    application.saveNodes(nodes);

    QStringList types;
    if (selection) types << IXPasteboard::SelectionType;
    if (styles) types << IXPasteboard::StylesType;
    QMimeData* data = IXPasteboard::makeLocalData(types);
    if (string && !top.isEmpty()) data->setText(IXTabularText::textFromBranches(top));
    s_localData = data;
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setMimeData(data);
    const auto layout = m_controller.layoutNode();
    application.saveSourceLayoutName(layout ? layout->layoutName() : QString());
}

void IXClipboardCommands::cut(QObject* sender)
{
    copy(sender);
    deleteSelection(sender);
}

void IXClipboardCommands::deleteSelection(QObject* sender)
{
    m_controller.nodeCommands().removeSelectedNodes(sender);
    m_controller.setSelection(IXSelection());
}

// --- Paste ---

void IXClipboardCommands::paste(QObject*)
{
    pasteNodesAndStyles(true, true);
}

void IXClipboardCommands::pasteWithoutStyles(QObject*)
{
    pasteNodesAndStyles(true, false);
}

void IXClipboardCommands::pasteStyles(QObject*)
{
    pasteNodesAndStyles(false, true);
}

void IXClipboardCommands::pasteNodesAndStyles(bool nodes, bool styles)
{
    const auto document = m_controller.documentNode();
    const QMimeData* data = clipboardData();
    if (!document || !data) return;
    PLUndoTransaction::run(document->undoManager(), [&] {
        if (!nodes) return styles && offersLocal(data, IXPasteboard::StylesType) && pasteStylesFromBuffer();
        // A marker whose buffer is empty (or belongs to another copy of the program) falls
        // through to what else the clipboard offers.
        if (offersLocal(data, IXPasteboard::SelectionType) && pasteNodesFromBuffer(styles)) return true;
        if (offersLocal(data, IXPasteboard::AttachmentsType)) return pasteAttachmentsFromBuffer();
        if (const std::optional<QByteArray> picture = IXPasteboard::pictureData(data)) return pastePicture(*picture);
        // Rich text alone (no plain text beside it) may still hold a picture.
        if (IXPasteboard::offers(data, IXPasteboard::StringType) || IXPasteboard::offers(data, IXPasteboard::RTFType))
            return pasteText(data);
        return false;
    });
}

bool IXClipboardCommands::pasteStylesFromBuffer()
{
    IXLayoutContext* context = m_controller.layoutContext();
    const auto document = m_controller.documentNode();
    const auto layout = m_controller.layoutNode();
    if (!context || !document || !layout) return false;
    const QString source = IXAppController::sharedController().savedSourceLayoutName();
    // One style per kind, from the first copied node of the kind that has styles.
    enum Kind { Branch, Picture, Comment, Connection, KindCount };
    std::array<std::optional<IXDocumentNode::StyleAttributesBySheet>, KindCount> kinds;
    for (const auto& node : IXAppController::sharedController().restoreNodes()) {
        const Kind kind = node->isBranch() ? Branch
            : node->isPicture()            ? Picture
            : node->isComment()            ? Comment
            : node->isConnection()         ? Connection
                                           : KindCount;
        if (kind == KindCount || kinds[kind]) continue;
        const IXStyleCarrier::Styles* carried = carriedStyles(*node);
        if (!carried || carried->isEmpty()) continue;
        IXDocumentNode::StyleAttributesBySheet style;
        if (const auto found = carried->constFind(source); found != carried->constEnd()) {
            IXStyleAttributes attributes = *found;
            attributes.remove(QStringLiteral("branch.layout.type"));
            style.insert(layout->layoutName(), attributes);
        }
        kinds[kind] = style;
    }
    const IXSelection selection = m_controller.selection();
    QList<std::shared_ptr<IXNode>> targets[KindCount];
    for (const auto& branch : selection.allBranches()) targets[Branch].append(branch);
    targets[Picture] = selection.allFloatingPictures();
    targets[Comment] = selection.allFloatingComments();
    targets[Connection] = selection.allBranchConnections();
    bool changed = false;
    for (int kind = 0; kind < KindCount; ++kind) {
        if (!kinds[kind]) continue;
        for (const auto& node : targets[kind]) {
            context->styleForNode(node.get())->clearAttributes();
            document->setStyleAttributesForNode(*kinds[kind], node.get());
            changed = true;
        }
    }
    return changed;
}

bool IXClipboardCommands::pasteNodesFromBuffer(bool styles)
{
    const auto document = m_controller.documentNode();
    const QList<std::shared_ptr<IXNode>> nodes = IXAppController::sharedController().restoreNodes();
    if (nodes.isEmpty()) return false;
    IXLayoutContext* context = m_controller.layoutContext();
    const std::shared_ptr<IXBranchNode> target = targetBranch();
    const PLPoint click = m_controller.nodeCommands().clickPoint();
    const PLPoint place = context ? context->coordinates().convertPointToCell(click, nullptr) : click;
    bool intoTarget = false;
    for (const auto& node : nodes) {
        if (const auto branch = std::dynamic_pointer_cast<IXBranchNode>(node)) {
            if (!styles) branch->clearSavedStyles();
            if (target) {
                target->insertBranch(branch, -1);
                intoTarget = true;
            } else {
                branch->setIcons({});
                document->addRootBranch(branch);
                if (context) context->styleForNode(branch.get())->setBranchParentOffset(place);
            }
            continue;
        }
        if (target)
            if (auto* reference = dynamic_cast<IXReferenceNode*>(node.get())) reference->setFloatingTargetNode(target);
        document->addFloatingNode(node);
        if (target && context && node->parentNode())
            context->styleForNode(node.get())
                ->setFloatingTargetOffset(
                    IXNodeCommands::floatingAnchorOffset(context, target.get(), PLSize(0, 0), 200));
    }
    if (intoTarget) expand(*target);
    return true;
}

bool IXClipboardCommands::pasteAttachmentsFromBuffer()
{
    const std::shared_ptr<IXBranchNode> target = targetBranch();
    if (!target) return false;
    bool added = false;
    for (const auto& node : IXAppController::sharedController().restoreNodes())
        if (const auto reference = std::dynamic_pointer_cast<IXReferenceNode>(node)) {
            target->addReference(reference);
            added = true;
        }
    return added;
}

bool IXClipboardCommands::pasteText(const QMimeData* data)
{
    const QString text = data->text();
    if (text.size() <= 1 && IXPasteboard::offers(data, IXPasteboard::RTFType)) {
        const std::optional<QByteArray> picture = IXPasteboard::richTextPicture(data);
        return picture && pastePicture(*picture);
    }
    const auto document = m_controller.documentNode();
    const QList<std::shared_ptr<IXBranchNode>> roots = IXTabularText::branchesFromText(text);
    if (roots.isEmpty()) return false;
    // One change of the list, not one per line: each change is announced and laid out.
    if (const std::shared_ptr<IXBranchNode> target = targetBranch())
        target->setBranches(target->branches() + roots);
    else {
        IXDocumentNode::NodeList all = document->rootBranches();
        for (const auto& root : roots) all.append(root);
        document->setBranches(all);
    }
    return true;
}

bool IXClipboardCommands::pastePicture(const QByteArray& bytes)
{
    const auto document = m_controller.documentNode();
    if (!document || !IXPasteboard::isPicture(bytes)) return false;
    // The picture holds its bytes until it joins the document, which then stores them.
    const QString name = IXDocumentNode::newUniqueId();
    auto picture = std::make_shared<IXPictureNode>();
    picture->addPictureData(bytes, name);
    picture->setTitle(name);
    const std::shared_ptr<IXBranchNode> target = targetBranch();
    if (target)
        target->setPicture(picture);
    else
        document->addPicture(picture);
    if (!document->packageParts().dataNamed(name)) return false;
    if (const auto style = picture->style()) style->setPictureSize(IXNodeCommands::pictureSizeForPicture(*picture));
    if (target) {
        m_controller.setSelection(IXSelection::selectionWithNode(target));
        return true;
    }
    if (IXLayoutContext* context = m_controller.layoutContext(); context && context->view()) {
        const PLRect visible = context->view()->visibleRect();
        context->styleForNode(picture.get())
            ->setFloatingTargetOffset(
                context->coordinates().convertPointToCell(PLPoint(visible.midX(), visible.midY()), nullptr));
    }
    m_controller.setSelection(IXSelection::selectionWithNode(picture));
    return true;
}

// --- A new document ---

void IXClipboardCommands::detachBranchAsDocument(QObject* sender)
{
    PLError error;
    IXDocument* document = IXDocumentController::shared().openUntitledDocument(true, &error);
    if (!document || document->windowControllers().empty()) return;
    auto* other = dynamic_cast<IXWindowController*>(document->windowControllers().front());
    if (!other) return;
    cut(sender);
    other->paste(&m_controller);
}

// --- Validation ---

std::optional<bool> IXClipboardCommands::validateMenuItem(QAction* item) const
{
    const QByteArray action = IXActionItem::actionOf(item);
    const IXSelection selection = m_controller.selection();
    const auto document = m_controller.documentNode();
    const bool somethingSelected = !selection.isEmpty() && !selection.isDocument();
    if (action == IXCommands::Copy || action == IXCommands::Cut || action == IXCommands::CopyStyles)
        return somethingSelected;
    const QMimeData* data = clipboardData();
    if (action == IXCommands::PasteStyles) return somethingSelected && offersLocal(data, IXPasteboard::StylesType);
    if (action == IXCommands::Paste || action == IXCommands::PasteWithoutStyles) {
        const bool offered = offersLocal(data, IXPasteboard::SelectionType)
            || offersLocal(data, IXPasteboard::AttachmentsType) || IXPasteboard::offersPicture(data)
            || IXPasteboard::offers(data, IXPasteboard::StringType);
        const bool oneTarget = selection.isEmpty() || selection.isDocument()
            || (selection.count() == 1 && selection.firstNode()->isBranch());
        return offered && oneTarget;
    }
    if (action == IXCommands::DetachBranchAsDocument) {
        const QList<std::shared_ptr<IXBranchNode>> branches = selection.allBranches();
        if (branches.isEmpty() || !document) return false;
        const bool onlyRoot = document->rootBranches().size() == 1;
        return std::none_of(branches.begin(), branches.end(),
                            [onlyRoot](const auto& branch) { return onlyRoot && branch->level() == 0; });
    }
    return std::nullopt;
}
